/*
 * The main window's settings under HKEY_CURRENT_USER\software\Quarrendel\Brimsafe
 * (the settings key) and the list of known vaults in its subkey "Vaults".
 *
 * Stored shapes other programs and older runs rely on: strings are written
 * without their terminating zero (read back with or without one); DWORD values
 * are 4 bytes, except WindowState, a REG_DWORD that holds one byte, 'v'
 * (normal) or '^' (maximised). The window settings are written in a fixed order.
 */
#pragma once

#include "base/ProductNames.h"
#include "framework/Win32Handles.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace settings {

constexpr const char* SettingsKeyPath = product::SettingsKeyPath;
// The known vaults, a subkey of the settings key.
inline const std::string VaultsKeyPath = std::string(product::SettingsKeyPath) + "\\Vaults";

constexpr int DefaultWidth = 757;
constexpr int DefaultHeight = 500;
constexpr int DefaultSplitter = 445;
constexpr int DefaultOldTop = 50;
constexpr int DefaultOldLeft = 20;
constexpr char WindowNormal = 'v';
constexpr char WindowMaximised = '^';
constexpr int DefaultCurrCat = 2;
constexpr const char* DefaultVaultName = "My Vault";

// Reads and writes the values of an open registry key, closed when it goes.
class RegistryKey {
public:
    // Opens with full access, creating the key when missing.
    bool openOrCreate(HKEY root, const std::string& path);
    bool open(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    void close();
    bool isOpen() const { return key_.valid(); }
    HKEY get() const { return key_.get(); }

    std::optional<DWORD> readDword(const std::string& name) const;
    std::optional<std::string> readString(const std::string& name) const;
    bool writeDword(const std::string& name, DWORD value) const;
    bool writeString(const std::string& name, const std::string& value) const;  // no terminating zero
    bool writeOneByteDword(const std::string& name, char value) const;
    std::optional<char> readOneByteDword(const std::string& name) const;

private:
    bool write(const std::string& name, DWORD type, const void* data, DWORD size) const;
    win32::RegistryKeyHandle key_;
};

// Sees every value written through RegistryKey (name, type, the bytes handed to the system), in
// order; tests check the write order and byte counts with it, since a registry may add a
// terminating zero of its own to a string.
using RegistryWriteObserver = std::function<void(const std::string& name, DWORD type, const std::string& bytes)>;
void setRegistryWriteObserverForTesting(RegistryWriteObserver observer);

// What the main window stores at exit and at a switch of vaults.
struct WindowSettings {
    int Top = 0, Left = 0, Width = DefaultWidth, Height = DefaultHeight, Splitter = DefaultSplitter;
    char WindowState = WindowNormal;
    int OldTop = DefaultOldTop, OldLeft = DefaultOldLeft, OldWidth = DefaultWidth, OldHeight = DefaultHeight,
        OldSplitter = DefaultSplitter;
    int currCat = DefaultCurrCat;
    std::string DBLoc;
    std::string DBFname = DefaultVaultName;
};

// Writes Top, Left, Width, Height, Splitter, WindowState, OldTop, OldLeft, OldWidth, OldHeight,
// OldSplitter, currCat, DBLoc, DBFname in this order. False when the key cannot be opened or created
// (nothing written, nothing shown).
bool writeWindowSettings(const WindowSettings& values);

// The stored placement, with the defaults for what is missing. hasTop tells whether Top was stored
// (the window is centred otherwise); Left is read only together with Top, and the Old values only
// when the window was stored maximised.
struct StoredPlacement {
    bool hasTop = false;
    WindowSettings values;
};
StoredPlacement readWindowPlacement();

// The stored vault location (either may be missing).
std::optional<std::string> readStoredDBLoc();
std::optional<std::string> readStoredDBFname();

// The known vaults: value name = vault name, data = folder\name without extension.
bool addKnownVault(const std::string& name, const std::string& folderAndName);
std::vector<std::pair<std::string, std::string>> knownVaults();

}  // namespace settings
