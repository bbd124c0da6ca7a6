// "Add", "Add All" and "Remove" through the dialog on real folders, and
// what the dialog shows when a table cannot be loaded.
#include <gtest/gtest.h>

#include "catalogue/CatalogueEntry.h"
#include "platform/FileSystem.h"
#include "testkit/Tables.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

using Operations = DialogTest;

const std::string kBackup = std::string("Backup") + platform::kPathSeparator;

TEST_F(Operations, AddInstallsTheSelectedRows)
{
    MakeTables();
    Open();
    ClickRow(IDC_NEW_LIST, 1);
    ClickRow(IDC_NEW_LIST, 2, true);
    Press(IDC_ADD);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"2 ZTB(s) have been installed."});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Chrome 64 v1"});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST),
              (std::vector<std::string>{"Negative 400 v1", "Print 50 v3", "Slide 100 v2"}));
    EXPECT_TRUE(Exists(installedFolder + "D100.ztb"));
    EXPECT_TRUE(Exists(installedFolder + kBackup + "D200.ztb, v2"));
    EXPECT_FALSE(Exists(installedFolder + "D500.ztb"));
    ExpectButtons(false, false, true);
    ExpectListsMatchEntries();
}

// A model change enables "Add" with no row selected; "Add" then installs
// nothing. Its saving exchange reads what was typed into the model box
// (typing alone triggers nothing), and its rescans use that model.
TEST_F(Operations, AddWithoutSelectionCountsNothingAndRescansTheTypedModel)
{
    MakeTables();
    Open();
    ChooseModel(kOrvaneA);
    ::SetWindowTextA(Item(IDC_MODEL_BOX), "Orvane B");
    PumpMessages();
    EXPECT_EQ(dialog->SelectedModel, "Orvane A");
    Press(IDC_ADD);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"0 ZTB(s) have been installed."});
    EXPECT_FALSE(Exists(installedFolder + "D100.ztb"));
    EXPECT_EQ(dialog->SelectedModel, "Orvane B");
    EXPECT_EQ(::SendMessageA(Item(IDC_MODEL_BOX), CB_GETCURSEL, 0, 0), kOrvaneB);
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Ortho 25"});
    ExpectButtons(false, false, true);
}

TEST_F(Operations, AddAllInstallsEveryRow)
{
    MakeTables();
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    Press(IDC_ADD_ALL);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"3 ZTB(s) have been installed."});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST),
              (std::vector<std::string>{"Chrome 64 v1", "Negative 400 v1", "Print 50 v3", "Slide 100 v2"}));
    ExpectButtons(false, false, false);
    ExpectListsMatchEntries();
}

TEST_F(Operations, RemoveBringsADistributedTableBackAsNew)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Install("D100.ztb", "Slide 100 v2", 100);
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();
    ASSERT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});

    ClickRow(IDC_INSTALLED_LIST, 1);  // "Slide 100 v2"
    Press(IDC_REMOVE);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"1 ZTB(s) have been removed."});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Negative 400 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Slide 100 v2"});
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), kRed);
    EXPECT_TRUE(Exists(installedFolder + kBackup + "D100.ztb, v2"));
    ExpectButtons(false, false, true);
    ExpectListsMatchEntries();
}

// The scans give counts, entries and rows only when they complete, so a
// damaged table at the start leaves the empty catalogue and every button off.
TEST_F(Operations, DamagedTableAtInitialisationLeavesAnEmptyLeftList)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Distribute("D100.ztb", "Slide 100 v2", 100);
    WriteDamagedTable(distributionFolder + "D900.ztb");
    Open();

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kDamagedMessage});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Negative 400 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    ExpectButtons(false, false, false);
    ExpectListsMatchEntries();

    // The dialog goes on: the right list works as ever.
    ClickRow(IDC_INSTALLED_LIST, 0);
    EXPECT_TRUE(Enabled(IDC_REMOVE));
}

TEST_F(Operations, DamagedTableOnModelChangeKeepsListsAndEntriesTogether)
{
    MakeTables();
    Install("G100.ztb", "Ortho 25 v1", 100);
    WriteDamagedTable(distributionFolder + "G900.ztb");
    Open();
    ClickRow(IDC_NEW_LIST, 0);
    const std::vector<std::string> leftBefore = Rows(IDC_NEW_LIST);

    ChooseModel(kOrvaneB);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kDamagedMessage});
    // The right list was rebuilt for the new model before the fault; the
    // left one keeps the rows and the entries of the model before.
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Ortho 25 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), leftBefore);
    ExpectListsMatchEntries();
    ExpectButtons(false, true, true);

    // What the left list shows is what "Add" installs; its rescan meets
    // the damaged table again.
    ClickRow(IDC_NEW_LIST, 0);
    Press(IDC_ADD);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kDamagedMessage});
    EXPECT_TRUE(Exists(installedFolder + "D500.ztb"));
    ExpectListsMatchEntries();

    ChooseModel(kOrvaneA);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Rows(IDC_NEW_LIST), (std::vector<std::string>{"Print 50 v3", "Slide 100 v2"}));
    ExpectListsMatchEntries();
}

TEST_F(Operations, DamagedInstalledCopyAbandonsTheRemove)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Install("D400.ztb", "Pan 400 v1", 100);
    Open();
    WriteDamagedTable(installedFolder + "D300.ztb");

    ClickRow(IDC_INSTALLED_LIST, 0);
    ClickRow(IDC_INSTALLED_LIST, 1, true);
    Press(IDC_REMOVE);

    // Rows go from the highest down: "Pan 400 v1" is removed, then the
    // damaged table ends the operation with no rescan and no count.
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{kDamagedMessage});
    EXPECT_FALSE(Exists(installedFolder + "D400.ztb"));
    EXPECT_TRUE(Exists(installedFolder + "D300.ztb"));
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), (std::vector<std::string>{"Negative 400 v1", "Pan 400 v1"}));
    EXPECT_TRUE(Enabled(IDC_REMOVE));
    ExpectListsMatchEntries();
}

}  // namespace
