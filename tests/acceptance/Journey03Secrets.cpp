// The user copies a password, leaves the computer until the vault locks itself, comes back and
// unlocks it (once with a mistyped password), then locks it by hand and unlocks it again.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/VaultSteps.h"

#include <gtest/gtest.h>

using namespace acc;

namespace {

constexpr const char* Password = "Brass lantern 7";
constexpr const char* SamplePassword = "Enter password here";  // the new vault's sample entry

void unlockWith(HWND main, DWORD pid, const std::string& password) {
    clickText(main, "Unlock");
    enterPassword(pid, password);
}

}  // namespace

TEST(Journey, Secrets) {
    const std::string folder = journeyFolder();
    const std::string vault = folder + "\\Secrets.vlt";

    ACC_STEP("start Brimsafe without a vault and create one with the wizard");
    Program app = Program::start("Brimsafe.exe");
    HWND main = createVaultWithWizard(app.pid(), vault, Password);
    ASSERT_NE(nullptr, main);

    ACC_STEP("copy the sample entry's password with its copy button");
    selectCategory(main, "Passwords");
    clickRecordLine(main, 0);
    std::vector<HWND> edits;
    waitUntil([&] { return (edits = editorEdits(main)).size() >= 3 && windowText(edits[0]) == "Sample Entry"; },
              "the sample entry in the editor");
    clickCopyButtonOf(edits[2]);  // Name, Login ID, Password
    waitUntil([&] { return clipboardText() == SamplePassword; }, "the password on the clipboard");

    ACC_STEP("leave the pointer still for 59 ticks of the idle timer");
    restartIdleCount(main);
    for (int tick = 1; tick <= 59; ++tick) idleTick(main);
    EXPECT_FALSE(isLocked(main)) << "locked before the 60th still tick";
    EXPECT_EQ(SamplePassword, clipboardText());

    ACC_STEP("the 60th still tick locks the vault and empties the clipboard");
    idleTick(main);
    waitUntil([&] { return isLocked(main); }, "the lock panel");
    EXPECT_EQ("", clipboardText());

    ACC_STEP("unlock with a mistyped password: the password is asked again");
    unlockWith(main, app.pid(), "Brass lantern 8");
    EXPECT_TRUE(isLocked(main));

    ACC_STEP("the right password unlocks");
    enterPassword(app.pid(), Password);
    waitUntil([&] { return !isLocked(main); }, "the lock panel to go");

    ACC_STEP("one more still tick after unlocking does not lock again");
    idleTick(main);
    EXPECT_FALSE(isLocked(main));

    ACC_STEP("text of another program on the clipboard, then Quick Lock");
    putOnClipboard("copied in another program");
    clickText(main, "Quick Lock");
    waitUntil([&] { return isLocked(main); }, "the lock panel");
    EXPECT_EQ("", clipboardText());

    ACC_STEP("cancel the unlock: the vault stays locked");
    clickText(main, "Unlock");
    HWND prompt = waitForWindow(dialog::Password, app.pid());
    clickText(prompt, "Cancel");
    waitForWindowGone(prompt);
    EXPECT_TRUE(isLocked(main));

    ACC_STEP("unlock with the right password");
    unlockWith(main, app.pid(), Password);
    waitUntil([&] { return !isLocked(main); }, "the lock panel to go");

    ACC_STEP("copy the password again and exit");
    clickRecordLine(main, 0);
    waitUntil([&] { return (edits = editorEdits(main)).size() >= 3; }, "the sample entry in the editor");
    clickCopyButtonOf(edits[2]);
    waitUntil([&] { return clipboardText() == SamplePassword; }, "the password on the clipboard");
    exitProgram(app, main);

    ACC_STEP("the clipboard is empty, the vault kept and listed");
    EXPECT_EQ("", clipboardText());
    EXPECT_EQ(folder + "\\Secrets", knownVaultPath("Secrets"));
    EXPECT_TRUE(fileExists(vault));
    EXPECT_EQ(784u, readFileBytes(folder + "\\Secrets.kvt").size());
}
