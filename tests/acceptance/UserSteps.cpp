// What a user does with Brimsafe's windows (see UserSteps.h).
#include "tests/acceptance/UserSteps.h"

#include "tests/acceptance/VaultReaders.h"

#include <gtest/gtest.h>

#include <vector>

namespace acc {
namespace {

// The file-name field of the system's file dialog: the combo box's edit, or the plain edit.
HWND fileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) {
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 0x480);
}

void clickCentre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    clickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace

std::string hexId(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void answerMessage(DWORD pid, const std::string& text, const std::string& button) {
    HWND box = nullptr;
    waitUntil(
        [&] {
            box = findWindow(MessageBoxWindow, pid);
            return box && controlShowing(box, text);
        },
        "the message \"" + text + "\"");
    click(box, button);
    waitForWindowGone(box);
}

void typeIntoFileDialog(DWORD pid, const std::string& caption, const std::string& path) {
    HWND dialog = waitForWindow(caption, pid);
    HWND field = nullptr;
    waitUntil([&] { return (field = fileNameField(dialog)) != nullptr && IsWindowVisible(field); },
              "the file name field of \"" + caption + "\"");
    clickCentre(field);
    waitUntil([&] { return GetForegroundWindow() == dialog; }, "the file dialog in front", 5000);
    pressKey(VK_END);
    pressKey(VK_HOME, false, true);
    pressKey(VK_DELETE);
    typeText(path);
    waitUntil([&] { return windowText(field) == path; }, "the path in the file name field", 10000);
    typeText("\n");
    waitForWindowGone(dialog);
}

void chooseNewVault(DWORD pid) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    click(select, "New Vault");
}

void chooseVaultFile(DWORD pid, const std::string& vaultFilePath) {
    HWND location = waitForWindow(ChooseLocationWindow, pid);
    click(location, "Browse");
    typeIntoFileDialog(pid, "Save As", vaultFilePath);
    HWND edit = control(location, "TEdit#1");
    waitUntil([&] { return windowText(edit) == vaultFilePath; }, "the chosen path on the location page", 10000);
    click(location, "Next");
    waitForWindowGone(location);
}

void stirMouseAndKeysUntilKeyCreated(DWORD pid) {
    HWND page = waitForWindow(KeyPageWindow, pid);
    click(page, "Random Number Progress");  // the page takes the keyboard
    const ULONGLONG deadline = GetTickCount64() + 90000;
    int turn = 0;
    while (!findWindow(MessageBoxWindow, pid)) {
        if (GetTickCount64() > deadline) failStep("the key page never said the key was created");
        if (IsWindow(page) && IsWindowVisible(page)) moveMouseAround(page, 1);
        pressKey(static_cast<WORD>('A' + turn++ % 26));
    }
    answerMessage(pid, "Your key has been created.", "Ok");
    waitForWindowGone(page);
}

void typePasswordTwice(DWORD pid, const std::string& password) {
    HWND page = waitForWindow(FirstPasswordWindow, pid);
    HWND first = control(page, "TEdit#1");
    HWND second = control(page, "TEdit#2");
    if (!first || !second) failStep("the first-password page has no two password fields");
    clickCentre(first);
    typeText(password);
    clickCentre(second);
    typeText(password);
    waitUntil([&] { return windowText(second).size() == password.size(); }, "the confirmation typed", 10000);
    click(page, "Next");
    waitForWindowGone(page);
}

void skipKeyBackup(DWORD pid) {
    HWND page = waitForWindow(BackupKeyWindow, pid);
    click(page, "Skip");
    answerMessage(pid, "Are you sure that you would like to proceed without backing up your key?", "Yes");
    waitForWindowGone(page);
}

void finishWizard(DWORD pid) {
    HWND page = waitForWindow(DoneWindow, pid);
    click(page, "Finish");
    waitForWindowGone(page);
}

HWND createVaultWithWizard(DWORD pid, const NewVault& vault) {
    chooseNewVault(pid);
    chooseVaultFile(pid, vault.folder + "\\" + vault.name + ".vlt");
    stirMouseAndKeysUntilKeyCreated(pid);
    typePasswordTwice(pid, vault.password);
    skipKeyBackup(pid);
    finishWizard(pid);
    return waitForMainWindow(pid, vault.folder, vault.name);
}

HWND waitForMainWindow(DWORD pid, const std::string& folder, const std::string& name) {
    std::vector<std::string> problems;
    const KeyFileImage key = readKeyFile(folder + "\\" + name + ".kvt", problems);
    if (key.vaultId.size() != 16) failStep("no key file of " + name + " to read the vault ID from");
    return waitForWindow(hexId(key.vaultId), pid);
}

void typePassword(DWORD pid, const std::string& password) {
    HWND prompt = waitForWindow(PasswordWindow, pid);
    HWND field = control(prompt, "TEdit#1");
    if (!field) failStep("the password prompt has no field");
    clickCentre(field);
    typeText(password);
    waitUntil([&] { return windowText(field).size() == password.size(); }, "the password typed", 10000);
    click(prompt, "Ok");
    waitForWindowGone(prompt);
}

HWND openRememberedVault(DWORD pid, const NewVault& vault) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    click(select, "Open Vault");
    typePassword(pid, vault.password);
    return waitForMainWindow(pid, vault.folder, vault.name);
}

void exitWithCtrlQ(Program& program, HWND mainWindow) {
    SetForegroundWindow(mainWindow);
    waitUntil([&] { return GetForegroundWindow() == mainWindow; }, "the main window in front", 5000);
    pressKey('Q', true);
    HWND tip = waitForWindow(TipWindow, program.pid());
    click(tip, "Ok");
    if (!program.waitForExit()) failStep("Brimsafe did not end after Ctrl+Q");
}

}  // namespace acc
