// The report of an operation reaches the user whatever the rescan after it
// meets.
#include <gtest/gtest.h>

#include "testkit/Tables.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

using Reports = DialogTest;

// A distribution copy damaged after the scan fails its row, and the rescan
// then stops at it: the count and the failed row come first, then the
// damaged table's message; the right list shows the installed table.
TEST_F(Reports, ReportSurvivesADamagedTableInTheRescan)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Distribute("D500.ztb", "Chrome 64 v1", 100);
    Open();
    WriteDamagedTable(distributionFolder + "D500.ztb");
    Press(IDC_ADD_ALL);

    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{"1 ZTB(s) have been installed.",
                                        std::string("D500.ztb: the distribution copy cannot be used: ") + kDamagedMessage,
                                        kDamagedMessage}));
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Slide 100 v2"});
    ExpectListsMatchEntries();
}

}  // namespace
