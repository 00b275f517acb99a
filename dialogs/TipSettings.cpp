// The tips table and their registry bits; see TipSettings.h.
#include "dialogs/TipSettings.h"

#include "base/ProductNames.h"

#include <windows.h>

namespace tips {

const Tip ClosingVault = {1,
                          "By closing the vault, your vault is automatically locked and your clipboard is cleared of "
                          "any data you may have copied from your vault."};
const Tip SortByHeading = {2, "You may sort your entry list by any field simply by clicking on the appropriate heading."};
const Tip FilesDropped = {4,
                          "When you add files to your vault, the files are not moved from their currnent locations.  "
                          "They stay where they were, encrypted in place, and the Encrypted Files category lists "
                          "them."};
const Tip FileAdded = {4,
                       "This file may be encrypted or decrypted by selecting it in the Encrypted Files category, and "
                       "clicking the Encrypt or Decrypt button below it.  The file itself stays in its folder."};
const Tip ChangesSaved = {8, "The changes you made to this entry will automatically be saved in the vault."};
const Tip FileRemoved = {32,
                         "Removing a file from your vault does not delete the file.  The file is only decrypted and "
                         "removed from the list."};
const Tip DragAndDrop = {64,
                         "You can also add files to your vault by dragging and dropping files or folders onto your "
                         "vault.  Drop them anywhere on the Brimsafe window."};

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
