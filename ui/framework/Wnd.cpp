#include "ui/framework/Wnd.h"

#include <unordered_map>

#include "ui/framework/WinApp.h"

namespace {

// The objects of this thread's windows, by handle, in the process's own
// memory: a window property lives in Wine's server, a round trip for every
// message to a subclassed window.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    thread_local std::unordered_map<HWND, CWnd*> map;
    return map;
}

}  // namespace

CWnd::~CWnd() {
    if (oldWndProc_ != nullptr)
        UnsubclassWindow();
    else if (m_hWnd != nullptr)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    const auto found = HandleMap().find(hWnd);
    return found != HandleMap().end() ? found->second : nullptr;
}

HWND CWnd::GetSafeOwner(CWnd* parent) {
    HWND owner = parent != nullptr ? parent->m_hWnd : nullptr;
    if (owner == nullptr) {
        if (CWnd* mainWnd = AfxGetMainWnd()) owner = mainWnd->m_hWnd;
    }
    if (owner == nullptr) owner = ::GetActiveWindow();
    return owner != nullptr ? ::GetLastActivePopup(owner) : nullptr;
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
}

void CWnd::Detach() {
    if (const auto found = HandleMap().find(m_hWnd); found != HandleMap().end() && found->second == this)
        HandleMap().erase(found);
    m_hWnd = nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    const HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control != nullptr && SubclassWindow(control);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    Attach(hWnd);
    oldWndProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    const HWND hWnd = m_hWnd;
    if (oldWndProc_ != nullptr && ::IsWindow(hWnd))
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldWndProc_));
    oldWndProc_ = nullptr;
    Detach();
    return hWnd;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const WNDPROC oldWndProc = wnd->oldWndProc_;
    if (message == WM_NCDESTROY) {
        // The window goes away: give it back its own procedure first.
        wnd->UnsubclassWindow();
        return ::CallWindowProcA(oldWndProc, hWnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (wnd->WindowProc(message, wParam, lParam, result)) return result;
    return ::CallWindowProcA(oldWndProc, hWnd, message, wParam, lParam);
}

bool CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if ((message == WM_DRAWITEM || message == WM_MEASUREITEM) && ReflectToChild(message, wParam, lParam, result))
        return true;

    const MessageMapEntry* entry = nullptr;
    if (message == WM_COMMAND)
        entry = FindEntry(message, LOWORD(wParam), HIWORD(wParam));
    else
        entry = FindEntry(message, 0, 0);
    if (entry == nullptr) return false;

    // Handlers may send messages to this window; each message keeps its
    // own request for default processing.
    const bool outerUseDefault = useDefault_;
    useDefault_ = false;
    RunHandler([&] { result = CallEntry(*entry, wParam, lParam); });
    const bool handled = !useDefault_;
    useDefault_ = outerUseDefault;
    return handled;
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    if (message == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType == ODT_MENU) return false;
        child = draw->hwndItem;
    } else {
        const auto* measure = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType == ODT_MENU) return false;
        child = AttachedChild(measure->CtlID);
    }
    CWnd* control = FromHandlePermanent(child);
    if (control == nullptr) return false;
    bool handled = false;
    RunHandler([&] { handled = control->OnChildNotify(message, wParam, lParam, result); });
    return handled;
}

// Among the thread's objects: GetDlgItem asks Wine's server every time, and
// an owner-drawn list asks for the height of each row it adds.
HWND CWnd::AttachedChild(UINT id) const {
    for (const auto& entry : HandleMap()) {
        const HWND hWnd = entry.first;
        if ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) != 0 && ::GetParent(hWnd) == m_hWnd &&
            static_cast<UINT>(::GetDlgCtrlID(hWnd)) == id)
            return hWnd;
    }
    return nullptr;
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }

void CWnd::OnPaint() { Default(); }
