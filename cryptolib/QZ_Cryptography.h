/*
 * The interface of QZ_Cryptography.dll as both sides see it: two exported C
 * functions and the RSA engine object reached through its table of virtual
 * operations. The order of the virtual functions is the object's operation
 * table and must not change: slot 0 is reserved, the rest follow in order.
 * Only plain C types cross the boundary and no exception leaves the library.
 */
#pragma once

#include <cstdint>

namespace qzcrypto {

constexpr int KeyBits = 1024;
constexpr int KeyBytes = KeyBits / 8;   // every private-key part and every RSA block
constexpr int SeedBytes = 64;           // entropy collected when a vault is created

class RSAEngine {
public:
    virtual void Reserved() = 0;                                            // slot 0, never called
    virtual void Release() = 0;                                             // slot 1
    virtual void GenerateKeys(int bits, const unsigned char* seed) = 0;     // slot 2, seed of SeedBytes
    virtual void ExportPrivateKey(unsigned char** a, unsigned char** b) = 0; // slot 3
    virtual void FreePrivateKey(unsigned char* a, unsigned char* b) = 0;    // slot 4
    virtual void ImportPrivateKey(const unsigned char* a, const unsigned char* b, int n) = 0; // slot 5
    virtual void Encrypt(const unsigned char* data, int length, unsigned char** out) = 0;    // slot 6
    virtual void Decrypt(const unsigned char* data, int length, unsigned char** out) = 0;    // slot 7
    virtual void FreeBuffer(unsigned char* p) = 0;                          // slot 8

protected:
    ~RSAEngine() = default;  // only Release destroys the object
};

using MD5HashFn = void (*)(const unsigned char* data, std::uint32_t length, unsigned char* digest);
using GetRSAFn = RSAEngine* (*)();

}  // namespace qzcrypto
