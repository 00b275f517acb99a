// Branding texts: built-in defaults and scrambled registry overrides.
#include "base/BrandingText.h"

#include "tests/support/RegistryFixture.h"

#include <gtest/gtest.h>

namespace {

class BrandingTextTest : public brimtest::FreshRegistry {
protected:
    void store(const char* name, const std::string& bytes) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
};

TEST_F(BrandingTextTest, DefaultsWithoutOverrides) {
    EXPECT_EQ(GetBrandingText(brMakerName), "Quarrendel");
    EXPECT_EQ(GetBrandingText(brAboutText), "");
    EXPECT_EQ(GetBrandingText(brWebSite).rfind("http://", 0), 0u);
    EXPECT_NE(GetBrandingText(brOnlineHelp).find("/brimsafe_help.php"), std::string::npos);
    EXPECT_EQ(GetBrandingText(2), "");
}

TEST_F(BrandingTextTest, ScrambledValuesOverrideAndEmptyOnesDoNot) {
    // "Acme" XOR 0x3C byte by byte, computed by hand: 'A' 0x41 -> 0x7D, 'c' 0x63 -> 0x5F, 'm' 0x6D -> 0x51, 'e' 0x65 -> 0x59.
    store("Local1", "\x7D\x5F\x51\x59");
    store("Local2", scrambleBrandingText("https://vault.example.org"));
    store("Local4", "");
    store("Local5", scrambleBrandingText("Licensed to the tester"));
    EXPECT_EQ(GetBrandingText(brMakerName), "Acme");
    EXPECT_EQ(GetBrandingText(brWebSite), "https://vault.example.org");
    EXPECT_NE(GetBrandingText(brOnlineHelp).find("/brimsafe_help.php"), std::string::npos);
    EXPECT_EQ(GetBrandingText(brAboutText), "Licensed to the tester");
}

TEST_F(BrandingTextTest, AnEmptyStringWithItsTerminatingZeroKeepsTheDefault) {
    // As an installer writes an empty string: one zero byte.
    for (const std::string& stored : {std::string(), std::string(1, '\0')}) {
        store("Local1", stored);
        store("Local5", stored);
        EXPECT_EQ(GetBrandingText(brMakerName), "Quarrendel") << stored.size();
        EXPECT_EQ(GetBrandingText(brAboutText), "") << stored.size();
    }
    store("Local1", scrambleBrandingText("Acme") + std::string(1, '\0'));
    EXPECT_EQ(GetBrandingText(brMakerName), "Acme");
}

}  // namespace
