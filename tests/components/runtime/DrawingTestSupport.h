// Small 24-bit off-screen bitmaps for the drawing tests: made in one colour,
// read pixel by pixel as 0x00BBGGRR, compared whole, searched for the box of
// one colour; and a guard that checks every GDI object made meanwhile is gone.
#pragma once

#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace drawtest {

// A w x h 24-bit bitmap filled with the colour.
std::unique_ptr<TBitmap> makeBitmap(int w, int h, TColor color = clWhite);
// Pixel (x, y) as an RGB value, read from the scan line.
COLORREF pixel(TBitmap* bitmap, int x, int y);
void setPixel(TBitmap* bitmap, int x, int y, COLORREF color);
// All pixels, rows from the top.
std::vector<COLORREF> pixels(TBitmap* bitmap);
// The smallest rectangle holding every pixel of the colour (empty when none).
TRect boxOf(TBitmap* bitmap, COLORREF color);
// The number of pixels of the colour.
int countOf(TBitmap* bitmap, COLORREF color);

// Counts the framework's GDI objects at construction; `leaked()` is the
// number made since and not released.
class GdiGuard {
public:
    GdiGuard() : start_(FrameworkGdiObjects()) {}
    int leaked() const { return FrameworkGdiObjects() - start_; }

private:
    int start_;
};

// A test whose end checks that every GDI object made during it is released.
class DrawingTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(guard_.leaked(), 0) << "GDI objects leaked"; }

private:
    GdiGuard guard_;
};

}  // namespace drawtest
