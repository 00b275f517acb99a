// The command line: which path a start is given, for what, and which note the user gets.
#include "app/CommandLine.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Paths "expand" to themselves, to a long form when they hold "~1"; a path with "missing" does not expand.
std::optional<std::string> fakeLongPath(const std::string& path) {
    if (path.empty() || path.find("missing") != std::string::npos) return std::nullopt;
    if (path.find("~1") != std::string::npos) return std::string("C:\\Long Folder\\Notes.vlt");
    return path;
}

struct Case {
    const char* line;
    const char* enc;
    const char* backup;
    const char* vault;
    const char* message;
};

TEST(CommandLineTest, ClassifiesTheFirstArgumentByItsEnding) {
    using namespace cmdline;
    const Case cases[] = {
        // the program path alone, quoted or not: nothing, and nothing is read past the end
        {"C:\\Brimsafe\\Brimsafe.exe", "", "", "", ""},
        {"\"C:\\Program Files\\Brimsafe\\Brimsafe.exe\"", "", "", "", ""},
        {"\"C:\\Program Files\\Brimsafe\\Brimsafe.exe\" ", "", "", "", ""},
        {"\"C:\\unclosed quote", "", "", "", ""},
        // every ending, quoted and plain
        {"\"C:\\P F\\Brimsafe.exe\" \"C:\\My Docs\\report.doc.vltenc\"", "C:\\My Docs\\report.doc.vltenc", "", "",
         ""},
        {"Brimsafe.exe C:\\b\\home.bvt", "", "C:\\b\\home.bvt", "", ""},
        {"Brimsafe.exe C:\\b\\home.bkv", "", "", "", RestoreKeyHint},
        {"Brimsafe.exe C:\\v\\home.vlt", "", "", "C:\\v\\home.vlt", ""},
        {"Brimsafe.exe \"C:\\v w\\home.kvt\"", "", "", "C:\\v w\\home.kvt", ""},
        {"Brimsafe.exe C:\\notes.txt", "", "", "", EncryptHint},
        // endings are matched case-sensitively
        {"Brimsafe.exe C:\\v\\HOME.VLT", "", "", "", EncryptHint},
        {"Brimsafe.exe C:\\f\\a.VLTENC", "", "", "", EncryptHint},
        // the long form is what is classified and kept
        {"Brimsafe.exe C:\\LONGFO~1\\Notes.vlt", "", "", "C:\\Long Folder\\Notes.vlt", ""},
        // a path that does not expand
        {"Brimsafe.exe C:\\missing\\a.vlt", "", "", "", EncryptHint},
        // trailing text: only an encrypted file is told that one file at a time is taken
        {"Brimsafe.exe C:\\f\\a.vltenc C:\\f\\b.vltenc", "C:\\f\\a.vltenc", "", "", OneFileAtATime},
        {"Brimsafe.exe \"C:\\f\\a.vltenc\" more", "C:\\f\\a.vltenc", "", "", OneFileAtATime},
        {"Brimsafe.exe C:\\f\\a.vltenc ", "C:\\f\\a.vltenc", "", "", ""},
        {"Brimsafe.exe C:\\v\\home.vlt C:\\other.vlt", "", "", "C:\\v\\home.vlt", ""},
        // a double blank is not an empty argument
        {"Brimsafe.exe  C:\\v\\home.vlt", "", "", "C:\\v\\home.vlt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLineResult r = parseCommandLine(c.line, fakeLongPath);
        EXPECT_EQ(r.PendingEncFile, c.enc);
        EXPECT_EQ(r.PendingBackupFile, c.backup);
        EXPECT_EQ(r.PendingVaultFile, c.vault);
        EXPECT_EQ(r.message, c.message);
    }
}

TEST(CommandLineTest, SystemExpansionKeepsExistingFilesAndRefusesMissingOnes) {
    brimtest::TempFolder temp;
    temp.writeFile("Existing Vault.vlt", "x");
    const std::string existing = temp.file("Existing Vault.vlt");
    CommandLineResult found = parseCommandLine("Brimsafe.exe \"" + existing + "\"");
    EXPECT_EQ(found.message, "");
    EXPECT_EQ(found.PendingVaultFile, systemLongPath(existing).value_or("?"));
    CommandLineResult missing = parseCommandLine("Brimsafe.exe \"" + temp.file("none.vlt") + "\"");
    EXPECT_EQ(missing.PendingVaultFile, "");
    EXPECT_EQ(missing.message, cmdline::EncryptHint);
}

}  // namespace
