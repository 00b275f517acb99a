/*
 * A file job's writing (and, for decryption, its chained digest) on threads
 * of their own, behind the cipher: while the job enciphers or deciphers a
 * chunk into one buffer of a ring (ringSlotsFor), the chunks before it are
 * digested and written. A writer that found the ring empty sleeps until half
 * of it is filled (or the job finishes), so it is woken once per batch of
 * chunks rather than once per chunk.
 *
 * The digest runs on a thread of its own beside the writer, from the same
 * buffers: a write that waits for the disk (a flush) holds up neither the
 * digest nor, while the ring has room, the job. A buffer is filled again
 * only once both are done with it. The digest thread writes the running
 * digest into the 16 bytes in front of the chunk, the writer reads only the
 * chunk, so the two never touch the same bytes.
 *
 * The digest stays one chain in file order: the running digest followed by
 * each chunk goes through MD5 in turn, as when the job did it itself. Chunks
 * are written in the order they were handed over, each whole or not at all.
 * The first failing write ends the writing: the chunks after it are dropped,
 * acquire() then gives no buffer and finish() the error, so a failure reaches
 * the job by finish() at the latest.
 *
 * With a flush interval the writer also flushes the file after that many
 * bytes written: the job's own flush before the plain file goes then finds
 * little left to do, while the cipher went on. This only brings the data to
 * the disk sooner; the job's final flush is still what it relies on.
 *
 * The job's stop and pause checks stay on its own thread between chunks.
 * finish() waits until every chunk handed over is written (the flush after it
 * then covers them all); stop() and the destructor drop what is not yet
 * written and wait for the thread, so a job ended at any point (even by an
 * exception) may close the file at once.
 */
#pragma once

#include "fileenc/Handoff.h"
#include "framework/Win32Handles.h"
#include "vault/SecureMemory.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

class CryptoLibrary;

class WriteBehind {
public:
    static constexpr std::size_t DigestBytes = 16;

    // Writes to file in chunks of at most chunkSize; with a library each chunk is first chained
    // into the digest. Each buffer has 8 bytes of room past the chunk, for padding the last one.
    // flushEvery: flush the file after about that many bytes written (0: never).
    WriteBehind(HANDLE file, std::uint32_t chunkSize, const CryptoLibrary* digestLibrary,
                std::uint64_t flushEvery = 0);
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Starts the thread; false (with the Windows error) when it cannot.
    bool start(DWORD& error);

    // The buffer for the next chunk, once the chunk it last held is written; null once a write
    // failed. Call submit() before the next acquire().
    unsigned char* acquire();
    // Hands the acquired buffer's first count bytes over to be digested and written.
    void submit(DWORD count);

    // Waits until every chunk handed over is written; the error of the first failing write, or 0.
    DWORD finish();
    // Drops what is not yet written and waits for the thread: the file may be closed after this.
    void stop();

    // The chained digest over every chunk written; valid after finish().
    const unsigned char* digest() const { return digest_; }

private:
    struct Slot {
        SecretBytes bytes;  // the running digest before the chunk, the chunk, room for padding
        DWORD count = 0;
    };
    static DWORD WINAPI writerMain(LPVOID self);
    static DWORD WINAPI digestMain(LPVOID self);
    void writeAll();
    void digestAll();
    // Waits on a consumer's own hand-off for chunk index; false once told to quit.
    bool waitForChunk(Handoff& submitted, std::uint64_t index);

    HANDLE file_;
    const CryptoLibrary* library_;
    std::vector<Slot> slots_;  // chunk i goes in slot i % slots_.size()
    std::uint64_t flushEvery_;
    // Chunks the job handed over, counted once for each consumer: a hand-off has one waiter.
    Handoff submitted_;          // to the writer
    Handoff submittedToDigest_;  // to the digest (with a library)
    Handoff written_;     // chunks the writer is done with
    Handoff digested_;    // chunks the digest is done with (with a library)
    win32::KernelHandle thread_;
    win32::KernelHandle digestThread_;
    std::uint64_t acquired_ = 0;  // chunks the job has taken a buffer for
    std::atomic<bool> quit_{false};
    std::atomic<bool> finishing_{false};  // the job waits for the last chunks: no batch to wait for
    std::atomic<DWORD> error_{0};
    unsigned char digest_[DigestBytes] = {};
};
