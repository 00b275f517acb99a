/*
 * Locale conversions of floats, dates and times, in the user's locale read
 * once from GetLocaleInfoA (tests pin the settings by assigning them).
 * Formats use the framework's notation: d dd m mm yy yyyy for dates,
 * h hh n nn s ss z zzz and am/pm for times, "/" and ":" standing for the
 * locale's separators, quoted text kept as is.
 */
#pragma once

#include "framework/SysUtils.h"

struct TFormatSettings {
    char DecimalSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    AnsiString ShortDateFormat = "m/d/yyyy";
    AnsiString LongTimeFormat = "h:nn:ss";
    AnsiString TimeAMString = "AM";
    AnsiString TimePMString = "PM";
};

// The process's settings, read from the locale on first use.
TFormatSettings& FormatSettings();
// Reads the settings from the user's locale again.
void GetLocaleFormatSettings();

AnsiString FormatDateTime(const AnsiString& Format, TDateTime DateTime);
AnsiString DateToStr(TDateTime Date);
AnsiString TimeToStr(TDateTime Time);
AnsiString DateTimeToStr(TDateTime DateTime);
// Raise EConvertError "'%s' is not a valid date" / "... valid time" / "... valid date and time".
TDateTime StrToDate(const AnsiString& S);
TDateTime StrToTime(const AnsiString& S);
TDateTime StrToDateTime(const AnsiString& S);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const AnsiString& S);
bool TryStrToFloat(const AnsiString& S, double& Value);
// Shortest text that reads back to the same value (15 significant digits).
AnsiString FloatToStrLocale(double Value);
