// The "Update" dialog on its real window against the loopback server: the
// outcome by version file with "3.0.5" installed, the answers and the page
// opened, a failure ending at the (shortened) time limit, Cancel clicked as a
// user would, and the dialog's shape, labels and clip; stalled, cut, incomplete
// and hostile answers end with one message, the right result and no temp file.
#include "download/QZ_Frm_Update.h"

#include "skin/art/UpdateClip.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/download/LoopbackServer.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <memory>

namespace {

using brimtest::SettingsKeyPath;
using dltest::LoopbackServer;

const char* const NewerQuestion =
    "There is a newer version of Brimsafe available for download.  Would you like to be taken to our website "
    "now to download it?";
const char* const LatestText = "You have the latest version of Brimsafe.";

std::string textOf(const std::string& caption) { return caption; }

struct ShellCall {
    std::string verb, url;
    int show = -1;
};

class UpdateDialog : public brimtest::FreshRegistry {
protected:
    void SetUp() override {
        FreshRegistry::SetUp();
        InitFramework();
        ASSERT_TRUE(LoopbackServer::get().running());
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        GetCurrentDirectoryA(MAX_PATH, previousFolder);
        SetCurrentDirectoryA(userFolder.path().c_str());
        userFolder.writeFile("version.dat", "my own notes");
        previousShell = SetUpdateShellOpenForTesting([this](HWND, const std::string& verb, const std::string& url,
                                                            int show) { shellCalls.push_back({verb, url, show}); });
        dialog = MakeForm<TFrm_Update>(nullptr);
        dialog->SetClockForTesting([] { return 2000000; });
    }
    void TearDown() override {
        delete dialog;
        SetUpdateShellOpenForTesting(previousShell);
        SetCurrentDirectoryA(previousFolder);
        FreshRegistry::TearDown();
    }
    void writeValue(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    void installedBuild(const char* build) { writeValue("Dliubruc", REG_SZ, build, static_cast<DWORD>(strlen(build))); }
    DWORD lastCheck() {
        brimtest::RawValue stamp = brimtest::readRawValue(HKEY_CURRENT_USER, SettingsKeyPath, "LastCheck");
        DWORD stored = 0;
        if (stamp.bytes.size() == 4) memcpy(&stored, stamp.bytes.data(), 4);
        return stored;
    }
    // Shows the dialog through CheckForUpdate with script run from its modal
    // loop; a guard closes it after a deadline so a failing test never hangs.
    int runCheck(const std::string& baseUrl, std::function<void()> script = {}) {
        dialog->SetupCheck(baseUrl, SettingsKeyPath);
        auto done = std::make_shared<bool>(false);
        TFrm_Update* form = dialog;
        fwtest::runLater([script] {
            if (script) script();
        });
        fwtest::runAfter(20000, [form, done] {
            if (!*done) form->ModalResult = dialogtest::GuardResult;
        });
        int result = CheckForUpdate(dialog);
        *done = true;
        tempFile = dialog->CheckForTesting().versionFilePath();
        return result;
    }
    void expectNothingLeft() {
        EXPECT_EQ(userFolder.readFile("version.dat"), "my own notes");
        if (!tempFile.empty()) {
            EXPECT_FALSE(dltest::fileExists(tempFile)) << tempFile;
        }
    }
    bool itemsIdle() {
        TdwMultiDownLoader* loader = dialog->CheckForTesting().downLoader();
        for (int i = 0; i < loader->InternetItemCount(); ++i)
            if (loader->InternetItem(i)->IsBusy()) return false;
        return true;
    }

    brimtest::TempFolder userFolder;
    char previousFolder[MAX_PATH] = {};
    TUpdateShellOpen previousShell;
    std::vector<ShellCall> shellCalls;
    TFrm_Update* dialog = nullptr;
    std::string tempFile;
};

TEST_F(UpdateDialog, OutcomeByVersionFileWithTheAnswerGiven) {
    const struct {
        const char* folder;
        int answer;  // to the box shown
        const char* text;
        const char* status;
        int result;
    } cases[] = {
        {"/newer/Corvanta/", mbrYes, NewerQuestion, "Newer version found.", 1},
        {"/newer/Corvanta/", mbrNo, NewerQuestion, "Newer version found.", 2},
        {"/equal/Corvanta/", mbrOk, LatestText, "No newer version found.", 2},
        {"/older/Corvanta/", mbrOk, LatestText, "No newer version found.", 2},
        {"/short/Corvanta/", mbrOk, LatestText, "No newer version found.", 2},
    };
    installedBuild("3.0.5");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " answered " + std::to_string(c.answer));
        shellCalls.clear();
        brimtest::MessageBoxScript boxes({c.answer});
        std::string base = LoopbackServer::get().httpUrl(c.folder);
        EXPECT_EQ(runCheck(base), c.result);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.text});
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].owner, dialog);
        EXPECT_EQ(boxes.shown()[0].title, "Update");
        EXPECT_EQ(boxes.shown()[0].icon, c.answer == mbrOk ? mbiInformation : mbiQuestion);
        EXPECT_EQ(textOf(dialog->Label1->Caption), c.status);
        EXPECT_EQ(dialog->Label1->Left + 0, (dialog->Panel1->Width - dialog->Label1->Width) / 2);
        EXPECT_EQ(lastCheck(), 2000000u);
        if (c.result == 1) {
            ASSERT_EQ(shellCalls.size(), 1u);
            EXPECT_EQ(shellCalls[0].verb, "open");
            EXPECT_EQ(shellCalls[0].url, base.substr(0, base.find("/newer/")) + "/corvanta_update.php");
            EXPECT_EQ(shellCalls[0].show, SW_HIDE);
        } else {
            EXPECT_TRUE(shellCalls.empty());
            EXPECT_EQ(textOf(dialog->xpCancelButton->Caption), "Close");
            EXPECT_FALSE(dialog->Animate1->GetActive());
        }
        EXPECT_TRUE(dltest::pumpUntil([&] { return itemsIdle(); }, 10000));
        expectNothingLeft();
    }
}

TEST_F(UpdateDialog, NoInstalledBuildLeavesLastCheckAlone) {
    DWORD last = 5, update = 1, interval = 604800;
    writeValue("LastCheck", REG_DWORD, &last, 4);
    writeValue("Update", REG_DWORD, &update, 4);
    writeValue("UpdateTime", REG_DWORD, &interval, 4);
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(runCheck(LoopbackServer::get().httpUrl("/newer/Corvanta/")), 2);
    EXPECT_EQ(lastCheck(), 5u);
    EXPECT_FALSE(dialog->NewerFound());
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{LatestText});
}

// A failed download is reported once, by the time limit; nothing follows.
TEST_F(UpdateDialog, FailuresEndWithOneProblemMessageAtTheTimeLimit) {
    installedBuild("3.0.5");
    const LoopbackServer& server = LoopbackServer::get();
    const struct {
        const char* how;
        std::string base;
    } cases[] = {
        {"refused", server.refusedUrl("/newer/Corvanta/")},
        {"404", server.httpUrl("/nowhere/Corvanta/")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        dialog->SetTimeLimitForTesting(1500);
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(runCheck(c.base), 2);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{UpdateProblemText});
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
        EXPECT_EQ(boxes.shown()[0].title, "Update");
        EXPECT_TRUE(dltest::pumpUntil([&] { return itemsIdle(); }, 15000));
        fwtest::pumpUntil([] { return false; }, 300);
        EXPECT_EQ(boxes.shown().size(), 1u);
        EXPECT_TRUE(shellCalls.empty());
        expectNothingLeft();
    }
}

// Answers the engine does not take as a good version file: the check ends at its time limit with
// one problem message, and the temp file goes once the abandoned item has ended.
TEST_F(UpdateDialog, BrokenAnswersEndWithOneProblemMessageAndNoTempFile) {
    installedBuild("3.0.5");
    const LoopbackServer& server = LoopbackServer::get();
    enum Fetched { Asked, NeverAsked, Either };  // whether the file itself was asked for (GET)
    const struct {
        const char* scenario;
        Fetched fetched;
    } cases[] = {
        {"stall", Either},        // no answer until long after the time limit
        {"cutalways", Asked},     // the body always ends before its length
        {"nolastmod", Asked},     // complete, but without its date: not a success
        {"lyinglen", Asked},      // a length three times the body
        {"garbage", Either},      // no status line at all
        {"big", NeverAsked},      // 100,000 bytes: past the size window, so never fetched
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        shellCalls.clear();
        const std::string token = dltest::newToken();
        const std::string url = server.scenarioUrl(token, c.scenario, "version.dat");
        dialog->SetTimeLimitForTesting(1500);
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(runCheck(url.substr(0, url.size() - std::string("version.dat").size())), 2);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{UpdateProblemText});
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
        EXPECT_FALSE(dialog->Animate1->GetActive());
        EXPECT_TRUE(dltest::pumpUntil([&] { return itemsIdle(); }, 25000));
        fwtest::pumpUntil([] { return false; }, 300);
        EXPECT_EQ(boxes.shown().size(), 1u) << "nothing after the check ended";
        EXPECT_TRUE(shellCalls.empty());
        bool asked = false;
        for (const std::string& request : server.requests(token)) asked = asked || request.rfind("GET", 0) == 0;
        if (c.fetched != Either) {
            EXPECT_EQ(asked, c.fetched == Asked);
        }
        expectNothingLeft();
    }
}

// Version files that are not text or far longer than a build name are compared like any other:
// only as many bytes as the installed build has, the rest never read.
TEST_F(UpdateDialog, OddVersionFilesAreComparedOnlyAsFarAsTheInstalledBuild) {
    installedBuild("3.0.5");
    const LoopbackServer& server = LoopbackServer::get();
    const struct {
        const char* scenario;
        int answer;
        const char* text;
        const char* status;
    } cases[] = {
        {"binaryversion", mbrOk, LatestText, "No newer version found."},  // starts with a zero byte
        {"hugeversion", mbrNo, NewerQuestion, "Newer version found."},     // "3.0.6" and 60,000 nines
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        const std::string url = server.scenarioUrl(dltest::newToken(), c.scenario, "version.dat");
        brimtest::MessageBoxScript boxes({c.answer});
        EXPECT_EQ(runCheck(url.substr(0, url.size() - std::string("version.dat").size())), 2);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(textOf(dialog->Label1->Caption), c.status);
        EXPECT_EQ(lastCheck(), 2000000u);
        EXPECT_TRUE(shellCalls.empty());
        EXPECT_TRUE(dltest::pumpUntil([&] { return itemsIdle(); }, 10000));
        expectNothingLeft();
    }
}

// Cancel, clicked while the server holds the answer, ends the check; the
// newer version the server then sends says nothing.
TEST_F(UpdateDialog, CancelClickedEndsTheCheckForGood) {
    installedBuild("3.0.5");
    const LoopbackServer& server = LoopbackServer::get();
    std::string token = dltest::newToken();
    std::string url = server.scenarioUrl(token, "held", "version.dat");
    brimtest::MessageBoxScript boxes;
    TFrm_Update* form = dialog;
    int result = runCheck(url.substr(0, url.size() - std::string("version.dat").size()), [&server, token, form] {
        if (!dialogtest::bringUp(form)) return;
        if (!fwtest::pumpUntil([&] { return !server.requests(token).empty(); }, 10000)) return;
        EXPECT_TRUE(form->Animate1->GetActive());
        dialogtest::click(form->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(dialog->CheckForTesting().finished());
    std::ofstream(server.stateFile(token + ".release")) << "go";
    ASSERT_TRUE(dltest::pumpUntil([&] { return itemsIdle(); }, 25000));
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(textOf(dialog->Label1->Caption), "Checking for a newer version...");
    expectNothingLeft();
}

// Shown (on a refused port, so the check just waits), the dialog has its
// rounded shape, its labels and the clip playing.
TEST_F(UpdateDialog, ShapeLabelsAndClip) {
    dialog->SetupCheck(LoopbackServer::get().refusedUrl("/Corvanta/"), SettingsKeyPath);
    dialog->Show();
    fwtest::pumpIdle();
    EXPECT_TRUE(dialog->Animate1->GetActive());
    EXPECT_EQ(textOf(dialog->Label1->Caption), "Checking for a newer version...");
    EXPECT_TRUE(dialog->CheckForTesting().timeLimitTimer()->GetEnabled());
    EXPECT_EQ(dialog->Width + 0, 218);
    EXPECT_EQ(dialog->Height + 0, 211);
    dialogtest::RegionShape shape = dialogtest::regionOf(dialog->Handle);
    EXPECT_TRUE(shape.exists);
    EXPECT_EQ(shape.box.right - shape.box.left, 218);
    EXPECT_EQ(shape.box.bottom - shape.box.top, 211);
    EXPECT_TRUE(shape.cornerCut);
    EXPECT_EQ(textOf(dialog->MessageTitle->Caption), "Update");
    EXPECT_EQ(textOf(dialog->xpCancelButton->Caption), "Cancel");
    EXPECT_EQ(dialog->Animate1->Width + 0, 70);
    EXPECT_EQ(dialog->Animate1->GetFrameCount(), skinart::UpdateClipFrames);
    EXPECT_EQ(dialog->CheckForTesting().timeLimitTimer()->GetInterval(), 30000u);
}

}  // namespace
