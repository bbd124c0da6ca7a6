#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "install/BackUpInstalledTable.h"
#include "testkit/Tables.h"

namespace {

BackupResult BackUp(const CatalogueSetup& setup, const std::string& fileName) {
    return BackUpInstalledTable(fileName, setup.Installed(), setup.Backup());
}

}  // namespace

// A taken backup name is never overwritten: the same bytes mean the
// installed copy is a duplicate, other bytes take the first free number.
TEST(BackUpInstalledTable, ATakenNameKeepsItsBackup) {
    CatalogueSetup setup;
    std::filesystem::create_directory(setup.Backup());
    WriteTable(setup.Backup("D1.ztb, v2.1"), "Slide film v2.1", 1002, UtcFileTime(1990, 1, 1, 0, 0));
    const std::vector<unsigned char> older = ReadBytes(setup.Backup("D1.ztb, v2.1"));

    // Same title, other bytes: the device type differs.
    WriteTable(setup.Installed("D1.ztb"), "Slide film v2.1", 1005);
    const std::vector<unsigned char> second = ReadBytes(setup.Installed("D1.ztb"));
    BackupResult result = BackUp(setup, "D1.ztb");
    EXPECT_EQ(result.outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(result.backupPath, setup.Backup("D1.ztb, v2.1 (2)"));

    WriteTable(setup.Installed("D1.ztb"), "Slide film v2.1", 1013);
    EXPECT_EQ(BackUp(setup, "D1.ztb").backupPath, setup.Backup("D1.ztb, v2.1 (3)"));

    ASSERT_TRUE(platform::WriteWholeFile(setup.Installed("D1.ztb"), second));
    EXPECT_EQ(BackUp(setup, "D1.ztb").outcome, BackupOutcome::DeletedDuplicate);
    ASSERT_TRUE(platform::WriteWholeFile(setup.Installed("D1.ztb"), older));
    EXPECT_EQ(BackUp(setup, "D1.ztb").outcome, BackupOutcome::DeletedDuplicate);

    EXPECT_EQ(NamesIn(setup.Backup()),
              (std::set<std::string>{"D1.ztb, v2.1", "D1.ztb, v2.1 (2)", "D1.ztb, v2.1 (3)"}));
    EXPECT_EQ(ReadBytes(setup.Backup("D1.ztb, v2.1")), older);
    EXPECT_EQ(ReadBytes(setup.Backup("D1.ztb, v2.1 (2)")), second);
    EXPECT_EQ(NamesIn(setup.Installed()), (std::set<std::string>{"Backup"}));
}

TEST(BackUpInstalledTable, ALabelWithSeparatorsStaysInTheBackupFolder) {
    CatalogueSetup setup;
    WriteTable(setup.Installed("D1.ztb"), "Slide v\\..\\..\\x");
    WriteTable(setup.Installed("D2.ztb"), "Slide v/../../y");
    EXPECT_EQ(BackUp(setup, "D1.ztb").outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(BackUp(setup, "D2.ztb").outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(NamesIn(setup.Backup()),
              (std::set<std::string>{"D1.ztb, v_.._.._x", "D2.ztb, v_.._.._y"}));
    EXPECT_EQ(NamesIn(setup.Installed()), (std::set<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(setup.Installed("..")), (std::set<std::string>{"ZTB"}));
}
