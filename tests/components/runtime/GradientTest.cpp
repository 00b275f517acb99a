// Gradient colour lists, palettes and painting: the progress bar's
// 16-colour vertical gradient band by band, styles and clipping.
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclclass.h"
#include "components/runtime/qclsysin.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

class Gradient : public DrawingTest {};

TEST_F(Gradient, ColourListsOfFirstAndFollowingSegments) {
    struct Case { TColor from, to; int steps; bool first; TQCLColorList before, after; } cases[] = {
        {clBlack, clWhite, 3, true, {clRed}, {clBlack, 0x808080, clWhite}},
        {clBlack, clWhite, 3, false, {clRed}, {clRed, 0x808080, clWhite}},
        {clBlack, clWhite, 1, true, {clRed}, {clBlack}},  // one step: the start colour alone
        {clBlack, clWhite, 1, false, {clRed}, {clRed}},
        {clBlack, clWhite, 0, true, {clRed}, {clRed}},
        {0x0000FF, 0xFF0000, 2, true, {}, {0x0000FF, 0xFF0000}},
        {clBtnFace, clBtnFace, 2, true, {}, {static_cast<TColor>(GetSysColor(COLOR_BTNFACE)),
                                              static_cast<TColor>(GetSysColor(COLOR_BTNFACE))}},
    };
    for (const auto& c : cases) {
        TQCLColorList list = c.before;
        QCLGradientCreateColorList(c.from, c.to, static_cast<uint8_t>(c.steps), &list, c.first);
        EXPECT_EQ(list, c.after) << c.steps << " " << c.first;
    }
    // MulDiv rounds halves away from zero: 255 * 1 / 2 = 127.5 -> 128 per component above.
    EXPECT_EQ(QCLGradientGetColor(clBlack, clWhite, 1, 2), 0x7F7F7F);  // truncates instead
    EXPECT_EQ(QCLGradientGetColor(clWhite, clBlack, 1, 3), 0xAAAAAA);
}

TEST_F(Gradient, ProgressBarGradientPaintsSixteenBandsAtMulDivEdges) {
    TQCLColorList list;
    QCLGradientCreateColorList(clSilver, 0x733F25, 16, &list, true);
    ASSERT_EQ(list.size(), 16u);
    EXPECT_EQ(list.front(), clSilver);
    EXPECT_EQ(list.back(), 0x733F25);
    for (std::uint16_t flags : {0x0000, 0x0004, 0x0001}) {
        auto bmp = makeBitmap(30, 50, clWhite);
        QCLGradientPaintExt(bmp->GetCanvas(), TRect(5, 0, 25, 50), gstVertical, &list, nullptr, flags, 0);
        for (int i = 0; i < 16; ++i) {
            const COLORREF expected = static_cast<COLORREF>(list[static_cast<size_t>(i)]);
            const int top = MulDiv(i, 50, 16), bottom = MulDiv(i + 1, 50, 16);
            EXPECT_EQ(pixel(bmp.get(), 5, top), expected) << flags << " band " << i;
            EXPECT_EQ(pixel(bmp.get(), 24, bottom - 1), expected) << flags << " band " << i;
        }
        EXPECT_EQ(pixel(bmp.get(), 4, 10), RGB(255, 255, 255)) << flags;
        EXPECT_EQ(pixel(bmp.get(), 25, 10), RGB(255, 255, 255)) << flags;
    }
}

TEST_F(Gradient, StylesPaintTheirFirstColourWhereTheyStart) {
    TQCLColorList list;
    QCLGradientCreateColorList(clRed, clBlue, 8, &list, true);
    struct Case { TQCLGradientStyle style; TPoint first, last; } cases[] = {
        {gstHorizontal, {0, 10}, {39, 10}},
        {gstVertical, {20, 0}, {20, 39}},
        {gstSquare, {20, 20}, {0, 0}},
        {gstElliptic, {20, 20}, {0, 0}},
        {gstTopLeft, {0, 0}, {39, 39}},
        {gstTopRight, {39, 0}, {0, 39}},
        {gstBottomLeft, {0, 39}, {39, 0}},
        {gstBottomRight, {39, 39}, {0, 0}},
        {gstTopLeftDiagonal, {0, 0}, {39, 39}},
        {gstTopRightDiagonal, {39, 0}, {0, 39}},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(40, 40, clWhite);
        QCLGradientPaintExt(bmp->GetCanvas(), TRect(0, 0, 40, 40), c.style, &list, nullptr, 0, 0);
        EXPECT_EQ(pixel(bmp.get(), c.first.x, c.first.y), static_cast<COLORREF>(list.front())) << int(c.style);
        EXPECT_NE(pixel(bmp.get(), c.last.x, c.last.y), static_cast<COLORREF>(list.front())) << int(c.style);
    }
}

TEST_F(Gradient, NothingForEmptyListsOrRectanglesAndTheClipIsRemoved) {
    TQCLColorList empty;
    auto bmp = makeBitmap(10, 10, clWhite);
    QCLGradientPaintExt(bmp->GetCanvas(), TRect(0, 0, 10, 10), gstVertical, &empty, nullptr, 0, 0);
    QCLGradientPaint(bmp->GetCanvas(), TRect(5, 5, 5, 10), clRed, clBlue, 4, gstVertical, 0, 0);
    EXPECT_EQ(countOf(bmp.get(), RGB(255, 255, 255)), 100);

    // Clipped to the rectangle moved by the packed offset (3, 2).
    QCLGradientPaint(bmp->GetCanvas(), TRect(0, 0, 6, 6), clRed, clRed, 2, gstHorizontal, 0x0001, 3u | (2u << 16));
    EXPECT_EQ(boxOf(bmp.get(), RGB(255, 0, 0)), TRect(3, 2, 6, 6));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(bmp->GetCanvas()->GetHandle(), probe), 0);
    DeleteObject(probe);

    // Several key colours: each segment follows the one before.
    const TColor keys[] = {clRed, clLime, clBlue};
    auto two = makeBitmap(4, 4, clWhite);
    QCLSuperGradientPaint(two->GetCanvas(), TRect(0, 0, 4, 4), keys, 2, 4, gstHorizontal, 0, 0);
    EXPECT_EQ(pixel(two.get(), 3, 0), RGB(0, 0, 255));
    EXPECT_NE(pixel(two.get(), 0, 0), RGB(255, 0, 0));  // the first key colour itself is not in the list
}

TEST_F(Gradient, PaletteHasOneEntryPerColourAndIsUsedOnlyWhenAllowed) {
    TQCLColorList list;
    QCLGradientCreateColorList(clBlack, clWhite, 5, &list, true);
    {
        win32::PaletteHandle palette = QCLGradientCreatePalette(&list);
        ASSERT_TRUE(palette.valid());
        PALETTEENTRY entries[8] = {};
        EXPECT_EQ(GetPaletteEntries(palette.get(), 0, 8, entries), 5u);
        EXPECT_EQ(entries[4].peRed, 255);
        EXPECT_EQ(entries[2].peFlags, PC_NOCOLLAPSE);
        EXPECT_FALSE(QCLGradientCreatePalette(nullptr).valid());
        TQCLColorList none;
        EXPECT_FALSE(QCLGradientCreatePalette(&none).valid());
    }
    // The palette branch of an 8-bit display with automatic realising.
    QCLInitApplication();
    const auto options = QCLApplication->Options;
    QCLApplication->Options = options + TQCLApplicationOptions{aoAutoRealizePalette};
    QCLSISetColorDepthForTesting(8);
    EXPECT_FALSE(QCLUsePalette());
    QCLSISetColorDepthForTesting(24);
    EXPECT_TRUE(QCLUsePalette());
    QCLSISetColorDepthForTesting(0);
    QCLApplication->Options = options;
    QCLDoneApplication();
    auto bmp = makeBitmap(10, 10, clWhite);
    QCLGradientPaint(bmp->GetCanvas(), TRect(0, 0, 10, 10), clBlack, clWhite, 5, gstHorizontal, 0x1000, 0);
    EXPECT_EQ(pixel(bmp.get(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(pixel(bmp.get(), 9, 0), RGB(255, 255, 255));
}

}  // namespace
