// The history log of the installed folder (install/HistoryLog.h), opened
// from the main dialog's system menu: a row per line, newest first (time in
// UTC, user, operation, file, description, result with its reason), and
// "Close".
#pragma once

#include <windows.h>

#include "catalogue/Folders.h"
#include "ui/framework/Controls.h"
#include "ui/framework/Dialog.h"

class CHistoryDlg : public CDialog {
public:
    explicit CHistoryDlg(CatalogueFolders folders, CWnd* pParent = nullptr);

    CListBox HistoryList;  // 1020

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CatalogueFolders folders_;
};
