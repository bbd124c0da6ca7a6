// The dialog's modal parts with the system's own windows: real message
// boxes, the about box from the system menu, and the ways the modal main
// dialog ends. A thread timer finds each window while its modal loop runs.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/ui/DialogFixture.h"
#include "ui/InstallerDlg.h"
#include "ui/framework/WinApp.h"
#include "ui/resource.h"

namespace {

// The texts of a window's static controls, in order.
std::vector<std::string> StaticTexts(HWND window)
{
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        ::GetClassNameA(child, name, sizeof name);
        const std::string text = WindowTextOf(child);
        if (lstrcmpiA(name, "Static") == 0 && !text.empty())
            texts.push_back(text);
    }
    return texts;
}

// While alive, hands every visible window of this thread that shows the
// caption to the action, from a timer that the modal loops of dialogs and
// message boxes deliver.
class WindowWatcher {
public:
    WindowWatcher(std::string caption, std::function<void(HWND)> action)
        : caption_(std::move(caption)), action_(std::move(action))
    {
        active_ = this;
        timer_ = ::SetTimer(nullptr, 0, 50, &WindowWatcher::Tick);
    }
    ~WindowWatcher()
    {
        ::KillTimer(nullptr, timer_);
        active_ = nullptr;
    }
    WindowWatcher(const WindowWatcher&) = delete;
    WindowWatcher& operator=(const WindowWatcher&) = delete;

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM windows)
    {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        WindowWatcher* watcher = active_;
        if (watcher == nullptr || watcher->busy_)
            return;
        watcher->busy_ = true;
        std::vector<HWND> windows;
        ::EnumThreadWindows(::GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows) {
            if (::IsWindowVisible(window) && WindowTextOf(window) == watcher->caption_)
                watcher->action_(window);
        }
        watcher->busy_ = false;
    }

    static inline WindowWatcher* active_ = nullptr;
    std::string caption_;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

// With an application object whose main window is the dialog, as in the
// program: message boxes and the about box are owned by it.
class ModalParts : public DialogTest {
protected:
    void OpenAsMainWindow()
    {
        Open();
        app.m_pMainWnd = dialog.get();
    }

    CWinApp app;
};

TEST_F(ModalParts, CountAndFailuresAppearInRealMessageBoxes)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    Distribute("D500.ztb", "Chrome 64 v1", 100);
    std::filesystem::remove_all(installedFolder);  // every row fails
    OpenAsMainWindow();

    // The count first, then the failed rows in a second box; each box has
    // the application's name as caption and disables the dialog it belongs to.
    std::vector<std::string> texts;
    const MessageBoxHook recording = SetMessageBoxHook({});  // the system's box
    {
        WindowWatcher presser(ModuleBaseName(), [&](HWND box) {
            EXPECT_EQ(::GetWindow(box, GW_OWNER), Dialog());
            EXPECT_FALSE(::IsWindowEnabled(Dialog()));
            const std::vector<std::string> shown = StaticTexts(box);
            texts.insert(texts.end(), shown.begin(), shown.end());
            ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        Press(IDC_ADD_ALL);
    }
    SetMessageBoxHook(recording);

    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "0 ZTB(s) have been installed.");
    EXPECT_NE(texts[1].find("D100.ztb"), std::string::npos) << texts[1];
    EXPECT_NE(texts[1].find("D500.ztb"), std::string::npos) << texts[1];
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog->NewCount, 2);
    ExpectButtons(false, false, true);
}

TEST_F(ModalParts, AboutBoxFromTheSystemMenu)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    OpenAsMainWindow();
    ClickRow(IDC_NEW_LIST, 0);

    // The system menu ends with a separator and the about item.
    const HMENU menu = ::GetSystemMenu(Dialog(), FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_NE(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    char item[64] = {};
    ::GetMenuStringA(menu, count - 1, item, sizeof item, MF_BYPOSITION);
    EXPECT_STREQ(item, "&About ZTBInstall...");

    std::vector<std::vector<std::string>> contents;
    {
        WindowWatcher closer("About ZTBInstall", [&](HWND about) {
            std::vector<std::string> content = StaticTexts(about);
            content.push_back(WindowTextOf(::GetDlgItem(about, IDOK)));
            content.push_back(::IsWindowEnabled(Dialog()) ? "main enabled" : "main disabled");
            contents.push_back(content);
            ::SendMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        });
        // Twice, as the system menu item sends it.
        const WPARAM command = ::GetMenuItemID(menu, count - 1);
        ::SendMessageA(Dialog(), WM_SYSCOMMAND, command, 0);
        ::SendMessageA(Dialog(), WM_SYSCOMMAND, command, 0);
    }

    ASSERT_EQ(contents.size(), 2u);
    ASSERT_EQ(contents[0].size(), 4u);
    EXPECT_EQ(contents[0][0], "ZTBInstall Version 1.03");
    EXPECT_NE(contents[0][1].find("1998"), std::string::npos) << contents[0][1];
    EXPECT_EQ(contents[0][2], "OK");
    EXPECT_EQ(contents[0][3], "main disabled");
    EXPECT_EQ(contents[1], contents[0]);

    // Back in the main dialog, nothing has changed.
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    EXPECT_EQ(SelectedRows(IDC_NEW_LIST), std::vector<int>{0});
    ExpectButtons(false, true, true);
    EXPECT_TRUE(messages.empty());
}

using Ending = DialogTest;

TEST_F(Ending, DoneEscapeAndTheCloseBoxEndTheModalDialog)
{
    const struct {
        const char* way;
        std::function<void(HWND)> end;
        INT_PTR result;
    } ways[] = {
        {"Done", [](HWND window) { ::SendMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0); }, IDOK},
        {"Escape",
         [](HWND window) { ::PostMessageA(::GetDlgItem(window, IDC_INSTALLED_LIST), WM_KEYDOWN, VK_ESCAPE, 0); },
         IDCANCEL},
        {"close box", [](HWND window) { ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
    };
    for (const auto& way : ways) {
        CInstallerDlg modal(Folders());
        bool ended = false;
        WindowWatcher watcher("ZTBInstall", [&](HWND window) {
            if (!ended) {
                ended = true;
                way.end(window);
            }
        });
        EXPECT_EQ(modal.DoModal(), way.result) << way.way;
    }
}

}  // namespace
