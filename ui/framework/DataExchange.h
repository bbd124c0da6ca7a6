// Dialog data exchange: binds a dialog's controls to its members. One
// DoDataExchange per dialog lists the bindings; UpdateData runs it in the
// loading direction (members to controls) or the saving one.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/Window.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;  // TRUE: controls to members

    HWND Control(int id) const;
};

// Gives control the handle of the dialog's control id, the first time. The
// control's messages stay with the system's window procedure.
void DDX_Control(CDataExchange* pDX, int id, CWindow& control);

// Combo box with an edit field. Saving: value receives the text of the edit
// field. Loading: the first row that begins with value (without regard to
// case) is selected; when no row does, the edit field shows value itself.
void DDX_CBString(CDataExchange* pDX, int id, std::string& value);

// List box. Saving: value receives the text of the current row, or the
// empty text. Loading: the first row that begins with value is selected;
// a list with multiple or extended selection selects no row by its text, so
// nothing changes there.
void DDX_LBString(CDataExchange* pDX, int id, std::string& value);
