// The weekly update schedule in the registry; see UpdateSchedule.h.
#include "download/UpdateSchedule.h"

#include "download/UpdateVersion.h"

#include <windows.h>

#include <ctime>
#include <limits>

namespace {

// An open settings key (full access, never created), closed on scope exit.
class SettingsKey {
public:
    explicit SettingsKey(const std::string& path) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    ~SettingsKey() {
        if (key_) RegCloseKey(key_);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    bool open() const { return key_ != nullptr; }

    // A REG_DWORD of 1 to 4 bytes, zero-extended; false when missing or of another type.
    bool readDword(const char* name, uint32_t& value) const {
        DWORD type = 0, size = sizeof value;
        uint32_t data = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size == 0)
            return false;
        value = data;
        return true;
    }
    void writeDword(const char* name, uint32_t value) {
        RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    bool readString(const char* name, std::string& value) const {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return false;
        std::string data(size, '\0');
        if (size && RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
                        ERROR_SUCCESS)
            return false;
        data.resize(size);
        size_t end = data.find('\0');  // the installer may or may not store a terminator
        value = end == std::string::npos ? data : data.substr(0, end);
        return true;
    }

private:
    HKEY key_ = nullptr;
};

}  // namespace

TUpdateSchedule::TUpdateSchedule() = default;

int32_t TUpdateSchedule::now() const {
    return ClockForTesting ? ClockForTesting() : static_cast<int32_t>(std::time(nullptr));
}

void TUpdateSchedule::SetupCheck(const std::string& updateBaseUrl, const std::string& settingsKeyPath) {
    UpdateBaseUrl = updateBaseUrl;
    SettingsKeyPath = settingsKeyPath;
    uint32_t update = 0, updateTime = 0, lastCheck = 0;
    bool haveUpdate, haveTimes;
    {
        SettingsKey key(SettingsKeyPath);
        if (!key.open()) {
            AutoCheck = 0;
            return;
        }
        haveUpdate = key.readDword("Update", update);
        haveTimes = key.readDword("UpdateTime", updateTime) && key.readDword("LastCheck", lastCheck);
    }
    if (!haveUpdate) {
        SetAutoCheck(true, 604800);
        AutoCheck = 1;
        SettingsKey key(SettingsKeyPath);
        haveTimes = key.open() && key.readDword("UpdateTime", updateTime) && key.readDword("LastCheck", lastCheck);
    } else {
        AutoCheck = update & 0xFF;
    }
    if (!haveTimes) {
        SecondsUntilDue = 0;
        return;
    }
    // Signed 32-bit values as stored; the sum is kept within 32 bits.
    int64_t due = int64_t(static_cast<int32_t>(updateTime)) + static_cast<int32_t>(lastCheck) - now();
    if (due > std::numeric_limits<int32_t>::max()) due = std::numeric_limits<int32_t>::max();
    if (due < std::numeric_limits<int32_t>::min()) due = std::numeric_limits<int32_t>::min();
    SecondsUntilDue = static_cast<int32_t>(due);
}

void TUpdateSchedule::SetAutoCheck(bool enabled, int32_t seconds) {
    SettingsKey key(SettingsKeyPath);
    if (!key.open()) return;
    AutoCheck = enabled ? 1 : 0;
    key.writeDword("Update", enabled ? 1 : 0);
    key.writeDword("UpdateTime", static_cast<uint32_t>(seconds));
    key.writeDword("LastCheck", static_cast<uint32_t>(now()));
    SecondsUntilDue = seconds;  // the interval starts again now, in memory as in the settings
}

bool TUpdateSchedule::RecordCheck(const std::string& versionFileBytes) {
    SettingsKey key(SettingsKeyPath);
    std::string installed;
    if (!key.open() || !key.readString("Dliubruc", installed)) return false;
    key.writeDword("LastCheck", static_cast<uint32_t>(now()));
    NewerFound = IsNewerVersion(installed, versionFileBytes);
    return true;
}
