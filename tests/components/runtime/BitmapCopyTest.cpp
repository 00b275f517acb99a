// Bitmap copies by mode: placement, tiles, clipping with a packed offset,
// transparent copies, masks, relief and disabled pictures, texture fills.
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/Qclutils.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

class BitmapCopy : public DrawingTest {};

const COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Lime = RGB(0, 255, 0),
               Yellow = RGB(255, 255, 0);

TEST_F(BitmapCopy, PlacementByMode) {
    struct Case { std::uint16_t mode; TRect result, painted; } cases[] = {
        {0x0000, {0, 0, 16, 16}, {0, 0, 16, 16}},
        {0x0008, {12, 2, 28, 18}, {12, 2, 28, 18}},
        {0x0010, {0, 0, 40, 20}, {0, 0, 40, 20}},
        {0x0610, {0, 0, 20, 20}, {0, 0, 20, 20}},  // fit: height decides here
        {0x0410, {0, 0, 40, 40}, {0, 0, 40, 20}},  // width decides
        {0x0210, {0, 0, 20, 20}, {0, 0, 20, 20}},  // height decides
        {0x1010, {0, 0, 40, 20}, {0, 0, 40, 20}},
    };
    auto picture = makeBitmap(16, 16, clRed);
    for (const auto& c : cases) {
        auto target = makeBitmap(40, 20, clWhite);
        EXPECT_EQ(QCLBmpDraw(target->GetCanvas(), TRect(0, 0, 40, 20), picture.get(), c.mode, 0), c.result) << c.mode;
        EXPECT_EQ(boxOf(target.get(), Red), c.painted) << c.mode;
        EXPECT_EQ(countOf(target.get(), Red), c.painted.Width() * c.painted.Height()) << c.mode;
    }
    auto target = makeBitmap(40, 20, clWhite);
    EXPECT_EQ(QCLBmpDraw(target->GetCanvas(), TRect(5, 5, 5, 9), picture.get(), 0x0008, 0), TRect(0, 0, 0, 0));
    EXPECT_EQ(countOf(target.get(), Red), 0);
}

TEST_F(BitmapCopy, TilesAreWholeAndTheClipCutsThemAtTheMovedRectangle) {
    auto tile = makeBitmap(10, 10, clRed);
    setPixel(tile.get(), 0, 0, Blue);
    {
        auto target = makeBitmap(40, 30, clWhite);
        QCLBmpDraw(target->GetCanvas(), TRect(0, 0, 25, 15), tile.get(), 0x0020, 0);
        EXPECT_EQ(countOf(target.get(), Blue), 6);  // 3 x 2 tiles, not cut
        EXPECT_EQ(boxOf(target.get(), Red), TRect(0, 0, 30, 20));
    }
    struct Case { std::uint32_t offset; TRect painted; } cases[] = {
        {0, {0, 0, 25, 15}},
        {5u | (2u << 16), {5, 2, 30, 17}},
    };
    for (const auto& c : cases) {
        auto target = makeBitmap(40, 30, clWhite);
        HDC dc = target->GetCanvas()->GetHandle();
        QCLBmpClipDraw(target->GetCanvas(), TRect(0, 0, 25, 15), tile.get(), 0x0021, c.offset, 0);
        EXPECT_EQ(boxOf(target.get(), Red), c.painted) << c.offset;
        // The clip is removed afterwards, not restored.
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(dc, probe), 0);
        DeleteObject(probe);
    }
}

TEST_F(BitmapCopy, EmptySourceInTheAspectModesDrawsNothing) {
    auto source = makeBitmap(10, 10, clRed);
    for (std::uint16_t mode : {0x0210, 0x0410, 0x0610})
        for (const TRect& s : {TRect(0, 0, 0, 10), TRect(0, 0, 10, 0)}) {
            auto target = makeBitmap(30, 30, clWhite);
            const TRect result = QCLBmpDrawExt(target->GetCanvas(), TRect(3, 4, 30, 30), source->GetCanvas(), s, mode,
                                               0, nullptr, nullptr);
            EXPECT_EQ(result, TRect(3, 4, 3, 4)) << mode;
            EXPECT_EQ(countOf(target.get(), White), 900) << mode;
        }
}

TEST_F(BitmapCopy, TransparentModesOverAFilledTarget) {
    // A red picture with lime spots; the bottom-left pixel makes lime its own transparent colour.
    auto picture = makeBitmap(4, 4, clRed);
    setPixel(picture.get(), 1, 1, Lime);
    setPixel(picture.get(), 0, 3, Lime);
    struct Case { std::uint16_t mode; COLORREF spot; } cases[] = {
        {0x0040, Blue},    // transparent by the given colour: the target shows
        {0x0080, Yellow},  // the bitmap's own transparent colour becomes the brush
        {0x0000, Lime},    // a plain copy
    };
    for (const auto& c : cases) {
        auto target = makeBitmap(4, 4, clBlue);
        QCLBmpDraw(target->GetCanvas(), TRect(0, 0, 4, 4), picture.get(), c.mode, c.mode == 0x0080 ? clYellow : clLime);
        EXPECT_EQ(pixel(target.get(), 1, 1), c.spot) << c.mode;
        EXPECT_EQ(pixel(target.get(), 0, 3), c.spot) << c.mode;
        EXPECT_EQ(countOf(target.get(), Red), 14) << c.mode;
    }
    // Through a given mask: the image has black where the mask is white.
    auto mask = std::make_unique<TBitmap>();
    auto image = std::make_unique<TBitmap>();
    QCLBmpCreateMasks(picture.get(), mask.get(), image.get(), clLime);
    EXPECT_EQ(pixel(image.get(), 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(pixel(image.get(), 2, 2), Red);
    EXPECT_EQ(mask->GetPixelFormat(), pf1bit);
    EXPECT_EQ(static_cast<COLORREF>(mask->GetCanvas()->GetPixel(1, 1)), White);
    EXPECT_EQ(static_cast<COLORREF>(mask->GetCanvas()->GetPixel(2, 2)), RGB(0, 0, 0));
    auto target = makeBitmap(6, 6, clBlue);
    QCLBmpDrawExt(target->GetCanvas(), TRect(2, 2, 6, 6), image->GetCanvas(), TRect(0, 0, 4, 4), 0x0100, 0, nullptr,
                  mask.get());
    EXPECT_EQ(pixel(target.get(), 3, 3), Blue);
    EXPECT_EQ(pixel(target.get(), 4, 4), Red);
    EXPECT_EQ(countOf(target.get(), Red), 14);
}

TEST_F(BitmapCopy, MaskDrawLeavesTheCallersBitmapsAndRepeatsIdentically) {
    auto picture = makeBitmap(4, 4, clRed);
    setPixel(picture.get(), 1, 1, White);  // white is the mask colour
    auto background = makeBitmap(4, 4, clLime);
    setPixel(background.get(), 3, 3, Yellow);  // yellow is transparent at the end
    const auto pictureBefore = pixels(picture.get()), backgroundBefore = pixels(background.get());
    std::vector<COLORREF> first;
    for (int pass = 0; pass < 2; ++pass) {
        auto target = makeBitmap(4, 4, clBlue);
        QCLMaskBmpDraw(target->GetCanvas(), TRect(0, 0, 4, 4), picture.get(), background.get(), clYellow, clWhite);
        EXPECT_EQ(pixel(target.get(), 0, 0), Red);
        EXPECT_EQ(pixel(target.get(), 1, 1), Lime);  // the background through the mask
        if (pass == 0) first = pixels(target.get());
        else EXPECT_EQ(pixels(target.get()), first);
    }
    EXPECT_EQ(pixels(picture.get()), pictureBefore);
    EXPECT_EQ(pixels(background.get()), backgroundBefore);
}

TEST_F(BitmapCopy, ReliefPictureThresholdsAgainstTheAverage) {
    auto source = makeBitmap(6, 1, clFuchsia);  // pixel (0, 0) is the background
    const COLORREF shades[] = {RGB(255, 255, 255), RGB(200, 200, 200), RGB(100, 100, 100), RGB(40, 40, 40), RGB(0, 0, 0)};
    for (int i = 0; i < 5; ++i) setPixel(source.get(), i + 1, 0, shades[i]);
    // Sum 1785 over 5 pixels: average 357, b = 157; steps above 707, 407, 207.
    auto target = std::make_unique<TBitmap>();
    QCLBmpCreateGrayscale(target.get(), source.get());
    const COLORREF expected[] = {RGB(255, 0, 255), White, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW),
                                 RGB(0, 0, 0), RGB(0, 0, 0)};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(pixel(target.get(), x, 0), expected[x]) << x;

    auto plain = makeBitmap(3, 3, clTeal);
    auto same = std::make_unique<TBitmap>();
    QCLBmpCreateGrayscale(same.get(), plain.get());
    EXPECT_EQ(pixels(same.get()), pixels(plain.get()));
}

TEST_F(BitmapCopy, DisabledPictureIsEmbossed) {
    auto source = makeBitmap(3, 3, clWhite);  // transparent: the bottom-left pixel, white
    setPixel(source.get(), 1, 1, RGB(0, 0, 0));
    auto target = makeBitmap(5, 5, clRed);
    QCLBmpDrawDisabledState(target.get(), source.get(), 1, 1);
    EXPECT_EQ(pixel(target.get(), 0, 0), White);
    EXPECT_EQ(pixel(target.get(), 2, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(target.get(), 3, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(countOf(target.get(), GetSysColor(COLOR_BTNSHADOW)), 1);
}

TEST_F(BitmapCopy, TextureStartsInsideTheBitmapAtTheOrigin) {
    auto texture = makeBitmap(4, 4, clWhite);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) setPixel(texture.get(), x, y, RGB(x * 50, y * 50, 7));
    for (TPoint origin : {TPoint(1, 2), TPoint(5, 6)}) {
        auto target = makeBitmap(12, 8, clBlack);
        QCLFillTexture(target->GetCanvas()->GetHandle(), TRect(1, 1, 11, 7), texture.get(), origin);
        for (int j = 0; j < 6; ++j)
            for (int i = 0; i < 10; ++i)
                ASSERT_EQ(pixel(target.get(), 1 + i, 1 + j), RGB(((1 + i) % 4) * 50, ((2 + j) % 4) * 50, 7))
                    << origin.x << ": " << i << "," << j;
        EXPECT_EQ(pixel(target.get(), 0, 0), RGB(0, 0, 0));
        EXPECT_EQ(pixel(target.get(), 11, 7), RGB(0, 0, 0));
    }
    auto target = makeBitmap(12, 8, clBlack);
    QCLFillTexture(target->GetCanvas()->GetHandle(), TRect(1, 1, 11, 7), texture.get(), TPoint(-1, 0));
    EXPECT_EQ(countOf(target.get(), RGB(0, 0, 0)), 96);
}

// A windowless control paints on its parent's DC with the origin moved to
// its corner: every clipping routine clips where the control is.
TEST_F(BitmapCopy, ClippingRoutinesHonourAMovedOrigin) {
    auto red = makeBitmap(8, 8, clRed);
    TQCLFillObject fill;
    fill.Style = sfBrush;
    fill.Brush()->SetColor(clRed);
    TQCL3DCaption title;
    title.Style = tdSunken;
    title.LightColor = clRed;
    TQCLColorList reds = {clRed, clRed};
    struct Case { const char* what; std::function<void(TCanvas*)> paint; } cases[] = {
        {"clipped copy", [&](TCanvas* c) { QCLBmpClipDraw(c, TRect(0, 0, 20, 10), red.get(), 0x0021, 0, 0); }},
        {"clip fill", [&](TCanvas* c) { fill.ClipFill(c, TRect(0, 0, 20, 10), clWhite, 0); }},
        {"gradient", [&](TCanvas* c) { QCLGradientPaintExt(c, TRect(0, 0, 20, 10), gstVertical, &reds, nullptr, 1, 0); }},
        {"title label", [&](TCanvas* c) {
             c->GetFont()->SetColor(clRed);
             const TRect clip(0, 0, 20, 10);
             QCLDrawTextExt(c, "WWWWWWWWWWWW", &title, TRect(0, 0, 200, 30), DT_NOPREFIX, {dtEnabled, dtClip}, &clip);
         }},
    };
    for (const auto& c : cases) {
        auto target = makeBitmap(80, 40, clWhite);
        HDC dc = target->GetCanvas()->GetHandle();
        SetWindowOrgEx(dc, -30, -10, nullptr);  // the control sits at (30, 10)
        c.paint(target->GetCanvas());
        SetWindowOrgEx(dc, 0, 0, nullptr);
        const TRect box = boxOf(target.get(), Red);
        EXPECT_FALSE(box.IsEmpty()) << c.what;
        EXPECT_GE(box.Left, 30) << c.what;
        EXPECT_GE(box.Top, 10) << c.what;
        EXPECT_LE(box.Right, 50) << c.what;
        EXPECT_LE(box.Bottom, 20) << c.what;
    }
}

TEST_F(BitmapCopy, SmallHelpers) {
    auto bmp = std::make_unique<TBitmap>();
    QCLBmpCreateFromRect(bmp.get(), TRect(5, 5, 9, 7), clTeal);
    EXPECT_EQ(bmp->GetWidth(), 4);
    EXPECT_EQ(bmp->GetHeight(), 2);
    EXPECT_EQ(countOf(bmp.get(), RGB(0, 128, 128)), 8);
    QCLBmpCreateFromRect(bmp.get(), TRect(5, 5, 5, 9), clRed);  // empty: unchanged
    EXPECT_EQ(bmp->GetWidth(), 4);
    auto other = std::make_unique<TBitmap>();
    QCLCopyBmpSize(bmp.get(), other.get());
    EXPECT_EQ(other->GetWidth(), 4);
    EXPECT_EQ(other->GetHeight(), 2);
    // A pattern fill combines by AND: white takes the pattern.
    auto pattern = makeBitmap(8, 8, clRed);
    auto target = makeBitmap(10, 10, clWhite);
    QCLFillPattern(target->GetCanvas()->GetHandle(), TRect(2, 2, 6, 6), pattern.get());
    EXPECT_EQ(boxOf(target.get(), Red), TRect(2, 2, 6, 6));
}

}  // namespace
