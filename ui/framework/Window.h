// A system window by its handle: typed calls over the window's messages and
// functions. A CWindow is a copyable value with nothing of its own (no
// message map, no entry in the handle map); controls build on it
// (Controls.h). Windows whose messages the program handles are CWnd objects
// (Wnd.h), which have the same calls on top of their message map.
#pragma once

#include <windows.h>

#include <string>

// The text of any window (a caption, an edit or combo box's text).
std::string WindowTextOf(HWND hWnd);

// The DPI that hWnd is drawn at: its own where the system has one per window
// (Windows 10 1607 and later), else the system's.
UINT WindowDpi(HWND hWnd);

// The calls on top of Base: nothing (CNoBase) for a plain handle, the
// message map's root for a window object.
template <class Base>
class CWindowT : public Base {
public:
    CWindowT() = default;
    explicit CWindowT(HWND hWnd) : m_hWnd(hWnd) {}

    HWND m_hWnd = nullptr;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    std::string GetWindowText() const { return WindowTextOf(m_hWnd); }
    void SetWindowText(const std::string& text) { ::SetWindowTextA(m_hWnd, text.c_str()); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    HICON SetIcon(HICON icon, BOOL bigIcon) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    BOOL DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }
};

struct CNoBase {};
using CWindow = CWindowT<CNoBase>;
