// The application: runs the main dialog modally and ends when it closes.
#pragma once

#include "ui/framework/WinApp.h"

class CInstallerApp : public CWinApp {
public:
    CInstallerApp() = default;
    ~CInstallerApp() override = default;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

    BOOL InitInstance() override;

private:
    static const MessageMapEntry messageEntries[];
};
