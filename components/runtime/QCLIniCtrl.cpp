// Named values in an INI file or in the registry.
#include "components/runtime/QCLIniCtrl.h"

#include "components/runtime/Qclutils.h"

#include "components/runtime/qclclass.h"
#include "components/runtime/qclstrings.h"
#include "components/runtime/qclsysin.h"

namespace {

constexpr REGSAM kReadAccess = 0x20019;
constexpr REGSAM kWriteAccess = 0xF003F;

AnsiString exeIniName() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ChangeFileExt(path, ".INI");
}

bool hasExtension(const AnsiString& name) {
    const auto dot = name.rfind('.');
    return dot != AnsiString::npos && name.find_first_of("\\/:", dot) == AnsiString::npos;
}

}  // namespace

HKEY QCLGetRootKey(TQCLRegRootKey Root) {
    switch (Root) {
    case rpClassesRoot: return HKEY_CLASSES_ROOT;
    case rpCurrentUser: return HKEY_CURRENT_USER;
    case rpLocalMachine: return HKEY_LOCAL_MACHINE;
    case rpUsers: return HKEY_USERS;
    case rpCurrentConfig: return HKEY_CURRENT_CONFIG;
    case rpDynData: return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000006));
    }
    return HKEY_CURRENT_USER;
}

// Opened read-only first so that nothing is created under the default root;
// then the wanted root and access are applied.
TQCLRegIniFile::TQCLRegIniFile(HKEY Root, const AnsiString& Path, bool ReadOnly) : TRegIniFile(Path, kReadAccess) {
    CloseKey();
    LazyWrite = true;
    Access = ReadOnly ? kReadAccess : kWriteAccess;
    RootKey = Root;
    OpenKey("\\" + Path, !ReadOnly);
}

TQCLIniCtrl::TQCLIniCtrl(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}

template <class Body>
auto TQCLIniCtrl::withStore(bool write, Body body) {
    if (onRegistry()) {
        TQCLRegIniFile store(QCLGetRootKey(RegRoot), GetRegPath(), !write);
        return body(store);
    }
    TIniFile store(GetIniName());
    return body(store);
}

AnsiString TQCLIniCtrl::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default) {
    const AnsiString section = GetSectionName(Section);
    return withStore(false, [&](auto& s) { return s.ReadString(section, Ident, Default); });
}

void TQCLIniCtrl::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { s.WriteString(section, Ident, Value); });
}

int TQCLIniCtrl::ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default) {
    const AnsiString section = GetSectionName(Section);
    return withStore(false, [&](auto& s) { return s.ReadInteger(section, Ident, Default); });
}

void TQCLIniCtrl::WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { s.WriteInteger(section, Ident, Value); });
}

bool TQCLIniCtrl::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default) {
    const AnsiString section = GetSectionName(Section);
    return withStore(false, [&](auto& s) { return s.ReadBool(section, Ident, Default); });
}

void TQCLIniCtrl::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { s.WriteBool(section, Ident, Value); });
}

double TQCLIniCtrl::ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default) {
    return StrToFloat(ReadString(Section, Ident, FloatToStrLocale(Default)));
}

void TQCLIniCtrl::WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value) {
    WriteString(Section, Ident, FloatToStrLocale(Value));
}

TDateTime TQCLIniCtrl::ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
    return StrToDate(ReadString(Section, Ident, DateToStr(Default)));
}

void TQCLIniCtrl::WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TQCLIniCtrl::ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
    return StrToTime(ReadString(Section, Ident, TimeToStr(Default)));
}

void TQCLIniCtrl::WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
    WriteString(Section, Ident, TimeToStr(Value));
}

TDateTime TQCLIniCtrl::ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default) {
    return StrToDateTime(ReadString(Section, Ident, DateTimeToStr(Default)));
}

void TQCLIniCtrl::WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateTimeToStr(Value));
}

TColor TQCLIniCtrl::ReadColor(const AnsiString& Section, const AnsiString& Ident, TColor Default) {
    return StringToColor(ReadString(Section, Ident, ColorToString(Default)));
}

void TQCLIniCtrl::WriteColor(const AnsiString& Section, const AnsiString& Ident, TColor Value) {
    WriteString(Section, Ident, ColorToString(Value));
}

TPoint TQCLIniCtrl::ReadPoint(const AnsiString& Section, const AnsiString& Ident, const TPoint& Default) {
    return QCLStringToPoint(ReadString(Section, Ident, QCLPointToString(Default)));
}

void TQCLIniCtrl::WritePoint(const AnsiString& Section, const AnsiString& Ident, const TPoint& Value) {
    WriteString(Section, Ident, QCLPointToString(Value));
}

TRect TQCLIniCtrl::ReadRect(const AnsiString& Section, const AnsiString& Ident, const TRect& Default) {
    return QCLStringToRect(ReadString(Section, Ident, QCLRectToString(Default)));
}

void TQCLIniCtrl::WriteRect(const AnsiString& Section, const AnsiString& Ident, const TRect& Value) {
    WriteString(Section, Ident, QCLRectToString(Value));
}

bool TQCLIniCtrl::ReadFont(const AnsiString& Section, const AnsiString& Ident, TFont* Font) {
    const AnsiString text = ReadString(Section, Ident, "");
    if (text.empty()) return false;
    QCLStringToFont(text, Font);
    return true;
}

void TQCLIniCtrl::WriteFont(const AnsiString& Section, const AnsiString& Ident, TFont* Font) {
    WriteString(Section, Ident, QCLFontToString(Font));
}

void TQCLIniCtrl::ReadStrings(const AnsiString& Section, const AnsiString& Prefix, TStrings* List) {
    ReadStringsExt(Section, Prefix, List, maxEntries_);
}

void TQCLIniCtrl::WriteStrings(const AnsiString& Section, const AnsiString& Prefix, TStrings* List) {
    WriteStringsExt(Section, Prefix, List, maxEntries_);
}

void TQCLIniCtrl::ReadStringsExt(const AnsiString& Section, const AnsiString& Prefix, TStrings* List, int Count) {
    List->Clear();
    for (int i = 0; i < Count; ++i) {
        const AnsiString value = ReadString(Section, Prefix + GetCounterIdent(i), "");
        if (value.empty())
            break;
        List->Add(value);
    }
}

void TQCLIniCtrl::WriteStringsExt(const AnsiString& Section, const AnsiString& Prefix, TStrings* List, int Count) {
    EraseSection(Section);
    const int last = std::min(List->Count() - 1, Count - 1);
    for (int i = 0; i <= last; ++i)
        WriteString(Section, Prefix + GetCounterIdent(i), List->Get(i));
}

void TQCLIniCtrl::ReadColorList(const AnsiString& Section, TStrings* List) { ReadSectionValues(Section, List); }

void TQCLIniCtrl::WriteColorList(const AnsiString& Section, TStrings* List) {
    for (int i = 0; i < List->Count(); ++i) {
        const AnsiString line = List->Get(i);
        const auto equals = line.find('=');
        if (equals == AnsiString::npos)
            continue;
        const AnsiString name = line.substr(0, equals);
        WriteString(Section, name, List->GetValue(name));
    }
}

void TQCLIniCtrl::ReadSection(const AnsiString& Section, TStrings* List) {
    const AnsiString section = GetSectionName(Section);
    withStore(false, [&](auto& s) { s.ReadSection(section, List); });
}

void TQCLIniCtrl::ReadSections(TStrings* List) {
    withStore(false, [&](auto& s) { s.ReadSections(List); });
}

void TQCLIniCtrl::ReadSectionValues(const AnsiString& Section, TStrings* List) {
    const AnsiString section = GetSectionName(Section);
    withStore(false, [&](auto& s) { s.ReadSectionValues(section, List); });
}

void TQCLIniCtrl::EraseSection(const AnsiString& Section) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { s.EraseSection(section); });
}

void TQCLIniCtrl::DeleteKey(const AnsiString& Section, const AnsiString& Ident) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { s.DeleteKey(section, Ident); });
}

AnsiString TQCLIniCtrl::GetIniName() {
    if (iniFile_.empty())
        iniFile_ = exeIniName();
    if (IniPrefix == ppFixed)
        return iniFile_;
    return QCLCreatePathPrefix(IniPrefix, true) + ExtractFileName(iniFile_);
}

AnsiString TQCLIniCtrl::GetRegPath() {
    if (!QCLEmpty(RegPath))
        return QCLSlashAdd(RegPath);
    return QCLApplication ? QCLApplication->GetDefaultRegPath() : AnsiString("Software\\");
}

AnsiString TQCLIniCtrl::GetSectionName(const AnsiString& Section) {
    if (QCLEmpty(Section))
        return QCLEmpty(lastSection_) ? AnsiString("Common") : lastSection_;
    AnsiString result;
    if (!onRegistry()) {
        if (Common)
            result = Section;
        else if (netUser_)
            result = GetNetUserName() + "." + Section;
        else
            result = User + "." + Section;
    } else {
        result = Section == "#ROOT" ? AnsiString() : Section;
    }
    lastSection_ = result;
    return result;
}

AnsiString TQCLIniCtrl::GetCounterIdent(int Number) const {
    return alphaCounter_ ? AnsiString(1, static_cast<char>(65 + Number)) : IntToStr(Number);
}

AnsiString TQCLIniCtrl::GetNetUserName() { return QCLSIUserName(); }

void TQCLIniCtrl::SetAlphaCounter(bool value) {
    alphaCounter_ = value;
    if (value && maxEntries_ > 26)
        maxEntries_ = 26;
}

void TQCLIniCtrl::SetIniFile(const AnsiString& value) {
    iniFile_ = value.empty() || hasExtension(value) ? value : value + ".INI";
}

void TQCLIniCtrl::SetMaxEntries(int value) {
    if (value < 0 || value > 255 || (alphaCounter_ && value > 26))
        return;
    maxEntries_ = value;
}

void TQCLIniCtrl::SetNetUser(bool value) {
    netUser_ = value;
    if (value)
        User = GetNetUserName();
}

void TQCLIniCtrl::WriteObject(const AnsiString& Section, TPersistent* Object) {
    const AnsiString section = GetSectionName(Section);
    withStore(true, [&](auto& s) { QCLSaveObjectProperties(&s, section, Object); });
}

void TQCLIniCtrl::ReadObject(const AnsiString& Section, TPersistent* Object) {
    const AnsiString section = GetSectionName(Section);
    withStore(false, [&](auto& s) { QCLLoadObjectProperties(&s, section, Object); });
}
