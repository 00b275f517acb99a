// The list box's window-free row logic (see the header).
#include "components/controls/QCLListRows.h"

#include "components/runtime/qclstrings.h"
#include "framework/SysUtils.h"

#include <utility>

std::string QCLJoinRow(const std::vector<std::string>& values, char delimiter) {
    if (values.empty()) return std::string();
    return QCLCodeString(values.data(), static_cast<int>(values.size()) - 1, delimiter);
}

bool QCLRowHasContent(const std::string& row) {
    for (char c : row)
        if (static_cast<unsigned char>(c) > 32) return true;
    return false;
}

std::vector<QCLRowCell> QCLLayoutRow(const std::string& row, char delimiter, const std::vector<int>& sectionWidths,
                                     int rectLeft) {
    std::vector<QCLRowCell> cells;
    size_t start = 0;
    int left = rectLeft;
    while (start < row.size() && cells.size() < sectionWidths.size()) {
        size_t end = row.find(delimiter, start);
        if (end == std::string::npos) end = row.size();
        QCLRowCell cell;
        cell.left = left;
        cell.right = left + sectionWidths[cells.size()];
        cell.text = row.substr(start, end - start);
        left = cell.right;
        cells.push_back(std::move(cell));
        start = end + 1;
    }
    return cells;
}

std::vector<int> QCLGridLineXs(const std::vector<int>& sectionWidths, int rectLeft) {
    std::vector<int> xs;
    int right = rectLeft;
    for (int width : sectionWidths) {
        right += width;
        xs.push_back(right - 1);
    }
    return xs;
}

std::string QCLSortKey(const std::string& row, const std::vector<int>& columns, char delimiter) {
    std::string key;
    for (int column : columns) {
        std::string field = QCLGetCodedString(row, delimiter, column);
        key += field.empty() ? std::string(" ") : field;
    }
    return key;
}

int QCLCompareOrdinal(const std::string& a, const std::string& b) {
    int c = a.compare(b);  // char_traits<char>::compare orders as unsigned char
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

namespace {

void quickSort(std::vector<std::string>& keys, int lo, int hi, const std::function<void(int, int)>& exchange) {
    // The smaller side recurses and the larger one loops, so a run of bad
    // pivots cannot exhaust the stack; the two sides are disjoint, so the
    // order they are done in does not change the result.
    while (lo < hi) {
        const std::string pivot = keys[static_cast<size_t>((lo + hi) / 2)];
        int i = lo, j = hi;
        do {
            while (QCLCompareOrdinal(keys[static_cast<size_t>(i)], pivot) < 0) ++i;
            while (QCLCompareOrdinal(keys[static_cast<size_t>(j)], pivot) > 0) --j;
            if (i <= j) {
                if (i != j) {
                    std::swap(keys[static_cast<size_t>(i)], keys[static_cast<size_t>(j)]);
                    if (exchange) exchange(i, j);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j) quickSort(keys, lo, j, exchange);
            lo = i;
        } else {
            if (i < hi) quickSort(keys, i, hi, exchange);
            hi = j;
        }
    }
}

}  // namespace

void QCLQuickSortRows(std::vector<std::string>& keys, const std::function<void(int, int)>& exchange) {
    if (keys.size() > 1) quickSort(keys, 0, static_cast<int>(keys.size()) - 1, exchange);
}

std::string QCLWidthsToIni(const std::vector<int>& widths) {
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i) {
        if (i) text += ',';
        text += std::to_string(widths[i]);
    }
    return text;
}

std::vector<int> QCLIniToWidths(const std::string& text) {
    std::vector<int> widths;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(',', start);
        widths.push_back(StrToInt(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return widths;
}

QCLLegacySection QCLParseLegacySection(const std::string& entry) {
    const int defaultWidth = 75;
    QCLLegacySection section;
    if (entry.empty() || entry[0] != '\0') {
        section.caption = entry;
        section.width = defaultWidth + 1;
        return section;
    }
    size_t end = entry.find('\0', 1);
    std::string widthText = entry.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    section.width = StrToIntDef(widthText, defaultWidth) + 1;
    if (end != std::string::npos) section.caption = entry.substr(end + 1);
    return section;
}
