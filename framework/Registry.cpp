/*
 * Registry wrappers; see Registry.h. Paths are kept as text so that a
 * relative OpenKey can be resolved against the current one.
 */
#include "framework/Registry.h"

namespace {

AnsiString joinPath(const AnsiString& a, const AnsiString& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + "\\" + b;
}

AnsiString trimSlashes(AnsiString s) {
    while (!s.empty() && s.front() == '\\') s.erase(0, 1);
    while (!s.empty() && s.back() == '\\') s.pop_back();
    return s;
}

[[noreturn]] void getDataFailed(const AnsiString& name) {
    throw ERegistryException("Failed to get data for '%s'", {name});
}

LONG deleteTree(HKEY parent, const AnsiString& sub) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(parent, sub.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS) return result;
    char name[256];
    while (true) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (deleteTree(key, AnsiString(name, length)) != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, sub.c_str());
}

}  // namespace

TRegistry::TRegistry() = default;
TRegistry::TRegistry(REGSAM AAccess) : access_(AAccess) {}
TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
    if (value == root_) return;
    CloseKey();
    root_ = value;
}

void TRegistry::CloseKey() {
    if (current_) {
        if (!lazyWrite_) RegFlushKey(current_);
        RegCloseKey(current_);
    }
    current_ = nullptr;
    path_.clear();
}

void TRegistry::changeKey(HKEY key, const AnsiString& path) {
    CloseKey();
    current_ = key;
    path_ = path;
}

HKEY TRegistry::baseKeyFor(const AnsiString& key, AnsiString& subPath) const {
    bool absolute = !key.empty() && key[0] == '\\';
    AnsiString relative = trimSlashes(key);
    if (absolute || !current_) {
        subPath = relative;
        return root_;
    }
    subPath = joinPath(path_, relative);
    return root_;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate) {
    AnsiString path;
    HKEY base = baseKeyFor(Key, path);
    HKEY key = nullptr;
    LONG result;
    if (CanCreate) {
        result = RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &key,
                                 nullptr);
    } else {
        result = RegOpenKeyExA(base, path.c_str(), 0, access_, &key);
    }
    if (result != ERROR_SUCCESS) return false;
    changeKey(key, path);
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key) {
    AnsiString path;
    HKEY base = baseKeyFor(Key, path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    changeKey(key, path);
    access_ = KEY_READ;
    return true;
}

bool TRegistry::CreateKey(const AnsiString& Key) {
    AnsiString path;
    HKEY base = baseKeyFor(Key, path);
    HKEY key = nullptr;
    if (RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::DeleteKey(const AnsiString& Key) {
    AnsiString path;
    HKEY base = baseKeyFor(Key, path);
    if (path.empty()) return false;
    return deleteTree(base, path) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const AnsiString& Key) {
    AnsiString path;
    HKEY base = baseKeyFor(Key, path);
    HKEY key = nullptr;
    if (RegOpenKeyExA(base, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::HasSubKeys() {
    DWORD subKeys = 0;
    return current_ && RegQueryInfoKeyA(current_, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subKeys > 0;
}

bool TRegistry::ValueExists(const AnsiString& Name) const {
    return current_ && RegQueryValueExA(current_, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool TRegistry::DeleteValue(const AnsiString& Name) {
    return current_ && RegDeleteValueA(current_, Name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetValueNames(TStrings* Strings) const {
    Strings->Clear();
    if (!current_) return;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(current_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        Strings->Add(AnsiString(name, length));
    }
}

void TRegistry::GetKeyNames(TStrings* Strings) const {
    Strings->Clear();
    if (!current_) return;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(current_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        Strings->Add(AnsiString(name, length));
    }
}

int TRegistry::GetDataSize(const AnsiString& Name) const {
    DWORD size = 0;
    if (!current_ || RegQueryValueExA(current_, Name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(size);
}

TRegDataType TRegistry::GetDataType(const AnsiString& Name) const {
    DWORD type = 0;
    if (!current_ || RegQueryValueExA(current_, Name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return rdUnknown;
    switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
    }
}

bool TRegistry::readRaw(const AnsiString& name, DWORD& type, std::vector<unsigned char>& data) const {
    if (!current_) return false;
    DWORD size = 0;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    // One spare byte: string data stored without its terminator is terminated here.
    data.assign(size + 1, 0);
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) return false;
    data.resize(size);
    return true;
}

void TRegistry::writeRaw(const AnsiString& name, DWORD type, const void* data, DWORD size) {
    if (!current_ ||
        RegSetValueExA(current_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '%s'", {name});
}

AnsiString TRegistry::ReadString(const AnsiString& Name) const {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!readRaw(Name, type, data)) return AnsiString();
    if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '%s'", {Name});
    AnsiString text(data.begin(), data.end());
    size_t zero = text.find('\0');
    if (zero != AnsiString::npos) text.resize(zero);
    return text;
}

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value) {
    writeRaw(Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

void TRegistry::WriteExpandString(const AnsiString& Name, const AnsiString& Value) {
    writeRaw(Name, REG_EXPAND_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
}

int TRegistry::ReadInteger(const AnsiString& Name) const {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!readRaw(Name, type, data)) getDataFailed(Name);
    if (type != REG_DWORD || data.size() > 4) throw ERegistryException("Invalid data type for '%s'", {Name});
    uint32_t value = 0;  // short data is zero-extended
    std::memcpy(&value, data.data(), data.size());
    return static_cast<int>(value);
}

void TRegistry::WriteInteger(const AnsiString& Name, int Value) {
    writeRaw(Name, REG_DWORD, &Value, sizeof Value);
}

bool TRegistry::ReadBool(const AnsiString& Name) const { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

int TRegistry::ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize) const {
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (!readRaw(Name, type, data)) getDataFailed(Name);
    if (static_cast<int>(data.size()) > BufSize) getDataFailed(Name);
    std::memcpy(Buffer, data.data(), data.size());
    return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize) {
    writeRaw(Name, REG_BINARY, Buffer, static_cast<DWORD>(BufSize));
}

// ---------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const AnsiString& AFileName) : TRegIniFile(AFileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const AnsiString& AFileName, REGSAM AAccess) : TRegistry(AAccess) {
    FileName = AFileName;
    // Read-only access must not create the key.
    if ((AAccess & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0) OpenKey(AFileName, true);
    else OpenKey(AFileName, false);
}

template <class F> bool TRegIniFile::withSection(const AnsiString& section, bool create, F body) {
    if (!GetCurrentKey()) return false;
    if (section.empty()) {
        body(static_cast<TRegistry&>(*this));
        return true;
    }
    TRegistry sub(GetAccess());
    sub.SetRootKey(GetRootKey());
    bool opened = create ? sub.OpenKey("\\" + GetCurrentPath() + "\\" + section, true)
                         : sub.OpenKey("\\" + GetCurrentPath() + "\\" + section, false);
    if (!opened) return false;
    body(sub);
    return true;
}

AnsiString TRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
    AnsiString result = Default;
    withSection(Section, false, [&](TRegistry& key) {
        if (key.ValueExists(Ident)) result = key.ReadString(Ident);
    });
    return result;
}

void TRegIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    withSection(Section, true, [&](TRegistry& key) { key.WriteString(Ident, Value); });
}

int TRegIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
    int result = Default;
    withSection(Section, false, [&](TRegistry& key) {
        if (!key.ValueExists(Ident)) return;
        if (key.GetDataType(Ident) == rdInteger) result = key.ReadInteger(Ident);
        else result = StrToIntDef(key.ReadString(Ident), Default);
    });
    return result;
}

void TRegIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
    Strings->Clear();
    withSection(Section, false, [&](TRegistry& key) { key.GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings* Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
    Strings->Clear();
    withSection(Section, false, [&](TRegistry& key) {
        TStringList names;
        key.GetValueNames(&names);
        for (int i = 0; i < names.GetCount(); ++i) {
            AnsiString name = names.Get(i);
            AnsiString value = key.GetDataType(name) == rdInteger ? IntToStr(key.ReadInteger(name)) : key.ReadString(name);
            Strings->Add(name + "=" + value);
        }
    });
}

void TRegIniFile::EraseSection(const AnsiString& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
    withSection(Section, false, [&](TRegistry& key) { key.DeleteValue(Ident); });
}
