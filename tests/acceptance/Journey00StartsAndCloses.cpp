// The shortest journey: Brimsafe, installed and started for the first time, shows its first window and,
// closed from the task bar before any vault exists, ends cleanly leaving no vault behind.
#include "tests/acceptance/Harness.h"

#include <gtest/gtest.h>

namespace {

// The first visible window the program shows, whatever it is.
HWND firstWindowOf(const acc::Program& program) {
    HWND shown = nullptr;
    acc::waitUntil(
        [&] {
            for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == program.pid() && IsWindowVisible(w)) return (shown = w) != nullptr;
            }
            return false;
        },
        "a first window of Brimsafe");
    return shown;
}

// The task bar's "Close" reaches the hidden application window.
void closeFromTheTaskBar(const acc::Program& program) {
    HWND application = nullptr;
    for (HWND w = FindWindowExA(nullptr, nullptr, "TApplication", nullptr); w;
         w = FindWindowExA(nullptr, w, "TApplication", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == program.pid()) application = w;
    }
    if (!application) acc::failStep("Brimsafe has no application window");
    PostMessageA(application, WM_CLOSE, 0, 0);
}

TEST(Journey, StartsAndCloses) {
    ACC_STEP("start Brimsafe for the first time");
    acc::Program brimsafe = acc::Program::start("Brimsafe.exe");
    HWND first = firstWindowOf(brimsafe);
    EXPECT_FALSE(acc::windowText(first).empty()) << "the first window has a caption";

    ACC_STEP("close it from the task bar");
    closeFromTheTaskBar(brimsafe);
    ASSERT_TRUE(brimsafe.waitForExit()) << "Brimsafe did not end";
    EXPECT_EQ(brimsafe.exitCode(), 0u);

    ACC_STEP("check what the install left");
    std::string installed;
    EXPECT_TRUE(acc::readSetting("UIL", installed));
    EXPECT_EQ(installed, acc::installFolder());
    EXPECT_TRUE(acc::fileExists(acc::installFolder() + "\\Brimsafe.exe"));
    EXPECT_FALSE(acc::readSetting("DBFname", installed)) << "no vault was created";
    DWORD update = 0, lastCheck = 0;
    EXPECT_TRUE(acc::readSetting("Update", update) && acc::readSetting("LastCheck", lastCheck));
    EXPECT_EQ(update, 1u) << "the weekly check is on, and not yet due";
    EXPECT_GT(lastCheck, 1700000000u);
}

}  // namespace
