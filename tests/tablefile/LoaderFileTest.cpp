// Loading table files through the platform's file services: paths that are
// no table file, short files, the file times, and the file being closed.
#include <gtest/gtest.h>

#include "LoadCapture.h"
#include "tablefile/ZtbWriter.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr platform::FileTime k1998July4At0905 = 125440167000000000ULL;
constexpr platform::FileTime k2001February3At040506 = 126256467060000000ULL;

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    return platform::WriteWholeFile(path, bytes);
}

TEST(LoaderFileTest, MissingFileCannotBeOpened) {
    TempFolder folder;
    CalibrationTable table{};
    EXPECT_EQ(LoadFile(folder.Path("Gone.ztb"), table).message, "Error opening ZTB file");
}

TEST(LoaderFileTest, FolderCannotBeOpened) {
    TempFolder folder;
    ASSERT_TRUE(platform::CreateFolder(folder.Path("Afolder.ztb")));
    CalibrationTable table{};
    EXPECT_EQ(LoadFile(folder.Path("Afolder.ztb"), table).message, "Error opening ZTB file");
}

TEST(LoaderFileTest, EmptyAndShortFilesCannotBeRead) {
    TempFolder folder;
    ZtbWriter writer("Short", 1002);
    writer.AddRecord(0);
    std::vector<unsigned char> bytes = writer.Build();
    bytes.resize(100);
    ASSERT_TRUE(WriteBytes(folder.Path("Hundred.ztb"), bytes));
    ASSERT_TRUE(WriteBytes(folder.Path("Empty.ztb"), {}));
    CalibrationTable table{};
    EXPECT_EQ(LoadFile(folder.Path("Hundred.ztb"), table).message, "Can't read ZTB file");
    EXPECT_EQ(LoadFile(folder.Path("Empty.ztb"), table).message, "Can't read ZTB file");
}

TEST(LoaderFileTest, OffsetPastTheEndOfTheFileCannotBeRead) {
    TempFolder folder;
    ZtbWriter writer("Past", 1002);
    writer.AddRecord(0);
    writer.Entry(0).Offset = 1u << 20;
    ASSERT_TRUE(writer.WriteTo(folder.Path("Past.ztb")));
    CalibrationTable table{};
    EXPECT_EQ(LoadFile(folder.Path("Past.ztb"), table).message, "Can't read ZTB file");
    writer.Entry(0).Offset = 0x80000000u;
    ASSERT_TRUE(writer.WriteTo(folder.Path("Past.ztb")));
    EXPECT_EQ(LoadFile(folder.Path("Past.ztb"), table).message, "Can't read ZTB file");
}

TEST(LoaderFileTest, TimesComeFromTheOpenFile) {
    TempFolder folder;
    const std::string path = folder.Path("Dated.ztb");
    platform::FileTimes times;
    times.creation = k1998July4At0905;
    times.lastAccess = k2001February3At040506;
    times.lastWrite = k1998July4At0905;
    ASSERT_TRUE(WriteTableFile(path, "Dated", 1011, times));
    CalibrationTable table{};
    std::optional<platform::FileTimes> read;
    LoadTableFile(path, table, &read);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->lastWrite, k1998July4At0905);
    EXPECT_EQ(TitleText(table.Header), "Dated");
    EXPECT_EQ(table.Header.DeviceType, 1011);
    EXPECT_EQ(table.ResolutionPresent[0], 1);
}

TEST(LoaderFileTest, FileIsClosedAfterEveryAbort) {
    // A file still open could not be deleted on Windows.
    TempFolder folder;
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
        CalibrationTable table{};
        const LoadOutcome outcome = LoadFile(path, table);
        EXPECT_EQ(outcome.loaded, k + 1 == faults.size()) << k << ": " << outcome.message;
        EXPECT_TRUE(platform::RemoveFile(path)) << k;
        EXPECT_FALSE(platform::PathExists(path)) << k;
    }
}

TEST(WriteTableFileTest, WritesAValidTable) {
    TempFolder folder;
    const std::string path = folder.Path("Made.ztb");
    ASSERT_TRUE(WriteTableFile(path, "Made by the writer", 1006));
    CalibrationTable table{};
    ASSERT_TRUE(LoadFile(path, table).loaded);
    EXPECT_EQ(TitleText(table.Header), "Made by the writer");
    EXPECT_EQ(table.Header.DeviceType, 1006);
    EXPECT_FALSE(WriteTableFile(folder.Path("NoSuchFolder") + platform::kPathSeparator + "X.ztb", "X"));
}

}  // namespace
