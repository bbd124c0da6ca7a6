#include "ui/framework/Controls.h"

void CComboBox::GetLBText(int row, std::string& text) const {
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(row));
    if (length == CB_ERR) return;
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    text = buffer.data();
}

std::string ListBoxTextOf(HWND list, int row) {
    const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

std::vector<int> ListBoxSelectedRows(HWND list) {
    const LRESULT count = ::SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return {};
    std::vector<int> rows(static_cast<std::size_t>(count));
    const LRESULT got =
        ::SendMessageA(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rows.data()));
    rows.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return rows;
}
