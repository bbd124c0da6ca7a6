// The coloured list's rows, drawn into a memory bitmap through the drawing
// request that the list sends to the dialog, and read back pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

#include "catalogue/CatalogueEntry.h"
#include "tests/ui/DialogFixture.h"
#include "ui/resource.h"

namespace {

constexpr int kWidth = 480;  // wider than the longest row text
constexpr int kHeight = 15;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kUntouched = RGB(0, 200, 0);

// A 32-bit top-down bitmap selected into a memory context, filled with a
// colour that no drawing uses.
class RowBitmap {
public:
    RowBitmap() : dc_(::CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = ::SelectObject(dc_, bitmap_);
        const RECT all{0, 0, kWidth, kHeight};
        const HBRUSH brush = ::CreateSolidBrush(kUntouched);
        ::FillRect(dc_, &all, brush);
        ::DeleteObject(brush);
        ::GdiFlush();
    }
    ~RowBitmap()
    {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    RowBitmap(const RowBitmap&) = delete;
    RowBitmap& operator=(const RowBitmap&) = delete;

    HDC Dc() const { return dc_; }

    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const std::uint32_t bgr = bits_[y * kWidth + x];
        return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    // True when some pixel of the text area (from column 16) has colour.
    bool TextAreaHas(COLORREF color) const
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 16; x < kWidth; ++x)
                if (Pixel(x, y) == color)
                    return true;
        return false;
    }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

class OwnerDraw : public DialogTest {
protected:
    void SetUp() override
    {
        MakeTables();
        Open();
        ASSERT_EQ(ItemData(IDC_NEW_LIST, 0), kRed);
        ASSERT_EQ(ItemData(IDC_NEW_LIST, 1), kBlue);
    }

    // The request the list box sends its parent to draw a row.
    void Draw(const RowBitmap& bitmap, int row, UINT action, UINT state)
    {
        DRAWITEMSTRUCT request{};
        request.CtlType = ODT_LISTBOX;
        request.CtlID = IDC_NEW_LIST;
        request.itemID = static_cast<UINT>(row);
        request.itemAction = action;
        request.itemState = state;
        request.hwndItem = Item(IDC_NEW_LIST);
        request.hDC = bitmap.Dc();
        request.rcItem = RECT{0, 0, kWidth, kHeight};
        request.itemData = row >= 0 ? ItemData(IDC_NEW_LIST, row) : 0;
        ::SendMessageA(Dialog(), WM_DRAWITEM, IDC_NEW_LIST, reinterpret_cast<LPARAM>(&request));
    }

    // The swatch fills columns 3 to 12 and rows 3 to 11; the background
    // shows around it and at the row's right end.
    void ExpectRow(const RowBitmap& bitmap, COLORREF swatch, COLORREF background)
    {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x <= 13; ++x) {
                const bool inSwatch = x >= 3 && x <= 12 && y >= 3 && y <= 11;
                ASSERT_EQ(bitmap.Pixel(x, y), inSwatch ? swatch : background) << x << "," << y;
            }
            ASSERT_EQ(bitmap.Pixel(kWidth - 1, y), background) << y;
        }
    }
};

TEST_F(OwnerDraw, EveryRowIsFifteenPixelsHigh)
{
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(::SendMessageA(Item(IDC_NEW_LIST), LB_GETITEMHEIGHT, row, 0), 15) << row;
}

// Each look keeps the row's swatch; only the full draw of an unselected row
// uses the list's own text colour, and every look restores the context's
// text colour and background mode.
TEST_F(OwnerDraw, NormalSelectedAndDeselectedLooks)
{
    const COLORREF listText = RGB(0, 0, 128);
    const struct {
        const char* look;
        int row;
        UINT action;
        UINT state;
        COLORREF swatch;
        COLORREF background;
        COLORREF text;
    } cases[] = {
        {"full draw, new", 0, ODA_DRAWENTIRE, 0, kRed, kWhite, listText},
        {"full draw, updated", 1, ODA_DRAWENTIRE, 0, kBlue, kWhite, listText},
        {"full draw, selected", 0, ODA_DRAWENTIRE, ODS_SELECTED, kRed, kBlack, kWhite},
        {"selection gained", 1, ODA_SELECT, ODS_SELECTED, kBlue, kBlack, kWhite},
        {"selection lost", 1, ODA_SELECT, 0, kBlue, kWhite, kBlack},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.look);
        RowBitmap bitmap;
        ::SetTextColor(bitmap.Dc(), listText);
        ::SetBkMode(bitmap.Dc(), OPAQUE);
        Draw(bitmap, expected.row, expected.action, expected.state);
        ExpectRow(bitmap, expected.swatch, expected.background);
        EXPECT_TRUE(bitmap.TextAreaHas(expected.text));
        if (expected.text != listText) {
            EXPECT_FALSE(bitmap.TextAreaHas(listText));
        }
        EXPECT_EQ(::GetTextColor(bitmap.Dc()), listText);
        EXPECT_EQ(::GetBkMode(bitmap.Dc()), OPAQUE);
    }
}

TEST_F(OwnerDraw, FocusOnlyRequestDrawsNothing)
{
    // Also for an empty list's request, which names no row.
    for (const int row : {0, -1}) {
        for (const UINT state : {UINT{0}, UINT{ODS_FOCUS}, UINT{ODS_FOCUS | ODS_SELECTED}}) {
            RowBitmap bitmap;
            Draw(bitmap, row, ODA_FOCUS, state);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(bitmap.Pixel(x, y), kUntouched) << x << "," << y << " row " << row << " state " << state;
        }
    }
}

TEST_F(OwnerDraw, PlaceholderRowHasABlackSwatch)
{
    ChooseModel(kOrvaneC);
    ASSERT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    RowBitmap bitmap;
    Draw(bitmap, 0, ODA_DRAWENTIRE, 0);
    ExpectRow(bitmap, kBlack, kWhite);
    EXPECT_TRUE(bitmap.TextAreaHas(kBlack));
}

}  // namespace
