/*
 * Benchmark (not a test): builds a vault of 50,000 entries (or the count given
 * as its argument) in 3 categories, writes it, reads it back and parses it,
 * printing the time of each phase. Open (password, read, decrypt, parse) and
 * save are also printed as ratios to the cipher and digest alone over the
 * same bytes, the least either must compute; lines starting "result" are for
 * scripts/bench (name, milliseconds, ratio). Loading must stay linear in the
 * number of entries: the duplicate check and the placement of each parsed row
 * may not walk the rows already loaded.
 */
#include "vault/VaultStore.h"

#include "vault/BufferCipher.h"
#include "vault/CryptoLibrary.h"

#include "cryptolib/QZ_Cryptography.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class FixedPassword : public VaultPrompts {
public:
    int askPassword(int, bool, bool, SecretText& password) override {
        password = "benchmark password";
        return 1;
    }
    bool forgotPassword() override { return false; }
    void showFileError(DWORD code, const std::string& name) override {
        std::printf("file error %lu on %s\n", static_cast<unsigned long>(code), name.c_str());
    }
};

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double lap() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        double ms = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
        start_ = now;
        return ms;
    }

private:
    LARGE_INTEGER frequency_, start_;
};

void buildContent(VaultContent& content, int entries) {
    content.addEncryptedFilesCategory();
    category* passwords = content.addCategory("Passwords");
    for (const char* name : {"Name", "Login ID", "Password", "Email Address", "Web Site", "Notes"})
        passwords->addHeader(name, htOneLine, hsShown);
    category* contacts = content.addCategory("Contacts");
    for (const char* name : {"Name", "Email Address", "Phone Number", "Cell Phone", "Address", "Birthday", "Notes"})
        contacts->addHeader(name, htOneLine, hsShown);
    category* todo = content.addCategory("To Do");
    for (const char* name : {"Task", "Description", "Priority", "Completed"}) todo->addHeader(name, htOneLine, hsShown);
    for (int i = 0; i < entries; ++i) {
        std::string n = std::to_string(i);
        switch (i % 3) {
        case 0:
            passwords->insertRow({"Site " + n, "user" + n, "p>ss\"" + n + "!", "user" + n + "@example.org",
                                  "http://site" + n + ".example.org", "Notes for entry " + n});
            break;
        case 1:
            contacts->insertRow({"Contact " + n, "c" + n + "@example.org", "555-" + n, "", "1 Main Street", "", ""});
            break;
        default:
            todo->insertRow({"Task " + n, "Something to do, number " + n, std::to_string(i % 5), "no"});
            break;
        }
    }
}

// Blowfish-CBC and one MD5 over the text's bytes, in memory: what opening or saving must compute.
double cipherAndDigestMs(const SecretText& text, Stopwatch& watch) {
    CryptoLibrary library;
    std::vector<unsigned char> data(text.begin(), text.end());
    data.resize((data.size() + 7) / 8 * 8, 0);
    const unsigned char key[VaultKeyBytes] = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};
    unsigned char digest[16];
    watch.lap();
    library.md5(data.data(), static_cast<std::uint32_t>(data.size()), digest);
    encryptBuffer(data.data(), data.data(), data.size(), key);
    return watch.lap();
}

int countRows(const VaultContent& content) {
    int rows = 0;
    for (const category* c = content.userCategories; c; c = c->next) rows += c->rowCount();
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::atoi(argv[1]) : 50000;
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "brim-vault-benchmark-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);

    // A fresh load and free of the crypto library, before any store holds it: what the first
    // operation of a store pays once.
    Stopwatch loadWatch;
    { CryptoLibrary probe; }
    const double libraryLoad = loadWatch.lap();

    FixedPassword prompts;
    VaultStore store(prompts);
    store.setDBLoc(folder);
    store.setDBFname("Benchmark");
    {
        CryptoLibrary library;
        CryptoLibrary::RSA rsa = library.newRSA();
        if (!rsa) {
            std::printf("the crypto library cannot be loaded\n");
            return 1;
        }
        unsigned char seed[qzcrypto::SeedBytes];
        for (int i = 0; i < qzcrypto::SeedBytes; ++i) seed[i] = static_cast<unsigned char>(i * 13);
        rsa->GenerateKeys(qzcrypto::KeyBits, seed);
        if (store.createVaultKeys(library, *rsa, seed) != crCreated) {
            std::printf("the vault cannot be created\n");
            return 1;
        }
    }

    Stopwatch watch;
    buildContent(store.content(), entries);
    const double build = watch.lap();
    const SecretText builtText = store.buildVaultText();
    const double buildText = watch.lap();
    const size_t textBytes = builtText.size();
    const double limit = cipherAndDigestMs(builtText, watch);
    watch.lap();
    if (store.writeDatabase(store.vaultFilePath()) != srSaved) return 1;
    const double write = watch.lap();

    VaultStore reader(prompts);
    reader.setDBLoc(folder);
    reader.setDBFname("Benchmark");
    std::string salt(8, '\0');
    {
        HANDLE f = CreateFileA(reader.vaultFilePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        DWORD got = 0;
        ReadFile(f, &salt[0], 8, &got, nullptr);
        CloseHandle(f);
    }
    watch.lap();
    if (reader.setPasswordHash(0, false, false, reinterpret_cast<const unsigned char*>(salt.data())) != prDerived)
        return 1;
    const double passwordMs = watch.lap();
    if (reader.setRandKey() != krFound) return 1;
    const double keys = passwordMs + watch.lap();

    std::optional<SecretText> text = reader.readDB(reader.vaultFilePath());
    if (!text) return 1;
    const double read = watch.lap();
    reader.readVaultText(*text);
    const double parse = watch.lap();

    std::printf("entries %d in 3 categories, vault text %zu bytes\n", entries, textBytes);
    std::printf("build data model   %9.1f ms\n", build);
    std::printf("write vault        %9.1f ms (text, digest, encrypt, replace file)\n", write);
    std::printf("  of which text    %9.1f ms (measured apart)\n", buildText);
    std::printf("password and key   %9.1f ms (1001 x MD5, RSA decrypt; of which password %.1f ms)\n", keys, passwordMs);
    std::printf("library load       %9.1f ms (a fresh load and free, paid by a store's first operation only)\n",
                libraryLoad);
    std::printf("read vault         %9.1f ms (read, decrypt, digest check)\n", read);
    std::printf("parse vault text   %9.1f ms (%d entries loaded)\n", parse, countRows(reader.content()));
    std::printf("cipher+digest      %9.1f ms (in memory, over the text's bytes)\n", limit);
    const double open = keys + read + parse;
    std::printf("open / limit       %9.2f (%.1f ms)\n", open / limit, open);
    std::printf("save / limit       %9.2f\n", write / limit);
    std::printf("result vault-cipher+digest %.1f 1\n", limit);
    std::printf("result vault-open %.1f %.3f\n", open, open / limit);
    std::printf("result vault-read %.1f %.3f\n", read, read / limit);
    std::printf("result vault-parse %.1f %.3f\n", parse, parse / limit);
    std::printf("result vault-save %.1f %.3f\n", write, write / limit);
    std::printf("result vault-build-text %.1f %.3f\n", buildText, buildText / limit);

    DeleteFileA(reader.vaultFilePath().c_str());
    DeleteFileA(reader.keyFilePath().c_str());
    RemoveDirectoryA(folder.c_str());
    return countRows(reader.content()) == entries ? 0 : 1;
}
