// The encryption and decryption workers against files built and checked by hand.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobStages.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/TaskStatus.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "vault/logger.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

using namespace fileenctest;

namespace {

std::uint32_t u32At(const std::string& bytes, std::size_t offset) {
    return encfile::getU32(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}
std::uint64_t u64At(const std::string& bytes, std::size_t offset) {
    return encfile::getU64(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}
std::string keyBytes(const unsigned char* key) { return std::string(reinterpret_cast<const char*>(key), 16); }

void setTimes(const std::string& path, FILETIME created, FILETIME written) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFileTime(file, &created, nullptr, &written);
    CloseHandle(file);
}

WIN32_FIND_DATAA entryOf(const std::string& path) {
    WIN32_FIND_DATAA entry = {};
    HANDLE search = FindFirstFileA(path.c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return entry;
}

std::uint64_t asU64(FILETIME time) { return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// The local date and time as a FILETIME, field by field, without a time-zone shift.
std::uint64_t localNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME time;
    SystemTimeToFileTime(&now, &time);
    return asU64(time);
}

bool sameTime(FILETIME a, FILETIME b) { return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime; }

class FileJobWorker : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        SetFileJobStageHookForTesting(nullptr);
        SetFileJobFlushFailureForTesting(0);
        FreshRegistry::TearDown();
    }
    brimtest::TempFolder temp;
};

TEST_F(FileJobWorker, RoundTripsKeepContentLayoutAttributesAndTimes) {
    struct Case {
        std::size_t size;
        DWORD attributes;
    };
    const Case cases[] = {
        {0, FILE_ATTRIBUTE_ARCHIVE},
        {1, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {13, FILE_ATTRIBUTE_ARCHIVE},
        {16, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
        {1024, FILE_ATTRIBUTE_ARCHIVE},      // exactly one chunk
        {1025, FILE_ATTRIBUTE_ARCHIVE},      // one chunk and one byte
        {2048, FILE_ATTRIBUTE_ARCHIVE},
        {100000, FILE_ATTRIBUTE_ARCHIVE},    // 24 chunks of 4096 and a short one
    };
    const FILETIME created = {0x2D0A4000, 0x01D5B2A1}, written = {0x5A1C8000, 0x01D6C3B2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string path = temp.file("file" + std::to_string(c.size) + ".dat");
        const std::string plain = patternBytes(c.size, static_cast<unsigned>(c.size));
        writeAll(path, plain);
        setTimes(path, created, written);
        SetFileAttributesA(path.c_str(), c.attributes);
        const WIN32_FIND_DATAA before = entryOf(path);

        const std::uint64_t startedAt = localNow();
        JobResult encrypted = encryptFile(path);
        ASSERT_TRUE(encrypted.finished);
        ASSERT_EQ(encrypted.last.message, WM_FILEJOB_DONE) << "kind " << encrypted.last.lParam;
        EXPECT_FALSE(fileExists(path)) << "the plain file is wiped";
        ASSERT_GE(encrypted.messages.size(), 2u);
        EXPECT_EQ(encrypted.messages[encrypted.messages.size() - 2].message, WM_FILEJOB_PROGRESS);
        EXPECT_EQ(encrypted.messages[encrypted.messages.size() - 2].wParam, 100u);

        const std::string file = readAll(path + ".vltenc");
        const std::size_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(c.size));
        const ExpectedBody expected = expectedBody(plain, chunk, TestDataKey);
        ASSERT_EQ(file.size(), 512 + expected.length);
        EXPECT_EQ(file.substr(512, expected.body.size()), expected.body);
        EXPECT_EQ(u32At(file, 0), 0xA35F71DAu);
        EXPECT_EQ(u64At(file, 4), c.size);
        EXPECT_EQ(file.substr(12, 16), c.size ? expected.digest : std::string(16, '\0'));
        EXPECT_EQ(file.substr(28, 16), blowfishCbcEncrypt(keyBytes(TestDataKey), TestVaultKey));
        EXPECT_EQ(u64At(file, 44), asU64(before.ftCreationTime));
        EXPECT_EQ(u64At(file, 52), asU64(before.ftLastWriteTime));
        EXPECT_EQ(u32At(file, 60), before.dwFileAttributes);
        EXPECT_EQ(u32At(file, 64), 0u);
        EXPECT_EQ(u64At(file, 68), file.size());
        EXPECT_GE(u64At(file, 76), startedAt) << "the local wall-clock time of the job";
        EXPECT_LE(u64At(file, 76), localNow());
        EXPECT_EQ(file.substr(84, 16), keyBytes(TestVaultID));
        EXPECT_EQ(u32At(file, 100), chunk);
        EXPECT_EQ(u32At(file, 104), 8u);
        EXPECT_EQ(file.substr(108, 8), "My Vault");
        EXPECT_EQ(file.substr(116, 396), std::string(396, '\0'));
        EXPECT_EQ(*ReadTaskStatus().currTask, "done");

        JobResult decrypted = decryptFile(path);
        ASSERT_TRUE(decrypted.finished);
        ASSERT_EQ(decrypted.last.message, WM_FILEJOB_DONE) << "kind " << decrypted.last.lParam;
        EXPECT_FALSE(fileExists(path + ".vltenc"));
        EXPECT_EQ(readAll(path), plain);
        const WIN32_FIND_DATAA after = entryOf(path);
        EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
        EXPECT_TRUE(sameTime(after.ftLastWriteTime, before.ftLastWriteTime));
        // Wine keeps no creation time of its own on most Linux file systems: it reports
        // another time there and ignores setting one, on the plain file as on the copy.
        if (sameTime(before.ftCreationTime, created))
            EXPECT_TRUE(sameTime(after.ftCreationTime, created));
        else
            std::printf("note: this file system does not keep creation times (size %u)\n",
                        static_cast<unsigned>(c.size));
        EXPECT_EQ(*ReadTaskStatus().currTask, "done");
        // The record named the temporary output beside the plain path, never the plain path.
        const std::string recorded = ReadTaskStatus().currFile.value_or("");
        EXPECT_NE(recorded, path);
        EXPECT_EQ(recorded.substr(0, recorded.rfind('\\')), temp.path());
        EXPECT_FALSE(fileExists(recorded)) << "it became the plain file";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(FileJobWorker, ProgressCountsTheBytesOfEachChunk) {
    // 2600 bytes in chunks of 1024: two full chunks and 552 bytes, a whole number of blocks,
    // stored as 560. Encryption scales to 99 until the wipe; decryption counts the stored
    // bytes it read and scales to 100.
    const std::string path = temp.file("progress.bin");
    writeAll(path, patternBytes(2600, 15));
    JobResult encrypted = encryptFile(path);
    ASSERT_EQ(encrypted.last.message, WM_FILEJOB_DONE);
    std::vector<WPARAM> progress;
    for (const auto& m : encrypted.messages)
        if (m.message == WM_FILEJOB_PROGRESS) progress.push_back(m.wParam);
    ASSERT_GE(progress.size(), 5u);
    EXPECT_EQ(std::vector<WPARAM>(progress.begin(), progress.begin() + 4), (std::vector<WPARAM>{38, 77, 99, 0}))
        << "then the wipe from 0";
    EXPECT_EQ(progress.back(), 100u);

    JobResult decrypted = decryptFile(path);
    ASSERT_EQ(decrypted.last.message, WM_FILEJOB_DONE);
    progress.clear();
    for (const auto& m : decrypted.messages)
        if (m.message == WM_FILEJOB_PROGRESS) progress.push_back(m.wParam);
    EXPECT_EQ(progress, (std::vector<WPARAM>{39, 78, 100, 100}));
}

TEST_F(FileJobWorker, DecryptsGoldenFilesBuiltFromTheLayout) {
    // The data key of a file made before keys were mixed with the vault key:
    // the third MD5 of the vault key, which such vaults also use as their ID.
    const std::string legacyKey = md5(md5(md5(keyBytes(TestVaultKey))));
    struct Case {
        const char* name;
        std::size_t size;
        std::uint32_t storedChunk;
        const unsigned char* dataKey;
    };
    const Case cases[] = {
        {"whole-block last chunk", 2064, 1024, TestDataKey},
        {"padded last chunk", 3001, 1024, TestDataKey},
        {"chunk size 0 in the header", 3000, 0, TestDataKey},
        {"key derived the old way", 50000, 2048, reinterpret_cast<const unsigned char*>(legacyKey.data())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.file("golden.bin");
        const std::string plain = patternBytes(c.size, 7);
        const std::size_t chunk = c.storedChunk ? c.storedChunk : encfile::chunkSizeFor(static_cast<std::uint32_t>(c.size));
        writeAll(path + ".vltenc", goldenFile(plain, c.dataKey, c.storedChunk, chunk, TestVaultKey));
        JobResult result = decryptFile(path);
        ASSERT_TRUE(result.finished);
        ASSERT_EQ(result.last.message, WM_FILEJOB_DONE) << "kind " << result.last.lParam;
        EXPECT_EQ(readAll(path), plain);
        EXPECT_EQ(entryOf(path).ftLastWriteTime.dwHighDateTime, 0x01D00000u);
        DeleteFileA(path.c_str());
    }
}

TEST_F(FileJobWorker, DamagedFilesAreRejectedWithTheirKind) {
    const std::string plain = patternBytes(10000, 3);
    const std::string good = goldenFile(plain, TestDataKey, 1024, 1024, TestVaultKey);
    auto withU32 = [&](std::size_t offset, std::uint32_t value) {
        std::string bytes = good;
        encfile::putU32(reinterpret_cast<unsigned char*>(&bytes[offset]), value);
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
        std::uint32_t kind;
        const unsigned char* vaultKey;
    };
    // Only a key holder makes this one: the first 5 chunks with their own digest, under a header
    // that states all 10,000 bytes. Its digest matches what is there; the body is still cut.
    std::string shortBody = goldenFile(plain.substr(0, 5120), TestDataKey, 1024, 1024, TestVaultKey);
    encfile::putU64(reinterpret_cast<unsigned char*>(&shortBody[4]), plain.size());
    const Case cases[] = {
        {"name length 0xFFFFFFFF", withU32(104, 0xFFFFFFFFu), 0, TestVaultKey},  // the name is not needed to decrypt
        {"chunk size 1001", withU32(100, 1001), fjoNotEncryptedFile, TestVaultKey},
        {"chunk size 0x7FFFFFF8", withU32(100, 0x7FFFFFF8u), fjoNotEncryptedFile, TestVaultKey},
        {"body cut in half", good.substr(0, 512 + (good.size() - 512) / 2), fjoNotEncryptedFile, TestVaultKey},
        {"body cut mid-block", good.substr(0, 512 + 1027), fjoNotEncryptedFile, TestVaultKey},
        {"last block missing", good.substr(0, good.size() - 8), fjoNotEncryptedFile, TestVaultKey},
        {"body shorter than its size, digest matching", shortBody, fjoNotEncryptedFile, TestVaultKey},
        {"header cut at 300", good.substr(0, 300), fjoNotEncryptedFile, TestVaultKey},
        {"no magic", withU32(0, 0x12345678), fjoNotEncryptedFile, TestVaultKey},
        {"plain size beyond the body", withU32(4, 0x7FFFFFFF), fjoNotEncryptedFile, TestVaultKey},
        {"plain size near 2^64", withU32(8, 0xFFFFFFFFu), fjoNotEncryptedFile, TestVaultKey},
        {"another vault's key", good, fjoDigestMismatch, TestVaultID},
        {"empty file", std::string(), fjoNotEncryptedFile, TestVaultKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.file("damaged.bin");
        writeAll(path + ".vltenc", c.bytes);
        int chunksWritten = 0;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            chunksWritten += stage == FileJobStage::DecryptChunkWritten;
        });
        JobResult result = decryptFile(path, c.vaultKey);
        SetFileJobStageHookForTesting(nullptr);
        ASSERT_TRUE(result.finished) << "the job must end";
        if (c.kind == 0) {
            EXPECT_EQ(result.last.message, WM_FILEJOB_DONE);
            EXPECT_EQ(readAll(path), plain);
            DeleteFileA(path.c_str());
            continue;
        }
        EXPECT_EQ(result.last.message, WM_FILEJOB_FAILED);
        EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), c.kind);
        int failures = 0;
        for (const auto& m : result.messages) failures += m.message == WM_FILEJOB_FAILED;
        EXPECT_EQ(failures, 1);
        EXPECT_EQ(result.messages.back().message, WM_FILEJOB_FAILED) << "nothing is posted after a failure";
        EXPECT_FALSE(fileExists(path)) << "no partial output stays";
        EXPECT_EQ(filesIn(temp.path()), std::vector<std::string>{"damaged.bin.vltenc"}) << "nor a temporary file";
        EXPECT_EQ(readAll(path + ".vltenc"), c.bytes) << "the encrypted file stays as it was";
        EXPECT_EQ(*ReadTaskStatus().currTask, "done");
        if (c.kind == fjoNotEncryptedFile) {
            EXPECT_EQ(chunksWritten, 0) << "a damaged file is refused before writing";
        }
    }
}

// Only a plain copy known to be on the disk may replace the encrypted one, and it is written
// beside the plain path, which it takes only once it is complete.
TEST_F(FileJobWorker, DecryptionFlushesThePlainCopyBeforeTheEncryptedOneGoes) {
    const std::string path = temp.file("flushed.bin");
    const std::string plain = patternBytes(9000, 13);
    writeAll(path + ".vltenc", goldenFile(plain, TestDataKey, 1024, 1024, TestVaultKey));
    std::vector<FileJobStage> stages;
    std::string output, outputAtFlush, recordAtFlush, taskAtFlush;
    bool encryptedThere = false, plainThere = true;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE) {
        stages.push_back(stage);
        if (stage == FileJobStage::DecryptOutputFlushed) {
            output = file;
            outputAtFlush = readAll(file);
            encryptedThere = fileExists(path + ".vltenc");
            plainThere = fileExists(path);
            taskAtFlush = ReadTaskStatus().currTask.value_or("");
            recordAtFlush = ReadTaskStatus().currFile.value_or("");
        }
    });
    JobResult result = decryptFile(path);
    ASSERT_EQ(result.last.message, WM_FILEJOB_DONE);
    ASSERT_GE(stages.size(), 4u);
    EXPECT_EQ(stages.front(), FileJobStage::DecryptTemporaryCreated);
    EXPECT_EQ(stages[stages.size() - 4], FileJobStage::DecryptChunkWritten);
    EXPECT_EQ(stages[stages.size() - 3], FileJobStage::DecryptOutputFlushed) << "flushed after the last write";
    EXPECT_EQ(stages[stages.size() - 2], FileJobStage::DecryptReplaced);
    EXPECT_EQ(stages.back(), FileJobStage::DecryptRecordedDone);
    EXPECT_EQ(outputAtFlush, plain);
    EXPECT_NE(output, path) << "the output is a temporary file";
    EXPECT_EQ(output.substr(0, output.rfind('\\')), temp.path()) << "in the plain file's folder";
    EXPECT_FALSE(plainThere) << "the plain path is taken only after the digest matched";
    EXPECT_TRUE(encryptedThere);
    EXPECT_EQ(taskAtFlush, "decrypting");
    EXPECT_EQ(recordAtFlush, output) << "the record names the file an interruption would leave half-written";
    EXPECT_FALSE(fileExists(path + ".vltenc"));
    EXPECT_EQ(filesIn(temp.path()), std::vector<std::string>{"flushed.bin"});
}

// The user agreed to overwrite the plain file; a decryption that fails must still leave it as it was.
TEST_F(FileJobWorker, AFailedDecryptionLeavesAnExistingPlainFileAsItWas) {
    const std::string plain = patternBytes(10000, 31);
    const std::string good = goldenFile(plain, TestDataKey, 1024, 1024, TestVaultKey);
    std::string noMagic = good, badChunk = good;
    encfile::putU32(reinterpret_cast<unsigned char*>(&noMagic[0]), 0x12345678);
    encfile::putU32(reinterpret_cast<unsigned char*>(&badChunk[100]), 1001);
    struct Case {
        const char* name;
        std::string bytes;
        const unsigned char* vaultKey;
        const char* library;       // null: the real one
        FileJobStage stage;        // where the hook acts
        int action;                // 0 none, 1 stop the job, 2 open the plain file
        std::uint32_t kind;
    };
    const Case cases[] = {
        {"body cut in half", good.substr(0, 512 + (good.size() - 512) / 2), TestVaultKey, nullptr,
         FileJobStage::DecryptChunkWritten, 0, fjoNotEncryptedFile},
        {"body cut mid-block", good.substr(0, 512 + 1027), TestVaultKey, nullptr, FileJobStage::DecryptChunkWritten, 0,
         fjoNotEncryptedFile},
        {"header cut at 300", good.substr(0, 300), TestVaultKey, nullptr, FileJobStage::DecryptChunkWritten, 0,
         fjoNotEncryptedFile},
        {"no magic", noMagic, TestVaultKey, nullptr, FileJobStage::DecryptChunkWritten, 0, fjoNotEncryptedFile},
        {"damaged chunk size", badChunk, TestVaultKey, nullptr, FileJobStage::DecryptChunkWritten, 0,
         fjoNotEncryptedFile},
        {"another vault's key", good, TestVaultID, nullptr, FileJobStage::DecryptChunkWritten, 0, fjoDigestMismatch},
        {"missing crypto library", good, TestVaultKey, "QZ_Missing_Library.dll", FileJobStage::DecryptChunkWritten, 0,
         fjoLibraryMissing},
        {"stopped by the user", good, TestVaultKey, nullptr, FileJobStage::DecryptChunkWritten, 1, fjoStopped},
        {"plain file opened by another program before the replace", good, TestVaultKey, nullptr,
         FileJobStage::DecryptOutputFlushed, 2, fjoFileError},
    };
    const std::string older = patternBytes(15000, 32);  // longer than the decrypted text
    const FILETIME created = {0x11110000, 0x01C00000}, written = {0x22220000, 0x01C10000};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        brimtest::clearProductRegistry();
        const std::string path = temp.file("older.bin"), encrypted = path + ".vltenc";
        writeAll(path, older);
        setTimes(path, created, written);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
        const WIN32_FIND_DATAA before = entryOf(path);
        writeAll(encrypted, c.bytes);

        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, encrypted, path, window.handle(), TestDataKey, c.vaultKey);
        if (c.library) job.CryptoLibraryNameForTesting = c.library;
        HANDLE otherProgram = INVALID_HANDLE_VALUE;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage != c.stage) return;
            if (c.action == 1) job.CancelRequested = true;
            if (c.action == 2 && otherProgram == INVALID_HANDLE_VALUE)
                otherProgram = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
        });
        ASSERT_TRUE(window.run(DecryptFunc, job));
        SetFileJobStageHookForTesting(nullptr);
        if (otherProgram != INVALID_HANDLE_VALUE) CloseHandle(otherProgram);

        EXPECT_EQ(window.last().message, WM_FILEJOB_FAILED);
        EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), c.kind);
        EXPECT_EQ(window.count(WM_FILEJOB_FAILED), 1);
        if (c.action == 2) {
            // Windows refuses a file open without delete sharing, Wine any open file.
            EXPECT_TRUE(window.last().wParam == ERROR_SHARING_VIOLATION || window.last().wParam == ERROR_ACCESS_DENIED)
                << "the system's error: " << window.last().wParam;
        }
        ASSERT_TRUE(fileExists(path)) << "the plain file is still there";
        EXPECT_EQ(readAll(path), older) << "the plain file is byte for byte what it was";
        const WIN32_FIND_DATAA after = entryOf(path);
        EXPECT_EQ(after.dwFileAttributes, before.dwFileAttributes);
        EXPECT_TRUE(sameTime(after.ftLastWriteTime, before.ftLastWriteTime));
        EXPECT_EQ(readAll(encrypted), c.bytes) << "the encrypted file stays as it was";
        EXPECT_EQ(filesIn(temp.path()), (std::vector<std::string>{"older.bin", "older.bin.vltenc"}))
            << "no temporary file is left";
        EXPECT_EQ(ReadTaskStatus().currTask.value_or(""), "done");
        EXPECT_NE(ReadTaskStatus().currFile.value_or(""), path) << "the record never named the user's file";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A successful decryption replaces the older file whole: the decrypted bytes, nothing of the
// older file's tail, and the attributes and times of the file that was encrypted.
TEST_F(FileJobWorker, ASuccessfulDecryptionReplacesAnExistingPlainFile) {
    struct Case {
        const char* name;
        std::string older;
        DWORD olderAttributes;
    };
    const Case cases[] = {
        {"a longer older file", patternBytes(60000, 33), FILE_ATTRIBUTE_ARCHIVE},
        {"a shorter older file", "short", FILE_ATTRIBUTE_ARCHIVE},
        {"an empty older file", std::string(), FILE_ATTRIBUTE_ARCHIVE},
        {"a hidden older file", patternBytes(3000, 34), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
    };
    const std::string plain = patternBytes(20000, 35);
    const FILETIME created = {0x2D0A4000, 0x01D5B2A1}, written = {0x5A1C8000, 0x01D6C3B2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.file("replaced.bin"), encrypted = path + ".vltenc";
        writeAll(path, plain);
        setTimes(path, created, written);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
        const WIN32_FIND_DATAA original = entryOf(path);
        ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
        writeAll(path, c.older);
        SetFileAttributesA(path.c_str(), c.olderAttributes);

        JobResult result = decryptFile(path);
        ASSERT_TRUE(result.finished);
        ASSERT_EQ(result.last.message, WM_FILEJOB_DONE) << "kind " << result.last.lParam;
        EXPECT_EQ(readAll(path), plain);
        const WIN32_FIND_DATAA after = entryOf(path);
        EXPECT_EQ(after.dwFileAttributes, original.dwFileAttributes);
        EXPECT_TRUE(sameTime(after.ftLastWriteTime, original.ftLastWriteTime));
        EXPECT_EQ(filesIn(temp.path()), std::vector<std::string>{"replaced.bin"}) << "the .vltenc and the temporary went";
        EXPECT_EQ(*ReadTaskStatus().currTask, "done");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// Shuts everybody out of the job record's key, as a registry that can no longer be written does.
void denyRecordKey() {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL noAccess;
    InitializeAcl(&noAccess, sizeof noAccess, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &noAccess, FALSE);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
}

// Whatever record the next start finds must not name the only copy of the data.
TEST_F(FileJobWorker, ARecordThatCannotBeWrittenKeepsTheOnlyCopy) {
    enum class PlainPath { Untouched, Decrypted };
    struct Case {
        const char* name;
        bool encrypting;
        FileJobStage stage;  // where the registry stops taking writes
        bool olderPlain;     // decryption over a plain file the user agreed to replace
        PlainPath plainAfter;
    };
    const Case cases[] = {
        {"encryption, before the wipe", true, FileJobStage::BeforeWipe, false, PlainPath::Untouched},
        {"decryption, before the replace", false, FileJobStage::DecryptOutputFlushed, false, PlainPath::Untouched},
        {"decryption over an older file, before the replace", false, FileJobStage::DecryptOutputFlushed, true,
         PlainPath::Untouched},
        {"decryption over an older file, replaced but not done", false, FileJobStage::DecryptReplaced, true,
         PlainPath::Decrypted},
    };
    const std::string plain = patternBytes(6000, 14), older = "the user's older copy";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        brimtest::clearProductRegistry();
        const std::string path = temp.file("record.bin"), encrypted = path + ".vltenc";
        DeleteFileA(path.c_str());
        DeleteFileA(encrypted.c_str());
        writeAll(path, plain);
        if (!c.encrypting) {
            ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
            if (c.olderPlain) writeAll(path, older);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        const std::string encryptedBefore = c.encrypting ? std::string() : readAll(encrypted);
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == c.stage) denyRecordKey();
        });
        JobResult result = c.encrypting ? encryptFile(path) : decryptFile(path);
        SetFileJobStageHookForTesting(nullptr);
        const TaskStatusRecord record = ReadTaskStatus();
        EXPECT_FALSE(record.currTask) << "the key is shut";
        RegDeleteKeyA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.last.message, WM_FILEJOB_FAILED) << "a job whose record is stale is not a success";
        EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoFileError);
        EXPECT_EQ(result.last.wParam, static_cast<WPARAM>(ERROR_ACCESS_DENIED));
        if (c.encrypting) {
            EXPECT_EQ(readAll(path), plain) << "the record still named the .vltenc: the plain file stays";
            EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY) << "with its attributes";
            EXPECT_FALSE(fileExists(encrypted));
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            continue;
        }
        EXPECT_EQ(readAll(encrypted), encryptedBefore) << "the .vltenc stays";
        if (c.plainAfter == PlainPath::Decrypted)
            EXPECT_EQ(readAll(path), plain) << "the record named the temporary file, now gone: both copies stay";
        else if (c.olderPlain)
            EXPECT_EQ(readAll(path), older);
        else
            EXPECT_FALSE(fileExists(path));
        EXPECT_EQ(filesIn(temp.path()).size(), c.olderPlain || c.plainAfter == PlainPath::Decrypted ? 2u : 1u)
            << "no temporary file is left";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(FileJobWorker, StoppingEncryptionKeepsThePlainFile) {
    const std::string path = temp.file("stop.bin");
    const std::string plain = patternBytes(50000, 4);
    writeAll(path, plain);
    JobWindow window;
    FileEncryptionJob job;
    setUpJob(job, path, path + ".vltenc", window.handle());
    // The dialog sets the request while the worker waits between chunks.
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::EncryptChunkWritten) job.CancelRequested = true;
    });
    ASSERT_TRUE(window.run(EncryptFunc, job));
    EXPECT_EQ(window.last().message, WM_FILEJOB_FAILED);
    EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
    EXPECT_EQ(window.last().wParam, 0u);
    EXPECT_EQ(readAll(path), plain);
    EXPECT_FALSE(fileExists(path + ".vltenc"));
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
    EXPECT_EQ(window.count(WM_FILEJOB_PROGRESS), 1) << "stopped after the first chunk";
}

TEST_F(FileJobWorker, StoppingDecryptionWipesThePartialOutput) {
    const std::string path = temp.file("stop.bin");
    const std::string plain = patternBytes(50000, 5);
    writeAll(path + ".vltenc", goldenFile(plain, TestDataKey, 2048, 2048, TestVaultKey));
    const std::string encrypted = readAll(path + ".vltenc");
    JobWindow window;
    FileEncryptionJob job;
    setUpJob(job, path + ".vltenc", path, window.handle());
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::DecryptChunkWritten) job.CancelRequested = true;
    });
    ASSERT_TRUE(window.run(DecryptFunc, job));
    EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(readAll(path + ".vltenc"), encrypted);
    EXPECT_TRUE(window.finishingSeen);
}

// The dialog pauses the job while it asks whether to stop; the answer is given while paused.
TEST_F(FileJobWorker, APausedJobTakesTheAnswerAtItsNextChunk) {
    for (bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Yes, stop" : "No, go on");
        const std::string path = temp.file("paused.bin");
        const std::string plain = patternBytes(200000, 12);  // 20 chunks of 9 KB
        writeAll(path, plain);
        DeleteFileA((path + ".vltenc").c_str());
        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, path, path + ".vltenc", window.handle());
        HANDLE paused = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == FileJobStage::EncryptChunkWritten && WaitForSingleObject(paused, 0) == WAIT_TIMEOUT) {
                job.Pause.pause();
                SetEvent(paused);
            }
        });
        ASSERT_TRUE(window.start(EncryptFunc, job));
        ASSERT_EQ(WaitForSingleObject(paused, 30000), WAIT_OBJECT_0);
        if (stop) job.CancelRequested = true;
        job.Pause.resume();
        ASSERT_TRUE(window.finish());
        CloseHandle(paused);
        if (stop) {
            EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
            EXPECT_EQ(window.count(WM_FILEJOB_PROGRESS), 1) << "no chunk after the one before the pause";
            EXPECT_EQ(readAll(path), plain);
        } else {
            EXPECT_EQ(window.last().message, WM_FILEJOB_DONE);
            EXPECT_FALSE(fileExists(path));
        }
    }
}

// "Yes" to the stop question asked while the last chunk is on its way still stops the job.
TEST_F(FileJobWorker, AStopAnsweredDuringTheLastChunkIsHonoured) {
    struct Case {
        const char* name;
        bool encrypting;
        FileJobStage stage;
        int lastOccurrence;  // 2148 bytes: two full chunks of 1024 and 100 bytes
    };
    const Case cases[] = {
        {"encrypting", true, FileJobStage::EncryptChunkWritten, 2},
        {"decrypting", false, FileJobStage::DecryptChunkWritten, 3},
    };
    const std::string plain = patternBytes(2148, 16);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = temp.file("last.bin"), encrypted = path + ".vltenc";
        DeleteFileA(path.c_str());
        DeleteFileA(encrypted.c_str());
        if (c.encrypting) writeAll(path, plain);
        else writeAll(encrypted, goldenFile(plain, TestDataKey, 1024, 1024, TestVaultKey));
        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, c.encrypting ? path : encrypted, c.encrypting ? encrypted : path, window.handle());
        HANDLE paused = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        int reached = 0;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == c.stage && ++reached == c.lastOccurrence) {
                job.Pause.pause();  // the user pressed Cancel
                SetEvent(paused);
            }
        });
        ASSERT_TRUE(window.start(c.encrypting ? EncryptFunc : DecryptFunc, job));
        ASSERT_EQ(WaitForSingleObject(paused, 30000), WAIT_OBJECT_0);
        job.CancelRequested = true;  // and answered Yes
        job.Pause.resume();
        ASSERT_TRUE(window.finish());
        CloseHandle(paused);
        SetFileJobStageHookForTesting(nullptr);
        EXPECT_EQ(window.last().message, WM_FILEJOB_FAILED);
        EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
        if (c.encrypting) {
            EXPECT_EQ(readAll(path), plain);
            EXPECT_FALSE(fileExists(encrypted));
        } else {
            EXPECT_FALSE(fileExists(path));
            EXPECT_TRUE(fileExists(encrypted));
        }
    }
}

TEST_F(FileJobWorker, AMissingCryptoLibraryEndsTheJobAndIsLogged) {
    char previousFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    SetCurrentDirectoryA(temp.path().c_str());  // the log goes to the current folder
    {
        brimtest::MessageBoxScript on({mbrOk});
        traceLog.toggle();
    }
    const std::string path = temp.file("nolib.bin");
    writeAll(path, "plain");
    writeAll(path + ".vltenc", smallGoldenFile());
    for (bool encrypting : {true, false}) {
        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, encrypting ? path : path + ".vltenc", encrypting ? path + ".vltenc" : path, window.handle());
        job.CryptoLibraryNameForTesting = "QZ_Missing_Library.dll";
        if (!encrypting) DeleteFileA(path.c_str());  // an older plain file is another test's case
        ASSERT_TRUE(window.run(encrypting ? EncryptFunc : DecryptFunc, job));
        EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoLibraryMissing);
        EXPECT_EQ(window.last().wParam, static_cast<WPARAM>(ERROR_MOD_NOT_FOUND));
        if (encrypting) {
            EXPECT_EQ(readAll(path), "plain");
            EXPECT_FALSE(fileExists(path + ".vltenc")) << "the new .vltenc is removed";
            writeAll(path + ".vltenc", smallGoldenFile());
        } else {
            EXPECT_FALSE(fileExists(path)) << "the new plain output is removed";
            EXPECT_EQ(readAll(path + ".vltenc"), smallGoldenFile());
        }
    }
    {
        brimtest::MessageBoxScript off({mbrOk});
        traceLog.toggle();
    }
    SetCurrentDirectoryA(previousFolder);
    const std::string log = readAll(temp.file("Brimsafe.log"));
    const std::size_t encryptLine = log.find(" - Failed to load dll in EncryptFunc\r\n");
    const std::size_t decryptLine = log.find(" - Failed to load dll in DecryptFunc\r\n");
    ASSERT_NE(encryptLine, std::string::npos) << log;
    ASSERT_NE(decryptLine, std::string::npos) << log;
    // Each is followed by a line with the system's text for the error.
    std::size_t textStart = log.find(" - ", log.find("\r\n", encryptLine) + 2);
    std::size_t textEnd = log.find("\r\n", textStart);
    EXPECT_GT(textEnd - textStart, 3u);
    EXPECT_LE(textEnd - textStart - 3, 100u);
}

TEST_F(FileJobWorker, AFileInUseByAWriterIsRefusedUntouched) {
    const std::string path = temp.file("busy.bin");
    const std::string plain = patternBytes(5000, 6);
    writeAll(path, plain);
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    JobResult result = encryptFile(path);
    CloseHandle(writer);
    EXPECT_EQ(result.last.message, WM_FILEJOB_FAILED);
    EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoFileError);
    EXPECT_EQ(result.last.wParam, static_cast<WPARAM>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readAll(path), plain);
    EXPECT_FALSE(fileExists(path + ".vltenc"));
}

TEST_F(FileJobWorker, AFileThatEndsEarlyIsRefusedNotWiped) {
    const std::string path = temp.file("shrinks.bin");
    const std::string plain = patternBytes(60000, 8);
    writeAll(path, plain);
    // After the first chunk the job's reads find nothing more, as if the file had been cut short.
    SetFileJobStageHookForTesting([](FileJobStage stage, const std::string&, HANDLE source) {
        if (stage == FileJobStage::EncryptChunkWritten) SetFilePointer(source, 0, nullptr, FILE_END);
    });
    JobResult result = encryptFile(path);
    EXPECT_EQ(result.last.message, WM_FILEJOB_FAILED);
    EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoFileError);
    EXPECT_EQ(result.last.wParam, static_cast<WPARAM>(ERROR_HANDLE_EOF));
    EXPECT_EQ(readAll(path), plain);
    EXPECT_FALSE(fileExists(path + ".vltenc"));
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
}

TEST_F(FileJobWorker, AnotherProcessJobKeepsTheRecordAndTheFiles) {
    const std::string path = temp.file("second.bin");
    writeAll(path, "data");
    SetTaskStatus("encrypting", "C:\\elsewhere.vltenc");
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        FileJobLock lock;
        lock.tryAcquire();
        SetEvent(held);
        WaitForSingleObject(release, 30000);
    });
    WaitForSingleObject(held, 30000);
    JobResult result = encryptFile(path);
    SetEvent(release);
    holder.join();
    CloseHandle(release);
    CloseHandle(held);
    EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoAnotherJobRunning);
    EXPECT_EQ(readAll(path), "data");
    EXPECT_FALSE(fileExists(path + ".vltenc"));
    EXPECT_EQ(*ReadTaskStatus().currTask, "encrypting");
    EXPECT_EQ(*ReadTaskStatus().currFile, "C:\\elsewhere.vltenc");
}

TEST_F(FileJobWorker, AFailedWipeKeepsBothFilesAndTheAttributes) {
    const std::string path = temp.file("locked.bin");
    const std::string plain = patternBytes(3000, 9);
    writeAll(path, plain);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    HANDLE reader = INVALID_HANDLE_VALUE;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE) {
        // Another program opens the plain file, sharing no writes, just before the wipe.
        if (stage == FileJobStage::BeforeWipe)
            reader = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    JobResult result = encryptFile(path);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoNotWiped);
    EXPECT_EQ(result.last.wParam, static_cast<WPARAM>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readAll(path), plain);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
    EXPECT_TRUE(fileExists(path + ".vltenc"));
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A write the cache accepted can still fail on its way to the disk, and only the flush tells:
// neither job may then destroy the one copy it was about to replace.
TEST_F(FileJobWorker, AFlushThatFailsKeepsTheOnlyWholeCopy) {
    struct Case {
        const char* what;
        bool encrypting;
    };
    for (const Case& c : {Case{"encryption", true}, Case{"decryption", false}}) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        const std::string path = temp.file("precious.bin"), encrypted = path + ".vltenc";
        const std::string plain = patternBytes(9000, 17);
        const std::string golden = goldenFile(plain, TestDataKey, 1024, 1024, TestVaultKey);
        if (c.encrypting)
            writeAll(path, plain);
        else
            writeAll(encrypted, golden);
        bool plainWipeStarted = false;
        std::set<std::string> wiped;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string& file, HANDLE) {
            if (stage == FileJobStage::BeforeWipe) plainWipeStarted = true;
            if (stage == FileJobStage::WipeBlockWritten) wiped.insert(file);
        });
        SetFileJobFlushFailureForTesting(ERROR_IO_DEVICE);
        JobResult result = c.encrypting ? encryptFile(path) : decryptFile(path);
        SetFileJobFlushFailureForTesting(0);
        SetFileJobStageHookForTesting(nullptr);

        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.last.message, WM_FILEJOB_FAILED);
        EXPECT_EQ(static_cast<std::uint32_t>(result.last.lParam), fjoFileError);
        EXPECT_EQ(result.last.wParam, static_cast<WPARAM>(ERROR_IO_DEVICE));
        EXPECT_FALSE(plainWipeStarted);
        EXPECT_EQ(wiped.count(path), 0u) << "the plain file was never wiped";
        EXPECT_EQ(wiped.count(encrypted), 0u);
        if (c.encrypting) {
            EXPECT_EQ(readAll(path), plain) << "the plain file is untouched";
            EXPECT_EQ(filesIn(temp.path()), std::vector<std::string>{"precious.bin"}) << "the .vltenc is removed";
        } else {
            EXPECT_EQ(wiped.size(), 1u) << "the temporary output was wiped before it went";
            EXPECT_EQ(readAll(encrypted), golden) << "the encrypted file is kept";
            EXPECT_EQ(filesIn(temp.path()), std::vector<std::string>{"precious.bin.vltenc"})
                << "the temporary output is gone and the plain path untouched";
        }
        DeleteFileA(path.c_str());
        DeleteFileA(encrypted.c_str());
    }
}

TEST_F(FileJobWorker, FinishingIsHandledOnTheWindowThreadBeforeTheWipe) {
    const std::string path = temp.file("finish.bin");
    writeAll(path, patternBytes(20000, 10));
    JobWindow window;
    FileEncryptionJob job;
    setUpJob(job, path, path + ".vltenc", window.handle());
    bool seenBeforeWipe = false, checked = false;
    SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
        if (stage == FileJobStage::WipeBlockWritten && !checked) {
            checked = true;
            seenBeforeWipe = window.finishingSeen;
        }
    });
    ASSERT_TRUE(window.run(EncryptFunc, job));
    EXPECT_EQ(window.last().message, WM_FILEJOB_DONE);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(seenBeforeWipe);
    EXPECT_EQ(window.finishingThread, GetCurrentThreadId());
    EXPECT_EQ(window.count(WM_FILEJOB_FINISHING), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(job.FileKey.data()), 16), std::string(16, '\0'))
        << "key copies are overwritten when the job ends";
    EXPECT_EQ(std::string(reinterpret_cast<char*>(job.VaultKey.data()), 16), std::string(16, '\0'));
}

TEST_F(FileJobWorker, RunsWithoutAWindow) {
    const std::string path = temp.file("quiet.bin");
    writeAll(path, patternBytes(3000, 11));
    FileEncryptionJob job;
    setUpJob(job, path, path + ".vltenc", nullptr);
    HANDLE thread = CreateThread(nullptr, 0, EncryptFunc, &job, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(fileExists(path));
    EXPECT_TRUE(fileExists(path + ".vltenc"));
    EXPECT_EQ(*ReadTaskStatus().currTask, "done");
}

}  // namespace
