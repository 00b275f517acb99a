/*
 * Small pieces of the download engine: its enumerations, the resource
 * description, the URL parser (WinInet cracks, the owner may change the parts,
 * WinInet rebuilds the canonical form), the URL corrector that derives a local
 * file name from a URL, WinInet error texts, and a few file and text routines.
 *
 * Tricky points:
 * - Every URL part is cracked into a fixed buffer; a part too long for its
 *   buffer makes the parse fail (empty canonical form), it is never cut.
 * - A local file is the folder, a backslash unless the folder is empty or
 *   already ends with one, and the name: "./" + "version.dat" is
 *   "./\version.dat", which Windows reads as the same file.
 * - The routines live in the namespace dwDCUtils where the framework has a
 *   routine of the same name with other rules (ForceDirectories).
 */
#pragma once

#include "framework/Classes.h"

#include <windows.h>
#include <wininet.h>

#include <cstdint>

enum TdwProcessStatus { psUnknown = 0, psSuccess = 1, psFailed = 2, psErrors = 3, psProcess = 4, psTerminated = 5 };
enum TdwProcessPriority { ppLower = 0, ppNormal = 1, ppHigher = 2 };
enum TdwCertificateFlag { cfIgnoreCommonNameInvalid, cfIgnoreDateInvalid, cfIgnoreUnknownAuthority };
using TdwCertificateFlags = TSet<TdwCertificateFlag>;

// The owner's hook on a parse: the WinInet record, whose parts point into the
// parser's fixed buffers and may be rewritten in place (within their sizes).
using TdwURLParsingEvent = TEvent<void(TObject* Sender, URL_COMPONENTSA& URLComponents)>;

// What is known of a remote resource.
class TdwResourceInfo : public TObject {
public:
    TdwResourceInfo();  // the date is the current date and time
    // Copies all four parts; with null, clears them (size 0, date 0, empty texts).
    void Assign(const TdwResourceInfo* Source);

    AnsiString Name;
    int64_t Size = 0;
    TDateTime Date = 0;
    AnsiString ContentType;
};

class TdwURLParser : public TObject {
public:
    TdwURLParser();
    // The canonical URL, or "" when the URL does not parse.
    AnsiString Parse(const AnsiString& URL);

    // Parts of the last parse: scheme 1 HTTP, 2 FTP, 3 HTTPS (0 before any).
    int Scheme() const { return scheme_; }
    const AnsiString& HostName() const { return hostName_; }
    const AnsiString& UserName() const { return userName_; }
    const AnsiString& Password() const { return password_; }
    const AnsiString& UrlPath() const { return urlPath_; }
    const AnsiString& ExtraInfo() const { return extraInfo_; }
    INTERNET_PORT Port() const { return port_; }

    TdwURLParsingEvent OnURLParsing;

protected:
    // Runs between cracking and rebuilding; fires OnURLParsing.
    virtual void DoURLParsing(URL_COMPONENTSA& components);

private:
    void clearParts();
    int scheme_ = 0;
    AnsiString hostName_, userName_, password_, urlPath_, extraInfo_;
    INTERNET_PORT port_ = 0;
};

class TdwURLCorrector : public TdwURLParser {
public:
    // The folder joined with the URL path's last segment; the folder alone
    // when the URL does not parse.
    AnsiString GetLocalFileByURL(const AnsiString& URL, const AnsiString& LocalFolder);
    // The URL with its last path segment replaced by the local file's name.
    AnsiString GetURLByLocalFile(const AnsiString& URL, const AnsiString& LocalFile);

protected:
    void DoURLParsing(URL_COMPONENTSA& components) override;

private:
    bool replacingName_ = false;
    AnsiString localFile_;
};

namespace dwDCUtils {

// The folder, a backslash unless the folder is empty or ends with one, and
// the file-name part of FileName.
AnsiString GetFullFileName(const AnsiString& FileName, const AnsiString& Folder);
// Tab, LF, CR and bytes 32..255 stay; every other byte becomes DefaultChar.
AnsiString GetDataAsText(const char* Data, int Size, char DefaultChar);
// Creates a folder and its missing parents. True for an empty path, a path
// shorter than 3 characters (after a trailing backslash is dropped) and an
// existing folder.
bool ForceDirectories(const AnsiString& Path);
// The message text of a WinInet or Windows error code: trailing blanks and
// dots dropped; for 12003 the server's response is appended; "Unknown error,
// code = N" when there is no text.
AnsiString GetLastErrorText(DWORD Code);
// A Content-Length value: decimal digits only, at most 18 of them. False for
// anything else (negative, garbage, empty, too large): the length is unknown.
bool ParseContentLength(const AnsiString& Text, int64_t& Length);

}  // namespace dwDCUtils
