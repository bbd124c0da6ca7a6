// The enabling rules of the three buttons and the two selection handlers,
// row by row of the dialog's button table.
#include <gtest/gtest.h>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/FilmRecorderModels.h"
#include "install/TableOperations.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

using ButtonRules = DialogTest;

TEST_F(ButtonRules, InitialisationListsBothAndEnablesOnlyAddAll)
{
    MakeTables();
    Open();

    EXPECT_EQ(Rows(IDC_NEW_LIST), (std::vector<std::string>{"Chrome 64 v1", "Print 50 v3", "Slide 100 v2"}));
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), kRed);
    EXPECT_EQ(ItemData(IDC_NEW_LIST, 1), kBlue);
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), (std::vector<std::string>{"Negative 400 v1", "Print 50 v2"}));
    EXPECT_EQ(dialog->SelectedModel, "Orvane A");
    EXPECT_EQ(::SendMessageA(Item(IDC_MODEL_BOX), CB_GETCURSEL, 0, 0), kOrvaneA);
    ExpectButtons(false, false, true);
    ExpectListsMatchEntries();
    EXPECT_TRUE(messages.empty());
}

// With nothing to offer, every button starts disabled and the placeholder
// row of the left list enables nothing. Then "Add All" does nothing at all
// and "Add" refuses with its message; both leave the buttons and the
// selection as they were.
TEST_F(ButtonRules, NothingNewToOffer)
{
    Install("D300.ztb", "Negative 400 v1", 100);
    Open();
    EXPECT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    ExpectListsMatchEntries();
    ExpectButtons(false, false, false);
    ClickRow(IDC_NEW_LIST, 0);
    ExpectButtons(false, false, false);

    ClickRow(IDC_INSTALLED_LIST, 0);
    SendCommand(IDC_ADD_ALL);
    EXPECT_TRUE(messages.empty());
    SendCommand(IDC_ADD);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{NothingToInstallMessage});
    ExpectButtons(true, false, false);
    EXPECT_EQ(SelectedRows(IDC_INSTALLED_LIST), std::vector<int>{0});
}

TEST_F(ButtonRules, SelectingInOneListClearsTheOtherAndFollowsItsRule)
{
    MakeTables();
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);
    ClickRow(IDC_INSTALLED_LIST, 1, true);
    ASSERT_EQ(SelectedRows(IDC_INSTALLED_LIST), (std::vector<int>{0, 1}));
    ExpectButtons(true, false, true);

    ClickRow(IDC_NEW_LIST, 0);
    ClickRow(IDC_NEW_LIST, 2, true);
    EXPECT_EQ(SelectedRows(IDC_NEW_LIST), (std::vector<int>{0, 2}));
    EXPECT_TRUE(SelectedRows(IDC_INSTALLED_LIST).empty());
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

TEST_F(ButtonRules, ModelChangeSetsAddButtonsAndLeavesRemove)
{
    MakeTables();
    Open();
    ClickRow(IDC_INSTALLED_LIST, 0);

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

// The rows are the model table's texts in its order, and the loading data
// exchange after the rescan finds each chosen row again (no row begins with
// the full text of a row further down).
TEST_F(ButtonRules, EveryModelRowStaysShownAfterTheRescan)
{
    Open();
    const HWND box = Item(IDC_MODEL_BOX);
    ASSERT_EQ(::SendMessageA(box, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(FilmRecorderModels.size()));
    for (int row = 0; row < static_cast<int>(FilmRecorderModels.size()); ++row) {
        const std::string text = FilmRecorderModels[static_cast<std::size_t>(row)].ModelText;
        ChooseModel(row);
        EXPECT_EQ(::SendMessageA(box, CB_GETCURSEL, 0, 0), row) << text;
        EXPECT_EQ(WindowTextOf(box), text);
        EXPECT_EQ(dialog->SelectedModel, text);
    }
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
