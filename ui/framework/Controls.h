// The standard controls: plain handles (CWindow) with typed calls over their
// messages. A control that handles messages of its own puts the same calls
// on a CWnd instead (CListBoxT<CWnd>, as the coloured list does).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/framework/Window.h"

// The text of row in the list box list, or the empty text when there is no
// such row.
std::string ListBoxTextOf(HWND list, int row);

// The selected rows of a list box with multiple or extended selection, in
// ascending order.
std::vector<int> ListBoxSelectedRows(HWND list);

class CButton : public CWindow {};

class CComboBox : public CWindow {
public:
    // The selected row, or CB_ERR.
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    // The text of row; text is left as it is when there is no such row.
    void GetLBText(int row, std::string& text) const;
};

template <class Base>
class CListBoxT : public Base {
public:
    int GetCount() const { return static_cast<int>(this->SendMessage(LB_GETCOUNT)); }
    // The new row's index, or a negative value (LB_ERR, LB_ERRSPACE).
    int AddString(const std::string& text) {
        return static_cast<int>(this->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() { this->SendMessage(LB_RESETCONTENT); }
    // The text of row, or the empty text when there is no such row.
    std::string GetText(int row) const { return ListBoxTextOf(this->m_hWnd, row); }
    int SetItemData(int row, DWORD_PTR data) {
        return static_cast<int>(this->SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(data)));
    }

    // Lists with multiple or extended selection: (de)select one row. A
    // selection changed this way sends no notification.
    int SetSel(int row, BOOL select = TRUE) {
        return static_cast<int>(this->SendMessage(LB_SETSEL, static_cast<WPARAM>(select), static_cast<LPARAM>(row)));
    }
    int GetSelCount() const { return static_cast<int>(this->SendMessage(LB_GETSELCOUNT)); }
    std::vector<int> GetSelItems() const { return ListBoxSelectedRows(this->m_hWnd); }
};

using CListBox = CListBoxT<CWindow>;
