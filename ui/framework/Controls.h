// The standard controls, as thin objects over their messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/framework/Wnd.h"

// The text of row in the list box list, or the empty text when there is no
// such row.
std::string ListBoxTextOf(HWND list, int row);

class CButton : public CWnd {};

class CComboBox : public CWnd {
public:
    // The selected row, or CB_ERR.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // The text of row; text is left as it is when there is no such row.
    void GetLBText(int row, std::string& text) const;
};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // The new row's index, or a negative value (LB_ERR, LB_ERRSPACE).
    int AddString(const std::string& text) {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    // The text of row, or the empty text when there is no such row.
    std::string GetText(int row) const { return ListBoxTextOf(m_hWnd, row); }
    int SetItemData(int row, DWORD_PTR data) {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data)));
    }

    // Lists with multiple or extended selection: (de)select one row. A
    // selection changed this way sends no notification.
    int SetSel(int row, BOOL select = TRUE) {
        return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(select), static_cast<LPARAM>(row)));
    }
    int GetSelCount() const { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
    // The selected rows in ascending order.
    std::vector<int> GetSelItems() const;

    // Owner-drawn lists: the requests that the parent reflects to the list.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}
    virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}
    virtual int CompareItem(LPCOMPAREITEMSTRUCT) { return 0; }

    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
