// The user keeps two vaults: hides the first one's passwords, makes a second one (whose passwords
// show), switches to it and back, opens a file of the
// first vault from outside (a second start hands it to the running program and ends), and runs a
// second program on the other vault beside the first.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"
#include "tests/acceptance/VaultSteps.h"
#include "tests/support/MessageBoxReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

using namespace acc;

namespace {

constexpr const char* HomePassword = "home by the sea";
constexpr const char* WorkPassword = "office at nine";
// No program is associated with this type: running the decrypted file only says so.
constexpr const char* LetterName = "letter.acvnote";
constexpr const char* LetterText = "Dear vault,\r\nkeep this safe.\r\n";

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "could not write " << path;
}

// Answers the tips that come with files until the condition holds; answered is called before each one.
void waitPastTips(DWORD pid, const std::function<bool()>& condition, const std::string& what,
                  const std::function<void()>& answered = [] {}) {
    waitUntil(
        [&] {
            if (condition()) return true;
            if (HWND tip = findWindow(TipWindow, pid)) {
                answered();
                clickToClose(tip, "Ok");
            }
            return false;
        },
        what, 60000);
}

// "Encrypted Files", "New File", the file chosen in the open dialog: it is encrypted and listed.
void encryptWithNewFile(HWND main, DWORD pid, const std::string& path) {
    selectCategory(main, "Encrypted Files");
    // The "Add File" picture stands above its label.
    const RECT label = controlRect(main, "Add File");
    clickAt(POINT{(label.left + label.right) / 2, label.top - 17});
    waitPastTips(pid, [&] { return fileDialogShown(pid) != nullptr; }, "the open dialog");
    typeIntoFileDialog(pid, "Open", path);
    // Adding ends with a tip once the file is encrypted (every tip is on in a new machine): the next
    // step's keys would go to it, so the step ends when that tip has come and been answered.
    auto encrypted = [&] {
        return fileExists(path + ".vltenc") && !fileExists(path) && !findWindow("Frm_FileEncryption", pid);
    };
    bool tipAfterEncrypting = false;
    waitPastTips(pid, [&] { return tipAfterEncrypting && !findWindow(TipWindow, pid) && IsWindowEnabled(main); },
                 "the file encrypted and the tip on adding it answered", [&] { tipAfterEncrypting = encrypted(); });
}

}  // namespace

TEST(Journey, SeveralVaults) {
    const std::string folder = journeyFolder();
    const std::string home = folder + "\\Home", work = folder + "\\Work";
    const std::string letter = folder + "\\" + LetterName;

    ACC_STEP("start Brimsafe without a vault and create the vault Home");
    Program app = Program::start("Brimsafe.exe");
    HWND main = createVaultWithWizard(app.pid(), NewVault{folder, "Home", HomePassword});
    ASSERT_NE(nullptr, main);
    const std::string homeId = windowText(main);

    ACC_STEP("encrypt a letter in Home");
    writeFileBytes(letter, LetterText);
    encryptWithNewFile(main, app.pid(), letter);

    ACC_STEP("hide Home's passwords in Tools and save with Ctrl+S");
    auto hidden = [&](const std::string& name, const std::string& password) {
        return parseVaultText(openVaultFiles(folder, name, password).text).hidePasswords;
    };
    waitUntil(
        [&] {
            togglePasswordsHidden(main, app.pid());
            SetForegroundWindow(main);
            waitUntil([&] { return GetForegroundWindow() == main; }, "the main window in front", 5000);
            pressKey('S', true);
            // A click the box never saw leaves the file as it was: the box is clicked again.
            const ULONGLONG until = GetTickCount64() + 5000;
            while (!hidden("Home", HomePassword) && GetTickCount64() < until) Sleep(50);
            return hidden("Home", HomePassword);
        },
        "Home saved with its passwords hidden");

    ACC_STEP("switch vaults and create the vault Work");
    switchVault(main, app.pid());
    main = createVaultWithWizard(app.pid(), NewVault{folder, "Work", WorkPassword});
    ASSERT_NE(nullptr, main);
    const std::string workId = windowText(main);
    EXPECT_NE(homeId, workId);
    EXPECT_EQ(nullptr, findWindow(homeId)) << "nothing shows Home any more";
    EXPECT_FALSE(hidden("Work", WorkPassword)) << "a new vault shows its passwords, whatever the last one did";

    ACC_STEP("switch back to Home");
    switchVault(main, app.pid());
    openListedVault(app.pid(), "Home");
    enterPassword(app.pid(), HomePassword);
    main = waitForWindowPastTips(homeId, app.pid());
    EXPECT_EQ(nullptr, findWindow(workId));

    ACC_STEP("a second Brimsafe on Home's encrypted letter hands it over");
    Program second = Program::start("Brimsafe.exe", "\"" + letter + ".vltenc\"");

    ACC_STEP("the running program decrypts the letter and tries to run it");
    waitPastTips(app.pid(),
                 [&] { return fileExists(letter) && !fileExists(letter + ".vltenc") && brimtest::findMessageBox(app.pid()); },
                 "the letter decrypted");
    EXPECT_EQ(LetterText, readFileBytes(letter));
    // The second start waits in its hand-off until the running program has handled the file.
    EXPECT_TRUE(second.running());
    answerMessage(app.pid(),
                  "Windows has no program associated with this file type.  You will need to open the file by "
                  "running the program that created it.",
                  "Ok");

    ACC_STEP("the second start has ended without a window of its own");
    ASSERT_TRUE(second.waitForExit(30000)) << "the second start did not end";
    EXPECT_EQ(0u, second.exitCode());
    EXPECT_EQ(nullptr, findWindow(homeId, second.pid()));

    ACC_STEP("a second Brimsafe on the vault Work runs beside the first");
    Program beside = Program::start("Brimsafe.exe", "\"" + work + ".vlt\"");
    enterPassword(beside.pid(), WorkPassword);
    HWND workMain = waitForWindowPastTips(workId, beside.pid());
    ASSERT_NE(nullptr, workMain);
    EXPECT_TRUE(app.running());
    EXPECT_EQ(main, findWindow(homeId, app.pid()));

    ACC_STEP("a third Brimsafe on Home is told that Home is open and gives up");
    Program third = Program::start("Brimsafe.exe", "\"" + home + ".vlt\"");
    answerMessage(third.pid(),
                  "The vault you have selected is already open on this computer.  You cannot have the same vault "
                  "open more than once at the same time.", "Ok");
    HWND select = waitForWindow(SelectVaultWindow, third.pid());
    clickUntil(select, "Cancel", [&] { return !IsWindowVisible(select); }, "the selection cancelled");
    EXPECT_TRUE(third.waitForExit(30000));

    ACC_STEP("exit both programs");
    exitConfirmingPlainFiles(beside, workMain);
    exitConfirmingPlainFiles(app, main);

    ACC_STEP("both vaults are listed and kept");
    const std::vector<std::string> listed{"Home=" + home, "Work=" + work};
    EXPECT_EQ(listed, knownVaults());
    for (const std::string& base : {home, work}) {
        EXPECT_TRUE(fileExists(base + ".vlt")) << base;
        EXPECT_EQ(784u, readFileBytes(base + ".kvt").size()) << base;
    }
    EXPECT_TRUE(hidden("Home", HomePassword)) << "Home keeps its passwords hidden";
    EXPECT_FALSE(hidden("Work", WorkPassword)) << "Work never took Home's setting";
}
