// The key-backup and completion pages on their real windows: both Skip
// questions, a missing destination, a failed backup that keeps the page, a
// saved one that closes it without a question; the completion page's folder
// text; and the tutorial started from an install folder with spaces.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_Done.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/FakeHost.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestEnvironment.h"

namespace {

using dialogtest::click;
using dialogtest::FakeHost;
using dialogtest::showModal;

const char* const SkipQuestion = "Are you sure that you would like to proceed without backing up your key?";
const char* const SkipWithDestination =
    "You have selected a destination, but have not backed up the key.  To back it up, you need to press Back Up "
    "Key.  Would you like to proceed without backing up your key?";

class BackupKeyTest : public dialogtest::DialogTest {
protected:
    FakeHost host;
};

TEST_F(BackupKeyTest, TheSaveDialogSuggestsANameFromTheVault) {
    for (const auto& names : {std::pair<std::string, std::string>{"Home", "Home Key Backup.bkv"}, {"", "Brimsafe.bkv"}}) {
        host.name = names.first;
        TFrm_BackupKey* page = MakeForm<TFrm_BackupKey>(nullptr, host);
        EXPECT_EQ(page->SaveDialog1->GetFileName(), names.second);
        page->Free();
    }
}

TEST_F(BackupKeyTest, SkipAsksTheQuestionThatFitsTheDestination) {
    const struct {
        const char* destination;
        const char* question;
    } cases[] = {{"", SkipQuestion}, {"E:\\keys\\Home Key Backup.bkv", SkipWithDestination}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        brimtest::MessageBoxScript boxes({mbrNo, mbrYes});
        TFrm_BackupKey* page = MakeForm<TFrm_BackupKey>(nullptr, host);
        page->destination->Text = c.destination;  // as Browse leaves it
        int result = showModal(page, [&] {
            ASSERT_TRUE(dialogtest::bringUp(page));
            click(page->xpSkipButton);
            EXPECT_EQ(page->GetModalResult(), 0) << "No stays";
            click(page->xpSkipButton);
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(boxes.texts(), (std::vector<std::string>{c.question, c.question}));
        EXPECT_EQ(boxes.shown()[0].icon, mbiQuestion);
        EXPECT_FALSE(page->KeySaved());
        EXPECT_TRUE(host.backups.empty());
        page->Free();
    }
}

TEST_F(BackupKeyTest, AFailedBackupStaysAndASavedOneClosesWithoutAQuestion) {
    brimtest::MessageBoxScript boxes({mbrOk, mbrOk, mbrOk});
    TFrm_BackupKey* page = MakeForm<TFrm_BackupKey>(nullptr, host);
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        click(page->xpBackupButton);  // no destination
        page->destination->Text = "E:\\Home Key Backup.bkv";
        host.backupAnswer = 1;
        click(page->xpBackupButton);
        EXPECT_EQ(page->GetModalResult(), 0) << "a failed backup stays for another try";
        host.backupAnswer = 0;
        click(page->xpBackupButton);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(page->KeySaved());
    EXPECT_EQ(boxes.texts(), (std::vector<std::string>{"You must select a backup destination before proceeding.",
                                                       "Your key has not been saved.", "Your key has been saved."}));
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_EQ(host.backups, (std::vector<std::string>{"E:\\Home Key Backup.bkv", "E:\\Home Key Backup.bkv"}));
    page->Free();
}

class DonePageTest : public dialogtest::DialogTest {};

TEST_F(DonePageTest, TheFolderGetsItsDriveBackslashAndKeepsItsLastPartWhole) {
    FakeHost host;
    TFrm_Done* page = MakeForm<TFrm_Done>(nullptr, host);
    const int room = page->Panel1->Width - 32;  // between the page's 16-pixel margins
    const std::string last = "\\My Brimsafe Vaults";
    std::string longPath = "C:\\Documents and Settings\\somebody";
    while (static_cast<int>(longPath.size()) < 200) longPath += "\\deeper folder";
    longPath += last;
    const struct {
        std::string given;
        std::string expected;  // empty: shortened
    } cases[] = {{"D:", "D:\\"}, {"C:\\Vaults", "C:\\Vaults"}, {longPath, ""}};
    for (const auto& c : cases) {
        page->SetVaultFolder(c.given);
        const std::string shown = page->Label7->Caption;
        EXPECT_LE(page->Label7->Width, room) << shown;
        EXPECT_EQ(page->Label7->Left, 16) << "in line with the texts above it";
        if (!c.expected.empty()) {
            EXPECT_EQ(shown, c.expected);
            continue;
        }
        ASSERT_GE(shown.size(), last.size() + 3);
        EXPECT_EQ(shown.substr(shown.size() - last.size() - 3), "..." + last) << shown;
        EXPECT_EQ(shown.substr(0, shown.size() - last.size() - 3), longPath.substr(0, shown.size() - last.size() - 3));
    }
    page->Free();
}

class TutorialTest : public dialogtest::DialogTest {};

TEST_F(TutorialTest, TutorialStartsTheTutorialFromAFolderWithSpaces) {
    brimtest::TempFolder temp;
    const std::string install = temp.file("Program Files\\Brim safe");
    ASSERT_TRUE(CreateDirectoryA(temp.file("Program Files").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA((brimtest::binaryFolder() + "\\Tutorial.exe").c_str(), (install + "\\Tutorial.exe").c_str(),
                          FALSE));
    EXPECT_EQ(TFrm_Done::TutorialCommandLine(install), "\"" + install + "\\Tutorial.exe\"");
    FakeHost host;
    host.install = install;
    TFrm_Done* page = MakeForm<TFrm_Done>(nullptr, host);
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        click(page->xpTutorialButton);
    });
    EXPECT_EQ(result, 1);
    HWND tutorial = nullptr;
    ASSERT_TRUE(fwtest::pumpUntil([&] { return (tutorial = FindWindowA(nullptr, "Brimsafe Tutorial")) != nullptr; },
                                  15000));
    COPYDATASTRUCT data = {100, 0, nullptr};
    SendMessageA(tutorial, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_TRUE(fwtest::pumpUntil([&] { return !IsWindow(tutorial); }, 10000));
    page->Free();
}

}  // namespace
