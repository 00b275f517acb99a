// The trace log: line format, the size rule at opening, and silence while off.
#include "vault/logger.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

SYSTEMTIME at(WORD day, WORD month, WORD year, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t{};
    t.wDay = day;
    t.wMonth = month;
    t.wYear = year;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    return t;
}

class LoggerTest : public brimtest::TempFolderTest {
protected:
    void switchOn(logger& log) {
        brimtest::MessageBoxScript boxes({mbrOk});
        log.toggle();
        ASSERT_EQ(boxes.texts(), std::vector<std::string>{"Logging has been enabled."});
        EXPECT_EQ(boxes.shown()[0].title, "Brimsafe");
        EXPECT_EQ(boxes.shown()[0].icon, mbiInformation);
    }
    void switchOff(logger& log) {
        brimtest::MessageBoxScript boxes({mbrOk});
        log.toggle();
        ASSERT_EQ(boxes.texts(), std::vector<std::string>{"Logging has been disabled."});
    }
};

TEST_F(LoggerTest, LinePrefixHasNoLeadingZeros) {
    EXPECT_EQ(logger::linePrefix(at(7, 3, 2005, 9, 5, 3)), "7/3/2005 - 9:5:3 - ");
    EXPECT_EQ(logger::linePrefix(at(31, 12, 2026, 23, 59, 59)), "31/12/2026 - 23:59:59 - ");
}

TEST_F(LoggerTest, NothingIsCreatedWhileOff) {
    logger log(temp.file("Brimsafe.log"));
    log.write("loadDB");
    EXPECT_FALSE(temp.exists("Brimsafe.log"));
}

TEST_F(LoggerTest, WritesLinesWithInjectedClockAndReopensToAppend) {
    logger log(temp.file("Brimsafe.log"));
    log.setClockForTesting([] { return at(7, 3, 2005, 9, 5, 3); });
    switchOn(log);
    log.write("first");
    switchOff(log);
    log.write("ignored");
    switchOn(log);
    log.write("two\r\nlines");
    EXPECT_EQ(temp.readFile("Brimsafe.log"),
              "7/3/2005 - 9:5:3 - first\r\n7/3/2005 - 9:5:3 - two\r\nlines\r\n");
}

TEST_F(LoggerTest, SizeRuleAppliesWhenTheFileIsOpened) {
    struct Case {
        size_t existingBytes;
        bool emptied;
    };
    for (Case c : {Case{102400, false}, Case{102401, true}}) {
        temp.writeFile("Brimsafe.log", std::string(c.existingBytes, 'x'));
        logger log(temp.file("Brimsafe.log"));
        log.setClockForTesting([] { return at(1, 1, 2020, 0, 0, 0); });
        switchOn(log);
        log.write("line");
        switchOff(log);
        const std::string line = "1/1/2020 - 0:0:0 - line\r\n";
        std::string content = temp.readFile("Brimsafe.log");
        EXPECT_EQ(content.size(), (c.emptied ? 0 : c.existingBytes) + line.size()) << c.existingBytes;
        EXPECT_EQ(content.substr(content.size() - line.size()), line);
    }
}

}  // namespace
