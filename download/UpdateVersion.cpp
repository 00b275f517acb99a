// Version file reading and comparison, update addresses; see UpdateVersion.h.
#include "download/UpdateVersion.h"

#include "framework/Registry.h"

#include <windows.h>

#include <cstring>

const char* const DefaultUpdateBaseUrl = "http://update.brimsafe.invalid/Corvanta/";

bool ReadVersionFile(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string buffer(VersionFileReadLimit, '\0');
    DWORD total = 0, got = 0;
    BOOL ok = TRUE;
    while (total < VersionFileReadLimit &&
           (ok = ReadFile(file, &buffer[total], static_cast<DWORD>(VersionFileReadLimit) - total, &got, nullptr)) &&
           got > 0)
        total += got;
    CloseHandle(file);
    if (!ok) return false;
    bytes.assign(buffer, 0, total);
    return true;
}

bool IsNewerVersion(const std::string& installedBuild, const std::string& versionFileBytes) {
    if (versionFileBytes.size() < installedBuild.size()) return false;
    return std::memcmp(installedBuild.data(), versionFileBytes.data(), installedBuild.size()) < 0;
}

const char* const NoUpdateServerText = "No update server is configured for this copy of Brimsafe, so it cannot check for updates.";

namespace {

// The settings value "UpdateBaseUrl" as stored; "" when missing, empty or not text.
std::string storedUpdateBaseUrl(const std::string& settingsKeyPath) {
    TRegistry registry;
    std::string url;
    if (registry.OpenKeyReadOnly(settingsKeyPath) && registry.GetDataType("UpdateBaseUrl") == rdString)
        url = registry.ReadString("UpdateBaseUrl");
    return url.c_str();  // a stored terminator is no part of the address
}

}  // namespace

bool UpdateServerConfigured(const std::string& settingsKeyPath) { return !storedUpdateBaseUrl(settingsKeyPath).empty(); }

std::string UpdateBaseUrlFromSettings(const std::string& settingsKeyPath) {
    std::string url = storedUpdateBaseUrl(settingsKeyPath);
    if (url.empty()) return DefaultUpdateBaseUrl;
    if (url.back() != '/') url += '/';
    return url;
}

std::string UpdatePageUrl(const std::string& updateBaseUrl) {
    size_t scheme = updateBaseUrl.find("://");
    size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    size_t pathStart = updateBaseUrl.find('/', hostStart);
    std::string root = pathStart == std::string::npos ? updateBaseUrl : updateBaseUrl.substr(0, pathStart);
    return root + "/corvanta_update.php";
}
