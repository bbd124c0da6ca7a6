#include "ui/BackupsDlg.h"

#include <iterator>
#include <utility>

#include "install/TableOperations.h"
#include "ui/ReportAfterRescan.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/MessageBox.h"
#include "ui/resource.h"

namespace {

// Where the file, label and date columns begin, in dialog units from the
// list's left edge; the headings above the list stand at the same places.
const int kColumnStops[] = {122, 186, 218};

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CBackupsDlg, CDialog)
    MapCommand(IDC_BACKUP_LIST, LBN_SELCHANGE, &CBackupsDlg::OnSelchangeBackupList),
    MapCommand(IDC_RESTORE, BN_CLICKED, &CBackupsDlg::OnRestore),
END_MESSAGE_MAP();
// clang-format on

CBackupsDlg::CBackupsDlg(CatalogueFolders folders, std::string model, std::function<void()> onRestored, CWnd* pParent)
    : CDialog(IDD_BACKUPS, pParent),
      folders_(std::move(folders)),
      model_(std::move(model)),
      onRestored_(std::move(onRestored)) {}

void CBackupsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BACKUP_LIST, BackupList);
    DDX_Control(pDX, IDC_RESTORE, RestoreButton);
}

BOOL CBackupsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(GetWindowText() + " - " + model_);
    BackupList.SendMessage(LB_SETTABSTOPS, std::size(kColumnStops), reinterpret_cast<LPARAM>(kColumnStops));
    ScanBackupList();
    return TRUE;
}

void CBackupsDlg::ScanBackupList() {
    Backups = ScanBackups(folders_.Backup(), folders_.Installed(), model_);
    BackupList.ResetContent();
    if (Backups.empty()) BackupList.AddString(NoBackupsPlaceholder);
    // A damaged backup shows the loader's message in place of its title.
    for (const BackupEntry& backup : Backups)
        BackupList.AddString((backup.Error.empty() ? backup.Description : backup.Error) + "\t" + backup.FileName +
                             "\t" + backup.Label + "\t" + backup.DateText);
    RestoreButton.EnableWindow(FALSE);
}

void CBackupsDlg::OnSelchangeBackupList() {
    RestoreButton.EnableWindow(!Backups.empty() && BackupList.GetSelCount() > 0);
}

void CBackupsDlg::OnRestore() {
    // As after an install: both dialogs rescan before the report shows.
    ReportAfterRescan(RestoreTables(folders_, Backups, BackupList.GetSelItems(), {"ZTBInstall", model_}), [this] {
        ScanBackupList();
        if (onRestored_) onRestored_();
    });
}
