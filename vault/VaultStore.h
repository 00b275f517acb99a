/*
 * The vault store: the open vault's state (folder and name, data model, the
 * masked vault key, the password key, the file-key chain, the vault ID) and the
 * operations on its two files. The main window owns one and delegates to it;
 * the dialogs the operations need are reached through VaultPrompts, which the
 * main window implements, and every other message is a notice (base/Notice.h),
 * so the store knows no window.
 *
 * Tricky points:
 * - The vault key is kept XOR-masked with a random mask made per session.
 * - setRandKey only proposes a key: it becomes the vault key when readDB has
 *   proved it against the vault body's digest. So a wrong password followed by
 *   a cancelled prompt can never leave a wrong key behind for the next save.
 *   The upgrade of an older key file also waits for that proof.
 * - The proven key stays bound to the vault file it belongs to: once DBLoc and
 *   DBFname name another vault, nothing is saved or sealed with it until that
 *   vault's own key was proved.
 * - Each operation loads the crypto library itself and frees it afterwards; a
 *   missing library, export or RSA result is reported the same way. After the
 *   first operation that found the library whole, the store keeps one
 *   reference of its own, so each later load and free is only a count: under
 *   Wine a fresh load of the library reads its whole image, tens of
 *   milliseconds each time, and opening a vault takes three operations.
 * - Files are written whole through a temporary file, never in place.
 * - The data key of a new encrypted file (nextDataKey) is MD5(chain value ||
 *   vault key): the chain alone starts from the public vault ID.
 */
#pragma once

#include "vault/CryptoLibrary.h"
#include "vault/SecureMemory.h"
#include "vault/VaultFiles.h"
#include "vault/VaultText.h"

#include <windows.h>

#include <optional>
#include <string>

class TForm;

// A vault's folder and name, as the selection dialog shows and gives them.
struct VaultChoice {
    std::string folder;
    std::string name;
};

// The dialogs and notices the vault store needs from its owner window.
class VaultPrompts {
public:
    virtual ~VaultPrompts() = default;
    // The master-password dialog (mode 0 existing, 1 new; retry shows the invalid-password notice),
    // or the wizard's first-password page. Returns the modal result: 1 OK with the password,
    // 2 Cancel, 7 "Forgot your Password?".
    virtual int askPassword(int mode, bool retry, bool firstPasswordPage, SecretText& password) = 0;
    // "Forgot your Password?": runs the key restore; true when the key was restored.
    virtual bool forgotPassword() = 0;
    // One notice with the Windows-error sentence for a file; name is what the user reads ("your vault").
    virtual void showFileError(DWORD code, const std::string& name) = 0;

    // ---- the dialogs of opening, creating and restoring a vault (vault/VaultFlows.h) ----
    // Each mirrors its dialog's setters, modal result and getters. A window without the dialog
    // answers as if it was closed (Cancel, nothing found).

    // The vault-selection dialog: choice in is the preselected folder and name, out the chosen
    // ones. Modal result 1 open, 2 Cancel, 9 a vault was restored, 16 create.
    virtual int selectVault(VaultChoice& choice) {
        (void)choice;
        return 2;
    }
    // The selection dialog's search of the known vaults by vault ID.
    virtual bool findVaultById(const unsigned char id[16], VaultChoice& found) {
        (void)id, (void)found;
        return false;
    }
    // The restore-vault dialog with its location and source set: 2 Cancel, 9 restored.
    virtual int restoreVaultDialog(const std::string& location, const std::string& source) {
        (void)location, (void)source;
        return 2;
    }
    // The key-creation page with the RSA object and key bits: 2 Cancel, else the 64 seed bytes
    // were filled (the RSA object then holds the new key pair).
    virtual int createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) {
        (void)rsa, (void)keyBits, (void)seed;
        return 2;
    }
    // The name prompt: 1 OK with the name, 2 Cancel.
    virtual int chooseName(std::string& name) {
        (void)name;
        return 2;
    }
    // The key-restore dialog: 6 with the chosen key backup's path, else nothing chosen.
    virtual int keyRestoreDialog(std::string& keyFilePath) {
        (void)keyFilePath;
        return 2;
    }
    // Another vault (or another state of it) is open now: the title becomes title, the category
    // box and the form are refilled, the tree of encrypted files is rebuilt and the vault ID is
    // published again.
    virtual void vaultShown(const std::string& title) { (void)title; }
};

// What writeDatabase answers.
enum SaveResult : int { srSaved = 0, srNotSaved = 1 };  // not saved: the reason was shown
// What setRandKey and verifyKeyFile answer. Damaged: the vault or key file is cut or broken, which
// was reported naming the file; no password can open it.
enum KeyResult : int { krFailed = 0, krFound = 1, krDamaged = 2 };
// Why readDB gave no text.
enum class ReadFailure {
    None,
    Unreadable,     // the file could not be opened or read (reported)
    WrongPassword,  // the key does not belong to the vault: its salt is not that key's digest
    Damaged,        // the key belongs to the vault, yet the body is cut or fails its digest (reported)
};
// What setPasswordHash answers.
enum PasswordResult : int { prCancelled = 0, prDerived = 1, prKeyRestored = 7 };
// What createVaultKeys answers.
enum CreateResult : int { crCreated = 1, crFailed = 2 };  // failed or cancelled: nothing left behind

class VaultStore {
public:
    static constexpr int KeyBitsDefault = 1024;

    // writer: how new vault and key files are written (tests hand in one that fails).
    explicit VaultStore(VaultPrompts& prompts, TForm* owner = nullptr,
                        const vaultfile::FileWriter& writer = vaultfile::systemFileWriter());
    ~VaultStore();
    VaultStore(const VaultStore&) = delete;
    VaultStore& operator=(const VaultStore&) = delete;

    // ---- session and location ----
    void initSession();  // a fresh random KeyMask, KeyBits 1024
    std::string getDBLoc() const { return DBLoc; }
    std::string getDBFname() const { return DBFname; }
    void setDBLoc(const std::string& folder) { DBLoc = folder; }
    void setDBFname(const std::string& name) { DBFname = name; }
    std::string vaultFilePath() const { return DBLoc + "\\" + DBFname + ".vlt"; }
    std::string keyFilePath() const { return DBLoc + "\\" + DBFname + ".kvt"; }
    // The crypto library's file name; tests use broken stand-ins.
    void setCryptoLibraryNameForTesting(const std::string& name) {
        cryptoName_ = name;
        residentLibrary_.close();
    }

    // ---- data model ----
    VaultContent& content() { return content_; }
    const VaultContent& content() const { return content_; }
    SecretText buildVaultText() const;
    // Reads a decrypted vault text into the data model (currCat from the settings key); wipes the text.
    void readVaultText(SecretText& text);

    // ---- vault and key files ----
    SaveResult writeDatabase(const std::string& targetPath);
    // The vault text when the file decrypts to a body whose digest matches, else nothing; failure
    // tells why. A damaged vault is reported naming the file, never taken for a wrong password:
    // the salt is the first 8 bytes of MD5(vault key), so a key that gives it is the right one.
    std::optional<SecretText> readDB(const std::string& path, ReadFailure* failure = nullptr);
    // Found when the key backup's key material opens the current vault; the vault key is unchanged.
    KeyResult verifyKeyFile(const std::string& keyBackupPath);
    // Asks the master password and derives the password key (or restores the key when the user forgot it).
    PasswordResult setPasswordHash(int mode, bool retry, bool firstPasswordPage, const unsigned char salt[8]);
    // Decrypts the key file's private key with the password key and the vault key with it.
    // The key is only proposed; readDB proves and takes it. A vault file too short for its head,
    // or a key file shorter than its header says, is krDamaged (reported naming that file).
    KeyResult setRandKey();
    // Tells the user that the file at path is damaged, naming it.
    void reportDamagedFile(const std::string& path);
    bool advanceFileKeyChain();
    bool storeFileKeyChain();
    // Copies key-file bytes 8-23 into buffer; leaves it as it was when the file cannot be read.
    void readVaultID(unsigned char buffer[16]) const;

    // The data key for the next file to encrypt: advances the chain, stores it back, and gives
    // MD5(chain value || vault key). False (nothing stored, key zeroed) when the chain cannot be
    // advanced or stored; lastFileError() tells why when a file was at fault.
    bool nextDataKey(unsigned char dataKey[16]);

    // Creates the files of a new vault from the 64 entropy bytes and an RSA object that holds a
    // fresh key pair: vault key, salt, chain and vault ID, the 136-byte vault file, the new master
    // password, the key file.
    CreateResult createVaultKeys(const CryptoLibrary& library, qzcrypto::RSAEngine& rsa, const unsigned char seed[64]);

    // ---- key material for the file encryption ----
    bool hasVaultKey() const { return hasVaultKey_; }
    void copyVaultKey(unsigned char out[16]) const;  // unmasked copy; the caller wipes it
    const unsigned char* vaultID() const { return VaultID; }
    void setVaultID(const unsigned char id[16]);
    void clearPasswordKey() { PasswordKey.clear(); }
    // The password key as setPasswordHash last derived it (zeros after clearPasswordKey).
    const Secret16& passwordKey() const { return PasswordKey; }
    // The first 8 bytes of the session's key mask: the random part of a key backup.
    void keyMaskHead(unsigned char out[8]) const {
        for (int i = 0; i < 8; ++i) out[i] = KeyMask.bytes[i];
    }
    DWORD lastFileError() const { return lastFileError_; }
    int keyBits() const { return KeyBits; }

private:
    void toggleKeyMask();
    bool cryptoReady(const CryptoLibrary& library, const char* operation, bool needRSA);
    void reportLibraryFailure(const char* operation, DWORD error);
    std::optional<SecretText> readDBWithKey(const CryptoLibrary& library, const std::string& path, const Secret16& key,
                                            ReadFailure& failure);
    bool upgradeKeyFile(const CryptoLibrary& library, const SecretBytes& image, const Secret16& key);
    Secret16 unmasked(const Secret16& masked) const;
    Secret16 masked(const Secret16& plain) const;
    bool md5(const CryptoLibrary& library, const void* data, std::size_t n, unsigned char out[16]) const;
    void message(const std::string& text, int icon);

    VaultPrompts& prompts_;
    TForm* owner_;
    const vaultfile::FileWriter& writer_;
    std::string cryptoName_ = CryptoLibrary::DefaultName;
    win32::LibraryHandle residentLibrary_;  // the store's own reference, once an operation found the library
    VaultContent content_;

    std::string DBLoc;
    std::string DBFname;
    Secret16 VaultKey;   // masked
    Secret16 KeyMask;
    Secret16 PasswordKey;
    Secret16 FileKeyChain;
    unsigned char VaultID[16] = {};
    int KeyBits = KeyBitsDefault;

    // Whether the proven key belongs to the vault that DBLoc and DBFname name now: after another
    // vault was chosen and before its key was proved, a save would seal the old vault's content
    // under the old key behind the new vault's head, and the new vault would never open again.
    bool keyFitsNamedVault() const;

    bool hasVaultKey_ = false;
    std::string keyVaultPath_;      // full path of the vault file the proven key belongs to
    std::string pendingVaultPath_;  // the same for the proposed key
    bool hasPendingKey_ = false;
    Secret16 pendingKey_;        // masked, proposed by setRandKey
    SecretBytes pendingKeyFile_; // the key file as setRandKey read it (for the upgrade of older layouts)
    DWORD lastFileError_ = 0;
};

// The password key: MD5 of the password's bytes followed by the 8 salt bytes, then MD5 of the
// previous digest 1000 times more.
void derivePasswordKey(const CryptoLibrary& library, const SecretText& password, const unsigned char salt[8],
                       unsigned char key[16]);

// The stored currCat of the settings key; 2 when it cannot be read.
int readCurrCatSetting();

// What the user reads about a damaged vault or key file: the file named, what to do, and never
// that the password is wrong.
std::string damagedFileText(const std::string& path);
