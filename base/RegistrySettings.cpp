// The settings key's values through one RegistryKey class; every write passes the observer
// first, so a test sees exactly the bytes handed to the system.
#include "base/RegistrySettings.h"

namespace settings {

namespace {

RegistryWriteObserver& writeObserver() {
    static RegistryWriteObserver observer;
    return observer;
}

}  // namespace

void setRegistryWriteObserverForTesting(RegistryWriteObserver observer) { writeObserver() = std::move(observer); }

bool RegistryKey::write(const std::string& name, DWORD type, const void* data, DWORD size) const {
    if (!key_) return false;
    if (writeObserver()) writeObserver()(name, type, std::string(static_cast<const char*>(data), size));
    return RegSetValueExA(key_.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool RegistryKey::openOrCreate(HKEY root, const std::string& path) {
    if (open(root, path, KEY_ALL_ACCESS)) return true;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key_.out(),
                        nullptr) == ERROR_SUCCESS)
        return true;
    key_.release();  // a failed call may leave anything behind; nothing was opened
    return false;
}

bool RegistryKey::open(HKEY root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExA(root, path.c_str(), 0, access, key_.out()) == ERROR_SUCCESS) return true;
    key_.release();
    return false;
}

void RegistryKey::close() { key_.close(); }

std::optional<DWORD> RegistryKey::readDword(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

std::optional<std::string> RegistryKey::readString(const std::string& name) const {
    if (!key_) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::string text(size, '\0');
    if (size && RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size) !=
                    ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size);
    // Our own strings have no terminating zero; others may have one or more.
    std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

bool RegistryKey::writeDword(const std::string& name, DWORD value) const {
    return write(name, REG_DWORD, &value, sizeof value);
}

bool RegistryKey::writeString(const std::string& name, const std::string& value) const {
    return write(name, REG_SZ, value.data(), static_cast<DWORD>(value.size()));
}

bool RegistryKey::writeOneByteDword(const std::string& name, char value) const {
    return write(name, REG_DWORD, &value, 1);
}

std::optional<char> RegistryKey::readOneByteDword(const std::string& name) const {
    if (!key_) return std::nullopt;
    BYTE data[4] = {};
    DWORD size = sizeof data, type = 0;
    if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data, &size) != ERROR_SUCCESS || size == 0)
        return std::nullopt;
    return static_cast<char>(data[0]);
}

bool writeWindowSettings(const WindowSettings& v) {
    RegistryKey key;
    if (!key.openOrCreate(HKEY_CURRENT_USER, SettingsKeyPath)) return false;
    const std::pair<const char*, int> before[] = {
        {"Top", v.Top}, {"Left", v.Left}, {"Width", v.Width}, {"Height", v.Height}, {"Splitter", v.Splitter}};
    for (const auto& [name, value] : before) key.writeDword(name, static_cast<DWORD>(value));
    key.writeOneByteDword("WindowState", v.WindowState);
    const std::pair<const char*, int> after[] = {{"OldTop", v.OldTop},       {"OldLeft", v.OldLeft},
                                                 {"OldWidth", v.OldWidth},   {"OldHeight", v.OldHeight},
                                                 {"OldSplitter", v.OldSplitter}, {"currCat", v.currCat}};
    for (const auto& [name, value] : after) key.writeDword(name, static_cast<DWORD>(value));
    key.writeString("DBLoc", v.DBLoc);
    key.writeString("DBFname", v.DBFname);
    return true;
}

StoredPlacement readWindowPlacement() {
    StoredPlacement placement;
    WindowSettings& v = placement.values;
    RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, SettingsKeyPath)) return placement;
    auto take = [&key](const char* name, int& field) {
        if (std::optional<DWORD> stored = key.readDword(name)) field = static_cast<int>(*stored);
    };
    take("Width", v.Width);
    take("Height", v.Height);
    if (std::optional<DWORD> top = key.readDword("Top")) {
        placement.hasTop = true;
        v.Top = static_cast<int>(*top);
        take("Left", v.Left);
    }
    take("Splitter", v.Splitter);
    if (std::optional<char> state = key.readOneByteDword("WindowState")) v.WindowState = *state;
    if (v.WindowState == WindowMaximised) {
        take("OldTop", v.OldTop);
        take("OldLeft", v.OldLeft);
        take("OldWidth", v.OldWidth);
        take("OldHeight", v.OldHeight);
        take("OldSplitter", v.OldSplitter);
    }
    take("currCat", v.currCat);
    return placement;
}

std::optional<std::string> readStoredDBLoc() {
    RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, SettingsKeyPath)) return std::nullopt;
    return key.readString("DBLoc");
}

std::optional<std::string> readStoredDBFname() {
    RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, SettingsKeyPath)) return std::nullopt;
    return key.readString("DBFname");
}

bool addKnownVault(const std::string& name, const std::string& folderAndName) {
    RegistryKey key;
    return key.openOrCreate(HKEY_CURRENT_USER, VaultsKeyPath) && key.writeString(name, folderAndName);
}

std::vector<std::pair<std::string, std::string>> knownVaults() {
    std::vector<std::pair<std::string, std::string>> vaults;
    RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, VaultsKeyPath)) return vaults;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        if (RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ) continue;
        std::string valueName(name, nameLength);
        if (std::optional<std::string> path = key.readString(valueName)) vaults.emplace_back(valueName, *path);
    }
    return vaults;
}

}  // namespace settings
