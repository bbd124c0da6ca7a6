#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "testkit/Tables.h"

namespace {

const platform::FileTime kNew = UtcFileTime(2001, 3, 2, 11, 30, 15);

// Names as compared: a replacing copy takes the name as given, but Wine
// keeps the stored case of the file it replaces, so there case is left out.
std::set<std::string> Compared(const std::set<std::string>& names) {
#ifdef _WIN32
    std::set<std::string> folded;
    for (const std::string& name : names) folded.insert(FoldFileNameCase(name));
    return folded;
#else
    return names;
#endif
}

class OperationsTest : public ::testing::Test {
protected:
    std::vector<CatalogueEntry> Installed() const { return ScanInstalled(setup_.Installed(), "Orvane A"); }
    std::vector<CatalogueEntry> New() const { return ScanNew(setup_.Distribution(), "Orvane A", Installed()); }

    CatalogueSetup setup_;
};

}  // namespace

// A new table arrives with its times; an updated one whose installed name
// differs in case only replaces that copy, which is kept in Backup; removed
// tables come back as New.
TEST_F(OperationsTest, InstallThenRemove) {
    WriteTable(setup_.Installed("d1.ztb"), "Slide film v2.1");
    const Bytes previous = ReadBytes(setup_.Installed("d1.ztb"));
    WriteTable(setup_.Distribution("D1.ZTB"), "Slide film v2.2", 1002, kNew);
    WriteTable(setup_.Distribution("D2.ztb"), "Print v3", 1002, kNew);
    ASSERT_EQ(New().at(1).Status, EntryStatus::Updated);

    EXPECT_EQ(InstallTables(setup_.Folders(), New(), {0, 1}).message, "2 ZTB(s) have been installed.");
    EXPECT_EQ(Compared(NamesIn(setup_.Installed())), Compared({"Backup", "D1.ZTB", "D2.ztb"}));
    EXPECT_EQ(NamesIn(setup_.Backup()), (std::set<std::string>{"D1.ZTB, v2.1"}));
    EXPECT_EQ(ReadBytes(setup_.Backup("D1.ZTB, v2.1")), previous);
    for (const char* name : {"D1.ZTB", "D2.ztb"}) {
        // The times first: reading the content may touch the access time.
        const platform::FileTimes installed = TimesOf(setup_.Installed(name));
        const platform::FileTimes source = TimesOf(setup_.Distribution(name));
        EXPECT_EQ(ReadBytes(setup_.Installed(name)), ReadBytes(setup_.Distribution(name)));
        EXPECT_EQ(installed.lastWrite, kNew);
#ifdef _WIN32
        // POSIX cannot set a creation time; Wine keeps no access time of its own.
        EXPECT_EQ(installed.creation, source.creation);
#else
        EXPECT_EQ(installed.lastAccess, source.lastAccess);
#endif
    }
    EXPECT_TRUE(New().empty());

    EXPECT_EQ(RemoveTables(setup_.Folders(), Installed(), {0, 1}).message, "2 ZTB(s) have been removed.");
    EXPECT_EQ(NamesIn(setup_.Installed()), (std::set<std::string>{"Backup"}));
    EXPECT_EQ(Compared(NamesIn(setup_.Backup())), Compared({"D1.ZTB, v2.1", "D1.ZTB, v2.2", "D2.ztb, v3"}));
    const std::vector<CatalogueEntry> offered = New();
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].Status, EntryStatus::New);
    EXPECT_EQ(offered[1].Status, EntryStatus::New);
}

TEST_F(OperationsTest, SelectedRowsAreTakenOnceFromTheHighestDown) {
    EXPECT_TRUE(InstallTables(setup_.Folders(), {}, {0}).refused);
    EXPECT_EQ(RemoveTables(setup_.Folders(), {}, {0}).message,
              "No film tables have been selected to remove. Please select one or more film "
              "tables from the right list box.");
    for (int k = 1; k <= 3; ++k) WriteTable(setup_.Distribution("D" + std::to_string(k) + ".ztb"), "T" + std::to_string(k));
    EXPECT_EQ(InstallTables(setup_.Folders(), New(), {}).message, "0 ZTB(s) have been installed.");

    const OperationReport report = InstallTables(setup_.Folders(), New(), {0, 2, 7, 2, 1});
    std::vector<int> rows;
    for (const RowReport& row : report.rows) rows.push_back(row.row);
    EXPECT_EQ(rows, (std::vector<int>{7, 2, 1, 0}));
    EXPECT_EQ(report.message, "3 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "Row 7: there is no row 7");
}

// No capacity limit: more rows than a fixed list would hold, with long names.
TEST_F(OperationsTest, ManyTablesWithLongNames) {
    std::vector<int> all;
    for (int k = 0; k < 301; ++k) {
        WriteTable(setup_.Distribution("D" + std::to_string(k) + " calibration for a long film name.ztb"),
                   "Film " + std::to_string(k) + " v1");
        all.push_back(k);
    }
    EXPECT_EQ(InstallTables(setup_.Folders(), New(), all).message, "301 ZTB(s) have been installed.");
    EXPECT_EQ(RemoveTables(setup_.Folders(), Installed(), all).message, "301 ZTB(s) have been removed.");
    EXPECT_EQ(New().size(), 301u);
}
