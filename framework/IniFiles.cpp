/*
 * INI files over the profile API; see IniFiles.h. Lists come back from the
 * API as zero-separated names ending in two zeros.
 */
#include "framework/IniFiles.h"

namespace {
void addZeroSeparated(const std::vector<char>& buffer, DWORD length, TStrings* strings) {
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] != '\0') continue;
        if (i > start) strings->Add(AnsiString(&buffer[start], i - start));
        start = i + 1;
    }
}
}  // namespace

int TCustomIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
    AnsiString text = ReadString(Section, Ident, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        char* end = nullptr;
        long value = std::strtol(text.c_str() + 2, &end, 16);
        return (end && *end == '\0') ? static_cast<int>(value) : Default;
    }
    return StrToIntDef(text, Default);
}

void TCustomIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TCustomIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings) {
    TStringList names;
    ReadSection(Section, &names);
    Strings->Clear();
    for (int i = 0; i < names.GetCount(); ++i)
        Strings->Add(names.Get(i) + "=" + ReadString(Section, names.Get(i), ""));
}

bool TCustomIniFile::SectionExists(const AnsiString& Section) {
    TStringList names;
    ReadSection(Section, &names);
    return names.GetCount() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& Section, const AnsiString& Ident) {
    TStringList names;
    ReadSection(Section, &names);
    return names.IndexOf(Ident) >= 0;
}

TIniFile::~TIniFile() { UpdateFile(); }

AnsiString TIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
    std::vector<char> buffer(2048);
    DWORD length = GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), buffer.data(),
                                            static_cast<DWORD>(buffer.size()), FileName.c_str());
    return AnsiString(buffer.data(), length);
}

void TIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FileName.c_str()))
        throw Exception("Unable to write to %s", {FileName});
}

void TIniFile::ReadSection(const AnsiString& Section, TStrings* Strings) {
    std::vector<char> buffer(16384);
    DWORD length = GetPrivateProfileStringA(Section.c_str(), nullptr, nullptr, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), FileName.c_str());
    Strings->Clear();
    addZeroSeparated(buffer, length, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) {
    std::vector<char> buffer(16384);
    DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), FileName.c_str());
    Strings->Clear();
    addZeroSeparated(buffer, length, Strings);
}

void TIniFile::EraseSection(const AnsiString& Section) {
    if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FileName.c_str()))
        throw Exception("Unable to write to %s", {FileName});
}

void TIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
    WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, FileName.c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName.c_str()); }
