// The vault store's operations. Each one that needs the crypto library loads it, checks its
// exports and frees it again; each key copy lives in a Secret16 and is gone when it ends.
#include "vault/VaultStore.h"

#include "base/Notice.h"
#include "base/ProductNames.h"
#include "base/SystemErrorText.h"
#include "framework/Win32Handles.h"
#include "vault/BufferCipher.h"
#include "vault/logger.h"

#include <cryptopp/osrng.h>

#include <cstring>

using namespace vaultfile;

namespace {

const char* const ReinstallText = "Some of your files are missing or corrupt.  Please reinstall Brimsafe.";

// Owns a buffer handed out by the RSA object and gives it back through FreeBuffer.
class RSABuffer {
public:
    explicit RSABuffer(qzcrypto::RSAEngine& rsa) : rsa_(rsa) {}
    ~RSABuffer() {
        if (p_) rsa_.FreeBuffer(p_);
    }
    RSABuffer(const RSABuffer&) = delete;
    RSABuffer& operator=(const RSABuffer&) = delete;
    unsigned char** out() { return &p_; }
    unsigned char* get() const { return p_; }

private:
    qzcrypto::RSAEngine& rsa_;
    unsigned char* p_ = nullptr;
};

std::string fullPathOf(const std::string& path) {
    char buffer[2 * MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n && n < sizeof buffer ? std::string(buffer, n) : path;
}

void xorInto(unsigned char* target, const unsigned char* with, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) target[i] ^= with[i];
}

}  // namespace

void derivePasswordKey(const CryptoLibrary& library, const SecretText& password, const unsigned char salt[8],
                       unsigned char key[16]) {
    SecretBytes input(password.begin(), password.end());
    input.insert(input.end(), salt, salt + SaltBytes);
    library.md5(input.data(), static_cast<std::uint32_t>(input.size()), key);
    for (int i = 0; i < 1000; ++i) library.md5(key, 16, key);
}

std::string damagedFileText(const std::string& path) {
    return "The file \"" + path +
           "\" is damaged, so Brimsafe cannot open this vault.  You may need to restore a backed up version of your "
           "vault.";
}

int readCurrCatSetting() {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return 2;
    DWORD value = 0, size = sizeof value, type = 0;
    LSTATUS status = RegQueryValueExA(key.get(), "currCat", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return 2;
    return static_cast<int>(value);
}

VaultStore::VaultStore(VaultPrompts& prompts, TForm* owner, const FileWriter& writer)
    : prompts_(prompts), owner_(owner), writer_(writer) {
    initSession();
}

VaultStore::~VaultStore() { secureWipe(VaultID, sizeof VaultID); }

// ---- session ----

void VaultStore::initSession() {
    Secret16 plain = unmasked(VaultKey);
    Secret16 pending = unmasked(pendingKey_);
    CryptoPP::OS_GenerateRandomBlock(false, KeyMask.data(), 16);
    VaultKey = masked(plain);
    pendingKey_ = masked(pending);
    KeyBits = KeyBitsDefault;
}

void VaultStore::toggleKeyMask() { xorInto(VaultKey.data(), KeyMask.data(), 16); }

Secret16 VaultStore::unmasked(const Secret16& m) const {
    Secret16 plain = m;
    xorInto(plain.data(), KeyMask.data(), 16);
    return plain;
}

Secret16 VaultStore::masked(const Secret16& plain) const { return unmasked(plain); }

void VaultStore::copyVaultKey(unsigned char out[16]) const {
    Secret16 plain = unmasked(VaultKey);
    std::memcpy(out, plain.data(), 16);
}

void VaultStore::setVaultID(const unsigned char id[16]) { std::memcpy(VaultID, id, 16); }

bool VaultStore::keyFitsNamedVault() const {
    return hasVaultKey_ && lstrcmpiA(keyVaultPath_.c_str(), fullPathOf(vaultFilePath()).c_str()) == 0;
}

void VaultStore::message(const std::string& text, int icon) { ShowNotice(owner_, text, product::Title, mbsOk, icon); }

void VaultStore::reportDamagedFile(const std::string& path) {
    traceLog.write("damaged: " + path);
    message(damagedFileText(path), mbiCaution);
}

// ---- crypto library ----

void VaultStore::reportLibraryFailure(const char* operation, DWORD error) {
    message(ReinstallText, mbiCaution);
    traceLog.write(std::string("failed to load dll in ") + operation);
    traceLog.write(systemErrorText(error));
}

bool VaultStore::cryptoReady(const CryptoLibrary& library, const char* operation, bool needRSA) {
    if (!library.loaded()) {
        reportLibraryFailure(operation, library.loadError());
        return false;
    }
    if (!library.hasMD5() || (needRSA && !library.hasRSA())) {
        reportLibraryFailure(operation, ERROR_PROC_NOT_FOUND);
        return false;
    }
    if (!residentLibrary_) residentLibrary_ = win32::LibraryHandle(LoadLibraryA(cryptoName_.c_str()));
    return true;
}

bool VaultStore::md5(const CryptoLibrary& library, const void* data, std::size_t n, unsigned char out[16]) const {
    return library.md5(data, static_cast<std::uint32_t>(n), out);
}

// ---- vault text ----

SecretText VaultStore::buildVaultText() const {
    return ::buildVaultText(content_.hidePwords, content_.encryptedFiles, content_.userCategories);
}

void VaultStore::readVaultText(SecretText& text) {
    ::readVaultText(text.data(), text.size(), content_, readCurrCatSetting());
    secureWipe(&text[0], text.capacity());
    text.clear();
}

// ---- writeDatabase ----

SaveResult VaultStore::writeDatabase(const std::string& targetPath) {
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "writeDatabase", false)) return srNotSaved;
    if (!keyFitsNamedVault()) {
        // Without a proven key of this vault the body would be sealed under a wrong one and never
        // open again.
        traceLog.write("writeDatabase: no vault key");
        message("There was a problem reading your vault key.", mbiCaution);
        return srNotSaved;
    }

    // The text is written straight into the body's room behind its head: one buffer of the
    // body's size is touched, not a text and then a copy of it.
    const std::size_t textLength =
        vaultTextLength(content_.hidePwords, content_.encryptedFiles, content_.userCategories);
    const std::size_t textAt = bodyTextOffset(textLength);
    SecretBytes body(bodyLength(textLength), 0);
    writeVaultText(reinterpret_cast<char*>(body.data() + textAt), content_.hidePwords, content_.encryptedFiles,
                   content_.userCategories);
    {
        unsigned char digest[16];
        md5(library, body.data() + textAt, textLength, digest);
        writeBodyHead(body.data(), digest, textLength);
    }
    Secret16 key = unmasked(VaultKey);
    encryptBuffer(body.data(), body.data(), body.size(), key.data());

    const std::string vaultPath = vaultFilePath();
    if (!fileExists(vaultPath)) {
        message("Brimsafe is unable to locate your vault.  It will not be saved at this time.", mbiInformation);
        return srNotSaved;
    }
    SecretBytes head;
    if (FileResult read = readFileRange(vaultPath, 0, HeadBytes, head); !read) {
        prompts_.showFileError(read.error, "your vault");
        return srNotSaved;
    }
    if (FileResult written = replaceFile(targetPath, {{head.data(), head.size()}, {body.data(), body.size()}}, writer_);
        !written) {
        traceLog.write("writeDatabase: " + systemErrorText(written.error));
        prompts_.showFileError(written.error, "your vault");
        return srNotSaved;
    }
    return srSaved;
}

// ---- readDB ----

std::optional<SecretText> VaultStore::readDB(const std::string& path, ReadFailure* failure) {
    ReadFailure why = ReadFailure::None;
    std::optional<SecretText> text;
    CryptoLibrary library(cryptoName_.c_str());
    if (cryptoReady(library, "readDB", false)) {
        const bool proposing = hasPendingKey_;
        Secret16 key = unmasked(proposing ? pendingKey_ : VaultKey);
        text = readDBWithKey(library, path, key, why);
        if (text && proposing) {
            VaultKey = pendingKey_;
            hasVaultKey_ = true;
            keyVaultPath_ = pendingVaultPath_;
            hasPendingKey_ = false;
            pendingKey_.clear();
            if (pendingKeyFile_.size() <= OldChainKeyFileBytes) upgradeKeyFile(library, pendingKeyFile_, key);
            pendingKeyFile_.clear();
        }
    } else {
        why = ReadFailure::Unreadable;
    }
    if (failure) *failure = why;
    return text;
}

std::optional<SecretText> VaultStore::readDBWithKey(const CryptoLibrary& library, const std::string& path,
                                                    const Secret16& key, ReadFailure& failure) {
    failure = ReadFailure::Unreadable;
    std::uint64_t size = 0;
    if (!fileSize(path, size)) {
        traceLog.write("Couldn't open fname in readDB");
        message("There was a problem opening the vault.", mbiCaution);
        return std::nullopt;
    }
    if (checkBodyLength(size) != BodyLength::Fits) {
        // Cut, or longer than any vault: no key opens it, and nothing is read by that length.
        failure = ReadFailure::Damaged;
        reportDamagedFile(path);
        return std::nullopt;
    }
    const std::size_t s = static_cast<std::size_t>(size - HeadBytes);

    // The password's own check: the salt is the head of MD5(vault key). A key that does not give
    // it came from a wrong password; one that does is the vault's, whatever the body holds.
    SecretBytes salt;
    if (FileResult read = readFileRange(path, 0, SaltBytes, salt); !read) {
        traceLog.write("readDB: " + systemErrorText(read.error));
        return std::nullopt;
    }
    unsigned char keyDigest[16];
    md5(library, key.data(), 16, keyDigest);
    if (std::memcmp(keyDigest, salt.data(), SaltBytes) != 0) {
        failure = ReadFailure::WrongPassword;
        return std::nullopt;
    }

    traceLog.write("reading entire vault file (past the salt)");
    // The body becomes the text in place: a vault near the size bound must not need two copies.
    SecretText body;
    if (FileResult read = readFileRange(path, HeadBytes, s, body); !read) {
        traceLog.write("readDB: " + systemErrorText(read.error));
        return std::nullopt;
    }
    traceLog.write("Decrypting vault file");
    auto* bytes = reinterpret_cast<unsigned char*>(&body[0]);
    decryptBufferSpread(bytes, bytes, s, key.data());
    traceLog.write("done decrypting vault file");
    traceLog.write("close inf");
    traceLog.write("new dbBuffer");
    traceLog.write("memset it");
    traceLog.write("memset hash");
    unsigned char storedDigest[16];
    std::memcpy(storedDigest, bytes, 16);
    traceLog.write("terminate filehash");
    traceLog.write("scanf");
    traceLog.write("look for space");
    traceLog.write("add *dbsize to floc");
    traceLog.write("memcpy into dbbuffer");
    cutToBodyText(body);
    traceLog.write("memcpy into textouttotal");
    traceLog.write("and delete it");
    traceLog.write("md5");
    unsigned char digest[16];
    md5(library, body.data(), body.size(), digest);
    traceLog.write("free library");
    traceLog.write("memcmp");
    if (std::memcmp(digest, storedDigest, 16) == 0) {
        failure = ReadFailure::None;
        return body;
    }
    traceLog.write("delete dbBuffer");
    failure = ReadFailure::Damaged;
    reportDamagedFile(path);
    return std::nullopt;
}

// ---- keys ----

PasswordResult VaultStore::setPasswordHash(int mode, bool retry, bool firstPasswordPage, const unsigned char salt[8]) {
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "setPasswordHash", false)) return prCancelled;
    for (;;) {
        SecretText password;
        int answer = prompts_.askPassword(mode, retry, firstPasswordPage, password);
        if (answer == 7) {
            if (prompts_.forgotPassword()) return prKeyRestored;
            continue;
        }
        if (answer != 1) return prCancelled;
        derivePasswordKey(library, password, salt, PasswordKey.data());
        return prDerived;
    }
}

KeyResult VaultStore::setRandKey() {
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "setRandKey", true)) return krFailed;
    CryptoLibrary::RSA rsa = library.newRSA();
    if (!rsa) {
        reportLibraryFailure("setRandKey", ERROR_INVALID_FUNCTION);
        return krFailed;
    }
    auto unreadable = [this](const FileResult& read) {
        if (read) return false;
        lastFileError_ = read.error;
        prompts_.showFileError(read.error, "your key");
        traceLog.write(systemErrorText(read.error));
        return true;
    };
    SecretBytes wrapped, image;
    if (FileResult read = readFileRange(vaultFilePath(), SaltBytes, WrappedKeyBytes, wrapped); !read) {
        // A vault file too short for its head is the vault's fault, not the key file's.
        lastFileError_ = read.error;
        traceLog.write(systemErrorText(read.error));
        if (read.error != ERROR_HANDLE_EOF) {
            prompts_.showFileError(read.error, "your vault");
            return krFailed;
        }
        reportDamagedFile(vaultFilePath());
        return krDamaged;
    }
    if (unreadable(readWholeFile(keyFilePath(), image))) return krFailed;
    std::optional<std::size_t> offset = keyBlockOffset(image.data(), image.size());
    if (!offset || !keyFileIsWhole(image.data(), image.size())) {
        traceLog.write("the key file holds no key block");
        reportDamagedFile(keyFilePath());
        return krDamaged;
    }
    SecretBytes block(image.begin() + *offset, image.begin() + *offset + KeyBlockBytes);
    decryptBuffer(block.data(), block.data(), block.size(), PasswordKey.data());
    rsa->ImportPrivateKey(block.data(), block.data() + KeyPartBytes, static_cast<int>(KeyPartBytes));
    secureWipe(block.data(), block.size());

    RSABuffer plain(*rsa);
    rsa->Decrypt(wrapped.data(), static_cast<int>(WrappedKeyBytes), plain.out());
    if (!plain.get()) {
        reportLibraryFailure("setRandKey", ERROR_INVALID_FUNCTION);
        return krFailed;
    }
    Secret16 candidate;
    std::memcpy(candidate.data(), plain.get(), 16);
    pendingKey_ = masked(candidate);
    hasPendingKey_ = true;
    pendingVaultPath_ = fullPathOf(vaultFilePath());
    pendingKeyFile_ = std::move(image);
    return krFound;
}

bool VaultStore::upgradeKeyFile(const CryptoLibrary& library, const SecretBytes& image, const Secret16& key) {
    if (image.size() < KeyBlockBytes) return false;
    Secret16 chain;
    if (image.size() < OldChainKeyFileBytes) {
        md5(library, key.data(), 16, chain.data());
    } else {
        std::memcpy(chain.data(), image.data() + KeyBlockBytes, ChainBytes);
        decryptBuffer(chain.data(), chain.data(), ChainBytes, key.data());
    }
    md5(library, chain.data(), 16, chain.data());  // the advanced value
    unsigned char id[16];
    md5(library, chain.data(), 16, id);
    setVaultID(id);
    SecretBytes header = buildKeyHeader(id);
    encryptBuffer(chain.data(), chain.data(), ChainBytes, key.data());
    FileResult written = replaceFile(keyFilePath(), {{header.data(), header.size()},
                                                     {image.data(), KeyBlockBytes},
                                                     {chain.data(), ChainBytes}},
                                       writer_);
    if (!written) {
        lastFileError_ = written.error;
        traceLog.write("upgrading the key file: " + systemErrorText(written.error));
        prompts_.showFileError(written.error, "your key");
    }
    return written.ok;
}

bool VaultStore::advanceFileKeyChain() {
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "advanceFileKeyChain", false)) return false;
    SecretBytes image;
    if (FileResult read = readWholeFile(keyFilePath(), image); !read) {
        lastFileError_ = read.error;
        return false;
    }
    if (image.size() < ChainBytes) {
        lastFileError_ = ERROR_HANDLE_EOF;
        return false;
    }
    Secret16 key = unmasked(VaultKey);
    Secret16 chain;
    std::memcpy(chain.data(), image.data() + image.size() - ChainBytes, ChainBytes);
    decryptBuffer(chain.data(), chain.data(), ChainBytes, key.data());
    md5(library, chain.data(), 16, FileKeyChain.data());
    return true;
}

bool VaultStore::storeFileKeyChain() {
    Secret16 key = unmasked(VaultKey);
    Secret16 sealed = FileKeyChain;
    encryptBuffer(sealed.data(), sealed.data(), ChainBytes, key.data());
    FileKeyChain.clear();
    SecretBytes image;
    if (FileResult read = readWholeFile(keyFilePath(), image); !read) {
        lastFileError_ = read.error;
        return false;
    }
    std::size_t keep = image.size() > KeyFileBytes - ChainBytes ? image.size() - ChainBytes : image.size();
    FileResult written = replaceFile(keyFilePath(), {{image.data(), keep}, {sealed.data(), ChainBytes}}, writer_);
    if (!written) lastFileError_ = written.error;
    return written.ok;
}

bool VaultStore::nextDataKey(unsigned char dataKey[16]) {
    std::memset(dataKey, 0, 16);
    if (!keyFitsNamedVault()) {
        lastFileError_ = 0;
        traceLog.write("nextDataKey: no vault key");
        return false;
    }
    if (!advanceFileKeyChain()) return false;
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "advanceFileKeyChain", false)) {
        FileKeyChain.clear();
        return false;
    }
    Secret16 key = unmasked(VaultKey);
    SecretBytes input(FileKeyChain.data(), FileKeyChain.data() + 16);
    input.insert(input.end(), key.data(), key.data() + 16);
    Secret16 derived;
    md5(library, input.data(), input.size(), derived.data());
    if (!storeFileKeyChain()) return false;
    std::memcpy(dataKey, derived.data(), 16);
    return true;
}

void VaultStore::readVaultID(unsigned char buffer[16]) const {
    SecretBytes id;
    if (readFileRange(keyFilePath(), VaultIdOffset, 16, id)) std::memcpy(buffer, id.data(), 16);
}

KeyResult VaultStore::verifyKeyFile(const std::string& keyBackupPath) {
    CryptoLibrary library(cryptoName_.c_str());
    if (!cryptoReady(library, "verifyKeyFile", true)) return krFailed;
    CryptoLibrary::RSA rsa = library.newRSA();
    if (!rsa) {
        reportLibraryFailure("verifyKeyFile", ERROR_INVALID_FUNCTION);
        return krFailed;
    }
    SecretBytes backup;
    if (!readWholeFile(keyBackupPath, backup)) return krFailed;
    std::optional<SecretBytes> found = keyBackupBlock(backup.data(), backup.size());
    secureWipe(backup.data(), backup.size());
    if (!found) return krFailed;
    SecretBytes& block = *found;

    SecretBytes wrapped;
    if (!readFileRange(vaultFilePath(), SaltBytes, WrappedKeyBytes, wrapped)) return krFailed;
    rsa->ImportPrivateKey(block.data(), block.data() + KeyPartBytes, static_cast<int>(KeyPartBytes));
    secureWipe(block.data(), block.size());
    RSABuffer plain(*rsa);
    rsa->Decrypt(wrapped.data(), static_cast<int>(WrappedKeyBytes), plain.out());
    if (!plain.get()) {
        reportLibraryFailure("verifyKeyFile", ERROR_INVALID_FUNCTION);
        return krFailed;
    }
    Secret16 candidate;
    std::memcpy(candidate.data(), plain.get(), 16);
    ReadFailure failure = ReadFailure::None;
    std::optional<SecretText> text = readDBWithKey(library, vaultFilePath(), candidate, failure);
    return text ? krFound : krFailed;
}

// ---- a new vault ----

CreateResult VaultStore::createVaultKeys(const CryptoLibrary& library, qzcrypto::RSAEngine& rsa, const unsigned char seed[64]) {
    if (!cryptoReady(library, "loadDB", true)) return crFailed;
    Secret16 vaultKey, t1, t2;
    unsigned char id[16];
    md5(library, seed, qzcrypto::SeedBytes, vaultKey.data());
    md5(library, vaultKey.data(), 16, t1.data());
    md5(library, t1.data(), 16, t2.data());
    md5(library, t2.data(), 16, id);

    RSABuffer wrapped(rsa);
    rsa.Encrypt(vaultKey.data(), 16, wrapped.out());
    if (!wrapped.get()) {
        reportLibraryFailure("loadDB", ERROR_INVALID_FUNCTION);
        return crFailed;
    }
    const std::string vaultPath = vaultFilePath();
    const char* const CreateFailed = "There was a problem creating your new vault.  ";
    traceLog.write("writing salt");
    traceLog.write("writing key");
    FileResult vaultWritten =
        replaceFile(vaultPath, {{t1.data(), SaltBytes}, {wrapped.get(), WrappedKeyBytes}}, writer_);
    traceLog.write("close handle");
    traceLog.write("delete randkeyenc");
    if (!vaultWritten) {
        message(std::string(CreateFailed) + "We were unable to create the vault file.", mbiCaution);
        return crFailed;
    }

    traceLog.write("set password hash");
    unsigned char salt[8];
    std::memcpy(salt, t1.data(), SaltBytes);
    PasswordResult asked = setPasswordHash(1, false, true, salt);
    secureWipe(salt, sizeof salt);
    if (asked != prDerived) {
        DeleteFileA(vaultPath.c_str());
        return crFailed;
    }

    unsigned char* a = nullptr;
    unsigned char* b = nullptr;
    rsa.ExportPrivateKey(&a, &b);
    if (!a || !b) {
        rsa.FreePrivateKey(a, b);
        DeleteFileA(vaultPath.c_str());
        reportLibraryFailure("loadDB", ERROR_INVALID_FUNCTION);
        return crFailed;
    }
    SecretBytes block(a, a + KeyPartBytes);
    block.insert(block.end(), b, b + KeyPartBytes);
    secureWipe(a, KeyPartBytes);
    secureWipe(b, KeyPartBytes);
    rsa.FreePrivateKey(a, b);
    encryptBuffer(block.data(), block.data(), block.size(), PasswordKey.data());

    Secret16 sealedChain = t2;
    encryptBuffer(sealedChain.data(), sealedChain.data(), ChainBytes, vaultKey.data());
    SecretBytes header = buildKeyHeader(id);
    FileResult keyWritten = replaceFile(keyFilePath(), {{header.data(), header.size()},
                                                        {block.data(), block.size()},
                                                        {sealedChain.data(), ChainBytes}},
                                     writer_);
    if (!keyWritten) {
        DeleteFileA(vaultPath.c_str());
        message(std::string(CreateFailed) + "We were unable to save your key.", mbiCaution);
        return crFailed;
    }
    VaultKey = masked(vaultKey);
    hasVaultKey_ = true;
    keyVaultPath_ = fullPathOf(vaultPath);
    hasPendingKey_ = false;
    pendingKey_.clear();
    setVaultID(id);
    return crCreated;
}
