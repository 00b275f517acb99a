/*
 * The program's one cipher: Blowfish-CBC with a 16-byte key and the fixed
 * initialisation vector that every chain of the program starts from (vault
 * bodies, key blocks, chain values, wrapped file keys and encrypted files all
 * depend on it).
 *
 * encryptBuffer/decryptBuffer run a fresh chain over whole 8-byte blocks on
 * every call. A length that is not a multiple of the block size is ignored and
 * out is left untouched: callers always pass whole blocks. No state is kept,
 * so any thread may call these. in and out may be the same buffer.
 *
 * CipherChain is one chain fed piece by piece (the file jobs' chunks): each
 * piece goes on from the last block of the one before. Its key schedule is
 * kept in wiping buffers and cleared when the chain goes.
 */
#pragma once

#include <cstddef>
#include <memory>

constexpr std::size_t VaultKeyBytes = 16;

void encryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key);
void decryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key);
// decryptBuffer with the same result, spread over the machine's processors for a long buffer: in
// CBC each plain block needs only its own cipher block and the one before, so pieces of whole
// blocks are deciphered at once, each chain set to the cipher block before its piece.
void decryptBufferSpread(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key);
// The cipher's block size, 8.
std::size_t cipherBlockSize();

class CipherChain {
public:
    enum Direction { Encrypt, Decrypt };
    CipherChain(Direction direction, const unsigned char key[VaultKeyBytes]);
    ~CipherChain();
    CipherChain(const CipherChain&) = delete;
    CipherChain& operator=(const CipherChain&) = delete;

    // The next piece of the chain, whole blocks only; in and out may be the same buffer.
    void process(const unsigned char* in, unsigned char* out, std::size_t length);

private:
    struct Mode;
    std::unique_ptr<Mode> mode_;
};
