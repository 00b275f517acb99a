// The Tools dialog and its "Back Up && Restore" dialog on their real windows:
// the two switches after showing and after a click (the update schedule in
// the registry), the keyboard shortcuts, the backup dialog run with Tools
// hidden and its results passed on with the path, the update check run with
// Tools hidden; the backup dialog's three modes, its suggested names and its
// refusals. Also the framework's part: a modal form hides and shows again
// inside its own modal loop.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_Backup.h"
#include "dialogs/QZ_Frm_Restore.h"
#include "dialogs/QZ_Frm_Tools.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/dialogs/ToolsHost.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <commdlg.h>

#include <memory>

namespace {

using dialogtest::click;
using dialogtest::showModal;
using dialogtest::whenUp;
using dialogtest::ToolsHost;

void ctrlKey(WORD key) {
    skintest::pressKeys({{VK_CONTROL, true}});
    skintest::tapKey(key);
    skintest::pressKeys({{VK_CONTROL, false}});
    fwtest::pumpIdle();
}

std::uint32_t readDword(const char* name) {
    brimtest::RawValue value = brimtest::readRawValue(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, name);
    std::uint32_t number = 0;
    if (value.exists && value.bytes.size() == 4) std::memcpy(&number, value.bytes.data(), 4);
    return value.exists ? number : 0xFFFFFFFFu;
}

void writeDword(const char* name, std::uint32_t number) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegCloseKey(key);
}

class ToolsTest : public dialogtest::SettingsDialogTest {
protected:
    ToolsHost host;
};

TEST_F(ToolsTest, ShowingSetsBothBoxesAndAChangedBoxRewritesTheSchedule) {
    const struct {
        const char* what;
        std::uint32_t update;  // the stored switch before Tools is shown
        bool rewritten;
    } cases[] = {{"automatic check on: nothing written", 1, false}, {"automatic check off: written again", 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        writeDword("Update", c.update);
        writeDword("UpdateTime", 604800);
        writeDword("LastCheck", 1000);
        TFrm_Update* update = MakeForm<TFrm_Update>(nullptr);
        update->SetupCheck("http://127.0.0.1:9/Corvanta/", brimtest::SettingsKeyPath);
        update->SetClockForTesting([] { return 5000; });
        host.update = update;
        TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
        EXPECT_TRUE(tools->CheckBox1->Checked) << "ticked as laid out";
        int result = showModal(tools, [&] {
            ASSERT_TRUE(dialogtest::bringUp(tools));
            EXPECT_EQ(tools->CheckBox1->Checked, c.update == 1);
            EXPECT_EQ(readDword("Update"), c.update);
            EXPECT_EQ(readDword("LastCheck"), c.rewritten ? 5000u : 1000u);
            // A click turns the switch over and writes the whole schedule.
            click(tools->CheckBox1);
            EXPECT_EQ(tools->CheckBox1->Checked, c.update != 1);
            EXPECT_EQ(readDword("Update"), c.update == 1 ? 0u : 1u);
            EXPECT_EQ(readDword("UpdateTime"), 604800u);
            EXPECT_EQ(readDword("LastCheck"), 5000u);
            click(tools->xpCloseButton);
        });
        EXPECT_EQ(result, 2);
        tools->Free();
        update->Free();
        host.update = nullptr;
    }
}

TEST_F(ToolsTest, PasswordsHiddenFollowsTheHostAndAClickTellsIt) {
    for (bool hidden : {false, true}) {
        SCOPED_TRACE(hidden ? "hidden" : "shown");
        host.hidden = hidden;
        host.hiddenSet.clear();
        TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
        showModal(tools, [&] {
            ASSERT_TRUE(dialogtest::bringUp(tools));
            EXPECT_EQ(tools->CheckBox2->Checked, hidden);
            click(tools->CheckBox2);
            click(tools->CheckBox2);
            click(tools->xpCloseButton);
        });
        // Showing with the option set ticks the box, which tells the host again (as a click would).
        std::vector<bool> expected = hidden ? std::vector<bool>{true, false, true} : std::vector<bool>{true, false};
        EXPECT_EQ(host.hiddenSet, expected);
        tools->Free();
    }
}

TEST_F(ToolsTest, ShortcutsAndButtonsGiveTheirResults) {
    const struct {
        const char* what;
        std::function<void(TFrm_Tools*)> act;
        int result;
    } cases[] = {
        {"Ctrl+C", [](TFrm_Tools*) { ctrlKey('C'); }, 8},
        {"Change Vault Password", [](TFrm_Tools* t) { click(t->xpChangePasswordButton); }, 8},
        {"Escape", [](TFrm_Tools*) { dialogtest::tapKey(VK_ESCAPE); }, 2},
        {"Close", [](TFrm_Tools* t) { click(t->xpCloseButton); }, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.autoCheck = true;
        TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
        int result = showModal(tools, [&] {
            ASSERT_TRUE(dialogtest::bringUp(tools));
            c.act(tools);
        });
        EXPECT_EQ(result, c.result);
        tools->Free();
    }
}

TEST_F(ToolsTest, CtrlBRunsTheBackupDialogWithToolsHiddenThenShowsToolsAgain) {
    host.autoCheck = true;
    TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
    bool backupSeen = false, toolsHiddenMeanwhile = false;
    int result = showModal(tools, [&] {
        ASSERT_TRUE(dialogtest::bringUp(tools));
        whenUp<TQZ_Backup>("QZ_Backup", [&](TQZ_Backup* backup) {
            backupSeen = true;
            toolsHiddenMeanwhile = !IsWindowVisible(tools->Handle());
            EXPECT_EQ(std::string(backup->MessageTitle->Caption), "Back Up && Restore");
            EXPECT_TRUE(dialogtest::bringUp(backup));
            click(backup->xpCancelButton);
        });
        ctrlKey('B');
        EXPECT_TRUE(fwtest::pumpUntil([&] { return backupSeen && IsWindowVisible(tools->Handle()); }));
        EXPECT_EQ(tools->GetModalResult(), 0) << "a cancelled backup dialog leaves Tools open";
        ASSERT_TRUE(dialogtest::bringUp(tools));
        click(tools->xpCloseButton);
    });
    EXPECT_TRUE(backupSeen);
    EXPECT_TRUE(toolsHiddenMeanwhile);
    EXPECT_EQ(result, 2);
    tools->Free();
}

TEST_F(ToolsTest, TheBackupDialogsChoiceClosesToolsWithItsPath) {
    const struct {
        const char* what;
        TQCLRadioButton* TQZ_Backup::*option;
        std::vector<int> boxAnswers;  // the restore question
        int result;
    } cases[] = {
        {"back up the vault", &TQZ_Backup::RadioButtonBV, {}, 3},
        {"restore the vault", &TQZ_Backup::RadioButtonRV, {mbrYes}, 4},
        {"back up the key", &TQZ_Backup::RadioButtonBK, {}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host.autoCheck = true;
        brimtest::MessageBoxScript boxes(c.boxAnswers);
        TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
        int result = showModal(tools, [&] {
            ASSERT_TRUE(dialogtest::bringUp(tools));
            whenUp<TQZ_Backup>("QZ_Backup", [&](TQZ_Backup* backup) {
                ASSERT_TRUE(dialogtest::bringUp(backup));
                click(backup->*c.option);
                backup->Edit1->Text = "E:\\Backups\\chosen file";
                click(backup->xpActionButton);
            });
            click(tools->xpBackupButton);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(tools->ToolsPath(), "E:\\Backups\\chosen file");
        EXPECT_EQ(boxes.shown().size(), c.boxAnswers.size());
        tools->Free();
    }
}

TEST_F(ToolsTest, CheckForUpdateNowAsksTheHostOnceWithToolsHidden) {
    host.autoCheck = true;
    TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
    bool hiddenDuringCheck = false;
    host.duringUpdateCheck = [&] { hiddenDuringCheck = !IsWindowVisible(tools->Handle()); };
    int result = showModal(tools, [&] {
        ASSERT_TRUE(dialogtest::bringUp(tools));
        click(tools->xpCheckNowButton);
        EXPECT_TRUE(IsWindowVisible(tools->Handle())) << "shown again after the check";
        EXPECT_EQ(tools->GetModalResult(), 0);
        ASSERT_TRUE(dialogtest::bringUp(tools));
        click(tools->xpCloseButton);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(host.updateChecks, 1);
    EXPECT_TRUE(hiddenDuringCheck);
    tools->Free();
}

TEST_F(ToolsTest, AModalFormHidesAndShowsAgainInsideItsOwnLoop) {
    TForm* form = MakeForm<TForm>(nullptr);
    form->SetBounds(100, 100, 200, 150);
    bool hidden = false, shownAgain = false;
    int result = showModal(form, [&] {
        form->Hide();
        fwtest::pumpIdle();
        hidden = !IsWindowVisible(form->Handle());
        EXPECT_EQ(form->GetModalResult(), 0) << "hiding does not end the loop";
        form->Show();
        fwtest::pumpIdle();
        shownAgain = IsWindowVisible(form->Handle()) != FALSE;
        form->ModalResult = 7;
    });
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(shownAgain);
    EXPECT_EQ(result, 7);
    form->Free();
}

// ---- the backup dialog ----

// Each section's text wraps as it needs; what comes under it starts below its last line.
TEST_F(ToolsTest, EachSectionsControlsStartBelowItsText) {
    TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, host);
    auto textLabel = [&](const char* caption) -> TControl* {
        for (int i = 0; i < tools->Panel1->GetControlCount(); ++i) {
            auto* label = dynamic_cast<DialogLabel*>(tools->Panel1->GetControl(i));
            if (label && label->GetText() == caption) return label;
        }
        return nullptr;
    };
    const struct {
        const char* text;
        TControl* below;
    } sections[] = {
        {"Change the password used to protect your vault.", tools->xpChangePasswordButton},
        {"Back up && Restore your vault and the key used to protect it.", tools->xpBackupButton},
        {"Brimsafe can check online for updates once a week.", tools->CheckBox1},
        {"Hide your passwords so that others cannot see them.", tools->CheckBox2},
    };
    for (const auto& s : sections) {
        SCOPED_TRACE(s.text);
        TControl* label = textLabel(s.text);
        ASSERT_NE(label, nullptr);
        EXPECT_LE(label->Top + label->Height, s.below->Top);
    }
    EXPECT_LE(tools->CheckBox2->Top + tools->CheckBox2->Height, tools->xpCloseButton->Top) << "all fit above Close";
    tools->Free();
}

TEST_F(ToolsTest, TheKeyRestoreDialogsRowsStandClearOfEachOtherAndOfTheEdges) {
    TFrm_Restore* restore = MakeForm<TFrm_Restore>(nullptr);
    const int rowBottom = std::max(restore->Edit1->Top + restore->Edit1->Height,
                                   restore->xpBrowseButton->Top + restore->xpBrowseButton->Height);
    for (TxpButton* button : {restore->xpRestoreButton, restore->xpCancelButton}) {
        SCOPED_TRACE(std::string(button->Caption));
        EXPECT_GE(button->Top - rowBottom, 12) << "the buttons crowd the file row";
        EXPECT_GE(restore->Panel1->Height - (button->Top + button->Height), 8) << "the buttons crowd the edge";
    }
    restore->Free();
}

TEST(BackupFileName, MonthDayAndTwoDigitYear) {
    const struct {
        const char* vault;
        WORD year, month, day;
        const char* name;
    } cases[] = {
        {"Home", 2026, 12, 8, "Home Backup 12-8-26.bvt"},
        {"Home", 2009, 1, 5, "Home Backup 1-5-09.bvt"},
        {"My Vault", 2100, 10, 31, "My Vault Backup 10-31-00.bvt"},
        {"", 2026, 12, 8, "Brimsafe Backup.bvt"},
    };
    for (const auto& c : cases) {
        SYSTEMTIME date = {};
        date.wYear = c.year;
        date.wMonth = c.month;
        date.wDay = c.day;
        EXPECT_EQ(backupFileName(c.vault, date), c.name);
    }
}

class BackupTest : public dialogtest::DialogTest {
protected:
    dialogtest::FakeHost host;
};

TEST_F(BackupTest, EachOptionEmptiesThePathAndSetsItsTexts) {
    const struct {
        const char* what;
        TQCLRadioButton* TQZ_Backup::*option;
        const char* label, *action, *filter, *defaultExt, *fileName;
        int connectorTop, width;
        const char* begins;
    } cases[] = {
        {"back up key", &TQZ_Backup::RadioButtonBK, "Destination:", "Back Up Key",
         "Brimsafe Key Backup File (*.bkv)|*.bkv|All Files|*.*", "bkv", "Home Key Backup.bkv", 181, 225,
         "This option will back up your vault key."},
        {"restore vault", &TQZ_Backup::RadioButtonRV, "Source:", "Restore Vault",
         "Brimsafe Key Backup File (*.bkv)|*.bkv|All Files|*.*", "bkv", "Home Key Backup.bkv", 156, 217,
         "This option will allow you to restore a vault"},
        {"back up vault", &TQZ_Backup::RadioButtonBV, "Destination:", "Back Up Vault",
         "Brimsafe Backup File (*.bvt)|*.bvt|All Files|*.*", "bvt", "Home Backup 12-8-26.bvt", 133, 217,
         "This option will back up all the data in your vault"},
    };
    TQZ_Backup* backup = MakeForm<TQZ_Backup>(nullptr, host);
    SYSTEMTIME date = {};
    date.wYear = 2026, date.wMonth = 12, date.wDay = 8;
    backup->SetDateForTesting(date);
    showModal(backup, [&] {
        ASSERT_TRUE(dialogtest::bringUp(backup));
        EXPECT_TRUE(backup->RadioButtonBV->Checked) << "backing up the vault comes first";
        EXPECT_EQ(backup->SaveDialog1->GetFileName(), "Home Backup 12-8-26.bvt");
        EXPECT_EQ(backup->OpenDialog1->GetFilter(), "Brimsafe Backup File (*.bvt)|*.bvt|All Files|*.*");
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            backup->Edit1->Text = "C:\\somewhere.bvt";
            click(backup->*c.option);
            EXPECT_TRUE((backup->*c.option)->Checked);
            EXPECT_EQ(backup->Edit1->GetText(), "");
            EXPECT_EQ(std::string(backup->Label3->Caption), c.label);
            EXPECT_EQ(std::string(backup->xpActionButton->Caption), c.action);
            EXPECT_EQ(backup->SaveDialog1->GetFilter(), c.filter);
            EXPECT_EQ(backup->SaveDialog1->GetDefaultExt(), c.defaultExt);
            EXPECT_EQ(backup->SaveDialog1->GetFileName(), c.fileName);
            EXPECT_EQ(backup->Shape2->Top, c.connectorTop);
            EXPECT_EQ(backup->Label2->Width, c.width);
            EXPECT_LE(backup->Shape1->Left + backup->Shape1->Width, backup->Panel1->Width - 4)
                << "the description's frame runs past the panel";
            EXPECT_EQ(backup->Shape2->Left + backup->Shape2->Width, backup->Shape1->Left) << "the connector meets it";
            EXPECT_EQ(std::string(backup->Label2->Caption).substr(0, std::string(c.begins).size()), c.begins);
        }
        click(backup->xpCancelButton);
    });
    backup->Free();
}

// Browse starts beside the vault for every option, never in the program's folder.
TEST_F(BackupTest, BrowseOpensInTheVaultsFolder) {
    brimtest::TempFolder vaults;
    host.folder = vaults.path();
    const struct {
        const char* what;
        TQCLRadioButton* TQZ_Backup::*option;
        const char* caption;
    } cases[] = {
        {"back up vault", &TQZ_Backup::RadioButtonBV, "Save As"},
        {"restore vault", &TQZ_Backup::RadioButtonRV, "Open"},
        {"back up key", &TQZ_Backup::RadioButtonBK, "Save As"},
    };
    TQZ_Backup* backup = MakeForm<TQZ_Backup>(nullptr, host);
    showModal(backup, [&] {
        ASSERT_TRUE(dialogtest::bringUp(backup));
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            click(backup->*c.option);
            std::string shown;
            brimtest::DialogAnswerer answerer({{c.caption, "", [&](HWND dialog) {
                                                    char folder[MAX_PATH] = {};
                                                    if (SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                                                     reinterpret_cast<LPARAM>(folder)) <= 0)
                                                        return false;
                                                    shown = folder;
                                                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                                                    return true;
                                                }}});
            click(backup->xpBrowseButton);
            EXPECT_TRUE(answerer.finished(1000));
            EXPECT_EQ(_stricmp(shown.c_str(), vaults.path().c_str()), 0) << shown;
        }
        click(backup->xpCancelButton);
    });
    backup->Free();
}

TEST_F(BackupTest, WithoutAVaultNameTheBackupIsCalledBrimsafeBackup) {
    host.name = "";
    TQZ_Backup* backup = MakeForm<TQZ_Backup>(nullptr, host);
    showModal(backup, [&] {
        EXPECT_EQ(backup->SaveDialog1->GetFileName(), "Brimsafe Backup.bvt");
        backup->ModalResult = mrCancel;
    });
    backup->Free();
}

TEST_F(BackupTest, AnEmptyPathIsRefusedAndOnlyNoKeepsARestoreFromHappening) {
    brimtest::MessageBoxScript boxes({mbrOk, mbrNo, mbrYes});
    TQZ_Backup* backup = MakeForm<TQZ_Backup>(nullptr, host);
    int result = showModal(backup, [&] {
        ASSERT_TRUE(dialogtest::bringUp(backup));
        click(backup->xpActionButton);
        EXPECT_EQ(backup->GetModalResult(), 0);
        click(backup->RadioButtonRV);
        backup->Edit1->Text = "E:\\Home Backup.bvt";
        click(backup->xpActionButton);
        EXPECT_EQ(backup->GetModalResult(), 0) << "No keeps the dialog";
        click(backup->xpActionButton);
    });
    EXPECT_EQ(result, 4);
    EXPECT_EQ(backup->BackupPath(), "E:\\Home Backup.bvt");
    backup->Free();
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].text, "Please select a file before proceeding.");
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_EQ(boxes.shown()[1].text,
              "This will replace all data currently in your vault with the data in the vault you are restoring.\r\n\r\n"
              "Are you sure you would like to do this?");
    EXPECT_EQ(boxes.shown()[1].buttons, mbsYesNo);
    EXPECT_EQ(boxes.shown()[1].icon, mbiCaution);
}

}  // namespace
