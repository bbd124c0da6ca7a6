#include "ui/framework/DataExchange.h"

#include <vector>

#include "ui/framework/Wnd.h"

HWND CDataExchange::Control(int id) const
{
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.SubclassDlgItem(static_cast<UINT>(id), pDX->m_pDlgWnd);
}

void DDX_CBString(CDataExchange* pDX, int id, std::string& value)
{
    const HWND combo = pDX->Control(id);
    if (pDX->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthA(combo);
        std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
        const int copied = ::GetWindowTextA(combo, text.data(), static_cast<int>(text.size()));
        value.assign(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
        return;
    }
    const LRESULT row = ::SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(value.c_str()));
    if (row == CB_ERR)
        ::SetWindowTextA(combo, value.c_str());
}

void DDX_LBString(CDataExchange* pDX, int id, std::string& value)
{
    const HWND list = pDX->Control(id);
    if (pDX->m_bSaveAndValidate) {
        value.clear();
        const LRESULT row = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (row == LB_ERR)
            return;
        const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
        if (length == LB_ERR)
            return;
        std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
        ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
        value = text.data();
        return;
    }
    const LONG_PTR style = ::GetWindowLongPtrA(list, GWL_STYLE);
    if ((style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0)
        return;
    ::SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
}
