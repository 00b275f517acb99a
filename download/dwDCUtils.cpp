// Enumerations, resource description, URL parser and corrector, error texts; see dwDCUtils.h.
#include "download/dwDCUtils.h"

#include "download/Dwwininet.h"

#include <vector>

TdwResourceInfo::TdwResourceInfo() : Date(Now()) {}

void TdwResourceInfo::Assign(const TdwResourceInfo* Source) {
    if (Source) {
        Name = Source->Name;
        Size = Source->Size;
        Date = Source->Date;
        ContentType = Source->ContentType;
    } else {
        Name.clear();
        Size = 0;
        Date = 0;
        ContentType.clear();
    }
}

// ---------------------------------------------------------------------------

TdwURLParser::TdwURLParser() = default;

void TdwURLParser::clearParts() {
    hostName_.clear();
    userName_.clear();
    password_.clear();
    urlPath_.clear();
    extraInfo_.clear();
    port_ = 0;
}

void TdwURLParser::DoURLParsing(URL_COMPONENTSA& components) {
    if (OnURLParsing) OnURLParsing(this, components);
}

AnsiString TdwURLParser::Parse(const AnsiString& URL) {
    std::vector<char> scheme(dwURLPartSize::Scheme, '\0'), host(dwURLPartSize::HostName, '\0'),
        user(dwURLPartSize::UserName, '\0'), password(dwURLPartSize::Password, '\0'),
        path(dwURLPartSize::UrlPath, '\0'), extra(dwURLPartSize::ExtraInfo, '\0');
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof components;
    auto attach = [](std::vector<char>& buffer, LPSTR& pointer, DWORD& length) {
        pointer = buffer.data();
        length = static_cast<DWORD>(buffer.size());
    };
    attach(scheme, components.lpszScheme, components.dwSchemeLength);
    attach(host, components.lpszHostName, components.dwHostNameLength);
    attach(user, components.lpszUserName, components.dwUserNameLength);
    attach(password, components.lpszPassword, components.dwPasswordLength);
    attach(path, components.lpszUrlPath, components.dwUrlPathLength);
    attach(extra, components.lpszExtraInfo, components.dwExtraInfoLength);

    if (URL.empty() || URL.find('\0') != AnsiString::npos ||
        !InternetCrackUrlA(URL.c_str(), static_cast<DWORD>(URL.size()), ICU_DECODE | ICU_ESCAPE, &components)) {
        clearParts();
        return AnsiString();
    }
    switch (components.nScheme) {
    case INTERNET_SCHEME_FTP: scheme_ = 2; break;
    case INTERNET_SCHEME_HTTP: scheme_ = 1; break;
    case INTERNET_SCHEME_HTTPS: scheme_ = 3; break;
    default: break;
    }
    DoURLParsing(components);

    // The owner may have rewritten a part in place: one that no longer fits
    // its buffer fails the parse instead of being read past the buffer.
    auto overlong = [](const std::vector<char>& buffer, LPCSTR pointer, DWORD length) {
        return pointer == buffer.data() && length >= buffer.size();
    };
    if (overlong(host, components.lpszHostName, components.dwHostNameLength) ||
        overlong(user, components.lpszUserName, components.dwUserNameLength) ||
        overlong(password, components.lpszPassword, components.dwPasswordLength) ||
        overlong(path, components.lpszUrlPath, components.dwUrlPathLength) ||
        overlong(extra, components.lpszExtraInfo, components.dwExtraInfoLength)) {
        clearParts();
        return AnsiString();
    }
    // Read each part only up to its buffer.
    auto text = [](const std::vector<char>& buffer, LPCSTR pointer, DWORD length) {
        if (!pointer || length == 0) return AnsiString();
        if (pointer == buffer.data()) length = std::min<DWORD>(length, static_cast<DWORD>(buffer.size()) - 1);
        return AnsiString(pointer, strnlen(pointer, length));
    };
    if (components.dwUserNameLength == 0) components.lpszUserName = nullptr;
    if (components.dwPasswordLength == 0) components.lpszPassword = nullptr;
    hostName_ = text(host, components.lpszHostName, components.dwHostNameLength);
    userName_ = text(user, components.lpszUserName, components.dwUserNameLength);
    password_ = text(password, components.lpszPassword, components.dwPasswordLength);
    urlPath_ = text(path, components.lpszUrlPath, components.dwUrlPathLength);
    extraInfo_ = text(extra, components.lpszExtraInfo, components.dwExtraInfoLength);
    port_ = components.nPort;

    DWORD flags = ICU_ESCAPE;
    if (components.lpszUserName || components.lpszPassword) flags |= ICU_USERNAME;
    std::vector<char> rebuilt(dwURLPartSize::Url, '\0');
    DWORD length = static_cast<DWORD>(rebuilt.size());
    if (!InternetCreateUrlA(&components, flags, rebuilt.data(), &length)) return AnsiString();
    return AnsiString(rebuilt.data(), strnlen(rebuilt.data(), rebuilt.size()));
}

// ---------------------------------------------------------------------------

AnsiString TdwURLCorrector::GetLocalFileByURL(const AnsiString& URL, const AnsiString& LocalFolder) {
    replacingName_ = false;
    if (Parse(URL).empty()) return LocalFolder;
    const AnsiString& path = UrlPath();
    size_t slash = path.rfind('/');
    AnsiString name = slash == AnsiString::npos ? path : path.substr(slash + 1);
    AnsiString result = LocalFolder;
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result + name;
}

AnsiString TdwURLCorrector::GetURLByLocalFile(const AnsiString& URL, const AnsiString& LocalFile) {
    replacingName_ = true;
    localFile_ = LocalFile;
    AnsiString result = Parse(URL);
    replacingName_ = false;
    return result;
}

void TdwURLCorrector::DoURLParsing(URL_COMPONENTSA& components) {
    if (replacingName_ && components.lpszUrlPath) {
        AnsiString path(components.lpszUrlPath, strnlen(components.lpszUrlPath, components.dwUrlPathLength));
        size_t slash = path.rfind('/');
        path = slash == AnsiString::npos ? AnsiString("/") : path.substr(0, slash + 1);
        size_t backslash = localFile_.rfind('\\');
        path += backslash == AnsiString::npos ? localFile_ : localFile_.substr(backslash + 1);
        // The path buffer holds dwURLPartSize::UrlPath bytes; a longer path fails the parse.
        if (path.size() >= dwURLPartSize::UrlPath) {
            components.dwUrlPathLength = static_cast<DWORD>(path.size());
        } else {
            std::memset(components.lpszUrlPath, 0, dwURLPartSize::UrlPath);
            std::memcpy(components.lpszUrlPath, path.data(), path.size());
            components.dwUrlPathLength = static_cast<DWORD>(path.size());
        }
    }
    TdwURLParser::DoURLParsing(components);
}

// ---------------------------------------------------------------------------

namespace dwDCUtils {

AnsiString GetFullFileName(const AnsiString& FileName, const AnsiString& Folder) {
    AnsiString result = Folder;
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result + ExtractFileName(FileName);
}

AnsiString GetDataAsText(const char* Data, int Size, char DefaultChar) {
    AnsiString text(Data ? Data : "", Data && Size > 0 ? static_cast<size_t>(Size) : 0);
    for (char& c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte != '\t' && byte != '\n' && byte != '\r' && byte < 32) c = DefaultChar;
    }
    return text;
}

bool ForceDirectories(const AnsiString& Path) {
    if (Path.empty()) return true;
    AnsiString path = Path;
    if (path.back() == '\\') path.pop_back();
    if (path.size() < 3 || DirectoryExists(path)) return true;
    AnsiString parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
    return CreateDirectoryA(path.c_str(), nullptr) != 0 || DirectoryExists(path);
}

AnsiString GetLastErrorText(DWORD Code) {
    char buffer[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  GetModuleHandleA("wininet.dll"), Code, 0, buffer, sizeof buffer, nullptr);
    AnsiString text(buffer, std::min<DWORD>(length, sizeof buffer - 1));
    while (!text.empty() && (static_cast<unsigned char>(text.back()) < '!' || text.back() == '.')) text.pop_back();
    if (Code == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD error = 0, size = 0;
        InternetGetLastResponseInfoA(&error, nullptr, &size);
        if (size > 0) {
            std::vector<char> response(size + 1, '\0');
            DWORD got = size + 1;
            if (InternetGetLastResponseInfoA(&error, response.data(), &got)) {
                AnsiString info(response.data(), strnlen(response.data(), response.size()));
                text = text.empty() ? info : text + "; Additional info: " + info;
            }
        }
    }
    if (text.empty()) text = Format("Unknown error, code = %d", {static_cast<int>(Code)});
    return text;
}

bool ParseContentLength(const AnsiString& Text, int64_t& Length) {
    if (Text.empty() || Text.size() > 18) return false;
    int64_t value = 0;
    for (char c : Text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    Length = value;
    return true;
}

}  // namespace dwDCUtils
