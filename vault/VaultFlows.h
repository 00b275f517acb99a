/*
 * The vault flows the main window delegates to: deciding which vault a run
 * opens and opening or creating it (VaultOpening.cpp), backups, restores and
 * the password change (VaultBackups.cpp), and the conversion of an older
 * version's vault files (VaultConversion.cpp). The dialogs are reached through
 * VaultPrompts and every message is a notice (base/Notice.h): no window here.
 *
 * Tricky points:
 * - One process per open vault: loadDB takes the vault's named mutex before the
 *   master password is asked and holds it while the vault is open. A key file
 *   of an older layout holds no vault ID until the first opening migrated it,
 *   so for such a vault the mutex is taken right after that opening.
 * - A vault whose mutex another process holds is refused; when it came from a
 *   pending encrypted file the selection dialog follows in the same call, so
 *   the start-up cannot find the same vault again and again.
 * - A failed or cancelled creation leaves no vault file, registers nothing and
 *   discards the default content it had built.
 * - A command-line vault path is made full before it is split into folder and
 *   name, so a relative path names the right folder.
 * - A damaged vault or key file is never taken for a wrong password: it is
 *   reported naming the file, and loadDB asks again, so the start-up goes back
 *   to the selection dialog (which offers the restore from a backup) instead
 *   of ending.
 */
#pragma once

#include "framework/Win32Handles.h"
#include "vault/VaultStore.h"

#include <string>

class TForm;

enum LoadDBResult : int { ldFailed = 0, ldOpen = 1, ldAskAgain = 2 };
// Damaged: the vault or key file is cut or broken (reported naming the file); the selection
// dialog, with its restore from a backup, is the way on.
enum OpenVaultResult : int { ovOpen = 0, ovFailed = 1, ovDamaged = 2 };
enum RestoreResult : int { rrRestored = 0, rrNotRestored = 1, rrNotBackup = 2 };

// Said when another process has the vault open.
extern const char* const AlreadyOpenText;

// The vault ID as the mutex name and the main window's caption: 32 lower-case hex digits.
std::string vaultIdText(const unsigned char id[16]);

// Hands an encrypted file to the process that has its vault open; true when it was handed over
// (vault/EncryptedFileHandOff.h holds the program's routine, which talks to another window).
using HandOffRoutine = bool (*)(const std::string& encryptedFilePath);

class VaultFlows {
public:
    static constexpr ULONG_PTR OpenFileCommand = 103;

    VaultFlows(VaultStore& store, VaultPrompts& prompts, HandOffRoutine handOff, TForm* owner = nullptr,
               const vaultfile::FileWriter& writer = vaultfile::systemFileWriter());
    VaultFlows(const VaultFlows&) = delete;
    VaultFlows& operator=(const VaultFlows&) = delete;

    // ---- opening and creating ----
    LoadDBResult loadDB();
    // Asks the master password until the vault opens: ovFailed when cancelled or unreadable,
    // ovDamaged when the vault or key file is cut or broken, before or after the password.
    OpenVaultResult openVault(const std::string& path);
    void createDefaultContent();
    void addEncryptedFilesCategory();

    // ---- saving, backups, restores and the password ----
    // Set by the editor when the model changed; cleared by a save that wrote the vault.
    bool Modified = false;
    SaveResult saveVault();
    // What the Tools dialog chose, with its path: 3 back up the vault, 4 restore it, 5 back up the
    // key, 8 change the password; anything else does nothing.
    void runToolsResult(int result, const std::string& ToolsPath);
    // The vault and its key file in one file (".bvt"); true when written.
    bool backupVault(const std::string& path);
    // Writes a vault backup at path from the vault copy at copyPath (empty: the copy at path
    // itself) and the key file; true when written.
    bool makeVaultBackup(const std::string& path, const std::string& copyPath = "");
    // Checks the whole backup, moves the vault's files aside and writes the backup's in their
    // place: rrRestored when unpacked, rrNotBackup (nothing touched), rrNotRestored (all put back).
    RestoreResult unpackVaultBackup(const std::string& path);
    RestoreResult restoreVault(const std::string& path);
    void rollBackRestore();
    void deleteBakFiles();
    // The key alone (".bkv"), after proving the master password when askPassword: 0 written, 1 not.
    int backupKey(const std::string& path, bool askPassword);
    // A key backup of this vault under a new master password: 1 restored, 0 not.
    int restoreKey(const std::string& path);
    // "Forgot your Password?": the key-restore dialog and restoreKey; 1 when the key was restored.
    int forgotPassword();
    void changePassword();

    // ---- older vaults ----
    // Moves the older version's files in folder to the vault "MyVault" (another name when that
    // one exists) and registers it: 0 go on (converted, or nothing to convert), 1 refused.
    int upgradeOldVault(const std::string& folder);

    // Paths given on the command line or by another process; consumed by loadDB (the encrypted
    // file stays pending until the start-up has decrypted it).
    std::string PendingEncFile;
    std::string PendingBackupFile;
    std::string PendingVaultFile;
    std::string OpenVaultName;
    bool NewVaultCreated = false;

    // The open vault's named mutex (null when none is held).
    HANDLE vaultMutex() const { return vaultMutex_.get(); }
    void releaseVaultMutex() { vaultMutex_.close(); }

    // The crypto library's file name; tests use broken stand-ins.
    void setCryptoLibraryNameForTesting(const std::string& name) { cryptoName_ = name; }

private:
    enum class Choice { Open, Cancelled, Restored, Create };
    Choice chooseVault(VaultChoice& choice, int& dialogResult);
    bool chooseFromPendingFiles(Choice& choice, bool& cancelled);
    bool takeVaultMutex();
    LoadDBResult openChosenVault(bool mutexHeld);
    bool filesLookWhole(const std::string& vaultPath);
    void moveOlderFilesOfChoice();
    bool needsConversion() const;
    void convertBeforeOpening();
    LoadDBResult createVault();
    void registerVault();
    void readVaultIdFromKeyFile();
    void message(const std::string& text, int icon);
    bool refuseOwnFiles(const std::string& target);
    bool refuseVaultOpenElsewhere(const std::string& backupPath);
    // Damaged: the vault or key file is cut or broken, which was reported naming it.
    enum class Proof { Proved, Cancelled, KeyRestored, KeyUnreadable, Damaged };
    Proof proveMasterPassword(const unsigned char salt[8]);
    bool writeOrReport(const std::string& path, vaultfile::FilePieces pieces, const char* name);
    std::string bakPath(const char* file) const { return store_.getDBLoc() + "/" + file; }

    bool movedVaultAside_ = false;  // this restore moved the vault file to default.bak
    bool movedKeyAside_ = false;    // and the key file to pk.bak
    bool wroteRestoredFiles_ = false;  // and put the backup's files in their place

    VaultStore& store_;
    VaultPrompts& prompts_;
    HandOffRoutine handOff_;
    TForm* owner_;
    const vaultfile::FileWriter& writer_;
    std::string cryptoName_ = CryptoLibrary::DefaultName;
    win32::KernelHandle vaultMutex_;
};
