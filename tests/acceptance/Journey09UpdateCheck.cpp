// Journey: the weekly update check comes due. On the first start the maker's server stalls halfway
// through the version file: after the time limit the check gives up with its message, keeps nothing of
// the half file and stays due. On the next start the server is slow and the user cancels: its late
// answer changes nothing. Then the server answers with a newer version: the check shows its window,
// asks, and the update page opens in the user's browser; the start after that checks nothing, since the
// week starts again.
//
// Tricky points:
// - The update check runs at start-up before any vault is opened, so no vault is needed: after each
//   check the program goes on to its vault prompt, where the user leaves.
// - The server is the tests' loopback server (its ctest fixture starts it); the address the program
//   asks is the settings value "UpdateBaseUrl", as a test machine's install would have it.
// - The user's browser is a recorder program registered for http addresses for the journey (and put
//   back after it): it writes down the address it was asked to open, so nothing leaves the machine.
// - The version file is fetched into a temp file "ver*.tmp": what is left of those files after a
//   check tells what was kept.
#include "framework/Win32Handles.h"
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/Prompts.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/download/LoopbackServer.h"
#include "tests/support/MessageBoxReader.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <ctime>
#include <set>
#include <string>

namespace {

using namespace acc;

constexpr char SettingsKey[] = "Software\\Quarrendel\\Brimsafe";
constexpr char BrowserCommandKey[] = "http\\shell\\open\\command";
// The update dialog's window (its skinned title bar reads "Update").
constexpr char UpdateWindow[] = "Frm_Update";
constexpr DWORD Week = 604800;
// The check gives up 30 s after it starts; the box comes a little after.
constexpr DWORD TimeLimitWaitMs = 60000;

const char* const ProblemText =
    "There was a problem checking for an update.  Make sure that you have an active internet connection and try "
    "again.";
const char* const NewerText =
    "There is a newer version of Brimsafe available for download.  Would you like to be taken to our website now "
    "to download it?";

DWORD now() { return static_cast<DWORD>(std::time(nullptr)); }

void presetSetting(const char* name, DWORD value) {
    if (RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, name, REG_DWORD, &value, sizeof value) != ERROR_SUCCESS)
        failStep(std::string("cannot preset ") + name);
}

void presetSetting(const char* name, const std::string& value) {
    if (RegSetKeyValueA(HKEY_CURRENT_USER, SettingsKey, name, REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        failStep(std::string("cannot preset ") + name);
}

// The weekly check is on and its week ran out a minute ago; the maker's server is at `updateFolder`.
void checkIsDueAgainst(const std::string& updateFolder) {
    presetSetting("Update", 1);
    presetSetting("UpdateTime", Week);
    presetSetting("LastCheck", now() - Week - 60);
    presetSetting("UpdateBaseUrl", updateFolder);
}

void serverNowAt(const std::string& updateFolder) { presetSetting("UpdateBaseUrl", updateFolder); }

DWORD lastCheck() {
    DWORD value = 0;
    if (!readSetting("LastCheck", value)) failStep("the schedule has no LastCheck");
    return value;
}

// The version files of update checks in the temp folder, by name.
std::set<std::string> versionTempFiles() {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    win32::FindHandle search(FindFirstFileA((std::string(folder) + "ver*.tmp").c_str(), &found));
    if (!search) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search.get(), &found));
    return names;
}

// The user's browser for the journey: a recorder of the addresses it is asked to open.
class RecordingBrowser {
public:
    RecordingBrowser() : record_(journeyFolder() + "\\browser.txt") {
        DWORD size = sizeof previous_;
        hadPrevious_ = RegGetValueA(HKEY_CLASSES_ROOT, BrowserCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, previous_,
                                    &size) == ERROR_SUCCESS;
        const std::string command = "\"" + brimtest::binaryFolder() + "\\acceptance_page_recorder.exe\" \"" +
                                    record_ + "\" \"%1\"";
        if (RegSetKeyValueA(HKEY_CLASSES_ROOT, BrowserCommandKey, nullptr, REG_SZ, command.c_str(),
                            static_cast<DWORD>(command.size() + 1)) != ERROR_SUCCESS)
            failStep("cannot register the browser");
    }
    ~RecordingBrowser() {
        if (hadPrevious_)
            RegSetKeyValueA(HKEY_CLASSES_ROOT, BrowserCommandKey, nullptr, REG_SZ, previous_,
                            static_cast<DWORD>(strlen(previous_) + 1));
        else
            RegDeleteKeyValueA(HKEY_CLASSES_ROOT, BrowserCommandKey, nullptr);
    }
    RecordingBrowser(const RecordingBrowser&) = delete;
    RecordingBrowser& operator=(const RecordingBrowser&) = delete;

    // The addresses opened so far, one line each.
    std::string opened() const { return fileExists(record_) ? readFileBytes(record_) : ""; }

private:
    std::string record_;
    char previous_[1024] = {};
    bool hadPrevious_ = false;
};

// The loopback server holds its answer to a "held" request until the test lets it go.
void releaseHeldAnswer(const dltest::LoopbackServer& server, const std::string& token) {
    win32::FileHandle release(CreateFileA(server.stateFile(token + ".release").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!release) failStep("cannot let the server answer");
}

// After the check the start-up goes on to the vault prompt; the user cancels it, which ends Brimsafe.
void leaveAtTheVaultPrompt(Program& brimsafe) {
    HWND prompt = waitForVaultPrompt(brimsafe.pid());
    EXPECT_EQ(findWindow(UpdateWindow, brimsafe.pid()), nullptr) << "the update window stayed up";
    clickToClose(prompt, "Cancel");
    if (!brimsafe.waitForExit()) failStep("Brimsafe did not end when its vault prompt was cancelled");
}

TEST(Journey, UpdateCheck) {
    const dltest::LoopbackServer& server = dltest::LoopbackServer::get();
    ASSERT_TRUE(server.running());
    RecordingBrowser browser;

    ACC_STEP("the weekly check is due and the maker's server stalls halfway through the version file");
    const std::string stalling = dltest::newToken();
    checkIsDueAgainst(server.scenarioUrl(stalling, "stallbody", ""));
    const DWORD dueSince = lastCheck();
    const std::set<std::string> tempBefore = versionTempFiles();

    ACC_STEP("Brimsafe starts and checks for a newer version");
    Program brimsafe = Program::start("Brimsafe.exe");
    HWND update = waitForWindow(UpdateWindow, brimsafe.pid());

    ACC_STEP("the check gives up after its time limit");
    answerBox(brimsafe.pid(), {"Update", ProblemText, {"ok"}}, "OK", TimeLimitWaitMs);
    waitForWindowGone(update);
    EXPECT_FALSE(server.requests(stalling).empty()) << "the check never asked the server";

    ACC_STEP("nothing of the half version file is kept and the check stays due");
    waitUntil([&] { return versionTempFiles() == tempBefore; }, "the half version file to be deleted");
    EXPECT_FALSE(fileExists(installFolder() + "\\version.dat"));
    EXPECT_EQ(lastCheck(), dueSince) << "a failed check was recorded as done";
    leaveAtTheVaultPrompt(brimsafe);
    EXPECT_EQ(browser.opened(), "");

    ACC_STEP("the next start finds the server slow, and the user cancels the check");
    const std::string slow = dltest::newToken();
    serverNowAt(server.scenarioUrl(slow, "held", ""));
    brimsafe = Program::start("Brimsafe.exe");
    update = waitForWindow(UpdateWindow, brimsafe.pid());
    waitUntil([&] { return !server.requests(slow).empty(); }, "the check to ask the server");
    clickToClose(update, "Cancel");

    ACC_STEP("the server's late answer changes nothing");
    releaseHeldAnswer(server, slow);
    waitUntil([&] { return versionTempFiles() == tempBefore; }, "the cancelled download to end");
    EXPECT_EQ(brimtest::findMessageBox(brimsafe.pid()), nullptr) << "the cancelled check still spoke";
    EXPECT_EQ(lastCheck(), dueSince) << "a cancelled check was recorded as done";
    leaveAtTheVaultPrompt(brimsafe);

    ACC_STEP("the server answers again: the next start finds the newer version");
    serverNowAt(server.httpUrl("/newer/Corvanta/"));
    const DWORD checkedFrom = now();
    brimsafe = Program::start("Brimsafe.exe");
    update = waitForWindow(UpdateWindow, brimsafe.pid());
    answerBox(brimsafe.pid(), {"Update", NewerText, {"yes", "no"}}, "Yes");
    const DWORD checkedBy = now();

    ACC_STEP("the update page opens in the user's browser");
    waitUntil([&] { return !browser.opened().empty(); }, "the browser to open the update page");
    EXPECT_EQ(browser.opened(), server.httpUrl("/corvanta_update.php") + "\n");
    waitForWindowGone(update);
    EXPECT_GE(lastCheck(), checkedFrom);
    EXPECT_LE(lastCheck(), checkedBy);
    EXPECT_EQ(versionTempFiles(), tempBefore) << "the version file was left in the temp folder";
    EXPECT_FALSE(fileExists(installFolder() + "\\version.dat"));
    leaveAtTheVaultPrompt(brimsafe);

    ACC_STEP("the start after that checks nothing: the week starts again");
    const std::string unasked = dltest::newToken();
    serverNowAt(server.scenarioUrl(unasked, "held", ""));
    brimsafe = Program::start("Brimsafe.exe");
    leaveAtTheVaultPrompt(brimsafe);
    EXPECT_TRUE(server.requests(unasked).empty()) << "a check ran although the week had started again";
    EXPECT_EQ(browser.opened(), server.httpUrl("/corvanta_update.php") + "\n");
}

}  // namespace
