// Pixel effects on 24-bit bitmaps: grey values, clamps, the spared colour,
// the blend's rounding, wrong formats, clipping and mirrors.
#include "components/runtime/qclbmp.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

TEST(BitmapEffects, GreyValuesOfThePrimariesAndEveryTableEntry) {
    struct Case { COLORREF in; int grey; } cases[] = {
        {RGB(255, 0, 0), 76},  // 76.5 goes to the even neighbour
        {RGB(0, 255, 0), 150},
        {RGB(0, 0, 255), 28},
        {RGB(255, 255, 255), 254},
        {RGB(0, 0, 0), 0},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(2, 1, static_cast<TColor>(c.in));
        QCLBMPGrayScale(bmp.get(), TRect(0, 0, 2, 1), bmp.get(), TPoint(0, 0));
        EXPECT_EQ(pixel(bmp.get(), 1, 0), RGB(c.grey, c.grey, c.grey)) << std::hex << c.in;
    }
    // Every entry against exact integer rounding (halves to even).
    auto nearestEven = [](int num, int den) {
        int q = num / den, r = num % den;
        if (2 * r > den || (2 * r == den && (q & 1))) ++q;
        return q;
    };
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(QCLGrayValue(static_cast<uint8_t>(i), 0, 0), nearestEven(i * 3, 10)) << i;
        EXPECT_EQ(QCLGrayValue(0, static_cast<uint8_t>(i), 0), nearestEven(i * 59, 100)) << i;
        EXPECT_EQ(QCLGrayValue(0, 0, static_cast<uint8_t>(i)), nearestEven(i * 11, 100)) << i;
    }
}

TEST(BitmapEffects, BrightnessClampsAndInvertTwiceRestores) {
    struct Case { int16_t b; COLORREF out; } cases[] = {
        {300, RGB(255, 255, 255)}, {-300, RGB(0, 0, 0)}, {0, RGB(10, 128, 250)}, {10, RGB(20, 138, 255)},
        {-20, RGB(0, 108, 230)},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(3, 2, static_cast<TColor>(RGB(10, 128, 250)));
        QCLBMPBrightness(bmp.get(), TRect(0, 0, 3, 2), bmp.get(), c.b, TPoint(0, 0));
        EXPECT_EQ(countOf(bmp.get(), c.out), 6) << c.b;
    }
    auto bmp = makeBitmap(4, 3, clWhite);
    setPixel(bmp.get(), 1, 1, RGB(1, 2, 3));
    const auto before = pixels(bmp.get());
    QCLBMPInvert(bmp.get(), TRect(0, 0, 4, 3), bmp.get(), TPoint(0, 0));
    EXPECT_EQ(pixel(bmp.get(), 1, 1), RGB(254, 253, 252));
    QCLBMPInvert(bmp.get(), TRect(0, 0, 4, 3), bmp.get(), TPoint(0, 0));
    EXPECT_EQ(pixels(bmp.get()), before);
}

TEST(BitmapEffects, ExceptionColourIsSparedOnlyWhenAllThreeBytesMatch) {
    auto src = makeBitmap(3, 1, clBlack);
    setPixel(src.get(), 0, 0, RGB(255, 0, 0));   // clRed exactly
    setPixel(src.get(), 1, 0, RGB(255, 10, 0));  // red and blue match, green does not
    auto dst = makeBitmap(3, 1, static_cast<TColor>(RGB(7, 7, 7)));
    QCLBmpBrightnessEC(src.get(), TRect(0, 0, 3, 1), dst.get(), TPoint(0, 0), 20, clRed);
    EXPECT_EQ(pixel(dst.get(), 0, 0), RGB(7, 7, 7));  // not written
    EXPECT_EQ(pixel(dst.get(), 1, 0), RGB(255, 30, 20));
    EXPECT_EQ(pixel(dst.get(), 2, 0), RGB(20, 20, 20));
}

TEST(BitmapEffects, AlphaBlendRoundsHalvesToEvenAndWeighsSourceOne) {
    struct Case { float strength; int s1, s2, out; } cases[] = {
        {1.0f, 200, 10, 200}, {0.0f, 200, 10, 10},
        {0.5f, 11, 10, 10},   // +0.5 -> 0
        {0.5f, 13, 10, 12},   // +1.5 -> 2
        {0.5f, 9, 10, 10},    // -0.5 -> 0
        {0.5f, 7, 10, 8},     // -1.5 -> -2
        {0.6f, 255, 0, 153},
    };
    for (const auto& c : cases) {
        auto one = makeBitmap(2, 2, static_cast<TColor>(RGB(c.s1, c.s1, c.s1)));
        auto two = makeBitmap(2, 2, static_cast<TColor>(RGB(c.s2, c.s2, c.s2)));
        auto target = makeBitmap(2, 2, clBlack);
        QCLBMPAlphaBlend(one.get(), two.get(), TRect(0, 0, 2, 2), TPoint(0, 0), target.get(), c.strength, TPoint(0, 0));
        EXPECT_EQ(countOf(target.get(), RGB(c.out, c.out, c.out)), 4) << c.strength << " " << c.s1 << " " << c.s2;
    }
}

TEST(BitmapEffects, WrongPixelFormatRaisesAndLeavesTheTargetAlone) {
    auto good = makeBitmap(4, 4, clRed);
    struct Case { int bad; const char* role; } cases[] = {{0, "Source 1"}, {1, "Source 2"}, {2, "Target"}};
    for (const auto& c : cases) {
        auto bad = makeBitmap(4, 4, clBlue);
        bad->SetPixelFormat(pf32bit);
        auto target = makeBitmap(4, 4, clGreen);
        TBitmap* roles[3] = {good.get(), good.get(), target.get()};
        roles[c.bad] = bad.get();
        const auto before = pixels(roles[2]);
        try {
            QCLBMPAlphaBlend(roles[0], roles[1], TRect(0, 0, 4, 4), TPoint(0, 0), roles[2], 0.5f, TPoint(0, 0));
            ADD_FAILURE() << "no error for " << c.role;
        } catch (const EQCLWrongPixelFormat& e) {
            EXPECT_EQ(e.Message, AnsiString("Wrong PixelFormat in ") + c.role + " bitmap!");
        }
        EXPECT_EQ(pixels(roles[2]), before) << c.role;
    }
    // The other effects refuse other formats as well, before writing.
    auto bad = makeBitmap(2, 2, clBlue);
    bad->SetPixelFormat(pf32bit);
    auto target = makeBitmap(2, 2, clGreen);
    EXPECT_THROW(QCLBMPInvert(bad.get(), TRect(0, 0, 2, 2), target.get(), TPoint(0, 0)), EQCLWrongPixelFormat);
    EXPECT_THROW(QCLBMPGrayScale(target.get(), TRect(0, 0, 2, 2), bad.get(), TPoint(0, 0)), EQCLWrongPixelFormat);
    EXPECT_EQ(countOf(target.get(), RGB(0, 128, 0)), 4);
}

TEST(BitmapEffects, EmptyRectanglesAndAreasOutsideTheBitmapsAreClipped) {
    auto bmp = makeBitmap(4, 4, clWhite);
    QCLBMPInvert(bmp.get(), TRect(2, 0, 2, 4), bmp.get(), TPoint(0, 0));
    QCLBMPInvert(bmp.get(), TRect(3, 3, 1, 1), bmp.get(), TPoint(0, 0));
    EXPECT_EQ(countOf(bmp.get(), RGB(255, 255, 255)), 16);

    // A rectangle reaching past the source and a point near the target's edge.
    auto src = makeBitmap(4, 4, clBlack);
    auto dst = makeBitmap(3, 3, clBlack);
    QCLBMPInvert(src.get(), TRect(-2, -2, 10, 10), dst.get(), TPoint(1, 1));
    // Source pixel (0, 0) lands at target (3, 3), outside: only the inner
    // parts that both bitmaps hold are written.
    EXPECT_EQ(countOf(dst.get(), RGB(255, 255, 255)), 0);
    QCLBMPInvert(src.get(), TRect(-1, -1, 10, 10), dst.get(), TPoint(0, 0));
    EXPECT_EQ(pixel(dst.get(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(countOf(dst.get(), RGB(255, 255, 255)), 4);  // (1, 1) to (2, 2)
}

TEST(BitmapEffects, MirrorsInPlaceAndIntoAnotherBitmapKeepTheMiddleLine) {
    // A 3 x 3 picture with distinct pixels.
    auto src = makeBitmap(3, 3, clBlack);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) setPixel(src.get(), x, y, RGB(x * 10 + 1, y * 10 + 1, 0));
    auto across = makeBitmap(3, 3, clWhite);
    QCLBMPFlipVertical(src.get(), TRect(0, 0, 3, 3), across.get(), TPoint(0, 0));
    auto down = makeBitmap(3, 3, clWhite);
    QCLBMPFlipHorizonzal(src.get(), TRect(0, 0, 3, 3), down.get(), TPoint(0, 0));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixel(across.get(), x, y), pixel(src.get(), 2 - x, y)) << x << "," << y;
            EXPECT_EQ(pixel(down.get(), x, y), pixel(src.get(), x, 2 - y)) << x << "," << y;
        }
    // In place gives the same as into another bitmap.
    QCLBMPFlipVertical(src.get(), TRect(0, 0, 3, 3), src.get(), TPoint(0, 0));
    EXPECT_EQ(pixels(src.get()), pixels(across.get()));
}

TEST(BitmapEffects, RowsWiderThanTheOldRowBufferMirror) {
    auto bmp = makeBitmap(11000, 2, clBlack);
    setPixel(bmp.get(), 10999, 0, RGB(1, 2, 3));
    QCLBMPFlipHorizonzal(bmp.get(), TRect(0, 0, 11000, 2), bmp.get(), TPoint(0, 0));
    EXPECT_EQ(pixel(bmp.get(), 10999, 1), RGB(1, 2, 3));
    EXPECT_EQ(pixel(bmp.get(), 10999, 0), RGB(0, 0, 0));
    QCLBMPFlipVertical(bmp.get(), TRect(0, 0, 11000, 2), bmp.get(), TPoint(0, 0));
    EXPECT_EQ(pixel(bmp.get(), 0, 1), RGB(1, 2, 3));
}

}  // namespace
