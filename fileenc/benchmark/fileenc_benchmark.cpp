/*
 * Throughput of the file-job worker against the bare cipher and digest.
 * Encrypts and decrypts a 256 MiB file through EncryptFunc and DecryptFunc
 * (the encryption including the wipe of the plain file), then runs Crypto++
 * Blowfish-CBC and the chained MD5 over the same bytes in memory, in the same
 * chunks, and prints both throughputs and their ratio. Not a test: it only
 * reports. Run it from the folder that holds QZ_Cryptography.dll.
 */
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/FileJobWorker.h"
#include "framework/Win32Handles.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/blowfish.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t FileBytes = 256ull * 1024 * 1024;
constexpr DWORD WriteBlock = 1024 * 1024;
const unsigned char Vector[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};
const unsigned char DataKey[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const unsigned char VaultKey[16] = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double mibPerSecond(std::uint64_t bytes, double seconds) {
    return seconds > 0 ? static_cast<double>(bytes) / (1024.0 * 1024.0) / seconds : 0;
}

void fillPattern(unsigned char* data, std::size_t size, std::uint64_t offset) {
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<unsigned char>((offset + i) * 131 + ((offset + i) >> 12));
}

bool writePlainFile(const std::string& path) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::vector<unsigned char> block(WriteBlock);
    for (std::uint64_t at = 0; at < FileBytes; at += WriteBlock) {
        fillPattern(block.data(), block.size(), at);
        DWORD written = 0;
        if (!WriteFile(file.get(), block.data(), WriteBlock, &written, nullptr) || written != WriteBlock) return false;
    }
    return true;
}

// Runs one worker routine to its end; false when it did not report success.
bool runWorker(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job) {
    win32::KernelHandle thread(CreateThread(nullptr, 0, routine, &job, 0, nullptr));
    if (!thread) return false;
    WaitForSingleObject(thread.get(), INFINITE);
    return true;
}

void setUp(FileEncryptionJob& job, const std::string& source, const std::string& dest) {
    job.SourcePath = source;
    job.DestPath = dest;
    std::memcpy(job.FileKey.data(), DataKey, 16);
    std::memcpy(job.VaultKey.data(), VaultKey, 16);
    job.VaultName = "Benchmark";
    job.BytesDone = 0;
    job.CancelRequested = false;
    job.DialogWindow = nullptr;
}

std::uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Blowfish-CBC and the chained digest over the bytes in memory, in the worker's chunks.
double inMemorySeconds(std::vector<unsigned char>& data, std::uint32_t chunk, unsigned char digest[16]) {
    double start = now();
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption cipher(DataKey, 16, Vector);
    std::vector<unsigned char> chained(16 + chunk, 0), out(chunk);
    for (std::size_t at = 0; at < data.size(); at += chunk) {
        std::size_t n = std::min<std::size_t>(chunk, data.size() - at);
        std::memcpy(chained.data() + 16, data.data() + at, n);
        CryptoPP::Weak1::MD5().CalculateDigest(chained.data(), chained.data(), 16 + n);
        cipher.ProcessData(out.data(), data.data() + at, n);
    }
    double seconds = now() - start;
    std::memcpy(digest, chained.data(), 16);
    return seconds;
}

}  // namespace

int main() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string plain = std::string(base) + "brim-benchmark-" + std::to_string(GetCurrentProcessId()) + ".bin";
    const std::string encrypted = plain + encfile::Extension;
    std::printf("file: %s (%llu MiB)\n", plain.c_str(), static_cast<unsigned long long>(FileBytes >> 20));
    if (!writePlainFile(plain)) {
        std::printf("cannot write the plain file\n");
        return 1;
    }

    double wipeStart = 0;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::BeforeWipe) wipeStart = now();
    });
    FileEncryptionJob job;
    job.FinishPauseMs = 0;
    setUp(job, plain, encrypted);
    double start = now();
    runWorker(EncryptFunc, job);
    double encryptSeconds = now() - start;
    double wipeSeconds = wipeStart > 0 ? now() - wipeStart : 0;
    SetFileJobStageHookForTesting(nullptr);
    bool encryptedOk = GetFileAttributesA(plain.c_str()) == INVALID_FILE_ATTRIBUTES &&
                       fileSize(encrypted) > FileBytes;

    setUp(job, encrypted, plain);
    start = now();
    runWorker(DecryptFunc, job);
    double decryptSeconds = now() - start;
    bool decryptedOk = fileSize(plain) == FileBytes && GetFileAttributesA(encrypted.c_str()) == INVALID_FILE_ATTRIBUTES;
    DeleteFileA(plain.c_str());
    DeleteFileA(encrypted.c_str());

    std::vector<unsigned char> data(static_cast<std::size_t>(FileBytes));
    fillPattern(data.data(), data.size(), 0);
    unsigned char digest[16];
    const std::uint32_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(FileBytes));
    double memorySeconds = inMemorySeconds(data, chunk, digest);

    const double encryptRate = mibPerSecond(FileBytes, encryptSeconds);
    const double encryptBodyRate = mibPerSecond(FileBytes, encryptSeconds - wipeSeconds);
    const double decryptRate = mibPerSecond(FileBytes, decryptSeconds);
    const double memoryRate = mibPerSecond(FileBytes, memorySeconds);
    std::printf("chunk size: %u bytes\n", chunk);
    std::printf("worker encrypt (with wipe): %8.1f MiB/s  %6.2f s  %s\n", encryptRate, encryptSeconds,
                encryptedOk ? "ok" : "FAILED");
    std::printf("  of which wipe:            %8.1f MiB/s  %6.2f s\n", mibPerSecond(FileBytes, wipeSeconds), wipeSeconds);
    std::printf("  encrypt without the wipe: %8.1f MiB/s\n", encryptBodyRate);
    std::printf("worker decrypt:             %8.1f MiB/s  %6.2f s  %s\n", decryptRate, decryptSeconds,
                decryptedOk ? "ok" : "FAILED");
    std::printf("in memory, Blowfish-CBC + chained MD5: %8.1f MiB/s  %6.2f s\n", memoryRate, memorySeconds);
    std::printf("ratio worker/in-memory: encrypt %.2f (without wipe %.2f), decrypt %.2f\n", encryptRate / memoryRate,
                encryptBodyRate / memoryRate, decryptRate / memoryRate);
    return encryptedOk && decryptedOk ? 0 : 1;
}
