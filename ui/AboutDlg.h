// The about box, opened from the main dialog's system menu.
#pragma once

#include "ui/framework/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
