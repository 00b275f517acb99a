/*
 * What the main window opens but does not own: every dialog it shows is one
 * call of MainWindowDialogs, and the file view's work (decrypt, encrypt, list
 * and run a file) one call of MainWindowFiles. The program passes its real
 * dialogs; tests pass scripted ones. Each call mirrors its dialog: the modal
 * result (1 OK, 2 Cancel, as the dialog gives it) and the values it hands back.
 *
 * ProgramDialogs (ProgramDialogs.h) answers with the skinned dialogs.
 */
#pragma once

#include "vault/VaultStore.h"
#include "vault/category.h"

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

    // ---- the records side (mainwin-records) ----
    // Defaults answer as a cancelled dialog, so windows without these dialogs need not say so.
    // The entry editor over the category's headers, new (newEntry) or on the row's values:
    // 1 OK with values holding one value per header, 2 Cancel.
    virtual int editEntry(TForm* owner, bool newEntry, category& cat, RowValues& values) {
        (void)owner, (void)newEntry, (void)cat, (void)values;
        return 2;
    }
    // The category dialog on the chain (head may change, become null or gain categories; the
    // dialog owns what it unlinks): selected is the chosen category's position in the chain, -1 none.
    virtual void editCategories(TForm* owner, category* current, category*& head, int& selected) {
        (void)owner, (void)current, (void)head;
        selected = -1;
    }
    // The search dialog over the user chain and the "Encrypted Files" category: true with a hit
    // (the category and the row's position in it). hideSecrets: secret values show masked.
    virtual bool search(TForm* owner, category* userChain, category* encryptedFiles, bool hideSecrets,
                        category*& foundCategory, int& foundRow) {
        (void)owner, (void)userChain, (void)encryptedFiles, (void)hideSecrets, (void)foundCategory, (void)foundRow;
        return false;
    }
    // The help dialog made at start-up.
    virtual void help(TForm* owner) { (void)owner; }
    // ---- mainwin-frame: the command buttons' dialogs ----
    // The tools dialog (backups, restore, password change, key backup); nothing until it is wired.
    virtual void tools(TForm* owner) { (void)owner; }
    // ---- dialogs-records2: the update check's switch for the Tools dialog ----
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
    // Opens a file just decrypted in order to open it (encrypted again when nothing opens it).
    virtual void runFile(const std::string& path) = 0;
    virtual void updateTreeImages() = 0;

    // ---- the records side (mainwin-records) ----
    // Delete (button, key, the Remove File button) while "Encrypted Files" is current: decrypt and
    // remove the selected files.
    virtual void removeSelectedFiles() {}
    // A search hit in "Encrypted Files": select the tree node of the row with this id.
    virtual void selectFileRow(int rowId) { (void)rowId; }
};
