// Registry wrappers against the real (Wine) registry under HKCU\Software\BrimsafeTest:
// the raw formats the program writes itself, recursive delete, the INI views.
#include <gtest/gtest.h>

#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* TestKey = "Software\\BrimsafeTest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { TRegistry().DeleteKey(std::string("\\") + TestKey); }
    void TearDown() override { TRegistry().DeleteKey(std::string("\\") + TestKey); }

    static void writeRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, TestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
};

TEST_F(RegistryTest, ReadsStringsWithoutTerminatorAndShortDwords) {
    writeRaw("TaskStatus", REG_SZ, "done", 4);  // no terminating zero
    writeRaw("Terminated", REG_SZ, "ok\0", 3);
    const unsigned char state = 'v';
    writeRaw("WindowState", REG_DWORD, &state, 1);
    const int full = -2;
    writeRaw("Full", REG_DWORD, &full, 4);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(TestKey));
    EXPECT_EQ(reg.ReadString("TaskStatus"), "done");
    EXPECT_EQ(reg.ReadString("Terminated"), "ok");
    EXPECT_EQ(reg.ReadInteger("WindowState"), 'v');
    EXPECT_EQ(reg.ReadInteger("Full"), -2);
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
    EXPECT_THROW(reg.ReadInteger("TaskStatus"), ERegistryException);
    EXPECT_TRUE(reg.ValueExists("WindowState"));
    TStringList names;
    reg.GetValueNames(&names);
    names.Sorted = true;
    EXPECT_EQ(names.CommaText(), "Full,TaskStatus,Terminated,WindowState");
}

TEST_F(RegistryTest, WritesRoundTripAndDeleteKeyIsRecursive) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(std::string(TestKey) + "\\Vaults\\One", true));
        reg.WriteString("Path", "C:\\v.vlt");
        reg.WriteInteger("Count", 7);
        reg.WriteBool("Flag", true);
        const unsigned char bytes[] = {1, 0, 255};
        reg.WriteBinaryData("Blob", bytes, 3);
        ASSERT_TRUE(reg.OpenKey("Deeper\\Still", true)) << "relative to the current key";
        reg.WriteString("x", "y");
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string(TestKey) + "\\Vaults\\One", false));
    EXPECT_EQ(reg.ReadString("Path"), "C:\\v.vlt");
    EXPECT_EQ(reg.ReadInteger("Count"), 7);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    unsigned char back[8] = {};
    EXPECT_EQ(reg.ReadBinaryData("Blob", back, sizeof back), 3);
    EXPECT_EQ(back[2], 255);
    EXPECT_TRUE(reg.HasSubKeys());
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists(std::string(TestKey) + "\\Vaults\\One\\Deeper\\Still"));
    EXPECT_TRUE(reg.DeleteKey(std::string(TestKey) + "\\Vaults"));
    EXPECT_FALSE(reg.KeyExists(std::string(TestKey) + "\\Vaults"));
    EXPECT_FALSE(reg.OpenKey(std::string(TestKey) + "\\Vaults", false));
}

TEST_F(RegistryTest, RegIniFileMapsSectionsToSubkeys) {
    {
        TRegIniFile ini(TestKey, 0xF003F);
        ini.WriteString("Window", "Caption", "Brimsafe");
        ini.WriteInteger("Window", "Left", -5);
        ini.WriteBool("Window", "Max", true);
    }
    TRegIniFile reader(TestKey, 0x20019);
    EXPECT_EQ(reader.ReadString("Window", "Caption", "?"), "Brimsafe");
    EXPECT_EQ(reader.ReadInteger("Window", "Left", 0), -5);
    EXPECT_TRUE(reader.ReadBool("Window", "Max", false));
    EXPECT_EQ(reader.ReadString("Nowhere", "Caption", "default"), "default");
    TStringList values;
    reader.ReadSectionValues("Window", &values);
    EXPECT_EQ(values.Values["Left"](), "-5");
    TRegIniFile writer(TestKey, 0xF003F);
    writer.EraseSection("Window");
    EXPECT_EQ(writer.ReadString("Window", "Caption", "gone"), "gone");
    TRegIniFile missing("Software\\BrimsafeTest\\NotThere", 0x20019);
    EXPECT_EQ(missing.ReadInteger("S", "I", 3), 3);
    EXPECT_FALSE(TRegistry().KeyExists("Software\\BrimsafeTest\\NotThere")) << "reading never creates";
}

using IniFileTest = brimtest::TempFolderTest;

TEST_F(IniFileTest, ReadsDefaultsAndWritesSections) {
    TIniFile ini(temp.file("settings.ini"));
    EXPECT_EQ(ini.ReadInteger("Main", "Size", 12), 12);
    ini.WriteInteger("Main", "Size", 14);
    ini.WriteString("Other", "Name", "x y");
    EXPECT_EQ(ini.ReadInteger("Main", "Size", 12), 14);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.CommaText(), "Main,Other");
    ini.EraseSection("Main");
    EXPECT_FALSE(ini.SectionExists("Main"));
    EXPECT_EQ(ini.ReadString("Other", "Name", ""), "x y");
}

}  // namespace
