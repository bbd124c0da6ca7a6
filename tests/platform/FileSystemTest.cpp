// The file services give the same results on every build: this one source
// runs natively against the POSIX layer and under Wine against the Win32
// layer.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace {

using platform::FileTime;
using platform::FileTimes;

// 1998-07-04 09:05:00 UTC and 2000-02-29 23:59:59 UTC as file times.
constexpr FileTime kJuly1998 = 125440167000000000ULL;
constexpr FileTime kLeapDay2000 = 125963423990000000ULL;

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The names in a folder as stored, read without the layer under test.
std::set<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::set<std::string> FoundNames(const std::vector<platform::FoundEntry>& found)
{
    std::set<std::string> names;
    for (const auto& entry : found) names.insert(entry.name);
    return names;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

FileTimes TimesOf(const std::string& path)
{
    platform::InFile file;
    FileTimes times;
    EXPECT_TRUE(file.Open(path)) << path;
    EXPECT_TRUE(file.GetTimes(times)) << path;
    return times;
}

bool SetTimesOf(const std::string& path, const FileTimes& times)
{
    platform::OutFile file;
    return file.OpenExisting(path) && file.SetTimes(times) && file.Close();
}

class FileSystemTest : public ::testing::Test {
protected:
    TempFolder temp;
};

// ---- search ------------------------------------------------------------------

TEST_F(FileSystemTest, SearchMatchesStarAndQuestionMarkWithoutRegardToCase)
{
    WriteText(temp.FsPath() / "G100.ztb", "a");
    WriteText(temp.FsPath() / "g200.ZTB", "b");
    WriteText(temp.FsPath() / "G3.ztb", "c");
    WriteText(temp.FsPath() / "H100.ztb", "d");
    WriteText(temp.FsPath() / "G100.txt", "e");
    WriteText(temp.FsPath() / "G100.ztbak", "f");
    std::filesystem::create_directory(temp.FsPath() / "Gfolder.ztb");

    const auto found = platform::FindFiles(temp.Path("g*.ZTB"));
    EXPECT_EQ(FoundNames(found), (std::set<std::string>{"G100.ztb", "g200.ZTB", "G3.ztb", "Gfolder.ztb"}));
    for (const auto& entry : found) {
        EXPECT_EQ(entry.isFolder, entry.name == "Gfolder.ztb") << entry.name;
    }

    EXPECT_EQ(FoundNames(platform::FindFiles(temp.Path("G?00.ztb"))),
              (std::set<std::string>{"G100.ztb", "g200.ZTB"}));
    EXPECT_EQ(FoundNames(platform::FindFiles(temp.Path("h???.ZTB"))), (std::set<std::string>{"H100.ztb"}));
    EXPECT_TRUE(platform::FindFiles(temp.Path("G?.txt")).empty());
}

TEST_F(FileSystemTest, SearchForEverythingLeavesOutDotEntries)
{
    WriteText(temp.FsPath() / "one.ztb", "1");
    std::filesystem::create_directory(temp.FsPath() / "Backup");

    EXPECT_EQ(FoundNames(platform::FindFiles(temp.Path("*"))), (std::set<std::string>{"one.ztb", "Backup"}));
}

TEST_F(FileSystemTest, SearchResolvesTheFolderWithoutRegardToCaseAndFindsNothingInAMissingOne)
{
    std::filesystem::create_directory(temp.FsPath() / "KVData");
    WriteText(temp.FsPath() / "KVData" / "A1.ztb", "1");
    const std::string sep(1, platform::kPathSeparator);

    EXPECT_EQ(FoundNames(platform::FindFiles(temp.Path("kvdata" + sep + "a*.ztb"))),
              (std::set<std::string>{"A1.ztb"}));
    EXPECT_TRUE(platform::FindFiles(temp.Path("Missing" + sep + "*.ztb")).empty());
    EXPECT_TRUE(platform::FindFiles(temp.Path("*.none")).empty());
}

// ---- names without regard to case --------------------------------------------

TEST_F(FileSystemTest, OpensTestsAndReadsFilesWhoseNamesDifferInCase)
{
    std::filesystem::create_directory(temp.FsPath() / "Sub");
    WriteText(temp.FsPath() / "Sub" / "Table.ztb", "content");
    const std::string sep(1, platform::kPathSeparator);
    const std::string path = temp.Path("SUB" + sep + "tABLE.ZTB");

    EXPECT_TRUE(platform::PathExists(path));
    EXPECT_TRUE(platform::PathExists(temp.Path("sub")));
    EXPECT_FALSE(platform::PathExists(temp.Path("Sub" + sep + "Other.ztb")));

    platform::InFile file;
    ASSERT_TRUE(file.Open(path));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 7u);
    EXPECT_EQ(std::string(buffer, 7), "content");

    const auto bytes = platform::ReadWholeFile(path);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "content");
}

TEST_F(FileSystemTest, MovesCopiesAndDeletesFilesWhoseNamesDifferInCase)
{
    std::filesystem::create_directory(temp.FsPath() / "backup");
    WriteText(temp.FsPath() / "Table.ztb", "table");
    const std::string sep(1, platform::kPathSeparator);

    ASSERT_TRUE(platform::MoveFileNoReplace(temp.Path("TABLE.ZTB"), temp.Path("BACKUP" + sep + "Table.ztb, v1.0")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup"}));
    EXPECT_EQ(NamesIn(temp.FsPath() / "backup"), (std::set<std::string>{"Table.ztb, v1.0"}));

    ASSERT_TRUE(platform::CopyFileReplacing(temp.Path("Backup" + sep + "TABLE.ZTB, V1.0"), temp.Path("New.ztb")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup", "New.ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "New.ztb"), "table");

    WriteText(temp.FsPath() / "Other.ztb", "other");
    ASSERT_TRUE(platform::CopyFileReplacing(temp.Path("other.ZTB"), temp.Path("NEW.ZTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup", "New.ztb", "Other.ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "New.ztb"), "other");

    EXPECT_TRUE(platform::RemoveFile(temp.Path("nEW.zTB")));
    EXPECT_FALSE(platform::RemoveFile(temp.Path("nEW.zTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"backup", "Other.ztb"}));
}

TEST_F(FileSystemTest, CreatedFilesTakeTheNameAsGivenUnlessOneExistsInAnotherCase)
{
    platform::OutFile created;
    ASSERT_TRUE(created.Create(temp.Path("NewName.Ztb")));
    ASSERT_TRUE(created.Write("12345", 5));
    ASSERT_TRUE(created.Close());
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb"}));

    ASSERT_TRUE(platform::WriteWholeFile(temp.Path("NEWNAME.ZTB"), {'x', 'y'}));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "NewName.Ztb"), "xy");

    EXPECT_TRUE(platform::CreateFolder(temp.Path("Backup")));
    EXPECT_FALSE(platform::CreateFolder(temp.Path("BACKUP")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"NewName.Ztb", "Backup"}));
    EXPECT_TRUE(std::filesystem::is_directory(temp.FsPath() / "Backup"));
}

TEST_F(FileSystemTest, FolderTextsEndingInTheSeparatorWork)
{
    const std::string backup = temp.Path("Backup") + platform::kPathSeparator;
    EXPECT_FALSE(platform::PathExists(backup));
    EXPECT_TRUE(platform::CreateFolder(backup));
    EXPECT_TRUE(std::filesystem::is_directory(temp.FsPath() / "Backup"));
    EXPECT_TRUE(platform::PathExists(backup));
    EXPECT_TRUE(platform::PathExists(temp.Path("BACKUP") + platform::kPathSeparator));
    EXPECT_TRUE(platform::PathExists(temp.Text()));
}

TEST_F(FileSystemTest, AFolderCannotBeOpenedAsAFile)
{
    std::filesystem::create_directory(temp.FsPath() / "Folder.ztb");

    platform::InFile in;
    EXPECT_FALSE(in.Open(temp.Path("Folder.ztb")));
    EXPECT_FALSE(in.IsOpen());
    platform::OutFile out;
    EXPECT_FALSE(out.OpenExisting(temp.Path("folder.ZTB")));
    EXPECT_FALSE(platform::ReadWholeFile(temp.Path("Folder.ztb")).has_value());
    EXPECT_FALSE(platform::RemoveFile(temp.Path("Folder.ztb")));
    EXPECT_TRUE(std::filesystem::is_directory(temp.FsPath() / "Folder.ztb"));

    EXPECT_FALSE(in.Open(temp.Path("Missing.ztb")));
    EXPECT_FALSE(out.OpenExisting(temp.Path("Missing.ztb")));
    EXPECT_FALSE(platform::ReadWholeFile(temp.Path("Missing.ztb")).has_value());
}

// ---- reading -----------------------------------------------------------------

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

    ASSERT_TRUE(file.Seek(1));
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "123");

    // Offsets past 2^31 and past the end are honest: nothing is read there.
    ASSERT_TRUE(file.Seek(0x80000000ULL));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    ASSERT_TRUE(file.Seek(0x100000001ULL));
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    ASSERT_TRUE(file.Seek(2));
    EXPECT_EQ(file.Read(buffer, 1), 1u);
    EXPECT_EQ(buffer[0], '2');

    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Read(buffer, 1), 0u);
}

TEST_F(FileSystemTest, ReadsAnEmptyFileAsNoBytes)
{
    WriteText(temp.FsPath() / "empty.ztb", "");
    const auto bytes = platform::ReadWholeFile(temp.Path("empty.ztb"));
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(bytes->empty());
}

// ---- move and copy -----------------------------------------------------------

TEST_F(FileSystemTest, MoveRefusesAnExistingTargetInAnyCaseAndChangesNothing)
{
    WriteText(temp.FsPath() / "a.ztb", "A");
    WriteText(temp.FsPath() / "b.ztb", "B");

    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("b.ztb")));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("B.ZTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"a.ztb", "b.ztb"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "a.ztb"), "A");
    EXPECT_EQ(ReadText(temp.FsPath() / "b.ztb"), "B");

    const std::string sep(1, platform::kPathSeparator);
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("a.ztb"), temp.Path("Missing" + sep + "a.ztb")));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("c.ztb"), temp.Path("d.ztb")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"a.ztb", "b.ztb"}));
}

TEST_F(FileSystemTest, CopyReplacesTheTargetAndCarriesTheLastWriteTime)
{
    WriteText(temp.FsPath() / "source.ztb", "new content");
    WriteText(temp.FsPath() / "target.ztb", "old");
    FileTimes times;
    times.lastAccess = kLeapDay2000;
    times.lastWrite = kJuly1998;
    ASSERT_TRUE(SetTimesOf(temp.Path("source.ztb"), times));

    ASSERT_TRUE(platform::CopyFileReplacing(temp.Path("source.ztb"), temp.Path("target.ztb")));
    EXPECT_EQ(ReadText(temp.FsPath() / "target.ztb"), "new content");
    EXPECT_EQ(ReadText(temp.FsPath() / "source.ztb"), "new content");
    EXPECT_EQ(TimesOf(temp.Path("target.ztb")).lastWrite / 10000000, kJuly1998 / 10000000);
    // Nothing is left under a temporary name.
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"source.ztb", "target.ztb"}));
}

TEST_F(FileSystemTest, CopyOntoItselfUnderAnotherCaseKeepsTheContent)
{
    WriteText(temp.FsPath() / "same.ztb", "same");
    EXPECT_TRUE(platform::CopyFileReplacing(temp.Path("same.ztb"), temp.Path("SAME.ZTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()).size(), 1u);
    EXPECT_EQ(ReadText(temp.FsPath() / "same.ztb"), "same");
}

TEST_F(FileSystemTest, CopyFailsWithoutTouchingAnythingWhenItCannotCopy)
{
    WriteText(temp.FsPath() / "target.ztb", "old");
    std::filesystem::create_directory(temp.FsPath() / "Folder");
    const std::string sep(1, platform::kPathSeparator);

    EXPECT_FALSE(platform::CopyFileReplacing(temp.Path("missing.ztb"), temp.Path("target.ztb")));
    EXPECT_FALSE(platform::CopyFileReplacing(temp.Path("Folder"), temp.Path("target.ztb")));
    EXPECT_FALSE(platform::CopyFileReplacing(temp.Path("target.ztb"), temp.Path("Folder")));
    EXPECT_FALSE(platform::CopyFileReplacing(temp.Path("target.ztb"), temp.Path("Missing" + sep + "x.ztb")));
    EXPECT_EQ(ReadText(temp.FsPath() / "target.ztb"), "old");
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"target.ztb", "Folder"}));
    EXPECT_TRUE(NamesIn(temp.FsPath() / "Folder").empty());
}

// ---- times -------------------------------------------------------------------

// Reading a file may refresh its last-access time when that time is older
// than a day or than the last write (Linux "relatime", which Wine's reads go
// through); access times set here are therefore recent and after the write.
FileTime RecentAccessTime(const std::string& path)
{
    return TimesOf(path).lastWrite + 1234567;  // with a fraction of a second, to 100 ns
}

TEST_F(FileSystemTest, SetsAndReadsBackAccessAndWriteTimes)
{
    WriteText(temp.FsPath() / "timed.ztb", "t");
    FileTimes times;
    times.lastAccess = RecentAccessTime(temp.Path("timed.ztb"));
    times.lastWrite = kJuly1998 + 7654321;
    ASSERT_TRUE(SetTimesOf(temp.Path("TIMED.ztb"), times));

    const FileTimes read = TimesOf(temp.Path("timed.ZTB"));
    EXPECT_EQ(read.lastAccess, times.lastAccess);
    EXPECT_EQ(read.lastWrite, times.lastWrite);
    EXPECT_NE(read.creation, 0u);
}

TEST_F(FileSystemTest, AZeroTimeLeavesThatTimeAsItIs)
{
    WriteText(temp.FsPath() / "timed.ztb", "t");
    FileTimes first;
    first.lastAccess = RecentAccessTime(temp.Path("timed.ztb"));
    first.lastWrite = kJuly1998;
    ASSERT_TRUE(SetTimesOf(temp.Path("timed.ztb"), first));

    FileTimes onlyWrite;
    onlyWrite.lastWrite = kLeapDay2000;
    ASSERT_TRUE(SetTimesOf(temp.Path("timed.ztb"), onlyWrite));

    const FileTimes read = TimesOf(temp.Path("timed.ztb"));
    EXPECT_EQ(read.lastAccess, first.lastAccess);
    EXPECT_EQ(read.lastWrite, kLeapDay2000);
}

TEST(FileTimeToCalendar, GivesUtcCalendarFields)
{
    const auto july = platform::FileTimeToCalendar(kJuly1998 + 9999999);
    ASSERT_TRUE(july.has_value());
    EXPECT_EQ(july->year, 1998);
    EXPECT_EQ(july->month, 7);
    EXPECT_EQ(july->day, 4);
    EXPECT_EQ(july->hour, 9);
    EXPECT_EQ(july->minute, 5);
    EXPECT_EQ(july->second, 0);

    const auto leap = platform::FileTimeToCalendar(kLeapDay2000);
    ASSERT_TRUE(leap.has_value());
    EXPECT_EQ((std::vector<int>{leap->year, leap->month, leap->day, leap->hour, leap->minute, leap->second}),
              (std::vector<int>{2000, 2, 29, 23, 59, 59}));

    const auto first = platform::FileTimeToCalendar(0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ((std::vector<int>{first->year, first->month, first->day, first->hour, first->minute, first->second}),
              (std::vector<int>{1601, 1, 1, 0, 0, 0}));

    const auto last = platform::FileTimeToCalendar(0x7FFFFFFFFFFFFFFFULL);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ((std::vector<int>{last->year, last->month, last->day, last->hour, last->minute, last->second}),
              (std::vector<int>{30828, 9, 14, 2, 48, 5}));
}

TEST(FileTimeToCalendar, RejectsTimesWithTheTopBitSet)
{
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

TEST(SystemFolders, ExecutablePathNamesThisProgram)
{
    const std::string path = platform::ExecutablePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(platform::PathExists(path)) << path;
    EXPECT_NE(Upper(path).find("PLATFORM_TEST"), std::string::npos) << path;
    EXPECT_LT(path.size(), 260u);

    EXPECT_EQ(platform::ExecutablePath(path.size() + 1), path);
    EXPECT_TRUE(platform::ExecutablePath(path.size()).empty());
    EXPECT_TRUE(platform::ExecutablePath(4).empty());
}

}  // namespace
