// A dialog made from a dialog template of the program's resources: modal
// (DoModal) for the program, or modeless (Create) so that tests can drive
// it from their own thread of control.
#pragma once

#include <windows.h>

#include "ui/framework/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns how it ended (IDOK, IDCANCEL), or -1
    // when it could not be created.
    INT_PTR DoModal();

    // Creates the dialog modeless; it stays until it ends (EndDialog
    // destroys it) or the object goes away.
    BOOL Create(CWnd* parent = nullptr);
    // How a modeless dialog ended; 0 while it is open.
    INT_PTR ModelessResult() const { return modelessResult_; }

    // Data exchange between the controls and the members: saveAndValidate
    // TRUE reads the controls, FALSE loads them.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    void EndDialog(INT_PTR result);

protected:
    // The base initialisation: the template's initialisation data (rows of
    // list and combo boxes), then data exchange in the loading direction.
    // Returns TRUE: the system puts the focus on the first control.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    // "OK": data exchange in the saving direction, then the end with IDOK.
    virtual void OnOK();
    // Escape, the close box or "Cancel": the end with IDCANCEL.
    virtual void OnCancel();
    // The dialog has moved to a monitor of dpi, and the system has scaled
    // it, its controls and their font where it does (per-monitor aware
    // version 2): what the system does not scale is laid out again here.
    virtual void OnDpiChanged(UINT /*dpi*/) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ExecuteDlgInit();
    void OnHelpRequest();

    UINT templateId_;
    CWnd* parent_;
    bool modal_ = false;
    INT_PTR modelessResult_ = 0;

    DECLARE_MESSAGE_MAP()
};
