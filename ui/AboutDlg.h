// The about box, opened from the main dialog's system menu.
#pragma once

#include "ui/framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override = default;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
