// The list of new and updated tables: an owner-drawn list box whose rows
// carry a colour as item data, drawn as a swatch in front of the text.
#pragma once

#include <windows.h>

#include <string>

#include "ui/framework/Controls.h"

class CColorListBox : public CListBox {
public:
    // Appends a row and stores color as its item data; returns the row's
    // index, or a negative value when the row could not be added (then no
    // item data is stored: index -1 would colour every row).
    int AddColorString(const std::string& text, COLORREF color);

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;
    int CompareItem(LPCOMPAREITEMSTRUCT lpCIS) override;

    static constexpr UINT kRowHeight = 15;
};
