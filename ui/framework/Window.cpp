#include "ui/framework/Window.h"

#include <vector>

std::string WindowTextOf(HWND hWnd) {
    const int length = ::GetWindowTextLengthA(hWnd);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const int copied = ::GetWindowTextA(hWnd, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

UINT WindowDpi(HWND hWnd) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow != nullptr) {
        if (const UINT dpi = dpiForWindow(hWnd); dpi != 0) return dpi;
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}
