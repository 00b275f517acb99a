/*
 * Shared pieces of the vault store tests: an MD5 apart from the library under test, scripted
 * password prompts, a vault created in a folder, and a file writer that fails like a full disk.
 */
#pragma once

#include "vault/VaultStore.h"

#include "vault/BufferCipher.h"
#include "vault/VaultFiles.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vaulttest {

using namespace vaultfile;
using Bytes = std::vector<unsigned char>;

inline const char* const Reinstall = "Some of your files are missing or corrupt.  Please reinstall Brimsafe.";

// MD5 computed apart from the crypto library under test.
inline Bytes md5(const Bytes& data) {
    Bytes digest(16);
    CryptoPP::Weak1::MD5().CalculateDigest(digest.data(), data.data(), data.size());
    return digest;
}

inline Bytes md5Times(Bytes value, int times) {
    for (int i = 0; i < times; ++i) value = md5(value);
    return value;
}

// Writes like the system until a file's bytes would pass the limit; then refuses like a full disk.
struct DiskFullWriter : FileWriter {
    std::optional<std::size_t> limit;  // none: every file is written whole
    DWORD write(HANDLE file, FilePieces pieces) const override {
        std::size_t total = 0;
        for (const auto& piece : pieces) total += piece.second;
        if (limit && total > *limit) return ERROR_DISK_FULL;
        return FileWriter::write(file, pieces);
    }
};

// Writes every byte; once an error is set, the flush fails with it.
struct FlushFailingWriter : FileWriter {
    std::optional<DWORD> error;
    DWORD flush(HANDLE file) const override { return error ? *error : FileWriter::flush(file); }
};

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline std::string stringOf(const Bytes& b) { return std::string(b.begin(), b.end()); }
inline Bytes slice(const std::string& s, size_t offset, size_t n) { return bytesOf(s.substr(offset, n)); }

inline Bytes seedOf(unsigned char first) {
    Bytes seed(qzcrypto::SeedBytes);
    for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<unsigned char>(first * 31 + i * 7);
    return seed;
}

// Scripted answers of the password dialog, with what the store asked and the file errors it showed.
class ScriptedPrompts : public VaultPrompts {
public:
    struct Asked {
        int mode;
        bool retry;
        bool firstPage;
    };
    void answer(int result, const std::string& password = "") { answers_.push_back({result, password}); }
    int askPassword(int mode, bool retry, bool firstPage, SecretText& password) override {
        asked.push_back({mode, retry, firstPage});
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected password prompt";
            return 2;
        }
        auto [result, text] = answers_.front();
        answers_.pop_front();
        password.assign(text.begin(), text.end());
        return result;
    }
    bool forgotPassword() override {
        ++forgotten;
        return forgotResult;
    }
    void showFileError(DWORD code, const std::string& name) override { fileErrors.push_back({code, name}); }

    std::vector<Asked> asked;
    std::vector<std::pair<DWORD, std::string>> fileErrors;
    int forgotten = 0;
    bool forgotResult = false;
    bool allAnswered() const { return answers_.empty(); }

private:
    std::deque<std::pair<int, std::string>> answers_;
};


// Creates the vault folder\Test with a password; returns its vault key.
inline Bytes createVault(VaultStore& store, ScriptedPrompts& prompts, const std::string& folder,
                         const std::string& password, unsigned char seedByte = 1) {
    store.setDBLoc(folder);
    store.setDBFname("Test");
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    Bytes seed = seedOf(seedByte);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed.data());
    prompts.answer(1, password);
    EXPECT_EQ(store.createVaultKeys(library, *rsa, seed.data()), crCreated);
    return md5(seed);
}

// Blowfish-CBC with the fixed vector, straight from Crypto++ (not through the buffer routines).
inline Bytes blowfishCBC(bool encrypt, const Bytes& key, Bytes data) {
    const unsigned char iv[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};
    if (encrypt)
        CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption(key.data(), key.size(), iv)
            .ProcessData(data.data(), data.data(), data.size());
    else
        CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption(key.data(), key.size(), iv)
            .ProcessData(data.data(), data.data(), data.size());
    return data;
}

// The password key worked out here: MD5(password || salt), then 1000 more MD5s.
inline Bytes independentPasswordKey(const std::string& password, const Bytes& salt) {
    Bytes input = bytesOf(password);
    input.insert(input.end(), salt.begin(), salt.begin() + 8);
    return md5Times(md5(input), 1000);
}

}  // namespace vaulttest
