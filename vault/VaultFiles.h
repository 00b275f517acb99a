/*
 * Byte layouts of the vault file (.vlt) and the key file (.kvt), and the
 * file access the vault store uses for them. All integers are little-endian.
 *
 *   vault file: salt (8) | RSA-wrapped vault key (128) | Blowfish-CBC body
 *   body:       MD5 of the text (16) | length in decimal | ' ' | text | filler (2-9)
 *   key file:   total 784 | key-block offset 512 | vault ID (16) | magic | zeros
 *               | key block (256, under the password key) | chain value (16, under the vault key)
 *
 * Older key files (256 bytes: key block; 272: key block and chain value) are
 * still read. Offsets and lengths read from a file are checked before use.
 *
 * Writing never leaves a half-written file: the new content goes to a
 * temporary file in the target's folder, every write is checked and flushed,
 * and only then does it replace the target. On failure the target is as it was.
 */
#pragma once

#include "vault/SecureMemory.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vaultfile {

constexpr std::size_t SaltBytes = 8;
constexpr std::size_t WrappedKeyBytes = 128;       // KeyBits / 8
constexpr std::size_t HeadBytes = SaltBytes + WrappedKeyBytes;  // 136
constexpr std::size_t DigestBytes = 16;
constexpr std::size_t MinimumBodyBytes = 24;       // the smallest body a vault text can give
// The longest body a vault file may have. A real vault is far smaller (50,000 entries make a few
// MiB), so 512 MiB is only ever reached by a damaged file, which is refused before anything is
// allocated: the 32-bit program could not hold a body of that size anyway.
constexpr std::uint64_t MaximumBodyBytes = 512ull * 1024 * 1024;
constexpr std::size_t KeyBackupHeadBytes = 12;     // a key backup: 4 bytes, 8 random bytes, key-file image
constexpr std::size_t KeyBlockBytes = 256;         // private-key parts a and b
constexpr std::size_t KeyPartBytes = 128;
constexpr std::size_t ChainBytes = 16;
constexpr std::size_t KeyHeaderBytes = 512;
constexpr std::size_t KeyFileBytes = KeyHeaderBytes + KeyBlockBytes + ChainBytes;  // 784
constexpr std::size_t OldKeyFileBytes = KeyBlockBytes;                             // 256
constexpr std::size_t OldChainKeyFileBytes = KeyBlockBytes + ChainBytes;           // 272
constexpr std::uint32_t KeyFileMagic = 0x3DEA0711;
constexpr std::size_t VaultIdOffset = 8;
constexpr std::size_t MagicOffset = 24;

// Length of the body for a vault text of textLength bytes: whole blocks, 2 to 9 filler bytes.
std::size_t bodyLength(std::size_t textLength);
// The plain body: digest, decimal length, space, text, zero filler.
SecretBytes buildBody(const unsigned char digest[16], const char* text, std::size_t textLength);
// Where the text starts in the body of a text of textLength bytes (after digest, length and space).
std::size_t bodyTextOffset(std::size_t textLength);
// Writes the body's head (digest, decimal length, space) in front of a text already in place at
// bodyTextOffset: a save builds the text straight into the body's room, with no second copy.
void writeBodyHead(unsigned char* body, const unsigned char digest[16], std::size_t textLength);

// Where the text lies in a decrypted body, as the reader finds it (the digest still to be checked).
struct BodyText {
    std::size_t start = 0;
    std::size_t length = 0;
};
BodyText locateBodyText(const unsigned char* body, std::size_t bodyLength);
// Cuts a decrypted body down to its text in place (no second buffer), wiping the bytes cut off.
// The caller takes the stored digest (the first 16 bytes) before.
void cutToBodyText(SecretText& body);

// Whether a vault file of fileLength bytes can hold a body; nothing is read or allocated by a
// length that cannot. A body is whole blocks: any other length is a cut file.
enum class BodyLength { Fits, TooShort, TooLong, PartBlock };
BodyLength checkBodyLength(std::uint64_t fileLength);

// Offset of the 256-byte key block in a key-file image, or nothing when the image cannot hold one.
std::optional<std::size_t> keyBlockOffset(const unsigned char* image, std::size_t imageLength);
// Whether a key file of imageLength bytes is whole: a layout this version reads, no shorter than
// its own header's total length says, with room for the key block where the header puts it.
bool keyFileIsWhole(const unsigned char* image, std::size_t imageLength);
// The 512-byte header of a current key file.
SecretBytes buildKeyHeader(const unsigned char vaultId[16]);

// Where a key backup's parts lie, as offsets into the backup: the key-file image after the
// 12-byte head, and the key block inside that image.
struct KeyBackupLayout {
    std::size_t imageOffset = KeyBackupHeadBytes;
    std::size_t imageLength = 0;
    std::size_t blockOffset = 0;  // from the backup's start
};
// The layout of a key backup, or nothing when it is not one: too short for its head, a magic other
// than the key file's, an image of no key-file layout (256 bytes, or 272 and more), or no room for
// a key block at the image's offset. Offsets only: no pointer is formed from an unchecked length.
std::optional<KeyBackupLayout> keyBackupLayout(const unsigned char* backup, std::size_t backupLength);
// The key block of a key backup, unscrambled: nothing when the backup is too short or its image's
// key-block offset leaves no room for a block (the magic is its caller's to check).
std::optional<SecretBytes> keyBackupBlock(const unsigned char* backup, std::size_t backupLength);

std::uint32_t readU32(const unsigned char* p);
void writeU32(unsigned char* p, std::uint32_t value);

// ---- file access ----

// Result of a file operation: ok, or the Windows error met.
struct FileResult {
    bool ok = false;
    DWORD error = 0;
    explicit operator bool() const { return ok; }
};

FileResult readWholeFile(const std::string& path, SecretBytes& content);
// Reads exactly count bytes at offset; fewer bytes give ERROR_HANDLE_EOF.
FileResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, SecretBytes& content);
// The same into a text buffer (the vault body, which becomes the vault text in place).
FileResult readFileRange(const std::string& path, std::uint64_t offset, std::size_t count, SecretText& content);
// Size of the file, or the error.
FileResult fileSize(const std::string& path, std::uint64_t& size);
bool fileExists(const std::string& path);

using FilePieces = std::initializer_list<std::pair<const void*, std::size_t>>;

// Puts the pieces of a new file into it. The program writes through the system; a test hands
// the vault store or replaceFile a writer that fails part-way, as a full disk does.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Writes the pieces one after another: 0, or the Windows error that stopped the writing.
    virtual DWORD write(HANDLE file, FilePieces pieces) const;
    // Flushes the written file to the disk: 0, or the Windows error (a write the cache accepted
    // may still fail on its way to the disk).
    virtual DWORD flush(HANDLE file) const;
};
const FileWriter& systemFileWriter();

// Replaces (or creates) the file at path with the given pieces, written one after another. On
// failure the temporary file is discarded and the file at path is as it was.
FileResult replaceFile(const std::string& path, FilePieces pieces, const FileWriter& writer = systemFileWriter());

}  // namespace vaultfile
