/*
 * The record list's header drawing, apart from the window: fitting a caption
 * into its section with "..." and the sort arrow of the sorted column.
 *
 * Tricky points:
 * - Fitting cuts four characters and appends "..." again on each round, so
 *   each round shortens the caption by one character; it never goes below
 *   "..." even when that does not fit either.
 * - The arrow is drawn in section coordinates from the section's right end:
 *   its highlight and shadow edges give it the raised look of the header.
 */
#pragma once

#include "framework/Graphics.h"

#include <functional>
#include <string>

// The caption as drawn in available pixels, measured by width.
std::string fitHeaderCaption(const std::string& caption, int available,
                             const std::function<int(const std::string&)>& width);

// The sort arrow of a section whose right end is right: pointing down for descending.
void drawSortArrow(TCanvas* canvas, int right, bool descending);
