// Broken stand-ins for the crypto library, one per build flag: without GetRSA, with a GetRSA that
// gives no object, and with an RSA object whose operations hand back no buffers.
#include "cryptolib/QZ_Cryptography.h"

#include <cstring>

namespace {

class NullBuffers final : public qzcrypto::RSAEngine {
public:
    void Reserved() override {}
    void Release() override { delete this; }
    void GenerateKeys(int, const unsigned char*) override {}
    void ExportPrivateKey(unsigned char** a, unsigned char** b) override { *a = *b = nullptr; }
    void FreePrivateKey(unsigned char*, unsigned char*) override {}
    void ImportPrivateKey(const unsigned char*, const unsigned char*, int) override {}
    void Encrypt(const unsigned char*, int, unsigned char** out) override { *out = nullptr; }
    void Decrypt(const unsigned char*, int, unsigned char** out) override { *out = nullptr; }
    void FreeBuffer(unsigned char*) override {}
};

}  // namespace

extern "C" __declspec(dllexport) void MD5Hash(const unsigned char*, std::uint32_t, unsigned char* digest) {
    std::memset(digest, 0, 16);
}

#if defined(STUB_NULL_RSA)
extern "C" __declspec(dllexport) qzcrypto::RSAEngine* GetRSA() { return nullptr; }
#elif defined(STUB_NULL_BUFFERS)
extern "C" __declspec(dllexport) qzcrypto::RSAEngine* GetRSA() { return new NullBuffers; }
#endif
