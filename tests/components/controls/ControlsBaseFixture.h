/*
 * Helpers of the library-control tests: a visible host form with the
 * library's application object (timer pool) started, small bitmaps to paint
 * windowless controls into, screen pixels of real windows, and real input.
 */
#pragma once

#include <memory>

#include "tests/framework/ControlsFixture.h"

namespace ctltest {

class ControlsBaseTest : public fwtest::ControlsTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Puts the host form in the foreground (needed for focus and SendInput).
    bool foreground();
};

// A 24-bit bitmap filled with one colour.
std::unique_ptr<TBitmap> filledBitmap(int width, int height, TColor color);
// Paints a windowless control (and nothing else) into a bitmap of its size
// filled with `background` first, as its parent's WM_PAINT would.
std::unique_ptr<TBitmap> paintControl(TControl* control, TColor background);
// What the screen shows at a screen point.
TColor screenPixel(int x, int y);
// Pixels of exactly `color` inside R.
int countPixels(TBitmap* bitmap, const TRect& R, TColor color);
// The first and last column (or row) of R that hold a pixel of `color`; -1 when none.
int firstColumnOf(TBitmap* bitmap, const TRect& R, TColor color);
int lastColumnOf(TBitmap* bitmap, const TRect& R, TColor color);
int lastRowOf(TBitmap* bitmap, const TRect& R, TColor color);

// Real input through SendInput: the pointer to a screen point, the left button.
void moveMouseTo(int screenX, int screenY);
void mouseButton(bool down);
void clickAt(TControl* control, int x, int y);

}  // namespace ctltest
