// The list of new and updated tables: an owner-drawn list box whose rows
// carry a colour as item data, drawn as a swatch in front of the text. The
// one subclassed control: its parent passes it the requests to draw and
// measure its rows, and it hears of its own destruction.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "ui/RowNameAnnotation.h"
#include "ui/framework/Controls.h"
#include "ui/framework/Wnd.h"

// The swatch colours of a new and of an updated table.
inline constexpr COLORREF kNewTableColor = RGB(255, 0, 0);
inline constexpr COLORREF kUpdatedTableColor = RGB(0, 0, 255);

// Whether a high-contrast theme is on. ZTBINSTALL_HIGH_CONTRAST=1 in the
// environment says so too: Wine cannot switch one on, and the tests and
// screenshots need the look.
bool HighContrastOn();

// A swatch as high contrast draws it: framed in frame, and an updated
// table's hollow (background inside a ring of its colour), so that new and
// updated differ by shape, not by colour alone.
void DrawSwatch(HDC dc, const RECT& swatch, COLORREF color, COLORREF frame, COLORREF background);

class CColorListBox : public CListBoxT<CWnd> {
public:
    // Appends a row and stores color as its item data; returns the row's
    // index, or a negative value when the row could not be added (then no
    // item data is stored: index -1 would colour every row).
    int AddColorString(const std::string& text, COLORREF color);

    // Sizes the rows, the rows already there too, and the swatches for dpi
    // and the list's font: at 96 DPI rows of 15 pixels, larger in proportion
    // above, and never lower than the text.
    void ScaleTo(UINT dpi);
    // The swatch of a row rectangle: from the row's left, centred in its
    // height.
    RECT SwatchIn(const RECT& row) const;

    // What a screen reader says for row: its text, then ", new" or
    // ", updated" by its colour.
    std::string AccessibleName(int row) const;
    // Gives the rows their accessible names until the list goes.
    void AnnounceRowNames();

    void DrawItem(LPDRAWITEMSTRUCT lpDIS);
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS);

    static constexpr int kRowHeight = 15;  // at 96 DPI

protected:
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int Scaled(int pixels) const { return ::MulDiv(pixels, static_cast<int>(dpi_), 96); }
    void OnDestroy();

    UINT dpi_ = 96;
    int rowHeight_ = kRowHeight;
    int textHeight_ = 13;
    std::unique_ptr<RowNameAnnotation> rowNames_;

    DECLARE_MESSAGE_MAP()
};
