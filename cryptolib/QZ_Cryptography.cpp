/*
 * QZ_Cryptography.dll: MD5 and a 1024-bit RSA key object on Crypto++.
 *
 * Key generation is deterministic for a given 64-byte seed: the seed keys an
 * AES-OFB stream (through SHA-256) that serves as the random source of the
 * prime search. The private key is exported as two 128-byte big-endian parts,
 * the modulus n and the private exponent d; the public exponent is fixed.
 *
 * Encrypt builds the block 00 || data || random filler and raises it to e;
 * Decrypt raises to d and hands back the block without its leading zero, so
 * the caller's bytes come first. Decrypt never fails: under a wrong key it
 * returns 128 bytes of garbage, and the caller's own digest check notices.
 */
#include "cryptolib/QZ_Cryptography.h"

#include <cryptopp/aes.h>
#include <cryptopp/integer.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>
#include <cryptopp/nbtheory.h>
#include <cryptopp/osrng.h>
#include <cryptopp/rsa.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <new>

using CryptoPP::Integer;

namespace {

const Integer PublicExponent(65537L);

unsigned char* newBlock() {
    auto* p = new (std::nothrow) unsigned char[qzcrypto::KeyBytes];
    if (p) std::memset(p, 0, qzcrypto::KeyBytes);
    return p;
}

void wipeAndDelete(unsigned char* p) {
    if (!p) return;
    CryptoPP::SecureWipeBuffer(p, qzcrypto::KeyBytes);
    delete[] p;
}

// Writes x as exactly KeyBytes big-endian bytes (x is below the modulus).
void encodeBlock(const Integer& x, unsigned char* out) {
    x.Encode(out, qzcrypto::KeyBytes);
}

class Engine final : public qzcrypto::RSAEngine {
public:
    void Reserved() override {}

    void Release() override { delete this; }

    void GenerateKeys(int bits, const unsigned char* seed) override {
        try {
            unsigned char key[CryptoPP::SHA256::DIGESTSIZE];
            CryptoPP::SHA256().CalculateDigest(key, seed, qzcrypto::SeedBytes);
            const unsigned char iv[CryptoPP::AES::BLOCKSIZE] = {};
            CryptoPP::OFB_Mode<CryptoPP::AES>::Encryption stream(key, sizeof key, iv);
            CryptoPP::SecureWipeBuffer(key, sizeof key);
            CryptoPP::InvertibleRSAFunction pair;
            pair.Initialize(stream, bits > 0 ? bits : qzcrypto::KeyBits, PublicExponent);
            modulus_ = pair.GetModulus();
            privateExponent_ = pair.GetPrivateExponent();
        } catch (...) {
            clear();
        }
    }

    void ExportPrivateKey(unsigned char** a, unsigned char** b) override {
        *a = newBlock();
        *b = newBlock();
        if (*a) encodeBlock(modulus_, *a);
        if (*b) encodeBlock(privateExponent_, *b);
    }

    void FreePrivateKey(unsigned char* a, unsigned char* b) override {
        wipeAndDelete(a);
        wipeAndDelete(b);
    }

    void ImportPrivateKey(const unsigned char* a, const unsigned char* b, int n) override {
        if (!a || !b || n <= 0) { clear(); return; }
        modulus_.Decode(a, static_cast<size_t>(n));
        privateExponent_.Decode(b, static_cast<size_t>(n));
    }

    void Encrypt(const unsigned char* data, int length, unsigned char** out) override {
        *out = newBlock();
        if (!*out || modulus_.IsZero()) return;
        try {
            unsigned char block[qzcrypto::KeyBytes] = {};
            const int n = length < 0 ? 0 : (length > qzcrypto::KeyBytes - 1 ? qzcrypto::KeyBytes - 1 : length);
            std::memcpy(block + 1, data, static_cast<size_t>(n));
            CryptoPP::AutoSeededRandomPool rng;
            rng.GenerateBlock(block + 1 + n, qzcrypto::KeyBytes - 1 - n);
            // A leading zero byte keeps the block below any 1024-bit modulus.
            Integer m(block, sizeof block);
            CryptoPP::SecureWipeBuffer(block, sizeof block);
            encodeBlock(a_exp_b_mod_c(m, PublicExponent, modulus_), *out);
        } catch (...) {
            std::memset(*out, 0, qzcrypto::KeyBytes);
        }
    }

    void Decrypt(const unsigned char* data, int length, unsigned char** out) override {
        *out = newBlock();
        if (!*out || modulus_.IsZero() || !data || length <= 0) return;
        try {
            Integer c(data, static_cast<size_t>(length));
            unsigned char block[qzcrypto::KeyBytes];
            encodeBlock(a_exp_b_mod_c(c % modulus_, privateExponent_, modulus_), block);
            std::memcpy(*out, block + 1, qzcrypto::KeyBytes - 1);
            CryptoPP::SecureWipeBuffer(block, sizeof block);
        } catch (...) {
            std::memset(*out, 0, qzcrypto::KeyBytes);
        }
    }

    void FreeBuffer(unsigned char* p) override { wipeAndDelete(p); }

    ~Engine() { clear(); }

private:
    void clear() {
        modulus_ = Integer::Zero();
        privateExponent_ = Integer::Zero();
    }

    Integer modulus_;
    Integer privateExponent_;
};

}  // namespace

extern "C" __declspec(dllexport) void MD5Hash(const unsigned char* data, std::uint32_t length,
                                              unsigned char* digest) {
    // The digest may be the input buffer itself: hash first, then copy out.
    unsigned char result[CryptoPP::Weak1::MD5::DIGESTSIZE];
    CryptoPP::Weak1::MD5().CalculateDigest(result, data, length);
    std::memcpy(digest, result, sizeof result);
}

extern "C" __declspec(dllexport) qzcrypto::RSAEngine* GetRSA() {
    return new (std::nothrow) Engine;
}
