/*
 * The version side of the update check, without its window: reading the
 * downloaded version file and comparing it with the installed build.
 *
 * Tricky points:
 * - The comparison is byte-wise and unsigned over the installed text's
 *   length (so "3.0.10" is older than "3.0.9": builds are fixed-width).
 * - Only bytes present are compared: a file shorter than the installed text
 *   is never newer, and at most VersionFileReadLimit bytes are read.
 * - The update folder and page: the settings value "UpdateBaseUrl" when set
 *   (a "/" appended when missing), else a reserved name that never resolves;
 *   the page has the folder's scheme, host and port. Unset, the program knows
 *   no server and does not check (UpdateServerConfigured).
 */
#pragma once

#include <string>

constexpr size_t VersionFileReadLimit = 4096;
extern const char* const DefaultUpdateBaseUrl;  // "http://update.brimsafe.invalid/Corvanta/"

// The first bytes of the version file (at most VersionFileReadLimit); false
// when it cannot be opened or read.
bool ReadVersionFile(const std::string& path, std::string& bytes);
// Whether the version file's bytes name a newer build than the installed one.
bool IsNewerVersion(const std::string& installedBuild, const std::string& versionFileBytes);
// The update folder's URL from the settings key (HKEY_CURRENT_USER).
std::string UpdateBaseUrlFromSettings(const std::string& settingsKeyPath);
// Whether the settings name an update server ("UpdateBaseUrl" set, not empty). Without one no
// real server is known: the weekly check never comes due and asking for a check says so.
bool UpdateServerConfigured(const std::string& settingsKeyPath);
extern const char* const NoUpdateServerText;
// The update page beside the update folder: same scheme, host and port.
std::string UpdatePageUrl(const std::string& updateBaseUrl);
