/*
 * The encryption's reading and chained digest on a thread of their own, ahead
 * of the cipher: while the job enciphers and writes a chunk, the next ones are
 * read and digested into a ring of buffers (ringSlotsFor). A reader that
 * filled the ring sleeps until the job has emptied half of it, so it is woken
 * once per batch of chunks rather than once per chunk.
 *
 * The digest stays one chain in file order: the running digest followed by
 * each chunk goes through MD5 in turn, exactly as when the job did it itself.
 * Reading ends at the first chunk shorter than a whole chunk (the last, or a
 * file that ended early) or at a read error; the job's stop and pause checks
 * stay between its chunks; the reader only ever reads ahead, never past the
 * file's starting length. A chunk handed out stays valid until the next call to next()
 * or the end of the read-ahead; stop and the destructor wait for the thread, so a job
 * ended at any point (even by an exception) leaves nothing running.
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

class ReadAhead {
public:
    static constexpr std::size_t DigestBytes = 16;

    // Reads plainSize bytes from source in chunks of chunkSize; each buffer has 8 bytes of room
    // past the chunk, for padding the last one.
    ReadAhead(HANDLE source, std::uint64_t plainSize, std::uint32_t chunkSize, const CryptoLibrary& library);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Starts the thread; false (with the Windows error) when it cannot.
    bool start(DWORD& error);

    // Ends the reading and waits for the thread: the source may be closed after this.
    void stop();

    // The next chunk's bytes and count (0 at the end or after a read error), digested already.
    unsigned char* next(DWORD& count);

    // Valid once next() returned a chunk shorter than a whole one.
    DWORD readError() const { return readError_; }
    std::uint64_t remaining() const { return remaining_; }
    // The chained digest over every chunk handed out.
    const unsigned char* digest() const { return digest_; }

private:
    struct Slot {
        SecretBytes bytes;  // the running digest before the chunk, the chunk, room for padding
        DWORD count = 0;
    };
    static DWORD WINAPI readerMain(LPVOID self);
    void readAll();

    HANDLE source_;
    std::uint32_t chunk_;
    const CryptoLibrary& library_;
    std::vector<Slot> slots_;  // chunk i goes in slot i % slots_.size()
    Handoff filled_;    // chunks the reader handed out
    Handoff released_;  // chunks the job is done with
    win32::KernelHandle thread_;
    std::uint64_t taken_ = 0;  // chunks the job took
    std::atomic<bool> quit_{false};
    // Written by the reader before it hands out the chunk that ends the reading.
    DWORD readError_ = 0;
    std::uint64_t remaining_;
    unsigned char digest_[DigestBytes] = {};
};
