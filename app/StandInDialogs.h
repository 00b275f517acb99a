/*
 * Plain stand-ins for the main window's dialogs until the skinned ones land:
 * small system-styled windows for the password and the choice of a vault,
 * keys made from the system's random generator instead of the entropy page,
 * and nothing for the pages, tips, restores and the file view. Each window is
 * found by its caption and answered by its button texts, as a user would:
 *   "Brimsafe Password"  an edit, "OK", "Cancel", "Forgot your Password?"
 *   "Brimsafe Vaults"    "Folder" and "Name" edits, "Open", "Create", "Cancel"
 *   "Brimsafe Entry"     one edit per field of the category, "OK", "Cancel"
 * The category dialog, the search and the help answer as cancelled.
 */
#pragma once

#include "app/MainWindowDialogs.h"

namespace standin {
inline const char* const PasswordCaption = "Brimsafe Password";
inline const char* const VaultsCaption = "Brimsafe Vaults";
inline const char* const EntryCaption = "Brimsafe Entry";
}  // namespace standin

class StandInDialogs : public MainWindowDialogs {
public:
    int askPassword(TForm* owner, int mode, bool retry, bool firstPasswordPage, SecretText& password) override;
    int selectVault(TForm* owner, VaultChoice& choice) override;
    bool findVaultById(const unsigned char id[16], VaultChoice& found) override;
    int restoreVault(TForm*, const std::string&, const std::string&) override { return 2; }
    int createKeys(TForm* owner, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) override;
    int chooseName(TForm*, std::string&) override { return 2; }
    int keyRestore(TForm*, std::string&) override { return 2; }
    void backupKeyPage(TForm*) override {}
    void donePage(TForm*, const std::string&) override {}
    void tip(TForm*, int, const std::string&) override {}
    bool updateCheckDue() override { return false; }
    void checkForUpdate(TForm*) override {}
    // ---- the records side (mainwin-records) ----
    int editEntry(TForm* owner, bool newEntry, category& cat, RowValues& values) override;
};

// No file view yet: nothing is decrypted, encrypted or listed.
class NoFileView : public MainWindowFiles {
public:
    void showEncryptedFiles() override {}
    int decryptSingleFile(const std::string&) override { return 1; }
    int encryptSingleFile(const std::string&) override { return 1; }
    void addFileRow(const std::string&, bool) override {}
    void addFolder(const std::string&) override {}
    void runFile(const std::string&) override {}
    void updateTreeImages() override {}
};
