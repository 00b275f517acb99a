// Saving, the vault backup (".bvt": magic, the whole key file, a vault file) and its restore with
// roll-back, the key backup (".bkv": magic, 8 random bytes R, the key file with its key block
// decrypted and scrambled) and its restore, and the password change.
//
// Every file is written whole through a temporary file, and a failure leaves the old file as it
// was and shows why, never a success text. A backup is never written over the open vault's own
// files. A restore checks the whole backup before it moves anything, never overwrites or deletes a
// ".bak" it did not make, and puts everything back when the restored vault does not open. A
// restore whose vault (the backup's, or the one it would replace) another process has open is
// refused before anything moves.
#include "vault/VaultFlows.h"

#include "base/Notice.h"
#include "base/ProductNames.h"
#include "base/SystemErrorText.h"
#include "vault/BufferCipher.h"
#include "vault/logger.h"

#include <cstring>
#include <vector>

using namespace vaultfile;

namespace {

constexpr std::uint32_t VaultBackupMagic = 0x4EDD2BAD;
constexpr std::size_t BackupRandomBytes = 8;
const unsigned char Scramble[8] = {0x3F, 0xA9, 0x62, 0x0D, 0x8E, 0x51, 0xC7, 0x24};

const char* const NotValidKeyBackup = "This is not a valid key backup.  Your key has not been restored.";
const char* const PasswordNotChanged = "Your password has not been changed.";
const char* const KeyUnreadable = "There was a problem reading your key.  You may need to restore it.";

std::string fullPathOf(const std::string& path) {
    char buffer[2 * MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n && n < sizeof buffer ? std::string(buffer, n) : path;
}

// XOR of the key block with R and the scramble constant; the same call undoes it.
void scrambleKeyBlock(unsigned char* block, const unsigned char random[8]) {
    for (std::size_t i = 0; i < KeyBlockBytes; ++i) block[i] ^= random[i % 8] ^ Scramble[i % 8];
}

}  // namespace

bool VaultFlows::writeOrReport(const std::string& path, FilePieces pieces, const char* name) {
    FileResult written = replaceFile(path, pieces, writer_);
    if (written) return true;
    traceLog.write(systemErrorText(written.error));
    prompts_.showFileError(written.error, name);
    return false;
}

bool VaultFlows::refuseOwnFiles(const std::string& target) {
    const std::string full = fullPathOf(target);
    for (const std::string& own : {store_.vaultFilePath(), store_.keyFilePath()}) {
        if (lstrcmpiA(full.c_str(), fullPathOf(own).c_str()) == 0) {
            message("You cannot back up to the files of the open vault.  Please choose another file.", mbiCaution);
            return true;
        }
    }
    return false;
}

// ---- saving and the Tools results ----

SaveResult VaultFlows::saveVault() {
    SaveResult result = store_.writeDatabase(store_.vaultFilePath());
    if (result == srSaved) Modified = false;
    return result;
}

void VaultFlows::runToolsResult(int result, const std::string& ToolsPath) {
    switch (result) {
    case 3:
        if (backupVault(ToolsPath)) message("Your database has been backed up.", mbiInformation);
        break;
    case 4:
        switch (restoreVault(ToolsPath)) {
        case rrRestored: message("Your vault has been restored.", mbiInformation); break;
        case rrNotRestored: message("Your vault has not been restored.", mbiInformation); break;
        case rrNotBackup:
            message("This is not a valid Vault Backup.  Your vault has not been restored.", mbiInformation);
            break;
        }
        break;
    case 5:
        message(backupKey(ToolsPath, true) == 0 ? "Your key has been saved." : "Your key has not been saved.",
                mbiInformation);
        break;
    case 8:
        changePassword();
        break;
    default:
        break;
    }
}

// ---- vault backup ----

bool VaultFlows::backupVault(const std::string& path) {
    if (refuseOwnFiles(path)) return false;
    if (Modified) saveVault();
    // The vault copy goes beside the target first, so a failure leaves an earlier file at the
    // target as it was.
    const std::string copyPath = path + ".part";
    if (store_.writeDatabase(copyPath) != srSaved) return false;
    const bool made = makeVaultBackup(path, copyPath);
    DeleteFileA(copyPath.c_str());
    return made;
}

bool VaultFlows::makeVaultBackup(const std::string& path, const std::string& copyPath) {
    SecretBytes copy, keyFile;
    if (FileResult read = readWholeFile(copyPath.empty() ? path : copyPath, copy); !read) {
        prompts_.showFileError(read.error, "your backup");
        return false;
    }
    if (FileResult read = readWholeFile(store_.keyFilePath(), keyFile); !read) {
        prompts_.showFileError(read.error, "your key");
        return false;
    }
    unsigned char magic[4];
    writeU32(magic, VaultBackupMagic);
    return writeOrReport(path, {{magic, 4}, {keyFile.data(), keyFile.size()}, {copy.data(), copy.size()}},
                         "your backup");
}

// ---- vault restore ----

namespace {

// A backup this version can have written: its key file of the current layout and a vault file of
// whole blocks with at least the smallest body.
bool isWholeVaultBackup(const SecretBytes& backup) {
    if (backup.size() < 4 + KeyFileBytes || readU32(backup.data()) != VaultBackupMagic) return false;
    const unsigned char* key = backup.data() + 4;
    if (readU32(key) != KeyFileBytes || readU32(key + MagicOffset) != KeyFileMagic) return false;
    const std::size_t vaultBytes = backup.size() - 4 - KeyFileBytes;
    return vaultBytes >= HeadBytes + MinimumBodyBytes && (vaultBytes - HeadBytes) % 8 == 0;
}

}  // namespace

RestoreResult VaultFlows::unpackVaultBackup(const std::string& path) {
    SecretBytes backup;
    if (!readWholeFile(path, backup) || !isWholeVaultBackup(backup)) return rrNotBackup;

    movedVaultAside_ = movedKeyAside_ = wroteRestoredFiles_ = false;
    // A ".bak" already there (left by an interrupted restore) makes its move fail: it is never
    // replaced, and the live files stay where they are.
    const bool vaultThere = fileExists(store_.vaultFilePath());
    if (vaultThere && !MoveFileA(store_.vaultFilePath().c_str(), bakPath("default.bak").c_str())) {
        traceLog.write("restore: " + systemErrorText(GetLastError()));
        return rrNotRestored;
    }
    movedVaultAside_ = vaultThere;
    const bool keyThere = fileExists(store_.keyFilePath());
    if (keyThere && !MoveFileA(store_.keyFilePath().c_str(), bakPath("pk.bak").c_str())) {
        traceLog.write("restore: " + systemErrorText(GetLastError()));
        rollBackRestore();
        return rrNotRestored;
    }
    movedKeyAside_ = keyThere;

    const unsigned char* key = backup.data() + 4;
    const unsigned char* vault = key + KeyFileBytes;
    const std::size_t vaultBytes = backup.size() - 4 - KeyFileBytes;
    wroteRestoredFiles_ = true;
    if (!writeOrReport(store_.keyFilePath(), {{key, KeyFileBytes}}, "your key") ||
        !writeOrReport(store_.vaultFilePath(), {{vault, vaultBytes}}, "your vault")) {
        rollBackRestore();
        return rrNotRestored;
    }
    return rrRestored;
}

void VaultFlows::rollBackRestore() {
    if (wroteRestoredFiles_) {
        DeleteFileA(store_.vaultFilePath().c_str());
        DeleteFileA(store_.keyFilePath().c_str());
    }
    if (movedVaultAside_) MoveFileA(bakPath("default.bak").c_str(), store_.vaultFilePath().c_str());
    if (movedKeyAside_) MoveFileA(bakPath("pk.bak").c_str(), store_.keyFilePath().c_str());
    movedVaultAside_ = movedKeyAside_ = wroteRestoredFiles_ = false;
}

void VaultFlows::deleteBakFiles() {
    if (movedVaultAside_) DeleteFileA(bakPath("default.bak").c_str());
    if (movedKeyAside_) DeleteFileA(bakPath("pk.bak").c_str());
    movedVaultAside_ = movedKeyAside_ = wroteRestoredFiles_ = false;
}

namespace {

// Whether another holder has the named mutex of the vault with that ID (probed as other processes
// do: create, look for "already exists", close).
bool vaultMutexHeld(const unsigned char id[16]) {
    win32::KernelHandle probe(CreateMutexA(nullptr, FALSE, vaultIdText(id).c_str()));
    return probe.valid() && GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

// The backup's vault, or the vault whose files it would replace, is open in another process: its
// files are not this process's to move.
bool VaultFlows::refuseVaultOpenElsewhere(const std::string& backupPath) {
    std::vector<SecretBytes> ids;
    SecretBytes head;
    if (readFileRange(backupPath, 0, 4 + VaultIdOffset + 16, head) && head.size() == 4 + VaultIdOffset + 16 &&
        readU32(head.data()) == VaultBackupMagic)
        ids.emplace_back(head.begin() + 4 + VaultIdOffset, head.end());
    SecretBytes id;
    if (readFileRange(store_.keyFilePath(), VaultIdOffset, 16, id) && id.size() == 16) ids.push_back(id);
    for (const SecretBytes& candidate : ids) {
        // The vault this process holds open is its own to restore.
        if (vaultMutex_.valid() && std::memcmp(candidate.data(), store_.vaultID(), 16) == 0) continue;
        if (vaultMutexHeld(candidate.data())) {
            message(AlreadyOpenText, mbiInformation);
            return true;
        }
    }
    return false;
}

RestoreResult VaultFlows::restoreVault(const std::string& path) {
    if (refuseVaultOpenElsewhere(path)) return rrNotRestored;
    CreateDirectoryA(store_.getDBLoc().c_str(), nullptr);
    const RestoreResult unpacked = unpackVaultBackup(path);
    if (unpacked != rrRestored) return unpacked;
    const int keptCurrCat = store_.content().currCat;
    // A vault that does not open leaves the model and the proven key as they were.
    if (openVault(store_.vaultFilePath()) != ovOpen) {
        store_.content().currCat = keptCurrCat;
        rollBackRestore();
        return rrNotRestored;
    }
    deleteBakFiles();
    // The restored vault may be another one: its ID, mutex, caption and file tree follow.
    readVaultIdFromKeyFile();
    takeVaultMutex();
    prompts_.vaultShown(product::Title + std::string(" - ") + store_.getDBFname());
    return rrRestored;
}

// ---- the master password ----

// Asks the master password until it opens the vault. The vault key is only replaced by a proven
// one, so a wrong password followed by a way out leaves the key as it was.
VaultFlows::Proof VaultFlows::proveMasterPassword(const unsigned char salt[8]) {
    bool retry = false;
    for (;;) {
        PasswordResult asked = store_.setPasswordHash(0, retry, false, salt);
        if (asked == prCancelled) return Proof::Cancelled;
        if (asked == prKeyRestored) return Proof::KeyRestored;
        if (const KeyResult key = store_.setRandKey(); key != krFound)
            return key == krDamaged ? Proof::Damaged : Proof::KeyUnreadable;
        ReadFailure failure = ReadFailure::None;
        if (std::optional<SecretText> text = store_.readDB(store_.vaultFilePath(), &failure)) return Proof::Proved;
        // The password was right, yet the body is cut or broken: no password opens it.
        if (failure == ReadFailure::Damaged) return Proof::Damaged;
        retry = true;
    }
}

// ---- key backup ----

int VaultFlows::backupKey(const std::string& path, bool askPassword) {
    if (refuseOwnFiles(path)) return 1;
    SecretBytes salt;
    if (FileResult read = readFileRange(store_.vaultFilePath(), 0, SaltBytes, salt); !read) {
        message("There was a problem opening your vault.", mbiCaution);
        traceLog.write(systemErrorText(read.error));
        return 1;
    }
    if (askPassword) {
        // "Forgot your Password?" restores the key under a new password: ask that one now.
        Proof proof = Proof::KeyRestored;
        while (proof == Proof::KeyRestored) proof = proveMasterPassword(salt.data());
        if (proof == Proof::Cancelled) message("Your key has not been backed up.", mbiInformation);
        if (proof != Proof::Proved) {
            store_.clearPasswordKey();
            return 1;
        }
    }
    SecretBytes image;
    FileResult read = readWholeFile(store_.keyFilePath(), image);
    std::optional<std::size_t> offset = read ? keyBlockOffset(image.data(), image.size()) : std::nullopt;
    if (!offset) {
        message("There was a problem accessing your key.", mbiCaution);
        traceLog.write(systemErrorText(read ? ERROR_INVALID_DATA : read.error));
        store_.clearPasswordKey();
        return 1;
    }
    unsigned char* block = image.data() + *offset;
    decryptBuffer(block, block, KeyBlockBytes, store_.passwordKey().data());
    store_.clearPasswordKey();
    unsigned char random[BackupRandomBytes];
    store_.keyMaskHead(random);
    scrambleKeyBlock(block, random);
    unsigned char magic[4];
    writeU32(magic, KeyFileMagic);
    FileResult written = replaceFile(path, {{magic, 4}, {random, sizeof random}, {image.data(), image.size()}}, writer_);
    secureWipe(random, sizeof random);
    if (!written) {
        traceLog.write(systemErrorText(written.error));
        message("There was a problem saving your key.  Perhaps the drive is read only or full?", mbiInformation);
        return 1;
    }
    return 0;
}

// ---- key restore ----

int VaultFlows::restoreKey(const std::string& path) {
    traceLog.write("Restoring key...");
    traceLog.write(path);
    SecretBytes backup;
    if (!readWholeFile(path, backup)) {
        message("Brimsafe was unable to find the file you specified", mbiCaution);
        return 0;
    }
    // The image is a key file of one of the three layouts, with its key block inside it; the layout
    // is read by offsets alone, so a short backup forms no pointer past its end.
    const std::optional<KeyBackupLayout> layout = keyBackupLayout(backup.data(), backup.size());
    if (!layout) {
        message(NotValidKeyBackup, mbiCaution);
        return 0;
    }
    if (store_.verifyKeyFile(path) != krFound) {
        message("The key you have selected does not pertain to this vault.  The key has not been restored.",
                mbiCaution);
        return 0;
    }
    SecretBytes salt;
    if (FileResult read = readFileRange(store_.vaultFilePath(), 0, SaltBytes, salt); !read) {
        prompts_.showFileError(read.error, "your vault");
        return 0;
    }
    PasswordResult asked = store_.setPasswordHash(1, false, false, salt.data());
    secureWipe(salt.data(), salt.size());
    if (asked != prDerived) {
        store_.clearPasswordKey();
        message("Your key has not been restored.", mbiInformation);
        return 0;
    }
    SecretBytes restored(backup.begin() + layout->imageOffset, backup.end());
    unsigned char* block = restored.data() + (layout->blockOffset - layout->imageOffset);
    scrambleKeyBlock(block, backup.data() + 4);
    encryptBuffer(block, block, KeyBlockBytes, store_.passwordKey().data());
    store_.clearPasswordKey();
    return writeOrReport(store_.keyFilePath(), {{restored.data(), restored.size()}}, "your key") ? 1 : 0;
}

int VaultFlows::forgotPassword() {
    std::string keyFilePath;
    if (prompts_.keyRestoreDialog(keyFilePath) != 6 || restoreKey(keyFilePath) != 1) return 0;
    message("Your key has been restored.", mbiInformation);
    return 1;
}

// ---- password change ----

void VaultFlows::changePassword() {
    message("You must first provide your current password before being able to set a new one.", mbiInformation);
    SecretBytes salt;
    if (FileResult read = readFileRange(store_.vaultFilePath(), 0, SaltBytes, salt); !read) {
        prompts_.showFileError(read.error, "your vault");
        return;
    }
    switch (proveMasterPassword(salt.data())) {
    case Proof::Cancelled:
        store_.clearPasswordKey();
        message(PasswordNotChanged, mbiInformation);
        return;
    case Proof::KeyRestored:  // the key has a new password already
        store_.clearPasswordKey();
        return;
    case Proof::KeyUnreadable:
        store_.clearPasswordKey();
        message(KeyUnreadable, mbiInformation);
        return;
    case Proof::Damaged:  // reported naming the file
        store_.clearPasswordKey();
        return;
    case Proof::Proved:
        break;
    }
    SecretBytes image;
    FileResult read = readWholeFile(store_.keyFilePath(), image);
    std::optional<std::size_t> offset = read ? keyBlockOffset(image.data(), image.size()) : std::nullopt;
    if (!offset) {
        store_.clearPasswordKey();
        message(KeyUnreadable, mbiInformation);
        return;
    }
    unsigned char* block = image.data() + *offset;
    decryptBuffer(block, block, KeyBlockBytes, store_.passwordKey().data());
    store_.clearPasswordKey();
    if (store_.setPasswordHash(1, false, false, salt.data()) != prDerived) {
        store_.clearPasswordKey();
        message(PasswordNotChanged, mbiInformation);
        return;
    }
    encryptBuffer(block, block, KeyBlockBytes, store_.passwordKey().data());
    store_.clearPasswordKey();
    if (writeOrReport(store_.keyFilePath(), {{image.data(), image.size()}}, "your key"))
        message("Your password has been changed.", mbiInformation);
}
