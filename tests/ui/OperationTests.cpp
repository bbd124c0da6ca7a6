// "Add", "Add All" and "Remove" through the dialog on real folders, and
// what the dialog shows when a table cannot be loaded.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalogue/CatalogueEntry.h"
#include "install/TableOperations.h"
#include "platform/FileSystem.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

constexpr int kOrvaneA = 4;
constexpr int kOrvaneB = 7;

class Operations : public DialogTest {
protected:
    void MakeTables()
    {
        Distribute("D100.ztb", "Slide 100 v2", 100);
        Distribute("D200.ztb", "Print 50 v3", 300);
        Distribute("D500.ztb", "Chrome 64 v1", 100);
        Install("D200.ztb", "Print 50 v2", 200);
        Install("D300.ztb", "Negative 400 v1", 100);
    }

    bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

    void ExpectButtonsAfterOperation()
    {
        EXPECT_FALSE(Enabled(IDC_REMOVE));
        EXPECT_FALSE(Enabled(IDC_ADD));
        EXPECT_EQ(Enabled(IDC_ADD_ALL), dialog->NewCount != 0);
    }
};

TEST_F(Operations, AddInstallsTheSelectedRows)
{
    MakeTables();
    Open();
    ASSERT_EQ(Rows(IDC_NEW_LIST), (std::vector<std::string>{"Chrome 64 v1", "Print 50 v3", "Slide 100 v2"}));

    ClickRow(IDC_NEW_LIST, 1);
    ClickRow(IDC_NEW_LIST, 2, true);
    Press(IDC_ADD);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"2 ZTB(s) have been installed."});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Chrome 64 v1"});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST),
              (std::vector<std::string>{"Negative 400 v1", "Print 50 v3", "Slide 100 v2"}));
    EXPECT_TRUE(Exists(installedFolder + "D100.ztb"));
    EXPECT_TRUE(Exists(installedFolder + "Backup" + platform::kPathSeparator + "D200.ztb, v2"));
    EXPECT_FALSE(Exists(installedFolder + "D500.ztb"));
    ExpectButtonsAfterOperation();
    EXPECT_TRUE(Enabled(IDC_ADD_ALL));
    ExpectListsMatchEntries();
}

TEST_F(Operations, AddWithoutSelectionRescansAndCountsNothing)
{
    MakeTables();
    Open();
    ChooseModel(kOrvaneA);  // enables "Add" with no row selected
    ASSERT_TRUE(Enabled(IDC_ADD));
    Press(IDC_ADD);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"0 ZTB(s) have been installed."});
    EXPECT_EQ(Rows(IDC_NEW_LIST).size(), 3u);
    EXPECT_FALSE(Exists(installedFolder + "D100.ztb"));
    ExpectButtonsAfterOperation();
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
    EXPECT_EQ(dialog->NewCount, 0);
    ExpectButtonsAfterOperation();
    EXPECT_FALSE(Enabled(IDC_ADD_ALL));
    ExpectListsMatchEntries();
}

TEST_F(Operations, RemoveBringsADistributedTableBackAsNew)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Install("D100.ztb", "Slide 100 v2", 100);
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();
    ASSERT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    ASSERT_FALSE(Enabled(IDC_ADD_ALL));

    ClickRow(IDC_INSTALLED_LIST, 1);  // "Slide 100 v2"
    Press(IDC_REMOVE);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"1 ZTB(s) have been removed."});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Negative 400 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Slide 100 v2"});
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), kRed);
    EXPECT_TRUE(Exists(installedFolder + "Backup" + platform::kPathSeparator + "D100.ztb, v2"));
    ExpectButtonsAfterOperation();
    EXPECT_TRUE(Enabled(IDC_ADD_ALL));
    ExpectListsMatchEntries();
}

TEST_F(Operations, FailedRowsFollowTheCountInASecondMessage)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Distribute("D500.ztb", "Chrome 64 v1", 100);
    std::filesystem::remove_all(installedFolder);
    Open();
    ASSERT_EQ(dialog->NewCount, 2);

    Press(IDC_ADD_ALL);

    const std::vector<std::string> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "0 ZTB(s) have been installed.");
    EXPECT_NE(shown[1].find("D100.ztb"), std::string::npos) << shown[1];
    EXPECT_NE(shown[1].find("D500.ztb"), std::string::npos) << shown[1];
    EXPECT_EQ(dialog->NewCount, 2);
    ExpectButtonsAfterOperation();
    EXPECT_TRUE(Enabled(IDC_ADD_ALL));
}

TEST_F(Operations, DamagedTableAtInitialisationLeavesAnEmptyLeftList)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Distribute("D100.ztb", "Slide 100 v2", 100);
    const std::string fault = WriteDamaged(distributionFolder + "D900.ztb");
    Open();

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{fault});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Negative 400 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_FALSE(Enabled(IDC_ADD));
    EXPECT_FALSE(Enabled(IDC_ADD_ALL));
    ExpectListsMatchEntries();

    // The dialog goes on: the right list works as ever.
    ClickRow(IDC_INSTALLED_LIST, 0);
    EXPECT_TRUE(Enabled(IDC_REMOVE));
}

TEST_F(Operations, DamagedTableOnModelChangeKeepsListsAndEntriesTogether)
{
    MakeTables();
    Install("G100.ztb", "Ortho 25 v1", 100);
    const std::string fault = WriteDamaged(distributionFolder + "G900.ztb");
    Open();
    ClickRow(IDC_NEW_LIST, 0);
    const std::vector<std::string> leftBefore = Rows(IDC_NEW_LIST);

    ChooseModel(kOrvaneB);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{fault});
    // The right list was rebuilt for the new model before the fault; the
    // left one keeps the rows and the entries of the model before.
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{"Ortho 25 v1"});
    EXPECT_EQ(Rows(IDC_NEW_LIST), leftBefore);
    ExpectListsMatchEntries();
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_TRUE(Enabled(IDC_ADD));

    // What the left list shows is what "Add" installs.
    ClickRow(IDC_NEW_LIST, 0);
    Press(IDC_ADD);
    const std::vector<std::string> shown = TakeMessages();
    ASSERT_EQ(shown.size(), 1u);  // the rescan meets the damaged table again
    EXPECT_EQ(shown[0], fault);
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
    ASSERT_EQ(Rows(IDC_INSTALLED_LIST), (std::vector<std::string>{"Negative 400 v1", "Pan 400 v1"}));
    const std::string fault = WriteDamaged(installedFolder + "D300.ztb");

    ClickRow(IDC_INSTALLED_LIST, 0);
    ClickRow(IDC_INSTALLED_LIST, 1, true);
    Press(IDC_REMOVE);

    // Rows go from the highest down: "Pan 400 v1" is removed, then the
    // damaged table ends the operation with no rescan and no count.
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{fault});
    EXPECT_FALSE(Exists(installedFolder + "D400.ztb"));
    EXPECT_TRUE(Exists(installedFolder + "D300.ztb"));
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), (std::vector<std::string>{"Negative 400 v1", "Pan 400 v1"}));
    EXPECT_TRUE(Enabled(IDC_REMOVE));
    ExpectListsMatchEntries();
}

TEST_F(Operations, TextTypedIntoTheModelBoxIsReadByTheNextAdd)
{
    MakeTables();
    Distribute("G100.ztb", "Ortho 25", 100);
    Open();
    ::SetWindowTextA(Item(IDC_MODEL_BOX), "Orvane B");
    PumpMessages();
    EXPECT_EQ(dialog->SelectedModel, "Orvane A");  // typing alone triggers nothing

    ChooseModel(kOrvaneA);
    ::SetWindowTextA(Item(IDC_MODEL_BOX), "Orvane B");
    Press(IDC_ADD);

    EXPECT_EQ(TakeMessages(), std::vector<std::string>{"0 ZTB(s) have been installed."});
    EXPECT_EQ(dialog->SelectedModel, "Orvane B");
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Ortho 25"});
    EXPECT_EQ(::SendMessageA(Item(IDC_MODEL_BOX), CB_GETCURSEL, 0, 0), kOrvaneB);
}

}  // namespace
