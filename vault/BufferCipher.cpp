// The cipher on Crypto++'s CBC modes. The mode objects keep their key schedules in wiping
// buffers, cleared when they go.
#include "vault/BufferCipher.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>

namespace {

const unsigned char FixedVector[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};

using Encryptor = CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption;
using Decryptor = CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption;

template <typename Mode>
void runChain(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    if (length % CryptoPP::Blowfish::BLOCKSIZE != 0 || length == 0) return;
    Mode mode(key, VaultKeyBytes, FixedVector);
    mode.ProcessData(out, in, length);
}

}  // namespace

void encryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    runChain<Encryptor>(in, out, length, key);
}

void decryptBuffer(const unsigned char* in, unsigned char* out, std::size_t length, const unsigned char* key) {
    runChain<Decryptor>(in, out, length, key);
}

std::size_t cipherBlockSize() { return CryptoPP::Blowfish::BLOCKSIZE; }

struct CipherChain::Mode {
    explicit Mode(Direction direction, const unsigned char* key) {
        if (direction == Encrypt)
            cipher.reset(new Encryptor(key, VaultKeyBytes, FixedVector));
        else
            cipher.reset(new Decryptor(key, VaultKeyBytes, FixedVector));
    }
    std::unique_ptr<CryptoPP::CipherModeBase> cipher;
};

CipherChain::CipherChain(Direction direction, const unsigned char key[VaultKeyBytes])
    : mode_(new Mode(direction, key)) {}

CipherChain::~CipherChain() = default;

void CipherChain::process(const unsigned char* in, unsigned char* out, std::size_t length) {
    if (length) mode_->cipher->ProcessData(out, in, length);
}
