#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "tests/catalogue/TableFiles.h"

namespace {

const platform::FileTime kOld = UtcFileTime(1998, 7, 4, 9, 5);
const platform::FileTime kNew = UtcFileTime(2001, 3, 2, 11, 30, 15);

class OperationsTest : public ::testing::Test {
protected:
    std::vector<CatalogueEntry> Installed() const {
        return ScanInstalled(setup_.Folders().Installed(), "Orvane A");
    }
    std::vector<CatalogueEntry> New() const {
        return ScanNew(setup_.Folders().Distribution(), "Orvane A", Installed());
    }
    OperationReport Install(const std::vector<int>& rows) const {
        return InstallTables(setup_.Folders(), New(), rows);
    }
    OperationReport Remove(const std::vector<int>& rows) const {
        return RemoveTables(setup_.Folders(), Installed(), rows);
    }

    CatalogueSetup setup_;
};

std::vector<int> RowNumbers(const OperationReport& report) {
    std::vector<int> rows;
    for (const RowReport& row : report.rows) rows.push_back(row.row);
    return rows;
}

}  // namespace

TEST_F(OperationsTest, RefusedWhenNothingIsListed) {
    const OperationReport install = InstallTables(setup_.Folders(), {}, {0});
    EXPECT_TRUE(install.refused);
    EXPECT_EQ(install.message,
              "No film tables have been selected to install. Please select one or more film "
              "tables from the left list box.");
    const OperationReport remove = RemoveTables(setup_.Folders(), {}, {0});
    EXPECT_TRUE(remove.refused);
    EXPECT_EQ(remove.message,
              "No film tables have been selected to remove. Please select one or more film "
              "tables from the right list box.");
    EXPECT_TRUE(install.rows.empty());
    EXPECT_TRUE(NamesIn(setup_.Installed()).empty());
}

TEST_F(OperationsTest, NoRowSelectedInstallsNothing) {
    WriteTable(setup_.Distribution("D1.ztb"), "Slide");
    const OperationReport report = Install({});
    EXPECT_FALSE(report.refused);
    EXPECT_EQ(report.message, "0 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "");
    EXPECT_TRUE(NamesIn(setup_.Installed()).empty());
}

TEST_F(OperationsTest, ANewTableArrivesWithItsFileTimesAndNoBackupFolder) {
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v3", 1002, kNew);
    const OperationReport report = Install({0});
    EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_TRUE(report.rows[0].ok);
    EXPECT_EQ(report.rows[0].fileName, "D1.ztb");

    // The times first: reading the content may touch the access time. The
    // distribution copy's access time is whatever its reading made it.
    platform::InFile installed;
    platform::InFile distributed;
    platform::FileTimes times;
    platform::FileTimes source;
    ASSERT_TRUE(installed.Open(setup_.Installed("D1.ztb")) && installed.GetTimes(times));
    ASSERT_TRUE(distributed.Open(setup_.Distribution("D1.ztb")) && distributed.GetTimes(source));
    installed.Close();
    distributed.Close();
    EXPECT_EQ(times.lastWrite, kNew);
#ifdef _WIN32
    // POSIX cannot set a creation time; Wine keeps no access time of its own.
    EXPECT_EQ(times.creation, source.creation);
#else
    EXPECT_EQ(times.lastAccess, source.lastAccess);
#endif
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"D1.ztb"}));
    EXPECT_EQ(FileBytes(setup_.Installed("D1.ztb")), FileBytes(setup_.Distribution("D1.ztb")));
    // The same date text, so the table is no longer offered.
    EXPECT_TRUE(New().empty());
}

TEST_F(OperationsTest, AnUpdatedTableReplacesTheInstalledCopyWhichGoesToTheBackupFolder) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide film v2.1", 1002, kOld);
    const std::vector<unsigned char> previous = FileBytes(setup_.Installed("D1.ztb"));
    WriteTable(setup_.Distribution("D1.ztb"), "Slide film v2.2", 1002, kNew);
    ASSERT_EQ(New().at(0).Status, EntryStatus::Updated);

    EXPECT_EQ(Install({0}).message, "1 ZTB(s) have been installed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup", "D1.ztb"}));
    EXPECT_EQ(FileBytes(setup_.Installed("D1.ztb")), FileBytes(setup_.Distribution("D1.ztb")));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::vector<std::string>{"D1.ztb, v2.1"}));
    EXPECT_EQ(FileBytes(setup_.Backup("D1.ztb, v2.1")), previous);
    EXPECT_TRUE(New().empty());
}

TEST_F(OperationsTest, InstalledNameInOtherCaseIsReplaced) {
    WriteTable(setup_.Installed("d1.ztb"), "Slide film v2.1", 1002, kOld);
    WriteTable(setup_.Distribution("D1.ZTB"), "Slide film v2.2", 1002, kNew);
    EXPECT_EQ(Install({0}).message, "1 ZTB(s) have been installed.");
    const std::vector<CatalogueEntry> installed = Installed();
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed[0].Description, "Slide film v2.2");
    EXPECT_EQ(NamesIn(setup_.Backup()).size(), 1u);
}

TEST_F(OperationsTest, RowsGoFromTheHighestDownAndADamagedCopyStopsThere) {
    // Rows 0..4 are the distribution tables titled A..E in D1..D5; the
    // installed copy of row 2 (D3) cannot be loaded.
    const char* titles[] = {"A v2", "B v2", "C v2", "D v2", "E v2"};
    std::vector<std::vector<unsigned char>> before(5);
    for (int k = 0; k < 5; ++k) {
        const std::string name = "D" + std::to_string(k + 1) + ".ztb";
        WriteTable(setup_.Distribution(name), titles[k], 1002, kNew);
        if (k == 2) {
            WriteDamagedTable(setup_.Installed(name));
        } else {
            WriteTable(setup_.Installed(name), std::string(titles[k]).substr(0, 2) + "v1", 1002, kOld);
        }
        before[static_cast<std::size_t>(k)] = FileBytes(setup_.Installed(name));
    }
    const std::vector<CatalogueEntry> newEntries =
        ScanNew(setup_.Folders().Distribution(), "Orvane A", {});
    ASSERT_EQ(newEntries.size(), 5u);

    EXPECT_EQ(AbortMessage([&] { InstallTables(setup_.Folders(), newEntries, {0, 1, 2, 3, 4}); }),
              "Illegal ZTB ID string");

    // Rows 4 and 3 are installed, row 2 and below untouched.
    EXPECT_EQ(FileBytes(setup_.Installed("D5.ztb")), FileBytes(setup_.Distribution("D5.ztb")));
    EXPECT_EQ(FileBytes(setup_.Installed("D4.ztb")), FileBytes(setup_.Distribution("D4.ztb")));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(FileBytes(setup_.Installed("D" + std::to_string(k + 1) + ".ztb")),
                  before[static_cast<std::size_t>(k)]);
    }
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::vector<std::string>{"D4.ztb, v1", "D5.ztb, v1"}));
    // No temporary copy is left behind.
    EXPECT_EQ(NamesIn(setup_.Installed()),
              (std::vector<std::string>{"Backup", "D1.ztb", "D2.ztb", "D3.ztb", "D4.ztb", "D5.ztb"}));
}

TEST_F(OperationsTest, SelectedRowsAreTakenOnceInDescendingOrder) {
    for (int k = 1; k <= 3; ++k) {
        WriteTable(setup_.Distribution("D" + std::to_string(k) + ".ztb"), "T" + std::to_string(k));
    }
    const OperationReport report = Install({0, 2, 2, 1});
    EXPECT_EQ(RowNumbers(report), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(report.message, "3 ZTB(s) have been installed.");
}

TEST_F(OperationsTest, AMissingInstalledFolderFailsEveryRowAndIsNamed) {
    CatalogueSetup noInstalledFolder(false);
    WriteTable(noInstalledFolder.Distribution("D1.ztb"), "Slide");
    WriteTable(noInstalledFolder.Distribution("D2.ztb"), "Print");
    const std::vector<CatalogueEntry> entries =
        ScanNew(noInstalledFolder.Folders().Distribution(), "Orvane A", {});
    const OperationReport report = InstallTables(noInstalledFolder.Folders(), entries, {0, 1});
    EXPECT_EQ(report.message, "0 ZTB(s) have been installed.");
    EXPECT_EQ(report.succeeded, 0);
    EXPECT_EQ(report.FailureText(),
              "D1.ztb: the installed folder " + noInstalledFolder.Installed() + " does not exist\n" +
                  "D2.ztb: the installed folder " + noInstalledFolder.Installed() + " does not exist");
    EXPECT_FALSE(std::filesystem::exists(noInstalledFolder.Installed()));
}

TEST_F(OperationsTest, AFailedBackupKeepsTheInstalledCopyAndFailsOnlyThatRow) {
    WriteTable(setup_.Installed("D1.ztb"), "Print v1", 1002, kOld);
    const std::vector<unsigned char> previous = FileBytes(setup_.Installed("D1.ztb"));
    WriteTable(setup_.Distribution("D1.ztb"), "Print v2", 1002, kNew);
    WriteTable(setup_.Distribution("D2.ztb"), "Slide v1", 1002, kNew);
    ASSERT_TRUE(platform::WriteWholeFile(setup_.Installed("Backup"), {'x'}));  // blocks the folder

    const OperationReport report = Install({0, 1});
    EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_TRUE(report.rows[0].ok);   // D2: new, needs no backup
    EXPECT_FALSE(report.rows[1].ok);  // D1
    EXPECT_EQ(report.FailureText().rfind("D1.ztb: the backup of the installed copy failed: ", 0), 0u)
        << report.FailureText();
    EXPECT_EQ(FileBytes(setup_.Installed("D1.ztb")), previous);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup", "D1.ztb", "D2.ztb"}));
}

TEST_F(OperationsTest, ADistributionCopyGoneSinceTheScanFailsItsRow) {
    WriteTable(setup_.Distribution("D1.ztb"), "Slide");
    const std::vector<CatalogueEntry> entries = New();
    std::filesystem::remove(setup_.Distribution("D1.ztb"));
    const OperationReport report = InstallTables(setup_.Folders(), entries, {0, 7});
    EXPECT_EQ(report.message, "0 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "Row 7: there is no row 7\nD1.ztb: the distribution copy " +
                                        setup_.Distribution("D1.ztb") + " is gone");
    EXPECT_TRUE(NamesIn(setup_.Installed()).empty());
}

TEST_F(OperationsTest, ADistributionCopyDamagedSinceTheScanIsNotInstalled) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v1", 1002, kOld);
    const std::vector<unsigned char> previous = FileBytes(setup_.Installed("D1.ztb"));
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v2", 1002, kNew);
    WriteTable(setup_.Distribution("D2.ztb"), "Print v1", 1002, kNew);
    const std::vector<CatalogueEntry> entries = New();  // Print v1, Slide v2
    WriteDamagedTable(setup_.Distribution("D1.ztb"));

    const OperationReport report = InstallTables(setup_.Folders(), entries, {0, 1});
    EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "D1.ztb: the distribution copy cannot be used: Illegal ZTB ID string");
    EXPECT_EQ(FileBytes(setup_.Installed("D1.ztb")), previous);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"D1.ztb", "D2.ztb"}));
    EXPECT_EQ(Installed().size(), 2u);
}

TEST_F(OperationsTest, RemoveMovesToTheBackupFolderAndTheTableComesBackAsNew) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v4", 1002, kNew);
    WriteTable(setup_.Installed("D2.ztb"), "Print v1", 1002, kNew);
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v4", 1002, kNew);
    ASSERT_TRUE(New().empty());

    const OperationReport report = Remove({1});  // rows: Print v1, Slide v4
    EXPECT_EQ(report.message, "1 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup", "D2.ztb"}));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::vector<std::string>{"D1.ztb, v4"}));
    const std::vector<CatalogueEntry> offered = New();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].Status, EntryStatus::New);
}

TEST_F(OperationsTest, RemoveCountsATableAlreadyGoneAndKeepsOneThatCannotBeBackedUp) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v4");
    WriteTable(setup_.Installed("D2.ztb"), "Print v1");
    const std::vector<CatalogueEntry> entries = Installed();
    std::filesystem::remove(setup_.Installed("D2.ztb"));  // row 0
    ASSERT_TRUE(platform::WriteWholeFile(setup_.Installed("Backup"), {'x'}));

    const OperationReport report = RemoveTables(setup_.Folders(), entries, {0, 1});
    EXPECT_EQ(report.message, "1 ZTB(s) have been removed.");
    EXPECT_TRUE(report.rows[1].ok);   // D2, already gone
    EXPECT_FALSE(report.rows[0].ok);  // D1 stays
    EXPECT_EQ(report.FailureText().rfind("D1.ztb: the backup failed: ", 0), 0u) << report.FailureText();
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup", "D1.ztb"}));
}

TEST_F(OperationsTest, RemoveOfADamagedTableEndsInTheErrorAbort) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v4");
    const std::vector<CatalogueEntry> entries = Installed();
    WriteDamagedTable(setup_.Installed("D1.ztb"));
    EXPECT_EQ(AbortMessage([&] { RemoveTables(setup_.Folders(), entries, {0}); }),
              "Illegal ZTB ID string");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup", "D1.ztb"}));
}

TEST_F(OperationsTest, InstallAndRemoveMoreThanThreeHundredTablesWithLongNames) {
    const int count = 330;
    for (int k = 0; k < count; ++k) {
        WriteTable(setup_.Distribution("D" + std::to_string(k) + " calibration for a long film name.ztb"),
                   "Film " + std::to_string(k) + " v1", 1002, kNew);
    }
    std::vector<int> all;
    for (int k = 0; k < count; ++k) all.push_back(k);
    EXPECT_EQ(Install(all).message, "330 ZTB(s) have been installed.");
    EXPECT_TRUE(New().empty());
    EXPECT_EQ(Installed().size(), static_cast<std::size_t>(count));

    EXPECT_EQ(Remove(all).message, "330 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::vector<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(setup_.Backup()).size(), static_cast<std::size_t>(count));
    EXPECT_EQ(New().size(), static_cast<std::size_t>(count));
}
