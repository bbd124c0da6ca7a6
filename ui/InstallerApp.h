// The application: runs the main dialog modally and ends when it closes.
#pragma once

#include "ui/framework/WinApp.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp() = default;
    ~CInstallerApp() override = default;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
