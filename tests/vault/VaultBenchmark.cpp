/*
 * Benchmark (not a test): builds a vault of 50,000 entries (or the count given
 * as its argument) in 3 categories, writes it, reads it back and parses it,
 * printing the time of each phase (with "linear" as a second argument, also
 * its open and save per entry from 50,000 to 400,000 entries). Open (password, read, decrypt, parse) and
 * save are also printed as ratios to the cipher and digest alone over the
 * same bytes, the least either must compute; lines starting "result" are for
 * scripts/bench (name, milliseconds, ratio). Loading must stay linear in the
 * number of entries: the duplicate check and the placement of each parsed row
 * may not walk the rows already loaded.
 *
 * "vault_benchmark N peak" writes a vault of N entries and opens it in a
 * process of its own (itself, with "peak-open"), which prints its peak working
 * set beside the design's bound: its working set before the open, one copy of
 * the text (the body is read and deciphered in place, then parsed) and the
 * model, as much as building the same model took in the writing process. The
 * line starting "peak" is for scripts/bench: name, MiB, bound MiB, what the
 * bound is.
 */
#include "vault/VaultStore.h"

#include "vault/BufferCipher.h"
#include "vault/CryptoLibrary.h"

#include "cryptolib/QZ_Cryptography.h"

#include <windows.h>
#include <psapi.h>

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

// The body's decryption over the same bytes, as one chain and spread over the processors.
void decipherMs(const SecretText& text, Stopwatch& watch, double& oneChain, double& spread) {
    std::vector<unsigned char> data(text.begin(), text.end());
    data.resize(data.size() / 8 * 8);
    const unsigned char key[VaultKeyBytes] = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};
    std::vector<unsigned char> out(data.size());
    watch.lap();
    decryptBuffer(data.data(), out.data(), data.size(), key);
    oneChain = watch.lap();
    decryptBufferSpread(data.data(), out.data(), data.size(), key);
    spread = watch.lap();
}

PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double mib(double bytes) { return bytes / (1024.0 * 1024.0); }

int countRows(const VaultContent& content) {
    int rows = 0;
    for (const category* c = content.userCategories; c; c = c->next) rows += c->rowCount();
    return rows;
}

struct Phases {
    double build = 0, buildText = 0, limit = 0, decipherOne = 0, decipherSpread = 0, write = 0;
    double passwordMs = 0, keys = 0, read = 0, parse = 0;
    std::size_t textBytes = 0;
    int rows = 0;
    double open() const { return keys + read + parse; }
};

// A new vault's keys in the folder, named "Benchmark".
bool createKeys(VaultStore& store, const std::string& folder) {
    store.setDBLoc(folder);
    store.setDBFname("Benchmark");
    CryptoLibrary library;
    CryptoLibrary::RSA rsa = library.newRSA();
    if (!rsa) {
        std::printf("the crypto library cannot be loaded\n");
        return false;
    }
    unsigned char seed[qzcrypto::SeedBytes];
    for (int i = 0; i < qzcrypto::SeedBytes; ++i) seed[i] = static_cast<unsigned char>(i * 13);
    rsa->GenerateKeys(qzcrypto::KeyBits, seed);
    if (store.createVaultKeys(library, *rsa, seed) != crCreated) {
        std::printf("the vault cannot be created\n");
        return false;
    }
    return true;
}

// Opens the vault in the folder as the application does: password, key, read, parse.
bool openVault(VaultStore& reader, const std::string& folder) {
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
    if (reader.setPasswordHash(0, false, false, reinterpret_cast<const unsigned char*>(salt.data())) != prDerived)
        return false;
    if (reader.setRandKey() != krFound) return false;
    std::optional<SecretText> text = reader.readDB(reader.vaultFilePath());
    if (!text) return false;
    reader.readVaultText(*text);
    return true;
}

// The open of the vault in the folder, alone in this process: its peak working set and the bound.
int runPeakOpen(int entries, const std::string& folder, double modelBytes) {
    FixedPassword prompts;
    const double before = static_cast<double>(memoryCounters().WorkingSetSize);
    VaultStore reader(prompts);
    const bool ok = openVault(reader, folder) && countRows(reader.content()) == entries;
    std::uint64_t size = 0;
    {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA(reader.vaultFilePath().c_str(), GetFileExInfoStandard, &data))
            size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    const double peak = static_cast<double>(memoryCounters().PeakWorkingSetSize);
    const double bound = before + static_cast<double>(size) + modelBytes;
    std::printf("open of %d entries: peak working set %.1f MiB; before %.1f MiB, file %.1f MiB, model %.1f MiB\n",
                entries, mib(peak), mib(before), mib(static_cast<double>(size)), mib(modelBytes));
    std::printf("peak vault-open-%d %.1f %.1f before+one-text-copy+model\n", entries, mib(peak), mib(bound));
    if (!ok) std::printf("the open FAILED\n");
    return ok ? 0 : 1;
}

// Writes a vault of the entries, then has another process of this program open it.
int runPeak(int entries) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "brim-vault-peak-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    double modelBytes = 0;
    {
        FixedPassword prompts;
        VaultStore store(prompts);
        if (!createKeys(store, folder)) return 1;
        const double before = static_cast<double>(memoryCounters().WorkingSetSize);
        buildContent(store.content(), entries);
        modelBytes = static_cast<double>(memoryCounters().WorkingSetSize) - before;
        if (store.writeDatabase(store.vaultFilePath()) != srSaved) return 1;
    }
    std::string command = std::string("\"") + self + "\" " + std::to_string(entries) + " peak-open \"" + folder +
                          "\" " + std::to_string(static_cast<long long>(modelBytes));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    std::fflush(stdout);
    DWORD code = 1;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        std::printf("cannot start the open: error %lu\n", GetLastError());
    }
    DeleteFileA((folder + "\\Benchmark.vlt").c_str());
    DeleteFileA((folder + "\\Benchmark.kvt").c_str());
    RemoveDirectoryA(folder.c_str());
    return static_cast<int>(code);
}

// Builds, saves and opens a vault of the given entries in a folder of its own; false when a step failed.
bool measure(int entries, Phases& p) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "brim-vault-benchmark-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(entries);
    CreateDirectoryA(folder.c_str(), nullptr);
    struct Cleanup {
        std::string folder;
        ~Cleanup() {
            DeleteFileA((folder + "\\Benchmark.vlt").c_str());
            DeleteFileA((folder + "\\Benchmark.kvt").c_str());
            RemoveDirectoryA(folder.c_str());
        }
    } cleanup{folder};

    FixedPassword prompts;
    VaultStore store(prompts);
    if (!createKeys(store, folder)) return false;

    Stopwatch watch;
    buildContent(store.content(), entries);
    p.build = watch.lap();
    {
        const SecretText builtText = store.buildVaultText();
        p.buildText = watch.lap();
        p.textBytes = builtText.size();
        p.limit = cipherAndDigestMs(builtText, watch);
        decipherMs(builtText, watch, p.decipherOne, p.decipherSpread);
    }
    watch.lap();
    if (store.writeDatabase(store.vaultFilePath()) != srSaved) return false;
    p.write = watch.lap();

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
        return false;
    p.passwordMs = watch.lap();
    if (reader.setRandKey() != krFound) return false;
    p.keys = p.passwordMs + watch.lap();
    std::optional<SecretText> text = reader.readDB(reader.vaultFilePath());
    if (!text) return false;
    p.read = watch.lap();
    reader.readVaultText(*text);
    p.parse = watch.lap();
    p.rows = countRows(reader.content());
    return p.rows == entries;
}

}  // namespace

// vault_benchmark [entries (50000)] [linear]: with "linear", the open and the save are measured
// again at 50,000, 100,000, 200,000 and 400,000 entries and their time per entry printed last,
// each with its ratio to the time per entry at 50,000 (1 when linear).
int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::atoi(argv[1]) : 50000;
    const bool linear = argc > 2 && std::string(argv[2]) == "linear";
    if (argc > 2 && std::string(argv[2]) == "peak") return runPeak(entries);
    if (argc > 4 && std::string(argv[2]) == "peak-open") return runPeakOpen(entries, argv[3], std::atof(argv[4]));

    // A fresh load and free of the crypto library, before any store holds it: what the first
    // operation of a store pays once.
    Stopwatch loadWatch;
    { CryptoLibrary probe; }
    const double libraryLoad = loadWatch.lap();

    Phases p;
    const bool ok = measure(entries, p);
    std::printf("entries %d in 3 categories, vault text %zu bytes\n", entries, p.textBytes);
    std::printf("build data model   %9.1f ms\n", p.build);
    std::printf("write vault        %9.1f ms (text, digest, encrypt, replace file)\n", p.write);
    std::printf("  of which text    %9.1f ms (measured apart)\n", p.buildText);
    std::printf("password and key   %9.1f ms (1001 x MD5, RSA decrypt; of which password %.1f ms)\n", p.keys,
                p.passwordMs);
    std::printf("library load       %9.1f ms (a fresh load and free, paid by a store's first operation only)\n",
                libraryLoad);
    std::printf("read vault         %9.1f ms (read, decrypt, digest check)\n", p.read);
    std::printf("parse vault text   %9.1f ms (%d entries loaded)\n", p.parse, p.rows);
    std::printf("cipher+digest      %9.1f ms (in memory, over the text's bytes)\n", p.limit);
    std::printf("decipher           %9.1f ms (in memory, one chain; spread over the processors %.1f ms)\n",
                p.decipherOne, p.decipherSpread);
    const double limit = p.limit, open = p.open();
    std::printf("open / limit       %9.2f (%.1f ms)\n", open / limit, open);
    std::printf("save / limit       %9.2f\n", p.write / limit);
    std::printf("result vault-cipher+digest %.1f 1\n", limit);
    std::printf("result vault-open %.1f %.3f\n", open, open / limit);
    std::printf("result vault-read %.1f %.3f\n", p.read, p.read / limit);
    std::printf("result vault-parse %.1f %.3f\n", p.parse, p.parse / limit);
    std::printf("result vault-save %.1f %.3f\n", p.write, p.write / limit);
    std::printf("result vault-build-text %.1f %.3f\n", p.buildText, p.buildText / limit);
    if (!ok) {
        std::printf("the vault benchmark FAILED\n");
        return 1;
    }
    if (!linear) return 0;

    std::printf("time per entry (us): entries, open, save, each to its own at 50000; open's read and parse\n");
    double openBase = 0, saveBase = 0;
    bool linearOk = true;
    for (int count : {50000, 100000, 200000, 400000}) {
        Phases q;
        if (!measure(count, q)) {
            std::printf("the vault benchmark FAILED at %d entries\n", count);
            linearOk = false;
            continue;
        }
        const double openPer = 1000.0 * q.open() / count, savePer = 1000.0 * q.write / count;
        if (count == 50000) {
            openBase = openPer;
            saveBase = savePer;
        }
        std::printf("%9d %9.2f %6.2f %9.2f %6.2f %9.2f %9.2f\n", count, openPer, openPer / openBase, savePer,
                    savePer / saveBase, 1000.0 * q.read / count, 1000.0 * q.parse / count);
        std::printf("result linear-open-us-per-entry-%d %.2f %.3f\n", count, openPer, openPer / openBase);
        std::printf("result linear-save-us-per-entry-%d %.2f %.3f\n", count, savePer, savePer / saveBase);
    }
    return linearOk ? 0 : 1;
}
