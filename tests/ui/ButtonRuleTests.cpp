// The enabling rules of the three buttons and the two selection handlers,
// row by row of the dialog's button table.
#include <gtest/gtest.h>

#include "catalogue/CatalogueEntry.h"
#include "install/TableOperations.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

constexpr int kOrvaneA = 4;
constexpr int kOrvaneB = 7;
constexpr int kOrvaneC = 10;

class ButtonRules : public DialogTest {
protected:
    // Orvane A: two tables to offer, one of them updated, and two installed.
    // Orvane B: one table to offer, none installed. Orvane C: nothing.
    void MakeTables()
    {
        Distribute("D100.ztb", "Slide 100 v2", 100);
        Distribute("D200.ztb", "Print 50 v3", 300);
        Install("D200.ztb", "Print 50 v2", 200);
        Install("D300.ztb", "Negative 400 v1", 100);
        Distribute("G100.ztb", "Ortho 25", 100);
    }

    void ExpectButtons(bool remove, bool add, bool addAll)
    {
        EXPECT_EQ(Enabled(IDC_REMOVE), remove) << "Remove";
        EXPECT_EQ(Enabled(IDC_ADD), add) << "Add";
        EXPECT_EQ(Enabled(IDC_ADD_ALL), addAll) << "Add All";
    }
};

TEST_F(ButtonRules, InitialisationListsBothAndEnablesOnlyAddAll)
{
    MakeTables();
    Open();

    EXPECT_EQ(Rows(IDC_NEW_LIST), (std::vector<std::string>{"Print 50 v3", "Slide 100 v2"}));
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), kBlue);
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 1), kRed);
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), (std::vector<std::string>{"Negative 400 v1", "Print 50 v2"}));
    EXPECT_EQ(dialog->SelectedModel, "Orvane A");
    EXPECT_EQ(::SendMessageA(Item(IDC_MODEL_BOX), CB_GETCURSEL, 0, 0), kOrvaneA);
    ExpectButtons(false, false, true);
    ExpectListsMatchEntries();
    EXPECT_TRUE(messages.empty());
}

TEST_F(ButtonRules, InitialisationWithNothingNewDisablesEverything)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();

    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), 0u);
    EXPECT_EQ(dialog->NewCount, 0);
    ExpectButtons(false, false, false);

    // The placeholder row of the left list enables nothing.
    ClickRow(IDC_NEW_LIST, 0);
    ExpectButtons(false, false, false);
}

TEST_F(ButtonRules, RightSelectionEnablesRemoveAndClearsTheLeftOne)
{
    MakeTables();
    Open();
    ClickRow(IDC_NEW_LIST, 0);
    ClickRow(IDC_NEW_LIST, 1, true);
    ASSERT_EQ(SelectedRows(IDC_NEW_LIST), (std::vector<int>{0, 1}));
    ExpectButtons(false, true, true);

    ClickRow(IDC_INSTALLED_LIST, 1);
    EXPECT_EQ(SelectedRows(IDC_INSTALLED_LIST), std::vector<int>{1});
    EXPECT_TRUE(SelectedRows(IDC_NEW_LIST).empty());
    ExpectButtons(true, false, true);  // "Add All" keeps its state

    // A Ctrl-click on the only selected row leaves nothing selected, and
    // "Remove" stays enabled: the rules do not count selected rows.
    ClickRow(IDC_INSTALLED_LIST, 1, true);
    EXPECT_TRUE(SelectedRows(IDC_INSTALLED_LIST).empty());
    ExpectButtons(true, false, true);
}

TEST_F(ButtonRules, LeftSelectionEnablesAddAndClearsTheRightOne)
{
    MakeTables();
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    ClickRow(IDC_INSTALLED_LIST, 1, true);
    ASSERT_EQ(SelectedRows(IDC_INSTALLED_LIST), (std::vector<int>{0, 1}));

    ClickRow(IDC_NEW_LIST, 1);
    EXPECT_EQ(SelectedRows(IDC_NEW_LIST), std::vector<int>{1});
    EXPECT_TRUE(SelectedRows(IDC_INSTALLED_LIST).empty());
    ExpectButtons(false, true, true);
}

TEST_F(ButtonRules, ModelChangeSetsAddButtonsAndLeavesRemove)
{
    MakeTables();
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    ExpectButtons(true, false, true);

    // Orvane B: something new, no row selected; "Remove" keeps its state.
    ChooseModel(kOrvaneB);
    EXPECT_EQ(dialog->SelectedModel, "Orvane B");
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Ortho 25"});
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{NoTablesPlaceholder});
    EXPECT_TRUE(SelectedRows(IDC_NEW_LIST).empty());
    EXPECT_TRUE(SelectedRows(IDC_INSTALLED_LIST).empty());
    ExpectButtons(true, true, true);
    ExpectListsMatchEntries();

    // Orvane C: nothing at all.
    ChooseModel(kOrvaneC);
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    ExpectButtons(true, false, false);
}

TEST_F(ButtonRules, EveryModelRowStaysShownAfterTheRescan)
{
    Open();
    const HWND box = Item(IDC_MODEL_BOX);
    ASSERT_EQ(::SendMessageA(box, CB_GETCOUNT, 0, 0), 12);
    for (int row = 0; row < 12; ++row) {
        ChooseModel(row);
        char text[64] = {};
        ::SendMessageA(box, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(::SendMessageA(box, CB_GETCURSEL, 0, 0), row) << text;
        EXPECT_EQ(WindowTextOf(box), text);
        EXPECT_EQ(dialog->SelectedModel, text);
    }
}

TEST_F(ButtonRules, AddAllWithNothingListedDoesNothing)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    SendCommand(IDC_ADD_ALL);
    EXPECT_TRUE(messages.empty());
    ExpectButtons(true, false, false);
    EXPECT_EQ(SelectedRows(IDC_INSTALLED_LIST), std::vector<int>{0});
}

TEST_F(ButtonRules, AddWithNothingListedOnlyRefuses)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    SendCommand(IDC_ADD);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{NothingToInstallMessage});
    ExpectButtons(true, false, false);
    EXPECT_EQ(SelectedRows(IDC_INSTALLED_LIST), std::vector<int>{0});
}

TEST_F(ButtonRules, RemoveOnThePlaceholderRowOnlyRefuses)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Open();
    ASSERT_EQ(Rows(IDC_INSTALLED_LIST), std::vector<std::string>{NoTablesPlaceholder});

    // Selecting the placeholder row of the right list enables "Remove".
    ClickRow(IDC_INSTALLED_LIST, 0);
    ExpectButtons(true, false, true);
    Press(IDC_REMOVE);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{NothingToRemoveMessage});
    ExpectButtons(true, false, true);
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{"Slide 100 v2"});
}

}  // namespace
