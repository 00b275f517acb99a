/*
 * A test fixture that starts and ends every test with no
 * HKEY_CURRENT_USER\software\Quarrendel key, so settings never leak between tests.
 */
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace brimtest {

constexpr const char* ProductKeyPath = "software\\Quarrendel";
constexpr const char* SettingsKeyPath = "software\\Quarrendel\\Brimsafe";

void clearProductRegistry();

// A registry value as stored: its type and raw bytes (absent: exists == false).
struct RawValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
};
RawValue readRawValue(HKEY root, const std::string& keyPath, const std::string& name);

class FreshRegistry : public ::testing::Test {
protected:
    void SetUp() override { clearProductRegistry(); }
    void TearDown() override { clearProductRegistry(); }
};

}  // namespace brimtest
