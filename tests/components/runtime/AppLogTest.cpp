// The application object's text log: name rules, entry format, the header,
// and what happens when the file grows past its limit.
#include "components/runtime/qclclass.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class AppLog : public brimtest::TempFolderTest {
protected:
    AppLog() {
        app.SetLogPrefix(ppFixed);
        app.SetLogName(temp.file("app.log"));
    }
    std::string log() { return temp.readFile("app.log"); }
    TQCLApplication app{nullptr};
};

TEST_F(AppLog, NameRules) {
    EXPECT_EQ(app.GetLogName(), temp.file("app.log"));
    app.SetLogName(temp.file("plain"));
    EXPECT_EQ(app.GetLogName(), temp.file("plain.LOG"));
    app.SetLogPrefix(ppProgram);
    EXPECT_EQ(app.GetLogName(), QCLAppPath() + "plain.LOG");
    app.SetLogName("");
    EXPECT_EQ(app.GetLogName(), QCLAppPath() + "runtime_tests.LOG");
}

TEST_F(AppLog, FirstWriteStartsTheFileWithAHeaderThenNumberedEntries) {
    app.LogWrite("first");
    app.LogWrite("#Line");
    app.LogWrite("second");
    app.LogWrite("#CR");
    const std::string text = log();
    EXPECT_EQ(text.rfind("\r\nLogFile started: ", 0), 0u);
    EXPECT_NE(text.find("Application    : runtime_tests\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Version"), std::string::npos);
    const std::string entries = "Entries:\r\n00001: first\r\n" + std::string(80, '*') + "\r\n00002: second\r\n\r\n";
    EXPECT_EQ(text.substr(text.size() - entries.size()), entries);
}

TEST_F(AppLog, TemplateAndOptionsShapeTheLine) {
    app.Options = TQCLApplicationOptions{};
    app.LogTemplate = "l#x";
    app.LogWrite("plain");
    EXPECT_EQ(log(), "plain\r\n");
}

TEST_F(AppLog, OversizedFileIsBackedUpOrKeptAsTheEventDecides) {
    app.Options = TQCLApplicationOptions{aoLogNr};
    temp.writeFile("app.log", std::string(200, 'x'));
    app.MaxLogSize = 150;
    app.LogAction = laBackupLog;
    app.LogWrite("after backup");
    EXPECT_EQ(temp.readFile("app.l0"), std::string(200, 'x'));
    EXPECT_NE(log().find("00001: after backup\r\n"), std::string::npos);

    temp.writeFile("app.log", std::string(200, 'y'));
    int asked = 0;
    app.OnMaxLogSize = [&](TObject*, const AnsiString& name, bool& cancel) {
        ++asked;
        EXPECT_EQ(name, temp.file("app.log"));
        cancel = true;
    };
    app.LogWrite("refused");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(log(), std::string(200, 'y'));
}

TEST_F(AppLog, ExceptionsAreLoggedWithTheSender) {
    app.Options = TQCLApplicationOptions{};
    app.Name = "QCLApp";
    try {
        throw Exception("broken");
    } catch (...) {
        app.LogException(&app);
    }
    EXPECT_EQ(log().rfind("TQCLApplication (Name: QCLApp): broken, Address: ", 0), 0u);
}

}  // namespace
