// The user backs up the vault and its key, changes the password, tries two damaged backups (the
// vault stays exactly as it was), restores the good one, and later, having forgotten the
// password, replaces it from the key backup.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"
#include "tests/acceptance/VaultSteps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>

using namespace acc;

namespace {

constexpr const char* FirstPassword = "copper kettle";
constexpr const char* SecondPassword = "silver spoon";
constexpr const char* ThirdPassword = "iron gate";
constexpr std::size_t KeyFileBytes = 784;

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    if (bytes.size() < at + 4) return 0;
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8 |
           static_cast<unsigned char>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "could not write " << path;
}

// Both files of the vault as they are now.
struct VaultBytes {
    std::string vault, key;
};

VaultBytes vaultBytes(const std::string& base) { return {readFileBytes(base + ".vlt"), readFileBytes(base + ".kvt")}; }

void changePassword(HWND main, DWORD pid, const std::string& current, const std::string& next) {
    HWND tools = openTools(main, pid);
    clickUntil(tools, "Change Vault Password", [&] { return !IsWindowVisible(tools); }, "the password change begun");
    answerMessage(pid, "You must first provide your current password before being able to set a new one.", "Ok");
    enterPassword(pid, current);
    enterNewPasswordTwice(pid, next);
    answerMessage(pid, "Your password has been changed.", "Ok");
}

void chooseRestore(HWND main, DWORD pid, const std::string& backup) {
    backupRestoreAction(main, pid, "Restore Vault", backup);
    answerMessage(pid,
                  "This will replace all data currently in your vault with the data in the vault you are "
                  "restoring.\r\n\r\nAre you sure you would like to do this?",
                  "Yes");
}

}  // namespace

TEST(Journey, Backups) {
    const std::string folder = journeyFolder();
    const std::string base = folder + "\\Ledger";
    const std::string vaultBackup = folder + "\\Ledger backup.bvt";
    const std::string keyBackup = folder + "\\Ledger key.bkv";

    ACC_STEP("start Brimsafe without a vault and create one with the wizard");
    Program app = Program::start("Brimsafe.exe");
    HWND main = createVaultWithWizard(app.pid(), NewVault{folder, "Ledger", FirstPassword});
    ASSERT_NE(nullptr, main);
    const std::string vaultId = windowText(main);

    ACC_STEP("back up the key (the password is asked first)");
    backupRestoreAction(main, app.pid(), "Back Up Key", keyBackup);
    enterPassword(app.pid(), FirstPassword);
    answerMessage(app.pid(), "Your key has been saved.", "Ok");
    {
        const std::string key = readFileBytes(base + ".kvt"), saved = readFileBytes(keyBackup);
        ASSERT_EQ(796u, saved.size());
        EXPECT_EQ(0x3DEA0711u, u32At(saved, 0));
        EXPECT_EQ(key.substr(0, 512), saved.substr(12, 512)) << "the key file's header is copied unchanged";
        EXPECT_EQ(key.substr(KeyFileBytes - 16), saved.substr(796 - 16)) << "the chain value is copied unchanged";
        EXPECT_NE(key.substr(512, 256), saved.substr(12 + 512, 256)) << "the key block is stored decrypted";
    }

    ACC_STEP("back up the vault");
    backupRestoreAction(main, app.pid(), "Back Up Vault", vaultBackup);
    answerMessage(app.pid(), "Your database has been backed up.", "Ok");
    const VaultBytes original = vaultBytes(base);
    const std::string backup = readFileBytes(vaultBackup);
    ASSERT_EQ(4 + KeyFileBytes + original.vault.size(), backup.size());
    EXPECT_EQ(0x4EDD2BADu, u32At(backup, 0));
    EXPECT_EQ(original.key, backup.substr(4, KeyFileBytes));
    EXPECT_EQ(original.vault.substr(0, 136), backup.substr(4 + KeyFileBytes, 136));

    ACC_STEP("change the password");
    changePassword(main, app.pid(), FirstPassword, SecondPassword);
    const VaultBytes changed = vaultBytes(base);
    EXPECT_EQ(original.vault, changed.vault) << "a password change leaves the vault file alone";
    ASSERT_EQ(original.key.size(), changed.key.size());
    EXPECT_EQ(original.key.substr(0, 512), changed.key.substr(0, 512));
    EXPECT_NE(original.key.substr(512, 256), changed.key.substr(512, 256));
    EXPECT_EQ(original.key.substr(768), changed.key.substr(768));

    ACC_STEP("restore a cut-off backup: refused, nothing changed");
    const std::string cutOff = folder + "\\cut off.bvt";
    writeFileBytes(cutOff, backup.substr(0, 700));
    chooseRestore(main, app.pid(), cutOff);
    answerMessage(app.pid(), "This is not a valid Vault Backup.  Your vault has not been restored.", "Ok");
    EXPECT_EQ(changed.vault, readFileBytes(base + ".vlt"));
    EXPECT_EQ(changed.key, readFileBytes(base + ".kvt"));

    ACC_STEP("restore a backup whose vault body is damaged: the vault is named as damaged, never the password");
    std::string damagedBytes = backup;
    damagedBytes[4 + KeyFileBytes + 136 + 20] ^= 0x5A;
    const std::string damaged = folder + "\\damaged.bvt";
    writeFileBytes(damaged, damagedBytes);
    chooseRestore(main, app.pid(), damaged);
    enterPassword(app.pid(), FirstPassword);
    answerMessage(app.pid(),
                  "The file \"" + base +
                      ".vlt\" is damaged, so Brimsafe cannot open this vault.  You may need to restore a backed up "
                      "version of your vault.",
                  "Ok");
    answerMessage(app.pid(), "Your vault has not been restored.", "Ok");
    EXPECT_EQ(nullptr, findWindow(PasswordWindow, app.pid())) << "the password is not asked again";

    ACC_STEP("the roll-back left both files byte-identical and no temporary files");
    EXPECT_EQ(changed.vault, readFileBytes(base + ".vlt"));
    EXPECT_EQ(changed.key, readFileBytes(base + ".kvt"));
    EXPECT_FALSE(fileExists(folder + "\\default.bak"));
    EXPECT_FALSE(fileExists(folder + "\\pk.bak"));
    EXPECT_EQ(vaultId, windowText(main));

    ACC_STEP("restore the good backup with the password it was made with");
    chooseRestore(main, app.pid(), vaultBackup);
    enterPassword(app.pid(), FirstPassword);
    answerMessage(app.pid(), "Your vault has been restored.", "Ok");
    EXPECT_EQ(backup.substr(4, KeyFileBytes), readFileBytes(base + ".kvt"));
    EXPECT_EQ(backup.substr(4 + KeyFileBytes), readFileBytes(base + ".vlt"));
    EXPECT_FALSE(fileExists(folder + "\\default.bak"));
    EXPECT_FALSE(fileExists(folder + "\\pk.bak"));
    EXPECT_EQ(vaultId, windowText(main));

    ACC_STEP("the restored key takes the password of the backup again: Quick Lock and unlock with it");
    clickUntil(main, "Quick Lock", [&] { return isLocked(main); }, "the lock panel");
    clickUntil(main, "Unlock", [&] { return findWindow(PasswordWindow, app.pid()) != nullptr; }, "the unlock prompt");
    enterPassword(app.pid(), FirstPassword);
    waitUntil([&] { return !isLocked(main); }, "the lock panel to go");

    ACC_STEP("exit");
    exitWithCtrlQ(app, main);
    const VaultBytes beforeForgetting = vaultBytes(base);

    ACC_STEP("start again, forget the password and restore the key backup");
    Program again2 = Program::start("Brimsafe.exe");
    openPreselectedVault(again2.pid());
    HWND prompt = waitForWindow(PasswordWindow, again2.pid());
    HWND restore = nullptr;
    clickUntil(prompt, "Forgot your Password?",
               [&] { return (restore = findWindow(dialog::KeyRestore, again2.pid())) != nullptr; }, "the key restore dialog");
    std::vector<HWND> edits = childrenOfClass(restore, "TQCLEdit");
    ASSERT_EQ(1u, edits.size()) << "the key restore dialog shows no path field";
    typeInto(edits.front(), keyBackup);
    clickUntil(restore, "Restore Key", [&] { return !IsWindowVisible(restore); }, "the key backup taken");

    ACC_STEP("set a new password for the restored key");
    enterNewPasswordTwice(again2.pid(), ThirdPassword);
    answerMessage(again2.pid(), "Your key has been restored.", "Ok");

    ACC_STEP("open the vault with the new password");
    enterPassword(again2.pid(), ThirdPassword);
    HWND reopened = waitForMainWindow(again2.pid(), folder, "Ledger");
    ASSERT_NE(nullptr, reopened);

    ACC_STEP("the key file got a new key block only; the vault file is untouched");
    const VaultBytes afterForgetting = vaultBytes(base);
    EXPECT_EQ(beforeForgetting.vault, afterForgetting.vault);
    ASSERT_EQ(KeyFileBytes, afterForgetting.key.size());
    EXPECT_EQ(beforeForgetting.key.substr(0, 512), afterForgetting.key.substr(0, 512));
    EXPECT_NE(beforeForgetting.key.substr(512, 256), afterForgetting.key.substr(512, 256));
    EXPECT_EQ(beforeForgetting.key.substr(768), afterForgetting.key.substr(768));

    ACC_STEP("exit; the vault stays listed and opens with the new password only");
    exitWithCtrlQ(again2, reopened);
    EXPECT_EQ(base, knownVaultPath("Ledger"));
    EXPECT_TRUE(openVaultFiles(folder, "Ledger", ThirdPassword).ok());
    EXPECT_FALSE(openVaultFiles(folder, "Ledger", FirstPassword).ok());
}
