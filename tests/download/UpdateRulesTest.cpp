// The window-free rules of the update check: the version comparison, reading
// the version file, the update addresses, and the weekly schedule on an
// injected clock, read back raw from the registry.
#include "download/UpdateSchedule.h"
#include "download/UpdateVersion.h"

#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

using brimtest::readRawValue;
using brimtest::SettingsKeyPath;

TEST(UpdateVersion, ComparesOnlyTheInstalledLengthBytewise) {
    const struct {
        const char* installed;
        std::string file;
        bool newer;
    } cases[] = {
        {"3.0.5", "3.0.6 build 2207\r\n", true},
        {"3.0.5", "3.0.5 build 9999\r\n", false},
        {"3.0.5", "3.0.4 build 2150\r\n", false},
        {"3.0.5", "3.0", false},  // shorter: never newer, nothing read past it
        {"3.0.5", "", false},
        {"3.0.10", "3.0.9 ", true},  // byte-wise, as the fixed-width builds need
        {"3.0.5", std::string("3.0.\xff", 5), true},  // unsigned bytes
        {"", "anything", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNewerVersion(c.installed, c.file), c.newer) << c.installed << " / " << c.file;
}

TEST(UpdateVersion, ReadsAtMostTheLimit) {
    brimtest::TempFolder temp;
    temp.writeFile("big.dat", std::string(10000, '7'));
    temp.writeFile("empty.dat", "");
    std::string bytes;
    ASSERT_TRUE(ReadVersionFile(temp.file("big.dat"), bytes));
    EXPECT_EQ(bytes, std::string(VersionFileReadLimit, '7'));
    ASSERT_TRUE(ReadVersionFile(temp.file("empty.dat"), bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ReadVersionFile(temp.file("missing.dat"), bytes));
}

class UpdateSettings : public brimtest::FreshRegistry {
protected:
    void SetUp() override {
        FreshRegistry::SetUp();
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        schedule.ClockForTesting = [this] { return clock; };
    }
    void setRaw(const char* name, DWORD type, const std::string& bytes) {
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    void setDword(const char* name, uint32_t value) {
        setRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
    }
    // A value as stored: 4-byte REG_DWORD and its number, else -1.
    int64_t storedDword(const char* name) {
        brimtest::RawValue raw = readRawValue(HKEY_CURRENT_USER, SettingsKeyPath, name);
        if (!raw.exists || raw.type != REG_DWORD || raw.bytes.size() != 4) return -1;
        uint32_t value;
        std::memcpy(&value, raw.bytes.data(), 4);
        return value;
    }
    void setup() { schedule.SetupCheck("http://127.0.0.1/Corvanta/", SettingsKeyPath); }

    int32_t clock = 1000000;
    TUpdateSchedule schedule;
};

TEST_F(UpdateSettings, FirstRunStartsTheWeek) {
    setup();
    EXPECT_EQ(storedDword("Update"), 1);
    EXPECT_EQ(storedDword("UpdateTime"), 604800);
    EXPECT_EQ(storedDword("LastCheck"), 1000000);
    EXPECT_TRUE(schedule.AutoCheckEnabled());
    EXPECT_EQ(schedule.SecondsUntilDue, 604800);
    EXPECT_FALSE(schedule.IsCheckDue());
    EXPECT_EQ(schedule.UpdateBaseUrl, "http://127.0.0.1/Corvanta/");
}

TEST_F(UpdateSettings, DueWhenTheWeekIsOverAndAutoCheckIsOn) {
    const struct {
        const char* what;
        uint32_t update;
        bool withTimes;
        int32_t now;
        bool due;
    } cases[] = {
        {"exactly at the end", 1, true, 1000, true},
        {"one second before", 1, true, 999, false},
        {"long after", 1, true, 5000000, true},
        {"switched off", 0, true, 5000000, false},
        {"only the low byte counts (0x100)", 0x100, true, 5000000, false},
        {"only the low byte counts (0x301)", 0x301, true, 5000000, true},
        {"times missing: due now", 1, false, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        SetUp();
        setDword("Update", c.update);
        if (c.withTimes) {
            setDword("UpdateTime", 100);
            setDword("LastCheck", 900);
        }
        clock = c.now;
        setup();
        EXPECT_EQ(schedule.IsCheckDue(), c.due);
        EXPECT_EQ(storedDword("Update"), c.update);  // nothing rewritten
    }
}

TEST_F(UpdateSettings, MistypedValuesCountAsMissing) {
    setDword("Update", 1);
    setRaw("UpdateTime", REG_SZ, "100");
    setDword("LastCheck", 900);
    clock = 500;
    setup();
    EXPECT_EQ(schedule.SecondsUntilDue, 0);
    EXPECT_TRUE(schedule.IsCheckDue());

    // A mistyped switch starts the schedule anew, written as it should be.
    setRaw("Update", REG_SZ, "1");
    setup();
    EXPECT_EQ(storedDword("Update"), 1);
    EXPECT_EQ(storedDword("UpdateTime"), 604800);
    EXPECT_EQ(storedDword("LastCheck"), 500);
    EXPECT_FALSE(schedule.IsCheckDue());

    // A short REG_DWORD is read zero-extended.
    setRaw("Update", REG_DWORD, std::string("\x01", 1));
    setDword("UpdateTime", 10);
    setDword("LastCheck", 10);
    setup();
    EXPECT_TRUE(schedule.IsCheckDue());
}

TEST_F(UpdateSettings, UnopenableKeyTurnsTheCheckOffAndWritesNothing) {
    brimtest::clearProductRegistry();
    setup();
    EXPECT_FALSE(schedule.AutoCheckEnabled());
    EXPECT_FALSE(schedule.IsCheckDue());
    schedule.SetAutoCheck(true, 604800);
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_FALSE(schedule.RecordCheck("3.0.6"));
}

TEST_F(UpdateSettings, TheSwitchRewritesAllThreeAndRestartsTheWeek) {
    setDword("Update", 1);
    setDword("UpdateTime", 5);
    setDword("LastCheck", 5);
    setup();
    clock = 2000000;
    schedule.SetAutoCheck(false, 604800);
    EXPECT_EQ(storedDword("Update"), 0);
    EXPECT_EQ(storedDword("UpdateTime"), 604800);
    EXPECT_EQ(storedDword("LastCheck"), 2000000);
    EXPECT_FALSE(schedule.AutoCheckEnabled());

    // Ticked again when a check was long due: the week starts again in memory too.
    setup();
    schedule.AutoCheck = 1;
    schedule.SecondsUntilDue = -5;
    schedule.SetAutoCheck(true, 604800);
    EXPECT_EQ(schedule.SecondsUntilDue, 604800);
    EXPECT_FALSE(schedule.IsCheckDue());
}

TEST_F(UpdateSettings, ACheckIsRecordedOnlyAgainstAnInstalledBuild) {
    setup();
    clock = 3000000;
    schedule.NewerFound = true;
    EXPECT_FALSE(schedule.RecordCheck("3.0.6"));
    EXPECT_EQ(storedDword("LastCheck"), 1000000);
    EXPECT_TRUE(schedule.NewerFound);  // kept from before

    setRaw("Dliubruc", REG_SZ, "3.0.5");  // the installer's form: no terminating zero
    EXPECT_TRUE(schedule.RecordCheck("3.0.5 build 1"));
    EXPECT_FALSE(schedule.NewerFound);
    EXPECT_EQ(storedDword("LastCheck"), 3000000);
    EXPECT_TRUE(schedule.RecordCheck("3.0.6 build 1"));
    EXPECT_TRUE(schedule.NewerFound);
}

TEST_F(UpdateSettings, UpdateAddresses) {
    EXPECT_EQ(UpdateBaseUrlFromSettings(SettingsKeyPath), "http://update.brimsafe.invalid/Corvanta/");
    EXPECT_EQ(UpdatePageUrl(UpdateBaseUrlFromSettings(SettingsKeyPath)),
              "http://update.brimsafe.invalid/corvanta_update.php");
    setRaw("UpdateBaseUrl", REG_SZ, "http://127.0.0.1:8080/case/Corvanta");
    EXPECT_EQ(UpdateBaseUrlFromSettings(SettingsKeyPath), "http://127.0.0.1:8080/case/Corvanta/");
    EXPECT_EQ(UpdatePageUrl("http://127.0.0.1:8080/case/Corvanta/"), "http://127.0.0.1:8080/corvanta_update.php");
    setRaw("UpdateBaseUrl", REG_SZ, std::string("", 1));
    EXPECT_EQ(UpdateBaseUrlFromSettings(SettingsKeyPath), "http://update.brimsafe.invalid/Corvanta/");
}

TEST_F(UpdateSettings, AnUpdateServerIsConfiguredOnlyByANonEmptyAddress) {
    const struct {
        const char* what;
        DWORD type;  // 0: no value
        std::string bytes;
        bool configured;
    } cases[] = {
        {"no value", 0, "", false},
        {"empty", REG_SZ, "", false},
        {"only a terminator", REG_SZ, std::string("", 1), false},
        {"a number", REG_DWORD, std::string("\x01\0\0\0", 4), false},
        {"an address", REG_SZ, "http://127.0.0.1:8080/Corvanta/", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        SetUp();
        if (c.type) setRaw("UpdateBaseUrl", c.type, c.bytes);
        EXPECT_EQ(UpdateServerConfigured(SettingsKeyPath), c.configured);
    }
}

}  // namespace
