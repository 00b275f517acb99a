// The file jobs' threads against the test's own Blowfish-CBC and MD5: the decryption chain
// spread over the processors, alone and in the job, and the encryption reading a chunk ahead.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/ParallelDecryption.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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

}  // namespace
