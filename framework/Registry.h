/*
 * Registry wrappers: TRegistry (one open key at a time under RootKey) and
 * TRegIniFile (sections are subkeys, idents are values, numbers stored as text).
 *
 * Reading is lenient about what other code wrote with RegSetValueExA:
 *  - REG_SZ data without a terminating zero is read whole and terminated here;
 *  - REG_DWORD data shorter than 4 bytes is zero-extended.
 * DeleteKey removes the whole subtree.
 */
#pragma once

#include "framework/Classes.h"

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(REGSAM AAccess);
    ~TRegistry() override;

    // Opens Key (relative to the current key unless it starts with '\');
    // with CanCreate, missing keys are created. False when it cannot.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key);
    void CloseKey();
    bool CreateKey(const AnsiString& Key);
    // Deletes Key and every subkey under it.
    bool DeleteKey(const AnsiString& Key);
    bool KeyExists(const AnsiString& Key);
    bool HasSubKeys();
    bool ValueExists(const AnsiString& Name) const;
    bool DeleteValue(const AnsiString& Name);
    void GetValueNames(TStrings* Strings) const;
    void GetKeyNames(TStrings* Strings) const;
    int GetDataSize(const AnsiString& Name) const;  // -1 when missing
    TRegDataType GetDataType(const AnsiString& Name) const;

    AnsiString ReadString(const AnsiString& Name) const;  // "" when missing
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    void WriteExpandString(const AnsiString& Name, const AnsiString& Value);
    int ReadInteger(const AnsiString& Name) const;  // raises ERegistryException when missing
    void WriteInteger(const AnsiString& Name, int Value);
    bool ReadBool(const AnsiString& Name) const;
    void WriteBool(const AnsiString& Name, bool Value);
    int ReadBinaryData(const AnsiString& Name, void* Buffer, int BufSize) const;
    void WriteBinaryData(const AnsiString& Name, const void* Buffer, int BufSize);

    HKEY GetRootKey() const { return root_; }
    void SetRootKey(HKEY value);
    HKEY GetCurrentKey() const { return current_; }
    AnsiString GetCurrentPath() const { return path_; }
    REGSAM GetAccess() const { return access_; }
    void SetAccess(REGSAM value) { access_ = value; }
    bool GetLazyWrite() const { return lazyWrite_; }
    void SetLazyWrite(bool value) { lazyWrite_ = value; }


protected:
    // The key that relative paths start from and its path.
    HKEY baseKeyFor(const AnsiString& key, AnsiString& subPath) const;
    void changeKey(HKEY key, const AnsiString& path);
    bool readRaw(const AnsiString& name, DWORD& type, std::vector<unsigned char>& data) const;
    void writeRaw(const AnsiString& name, DWORD type, const void* data, DWORD size);

private:
    HKEY root_ = HKEY_CURRENT_USER;
    HKEY current_ = nullptr;
    AnsiString path_;
    REGSAM access_ = KEY_ALL_ACCESS;
    bool lazyWrite_ = true;

public:
    // Properties.
    BRIM_PROPERTY(RootKey, TRegistry::GetRootKey, TRegistry::SetRootKey);
    BRIM_READONLY(CurrentKey, TRegistry::GetCurrentKey);
    BRIM_READONLY(CurrentPath, TRegistry::GetCurrentPath);
    BRIM_PROPERTY(Access, TRegistry::GetAccess, TRegistry::SetAccess);
    BRIM_PROPERTY(LazyWrite, TRegistry::GetLazyWrite, TRegistry::SetLazyWrite);
};

class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(const AnsiString& FileName);
    TRegIniFile(const AnsiString& FileName, REGSAM AAccess);

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    void ReadSection(const AnsiString& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
    void EraseSection(const AnsiString& Section);
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident);
    AnsiString FileName;

private:
    // Runs `body` with the section's subkey open (created when `create`).
    template <class F> bool withSection(const AnsiString& section, bool create, F body);
};
