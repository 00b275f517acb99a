// The restore dialog on its real window with a scripted restore: every
// refusal before a restore (no source, the name prompt cancelled, overwrite
// declined, a vault of that name open in another process, a missing parent
// folder), the one missing level created, the three outcomes, the location
// with the folder browser's start, and the selection dialog's "Restore Vault".
#include <gtest/gtest.h>

#include "dialogs/KnownVaults.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/dialogs/ToolsHost.h"
#include "tests/dialogs/TraceLogCapture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VaultHolderProcess.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;

const char* const Invalid =
    "The destination you selected is invalid.  Either you have chosen a directory that does not exist, or you do not "
    "have the necessary permission.";
const char* const Overwrite =
    "A vault already exists with this name in the directory you chose.  Would you like to overwrite it?  All data it "
    "contains will be lost.";
const char* const AlreadyOpen =
    "The vault you have selected is already open on this computer.  You cannot have the same vault open more than "
    "once at the same time.";

class RestoreDialogTest : public dialogtest::SettingsDialogTest {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        host.restoreAnswer = [](const dialogtest::ToolsHost::Restore&) { return 0; };
    }
    // Presses "Restore Vault" once with the name prompt answered (OK with name, or Cancel when empty),
    // then Cancel when the dialog stayed open; the modal result.
    int restoreOnce(const std::string& destination, const std::string& name, const std::string& source = "C:\\b.bvt") {
        TFrm_RestoreVault* dialog = MakeForm<TFrm_RestoreVault>(nullptr, host);
        dialog->SetLocation(destination);
        dialog->SetSource(source);
        promptSeen = false;
        // An answer still looking when this run ends (no prompt came) must not answer the next run's.
        auto active = std::make_shared<bool>(true);
        int result = showModal(dialog, [&] {
            dialogtest::whenUp<TFrm_ChooseName>("Frm_ChooseName", [this, active, name](TFrm_ChooseName* prompt) {
                if (!*active || !dialogtest::bringUp(prompt)) return;
                promptSeen = true;
                if (name.empty()) {
                    click(prompt->xpCancelButton);
                    return;
                }
                click(prompt->Edit1);
                dialogtest::typeText(name);
                click(prompt->xpOkButton);
            });
            if (!dialogtest::bringUp(dialog)) return;
            click(dialog->xpRestoreButton);
            if (dialog->GetModalResult() == 0) click(dialog->xpCancelButton);
        });
        *active = false;
        dialog->Free();
        return result;
    }
    // A vault on disk whose key file carries sixteen times idByte.
    void makeVault(const std::string& name, unsigned char idByte) {
        temp.writeFile(name + ".vlt", std::string(136, 'v'));
        std::string key(784, '\0');
        for (int i = 8; i < 24; ++i) key[i] = static_cast<char>(idByte);
        const char magic[4] = {0x11, 0x07, static_cast<char>(0xEA), 0x3D};
        key.replace(24, 4, magic, 4);
        temp.writeFile(name + ".kvt", key);
    }

    dialogtest::ToolsHost host;
    brimtest::TempFolder temp;
    bool promptSeen = false;
};

TEST_F(RestoreDialogTest, RefusalsBeforeAnyRestore) {
    makeVault("Family", 7);
    const struct {
        const char* what;
        std::string source, destination, name;
        std::vector<int> answers;
        std::vector<std::string> told;
        bool prompted;
    } cases[] = {
        {"no source", "", temp.path(), "Family", {mbrOk}, {"You must first browse to a source to restore from."}, false},
        {"name prompt cancelled", "C:\\b.bvt", temp.path(), "", {}, {}, true},
        {"overwrite declined", "C:\\b.bvt", temp.path(), "Family", {mbrNo}, {Overwrite}, true},
        {"overwrite question closed", "C:\\b.bvt", temp.path(), "Family", {mbrCancel}, {Overwrite}, true},
        {"empty destination", "C:\\b.bvt", "", "Family", {mbrOk}, {Invalid}, true},
        {"missing parent", "C:\\b.bvt", temp.file("no parent\\child"), "Family", {mbrOk}, {Invalid}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::MessageBoxScript boxes(c.answers);
        EXPECT_EQ(restoreOnce(c.destination, c.name, c.source), 2);
        EXPECT_EQ(promptSeen, c.prompted);
        EXPECT_EQ(boxes.texts(), c.told);
        EXPECT_TRUE(host.restores.empty());
    }
    EXPECT_FALSE(temp.exists("no parent"));
}

TEST_F(RestoreDialogTest, AVaultOfThatNameOpenInAnotherProcessIsRefusedAndKeptAsItIs) {
    makeVault("Family", 0x3C);
    const std::string vault = temp.readFile("Family.vlt"), key = temp.readFile("Family.kvt");
    unsigned char id[16];
    std::fill(std::begin(id), std::end(id), 0x3C);
    brimtest::VaultHolderProcess holder({knownvaults::mutexNameOf(id), "", "", false});
    ASSERT_TRUE(holder.running());
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(restoreOnce(temp.path(), "Family"), 2);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{AlreadyOpen});
    EXPECT_TRUE(host.restores.empty());
    EXPECT_EQ(temp.readFile("Family.vlt"), vault);
    EXPECT_EQ(temp.readFile("Family.kvt"), key);
}

TEST_F(RestoreDialogTest, OneMissingLevelIsCreatedAndTheOutcomesAreTold) {
    const struct {
        const char* what;
        int outcome;
        int result;
        const char* told;
    } cases[] = {
        {"restored", 0, 9, "Your vault has been restored."},
        {"put back", 1, 2, "Your vault has not been restored."},
        {"not a backup", 2, 2, "This is not a valid Vault Backup.  Your vault has not been restored."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string folder = temp.file(std::string("new ") + c.what);
        host.restores.clear();
        host.restoreAnswer = [&](const dialogtest::ToolsHost::Restore&) { return c.outcome; };
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_EQ(restoreOnce(folder, "Family", "D:\\Home Backup.bvt"), c.result);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.told});
        ASSERT_EQ(host.restores.size(), 1u);
        EXPECT_EQ(host.restores[0].folder, folder);
        EXPECT_EQ(host.restores[0].name, "Family");
        EXPECT_EQ(host.restores[0].backupFile, "D:\\Home Backup.bvt");
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
}

TEST_F(RestoreDialogTest, TheLocationSetsTheDestinationAndTheBrowsersStart) {
    TFrm_RestoreVault* dialog = MakeForm<TFrm_RestoreVault>(nullptr, host);
    const struct {
        const char* path;
        const char* start;
    } cases[] = {{"C:\\Users\\Pat\\Vaults", "C:\\Users\\Pat"}, {"Vaults", ""}, {"C:\\", "C:"}};
    std::vector<std::string> logged;
    {
        dialogtest::TraceLogCapture log(temp);
        for (const auto& c : cases) {
            dialog->SetLocation(c.path);
            EXPECT_EQ(dialog->GetDestination(), c.path);
            EXPECT_EQ(std::string(dialog->QCLBrowseDlg1->SelectedFolder), c.start) << c.path;
        }
        logged = log.lines();
    }
    EXPECT_EQ(logged, (std::vector<std::string>{"setting location in RestoreVault", "C:\\Users\\Pat\\Vaults",
                                                 "C:\\Users\\Pat", "setting location in RestoreVault", "Vaults", "",
                                                 "setting location in RestoreVault", "C:\\", "C:"}));
    EXPECT_EQ(std::string(dialog->Label5->Caption), "Two files will be created in the directory you choose.");
    dialog->Free();
}

TEST_F(RestoreDialogTest, TheSelectionDialogsRestoreVaultGives9) {
    TFrm_RestoreVault* restore = MakeForm<TFrm_RestoreVault>(nullptr, host);
    TFrm_SelectDatabase* select = MakeForm<TFrm_SelectDatabase>(nullptr);
    select->SetLocation(temp.path(), "Home");
    select->SetRestoreVault([&](const std::string& suggested, std::string& destination) {
        restore->SetLocation(suggested);
        restore->SetSource("D:\\Home Backup.bvt");
        const int result = restore->ShowModal();
        destination = restore->GetDestination();
        return result;
    });
    brimtest::MessageBoxScript boxes({mbrOk});
    int result = showModal(select, [&] {
        dialogtest::whenUp<TFrm_RestoreVault>("Frm_RestoreVault", [&](TFrm_RestoreVault*) {
            if (!dialogtest::bringUp(restore)) return;
            dialogtest::whenUp<TFrm_ChooseName>("Frm_ChooseName", [&](TFrm_ChooseName* prompt) {
                if (!dialogtest::bringUp(prompt)) return;
                click(prompt->Edit1);
                dialogtest::typeText("Family");
                click(prompt->xpOkButton);
            });
            click(restore->xpRestoreButton);
        });
        ASSERT_TRUE(dialogtest::bringUp(select));
        click(select->xpRestoreVaultButton);
    });
    EXPECT_EQ(result, 9);
    ASSERT_EQ(host.restores.size(), 1u);
    EXPECT_EQ(host.restores[0].folder, temp.path());
    std::string folder, name;
    select->GetLocation(folder, name);
    EXPECT_EQ(folder, temp.path());
    select->Free();
    restore->Free();
}

}  // namespace
