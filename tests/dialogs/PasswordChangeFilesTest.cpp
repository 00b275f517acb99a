// The password change with the real crypto library, answered on the real
// password dialogs by typing: on disk only the key block of the ".kvt" changes
// (bytes 512-767) and the ".vlt" keeps every byte; afterwards only the new
// password opens the vault. Cancel at either prompt changes nothing. And the
// key-backup page over the real flows: the vault's own key file refused, a
// ".bkv" written elsewhere.
#include <gtest/gtest.h>

#include "dialogs/DialogPrompts.h"
#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_Password.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/vault/VaultFlowsTestSupport.h"
#include "vault/VaultFlows.h"

#include <deque>
#include <memory>

namespace {

using namespace vaulttest;

const char* const FirstProvide = "You must first provide your current password before being able to set a new one.";
const char* const NotChanged = "Your password has not been changed.";
const char* const Changed = "Your password has been changed.";

// What the user does on one password dialog: types into the field(s) and presses OK or Cancel.
struct Typing {
    std::string first, second;
    bool ok = true;
};

// Answers each password dialog as it comes up, in order, by real typing and clicks; `answered`
// counts the dialogs met. Looked for from the message loop, so also from the dialog's own modal loop.
void answerPasswordDialogs(std::shared_ptr<std::deque<Typing>> script, std::shared_ptr<int> answered,
                           HWND previous = nullptr, DWORD until = GetTickCount() + 15000) {
    fwtest::runAfter(20, [=] {
        HWND window = dialogtest::findDialog("PasswordForm");
        auto* dialog = window ? dynamic_cast<TPasswordForm*>(TWinControl::FindControl(window)) : nullptr;
        if (!dialog || window == previous || script->empty()) {
            // The previous dialog may still be closing: look again until the next one is up.
            if (!script->empty() && GetTickCount() < until)
                answerPasswordDialogs(script, answered, window == previous ? previous : nullptr, until);
            return;
        }
        Typing typing = script->front();
        script->pop_front();
        ++*answered;
        if (!dialogtest::bringUp(dialog)) return;
        dialogtest::click(dialog->password1);
        dialogtest::typeText(typing.first);
        if (dialog->password2->Visible) {
            dialogtest::click(dialog->password2);
            dialogtest::typeText(typing.second);
        }
        dialogtest::click(typing.ok ? dialog->xpOkButton : dialog->xpCancelButton);
        if (!script->empty()) answerPasswordDialogs(script, answered, window, until);
    });
}

class PasswordChangeFilesTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();
        makeSavedVault(temp.path(), "Home", "old pass");
        prompts = std::make_unique<DialogPrompts>(nullptr);
        store = std::make_unique<VaultStore>(*prompts);
        store->setDBLoc(temp.path());
        store->setDBFname("Home");
        flows = std::make_unique<VaultFlows>(*store, *prompts, &noHandOff);
    }
    void TearDown() override {
        flows.reset();
        store.reset();
        prompts.reset();
        brimtest::clearProductRegistry();
        DialogTest::TearDown();
    }

    // Runs the password change with the dialogs answered as scripted; the notices shown.
    std::vector<std::string> changePassword(std::vector<Typing> typed) {
        auto script = std::make_shared<std::deque<Typing>>(typed.begin(), typed.end());
        auto answered = std::make_shared<int>(0);
        brimtest::MessageBoxScript boxes({mbrOk, mbrOk});  // the opening notice and the outcome
        answerPasswordDialogs(script, answered);
        flows->changePassword();
        EXPECT_EQ(*answered, static_cast<int>(typed.size())) << "every scripted dialog was met";
        return boxes.texts();
    }
    // Opens the vault in a store of its own with the password; true when it opened.
    bool opensWith(const std::string& password) {
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownFlows.PendingVaultFile = temp.file("Home.vlt");
        own.answer(1, password);
        own.answer(2);  // a wrong password is asked again: then give up
        return ownFlows.loadDB() == ldOpen;
    }

    brimtest::TempFolder temp;
    // Made once the framework is up: the prompts own a page.
    std::unique_ptr<DialogPrompts> prompts;
    std::unique_ptr<VaultStore> store;
    std::unique_ptr<VaultFlows> flows;
};

TEST_F(PasswordChangeFilesTest, ANewPasswordRewritesOnlyTheKeyBlock) {
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    ASSERT_EQ(key.size(), 784u);
    EXPECT_EQ(changePassword({{"wrong pass", ""}, {"old pass", ""}, {"new pass 2", "new pass 2"}}),
              (std::vector<std::string>{FirstProvide, Changed}))
        << "a wrong password is asked again before the new one";
    EXPECT_EQ(temp.readFile("Home.vlt"), vault);
    const std::string changed = temp.readFile("Home.kvt");
    ASSERT_EQ(changed.size(), key.size());
    EXPECT_EQ(changed.substr(0, 512), key.substr(0, 512));
    EXPECT_NE(changed.substr(512, 256), key.substr(512, 256));
    EXPECT_EQ(changed.substr(768), key.substr(768));
    EXPECT_TRUE(opensWith("new pass 2"));
    EXPECT_FALSE(opensWith("old pass"));
}

TEST_F(PasswordChangeFilesTest, CancelAtEitherPromptChangesNothing) {
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    const struct {
        const char* what;
        std::vector<Typing> typed;
    } cases[] = {
        {"current password cancelled", {{"old pass", "", false}}},
        {"new password cancelled", {{"old pass", ""}, {"new pass", "new pass", false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(changePassword(c.typed), (std::vector<std::string>{FirstProvide, NotChanged}));
        EXPECT_EQ(temp.readFile("Home.vlt"), vault);
        EXPECT_EQ(temp.readFile("Home.kvt"), key);
    }
    EXPECT_TRUE(opensWith("old pass"));
    EXPECT_FALSE(opensWith("new pass"));
}

}  // namespace

namespace {

// The key-backup page over the real vault flows of an open vault.
class FlowsHost : public DialogHost {
public:
    FlowsHost(VaultStore& store, VaultFlows& flows) : store_(store), flows_(flows) {}
    std::string vaultFolder() const override { return store_.getDBLoc(); }
    std::string vaultName() const override { return store_.getDBFname(); }
    std::string installFolder() const override { return store_.getDBLoc(); }
    int backupKey(const std::string& path) override { return flows_.backupKey(path, false); }

private:
    VaultStore& store_;
    VaultFlows& flows_;
};

class BackupPageFilesTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();
        makeSavedVault(temp.path(), "Home", "pw");
        flows.PendingVaultFile = temp.file("Home.vlt");
        prompts.answer(1, "pw");
        ASSERT_EQ(flows.loadDB(), ldOpen);
    }
    void TearDown() override {
        flows.releaseVaultMutex();
        brimtest::clearProductRegistry();
        DialogTest::TearDown();
    }
    brimtest::TempFolder temp;
    FlowPrompts prompts;
    VaultStore store{prompts};
    VaultFlows flows{store, prompts, &noHandOff};
};

TEST_F(BackupPageFilesTest, TheVaultsOwnKeyFileIsRefusedAndAnotherFileGetsTheBackup) {
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    FlowsHost host(store, flows);
    brimtest::MessageBoxScript boxes({mbrOk, mbrOk, mbrOk});
    TFrm_BackupKey* page = MakeForm<TFrm_BackupKey>(nullptr, host);
    int result = dialogtest::showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        page->destination->Text = temp.file("HOME.kvt").c_str();
        dialogtest::click(page->xpBackupButton);
        EXPECT_EQ(page->GetModalResult(), 0) << "the page stays for another destination";
        page->destination->Text = temp.file("Home Key Backup.bkv").c_str();
        dialogtest::click(page->xpBackupButton);
    });
    page->Free();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{"You cannot back up to the files of the open vault.  Please choose another file.",
                                        "Your key has not been saved.", "Your key has been saved."}));
    EXPECT_EQ(temp.readFile("Home.vlt"), vault);
    EXPECT_EQ(temp.readFile("Home.kvt"), key);
    const std::string backup = temp.readFile("Home Key Backup.bkv");
    ASSERT_EQ(backup.size(), 796u);
    EXPECT_EQ(backup.substr(12, 512), key.substr(0, 512)) << "the key file's header";
}

}  // namespace
