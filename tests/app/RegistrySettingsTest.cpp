// The main window's settings as stored: types, byte counts, order, defaults and the known-vault list.
#include "base/RegistrySettings.h"

#include "tests/support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

using brimtest::readRawValue;
using brimtest::SettingsKeyPath;

std::vector<unsigned char> dword(DWORD v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 24)};
}

std::vector<unsigned char> bytes(const std::string& s) { return std::vector<unsigned char>(s.begin(), s.end()); }

class RegistrySettingsTest : public brimtest::FreshRegistry {};

settings::WindowSettings sampleSettings() {
    settings::WindowSettings s;
    s.Top = 11;
    s.Left = -4;
    s.Width = 800;
    s.Height = 600;
    s.Splitter = 300;
    s.WindowState = settings::WindowMaximised;
    s.OldTop = 1;
    s.OldLeft = 2;
    s.OldWidth = 640;
    s.OldHeight = 480;
    s.OldSplitter = 200;
    s.currCat = 1;
    s.DBLoc = "C:\\Users\\me\\Documents\\Brimsafe";
    s.DBFname = "My Vault";
    return s;
}

// The stored bytes; the registry under test may append a terminating zero to a string on its own.
std::vector<unsigned char> withoutPlatformZero(DWORD type, std::vector<unsigned char> data) {
    if (type == REG_SZ && !data.empty() && data.back() == 0) data.pop_back();
    return data;
}

TEST_F(RegistrySettingsTest, WindowSettingsAreStoredRawInTheirOrder) {
    struct Written {
        std::string name;
        DWORD type;
        std::string bytes;
    };
    std::vector<Written> written;
    settings::setRegistryWriteObserverForTesting(
        [&](const std::string& name, DWORD type, const std::string& data) { written.push_back({name, type, data}); });
    const bool stored = settings::writeWindowSettings(sampleSettings());
    settings::setRegistryWriteObserverForTesting(nullptr);
    ASSERT_TRUE(stored);
    struct Expected {
        const char* name;
        DWORD type;
        std::vector<unsigned char> data;
    };
    const Expected expected[] = {
        {"Top", REG_DWORD, dword(11)},
        {"Left", REG_DWORD, dword(static_cast<DWORD>(-4))},
        {"Width", REG_DWORD, dword(800)},
        {"Height", REG_DWORD, dword(600)},
        {"Splitter", REG_DWORD, dword(300)},
        {"WindowState", REG_DWORD, {'^'}},
        {"OldTop", REG_DWORD, dword(1)},
        {"OldLeft", REG_DWORD, dword(2)},
        {"OldWidth", REG_DWORD, dword(640)},
        {"OldHeight", REG_DWORD, dword(480)},
        {"OldSplitter", REG_DWORD, dword(200)},
        {"currCat", REG_DWORD, dword(1)},
        {"DBLoc", REG_SZ, bytes("C:\\Users\\me\\Documents\\Brimsafe")},
        {"DBFname", REG_SZ, bytes("My Vault")},
    };
    ASSERT_EQ(written.size(), std::size(expected));
    for (size_t i = 0; i < written.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(written[i].name, e.name) << "written in this order";
        EXPECT_EQ(written[i].type, e.type) << e.name;
        EXPECT_EQ(bytes(written[i].bytes), e.data) << e.name << ": strings are handed over without their zero";
        brimtest::RawValue raw = readRawValue(HKEY_CURRENT_USER, SettingsKeyPath, e.name);
        ASSERT_TRUE(raw.exists) << e.name;
        EXPECT_EQ(raw.type, e.type) << e.name;
        EXPECT_EQ(withoutPlatformZero(raw.type, raw.bytes), e.data) << e.name;
    }
}

TEST_F(RegistrySettingsTest, FirstRunGivesTheDefaults) {
    settings::StoredPlacement placement = settings::readWindowPlacement();
    EXPECT_FALSE(placement.hasTop) << "the window is centred";
    EXPECT_EQ(placement.values.Width, 757);
    EXPECT_EQ(placement.values.Height, 500);
    EXPECT_EQ(placement.values.Splitter, 445);
    EXPECT_EQ(placement.values.WindowState, 'v');
    EXPECT_EQ(placement.values.OldTop, 50);
    EXPECT_EQ(placement.values.OldLeft, 20);
    EXPECT_EQ(placement.values.currCat, 2);
    EXPECT_FALSE(settings::readStoredDBLoc());
    EXPECT_FALSE(settings::readStoredDBFname());
}

TEST_F(RegistrySettingsTest, StoredPlacementReadsBack) {
    ASSERT_TRUE(settings::writeWindowSettings(sampleSettings()));
    settings::StoredPlacement placement = settings::readWindowPlacement();
    EXPECT_TRUE(placement.hasTop);
    EXPECT_EQ(placement.values.Top, 11);
    EXPECT_EQ(placement.values.Left, -4);
    EXPECT_EQ(placement.values.WindowState, '^');
    EXPECT_EQ(placement.values.OldWidth, 640);
    EXPECT_EQ(placement.values.OldSplitter, 200);
    EXPECT_EQ(placement.values.currCat, 1);
    EXPECT_EQ(settings::readStoredDBLoc(), "C:\\Users\\me\\Documents\\Brimsafe");
    EXPECT_EQ(settings::readStoredDBFname(), "My Vault");

    // Not maximised: the Old values keep their defaults; without Top, Left is not taken.
    settings::WindowSettings normal = sampleSettings();
    normal.WindowState = settings::WindowNormal;
    ASSERT_TRUE(settings::writeWindowSettings(normal));
    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, SettingsKeyPath));
    RegDeleteValueA(key.get(), "Top");
    placement = settings::readWindowPlacement();
    EXPECT_FALSE(placement.hasTop);
    EXPECT_EQ(placement.values.Left, 0);
    EXPECT_EQ(placement.values.OldWidth, 757);
    EXPECT_EQ(placement.values.WindowState, 'v');
}

TEST_F(RegistrySettingsTest, StringsWithATerminatingZeroFromElsewhereStillRead) {
    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, SettingsKeyPath));
    const char withZero[] = "D:\\Vaults";
    RegSetValueExA(key.get(), "DBLoc", 0, REG_SZ, reinterpret_cast<const BYTE*>(withZero), sizeof withZero);
    DWORD four = 'v';
    RegSetValueExA(key.get(), "WindowState", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&four), sizeof four);
    EXPECT_EQ(settings::readStoredDBLoc(), "D:\\Vaults");
    EXPECT_EQ(settings::readWindowPlacement().values.WindowState, 'v');
}

TEST_F(RegistrySettingsTest, KnownVaultsLiveInTheVaultsSubkey) {
    ASSERT_TRUE(settings::addKnownVault("My Vault", "C:\\Vaults\\My Vault"));
    ASSERT_TRUE(settings::addKnownVault("Work", "D:\\Work"));
    brimtest::RawValue raw = readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", "Work");
    ASSERT_TRUE(raw.exists);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(withoutPlatformZero(raw.type, raw.bytes), bytes("D:\\Work"));
    std::vector<std::pair<std::string, std::string>> expected = {{"My Vault", "C:\\Vaults\\My Vault"},
                                                                 {"Work", "D:\\Work"}};
    EXPECT_EQ(settings::knownVaults(), expected);
}

}  // namespace
