// The banded gradient, pixel by pixel on small bitmaps, against a model that
// computes each pixel's colour on its own (band of the pixel, rounded share
// of the colour distance), and against colours written out by hand.
#include <gtest/gtest.h>

#include <cstdlib>

#include "skin/XPGraphUtil.h"
#include "tests/skin/SkinFixture.h"

namespace {

constexpr TColor background = RGB(1, 2, 3);

// i * delta / steps rounded to nearest, halves away from zero.
int share(int i, int delta, int steps) {
    int twice = 2 * i * std::abs(delta) + steps;
    int magnitude = twice / (2 * steps);
    return delta < 0 ? -magnitude : magnitude;
}

// The colour a pixel at `offset` along the fill gets (offset 0 = top or left of R).
TColor expectedAt(int offset, int extent, TColor start, TColor end, bool forward, int colors) {
    if (colors < 2) return start;
    int bands = std::max(2, std::min(colors, extent));
    int size = extent / bands;
    if (size == 0 || offset >= bands * size) return forward ? end : start;
    TColor base = forward ? start : end, other = forward ? end : start;
    int i = offset / size;
    auto channel = [&](int shift) {
        int b = (base >> shift) & 0xFF, o = (other >> shift) & 0xFF;
        return (b + share(i, o - b, bands - 1)) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

struct GradientCase {
    const char* what;
    TRect rect;
    TFillDirection direction;
    int colors;
};

TEST(GradientFillRect, EveryPixelHasTheColourOfItsBandAndNothingOutsideIsTouched) {
    const TColor start = RGB(253, 253, 253), end = RGB(205, 204, 223);
    const GradientCase cases[] = {
        {"button face top-down", Rect(4, 4, 71, 19), fdTopToBottom, 7},
        {"pressed face bottom-up", Rect(4, 4, 71, 19), fdBottomToTop, 11},
        {"left to right with remainder", Rect(2, 1, 25, 9), fdLeftToRight, 5},
        {"right to left", Rect(0, 0, 30, 4), fdRightToLeft, 4},
        {"more bands than pixels", Rect(3, 3, 8, 6), fdTopToBottom, 50},
        {"one band: solid start", Rect(1, 1, 20, 10), fdTopToBottom, 1},
        {"height 1: only the remainder", Rect(1, 5, 20, 6), fdTopToBottom, 7},
        {"width 1 right to left", Rect(5, 1, 6, 12), fdRightToLeft, 3},
        {"empty rectangle", Rect(5, 5, 5, 20), fdTopToBottom, 7},
    };
    for (const GradientCase& c : cases) {
        auto bitmap = skintest::filledBitmap(80, 24, background);
        GradientFillRect(bitmap->Canvas, c.rect, start, end, c.direction, c.colors);
        const bool vertical = c.direction == fdTopToBottom || c.direction == fdBottomToTop;
        const bool forward = c.direction == fdTopToBottom || c.direction == fdLeftToRight;
        int wrong = 0;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 80; ++x) {
                TColor expected = background;
                if (c.rect.Contains(TPoint(x, y))) {
                    int offset = vertical ? y - c.rect.Top : x - c.rect.Left;
                    int extent = vertical ? c.rect.Height() : c.rect.Width();
                    expected = expectedAt(offset, extent, start, end, forward, c.colors);
                }
                if (fwtest::pixelOf(bitmap.get(), x, y) != expected && wrong++ < 3)
                    ADD_FAILURE() << c.what << " at " << x << "," << y << ": " << std::hex
                                  << fwtest::pixelOf(bitmap.get(), x, y) << " instead of " << expected;
            }
        }
        EXPECT_EQ(wrong, 0) << c.what;
    }
}

TEST(GradientFillRect, TheButtonFaceHasSevenTwoPixelBandsThenOneEndPixel) {
    // 15 pixels high, 7 bands: written out by hand from the colour distance (-48, -49, -30) / 6.
    const TColor rows[] = {
        RGB(253, 253, 253), RGB(245, 245, 248), RGB(237, 237, 243), RGB(229, 228, 238),
        RGB(221, 220, 233), RGB(213, 212, 228), RGB(205, 204, 223),
    };
    auto bitmap = skintest::filledBitmap(10, 15, background);
    GradientFillRect(bitmap->Canvas, Rect(0, 0, 10, 15), RGB(253, 253, 253), RGB(205, 204, 223), fdTopToBottom, 7);
    for (int y = 0; y < 14; ++y) EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 5, y), rows[y / 2]) << "row " << y;
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 5, 14), RGB(205, 204, 223)) << "the remainder row";

    // Bottom to top: the start colour lies in the last band and in the remainder at the bottom.
    GradientFillRect(bitmap->Canvas, Rect(0, 0, 10, 15), RGB(253, 253, 253), RGB(205, 204, 223), fdBottomToTop, 7);
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 5, 0), RGB(205, 204, 223));
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 5, 13), RGB(253, 253, 253));
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 5, 14), RGB(253, 253, 253));
}

TEST(GradientFillRect, SystemColoursAreResolvedAndTheVerticalLineDrawsNothing) {
    auto bitmap = skintest::filledBitmap(8, 8, background);
    GradientFillRect(bitmap->Canvas, Rect(0, 0, 8, 8), clBtnFace, clBtnFace, fdTopToBottom, 4);
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 3, 3), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    GradientVertLine(bitmap->Canvas, 2, 0, 8, clRed, clBlue, fdTopToBottom, 4);
    EXPECT_EQ(skintest::countPixels(bitmap.get(), Rect(0, 0, 8, 8), static_cast<TColor>(GetSysColor(COLOR_BTNFACE))),
              64);
}

}  // namespace
