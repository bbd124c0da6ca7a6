// The backed-up tables of the current model, opened from the main dialog's
// system menu: a row per backup (description, file, label, date), "Restore"
// for the selected rows and "Close".
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "catalogue/BackupList.h"
#include "catalogue/Folders.h"
#include "ui/framework/Controls.h"
#include "ui/framework/Dialog.h"

class CBackupsDlg : public CDialog {
public:
    // onRestored runs after every restore, before its messages show: the
    // main dialog rescans its lists there.
    CBackupsDlg(CatalogueFolders folders, std::string model, std::function<void()> onRestored, CWnd* pParent = nullptr);
    ~CBackupsDlg() override = default;

    CListBox BackupList;    // 1010; row k shows Backups[k], or the placeholder row
    CButton RestoreButton;  // 1011
    std::vector<BackupEntry> Backups;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // The rows cut to their columns again in the scaled font.
    void OnDpiChanged(UINT dpi) override;

    void OnSelchangeBackupList();
    void OnRestore();
    void ReportException(const std::exception& failure) override;

private:
    // Rebuilds Backups and the rows; the error abort when the backup folder
    // cannot be read, leaving both as they were.
    void ScanBackupList();
    void ShowBackupRows();

    CatalogueFolders folders_;
    std::string model_;
    std::function<void()> onRestored_;

    DECLARE_MESSAGE_MAP()
};
