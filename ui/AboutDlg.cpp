#include "ui/AboutDlg.h"

#include "ui/resource.h"

const MessageMap CAboutDlg::messageMap{&CDialog::messageMap, {}};

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}
