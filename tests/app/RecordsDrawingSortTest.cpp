// The record list's pieces that need no main window: the stable sort against QkSort on
// fixed-seed columns, header captions fitted with "..." by measured widths, and the sort arrow's
// pixels on a small off-screen bitmap.
#include "app/RecordListDrawing.h"
#include "vault/category.h"

#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Ids of the rows in the order QkSort leaves them, and in the order of the stable sort.
struct Orders {
    std::vector<int> quadratic;
    std::vector<int> stable;
    bool consistent = false;
};

Orders sortBoth(const std::vector<std::string>& column, bool descending) {
    // Two header columns: the sorted one second, so the column index matters.
    category cat("Sort");
    cat.addHeader("Label", htOneLine, hsShown);
    cat.addHeader("Value", htOneLine, hsShown);
    std::vector<row*> rows;
    std::vector<std::unique_ptr<row>> keep;
    for (std::size_t i = 0; i < column.size(); ++i) {
        keep.push_back(std::make_unique<row>(RowValues{"r" + std::to_string(i), column[i]}, 2, static_cast<int>(i)));
        rows.push_back(keep.back().get());
    }
    Orders result;
    // The comparators read the column that sortByColumn last set: a category sorted by column 1 sets it.
    category reference("Reference");
    reference.addHeader("Label", htOneLine, hsShown);
    reference.addHeader("Value", htOneLine, hsShown);
    reference.insertRow({"x", "y"});
    reference.sortByColumn(1);
    std::vector<row*> byQk = rows;
    QkSort(byQk.data(), static_cast<int>(byQk.size()), sizeof(row*), descending ? compareDescending : compareAscending);
    for (row* r : byQk) result.quadratic.push_back(r->getId());
    std::vector<row*> byStable = rows;
    result.consistent = sortRowsConsistently(byStable, 1, descending);
    for (row* r : byStable) result.stable.push_back(r->getId());
    return result;
}

std::vector<std::string> column(unsigned seed, int n, const std::function<std::string(std::mt19937&)>& value) {
    std::mt19937 random(seed);
    std::vector<std::string> values;
    for (int i = 0; i < n; ++i) values.push_back(value(random));
    return values;
}

TEST(RecordSortTest, StableSortGivesQkSortsOrderOnConsistentColumns) {
    auto integer = [](std::mt19937& r) {
        static const char* specials[] = {"2147483647", "-2147483648", "-1", "0", "+5", "007"};
        switch (r() % 4) {
        case 0: return std::string(specials[r() % 6]);
        case 1: return std::string();  // empty counts as 0
        default: return std::to_string(static_cast<int>(r() % 21) - 10);  // many ties
        }
    };
    auto text = [](std::mt19937& r) {
        static const char* words[] = {"apple", "Apple", "APPLE", "banana", "b", "", "Zed", "zed", "a-1", "9x", "-"};
        return std::string(words[r() % 11]);
    };
    struct Case {
        const char* name;
        unsigned seed;
        int rows;
        std::function<std::string(std::mt19937&)> value;
    } cases[] = {
        {"integers with ties, extremes and empties", 11, 300, integer},
        {"integers, another seed", 12, 257, integer},
        {"texts differing only in case, with empties", 21, 300, text},
        {"texts, another seed", 22, 199, text},
        {"all empty", 31, 50, [](std::mt19937&) { return std::string(); }},
        {"one row", 41, 1, integer},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> values = column(c.seed, c.rows, c.value);
        for (bool descending : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (descending ? ", descending" : ", ascending"));
            const Orders o = sortBoth(values, descending);
            EXPECT_TRUE(o.consistent);
            EXPECT_EQ(o.stable, o.quadratic);
        }
    }
}

TEST(RecordSortTest, MixedColumnsAreLeftToQkSort) {
    for (const std::vector<std::string>& values :
         {std::vector<std::string>{"10", "abc", "9"}, std::vector<std::string>{"x", "", "-3"}}) {
        const Orders o = sortBoth(values, false);
        EXPECT_FALSE(o.consistent);
        // Untouched: the rows keep their order.
        EXPECT_EQ(o.stable, (std::vector<int>{0, 1, 2}));
    }
}

TEST(RecordSortTest, SortByColumnKeepsQkSortsResultOnMixedAndConsistentColumns) {
    struct Case {
        std::vector<std::string> values;
        std::vector<std::string> ascending;
    } cases[] = {
        {{"10", "9", "", "-1"}, {"-1", "", "9", "10"}},
        {{"b", "A", "a", "B"}, {"A", "a", "b", "B"}},
        // Mixed: the insertion sort's own result, whatever the comparison's inconsistency makes it.
        {{"10", "abc", "9"}, {"9", "10", "abc"}},
    };
    for (const Case& c : cases) {
        category cat("C");
        cat.addHeader("Hidden", htOneLine, hsSecret);
        cat.addHeader("Value", htOneLine, hsShown);
        for (const std::string& v : c.values) cat.insertRow({"h" + v, v});
        cat.sortByColumn(1);
        std::vector<std::string> got;
        for (int i = 0; i < cat.rowCount(); ++i) got.push_back(cat.itemText(i, 1));
        EXPECT_EQ(got, c.ascending);
    }
}

// ---- drawing ----

class HeaderDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        bitmap = std::make_unique<TBitmap>();
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(40, 20);
    }
    int width(const std::string& s) { return bitmap->GetCanvas()->TextWidth(s.c_str()); }
    std::unique_ptr<TBitmap> bitmap;
};

TEST_F(HeaderDrawingTest, CaptionsAreCutToTheLongestFittingTextEndingInDots) {
    struct Case {
        const char* caption;
        int extra;  // available = width(caption) + extra
        bool fits;
    } cases[] = {
        {"Password", 0, true},
        {"Password", 5, true},
        {"Password", -1, false},
        {"Email Address", -20, false},
        {"Web Site", -1000, false},  // not even "..." fits: "..." stays
        {"", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption) + " " + std::to_string(c.extra));
        const int available = width(c.caption) + c.extra;
        const std::string got = fitHeaderCaption(c.caption, available, [this](const std::string& s) { return width(s); });
        if (c.fits) {
            EXPECT_EQ(got, c.caption);
            continue;
        }
        ASSERT_GE(got.size(), 3u);
        EXPECT_EQ(got.substr(got.size() - 3), "...");
        const std::string kept = got.substr(0, got.size() - 3);
        EXPECT_EQ(std::string(c.caption).compare(0, kept.size(), kept), 0) << got;
        if (got == "...") continue;
        EXPECT_LE(width(got), available);
        // One more character would not have fitted.
        const std::string longer = std::string(c.caption).substr(0, kept.size() + 1) + "...";
        EXPECT_GT(width(longer), available);
    }
}

TEST_F(HeaderDrawingTest, SortArrowPointsUpAscendingAndDownDescending) {
    const TColor background = clBtnFace;
    const COLORREF highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    ASSERT_NE(highlight, shadow);
    struct Case {
        bool descending;
        // (x from the right end, y, expected colour or the background)
        struct Pixel {
            int fromRight, y;
            int expect;  // 0 background, 1 highlight, 2 shadow
        } pixels[4];
    } cases[] = {
        // Up: a highlight base at y 13, the tip at y 7, the left edge in shadow.
        {false, {{12, 13, 1}, {8, 13, 1}, {12, 7, 0}, {12, 10, 2}}},
        // Down: a shadow base at y 7, the tip at y 13, the right edge in highlight.
        {true, {{12, 7, 2}, {8, 7, 2}, {12, 13, 0}, {8, 10, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descending ? "descending" : "ascending");
        TCanvas* canvas = bitmap->GetCanvas();
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(background);
        canvas->FillRect(TRect(0, 0, 40, 20));
        drawSortArrow(canvas, 30, c.descending);
        for (const auto& p : c.pixels) {
            const COLORREF got = ColorToRGB(canvas->GetPixel(30 - p.fromRight, p.y));
            const COLORREF expect =
                p.expect == 1 ? highlight : p.expect == 2 ? shadow : static_cast<COLORREF>(ColorToRGB(background));
            EXPECT_EQ(got, expect) << "at R-" << p.fromRight << ", " << p.y;
        }
    }
}

}  // namespace
