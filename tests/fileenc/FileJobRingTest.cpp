// The rings of chunk buffers between a file job's threads: the reader and the writer sleep until
// half a ring is free or filled, so the points where a buffer is first reused and where a batch
// ends are where a chunk could be lost, doubled or written out of order. Checked against the
// test's own Blowfish-CBC and MD5.
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/Handoff.h"
#include "fileenc/WriteBehind.h"
#include "framework/Win32Handles.h"
#include "vault/CryptoLibrary.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace fileenctest;

namespace {

constexpr std::uint32_t SmallChunk = 1024;  // what encryption uses below 20 KiB

TEST(JobRing, HoldsAboutTwoMebibytesInTwoToEightBuffers) {
    const struct {
        std::uint32_t chunk;
        unsigned slots;
    } cases[] = {{1, 8}, {SmallChunk, 8}, {256 * 1024, 8}, {512 * 1024, 4}, {700 * 1024, 2},
                 {encfile::MaxReadableChunkSize, 2}, {0, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chunk);
        EXPECT_EQ(ringSlotsFor(c.chunk), c.slots);
        EXPECT_GE(ringBatchFor(ringSlotsFor(c.chunk)), 1u);
    }
}

class FileJobRing : public brimtest::FreshRegistry {
protected:
    brimtest::TempFolder temp;
};

// Sequences that end inside a batch, at its end, at the ring's turn and past it, with the writer
// flushing as it goes or not: every chunk comes out whole, once, in order and digested in order.
TEST_F(FileJobRing, WritingBehindKeepsEveryChunkAcrossBatchesAndTurns) {
    const unsigned slots = ringSlotsFor(SmallChunk), batch = ringBatchFor(slots);
    const unsigned lengths[] = {1, batch - 1, batch, batch + 1, slots - 1, slots, slots + 1, 2 * slots + batch + 1};
    CryptoLibrary library;
    ASSERT_TRUE(library.hasMD5());
    for (std::uint64_t flushEvery : {std::uint64_t{0}, std::uint64_t{3000}}) {
        for (unsigned chunks : lengths) {
            SCOPED_TRACE(std::to_string(chunks) + " chunks, flush every " + std::to_string(flushEvery));
            const std::string path = temp.file("ring.bin");
            win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_TRUE(file.valid());
            std::string expected, digest(16, '\0');
            {
                WriteBehind writer(file.get(), SmallChunk, &library, flushEvery);
                DWORD error = 0;
                ASSERT_TRUE(writer.start(error));
                for (unsigned i = 0; i < chunks; ++i) {
                    unsigned char* buffer = writer.acquire();
                    ASSERT_NE(buffer, nullptr);
                    // The last chunk is short, as a file's last chunk is.
                    const DWORD count = i + 1 == chunks ? SmallChunk / 2 + 3 : SmallChunk;
                    const std::string chunk = patternBytes(count, 70 + i);
                    std::memcpy(buffer, chunk.data(), count);
                    writer.submit(count);
                    expected += chunk;
                    digest = md5(digest + chunk);
                }
                ASSERT_EQ(writer.finish(), 0u);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(writer.digest()), 16), digest);
            }
            file.close();
            EXPECT_TRUE(readAll(path) == expected);
        }
    }
}

// Drains a pipe into a string on a thread of its own, from the moment start() is called.
class PipeDrain {
public:
    explicit PipeDrain(HANDLE readEnd) : readEnd_(readEnd) {}
    ~PipeDrain() { join(); }
    bool start() {
        thread_ = win32::KernelHandle(CreateThread(nullptr, 0, drainMain, this, 0, nullptr));
        return static_cast<bool>(thread_);
    }
    // Once the writing end is closed: everything that went through, or false past the deadline.
    bool join() {
        if (!thread_) return true;
        const bool ended = WaitForSingleObject(thread_.get(), 30000) == WAIT_OBJECT_0;
        if (ended) thread_.close();
        return ended;
    }
    const std::string& bytes() const { return bytes_; }

private:
    static DWORD WINAPI drainMain(LPVOID self) {
        auto& drain = *static_cast<PipeDrain*>(self);
        char block[64 * 1024];
        DWORD got = 0;
        while (ReadFile(drain.readEnd_, block, sizeof block, &got, nullptr) && got) drain.bytes_.append(block, got);
        return 0;
    }
    HANDLE readEnd_;
    win32::KernelHandle thread_;
    std::string bytes_;
};

// The digest has a thread of its own beside the writer, and the job fills a buffer again only once
// both are done with it. Either may fall behind: the writer held by a pipe nobody reads until the
// job has filled the whole ring, or the digest behind a writer to a file and a job that only copies
// chunks prepared beforehand. Every chunk still comes out whole, once, in order, and the digest
// chain is the same.
TEST_F(FileJobRing, WhicheverOfDigestAndWriterFallsBehindNoChunkIsLost) {
    constexpr std::uint32_t Chunk = 256 * 1024;  // a ring of 2 MiB: far more than a pipe holds
    const unsigned slots = ringSlotsFor(Chunk);
    CryptoLibrary library;
    ASSERT_TRUE(library.hasMD5());
    for (bool writerHeld : {true, false}) {
        for (unsigned chunks : {slots, slots + 1, 3 * slots + 1, 12 * slots}) {
            SCOPED_TRACE(std::to_string(chunks) + (writerHeld ? " chunks to a pipe read late" : " chunks to a file"));
            std::vector<std::string> pieces;
            std::string expected, digest(16, '\0');
            for (unsigned i = 0; i < chunks; ++i) {
                pieces.push_back(patternBytes(i + 1 == chunks ? Chunk - 5 : Chunk, 300 + i));
                expected += pieces.back();
                digest = md5(digest + pieces.back());
            }
            HANDLE readEnd = nullptr, writeEnd = nullptr;
            const std::string path = temp.file("behind.bin");
            if (writerHeld) {
                ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 4096));
            } else {
                writeEnd = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                ASSERT_NE(writeEnd, INVALID_HANDLE_VALUE);
            }
            PipeDrain drain(readEnd);  // declared first: the pipe closes before it is waited for
            win32::KernelHandle reading(readEnd), writing(writeEnd);
            {
                WriteBehind writer(writeEnd, Chunk, &library);
                DWORD error = 0;
                ASSERT_TRUE(writer.start(error));
                for (unsigned i = 0; i < chunks; ++i) {
                    // Up to a whole ring the job never waits; the pipe is read only from here on.
                    if (writerHeld && i == slots) {
                        ASSERT_TRUE(drain.start());
                    }
                    unsigned char* buffer = writer.acquire();
                    ASSERT_NE(buffer, nullptr);
                    std::memcpy(buffer, pieces[i].data(), pieces[i].size());
                    writer.submit(static_cast<DWORD>(pieces[i].size()));
                }
                if (writerHeld && chunks == slots) {
                    ASSERT_TRUE(drain.start());
                }
                ASSERT_EQ(writer.finish(), 0u);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(writer.digest()), 16), digest);
            }
            writing.close();
            ASSERT_TRUE(drain.join());
            EXPECT_TRUE((writerHeld ? drain.bytes() : readAll(path)) == expected);
        }
    }
}

// Both jobs on files whose chunk count ends inside the first batch, at the ring's turn and past it.
TEST_F(FileJobRing, RoundTripsAroundTheRingsBatchAndTurn) {
    const std::size_t slots = ringSlotsFor(SmallChunk), batch = ringBatchFor(static_cast<unsigned>(slots));
    const std::size_t sizes[] = {batch * SmallChunk - 1, batch * SmallChunk, batch * SmallChunk + 1,
                                 slots * SmallChunk - 1, slots * SmallChunk, slots * SmallChunk + 1,
                                 (2 * slots + 1) * SmallChunk + 5};
    for (std::size_t size : sizes) {
        const std::uint32_t chunk = encfile::chunkSizeFor(static_cast<std::uint32_t>(size));
        ASSERT_EQ(chunk, SmallChunk);
        SCOPED_TRACE(std::to_string(size) + " bytes");
        const std::string path = temp.file("ringjob.bin");
        const std::string plain = patternBytes(size, static_cast<unsigned>(size) + 29);
        writeAll(path, plain);
        ASSERT_EQ(encryptFile(path).last.message, WM_FILEJOB_DONE);
        const std::string file = readAll(path + ".vltenc");
        const ExpectedBody expected = expectedBody(plain, chunk, TestDataKey);
        ASSERT_EQ(file.size(), 512 + expected.length);
        EXPECT_TRUE(file.substr(512, expected.body.size()) == expected.body);
        EXPECT_EQ(file.substr(12, 16), expected.digest);
        ASSERT_EQ(decryptFile(path).last.message, WM_FILEJOB_DONE);
        EXPECT_TRUE(readAll(path) == plain);
        DeleteFileA(path.c_str());
    }
}

}  // namespace
