/*
 * INI files through the system's profile functions. Numbers and booleans are
 * stored as text; a missing value reads as the given default.
 */
#pragma once

#include "framework/Classes.h"

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const AnsiString& AFileName) : FileName(AFileName) {}

    virtual AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) = 0;
    virtual void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) = 0;
    virtual int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    virtual void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    virtual bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    virtual void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    virtual void ReadSection(const AnsiString& Section, TStrings* Strings) = 0;
    virtual void ReadSections(TStrings* Strings) = 0;
    virtual void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
    virtual void EraseSection(const AnsiString& Section) = 0;
    virtual void DeleteKey(const AnsiString& Section, const AnsiString& Ident) = 0;
    bool SectionExists(const AnsiString& Section);
    bool ValueExists(const AnsiString& Section, const AnsiString& Ident);

    AnsiString FileName;
};

class TIniFile : public TCustomIniFile {
public:
    using TCustomIniFile::TCustomIniFile;
    ~TIniFile() override;

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) override;
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) override;
    void ReadSection(const AnsiString& Section, TStrings* Strings) override;
    void ReadSections(TStrings* Strings) override;
    void EraseSection(const AnsiString& Section) override;
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident) override;
    // Writes cached profile data to the file.
    void UpdateFile();
};
