/*
 * The record list's drawing, apart from the window: fitting a caption into
 * its section with "...", the sort arrow of the sorted column, and the cells
 * of a line.
 *
 * Tricky points:
 * - Fitting cuts four characters and appends "..." again on each round, so
 *   each round shortens the caption by one character; it never goes below
 *   "..." even when that does not fit either.
 * - The arrow is drawn in section coordinates from the section's right end:
 *   its highlight and shadow edges give it the raised look of the header.
 * - A cell's text starts where its heading's caption starts and stops short
 *   of the next column, so that neighbouring values never run together.
 */
#pragma once

#include "framework/Graphics.h"

#include <functional>
#include <string>
#include <vector>

// The caption as drawn in available pixels, measured by width.
std::string fitHeaderCaption(const std::string& caption, int available,
                             const std::function<int(const std::string&)>& width);

// The sort arrow of a section whose right end is right: pointing down for descending.
void drawSortArrow(TCanvas* canvas, int right, bool descending);

// Where a caption and a cell's text start within their column, and the gap a cell's text keeps
// to the next column.
constexpr int ColumnTextInset = 6;
constexpr int ColumnTextGap = 6;

// The fields of one list line (joined by delimiter) in columns of the given widths, from line's left.
void drawRecordLine(TCanvas* canvas, const TRect& line, const std::string& fields, char delimiter,
                    const std::vector<int>& columnWidths);
