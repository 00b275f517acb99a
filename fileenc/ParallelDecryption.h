/*
 * The decryption chain of a file job spread over the machine's cores.
 *
 * In CBC each plain block is the deciphered block XOR the cipher block before
 * it, so once a chunk's cipher text is read its blocks no longer depend on one
 * another: the chunk is cut into pieces of whole blocks, and the calling
 * thread and helper threads each take the next piece not yet taken until none
 * is left. A chain is set to the cipher block before its piece by feeding it
 * that block and dropping the output; the chains keep their key schedules for
 * the whole job. Taking pieces one by one, rather than one share per thread,
 * keeps a helper the system leaves waiting (a busy machine) from holding up
 * the chunk: the others take its share.
 *
 * The result is the same as one CipherChain fed the same bytes in order.
 * process returns only once every piece is done, so the caller's order of
 * digest, write, progress and the stop and pause checks stays as it was.
 * Below two pieces the calling thread works alone.
 */
#pragma once

#include "vault/BufferCipher.h"

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ParallelDecryption {
public:
    static constexpr std::size_t PieceBytes = 16 * 1024;

    // threads: how many may work at once, the calling thread included (0: one per processor, at most 8).
    ParallelDecryption(const unsigned char key[VaultKeyBytes], unsigned threads = 0);
    ~ParallelDecryption();
    ParallelDecryption(const ParallelDecryption&) = delete;
    ParallelDecryption& operator=(const ParallelDecryption&) = delete;

    // The next part of the chain, whole blocks only; in and out may be the same buffer.
    void process(const unsigned char* in, unsigned char* out, std::size_t length);

    unsigned threads() const { return static_cast<unsigned>(helpers_.size()) + 1; }

private:
    struct Helper;
    static DWORD WINAPI helperMain(LPVOID helper);
    // Deciphers pieces until none is left to take.
    void takePieces(CipherChain& chain);
    static void decipher(CipherChain& chain, const unsigned char* previous, const unsigned char* in,
                         unsigned char* out, std::size_t length);

    std::unique_ptr<CipherChain> own_;  // the calling thread's chain
    std::vector<std::unique_ptr<Helper>> helpers_;
    unsigned char last_[8] = {};  // the last cipher block so far
    bool started_ = false;

    // The chunk being spread. Written before ticket_ announces it, left alone until every piece
    // is done. ticket_ holds the piece count in its high half and the next piece in its low half.
    const unsigned char* in_ = nullptr;
    unsigned char* out_ = nullptr;
    std::size_t length_ = 0;
    std::vector<unsigned char> previous_;  // the cipher block before each piece
    std::atomic<std::uint64_t> ticket_{0};
    std::atomic<unsigned> piecesDone_{0};
};

// The number of processors, at least 1.
unsigned processorCount();
