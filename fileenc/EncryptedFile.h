/*
 * The encrypted file ".vltenc": a 512-byte header (little-endian integers at
 * fixed offsets) followed by the plain file cut into chunks and encrypted as
 * one Blowfish-CBC chain under the file's own data key. This unit holds the
 * layout, the chunk-size rule and the small header readers that the rest of
 * the program uses before any job dialog exists.
 *
 * Stored files depend on every offset here. The readers never trust a length
 * read from a file: a vault-name length beyond the header's room counts as no
 * name, and nothing past the header is ever read by them.
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace encfile {

constexpr std::uint32_t Magic = 0xA35F71DA;
constexpr std::size_t HeaderSize = 512;
constexpr const char* Extension = ".vltenc";
constexpr std::size_t ExtensionLength = 7;

enum Offset : std::size_t {
    OffMagic = 0,
    OffPlainSize = 4,
    OffDigest = 12,
    OffWrappedKey = 28,
    OffCreationTime = 44,
    OffLastWriteTime = 52,
    OffAttributes = 60,
    OffAlgorithm = 64,
    OffEncryptedLength = 68,
    OffEncryptionDate = 76,
    OffVaultID = 84,
    OffChunkSize = 100,
    OffNameLength = 104,
    OffName = 108,
};

constexpr std::uint32_t MaxVaultNameLength = HeaderSize - OffName;  // 404
constexpr std::uint32_t AlgorithmBlowfish = 0;
// Chunk sizes beyond this (or not whole cipher blocks) only come from damaged headers.
constexpr std::uint32_t MaxReadableChunkSize = 16u * 1024 * 1024;

// About a twentieth of the file in whole KB, from 1 KB to 256 KB; lengthLow is
// the low 32 bits of the file's length.
std::uint32_t chunkSizeFor(std::uint32_t lengthLow);

// What offset 68 stores for an encrypted file of the given length: 512 in the
// low word when that word would read 0.
std::uint64_t storedEncryptedLength(std::uint64_t length);
// The body that plainSize bytes in chunks of chunkSize make: the full chunks as they are, a short
// last chunk of r bytes as r + 8 - (r mod 8). A body shorter than this is a cut file, whatever its
// digest says.
std::uint64_t bodyLengthFor(std::uint64_t plainSize, std::uint32_t chunkSize);

struct EncryptedFileHeader {
    std::uint64_t plainSize = 0;
    unsigned char digest[16] = {};
    unsigned char wrappedKey[16] = {};
    FILETIME creationTime = {};
    FILETIME lastWriteTime = {};
    std::uint32_t attributes = 0;
    std::uint32_t algorithm = AlgorithmBlowfish;
    std::uint64_t encryptedLength = 0;
    FILETIME encryptionDate = {};
    unsigned char vaultID[16] = {};
    std::uint32_t chunkSize = 0;
    std::string vaultName;  // at most 404 bytes are stored

    // The 512 bytes, magic first, unused room zero.
    void encode(unsigned char out[HeaderSize]) const;
    // False when the bytes do not start with the magic. A stored name length
    // above 404 reads as no name.
    static bool decode(const unsigned char in[HeaderSize], EncryptedFileHeader& header);
};

void putU32(unsigned char* at, std::uint32_t value);
void putU64(unsigned char* at, std::uint64_t value);
std::uint32_t getU32(const unsigned char* at);
std::uint64_t getU64(const unsigned char* at);

}  // namespace encfile

// True when the path names an encrypted file: a path ending in ".vltenc"
// (exact case) is opened as it is; any other path is false when it exists as
// a file, else the path with ".vltenc" appended is opened. The file must open
// and start with the magic.
bool IsEncrypted(const std::string& path);

// The path without its last 7 characters when they are ".vltenc" in any case;
// nothing otherwise.
std::optional<std::string> StripExtension(const std::string& path);

// The vault ID at offset 84; 16 zero bytes when the file cannot be opened or read.
void ReadVaultID(const std::string& path, unsigned char vaultID[16]);

// The vault name stored in the header, up to its first zero byte; nothing when
// the file cannot be opened, the stored length is 0 or beyond the header, or no
// byte of it can be read.
std::optional<std::string> ReadVaultName(const std::string& path);
