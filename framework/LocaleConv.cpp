/*
 * Locale conversions; see LocaleConv.h. Windows' own format pictures
 * ("M/d/yyyy", "h:mm:ss tt") are translated once into the framework notation
 * so that one formatter and one parser serve both.
 */
#include "framework/LocaleConv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool loaded = false;
TFormatSettings settings;

AnsiString localeText(LCTYPE type, const char* fallback) {
    char buffer[128] = {};
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 1 ? AnsiString(buffer) : AnsiString(fallback);
}

// Windows picture -> framework notation.
AnsiString translatePicture(const AnsiString& picture, bool time) {
    // Hours are 12-hour exactly when the picture has an AM/PM part ("tt").
    AnsiString out;
    for (size_t i = 0; i < picture.size();) {
        char c = picture[i];
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        if (c == '\'') {
            size_t end = picture.find('\'', i + 1);
            if (end == AnsiString::npos) end = picture.size() - 1;
            out += picture.substr(i, end - i + 1);
            i = end + 1;
            continue;
        }
        switch (c) {
        case 'M': out += run >= 2 ? "mm" : "m"; break;
        case 'm': out += time ? (run >= 2 ? "nn" : "n") : (run >= 2 ? "mm" : "m"); break;
        case 'H':
        case 'h': out += run >= 2 ? "hh" : "h"; break;
        case 't': out += "ampm"; break;
        case 'd': out += run >= 4 ? "dddd" : run == 3 ? "ddd" : run == 2 ? "dd" : "d"; break;
        case 'y': out += run >= 3 ? "yyyy" : "yy"; break;
        default: out += picture.substr(i, run); break;
        }
        i += run;
    }
    return out;
}

[[noreturn]] void convertError(const char* what, const AnsiString& text) {
    throw EConvertError(Format("'%s' is not a valid %s", {text, what}));
}

std::vector<int> numbersOf(const AnsiString& text, char separator, bool& ok) {
    std::vector<int> numbers;
    ok = true;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        AnsiString part = Trim(text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start));
        int value = 0;
        if (!TryStrToInt(part, value) || value < 0) {
            ok = false;
            return numbers;
        }
        numbers.push_back(value);
        if (end == AnsiString::npos) break;
        start = end + 1;
    }
    return numbers;
}

}  // namespace

void GetLocaleFormatSettings() {
    settings.DecimalSeparator = localeText(LOCALE_SDECIMAL, ".")[0];
    settings.DateSeparator = localeText(LOCALE_SDATE, "/")[0];
    settings.TimeSeparator = localeText(LOCALE_STIME, ":")[0];
    settings.ShortDateFormat = translatePicture(localeText(LOCALE_SSHORTDATE, "M/d/yyyy"), false);
    settings.LongTimeFormat = translatePicture(localeText(LOCALE_STIMEFORMAT, "h:mm:ss tt"), true);
    settings.TimeAMString = localeText(LOCALE_S1159, "AM");
    settings.TimePMString = localeText(LOCALE_S2359, "PM");
    loaded = true;
}

TFormatSettings& FormatSettings() {
    if (!loaded) GetLocaleFormatSettings();
    return settings;
}

AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime) {
    const TFormatSettings& fs = FormatSettings();
    WORD year, month, day, hour, minute, second, msec;
    DecodeDate(DateTime, year, month, day);
    DecodeTime(DateTime, hour, minute, second, msec);
    bool twelveHour = LowerCase(Format).find("ampm") != AnsiString::npos ||
                      LowerCase(Format).find("am/pm") != AnsiString::npos;
    auto two = [](int v) {
        char b[8];
        std::snprintf(b, sizeof b, "%02d", v);
        return AnsiString(b);
    };
    AnsiString out;
    for (size_t i = 0; i < Format.size();) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(Format[i])));
        size_t run = 1;
        while (i + run < Format.size() && std::tolower(static_cast<unsigned char>(Format[i + run])) == c) ++run;
        AnsiString rest = LowerCase(Format.substr(i));
        if (c == '\'' || c == '"') {
            size_t end = Format.find(Format[i], i + 1);
            if (end == AnsiString::npos) end = Format.size();
            out += Format.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (rest.rfind("ampm", 0) == 0) {
            out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
            continue;
        }
        if (rest.rfind("am/pm", 0) == 0) {
            out += hour < 12 ? "am" : "pm";
            i += 5;
            continue;
        }
        int h12 = hour % 12 == 0 ? 12 : hour % 12;
        switch (c) {
        case 'd': out += run >= 2 ? two(day) : IntToStr(day); break;
        case 'm': out += run >= 2 ? two(month) : IntToStr(month); break;
        case 'y': out += run >= 3 ? IntToStr(year) : two(year % 100); break;
        case 'h': out += run >= 2 ? two(twelveHour ? h12 : hour) : IntToStr(twelveHour ? h12 : hour); break;
        case 'n': out += run >= 2 ? two(minute) : IntToStr(minute); break;
        case 's': out += run >= 2 ? two(second) : IntToStr(second); break;
        case 'z': {
            char b[8];
            std::snprintf(b, sizeof b, run >= 3 ? "%03d" : "%d", msec);
            out += b;
            break;
        }
        case '/': out += AnsiString(run, fs.DateSeparator); break;
        case ':': out += AnsiString(run, fs.TimeSeparator); break;
        default: out += Format.substr(i, run); break;
        }
        i += run;
    }
    return out;
}

AnsiString DateToStr(TDateTime Date) { return FormatDateTime(FormatSettings().ShortDateFormat, Date); }
AnsiString TimeToStr(TDateTime Time) { return FormatDateTime(FormatSettings().LongTimeFormat, Time); }

AnsiString DateTimeToStr(TDateTime DateTime) {
    AnsiString text = DateToStr(DateTime);
    if (DateTime - std::floor(DateTime) != 0) text += " " + TimeToStr(DateTime);
    return text;
}

TDateTime StrToDate(const AnsiString& S) {
    const TFormatSettings& fs = FormatSettings();
    bool ok = false;
    std::vector<int> numbers = numbersOf(S, fs.DateSeparator, ok);
    if (!ok || numbers.size() != 3) convertError("date", S);
    // The order of day, month and year follows the short date format.
    AnsiString order;
    for (char c : LowerCase(fs.ShortDateFormat))
        if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == AnsiString::npos) order += c;
    if (order.size() != 3) order = "mdy";
    int day = numbers[order.find('d')], month = numbers[order.find('m')], year = numbers[order.find('y')];
    if (year < 100) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        int century = now.wYear / 100 * 100;
        year += century;
        if (year > now.wYear + 50) year -= 100;
    }
    try {
        return EncodeDate(static_cast<WORD>(year), static_cast<WORD>(month), static_cast<WORD>(day));
    } catch (const EConvertError&) {
        convertError("date", S);
    }
}

TDateTime StrToTime(const AnsiString& S) {
    const TFormatSettings& fs = FormatSettings();
    AnsiString text = Trim(S);
    int adjust = -1;  // -1: 24-hour, 0: AM, 12: PM
    for (auto& marker : {std::make_pair(fs.TimeAMString, 0), std::make_pair(fs.TimePMString, 12),
                         std::make_pair(AnsiString("am"), 0), std::make_pair(AnsiString("pm"), 12)}) {
        if (!marker.first.empty() && text.size() > marker.first.size() &&
            SameText(text.substr(text.size() - marker.first.size()), marker.first)) {
            adjust = marker.second;
            text = Trim(text.substr(0, text.size() - marker.first.size()));
            break;
        }
    }
    bool ok = false;
    std::vector<int> numbers = numbersOf(text, fs.TimeSeparator, ok);
    if (!ok || numbers.size() < 2 || numbers.size() > 3) convertError("time", S);
    int hour = numbers[0];
    if (adjust >= 0) {
        if (hour < 1 || hour > 12) convertError("time", S);
        hour = hour % 12 + adjust;
    }
    try {
        return EncodeTime(static_cast<WORD>(hour), static_cast<WORD>(numbers[1]),
                          static_cast<WORD>(numbers.size() > 2 ? numbers[2] : 0), 0);
    } catch (const EConvertError&) {
        convertError("time", S);
    }
}

TDateTime StrToDateTime(const AnsiString& S) {
    AnsiString text = Trim(S);
    size_t blank = text.find(' ');
    if (blank == AnsiString::npos) return StrToDate(text);
    try {
        return StrToDate(text.substr(0, blank)) + StrToTime(text.substr(blank + 1));
    } catch (const EConvertError&) {
        convertError("date and time", S);
    }
}

bool TryStrToFloat(const AnsiString& S, double& Value) {
    AnsiString text = Trim(S);
    if (text.empty()) return false;
    char separator = FormatSettings().DecimalSeparator;
    for (char& c : text) {
        if (c == separator) c = '.';
        else if (c == '.' && separator != '.') return false;
    }
    if (text.find_first_not_of("+-0123456789.eE") != AnsiString::npos) return false;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(value)) return false;
    Value = value;
    return true;
}

double StrToFloat(const AnsiString& S) {
    double value = 0;
    if (!TryStrToFloat(S, value)) convertError("floating point value", S);
    return value;
}

AnsiString FloatToStrLocale(double Value) {
    AnsiString text = FloatToStr(Value);
    for (char& c : text)
        if (c == '.') c = FormatSettings().DecimalSeparator;
    return text;
}
