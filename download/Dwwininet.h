/*
 * The WinInet URL-components record as plain strings, and the two routines
 * that move it in and out of WinInet's own layout around InternetCrackUrlA and
 * InternetCreateUrlA. Every part goes through a fixed-size buffer of the size
 * the URL parser uses; a part that does not fit makes the call fail instead of
 * being cut. Kept for callers outside the program; the parser itself works on
 * WinInet's record directly, so its owner can change the parts in place.
 */
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

// Buffer sizes of the URL parts (bytes, terminating zero included).
namespace dwURLPartSize {
constexpr DWORD Scheme = 32;
constexpr DWORD HostName = 256;
constexpr DWORD UserName = 128;
constexpr DWORD Password = 128;
constexpr DWORD UrlPath = 2048;
constexpr DWORD ExtraInfo = 1024;
// The rebuilt URL.
constexpr DWORD Url = 2055;
}  // namespace dwURLPartSize

struct TdwURLComponentsRecord {
    INTERNET_SCHEME Scheme = INTERNET_SCHEME_UNKNOWN;
    std::string SchemeName;
    std::string HostName;
    INTERNET_PORT Port = 0;
    std::string UserName;
    std::string Password;
    std::string UrlPath;
    std::string ExtraInfo;
};

// InternetCrackUrlA into the record; false (GetLastError set) when it fails.
bool dwInternetCrackUrlMap(const std::string& url, DWORD flags, TdwURLComponentsRecord& parts);
// InternetCreateUrlA from the record; false (GetLastError set) when it fails.
// Empty user name and password parts are left out.
bool dwInternetCreateUrlMap(const TdwURLComponentsRecord& parts, DWORD flags, std::string& url);
