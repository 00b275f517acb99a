// Blowfish-CBC buffer routines against known answers computed elsewhere.
#include "vault/BufferCipher.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<unsigned char> fromHex(const std::string& text) {
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2) bytes.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

const std::vector<unsigned char> Key = fromHex("000102030405060708090a0b0c0d0e0f");

TEST(BufferCipher, KnownAnswerWithTheFixedVector) {
    // Blowfish-CBC, key 00..0f, IV 5c2e9107d46ab318, computed with openssl enc -bf-cbc -nopad.
    std::vector<unsigned char> plain(16, 0);
    std::vector<unsigned char> out(16);
    encryptBuffer(plain.data(), out.data(), out.size(), Key.data());
    EXPECT_EQ(out, fromHex("2c5a5662dc7af4877fc1143fdfbea9fa"));
}

TEST(BufferCipher, KnownAnswerAcrossChainedBlocks) {
    // openssl enc -bf-cbc -K 00112233445566778899aabbccddeeff -iv 5c2e9107d46ab318 -nopad
    const std::string text = "Brimsafe vault body, 32 bytes!!!";
    const std::vector<unsigned char> key = fromHex("00112233445566778899aabbccddeeff");
    std::vector<unsigned char> out(text.size());
    encryptBuffer(reinterpret_cast<const unsigned char*>(text.data()), out.data(), out.size(), key.data());
    EXPECT_EQ(out, fromHex("d8822a6e08e96ca41cd3c26aca139f227fcc38097ef3df12e71b9c1ae404d8cb"));
    std::vector<unsigned char> back(out.size());
    decryptBuffer(out.data(), back.data(), back.size(), key.data());
    EXPECT_EQ(std::string(back.begin(), back.end()), text);
}

TEST(BufferCipher, AChainFedInPiecesGoesOnWhereTheLastPieceEnded) {
    // The known answer above, fed as 8 + 16 + 8 bytes: the file jobs' chunks chain the same way.
    const std::string text = "Brimsafe vault body, 32 bytes!!!";
    const std::vector<unsigned char> key = fromHex("00112233445566778899aabbccddeeff");
    const auto* plain = reinterpret_cast<const unsigned char*>(text.data());
    std::vector<unsigned char> out(text.size());
    CipherChain encrypt(CipherChain::Encrypt, key.data());
    for (auto [from, length] : {std::pair<size_t, size_t>{0, 8}, {8, 16}, {24, 8}})
        encrypt.process(plain + from, out.data() + from, length);
    EXPECT_EQ(out, fromHex("d8822a6e08e96ca41cd3c26aca139f227fcc38097ef3df12e71b9c1ae404d8cb"));

    CipherChain decrypt(CipherChain::Decrypt, key.data());
    decrypt.process(out.data(), out.data(), 16);  // in place
    decrypt.process(out.data() + 16, out.data() + 16, 16);
    EXPECT_EQ(std::string(out.begin(), out.end()), text);
}

TEST(BufferCipher, SameInputSameOutputAndRoundTrip) {
    std::vector<unsigned char> plain(64);
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<unsigned char>(i * 37);
    std::vector<unsigned char> a(64), b(64), back(64);
    encryptBuffer(plain.data(), a.data(), a.size(), Key.data());
    encryptBuffer(plain.data(), b.data(), b.size(), Key.data());
    EXPECT_EQ(a, b) << "a fresh chain on every call";
    EXPECT_NE(a, plain);
    decryptBuffer(a.data(), back.data(), back.size(), Key.data());
    EXPECT_EQ(back, plain);
    // In place.
    decryptBuffer(a.data(), a.data(), a.size(), Key.data());
    EXPECT_EQ(a, plain);
}

TEST(BufferCipher, PartialBlockLeavesOutputUntouched) {
    for (size_t length : {1u, 7u, 15u, 17u}) {
        std::vector<unsigned char> in(length, 0x11), out(length, 0xEE);
        encryptBuffer(in.data(), out.data(), length, Key.data());
        EXPECT_EQ(out, std::vector<unsigned char>(length, 0xEE)) << length;
        decryptBuffer(in.data(), out.data(), length, Key.data());
        EXPECT_EQ(out, std::vector<unsigned char>(length, 0xEE)) << length;
    }
    EXPECT_EQ(cipherBlockSize(), 8u);
}

}  // namespace
