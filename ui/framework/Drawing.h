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
