// The URL-components record and WinInet's layout; see Dwwininet.h.
#include "download/Dwwininet.h"

#include <vector>

namespace {

// One part's buffer in WinInet's record: a fixed size, zero-filled.
struct PartBuffer {
    explicit PartBuffer(DWORD size) : bytes(size, '\0') {}
    std::vector<char> bytes;
    void attach(LPSTR& pointer, DWORD& length) {
        pointer = bytes.data();
        length = static_cast<DWORD>(bytes.size());
    }
    // Copies text in; false when it does not fit with its terminating zero.
    bool assign(const std::string& text) {
        if (text.size() >= bytes.size()) return false;
        std::fill(bytes.begin(), bytes.end(), '\0');
        std::copy(text.begin(), text.end(), bytes.begin());
        return true;
    }
};

}  // namespace

bool dwInternetCrackUrlMap(const std::string& url, DWORD flags, TdwURLComponentsRecord& parts) {
    PartBuffer scheme(dwURLPartSize::Scheme), host(dwURLPartSize::HostName), user(dwURLPartSize::UserName),
        password(dwURLPartSize::Password), path(dwURLPartSize::UrlPath), extra(dwURLPartSize::ExtraInfo);
    URL_COMPONENTSA record{};
    record.dwStructSize = sizeof record;
    scheme.attach(record.lpszScheme, record.dwSchemeLength);
    host.attach(record.lpszHostName, record.dwHostNameLength);
    user.attach(record.lpszUserName, record.dwUserNameLength);
    password.attach(record.lpszPassword, record.dwPasswordLength);
    path.attach(record.lpszUrlPath, record.dwUrlPathLength);
    extra.attach(record.lpszExtraInfo, record.dwExtraInfoLength);
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), flags, &record)) return false;
    parts.Scheme = record.nScheme;
    parts.SchemeName.assign(record.lpszScheme, record.dwSchemeLength);
    parts.HostName.assign(record.lpszHostName, record.dwHostNameLength);
    parts.Port = record.nPort;
    parts.UserName.assign(record.lpszUserName, record.dwUserNameLength);
    parts.Password.assign(record.lpszPassword, record.dwPasswordLength);
    parts.UrlPath.assign(record.lpszUrlPath, record.dwUrlPathLength);
    parts.ExtraInfo.assign(record.lpszExtraInfo, record.dwExtraInfoLength);
    return true;
}

bool dwInternetCreateUrlMap(const TdwURLComponentsRecord& parts, DWORD flags, std::string& url) {
    PartBuffer scheme(dwURLPartSize::Scheme), host(dwURLPartSize::HostName), user(dwURLPartSize::UserName),
        password(dwURLPartSize::Password), path(dwURLPartSize::UrlPath), extra(dwURLPartSize::ExtraInfo);
    if (!scheme.assign(parts.SchemeName) || !host.assign(parts.HostName) || !user.assign(parts.UserName) ||
        !password.assign(parts.Password) || !path.assign(parts.UrlPath) || !extra.assign(parts.ExtraInfo)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    URL_COMPONENTSA record{};
    record.dwStructSize = sizeof record;
    record.nScheme = parts.Scheme;
    record.nPort = parts.Port;
    auto set = [](PartBuffer& buffer, const std::string& text, LPSTR& pointer, DWORD& length) {
        if (text.empty()) return;
        pointer = buffer.bytes.data();
        length = static_cast<DWORD>(text.size());
    };
    set(scheme, parts.SchemeName, record.lpszScheme, record.dwSchemeLength);
    set(host, parts.HostName, record.lpszHostName, record.dwHostNameLength);
    set(user, parts.UserName, record.lpszUserName, record.dwUserNameLength);
    set(password, parts.Password, record.lpszPassword, record.dwPasswordLength);
    set(path, parts.UrlPath, record.lpszUrlPath, record.dwUrlPathLength);
    set(extra, parts.ExtraInfo, record.lpszExtraInfo, record.dwExtraInfoLength);
    std::vector<char> buffer(dwURLPartSize::Url, '\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    if (!InternetCreateUrlA(&record, flags, buffer.data(), &length)) return false;
    url.assign(buffer.data(), length < buffer.size() ? length : buffer.size() - 1);
    return true;
}
