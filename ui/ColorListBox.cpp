#include "ui/ColorListBox.h"

#include <algorithm>

#include "ui/framework/Drawing.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const CBrush brush(color);
    ::FillRect(dc, &rect, brush.GetSafeHandle());
}

// The whole text at origin, unclipped, in the context's colours.
void DrawRowText(HDC dc, POINT origin, const std::string& text) {
    ::TextOutA(dc, origin.x, origin.y, text.c_str(), static_cast<int>(text.size()));
}

// The text in color on a transparent background; the context's former text
// colour and background mode are restored afterwards.
void DrawRowTextIn(HDC dc, POINT origin, const std::string& text, COLORREF color) {
    const COLORREF oldColor = ::SetTextColor(dc, color);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    DrawRowText(dc, origin, text);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColor);
}

}  // namespace

bool HighContrastOn() {
    HIGHCONTRASTA contrast{sizeof contrast, 0, nullptr};
    if (::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0)
        return true;
    char seam[2] = {};
    return ::GetEnvironmentVariableA("ZTBINSTALL_HIGH_CONTRAST", seam, sizeof seam) == 1 && seam[0] == '1';
}

void DrawSwatch(HDC dc, const RECT& swatch, COLORREF color, COLORREF frame, COLORREF background) {
    const int line = std::max<int>(1, (swatch.bottom - swatch.top) / 9);  // 1 pixel at 96 DPI
    FillSolid(dc, swatch, frame);
    RECT inside = swatch;
    ::InflateRect(&inside, -line, -line);
    FillSolid(dc, inside, color);
    if (color != kUpdatedTableColor) return;
    ::InflateRect(&inside, -2 * line, -2 * line);
    FillSolid(dc, inside, background);
}

// clang-format off
BEGIN_MESSAGE_MAP(CColorListBox, CWnd)
    MapMessage(WM_DESTROY, &CColorListBox::OnDestroy),
END_MESSAGE_MAP();
// clang-format on

int CColorListBox::AddColorString(const std::string& text, COLORREF color) {
    const int row = AddString(text);
    if (row >= 0) SetItemData(row, color);
    return row;
}

void CColorListBox::ScaleTo(UINT dpi) {
    dpi_ = dpi;
    TEXTMETRICA metrics{};
    if (::GetTextMetricsA(CFontDC(m_hWnd).GetSafeHdc(), &metrics)) textHeight_ = metrics.tmHeight;

    rowHeight_ = std::max(Scaled(kRowHeight), textHeight_ + Scaled(2));
    const RedrawOnceAfter redraw(m_hWnd);
    for (int row = 0; row < GetCount(); ++row) SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(row), rowHeight_);
}

// 10 by 9 pixels at 96 DPI, 3 from the row's left.
RECT CColorListBox::SwatchIn(const RECT& row) const {
    const int width = Scaled(10);
    const int height = Scaled(9);
    const int top = row.top + (row.bottom - row.top - height) / 2;
    return {row.left + Scaled(3), top, row.left + Scaled(3) + width, top + height};
}

std::string CColorListBox::AccessibleName(int row) const {
    const LRESULT color = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(row));
    return GetText(row) + (color == kNewTableColor ? ", new" : color == kUpdatedTableColor ? ", updated" : "");
}

void CColorListBox::AnnounceRowNames() {
    rowNames_ = std::make_unique<RowNameAnnotation>(m_hWnd, [this](int row) { return AccessibleName(row); });
}

void CColorListBox::OnDestroy() {
    rowNames_.reset();
    Default();
}

// In the classic colours: a selected row black with white text, a row whose
// selection went white with black text, and the full draw of any other row
// white with the text in the list's own colours. In high contrast the
// system's colours of a list, selected or not. The swatch keeps the row's
// colour in every look. The focus frame is drawn as the system's lists draw
// it, unless the window hides keyboard cues; a change of focus alone inverts
// it, which takes it away again.
void CColorListBox::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
    const bool drawEntire = (lpDIS->itemAction & ODA_DRAWENTIRE) != 0;
    const bool selectionChanged = (lpDIS->itemAction & ODA_SELECT) != 0;
    const bool selected = (lpDIS->itemState & ODS_SELECTED) != 0;
    const bool focusShown = (lpDIS->itemState & ODS_NOFOCUSRECT) == 0;
    const HDC dc = lpDIS->hDC;
    const RECT& row = lpDIS->rcItem;
    if (!drawEntire && !selectionChanged) {
        if ((lpDIS->itemAction & ODA_FOCUS) != 0 && focusShown) ::DrawFocusRect(dc, &row);
        return;
    }

    const RECT swatch = SwatchIn(row);
    const COLORREF color = static_cast<COLORREF>(lpDIS->itemData);
    const std::string text = GetText(static_cast<int>(lpDIS->itemID));
    const POINT origin{row.left + Scaled(16), row.top + (row.bottom - row.top - textHeight_) / 2};
    if (HighContrastOn()) {
        const COLORREF background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        const COLORREF ink = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
        FillSolid(dc, row, background);
        DrawSwatch(dc, swatch, color, ink, background);
        DrawRowTextIn(dc, origin, text, ink);
    } else {
        FillSolid(dc, row, selected ? kBlack : kWhite);
        FillSolid(dc, swatch, color);
        if (selected || selectionChanged)
            DrawRowTextIn(dc, origin, text, selected ? kWhite : kBlack);
        else
            DrawRowText(dc, origin, text);
    }
    if ((lpDIS->itemState & ODS_FOCUS) != 0 && focusShown) ::DrawFocusRect(dc, &row);
}

void CColorListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) { lpMIS->itemHeight = static_cast<UINT>(rowHeight_); }

bool CColorListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message == WM_DRAWITEM)
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    else
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    result = TRUE;
    return true;
}
