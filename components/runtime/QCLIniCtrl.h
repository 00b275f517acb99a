// Named values in an INI file or in the registry behind one set of
// operations (unit QCLIniCtrl). The application object owns one instance;
// no window of this program stores anything through it.
//
// Each operation opens the INI file or the registry key, does its work and
// closes it again; only the last section name is remembered. On the INI
// target a section may carry a user prefix ("bob.Main"); lists are erased,
// written and read under the same resolved section.
#pragma once

#include "components/runtime/QCLCustomComponent.h"
#include "components/runtime/qclprocs.h"

#include "framework/Graphics.h"
#include "framework/IniFiles.h"
#include "framework/LocaleConv.h"
#include "framework/Registry.h"

enum TQCLRegRootKey { rpClassesRoot, rpCurrentUser, rpLocalMachine, rpUsers, rpCurrentConfig, rpDynData };
enum TQCLIniTarget { itIniFile, itRegistry, itAuto };

HKEY QCLGetRootKey(TQCLRegRootKey Root);

// The framework's registry INI class opened for one operation on any root:
// read-only (access 0x20019) for reads, with creation (0xF003F) for writes.
class TQCLRegIniFile : public TRegIniFile {
public:
    TQCLRegIniFile(HKEY Root, const AnsiString& Path, bool ReadOnly);
};

// The published properties of Object written to, or read from, Ini (a
// framework INI file or registry INI object) under Section, by the class's
// published-property table: ordinals at their declared default, zero numbers
// and empty texts, and properties a layout would not store, are not written;
// reading keeps a property whose value is missing.
void QCLSaveObjectProperties(TObject* Ini, const AnsiString& Section, TPersistent* Object);
void QCLLoadObjectProperties(TObject* Ini, const AnsiString& Section, TPersistent* Object);

class TQCLIniCtrl : public TQCLCustomComponent {
public:
    explicit TQCLIniCtrl(TComponent* AOwner);

    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    int ReadInteger(const AnsiString& Section, const AnsiString& Ident, int Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, int Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);

    // Numbers, dates and times as text in the user's locale; a stored text
    // that does not convert raises EConvertError.
    double ReadFloat(const AnsiString& Section, const AnsiString& Ident, double Default);
    void WriteFloat(const AnsiString& Section, const AnsiString& Ident, double Value);
    TDateTime ReadDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteDate(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    TDateTime ReadTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    TDateTime ReadDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Default);
    void WriteDateTime(const AnsiString& Section, const AnsiString& Ident, TDateTime Value);
    // Colour names or numbers; a stored text that is neither raises EConvertError.
    TColor ReadColor(const AnsiString& Section, const AnsiString& Ident, TColor Default);
    void WriteColor(const AnsiString& Section, const AnsiString& Ident, TColor Value);
    // Points as "[x,y]" and rectangles as "l,t,r,b" (the toolbox's text forms).
    TPoint ReadPoint(const AnsiString& Section, const AnsiString& Ident, const TPoint& Default);
    void WritePoint(const AnsiString& Section, const AnsiString& Ident, const TPoint& Value);
    TRect ReadRect(const AnsiString& Section, const AnsiString& Ident, const TRect& Default);
    void WriteRect(const AnsiString& Section, const AnsiString& Ident, const TRect& Value);
    // True when a stored font text was applied to the font; a style field that
    // is no integer raises EConvertError and leaves the font as it was.
    bool ReadFont(const AnsiString& Section, const AnsiString& Ident, TFont* Font);
    void WriteFont(const AnsiString& Section, const AnsiString& Ident, TFont* Font);

    // Entries prefix + GetCounterIdent(0), (1), ...; reading stops at the first empty one.
    void ReadStrings(const AnsiString& Section, const AnsiString& Prefix, TStrings* List);
    void WriteStrings(const AnsiString& Section, const AnsiString& Prefix, TStrings* List);
    void ReadStringsExt(const AnsiString& Section, const AnsiString& Prefix, TStrings* List, int Count);
    void WriteStringsExt(const AnsiString& Section, const AnsiString& Prefix, TStrings* List, int Count);
    // name=value lines; lines without "=" are skipped when writing.
    void ReadColorList(const AnsiString& Section, TStrings* List);
    void WriteColorList(const AnsiString& Section, TStrings* List);

    // The object's published properties (QCLSaveObjectProperties and
    // QCLLoadObjectProperties) under the section, in the INI file or the
    // registry key of this component.
    void ReadObject(const AnsiString& Section, TPersistent* Object);
    void WriteObject(const AnsiString& Section, TPersistent* Object);

    void ReadSection(const AnsiString& Section, TStrings* List);
    void ReadSections(TStrings* List);
    void ReadSectionValues(const AnsiString& Section, TStrings* List);
    void EraseSection(const AnsiString& Section);
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident);

    AnsiString GetIniName();
    AnsiString GetRegPath();
    AnsiString GetSectionName(const AnsiString& Section);
    AnsiString GetCounterIdent(int Number) const;
    virtual AnsiString GetNetUserName();

    bool GetAlphaCounter() const { return alphaCounter_; }
    void SetAlphaCounter(bool value);
    AnsiString GetIniFile() const { return iniFile_; }
    void SetIniFile(const AnsiString& value);
    int GetMaxEntries() const { return maxEntries_; }
    void SetMaxEntries(int value);
    bool GetNetUser() const { return netUser_; }
    void SetNetUser(bool value);
    TQCLIniTarget GetTarget() const { return target_; }
    void SetTarget(TQCLIniTarget value) { target_ = value; }

    BRIM_PROPERTY(AlphaCounter, TQCLIniCtrl::GetAlphaCounter, TQCLIniCtrl::SetAlphaCounter);
    BRIM_PROPERTY(IniFile, TQCLIniCtrl::GetIniFile, TQCLIniCtrl::SetIniFile);
    BRIM_PROPERTY(MaxEntries, TQCLIniCtrl::GetMaxEntries, TQCLIniCtrl::SetMaxEntries);
    BRIM_PROPERTY(NetUser, TQCLIniCtrl::GetNetUser, TQCLIniCtrl::SetNetUser);
    BRIM_PROPERTY(Target, TQCLIniCtrl::GetTarget, TQCLIniCtrl::SetTarget);

    bool Common = true;
    TQCLPathPrefix IniPrefix = ppWindows;
    AnsiString User;
    AnsiString RegPath;
    TQCLRegRootKey RegRoot = rpCurrentUser;

    AnsiString ClassName() const override { return "TQCLIniCtrl"; }
    void GetPublishedProperties(TPublishedProperties& List) override;

private:
    bool onRegistry() const { return target_ != itIniFile; }
    template <class Body> auto withStore(bool write, Body body);

    bool alphaCounter_ = false;
    AnsiString iniFile_;
    int maxEntries_ = 16;
    bool netUser_ = false;
    TQCLIniTarget target_ = itAuto;
    AnsiString lastSection_;
};
