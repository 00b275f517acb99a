// The encrypted file's header encoding and chunk rules; every integer is little-endian on disk,
// whatever the machine, so the bytes are put and taken one by one.
#include "fileenc/EncryptedFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace encfile {

std::uint32_t chunkSizeFor(std::uint32_t lengthLow) {
    std::uint32_t size = lengthLow / 20480 * 1024;
    if (size > 262144) size = 262144;
    return size == 0 ? 1024 : size;
}

std::uint64_t storedEncryptedLength(std::uint64_t length) {
    if (static_cast<std::uint32_t>(length) == 0) length |= HeaderSize;
    return length;
}

std::uint64_t bodyLengthFor(std::uint64_t plainSize, std::uint32_t chunkSize) {
    const std::uint64_t last = plainSize % chunkSize;
    const std::uint64_t whole = plainSize - last;
    const std::uint64_t tail = last ? last + 8 - last % 8 : 0;
    return whole > UINT64_MAX - tail ? UINT64_MAX : whole + tail;  // a size no file reaches
}

namespace {

void putTime(unsigned char* at, const FILETIME& time) {
    putU32(at, time.dwLowDateTime);
    putU32(at + 4, time.dwHighDateTime);
}

FILETIME getTime(const unsigned char* at) {
    FILETIME time;
    time.dwLowDateTime = getU32(at);
    time.dwHighDateTime = getU32(at + 4);
    return time;
}

}  // namespace

void EncryptedFileHeader::encode(unsigned char out[HeaderSize]) const {
    std::memset(out, 0, HeaderSize);
    putU32(out + OffMagic, Magic);
    putU64(out + OffPlainSize, plainSize);
    std::memcpy(out + OffDigest, digest, 16);
    std::memcpy(out + OffWrappedKey, wrappedKey, 16);
    putTime(out + OffCreationTime, creationTime);
    putTime(out + OffLastWriteTime, lastWriteTime);
    putU32(out + OffAttributes, attributes);
    putU32(out + OffAlgorithm, algorithm);
    putU64(out + OffEncryptedLength, encryptedLength);
    putTime(out + OffEncryptionDate, encryptionDate);
    std::memcpy(out + OffVaultID, vaultID, 16);
    putU32(out + OffChunkSize, chunkSize);
    std::uint32_t n = static_cast<std::uint32_t>(std::min<std::size_t>(vaultName.size(), MaxVaultNameLength));
    putU32(out + OffNameLength, n);
    std::memcpy(out + OffName, vaultName.data(), n);
}

bool EncryptedFileHeader::decode(const unsigned char in[HeaderSize], EncryptedFileHeader& header) {
    if (getU32(in + OffMagic) != Magic) return false;
    header.plainSize = getU64(in + OffPlainSize);
    std::memcpy(header.digest, in + OffDigest, 16);
    std::memcpy(header.wrappedKey, in + OffWrappedKey, 16);
    header.creationTime = getTime(in + OffCreationTime);
    header.lastWriteTime = getTime(in + OffLastWriteTime);
    header.attributes = getU32(in + OffAttributes);
    header.algorithm = getU32(in + OffAlgorithm);
    header.encryptedLength = getU64(in + OffEncryptedLength);
    header.encryptionDate = getTime(in + OffEncryptionDate);
    std::memcpy(header.vaultID, in + OffVaultID, 16);
    header.chunkSize = getU32(in + OffChunkSize);
    std::uint32_t n = getU32(in + OffNameLength);
    if (n > MaxVaultNameLength) n = 0;
    header.vaultName.assign(reinterpret_cast<const char*>(in + OffName), n);
    return true;
}

}  // namespace encfile
