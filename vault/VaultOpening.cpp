// Deciding which vault a run opens, and opening or creating it: the command line's encrypted
// file, vault or backup, else the selection dialog; the master-password loop; a new vault's keys,
// files and default content.
#include "vault/VaultFlows.h"

#include "base/RegistrySettings.h"
#include "base/Notice.h"
#include "base/ProductNames.h"
#include "base/SystemErrorText.h"
#include "vault/EncryptedFileLayout.h"
#include "vault/logger.h"

#include <cstdio>
#include <cstring>

using namespace vaultfile;

const char* const AlreadyOpenText =
    "The vault you have selected is already open on this computer.  You cannot have the same vault open more "
    "than once at the same time.";

namespace {

std::string fullPathOf(const std::string& path) {
    char buffer[2 * MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n && n < sizeof buffer ? std::string(buffer, n) : path;
}

}  // namespace

std::string vaultIdText(const unsigned char id[16]) {
    std::string text;
    char digits[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(digits, sizeof digits, "%.2x", id[i]);
        text += digits;
    }
    return text;
}

VaultFlows::VaultFlows(VaultStore& store, VaultPrompts& prompts, HandOffRoutine handOff, TForm* owner,
                       const FileWriter& writer)
    : store_(store), prompts_(prompts), handOff_(handOff), owner_(owner), writer_(writer) {}

void VaultFlows::message(const std::string& text, int icon) { ShowNotice(owner_, text, product::Title, mbsOk, icon); }

void VaultFlows::readVaultIdFromKeyFile() {
    unsigned char id[16];
    std::memcpy(id, store_.vaultID(), 16);
    store_.readVaultID(id);
    store_.setVaultID(id);
}

// The vault's named mutex, held from before the password prompt while the vault is open.
bool VaultFlows::takeVaultMutex() {
    vaultMutex_.close();
    const std::string name = vaultIdText(store_.vaultID());
    win32::KernelHandle mutex(CreateMutexA(nullptr, TRUE, name.c_str()));
    if (!mutex.valid() || GetLastError() == ERROR_ALREADY_EXISTS) {
        message(AlreadyOpenText, mbiInformation);
        return false;
    }
    vaultMutex_ = std::move(mutex);
    return true;
}

// A key file of the current layout carries the vault ID; older ones get it when first opened.
static bool keyFileHoldsVaultId(const std::string& keyPath) {
    std::uint64_t size = 0;
    return fileSize(keyPath, size) && size >= KeyFileBytes;
}

// The command line's encrypted file, vault or backup. True when one of them chose the vault.
bool VaultFlows::chooseFromPendingFiles(Choice& choice, bool& cancelled) {
    cancelled = false;
    if (!PendingEncFile.empty()) {
        unsigned char id[16];
        ReadVaultID(PendingEncFile, id);
        VaultChoice found;
        if (prompts_.findVaultById(id, found)) {
            store_.setDBLoc(found.folder);
            store_.setDBFname(found.name);
            choice = Choice::Open;
            return true;
        }
        message("None of the vaults that are currently in your list of existing vaults were used to encrypt this "
                "file.  You will need to browse to the appropriate vault in order to decrypt this file.",
                mbiInformation);
    }
    if (!PendingVaultFile.empty()) {
        const std::string full = fullPathOf(PendingVaultFile);
        PendingVaultFile.clear();
        const std::size_t slash = full.find_last_of('\\');
        const std::string file = slash == std::string::npos ? full : full.substr(slash + 1);
        store_.setDBLoc(slash == std::string::npos ? std::string() : full.substr(0, slash));
        store_.setDBFname(file.substr(0, file.find_last_of('.')));
        choice = Choice::Open;
        return true;
    }
    if (!PendingBackupFile.empty()) {
        const std::string backup = PendingBackupFile;
        PendingBackupFile.clear();
        if (prompts_.restoreVaultDialog(store_.getDBLoc(), backup) == 2) {
            cancelled = true;
            return true;
        }
        prompts_.vaultShown(product::Title + std::string(" - ") + store_.getDBFname());
        choice = Choice::Open;
        return true;
    }
    return false;
}

// The selection dialog until it gives a vault whose files are there, or another result.
VaultFlows::Choice VaultFlows::chooseVault(VaultChoice& choice, int& dialogResult) {
    for (;;) {
        dialogResult = prompts_.selectVault(choice);
        if (dialogResult == 9) return Choice::Restored;
        if (dialogResult == 16) {
            store_.setDBLoc(choice.folder);
            store_.setDBFname(choice.name);
            return Choice::Create;
        }
        if (dialogResult != 1) return Choice::Cancelled;
        store_.setDBLoc(choice.folder);
        store_.setDBFname(choice.name);
        moveOlderFilesOfChoice();
        const bool vaultThere = fileExists(store_.vaultFilePath());
        if (vaultThere && (fileExists(store_.keyFilePath()) || fileExists(store_.getDBLoc() + "\\pk.enc")))
            return Choice::Open;
        if (vaultThere)
            message("The key is missing for this vault.  Please select a different vault.", mbiCaution);
        else
            message("The vault that you have selected does not exist.  Please select a different one.", mbiCaution);
    }
}

LoadDBResult VaultFlows::loadDB() {
    if (!PendingEncFile.empty() && handOff_(PendingEncFile)) return ldFailed;
    Choice choice = Choice::Cancelled;
    bool cancelled = false;
    bool chosen = chooseFromPendingFiles(choice, cancelled);
    if (cancelled) return ldFailed;
    for (;;) {
        if (!chosen) {
            VaultChoice preselected{store_.getDBLoc(), store_.getDBFname()};
            int dialogResult = 0;
            choice = chooseVault(preselected, dialogResult);
        }
        readVaultIdFromKeyFile();
        switch (choice) {
        case Choice::Cancelled:
            return ldFailed;
        case Choice::Restored:
            // The restore dialog has opened the restored vault.
            if (!takeVaultMutex()) return ldAskAgain;
            prompts_.vaultShown(product::Title + std::string(" - ") + store_.getDBFname());
            return ldOpen;
        case Choice::Create:
            OpenVaultName = store_.getDBFname();
            return createVault();
        case Choice::Open:
            break;
        }
        OpenVaultName = store_.getDBFname();
        if (needsConversion()) {
            convertBeforeOpening();
            readVaultIdFromKeyFile();
        }
        const bool idKnown = keyFileHoldsVaultId(store_.keyFilePath());
        const LoadDBResult opened = idKnown && !takeVaultMutex() ? ldAskAgain : openChosenVault(idKnown);
        // Another process has this vault open, or it is damaged. A vault found for the pending
        // encrypted file would be found again on the next call, so the choice goes to the user now.
        if (opened == ldAskAgain && !PendingEncFile.empty() && chosen) {
            chosen = false;
            continue;
        }
        return opened;
    }
}

LoadDBResult VaultFlows::openChosenVault(bool mutexHeld) {
    if (const OpenVaultResult opened = openVault(store_.vaultFilePath()); opened != ovOpen) {
        vaultMutex_.close();
        return opened == ovDamaged ? ldAskAgain : ldFailed;
    }
    // The first opening of an older key file has just given it its vault ID.
    if (!mutexHeld && !takeVaultMutex()) return ldAskAgain;
    prompts_.vaultShown(product::Title + std::string(" - ") + store_.getDBFname());
    return ldOpen;
}

// A vault file that holds no whole body, or a key file shorter than its header says, is damaged
// whatever the password: it is reported before the password is asked.
bool VaultFlows::filesLookWhole(const std::string& vaultPath) {
    std::uint64_t size = 0;
    if (fileSize(vaultPath, size) && checkBodyLength(size) != BodyLength::Fits) {
        store_.reportDamagedFile(vaultPath);
        return false;
    }
    SecretBytes image;
    if (readWholeFile(store_.keyFilePath(), image) && !keyFileIsWhole(image.data(), image.size())) {
        store_.reportDamagedFile(store_.keyFilePath());
        return false;
    }
    return true;
}

OpenVaultResult VaultFlows::openVault(const std::string& path) {
    bool retry = false;
    for (;;) {
        SecretBytes salt;
        if (FileResult read = readFileRange(path, 0, SaltBytes, salt); !read) {
            if (read.error != ERROR_HANDLE_EOF) {
                prompts_.showFileError(read.error, "your vault");
                return ovFailed;
            }
            store_.reportDamagedFile(path);
            return ovDamaged;
        }
        if (!filesLookWhole(path)) return ovDamaged;
        traceLog.write("setting password hash");
        PasswordResult asked = store_.setPasswordHash(0, retry, false, salt.data());
        traceLog.write("got password hash");
        if (asked == prCancelled) return ovFailed;
        if (asked == prKeyRestored) {
            retry = false;
            continue;
        }
        if (const KeyResult key = store_.setRandKey(); key != krFound) {
            if (key == krDamaged) return ovDamaged;
            message("There was a problem reading your vault key.", mbiCaution);
            return ovFailed;
        }
        traceLog.write("trying to read the database");
        ReadFailure failure = ReadFailure::None;
        std::optional<SecretText> text = store_.readDB(path, &failure);
        if (failure == ReadFailure::Damaged) return ovDamaged;
        if (!text) {
            retry = true;
            continue;
        }
        traceLog.write("successfully read it in");
        store_.readVaultText(*text);
        return ovOpen;
    }
}

// ---- a new vault ----

LoadDBResult VaultFlows::createVault() {
    CryptoLibrary library(cryptoName_.c_str());
    CryptoLibrary::RSA rsa;
    if (library.loaded() && library.hasMD5() && library.hasRSA()) rsa = library.newRSA();
    if (!rsa) {
        message("Some of your files are missing or corrupt.  Please reinstall Brimsafe.", mbiCaution);
        traceLog.write("failed to load dll in loadDB");
        traceLog.write(systemErrorText(library.loaded() ? ERROR_PROC_NOT_FOUND : library.loadError()));
        return ldFailed;
    }
    // A cancelled earlier attempt left nothing behind, but the model may hold another vault.
    store_.content().clear();
    createDefaultContent();
    addEncryptedFilesCategory();

    SecretBytes seed(qzcrypto::SeedBytes);
    CreateResult created = crFailed;
    if (prompts_.createKeys(*rsa, store_.keyBits(), seed.data()) != 2)
        created = store_.createVaultKeys(library, *rsa, seed.data());
    if (created != crCreated) {
        store_.content().clear();
        return ldAskAgain;
    }
    registerVault();
    takeVaultMutex();
    NewVaultCreated = true;
    // A new vault is titled like every opened one, not only from its next start on.
    prompts_.vaultShown(product::Title + std::string(" - ") + store_.getDBFname());
    return ldOpen;
}

void VaultFlows::registerVault() {
    settings::addKnownVault(store_.getDBFname(), store_.getDBLoc() + "\\" + store_.getDBFname());
}

void VaultFlows::addEncryptedFilesCategory() { store_.content().addEncryptedFilesCategory(); }

namespace {

struct HeaderSpec {
    const char* name;
    int type;
    int width;
    int show;
};

void addDefaultCategory(VaultContent& content, const char* name, std::initializer_list<HeaderSpec> headers,
                        std::initializer_list<RowValues> rows) {
    category* c = content.addCategory(name);
    for (const HeaderSpec& h : headers) c->addHeader(h.name, h.type, h.show, h.width);
    for (const RowValues& values : rows) c->insertRow(values);
}

}  // namespace

void VaultFlows::createDefaultContent() {
    VaultContent& content = store_.content();
    addDefaultCategory(
        content, "To Do",
        {{"Task", 0, 107, 0}, {"Description", 1, 107, 0}, {"Priority", 0, 107, 0}, {"Completed", 0, 107, 0}},
        {{"Review Tutorial",
          "You can take the Brimsafe tutorial at any time by clicking on the Help button at the top of this form and "
          "then clicking the tutorial button.",
          "1", "no"},
         {"Back up you key", "Make sure to back up the key to your vault.  Select backup/restore under the tools menu.",
          "1", "no"}});
    addDefaultCategory(content, "Passwords",
                       {{"Name", 0, 143, 0},
                        {"Login ID", 0, 143, 0},
                        {"Password", 0, 0, 2},
                        {"Email Address", 0, 0, 1},
                        {"Web Site", 0, 143, 0},
                        {"Notes", 1, 0, 1}},
                       {{"Sample Entry", "Enter login here", "Enter password here", "", "Enter web address here",
                         "This is an example of a password entry."}});
    addDefaultCategory(content, "Contacts",
                       {{"Name", 0, 107, 0},
                        {"Email Address", 0, 107, 0},
                        {"Phone Number", 0, 107, 0},
                        {"Cell Phone", 0, 0, 1},
                        {"Address", 1, 0, 1},
                        {"Birthday", 0, 107, 0},
                        {"Notes", 1, 0, 1}},
                       {{"Quarrendel", "support@quarrendel.example", "555-0100", "",
                         "1 Harbour Road, Quarrendel", "", ""}});
    content.current = content.userCategories;
    content.currCat = 2;
}
