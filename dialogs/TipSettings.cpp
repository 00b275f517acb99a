// The tips table and their registry bits; see TipSettings.h.
#include "dialogs/TipSettings.h"

#include "base/ProductNames.h"

#include <windows.h>

namespace tips {

namespace {

HKEY openSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// The value as a DWORD; false when it is missing or holds anything else.
bool readBits(HKEY key, const std::string& valueName, DWORD& bits) {
    DWORD type = 0, size = sizeof bits;
    return RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&bits), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD && size == sizeof bits;
}

bool writeBits(HKEY key, const std::string& valueName, DWORD bits) {
    return RegSetValueExA(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bits), sizeof bits) ==
           ERROR_SUCCESS;
}

}  // namespace

bool IsTipEnabled(int tipId, const std::string& valueName) {
    HKEY key = openSettings();
    if (!key) return false;
    DWORD bits = 0;
    if (!readBits(key, valueName, bits)) {
        bits = 0;
        if (!writeBits(key, valueName, 0)) {
            RegCloseKey(key);
            return false;
        }
    }
    RegCloseKey(key);
    return (static_cast<DWORD>(tipId) & bits) == 0;
}

void DisableTip(int tipId, const std::string& valueName) {
    HKEY key = openSettings();
    if (!key) return;
    DWORD bits = 0;
    bits = readBits(key, valueName, bits) ? bits | static_cast<DWORD>(tipId) : static_cast<DWORD>(tipId);
    writeBits(key, valueName, bits);
    RegCloseKey(key);
}

}  // namespace tips
