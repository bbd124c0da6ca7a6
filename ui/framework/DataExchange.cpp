#include "ui/framework/DataExchange.h"

#include "ui/framework/Controls.h"
#include "ui/framework/Wnd.h"

HWND CDataExchange::Control(int id) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, id); }

void DDX_Control(CDataExchange* pDX, int id, CWindow& control) {
    if (control.m_hWnd == nullptr) control.m_hWnd = pDX->Control(id);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value) {
    const HWND combo = pDX->Control(id);
    if (pDX->m_bSaveAndValidate) {
        value = WindowTextOf(combo);
        return;
    }
    const LRESULT row =
        ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
    if (row == CB_ERR) ::SetWindowTextA(combo, value.c_str());
}

void DDX_LBString(CDataExchange* pDX, int id, std::string& value) {
    const HWND list = pDX->Control(id);
    if (pDX->m_bSaveAndValidate) {
        const LRESULT row = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        value = row == LB_ERR ? std::string() : ListBoxTextOf(list, static_cast<int>(row));
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
    if ((style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0) return;
    ::SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
}
