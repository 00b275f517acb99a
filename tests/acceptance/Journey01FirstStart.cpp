// First start: no vault yet. The user creates one through the wizard (name and folder, key from mouse and
// keys, password twice), sees the main window with the default categories, and the two files on disk keep
// the layouts and relations of the vault store. On the password page the user first presses Next with
// nothing typed and declines the blank password: what is typed next, a passphrase with spaces, goes into
// the first field and neither presses Next nor answers a question. Each page of the wizard stands alone
// on the screen, in the place of the window before it.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace acc;

// The lines of the main window's category box, as the user reads them.
std::vector<std::string> categoryBoxLines(HWND mainWindow) {
    HWND box = control(mainWindow, "TComboBox#1");
    if (!box) failStep("the main window has no category box");
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        if (SendMessageW(box, CB_GETLBTEXTLEN, i, 0) < 256)
            SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        char utf8[768] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        lines.push_back(utf8);
    }
    return lines;
}

// A known vault's value under the settings key's "Vaults" subkey ("" when missing).
std::string knownVaultPath(const std::string& name) {
    char data[512] = {};
    DWORD size = sizeof data - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quarrendel\\Brimsafe\\Vaults", name.c_str(), RRF_RT_REG_SZ,
                     nullptr, data, &size) != ERROR_SUCCESS)
        return "";
    return data;
}

std::string selectedCategory(HWND mainWindow) { return windowText(control(mainWindow, "TComboBox#1")); }

// The captions of the program's visible top-level windows other than `page` (its wizard page).
struct OtherWindows {
    DWORD pid;
    HWND page;
    std::vector<std::string> captions;
};
BOOL CALLBACK collectOtherWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OtherWindows*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && window != search->page && IsWindowVisible(window) && !IsIconic(window))
        search->captions.push_back(windowText(window));
    return TRUE;
}

// A wizard page takes the place of the window before it: once the page is up, no other window of the
// program stays on the screen beside it.
void expectPageAlone(DWORD pid, const std::string& pageCaption) {
    HWND page = waitForWindow(pageCaption, pid);
    OtherWindows others{pid, page, {}};
    const ULONGLONG deadline = GetTickCount64() + 3000;
    do {
        others.captions.clear();
        EnumWindows(collectOtherWindow, reinterpret_cast<LPARAM>(&others));
        if (others.captions.empty()) return;
        Sleep(50);
    } while (GetTickCount64() < deadline);
    ADD_FAILURE() << pageCaption << " opened stacked over " << ::testing::PrintToString(others.captions);
}

const char* const BlankPasswordQuestion =
    "You have chosen a blank password.  This is very insecure and could allow others to easily gain access to all "
    "of the information protected in your vault.  Are you sure you want to do this?";

// The program's focused window (of the thread that owns `window`).
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Next on the empty page, "No" to the blank-password question; the page with the focus back in its first
// field.
HWND declineBlankPassword(DWORD pid) {
    HWND page = waitForWindow(FirstPasswordWindow, pid);
    clickToOpen(page, "Next", MessageBoxWindow);
    answerMessage(pid, BlankPasswordQuestion, "No");
    HWND first = control(page, "TQCLEdit#1");
    if (!first) failStep("the first-password page has no first field");
    waitUntil([&] { return focusOf(page) == first; }, "the focus back in the first password field", 10000);
    return page;
}

// Typed as it comes, without clicking a field first: every character, spaces included, lands in the first
// field; the page stays and no question comes up. Then the confirmation, and Next.
void typePassphraseWhereTheFocusIs(DWORD pid, HWND page, const std::string& passphrase) {
    HWND first = control(page, "TQCLEdit#1");
    HWND second = control(page, "TQCLEdit#2");
    if (!first || !second) failStep("the first-password page has no two password fields");
    typeText(passphrase);
    waitUntil([&] { return windowText(first).size() == passphrase.size(); }, "the passphrase in the first field",
              10000);
    EXPECT_EQ(findWindow(MessageBoxWindow, pid), nullptr) << "a space answered or raised a question";
    EXPECT_EQ(findWindow(FirstPasswordWindow, pid), page) << "a space pressed Next";
    EXPECT_TRUE(windowText(second).empty());
    clickAt([&] {
        RECT r{};
        GetWindowRect(second, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }());
    waitUntil([&] { return focusOf(page) == second; }, "the confirmation field to take the focus", 10000);
    typeText(passphrase);
    waitUntil([&] { return windowText(second).size() == passphrase.size(); }, "the confirmation typed", 10000);
    clickToClose(page, "Next");
}

TEST(Journey, FirstStart) {
    const NewVault vault{journeyFolder(), "Home", "Correct horse 7"};

    ACC_STEP("start Brimsafe for the first time");
    Program brimsafe = Program::start("Brimsafe.exe");
    const DWORD pid = brimsafe.pid();

    ACC_STEP("choose New Vault");
    chooseNewVault(pid);

    ACC_STEP("name the vault and choose its folder");
    expectPageAlone(pid, ChooseLocationWindow);
    chooseVaultFile(pid, vault.folder + "\\" + vault.name + ".vlt");

    ACC_STEP("move the mouse and type until the key is made");
    expectPageAlone(pid, KeyPageWindow);
    stirMouseAndKeysUntilKeyCreated(pid);

    ACC_STEP("press Next with no password and decline the blank password");
    expectPageAlone(pid, FirstPasswordWindow);
    HWND passwordPage = declineBlankPassword(pid);

    ACC_STEP("type a passphrase with spaces where the focus is, then confirm it");
    ASSERT_NE(vault.password.find(' '), std::string::npos);
    typePassphraseWhereTheFocusIs(pid, passwordPage, vault.password);

    ACC_STEP("skip the key backup");
    expectPageAlone(pid, BackupKeyWindow);
    skipKeyBackup(pid);

    ACC_STEP("finish the wizard");
    expectPageAlone(pid, DoneWindow);
    finishWizard(pid);

    ACC_STEP("see the main window with the default categories");
    HWND mainWindow = waitForMainWindow(pid, vault.folder, vault.name);
    EXPECT_EQ(categoryBoxLines(mainWindow), (std::vector<std::string>{"Add/Edit Categories...", "Encrypted Files",
                                                                      "To Do", "Passwords", "Contacts"}));
    EXPECT_EQ(selectedCategory(mainWindow), "To Do");

    ACC_STEP("read the new vault's files");
    const OpenedVault opened = openVaultFiles(vault.folder, vault.name, vault.password);
    EXPECT_TRUE(opened.ok()) << ::testing::PrintToString(opened.problems);
    EXPECT_EQ(opened.chainValue, md5(md5(opened.vaultKey))) << "no file encrypted yet: the chain is at its start";
    const VaultRecords records = parseVaultText(opened.text);
    std::vector<std::string> names;
    for (const VaultCategory& c : records.categories) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Encrypted Files", "To Do", "Passwords", "Contacts"}));
    if (const VaultCategory* toDo = records.find("To Do")) {
        EXPECT_EQ(toDo->headers, (std::vector<std::string>{"Task", "Description", "Priority", "Completed"}));
        ASSERT_EQ(toDo->rows.size(), 2u);
        EXPECT_EQ(toDo->rows[0][0], "Review Tutorial");
    }
    EXPECT_FALSE(openVaultFiles(vault.folder, vault.name, "correct horse 7").ok()) << "the password is exact";
    EXPECT_EQ(knownVaultPath(vault.name), vault.folder + "\\" + vault.name) << "the new vault is a known vault";

    ACC_STEP("exit with Ctrl+Q");
    exitWithCtrlQ(brimsafe, mainWindow);
    EXPECT_EQ(brimsafe.exitCode(), 0u);

    ACC_STEP("check what the exit remembered");
    std::string folder, name;
    EXPECT_TRUE(readSetting("DBLoc", folder));
    EXPECT_EQ(folder, vault.folder);
    EXPECT_TRUE(readSetting("DBFname", name));
    EXPECT_EQ(name, vault.name);
    EXPECT_TRUE(openVaultFiles(vault.folder, vault.name, vault.password).ok()) << "the saved vault still opens";
}

}  // namespace
