// The job record in the registry and the job lock.
#include "fileenc/TaskStatus.h"

#include "base/ProductNames.h"

#include <vector>

namespace {

std::optional<std::string> readString(HKEY key, const char* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<char> bytes(size + 1, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string text(bytes.data(), size);
    // Values written by others may carry their terminator.
    std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

LSTATUS writeString(HKEY key, const char* name, const std::string& text) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size()));
}

}  // namespace

LSTATUS SetTaskStatus(const std::string& status, const std::string& path) {
    win32::RegistryKeyHandle key;
    LSTATUS result = RegCreateKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, key.out(), nullptr);
    if (result != ERROR_SUCCESS) return result;
    result = writeString(key.get(), "currTask", status);
    if (result == ERROR_SUCCESS && status != taskstatus::Done) result = writeString(key.get(), "currFile", path);
    return result;
}

TaskStatusRecord ReadTaskStatus() {
    TaskStatusRecord record;
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return record;
    record.currTask = readString(key.get(), "currTask");
    record.currFile = readString(key.get(), "currFile");
    return record;
}

FileJobLock::FileJobLock() : mutex_(CreateMutexA(nullptr, FALSE, FileJobMutexName)) {}

FileJobLock::~FileJobLock() { release(); }

bool FileJobLock::tryAcquire() {
    if (held_) return true;
    if (!mutex_) return false;
    DWORD wait = WaitForSingleObject(mutex_.get(), 0);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return held_;
}

void FileJobLock::release() {
    if (held_) ReleaseMutex(mutex_.get());
    held_ = false;
}
