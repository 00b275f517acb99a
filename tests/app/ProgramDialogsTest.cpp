// The program's dialogs as the main window calls them, each on its real window answered with real
// input: which dialog each password prompt shows and what it hands back (password and result), the
// selection dialog's choice with its location page and its restore over the main window, the key page fed by pointer moves handing over
// the seed the key was made from, the name prompt, the tips that stay away once ticked, and the
// pages that need the main window answering as cancelled without one. The search of the known
// vaults by ID runs without a window.
#include <gtest/gtest.h>

#include "app/ProgramDialogs.h"
#include "app/QZ_Frm_Main.h"
#include "base/RegistrySettings.h"
#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "dialogs/QZ_Frm_DontShowAgain.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_Restore.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "dialogs/QZ_Frm_Help.h"
#include "dialogs/QZ_Frm_Tools.h"
#include "download/QZ_Frm_Update.h"
#include "download/UpdateVersion.h"
#include "dialogs/TipSettings.h"
#include "tests/app/QuietDialogs.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include <commdlg.h>

#include <atomic>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

using dialogtest::click;
using dialogtest::typeText;

// Runs action on the dialog with this window text once it is up; a dialog the action leaves open
// is closed after a while, so a failing test fails instead of hanging.
template <class Form>
void answer(const std::string& windowText, std::function<void(Form*)> action, DWORD lookForMs = 15000) {
    dialogtest::whenUp<Form>(
        windowText,
        [action](Form* form) {
            HWND window = form->Handle;
            if (dialogtest::bringUp(form)) action(form);
            fwtest::runAfter(5000, [window] {
                if (IsWindow(window) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
            });
        },
        nullptr, GetTickCount() + lookForMs);
}

void typeInto(TControl* edit, const std::string& text) {
    click(edit);
    typeText(text);
}

// Cursor positions 50 px further on both axes at every poll, so every poll adds four bits; or none.
keyseed::EntropySources cursorSources(bool moving) {
    auto polls = std::make_shared<std::atomic<long>>(0);
    keyseed::EntropySources sources;
    sources.cursorPosition = [polls, moving] {
        const long at = moving ? 50 * ++*polls : 0;
        return POINT{at, at};
    };
    sources.milliseconds = [] { return 0; };
    sources.pollWait = [] { Sleep(1); };
    return sources;
}

// Records the key generation it is asked for.
class RecordingEngine : public qzcrypto::RSAEngine {
public:
    void Reserved() override {}
    void Release() override {}
    void GenerateKeys(int keyBits, const unsigned char* seed) override {
        bits = keyBits;
        this->seed.assign(seed, seed + 64);
    }
    void ExportPrivateKey(unsigned char**, unsigned char**) override {}
    void FreePrivateKey(unsigned char*, unsigned char*) override {}
    void ImportPrivateKey(const unsigned char*, const unsigned char*, int) override {}
    void Encrypt(const unsigned char*, int, unsigned char**) override {}
    void Decrypt(const unsigned char*, int, unsigned char**) override {}
    void FreeBuffer(unsigned char*) override {}

    std::atomic<int> bits{0};
    std::vector<unsigned char> seed;
};

class ProgramDialogsTest : public dialogtest::SettingsDialogTest {
protected:
    brimtest::TempFolder temp;
};

TEST_F(ProgramDialogsTest, EachPasswordPromptShowsItsDialogAndGivesWhatWasTyped) {
    using Action = std::function<void(TForm*)>;
    auto enterMode = [](const char* typed, TxpButton* TPasswordForm::*button, std::string* heading) -> Action {
        return [=](TForm* form) {
            auto* dialog = dynamic_cast<TPasswordForm*>(form);
            if (heading) *heading = AnsiString(dialog->Label3->Caption).c_str();
            if (*typed) typeInto(dialog->password1, typed);
            click(dialog->*button);
        };
    };
    std::string heading;
    const struct {
        const char* what;
        int mode;
        bool retry, firstPage;
        const char* window;
        Action action;
        int result;
        const char* password;  // afterwards; "before" is what the caller held
    } cases[] = {
        {"enter mode, Ok", 0, false, false, "PasswordForm",
         enterMode("Tide 42", &TPasswordForm::xpOkButton, nullptr), 1, "Tide 42"},
        {"after a wrong password, Cancel", 0, true, false, "PasswordForm",
         enterMode("typed", &TPasswordForm::xpCancelButton, &heading), 2, "before"},
        {"forgotten", 0, false, false, "PasswordForm", enterMode("", &TPasswordForm::xpForgotButton, nullptr), 7,
         "before"},
        {"change mode, typed twice", 1, false, false, "PasswordForm",
         [](TForm* form) {
             auto* dialog = dynamic_cast<TPasswordForm*>(form);
             typeInto(dialog->password1, "new one");
             typeInto(dialog->password2, "new one");
             click(dialog->xpOkButton);
         },
         1, "new one"},
        {"the wizard's first password", 0, false, true, "Frm_FirstPassword",
         [](TForm* form) {
             auto* page = dynamic_cast<TFrm_FirstPassword*>(form);
             typeInto(page->password1, "first");
             typeInto(page->password2, "first");
             click(page->xpNextButton);
         },
         1, "first"},
        {"the wizard's first password, Cancel", 0, false, true, "Frm_FirstPassword",
         [](TForm* form) { click(dynamic_cast<TFrm_FirstPassword*>(form)->xpCancelButton); }, 2, "before"},
    };
    ProgramDialogs dialogs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        heading.clear();
        answer<TForm>(c.window, c.action);
        SecretText password = "before";
        EXPECT_EQ(dialogs.askPassword(nullptr, c.mode, c.retry, c.firstPage, password), c.result);
        EXPECT_EQ(std::string(password.c_str()), c.password);
        if (c.retry) {
            EXPECT_EQ(heading, "Invalid password.  Reenter password.");
        }
    }
}

TEST_F(ProgramDialogsTest, TheSelectionDialogGivesTheChosenVaultOrLeavesTheChoiceAlone) {
    temp.writeFile("Home.vlt", "vault");
    const std::string folder = temp.path();
    using Action = std::function<void(TFrm_SelectDatabase*)>;
    const struct {
        const char* what;
        Action action;
        int result;
        VaultChoice after;
    } cases[] = {
        {"the preselected vault opened",
         [](TFrm_SelectDatabase* d) { click(d->xpOpenVaultButton); }, 1, {folder, "Home"}},
        {"cancelled: the choice stays as given", [](TFrm_SelectDatabase* d) { click(d->xpCancelButton); }, 2,
         {folder, "Home"}},
        {"a new vault placed on the location page",
         [folder](TFrm_SelectDatabase* d) {
             answer<TFrm_ChooseVaultLoc>("Frm_ChooseVaultLoc", [folder](TFrm_ChooseVaultLoc* page) {
                 page->Edit1->Text = (folder + "\\Travel.vlt").c_str();  // as Browse leaves it
                 click(page->xpNextButton);
             });
             click(d->xpCreateVaultButton);
         },
         16, {folder, "Travel"}},
    };
    ProgramDialogs dialogs;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        answer<TFrm_SelectDatabase>("Frm_SelectDatabase", c.action);
        VaultChoice choice{folder, "Home"};
        const int result = dialogs.selectVault(nullptr, choice);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(choice.folder, c.after.folder);
        EXPECT_EQ(choice.name, c.after.name);
    }
    // The preselected vault found on disk was listed, and so registered.
    EXPECT_EQ(settings::knownVaults(),
              (std::vector<std::pair<std::string, std::string>>{{"Home", folder + "\\Home"}}));
}

// "Restore Vault" on the selection dialog opens the restore dialog over the main window with the
// selection's folder as destination; cancelling it leaves the selection open.
TEST_F(ProgramDialogsTest, TheSelectionDialogRestoresThroughTheRestoreDialogOverTheMainWindow) {
    auto dialogs = std::make_unique<ProgramDialogs>();
    NoFileView files;
    TFormMain* main = MakeForm<TFormMain>(nullptr, *dialogs, files, "Brimsafe.exe", &vaulttest::noHandOff);
    std::string destination;
    bool selectionStayed = false;
    answer<TFrm_SelectDatabase>("Frm_SelectDatabase", [&](TFrm_SelectDatabase* d) {
        answer<TFrm_RestoreVault>("Frm_RestoreVault", [&](TFrm_RestoreVault* restore) {
            destination = restore->GetDestination();
            click(restore->xpCancelButton);
        });
        click(d->xpRestoreVaultButton);
        selectionStayed = dialogtest::bringUp(d);
        click(d->xpCancelButton);
    });
    VaultChoice choice{temp.path(), "Home"};
    EXPECT_EQ(dialogs->selectVault(main, choice), 2);
    EXPECT_EQ(destination, temp.path());
    EXPECT_TRUE(selectionStayed);
    dialogs.reset();
    main->Free();
}

// The file dialogs of the key backup page, the key restore and the vault restore open in the vault's
// folder, whatever folder the program runs in (the install folder when started from its shortcut).
TEST_F(ProgramDialogsTest, BackupAndRestoreFileDialogsOpenInTheVaultsFolder) {
    brimtest::TempFolder vaultFolder, programFolder;
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(programFolder.path().c_str()));
    auto dialogs = std::make_unique<ProgramDialogs>();
    NoFileView files;
    TFormMain* main = MakeForm<TFormMain>(nullptr, *dialogs, files, "Brimsafe.exe", &vaulttest::noHandOff);
    main->store().setDBLoc(vaultFolder.path());
    main->store().setDBFname("Home");

    // Browse clicked on the dialog; the file dialog's folder read and the file dialog cancelled.
    auto folderOfBrowse = [](TxpButton* browse, const char* fileDialogCaption) {
        std::string shown = "(no file dialog)";
        brimtest::DialogAnswerer answerer({{fileDialogCaption, "", [&](HWND dialog) {
                                                char folder[MAX_PATH] = {};
                                                if (SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                                                 reinterpret_cast<LPARAM>(folder)) <= 0)
                                                    return false;
                                                shown = folder;
                                                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                                                return true;
                                            }}});
        click(browse);
        answerer.finished(5000);
        return shown;
    };
    std::vector<std::string> folders;
    answer<TFrm_Restore>("Frm_Restore", [&](TFrm_Restore* d) {
        folders.push_back("key restore: " + folderOfBrowse(d->xpBrowseButton, "Open"));
        click(d->xpCancelButton);
    });
    std::string keyFile;
    EXPECT_EQ(dialogs->keyRestore(main, keyFile), 2);

    answer<TFrm_RestoreVault>("Frm_RestoreVault", [&](TFrm_RestoreVault* d) {
        folders.push_back("vault restore: " + folderOfBrowse(d->xpSourceBrowseButton, "Open"));
        click(d->xpCancelButton);
    });
    EXPECT_EQ(dialogs->restoreVault(main, vaultFolder.path(), ""), 2);

    answer<TFrm_BackupKey>("Frm_BackupKey", [&](TFrm_BackupKey* d) {
        folders.push_back("key backup page: " + folderOfBrowse(d->xpBrowseButton, "Save As"));
        click(d->xpSkipButton);
    });
    {
        brimtest::MessageBoxScript boxes({mbrYes});
        dialogs->backupKeyPage(main);
    }

    for (std::string& folder : folders) CharLowerA(&folder[0]);
    std::string expected = vaultFolder.path();
    CharLowerA(&expected[0]);
    EXPECT_EQ(folders, (std::vector<std::string>{"key restore: " + expected, "vault restore: " + expected,
                                                 "key backup page: " + expected}));
    SetCurrentDirectoryA(previous);
    dialogs.reset();
    main->Free();
}

TEST_F(ProgramDialogsTest, AKnownVaultIsFoundByTheIdInItsKeyFile) {
    auto keyFile = [](unsigned char idByte) {
        std::string bytes(784, '\0');
        for (int i = 0; i < 16; ++i) bytes[8 + i] = static_cast<char>(idByte + i);
        return bytes;
    };
    for (const char* name : {"Home", "Work"}) {
        temp.writeFile(std::string(name) + ".vlt", "vault");
        settings::RegistryKey key;
        ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::VaultsKeyPath));
        key.writeString(name, temp.file(name));
    }
    temp.writeFile("Home.kvt", keyFile(0x10));
    temp.writeFile("Work.kvt", keyFile(0x40));
    ProgramDialogs dialogs;

    unsigned char work[16];
    for (int i = 0; i < 16; ++i) work[i] = static_cast<unsigned char>(0x40 + i);
    VaultChoice found{"untouched", "untouched"};
    ASSERT_TRUE(dialogs.findVaultById(work, found));
    EXPECT_EQ(found.folder, temp.path());
    EXPECT_EQ(found.name, "Work");

    unsigned char unknown[16] = {0x99};
    VaultChoice none{"untouched", "untouched"};
    EXPECT_FALSE(dialogs.findVaultById(unknown, none));
    EXPECT_EQ(none.folder, "untouched");
    EXPECT_EQ(none.name, "untouched");
}

TEST_F(ProgramDialogsTest, TheKeyPageMakesTheKeyFromThePointersMovesAndHandsOverItsSeed) {
    {
        // Each poll moves the pointer 50 px on both axes: x & 3 and y & 3 alternate 2 and 0 per
        // sample, so every seed byte holds the pairs 2, 2, 0, 0.
        ProgramDialogs dialogs(cursorSources(true));
        RecordingEngine engine;
        brimtest::MessageBoxScript boxes({mbrOk});
        unsigned char seed[64] = {};
        EXPECT_EQ(dialogs.createKeys(nullptr, engine, 1024, seed), 1);
        EXPECT_EQ(engine.bits.load(), 1024);
        EXPECT_EQ(std::vector<unsigned char>(seed, seed + 64), std::vector<unsigned char>(64, 0xA0));
        EXPECT_EQ(engine.seed, std::vector<unsigned char>(seed, seed + 64));
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your key has been created."});
    }
    {
        // A pointer standing still adds nothing; Cancel gives nothing and makes no key.
        ProgramDialogs dialogs(cursorSources(false));
        RecordingEngine engine;
        answer<TForm>("Frm_Initializing", [](TForm* form) {
            auto* page = dynamic_cast<TFrm_Initializing*>(form);
            click(page->xpCancelButton);
        });
        unsigned char seed[64] = {0x5A};
        EXPECT_EQ(dialogs.createKeys(nullptr, engine, 1024, seed), 2);
        EXPECT_EQ(engine.bits.load(), 0);
        EXPECT_EQ(seed[0], 0x5A);
    }
}

TEST_F(ProgramDialogsTest, TheNamePromptGivesTheTypedNameOrNothing) {
    ProgramDialogs dialogs;
    answer<TFrm_ChooseName>("Frm_ChooseName", [](TFrm_ChooseName* d) {
        typeInto(d->Edit1, "Travel");
        click(d->xpOkButton);
    });
    std::string name = "before";
    EXPECT_EQ(dialogs.chooseName(nullptr, name), 1);
    EXPECT_EQ(name, "Travel");

    answer<TFrm_ChooseName>("Frm_ChooseName", [](TFrm_ChooseName* d) {
        typeInto(d->Edit1, "Never");
        click(d->xpCancelButton);
    });
    EXPECT_EQ(dialogs.chooseName(nullptr, name), 2);
    EXPECT_EQ(name, "Travel");
}

// "Ok" without the box leaves the tip on; with it ticked the tip never comes again, nor does the
// other tip of the same id.
TEST_F(ProgramDialogsTest, ATipComesBackUntilItsBoxIsTicked) {
    ProgramDialogs dialogs;
    std::vector<std::string> shown;
    auto expectTip = [&](bool tick, DWORD lookForMs = 15000) {
        answer<TFrm_DontShowAgain>(
            "Frm_DontShowAgain",
            [&shown, tick](TFrm_DontShowAgain* d) {
                shown.push_back(AnsiString(d->Message->Caption).c_str());
                if (tick) click(d->CheckBox1);
                click(d->xpOkButton);
            },
            lookForMs);
    };
    expectTip(false);
    dialogs.tip(nullptr, tips::FilesDropped.id, tips::FilesDropped.text);
    expectTip(true);
    dialogs.tip(nullptr, tips::FilesDropped.id, tips::FilesDropped.text);
    // Were it shown, it would wait in its modal loop for the answer scheduled here.
    expectTip(false, 3000);
    dialogs.tip(nullptr, tips::FileAdded.id, tips::FileAdded.text);
    EXPECT_EQ(shown, (std::vector<std::string>{tips::FilesDropped.text, tips::FilesDropped.text}));
    EXPECT_FALSE(tips::IsTipEnabled(tips::FileAdded.id));
    EXPECT_TRUE(tips::IsTipEnabled(tips::ClosingVault.id));
}

// Over a window that is not the main window there is no host for these pages: nothing is shown.
TEST_F(ProgramDialogsTest, PagesThatNeedTheMainWindowAnswerAsCancelledWithoutIt) {
    ProgramDialogs dialogs;
    EXPECT_EQ(dialogs.restoreVault(nullptr, temp.path(), ""), 2);
    dialogs.backupKeyPage(nullptr);
    dialogs.donePage(nullptr, temp.path());
    dialogs.tools(nullptr);
    dialogs.help(nullptr);
    EXPECT_EQ(dialogtest::findDialog("Frm_BackupKey"), nullptr);
    EXPECT_EQ(dialogtest::findDialog("Frm_Done"), nullptr);
}

// ---- the update check and the dialogs kept over the main window ----

// The schedule as another run (or a check of this one) left it in the settings.
void writeSchedule(const char* updateBaseUrl, int secondsAgo) {
    settings::RegistryKey key;
    ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
    key.writeDword("Update", 1);
    key.writeDword("UpdateTime", 604800);
    key.writeDword("LastCheck", static_cast<DWORD>(time(nullptr) - secondsAgo));
    if (updateBaseUrl)
        key.writeString("UpdateBaseUrl", updateBaseUrl);
    else
        RegDeleteValueA(key.get(), "UpdateBaseUrl");
}

// Read at every start-up routine, not once per process; and never due while no update server is set.
TEST_F(ProgramDialogsTest, TheWeeklyCheckIsDueAsTheSettingsSayNowAndNeverWithoutAServer) {
    ProgramDialogs dialogs;
    const char* const server = "http://127.0.0.1:9/Corvanta/";
    const struct {
        const char* what;
        const char* url;
        int secondsAgo;
        bool due;
    } cases[] = {
        {"a week over, no server", nullptr, 700000, false},
        {"a week over, a server set", server, 700000, true},
        {"checked since", server, 0, false},
        {"a week over again", server, 604800, true},
        {"the server unset again", nullptr, 604800, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeSchedule(c.url, c.secondsAgo);
        EXPECT_EQ(dialogs.updateCheckDue(), c.due);
    }
}

TEST_F(ProgramDialogsTest, AskingForACheckWithoutAnUpdateServerSaysSoAndChecksNothing) {
    ProgramDialogs dialogs;
    writeSchedule(nullptr, 700000);
    brimtest::MessageBoxScript boxes({mbrOk});
    dialogs.checkForUpdate(nullptr);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{NoUpdateServerText});
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Update");
    EXPECT_EQ(dialogtest::findDialog("Frm_Update"), nullptr);
}

// Help and Update belong to the main window and stand centred over it, Update also when Tools
// asks for it.
TEST_F(ProgramDialogsTest, HelpAndUpdateAreOwnedByAndCentredOverTheMainWindow) {
    writeSchedule("http://127.0.0.1:9/Corvanta/", 0);
    auto dialogs = std::make_unique<ProgramDialogs>();
    NoFileView files;
    TFormMain* main = MakeForm<TFormMain>(nullptr, *dialogs, files, "Brimsafe.exe", &vaulttest::noHandOff);
    main->SetBounds(30, 40, 757, 500);
    main->Show();
    fwtest::pumpIdle();
    auto centredOverMain = [main](TForm* dialog) {
        const TRect m = main->BoundsRect(), d = dialog->BoundsRect();
        return dialog->Owner == main && d.Left == m.Left + (m.Width() - d.Width()) / 2 &&
               d.Top == m.Top + (m.Height() - d.Height()) / 2;
    };
    std::vector<std::string> seen;
    auto expectUpdateOver = [&](const char* from) {
        answer<TFrm_Update>("Frm_Update", [&seen, centredOverMain, from](TFrm_Update* d) {
            seen.push_back(std::string(from) + (centredOverMain(d) ? ": over the main window" : ": elsewhere"));
            click(d->xpCancelButton);
        });
    };

    answer<TFrm_Help>("Frm_Help", [&](TFrm_Help* d) {
        seen.push_back(std::string("help") + (centredOverMain(d) ? ": over the main window" : ": elsewhere"));
        click(d->xpOkButton);
    });
    dialogs->help(main);

    expectUpdateOver("update");
    dialogs->checkForUpdate(main);

    answer<TFrm_Tools>("Frm_Tools", [&](TFrm_Tools* tools) {
        expectUpdateOver("update from Tools");
        click(tools->xpCheckNowButton);
        fwtest::runAfter(200, [tools] {
            if (dialogtest::bringUp(tools)) click(tools->xpCloseButton);
        });
    });
    dialogs->tools(main);

    EXPECT_EQ(seen, (std::vector<std::string>{"help: over the main window", "update: over the main window",
                                              "update from Tools: over the main window"}));
    // The main window frees the dialogs it owns; the program's dialogs do not free them again.
    main->Free();
    dialogs.reset();
}

}  // namespace
