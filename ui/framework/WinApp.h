// The application object: one static instance per program, started by the
// entry point (WinMain.cpp), which calls InitInstance.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/CmdTarget.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // appName nullptr: the executable's file name without its extension.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Starts the application. TRUE asks the entry point for a message loop;
    // FALSE ends the process once InitInstance returns.
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // The three-dimensional look of dialogs and controls. The system draws
    // it for every dialog itself, so there is nothing to turn on.
    void Enable3dControls() {}

    // The standard help command (ID_HELP). No help file belongs to this
    // program, so there is nothing to open.
    void OnHelp() {}

    std::string m_strAppName;
    CWnd* m_pMainWnd = nullptr;
};

// The application object, or nullptr when the program has none (tests).
CWinApp* AfxGetApp();

// The application's main window, or nullptr.
CWnd* AfxGetMainWnd();

// The application's name: the caption of its message boxes.
std::string AfxGetAppName();

// The module that holds the dialog templates, strings and icons.
HINSTANCE AfxGetResourceHandle();

// The executable's file name without folder and extension.
std::string ModuleBaseName();

// A string resource; empty when it is missing.
std::string LoadResourceString(UINT id);

// The framework's standard help command id.
inline constexpr UINT ID_HELP = 0xE146;
