// The encrypted file's header layout and its readers; every integer is little-endian on disk,
// whatever the machine, so the bytes are put and taken one by one.
#include "vault/EncryptedFileLayout.h"

#include "framework/Win32Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace encfile {

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
