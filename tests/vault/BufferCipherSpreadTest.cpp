// The vault body's decryption spread over the processors gives exactly what one chain gives:
// lengths below the spreading, at the cut into pieces and with pieces of unequal block counts,
// in place (as the vault is read) and into another buffer.
#include "vault/BufferCipher.h"
#include "tests/vault/VaultTestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace vaulttest;

Bytes pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 167 + (i >> 9));
    return bytes;
}

TEST(BufferCipherSpread, GivesWhatOneChainGivesAtEveryLength) {
    const Bytes key = bytesOf("sixteen byte key");
    constexpr std::size_t MiB = 1024 * 1024;
    const std::size_t lengths[] = {8, 64 * 1024, MiB - 8, MiB, MiB + 8, 4 * MiB + 24, 9 * MiB + 8 * 13};
    for (std::size_t length : lengths) {
        const Bytes cipherText = blowfishCBC(true, key, pattern(length));
        const Bytes expected = blowfishCBC(false, key, cipherText);
        for (bool inPlace : {false, true}) {
            SCOPED_TRACE(std::to_string(length) + (inPlace ? " bytes, in place" : " bytes"));
            Bytes out = inPlace ? cipherText : Bytes(length, 0xEE);
            decryptBufferSpread(inPlace ? out.data() : cipherText.data(), out.data(), length, key.data());
            EXPECT_TRUE(out == expected);
        }
    }
}

TEST(BufferCipherSpread, APartialBlockLeavesTheOutputUntouchedLikeOneChain) {
    const Bytes key = bytesOf("sixteen byte key");
    for (std::size_t length : {std::size_t{0}, std::size_t{7}, std::size_t{2 * 1024 * 1024 + 3}}) {
        SCOPED_TRACE(length);
        const Bytes in = pattern(length);
        Bytes out(length, 0xEE);
        decryptBufferSpread(in.data(), out.data(), length, key.data());
        EXPECT_TRUE(out == Bytes(length, 0xEE));
    }
}

}  // namespace
