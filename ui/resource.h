// Resource and control ids of ZTBInstall.rc.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_ZTBINSTALL_DIALOG 102
#define IDD_BACKUPS 103
#define IDS_BACKUPS 104
#define IDD_HISTORY 105
#define IDS_HISTORY 106
#define IDR_MAINFRAME 128

// Controls of the main dialog.
#define IDC_MODEL_BOX 1000
#define IDC_NEW_LIST 1001
#define IDC_INSTALLED_LIST 1002
#define IDC_REMOVE 1003
#define IDC_ADD 1004
#define IDC_LEGEND_NEW 1005      // "Red - New ZTB"
#define IDC_LEGEND_UPDATED 1006  // "Blue - Updated ZTB"
#define IDC_ADD_ALL 1007

// Controls of the backed-up tables dialog.
#define IDC_BACKUP_LIST 1010
#define IDC_RESTORE 1011

// The history dialog's list.
#define IDC_HISTORY_LIST 1020

// The items of the system menu: low four bits clear, below the system's
// own commands (0xF000 and up).
#define IDM_ABOUTBOX 0x0010
#define IDM_BACKUPS 0x0020
#define IDM_HISTORY 0x0030

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
