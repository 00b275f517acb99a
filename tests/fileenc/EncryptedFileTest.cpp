// The encrypted file's layout rules and the header readers the rest of the program uses.
#include "fileenc/EncryptedFile.h"
#include "fileenc/WipeFile.h"
#include "tests/fileenc/FileJobTestSupport.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace fileenctest;

namespace {

TEST(ChunkSize, FollowsTheFileLengthInWholeKilobytes) {
    struct Case {
        std::uint32_t length, chunk;
    };
    const Case cases[] = {
        {0, 1024},           {1, 1024},          {40959, 1024},           {40960, 2048},
        {1048576, 52224},    {5242879, 261120},  {5242880, 262144},       {0xFFFFFFFFu, 262144},
    };
    for (const Case& c : cases) EXPECT_EQ(encfile::chunkSizeFor(c.length), c.chunk) << c.length;
}

TEST(ChunkSize, StoredLengthNeverReadsZeroInItsLowWord) {
    EXPECT_EQ(encfile::storedEncryptedLength(512), 512u);
    EXPECT_EQ(encfile::storedEncryptedLength(0x100000000ull), 0x100000200ull);
    EXPECT_EQ(encfile::storedEncryptedLength(0x100000008ull), 0x100000008ull);
}

// Files past 4 GiB: a length cut to 32 bits anywhere (a size_t of the 32-bit program) would give a
// body, a stored length or a wipe of a few bytes instead of these.
TEST(FileSizes, LengthsPastFourGibibytesKeepTheirHighWord) {
    const std::uint64_t GiB = 1024ull * 1024 * 1024;
    struct Case {
        std::uint64_t plain;
        std::uint32_t chunk;
        std::uint64_t body;    // bodyLengthFor
        std::uint64_t stored;  // offset 68 for the header and that body
        std::uint32_t cluster;
        std::uint64_t wiped;   // what the wipe of the plain file overwrites
    };
    const Case cases[] = {
        {0xFFFFFFFFull, 1024, 0x100000000ull, 0x100000200ull, 4096, 0x100000000ull},  // the last chunk crosses 4 GiB
        {0x100000000ull, 1024, 0x100000000ull, 0x100000200ull, 4096, 0x100000000ull},
        {0x1FFFFFE00ull, 512, 0x1FFFFFE00ull, 0x200000200ull, 4096, 0x200000000ull},   // header and body end at 8 GiB
        {0x1FFFFFFFFull, 262144, 0x200000000ull, 0x200000200ull, 512, 0x200000000ull},
        {5 * GiB + 3, 1024, 5 * GiB + 8, 5 * GiB + 520, 65536, 5 * GiB + 65536},
        {5 * GiB + 3, 1024, 5 * GiB + 8, 5 * GiB + 520, 0, 5 * GiB + 512},              // cluster size unknown
    };
    for (const Case& c : cases) {
        const std::uint64_t body = encfile::bodyLengthFor(c.plain, c.chunk);
        EXPECT_EQ(body, c.body) << std::hex << c.plain;
        EXPECT_EQ(encfile::storedEncryptedLength(encfile::HeaderSize + body), c.stored) << std::hex << c.plain;
        EXPECT_EQ(WipeLength(c.plain, c.cluster), c.wiped) << std::hex << c.plain;
    }
}

// A header image with the given vault ID and vault-name length field and name bytes.
std::string headerImage(const unsigned char* vaultID, std::uint32_t nameLength, const std::string& name) {
    std::string bytes(512, '\0');
    unsigned char* p = reinterpret_cast<unsigned char*>(&bytes[0]);
    encfile::putU32(p, 0xA35F71DA);
    std::memcpy(p + 84, vaultID, 16);
    encfile::putU32(p + 104, nameLength);
    std::memcpy(p + 108, name.data(), std::min<std::size_t>(name.size(), 404));
    return bytes;
}

class HeaderReaders : public brimtest::TempFolderTest {};

TEST_F(HeaderReaders, IsEncryptedLooksAtTheRightFile) {
    const std::string header = headerImage(TestVaultID, 0, "");
    temp.writeFile("plain.txt", "plain");
    temp.writeFile("plain.txt.vltenc", header);  // an encrypted copy beside an existing plain file
    temp.writeFile("gone.txt.vltenc", header);   // the plain file is gone
    temp.writeFile("upper.VLTENC", header);
    temp.writeFile("fake.txt.vltenc", "not a header");
    temp.writeFile("short.vltenc", "\xDA\x71");
    struct Case {
        std::string path;
        bool encrypted;
    };
    const Case cases[] = {
        {"plain.txt", false},         // exists as a plain file: false though a .vltenc is beside it
        {"plain.txt.vltenc", true},   {"gone.txt", true},       {"gone.txt.vltenc", true},
        {"upper.VLTENC", false},      // exact case only; it exists, so it is not looked up with .vltenc added
        {"upper", true},              // upper.vltenc is found as upper.VLTENC: names are not case-sensitive
        {"fake.txt", false},      {"short.vltenc", false},
        {"missing", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsEncrypted(temp.file(c.path)), c.encrypted) << c.path;
    temp.writeFile("up.VLTENC.vltenc", header);
    EXPECT_TRUE(IsEncrypted(temp.file("up.VLTENC"))) << "a missing .VLTENC path is tested with .vltenc appended";
}

TEST(StripExtensionTest, RemovesTheExtensionInAnyCase) {
    EXPECT_EQ(StripExtension("C:\\a\\report.doc.vltenc"), std::optional<std::string>("C:\\a\\report.doc"));
    EXPECT_EQ(StripExtension("C:\\a\\report.doc.VltEnc"), std::optional<std::string>("C:\\a\\report.doc"));
    EXPECT_EQ(StripExtension(".vltenc"), std::optional<std::string>(""));
    EXPECT_FALSE(StripExtension("C:\\a\\report.doc"));
    EXPECT_FALSE(StripExtension("C:\\a.vltenc\\x.txt"));
    EXPECT_FALSE(StripExtension("ltenc"));
}

TEST_F(HeaderReaders, VaultIdAndNameComeFromTheHeader) {
    temp.writeFile("named.vltenc", headerImage(TestVaultID, 8, "My Vault"));
    unsigned char id[16];
    ReadVaultID(temp.file("named.vltenc"), id);
    EXPECT_EQ(0, std::memcmp(id, TestVaultID, 16));
    EXPECT_EQ(ReadVaultName(temp.file("named.vltenc")), std::optional<std::string>("My Vault"));

    std::memset(id, 0x55, sizeof id);
    ReadVaultID(temp.file("missing.vltenc"), id);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(id), 16), std::string(16, '\0'));
    EXPECT_FALSE(ReadVaultName(temp.file("missing.vltenc")));
}

TEST_F(HeaderReaders, DamagedNameLengthsReadNoFurtherThanTheHeader) {
    struct Case {
        const char* file;
        std::string bytes;
        std::optional<std::string> name;
    };
    std::string longest(404, 'n');
    std::string cut = headerImage(TestVaultID, 20, "Twenty characters!!!").substr(0, 113);
    const Case cases[] = {
        {"zero.vltenc", headerImage(TestVaultID, 0, "ignored"), std::nullopt},
        {"huge.vltenc", headerImage(TestVaultID, 0xFFFFFFFFu, "xyz"), std::nullopt},
        {"405.vltenc", headerImage(TestVaultID, 405, longest) + "tail", std::nullopt},
        {"404.vltenc", headerImage(TestVaultID, 404, longest) + "tail", longest},
        {"cut.vltenc", cut, std::string("Twent")},                       // only what is there
        {"nobytes.vltenc", headerImage(TestVaultID, 9, "").substr(0, 108), std::nullopt},
        {"zero.inside.vltenc", headerImage(TestVaultID, 8, std::string("Ab\0cdefg", 8)), std::string("Ab")},
    };
    for (const Case& c : cases) {
        temp.writeFile(c.file, c.bytes);
        EXPECT_EQ(ReadVaultName(temp.file(c.file)), c.name) << c.file;
    }
}

TEST(HeaderLayout, EncodesAtTheStatedOffsetsAndDecodesBack) {
    encfile::EncryptedFileHeader header;
    header.plainSize = 0x0102030405060708ull;
    std::memset(header.digest, 0xD1, 16);
    std::memset(header.wrappedKey, 0xE2, 16);
    header.creationTime = {0x11111111, 0x22222222};
    header.lastWriteTime = {0x33333333, 0x44444444};
    header.attributes = 0x21;
    header.encryptedLength = 0x1234;
    header.encryptionDate = {0x55555555, 0x66666666};
    std::memcpy(header.vaultID, TestVaultID, 16);
    header.chunkSize = 2048;
    header.vaultName = "Vault";
    unsigned char bytes[512];
    header.encode(bytes);
    const unsigned char expectedStart[] = {0xDA, 0x71, 0x5F, 0xA3, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(0, std::memcmp(bytes, expectedStart, sizeof expectedStart));
    EXPECT_EQ(bytes[12], 0xD1);
    EXPECT_EQ(bytes[28], 0xE2);
    EXPECT_EQ(encfile::getU32(bytes + 44), 0x11111111u);
    EXPECT_EQ(encfile::getU32(bytes + 56), 0x44444444u);
    EXPECT_EQ(encfile::getU32(bytes + 60), 0x21u);
    EXPECT_EQ(encfile::getU32(bytes + 64), 0u);
    EXPECT_EQ(encfile::getU64(bytes + 68), 0x1234u);
    EXPECT_EQ(encfile::getU32(bytes + 80), 0x66666666u);
    EXPECT_EQ(bytes[84], 0xDE);
    EXPECT_EQ(encfile::getU32(bytes + 100), 2048u);
    EXPECT_EQ(encfile::getU32(bytes + 104), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 108), 5), "Vault");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 113), 399), std::string(399, '\0'));

    encfile::EncryptedFileHeader back;
    ASSERT_TRUE(encfile::EncryptedFileHeader::decode(bytes, back));
    EXPECT_EQ(back.plainSize, header.plainSize);
    EXPECT_EQ(back.vaultName, "Vault");
    EXPECT_EQ(back.chunkSize, 2048u);
    bytes[0] ^= 1;
    EXPECT_FALSE(encfile::EncryptedFileHeader::decode(bytes, back));
}

}  // namespace
