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

struct CaptionSearch {
    std::string caption;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectCaptioned(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<CaptionSearch*>(data);
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    if (::IsWindowVisible(window) && search->caption == text)
        search->found.push_back(window);
    return TRUE;
}

// Visible top-level windows of this thread with the given caption.
std::vector<HWND> ThreadWindowsCaptioned(const std::string& caption)
{
    CaptionSearch search{caption, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The texts of a window's children, in order, read with WM_GETTEXT.
std::vector<std::string> ChildTexts(HWND window, const char* className)
{
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        ::GetClassNameA(child, name, sizeof name);
        const std::string text = WindowTextOf(child);
        if (lstrcmpiA(name, className) == 0 && !text.empty())
            texts.push_back(text);
    }
    return texts;
}

// While alive, hands every window of this thread that shows the caption to
// the action, once per appearance, from a timer that the modal loops of
// dialogs and message boxes deliver.
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
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        WindowWatcher* watcher = active_;
        if (watcher == nullptr || watcher->busy_)
            return;
        watcher->busy_ = true;
        for (HWND window : ThreadWindowsCaptioned(watcher->caption_))
            watcher->action_(window);
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

    struct Box {
        std::string caption;
        std::vector<std::string> texts;
        bool ownerDisabled;
    };
    std::vector<Box> boxes;
    const MessageBoxHook recording = SetMessageBoxHook({});  // the system's box
    {
        WindowWatcher presser(ModuleBaseName(), [&](HWND box) {
            boxes.push_back({WindowTextOf(box), ChildTexts(box, "Static"), ::IsWindowEnabled(Dialog()) == FALSE});
            EXPECT_EQ(::GetWindow(box, GW_OWNER), Dialog());
            ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        Press(IDC_ADD_ALL);
    }
    SetMessageBoxHook(recording);

    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, ModuleBaseName());
    EXPECT_EQ(boxes[0].texts, std::vector<std::string>{"0 ZTB(s) have been installed."});
    EXPECT_TRUE(boxes[0].ownerDisabled);
    ASSERT_EQ(boxes[1].texts.size(), 1u);
    EXPECT_NE(boxes[1].texts[0].find("D100.ztb"), std::string::npos);
    EXPECT_TRUE(::IsWindowEnabled(Dialog()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ModalParts, AbortMessageOfADamagedTableAppearsInARealMessageBox)
{
    const std::string fault = WriteDamaged(distributionFolder + "G900.ztb");
    OpenAsMainWindow();

    std::vector<std::string> texts;
    const MessageBoxHook recording = SetMessageBoxHook({});
    {
        WindowWatcher presser(ModuleBaseName(), [&](HWND box) {
            const std::vector<std::string> shown = ChildTexts(box, "Static");
            texts.insert(texts.end(), shown.begin(), shown.end());
            ::SendMessageA(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        ChooseModel(7);  // "Orvane B"
    }
    SetMessageBoxHook(recording);

    EXPECT_EQ(texts, std::vector<std::string>{fault});
    ExpectListsMatchEntries();
}

TEST_F(ModalParts, AboutBoxFromTheSystemMenu)
{
    Distribute("D100.ztb", "Slide 100 v2", 100);
    OpenAsMainWindow();
    ClickRow(IDC_NEW_LIST, 0);
    const std::vector<int> selectedBefore = SelectedRows(IDC_NEW_LIST);

    std::vector<std::vector<std::string>> contents;
    {
        WindowWatcher closer("About ZTBInstall", [&](HWND about) {
            std::vector<std::string> content = ChildTexts(about, "Static");
            content.push_back(WindowTextOf(::GetDlgItem(about, IDOK)));
            content.push_back(::IsWindowEnabled(Dialog()) ? "main enabled" : "main disabled");
            contents.push_back(content);
            ::SendMessageA(::GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        });
        // Twice, as the system menu item sends it.
        ::SendMessageA(Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        ::SendMessageA(Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
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
    EXPECT_EQ(SelectedRows(IDC_NEW_LIST), selectedBefore);
    EXPECT_TRUE(Enabled(IDC_ADD));
    EXPECT_FALSE(Enabled(IDC_REMOVE));
    EXPECT_TRUE(messages.empty());
}

// "Done", the Escape key and the close box end the modal main dialog.
class Ending : public DialogTest {
protected:
    INT_PTR RunModalAndThen(const std::function<void(HWND)>& ending)
    {
        CInstallerDlg modal(Folders());
        bool ended = false;
        WindowWatcher watcher("ZTBInstall", [&](HWND window) {
            if (!ended) {
                ended = true;
                ending(window);
            }
        });
        return modal.DoModal();
    }
};

TEST_F(Ending, DoneEndsWithOk)
{
    EXPECT_EQ(RunModalAndThen([](HWND window) { ::SendMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0); }),
              IDOK);
}

TEST_F(Ending, EscapeEndsWithCancel)
{
    EXPECT_EQ(RunModalAndThen([](HWND window) {
                  ::PostMessageA(::GetDlgItem(window, IDC_INSTALLED_LIST), WM_KEYDOWN, VK_ESCAPE, 0);
              }),
              IDCANCEL);
}

TEST_F(Ending, CloseBoxEndsWithCancel)
{
    EXPECT_EQ(RunModalAndThen([](HWND window) { ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }), IDCANCEL);
}

}  // namespace
