// The installer dialog driven in this process on folders in a temporary
// folder, with tables made by the ZTB writer: the button rules, operations
// and damaged tables with the message boxes recorded, owner drawing read back
// by pixels, the about box, the backed-up tables and their restore, the
// system's own message boxes, and the ending.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "catalogue/FilmRecorderModels.h"
#include "install/TableOperations.h"
#include "platform/Process.h"
#include "testkit/Tables.h"
#include "ui/InstallerDlg.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/WinApp.h"
#include "ui/resource.h"

namespace {

using Rows = std::vector<std::string>;
constexpr int kLeft = IDC_NEW_LIST, kRight = IDC_INSTALLED_LIST;
constexpr int kOrvaneA = 4, kOrvaneB = 7, kOrvaneC = 10;  // rows of the model box
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kBlack = 0;
constexpr const char* kDamaged = "Illegal ZTB ID string";  // what WriteDamagedTable's files load as

// Delivers the messages waiting for this thread (painting, posted ones).
void PumpMessages() {
    for (MSG message; ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageA(&message);
}

// A valid table at path, its file times the given minutes after 2024-01-01.
void Put(const std::string& path, const std::string& title, int minutes = 100) {
    WriteTable(path, title, 1002, UtcFileTime(2024, 1, 1, 0, minutes));
}

// Runs act while a timer, which modal loops deliver, hands the visible window
// that shows the caption to look. After five seconds it ends the active modal
// window instead, so that a window that never shows or never closes fails
// the test rather than hanging it.
void Watching(const std::string& caption, const std::function<void(HWND)>& look, const std::function<void()>& act) {
    static std::function<void()> tick;
    tick = [&, ticks = 0]() mutable {
        const HWND window = ::FindWindowA(nullptr, caption.c_str());
        if (++ticks > 100)
            ::EndDialog(::GetActiveWindow(), -1);
        else if (window && ::IsWindowVisible(window))
            look(window);
    };
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK { tick(); });
    act();
    ::KillTimer(nullptr, timer);
}

class DialogTest : public ::testing::Test {
protected:
    ~DialogTest() override { SetMessageBoxHook(previousHook); }

    // New folders where Orvane A offers "Chrome 64 v1" (new), "Print 50 v3"
    // (updated) and "Slide 100 v2" (new), and has "Negative 400 v1" and
    // "Print 50 v2" installed, and Orvane B offers "Ortho 25"; the dialog
    // opened on them.
    void Fresh() {
        setup.emplace();
        Put(setup->Distribution("D100.ztb"), "Slide 100 v2");
        Put(setup->Distribution("D200.ztb"), "Print 50 v3", 300);
        Put(setup->Distribution("D500.ztb"), "Chrome 64 v1");
        Put(setup->Installed("D200.ztb"), "Print 50 v2", 200);
        Put(setup->Installed("D300.ztb"), "Negative 400 v1");
        Put(setup->Distribution("G100.ztb"), "Ortho 25");
        Open();
    }

    // Creates the dialog, modeless, on the folders; it initialises as it opens.
    void Open() {
        dialog = std::make_unique<CInstallerDlg>(setup->Folders());
        ASSERT_TRUE(dialog->Create());
        PumpMessages();
    }

    HWND Dialog() const { return dialog->m_hWnd; }
    HWND Item(int id) const { return ::GetDlgItem(Dialog(), id); }
    LRESULT Send(int id, UINT message, WPARAM wParam = 0) const { return ::SendMessageA(Item(id), message, wParam, 0); }

    // What the user sees: the chosen model row, the rows of the left list
    // with their colours and of the right list, selected ones marked "*", the
    // placeholder row as "(none)", and the enabled buttons, as in
    // "Orvane A: *Slide 100 v2 red | (none) | [Add] [Add All]".
    std::string State() const {
        char model[64] = {};
        ::SendMessageA(
            Item(IDC_MODEL_BOX), CB_GETLBTEXT, Send(IDC_MODEL_BOX, CB_GETCURSEL), reinterpret_cast<LPARAM>(model));
        std::string state = std::string(model) + ":";
        for (const int id : {kLeft, kRight}) {
            for (int row = 0; row < Send(id, LB_GETCOUNT); ++row) {
                const std::string text = ListBoxTextOf(Item(id), row);
                const LRESULT colour = Send(id, LB_GETITEMDATA, row);
                const char* named = colour == kRed ? " red" : colour == kBlue ? " blue" : colour != 0 ? " other" : "";
                state += (row > 0 ? ", " : " ") + std::string(Send(id, LB_GETSEL, row) > 0 ? "*" : "") +
                         (text == NoTablesPlaceholder ? "(none)" : text) + named;
            }
            state += " |";
        }
        for (const int id : {IDC_REMOVE, IDC_ADD, IDC_ADD_ALL})
            state += ::IsWindowEnabled(Item(id)) ? " [" + WindowTextOf(Item(id)) + "]" : "";
        return state;
    }

    // The user's actions, through the controls.
    void Click(int list, int row, WPARAM keys = 0) {
        RECT rect{};
        ::SendMessageA(Item(list), LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageA(Item(list), WM_LBUTTONDOWN, keys | MK_LBUTTON, point);
        ::SendMessageA(Item(list), WM_LBUTTONUP, keys, point);
        PumpMessages();
    }
    void ChooseModel(int row) {  // and the box reports the row picked
        Send(IDC_MODEL_BOX, CB_SETCURSEL, row);
        Press(IDC_MODEL_BOX, CBN_SELCHANGE);
    }
    // The command a control sends; also that of a disabled button, which the
    // user cannot press.
    void Press(int id, WORD code = BN_CLICKED) {
        ::SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
        PumpMessages();
    }
    Rows TakeMessages() { return std::exchange(messages, {}); }

    std::optional<CatalogueSetup> setup{std::in_place};
    std::unique_ptr<CInstallerDlg> dialog;
    Rows messages;  // the texts of the recorded message boxes
    const MessageBoxHook previousHook = SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
        messages.push_back(text);
        return IDOK;
    });
};

// The model rows are the model table's texts in its order, and the rescan
// shows each chosen row again: none begins with the whole text of one below.
TEST_F(DialogTest, EveryModelRowStaysChosen) {
    Open();
    for (std::size_t row = 0; row < FilmRecorderModels.size(); ++row) {
        ChooseModel(static_cast<int>(row));
        EXPECT_EQ(State(), std::string(FilmRecorderModels[row].ModelText) + ": (none) | (none) |");
        EXPECT_EQ(dialog->SelectedModel, FilmRecorderModels[row].ModelText);
    }
}

// Each action from the state the one before left (those that call Fresh()
// begin anew), and the messages and the state it leaves. The button rules do
// not count selected rows. A table that cannot be loaded abandons the scan or
// operation that meets it; its list stays as it was.
TEST_F(DialogTest, Actions) {
    const std::string offered = "Orvane A: Chrome 64 v1 red, Print 50 v3 blue, Slide 100 v2 red | ";
    const std::string damaged =
        "Orvane B: *Chrome 64 v1 red, Print 50 v3 blue, Slide 100 v2 red | Ortho 25 v1 | [Add] [Add All]";
    const auto exists = [&](const char* name) { return std::filesystem::exists(setup->Installed(name)); };
    // "lith" goes after "N" and "O" by byte value, before them by letter.
    Put(setup->Installed("D300.ztb"), "Negative 400 v1");
    Put(setup->Installed("D400.ztb"), "lith 10 v1");
    Put(setup->Distribution("G100.ztb"), "Ortho 25");
    Put(setup->Distribution("G200.ztb"), "lith 50");
    Open();
    const std::string a = "Orvane A: (none) | ", b = "Orvane B: Ortho 25 red, lith 50 red | ";
    // clang-format off
    const struct { const char* action; std::function<void()> act; Rows messages; std::string state; } steps[] = {
        {"open, nothing new", [] {}, {}, a + "Negative 400 v1, lith 10 v1 |"},
        {"click right 0", [&] { Click(kRight, 0); }, {}, a + "*Negative 400 v1, lith 10 v1 | [Remove]"},
        {"click left 0", [&] { Click(kLeft, 0); }, {}, "Orvane A: *(none) | Negative 400 v1, lith 10 v1 |"},
        {"click right 1", [&] { Click(kRight, 1); }, {}, a + "Negative 400 v1, *lith 10 v1 | [Remove]"},
        {"Add All", [&] { Press(IDC_ADD_ALL); }, {}, a + "Negative 400 v1, *lith 10 v1 | [Remove]"},
        {"Add", [&] { Press(IDC_ADD); }, {NothingToInstallMessage}, a + "Negative 400 v1, *lith 10 v1 | [Remove]"},
        {"model B", [&] { ChooseModel(kOrvaneB); }, {}, b + "(none) | [Remove] [Add] [Add All]"},
        {"click left 0", [&] { Click(kLeft, 0); }, {}, "Orvane B: *Ortho 25 red, lith 50 red | (none) | [Add] [Add All]"},
        {"click right 0", [&] { Click(kRight, 0); }, {}, b + "*(none) | [Remove] [Add All]"},
        {"Remove", [&] { Press(IDC_REMOVE); }, {NothingToRemoveMessage}, b + "*(none) | [Remove] [Add All]"},
        {"ctrl-click right 0", [&] { Click(kRight, 0, MK_CONTROL); }, {}, b + "(none) | [Remove] [Add All]"},
        {"model C", [&] { ChooseModel(kOrvaneC); }, {}, "Orvane C: (none) | (none) | [Remove]"},

        {"Add", [&] { Fresh(); Click(kLeft, 1); Click(kLeft, 2, MK_CONTROL); Press(IDC_ADD); },
         {"2 ZTB(s) have been installed."},
         "Orvane A: Chrome 64 v1 red | Negative 400 v1, Print 50 v3, Slide 100 v2 | [Add All]"},
        // A model change enables "Add" with no row selected; "Add" reads the
        // model typed and rescans for it.
        {"Add, no row selected",
         [&] { Fresh(); ChooseModel(kOrvaneA); ::SetWindowTextA(Item(IDC_MODEL_BOX), "Orvane B"); Press(IDC_ADD); },
         {"0 ZTB(s) have been installed."}, "Orvane B: Ortho 25 red | (none) | [Add All]"},
        {"Add All", [&] { Fresh(); Click(kRight, 0); Press(IDC_ADD_ALL); }, {"3 ZTB(s) have been installed."},
         "Orvane A: (none) | Chrome 64 v1, Negative 400 v1, Print 50 v3, Slide 100 v2 |"},
        // A copy damaged after the scan fails its row, and the rescan then
        // stops at it: the count and the failed row still come first.
        {"Add All, a copy damaged after the scan",
         [&] { Fresh(); WriteDamagedTable(setup->Distribution("D500.ztb")); Press(IDC_ADD_ALL); },
         {"2 ZTB(s) have been installed.", std::string("D500.ztb: the distribution copy cannot be used: ") + kDamaged,
          kDamaged},
         "Orvane A: *Chrome 64 v1 red, *Print 50 v3 blue, *Slide 100 v2 red | Negative 400 v1, Print 50 v3, Slide 100 v2 | "
         "[Add All]"},
        // Without its older copy, "Print 50 v3" is offered as new.
        {"Remove", [&] { Fresh(); Click(kRight, 1); Press(IDC_REMOVE); }, {"1 ZTB(s) have been removed."},
         "Orvane A: Chrome 64 v1 red, Print 50 v3 red, Slide 100 v2 red | Negative 400 v1 | [Add All]"},
        // Rows go from the highest down: "Print 50 v2" goes, then the damaged
        // copy ends the operation, with no rescan and no count.
        {"Remove, a damaged copy",
         [&] {
             Fresh();
             WriteDamagedTable(setup->Installed("D300.ztb"));
             Click(kRight, 0); Click(kRight, 1, MK_CONTROL); Press(IDC_REMOVE);
             EXPECT_TRUE(exists("D300.ztb") && !exists("D200.ztb"));
         },
         {kDamaged}, offered + "*Negative 400 v1, *Print 50 v2 | [Remove] [Add All]"},
        // The right list is rebuilt for the new model before the fault.
        {"model change, a damaged table",
         [&] {
             Fresh();
             Put(setup->Installed("G100.ztb"), "Ortho 25 v1");
             WriteDamagedTable(setup->Distribution("G900.ztb"));
             Click(kLeft, 0); ChooseModel(kOrvaneB);
         },
         {kDamaged}, damaged},
        // What the left list shows is what "Add" installs; its rescan fails again.
        {"Add", [&] { Press(IDC_ADD); }, {"1 ZTB(s) have been installed.", kDamaged}, damaged},
        {"model A", [&] { ChooseModel(kOrvaneA); }, {},
         "Orvane A: Print 50 v3 blue, Slide 100 v2 red | Chrome 64 v1, Negative 400 v1, Print 50 v2 | [Add] [Add All]"},
        // At the start, the fault leaves the empty catalogue, every button off.
        {"opening, a damaged table", [&] { Fresh(); WriteDamagedTable(setup->Distribution("D900.ztb")); Open(); },
         {kDamaged}, "Orvane A: (none) | Negative 400 v1, Print 50 v2 |"},
        {"click right 0", [&] { Click(kRight, 0); }, {}, "Orvane A: (none) | *Negative 400 v1, Print 50 v2 | [Remove]"},
    };
    // clang-format on
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(TakeMessages(), step.messages) << step.action;
        EXPECT_EQ(State(), step.state) << step.action;
    }
}

// Rows drawn on request into a memory bitmap filled with a colour no drawing
// uses. Each look keeps the row's swatch (columns 3 to 12, rows 3 to 11) and
// restores the context; only the full draw of an unselected row uses the
// context's text colour; a request about the focus alone draws nothing, also
// for an empty list, whose request names no row.
TEST_F(DialogTest, OwnerDrawnRows) {
    constexpr int kWidth = 480, kHeight = 15;  // wider than any row text
    constexpr COLORREF kUntouched = RGB(0, 200, 0), kListText = RGB(0, 0, 128);
    Fresh();
    EXPECT_EQ(Send(kLeft, LB_GETITEMHEIGHT, 2), 15);
    // clang-format off
    const struct { const char* look; int row; UINT action, state; COLORREF data, swatch, background, text; } looks[] = {
        {"full draw", 1, ODA_DRAWENTIRE, 0, kBlue, kBlue, kWhite, kListText},
        {"full draw, no colour", 0, ODA_DRAWENTIRE, 0, 0, kBlack, kWhite, kListText},
        {"full draw, selected", 0, ODA_DRAWENTIRE, ODS_SELECTED, kRed, kRed, kBlack, kWhite},
        {"selection gained", 1, ODA_SELECT, ODS_SELECTED, kBlue, kBlue, kBlack, kWhite},
        {"selection lost", 0, ODA_SELECT, 0, kRed, kRed, kWhite, kBlack},
        {"focus", 0, ODA_FOCUS, ODS_FOCUS | ODS_SELECTED, kRed, kUntouched, kUntouched, kUntouched},
        {"focus, no row", -1, ODA_FOCUS, ODS_FOCUS | ODS_SELECTED, 0, kUntouched, kUntouched, kUntouched},
    };
    // clang-format on
    for (const auto& look : looks) {
        SCOPED_TRACE(look.look);
        const HDC dc = ::CreateCompatibleDC(nullptr);
        const HGDIOBJ old = ::SelectObject(dc, ::CreateBitmap(kWidth, kHeight, 1, 32, nullptr));
        const RECT all{0, 0, kWidth, kHeight};
        ::SetBkColor(dc, kUntouched);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
        ::SetTextColor(dc, kListText);
        DRAWITEMSTRUCT request{
            ODT_LISTBOX, kLeft, static_cast<UINT>(look.row), look.action, look.state, Item(kLeft), dc, all, look.data};
        ::SendMessageA(Dialog(), WM_DRAWITEM, kLeft, reinterpret_cast<LPARAM>(&request));
        EXPECT_EQ(::GetTextColor(dc), kListText);
        EXPECT_EQ(::GetBkMode(dc), OPAQUE);
        // The swatch's corners, the pixels next to them, and the row's ends.
        for (const auto& [x, y, inSwatch] : {std::tuple{3, 3, true}, {12, 11, true}, {2, 3, false}, {3, 2, false},
                 {13, 11, false}, {12, 12, false}, {0, 0, false}, {kWidth - 1, 14, false}})
            EXPECT_EQ(::GetPixel(dc, x, y), inSwatch ? look.swatch : look.background) << x << "," << y;
        std::set<COLORREF> text;  // the colours from column 16 on
        for (int y = 0; y < kHeight; ++y)
            for (int x = 16; x < kWidth; ++x) text.insert(::GetPixel(dc, x, y));
        EXPECT_EQ(text.count(look.text), 1u);
        EXPECT_TRUE(look.text == kListText || text.count(kListText) == 0);
        ::DeleteObject(::SelectObject(dc, old));
        ::DeleteDC(dc);
    }
}

// With an application whose main window is the dialog, as in the program:
// the about box from the system menu, every time, then the count and the
// failed rows in two boxes of the system's, with the application's name as
// caption. Each box is modal on the dialog and leaves it as it was. The icon
// serves big, small and dragged.
TEST_F(DialogTest, SystemBoxesAndIcon) {
    CWinApp app;
    Put(setup->Distribution("D100.ztb"), "Slide 100 v2");
    Put(setup->Distribution("D500.ztb"), "Chrome 64 v1");
    std::filesystem::remove_all(setup->Installed());  // every row fails
    Open();
    app.m_pMainWnd = dialog.get();
    Click(kLeft, 0);
    const HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
    const int count = ::GetMenuItemCount(menu);
    char items[3][64] = {};
    for (int k = 0; k < 3; ++k) ::GetMenuStringA(menu, count - 3 + k, items[k], sizeof items[k], MF_BYPOSITION);
    EXPECT_EQ(std::string(items[0]) + "|" + items[1] + "|" + items[2],
        "&About ZTBInstall...|&Backed-up tables...|&History...");
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT(IDM_HISTORY));

    SetMessageBoxHook({});
    std::vector<Rows> boxes;  // each box's static texts and button, and whether it is modal
    const auto look = [&](HWND box) {
        Rows& seen = boxes.emplace_back();
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
            char name[8] = {};
            if (::GetClassNameA(child, name, sizeof name) && !lstrcmpiA(name, "Static") &&
                ::GetWindowTextLengthA(child))
                seen.push_back(WindowTextOf(child));
        }
        seen.push_back(WindowTextOf(::GetDlgItem(box, IDOK)));
        seen.push_back(::GetWindow(box, GW_OWNER) == Dialog() && !::IsWindowEnabled(Dialog()) ? "modal" : "not modal");
        ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    };
    Watching("About ZTBInstall", look, [&] {
        for (int time = 0; time < 2; ++time)
            ::SendMessageA(Dialog(), WM_SYSCOMMAND, ::GetMenuItemID(menu, count - 3), 0);
    });
    EXPECT_EQ(State(), "Orvane A: *Chrome 64 v1 red, Slide 100 v2 red | (none) | [Add] [Add All]");
    Watching(ModuleBaseName(), look, [&] { Press(IDC_ADD_ALL); });
    EXPECT_EQ(State(), "Orvane A: Chrome 64 v1 red, Slide 100 v2 red | (none) | [Add All]");
    const Rows about{"ZTBInstall Version 1.03", "Copyright (C) 1998", "OK", "modal"};
    const std::string failed = ": the installed folder " + setup->Installed() + " does not exist";
    EXPECT_EQ(boxes, (std::vector<Rows>{about, about, {"0 ZTB(s) have been installed.", "OK", "modal"},
                         {"D100.ztb" + failed + "\nD500.ztb" + failed, "OK", "modal"}}));

    ASSERT_NE(dialog->AppIcon, nullptr);
    for (const auto& [message, size] :
        {std::pair{WM_GETICON, ICON_BIG}, {WM_GETICON, ICON_SMALL}, {WM_QUERYDRAGICON, 0}})
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(Dialog(), message, size, 0)), dialog->AppIcon) << message;
}

// "Backed-up tables..." lists the model's backups, a damaged one with its
// message, modal on the dialog. "Restore", enabled by a selection, brings
// the backup back; the replaced table is listed as backed up, and both
// dialogs rescan.
TEST_F(DialogTest, RestoreFromTheBackedUpTables) {
    Fresh();
    Click(kLeft, 1);
    Press(IDC_ADD);  // "Print 50 v3" replaces "Print 50 v2"
    WriteDamagedTable(setup->Backup("D300.ztb, v0"));
    Rows seen;
    Watching(
        "Backed-up tables - Orvane A",
        [&](HWND box) {
            const HWND list = ::GetDlgItem(box, IDC_BACKUP_LIST), restore = ::GetDlgItem(box, IDC_RESTORE);
            const auto look = [&] {
                for (int row = 0; row < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++row)
                    seen.push_back(ListBoxTextOf(list, row));
                seen.push_back(::IsWindowEnabled(restore) ? "[Restore]" : "");
            };
            if (!seen.empty()) return;
            seen.push_back(::IsWindowEnabled(Dialog()) ? "not modal" : "modal");
            look();
            ::SendMessageA(list, LB_SETSEL, TRUE, 0);
            ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_BACKUP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            look();
            ::SendMessageA(restore, BM_CLICK, 0, 0);
            look();
            ::SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { ::SendMessageA(Dialog(), WM_SYSCOMMAND, IDM_BACKUPS, 0); });
    const std::string v2Row = "Print 50 v2\tD200.ztb\t2\t2024/01/01 - 03:20",
                      damaged = "Illegal ZTB ID string\tD300.ztb\t0\t";
    EXPECT_EQ(seen, (Rows{"modal", v2Row, damaged, "", v2Row, damaged, "[Restore]",
                        "Print 50 v3\tD200.ztb\t3\t2024/01/01 - 05:00", v2Row, damaged, ""}));
    EXPECT_EQ(TakeMessages(), (Rows{"1 ZTB(s) have been installed.", "1 ZTB(s) have been restored."}));
    EXPECT_EQ(State(),
        "Orvane A: Chrome 64 v1 red, Print 50 v3 blue, Slide 100 v2 red | Negative 400 v1, Print 50 v2 | [Add All]");

    // "History..." shows the log, newest first, each row after its time.
    Rows history;
    Watching(
        "History",
        [&](HWND box) {
            const HWND list = ::GetDlgItem(box, IDC_HISTORY_LIST);
            if (!history.empty()) return;
            for (int row = 0; row < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++row)
                history.push_back(ListBoxTextOf(list, row).substr(20));
            ::SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
        },
        [&] { ::SendMessageA(Dialog(), WM_SYSCOMMAND, IDM_HISTORY, 0); });
    const std::string user = platform::UserName() + "\t";
    EXPECT_EQ(
        history, (Rows{user + "restore\tD200.ztb\tPrint 50 v2\tdone", user + "install\tD200.ztb\tPrint 50 v3\tdone"}));
}

// The modal dialog ends with "Done", which Enter presses, with Escape and
// with the close box.
TEST_F(DialogTest, EndingTheModalDialog) {
    for (const auto& [message, wParam, result] : {std::tuple<UINT, WPARAM, INT_PTR>{WM_KEYDOWN, VK_RETURN, IDOK},
             {WM_KEYDOWN, VK_ESCAPE, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE, IDCANCEL}}) {
        CInstallerDlg modal(setup->Folders());
        Watching(
            "ZTBInstall", [&](HWND window) { ::PostMessageA(window, message, wParam, 0); },
            [&] { EXPECT_EQ(modal.DoModal(), result) << message << " " << wParam; });
    }
}

}  // namespace
