// The backup and restore dialogs over the real vault flows and crypto library,
// files checked byte by byte: Tools' vault backup (magic, the key file, a
// vault part that opens), key backup, the open vault's own files refused as a
// target in any case, a restore from Tools after the question and a typed
// password, damaged backups that touch nothing; the key restore of "Forgot
// your Password?" through the real dialogs; and the restore dialog's outcomes
// with a real restore (restored, put back, not a backup).
#include <gtest/gtest.h>

#include "dialogs/DialogPrompts.h"
#include "dialogs/QZ_Frm_Backup.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_Restore.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_Tools.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/vault/VaultFlowsTestSupport.h"
#include "vault/VaultFlows.h"

#include <deque>
#include <memory>

namespace {

using namespace vaulttest;
using dialogtest::click;
using dialogtest::showModal;
using dialogtest::whenUp;

const char* const NotValid = "This is not a valid Vault Backup.  Your vault has not been restored.";
const char* const OwnFiles = "You cannot back up to the files of the open vault.  Please choose another file.";

// Types the password(s) into the next password dialog and presses OK (or Cancel).
void typePassword(const std::string& first, const std::string& second = "", bool ok = true, HWND previous = nullptr) {
    whenUp<TPasswordForm>(
        "PasswordForm",
        [=](TPasswordForm* dialog) {
            if (!dialogtest::bringUp(dialog)) return;
            click(dialog->password1);
            dialogtest::typeText(first);
            if (dialog->password2->Visible) {
                click(dialog->password2);
                dialogtest::typeText(second);
            }
            click(ok ? dialog->xpOkButton : dialog->xpCancelButton);
        },
        previous);
}

// The vault dialogs' prompts with the key-restore dialog and "Forgot your Password?" of the program.
class ProgramLikePrompts : public DialogPrompts {
public:
    ProgramLikePrompts() : DialogPrompts(nullptr) {}
    VaultFlows* flows = nullptr;
    bool forgotPassword() override { return flows && flows->forgotPassword() == 1; }
    int keyRestoreDialog(std::string& keyFilePath) override {
        TFrm_Restore* dialog = MakeForm<TFrm_Restore>(nullptr);
        const int result = dialog->ShowModal();
        if (result == TFrm_Restore::mrRestoreKey) keyFilePath = dialog->KeyFilePath();
        dialog->Free();
        return result;
    }
};

// The dialogs' host over a real store and flows.
class FlowsHost : public DialogHost {
public:
    FlowsHost(VaultStore& store, VaultFlows& flows) : store_(store), flows_(flows) {}
    std::string vaultFolder() const override { return store_.getDBLoc(); }
    std::string vaultName() const override { return store_.getDBFname(); }
    std::string installFolder() const override { return store_.getDBLoc(); }
    int backupKey(const std::string& path) override { return flows_.backupKey(path, false); }
    int restoreVault(const std::string& folder, const std::string& name, const std::string& backupFile) override {
        store_.setDBLoc(folder);
        store_.setDBFname(name);
        return flows_.restoreVault(backupFile);
    }

private:
    VaultStore& store_;
    VaultFlows& flows_;
};

class ToolsFilesTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();
        makeSavedVault(temp.path(), "Home", "pw");
        prompts = std::make_unique<ProgramLikePrompts>();
        store = std::make_unique<VaultStore>(*prompts);
        flows = std::make_unique<VaultFlows>(*store, *prompts, &noHandOff);
        prompts->flows = flows.get();
        host = std::make_unique<FlowsHost>(*store, *flows);
        flows->PendingVaultFile = temp.file("Home.vlt");
        typePassword("pw");
        ASSERT_EQ(flows->loadDB(), ldOpen);
    }
    void TearDown() override {
        host.reset();
        flows.reset();
        store.reset();
        prompts.reset();
        brimtest::clearProductRegistry();
        DialogTest::TearDown();
    }
    // Chooses the option and path in Tools' backup dialog; Tools' result, its path passed to the flows.
    int runTools(TQCLRadioButton* TQZ_Backup::*option, const std::string& path) {
        TFrm_Tools* tools = MakeForm<TFrm_Tools>(nullptr, *host);
        int result = showModal(tools, [&] {
            whenUp<TQZ_Backup>("QZ_Backup", [&](TQZ_Backup* backup) {
                if (!dialogtest::bringUp(backup)) return;
                click(backup->*option);
                backup->Edit1->Text = path;
                click(backup->xpActionButton);
            });
            if (dialogtest::bringUp(tools)) click(tools->xpBackupButton);
        });
        const std::string chosen = tools->ToolsPath();
        tools->Free();
        EXPECT_EQ(chosen, path);
        flows->runToolsResult(result, chosen);
        return result;
    }
    // Opens folder\name with the password in a store of its own; true when it opened.
    static bool opensWith(const std::string& folder, const std::string& name, const std::string& password) {
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownFlows.PendingVaultFile = folder + "\\" + name + ".vlt";
        own.answer(1, password);
        own.answer(2);
        return ownFlows.loadDB() == ldOpen;
    }

    brimtest::TempFolder temp;
    std::unique_ptr<ProgramLikePrompts> prompts;
    std::unique_ptr<VaultStore> store;
    std::unique_ptr<VaultFlows> flows;
    std::unique_ptr<FlowsHost> host;
};

TEST_F(ToolsFilesTest, AVaultBackupHoldsTheMagicTheKeyFileAndAVaultThatOpens) {
    ASSERT_EQ(flows->saveVault(), srSaved) << "the vault file as the model is now";
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(runTools(&TQZ_Backup::RadioButtonBV, temp.file("Home Backup.bvt")), 3);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your database has been backed up."});
    const std::string backup = temp.readFile("Home Backup.bvt"), key = temp.readFile("Home.kvt");
    const std::string vault = temp.readFile("Home.vlt");
    ASSERT_EQ(backup.size(), 4 + 784 + vault.size());
    EXPECT_EQ(backup.substr(0, 4), std::string("\xAD\x2B\xDD\x4E", 4));
    EXPECT_EQ(backup.substr(4, 784), key);
    brimtest::TempFolder copy;
    copy.writeFile("Copy.kvt", key);
    copy.writeFile("Copy.vlt", backup.substr(4 + 784));
    flows->releaseVaultMutex();  // the copy has the open vault's ID
    EXPECT_TRUE(opensWith(copy.path(), "Copy", "pw")) << "the vault part opens with the key file";
}

TEST_F(ToolsFilesTest, AKeyBackupAsksThePasswordAndWrites796Bytes) {
    brimtest::MessageBoxScript boxes({mbrOk});
    typePassword("pw");
    EXPECT_EQ(runTools(&TQZ_Backup::RadioButtonBK, temp.file("Home Key Backup.bkv")), 5);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your key has been saved."});
    const std::string backup = temp.readFile("Home Key Backup.bkv");
    ASSERT_EQ(backup.size(), 796u);
    EXPECT_EQ(backup.substr(12, 512), temp.readFile("Home.kvt").substr(0, 512));
}

TEST_F(ToolsFilesTest, TheOpenVaultsOwnFilesAreRefusedAsATargetInAnyCase) {
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    const std::vector<std::string> vaultTold = {OwnFiles}, keyTold = {OwnFiles, "Your key has not been saved."};
    const struct {
        TQCLRadioButton* TQZ_Backup::*option;
        const char* file;
        const std::vector<std::string>& told;
    } cases[] = {{&TQZ_Backup::RadioButtonBV, "Home.vlt", vaultTold},
                 {&TQZ_Backup::RadioButtonBV, "HOME.KVT", vaultTold},
                 {&TQZ_Backup::RadioButtonBK, "home.kvt", keyTold},
                 {&TQZ_Backup::RadioButtonBK, "hOmE.VlT", keyTold}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        brimtest::MessageBoxScript boxes(std::vector<int>(c.told.size(), mbrOk));
        runTools(c.option, temp.file(c.file));
        EXPECT_EQ(boxes.texts(), c.told);
        EXPECT_EQ(temp.readFile("Home.vlt"), vault);
        EXPECT_EQ(temp.readFile("Home.kvt"), key);
    }
}

TEST_F(ToolsFilesTest, RestoreReplacesTheFilesAfterTheQuestionAndATypedPassword) {
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        runTools(&TQZ_Backup::RadioButtonBV, temp.file("Home Backup.bvt"));
    }
    const std::string backup = temp.readFile("Home Backup.bvt");
    // The vault changes after the backup: the restore brings the backup's state back.
    store->content().userCategories->insertRow({"added later"});
    ASSERT_EQ(flows->saveVault(), srSaved);
    ASSERT_NE(temp.readFile("Home.vlt"), backup.substr(4 + 784));

    brimtest::MessageBoxScript boxes({mbrYes, mbrOk});
    typePassword("pw");
    EXPECT_EQ(runTools(&TQZ_Backup::RadioButtonRV, temp.file("Home Backup.bvt")), 4);
    EXPECT_EQ(boxes.texts().back(), "Your vault has been restored.");
    EXPECT_EQ(temp.readFile("Home.kvt"), backup.substr(4, 784));
    EXPECT_EQ(temp.readFile("Home.vlt"), backup.substr(4 + 784));
    EXPECT_FALSE(temp.exists("default.bak"));
    EXPECT_FALSE(temp.exists("pk.bak"));
}

TEST_F(ToolsFilesTest, ADamagedBackupLeavesTheVaultsFilesByteIdentical) {
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        runTools(&TQZ_Backup::RadioButtonBV, temp.file("Good.bvt"));
    }
    const std::string good = temp.readFile("Good.bvt");
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    std::string wrongMagic = good;
    wrongMagic[0] ^= 1;
    std::string wrongLength = good;
    wrongLength[4] = 0;  // the key file's length field
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {{"wrong magic", wrongMagic},
                 {"key file of another length", wrongLength},
                 {"cut inside the key file", good.substr(0, 400)},
                 {"vault part of 100 bytes", good.substr(0, 4 + 784 + 100)},
                 {"vault part of 137 bytes", good.substr(0, 4 + 784 + 137)},
                 {"empty", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        temp.writeFile("Damaged.bvt", c.bytes);
        brimtest::MessageBoxScript boxes({mbrYes, mbrOk});
        EXPECT_EQ(runTools(&TQZ_Backup::RadioButtonRV, temp.file("Damaged.bvt")), 4);
        EXPECT_EQ(boxes.texts().back(), NotValid);
        EXPECT_EQ(temp.readFile("Home.vlt"), vault);
        EXPECT_EQ(temp.readFile("Home.kvt"), key);
    }
}

TEST_F(ToolsFilesTest, ForgotYourPasswordRestoresTheKeyUnderATypedNewPassword) {
    ASSERT_EQ(flows->backupKey(temp.file("Home Key Backup.bkv"), false), 0);
    const std::string vault = temp.readFile("Home.vlt");
    flows->releaseVaultMutex();

    ProgramLikePrompts own;
    VaultStore ownStore(own);
    VaultFlows ownFlows(ownStore, own, &noHandOff);
    own.flows = &ownFlows;
    ownStore.setDBLoc(temp.path());
    ownStore.setDBFname("Home");
    brimtest::MessageBoxScript boxes({mbrOk, mbrOk});
    // The key-restore dialog: first refused without a file, then given the backup.
    whenUp<TFrm_Restore>("Frm_Restore", [&](TFrm_Restore* dialog) {
        if (!dialogtest::bringUp(dialog)) return;
        click(dialog->xpRestoreButton);
        EXPECT_EQ(dialog->GetModalResult(), 0);
        click(dialog->Edit1);
        dialogtest::typeText(temp.file("Home Key Backup.bkv"));
        typePassword("brand new", "brand new");
        click(dialog->xpRestoreButton);
    });
    EXPECT_EQ(ownFlows.forgotPassword(), 1);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].text, "You must select a key file before proceeding.");
    EXPECT_EQ(boxes.shown()[0].title, "Restore You Key");
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_EQ(boxes.shown()[1].text, "Your key has been restored.");
    EXPECT_EQ(temp.readFile("Home.vlt"), vault);
    EXPECT_TRUE(opensWith(temp.path(), "Home", "brand new"));
    EXPECT_FALSE(opensWith(temp.path(), "Home", "pw"));
}

// ---- the restore dialog with a real restore ----

class RestoreVaultFilesTest : public ToolsFilesTest {
protected:
    void SetUp() override {
        ToolsFilesTest::SetUp();
        brimtest::MessageBoxScript boxes({mbrOk});
        runTools(&TQZ_Backup::RadioButtonBV, temp.file("Home Backup.bvt"));
        backup = temp.readFile("Home Backup.bvt");
        flows->releaseVaultMutex();
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    }
    // Runs the restore dialog: the name typed, the overwrite question answered by the script; the result.
    int restoreInto(const std::string& source, const std::string& name) {
        TFrm_RestoreVault* dialog = MakeForm<TFrm_RestoreVault>(nullptr, *host);
        dialog->SetLocation(target);
        dialog->SetSource(source);
        int result = showModal(dialog, [&] {
            whenUp<TFrm_ChooseName>("Frm_ChooseName", [&](TFrm_ChooseName* prompt) {
                if (!dialogtest::bringUp(prompt)) return;
                click(prompt->Edit1);
                dialogtest::typeText(name);
                click(prompt->xpOkButton);
            });
            if (!dialogtest::bringUp(dialog)) return;
            click(dialog->xpRestoreButton);
            if (dialog->GetModalResult() == 0) click(dialog->xpCancelButton);
        });
        destination = dialog->GetDestination();
        dialog->Free();
        return result;
    }
    std::string backup, destination;
    std::string target = temp.file("Restored");
};

TEST_F(RestoreVaultFilesTest, ARestoredVaultGives9AndTheBackupsFiles) {
    brimtest::MessageBoxScript boxes({mbrOk});
    typePassword("pw");
    EXPECT_EQ(restoreInto(temp.file("Home Backup.bvt"), "Family"), 9);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your vault has been restored."});
    EXPECT_EQ(destination, target);
    EXPECT_EQ(temp.readFile("Restored\\Family.kvt"), backup.substr(4, 784));
    EXPECT_EQ(temp.readFile("Restored\\Family.vlt"), backup.substr(4 + 784));
    EXPECT_FALSE(temp.exists("Restored\\default.bak"));
    EXPECT_FALSE(temp.exists("Restored\\pk.bak"));
    flows->releaseVaultMutex();
}

TEST_F(RestoreVaultFilesTest, AGivenUpPasswordPutsThePreviousFilesBack) {
    temp.writeFile("Restored\\Family.vlt", "previous vault");
    temp.writeFile("Restored\\Family.kvt", "previous key");
    brimtest::MessageBoxScript boxes({mbrYes, mbrOk});
    typePassword("pw", "", false);
    EXPECT_EQ(restoreInto(temp.file("Home Backup.bvt"), "Family"), 2) << "the dialog stays until Cancel";
    EXPECT_EQ(boxes.texts().back(), "Your vault has not been restored.");
    EXPECT_EQ(temp.readFile("Restored\\Family.vlt"), "previous vault");
    EXPECT_EQ(temp.readFile("Restored\\Family.kvt"), "previous key");
    EXPECT_FALSE(temp.exists("Restored\\default.bak"));
}

TEST_F(RestoreVaultFilesTest, ABackupThatIsNoneIsToldAndTouchesNothing) {
    temp.writeFile("Other.bvt", "not a backup at all");
    brimtest::MessageBoxScript boxes({mbrOk});
    EXPECT_EQ(restoreInto(temp.file("Other.bvt"), "Family"), 2);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{NotValid});
    EXPECT_FALSE(temp.exists("Restored\\Family.vlt"));
}

}  // namespace
