/*
 * Drawing routines of the XP look: the banded gradient that fills the face of
 * the XP-style push button, and the small rectangle measures it uses.
 *
 * Tricky points of GradientFillRect:
 * - The rectangle is cut into n equal bands (n at least 2, at most the
 *   rectangle's extent in the fill direction); what is left over at the
 *   bottom (or right) end is filled with one colour of its own, the end
 *   colour for top-down and left-right fills, the start colour otherwise.
 * - A 1-pixel-high rectangle has bands of size 0: only that remainder shows.
 * - Band i has the colour base + MulDiv(i, delta, n - 1) per channel, so the
 *   first band is the base colour and the last one exactly the other colour.
 */
#pragma once

#include "framework/Graphics.h"

enum TFillDirection { fdTopToBottom, fdBottomToTop, fdLeftToRight, fdRightToLeft };

inline int HeightOf(const TRect& R) { return R.Bottom - R.Top; }
inline int WidthOf(const TRect& R) { return R.Right - R.Left; }

// Fills R with `Colors` bands running from StartColor to EndColor in Direction.
void GradientFillRect(TCanvas* Canvas, const TRect& R, TColor StartColor, TColor EndColor, TFillDirection Direction,
                      int Colors);
// Kept for callers of the drawing unit; it draws nothing.
void GradientVertLine(TCanvas* Canvas, int X, int Y1, int Y2, TColor StartColor, TColor EndColor,
                      TFillDirection Direction, int Colors);
