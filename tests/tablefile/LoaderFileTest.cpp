// Loading table files through the platform's file services: paths that are
// no table file, short files, the file times, and the file being closed.
#include <gtest/gtest.h>

#include "tablefile/ZtbWriter.h"
#include "testkit/TempFolder.h"
#include "testkit/LoadCapture.h"

namespace {

constexpr platform::FileTime k1998July4At0905 = 125440167000000000ULL;
constexpr platform::FileTime k2001February3At040506 = 126256467060000000ULL;

class LoaderFileTest : public testing::Test {
protected:
    std::string Message(const std::string& name) { return LoadFile(folder.Path(name)).message; }

    TempFolder folder;
};

TEST_F(LoaderFileTest, MissingFilesFoldersShortFilesAndFarOffsetsAbort) {
    ASSERT_TRUE(platform::CreateFolder(folder.Path("Afolder.ztb")));
    EXPECT_EQ(Message("Gone.ztb"), "Error opening ZTB file");
    EXPECT_EQ(Message("Afolder.ztb"), "Error opening ZTB file");

    ZtbWriter writer("Short", 1002);
    writer.AddRecord(0);
    std::vector<unsigned char> bytes = writer.Build();
    bytes.resize(100);
    ASSERT_TRUE(platform::WriteWholeFile(folder.Path("Hundred.ztb"), bytes));
    ASSERT_TRUE(platform::WriteWholeFile(folder.Path("Empty.ztb"), {}));
    EXPECT_EQ(Message("Hundred.ztb"), "Can't read ZTB file");
    EXPECT_EQ(Message("Empty.ztb"), "Can't read ZTB file");

    for (std::uint32_t offset : {1u << 20, 0x80000000u}) {
        writer.Entry(0).Offset = offset;
        ASSERT_TRUE(writer.WriteTo(folder.Path("Past.ztb")));
        EXPECT_EQ(Message("Past.ztb"), "Can't read ZTB file") << offset;
    }
}

TEST_F(LoaderFileTest, TimesComeFromTheOpenFile) {
    const std::string path = folder.Path("Dated.ztb");
    const platform::FileTimes times{k1998July4At0905, k2001February3At040506, k1998July4At0905};
    ASSERT_TRUE(WriteTableFile(path, "Dated", 1011, times));
    EXPECT_FALSE(WriteTableFile(folder.Path("NoSuchFolder") + platform::kPathSeparator + "X.ztb", "X"));
    CalibrationTable table{};
    std::optional<platform::FileTimes> read;
    LoadTableFile(path, table, &read);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->lastWrite, k1998July4At0905);
    EXPECT_EQ(TitleText(table.Header), "Dated");
    EXPECT_EQ(table.Header.DeviceType, 1011);
}

TEST_F(LoaderFileTest, FileIsClosedAfterEveryAbort) {
    // A file still open could not be deleted on Windows.
    const std::string path = folder.Path("Closed.ztb");
    std::vector<std::function<void(ZtbWriter&)>> faults = {
        [](ZtbWriter& w) { w.Header().HeaderVersion = 3; },
        [](ZtbWriter& w) { w.Entry(0).Resolution = 7; },
        [](ZtbWriter& w) { w.Entry(0).Offset = 99999; },
        [](ZtbWriter& w) { w.Record(0).DeviceType = 1003; },
        [](ZtbWriter& w) { ClearExposureValues(w.Record(0)); w.Record(0).Compatible.BaseFilmType = 0;
                           for (auto& b : w.Record(0).Compatible.Balance) b = 0; },
        [](ZtbWriter&) {},
    };
    for (std::size_t k = 0; k < faults.size(); ++k) {
        ZtbWriter writer("Closed", 1002);
        writer.AddRecord(0);
        faults[k](writer);
        ASSERT_TRUE(writer.WriteTo(path));
        const LoadOutcome outcome = LoadFile(path);
        EXPECT_EQ(outcome.loaded, k + 1 == faults.size()) << k << ": " << outcome.message;
        EXPECT_TRUE(platform::RemoveFile(path)) << k;
        EXPECT_FALSE(platform::PathExists(path)) << k;
    }
}

}  // namespace
