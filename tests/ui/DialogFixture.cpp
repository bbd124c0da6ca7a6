#include "tests/ui/DialogFixture.h"

#include <filesystem>

#include "catalogue/CatalogueEntry.h"
#include "platform/FileSystem.h"
#include "testkit/Tables.h"
#include "ui/framework/Controls.h"
#include "ui/resource.h"

namespace {

// What a list shows for entries: their descriptions, or the placeholder alone.
std::vector<std::string> RowsFor(const std::vector<CatalogueEntry>& entries)
{
    std::vector<std::string> rows;
    for (const CatalogueEntry& entry : entries)
        rows.push_back(entry.Description);
    if (rows.empty())
        rows.push_back(NoTablesPlaceholder);
    return rows;
}

}  // namespace

void PumpMessages()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

DialogTest::DialogTest()
{
    const std::string separator(1, platform::kPathSeparator);
    windowsFolder = root.Path("windows");
    installedFolder = windowsFolder + separator + "KVData" + separator + "ZTB" + separator;
    programFolder = root.Path("program") + separator;
    distributionFolder = programFolder + "ZTB" + separator;
    std::filesystem::create_directories(installedFolder);
    std::filesystem::create_directories(distributionFolder);

    previousHook = SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
        messages.push_back(text);
        return IDOK;
    });
}

DialogTest::~DialogTest()
{
    dialog.reset();
    PumpMessages();
    SetMessageBoxHook(previousHook);
}

void DialogTest::Install(const std::string& name, const std::string& title, int minutes)
{
    WriteTable(installedFolder + name, title, 1002, UtcFileTime(2024, 1, 1, 0, minutes));
}

void DialogTest::Distribute(const std::string& name, const std::string& title, int minutes)
{
    WriteTable(distributionFolder + name, title, 1002, UtcFileTime(2024, 1, 1, 0, minutes));
}

void DialogTest::MakeTables()
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Distribute("D200.ztb", "Print 50 v3", 300);
    Distribute("D500.ztb", "Chrome 64 v1", 100);
    Install("D200.ztb", "Print 50 v2", 200);
    Install("D300.ztb", "Negative 400 v1", 100);
    Distribute("G100.ztb", "Ortho 25", 100);
}

void DialogTest::Open()
{
    dialog = std::make_unique<CInstallerDlg>(Folders());
    ASSERT_TRUE(dialog->Create());
    PumpMessages();
}

void DialogTest::ExpectButtons(bool remove, bool add, bool addAll) const
{
    EXPECT_EQ(Enabled(IDC_REMOVE), remove) << "Remove";
    EXPECT_EQ(Enabled(IDC_ADD), add) << "Add";
    EXPECT_EQ(Enabled(IDC_ADD_ALL), addAll) << "Add All";
}

std::vector<std::string> DialogTest::Rows(int listId) const
{
    const HWND list = Item(listId);
    std::vector<std::string> rows;
    const int count = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row)
        rows.push_back(ListBoxTextOf(list, row));
    return rows;
}

std::vector<int> DialogTest::SelectedRows(int listId) const
{
    const HWND list = Item(listId);
    const LRESULT count = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    std::vector<int> rows(static_cast<std::size_t>(count > 0 ? count : 0));
    ::SendMessageA(list, LB_GETSELITEMS, rows.size(), reinterpret_cast<LPARAM>(rows.data()));
    return rows;
}

void DialogTest::ClickRow(int listId, int row, bool withControl)
{
    const HWND list = Item(listId);
    RECT rect{};
    ASSERT_NE(::SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)), LB_ERR);
    const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    const WPARAM keys = withControl ? MK_CONTROL : 0;
    ::SendMessageA(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, point);
    ::SendMessageA(list, WM_LBUTTONUP, keys, point);
    PumpMessages();
}

void DialogTest::ChooseModel(int row)
{
    const HWND box = Item(IDC_MODEL_BOX);
    ::SendMessageA(box, CB_SETCURSEL, row, 0);
    // What the box sends when the user picks a row.
    ::SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_MODEL_BOX, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpMessages();
}

void DialogTest::Press(int buttonId)
{
    ASSERT_TRUE(Enabled(buttonId)) << "button " << buttonId << " is disabled";
    ::SendMessageA(Item(buttonId), BM_CLICK, 0, 0);
    PumpMessages();
}

void DialogTest::SendCommand(int buttonId)
{
    ::SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(Item(buttonId)));
    PumpMessages();
}

void DialogTest::ExpectListsMatchEntries() const
{
    ASSERT_EQ(dialog->InstalledCount, static_cast<int>(dialog->InstalledEntries.size()));
    ASSERT_EQ(dialog->NewCount, static_cast<int>(dialog->NewEntries.size()));
    EXPECT_EQ(Rows(IDC_INSTALLED_LIST), RowsFor(dialog->InstalledEntries));
    EXPECT_EQ(Rows(IDC_NEW_LIST), RowsFor(dialog->NewEntries));
    for (std::size_t k = 0; k < dialog->NewEntries.size(); ++k) {
        const COLORREF expected = dialog->NewEntries[k].Status == EntryStatus::Updated ? kBlue : kRed;
        EXPECT_EQ(ItemData(IDC_NEW_LIST, static_cast<int>(k)), expected) << "row " << k;
    }
    if (dialog->NewEntries.empty()) {
        EXPECT_EQ(ItemData(IDC_NEW_LIST, 0), 0u);
    }
}
