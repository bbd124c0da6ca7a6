#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "testkit/Tables.h"

namespace {

const platform::FileTime kOld = kTableTime;
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

}  // namespace

TEST_F(OperationsTest, RefusedWhenNothingIsListed) {
    const OperationReport install = InstallTables(setup_.Folders(), {}, {0});
    EXPECT_TRUE(install.refused);
    EXPECT_TRUE(install.rows.empty());
    EXPECT_EQ(install.message,
              "No film tables have been selected to install. Please select one or more film "
              "tables from the left list box.");
    EXPECT_EQ(RemoveTables(setup_.Folders(), {}, {0}).message,
              "No film tables have been selected to remove. Please select one or more film "
              "tables from the right list box.");
}

TEST_F(OperationsTest, ANewTableArrivesWithItsFileTimesAndNoBackupFolder) {
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v3", 1002, kNew);
    EXPECT_EQ(Install({0}).message, "1 ZTB(s) have been installed.");

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
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"D1.ztb"}));
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ztb")), ReadBytes(setup_.Distribution("D1.ztb")));
    // The same date text, so the table is no longer offered.
    EXPECT_TRUE(New().empty());
}

// The installed copy's name differs in case only: the same table.
TEST_F(OperationsTest, AnUpdatedTableReplacesTheInstalledCopyWhichGoesToTheBackupFolder) {
    WriteTable(setup_.Installed("d1.ztb"), "Slide film v2.1", 1002, kOld);
    const std::vector<unsigned char> previous = ReadBytes(setup_.Installed("d1.ztb"));
    WriteTable(setup_.Distribution("D1.ZTB"), "Slide film v2.2", 1002, kNew);
    ASSERT_EQ(New().at(0).Status, EntryStatus::Updated);

    EXPECT_EQ(Install({0}).message, "1 ZTB(s) have been installed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup", "D1.ZTB"}));
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ZTB")), ReadBytes(setup_.Distribution("D1.ZTB")));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ZTB, v2.1"}));
    EXPECT_EQ(ReadBytes(setup_.Backup("D1.ZTB, v2.1")), previous);
    EXPECT_TRUE(New().empty());
}

TEST_F(OperationsTest, RowsGoFromTheHighestDownAndADamagedCopyStopsThere) {
    // Rows 0..4 are the distribution tables titled A..E in D1..D5; the
    // installed copy of row 2 (D3) cannot be loaded.
    std::vector<std::vector<unsigned char>> before;
    for (int k = 1; k <= 5; ++k) {
        const std::string name = "D" + std::to_string(k) + ".ztb";
        const std::string title(1, static_cast<char>('A' + k - 1));
        WriteTable(setup_.Distribution(name), title + " v2", 1002, kNew);
        if (k == 3) {
            WriteDamagedTable(setup_.Installed(name));
        } else {
            WriteTable(setup_.Installed(name), title + " v1", 1002, kOld);
        }
        before.push_back(ReadBytes(setup_.Installed(name)));
    }
    const std::vector<CatalogueEntry> newEntries = ScanNew(setup_.Distribution(), "Orvane A", {});
    EXPECT_EQ(AbortMessage([&] { InstallTables(setup_.Folders(), newEntries, {0, 1, 2, 3, 4}); }),
              "Illegal ZTB ID string");

    // Rows 4 and 3 (D5, D4) are installed, row 2 and below untouched.
    for (int k = 1; k <= 5; ++k) {
        const std::string name = "D" + std::to_string(k) + ".ztb";
        const std::vector<unsigned char> expected =
            k >= 4 ? ReadBytes(setup_.Distribution(name)) : before[k - 1];
        EXPECT_EQ(ReadBytes(setup_.Installed(name)), expected) << name;
    }
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D4.ztb, v1", "D5.ztb, v1"}));
    // No temporary copy is left behind.
    EXPECT_EQ(NamesIn(setup_.Installed()),
              (std::set<std::string>{"Backup", "D1.ztb", "D2.ztb", "D3.ztb", "D4.ztb", "D5.ztb"}));
}

TEST_F(OperationsTest, SelectedRowsAreTakenOnceInDescendingOrder) {
    for (int k = 1; k <= 3; ++k) {
        WriteTable(setup_.Distribution("D" + std::to_string(k) + ".ztb"), "T" + std::to_string(k));
    }
    const OperationReport none = Install({});
    EXPECT_FALSE(none.refused);
    EXPECT_EQ(none.message, "0 ZTB(s) have been installed.");
    EXPECT_TRUE(NamesIn(setup_.Installed()).empty());

    const OperationReport report = Install({0, 2, 2, 1});
    std::vector<int> rows;
    for (const RowReport& row : report.rows) rows.push_back(row.row);
    EXPECT_EQ(rows, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(report.message, "3 ZTB(s) have been installed.");
}

TEST_F(OperationsTest, AMissingInstalledFolderFailsEveryRowAndIsNamed) {
    CatalogueSetup noInstalledFolder(false);
    WriteTable(noInstalledFolder.Distribution("D1.ztb"), "Slide");
    WriteTable(noInstalledFolder.Distribution("D2.ztb"), "Print");
    const OperationReport report = InstallTables(
        noInstalledFolder.Folders(), ScanNew(noInstalledFolder.Distribution(), "Orvane A", {}), {0, 1});
    EXPECT_EQ(report.message, "0 ZTB(s) have been installed.");
    const std::string reason =
        ": the installed folder " + noInstalledFolder.Installed() + " does not exist";
    EXPECT_EQ(report.FailureText(), "D1.ztb" + reason + "\nD2.ztb" + reason);
    EXPECT_FALSE(std::filesystem::exists(noInstalledFolder.Installed()));
}

// A file named like the backup folder keeps it from being made.
TEST_F(OperationsTest, AFailedBackupKeepsTheInstalledCopyAndFailsOnlyThatRow) {
    WriteTable(setup_.Installed("D1.ztb"), "Print v1", 1002, kOld);
    const std::vector<unsigned char> previous = ReadBytes(setup_.Installed("D1.ztb"));
    WriteTable(setup_.Distribution("D1.ztb"), "Print v2", 1002, kNew);
    WriteTable(setup_.Distribution("D2.ztb"), "Slide v1", 1002, kNew);
    ASSERT_TRUE(platform::WriteWholeFile(setup_.Installed("Backup"), {'x'}));
    const std::string reason = "the backup folder " + setup_.Backup() + " could not be created";

    const OperationReport install = Install({0, 1});  // rows: D1, D2
    EXPECT_EQ(install.message, "1 ZTB(s) have been installed.");
    EXPECT_EQ(install.FailureText(), "D1.ztb: the backup of the installed copy failed: " + reason);
    const OperationReport remove = Remove({0, 1});
    EXPECT_EQ(remove.message, "0 ZTB(s) have been removed.");
    EXPECT_EQ(remove.FailureText(),
              "D2.ztb: the backup failed: " + reason + "\nD1.ztb: the backup failed: " + reason);
    EXPECT_EQ(ReadBytes(setup_.Installed("D1.ztb")), previous);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup", "D1.ztb", "D2.ztb"}));
}

TEST_F(OperationsTest, DistributionCopiesGoneOrDamagedSinceTheScanFailTheirRowsOnly) {
    WriteTable(setup_.Installed("D2.ztb"), "B v1", 1002, kOld);
    const std::vector<unsigned char> previous = ReadBytes(setup_.Installed("D2.ztb"));
    WriteTable(setup_.Distribution("D1.ztb"), "A v2", 1002, kNew);
    WriteTable(setup_.Distribution("D2.ztb"), "B v2", 1002, kNew);
    WriteTable(setup_.Distribution("D3.ztb"), "C v1", 1002, kNew);
    const std::vector<CatalogueEntry> entries = New();  // rows: D1, D2, D3
    std::filesystem::remove(setup_.Distribution("D1.ztb"));
    WriteDamagedTable(setup_.Distribution("D2.ztb"));

    const OperationReport report = InstallTables(setup_.Folders(), entries, {0, 1, 2, 7});
    EXPECT_EQ(report.message, "1 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(),
              "Row 7: there is no row 7\n"
              "D2.ztb: the distribution copy cannot be used: Illegal ZTB ID string\n"
              "D1.ztb: the distribution copy " + setup_.Distribution("D1.ztb") + " is gone");
    EXPECT_EQ(ReadBytes(setup_.Installed("D2.ztb")), previous);
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"D2.ztb", "D3.ztb"}));
}

TEST_F(OperationsTest, RemoveMovesTheSelectedRowsToTheBackupFolderAndTheyComeBackAsNew) {
    WriteTable(setup_.Installed("D1.ztb"), "Slide v4", 1002, kNew);
    WriteTable(setup_.Installed("D2.ztb"), "Print v1", 1002, kNew);
    WriteTable(setup_.Installed("D3.ztb"), "Zoom v2", 1002, kNew);
    WriteTable(setup_.Distribution("D1.ztb"), "Slide v4", 1002, kNew);
    ASSERT_TRUE(New().empty());
    const std::vector<CatalogueEntry> entries = Installed();  // rows: D2, D1, D3
    std::filesystem::remove(setup_.Installed("D3.ztb"));

    // A table gone since the scan counts as removed.
    EXPECT_EQ(RemoveTables(setup_.Folders(), entries, {1, 2}).message, "2 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup", "D2.ztb"}));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ztb, v4"}));
    const std::vector<CatalogueEntry> offered = New();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].Status, EntryStatus::New);
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
    EXPECT_EQ(Installed().size(), 330u);

    EXPECT_EQ(Remove(all).message, "330 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup"}));
    EXPECT_EQ(NamesIn(setup_.Backup()).size(), 330u);
    EXPECT_EQ(New().size(), 330u);
}
