// The multi-column list box's rows without a window: joining and reading
// fields, where each field lands on screen, the sort by listed columns, the
// header widths kept in INI text and the old stream form of the header.
//
// Tricky points:
// - A row is one string of fields joined by a single delimiter byte, with no
//   escaping (the runtime's row codec); a value holding the delimiter shifts
//   the later columns. That is accepted: rows are picked by index, not text.
// - Cell splitting for drawing differs from the codec's field count: an empty
//   field between two delimiters counts, but nothing follows a final one.
// - The sort is an in-place quicksort whose key is the listed fields glued
//   together (an empty one as a single space), compared as unsigned bytes. Its
//   exchanges are reported to the caller, which moves its own rows in step.
#pragma once

#include <functional>
#include <string>
#include <vector>

// One row from its fields; no field gives the empty row.
std::string QCLJoinRow(const std::vector<std::string>& values, char delimiter);

// True when anything but bytes 0..32 is left of the row; an empty row, or one
// made only of delimiters at or below 32, draws only its background.
bool QCLRowHasContent(const std::string& row);

// A field's place in a drawn row: [left, right) in list coordinates.
struct QCLRowCell {
    int left = 0;
    int right = 0;
    std::string text;
};

// The cells of a row under sections of the given widths, starting at rectLeft.
// Fields past the last section are dropped.
std::vector<QCLRowCell> QCLLayoutRow(const std::string& row, char delimiter, const std::vector<int>& sectionWidths,
                                     int rectLeft);

// The x of each vertical grid line: the right edge of every section, minus 1.
std::vector<int> QCLGridLineXs(const std::vector<int>& sectionWidths, int rectLeft);

// The sort key of a row for the given columns.
std::string QCLSortKey(const std::string& row, const std::vector<int>& columns, char delimiter);

// -1, 0 or 1 by unsigned byte order.
int QCLCompareOrdinal(const std::string& a, const std::string& b);

// Sorts keys in place; every exchange of positions i and j is also passed to
// exchange (may be empty) so the caller moves its rows alongside.
void QCLQuickSortRows(std::vector<std::string>& keys, const std::function<void(int, int)>& exchange);

// Header section widths as INI text ("75,120,40") and back. Reading raises the
// framework's conversion error on a value that is not a decimal integer.
std::string QCLWidthsToIni(const std::vector<int>& widths);
std::vector<int> QCLIniToWidths(const std::string& text);

// One entry of the old streamed section list: NUL, width text, NUL, caption;
// or just the caption. The width is the stored one + 1 (75 + 1 when absent or
// not a number).
struct QCLLegacySection {
    std::string caption;
    int width = 0;
};
QCLLegacySection QCLParseLegacySection(const std::string& entry);
