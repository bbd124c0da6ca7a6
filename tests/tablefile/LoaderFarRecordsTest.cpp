// Loading from a file whose records cross or lie beyond the part the loader
// reads at once from its start.
#include <gtest/gtest.h>

#include <cstring>

#include "tablefile/ZtbWriter.h"
#include "testkit/TempFolder.h"
#include "testkit/LoadCapture.h"

namespace {

TEST(LoaderFarRecordsTest, RecordsAcrossAndBeyondTheFirstReadLoadAsFromMemory) {
    TempFolder folder;
    ZtbWriter writer("Far", 1002);
    for (int r = 0; r < 3; ++r) writer.AddRecord(r).FilmGamma = static_cast<std::int16_t>(1000 + r);
    writer.PlaceAt(0, 20000);
    writer.PlaceAt(1, FileTableSource::kStartSize - 100);
    const std::vector<unsigned char> bytes = writer.Build();
    ASSERT_TRUE(platform::WriteWholeFile(folder.Path("Far.ztb"), bytes));

    CalibrationTable fromFile{};
    CalibrationTable fromMemory{};
    const LoadOutcome outcome = LoadFile(folder.Path("Far.ztb"), fromFile);
    ASSERT_TRUE(outcome.loaded) << outcome.message;
    LoadTableFromMemory(bytes, fromMemory);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(fromFile.Resolution[r].FilmGamma, 1000 + r) << r;
        EXPECT_EQ(std::memcmp(&fromFile.Resolution[r], &fromMemory.Resolution[r],
                              sizeof fromFile.Resolution[r]), 0) << r;
    }

    // Cut inside the far record: the load fails as for any short file.
    std::vector<unsigned char> cut = bytes;
    cut.resize(20000 + 10);
    ASSERT_TRUE(platform::WriteWholeFile(folder.Path("Cut.ztb"), cut));
    EXPECT_EQ(LoadFile(folder.Path("Cut.ztb")).message, "Can't read ZTB file");
}

}  // namespace
