/*
 * The encrypted file ".vltenc" as far as the vault needs to know it: where
 * the 512-byte header keeps each field (little-endian integers at fixed
 * offsets), the byte order helpers, and the small readers that look at a
 * file's header before any job or window exists (is it encrypted, which vault
 * and vault name it names). The header's full encoding and the chunk rules
 * belong to the file jobs (fileenc/EncryptedFile.h), which build on this.
 *
 * Stored files depend on every offset here. The readers never trust a length
 * read from a file: a vault-name length beyond the header's room counts as no
 * name, and nothing past the header is ever read by them.
 */
#pragma once

#include <cstddef>
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
