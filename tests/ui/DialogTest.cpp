// The installer dialog driven in this process on folders in a temporary
// folder, with tables made by the ZTB writer: the button rules, operations
// and damaged tables with the message boxes recorded, owner drawing read back
// by pixels, the about box, the backed-up tables and their restore, the
// system's own message boxes, and the ending.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
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
// The lists, and rows of the model box.
constexpr int kLeft = IDC_NEW_LIST, kRight = IDC_INSTALLED_LIST, kOrvaneA = 4, kOrvaneB = 7, kOrvaneC = 10;
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255), kBlack = 0;
constexpr COLORREF kUntouched = RGB(0, 200, 0);            // what no drawing uses
constexpr const char* kDamaged = "Illegal ZTB ID string";  // what WriteDamagedTable's files load as

// The message box of a damaged table: the loader's text, then its path.
std::string Damaged(const std::string& path) { return kDamaged + ("\n{T}" + path); }

// Delivers the messages waiting for this thread (painting, posted ones).
void PumpMessages() {
    for (MSG message; ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageA(&message);
}

// The children of a dialog in tab order: a static's text, a list's or box's
// id, a button's text, as in "&Add|1002".
std::string TabOrder(HWND dialog) {
    std::string order;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::string text = WindowTextOf(child);
        order += (order.empty() ? "" : "|") + (text.empty() ? std::to_string(::GetDlgCtrlID(child)) : text);
    }
    return order;
}

// The rows of a list box.
Rows ListRows(HWND list) {
    Rows rows;
    for (int row = 0; row < ::SendMessageA(list, LB_GETCOUNT, 0, 0); ++row) rows.push_back(ListBoxTextOf(list, row));
    return rows;
}

// A memory bitmap filled with kUntouched, and its drawing context with the
// list's font.
struct Canvas {
    Canvas(int width, int height, HWND list) : all{0, 0, width, height} {
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0)));
        ::SetBkColor(dc, kUntouched);
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    }
    ~Canvas() {
        ::DeleteObject(::SelectObject(dc, old));
        ::DeleteDC(dc);
    }
    RECT all;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, ::CreateBitmap(all.right, all.bottom, 1, 32, nullptr));
};

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
        if (++ticks > 100)
            ::EndDialog(::GetActiveWindow(), -1);
        else if (const HWND window = ::FindWindowA(nullptr, caption.c_str()); window && ::IsWindowVisible(window))
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
                const char* heard = colour == kRed ? ", new" : colour == kBlue ? ", updated" : "";
                EXPECT_TRUE(id == kRight || dialog->NewList.AccessibleName(row) == text + heard);  // by a screen reader
                state += (row > 0 ? ", " : " ") + std::string(Send(id, LB_GETSEL, row) > 0 ? "*" : "") +
                         (text == kNoTablesPlaceholder ? "(none)" : text) + named;
            }
            state += " |";
        }
        for (const auto& [id, name] :
            {std::pair{IDC_REMOVE, " [Remove]"}, {IDC_ADD, " [Add]"}, {IDC_ADD_ALL, " [Add All]"}})
            state += ::IsWindowEnabled(Item(id)) ? name : "";
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
    // A row drawn into canvas as the list asks for it.
    void DrawRow(const Canvas& canvas, int row, UINT action, UINT state, COLORREF data) const {
        DRAWITEMSTRUCT request{
            ODT_LISTBOX, kLeft, static_cast<UINT>(row), action, state, Item(kLeft), canvas.dc, canvas.all, data};
        ::SendMessageA(Dialog(), WM_DRAWITEM, kLeft, reinterpret_cast<LPARAM>(&request));
    }
    // Opens the window of a command of the system menu; look sees it once, then it is closed.
    void FromMenu(UINT command, const std::string& caption, const std::function<void(HWND)>& look) {
        bool seen = false;
        const auto once = [&](HWND box) {
            if (!std::exchange(seen, true)) look(box);
            ::SendMessageA(box, WM_COMMAND, IDCANCEL, 0);
        };
        Watching(caption, once, [&] { ::SendMessageA(Dialog(), WM_SYSCOMMAND, command, 0); });
    }

    std::optional<CatalogueSetup> setup{std::in_place};
    std::unique_ptr<CInstallerDlg> dialog;
    Rows messages;  // the texts of the recorded message boxes, the setup's temporary folder written {T}
    const MessageBoxHook previousHook = SetMessageBoxHook([this](std::string text, const std::string&, UINT) {
        if (const std::size_t at = text.find(setup->Root().Text()); at != std::string::npos)
            text.replace(at, setup->Root().Text().size(), "{T}");
        messages.push_back(text);
        return IDOK;
    });
};

// Opened, the dialog has the first focus on "Done" and its tab order follows
// the work; each label comes just before its control, so that a screen
// reader names the control by it, and each label and button has a mnemonic
// of its own. The model rows are the model table's texts in its order, and
// the rescan shows each chosen row again: none begins with the whole text of
// one below.
TEST_F(DialogTest, KeyboardAndEveryModelRow) {
    Open();
    EXPECT_EQ(::GetFocus(), Item(IDOK));
    const std::string order = TabOrder(Dialog());
    EXPECT_EQ(order,
        "&Select your film recorder|Orvane A|&New or updated film tables|1001|Red - New ZTB|Blue - Updated ZTB|&Add|"
        "Add A&ll|&Installed film tables|1002|&Remove|&Done");
    std::set<int> mnemonics;
    for (std::size_t amp = order.find('&'); amp != std::string::npos; amp = order.find('&', amp + 1))
        EXPECT_TRUE(mnemonics.insert(std::toupper(order[amp + 1])).second) << order[amp + 1];
    for (std::size_t row = 0; row < kFilmRecorderModels.size(); ++row) {
        ChooseModel(static_cast<int>(row));
        EXPECT_EQ(State(), std::string(kFilmRecorderModels[row].modelText) + ": (none) | (none) |");
        EXPECT_EQ(dialog->SelectedModel, kFilmRecorderModels[row].modelText);
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
    // Each step's act, the message boxes it shows and the state it leaves.
    const struct {
        std::function<void()> act;
        Rows messages = {};
        std::string state;
    } steps[] = {
        // clang-format off
        {.act = [] {}, .state = a + "Negative 400 v1, lith 10 v1 |"},  // opened: nothing new
        {.act = [&] { Click(kRight, 0); }, .state = a + "*Negative 400 v1, lith 10 v1 | [Remove]"},
        {.act = [&] { Click(kLeft, 0); }, .state = "Orvane A: *(none) | Negative 400 v1, lith 10 v1 |"},
        // A disabled "Add All" does nothing; "Add" says there is nothing to install.
        {.act = [&] { Click(kRight, 1); Press(IDC_ADD_ALL); Press(IDC_ADD); }, .messages = {kNothingToInstallMessage},
         .state = a + "Negative 400 v1, *lith 10 v1 | [Remove]"},
        {.act = [&] { ChooseModel(kOrvaneB); }, .state = b + "(none) | [Remove] [Add] [Add All]"},
        {.act = [&] { Click(kLeft, 0); }, .state = "Orvane B: *Ortho 25 red, lith 50 red | (none) | [Add] [Add All]"},
        {.act = [&] { Click(kRight, 0); Press(IDC_REMOVE); }, .messages = {kNothingToRemoveMessage},
         .state = b + "*(none) | [Remove] [Add All]"},
        {.act = [&] { Click(kRight, 0, MK_CONTROL); }, .state = b + "(none) | [Remove] [Add All]"},
        {.act = [&] { ChooseModel(kOrvaneC); }, .state = "Orvane C: (none) | (none) | [Remove]"},

        {.act = [&] { Fresh(); Click(kLeft, 1); Click(kLeft, 2, MK_CONTROL); Press(IDC_ADD); },
         .messages = {"2 ZTB(s) have been installed."},
         .state = "Orvane A: Chrome 64 v1 red | Negative 400 v1, Print 50 v3, Slide 100 v2 | [Add All]"},
        // A model change enables "Add" with no row selected; "Add" reads the
        // model typed and rescans for it.
        {.act = [&] { Fresh(); ChooseModel(kOrvaneA); dialog->ModelBox.SetWindowText("Orvane B"); Press(IDC_ADD); },
         .messages = {"0 ZTB(s) have been installed."}, .state = "Orvane B: Ortho 25 red | (none) | [Add All]"},
        // A copy damaged after the scan fails its row, and the rescan then
        // stops at it: the count and the failed row still come first.
        {.act = [&] { Fresh(); WriteDamagedTable(setup->Distribution("D500.ztb")); Press(IDC_ADD_ALL); },
         .messages = {"2 ZTB(s) have been installed.", std::string("D500.ztb: ") + kDamaged,
                      Damaged("Program\\ZTB\\D500.ztb")},
         .state = "Orvane A: *Chrome 64 v1 red, *Print 50 v3 blue, *Slide 100 v2 red | "
                  "Negative 400 v1, Print 50 v3, Slide 100 v2 | [Add All]"},
        // Without its older copy, "Print 50 v3" is offered as new.
        {.act = [&] { Fresh(); Click(kRight, 1); Press(IDC_REMOVE); }, .messages = {"1 ZTB(s) have been removed."},
         .state = "Orvane A: Chrome 64 v1 red, Print 50 v3 red, Slide 100 v2 red | Negative 400 v1 | [Add All]"},
        // Rows go from the highest down: "Print 50 v2" goes, then the damaged
        // copy ends the operation, with no rescan and no count.
        {.act = [&] { Fresh(); WriteDamagedTable(setup->Installed("D300.ztb"));
                      Click(kRight, 0); Click(kRight, 1, MK_CONTROL); Press(IDC_REMOVE);
                      EXPECT_TRUE(exists("D300.ztb") && !exists("D200.ztb")); },
         .messages = {Damaged("Windows\\KVData\\ZTB\\D300.ztb")},
         .state = offered + "*Negative 400 v1, *Print 50 v2 | [Remove] [Add All]"},
        // The right list is rebuilt for the new model before the fault.
        {.act = [&] { Fresh(); Put(setup->Installed("G100.ztb"), "Ortho 25 v1");
                      WriteDamagedTable(setup->Distribution("G900.ztb")); Click(kLeft, 0); ChooseModel(kOrvaneB); },
         .messages = {Damaged("Program\\ZTB\\G900.ztb")}, .state = damaged},
        // What the left list shows is what "Add" installs; its rescan fails again.
        {.act = [&] { Press(IDC_ADD); },
         .messages = {"1 ZTB(s) have been installed.", Damaged("Program\\ZTB\\G900.ztb")}, .state = damaged},
        {.act = [&] { ChooseModel(kOrvaneA); },
         .state = "Orvane A: Print 50 v3 blue, Slide 100 v2 red | "
                  "Chrome 64 v1, Negative 400 v1, Print 50 v2 | [Add] [Add All]"},
        // At the start, the fault leaves the empty catalogue, every button off.
        {.act = [&] { Fresh(); WriteDamagedTable(setup->Distribution("D900.ztb")); Open(); },
         .messages = {Damaged("Program\\ZTB\\D900.ztb")}, .state = "Orvane A: (none) | Negative 400 v1, Print 50 v2 |"},
        {.act = [&] { Click(kRight, 0); }, .state = "Orvane A: (none) | *Negative 400 v1, Print 50 v2 | [Remove]"},
        // clang-format on
    };
    for (int number = 1; const auto& step : steps) {
        SCOPED_TRACE("step " + std::to_string(number++));
        step.act();
        EXPECT_EQ(std::exchange(messages, {}), step.messages);
        EXPECT_EQ(State(), step.state);
    }
}

// Rows drawn on request into a bitmap. Each look keeps the row's swatch
// (columns 3 to 12, rows 3 to 11) and restores the context; only the full
// draw of an unselected row uses the context's text colour. In high contrast
// (reported through the program's seam: Wine cannot) a row takes the
// system's colours of a list, its swatch framed in the text colour, hollow
// for an updated table. A request about the focus alone inverts the focus
// frame, which a second request takes away, and draws nothing while keyboard
// cues are hidden, also for an empty list, whose request names no row.
TEST_F(DialogTest, OwnerDrawnRows) {
    constexpr int kWidth = 480, kHeight = 15;  // wider than any row text
    constexpr COLORREF kListText = RGB(0, 0, 128);
    const COLORREF window = ::GetSysColor(COLOR_WINDOW), ink = ::GetSysColor(COLOR_WINDOWTEXT),
                   lit = ::GetSysColor(COLOR_HIGHLIGHT), litInk = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    constexpr UINT kHidden = ODS_FOCUS | ODS_SELECTED | ODS_NOFOCUSRECT;
    Fresh();
    EXPECT_EQ(Send(kLeft, LB_GETITEMHEIGHT, 2), 15);
    // A request to draw a row, and the pixels expected; kUntouched where nothing is drawn.
    const struct {
        const char* look;
        bool contrast = false;
        int row = 0;
        UINT action = ODA_DRAWENTIRE, state = 0;
        COLORREF data = 0, swatch = kUntouched, middle = kUntouched, background = kUntouched, text = kUntouched;
    } looks[] = {
        // clang-format off
        {.look = "full draw", .row = 1, .data = kBlue,
         .swatch = kBlue, .middle = kBlue, .background = kWhite, .text = kListText},
        {.look = "full draw, no colour",
         .swatch = kBlack, .middle = kBlack, .background = kWhite, .text = kListText},
        {.look = "full draw, selected", .state = ODS_SELECTED, .data = kRed,
         .swatch = kRed, .middle = kRed, .background = kBlack, .text = kWhite},
        {.look = "selection gained", .row = 1, .action = ODA_SELECT, .state = ODS_SELECTED, .data = kBlue,
         .swatch = kBlue, .middle = kBlue, .background = kBlack, .text = kWhite},
        {.look = "selection lost", .action = ODA_SELECT, .data = kRed,
         .swatch = kRed, .middle = kRed, .background = kWhite, .text = kBlack},
        {.look = "high contrast, full draw, selected", .contrast = true, .row = 1, .state = ODS_SELECTED, .data = kBlue,
         .swatch = litInk, .middle = lit, .background = lit, .text = litInk},
        {.look = "high contrast, selection lost", .contrast = true, .action = ODA_SELECT, .data = kRed,
         .swatch = ink, .middle = kRed, .background = window, .text = ink},
        {.look = "focus, cues hidden", .action = ODA_FOCUS, .state = kHidden, .data = kRed},
        {.look = "focus, no row, cues hidden", .row = -1, .action = ODA_FOCUS, .state = kHidden},
        // clang-format on
    };
    for (const auto& look : looks) {
        SCOPED_TRACE(look.look);
        ::SetEnvironmentVariableA("ZTBINSTALL_HIGH_CONTRAST", look.contrast ? "1" : nullptr);
        const Canvas canvas(kWidth, kHeight, Item(kLeft));
        ::SetTextColor(canvas.dc, kListText);
        DrawRow(canvas, look.row, look.action, look.state, look.data);
        EXPECT_TRUE(::GetTextColor(canvas.dc) == kListText && ::GetBkMode(canvas.dc) == OPAQUE);  // as they were
        // The swatch's corners, the pixels next to them, its middle, and the row's ends.
        for (const auto& [x, y, expected] : {std::tuple{3, 3, look.swatch}, {12, 11, look.swatch},
                 {2, 3, look.background}, {3, 2, look.background}, {13, 11, look.background}, {12, 12, look.background},
                 {7, 7, look.middle}, {0, 0, look.background}, {kWidth - 1, 14, look.background}})
            EXPECT_EQ(::GetPixel(canvas.dc, x, y), expected) << x << "," << y;
        std::set<COLORREF> text;  // the colours from column 16 on
        for (int y = 0; y < kHeight; ++y)
            for (int x = 16; x < kWidth; ++x) text.insert(::GetPixel(canvas.dc, x, y));
        EXPECT_EQ(text.count(look.text), 1u);
        EXPECT_TRUE(look.text == kListText || text.count(kListText) == 0);
    }
    const Canvas canvas(kWidth, kHeight, Item(kLeft));
    for (const bool framed : {true, false}) {
        DrawRow(canvas, -1, ODA_FOCUS, ODS_FOCUS, 0);
        EXPECT_EQ(::GetPixel(canvas.dc, 0, 0) != kUntouched || ::GetPixel(canvas.dc, 1, 0) != kUntouched, framed);
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
    std::filesystem::remove_all(setup->Folders().windowsFolder);  // every row fails
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
    Rows boxes;  // each box's children in tab order, and whether it is modal on the dialog
    const auto look = [&](HWND box) {
        const bool modal = ::GetWindow(box, GW_OWNER) == Dialog() && !::IsWindowEnabled(Dialog());
        boxes.push_back(TabOrder(box) + (modal ? " modal" : " not modal"));
        ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    };
    Watching("About ZTBInstall", look, [&] {
        for (int time = 0; time < 2; ++time)
            ::SendMessageA(Dialog(), WM_SYSCOMMAND, ::GetMenuItemID(menu, count - 3), 0);
    });
    EXPECT_EQ(State(), "Orvane A: *Chrome 64 v1 red, Slide 100 v2 red | (none) | [Add] [Add All]");
    Watching(ModuleBaseName(), look, [&] { Press(IDC_ADD_ALL); });
    EXPECT_EQ(State(), "Orvane A: Chrome 64 v1 red, Slide 100 v2 red | (none) | [Add All]");
    // The system's boxes show their icon (1088) and "OK" before the text.
    const std::string about = "ZTBInstall Version 1.03|Copyright (C) 1998|&OK modal";
    const std::string failed = ": the installed folder " + setup->Installed() + " does not exist";
    EXPECT_EQ(boxes, (Rows{about, about, "1088|OK|0 ZTB(s) have been installed. modal",
                         "1088|OK|D100.ztb" + failed + "\nD500.ztb" + failed + " modal"}));

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
    FromMenu(IDM_BACKUPS, "Backed-up tables - Orvane A", [&](HWND box) {
        const HWND list = ::GetDlgItem(box, IDC_BACKUP_LIST), restore = ::GetDlgItem(box, IDC_RESTORE);
        EXPECT_EQ(TabOrder(box), "File|Label|Date|&Description|1010|&Restore|&Close");
        seen.push_back(::IsWindowEnabled(Dialog()) ? "not modal" : "modal");
        const auto look = [&] {
            for (const std::string& row : ListRows(list)) seen.push_back(row);
            seen.push_back(::IsWindowEnabled(restore) ? "[Restore]" : "");
        };
        look();
        ::SendMessageA(list, LB_SETSEL, TRUE, 0);
        ::SendMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_BACKUP_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        look();
        ::SendMessageA(restore, BM_CLICK, 0, 0);
        look();
    });
    const std::string v2Row = "Print 50 v2\tD200.ztb\t2\t2024/01/01 - 03:20",
                      damaged = "Illegal ZTB ID string\tD300.ztb\t0\t";
    EXPECT_EQ(seen, (Rows{"modal", v2Row, damaged, "", v2Row, damaged, "[Restore]",
                        "Print 50 v3\tD200.ztb\t3\t2024/01/01 - 05:00", v2Row, damaged, ""}));
    EXPECT_EQ(messages, (Rows{"1 ZTB(s) have been installed.", "1 ZTB(s) have been restored."}));
    EXPECT_EQ(State(),
        "Orvane A: Chrome 64 v1 red, Print 50 v3 blue, Slide 100 v2 red | Negative 400 v1, Print 50 v2 | [Add All]");

    // "History..." shows the log, newest first, each row after its time.
    Rows history;
    FromMenu(IDM_HISTORY, "History", [&](HWND box) { history = ListRows(::GetDlgItem(box, IDC_HISTORY_LIST)); });
    for (std::string& row : history) row.erase(0, 20);
    const std::string user = platform::UserName() + "\t";
    EXPECT_EQ(
        history, (Rows{user + "restore\tD200.ztb\tPrint 50 v2\tdone", user + "install\tD200.ztb\tPrint 50 v3\tdone"}));
}

// At the prefix's DPI (tests/ui/run-scaled runs this at 144 and 192 as well):
// rows of 15 pixels at 96 DPI and in proportion above, never lower than
// their text, each with its swatch scaled and centred; a move to a monitor
// of twice the DPI lays them out again, and so does the move back. In the
// backed-up tables a description of 48 characters is cut so that the date
// stays in view.
TEST_F(DialogTest, Scaled) {
    Fresh();
    std::filesystem::create_directories(setup->Backup());
    Put(setup->Backup("D100.ztb, v1.2"), "Wide-gamut Tungsten 64T duplicating masters v1.2");
    RECT frame{};
    ::GetWindowRect(Dialog(), &frame);
    const int dpi = static_cast<int>(::GetDpiForWindow(Dialog())), moves[] = {dpi, 2 * dpi, dpi};
    for (std::size_t move = 0; move < std::size(moves); ++move) {
        const int at = moves[move], scaled = ::MulDiv(15, at, 96);
        SCOPED_TRACE(at);
        if (move > 0) ::SendMessageA(Dialog(), WM_DPICHANGED, MAKEWPARAM(at, at), reinterpret_cast<LPARAM>(&frame));
        PumpMessages();
        const Canvas canvas(80, Send(kLeft, LB_GETITEMHEIGHT, 0), Item(kLeft));
        const int height = canvas.all.bottom;
        TEXTMETRICA font{};
        ::GetTextMetricsA(canvas.dc, &font);
        EXPECT_TRUE(height >= scaled && height >= font.tmHeight && height < scaled * 4 / 3) << height;
        DrawRow(canvas, 0, ODA_DRAWENTIRE, 0, kRed);
        std::set<int> columns, lines;  // of the swatch's red pixels
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < 80; ++x)
                if (::GetPixel(canvas.dc, x, y) == kRed) columns.insert(x), lines.insert(y);
        EXPECT_EQ(columns.size(), std::size_t(::MulDiv(10, at, 96)));
        EXPECT_EQ(lines.size(), std::size_t(::MulDiv(9, at, 96)));
        EXPECT_LE(std::abs(*lines.begin() + *lines.rbegin() + 1 - height), 1);
    }
    std::string row;
    FromMenu(IDM_BACKUPS, "Backed-up tables - Orvane A", [&](HWND box) {
        const HWND list = ::GetDlgItem(box, IDC_BACKUP_LIST);
        row = ListBoxTextOf(list, 0);
        int stops[3] = {}, column = 0;  // where the headings stand over the list
        for (const char* heading : {"File", "Label", "Date"}) {
            POINT corner{};  // the heading's, which has no border
            ::MapWindowPoints(::FindWindowExA(box, nullptr, "Static", heading), list, &corner, 1);
            stops[column++] = corner.x;
        }
        RECT inside{};
        ::GetClientRect(list, &inside);
        const Canvas canvas(1, 1, list);
        EXPECT_LE(LOWORD(::GetTabbedTextExtentA(canvas.dc, row.c_str(), static_cast<int>(row.size()), 3, stops)),
            inside.right);
    });
    EXPECT_EQ(row.substr(row.find("...")), "...\tD100.ztb\t1.2\t2024/01/01 - 01:40");
}

// The modal dialog ends with "Done", which Enter presses, with Escape and
// with the close box.
TEST_F(DialogTest, EndingTheModalDialog) {
    for (const auto& [message, wParam, result] : {std::tuple<UINT, WPARAM, INT_PTR>{WM_KEYDOWN, VK_RETURN, IDOK},
             {WM_KEYDOWN, VK_ESCAPE, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE, IDCANCEL}})
        Watching(
            "ZTBInstall", [&](HWND window) { ::PostMessageA(window, message, wParam, 0); },
            [&] { EXPECT_EQ(CInstallerDlg(setup->Folders()).DoModal(), result) << message << " " << wParam; });
}

}  // namespace
