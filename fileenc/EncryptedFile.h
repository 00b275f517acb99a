/*
 * The encrypted file ".vltenc": a 512-byte header (little-endian integers at
 * fixed offsets) followed by the plain file cut into chunks and encrypted as
 * one Blowfish-CBC chain under the file's own data key. This unit holds the
 * header's encoding and the chunk-size rule; the layout and the small header
 * readers that the rest of the program uses before any job dialog exists stand
 * below, in vault/EncryptedFileLayout.h, where the vault's flows reach them too.
 *
 * Stored files depend on every offset there.
 */
#pragma once

#include "vault/EncryptedFileLayout.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace encfile {

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

}  // namespace encfile
