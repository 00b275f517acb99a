// The message box on a real window, answered by finding it and clicking a button,
// the scripted seam that replaces it in other tests, and the notices of the window-free
// layers reaching it once it is registered.
#include "skin/ZM_MessageBox.h"

#include "fileenc/FileJobChecks.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessageBoxReader.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "vault/logger.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

TEST(MessageBoxWindow, ShowsTheTextAndReturnsTheClickedButton) {
    brimtest::ScopedMessageBoxHandler none(nullptr);  // with nothing registered the box shows itself
    struct Case {
        int buttons;
        const char* click;
        int expected;
    };
    const Case cases[] = {
        {mbsOk, "OK", mbrOk},
        {mbsOkCancel, "Cancel", mbrCancel},
        {mbsYesNo, "Yes", mbrYes},
        {mbsYesNo, "No", mbrNo},
        {mbsRetryCancel, "Retry", mbrRetry},
    };
    for (const Case& c : cases) {
        brimtest::DialogAnswerer answerer({{"Brimsafe", c.click, nullptr}});
        int result = ShowMessageBoxNoOwner("Some of your files are missing or corrupt.  Please reinstall Brimsafe.",
                                           "Brimsafe", c.buttons, mbiCaution);
        ASSERT_TRUE(answerer.finished(1000)) << c.click;
        EXPECT_EQ(result, c.expected) << c.click;
        auto seen = answerer.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].message(), "Some of your files are missing or corrupt.  Please reinstall Brimsafe.");
    }
}

// Escape, like the close box, means Cancel; in the four-button question that is Abort, which
// stops a whole batch, never a No that would go on with the next file.
TEST(MessageBoxWindow, EscapeAndTheCloseBoxAnswerAbortInTheFourButtonQuestion) {
    auto escape = [](HWND dialog) {
        HWND button = brimtest::findChildByText(dialog, "Yes");
        if (!button) button = brimtest::findChildByText(dialog, "OK");
        if (!button) return false;
        PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(button, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        return true;
    };
    auto closeBox = [](HWND dialog) { return PostMessageA(dialog, WM_CLOSE, 0, 0) != 0; };
    struct Case {
        const char* what;
        std::function<bool(HWND)> action;
        int buttons;
        int expected;
    };
    const Case cases[] = {
        {"Escape", escape, mbsYesAllNoAbort, mbrAbort},
        {"close box", closeBox, mbsYesAllNoAbort, mbrAbort},
        {"Escape in OK / Cancel", escape, mbsOkCancel, mbrCancel},
    };
    brimtest::ScopedMessageBoxHandler none(nullptr);  // with nothing registered the box shows itself
    for (const Case& c : cases) {
        brimtest::DialogAnswerer answerer({{"Brimsafe", "", c.action}});
        int result = ShowMessageBoxNoOwner("Are you sure you want to encrypt this file?", "Brimsafe", c.buttons,
                                           mbiQuestion);
        ASSERT_TRUE(answerer.finished(1000)) << c.what;
        EXPECT_EQ(result, c.expected) << c.what;
    }
}

TEST(MessageBoxScriptSeam, ScriptsAnswersAndCapturesTexts) {
    brimtest::MessageBoxScript script({mbrNo, mbrYesToAll});
    EXPECT_EQ(ShowMessageBox(nullptr, "first", "Brimsafe", mbsYesNo, mbiQuestion), mbrNo);
    EXPECT_EQ(ShowMessageBoxNoOwner("second", "Other", mbsYesAllNoAbort, mbiCaution), mbrYesToAll);
    ASSERT_EQ(script.shown().size(), 2u);
    EXPECT_TRUE(script.shown()[0].hasOwner);
    EXPECT_FALSE(script.shown()[1].hasOwner);
    EXPECT_EQ(script.shown()[1].title, "Other");
    EXPECT_EQ(script.shown()[1].buttons, mbsYesAllNoAbort);
    EXPECT_EQ(script.texts(), (std::vector<std::string>{"first", "second"}));
}

// Only the owner matters here: every notice of the checks goes to the box.
class NoticeOnlyHost : public FileJobHost {
public:
    TForm* messageOwner() override { return nullptr; }
    void readVaultID(unsigned char vaultID[16]) override { std::fill(vaultID, vaultID + 16, 0); }
    std::string vaultName() override { return "My Vault"; }
    std::vector<std::string> vaultFiles() override { return {}; }
    bool nextDataKey(unsigned char[16], DWORD& error) override {
        error = 0;
        return false;
    }
    void copyVaultKey(unsigned char key[16]) override { std::fill(key, key + 16, 0); }
    FileJobReport runFileJob(const FileJobSetup&) override { return {}; }
};

TEST(MessageBoxWindow, RegisteredItShowsTheNoticesOfTheVaultAndTheFileJobs) {
    brimtest::ScopedMessageBoxHandler none(nullptr);
    RegisterMessageBox();
    brimtest::TempFolder temp;
    logger log(temp.file("trace.log"));
    NoticeOnlyHost host;
    FileJobChecks checks(host);
    struct Case {
        const char* what;
        std::function<int()> notify;
        const char* text;
        const char* click;
        int expected;  // the answer the layer gets back, where it gets one
    };
    const Case cases[] = {
        {"trace log switched on", [&] { log.toggle(); return mbrOk; }, "Logging has been enabled.", "OK", mbrOk},
        {"file error of the checks", [&] { checks.showFileError(ERROR_FILE_NOT_FOUND, "a.txt"); return mbrOk; },
         "Brimsafe cannot find a.txt.  Perhaps it has been deleted or moved.", "OK", mbrOk},
        {"question", [] { return ShowNotice(nullptr, "Overwrite it?", "Brimsafe", mbsYesNo, mbiQuestion); },
         "Overwrite it?", "No", mbrNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::DialogAnswerer answerer({{"Brimsafe", c.click, nullptr}});
        EXPECT_EQ(c.notify(), c.expected);
        ASSERT_TRUE(answerer.finished(1000));
        auto seen = answerer.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].message(), c.text);
    }
}

TEST(MessageBoxScriptSeam, ScriptsTheRegisteredBoxAndGivesItBack) {
    brimtest::ScopedMessageBoxHandler none(nullptr);
    RegisterMessageBox();
    {
        brimtest::MessageBoxScript script({mbrYesToAll});
        EXPECT_EQ(ShowNotice(nullptr, "notice", "Brimsafe", mbsYesAllNoAbort, mbiQuestion), mbrYesToAll);
        EXPECT_EQ(script.texts(), std::vector<std::string>{"notice"});
    }
    EXPECT_TRUE(HasMessageBoxHandler()) << "the script put the registered box back";
}

class RegistryFixtureTest : public brimtest::FreshRegistry {};

TEST_F(RegistryFixtureTest, StartsWithoutTheProductKeyAndReadsRawValues) {
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    // A one-byte REG_DWORD reads back as stored: its type and its single byte.
    const BYTE state = 'v';
    RegSetValueExA(key, "WindowState", 0, REG_DWORD, &state, 1);
    RegCloseKey(key);
    brimtest::RawValue value = brimtest::readRawValue(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, "WindowState");
    ASSERT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value.bytes, (std::vector<unsigned char>{'v'}));
    brimtest::clearProductRegistry();
    EXPECT_FALSE(brimtest::readRawValue(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, "WindowState").exists);
}

TEST(TestEnvironment, AnsiCodePageIsPinned) {
    // Texts are 8-bit ANSI; the harness pins the locale so the code page is the same on every machine.
    EXPECT_EQ(GetACP(), 1252u);
}

}  // namespace

// The reader the programs' tests use for boxes of other processes, here on a box of this one.
TEST(MessageBoxReader, ReadsAndAnswersTheShownBox) {
    brimtest::ScopedMessageBoxHandler none(nullptr);
    brimtest::MessageBoxContents read;
    bool clicked = false;
    std::thread watcher([&] {
        HWND box = brimtest::waitForMessageBox(GetCurrentProcessId(), 10000);
        if (!box || !brimtest::readMessageBox(box, read)) return;
        clicked = brimtest::clickMessageBoxButton(box, "no");
    });
    int result = ShowMessageBoxNoOwner("Are you sure you want to uninstall Brimsafe?", "Brimsafe Uninstall", mbsYesNo,
                                       mbiCaution);
    watcher.join();
    EXPECT_TRUE(clicked);
    EXPECT_EQ(result, mbrNo);
    EXPECT_EQ(read.title, "Brimsafe Uninstall");
    EXPECT_EQ(read.text, "Are you sure you want to uninstall Brimsafe?");
    EXPECT_EQ(read.buttons, (std::vector<std::string>{"Yes", "No"}));
}
