// The file services give the same results on every build: this one source
// runs natively against the POSIX layer and under Wine against the Win32
// layer.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "testkit/Tables.h"
#include "testkit/TempFolder.h"

namespace {

using platform::FileTime;
using platform::FileTimes;

// 1998-07-04 09:05:00 UTC and 2000-02-29 23:59:59 UTC as file times.
constexpr FileTime kLeapDay2000 = 125963423990000000ULL;

const std::string kSep(1, platform::kPathSeparator);

std::set<std::string> FoundNames(const std::string& pattern)
{
    std::set<std::string> names;
    for (const auto& entry : platform::FindFiles(pattern)) names.insert(entry.name);
    return names;
}

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder temp;
};

// ---- search ------------------------------------------------------------------

TEST_F(FileSystemTest, SearchMatchesWithoutRegardToCaseAndFindsNothingInAMissingFolder)
{
    for (const char* name : {"G100.ztb", "g200.ZTB", "G3.ztb", "H100.ztb", "G100.txt", "G100.ztbak"}) {
        WriteText(temp.FsPath() / name, name);
    }
    std::filesystem::create_directory(temp.FsPath() / "Gfolder.ztb");
    WriteText(temp.FsPath() / "Gfolder.ztb" / "A1.ztb", "1");

    // Only names that match as stored count, not the 8.3 names Windows adds.
    EXPECT_EQ(FoundNames(temp.Path("g*.ZTB")), (std::set<std::string>{"G100.ztb", "g200.ZTB", "G3.ztb", "Gfolder.ztb"}));
    for (const auto& entry : platform::FindFiles(temp.Path("g*.ZTB"))) {
        EXPECT_EQ(entry.isFolder, entry.name == "Gfolder.ztb") << entry.name;
    }
    EXPECT_EQ(FoundNames(temp.Path("G?00.ztb")), (std::set<std::string>{"G100.ztb", "g200.ZTB"}));
    EXPECT_EQ(FoundNames(temp.Path("*")).size(), 7u);  // no "." or ".."
    EXPECT_EQ(FoundNames(temp.Path("gFOLDER.ztb" + kSep + "a*.ztb")), (std::set<std::string>{"A1.ztb"}));
    EXPECT_TRUE(platform::FindFiles(temp.Path("Missing" + kSep + "*.ztb")).empty());
    EXPECT_TRUE(platform::FindFiles(temp.Path("*.none")).empty());
}

// ---- names without regard to case --------------------------------------------

TEST_F(FileSystemTest, OpensTestsAndReadsFilesWhoseNamesDifferInCase)
{
    std::filesystem::create_directory(temp.FsPath() / "Sub");
    WriteText(temp.FsPath() / "Sub" / "Table.ztb", "content");
    const std::string path = temp.Path("SUB" + kSep + "tABLE.ZTB");

    EXPECT_TRUE(platform::PathExists(path));
    EXPECT_TRUE(platform::PathExists(temp.Path("sub")));
    EXPECT_FALSE(platform::PathExists(temp.Path("Sub" + kSep + "Other.ztb")));

    platform::InFile file;
    ASSERT_TRUE(file.Open(path));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 7u);
    EXPECT_EQ(std::string(buffer, 7), "content");
    EXPECT_EQ(platform::ReadWholeFile(path), (std::vector<unsigned char>{'c', 'o', 'n', 't', 'e', 'n', 't'}));
}

TEST_F(FileSystemTest, MovesCopiesAndDeletesFilesWhoseNamesDifferInCase)
{
    std::filesystem::create_directory(temp.FsPath() / "backup");
    WriteText(temp.FsPath() / "Table.ztb", "table");

    ASSERT_TRUE(platform::MoveFileNoReplace(temp.Path("TABLE.ZTB"), temp.Path("BACKUP" + kSep + "Table.ztb, v1.0")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup"}));
    EXPECT_EQ(NamesIn(temp.FsPath() / "backup"), (std::set<std::string>{"Table.ztb, v1.0"}));

    ASSERT_TRUE(platform::CopyFileNoReplace(temp.Path("Backup" + kSep + "TABLE.ZTB, V1.0"), temp.Path("New.ztb")));
    EXPECT_EQ(ReadText(temp.FsPath() / "New.ztb"), "table");
    WriteText(temp.FsPath() / "Other.ztb", "other");

    EXPECT_TRUE(platform::RemoveFile(temp.Path("nEW.zTB")));
    EXPECT_FALSE(platform::RemoveFile(temp.Path("nEW.zTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup", "Other.ztb"}));
}

TEST_F(FileSystemTest, CreatedFilesAndFoldersTakeTheNameAsGivenUnlessOneExistsInAnotherCase)
{
    platform::OutFile created;
    ASSERT_TRUE(created.Create(temp.Path("NewName.Ztb")));
    ASSERT_TRUE(created.Write("12345", 5));
    ASSERT_TRUE(created.Close());
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb"}));

    ASSERT_TRUE(platform::WriteWholeFile(temp.Path("NEWNAME.ZTB"), {'x', 'y'}));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "NewName.Ztb"), "xy");

    // Folder texts may end in the separator.
    EXPECT_FALSE(platform::PathExists(temp.Path("Backup") + kSep));
    EXPECT_TRUE(platform::CreateFolder(temp.Path("Backup") + kSep));
    EXPECT_FALSE(platform::CreateFolder(temp.Path("BACKUP")));
    EXPECT_TRUE(platform::PathExists(temp.Path("BACKUP") + kSep));
    EXPECT_TRUE(platform::PathExists(temp.Text()));
    EXPECT_TRUE(std::filesystem::is_directory(temp.FsPath() / "Backup"));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb", "Backup"}));
}

TEST_F(FileSystemTest, OnlyExistingFilesOpenAndAnEmptyOneReadsAsNoBytes)
{
    std::filesystem::create_directory(temp.FsPath() / "Folder.ztb");
    platform::InFile in;
    platform::OutFile out;
    for (const std::string name : {"Folder.ztb", "Missing.ztb"}) {
        EXPECT_FALSE(in.Open(temp.Path(name))) << name;
        EXPECT_FALSE(in.IsOpen()) << name;
        EXPECT_FALSE(out.OpenExisting(temp.Path(name))) << name;
        EXPECT_FALSE(platform::ReadWholeFile(temp.Path(name)).has_value()) << name;
    }
    EXPECT_FALSE(platform::RemoveFile(temp.Path("Folder.ztb")));
    EXPECT_TRUE(std::filesystem::is_directory(temp.FsPath() / "Folder.ztb"));

    WriteText(temp.FsPath() / "empty.ztb", "");
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("empty.ztb")), std::vector<unsigned char>());
}

TEST_F(FileSystemTest, ReadsFromSoughtOffsetsAndReportsShortReads)
{
    WriteText(temp.FsPath() / "data.bin", "0123456789");
    platform::InFile file;
    ASSERT_TRUE(file.Open(temp.Path("data.bin")));

    char buffer[8] = {};
    ASSERT_TRUE(file.Seek(6));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);

    // Offsets past 2^31 and past the end are honest: nothing is read there.
    ASSERT_TRUE(file.Seek(0x80000000ULL));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    ASSERT_TRUE(file.Seek(0x100000001ULL));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    ASSERT_TRUE(file.Seek(2));
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], '2');

    file.Close();
    EXPECT_EQ(file.Read(buffer, 1), 0u);
}

// ---- move and copy -----------------------------------------------------------

TEST_F(FileSystemTest, MoveRefusesAnExistingTargetInAnyCaseAndChangesNothing)
{
    WriteText(temp.FsPath() / "a.ztb", "A");
    WriteText(temp.FsPath() / "b.ztb", "B");

    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("b.ztb")));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("B.ZTB")));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("Missing" + kSep + "a.ztb")));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("c.ztb"), temp.Path("d.ztb")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"a.ztb", "b.ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "a.ztb"), "A");
    EXPECT_EQ(ReadText(temp.FsPath() / "b.ztb"), "B");
}

// ---- times -------------------------------------------------------------------

TEST_F(FileSystemTest, SetsTimesTo100NanosecondsAndAZeroTimeLeavesThatTimeAsItIs)
{
    WriteText(temp.FsPath() / "timed.ztb", "t");
    // Reading a file may refresh an access time older than a day or than the
    // last write (Linux "relatime", which Wine's reads go through), so the
    // access time set here is recent and after the write.
    const FileTime access = TimesOf(temp.Path("timed.ztb")).lastWrite + 1234567;
    ASSERT_TRUE(SetTimesOf(temp.Path("TIMED.ztb"), FileTimes{0, access, kTableTime + 7654321}));
    FileTimes read = TimesOf(temp.Path("timed.ZTB"));
    EXPECT_EQ(read.lastAccess, access);
    EXPECT_EQ(read.lastWrite, kTableTime + 7654321);
    EXPECT_NE(read.creation, 0u);

    ASSERT_TRUE(SetTimesOf(temp.Path("timed.ztb"), FileTimes{0, 0, kLeapDay2000}));
    read = TimesOf(temp.Path("timed.ztb"));
    EXPECT_EQ(read.lastAccess, access);
    EXPECT_EQ(read.lastWrite, kLeapDay2000);
}

TEST(FileTimeToCalendar, GivesUtcCalendarFieldsAndRejectsTimesWithTheTopBitSet)
{
    const struct {
        FileTime time;
        std::vector<int> fields;  // year, month, day, hour, minute, second
    } cases[] = {
        {kTableTime + 9999999, {1998, 7, 4, 9, 5, 0}},
        {kLeapDay2000, {2000, 2, 29, 23, 59, 59}},
        {0, {1601, 1, 1, 0, 0, 0}},
        {0x7FFFFFFFFFFFFFFFULL, {30828, 9, 14, 2, 48, 5}},
    };
    for (const auto& test : cases) {
        const auto c = platform::FileTimeToCalendar(test.time);
        ASSERT_TRUE(c.has_value()) << test.time;
        EXPECT_EQ((std::vector<int>{c->year, c->month, c->day, c->hour, c->minute, c->second}), test.fields);
    }
    EXPECT_FALSE(platform::FileTimeToCalendar(0x8000000000000000ULL).has_value());
    EXPECT_FALSE(platform::FileTimeToCalendar(0xFFFFFFFFFFFFFFFFULL).has_value());
}

// ---- system folders ----------------------------------------------------------

TEST(SystemFolders, WindowsFolderIsKnownAndHasNoTrailingSeparator)
{
    const std::string folder = platform::WindowsFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), platform::kPathSeparator);
    EXPECT_TRUE(platform::PathExists(folder)) << folder;
}

TEST(SystemFolders, ExecutablePathNamesThisProgramAndNeedsRoomForAllOfIt)
{
    const std::string path = platform::ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(platform::PathExists(path)) << path;
    std::string upper = path;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    EXPECT_NE(upper.find("PLATFORM_TEST"), std::string::npos) << path;

    EXPECT_EQ(platform::ExecutablePath(path.size() + 1), path);
    EXPECT_TRUE(platform::ExecutablePath(path.size()).empty());
    EXPECT_TRUE(platform::ExecutablePath(4).empty());
}

}  // namespace
