// The file jobs' threads against the test's own Blowfish-CBC and MD5: the decryption chain
// spread over the processors, alone and in the job, the encryption reading a chunk ahead, and
// both jobs writing (and decryption digesting) a chunk behind.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/ParallelDecryption.h"
#include "fileenc/WriteBehind.h"
#include "framework/Win32Handles.h"
#include "vault/CryptoLibrary.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

using namespace fileenctest;

namespace {

constexpr std::size_t Piece = ParallelDecryption::PieceBytes;
constexpr std::uint32_t LargestChunk = 256 * 1024;  // what encryption uses for large files

const unsigned char* bytesOf(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

TEST(ParallelDecryption, GivesWhatOneChainGivesForAnyCutAndThreadCount) {
    struct Case {
        const char* name;
        std::vector<std::size_t> calls;  // the lengths fed one after the other
    };
    const Case cases[] = {
        {"one block", {8}},
        {"one block short of two pieces", {2 * Piece - 8}},
        {"exactly two pieces", {2 * Piece}},
        {"one block past two pieces", {2 * Piece + 8}},
        {"a piece and a part", {7 * Piece + 24}},
        {"first call spread, in place or not", {LargestChunk + 8, 2 * Piece}},
        {"chunks after chunks", {LargestChunk, LargestChunk, 8, 3 * Piece + 8, LargestChunk}},
        {"small calls between large ones", {8, 16, LargestChunk, 8, LargestChunk - 8}},
    };
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        for (const Case& c : cases) {
            for (bool inPlace : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(threads) + " threads" +
                             (inPlace ? ", in place" : ""));
                const std::size_t total = std::accumulate(c.calls.begin(), c.calls.end(), std::size_t{0});
                const std::string cipherText = blowfishCbcEncrypt(patternBytes(total, 5), TestDataKey);
                std::string out = inPlace ? cipherText : std::string(total, '\0');
                ParallelDecryption chain(TestDataKey, threads);
                EXPECT_LE(chain.threads(), threads);
                std::size_t at = 0;
                for (std::size_t length : c.calls) {
                    const unsigned char* in = inPlace ? bytesOf(out) + at : bytesOf(cipherText) + at;
                    chain.process(in, reinterpret_cast<unsigned char*>(&out[at]), length);
                    at += length;
                }
                EXPECT_TRUE(out == blowfishCbcDecrypt(cipherText, TestDataKey));
            }
        }
    }
}

class FileJobThreads : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        SetFileJobStageHookForTesting(nullptr);
        FreshRegistry::TearDown();
    }
    brimtest::TempFolder temp;
};

TEST_F(FileJobThreads, RoundTripsAroundBlockPieceAndChunkBoundaries) {
    const std::size_t sizes[] = {0, 1, 7, 8, 9, 2 * Piece - 1, 2 * Piece, 2 * Piece + 1, LargestChunk - 1,
                                 LargestChunk, LargestChunk + 1, 3 * LargestChunk + 5};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string path = temp.file("spread.bin");
        const std::string plain = patternBytes(size, static_cast<unsigned>(size) + 3);
        writeAll(path + ".vltenc", goldenFile(plain, TestDataKey, LargestChunk, LargestChunk, TestVaultKey));
        JobResult result = decryptFile(path);
        ASSERT_TRUE(result.finished);
        ASSERT_EQ(result.last.message, WM_FILEJOB_DONE) << "kind " << result.last.lParam;
        EXPECT_TRUE(readAll(path) == plain);
        EXPECT_FALSE(fileExists(path + ".vltenc"));
        DeleteFileA(path.c_str());
    }
    // The job's own encryption of a large file comes back whole too.
    const std::string path = temp.file("both.bin");
    const std::string plain = patternBytes(3 * 1024 * 1024 + 13, 9);
    writeAll(path, plain);
    ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
    ASSERT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
    EXPECT_TRUE(readAll(path) == plain);
}

TEST_F(FileJobThreads, EncryptionReadingAheadKeepsTheLayoutAndTheDigest) {
    const std::size_t sizes[] = {0, 1, 8, 1023, 1024, 1025, 20 * LargestChunk - 1, 20 * LargestChunk,
                                 20 * LargestChunk + 1};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string path = temp.file("ahead.bin");
        const std::string plain = patternBytes(size, static_cast<unsigned>(size) + 11);
        writeAll(path, plain);
        ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
        const std::string file = readAll(path + ".vltenc");
        const ExpectedBody expected =
            expectedBody(plain, encfile::chunkSizeFor(static_cast<std::uint32_t>(size)), TestDataKey);
        ASSERT_EQ(file.size(), 512 + expected.length);
        EXPECT_TRUE(file.substr(512, expected.body.size()) == expected.body);
        EXPECT_EQ(file.substr(12, 16), size ? expected.digest : std::string(16, '\0'));
        DeleteFileA((path + ".vltenc").c_str());
    }
}

// The dialog pauses the job while it asks whether to stop; the answer takes effect before the
// next chunk, with the helper threads at work on every chunk.
TEST_F(FileJobThreads, APauseAndAStopAreAnsweredWithinOneChunk) {
    for (bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Yes, stop" : "No, go on");
        const std::string path = temp.file("paused.bin"), encrypted = path + ".vltenc";
        DeleteFileA(path.c_str());
        const std::string plain = patternBytes(6 * LargestChunk + 100, 14);
        writeAll(encrypted, goldenFile(plain, TestDataKey, LargestChunk, LargestChunk, TestVaultKey));
        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, encrypted, path, window.handle());
        HANDLE paused = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::uint64_t doneAtPause = 0;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == FileJobStage::DecryptChunkWritten && WaitForSingleObject(paused, 0) == WAIT_TIMEOUT) {
                job.Pause.pause();
                doneAtPause = job.BytesDone;
                SetEvent(paused);
            }
        });
        ASSERT_TRUE(window.start(DecryptFunc, job));
        ASSERT_EQ(WaitForSingleObject(paused, 30000), WAIT_OBJECT_0);
        if (stop) job.CancelRequested = true;
        job.Pause.resume();
        ASSERT_TRUE(window.finish());
        CloseHandle(paused);
        EXPECT_EQ(doneAtPause, LargestChunk);
        if (stop) {
            EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
            EXPECT_EQ(job.BytesDone, LargestChunk) << "no chunk after the one before the pause";
            EXPECT_FALSE(fileExists(path));
            EXPECT_TRUE(fileExists(encrypted));
        } else {
            EXPECT_EQ(window.last().message, WM_FILEJOB_DONE);
            EXPECT_TRUE(readAll(path) == plain);
        }
    }
}

// The writer's two buffers take turns: chunk i reuses the buffer of chunk i - 2 only once that
// one is written, so sequences longer than two chunks, short chunks between long ones and a
// chunk of the whole buffer's size must all come out whole, in order, and digested in order.
TEST_F(FileJobThreads, WritingBehindKeepsTheOrderAndTheDigestChain) {
    struct Case {
        const char* name;
        std::uint32_t chunkSize;
        std::vector<DWORD> counts;  // the chunks handed over, in order
    };
    const Case cases[] = {
        {"nothing", 1024, {}},
        {"one byte", 1024, {1}},
        {"one full chunk", 1024, {1024}},
        {"two chunks: both buffers once", 1024, {1024, 1024}},
        {"three chunks: the first buffer again", 1024, {1024, 1024, 1023}},
        {"an empty chunk among others", 1024, {1024, 0, 17}},
        {"many large chunks", LargestChunk, std::vector<DWORD>(21, LargestChunk)},
        {"large, short, large", LargestChunk, {LargestChunk, 8, LargestChunk - 1, LargestChunk, 1}},
    };
    CryptoLibrary library;
    ASSERT_TRUE(library.hasMD5());
    for (bool digesting : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (digesting ? ", digesting" : ""));
            const std::string path = temp.file("behind.bin");
            win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_TRUE(file.valid());
            std::string expected, digest(16, '\0');
            {
                WriteBehind writer(file.get(), c.chunkSize, digesting ? &library : nullptr);
                DWORD error = 0;
                ASSERT_TRUE(writer.start(error));
                unsigned seed = 40;
                for (DWORD count : c.counts) {
                    unsigned char* buffer = writer.acquire();
                    ASSERT_NE(buffer, nullptr);
                    const std::string chunk = patternBytes(count, ++seed);
                    std::memcpy(buffer, chunk.data(), count);
                    // The bytes past the chunk are the job's room for padding, never written.
                    std::memset(buffer + count, 0xEE, 8);
                    writer.submit(count);
                    expected += chunk;
                    if (count) digest = md5(digest + chunk);
                }
                EXPECT_EQ(writer.finish(), 0u);
                if (digesting) {
                    EXPECT_EQ(std::string(reinterpret_cast<const char*>(writer.digest()), 16), digest);
                }
            }
            file.close();
            EXPECT_TRUE(readAll(path) == expected);
        }
    }
}

// A write that fails (here: a file opened for reading only) reaches the job at its next chunk or at
// the end, and the chunks after it are dropped, not written out of order.
TEST_F(FileJobThreads, AFailingWriteReachesTheJobAndDropsTheRest) {
    const std::string path = temp.file("readonly.bin");
    writeAll(path, "kept");
    for (unsigned chunks : {1u, 2u, 5u}) {
        SCOPED_TRACE(std::to_string(chunks) + " chunks handed over");
        win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                           nullptr));
        ASSERT_TRUE(file.valid());
        WriteBehind writer(file.get(), 1024, nullptr);
        DWORD error = 0;
        ASSERT_TRUE(writer.start(error));
        unsigned given = 0;
        for (; given < chunks; ++given) {
            unsigned char* buffer = writer.acquire();
            if (!buffer) break;
            std::memset(buffer, 'x', 1024);
            writer.submit(1024);
        }
        EXPECT_GE(given, std::min(chunks, 2u)) << "the failure of chunk 1 can only be known from chunk 3 on";
        EXPECT_EQ(writer.finish(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(writer.acquire(), nullptr);
    }
    EXPECT_EQ(readAll(path), "kept");
}

// A job ended while chunks are still on their way (a stop, a failure, an exception) stops the
// writer without waiting for them, and the file may be closed at once.
TEST_F(FileJobThreads, StoppingTheWriterLeavesNoThreadBehind) {
    const std::string path = temp.file("stopped.bin");
    for (unsigned chunks : {0u, 1u, 2u}) {
        SCOPED_TRACE(chunks);
        win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.valid());
        WriteBehind writer(file.get(), LargestChunk, nullptr);
        DWORD error = 0;
        ASSERT_TRUE(writer.start(error));
        for (unsigned i = 0; i < chunks; ++i) {
            std::memset(writer.acquire(), 'y', LargestChunk);
            writer.submit(LargestChunk);
        }
        writer.stop();
        file.close();
        const std::size_t size = readAll(path).size();
        EXPECT_EQ(size % LargestChunk, 0u) << "chunks are written whole or not at all";
        EXPECT_LE(size, chunks * LargestChunk);
    }
}

// Both jobs across the point where the writer's buffers are first reused, and past it.
TEST_F(FileJobThreads, RoundTripsAroundTheWritersBufferTurn) {
    // Below 20 KiB the chunk is 1 KiB; from 5 MiB on it stays at 256 KiB.
    const std::size_t sizes[] = {2047, 2048, 2049, 3071, 3072, 3073, 21 * LargestChunk - 1, 21 * LargestChunk + 8};
    for (std::size_t size : sizes) {
        const std::uint32_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(size));
        SCOPED_TRACE(std::to_string(size) + " bytes, " + std::to_string(size / chunk) + " full chunks");
        const std::string path = temp.file("turn.bin");
        const std::string plain = patternBytes(size, static_cast<unsigned>(size) + 17);
        writeAll(path, plain);
        ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
        const std::string file = readAll(path + ".vltenc");
        const ExpectedBody expected = expectedBody(plain, chunk, TestDataKey);
        ASSERT_EQ(file.size(), 512 + expected.length);
        EXPECT_TRUE(file.substr(512, expected.body.size()) == expected.body);
        EXPECT_EQ(file.substr(12, 16), expected.digest);
        // Decryption of the job's file and of one assembled from the layout alone.
        ASSERT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
        EXPECT_TRUE(readAll(path) == plain);
        DeleteFileA(path.c_str());
        writeAll(path + ".vltenc", goldenFile(plain, TestDataKey, chunk, chunk, TestVaultKey));
        ASSERT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
        EXPECT_TRUE(readAll(path) == plain);
        DeleteFileA(path.c_str());
    }
}

// A stop answered at the first chunk of a large file leaves no more than that chunk enciphered,
// with the reader and the writer both running.
TEST_F(FileJobThreads, EncryptionStopsWithinOneChunkWhileReadingAndWritingRun) {
    for (bool stop : {true, false}) {
        SCOPED_TRACE(stop ? "Yes, stop" : "No, go on");
        const std::string path = temp.file("stop.bin"), encrypted = path + ".vltenc";
        DeleteFileA(encrypted.c_str());
        const std::string plain = patternBytes(30 * LargestChunk + 3, 19);  // chunks of 256 KiB
        writeAll(path, plain);
        JobWindow window;
        FileEncryptionJob job;
        setUpJob(job, path, encrypted, window.handle());
        HANDLE paused = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::uint64_t doneAtPause = 0;
        SetFileJobStageHookForTesting([&](FileJobStage stage, const std::string&, HANDLE) {
            if (stage == FileJobStage::EncryptChunkWritten && WaitForSingleObject(paused, 0) == WAIT_TIMEOUT) {
                job.Pause.pause();
                doneAtPause = job.BytesDone;
                SetEvent(paused);
            }
        });
        ASSERT_TRUE(window.start(EncryptFunc, job));
        ASSERT_EQ(WaitForSingleObject(paused, 30000), WAIT_OBJECT_0);
        if (stop) job.CancelRequested = true;
        job.Pause.resume();
        ASSERT_TRUE(window.finish());
        CloseHandle(paused);
        EXPECT_EQ(doneAtPause, LargestChunk);
        if (stop) {
            EXPECT_EQ(static_cast<std::uint32_t>(window.last().lParam), fjoStopped);
            EXPECT_EQ(job.BytesDone, LargestChunk) << "no chunk after the one before the pause";
            EXPECT_TRUE(readAll(path) == plain);
            EXPECT_FALSE(fileExists(encrypted));
        } else {
            EXPECT_EQ(window.last().message, WM_FILEJOB_DONE);
            EXPECT_FALSE(fileExists(path));
            ASSERT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
            EXPECT_TRUE(readAll(path) == plain);
        }
    }
}

}  // namespace
