// The list box's rows without a window: a row made from fields and read back
// under both delimiters the program uses, where each field is drawn, the
// column sort, and the header widths in INI text and the old stream form.
#include "components/controls/QCLListRows.h"

#include "components/runtime/qclstrings.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Fields = std::vector<std::string>;

// Rows built from fields and read back field by field: the empty fields keep
// their places, and a value holding the delimiter shifts the columns after it
// (no escaping), under the record list's 0x01 and the field list's ';'.
TEST(ListRows, JoinedRowsReadBackByColumn) {
    struct Case {
        char delimiter;
        Fields values;
        std::string row;
        Fields readBack;  // columns 0..n-1 as ItemPart reads them
    } cases[] = {
        {'\x01', {"Bank", "jo", "s3cret"}, "Bank\x01jo\x01s3cret", {"Bank", "jo", "s3cret", ""}},
        {'\x01', {"x", "", "y"}, "x\x01\x01y", {"x", "", "y"}},
        {'\x01', {"", "", ""}, "\x01\x01", {"", "", "", ""}},
        {'\x01', {"only"}, "only", {"only", ""}},
        {'\x01', {}, "", {"", ""}},
        {';', {"Name", "Text"}, "Name;Text", {"Name", "Text", ""}},
        {';', {"a;b", "c"}, "a;b;c", {"a", "b", "c"}},
        {';', {"", "tail"}, ";tail", {"", "tail"}},
        {';', {"with\x01" "byte", "z"}, "with\x01" "byte;z", {"with\x01" "byte", "z"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("row \"" + c.row + "\" delimiter " + std::to_string(int(c.delimiter)));
        EXPECT_EQ(QCLJoinRow(c.values, c.delimiter), c.row);
        for (size_t i = 0; i < c.readBack.size(); ++i)
            EXPECT_EQ(QCLGetCodedString(c.row, c.delimiter, static_cast<int>(i)), c.readBack[i]) << "column " << i;
    }
}

// Rewriting one column of a short row pads with delimiters and keeps every
// other field; reading it back gives the new value in that column only.
TEST(ListRows, RewritingAColumnKeepsTheOthers) {
    for (char d : {'\x01', ';'}) {
        std::string row = QCLJoinRow({"a", "b"}, d);
        QCLSetCodedString(row, "new", d, 3);
        EXPECT_EQ(row, QCLJoinRow({"a", "b", "", "new"}, d));
        QCLSetCodedString(row, "", d, 0);
        EXPECT_EQ(row, QCLJoinRow({"", "b", "", "new"}, d));
        EXPECT_EQ(QCLGetCodedCount(row, d), 4);
    }
}

// Which rows draw anything: only bytes above 32 count, so a row of 0x01
// delimiters is blank while one of ';' is not.
TEST(ListRows, ContentDecidesWhetherARowIsDrawn) {
    struct Case { std::string row; bool drawn; } cases[] = {
        {"", false}, {"\x01\x01\x01", false}, {" \t\x01 ", false}, {"\0\x01"s, false},
        {";;", true}, {"\x01x\x01", true}, {"\xE9", true},
    };
    for (const auto& c : cases) EXPECT_EQ(QCLRowHasContent(c.row), c.drawn) << '"' << c.row << '"';
}

// Cells follow the section widths from the row's left edge; an empty field
// between delimiters takes its cell, a final delimiter adds none, and fields
// past the last section are dropped.
TEST(ListRows, CellsFollowTheSections) {
    const std::vector<int> widths = {40, 25, 60};
    struct Case {
        std::string row;
        int left;
        std::vector<QCLRowCell> cells;
    } cases[] = {
        {"a;b", 0, {{0, 40, "a"}, {40, 65, "b"}}},
        {"a;b;c;d;e", 10, {{10, 50, "a"}, {50, 75, "b"}, {75, 135, "c"}}},
        {";;x", 0, {{0, 40, ""}, {40, 65, ""}, {65, 125, "x"}}},
        {"a;", 0, {{0, 40, "a"}}},
        {";;", 0, {{0, 40, ""}, {40, 65, ""}}},
        {"", 0, {}},
    };
    for (const auto& c : cases) {
        auto cells = QCLLayoutRow(c.row, ';', widths, c.left);
        ASSERT_EQ(cells.size(), c.cells.size()) << c.row;
        for (size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(cells[i].left, c.cells[i].left) << c.row << " cell " << i;
            EXPECT_EQ(cells[i].right, c.cells[i].right) << c.row << " cell " << i;
            EXPECT_EQ(cells[i].text, c.cells[i].text) << c.row << " cell " << i;
        }
    }
    EXPECT_TRUE(QCLLayoutRow("a;b", ';', {}, 0).empty());
    EXPECT_EQ(QCLGridLineXs(widths, 0), (std::vector<int>{39, 64, 124}));
    EXPECT_EQ(QCLGridLineXs(widths, -30), (std::vector<int>{9, 34, 94}));
}

// The sort glues the listed fields into one key (empty as one space) and
// compares bytes unsigned, not field by field and not by locale.
TEST(ListRows, SortKeysAndOrder) {
    EXPECT_EQ(QCLSortKey("c;ab", {1, 0}, ';'), "abc");
    EXPECT_EQ(QCLSortKey("zz;a", {1, 0}, ';'), "azz");
    EXPECT_EQ(QCLSortKey(";x", {0, 1, 5}, ';'), " x ");
    EXPECT_LT(QCLCompareOrdinal(QCLSortKey("c;ab", {1, 0}, ';'), QCLSortKey("zz;a", {1, 0}, ';')), 0);
    EXPECT_EQ(QCLCompareOrdinal("B", "a"), -1);
    EXPECT_EQ(QCLCompareOrdinal("\xE9", "z"), 1);
    EXPECT_EQ(QCLCompareOrdinal("ab", "ab"), 0);
    EXPECT_EQ(QCLCompareOrdinal("ab", "a"), 1);
}

// The exchanges reported while sorting, replayed on the caller's rows, leave
// them in key order; duplicates, presorted and reversed input included.
TEST(ListRows, QuickSortReportsEveryExchange) {
    std::vector<std::vector<std::string>> inputs = {
        {}, {"one"}, {"b", "a"}, {"d", "a", "c", "b", "a", "d"}, {"x", "x", "x", "x"},
    };
    std::vector<std::string> ascending, descending;
    for (int i = 0; i < 3000; ++i) ascending.push_back(QCLAddZeroL(std::to_string(i), 5));
    descending.assign(ascending.rbegin(), ascending.rend());
    inputs.push_back(ascending);
    inputs.push_back(descending);
    std::vector<std::string> mixed;
    for (int i = 0; i < 2000; ++i) mixed.push_back(std::to_string((i * 7919) % 211));
    inputs.push_back(mixed);

    for (const auto& input : inputs) {
        std::vector<std::string> keys = input, rows = input, expected = input;
        QCLQuickSortRows(keys, [&rows](int i, int j) { std::swap(rows[i], rows[j]); });
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(keys, expected);
        EXPECT_EQ(rows, expected);
    }
}

TEST(ListRows, HeaderWidthsInIniText) {
    EXPECT_EQ(QCLWidthsToIni({}), "");
    EXPECT_EQ(QCLWidthsToIni({75, 120, 0}), "75,120,0");
    EXPECT_EQ(QCLIniToWidths("75,120,0"), (std::vector<int>{75, 120, 0}));
    EXPECT_EQ(QCLIniToWidths("-3"), (std::vector<int>{-3}));
    for (const char* bad : {"75,,10", "75,x", "10,", "1.5"}) EXPECT_THROW(QCLIniToWidths(bad), EConvertError) << bad;
}

TEST(ListRows, OldStreamedSections) {
    struct Case { std::string entry; std::string caption; int width; } cases[] = {
        {"Title", "Title", 76},
        {"\0" "120\0" "Name"s, "Name", 121},
        {"\0" "abc\0" "Name"s, "Name", 76},
        {"\0" "0\0"s, "", 1},
        {"\0" "40"s, "", 41},
        {"", "", 76},
    };
    for (const auto& c : cases) {
        QCLLegacySection s = QCLParseLegacySection(c.entry);
        EXPECT_EQ(s.caption, c.caption);
        EXPECT_EQ(s.width, c.width) << c.caption;
    }
}

}  // namespace
