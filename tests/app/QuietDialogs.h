/*
 * A main window without dialogs or a file view, for pictures and benchmarks
 * of the window itself: every dialog answers as cancelled at once and shows
 * nothing, no update check is due, and the file view does nothing.
 */
#pragma once

#include "app/MainWindowDialogs.h"

class QuietDialogs : public MainWindowDialogs {
public:
    int askPassword(TForm*, int, bool, bool, SecretText&) override { return 2; }
    int selectVault(TForm*, VaultChoice&) override { return 2; }
    bool findVaultById(const unsigned char*, VaultChoice&) override { return false; }
    int restoreVault(TForm*, const std::string&, const std::string&) override { return 2; }
    int createKeys(TForm*, qzcrypto::RSAEngine&, int, unsigned char*) override { return 2; }
    int chooseName(TForm*, std::string&) override { return 2; }
    int keyRestore(TForm*, std::string&) override { return 2; }
    void backupKeyPage(TForm*) override {}
    void donePage(TForm*, const std::string&) override {}
    void tip(TForm*, int, const std::string&) override {}
    bool updateCheckDue() override { return false; }
    void checkForUpdate(TForm*) override {}
};

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
