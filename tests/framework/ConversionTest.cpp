// Conversions whose exact rules callers rely on: strict decimal StrToInt,
// Round with halves to even, exact ratios, Format and the string helpers;
// and the file search with its own result type.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

#include "framework/LocaleConv.h"
#include "framework/SysUtils.h"

namespace {

TEST(StrToInt, AcceptsOnlyStrictSignedDecimalInRange) {
    struct Case {
        const char* text;
        int value;
    };
    const Case accepted[] = {{"0", 0},       {"-0", 0},       {"+7", 7},
                             {"007", 7},     {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
                             {"-15", -15},   {"000000000000000000012", 12}};
    for (const Case& c : accepted) {
        int value = -1;
        EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    }
    const char* rejected[] = {"", " 1", "1 ", "2147483648", "-2147483649", "$1F", "0x10", "1e3",
                              "+", "-", "+-1", "1.0", "99999999999999999999999", "\t5"};
    for (const char* text : rejected) {
        int value = 42;
        EXPECT_FALSE(TryStrToInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << "a failed conversion leaves the output alone";
        EXPECT_EQ(StrToIntDef(text, -9), -9);
        try {
            StrToInt(text);
            ADD_FAILURE() << "no exception for \"" << text << '"';
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(Round, HalvesGoToEvenAndTruncGoesTowardZero) {
    struct Case {
        double value;
        int64_t rounded, truncated;
    };
    const Case cases[] = {{0.5, 0, 0},   {1.5, 2, 1},   {2.5, 2, 2},     {3.5, 4, 3},  {-0.5, 0, 0},
                          {-1.5, -2, -1}, {-2.5, -2, -2}, {2.4999, 2, 2},  {2.5001, 3, 2}, {-7.7, -8, -7},
                          {1e10 + 0.5, 10000000000LL, 10000000000LL}};
    for (const Case& c : cases) {
        EXPECT_EQ(Round(c.value), c.rounded) << c.value;
        EXPECT_EQ(Trunc(c.value), c.truncated) << c.value;
    }
}

TEST(Round, ExactRatiosRoundHalvesToEven) {
    struct Case {
        int64_t num, den, expected;
    };
    const Case cases[] = {{5, 2, 2},   {7, 2, 4},   {-5, 2, -2},  {-7, 2, -4}, {1, 3, 0},  {2, 3, 1},
                          {-2, 3, -1}, {10, -4, -2}, {29, 1, 29}, {0, 5, 0},   {57, 2, 28}, {59, 2, 30}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
    // A ratio that double arithmetic gets wrong at the half: 0.29 * 100 is below 29.
    EXPECT_EQ(RoundHalfEven(29 * 100, 100), 29);
}

TEST(Format, ConvertsTheSupportedSubsetAndRejectsMismatches) {
    EXPECT_EQ(Format("%s: %d items, %5.2f%%", {"list", 3, 12.3456}), "list: 3 items, 12.35%");
    EXPECT_EQ(Format("[%-4d][%04X][%x]", {7, 255, -1}), "[7   ][00FF][ffffffff]");
    EXPECT_EQ(Format("%*d|%c|%u", {3, 5, 'z', 4000000000u}), "  5|z|4000000000");
    EXPECT_EQ(Format("%s", {AnsiString("a\0b", 3)}), AnsiString("a\0b", 3));
    EXPECT_THROW(Format("%d", {"text"}), EConvertError);
    EXPECT_THROW(Format("%s %s", {"one"}), EConvertError);
    EXPECT_THROW(Format("100%", {}), EConvertError);
}

TEST(Strings, OneBasedHelpersAndCaseRules) {
    EXPECT_EQ(Pos("lo", "hello"), 4);
    EXPECT_EQ(Pos("x", "hello"), 0);
    EXPECT_EQ(Copy("hello", 2, 3), "ell");
    EXPECT_EQ(Copy("hello", 4, 100), "lo");
    EXPECT_EQ(Copy("hello", 9, 1), "");
    EXPECT_EQ(Trim(AnsiString("\x01 \t text \x1f", 11)), "text");
    EXPECT_EQ(UpperCase("abc\xe9"), "ABC\xe9") << "ASCII only";
    EXPECT_EQ(AnsiUpperCase("abc\xe9"), "ABC\xc9") << "code page 1252";
    EXPECT_EQ(CompareText("Apple", "aPPLE"), 0);
    EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {rfReplaceAll}), "a+b+c");
    EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
}

TEST(FileNames, PartsOfAPath) {
    EXPECT_EQ(ExtractFilePath("C:\\dir\\sub\\file.vlt"), "C:\\dir\\sub\\");
    EXPECT_EQ(ExtractFileDir("C:\\dir\\sub\\file.vlt"), "C:\\dir\\sub");
    EXPECT_EQ(ExtractFileDir("C:\\file.vlt"), "C:\\");
    EXPECT_EQ(ExtractFileName("C:\\dir\\file.tar.gz"), "file.tar.gz");
    EXPECT_EQ(ExtractFileExt("C:\\dir.x\\file"), "");
    EXPECT_EQ(ExtractFileExt("C:\\dir\\file.vltenc"), ".vltenc");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\c.txt", ".bak"), "C:\\a.b\\c.bak");
    EXPECT_EQ(ChangeFileExt("C:\\a.b\\c", ".bak"), "C:\\a.b\\c.bak");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\x"), "C:\\x\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\x\\"), "C:\\x");
}

// A search admits hidden and directory entries only when asked for, answers
// Found for each entry, and ends with a system error code, never Found.
TEST(FileSearch, AttributesChooseTheEntriesAndTheEndIsAnError) {
    brimtest::TempFolder temp;
    temp.writeFile("plain.txt", "x");
    temp.writeFile("hidden.txt", "x");
    ASSERT_TRUE(SetFileAttributesA(temp.file("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(CreateDirectoryA(temp.file("sub").c_str(), nullptr));
    struct Case {
        const char* pattern;
        int attr;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.txt", 0, {"plain.txt"}},
        {"*.txt", faHidden, {"hidden.txt", "plain.txt"}},
        {"*", faDirectory, {".", "..", "plain.txt", "sub"}},
        {"*.none", faAnyFile, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " attr " + std::to_string(c.attr));
        std::vector<std::string> names;
        TSearchRec rec;
        TFindResult result = FindFirst(temp.file(c.pattern), c.attr, rec);
        for (int guard = 0; result == TFindResult::Found && guard < 100; ++guard) {
            names.push_back(rec.Name);
            result = FindNext(rec);
        }
        FindClose(rec);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.names);
        EXPECT_NE(FindErrorCode(result), 0u);
        EXPECT_EQ(FindErrorCode(result), c.names.empty() ? static_cast<DWORD>(ERROR_FILE_NOT_FOUND)
                                                         : static_cast<DWORD>(ERROR_NO_MORE_FILES));
    }
    TSearchRec missing;
    EXPECT_NE(FindFirst(temp.file("no such folder\\*"), faAnyFile, missing), TFindResult::Found);
}

TEST(Dates, EncodeAndDecodeRoundTrip) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
    WORD y, m, d;
    DecodeDate(EncodeDate(2024, 2, 29) + 0.75, y, m, d);
    EXPECT_EQ(y, 2024);
    EXPECT_EQ(m, 2);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(DayOfWeek(EncodeDate(2026, 12, 10)), 5) << "a Thursday";
    EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
}

TEST(StringResources, LoadStrReadsTheModuleAndMissingGivesEmpty) {
    EXPECT_EQ(LoadStr(65244), "Not enough timers available");
    EXPECT_EQ(LoadStr(12345), "");
    try {
        throw EOutOfResources(65244);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Not enough timers available");
    }
}

}  // namespace

namespace {

// Locale conversions with the settings pinned by the test.
class LocaleConversions : public ::testing::Test {
protected:
    void SetUp() override { saved_ = FormatSettings(); }
    void TearDown() override { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

TEST_F(LocaleConversions, RoundTripInTwoPinnedLocales) {
    TFormatSettings& fs = FormatSettings();
    struct Case {
        char decimal, dateSep;
        const char *shortDate, *longTime, *date, *time, *number;
    };
    const Case cases[] = {{'.', '/', "m/d/yyyy", "h:nn:ss ampm", "2/29/2024", "1:05:09 PM", "1234.5"},
                          {',', '.', "dd/mm/yyyy", "hh:nn:ss", "29.02.2024", "13:05:09", "1234,5"}};
    for (const Case& c : cases) {
        fs.DecimalSeparator = c.decimal;
        fs.DateSeparator = c.dateSep;
        fs.TimeSeparator = ':';
        fs.ShortDateFormat = c.shortDate;
        fs.LongTimeFormat = c.longTime;
        TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
        EXPECT_EQ(DateToStr(when), c.date);
        EXPECT_EQ(TimeToStr(when), c.time);
        EXPECT_DOUBLE_EQ(StrToDate(c.date), EncodeDate(2024, 2, 29));
        EXPECT_NEAR(StrToTime(c.time), EncodeTime(13, 5, 9, 0), 1e-9);
        EXPECT_NEAR(StrToDateTime(DateTimeToStr(when)), when, 1e-8);
        EXPECT_EQ(FloatToStrLocale(1234.5), c.number);
        EXPECT_DOUBLE_EQ(StrToFloat(c.number), 1234.5);
    }
    EXPECT_THROW(StrToFloat("1.2.3"), EConvertError);
    EXPECT_THROW(StrToFloat("12abc"), EConvertError);
    EXPECT_THROW(StrToDate("31.02.2024"), EConvertError);
    EXPECT_THROW(StrToTime("25:00"), EConvertError);
    try {
        StrToDate("tomorrow");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'tomorrow' is not a valid date");
    }
}

TEST_F(LocaleConversions, SettingsComeFromTheUserLocale) {
    GetLocaleFormatSettings();
    char decimal[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal);
    EXPECT_EQ(FormatSettings().DecimalSeparator, decimal[0]);
    TDateTime today = Date();
    EXPECT_DOUBLE_EQ(StrToDate(DateToStr(today)), today);
}

}  // namespace
