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
        Distribute("D100.ztb", "Slide 100 v2", 100);
        Distribute("D200.ztb", "Print 50 v3", 300);
        Install("D200.ztb", "Print 50 v2", 200);
        Open();
        ASSERT_EQ(Rows(IDC_NEW_LIST), (std::vector<std::string>{"Print 50 v3", "Slide 100 v2"}));
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
    // shows around it.
    void ExpectRow(const RowBitmap& bitmap, COLORREF swatch, COLORREF background)
    {
        for (int y = 3; y <= 11; ++y)
            for (int x = 3; x <= 12; ++x)
                ASSERT_EQ(bitmap.Pixel(x, y), swatch) << x << "," << y;
        for (int x = 2; x <= 13; ++x) {
            EXPECT_EQ(bitmap.Pixel(x, 2), background) << x;
            EXPECT_EQ(bitmap.Pixel(x, 12), background) << x;
        }
        for (int y = 0; y < kHeight; ++y) {
            EXPECT_EQ(bitmap.Pixel(0, y), background) << y;
            EXPECT_EQ(bitmap.Pixel(2, y), background) << y;
            EXPECT_EQ(bitmap.Pixel(13, y), background) << y;
            EXPECT_EQ(bitmap.Pixel(kWidth - 1, y), background) << y;
        }
    }
};

TEST_F(OwnerDraw, EveryRowIsFifteenPixelsHigh)
{
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(::SendMessageA(Item(IDC_NEW_LIST), LB_GETITEMHEIGHT, row, 0), 15) << row;
}

TEST_F(OwnerDraw, FullDrawShowsTheSwatchOnWhiteInTheListsOwnColours)
{
    const COLORREF textColour = RGB(0, 0, 128);
    for (const auto& [row, swatch] : {std::pair{0, kBlue}, std::pair{1, kRed}}) {
        RowBitmap bitmap;
        ::SetTextColor(bitmap.Dc(), textColour);
        Draw(bitmap, row, ODA_DRAWENTIRE, 0);
        ExpectRow(bitmap, swatch, kWhite);
        EXPECT_TRUE(bitmap.TextAreaHas(textColour)) << row;
        EXPECT_EQ(::GetTextColor(bitmap.Dc()), textColour);
    }
}

TEST_F(OwnerDraw, SelectedLookIsBlackWithWhiteText)
{
    for (const UINT action : {UINT{ODA_DRAWENTIRE}, UINT{ODA_SELECT}}) {
        RowBitmap bitmap;
        const COLORREF textColour = RGB(0, 0, 128);
        ::SetTextColor(bitmap.Dc(), textColour);
        ::SetBkMode(bitmap.Dc(), OPAQUE);
        Draw(bitmap, 1, action, ODS_SELECTED);
        ExpectRow(bitmap, kRed, kBlack);
        EXPECT_TRUE(bitmap.TextAreaHas(kWhite)) << action;
        EXPECT_FALSE(bitmap.TextAreaHas(textColour)) << action;
        // The former text colour and background mode are back.
        EXPECT_EQ(::GetTextColor(bitmap.Dc()), textColour);
        EXPECT_EQ(::GetBkMode(bitmap.Dc()), OPAQUE);
    }
}

TEST_F(OwnerDraw, DeselectedLookIsWhiteWithBlackText)
{
    RowBitmap bitmap;
    ::SetTextColor(bitmap.Dc(), RGB(0, 0, 128));
    Draw(bitmap, 0, ODA_SELECT, 0);
    ExpectRow(bitmap, kBlue, kWhite);
    EXPECT_TRUE(bitmap.TextAreaHas(kBlack));
    EXPECT_EQ(::GetTextColor(bitmap.Dc()), RGB(0, 0, 128));
}

TEST_F(OwnerDraw, FocusOnlyRequestDrawsNothing)
{
    for (const UINT state : {UINT{0}, UINT{ODS_FOCUS}, UINT{ODS_FOCUS | ODS_SELECTED}}) {
        RowBitmap bitmap;
        Draw(bitmap, 0, ODA_FOCUS, state);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(bitmap.Pixel(x, y), kUntouched) << x << "," << y << " state " << state;
    }
    // Also for an empty list's focus request, which names no row.
    RowBitmap bitmap;
    Draw(bitmap, -1, ODA_FOCUS, ODS_FOCUS);
    EXPECT_EQ(bitmap.Pixel(5, 5), kUntouched);
}

TEST_F(OwnerDraw, PlaceholderRowHasABlackSwatch)
{
    ChooseModel(10);  // "Orvane C": nothing to offer
    ASSERT_EQ(Rows(IDC_NEW_LIST), std::vector<std::string>{NoTablesPlaceholder});
    RowBitmap bitmap;
    Draw(bitmap, 0, ODA_DRAWENTIRE, 0);
    ExpectRow(bitmap, kBlack, kWhite);
    EXPECT_TRUE(bitmap.TextAreaHas(kBlack));
}

}  // namespace
