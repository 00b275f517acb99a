// The crypto library as the program reaches it: loaded by name, MD5 and the RSA engine.
#include "vault/CryptoLibrary.h"

#include "base/SystemErrorText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::vector<unsigned char> seedOf(unsigned char first) {
    std::vector<unsigned char> seed(qzcrypto::SeedBytes);
    for (size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<unsigned char>(first + i * 7);
    return seed;
}

struct PrivateKey {
    std::vector<unsigned char> a, b;
};

PrivateKey exportKey(qzcrypto::RSAEngine& engine) {
    unsigned char* a = nullptr;
    unsigned char* b = nullptr;
    engine.ExportPrivateKey(&a, &b);
    PrivateKey key{std::vector<unsigned char>(a, a + qzcrypto::KeyBytes),
                   std::vector<unsigned char>(b, b + qzcrypto::KeyBytes)};
    engine.FreePrivateKey(a, b);
    return key;
}

std::vector<unsigned char> call(qzcrypto::RSAEngine& engine, bool encrypt, const unsigned char* data, int n) {
    unsigned char* out = nullptr;
    if (encrypt)
        engine.Encrypt(data, n, &out);
    else
        engine.Decrypt(data, n, &out);
    std::vector<unsigned char> result(out, out + qzcrypto::KeyBytes);
    engine.FreeBuffer(out);
    return result;
}

TEST(CryptoLibraryMD5, MatchesTheReferenceSuite) {
    struct Case {
        const char* input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    for (const Case& c : cases) {
        unsigned char digest[16];
        ASSERT_TRUE(library.md5(c.input, static_cast<std::uint32_t>(std::strlen(c.input)), digest));
        EXPECT_EQ(hex(digest, 16), c.digest) << "input \"" << c.input << "\"";
    }
}

TEST(CryptoLibraryMD5, DigestMayOverwriteItsInput) {
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    unsigned char value[16];
    std::memcpy(value, "0123456789abcdef", 16);
    library.md5(value, 16, value);
    unsigned char expected[16];
    library.md5("0123456789abcdef", 16, expected);
    EXPECT_EQ(hex(value, 16), hex(expected, 16));
}

TEST(CryptoLibraryRSA, ImportedKeyDecryptsWhatTheGeneratorEncrypted) {
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    auto generator = library.newRSA();
    ASSERT_TRUE(generator);
    auto seed = seedOf(1);
    generator->GenerateKeys(qzcrypto::KeyBits, seed.data());
    const unsigned char vaultKey[16] = {0, 1, 2, 3, 4, 5, 6, 7, 250, 251, 252, 253, 254, 255, 0, 128};
    auto sealed = call(*generator, true, vaultKey, 16);
    PrivateKey key = exportKey(*generator);

    auto fresh = library.newRSA();
    fresh->ImportPrivateKey(key.a.data(), key.b.data(), qzcrypto::KeyBytes);
    auto opened = call(*fresh, false, sealed.data(), qzcrypto::KeyBytes);
    EXPECT_EQ(hex(opened.data(), 16), hex(vaultKey, 16));

    // The imported key encrypts too (every save seals the vault key again).
    auto resealed = call(*fresh, true, vaultKey, 16);
    auto reopened = call(*generator, false, resealed.data(), qzcrypto::KeyBytes);
    EXPECT_EQ(hex(reopened.data(), 16), hex(vaultKey, 16));
}

// Every save wraps the vault key again; with a fixed padding the wrapped block would be the same
// each time and tell an observer that the key did not change.
TEST(CryptoLibraryRSA, PaddingIsRandomSoTheSameKeyWrapsDifferentlyEachTime) {
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    auto engine = library.newRSA();
    ASSERT_TRUE(engine);
    engine->GenerateKeys(qzcrypto::KeyBits, seedOf(3).data());
    const unsigned char vaultKey[16] = {7, 7, 7, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    auto first = call(*engine, true, vaultKey, 16);
    auto second = call(*engine, true, vaultKey, 16);
    EXPECT_NE(first, second);
    for (const auto& wrapped : {first, second}) {
        auto opened = call(*engine, false, wrapped.data(), qzcrypto::KeyBytes);
        EXPECT_EQ(hex(opened.data(), 16), hex(vaultKey, 16));
    }
}

TEST(CryptoLibraryRSA, KeyPairFollowsFromTheSeed) {
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    auto first = library.newRSA();
    auto second = library.newRSA();
    auto other = library.newRSA();
    first->GenerateKeys(qzcrypto::KeyBits, seedOf(9).data());
    second->GenerateKeys(qzcrypto::KeyBits, seedOf(9).data());
    other->GenerateKeys(qzcrypto::KeyBits, seedOf(10).data());
    PrivateKey a = exportKey(*first), b = exportKey(*second), c = exportKey(*other);
    EXPECT_EQ(a.a, b.a);
    EXPECT_EQ(a.b, b.b);
    EXPECT_NE(a.a, c.a);
    // The modulus is a full 1024-bit number.
    EXPECT_GE(a.a[0], 0x80);
}

TEST(CryptoLibraryRSA, WrongKeyGivesGarbageNotFailure) {
    CryptoLibrary library;
    ASSERT_TRUE(library.loaded());
    auto owner = library.newRSA();
    auto stranger = library.newRSA();
    owner->GenerateKeys(qzcrypto::KeyBits, seedOf(3).data());
    stranger->GenerateKeys(qzcrypto::KeyBits, seedOf(4).data());
    const unsigned char vaultKey[16] = {42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42, 42};
    auto sealed = call(*owner, true, vaultKey, 16);
    auto opened = call(*stranger, false, sealed.data(), qzcrypto::KeyBytes);
    ASSERT_EQ(opened.size(), static_cast<size_t>(qzcrypto::KeyBytes));
    EXPECT_NE(hex(opened.data(), 16), hex(vaultKey, 16));

    // A garbage ciphertext (all ones, above the modulus) is also answered with 128 bytes.
    std::vector<unsigned char> ones(qzcrypto::KeyBytes, 0xFF);
    EXPECT_EQ(call(*owner, false, ones.data(), qzcrypto::KeyBytes).size(), static_cast<size_t>(qzcrypto::KeyBytes));
}

TEST(CryptoLibraryBinding, MissingLibraryIsReportedNotFatal) {
    CryptoLibrary library("QZ_Missing_Library.dll");
    EXPECT_FALSE(library.loaded());
    EXPECT_NE(library.loadError(), 0u);
    unsigned char digest[16];
    EXPECT_FALSE(library.md5("x", 1, digest));
    EXPECT_FALSE(library.newRSA());
    EXPECT_FALSE(systemErrorText(library.loadError()).empty());
    EXPECT_LE(systemErrorText(library.loadError(), 10).size(), 10u);
}

}  // namespace
