// The main dialog: the model box, the list of new and updated tables on the
// left, the installed tables on the right, and the buttons that install and
// remove them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/CatalogueEntry.h"
#include "catalogue/Folders.h"
#include "ui/ColorListBox.h"
#include "ui/framework/Controls.h"
#include "ui/framework/Dialog.h"

// What "Add" and "Remove" say when their list shows no table.
inline constexpr const char* kNothingToInstallMessage =
    "No film tables have been selected to install. Please select one or more "
    "film tables from the left list box.";
inline constexpr const char* kNothingToRemoveMessage =
    "No film tables have been selected to remove. Please select one or more "
    "film tables from the right list box.";

class CInstallerDlg : public CDialog {
public:
    // Works in the system's folders: beside the executable and under the
    // Windows directory.
    explicit CInstallerDlg(CWnd* pParent = nullptr);
    // Works in the given folders (tests, demo setups).
    explicit CInstallerDlg(CatalogueFolders folders, CWnd* pParent = nullptr);
    ~CInstallerDlg() override;

    // Dialog data, bound to the controls by DoDataExchange.
    CButton AddAllButton;    // 1007 "Add All"
    CButton RemoveButton;    // 1003 "Remove"
    CButton AddButton;       // 1004 "Add"
    CComboBox ModelBox;      // 1000
    CListBox InstalledList;  // 1002, the right list
    std::string SelectedModel;
    std::string InstalledListText;
    HICON AppIcon;

    // The catalogue of the selected model. Row k of a list shows entry k;
    // no entries go with the one placeholder row. The scans replace entries
    // and rows together, and only when they complete.
    std::vector<CatalogueEntry> InstalledEntries;
    std::vector<CatalogueEntry> NewEntries;

    CColorListBox NewList;  // 1001, the left list

    // Rebuild the right list from the installed folder, and the left list
    // from the distribution folder against the installed entries; always
    // in this order. Either may end in the error abort of a table that
    // cannot be loaded, and then leaves its list as it was.
    void ScanInstalledTables();
    void ScanNewTables();

    std::string DistributionFolder() const { return folders_.Distribution(); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnDpiChanged(UINT dpi) override;
    void ReportException(const std::exception& failure) override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSelchangeModel();
    void OnAdd();
    void OnRemove();
    void OnSelchangeInstalledList();
    void OnSelchangeNewList();
    void OnAddAll();

private:
    // What changed the buttons' states: each has its row in SetButtons.
    enum class ButtonEvent { Initialised, ModelChanged, InstalledSelectionChanged, NewSelectionChanged, Completed };

    void SetButtons(ButtonEvent event);
    void ShowInstalledEntries(std::vector<CatalogueEntry> entries);
    void ShowNewEntries(std::vector<CatalogueEntry> entries);
    // Both lists rebuilt and the buttons set as after a completed operation.
    void RescanAfterOperation();
    void SelectAllNewRows();
    void DrawLegendSwatches(HDC dc);

    CatalogueFolders folders_;

    DECLARE_MESSAGE_MAP()
};
