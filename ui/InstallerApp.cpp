#include "ui/InstallerApp.h"

#include "ui/InstallerDlg.h"

// clang-format off
BEGIN_MESSAGE_MAP(CInstallerApp, CWinApp)
    MapCommand(ID_HELP, 0, &CWinApp::OnHelp),
END_MESSAGE_MAP();
// clang-format on

// The one application object.
CInstallerApp theApp;

// "Done", Escape and the close box all end the dialog, and with it the
// program: FALSE asks for no message loop. Nothing is saved or asked.
BOOL CInstallerApp::InitInstance() {
    Enable3dControls();

    CInstallerDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
