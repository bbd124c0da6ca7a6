#include "ui/BackupsDlg.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "install/TableOperations.h"
#include "ui/ReportAfterRescan.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/MessageBox.h"
#include "ui/resource.h"

namespace {

// Where the file, label and date columns begin, in dialog units from the
// list's left edge; the headings above the list stand at the same places.
// Dialog units grow with the font, so the date keeps its room beside the
// scroll bar at every scale.
const int kColumnStops[] = {118, 178, 206};
constexpr int kColumnGap = 3;  // dialog units between a cut text and the next column

// text, or as much of it as fits in width pixels followed by "...", so that
// a long text does not push the columns after it along.
std::string Fitted(HDC dc, const std::string& text, int width) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx <= width) return text;
    SIZE dots{};
    ::GetTextExtentPoint32A(dc, "...", 3, &dots);
    int fit = 0;
    ::GetTextExtentExPointA(
        dc, text.c_str(), static_cast<int>(text.size()), std::max<int>(0, width - dots.cx), &fit, nullptr, &size);
    return text.substr(0, static_cast<std::size_t>(fit)) + "...";
}

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
    ShowBackupRows();
}

// The rows measured in the list's font. A damaged backup shows the loader's
// message in place of its title.
void CBackupsDlg::ShowBackupRows() {
    int widths[std::size(kColumnStops)] = {};
    int start = 0;
    for (std::size_t column = 0; column < std::size(kColumnStops); ++column) {
        RECT room{start, 0, kColumnStops[column] - kColumnGap, 0};
        ::MapDialogRect(m_hWnd, &room);
        widths[column] = room.right - room.left;
        start = kColumnStops[column];
    }
    const CFontDC dc(BackupList.m_hWnd);
    BackupList.ResetContent();
    if (Backups.empty()) BackupList.AddString(kNoBackupsPlaceholder);
    for (const BackupEntry& backup : Backups) {
        const std::string fields[] = {
            backup.Error.empty() ? backup.Description : backup.Error, backup.FileName, backup.Label};
        std::string row;
        for (std::size_t column = 0; column < std::size(fields); ++column)
            row += Fitted(dc.GetSafeHdc(), fields[column], widths[column]) + "\t";
        BackupList.AddString(row + backup.DateText);
    }
    RestoreButton.EnableWindow(FALSE);
}

void CBackupsDlg::OnDpiChanged(UINT) { ShowBackupRows(); }

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

// A damaged installed copy ends a restore with its message and path, as in the main dialog.
void CBackupsDlg::ReportException(const std::exception& failure) { AfxMessageBox(FailureMessage(failure)); }
