#include "ui/InstallerDlg.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <new>
#include <utility>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "ui/AboutDlg.h"
#include "ui/BackupsDlg.h"
#include "ui/HistoryDlg.h"
#include "ui/ReportAfterRescan.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/WinApp.h"
#include "ui/resource.h"

namespace {

// A button's state after an event: as it was, off, on, or on exactly when
// new or updated tables are listed.
enum class ButtonState { Unchanged, Off, On, OnIfNew };

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CInstallerDlg, CDialog)
    MapSysCommand(&CInstallerDlg::OnSysCommand),
    MapMessage(WM_PAINT, &CInstallerDlg::OnPaint),
    MapQueryDragIcon(&CInstallerDlg::OnQueryDragIcon),
    MapCommand(IDC_MODEL_BOX, CBN_SELCHANGE, &CInstallerDlg::OnSelchangeModel),
    MapCommand(IDC_ADD, BN_CLICKED, &CInstallerDlg::OnAdd),
    MapCommand(IDC_REMOVE, BN_CLICKED, &CInstallerDlg::OnRemove),
    MapCommand(IDC_INSTALLED_LIST, LBN_SELCHANGE, &CInstallerDlg::OnSelchangeInstalledList),
    MapCommand(IDC_NEW_LIST, LBN_SELCHANGE, &CInstallerDlg::OnSelchangeNewList),
    MapCommand(IDC_ADD_ALL, BN_CLICKED, &CInstallerDlg::OnAddAll),
END_MESSAGE_MAP();
// clang-format on

CInstallerDlg::CInstallerDlg(CWnd* pParent) : CInstallerDlg(CatalogueFolders::FromSystem(), pParent) {}

CInstallerDlg::CInstallerDlg(CatalogueFolders folders, CWnd* pParent)
    : CDialog(IDD_ZTBINSTALL_DIALOG, pParent),
      AppIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      folders_(std::move(folders)) {}

CInstallerDlg::~CInstallerDlg() = default;

void CInstallerDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADD_ALL, AddAllButton);
    DDX_Control(pDX, IDC_REMOVE, RemoveButton);
    DDX_Control(pDX, IDC_ADD, AddButton);
    DDX_Control(pDX, IDC_MODEL_BOX, ModelBox);
    DDX_Control(pDX, IDC_INSTALLED_LIST, InstalledList);
    DDX_CBString(pDX, IDC_MODEL_BOX, SelectedModel);
    DDX_LBString(pDX, IDC_INSTALLED_LIST, InstalledListText);
}

BOOL CInstallerDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        const std::string aboutItem = LoadResourceString(IDS_ABOUTBOX);
        if (!aboutItem.empty()) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, aboutItem.c_str());
        }
        const std::string backupsItem = LoadResourceString(IDS_BACKUPS);
        if (!backupsItem.empty()) ::AppendMenuA(sysMenu, MF_STRING, IDM_BACKUPS, backupsItem.c_str());
        const std::string historyItem = LoadResourceString(IDS_HISTORY);
        if (!historyItem.empty()) ::AppendMenuA(sysMenu, MF_STRING, IDM_HISTORY, historyItem.c_str());
    }

    SetIcon(AppIcon, TRUE);
    SetIcon(AppIcon, FALSE);

    NewList.SubclassDlgItem(IDC_NEW_LIST, this);
    NewList.ScaleTo(WindowDpi(m_hWnd));
    NewList.AnnounceRowNames();

    // Until the first scans complete, the lists show an empty catalogue and
    // the buttons stay off; a table that fails to load leaves it so, with
    // its message.
    ShowInstalledEntries({});
    ShowNewEntries({});
    SetButtons(ButtonEvent::Initialised);

    SelectedModel = kDefaultModel;
    UpdateData(FALSE);

    RunHandler([this] {
        ScanInstalledTables();
        ScanNewTables();
        SetButtons(ButtonEvent::Initialised);
        UpdateData(FALSE);
    });

    // The first focus is on "Done", last in the tab order.
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(IDOK)), TRUE);
    return FALSE;
}

void CInstallerDlg::OnDpiChanged(UINT dpi) {
    NewList.ScaleTo(dpi);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CInstallerDlg::SetButtons(ButtonEvent event) {
    using enum ButtonState;
    struct Row {
        ButtonEvent event;
        ButtonState remove, add, addAll;
    };
    // clang-format off
    static constexpr Row kRows[] = {
        // event                                  "Remove"   "Add"      "Add All"
        {ButtonEvent::Initialised,                Off,       Off,       OnIfNew},
        {ButtonEvent::ModelChanged,               Unchanged, OnIfNew,   OnIfNew},
        {ButtonEvent::InstalledSelectionChanged,  On,        Off,       Unchanged},
        {ButtonEvent::NewSelectionChanged,        Off,       OnIfNew,   OnIfNew},
        {ButtonEvent::Completed,                  Off,       Off,       OnIfNew},
    };
    // clang-format on
    for (const Row& row : kRows) {
        if (row.event != event) continue;
        const std::pair<CButton*, ButtonState> buttons[] = {
            {&RemoveButton, row.remove}, {&AddButton, row.add}, {&AddAllButton, row.addAll}};
        for (const auto& [button, state] : buttons) {
            if (state != Unchanged) button->EnableWindow(state == On || (state == OnIfNew && !NewEntries.empty()));
        }
    }
}

void CInstallerDlg::ScanInstalledTables() { ShowInstalledEntries(ScanInstalled(folders_.Installed(), SelectedModel)); }

void CInstallerDlg::ScanNewTables() {
    ShowNewEntries(ScanNew(folders_.Distribution(), SelectedModel, InstalledEntries));
}

void CInstallerDlg::ShowInstalledEntries(std::vector<CatalogueEntry> entries) {
    InstalledEntries = std::move(entries);
    const RedrawOnceAfter redraw(InstalledList.m_hWnd);
    InstalledList.ResetContent();
    if (InstalledEntries.empty()) InstalledList.AddString(kNoTablesPlaceholder);
    for (const CatalogueEntry& entry : InstalledEntries) InstalledList.AddString(entry.Description);
}

void CInstallerDlg::ShowNewEntries(std::vector<CatalogueEntry> entries) {
    NewEntries = std::move(entries);
    const RedrawOnceAfter redraw(NewList.m_hWnd);
    NewList.ResetContent();
    if (NewEntries.empty()) NewList.AddString(kNoTablesPlaceholder);
    for (const CatalogueEntry& entry : NewEntries)
        NewList.AddColorString(
            entry.Description, entry.Status == EntryStatus::Updated ? kUpdatedTableColor : kNewTableColor);
}

void CInstallerDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else if ((nID & 0xFFF0) == IDM_BACKUPS) {
        // After a restore the lists are rebuilt as after an install.
        CBackupsDlg backups(
            folders_, SelectedModel, [this] { RescanAfterOperation(); }, this);
        backups.DoModal();
    } else if ((nID & 0xFFF0) == IDM_HISTORY) {
        CHistoryDlg history(folders_, this);
        history.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

// Minimised, the dialog shows its icon centred; otherwise the system paints,
// and in high contrast the legend's swatches are added.
void CInstallerDlg::OnPaint() {
    if (!IsIconic() && !HighContrastOn()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    if (!IsIconic()) {
        DrawLegendSwatches(dc.GetSafeHdc());
        return;
    }
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, AppIcon);
}

// The swatches as the list draws them, framed in the text colour, in a column
// right of the legend's two lines.
void CInstallerDlg::DrawLegendSwatches(HDC dc) {
    const std::pair<int, COLORREF> lines[] = {
        {IDC_LEGEND_NEW, kNewTableColor}, {IDC_LEGEND_UPDATED, kUpdatedTableColor}};
    RECT texts[std::size(lines)] = {};
    LONG right = 0;
    for (std::size_t line = 0; line < std::size(lines); ++line) {
        ::GetWindowRect(GetDlgItem(lines[line].first), &texts[line]);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&texts[line]), 2);
        right = std::max(right, texts[line].right);
    }
    const LONG gap = NewList.SwatchIn({}).left;  // as far as a swatch from a row's left
    for (std::size_t line = 0; line < std::size(lines); ++line) {
        const RECT row{right + gap, texts[line].top, right + gap, texts[line].bottom};
        DrawSwatch(dc, NewList.SwatchIn(row), lines[line].second, ::GetSysColor(COLOR_WINDOWTEXT),
            ::GetSysColor(COLOR_BTNFACE));
    }
}

HCURSOR CInstallerDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(AppIcon); }

void CInstallerDlg::OnSelchangeModel() {
    UpdateData(TRUE);
    const int row = ModelBox.GetCurSel();
    if (row != CB_ERR) ModelBox.GetLBText(row, SelectedModel);

    ScanInstalledTables();
    ScanNewTables();

    UpdateData(FALSE);
    SetButtons(ButtonEvent::ModelChanged);
}

void CInstallerDlg::OnSelchangeInstalledList() {
    SetButtons(ButtonEvent::InstalledSelectionChanged);
    for (int row = 0; row < NewList.GetCount(); ++row) NewList.SetSel(row, FALSE);
}

void CInstallerDlg::OnSelchangeNewList() {
    SetButtons(ButtonEvent::NewSelectionChanged);
    for (int row = 0; row < InstalledList.GetCount(); ++row) InstalledList.SetSel(row, FALSE);
}

void CInstallerDlg::OnAdd() {
    if (NewEntries.empty()) {
        AfxMessageBox(kNothingToInstallMessage);
        return;
    }
    UpdateData(TRUE);
    ReportAfterRescan(InstallTables(folders_, NewEntries, NewList.GetSelItems(), {"ZTBInstall", SelectedModel}),
        [this] { RescanAfterOperation(); });
}

// The install's completion sets the buttons, "Add All" off when nothing new
// is left.
void CInstallerDlg::OnAddAll() {
    if (NewEntries.empty()) return;
    SelectAllNewRows();
    OnAdd();
}

// Every row selected in one message (-1 stands for all), then the caret and
// the anchor on the last row, where selecting row after row would leave
// them, with that row scrolled into view.
void CInstallerDlg::SelectAllNewRows() {
    const int last = NewList.GetCount() - 1;
    NewList.SetSel(-1, TRUE);
    NewList.SendMessage(LB_SETANCHORINDEX, static_cast<WPARAM>(last));
    NewList.SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(last), FALSE);
}

void CInstallerDlg::OnRemove() {
    if (InstalledEntries.empty()) {
        AfxMessageBox(kNothingToRemoveMessage);
        return;
    }
    UpdateData(TRUE);
    ReportAfterRescan(
        RemoveTables(folders_, InstalledEntries, InstalledList.GetSelItems(), {"ZTBInstall", SelectedModel}),
        [this] { RescanAfterOperation(); });
}

// A table that cannot be used (the error abort) ends the handler with its
// message and the file's path, as any other failure does with its own.
void CInstallerDlg::ReportException(const std::exception& failure) { AfxMessageBox(FailureMessage(failure)); }

void CInstallerDlg::RescanAfterOperation() {
    ScanInstalledTables();
    ScanNewTables();
    UpdateData(FALSE);
    SetButtons(ButtonEvent::Completed);
}
