// The row codec and the small string functions: the documented edge cases as
// tables, plus the round trips that the multi-column list box relies on.
#include "components/runtime/qclstrings.h"

#include "framework/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const char kSep = ';';

TEST(RowCodec, CodeStringJoinsAllElementsUpToHigh) {
    const std::string seven[] = {"a", "b", "c", "d", "e", "f", "g"};
    EXPECT_EQ(QCLCodeString(seven, 6, kSep), "a;b;c;d;e;f;g");
    EXPECT_EQ(QCLCodeString(seven, 0, kSep), "a");
    EXPECT_EQ(QCLCodeString(seven, 2, '\x01'), "a\x01" "b\x01" "c");

    const std::string withEmpty[] = {"x", "", "y"};
    EXPECT_EQ(QCLCodeString(withEmpty, 2, '\x01'), "x\x01\x01y");
    const std::string empties[] = {"", "", ""};
    EXPECT_EQ(QCLCodeString(empties, 2, kSep), ";;");
}

TEST(RowCodec, CodeIntWritesDecimalWithSign) {
    const std::int32_t numbers[] = {0, -5, 42, 2147483647, -2147483647 - 1};
    EXPECT_EQ(QCLCodeInt(numbers, 4, kSep), "0;-5;42;2147483647;-2147483648");
    EXPECT_EQ(QCLCodeInt(numbers, 0, kSep), "0");
}

TEST(RowCodec, FieldCount) {
    struct Case { std::string s; int count; } cases[] = {
        {"", 0}, {"x", 1}, {";", 2}, {"x;", 2}, {"a;b;c", 3}, {";;", 3}, {"\0"s, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLGetCodedCount(c.s, kSep), c.count) << '"' << c.s << '"';
}

TEST(RowCodec, GetField) {
    struct Case { std::string s; int field; std::string value; } cases[] = {
        {"a;b;c", 0, "a"}, {"a;b;c", 1, "b"}, {"a;b;c", 2, "c"}, {"a;b;c", 3, ""},
        {"abc", 0, "abc"}, {"abc", 1, ""}, {"", 0, ""}, {";", 0, ""}, {";", 1, ""},
        {"a;;c", 1, ""}, {"a;;c", 2, "c"}, {"a;b", -1, ""}, {"x\0y;z"s, 0, "x\0y"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLGetCodedString(c.s, kSep, c.field), c.value) << '"' << c.s << "\" field " << c.field;
}

TEST(RowCodec, SetFieldReplacesOnlyThatField) {
    struct Case { std::string s; int field; std::string value; std::string result; } cases[] = {
        {"a;b;c", 1, "v", "a;v;c"},
        {"a;b;c", 0, "v", "v;b;c"},
        {"a;b;c", 2, "", "a;b;"},
        {"a", 3, "v", "a;;;v"},
        {"", 0, "v", "v"},
        {"", 2, "v", ";;v"},
        {"a;b", 1, "longer value", "a;longer value"},
        {"a;b;c", 5, "", "a;b;c;;;"},
    };
    for (auto c : cases) {
        std::string s = c.s;
        QCLSetCodedString(s, c.value, kSep, c.field);
        EXPECT_EQ(s, c.result) << '"' << c.s << "\" field " << c.field;
    }
}

TEST(RowCodec, ValueHoldingTheDelimiterBecomesTwoFields) {
    const std::string row[] = {"name", "user", "note"};
    std::string s = QCLCodeString(row, 2, '\x01');
    QCLSetCodedString(s, "us\x01" "er", '\x01', 1);
    EXPECT_EQ(QCLGetCodedCount(s, '\x01'), 4);
    EXPECT_EQ(QCLGetCodedString(s, '\x01', 1), "us");
    EXPECT_EQ(QCLGetCodedString(s, '\x01', 2), "er");
    EXPECT_EQ(QCLGetCodedString(s, '\x01', 3), "note");
}

TEST(RowCodec, EveryFieldReadsBackWhatWasCoded) {
    const std::string fields[] = {"", "Mail", "user@example.org", "p;w", " ", ""};
    const std::string s = QCLCodeString(fields, 5, '\x01');
    ASSERT_EQ(QCLGetCodedCount(s, '\x01'), 6);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(QCLGetCodedString(s, '\x01', i), fields[i]) << i;
}

TEST(StringFunctions, FillingAndPadding) {
    EXPECT_EQ(QCLFillString(3, 'x'), "xxx");
    EXPECT_EQ(QCLFillString(0, 'x'), "");
    EXPECT_EQ(QCLFillString(-2, 'x'), "");
    EXPECT_EQ(QCLSpace(2), "  ");
    EXPECT_EQ(QCLSpace(-1), "");
    EXPECT_EQ(QCLAddZeroL("7", 3), "007");
    EXPECT_EQ(QCLAddZeroL("1234", 3), "1234");
    EXPECT_EQ(QCLAddZeroR("7", 3), "700");
    EXPECT_EQ(QCLAddSpaceL("ab", 4), "  ab");
    EXPECT_EQ(QCLAddSpaceR("ab", 4), "ab  ");
    EXPECT_EQ(QCLAddCharL("", 2, '*'), "**");
    EXPECT_EQ(QCLAddCharR("abc", 3, '*'), "abc");
}

TEST(StringFunctions, CountingAndSearching) {
    EXPECT_EQ(QCLCount("", 'a'), 0);
    EXPECT_EQ(QCLCount("banana", 'a'), 3);
    EXPECT_EQ(QCLBackPos('a', ""), 0);
    EXPECT_EQ(QCLBackPos('a', "banana"), 6);
    EXPECT_EQ(QCLBackPos('b', "banana"), 1);
    EXPECT_EQ(QCLBackPos('z', "banana"), 0);
    EXPECT_EQ(QCLScanToNumber("abc7d9"), 4);
    EXPECT_EQ(QCLScanToNumber("1"), 1);
    EXPECT_EQ(QCLScanToNumber("none"), 0);
    EXPECT_EQ(QCLScanToNumber(""), 0);
}

TEST(StringFunctions, BlankMeansSpacesOnly) {
    EXPECT_TRUE(QCLEmpty(""));
    EXPECT_TRUE(QCLEmpty("   "));
    EXPECT_FALSE(QCLEmpty("\t"));
    EXPECT_FALSE(QCLEmpty(" x "));
}

TEST(StringFunctions, TrimRemovesSpacesAndControlBytes) {
    EXPECT_EQ(QCLTrim(" \t\r\nabc \x01"), "abc");
    EXPECT_EQ(QCLTrimL("  a b  "), "a b  ");
    EXPECT_EQ(QCLTrimR("  a b  "), "  a b");
    EXPECT_EQ(QCLTrim("\xA0x\xA0"), "\xA0x\xA0");  // bytes above 127 are content
    EXPECT_EQ(QCLTrim("   "), "");
}

TEST(StringFunctions, FirstAndSecondString) {
    EXPECT_EQ(QCLGetFirstString("key=value=x", '='), "key");
    EXPECT_EQ(QCLGetSecondString("key=value=x", '='), "value=x");
    EXPECT_EQ(QCLGetFirstString("plain", '='), "plain");
    EXPECT_EQ(QCLGetSecondString("plain", '='), "plain");
    const std::string tail(300, 'q');
    EXPECT_EQ(QCLGetSecondString("x=" + tail, '='), std::string(255, 'q'));
}

TEST(StringFunctions, ReplaceAndSlashes) {
    EXPECT_EQ(QCLReplaceChar("a/b/c", '/', '\\'), "a\\b\\c");
    struct Case { std::string in, added, removed; } cases[] = {
        {"", "\\", ""},
        {"   ", "   \\", "   "},
        {"C:\\", "C:\\", "C:"},
        {"C:\\dir", "C:\\dir\\", "C:\\dir"},
        {"\\", "\\", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QCLSlashAdd(c.in), c.added) << c.in;
        EXPECT_EQ(QCLSlashRemove(c.in), c.removed) << c.in;
    }
}

}  // namespace

namespace {

TEST(RowCodec, GetCodedInt) {
    EXPECT_EQ(QCLGetCodedInt("7;42;;x", ';', 1), 42);
    EXPECT_EQ(QCLGetCodedInt("7;42;;x", ';', 0), 7);
    EXPECT_EQ(QCLGetCodedInt("7;42;;x", ';', 2), -1);  // empty field
    EXPECT_EQ(QCLGetCodedInt("7;42;;x", ';', 9), -1);  // missing field
    EXPECT_EQ(QCLGetCodedInt("-5", ';', 0), -5);
    EXPECT_THROW(QCLGetCodedInt("7;42;;x", ';', 3), EConvertError);
    EXPECT_THROW(QCLGetCodedInt(" 1", ';', 0), EConvertError);
}

}  // namespace
