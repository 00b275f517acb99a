/*
 * What the main window opens but does not own: every dialog it shows is one
 * call of MainWindowDialogs, and the file view's work (decrypt, encrypt, list
 * and run a file) one call of MainWindowFiles. The program passes its real
 * dialogs; tests pass scripted ones. Each call mirrors its dialog: the modal
 * result (1 OK, 2 Cancel, as the dialog gives it) and the values it hands back.
 *
 * StandInDialogs (StandInDialogs.h) answers with plain windows, so the program
 * starts and opens, creates and switches vaults before the skinned dialogs
 * exist.
 */
#pragma once

#include "dialogs/DialogHost.h"
#include "vault/VaultStore.h"

#include <string>

class TForm;

class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;

    // The master-password dialog (mode 0 existing, 1 new) or the wizard's first-password page:
    // 1 OK with the password, 2 Cancel, 7 "Forgot your Password?".
    virtual int askPassword(TForm* owner, int mode, bool retry, bool firstPasswordPage, SecretText& password) = 0;
    // The vault-selection dialog: 1 open, 2 Cancel, 9 a vault was restored, 16 create.
    virtual int selectVault(TForm* owner, VaultChoice& choice) = 0;
    // The selection dialog's search of the known vaults by vault ID.
    virtual bool findVaultById(const unsigned char id[16], VaultChoice& found) = 0;
    // The restore-vault dialog: 2 Cancel, 9 restored.
    virtual int restoreVault(TForm* owner, const std::string& location, const std::string& source) = 0;
    // The wizard's key-creation page: 2 Cancel, else seed filled and rsa holding the new pair.
    virtual int createKeys(TForm* owner, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) = 0;
    // The name prompt: 1 OK with the name, 2 Cancel.
    virtual int chooseName(TForm* owner, std::string& name) = 0;
    // The key-restore dialog: 6 with the key backup's path.
    virtual int keyRestore(TForm* owner, std::string& keyFilePath) = 0;
    // The wizard's key-backup page and completion page of a vault made in this run.
    virtual void backupKeyPage(TForm* owner) = 0;
    virtual void donePage(TForm* owner, const std::string& vaultFolder) = 0;
    // A tip with "Do not show me again" (number as the tips count them).
    virtual void tip(TForm* owner, int number, const std::string& text) = 0;
    // The update dialog: whether its weekly schedule says a check is due, and the check itself.
    virtual bool updateCheckDue() = 0;
    virtual void checkForUpdate(TForm* owner) = 0;

    // ---- Tools and Help (dialogs/QZ_Frm_Tools.h, dialogs/QZ_Frm_Help.h) ----
    // A window without them answers as if they were closed at once.
    // The Tools dialog over the host: 2 Close; 3 back up the vault, 4 restore it, 5 back up the key,
    // each with toolsPath; 8 change the password.
    virtual int tools(TForm* owner, DialogHost& host, std::string& toolsPath) {
        (void)owner, (void)host, (void)toolsPath;
        return 2;
    }
    // The help dialog.
    virtual void help(TForm* owner, DialogHost& host) { (void)owner, (void)host; }
    // The weekly update check's switch, as the update dialog keeps it.
    virtual bool autoCheckEnabled() { return false; }
    virtual void setAutoCheck(bool enabled, int seconds) { (void)enabled, (void)seconds; }
};

class MainWindowFiles {
public:
    virtual ~MainWindowFiles() = default;
    // Shows the "Encrypted Files" category.
    virtual void showEncryptedFiles() = 0;
    // Decrypts the encrypted file of plainPath (the path without ".vltenc") with its checks and
    // progress dialog: 0 done.
    virtual int decryptSingleFile(const std::string& plainPath) = 0;
    // Encrypts the plain file with every question: 0 done.
    virtual int encryptSingleFile(const std::string& path) = 0;
    // Lists the file (with or without the messages of a refused one).
    virtual void addFileRow(const std::string& path, bool withMessages) = 0;
    // Lists the folder and encrypts the plain files below it, as a dropped folder.
    virtual void addFolder(const std::string& path) = 0;
    virtual void runFile(const std::string& path) = 0;
    virtual void updateTreeImages() = 0;
};
