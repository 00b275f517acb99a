// The new-vault wizard end to end with the real crypto library, answered on
// the real windows as a user would: Create New Vault on the selection dialog,
// the location set on the next page as Browse leaves it, the key seed from scripted key-release
// times, a mismatched first password before the accepted one, then the key
// backup and completion pages as the start-up shows them. On disk: the vault,
// a key file whose vault ID is MD5 applied four times to the seed (computed
// here independently), the registered vault, and the password opening it.
// Cancel at the key page or the first password leaves no vault, registers
// nothing, and the next creation holds only the default categories.
//
// Tricky point: a click that opens a nested modal page only returns once that
// page has closed, so every page's answer is scheduled before the first click
// and waits for its own window from whatever message loop is running.
#include <gtest/gtest.h>

#include "base/RegistrySettings.h"
#include "dialogs/DialogPrompts.h"
#include "dialogs/PasswordChecks.h"
#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "dialogs/QZ_Frm_Done.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/vault/VaultFlowsTestSupport.h"
#include "vault/VaultFlows.h"

#include <cryptopp/md5.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace {

using namespace vaulttest;
using dialogtest::click;
using dialogtest::typeText;

// Key-release times whose 256 pairs give a known seed; the cursor never moves.
int releaseTime(int k) { return k == 0 ? 0 : (k * k * k * 3 + k * k * 5 + 7 * k + 11) % 1000; }
const unsigned char KnownSeed[64] = {
    0xB5, 0xFD, 0x55, 0x55, 0x57, 0x7D, 0x75, 0x7D, 0x7D, 0x77, 0xDD, 0xFF, 0x7D, 0x75, 0x77, 0xDF,
    0xFD, 0x57, 0xFD, 0xD7, 0xD5, 0x77, 0x57, 0xD5, 0x55, 0x57, 0xFD, 0xF5, 0xF5, 0x7D, 0x7D, 0x77,
    0x7D, 0x55, 0xD5, 0x77, 0x55, 0x57, 0xD7, 0xFF, 0xFD, 0xFD, 0xFD, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF,
    0xDF, 0xFD, 0x77, 0xD7, 0xFF, 0x75, 0xDF, 0x57, 0x5D, 0xD7, 0x75, 0x7D, 0x7D, 0x57, 0xD7, 0xDD};

std::string idFromSeed(const unsigned char seed[64]) {
    unsigned char digest[16];
    CryptoPP::Weak::MD5().CalculateDigest(digest, seed, 64);
    for (int i = 0; i < 3; ++i) CryptoPP::Weak::MD5().CalculateDigest(digest, digest, 16);
    return std::string(reinterpret_cast<const char*>(digest), 16);
}

struct FixedSources {
    std::atomic<int> ms{0};
    static keyseed::EntropySources of(const std::shared_ptr<FixedSources>& self) {
        keyseed::EntropySources sources;
        sources.cursorPosition = [] { return POINT{0, 0}; };
        sources.milliseconds = [self] { return self->ms.load(); };
        sources.pollWait = [] { Sleep(1); };
        return sources;
    }
};

// Once the form with this window text is up, brings it forward and runs act on it; `met` is set then.
template <class Form>
void whenUp(const std::string& windowText, std::function<void(Form*)> act, std::shared_ptr<bool> met,
            DWORD until = GetTickCount() + 60000) {
    fwtest::runAfter(20, [=] {
        HWND window = dialogtest::findDialog(windowText);
        auto* form = window ? dynamic_cast<Form*>(TWinControl::FindControl(window)) : nullptr;
        if (!form) {
            if (GetTickCount() < until) whenUp<Form>(windowText, act, met, until);
            return;
        }
        *met = true;
        if (dialogtest::bringUp(form)) act(form);
    });
}

// The key-backup page's host over the real flows.
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

class WizardFilesTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();
        prompts = std::make_unique<DialogPrompts>(nullptr, FixedSources::of(sources));
        store = std::make_unique<VaultStore>(*prompts);
        store->setDBLoc(temp.path());
        store->setDBFname("Brimsafe");
        flows = std::make_unique<VaultFlows>(*store, *prompts, &noHandOff);
    }
    void TearDown() override {
        if (flows) flows->releaseVaultMutex();
        flows.reset();
        store.reset();
        prompts.reset();
        brimtest::clearProductRegistry();
        DialogTest::TearDown();
    }

    // Schedules Create New Vault and the location page typed with path.
    void answerLocation(const std::string& path) {
        whenUp<TFrm_SelectDatabase>("Frm_SelectDatabase", [](TFrm_SelectDatabase* d) { click(d->xpCreateVaultButton); },
                                    selectionMet);
        whenUp<TFrm_ChooseVaultLoc>("Frm_ChooseVaultLoc",
                                    [path](TFrm_ChooseVaultLoc* page) {
                                        page->Edit1->Text = path.c_str();  // as Browse leaves it
                                        click(page->xpNextButton);
                                    },
                                    locationMet);
    }
    // Schedules the key page: 256 key releases at the known times, or Cancel.
    void answerKeyPage(bool cancel) {
        auto src = sources;
        whenUp<TFrm_Initializing>("Frm_Initializing",
                                  [src, cancel](TFrm_Initializing* page) {
                                      if (cancel) return click(page->xpCancelButton);
                                      for (int k = 1; k <= 256; ++k) {
                                          src->ms = releaseTime(k);
                                          const int before = page->SeedBitCount();
                                          dialogtest::tapKey(k % 2 ? 'Q' : VK_SPACE);
                                          if (!fwtest::pumpUntil([&] { return page->SeedBitCount() == before + 2; }))
                                              return;
                                      }
                                  },
                                  keyMet);
    }
    // Schedules the first-password page: a mismatch, then the password (or Cancel).
    void answerFirstPassword(const std::string& password, bool cancel) {
        whenUp<TFrm_FirstPassword>("Frm_FirstPassword",
                                   [password, cancel](TFrm_FirstPassword* page) {
                                       if (cancel) return click(page->xpCancelButton);
                                       for (const std::string& second : {password + "x", password}) {
                                           page->password1->Text = "";
                                           page->password2->Text = "";
                                           click(page->password1);
                                           typeText(password);
                                           click(page->password2);
                                           typeText(second);
                                           click(page->xpNextButton);
                                       }
                                   },
                                   passwordMet);
    }

    // Opens the vault in a store of its own with the password; its category names when it opened.
    std::optional<std::vector<std::string>> openWith(const std::string& vaultFile, const std::string& password) {
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownFlows.PendingVaultFile = vaultFile;
        own.answer(1, password);
        own.answer(2);
        if (ownFlows.loadDB() != ldOpen) return std::nullopt;
        std::vector<std::string> names;
        for (category* c = ownStore.content().userCategories; c; c = c->next) names.push_back(c->getName());
        if (ownStore.content().encryptedFiles) names.push_back(ownStore.content().encryptedFiles->getName());
        ownFlows.releaseVaultMutex();
        return names;
    }

    brimtest::TempFolder temp;
    std::shared_ptr<FixedSources> sources = std::make_shared<FixedSources>();
    std::unique_ptr<DialogPrompts> prompts;
    std::unique_ptr<VaultStore> store;
    std::unique_ptr<VaultFlows> flows;
    std::shared_ptr<bool> selectionMet = std::make_shared<bool>(false), locationMet = std::make_shared<bool>(false),
                          keyMet = std::make_shared<bool>(false), passwordMet = std::make_shared<bool>(false);
};

TEST_F(WizardFilesTest, ANewVaultIsWrittenRegisteredAndOpensWithItsPassword) {
    ASSERT_TRUE(CreateDirectoryA(temp.file("Vaults").c_str(), nullptr));
    const std::string folder = temp.file("Vaults");
    brimtest::MessageBoxScript boxes({mbrOk, mbrOk, mbrOk});
    answerLocation(folder + "\\Home.vlt");
    answerKeyPage(false);
    answerFirstPassword("tide 42 pool", false);
    ASSERT_EQ(flows->loadDB(), ldOpen);
    EXPECT_TRUE(*selectionMet && *locationMet && *keyMet && *passwordMet);
    EXPECT_TRUE(flows->NewVaultCreated);
    EXPECT_EQ(store->getDBFname(), "Home");

    // What the start-up does after a creation: save, offer the key backup, show the completion page.
    ASSERT_EQ(store->writeDatabase(store->vaultFilePath()), srSaved);
    FlowsHost host(*store, *flows);
    TFrm_BackupKey* backup = MakeForm<TFrm_BackupKey>(nullptr, host);
    int backupResult = dialogtest::showModal(backup, [&] {
        ASSERT_TRUE(dialogtest::bringUp(backup));
        backup->destination->Text = temp.file("Home Key Backup.bkv").c_str();
        click(backup->xpBackupButton);
    });
    const bool saved = backup->KeySaved();
    backup->Free();
    EXPECT_EQ(backupResult, 1);
    EXPECT_TRUE(saved);
    store->clearPasswordKey();
    TFrm_Done* done = MakeForm<TFrm_Done>(nullptr, host);
    done->SetVaultFolder(store->getDBLoc());
    int doneResult = dialogtest::showModal(done, [&] {
        ASSERT_TRUE(dialogtest::bringUp(done));
        click(done->xpFinishButton);
    });
    done->Free();
    EXPECT_NE(doneResult, dialogtest::GuardResult);
    EXPECT_EQ(boxes.texts(),
              (std::vector<std::string>{"Your key has been created.", passwordchecks::MismatchMessage,
                                        "Your key has been saved."}));

    const std::string vault = temp.readFile("Vaults\\Home.vlt"), key = temp.readFile("Vaults\\Home.kvt");
    EXPECT_FALSE(vault.empty());
    ASSERT_EQ(key.size(), 784u);
    EXPECT_EQ(key.substr(vaultfile::VaultIdOffset, 16), idFromSeed(KnownSeed));
    const brimtest::RawValue registered =
        brimtest::readRawValue(HKEY_CURRENT_USER, settings::VaultsKeyPath, "Home");
    ASSERT_TRUE(registered.exists);
    EXPECT_EQ(registered.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(registered.bytes.data())), folder + "\\Home");
    EXPECT_EQ(temp.readFile("Home Key Backup.bkv").size(), 796u);

    flows->releaseVaultMutex();
    EXPECT_FALSE(openWith(folder + "\\Home.vlt", "tide 42 poolx")) << "the mismatched password was not kept";
    const auto names = openWith(folder + "\\Home.vlt", "tide 42 pool");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), 4u);
}

TEST_F(WizardFilesTest, CancelLeavesNoVaultAndTheNextCreationStartsFromTheDefaultContent) {
    ASSERT_TRUE(CreateDirectoryA(temp.file("Vaults").c_str(), nullptr));
    const std::string path = temp.file("Vaults") + "\\Home.vlt";
    const struct {
        const char* what;
        bool atKeyPage;
    } cases[] = {{"cancelled at the key page", true}, {"cancelled at the first password", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // "Your key has been created." only when the key was made.
        brimtest::MessageBoxScript boxes(c.atKeyPage ? std::vector<int>{} : std::vector<int>{mbrOk});
        answerLocation(path);
        answerKeyPage(c.atKeyPage);
        if (!c.atKeyPage) answerFirstPassword("pw", true);
        EXPECT_EQ(flows->loadDB(), ldAskAgain);
        EXPECT_FALSE(flows->NewVaultCreated);
        EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(brimtest::readRawValue(HKEY_CURRENT_USER, settings::VaultsKeyPath, "Home").exists);
    }
    brimtest::MessageBoxScript boxes({mbrOk, mbrOk});
    answerLocation(path);
    answerKeyPage(false);
    answerFirstPassword("pw", false);
    ASSERT_EQ(flows->loadDB(), ldOpen);
    ASSERT_EQ(store->writeDatabase(store->vaultFilePath()), srSaved);
    flows->releaseVaultMutex();
    const auto names = openWith(path, "pw");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), 4u) << "nothing of the cancelled attempts is kept";
}

}  // namespace
