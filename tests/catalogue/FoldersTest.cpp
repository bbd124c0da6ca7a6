#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/Folders.h"
#include "testkit/Tables.h"

namespace {
const std::string sep(1, platform::kPathSeparator);
}

TEST(Folders, InstalledAndBackupBelowTheWindowsDirectory) {
    EXPECT_EQ(InstalledFolder("C:" + sep + "windows"),
              "C:" + sep + "windows" + sep + "KVData" + sep + "ZTB" + sep);
    EXPECT_EQ(BackupFolder("I" + sep), "I" + sep + "Backup" + sep);
}

TEST(Folders, DistributionIsTheZtbSubfolderWhenItExists) {
    TempFolder temp;
    EXPECT_EQ(DistributionFolder(temp.Text()), temp.Text());
    std::filesystem::create_directory(temp.FsPath() / "ZTB");
    EXPECT_EQ(DistributionFolder(temp.Text()), temp.Path("ZTB") + sep);
}

TEST(Folders, ProgramFolderIsTheExecutablesFolder) {
    std::string folder = "stale";
    const std::size_t length = ProgramFolder(260, folder);
    const std::string executable = platform::ExecutablePath(260);
    ASSERT_FALSE(executable.empty());
    EXPECT_EQ(length, executable.size());
    EXPECT_EQ(folder, executable.substr(0, executable.rfind(platform::kPathSeparator) + 1));

    // A path that does not fit the buffer cannot be obtained.
    EXPECT_EQ(ProgramFolder(2, folder), 0u);
    EXPECT_EQ(folder, "");
}
