#include <gtest/gtest.h>

#include <filesystem>

#include "install/BackUpInstalledTable.h"
#include "tests/catalogue/TableFiles.h"

namespace {

class BackupTest : public ::testing::Test {
protected:
    BackupTest()
        : installed_(temp_.Path("ZTB") + platform::kPathSeparator),
          backup_(installed_ + "Backup" + platform::kPathSeparator) {
        std::filesystem::create_directory(temp_.Path("ZTB"));
    }

    BackupResult BackUp(const std::string& fileName) {
        return BackUpInstalledTable(fileName, installed_, backup_);
    }

    TempFolder temp_;
    std::string installed_;
    std::string backup_;
};

}  // namespace

TEST_F(BackupTest, NoInstalledCopyLeavesTheBackupFolderUnmade) {
    EXPECT_EQ(BackUp("DFILM01.ztb").outcome, BackupOutcome::NoInstalledCopy);
    EXPECT_FALSE(std::filesystem::exists(backup_));
}

TEST_F(BackupTest, MovesUnderTheVersionedName) {
    WriteTable(installed_ + "DFILM01.ztb", "Slide film v2.1");
    const std::vector<unsigned char> bytes = FileBytes(installed_ + "DFILM01.ztb");

    const BackupResult result = BackUp("DFILM01.ztb");
    EXPECT_EQ(result.outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(result.backupPath, backup_ + "DFILM01.ztb, v2.1");
    EXPECT_EQ(NamesIn(installed_), (std::vector<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(backup_), (std::vector<std::string>{"DFILM01.ztb, v2.1"}));
    EXPECT_EQ(FileBytes(backup_ + "DFILM01.ztb, v2.1"), bytes);
}

TEST_F(BackupTest, ATakenNameWithTheSameBytesMeansTheCopyIsADuplicate) {
    WriteTable(installed_ + "D1.ztb", "Slide film v2.1");
    std::filesystem::create_directory(backup_);
    std::filesystem::copy_file(installed_ + "D1.ztb", backup_ + "D1.ztb, v2.1");

    EXPECT_EQ(BackUp("D1.ztb").outcome, BackupOutcome::DeletedDuplicate);
    EXPECT_EQ(NamesIn(installed_), (std::vector<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(backup_), (std::vector<std::string>{"D1.ztb, v2.1"}));
}

TEST_F(BackupTest, ATakenNameWithOtherBytesGetsTheFirstFreeNumber) {
    std::filesystem::create_directory(backup_);
    WriteTable(backup_ + "D1.ztb, v2.1", "Slide film v2.1", 1002, UtcFileTime(1990, 1, 1, 0, 0));
    const std::vector<unsigned char> older = FileBytes(backup_ + "D1.ztb, v2.1");

    // Same title, other bytes: the device type differs.
    WriteTable(installed_ + "D1.ztb", "Slide film v2.1", 1005);
    const std::vector<unsigned char> second = FileBytes(installed_ + "D1.ztb");
    BackupResult result = BackUp("D1.ztb");
    EXPECT_EQ(result.outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(result.backupPath, backup_ + "D1.ztb, v2.1 (2)");

    WriteTable(installed_ + "D1.ztb", "Slide film v2.1", 1013);
    result = BackUp("D1.ztb");
    EXPECT_EQ(result.backupPath, backup_ + "D1.ztb, v2.1 (3)");

    // A copy equal to a numbered backup is a duplicate too.
    ASSERT_TRUE(platform::WriteWholeFile(installed_ + "D1.ztb", second));
    EXPECT_EQ(BackUp("D1.ztb").outcome, BackupOutcome::DeletedDuplicate);

    EXPECT_EQ(NamesIn(backup_),
              (std::vector<std::string>{"D1.ztb, v2.1", "D1.ztb, v2.1 (2)", "D1.ztb, v2.1 (3)"}));
    EXPECT_EQ(FileBytes(backup_ + "D1.ztb, v2.1"), older);
    EXPECT_EQ(FileBytes(backup_ + "D1.ztb, v2.1 (2)"), second);
    EXPECT_EQ(NamesIn(installed_), (std::vector<std::string>{"Backup"}));
}

TEST_F(BackupTest, WhenTheBackupFolderCannotBeMadeTheCopyStays) {
    WriteTable(installed_ + "D1.ztb", "Slide film v2.1");
    const std::vector<unsigned char> bytes = FileBytes(installed_ + "D1.ztb");
    ASSERT_TRUE(platform::WriteWholeFile(installed_ + "Backup", {'x'}));  // a file in the way

    const BackupResult result = BackUp("D1.ztb");
    EXPECT_EQ(result.outcome, BackupOutcome::Failed);
    EXPECT_FALSE(result.failure.empty());
    EXPECT_EQ(FileBytes(installed_ + "D1.ztb"), bytes);
}

TEST_F(BackupTest, ACopyThatFailsToLoadEndsInTheErrorAbortAndStays) {
    WriteDamagedTable(installed_ + "D1.ztb");
    const std::vector<unsigned char> bytes = FileBytes(installed_ + "D1.ztb");
    EXPECT_EQ(AbortMessage([&] { BackUp("D1.ztb"); }), "Illegal ZTB ID string");
    EXPECT_EQ(FileBytes(installed_ + "D1.ztb"), bytes);
    EXPECT_TRUE(NamesIn(backup_).empty());
}

TEST_F(BackupTest, ALabelWithSeparatorsStaysInTheBackupFolder) {
    WriteTable(installed_ + "D1.ztb", "Slide v\\..\\..\\x");
    WriteTable(installed_ + "D2.ztb", "Slide v/../../y");
    EXPECT_EQ(BackUp("D1.ztb").outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(BackUp("D2.ztb").outcome, BackupOutcome::MovedToBackup);
    EXPECT_EQ(NamesIn(backup_), (std::vector<std::string>{"D1.ztb, v_.._.._x", "D2.ztb, v_.._.._y"}));
    EXPECT_EQ(NamesIn(temp_.Text()), (std::vector<std::string>{"ZTB"}));
    EXPECT_EQ(NamesIn(installed_), (std::vector<std::string>{"Backup"}));
}
