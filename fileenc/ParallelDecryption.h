/*
 * The decryption chain of a file job spread over the machine's cores.
 *
 * In CBC each plain block is the deciphered block XOR the cipher block before
 * it, so once a chunk's cipher text is read its blocks no longer depend on one
 * another: the chunk is cut into pieces of whole blocks and each piece is
 * deciphered on its own thread by a chain set to the cipher block just before
 * the piece. A chain is set to a block by feeding it that block and dropping
 * the output; the chains keep their key schedules for the whole job.
 *
 * The result is the same as one CipherChain fed the same pieces in order.
 * process returns only once every piece is done, so the caller's order of
 * digest, write, progress and the stop and pause checks stays as it was.
 * Small pieces go on the calling thread alone: below MinimumPieceBytes a piece
 * costs more in waking a thread than it saves.
 */
#pragma once

#include "vault/BufferCipher.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <vector>

class ParallelDecryption {
public:
    static constexpr std::size_t MinimumPieceBytes = 16 * 1024;

    // threads: how many may work at once, the calling thread included (0: one per processor, at most 8).
    ParallelDecryption(const unsigned char key[VaultKeyBytes], unsigned threads = 0);
    ~ParallelDecryption();
    ParallelDecryption(const ParallelDecryption&) = delete;
    ParallelDecryption& operator=(const ParallelDecryption&) = delete;

    // The next part of the chain, whole blocks only; in and out may be the same buffer.
    void process(const unsigned char* in, unsigned char* out, std::size_t length);

    // How many threads work on a piece of the given length.
    unsigned threadsFor(std::size_t length) const;
    unsigned threads() const { return static_cast<unsigned>(helpers_.size()) + 1; }

private:
    struct Piece;
    struct Helper;
    static DWORD WINAPI helperMain(LPVOID helper);
    void decipher(CipherChain& chain, const unsigned char* previous, const unsigned char* in, unsigned char* out,
                  std::size_t length);

    std::unique_ptr<CipherChain> own_;  // the calling thread's chain
    std::vector<std::unique_ptr<Helper>> helpers_;
    unsigned char last_[8] = {};  // the last cipher block so far
    bool started_ = false;
};

// The number of processors, at least 1.
unsigned processorCount();
