// The encrypted file's layout and header readers; every integer is little-endian on disk,
// whatever the machine, so the bytes are put and taken one by one.
#include "fileenc/EncryptedFile.h"

#include "framework/Win32Handles.h"

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

void putU32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void putU64(unsigned char* at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t getU32(const unsigned char* at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

std::uint64_t getU64(const unsigned char* at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | at[i];
    return value;
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

namespace {

bool endsWithExactly(const std::string& text, const char* tail, std::size_t tailLength) {
    return text.size() >= tailLength && text.compare(text.size() - tailLength, tailLength, tail) == 0;
}

bool existsAsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

win32::FileHandle openForHeaderRead(const std::string& path) {
    return win32::FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Reads up to size bytes at offset; the count actually read.
DWORD readAt(const win32::FileHandle& file, std::uint64_t offset, void* buffer, DWORD size) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) return 0;
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, size, &read, nullptr)) return 0;
    return read;
}

}  // namespace

bool IsEncrypted(const std::string& path) {
    std::string candidate = path;
    if (!endsWithExactly(path, encfile::Extension, encfile::ExtensionLength)) {
        if (existsAsFile(path)) return false;
        candidate += encfile::Extension;
    }
    win32::FileHandle file = openForHeaderRead(candidate);
    if (!file.valid()) return false;
    unsigned char magic[4];
    return readAt(file, encfile::OffMagic, magic, 4) == 4 && encfile::getU32(magic) == encfile::Magic;
}

std::optional<std::string> StripExtension(const std::string& path) {
    const std::size_t n = encfile::ExtensionLength;
    if (path.size() < n || lstrcmpiA(path.c_str() + path.size() - n, encfile::Extension) != 0) return std::nullopt;
    return path.substr(0, path.size() - n);
}

void ReadVaultID(const std::string& path, unsigned char vaultID[16]) {
    std::memset(vaultID, 0, 16);
    win32::FileHandle file = openForHeaderRead(path);
    if (!file.valid()) return;
    unsigned char id[16];
    if (readAt(file, encfile::OffVaultID, id, 16) == 16) std::memcpy(vaultID, id, 16);
}

std::optional<std::string> ReadVaultName(const std::string& path) {
    win32::FileHandle file = openForHeaderRead(path);
    if (!file.valid()) return std::nullopt;
    unsigned char lengthBytes[4];
    if (readAt(file, encfile::OffNameLength, lengthBytes, 4) != 4) return std::nullopt;
    std::uint32_t n = encfile::getU32(lengthBytes);
    if (n == 0 || n > encfile::MaxVaultNameLength) return std::nullopt;
    std::string name(n, '\0');
    DWORD read = readAt(file, encfile::OffName, &name[0], n);
    if (read == 0) return std::nullopt;
    // The name is text: like any zero-terminated string it ends at its first zero byte.
    name.resize(std::min<std::size_t>(read, name.find('\0')));
    return name;
}
