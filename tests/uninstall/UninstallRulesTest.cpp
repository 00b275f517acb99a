// The uninstaller's window-free rules: where the copy goes, how folders and key paths are
// joined and split, and which extension keys count as Brimsafe's.
#include "uninstall/QZ_Frm_Uninstall.h"

#include <gtest/gtest.h>

namespace {

struct JoinCase {
    const char* folder;
    const char* name;
    const char* expected;
};

TEST(UninstallPaths, TempTargetHasExactlyOneBackslashBeforeTheName) {
    // The system's temp folder ends in a backslash; one without it must give the same target.
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Temp\\", "C:\\Temp\\Uninstall.exe"},
        {"C:\\Temp", "C:\\Temp\\Uninstall.exe"},
        {"C:\\", "C:\\Uninstall.exe"},
    };
    for (const auto& [folder, target] : cases) EXPECT_EQ(uninstall::TempTarget(folder), target) << folder;
}

TEST(UninstallPaths, StartMenuJoinHasExactlyOneBackslash) {
    const JoinCase cases[] = {
        {"C:\\Start\\Programs", "Quarrendel\\Brimsafe\\Brimsafe.lnk", "C:\\Start\\Programs\\Quarrendel\\Brimsafe\\Brimsafe.lnk"},
        {"C:\\Start\\Programs\\", "Quarrendel\\Brimsafe\\Tutorial.lnk", "C:\\Start\\Programs\\Quarrendel\\Brimsafe\\Tutorial.lnk"},
        {"C:\\Start\\Programs\\\\", "\\Quarrendel", "C:\\Start\\Programs\\Quarrendel"},
        {"C:\\", "Brimsafe.lnk", "C:\\Brimsafe.lnk"},
    };
    for (const JoinCase& c : cases) EXPECT_EQ(uninstall::JoinPath(c.folder, c.name), c.expected) << c.folder;
}

TEST(UninstallPaths, ParentFolderDropsTheLastComponentAndNeverNamesADrivesCurrentFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Quarrendel\\Brimsafe", "C:\\Program Files\\Quarrendel"},
        {"C:\\Program Files\\Quarrendel\\Brimsafe\\", "C:\\Program Files\\Quarrendel"},
        // "C:" alone would be the current folder of drive C:, which an empty-folder removal could take.
        {"C:\\Brimsafe", "C:\\"},
        {"\\\\server\\share\\Brimsafe", "\\\\server\\share"},
        {"Brimsafe", ""},
        {"", ""},
    };
    for (const auto& [folder, parent] : cases) EXPECT_EQ(uninstall::ParentFolder(folder), parent) << folder;
}

TEST(UninstallRegistry, KeyPathSplitsAtTheLastBackslashOnly) {
    std::string parent, name;
    ASSERT_TRUE(uninstall::SplitKeyPath("Software\\Quarrendel\\Brimsafe", parent, name));
    EXPECT_EQ(parent, "Software\\Quarrendel");
    EXPECT_EQ(name, "Brimsafe");
    ASSERT_TRUE(uninstall::SplitKeyPath(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}", parent,
        name));
    EXPECT_EQ(parent, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(name, "{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}");
    // Nothing to delete: no parent, or an empty name (which would take every subkey of the parent).
    for (const char* path : {"Brimsafe", "\\Brimsafe", "Software\\", ""})
        EXPECT_FALSE(uninstall::SplitKeyPath(path, parent, name)) << path;
}

TEST(UninstallRegistry, ExtensionKeyIsBrimsafesOnlyWhenItPointsAtAnIdentifierOrNothing) {
    const std::pair<const char*, bool> cases[] = {
        {"", true},
        {"Brimsafe.Backup", true},
        {"Brimsafe.EncryptedFile", true},
        {"Brimsafe.DatabaseFile", true},
        {"Brimsafe.DatabaseKeyFile", true},
        {"Brimsafe.BackupKey", true},
        {"brimsafe.databasefile", true},  // identifiers are not case-sensitive
        {"Other.Sketch", false},
        {"Brimsafe.DatabaseFile2", false},
        {"Brimsafe", false},
    };
    for (const auto& [value, ours] : cases) EXPECT_EQ(uninstall::IsBrimsafeExtensionValue(value), ours) << value;
}

}  // namespace
