#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "testkit/Tables.h"

namespace {

class OperationsTest : public ::testing::Test {
protected:
    std::vector<CatalogueEntry> Installed() const { return ScanInstalled(setup_.Installed(), "Orvane A"); }
    std::vector<CatalogueEntry> New() const { return ScanNew(setup_.Distribution(), "Orvane A", Installed()); }

    CatalogueSetup setup_;
};

}  // namespace

TEST_F(OperationsTest, SelectedRowsAreTakenOnceFromTheHighestDown) {
    for (int k = 1; k <= 3; ++k)
        WriteTable(setup_.Distribution("D" + std::to_string(k) + ".ztb"), "T" + std::to_string(k));
    EXPECT_EQ(InstallTables(setup_.Folders(), New(), {}).message, "0 ZTB(s) have been installed.");

    const OperationReport report = InstallTables(setup_.Folders(), New(), {0, 2, 7, 2, 1});
    std::vector<int> rows;
    for (const RowReport& row : report.rows) rows.push_back(row.row);
    EXPECT_EQ(rows, (std::vector<int>{7, 2, 1, 0}));
    EXPECT_EQ(report.message, "3 ZTB(s) have been installed.");
    EXPECT_EQ(report.FailureText(), "Row 7: there is no row 7");
    EXPECT_EQ(RemoveTables(setup_.Folders(), Installed(), {0, 1, 2}).message, "3 ZTB(s) have been removed.");
}
