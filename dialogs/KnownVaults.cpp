// The known-vault list and the key-file probes; see KnownVaults.h.
#include "dialogs/KnownVaults.h"

#include "base/RegistrySettings.h"
#include "framework/Win32Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace knownvaults {

namespace {

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool readAt(const std::string& path, DWORD offset, void* out, DWORD size) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    if (SetFilePointer(file.get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD read = 0;
    return ReadFile(file.get(), out, size, &read, nullptr) && read == size;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* const BadNameMessage = "A vault name may not contain any of these characters: \\ / : * ? \" < > |";

std::vector<KnownVault> readKnownVaults() {
    std::vector<KnownVault> vaults;
    settings::RegistryKey key;
    if (!key.openOrCreate(HKEY_CURRENT_USER, settings::VaultsKeyPath)) return vaults;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0, size = 0;
        if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size + 1, '\0');
        DWORD dataSize = size + 1;
        nameLength = sizeof name;
        if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type,
                          reinterpret_cast<BYTE*>(&data[0]), &dataSize) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        data.resize(std::min<std::size_t>(dataSize, data.size()));
        while (!data.empty() && data.back() == '\0') data.pop_back();
        std::string display = nameLength == 0 ? "Default" : std::string(name, nameLength);
        if (fileExists(data + ".vlt")) vaults.push_back({display, data});
    }
    return vaults;
}

void registerVault(const std::string& path) {
    settings::RegistryKey key;
    if (key.openOrCreate(HKEY_CURRENT_USER, settings::VaultsKeyPath)) key.writeString(nameOf(path), path);
}

bool sameVaultName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string cutExtension(const std::string& path) {
    std::size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string stripVaultExtension(const std::string& fileName) {
    if (fileName.size() >= 4 && sameVaultName(fileName.substr(fileName.size() - 4), ".vlt"))
        return fileName.substr(0, fileName.size() - 4);
    return fileName;
}

std::optional<std::vector<unsigned char>> readVaultId(const std::string& keyFilePath) {
    std::vector<unsigned char> id(16);
    if (!readAt(keyFilePath, 8, id.data(), 16)) return std::nullopt;
    return id;
}

KeyFileCheck checkKeyFile(const std::string& keyFilePath) {
    unsigned char magic[4];
    if (!readAt(keyFilePath, 24, magic, 4)) {
        // A file that opens but is too short is no key file; one that cannot be opened is not judged.
        win32::FileHandle file(CreateFileA(keyFilePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.valid() ? KeyFileCheck::WrongMagic : KeyFileCheck::Unreadable;
    }
    unsigned long value = magic[0] | magic[1] << 8 | magic[2] << 16 | static_cast<unsigned long>(magic[3]) << 24;
    return value == KeyFileMagic ? KeyFileCheck::Valid : KeyFileCheck::WrongMagic;
}

std::string mutexNameOf(const unsigned char id[16]) {
    std::string name;
    char hex[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(hex, sizeof hex, "%.2x", id[i]);
        name += hex;
    }
    return name;
}

bool vaultIsOpenElsewhere(const unsigned char id[16]) {
    win32::KernelHandle mutex(CreateMutexA(nullptr, TRUE, mutexNameOf(id).c_str()));
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::optional<KnownVault> findVaultById(const std::vector<KnownVault>& vaults, const unsigned char id[16]) {
    for (const KnownVault& vault : vaults) {
        std::optional<std::vector<unsigned char>> stored = readVaultId(vault.path + ".kvt");
        if (stored && std::equal(stored->begin(), stored->end(), id)) return vault;
    }
    return std::nullopt;
}

bool isValidVaultName(const std::string& name) { return name.find_first_of("\\/:*?\"<>|") == std::string::npos; }

}  // namespace knownvaults
