// The application's message box: an OK box owned by the main window, with
// the application's name as its caption.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

int AfxMessageBox(const std::string& text, UINT type = MB_OK);

// Stands in for the system's message box, e.g. in tests that record the
// texts instead of waiting for a click. Receives the text, caption and
// type, and returns the button pressed.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption, UINT type)>;

// Installs hook (an empty hook restores the system's box); returns the
// hook that was installed before.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
