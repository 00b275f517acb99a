// The user copies a password, leaves the computer until the vault locks itself, comes back and
// unlocks it (once with a mistyped password), then locks it by hand and unlocks it again.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"
#include "tests/acceptance/VaultSteps.h"

#include <gtest/gtest.h>

using namespace acc;

namespace {

constexpr const char* Password = "Brass lantern 7";
constexpr const char* SamplePassword = "Enter password here";  // the new vault's sample entry

void askToUnlock(HWND main, DWORD pid) {
    clickUntil(main, "Unlock", [&] { return findWindow(PasswordWindow, pid) != nullptr; }, "the unlock prompt");
}

void unlockWith(HWND main, DWORD pid, const std::string& password) {
    askToUnlock(main, pid);
    enterPassword(pid, password);
}

void quickLock(HWND main) {
    clickUntil(main, "Quick Lock", [&] { return isLocked(main); }, "the lock panel");
}

}  // namespace

TEST(Journey, Secrets) {
    const NewVault vault{journeyFolder(), "Secrets", Password};

    ACC_STEP("start Brimsafe without a vault and create one with the wizard");
    Program app = Program::start("Brimsafe.exe");
    HWND main = createVaultWithWizard(app.pid(), vault);
    ASSERT_NE(nullptr, main);

    ACC_STEP("copy the sample entry's password with its copy button");
    selectCategory(main, "Passwords");
    clickRecordLine(main, 0);
    std::vector<HWND> edits;
    waitUntil([&] { return (edits = editorEdits(main)).size() >= 3 && windowText(edits[0]) == "Sample Entry"; },
              "the sample entry in the editor");
    copyWithButtonOf(edits[2], SamplePassword);  // Name, Login ID, Password

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
    HWND again = waitForWindow(PasswordWindow, app.pid());
    waitUntil([&] { return controlShowing(again, "Invalid password.  Reenter password."); },
              "the notice that the password was wrong");

    ACC_STEP("the right password unlocks");
    enterPassword(app.pid(), Password);
    waitUntil([&] { return !isLocked(main); }, "the lock panel to go");

    ACC_STEP("one more still tick after unlocking does not lock again");
    idleTick(main);
    EXPECT_FALSE(isLocked(main));

    ACC_STEP("text of another program on the clipboard, then Quick Lock");
    putOnClipboard("copied in another program");
    quickLock(main);
    EXPECT_EQ("", clipboardText());

    ACC_STEP("cancel the unlock: the vault stays locked");
    askToUnlock(main, app.pid());
    HWND prompt = waitForWindow(PasswordWindow, app.pid());
    clickUntil(prompt, "Cancel", [&] { return !IsWindowVisible(prompt); }, "the prompt cancelled");
    EXPECT_TRUE(isLocked(main));

    ACC_STEP("unlock with the right password");
    unlockWith(main, app.pid(), Password);
    waitUntil([&] { return !isLocked(main); }, "the lock panel to go");

    ACC_STEP("copy the password again and exit");
    clickRecordLine(main, 0);
    waitUntil([&] { return (edits = editorEdits(main)).size() >= 3 && windowText(edits[0]) == "Sample Entry"; },
              "the sample entry in the editor");
    copyWithButtonOf(edits[2], SamplePassword);
    exitWithCtrlQ(app, main);

    ACC_STEP("the clipboard is empty, the vault kept and listed");
    EXPECT_EQ("", clipboardText());
    EXPECT_EQ(vault.folder + "\\Secrets", knownVaultPath("Secrets"));
    const OpenedVault saved = openVaultFiles(vault.folder, vault.name, Password);
    EXPECT_TRUE(saved.ok()) << (saved.problems.empty() ? "" : saved.problems.front());
    const VaultRecords records = parseVaultText(saved.text);
    const VaultCategory* passwords = records.find("Passwords");
    ASSERT_NE(nullptr, passwords);
    ASSERT_EQ(1u, passwords->rows.size());
    ASSERT_LE(3u, passwords->rows[0].size());
    EXPECT_EQ(SamplePassword, passwords->rows[0][2]) << "the copied password is kept as it was";
}
