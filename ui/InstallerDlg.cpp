#include "ui/InstallerDlg.h"

#include <exception>
#include <new>
#include <utility>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "ui/AboutDlg.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/Drawing.h"
#include "ui/framework/MessageBox.h"
#include "ui/framework/WinApp.h"
#include "ui/resource.h"

namespace {

constexpr COLORREF kNewColor = RGB(255, 0, 0);
constexpr COLORREF kUpdatedColor = RGB(0, 0, 255);

}  // namespace

const MessageMapEntry CInstallerDlg::messageEntries[] = {
    MapSysCommand(&CInstallerDlg::OnSysCommand),
    MapMessage(WM_PAINT, &CInstallerDlg::OnPaint),
    MapQueryDragIcon(&CInstallerDlg::OnQueryDragIcon),
    MapCommand(IDC_MODEL_BOX, CBN_SELCHANGE, &CInstallerDlg::OnSelchangeModel),
    MapCommand(IDC_ADD, BN_CLICKED, &CInstallerDlg::OnAdd),
    MapCommand(IDC_REMOVE, BN_CLICKED, &CInstallerDlg::OnRemove),
    MapCommand(IDC_INSTALLED_LIST, LBN_SELCHANGE, &CInstallerDlg::OnSelchangeInstalledList),
    MapCommand(IDC_NEW_LIST, LBN_SELCHANGE, &CInstallerDlg::OnSelchangeNewList),
    MapCommand(IDC_ADD_ALL, BN_CLICKED, &CInstallerDlg::OnAddAll),
};
const MessageMap CInstallerDlg::messageMap{&CDialog::messageMap, messageEntries};

CInstallerDlg::CInstallerDlg(CWnd* pParent) : CInstallerDlg(CatalogueFolders::FromSystem(), pParent) {}

CInstallerDlg::CInstallerDlg(CatalogueFolders folders, CWnd* pParent)
    : CDialog(IDD_ZTBINSTALL_DIALOG, pParent),
      AppIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      Folders(std::move(folders))
{
}

CInstallerDlg::~CInstallerDlg() = default;

void CInstallerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADD_ALL, AddAllButton);
    DDX_Control(pDX, IDC_REMOVE, RemoveButton);
    DDX_Control(pDX, IDC_ADD, AddButton);
    DDX_Control(pDX, IDC_MODEL_BOX, ModelBox);
    DDX_Control(pDX, IDC_INSTALLED_LIST, InstalledList);
    DDX_CBString(pDX, IDC_MODEL_BOX, SelectedModel);
    DDX_LBString(pDX, IDC_INSTALLED_LIST, InstalledListText);
}

BOOL CInstallerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU sysMenu = GetSystemMenu(FALSE)) {
        const std::string aboutItem = LoadResourceString(IDS_ABOUTBOX);
        if (!aboutItem.empty()) {
            ::AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sysMenu, MF_STRING, IDM_ABOUTBOX, aboutItem.c_str());
        }
    }

    SetIcon(AppIcon, TRUE);
    SetIcon(AppIcon, FALSE);

    NewList.SubclassDlgItem(IDC_NEW_LIST, this);

    // Until the first scans complete, the lists show an empty catalogue and
    // the buttons stay off; a table that fails to load leaves it so.
    ShowInstalledEntries({});
    ShowNewEntries({});
    RemoveButton.EnableWindow(FALSE);
    AddButton.EnableWindow(FALSE);
    AddAllButton.EnableWindow(FALSE);

    SelectedModel = DefaultModel;
    UpdateData(FALSE);

    ScanInstalledTables();
    ScanNewTables();

    RemoveButton.EnableWindow(FALSE);
    AddButton.EnableWindow(FALSE);
    AddAllButton.EnableWindow(NewCount != 0);

    UpdateData(FALSE);
    return TRUE;
}

void CInstallerDlg::ScanInstalledTables()
{
    ShowInstalledEntries(ScanInstalled(Folders.Installed(), SelectedModel));
}

void CInstallerDlg::ScanNewTables()
{
    ShowNewEntries(ScanNew(Folders.Distribution(), SelectedModel, InstalledEntries));
}

void CInstallerDlg::ShowInstalledEntries(std::vector<CatalogueEntry> entries)
{
    InstalledEntries = std::move(entries);
    InstalledCount = static_cast<int>(InstalledEntries.size());
    InstalledList.ResetContent();
    if (InstalledCount < 1)
        InstalledList.AddString(NoTablesPlaceholder);
    for (const CatalogueEntry& entry : InstalledEntries)
        InstalledList.AddString(entry.Description);
}

void CInstallerDlg::ShowNewEntries(std::vector<CatalogueEntry> entries)
{
    NewEntries = std::move(entries);
    NewCount = static_cast<int>(NewEntries.size());
    NewList.ResetContent();
    if (NewCount < 1)
        NewList.AddString(NoTablesPlaceholder);
    for (const CatalogueEntry& entry : NewEntries)
        NewList.AddColorString(entry.Description, entry.Status == EntryStatus::Updated ? kUpdatedColor : kNewColor);
}

void CInstallerDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

// Minimised, the dialog shows its icon centred; otherwise the system paints.
void CInstallerDlg::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, AppIcon);
}

HCURSOR CInstallerDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(AppIcon);
}

void CInstallerDlg::OnSelchangeModel()
{
    UpdateData(TRUE);
    const int row = ModelBox.GetCurSel();
    if (row != CB_ERR)
        ModelBox.GetLBText(row, SelectedModel);

    ScanInstalledTables();
    ScanNewTables();

    UpdateData(FALSE);
    EnableAddButtons();
}

void CInstallerDlg::OnSelchangeInstalledList()
{
    RemoveButton.EnableWindow(TRUE);
    AddButton.EnableWindow(FALSE);
    for (int row = 0; row < NewList.GetCount(); ++row)
        NewList.SetSel(row, FALSE);
}

void CInstallerDlg::OnSelchangeNewList()
{
    RemoveButton.EnableWindow(FALSE);
    EnableAddButtons();
    for (int row = 0; row < InstalledList.GetCount(); ++row)
        InstalledList.SetSel(row, FALSE);
}

void CInstallerDlg::EnableAddButtons()
{
    AddButton.EnableWindow(NewCount != 0);
    AddAllButton.EnableWindow(NewCount != 0);
}

void CInstallerDlg::OnAdd()
{
    if (NewCount < 1) {
        AfxMessageBox(NothingToInstallMessage);
        return;
    }
    UpdateData(TRUE);
    FinishOperation(InstallTables(Folders, NewEntries, NewList.GetSelItems()));
}

void CInstallerDlg::OnAddAll()
{
    if (NewCount == 0)
        return;
    for (int row = 0; row < NewList.GetCount(); ++row)
        NewList.SetSel(row, TRUE);
    OnAdd();
    if (NewCount == 0)
        AddAllButton.EnableWindow(FALSE);
}

void CInstallerDlg::OnRemove()
{
    if (InstalledCount < 1) {
        AfxMessageBox(NothingToRemoveMessage);
        return;
    }
    UpdateData(TRUE);
    FinishOperation(RemoveTables(Folders, InstalledEntries, InstalledList.GetSelItems()));
}

// A table that cannot be used (the error abort) ends the handler with its
// message, as any other failure does; memory running out gets words of its own.
void CInstallerDlg::ReportException(const std::exception& failure)
{
    AfxMessageBox(dynamic_cast<const std::bad_alloc*>(&failure) != nullptr ? "Out of memory." : failure.what());
}

void CInstallerDlg::FinishOperation(const OperationReport& report)
{
    if (report.refused) {
        AfxMessageBox(report.message);
        return;
    }
    // The operation is done whatever the rescan meets: its count and its
    // failed rows are shown first, then a table the rescan could not load
    // ends the handler as any scan's does, lists and buttons as they are.
    std::exception_ptr rescanFailure;
    try {
        ScanInstalledTables();
        ScanNewTables();
        UpdateData(FALSE);
    } catch (...) {
        rescanFailure = std::current_exception();
    }

    AfxMessageBox(report.message);
    if (const std::string failures = report.FailureText(); !failures.empty())
        AfxMessageBox(failures);
    if (rescanFailure)
        std::rethrow_exception(rescanFailure);

    RemoveButton.EnableWindow(FALSE);
    AddButton.EnableWindow(FALSE);
    AddAllButton.EnableWindow(NewCount != 0);
}
