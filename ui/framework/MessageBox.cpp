#include "ui/framework/MessageBox.h"

#include <utility>

#include "ui/framework/WinApp.h"
#include "ui/framework/Wnd.h"

namespace {

MessageBoxHook& InstalledHook()
{
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

int AfxMessageBox(const std::string& text, UINT type)
{
    const std::string caption = AfxGetAppName();
    if (const MessageBoxHook& hook = InstalledHook())
        return hook(text, caption, type);
    return ::MessageBoxA(CWnd::GetSafeOwner(nullptr), text.c_str(), caption.c_str(), type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook)
{
    return std::exchange(InstalledHook(), std::move(hook));
}
