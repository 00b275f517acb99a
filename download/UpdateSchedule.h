/*
 * The weekly schedule of the update check, without its window: the registry
 * values Update, UpdateTime and LastCheck under the settings key, read at
 * start and written by the Tools dialog's switch, on a clock that tests can
 * replace.
 *
 * Tricky points:
 * - The settings key is opened, never created: a key that cannot be opened
 *   turns the automatic check off for the run and nothing is written.
 * - A missing Update starts the schedule (1, 604800, now), so the first
 *   automatic check comes a week after the first run.
 * - A value of another type than REG_DWORD counts as missing; only Update's
 *   lowest byte is looked at. The values are written as 4-byte REG_DWORDs.
 * - Due when SecondsUntilDue (UpdateTime + LastCheck - now) is below 1.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TUpdateSchedule {
public:
    // Seconds since 1 January 1970 (the run-time library's clock).
    using TClock = std::function<int32_t()>;
    TUpdateSchedule();

    // Keeps the URL and key path and loads the schedule.
    void SetupCheck(const std::string& updateBaseUrl, const std::string& settingsKeyPath);
    // Writes the three values (LastCheck = now) when the key opens; the next check is then due
    // `seconds` from now.
    void SetAutoCheck(bool enabled, int32_t seconds);
    bool IsCheckDue() const { return AutoCheck != 0 && SecondsUntilDue < 1; }
    bool AutoCheckEnabled() const { return AutoCheck != 0; }
    // After a delivered version file: when the installed build is recorded,
    // LastCheck = now and NewerFound = the comparison; otherwise nothing
    // changes. False when nothing was compared.
    bool RecordCheck(const std::string& versionFileBytes);

    std::string UpdateBaseUrl;
    std::string SettingsKeyPath;
    int AutoCheck = 0;
    int32_t SecondsUntilDue = 0;
    bool NewerFound = false;

    TClock ClockForTesting;

private:
    int32_t now() const;
};
