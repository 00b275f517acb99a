/*
 * Throughput of the file-job worker against the limits it runs into (not a
 * test: it only reports). Usage: fileenc_benchmark [MiB] (default 256).
 *
 * In one run it measures, over the same number of bytes:
 *   - the in-memory Blowfish-CBC chain alone, in the worker's chunks;
 *   - the in-memory cipher plus the chained MD5 the worker keeps;
 *   - the in-memory decryption chain on one thread and spread over the processors;
 *   - the disk's sequential write: a plain write of the same size in 1 MiB
 *     blocks, flushed like the job's output;
 *   - the job's phases: encryption with its wipe, the body without the wipe,
 *     the wipe alone, and the decryption.
 * Each is printed with its ratio to the limit it should approach: the jobs to
 * the cipher alone, the wipe to the disk's write. Lines starting "result" are
 * for scripts/bench: name, MiB/s, ratio. Run it from the folder that holds
 * QZ_Cryptography.dll.
 *
 * With "peak" after the size it only runs the job (encryption, then decryption)
 * and prints the process's peak working set beside the design's bound: the
 * working set before the job plus the job's two rings of chunk buffers (the
 * chunks in flight are all it holds; nothing grows with the file). The line
 * starting "peak" is for scripts/bench: name, MiB, bound MiB, what the bound is.
 */
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/Handoff.h"
#include "fileenc/ParallelDecryption.h"
#include "framework/Win32Handles.h"
#include "vault/BufferCipher.h"
#include "vault/CryptoLibrary.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD WriteBlock = 1024 * 1024;
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

// Writes the pattern file. As the disk's limit (timed given), one block filled beforehand
// goes out again and again and the file is flushed: only the writes and the flush are timed.
bool writePatternFile(const std::string& path, std::uint64_t bytes, double* timed = nullptr) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::vector<unsigned char> block(WriteBlock);
    fillPattern(block.data(), block.size(), 0);
    const double start = now();
    for (std::uint64_t at = 0; at < bytes; at += WriteBlock) {
        const DWORD size = static_cast<DWORD>(std::min<std::uint64_t>(WriteBlock, bytes - at));
        if (!timed && at > 0) fillPattern(block.data(), size, at);
        DWORD written = 0;
        if (!WriteFile(file.get(), block.data(), size, &written, nullptr) || written != size) return false;
    }
    if (!timed) return true;
    const bool flushed = FlushFileBuffers(file.get()) != 0;
    *timed = now() - start;
    return flushed;
}

void runWorker(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job) {
    win32::KernelHandle thread(CreateThread(nullptr, 0, routine, &job, 0, nullptr));
    if (thread) WaitForSingleObject(thread.get(), INFINITE);
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
    job.FinishPauseMs = 0;
}

std::uint64_t fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The chain over the bytes in memory, in the worker's chunks; with a library, the chained digest too
// (alone without the cipher).
double inMemorySeconds(const std::vector<unsigned char>& data, std::uint32_t chunk, const CryptoLibrary* library,
                       bool cipherToo = true) {
    const double start = now();
    CipherChain cipher(CipherChain::Encrypt, DataKey);
    std::vector<unsigned char> chained(16 + chunk, 0), out(chunk);
    for (std::size_t at = 0; at < data.size(); at += chunk) {
        const std::size_t n = std::min<std::size_t>(chunk, data.size() - at);
        if (library) {
            std::memcpy(chained.data() + 16, data.data() + at, n);
            library->md5(chained.data(), static_cast<std::uint32_t>(16 + n), chained.data());
        }
        if (cipherToo) cipher.process(data.data() + at, out.data(), n / 8 * 8);
    }
    return now() - start;
}

// The decryption chain over the bytes in memory, in the worker's chunks, on the given threads (0: all).
double inMemoryDecryptSeconds(const std::vector<unsigned char>& data, std::uint32_t chunk, unsigned threads) {
    ParallelDecryption chain(DataKey, threads);
    std::vector<unsigned char> out(chunk);
    const double start = now();
    for (std::size_t at = 0; at < data.size(); at += chunk) {
        const std::size_t n = std::min<std::size_t>(chunk, data.size() - at);
        chain.process(data.data() + at, out.data(), n / 8 * 8);
    }
    return now() - start;
}

double mib(std::uint64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS memoryCounters() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// The job alone on the plain file: its peak working set against the working set before it plus
// the two rings (the read-ahead's or the parallel decryption's, and the write-behind's).
int runPeak(const std::string& plain, const std::string& encrypted, std::uint64_t bytes) {
    if (!writePatternFile(plain, bytes)) {
        std::printf("cannot write the plain file\n");
        return 1;
    }
    const std::uint32_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(bytes));
    const std::uint64_t rings = 2ull * ringSlotsFor(chunk) * (16 + chunk + 8);
    const std::uint64_t before = memoryCounters().WorkingSetSize;
    FileEncryptionJob job;
    setUp(job, plain, encrypted);
    runWorker(EncryptFunc, job);
    const bool encryptedOk = GetFileAttributesA(plain.c_str()) == INVALID_FILE_ATTRIBUTES;
    setUp(job, encrypted, plain);
    runWorker(DecryptFunc, job);
    const bool decryptedOk = fileSize(plain) == bytes;
    DeleteFileA(plain.c_str());
    DeleteFileA(encrypted.c_str());
    const std::uint64_t peak = memoryCounters().PeakWorkingSetSize;
    std::printf("the job's peak working set %.1f MiB; before the job %.1f MiB; rings %.1f MiB (chunk %u bytes)\n", mib(peak),
                mib(before), mib(rings), chunk);
    std::printf("peak file-job-%lluMiB %.1f %.1f before-the-job+two-rings\n", static_cast<unsigned long long>(bytes >> 20),
                mib(peak), mib(before + rings));
    if (!encryptedOk || !decryptedOk) std::printf("the job FAILED\n");
    return encryptedOk && decryptedOk ? 0 : 1;
}

struct Figure {
    const char* name;
    double seconds;
    double limitRate;  // MiB/s of the limit the ratio is taken to; 0: none
};

}  // namespace

// The same jobs once more by the worker alone and through the real progress dialog
// (FileJobDialogRun.cpp); false when one did not end as it should.
bool runThroughDialog(const std::string& plain, std::uint64_t bytes);

int main(int argc, char** argv) {
    const std::uint64_t mib = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
    const bool peakOnly = argc > 2 && std::string(argv[2]) == "peak";
    if (mib == 0 || mib > 3500) {
        std::printf("usage: fileenc_benchmark [MiB, 1 to 3500] [peak]\n");
        return 2;
    }
    const std::uint64_t bytes = mib * 1024 * 1024;
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string plain = std::string(base) + "brim-benchmark-" + std::to_string(GetCurrentProcessId()) + ".bin";
    const std::string encrypted = plain + encfile::Extension;
    const std::string diskProbe = plain + ".write";
    if (peakOnly) return runPeak(plain, encrypted, bytes);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    std::printf("file: %s (%llu MiB), %lu processors\n", plain.c_str(), static_cast<unsigned long long>(mib),
                static_cast<unsigned long>(system.dwNumberOfProcessors));

    // The limits first: the cipher alone, the cipher and the digest, the disk.
    CryptoLibrary library;
    if (!library.hasMD5()) {
        std::printf("the crypto library cannot be loaded\n");
        return 1;
    }
    const std::uint32_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(bytes));
    double cipherSeconds = 0, cipherDigestSeconds = 0, digestSeconds = 0, decipherSeconds = 0, spreadSeconds = 0;
    {
        std::vector<unsigned char> data(static_cast<std::size_t>(bytes));
        fillPattern(data.data(), data.size(), 0);
        cipherSeconds = inMemorySeconds(data, chunk, nullptr);
        cipherDigestSeconds = inMemorySeconds(data, chunk, &library);
        digestSeconds = inMemorySeconds(data, chunk, &library, false);
        decipherSeconds = inMemoryDecryptSeconds(data, chunk, 1);
        spreadSeconds = inMemoryDecryptSeconds(data, chunk, 0);
    }
    double diskSeconds = 0;
    const bool diskOk = writePatternFile(diskProbe, bytes, &diskSeconds);
    DeleteFileA(diskProbe.c_str());

    if (!writePatternFile(plain, bytes)) {
        std::printf("cannot write the plain file\n");
        return 1;
    }
    double wipeStart = 0, headerStart = 0;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::BeforeHeader) headerStart = now();
        if (stage == FileJobStage::BeforeWipe) wipeStart = now();
    });
    FileEncryptionJob job;
    setUp(job, plain, encrypted);
    const std::uint64_t wakeupsBefore = handoffWakeupsForBenchmark();
    const double readWaitBefore = jobWaitSecondsForBenchmark(JobWait::ForReadAhead);
    const double writeWaitBefore = jobWaitSecondsForBenchmark(JobWait::ForWriteBehind);
    double start = now();
    runWorker(EncryptFunc, job);
    const double encryptSeconds = now() - start;
    const std::uint64_t encryptWakeups = handoffWakeupsForBenchmark() - wakeupsBefore;
    const double encryptReadWait = jobWaitSecondsForBenchmark(JobWait::ForReadAhead) - readWaitBefore;
    const double encryptWriteWait = jobWaitSecondsForBenchmark(JobWait::ForWriteBehind) - writeWaitBefore;
    const double wipeSeconds = wipeStart > 0 ? now() - wipeStart : 0;
    SetFileJobStageHookForTesting(nullptr);
    const bool encryptedOk = GetFileAttributesA(plain.c_str()) == INVALID_FILE_ATTRIBUTES && fileSize(encrypted) > bytes;

    setUp(job, encrypted, plain);
    start = now();
    runWorker(DecryptFunc, job);
    const double decryptSeconds = now() - start;
    const std::uint64_t decryptWakeups = handoffWakeupsForBenchmark() - wakeupsBefore - encryptWakeups;
    const double decryptWriteWait =
        jobWaitSecondsForBenchmark(JobWait::ForWriteBehind) - writeWaitBefore - encryptWriteWait;
    const bool decryptedOk = fileSize(plain) == bytes && GetFileAttributesA(encrypted.c_str()) == INVALID_FILE_ATTRIBUTES;
    DeleteFileA(plain.c_str());
    DeleteFileA(encrypted.c_str());

    const double cipherRate = mibPerSecond(bytes, cipherSeconds);
    const double diskRate = mibPerSecond(bytes, diskSeconds);
    const Figure figures[] = {
        {"cipher", cipherSeconds, 0},
        {"cipher+digest", cipherDigestSeconds, cipherRate},
        {"digest", digestSeconds, cipherRate},
        {"decipher", decipherSeconds, cipherRate},
        {"decipher-spread", spreadSeconds, cipherRate},
        {"disk-write", diskSeconds, 0},
        {"encrypt+wipe", encryptSeconds, cipherRate},
        {"encrypt", encryptSeconds - wipeSeconds, cipherRate},
        {"wipe", wipeSeconds, diskRate},
        {"decrypt", decryptSeconds, cipherRate},
    };
    std::printf("chunk size: %u bytes\n", chunk);
    // Part of the encryption: the header and the flush that must precede the wipe.
    if (headerStart > 0 && wipeStart > headerStart)
        std::printf("header and flush before the wipe: %.3f s\n", wipeStart - headerStart);
    std::printf("%-16s %10s %9s %8s  %s\n", "", "MiB/s", "seconds", "ratio", "to");
    for (const Figure& f : figures) {
        const double rate = mibPerSecond(bytes, f.seconds);
        const double ratio = f.limitRate > 0 ? rate / f.limitRate : 0;
        const char* to = f.limitRate == 0 ? "" : f.limitRate == diskRate ? "disk-write" : "cipher";
        std::printf("%-16s %10.1f %9.3f %8.2f  %s\n", f.name, rate, f.seconds, ratio, to);
    }
    for (const Figure& f : figures) {
        const double rate = mibPerSecond(bytes, f.seconds);
        std::printf("result %s %.1f %.3f\n", f.name, rate, f.limitRate > 0 ? rate / f.limitRate : 0);
    }
    // How often a job's thread was woken from its sleep by another (each a round trip to the server).
    std::printf("result encrypt-wakeups-per-MiB %.2f 0\n", static_cast<double>(encryptWakeups) / static_cast<double>(mib));
    std::printf("result decrypt-wakeups-per-MiB %.2f 0\n", static_cast<double>(decryptWakeups) / static_cast<double>(mib));
    // Where the job's own thread stood still, in seconds: waiting for a chunk read ahead, or for a
    // buffer the writer (and for decryption the digest) had not yet freed.
    std::printf("result encrypt-waits-read-ahead-s %.3f 0\n", encryptReadWait);
    std::printf("result encrypt-waits-write-behind-s %.3f 0\n", encryptWriteWait);
    std::printf("result decrypt-waits-write-behind-s %.3f 0\n", decryptWriteWait);
    if (!diskOk) std::printf("the disk-write probe FAILED\n");
    if (!encryptedOk) std::printf("the encryption FAILED\n");
    if (!decryptedOk) std::printf("the decryption FAILED\n");
    const bool dialogOk = runThroughDialog(plain, bytes);
    return diskOk && encryptedOk && decryptedOk && dialogOk ? 0 : 1;
}
