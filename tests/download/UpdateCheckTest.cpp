// One update check against the loopback server, apart from the dialog's
// looks: the outcomes by version file, the answers, the time limit and
// Cancel, and what must not happen (a user's "version.dat" in the current
// folder touched, a message after the check ended, a temp file left behind).
#include "download/UpdateCheck.h"

#include "skin/art/UpdateClip.h"
#include "tests/download/DownloadTestSupport.h"
#include "tests/framework/ControlsFixture.h"
#include "tests/download/LoopbackServer.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

namespace {

using brimtest::SettingsKeyPath;
using dltest::LoopbackServer;
using dltest::pumpUntil;

class RecordingView : public UpdateCheckView {
public:
    void showStatus(const std::string& text) override { statuses.push_back(text); }
    void checkFinished() override { ++finishedCalls; }
    void closeWith(int value) override {
        ++closes;
        result = value;
    }
    std::vector<std::string> statuses;
    int finishedCalls = 0;
    int closes = 0;
    int result = 0;
};

class UpdateCheckRun : public brimtest::FreshRegistry {
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
        schedule.ClockForTesting = [] { return 2000000; };
        // The user's own file in the current folder, which the check must leave alone.
        GetCurrentDirectoryA(MAX_PATH, previousFolder);
        SetCurrentDirectoryA(userFolder.path().c_str());
        userFolder.writeFile("version.dat", "my own notes");
    }
    void TearDown() override {
        SetCurrentDirectoryA(previousFolder);
        FreshRegistry::TearDown();
    }
    void installedBuild(const char* build) {
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
        RegSetValueExA(key, "Dliubruc", 0, REG_SZ, reinterpret_cast<const BYTE*>(build),
                       static_cast<DWORD>(strlen(build)));
        RegCloseKey(key);
    }
    // Sets the schedule up on a base URL and runs the check's first steps.
    void start(UpdateCheck& check, const std::string& baseUrl) {
        schedule.SetupCheck(baseUrl, SettingsKeyPath);
        check.begin();
        check.startDownload();
    }
    bool closed() const { return view.closes > 0; }
    void expectNothingLeft() {
        EXPECT_EQ(userFolder.readFile("version.dat"), "my own notes");
        EXPECT_FALSE(dltest::fileExists(tempFile)) << tempFile;
    }

    brimtest::TempFolder userFolder;
    char previousFolder[MAX_PATH] = {};
    TUpdateSchedule schedule;
    RecordingView view;
    std::string tempFile;
};

TEST_F(UpdateCheckRun, OutcomeByVersionFile) {
    const struct {
        const char* folder;
        int answer;  // to the question, when one is asked
        std::vector<std::string> texts;
        std::string lastStatus;
        int result;
    } cases[] = {
        {"/newer/Corvanta/", mbrYes,
         {"There is a newer version of Brimsafe available for download.  Would you like to be taken to our "
          "website now to download it?"},
         "Newer version found.", 1},
        {"/newer/Corvanta/", mbrNo,
         {"There is a newer version of Brimsafe available for download.  Would you like to be taken to our "
          "website now to download it?"},
         "Newer version found.", 2},
        {"/equal/Corvanta/", 0, {"You have the latest version of Brimsafe."}, "No newer version found.", 2},
        {"/older/Corvanta/", 0, {"You have the latest version of Brimsafe."}, "No newer version found.", 2},
        {"/short/Corvanta/", 0, {"You have the latest version of Brimsafe."}, "No newer version found.", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " answered " + std::to_string(c.answer));
        view = RecordingView();
        installedBuild("3.0.5");
        brimtest::MessageBoxScript boxes({c.answer ? c.answer : mbrOk});
        UpdateCheck check(nullptr, schedule, view);
        start(check, LoopbackServer::get().httpUrl(c.folder));
        tempFile = check.versionFilePath();
        ASSERT_TRUE(pumpUntil([&] { return closed(); }, 20000));
        EXPECT_EQ(view.result, c.result);
        EXPECT_EQ(view.closes, 1);
        EXPECT_EQ(boxes.texts(), c.texts);
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].title, "Update");
        EXPECT_EQ(boxes.shown()[0].buttons, c.answer ? mbsYesNo : mbsOk);
        EXPECT_EQ(boxes.shown()[0].icon, c.answer ? mbiQuestion : mbiInformation);
        EXPECT_EQ(view.statuses, (std::vector<std::string>{"Checking for a newer version...", c.lastStatus}));
        EXPECT_EQ(view.finishedCalls, c.result == 1 ? 0 : 1);
        EXPECT_TRUE(pumpUntil([&] { return !check.downLoader()->InternetItem(0)->IsBusy(); }, 10000));
        expectNothingLeft();
    }
}

TEST_F(UpdateCheckRun, ASuccessfulCheckIsRecordedOnlyWithAnInstalledBuild) {
    for (bool withBuild : {true, false}) {
        SCOPED_TRACE(withBuild ? "installed build recorded" : "no installed build");
        HKEY key;
        RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key);
        RegDeleteValueA(key, "Dliubruc");
        DWORD last = 5, update = 1, interval = 604800;
        RegSetValueExA(key, "LastCheck", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&last), 4);
        RegSetValueExA(key, "Update", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&update), 4);
        RegSetValueExA(key, "UpdateTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&interval), 4);
        RegCloseKey(key);
        if (withBuild) installedBuild("3.0.5");
        view = RecordingView();
        brimtest::MessageBoxScript boxes({mbrOk});
        UpdateCheck check(nullptr, schedule, view);
        start(check, LoopbackServer::get().httpUrl("/equal/Corvanta/"));
        ASSERT_TRUE(pumpUntil([&] { return closed(); }, 20000));
        brimtest::RawValue stamp = brimtest::readRawValue(HKEY_CURRENT_USER, SettingsKeyPath, "LastCheck");
        ASSERT_EQ(stamp.bytes.size(), 4u);
        DWORD stored;
        memcpy(&stored, stamp.bytes.data(), 4);
        EXPECT_EQ(stored, withBuild ? 2000000u : 5u);
        EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"You have the latest version of Brimsafe."}));
    }
}

// The time limit and Cancel end the check at once; what the abandoned item
// reports later, even a newer version, says nothing more.
TEST_F(UpdateCheckRun, TimeLimitAndCancelEndTheCheckForGood) {
    const struct {
        const char* how;
        bool byCancel;
        std::vector<std::string> texts;
    } cases[] = {
        {"time limit", false, {UpdateProblemText}},
        {"cancel", true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        view = RecordingView();
        installedBuild("3.0.5");
        const LoopbackServer& server = LoopbackServer::get();
        std::string token = dltest::newToken();
        brimtest::MessageBoxScript boxes(std::vector<int>(c.texts.size(), mbrOk));
        UpdateCheck check(nullptr, schedule, view);
        std::string url = server.scenarioUrl(token, "held", "version.dat");
        start(check, url.substr(0, url.size() - std::string("version.dat").size()));
        tempFile = check.versionFilePath();
        ASSERT_TRUE(pumpUntil([&] { return !server.requests(token).empty(); }, 10000));
        if (c.byCancel) {
            check.cancel();
        } else {
            EXPECT_TRUE(check.timeLimitTimer()->GetEnabled());
            EXPECT_EQ(check.timeLimitTimer()->GetInterval(), 30000u);
            SendMessageA(check.timeLimitTimer()->GetHandle(), WM_TIMER, 1, 0);
        }
        EXPECT_TRUE(check.finished());
        EXPECT_EQ(view.closes, 1);
        EXPECT_EQ(view.result, 2);
        EXPECT_FALSE(check.timeLimitTimer()->GetEnabled());
        // The server answers now with a newer version; the stopped item may still get it.
        std::ofstream(server.stateFile(token + ".release")) << "go";
        ASSERT_TRUE(pumpUntil([&] { return !check.downLoader()->InternetItem(0)->IsBusy(); }, 25000));
        EXPECT_EQ(boxes.texts(), c.texts);
        EXPECT_EQ(view.closes, 1);
        EXPECT_EQ(view.statuses, (std::vector<std::string>{"Checking for a newer version..."}));
        if (!c.texts.empty()) {
            EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
            EXPECT_EQ(boxes.shown()[0].title, "Update");
        }
        expectNothingLeft();
    }
}

// A failed download is not reported by itself: the time limit does it.
TEST_F(UpdateCheckRun, AMissingVersionFileWaitsForTheTimeLimit) {
    installedBuild("3.0.5");
    brimtest::MessageBoxScript boxes({mbrOk});
    UpdateCheck check(nullptr, schedule, view);
    start(check, LoopbackServer::get().httpUrl("/nowhere/Corvanta/"));
    tempFile = check.versionFilePath();
    ASSERT_TRUE(pumpUntil([&] { return !check.downLoader()->InternetItem(0)->IsBusy(); }, 20000));
    EXPECT_FALSE(closed());
    EXPECT_TRUE(boxes.texts().empty());
    SendMessageA(check.timeLimitTimer()->GetHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{UpdateProblemText}));
    EXPECT_EQ(view.result, 2);
    // A second tick after the end says nothing more.
    SendMessageA(check.timeLimitTimer()->GetHandle(), WM_TIMER, 1, 0);
    EXPECT_EQ(boxes.shown().size(), 1u);
    expectNothingLeft();
}

// The dialog is reused: each showing is a new check with a new item.
TEST_F(UpdateCheckRun, EachShowingRunsANewCheck) {
    installedBuild("3.0.5");
    brimtest::MessageBoxScript boxes({mbrOk, mbrNo});
    UpdateCheck check(nullptr, schedule, view);
    start(check, LoopbackServer::get().httpUrl("/equal/Corvanta/"));
    ASSERT_TRUE(pumpUntil([&] { return view.closes == 1; }, 20000));
    start(check, LoopbackServer::get().httpUrl("/newer/Corvanta/"));
    ASSERT_TRUE(pumpUntil([&] { return view.closes == 2; }, 20000));
    EXPECT_EQ(check.downLoader()->InternetItemCount(), 2);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[1].buttons, mbsYesNo);
    EXPECT_EQ(view.result, 2);
}

}  // namespace

// The waiting clip linked into the program is what the generator makes, and
// the animation control plays it: 25 frames of 70 x 70 over the body's cream.
namespace {

TEST(UpdateClip, LinkedClipIsTheGeneratorsAndPlays) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(skinart::UpdateClipResourceId), "AVI");
    ASSERT_NE(found, nullptr);
    std::string linked(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                       SizeofResource(nullptr, found));
    EXPECT_EQ(linked, skinart::updateClipFile()) << "run skin/art/regenerate";

    InitFramework();
    auto* form = new fwtest::THostForm(nullptr);
    auto* animate = new TAnimate(form);
    animate->Transparent = false;
    animate->SetBounds(0, 0, 70, 70);
    animate->Parent = form;
    form->Show();
    animate->ResId = skinart::UpdateClipResourceId;
    EXPECT_EQ(animate->FrameCount(), skinart::UpdateClipFrames);
    EXPECT_EQ(animate->FrameWidth(), skinart::UpdateClipSize);
    EXPECT_EQ(animate->FrameHeight(), skinart::UpdateClipSize);
    // The head goes round clockwise from three o'clock, leaving a fading tail.
    const struct {
        int frame, x, y;
        TColor color;
    } pixels[] = {
        {1, 35, 35, static_cast<TColor>(0xEFFBFC)},  // the centre: cream
        {1, 59, 35, static_cast<TColor>(0x733F25)},   // the head, at three o'clock: navy
        {13, 59, 35, static_cast<TColor>(0xE2D0C6)},  // half a turn later a resting dot there
        {13, 15, 47, static_cast<TColor>(0x733F25)},  // the head five dots on, near eight o'clock
        {13, 35, 59, static_cast<TColor>(0xB07C60)},  // two dots behind it, the tail's third shade
    };
    for (const auto& p : pixels) {
        animate->Seek(p.frame);
        fwtest::pumpIdle();
        auto bitmap = fwtest::paintOf(animate);
        EXPECT_EQ(fwtest::pixelOf(bitmap.get(), p.x, p.y), p.color) << "frame " << p.frame << " at " << p.x << "," << p.y;
    }
    delete form;
}

}  // namespace
