// First start: no vault yet. The user creates one through the wizard (name and folder, key from mouse and
// keys, password twice), sees the main window with the default categories, and the two files on disk keep
// the layouts and relations of the vault store.
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

TEST(Journey, FirstStart) {
    const NewVault vault{journeyFolder(), "Home", "Correct horse 7"};

    ACC_STEP("start Brimsafe for the first time");
    Program brimsafe = Program::start("Brimsafe.exe");
    const DWORD pid = brimsafe.pid();

    ACC_STEP("choose New Vault");
    chooseNewVault(pid);

    ACC_STEP("name the vault and choose its folder");
    chooseVaultFile(pid, vault.folder + "\\" + vault.name + ".vlt");

    ACC_STEP("move the mouse and type until the key is made");
    stirMouseAndKeysUntilKeyCreated(pid);

    ACC_STEP("type the password twice");
    typePasswordTwice(pid, vault.password);

    ACC_STEP("skip the key backup");
    skipKeyBackup(pid);

    ACC_STEP("finish the wizard");
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
