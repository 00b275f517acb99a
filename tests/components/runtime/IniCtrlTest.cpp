// INI and registry storage: section names, list entries, and round trips on
// both targets (registry under the product key, INI in a temporary folder).
#include "components/runtime/QCLIniCtrl.h"
#include "components/runtime/qclclass.h"

#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

const char kTestKey[] = "software\\Quarrendel\\RuntimeTest";

class IniCtrlRegistry : public brimtest::FreshRegistry {
protected:
    IniCtrlRegistry() { ini.RegPath = kTestKey; }
    TQCLIniCtrl ini{nullptr};
};

TEST_F(IniCtrlRegistry, ValuesRoundTripAndLieInSectionSubkeys) {
    ini.WriteString("Options", "Size", "3");
    ini.WriteInteger("Options", "Count", -12);
    ini.WriteBool("Options", "On", true);
    ini.WriteString("#ROOT", "Direct", "x");

    const auto size = brimtest::readRawValue(HKEY_CURRENT_USER, std::string(kTestKey) + "\\Options", "Size");
    ASSERT_TRUE(size.exists);
    EXPECT_EQ(size.type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(brimtest::readRawValue(HKEY_CURRENT_USER, kTestKey, "Direct").exists);

    EXPECT_EQ(ini.ReadString("Options", "Size", "d"), "3");
    EXPECT_EQ(ini.ReadInteger("Options", "Count", 0), -12);
    EXPECT_TRUE(ini.ReadBool("Options", "On", false));
    EXPECT_EQ(ini.ReadString("Options", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Nowhere", "Missing", "d"), "d");

    ini.DeleteKey("Options", "Size");
    EXPECT_EQ(ini.ReadString("Options", "Size", "gone"), "gone");
}

TEST_F(IniCtrlRegistry, ReadingCreatesNothing) {
    EXPECT_EQ(ini.ReadString("Options", "Size", "d"), "d");
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(IniCtrlRegistry, ListsAreErasedBeforeWritingAndReadUpToTheFirstGap) {
    TStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty.Add("item" + IntToStr(i));
    ini.WriteStrings("MRU", "File", &twenty);
    TStringList names;
    ini.ReadSection("MRU", &names);
    EXPECT_EQ(names.Count(), 16);

    TStringList three;
    three.Add("a");
    three.Add("b");
    three.Add("c");
    ini.WriteStrings("MRU", "File", &three);  // the 13 older entries go with the erased section
    TStringList back;
    ini.ReadStrings("MRU", "File", &back);
    EXPECT_EQ(back.Text(), three.Text());

    ini.WriteString("MRU", "File1", "");
    ini.ReadStrings("MRU", "File", &back);
    EXPECT_EQ(back.Count(), 1);
}

TEST_F(IniCtrlRegistry, AlphaCounterNamesEntriesWithLetters) {
    ini.AlphaCounter = true;
    EXPECT_EQ(ini.MaxEntries, 16);
    ini.MaxEntries = 40;
    EXPECT_EQ(ini.MaxEntries, 16);
    ini.MaxEntries = 26;
    TStringList list;
    list.Add("first");
    list.Add("second");
    ini.WriteStrings("Letters", "Entry", &list);
    EXPECT_EQ(ini.ReadString("Letters", "EntryB", ""), "second");
    EXPECT_EQ(ini.GetCounterIdent(0), "A");

    ini.AlphaCounter = false;
    ini.MaxEntries = 100;
    ini.AlphaCounter = true;
    EXPECT_EQ(ini.MaxEntries, 26);
}

TEST_F(IniCtrlRegistry, ColorListWritesOnlyNameValueLines) {
    TStringList colors;
    colors.Add("Back=$00FF00");
    colors.Add("no equals sign");
    colors.Add("Text=clRed");
    ini.WriteColorList("Colors", &colors);
    TStringList back;
    ini.ReadColorList("Colors", &back);
    back.Sorted = true;
    EXPECT_EQ(back.Text(), "Back=$00FF00\r\nText=clRed\r\n");
}

TEST(IniCtrlSections, NamesPerTarget) {
    TQCLIniCtrl ini(nullptr);
    EXPECT_EQ(ini.GetSectionName("Main"), "Main");
    EXPECT_EQ(ini.GetSectionName("#ROOT"), "");
    EXPECT_EQ(ini.GetSectionName("  "), "Common");  // the cache is blank
    EXPECT_EQ(ini.GetSectionName("Main"), "Main");
    EXPECT_EQ(ini.GetSectionName(""), "Main");

    ini.Target = itIniFile;
    EXPECT_EQ(ini.GetSectionName("#ROOT"), "#ROOT");
    ini.Common = false;
    ini.User = "bob";
    EXPECT_EQ(ini.GetSectionName("Main"), "bob.Main");
    ini.NetUser = true;
    EXPECT_EQ(ini.User, ini.GetNetUserName());
    EXPECT_EQ(ini.GetSectionName("Main"), ini.GetNetUserName() + ".Main");
}

TEST(IniCtrlSections, FileNamesAndPaths) {
    TQCLIniCtrl ini(nullptr);
    ini.IniFile = "C:\\x\\settings";
    EXPECT_EQ(ini.IniFile(), "C:\\x\\settings.INI");
    ini.IniFile = "C:\\x.y\\name.cfg";
    EXPECT_EQ(ini.IniFile(), "C:\\x.y\\name.cfg");
    ini.IniPrefix = ppWindows;
    EXPECT_EQ(ini.GetIniName(), QCLWindowsDirectory() + "\\name.cfg");
    ini.IniPrefix = ppFixed;
    EXPECT_EQ(ini.GetIniName(), "C:\\x.y\\name.cfg");

    ini.RegPath = "Software\\Maker\\App";
    EXPECT_EQ(ini.GetRegPath(), "Software\\Maker\\App\\");
    ini.RegPath = " ";
    TQCLApplication app(nullptr);
    app.CompanyText = "Maker";
    app.VersionText = "2.0";
    EXPECT_EQ(app.GetDefaultRegPath(), "Software\\Maker\\runtime_tests\\2.0\\");
    EXPECT_EQ(QCLGetRootKey(rpLocalMachine), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(QCLGetRootKey(rpDynData)), 0x80000006u);
}

class IniCtrlFile : public brimtest::TempFolderTest {
protected:
    IniCtrlFile() {
        ini.Target = itIniFile;
        ini.IniPrefix = ppFixed;
        ini.IniFile = temp.file("store.ini");
    }
    TQCLIniCtrl ini{nullptr};
};

TEST_F(IniCtrlFile, ValuesLandInTheFile) {
    ini.WriteString("Main", "Name", "value");
    ini.WriteInteger("Main", "Count", 7);
    EXPECT_EQ(temp.readFile("store.ini").find("[Main]") != std::string::npos, true);
    EXPECT_EQ(ini.ReadString("Main", "Name", ""), "value");
    EXPECT_EQ(ini.ReadInteger("Main", "Count", 0), 7);
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.IndexOf("Main"), 0);
}

TEST_F(IniCtrlFile, ListsWithAUserPrefixReadBackWhatWasWritten) {
    ini.Common = false;
    ini.User = "bob";
    TStringList four, two, back;
    for (const char* s : {"a", "b", "c", "d"})
        four.Add(s);
    two.Add("x");
    two.Add("y");
    ini.WriteStrings("Recent", "F", &four);
    ini.WriteStrings("Recent", "F", &two);
    ini.ReadStrings("Recent", "F", &back);
    EXPECT_EQ(back.Text(), two.Text());
    EXPECT_NE(temp.readFile("store.ini").find("[bob.Recent]"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(IniCtrlRegistry, ColoursAreStoredByName) {
    ini.WriteColor("Look", "Back", clRed);
    EXPECT_EQ(ini.ReadString("Look", "Back", ""), "clRed");
    EXPECT_EQ(ini.ReadColor("Look", "Back", clBlack), clRed);
    EXPECT_EQ(ini.ReadColor("Look", "Missing", clBtnFace), clBtnFace);
    ini.WriteString("Look", "Bad", "not a colour");
    EXPECT_THROW(ini.ReadColor("Look", "Bad", clBlack), EConvertError);
}

}  // namespace

namespace {

TEST_F(IniCtrlRegistry, NumbersDatesAndTimesGoThroughLocaleText) {
    ini.WriteFloat("Values", "Ratio", 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Values", "Ratio", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Values", "Missing", -1.25), -1.25);
    const TDateTime day = EncodeDate(2026, 12, 10);
    const TDateTime moment = day + EncodeTime(13, 45, 30, 0);
    ini.WriteDate("Values", "Day", day);
    ini.WriteTime("Values", "At", EncodeTime(13, 45, 30, 0));
    ini.WriteDateTime("Values", "When", moment);
    EXPECT_DOUBLE_EQ(ini.ReadDate("Values", "Day", 0), day);
    EXPECT_NEAR(ini.ReadTime("Values", "At", 0), EncodeTime(13, 45, 30, 0), 1e-9);
    EXPECT_NEAR(ini.ReadDateTime("Values", "When", 0), moment, 1e-9);
    EXPECT_EQ(ini.ReadString("Values", "Day", ""), DateToStr(day));
    ini.WriteString("Values", "Bad", "soon");
    EXPECT_THROW(ini.ReadFloat("Values", "Bad", 0), EConvertError);
    EXPECT_THROW(ini.ReadDate("Values", "Bad", 0), EConvertError);
    EXPECT_THROW(ini.ReadTime("Values", "Bad", 0), EConvertError);
}

}  // namespace

namespace {

TEST_F(IniCtrlRegistry, DefaultPathComesFromTheApplicationObject) {
    QCLInitApplication();
    QCLApplication->CompanyText = "Quarrendel";  // inside the key the fixture clears
    TQCLIniCtrl defaults(nullptr);
    defaults.WriteString("Options", "Size", "3");
    const auto value =
        brimtest::readRawValue(HKEY_CURRENT_USER, "Software\\Quarrendel\\runtime_tests\\Options", "Size");
    EXPECT_TRUE(value.exists);
    EXPECT_EQ(std::string(value.bytes.begin(), value.bytes.end()).c_str(), std::string("3"));
    QCLDoneApplication();
}

}  // namespace
