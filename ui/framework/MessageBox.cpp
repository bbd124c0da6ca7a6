#include "ui/framework/MessageBox.h"

#include <utility>

#include "platform/WideText.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/Wnd.h"

namespace {

MessageBoxHook& InstalledHook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

int AfxMessageBox(const std::string& text, UINT type) {
    const std::string caption = AfxGetAppName();
    if (const MessageBoxHook& hook = InstalledHook()) return hook(text, caption, type);
    // File names in the text are UTF-8: shown through the wide call. A text
    // that is not UTF-8 goes to the ANSI call as it is.
    const auto wideText = platform::WideFromUtf8(text);
    const auto wideCaption = platform::WideFromUtf8(caption);
    if (wideText && wideCaption)
        return ::MessageBoxW(CWnd::GetSafeOwner(nullptr), wideText->c_str(), wideCaption->c_str(), type);
    return ::MessageBoxA(CWnd::GetSafeOwner(nullptr), text.c_str(), caption.c_str(), type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return std::exchange(InstalledHook(), std::move(hook)); }
