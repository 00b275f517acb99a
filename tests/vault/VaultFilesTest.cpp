// Vault body and key-file layouts, and whole-file replacement under write failures.
#include "vault/VaultFiles.h"
#include "tests/vault/VaultTestSupport.h"

#include "tests/support/GuardedBuffer.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

using namespace vaultfile;

TEST(VaultBody, LengthIsWholeBlocksWithTwoToNineFillerBytes) {
    struct Case {
        size_t text, body;
    };
    for (Case c : {Case{6, 32}, Case{14, 40}, Case{12, 40}, Case{0, 24}, Case{99, 120}, Case{100, 128}}) {
        EXPECT_EQ(bodyLength(c.text), c.body) << c.text;
        const size_t filler = c.body - 16 - std::to_string(c.text).size() - 1 - c.text;
        EXPECT_GE(filler, 2u) << c.text;
        EXPECT_LE(filler, 9u) << c.text;
    }
}

TEST(VaultBody, BuiltBodyIsFoundAgain) {
    const unsigned char digest[16] = {1, 2, 3};
    const std::string text = "<hidePwords value=0/>";
    SecretBytes body = buildBody(digest, text.data(), text.size());
    EXPECT_EQ(std::memcmp(body.data(), digest, 16), 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(body.data()) + 16, 3), "21 ");
    BodyText where = locateBodyText(body.data(), body.size());
    EXPECT_EQ(where.start, 19u);
    EXPECT_EQ(where.length, text.size());
}

TEST(VaultBody, LengthFieldIsBoundedByTheBody) {
    // 16 digest bytes, then the length field and text as stored; the body is 40 bytes.
    struct Case {
        std::string afterDigest;
        size_t start, length;
    };
    const Case cases[] = {
        {"5 hello", 18, 5},
        {"4294967295 x", 27, 13},       // huge: cut to what follows the space
        {"99999999999999999999 x", 37, 3},
        {"-1 abc", 19, 21},             // negative: everything after the space
        {"nodigits", 18, 0},            // no space at all: no text
        {"abc def", 20, 0},             // no number: length 0
        {"   7 spaced", 17, 7},         // the text starts after the first space
    };
    for (const Case& c : cases) {
        unsigned char body[40] = {};
        std::memcpy(body + 16, c.afterDigest.data(), c.afterDigest.size());
        BodyText where = locateBodyText(body, sizeof body);
        EXPECT_EQ(where.start, c.start) << c.afterDigest;
        EXPECT_EQ(where.length, c.length) << c.afterDigest;
        EXPECT_LE(where.start + where.length, sizeof body) << c.afterDigest;
    }
    unsigned char tiny[23] = {};
    EXPECT_EQ(locateBodyText(tiny, sizeof tiny).length, 0u);
}

TEST(VaultBody, EveryCutOfABodyIsReadWithoutReachingPastItsEnd) {
    // A body cut anywhere, ending right before an inaccessible page: the reader stays inside it.
    const unsigned char digest[16] = {7};
    const std::string text(300, 't');  // long enough for the key-block reader to look at its offset too
    SecretBytes body = buildBody(digest, text.data(), text.size());
    for (size_t length = 0; length <= body.size(); ++length) {
        GuardedBuffer cut(body.data(), length);
        BodyText where = locateBodyText(cut.data(), length);
        if (length >= MinimumBodyBytes) {
            EXPECT_LE(where.start + where.length, length) << length;
        }
        if (std::optional<size_t> offset = keyBlockOffset(cut.data(), length)) {
            EXPECT_LE(*offset + KeyBlockBytes, length) << length;
        }
    }
}

TEST(KeyFileLayout, KeyBlockOffsetIsCheckedAgainstTheImage) {
    struct Case {
        size_t length;
        std::uint32_t offsetField;
        std::optional<size_t> offset;
    };
    const Case cases[] = {
        {784, 512, 512},  {784, 528, 528},  {784, 529, std::nullopt}, {784, 600, std::nullopt},
        {784, 0xFFFFFFF0u, std::nullopt},   {256, 0xFFFFFFF0u, 0},    {272, 9999, 0},
        {255, 0, std::nullopt},             {273, 17, 17},            {273, 18, std::nullopt},
        {0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> image(c.length < 8 ? 8 : c.length, 0);
        writeU32(image.data() + 4, c.offsetField);
        EXPECT_EQ(keyBlockOffset(image.data(), c.length), c.offset) << c.length << " " << c.offsetField;
    }
}

TEST(VaultBody, LengthsBeyondWhatAVaultCanHoldAreRefusedBeforeReading) {
    const std::uint64_t MiB = 1024 * 1024;
    struct Case {
        std::uint64_t fileLength;
        BodyLength check;
    };
    const Case cases[] = {
        {0, BodyLength::TooShort},
        {HeadBytes + MinimumBodyBytes - 1, BodyLength::TooShort},
        {HeadBytes + MinimumBodyBytes, BodyLength::Fits},
        {HeadBytes + MinimumBodyBytes + 3, BodyLength::PartBlock},
        {HeadBytes + MinimumBodyBytes + 8, BodyLength::Fits},
        {HeadBytes + 512 * MiB - 1, BodyLength::PartBlock},
        {HeadBytes + 512 * MiB, BodyLength::Fits},
        {HeadBytes + 512 * MiB + 1, BodyLength::TooLong},
        {HeadBytes + 1024 * MiB, BodyLength::TooLong},
        // Cut to 32 bits, these would read as a body that fits and one too short.
        {0x100000000ull + HeadBytes + MinimumBodyBytes, BodyLength::TooLong},
        {0x100000000ull + HeadBytes - 1, BodyLength::TooLong},
        {~std::uint64_t(0), BodyLength::TooLong},
    };
    for (const Case& c : cases) EXPECT_EQ(checkBodyLength(c.fileLength), c.check) << c.fileLength;
}

TEST(VaultBody, TextIsCutOutOfTheBodyInPlace) {
    const unsigned char digest[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    const std::string text = "<hidePwords value=1/>";
    SecretBytes built = buildBody(digest, text.data(), text.size());
    SecretText body(reinterpret_cast<const char*>(built.data()), built.size());
    const char* storage = body.data();
    cutToBodyText(body);
    EXPECT_EQ(std::string(body.data(), body.size()), text);
    EXPECT_EQ(body.data(), storage) << "no second buffer";
    for (size_t i = text.size(); i < built.size(); ++i) EXPECT_EQ(storage[i], 0) << "the cut-off bytes are wiped: " << i;
}

TEST(KeyFileLayout, KeyBackupBlockIsUnscrambledOnlyWhenTheImageHoldsOne) {
    const unsigned char scramble[8] = {0x3F, 0xA9, 0x62, 0x0D, 0x8E, 0x51, 0xC7, 0x24};
    // A backup of a current key file: 4 bytes, 8 random bytes, the 784-byte image.
    std::vector<unsigned char> backup(12 + 784, 0);
    for (int i = 0; i < 8; ++i) backup[4 + i] = static_cast<unsigned char>(0x10 * i + 1);
    writeU32(backup.data() + 12 + 4, 512);
    for (size_t i = 0; i < 256; ++i)
        backup[12 + 512 + i] = static_cast<unsigned char>(i ^ backup[4 + i % 8] ^ scramble[i % 8]);
    std::optional<SecretBytes> block = keyBackupBlock(backup.data(), backup.size());
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 256u);
    for (size_t i = 0; i < 256; ++i) EXPECT_EQ((*block)[i], static_cast<unsigned char>(i)) << i;

    struct Case {
        const char* what;
        size_t length;
        std::uint32_t offsetField;
    };
    const Case refused[] = {
        {"offset beyond the image", backup.size(), 785},
        {"offset leaving less than a block", backup.size(), 529},
        {"offset near 4 GiB", backup.size(), 0xFFFFFF00u},
        {"too short for a block", 12 + 255, 0},
        {"nothing but the random bytes", 12, 0},
    };
    for (const Case& c : refused) {
        std::vector<unsigned char> damaged = backup;
        writeU32(damaged.data() + 12 + 4, c.offsetField);
        EXPECT_FALSE(keyBackupBlock(damaged.data(), c.length)) << c.what;
    }
}

// The layout restoreKey reads a key backup by: every length from nothing up, offsets only.
TEST(KeyFileLayout, KeyBackupLayoutNeedsTheMagicAKeyFileLayoutAndRoomForTheBlock) {
    auto backupOf = [](std::size_t length, std::uint32_t magic, std::uint32_t offsetField) {
        std::vector<unsigned char> backup(std::max<std::size_t>(length, 16), 0);
        writeU32(backup.data(), magic);
        writeU32(backup.data() + 12 + 4, offsetField);
        return backup;
    };
    struct Case {
        const char* what;
        std::size_t length;
        std::uint32_t magic, offsetField;
        std::optional<std::size_t> blockOffset;  // from the backup's start
    };
    const Case cases[] = {
        {"current key file", 12 + 784, KeyFileMagic, 512, 12 + 512},
        {"256-byte key file", 12 + 256, KeyFileMagic, 0xFFFFFFFFu, 12},
        {"272-byte key file", 12 + 272, KeyFileMagic, 0xFFFFFFFFu, 12},
        {"wrong magic", 12 + 784, 0x4EDD2BAD, 512, std::nullopt},
        {"image of 257 bytes", 12 + 257, KeyFileMagic, 0, std::nullopt},
        {"image of 255 bytes", 12 + 255, KeyFileMagic, 0, std::nullopt},
        {"offset past the image", 12 + 784, KeyFileMagic, 529, std::nullopt},
        {"the magic and one more byte", 5, 0x11, 0, std::nullopt},
        {"the magic alone", 4, KeyFileMagic, 0, std::nullopt},
        {"nothing", 0, KeyFileMagic, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> backup = backupOf(c.length, c.magic, c.offsetField);
        std::optional<KeyBackupLayout> layout = keyBackupLayout(c.length ? backup.data() : nullptr, c.length);
        ASSERT_EQ(layout.has_value(), c.blockOffset.has_value()) << c.what;
        if (!layout) continue;
        EXPECT_EQ(layout->imageOffset, 12u) << c.what;
        EXPECT_EQ(layout->imageLength, c.length - 12) << c.what;
        EXPECT_EQ(layout->blockOffset, *c.blockOffset) << c.what;
    }
}

TEST(KeyFileLayout, AKeyFileShorterThanItsHeaderSaysIsNotWhole) {
    const unsigned char id[16] = {};
    SecretBytes header = buildKeyHeader(id);
    std::vector<unsigned char> current(header.begin(), header.end());
    current.resize(784, 0x5A);
    struct Case {
        const char* what;
        std::size_t length;
        std::uint32_t total;
        bool whole;
    };
    const Case cases[] = {
        {"current layout", 784, 784, true},
        {"header says one byte more", 784, 785, false},
        {"cut to 780", 780, 784, false},
        {"older layout of 272 (no header)", 272, 0xFFFFFFFFu, true},
        {"older layout of 256", 256, 0xFFFFFFFFu, true},
        {"shorter than any layout", 255, 0, false},
        {"empty", 0, 0, false},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> image = current;
        writeU32(image.data(), c.total);
        EXPECT_EQ(keyFileIsWhole(image.data(), c.length), c.whole) << c.what;
    }
}

TEST(KeyFileLayout, HeaderFields) {
    const unsigned char id[16] = {0xAA, 0xBB};
    SecretBytes header = buildKeyHeader(id);
    ASSERT_EQ(header.size(), 512u);
    EXPECT_EQ(readU32(header.data()), 784u);
    EXPECT_EQ(readU32(header.data() + 4), 512u);
    EXPECT_EQ(header[8], 0xAA);
    EXPECT_EQ(readU32(header.data() + 24), 0x3DEA0711u);
    for (size_t i = 28; i < 512; ++i) ASSERT_EQ(header[i], 0) << i;
}

class ReplaceFileTest : public brimtest::TempFolderTest {
protected:
    size_t filesInFolder() const {
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA((temp.path() + "\\*").c_str(), &data);
        size_t n = 0;
        if (h == INVALID_HANDLE_VALUE) return 0;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
        } while (FindNextFileA(h, &data));
        FindClose(h);
        return n;
    }
};

TEST_F(ReplaceFileTest, WritesAllPiecesOrLeavesTheOldFileAlone) {
    temp.writeFile("v.vlt", "old content");
    const std::string a(100, 'a'), b(50000, 'b');
    vaulttest::DiskFullWriter disk;
    for (size_t limit : {size_t(0), size_t(99), size_t(100), size_t(50099)}) {
        disk.limit = limit;
        FileResult result = replaceFile(temp.file("v.vlt"), {{a.data(), a.size()}, {b.data(), b.size()}}, disk);
        EXPECT_FALSE(result.ok) << limit;
        EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_DISK_FULL)) << limit;
        EXPECT_EQ(temp.readFile("v.vlt"), "old content") << limit;
        EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
    }
    ASSERT_TRUE(replaceFile(temp.file("v.vlt"), {{a.data(), a.size()}, {b.data(), b.size()}}).ok);
    EXPECT_EQ(temp.readFile("v.vlt"), a + b);
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(ReplaceFileTest, MissingFolderAndReadErrorsAreReported) {
    const char x = 'x';
    FileResult result = replaceFile(temp.file("no such folder\\v.vlt"), {{&x, 1}});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error, 0u);
    SecretBytes content;
    EXPECT_EQ(readWholeFile(temp.file("missing.kvt"), content).error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    temp.writeFile("short", "12345");
    EXPECT_EQ(readFileRange(temp.file("short"), 2, 8, content).error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    ASSERT_TRUE(readFileRange(temp.file("short"), 1, 3, content).ok);
    EXPECT_EQ(std::string(content.begin(), content.end()), "234");
}

TEST_F(ReplaceFileTest, ARangeTooLargeForMemoryIsAFileErrorNotAnException) {
    temp.writeFile("short", "12345");
    const size_t huge = std::numeric_limits<size_t>::max() / 2;
    SecretBytes bytes;
    SecretText text;
    FileResult result;
    ASSERT_NO_THROW(result = readFileRange(temp.file("short"), 0, huge, bytes));
    EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    ASSERT_NO_THROW(result = readFileRange(temp.file("short"), 0, huge, text));
    EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(ReplaceFileTest, AFailedFlushDiscardsTheTemporaryFileAndKeepsTheOldOne) {
    temp.writeFile("v.vlt", "old content");
    const std::string a(100, 'a');
    vaulttest::FlushFailingWriter failing;
    failing.error = ERROR_IO_DEVICE;
    FileResult result = replaceFile(temp.file("v.vlt"), {{a.data(), a.size()}}, failing);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, static_cast<DWORD>(ERROR_IO_DEVICE));
    EXPECT_EQ(temp.readFile("v.vlt"), "old content");
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

}  // namespace
