/*
 * The program's answer to every MainWindowDialogs call: the skinned dialogs of
 * dialogs/ and download/, shown over the main window. The vault selection with
 * its location page and restore, the password dialog (a new one per attempt)
 * and the wizard's pages, the record dialogs, tools, help and the tips.
 *
 * Tricky points:
 * - Forms that live for the run (first-password page, completion page, update,
 *   help and restore dialogs) are made on first use and kept; this object frees
 *   them, so the program's one instance is never destroyed (forProgram), while
 *   a test's instance frees its forms before the framework goes.
 * - The pages that need the main window as host (key backup, completion,
 *   restore, tools, help) get it from the owner they are shown over; over any
 *   other owner they answer as cancelled.
 * - Entropy for the key page comes from the sources given at construction (the
 *   system's in the program), so tests can feed the page without a real mouse.
 * - The help and update dialogs belong to the main window they were first shown
 *   over (centred over it while it shows); when it frees them first they are
 *   forgotten here, never freed twice.
 * - The update schedule and address are read from the settings at every use:
 *   a check made since, or an address set since, counts. Without an update
 *   server in the settings the weekly check never comes due and asking for one
 *   says so in one sentence.
 */
#pragma once

#include "app/MainWindowDialogs.h"
#include "dialogs/KeySeed.h"

#include <memory>

class MainWindowHost;
class TFrm_Done;
class TFrm_FirstPassword;
class TFrm_Help;
class TFrm_RestoreVault;
class TFrm_Update;

class ProgramDialogs : public MainWindowDialogs {
public:
    explicit ProgramDialogs(keyseed::EntropySources sources = keyseed::EntropySources::system());
    ~ProgramDialogs() override;
    ProgramDialogs(const ProgramDialogs&) = delete;
    ProgramDialogs& operator=(const ProgramDialogs&) = delete;

    // The program's instance, made on first use and kept until the process ends.
    static ProgramDialogs& forProgram();

    int askPassword(TForm* owner, int mode, bool retry, bool firstPasswordPage, SecretText& password) override;
    int selectVault(TForm* owner, VaultChoice& choice) override;
    bool findVaultById(const unsigned char id[16], VaultChoice& found) override;
    int restoreVault(TForm* owner, const std::string& location, const std::string& source) override;
    int createKeys(TForm* owner, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) override;
    int chooseName(TForm* owner, std::string& name) override;
    int keyRestore(TForm* owner, std::string& keyFilePath) override;
    void backupKeyPage(TForm* owner) override;
    void donePage(TForm* owner, const std::string& vaultFolder) override;
    void tip(TForm* owner, int number, const std::string& text) override;
    bool updateCheckDue() override;
    void checkForUpdate(TForm* owner) override;

    int editEntry(TForm* owner, bool newEntry, category& cat, RowValues& values) override;
    void editCategories(TForm* owner, category* current, category*& head, int& selected) override;
    bool search(TForm* owner, category* userChain, category* encryptedFiles, bool hideSecrets,
                category*& foundCategory, int& foundRow) override;
    void help(TForm* owner) override;
    void tools(TForm* owner) override;
    bool autoCheckEnabled() override;
    void setAutoCheck(bool enabled, int seconds) override;

private:
    class OwnedForms;
    MainWindowHost* hostOf(TForm* owner);
    // The update dialog over owner, its address and schedule read from the settings afresh.
    TFrm_Update& updateDialog(TForm* owner);
    // The restore dialog over the host: 9 with the destination folder when a vault was restored.
    int runRestore(MainWindowHost& host, const std::string& location, const std::string& source,
                   std::string* destination);

    keyseed::EntropySources sources_;
    TFrm_FirstPassword* firstPassword_ = nullptr;
    TFrm_Done* done_ = nullptr;
    TFrm_Update* update_ = nullptr;
    TFrm_Help* help_ = nullptr;
    TFrm_RestoreVault* restore_ = nullptr;
    std::unique_ptr<MainWindowHost> host_;
    std::unique_ptr<OwnedForms> ownedForms_;
};
