/*
 * Drawing a bitmap with one transparent colour: pixels of that colour leave
 * the destination as it was, every other pixel is copied.
 *
 * DrawTransparentBitmap works on any DC (it is how TTranImage paints): it
 * builds a monochrome mask of the transparent pixels, combines the mask with
 * the destination area and with the bitmap, and copies the result back. The
 * bitmap is changed during the work and restored from a saved copy before
 * the routine returns; every temporary DC and bitmap is freed.
 *
 * DrawTransparent does the same between two framework bitmaps.
 */
#pragma once

#include <windows.h>

#include "framework/Graphics.h"

// Draws `bitmap` (not selected into any DC) on `dc` at (x, y), leaving pixels of `transparent` out.
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, TColor transparent);
// Draws `source` onto `destination` at (x, y), leaving pixels of `transparent` out.
void DrawTransparent(TBitmap* destination, int x, int y, TBitmap* source, TColor transparent);
