// Drawing contexts and brushes that release what they hold.
#pragma once

#include <windows.h>

#include "ui/framework/Wnd.h"

// The paint context of a WM_PAINT, from BeginPaint to EndPaint.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd) : window_(wnd->m_hWnd), dc_(::BeginPaint(window_, &paint_)) {}
    ~CPaintDC() { ::EndPaint(window_, &paint_); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A window's client drawing context with the window's font selected; both
// given back with the object, also when what draws throws.
class CFontDC {
public:
    explicit CFontDC(HWND window)
        : window_(window),
          dc_(::GetDC(window)),
          oldFont_(::SelectObject(dc_, reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)))) {}
    ~CFontDC() {
        ::SelectObject(dc_, oldFont_);
        ::ReleaseDC(window_, dc_);
    }
    CFontDC(const CFontDC&) = delete;
    CFontDC& operator=(const CFontDC&) = delete;

    HDC GetSafeHdc() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ oldFont_;
};

// Turns a list's redrawing off for its lifetime, then draws the list once:
// a shown list would otherwise redraw and update its scroll bar for every
// row added, selected or resized.
class RedrawOnceAfter {
public:
    explicit RedrawOnceAfter(HWND list) : list_(list) { ::SendMessageA(list_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOnceAfter() {
        ::SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
    }
    RedrawOnceAfter(const RedrawOnceAfter&) = delete;
    RedrawOnceAfter& operator=(const RedrawOnceAfter&) = delete;

private:
    HWND list_;
};

// A solid brush, deleted with the object.
class CBrush {
public:
    explicit CBrush(COLORREF color) : brush_(::CreateSolidBrush(color)) {}
    ~CBrush() {
        if (brush_ != nullptr) ::DeleteObject(brush_);
    }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    HBRUSH GetSafeHandle() const { return brush_; }

private:
    HBRUSH brush_;
};
