// The main dialog as its resources make it: controls in tab order with
// their texts, kinds and places, the model rows, the system menu item and
// the icons.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

struct ExpectedControl {
    int id;
    const char* className;
    const char* text;
    DWORD styleMask;  // the bits compared
    DWORD style;
    RECT dialogUnits;  // x, y, width, height (not right and bottom)
};

constexpr DWORD kButtonMask = BS_TYPEMASK | WS_TABSTOP;
constexpr DWORD kListMask = LBS_SORT | LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                            LBS_MULTIPLESEL | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
constexpr DWORD kStaticMask = SS_TYPEMASK;

const ExpectedControl kControls[] = {
    {IDOK, "Button", "Done", kButtonMask, BS_DEFPUSHBUTTON | WS_TABSTOP, {329, 7, 50, 14}},
    {IDC_MODEL_BOX, "ComboBox", "Orvane A", 0x3 | CBS_SORT | WS_TABSTOP, CBS_DROPDOWN | WS_TABSTOP, {7, 18, 182, 131}},
    {IDC_NEW_LIST, "ListBox", "", kListMask,
     LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP,
     {7, 55, 183, 130}},
    {IDC_INSTALLED_LIST, "ListBox", "", kListMask,
     LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, {196, 55, 183, 130}},
    {IDC_REMOVE, "Button", "Remove", kButtonMask, BS_PUSHBUTTON | WS_TABSTOP, {197, 191, 50, 14}},
    {IDC_ADD, "Button", "Add", kButtonMask, BS_PUSHBUTTON | WS_TABSTOP, {85, 191, 50, 14}},
    {IDC_STATIC, "Static", "Select your film recorder", kStaticMask, SS_LEFT, {7, 7, 180, 8}},
    {IDC_STATIC, "Static", "Installed film tables", kStaticMask, SS_LEFT, {199, 42, 171, 8}},
    {IDC_STATIC, "Static", "New or updated film tables", kStaticMask, SS_LEFT, {7, 39, 177, 8}},
    {IDC_STATIC, "Static", "Red - New ZTB", kStaticMask, SS_LEFT, {7, 188, 50, 8}},
    {IDC_STATIC, "Static", "Blue - Updated ZTB", kStaticMask, SS_LEFT, {7, 196, 63, 8}},
    {IDC_ADD_ALL, "Button", "Add All", kButtonMask, BS_PUSHBUTTON | WS_TABSTOP, {139, 191, 50, 14}},
};

std::string ClassOf(HWND window)
{
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

class Resources : public DialogTest {};

TEST_F(Resources, MainDialogLaysOutItsControlsInTabOrder)
{
    Open();
    EXPECT_EQ(WindowTextOf(Dialog()), "ZTBInstall");
    const LONG_PTR style = ::GetWindowLongPtrA(Dialog(), GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_POPUP | WS_CAPTION | WS_SYSMENU);
    EXPECT_NE(::GetWindowLongPtrA(Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    RECT client{};
    ::GetClientRect(Dialog(), &client);
    RECT size{0, 0, 386, 213};
    ::MapDialogRect(Dialog(), &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    HWND child = ::GetWindow(Dialog(), GW_CHILD);
    for (const ExpectedControl& expected : kControls) {
        ASSERT_NE(child, nullptr) << expected.text;
        SCOPED_TRACE(expected.text);
        EXPECT_EQ(static_cast<WORD>(::GetDlgCtrlID(child)), static_cast<WORD>(expected.id));
        EXPECT_EQ(ClassOf(child), expected.className);
        EXPECT_EQ(WindowTextOf(child), expected.text);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE)) & expected.styleMask, expected.style);

        // The dialog manager maps the place and the size each on its own.
        RECT place = expected.dialogUnits;
        ::MapDialogRect(Dialog(), &place);
        RECT actual{};
        ::GetWindowRect(child, &actual);
        ::MapWindowPoints(nullptr, Dialog(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, place.left);
        EXPECT_EQ(actual.top, place.top);
        EXPECT_EQ(actual.right - actual.left, place.right);
        // A combo box's template height includes its dropped list, which
        // the closed box does not show.
        if (expected.id != IDC_MODEL_BOX) {
            EXPECT_EQ(actual.bottom - actual.top, place.bottom);
        }
        if (std::string(expected.className) == "ListBox") {
            // The dialog manager draws a border as a sunken client edge.
            const bool border = (::GetWindowLongPtrA(child, GWL_STYLE) & WS_BORDER) != 0 ||
                                (::GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
            EXPECT_TRUE(border);
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

TEST_F(Resources, ModelBoxHoldsTheTwelveModelsInOrder)
{
    Open();
    const std::vector<std::string> expected = {
        "Tavik Desk", "Tavik Desk Plus", "Tavik Z", "Tavik Z-2", "Orvane A",
        "Orvane A HX (tqa-0000 - tqa-0499)", "Orvane A HX (tqa-0500 - tqa-9999)", "Orvane B",
        "Orvane B HX (tqb-0000 - tqb-0499)", "Orvane B HX (tqb-0500 - tqb-9999)", "Orvane C", "Orvane D"};
    const HWND box = Item(IDC_MODEL_BOX);
    std::vector<std::string> rows;
    const int count = static_cast<int>(::SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        char text[64] = {};
        ::SendMessageA(box, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(text));
        rows.emplace_back(text);
    }
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(::SendMessageA(box, CB_GETCURSEL, 0, 0), 4);
}

TEST_F(Resources, SystemMenuEndsWithTheAboutItem)
{
    Open();
    const HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = {};
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&About ZTBInstall...");
}

TEST_F(Resources, IconIsSetBigAndSmallAndServesAsDragIcon)
{
    Open();
    ASSERT_NE(dialog->AppIcon, nullptr);
    const auto big = reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_GETICON, ICON_BIG, 0));
    const auto small = reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(big, dialog->AppIcon);
    EXPECT_EQ(small, dialog->AppIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(Dialog(), WM_QUERYDRAGICON, 0, 0)), dialog->AppIcon);

    // Two images of 16 colours: 32 x 32 and 16 x 16.
    for (const int size : {32, 16}) {
        const HICON image = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                             MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size,
                                                             size, 0));
        ASSERT_NE(image, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(image, &info));
        BITMAP bitmap{};
        ::GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(image);
    }
}

}  // namespace
