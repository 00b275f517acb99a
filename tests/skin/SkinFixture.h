/*
 * Helpers of the skin-kit tests: small 24-bit bitmaps to draw on, what a real
 * window shows on the screen, counts of pixels of one colour, and real mouse
 * and keyboard input through SendInput.
 */
#pragma once

#include <memory>

#include "tests/framework/ControlsFixture.h"

namespace skintest {

// A 24-bit bitmap of the given size filled with one colour.
std::unique_ptr<TBitmap> filledBitmap(int width, int height, TColor color);
// What the screen shows in a screen rectangle.
std::unique_ptr<TBitmap> captureScreen(const TRect& screen);
// What the screen shows of a window's client area.
std::unique_ptr<TBitmap> captureClient(HWND window);
// Pixels of exactly `color` inside R of a 24-bit bitmap.
int countPixels(TBitmap* bitmap, const TRect& R, TColor color);
// True when the two bitmaps have the same size and pixels.
bool samePixels(TBitmap* a, TBitmap* b);

// Real input: the pointer to a screen point (absolute move), left button down/up, keys.
void moveMouseTo(int screenX, int screenY);
void mouseButton(bool down);
void pressKeys(std::initializer_list<std::pair<WORD, bool>> keys);
void tapKey(WORD vk);
// Shows the form in the foreground (needed for SendInput); false when it could not get there.
bool bringToForeground(TCustomForm* form);

}  // namespace skintest
