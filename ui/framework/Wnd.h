// A window object attached to a system window. Windows that an object
// created (dialogs) or took over (SubclassDlgItem) send their messages
// through the object's message map; what the map does not handle goes to
// the system's default processing.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/CmdTarget.h"

// The text of any window (a caption, an edit or combo box's text).
std::string WindowTextOf(HWND hWnd);

// The DPI that hWnd is drawn at: its own where the system has one per window
// (Windows 10 1607 and later), else the system's.
UINT WindowDpi(HWND hWnd);

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    // Gives a subclassed window back its own window procedure.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object attached to hWnd, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // The owner for a modal box: the given window, else the application's
    // main window, else the thread's active window; the last active popup
    // of that, so that a box opened from a box stays on top.
    static HWND GetSafeOwner(CWnd* parent);

    // Links hWnd to this object (FromHandlePermanent), without taking over
    // its messages, and unlinks it.
    void Attach(HWND hWnd);
    void Detach();

    // Takes over the child control id of parent: from now on its messages,
    // and the owner-draw requests the parent receives for it, reach this
    // object.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();

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
    BOOL DestroyWindow();

    // Runs a message through the message map: reflected owner-draw requests
    // first, then the map's entries. False when nothing handled it (or a
    // handler asked for Default), so the system's processing follows.
    bool WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // A reflected request from the parent (WM_DRAWITEM, WM_MEASUREITEM,
    // WM_COMPAREITEM) about this control; false when not handled.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    // Inside a handler: leave this message to the system's processing.
    void Default() { useDefault_ = true; }

    // Handlers that leave the message to the system's processing; derived
    // classes call them for the cases they do not handle themselves.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The child of this window with the control id id when an object is
    // attached to it, else nullptr.
    HWND AttachedChild(UINT id) const;

    WNDPROC oldWndProc_ = nullptr;  // set while subclassed
    bool useDefault_ = false;
};
