#include "ui/ColorListBox.h"

#include "ui/framework/Drawing.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const CBrush brush(color);
    ::FillRect(dc, &rect, brush.GetSafeHandle());
}

// The row's background, then its colour swatch over it.
void FillRow(HDC dc, const RECT& row, const RECT& swatch, COLORREF background, COLORREF swatchColor) {
    FillSolid(dc, row, background);
    FillSolid(dc, swatch, swatchColor);
}

// The whole text at the row's text origin, unclipped.
void DrawRowText(HDC dc, const RECT& row, const std::string& text) {
    ::TextOutA(dc, row.left + 16, row.top + 1, text.c_str(), static_cast<int>(text.size()));
}

// The text in color on a transparent background; the context's former text
// colour and background mode are restored afterwards.
void DrawRowTextIn(HDC dc, const RECT& row, const std::string& text, COLORREF color) {
    const COLORREF oldColor = ::SetTextColor(dc, color);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    DrawRowText(dc, row, text);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColor);
}

}  // namespace

int CColorListBox::AddColorString(const std::string& text, COLORREF color) {
    const int row = AddString(text);
    if (row >= 0) SetItemData(row, color);
    return row;
}

// Three independent steps: the full draw in the list's normal colours, the
// selected look (black row, white text) and the deselected look (white row,
// black text). The swatch keeps the row's colour in every look; a request
// about the focus alone draws nothing, and no focus frame is ever drawn.
void CColorListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    const bool drawEntire = (lpDIS->itemAction & ODA_DRAWENTIRE) != 0;
    const bool selectionChanged = (lpDIS->itemAction & ODA_SELECT) != 0;
    const bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
    if (!drawEntire && !selectionChanged) return;

    const HDC dc = lpDIS->hDC;
    const RECT& row = lpDIS->rcItem;
    const RECT swatch{row.left + 3, row.top + 3, row.left + 13, row.bottom - 3};
    const COLORREF swatchColor = static_cast<COLORREF>(lpDIS->itemData);
    const std::string text = GetText(static_cast<int>(lpDIS->itemID));

    if (drawEntire) {
        FillRow(dc, row, swatch, kWhite, swatchColor);
        DrawRowText(dc, row, text);
    }
    if (selected) {
        FillRow(dc, row, swatch, kBlack, swatchColor);
        DrawRowTextIn(dc, row, text, kWhite);
    }
    if (!selected && selectionChanged) {
        FillRow(dc, row, swatch, kWhite, swatchColor);
        DrawRowTextIn(dc, row, text, kBlack);
    }
}

void CColorListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) { lpMIS->itemHeight = kRowHeight; }

int CColorListBox::CompareItem(LPCOMPAREITEMSTRUCT) {
    return 0;  // the list is not sorted, so the control never asks
}
