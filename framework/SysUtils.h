/*
 * Run-time helpers: the exception classes with their fixed texts and string
 * resources, Format, integer and float conversions, ANSI string helpers, file
 * and folder helpers, dates and the random generator.
 *
 * Two conversions have exact rules that callers rely on:
 *  - StrToInt accepts only an optional sign and ASCII digits within the signed
 *    32-bit range: no blanks, no hex prefix, no exponent, no empty text;
 *  - Round rounds halves to even (nearbyint under round-to-nearest), never
 *    away from zero; RoundHalfEven does the same on an exact integer ratio.
 * Strings count from 1 here (Pos, Copy), as their callers do.
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/System.h"

// ---------------------------------------------------------------------------
// Format: printf-like (%d %u %x %X %s %c %f %e %g %n %p %%, flags, width,
// precision, '*'), with arguments checked at run time.

class TFormatArg {
public:
    enum Kind { kInt, kInt64, kFloat, kString, kChar, kPointer };
    TFormatArg(int v) : kind_(kInt), int_(v) {}
    TFormatArg(unsigned v) : kind_(kInt64), int_(v) {}
    TFormatArg(long v) : kind_(kInt), int_(v) {}
    TFormatArg(unsigned long v) : kind_(kInt64), int_(static_cast<int64_t>(v)) {}
    TFormatArg(long long v) : kind_(kInt64), int_(v) {}
    TFormatArg(unsigned long long v) : kind_(kInt64), int_(static_cast<int64_t>(v)) {}
    TFormatArg(double v) : kind_(kFloat), float_(v) {}
    TFormatArg(long double v) : kind_(kFloat), float_(static_cast<double>(v)) {}
    TFormatArg(char v) : kind_(kChar), int_(static_cast<unsigned char>(v)) {}
    TFormatArg(const char* v) : kind_(kString), string_(v ? v : "") {}
    TFormatArg(const AnsiString& v) : kind_(kString), string_(v) {}
    TFormatArg(const void* v) : kind_(kPointer), int_(static_cast<int64_t>(reinterpret_cast<uintptr_t>(v))) {}

    Kind kind() const { return kind_; }
    int64_t asInteger() const { return int_; }
    double asFloat() const { return kind_ == kFloat ? float_ : static_cast<double>(int_); }
    const AnsiString& asString() const { return string_; }

private:
    Kind kind_;
    int64_t int_ = 0;
    double float_ = 0;
    AnsiString string_;
};

using TFormatArgs = std::initializer_list<TFormatArg>;

// Raises EConvertError "Format '%s' invalid or incompatible with argument" on a mismatch.
AnsiString Format(const AnsiString& format, TFormatArgs args);
AnsiString Format(const AnsiString& format, const std::vector<TFormatArg>& args);

// ---------------------------------------------------------------------------
// Exceptions

// A string resource of the running module; a missing string gives "".
AnsiString LoadStr(int ident);
AnsiString FmtLoadStr(int ident, TFormatArgs args);

class Exception : public TObject, public std::exception {
public:
    explicit Exception(const AnsiString& msg) : Message(msg) {}
    explicit Exception(const char* msg) : Message(msg ? msg : "") {}
    Exception(const AnsiString& format, TFormatArgs args) : Message(::Format(format, args)) {}
    // Message from string resource `ident`.
    explicit Exception(int ident) : Message(LoadStr(ident)) {}
    Exception(int ident, TFormatArgs args) : Message(FmtLoadStr(ident, args)) {}
    Exception(const Exception& other) : TObject(), std::exception(other), Message(other.Message),
                                        HelpContext(other.HelpContext) {}
    Exception& operator=(const Exception& other) {
        Message = other.Message;
        HelpContext = other.HelpContext;
        return *this;
    }

    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
    int HelpContext = 0;
};

#define BRIM_EXCEPTION_CLASS(Name, Base)   \
    class Name : public Base {             \
    public:                                \
        using Base::Base;                  \
    }

// The silent exception: handled without a message.
BRIM_EXCEPTION_CLASS(EAbort, Exception);
BRIM_EXCEPTION_CLASS(EConvertError, Exception);
BRIM_EXCEPTION_CLASS(EListError, Exception);
BRIM_EXCEPTION_CLASS(EStringListError, Exception);
BRIM_EXCEPTION_CLASS(EStreamError, Exception);
BRIM_EXCEPTION_CLASS(EReadError, EStreamError);
BRIM_EXCEPTION_CLASS(EWriteError, EStreamError);
BRIM_EXCEPTION_CLASS(EFilerError, EStreamError);
BRIM_EXCEPTION_CLASS(EFOpenError, EStreamError);
BRIM_EXCEPTION_CLASS(EFCreateError, EStreamError);
BRIM_EXCEPTION_CLASS(EResNotFound, Exception);
BRIM_EXCEPTION_CLASS(EOutOfResources, Exception);
BRIM_EXCEPTION_CLASS(EOutOfMemory, Exception);
BRIM_EXCEPTION_CLASS(EInvalidOperation, Exception);
BRIM_EXCEPTION_CLASS(EInvalidPointer, Exception);
BRIM_EXCEPTION_CLASS(EAbstractError, Exception);
BRIM_EXCEPTION_CLASS(EInvalidGraphic, Exception);
BRIM_EXCEPTION_CLASS(EInvalidGraphicOperation, Exception);
BRIM_EXCEPTION_CLASS(EZeroDivide, Exception);
BRIM_EXCEPTION_CLASS(EThread, Exception);
BRIM_EXCEPTION_CLASS(ERegistryException, Exception);
BRIM_EXCEPTION_CLASS(EComponentError, Exception);
BRIM_EXCEPTION_CLASS(EBitsError, Exception);

class EOSError : public Exception {
public:
    using Exception::Exception;
    DWORD ErrorCode = 0;
};

// Raises EAbort.
[[noreturn]] void Abort();
// The system's text for an error code, without the trailing line break.
AnsiString SysErrorMessage(DWORD error);
// Raises EOSError for GetLastError() (or the given code).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD error);

// ---------------------------------------------------------------------------
// Integer and float conversions

AnsiString IntToStr(int value);
AnsiString IntToStr(int64_t value);
AnsiString IntToHex(int64_t value, int digits);
// Strict decimal: optional '+'/'-' and one or more digits, signed 32-bit range.
int StrToInt(const AnsiString& text);
bool TryStrToInt(const AnsiString& text, int& value);
int StrToIntDef(const AnsiString& text, int fallback);
int64_t StrToInt64(const AnsiString& text);
bool TryStrToInt64(const AnsiString& text, int64_t& value);

// Nearest integer, halves to even.
int64_t Round(double value);
// Toward zero.
int64_t Trunc(double value);
// num / den rounded to nearest with halves to even, on exact integers (den != 0).
int64_t RoundHalfEven(int64_t num, int64_t den);

AnsiString FloatToStr(double value);

// ---------------------------------------------------------------------------
// Strings (positions count from 1)

AnsiString UpperCase(const AnsiString& s);  // ASCII letters only
AnsiString LowerCase(const AnsiString& s);
int CompareText(const AnsiString& a, const AnsiString& b);  // ASCII, case ignored
int CompareStr(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);
AnsiString AnsiUpperCase(const AnsiString& s);  // locale (CharUpperBuffA)
AnsiString AnsiLowerCase(const AnsiString& s);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);  // locale, case ignored
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);
AnsiString Trim(const AnsiString& s);  // bytes <= 32 at both ends
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
// 1-based position of sub in s, 0 when absent.
int Pos(const AnsiString& sub, const AnsiString& s);
// `count` bytes from 1-based `index`, clipped to the string.
AnsiString Copy(const AnsiString& s, int index, int count);
AnsiString StringOfChar(char c, int count);
AnsiString QuotedStr(const AnsiString& s);
enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to, TReplaceFlags flags);

// ---------------------------------------------------------------------------
// File names and files

AnsiString ExtractFilePath(const AnsiString& name);  // with the trailing '\' or ':'
AnsiString ExtractFileDir(const AnsiString& name);   // without it
AnsiString ExtractFileName(const AnsiString& name);
AnsiString ExtractFileExt(const AnsiString& name);   // with the dot
AnsiString ExtractFileDrive(const AnsiString& name);
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext);
AnsiString IncludeTrailingBackslash(const AnsiString& path);
AnsiString ExcludeTrailingBackslash(const AnsiString& path);
AnsiString ExpandFileName(const AnsiString& name);
bool FileExists(const AnsiString& name);
bool DirectoryExists(const AnsiString& name);
bool DeleteFile(const AnsiString& name);
bool RenameFile(const AnsiString& from, const AnsiString& to);
bool CreateDir(const AnsiString& dir);
bool RemoveDir(const AnsiString& dir);
bool ForceDirectories(const AnsiString& dir);
AnsiString GetCurrentDir();
int64_t FileSizeOf(const AnsiString& name);  // -1 when missing

// File attribute bits of TSearchRec::Attr.
enum : int {
    faReadOnly = 0x01, faHidden = 0x02, faSysFile = 0x04, faVolumeID = 0x08,
    faDirectory = 0x10, faArchive = 0x20, faAnyFile = 0x3F
};

struct TSearchRec {
    int Time = 0;
    int64_t Size = 0;
    int Attr = 0;
    AnsiString Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA FindData{};
};
// What FindFirst and FindNext answer: Found, or the system error code that
// ended the search (ERROR_FILE_NOT_FOUND, ERROR_NO_MORE_FILES, ...). A type of
// its own because here 0 means success, while the file functions above answer
// true for success.
enum class TFindResult : DWORD { Found = 0 };
inline DWORD FindErrorCode(TFindResult result) { return static_cast<DWORD>(result); }
// The first entry matching `path` whose attributes `attr` admits (hidden,
// system, volume and directory entries only when asked for); FindClose ends
// the search (a failed FindFirst has already ended it).
TFindResult FindFirst(const AnsiString& path, int attr, TSearchRec& rec);
TFindResult FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// Command line: ParamStr(0) is the executable's path.
int ParamCount();
AnsiString ParamStr(int index);

// ---------------------------------------------------------------------------
// Dates (days since 30 December 1899, fraction = time of day)

using TDateTime = double;
TDateTime Now();
TDateTime Date();
TDateTime EncodeDate(WORD year, WORD month, WORD day);
TDateTime EncodeTime(WORD hour, WORD min, WORD sec, WORD msec);
void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day);
void DecodeTime(TDateTime time, WORD& hour, WORD& min, WORD& sec, WORD& msec);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
void DateTimeToSystemTime(TDateTime dt, SYSTEMTIME& st);
int DayOfWeek(TDateTime date);  // 1 = Sunday

// ---------------------------------------------------------------------------
// Random numbers: a linear generator whose seed callers may set.

extern uint32_t RandSeed;
void Randomize();
int Random(int range);  // 0 <= result < range
double Random();
