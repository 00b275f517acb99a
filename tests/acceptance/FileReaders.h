/*
 * The journeys' own readers of what a file job leaves behind: the ".vltenc"
 * file (its 512-byte header and its body) and the job record in the registry.
 * They read the bytes themselves, with Crypto++'s Blowfish-CBC and MD5 called
 * directly and offsets taken from the published layout, so a fault in the
 * program's writer cannot hide behind the same fault in a shared reader.
 *
 * Tricky points:
 * - The body is one Blowfish-CBC chain over all chunks under the file's own
 *   data key; the data key is stored wrapped (Blowfish-CBC, same fixed
 *   vector) under the vault key, so decrypting needs the vault key.
 * - The digest is a chain of MD5 over (previous digest, chunk) with the chunk
 *   size stored in the header; a header with chunk size 0 means "computed
 *   from the encrypted file's length". The reader checks the body's length
 *   against the length the layout gives for the plain size, so a body with
 *   bytes missing or extra is reported even when the digest would not say why.
 * - The job record's strings are stored without a terminating zero (Wine's
 *   registry keeps one anyway); the reader cuts one off when it is there.
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace acc {

struct EncryptedFileHeader {
    std::uint32_t magic = 0;
    std::uint64_t plainSize = 0;
    unsigned char digest[16] = {};
    unsigned char wrappedKey[16] = {};
    FILETIME creationTime = {};
    FILETIME lastWriteTime = {};
    std::uint32_t attributes = 0;
    std::uint32_t algorithm = 0;
    std::uint64_t encryptedLength = 0;  // as stored at offset 68
    FILETIME encryptionDate = {};
    unsigned char vaultID[16] = {};
    std::uint32_t chunkSize = 0;        // as stored; 0 means computed from the file's length
    std::string vaultName;
};

constexpr std::uint32_t EncryptedFileMagic = 0xA35F71DA;

// The header of a .vltenc; false with the reason when the file cannot be read, is shorter than
// the header, lacks the magic or stores a vault-name length beyond the header's room.
bool readEncryptedFileHeader(const std::string& path, EncryptedFileHeader& header, std::string& why);

// The chunk size the layout gives for a file length (low 32 bits): a twentieth in whole KB,
// from 1 KB to 256 KB.
std::uint32_t layoutChunkSize(std::uint32_t lengthLow);
// The body length the layout gives for a plain size and chunk size.
std::uint64_t layoutBodyLength(std::uint64_t plainSize, std::uint32_t chunkSize);

// Decrypts a whole .vltenc with the vault key that wrapped its data key: the plain bytes, or false
// with the reason (bad header, body length that does not fit the plain size, digest mismatch).
bool decryptEncryptedFile(const std::string& path, const unsigned char vaultKey[16], std::string& plain,
                          std::string& why);

// The registry record of a file job under HKCU\software\Quarrendel\Brimsafe.
struct JobRecord {
    bool hasTask = false;
    bool hasFile = false;
    std::string task;  // currTask
    std::string file;  // currFile
};
JobRecord readJobRecord();

}  // namespace acc
