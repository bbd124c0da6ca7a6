// What only the POSIX layer has to get right: failures that cannot be made to
// happen under Wine, and the places where Linux differs from Windows.
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "testkit/Tables.h"
#include "testkit/TempFolder.h"

namespace {


// Runs CopyFileNoReplace in a child process whose files may not grow past
// limit bytes, so the copy's writes fail part way as on a full disk.
// Returns the copy's result.
bool CopyWithFileSizeLimit(const std::string& from, const std::string& to, rlim_t limit)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        const rlimit size{limit, limit};
        setrlimit(RLIMIT_FSIZE, &size);
        _exit(platform::CopyFileNoReplace(from, to) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FileSystemPosixTest : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(FileSystemPosixTest, ACopyThatCannotBeWrittenLeavesNoPartialFile)
{
    WriteText(temp.FsPath() / "source.ztb", std::string(200000, 'n'));

    EXPECT_FALSE(CopyWithFileSizeLimit(temp.Path("source.ztb"), temp.Path("copy.ztb"), 100000));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"source.ztb"}));

    EXPECT_TRUE(CopyWithFileSizeLimit(temp.Path("source.ztb"), temp.Path("copy.ztb"), 300000));
    EXPECT_EQ(ReadText(temp.FsPath() / "copy.ztb"), std::string(200000, 'n'));
}

TEST_F(FileSystemPosixTest, MoveToTheSameNameInAnotherCaseRenamesIt)
{
    WriteText(temp.FsPath() / "table.ztb", "T");
    EXPECT_TRUE(platform::MoveFileNoReplace(temp.Path("table.ztb"), temp.Path("TABLE.ZTB")));
    EXPECT_EQ(NamesIn(temp.FsPath()), (std::set<std::string>{"TABLE.ZTB"}));
    EXPECT_EQ(ReadText(temp.FsPath() / "TABLE.ZTB"), "T");
}

TEST_F(FileSystemPosixTest, MovesToAnotherFileSystemByCopyingWithTheTimes)
{
    const std::filesystem::path shm = "/dev/shm";
    struct stat here;
    struct stat there;
    if (stat(temp.FsPath().c_str(), &here) != 0 || stat(shm.c_str(), &there) != 0 || here.st_dev == there.st_dev) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const std::filesystem::path away = shm / temp.FsPath().filename();
    std::filesystem::create_directory(away);
    struct RemoveAway {
        std::filesystem::path path;
        ~RemoveAway() { std::filesystem::remove_all(path); }
    } removeAway{away};
    WriteText(temp.FsPath() / "table.ztb", "moving");
    WriteText(away / "taken.ztb", "stays");
    ASSERT_TRUE(SetTimesOf(temp.Path("table.ztb"), platform::FileTimes{0, 0, kTableTime}));

    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("table.ztb"), (away / "TAKEN.ZTB").string()));
    EXPECT_FALSE(platform::MoveFileNoReplace(temp.Path("table.ztb"), (away / "taken.ztb").string()));
    EXPECT_EQ(ReadText(away / "taken.ztb"), "stays");
    EXPECT_TRUE(platform::MoveFileNoReplace(temp.Path("TABLE.ztb"), (away / "Table.ztb").string()));
    EXPECT_TRUE(NamesIn(temp.FsPath()).empty());
    EXPECT_EQ(NamesIn(away), (std::set<std::string>{"Table.ztb", "taken.ztb"}));
    EXPECT_EQ(ReadText(away / "Table.ztb"), "moving");
    EXPECT_EQ(TimesOf((away / "Table.ztb").string()).lastWrite, kTableTime);
}

TEST_F(FileSystemPosixTest, NamesDifferingOnlyInCasePreferTheExactOneThenTheLeast)
{
    WriteText(temp.FsPath() / "b.ztb", "lower");
    WriteText(temp.FsPath() / "B.ztb", "upper");

    const std::vector<unsigned char> lower{'l', 'o', 'w', 'e', 'r'};
    const std::vector<unsigned char> upper{'u', 'p', 'p', 'e', 'r'};
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("b.ztb")), lower);
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("B.ztb")), upper);
    EXPECT_EQ(platform::ReadWholeFile(temp.Path("b.ZTB")), upper);
}

// Names found without regard to case come from kept folder listings; every
// change made since, by this process or another, must show in the next lookup.
TEST_F(FileSystemPosixTest, LookupsWithoutRegardToCaseSeeEveryLaterChange)
{
    const std::filesystem::path folder = temp.FsPath() / "ZTB";
    std::filesystem::create_directory(folder);
    const std::string table = temp.Path("ZTB/TABLE.ZTB");
    EXPECT_FALSE(platform::PathExists(table));

    WriteText(folder / "table.ztb", "made here");
    EXPECT_TRUE(platform::PathExists(table));
    std::filesystem::rename(folder / "table.ztb", temp.FsPath() / "away.ztb");
    EXPECT_FALSE(platform::PathExists(table));
    std::filesystem::rename(temp.FsPath() / "away.ztb", folder / "Table.ztb");
    EXPECT_TRUE(platform::PathExists(table));

    const pid_t child = fork();
    if (child == 0) _exit(platform::PathExists(table) && platform::RemoveFile(table) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(platform::PathExists(table));

    // Another folder now stands at the same path.
    std::filesystem::rename(folder, temp.FsPath() / "Old");
    std::filesystem::create_directory(folder);
    WriteText(folder / "tAbLe.ztb", "new folder");
    EXPECT_EQ(platform::ReadWholeFile(table), (std::vector<unsigned char>{'n', 'e', 'w', ' ', 'f', 'o', 'l', 'd', 'e', 'r'}));
    std::filesystem::remove_all(folder);
    EXPECT_FALSE(platform::PathExists(table));
}

TEST_F(FileSystemPosixTest, OnlyRegularFilesOpenAndAPipeDoesNotBlock)
{
    ASSERT_EQ(mkfifo((temp.FsPath() / "pipe.ztb").c_str(), 0600), 0);
    platform::InFile in;
    EXPECT_FALSE(in.Open(temp.Path("PIPE.ztb")));
    platform::OutFile out;
    EXPECT_FALSE(out.OpenExisting(temp.Path("pipe.ztb")));
    EXPECT_FALSE(platform::ReadWholeFile(temp.Path("pipe.ztb")).has_value());
    EXPECT_FALSE(platform::CopyFileNoReplace(temp.Path("pipe.ztb"), temp.Path("copy.ztb")));
    EXPECT_FALSE(in.Open("/dev/null"));
}

TEST_F(FileSystemPosixTest, CreationTimeIsTheBirthTimeOrElseTheLastWrite)
{
    WriteText(temp.FsPath() / "t.ztb", "t");
    // The creation time cannot be set here and is left as it is; the last
    // write goes back before any birth time.
    ASSERT_TRUE(SetTimesOf(temp.Path("t.ztb"), platform::FileTimes{1, 0, kTableTime}));
    const platform::FileTimes read = TimesOf(temp.Path("t.ztb"));
    EXPECT_NE(read.creation, 1u);
    EXPECT_GE(read.creation, read.lastWrite);
}

TEST(WindowsFolderTest, IsWindirWithoutItsTrailingSeparator)
{
    struct RestoreWindir {
        bool had = getenv("WINDIR") != nullptr;
        std::string saved = had ? getenv("WINDIR") : "";
        ~RestoreWindir() { had ? setenv("WINDIR", saved.c_str(), 1) : unsetenv("WINDIR"); }
    } restore;
    setenv("WINDIR", "/srv/windows/", 1);
    EXPECT_EQ(platform::WindowsFolder(), "/srv/windows");
    setenv("WINDIR", "/srv/windows", 1);
    EXPECT_EQ(platform::WindowsFolder(), "/srv/windows");
    unsetenv("WINDIR");
    EXPECT_EQ(platform::WindowsFolder(), "");
}

}  // namespace
