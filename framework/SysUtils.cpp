/*
 * Run-time helpers; see SysUtils.h. Format re-builds each conversion as a
 * printf conversion and checks the argument's kind first, so a wrong argument
 * raises instead of reading garbage.
 */
#include "framework/SysUtils.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <shellapi.h>

namespace {

[[noreturn]] void formatError(const AnsiString& format) {
    throw EConvertError("Format '%s' invalid or incompatible with argument", {format});
}

// Appends one converted argument; `flags` holds flags, width and precision.
void appendConversion(AnsiString& out, const AnsiString& flags, char conv, const TFormatArg& arg,
                      const AnsiString& format) {
    char buffer[512];
    AnsiString printfSpec = "%" + flags;
    switch (conv) {
    case 'd':
    case 'u':
    case 'x':
    case 'X': {
        if (arg.kind() != TFormatArg::kInt && arg.kind() != TFormatArg::kInt64 && arg.kind() != TFormatArg::kChar)
            formatError(format);
        long long value = arg.asInteger();
        if (conv == 'u' || conv == 'x' || conv == 'X') {
            if (arg.kind() == TFormatArg::kInt) value = static_cast<uint32_t>(value);
        }
        printfSpec += "ll";
        printfSpec += conv;
        std::snprintf(buffer, sizeof buffer, printfSpec.c_str(), value);
        out += buffer;
        return;
    }
    case 'f':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'n': {
        if (arg.kind() == TFormatArg::kString || arg.kind() == TFormatArg::kPointer) formatError(format);
        printfSpec += (conv == 'n') ? 'f' : conv;
        std::snprintf(buffer, sizeof buffer, printfSpec.c_str(), arg.asFloat());
        out += buffer;
        return;
    }
    case 's': {
        if (arg.kind() == TFormatArg::kChar) {
            out += static_cast<char>(arg.asInteger());
            return;
        }
        if (arg.kind() != TFormatArg::kString) formatError(format);
        if (flags.empty()) {
            out += arg.asString();  // keeps embedded zero bytes
            return;
        }
        printfSpec += 's';
        std::vector<char> big(arg.asString().size() + 512);
        std::snprintf(big.data(), big.size(), printfSpec.c_str(), arg.asString().c_str());
        out += big.data();
        return;
    }
    case 'c':
        if (arg.kind() != TFormatArg::kChar && arg.kind() != TFormatArg::kInt) formatError(format);
        out += static_cast<char>(arg.asInteger());
        return;
    case 'p':
        std::snprintf(buffer, sizeof buffer, "%08lX", static_cast<unsigned long>(arg.asInteger()));
        out += buffer;
        return;
    default:
        formatError(format);
    }
}

}  // namespace

AnsiString Format(const AnsiString& format, TFormatArgs args) {
    return Format(format, std::vector<TFormatArg>(args));
}

AnsiString Format(const AnsiString& format, const std::vector<TFormatArg>& args) {
    AnsiString out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size()) formatError(format);
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        AnsiString flags;
        while (i < format.size() && std::strchr("-+ #0", format[i])) flags += format[i++];
        auto readNumber = [&]() {
            if (i < format.size() && format[i] == '*') {
                if (next >= args.size()) formatError(format);
                flags += std::to_string(args[next++].asInteger());
                ++i;
                return;
            }
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') flags += format[i++];
        };
        readNumber();
        if (i < format.size() && format[i] == '.') {
            flags += format[i++];
            readNumber();
        }
        if (i >= format.size()) formatError(format);
        char conv = format[i];
        if (next >= args.size()) formatError(format);
        appendConversion(out, flags, conv, args[next++], format);
    }
    return out;
}

AnsiString LoadStr(int ident) {
    char buffer[4096];
    int length = LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(ident), buffer, sizeof buffer);
    return length > 0 ? AnsiString(buffer, static_cast<size_t>(length)) : AnsiString();
}

AnsiString FmtLoadStr(int ident, TFormatArgs args) { return Format(LoadStr(ident), args); }

void Abort() { throw EAbort("Operation aborted"); }

AnsiString SysErrorMessage(DWORD error) {
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    AnsiString result = (length && text) ? AnsiString(text, length) : AnsiString();
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' ' ||
                               result.back() == '.'))
        result.pop_back();
    return result;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(DWORD error) {
    EOSError failure = error ? EOSError("System Error.  Code: %d.\r\n%s", {static_cast<int>(error), SysErrorMessage(error)})
                             : EOSError("A call to an OS function failed");
    failure.ErrorCode = error;
    throw failure;
}

// ---------------------------------------------------------------------------

AnsiString IntToStr(int value) { return std::to_string(value); }
AnsiString IntToStr(int64_t value) { return std::to_string(static_cast<long long>(value)); }

AnsiString IntToHex(int64_t value, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

bool TryStrToInt64(const AnsiString& text, int64_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size()) return false;
    // Magnitude limit of int64 plus one for the negative end.
    const unsigned long long limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    unsigned long long magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        unsigned digit = static_cast<unsigned>(c - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

bool TryStrToInt(const AnsiString& text, int& value) {
    int64_t wide = 0;
    if (!TryStrToInt64(text, wide) || wide < INT32_MIN || wide > INT32_MAX) return false;
    value = static_cast<int>(wide);
    return true;
}

int StrToInt(const AnsiString& text) {
    int value = 0;
    if (!TryStrToInt(text, value)) throw EConvertError("'%s' is not a valid integer value", {text});
    return value;
}

int StrToIntDef(const AnsiString& text, int fallback) {
    int value = 0;
    return TryStrToInt(text, value) ? value : fallback;
}

int64_t StrToInt64(const AnsiString& text) {
    int64_t value = 0;
    if (!TryStrToInt64(text, value)) throw EConvertError("'%s' is not a valid integer value", {text});
    return value;
}

int64_t Round(double value) {
    int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return static_cast<int64_t>(rounded);
}

int64_t Trunc(double value) { return static_cast<int64_t>(std::trunc(value)); }

int64_t RoundHalfEven(int64_t num, int64_t den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    int64_t quotient = num / den;  // toward zero
    int64_t remainder = num % den;
    if (remainder == 0) return quotient;
    int64_t twice = (remainder < 0 ? -remainder : remainder) * 2;
    int64_t step = num < 0 ? -1 : 1;
    if (twice > den || (twice == den && (quotient % 2 != 0))) quotient += step;
    return quotient;
}

AnsiString FloatToStr(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

// ---------------------------------------------------------------------------

AnsiString UpperCase(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

AnsiString LowerCase(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int d = static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]);
        if (d) return d;
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

int CompareText(const AnsiString& a, const AnsiString& b) { return CompareStr(UpperCase(a), UpperCase(b)); }
bool SameText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b) == 0; }

AnsiString AnsiUpperCase(const AnsiString& s) {
    AnsiString r = s;
    if (!r.empty()) CharUpperBuffA(&r[0], static_cast<DWORD>(r.size()));
    return r;
}

AnsiString AnsiLowerCase(const AnsiString& s) {
    AnsiString r = s;
    if (!r.empty()) CharLowerBuffA(&r[0], static_cast<DWORD>(r.size()));
    return r;
}

int AnsiCompareText(const AnsiString& a, const AnsiString& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) - CSTR_EQUAL;
}

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) - CSTR_EQUAL;
}

bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) == 0; }

AnsiString TrimLeft(const AnsiString& s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= 32) ++i;
    return s.substr(i);
}

AnsiString TrimRight(const AnsiString& s) {
    size_t n = s.size();
    while (n > 0 && static_cast<unsigned char>(s[n - 1]) <= 32) --n;
    return s.substr(0, n);
}

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

int Pos(const AnsiString& sub, const AnsiString& s) {
    if (sub.empty()) return 0;
    size_t at = s.find(sub);
    return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString Copy(const AnsiString& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || static_cast<size_t>(index) > s.size()) return AnsiString();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

AnsiString StringOfChar(char c, int count) { return count > 0 ? AnsiString(static_cast<size_t>(count), c) : ""; }

AnsiString QuotedStr(const AnsiString& s) {
    AnsiString r = "'";
    for (char c : s) {
        r += c;
        if (c == '\'') r += c;
    }
    return r + "'";
}

AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to, TReplaceFlags flags) {
    if (from.empty()) return s;
    AnsiString haystack = flags.Contains(rfIgnoreCase) ? AnsiUpperCase(s) : s;
    AnsiString needle = flags.Contains(rfIgnoreCase) ? AnsiUpperCase(from) : from;
    AnsiString out;
    size_t start = 0;
    while (true) {
        size_t at = haystack.find(needle, start);
        if (at == AnsiString::npos) break;
        out += s.substr(start, at - start) + to;
        start = at + from.size();
        if (!flags.Contains(rfReplaceAll)) break;
    }
    return out + s.substr(start);
}

// ---------------------------------------------------------------------------

namespace {
size_t lastDelimiter(const AnsiString& name, const char* delimiters) {
    size_t at = name.find_last_of(delimiters);
    return at;
}
}  // namespace

AnsiString ExtractFilePath(const AnsiString& name) {
    size_t at = lastDelimiter(name, "\\:/");
    return at == AnsiString::npos ? AnsiString() : name.substr(0, at + 1);
}

AnsiString ExtractFileDir(const AnsiString& name) {
    size_t at = lastDelimiter(name, "\\:/");
    if (at == AnsiString::npos) return AnsiString();
    if (at > 0 && (name[at] == '\\' || name[at] == '/') && name[at - 1] != ':' &&
        name.find_first_of("\\:/") != at)
        return name.substr(0, at);
    return name.substr(0, at + 1);
}

AnsiString ExtractFileName(const AnsiString& name) {
    size_t at = lastDelimiter(name, "\\:/");
    return at == AnsiString::npos ? name : name.substr(at + 1);
}

AnsiString ExtractFileExt(const AnsiString& name) {
    size_t at = lastDelimiter(name, ".\\:/");
    return (at != AnsiString::npos && name[at] == '.') ? name.substr(at) : AnsiString();
}

AnsiString ExtractFileDrive(const AnsiString& name) {
    if (name.size() >= 2 && name[1] == ':') return name.substr(0, 2);
    return AnsiString();
}

AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& ext) {
    size_t at = lastDelimiter(name, ".\\:/");
    if (at == AnsiString::npos || name[at] != '.') return name + ext;
    return name.substr(0, at) + ext;
}

AnsiString IncludeTrailingBackslash(const AnsiString& path) {
    return (!path.empty() && path.back() == '\\') ? path : path + "\\";
}

AnsiString ExcludeTrailingBackslash(const AnsiString& path) {
    return (!path.empty() && path.back() == '\\') ? path.substr(0, path.size() - 1) : path;
}

AnsiString ExpandFileName(const AnsiString& name) {
    char buffer[MAX_PATH * 2];
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA(name.c_str(), sizeof buffer, buffer, &filePart);
    return (length && length < sizeof buffer) ? AnsiString(buffer, length) : name;
}

bool FileExists(const AnsiString& name) {
    DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const AnsiString& name) {
    DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFile(const AnsiString& name) { return ::DeleteFileA(name.c_str()) != FALSE; }
bool RenameFile(const AnsiString& from, const AnsiString& to) { return ::MoveFileA(from.c_str(), to.c_str()) != FALSE; }
bool CreateDir(const AnsiString& dir) { return ::CreateDirectoryA(dir.c_str(), nullptr) != FALSE; }
bool RemoveDir(const AnsiString& dir) { return ::RemoveDirectoryA(dir.c_str()) != FALSE; }

bool ForceDirectories(const AnsiString& dir) {
    AnsiString path = ExcludeTrailingBackslash(dir);
    if (path.empty()) return false;
    if (DirectoryExists(path) || (path.size() == 2 && path[1] == ':')) return true;
    AnsiString parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
    return CreateDir(path) || DirectoryExists(path);
}

AnsiString GetCurrentDir() {
    char buffer[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return AnsiString(buffer, length < sizeof buffer ? length : 0);
}

int64_t FileSizeOf(const AnsiString& name) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {
bool matchesSearch(TSearchRec& rec) {
    const WIN32_FIND_DATAA& d = rec.FindData;
    int attr = static_cast<int>(d.dwFileAttributes & 0x3F);
    if (attr & rec.ExcludeAttr) return false;
    FILETIME local;
    WORD date = 0, time = 0;
    FileTimeToLocalFileTime(&d.ftLastWriteTime, &local);
    FileTimeToDosDateTime(&local, &date, &time);
    rec.Time = (static_cast<int>(date) << 16) | time;
    rec.Size = (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
    rec.Attr = attr;
    rec.Name = d.cFileName;
    return true;
}

// The error that ended a search; never Found, even if the system left no code.
TFindResult searchEnded() {
    DWORD error = GetLastError();
    return static_cast<TFindResult>(error != 0 ? error : ERROR_NO_MORE_FILES);
}
}  // namespace

TFindResult FindFirst(const AnsiString& path, int attr, TSearchRec& rec) {
    rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    rec.FindHandle = FindFirstFileA(path.c_str(), &rec.FindData);
    if (rec.FindHandle == INVALID_HANDLE_VALUE) return searchEnded();
    if (matchesSearch(rec)) return TFindResult::Found;
    TFindResult result = FindNext(rec);
    if (result != TFindResult::Found) FindClose(rec);
    return result;
}

TFindResult FindNext(TSearchRec& rec) {
    while (FindNextFileA(rec.FindHandle, &rec.FindData)) {
        if (matchesSearch(rec)) return TFindResult::Found;
    }
    return searchEnded();
}

void FindClose(TSearchRec& rec) {
    if (rec.FindHandle != INVALID_HANDLE_VALUE) ::FindClose(rec.FindHandle);
    rec.FindHandle = INVALID_HANDLE_VALUE;
}

namespace {
// Splits the command line the way the program's own start-up code does: blanks
// separate, double quotes group and are removed.
std::vector<AnsiString> commandLineParts() {
    std::vector<AnsiString> parts;
    const char* p = GetCommandLineA();
    while (*p) {
        while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
        if (!*p) break;
        AnsiString part;
        bool quoted = false;
        while (*p && (quoted || static_cast<unsigned char>(*p) > ' ')) {
            if (*p == '"') quoted = !quoted;
            else part += *p;
            ++p;
        }
        parts.push_back(part);
    }
    return parts;
}
}  // namespace

int ParamCount() {
    auto parts = commandLineParts();
    return parts.empty() ? 0 : static_cast<int>(parts.size()) - 1;
}

AnsiString ParamStr(int index) {
    if (index == 0) {
        char buffer[MAX_PATH * 2];
        DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
        return AnsiString(buffer, length);
    }
    auto parts = commandLineParts();
    return (index > 0 && static_cast<size_t>(index) < parts.size()) ? parts[static_cast<size_t>(index)] : AnsiString();
}

// ---------------------------------------------------------------------------

namespace {
constexpr double msPerDay = 86400000.0;
bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
const int daysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
}  // namespace

TDateTime EncodeDate(WORD year, WORD month, WORD day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth[isLeap(year)][month - 1])
        throw EConvertError("Invalid argument to date encode");
    int days = day;
    for (int m = 0; m < month - 1; ++m) days += daysInMonth[isLeap(year)][m];
    int y = year - 1;
    days += y * 365 + y / 4 - y / 100 + y / 400;
    return static_cast<double>(days - 693594);
}

TDateTime EncodeTime(WORD hour, WORD min, WORD sec, WORD msec) {
    if (hour > 23 || min > 59 || sec > 59 || msec > 999) throw EConvertError("Invalid argument to time encode");
    return (hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / msPerDay;
}

void DecodeDate(TDateTime date, WORD& year, WORD& month, WORD& day) {
    int days = static_cast<int>(std::floor(date)) + 693593;  // days since 1 Jan 0001, 0-based
    if (days < 0) {
        year = month = day = 0;
        return;
    }
    int y400 = days / 146097, rest = days % 146097;
    int y100 = std::min(rest / 36524, 3);
    rest -= y100 * 36524;
    int y4 = rest / 1461;
    rest %= 1461;
    int y1 = std::min(rest / 365, 3);
    rest -= y1 * 365;
    int y = y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1;
    int m = 0;
    while (rest >= daysInMonth[isLeap(y)][m]) rest -= daysInMonth[isLeap(y)][m++];
    year = static_cast<WORD>(y);
    month = static_cast<WORD>(m + 1);
    day = static_cast<WORD>(rest + 1);
}

void DecodeTime(TDateTime time, WORD& hour, WORD& min, WORD& sec, WORD& msec) {
    double fraction = std::fabs(time - std::floor(time));
    long long ms = static_cast<long long>(std::llround(fraction * msPerDay));
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<WORD>(ms / 3600000);
    min = static_cast<WORD>(ms / 60000 % 60);
    sec = static_cast<WORD>(ms / 1000 % 60);
    msec = static_cast<WORD>(ms % 1000);
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

void DateTimeToSystemTime(TDateTime dt, SYSTEMTIME& st) {
    st = SYSTEMTIME{};
    DecodeDate(dt, st.wYear, st.wMonth, st.wDay);
    DecodeTime(dt, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(dt) - 1);
}

TDateTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

TDateTime Date() { return std::floor(Now()); }

int DayOfWeek(TDateTime date) {
    int days = static_cast<int>(std::floor(date));
    // 30 Dec 1899 was a Saturday (7).
    return ((days % 7) + 7 + 6) % 7 + 1;
}

// ---------------------------------------------------------------------------

uint32_t RandSeed = 0;

void Randomize() { RandSeed = GetTickCount() ^ (GetCurrentProcessId() << 16); }

int Random(int range) {
    RandSeed = RandSeed * 134775813u + 1u;
    if (range <= 0) return 0;
    return static_cast<int>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(range)) >> 32);
}

double Random() {
    RandSeed = RandSeed * 134775813u + 1u;
    return RandSeed / 4294967296.0;
}
