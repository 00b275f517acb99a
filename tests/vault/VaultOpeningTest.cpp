// Choosing, opening and creating a vault through the flows, with every dialog scripted: the
// command line's encrypted file, vault and backup, the selection loop, the vault mutex, the
// master-password loop, and a new vault's files, registration and default content.
#include "vault/VaultFlows.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VaultHolderProcess.h"
#include "vault/EncryptedFileHandOff.h"

#include <gtest/gtest.h>

namespace {

using namespace vaulttest;

const char* const NoneListed =
    "None of the vaults that are currently in your list of existing vaults were used to encrypt this file.  You "
    "will need to browse to the appropriate vault in order to decrypt this file.";
const char* const AlreadyOpen =
    "The vault you have selected is already open on this computer.  You cannot have the same vault open more than "
    "once at the same time.";
const char* const KeyMissing = "The key is missing for this vault.  Please select a different vault.";
const char* const VaultMissing = "The vault that you have selected does not exist.  Please select a different one.";

class VaultOpeningTest : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        EXPECT_TRUE(prompts.flowsAnswered());
        brimtest::FreshRegistry::TearDown();
    }

    // An encrypted file's header naming the vault ID (only the ID matters here).
    std::string encryptedFileOf(const std::string& idText) {
        std::string header(512, '\0');
        for (int i = 0; i < 16; ++i) header[84 + i] = static_cast<char>(std::stoi(idText.substr(2 * i, 2), nullptr, 16));
        temp.writeFile("letter.doc.vltenc", header);
        return temp.file("letter.doc.vltenc");
    }

    std::vector<std::string> userCategoryNames() const {
        std::vector<std::string> names;
        for (const category* c = store.content().userCategories; c; c = c->next) names.push_back(c->getName());
        return names;
    }

    brimtest::TempFolder temp;
    FlowPrompts prompts;
    VaultStore store{prompts};
    VaultFlows flows{store, prompts, &handOffEncryptedFile};
};

TEST_F(VaultOpeningTest, CommandLineEncryptedFile) {
    struct Case {
        const char* what;
        bool heldWithWindow, heldWithoutWindow, listed;
        int expected;
        std::vector<std::string> texts;
        bool handedOver, selectionShown, opened;
    };
    const Case cases[] = {
        {"open in another process: handed over", true, false, true, ldFailed, {}, true, false, false},
        {"listed: opened without the dialog", false, false, true, ldOpen, {}, false, false, true},
        {"unlisted: message, then the dialog", false, false, false, ldFailed, {NoneListed}, false, true, false},
        {"listed but held without a window yet: refused, then the dialog", false, true, true, ldFailed,
         {AlreadyOpen}, false, true, false},
    };
    const std::string id = makeSavedVault(temp.path(), "Home", "pw");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VaultStore freshStore(prompts);
        VaultFlows freshFlows(freshStore, prompts, &handOffEncryptedFile);
        std::optional<brimtest::VaultHolderProcess> holder;
        if (c.heldWithWindow || c.heldWithoutWindow)
            holder.emplace(brimtest::HolderRequest{id, c.heldWithWindow ? id : "", "", false});
        if (c.listed) {
            prompts.listedId = id;
            prompts.listed = {temp.path(), "Home"};
        } else {
            prompts.listedId.clear();
        }
        if (c.selectionShown) prompts.select(2);
        if (c.opened) prompts.answer(1, "pw");
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        freshFlows.PendingEncFile = encryptedFileOf(id);

        EXPECT_EQ(freshFlows.loadDB(), c.expected);
        EXPECT_EQ(script.texts(), c.texts);
        if (holder) {
            const auto received = holder->received();
            ASSERT_EQ(received.size(), c.handedOver ? 1u : 0u);
            if (c.handedOver) {
                EXPECT_EQ(received[0].command, 103u);
                EXPECT_EQ(received[0].bytes, freshFlows.PendingEncFile + std::string(1, '\0'));
            }
        }
        if (c.opened) {
            EXPECT_EQ(freshStore.getDBFname(), "Home");
            EXPECT_NE(freshFlows.vaultMutex(), nullptr);
        }
        EXPECT_EQ(freshFlows.PendingEncFile, temp.file("letter.doc.vltenc")) << "stays pending until decrypted";
        EXPECT_TRUE(prompts.flowsAnswered());
    }
}

TEST_F(VaultOpeningTest, HandOffProbeLeavesNoMutexBehind) {
    const std::string id = makeSavedVault(temp.path(), "Home", "pw");
    EXPECT_FALSE(handOffEncryptedFile(encryptedFileOf(id)));
    win32::KernelHandle again(CreateMutexA(nullptr, TRUE, id.c_str()));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(VaultOpeningTest, CommandLineVaultOrKeyFileIsSplitIntoFolderAndName) {
    makeSavedVault(temp.path(), "Home.2010", "pw");
    for (const char* file : {"Home.2010.vlt", "Home.2010.kvt"}) {
        SCOPED_TRACE(file);
        VaultStore freshStore(prompts);
        VaultFlows freshFlows(freshStore, prompts, &noHandOff);
        freshFlows.PendingVaultFile = temp.file(file);
        prompts.answer(1, "pw");
        EXPECT_EQ(freshFlows.loadDB(), ldOpen);
        EXPECT_EQ(freshStore.getDBLoc(), temp.path());
        EXPECT_EQ(freshStore.getDBFname(), "Home.2010");
        EXPECT_EQ(freshFlows.OpenVaultName, "Home.2010");
        EXPECT_TRUE(freshFlows.PendingVaultFile.empty());
        EXPECT_EQ(prompts.titles.back(), "Brimsafe - Home.2010");
    }
}

TEST_F(VaultOpeningTest, RelativeCommandLineVaultPathIsMadeFullFirst) {
    makeSavedVault(temp.path(), "Home", "pw");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(temp.path().c_str());
    flows.PendingVaultFile = "Home.vlt";
    prompts.answer(1, "pw");
    LoadDBResult result = flows.loadDB();
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(result, ldOpen);
    EXPECT_EQ(store.getDBLoc(), temp.path());
    EXPECT_EQ(store.getDBFname(), "Home");
}

TEST_F(VaultOpeningTest, CommandLineBackupGoesThroughTheRestoreDialog) {
    makeSavedVault(temp.path(), "Home", "pw");
    store.setDBLoc(temp.path());
    store.setDBFname("Home");
    flows.PendingBackupFile = "C:\\backups\\Brimsafe.bvt";
    prompts.restoreResult = 2;
    EXPECT_EQ(flows.loadDB(), ldFailed);
    EXPECT_TRUE(flows.PendingBackupFile.empty());
    ASSERT_EQ(prompts.restoreAsked.size(), 1u);
    EXPECT_EQ(prompts.restoreAsked[0], std::make_pair(temp.path(), std::string("C:\\backups\\Brimsafe.bvt")));

    flows.PendingBackupFile = "C:\\backups\\Brimsafe.bvt";
    prompts.restoreResult = 9;
    prompts.answer(1, "pw");
    EXPECT_EQ(flows.loadDB(), ldOpen);
    EXPECT_EQ(prompts.titles.front(), "Brimsafe - Home");
}

TEST_F(VaultOpeningTest, SelectionLoop) {
    makeSavedVault(temp.path(), "Home", "pw");
    makeSavedVault(temp.path(), "Keyless", "pw", 2);
    DeleteFileA(temp.file("Keyless.kvt").c_str());
    brimtest::MessageBoxScript script({mbrOk, mbrOk});
    store.setDBLoc("C:\\remembered");
    store.setDBFname("Last");
    prompts.select(1, temp.path(), "Keyless");
    prompts.select(1, temp.path(), "Nowhere");
    prompts.select(1, temp.path(), "Home");
    prompts.answer(1, "pw");

    EXPECT_EQ(flows.loadDB(), ldOpen);
    EXPECT_EQ(script.texts(), (std::vector<std::string>{KeyMissing, VaultMissing}));
    ASSERT_EQ(prompts.preselected.size(), 3u);
    EXPECT_EQ(prompts.preselected[0].folder, "C:\\remembered");
    EXPECT_EQ(prompts.preselected[0].name, "Last");
    EXPECT_EQ(store.content().userCategories->getName(), "Notes");
    EXPECT_EQ(flows.OpenVaultName, "Home");
}

TEST_F(VaultOpeningTest, SelectionResults) {
    makeSavedVault(temp.path(), "Home", "pw");
    store.setDBLoc(temp.path());
    store.setDBFname("Home");
    {
        prompts.select(2);
        EXPECT_EQ(flows.loadDB(), ldFailed);
    }
    {
        // The restore dialog has opened the restored vault: no password here.
        prompts.select(9, temp.path(), "Home");
        EXPECT_EQ(flows.loadDB(), ldOpen);
        EXPECT_EQ(prompts.titles.back(), "Brimsafe - Home");
        EXPECT_NE(flows.vaultMutex(), nullptr);
    }
}

TEST_F(VaultOpeningTest, VaultOpenInAnotherProcessIsRefusedBeforeThePasswordIsAsked) {
    const std::string id = makeSavedVault(temp.path(), "Home", "pw");
    brimtest::VaultHolderProcess holder({id, "", "", false});
    brimtest::MessageBoxScript script({mbrOk});
    flows.PendingVaultFile = temp.file("Home.vlt");
    EXPECT_EQ(flows.loadDB(), ldAskAgain);
    EXPECT_EQ(script.texts(), std::vector<std::string>{AlreadyOpen});
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_EQ(flows.vaultMutex(), nullptr);
}

TEST_F(VaultOpeningTest, OpenVaultHoldsTheMutexUntilReleased) {
    const std::string id = makeSavedVault(temp.path(), "Home", "pw");
    flows.PendingVaultFile = temp.file("Home.vlt");
    prompts.answer(1, "pw");
    ASSERT_EQ(flows.loadDB(), ldOpen);
    {
        win32::KernelHandle probe(CreateMutexA(nullptr, TRUE, id.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    }
    flows.releaseVaultMutex();
    win32::KernelHandle probe(CreateMutexA(nullptr, TRUE, id.c_str()));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(VaultOpeningTest, PasswordLoop) {
    makeSavedVault(temp.path(), "Home", "right");
    store.setDBLoc(temp.path());
    store.setDBFname("Home");
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> answers;
        bool forgotRestores;
        int expected;
        std::vector<bool> retries;
    };
    const Case cases[] = {
        {"wrong, wrong, right", {{1, "a"}, {1, "b"}, {1, "right"}}, false, ovOpen, {false, true, true}},
        {"cancelled", {{2, ""}}, false, ovFailed, {false}},
        {"wrong, key restored, right: no notice after the restore", {{1, "a"}, {7, ""}, {1, "right"}}, true, ovOpen,
         {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        prompts.forgotResult = c.forgotRestores;
        for (const auto& [result, text] : c.answers) prompts.answer(result, text);
        EXPECT_EQ(flows.openVault(store.vaultFilePath()), c.expected);
        std::vector<bool> retries;
        for (const auto& asked : prompts.asked) retries.push_back(asked.retry);
        EXPECT_EQ(retries, c.retries);
    }
}

TEST_F(VaultOpeningTest, UnreadableVaultFiles) {
    store.setDBLoc(temp.path());
    store.setDBFname("Home");
    EXPECT_EQ(flows.openVault(store.vaultFilePath()), ovFailed);
    ASSERT_EQ(prompts.fileErrors.size(), 1u);
    EXPECT_EQ(prompts.fileErrors[0], std::make_pair(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), std::string("your vault")));

    temp.writeFile("Home.vlt", "salt");
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(flows.openVault(store.vaultFilePath()), ovDamaged) << "shorter than its salt";
    EXPECT_EQ(script.texts(), std::vector<std::string>{damagedFileText(store.vaultFilePath())});
    EXPECT_TRUE(prompts.asked.empty());
}

// A damaged vault or key file is never a wrong password: it is named, and the start-up (which
// calls loadDB again while it asks again) goes back to the selection dialog with it preselected.
TEST_F(VaultOpeningTest, DamagedVaultOrKeyFileGoesBackToTheSelectionAndNeverBlamesThePassword) {
    makeSavedVault(temp.path(), "Good", "pw", 2);
    makeSavedVault(temp.path(), "Home", "pw");
    const std::string vault = temp.readFile("Home.vlt"), key = temp.readFile("Home.kvt");
    std::string flipped = vault;
    flipped[vault.size() - 12] ^= 1;
    struct Case {
        const char* what;
        std::string vault, key;
        const char* damaged;    // the file named
        bool passwordAsked;     // the damage shows only once the right key is known
    };
    const Case cases[] = {
        {"vault cut in half, mid-block", vault.substr(0, 136 + (vault.size() - 136) / 16 * 8 + 3), key, "Home.vlt",
         false},
        {"vault cut in half, at a block", vault.substr(0, 136 + (vault.size() - 136) / 16 * 8), key, "Home.vlt", true},
        {"vault shorter than its head", vault.substr(0, 100), key, "Home.vlt", false},
        {"a byte of the body flipped", flipped, key, "Home.vlt", true},
        {"key file shorter than its header says", vault, key.substr(0, 700), "Home.kvt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temp.writeFile("Home.vlt", c.vault);
        temp.writeFile("Home.kvt", c.key);
        prompts.asked.clear();
        prompts.preselected.clear();
        brimtest::MessageBoxScript script({mbrOk});
        prompts.select(1, temp.path(), "Home");
        if (c.passwordAsked) prompts.answer(1, "pw");
        EXPECT_EQ(flows.loadDB(), ldAskAgain);
        EXPECT_EQ(script.texts(), std::vector<std::string>{damagedFileText(temp.file(c.damaged))});
        for (const auto& asked : prompts.asked) EXPECT_FALSE(asked.retry) << "no invalid-password notice";
        EXPECT_EQ(prompts.asked.size(), c.passwordAsked ? 1u : 0u);
        EXPECT_EQ(flows.vaultMutex(), nullptr);

        // Asked again, the selection dialog comes back on the damaged vault; another one opens.
        prompts.select(1, temp.path(), "Good");
        prompts.answer(1, "pw");
        EXPECT_EQ(flows.loadDB(), ldOpen);
        ASSERT_EQ(prompts.preselected.size(), 2u);
        EXPECT_EQ(prompts.preselected[1].name, "Home");
        EXPECT_EQ(store.content().userCategories->itemText(0, 0), "kept Good");
        flows.releaseVaultMutex();
    }
    // A command-line vault and the vault of a pending encrypted file go the same way.
    temp.writeFile("Home.vlt", vault.substr(0, 100));
    temp.writeFile("Home.kvt", key);
    {
        brimtest::MessageBoxScript script({mbrOk});
        flows.PendingVaultFile = temp.file("Home.vlt");
        EXPECT_EQ(flows.loadDB(), ldAskAgain);
        EXPECT_EQ(script.texts(), std::vector<std::string>{damagedFileText(temp.file("Home.vlt"))});
        EXPECT_TRUE(flows.PendingVaultFile.empty()) << "the next call shows the selection dialog";
    }
    {
        brimtest::MessageBoxScript script({mbrOk});
        prompts.listedId = vaultIdText(reinterpret_cast<const unsigned char*>(key.data() + 8));
        prompts.listed = {temp.path(), "Home"};
        flows.PendingEncFile = encryptedFileOf(prompts.listedId);
        prompts.select(1, temp.path(), "Good");
        prompts.answer(1, "pw");
        EXPECT_EQ(flows.loadDB(), ldOpen) << "found by its ID, damaged, then chosen in the same call";
        EXPECT_EQ(script.texts(), std::vector<std::string>{damagedFileText(temp.file("Home.vlt"))});
        EXPECT_EQ(flows.OpenVaultName, "Good");
    }
}

TEST_F(VaultOpeningTest, NewVaultGetsFilesRegistrationAndDefaultContent) {
    prompts.select(16, temp.path(), "Fresh");
    prompts.keyPage(1);
    prompts.answer(1, "first");
    EXPECT_EQ(flows.loadDB(), ldOpen);
    EXPECT_TRUE(flows.NewVaultCreated);
    EXPECT_EQ(flows.OpenVaultName, "Fresh");
    EXPECT_EQ(prompts.titles, std::vector<std::string>{"Brimsafe - Fresh"});
    EXPECT_EQ(prompts.keyBitsAsked, 1024);
    EXPECT_TRUE(prompts.asked[0].firstPage);
    EXPECT_TRUE(temp.exists("Fresh.vlt"));
    EXPECT_EQ(temp.readFile("Fresh.kvt").size(), 784u);
    EXPECT_NE(flows.vaultMutex(), nullptr);

    brimtest::RawValue value = brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", "Fresh");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    const std::string stored(value.bytes.begin(), value.bytes.end());
    EXPECT_EQ(stored.substr(0, stored.find('\0')), temp.path() + "\\Fresh");

    SecretText text = store.buildVaultText();
    const std::string expected =
        "<hidePwords value=0/>"
        "<category name=\"Encrypted Files\">\t<header name=\"Name\" type=0 show=0 width=428/></category>"
        "<category name=\"To Do\">\t<header name=\"Task\" type=0 show=0 width=107/>"
        "\t<header name=\"Description\" type=1 show=0 width=107/>\t<header name=\"Priority\" type=0 show=0 width=107/>"
        "\t<header name=\"Completed\" type=0 show=0 width=107/>";
    EXPECT_EQ(std::string(text.data(), text.size()).substr(0, expected.size()), expected);
    EXPECT_EQ(userCategoryNames(), (std::vector<std::string>{"To Do", "Passwords", "Contacts"}));
    EXPECT_EQ(store.content().current->getName(), "To Do");
    EXPECT_EQ(store.content().currCat, 2);
    const category* toDo = store.content().userCategories;
    EXPECT_EQ(toDo->rowItems(1), (RowValues{"Back up you key",
                                            "Make sure to back up the key to your vault.  Select backup/restore under "
                                            "the tools menu.",
                                            "1", "no"}));
    const category* passwords = toDo->next;
    ASSERT_EQ(passwords->headerCount(), 6);
    EXPECT_EQ(passwords->headerAt(2)->name, "Password");
    EXPECT_EQ(passwords->headerAt(2)->show, hsSecret);
    EXPECT_EQ(passwords->headerAt(2)->width, 0);
    EXPECT_EQ(passwords->rowItems(0), (RowValues{"Sample Entry", "Enter login here", "Enter password here", "",
                                                 "Enter web address here", "This is an example of a password entry."}));
    EXPECT_EQ(toDo->next->next->rowItems(0)->at(0), "Quarrendel");
}

TEST_F(VaultOpeningTest, FailedCreationLeavesNothingAndASecondAttemptIsClean) {
    // Cancelled on the key page, then the first password cancelled, then created.
    prompts.select(16, temp.path(), "Fresh");
    prompts.keyPage(2);
    EXPECT_EQ(flows.loadDB(), ldAskAgain);
    EXPECT_EQ(store.content().userCategories, nullptr);
    EXPECT_EQ(store.content().encryptedFiles, nullptr);
    EXPECT_FALSE(temp.exists("Fresh.vlt"));
    EXPECT_FALSE(brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", "Fresh").exists);

    prompts.select(16, temp.path(), "Fresh");
    prompts.keyPage(1);
    prompts.answer(2);
    EXPECT_EQ(flows.loadDB(), ldAskAgain);
    EXPECT_FALSE(temp.exists("Fresh.vlt"));
    EXPECT_EQ(store.content().userCategories, nullptr);

    prompts.select(16, temp.path(), "Fresh");
    prompts.keyPage(1);
    prompts.answer(1, "first");
    EXPECT_EQ(flows.loadDB(), ldOpen);
    EXPECT_EQ(userCategoryNames(), (std::vector<std::string>{"To Do", "Passwords", "Contacts"}));
}

TEST_F(VaultOpeningTest, UncreatableVaultFileLeavesNoVault) {
    DiskFullWriter full;
    full.limit = 0;
    VaultStore failing(prompts, nullptr, full);
    VaultFlows failingFlows(failing, prompts, &noHandOff);
    brimtest::MessageBoxScript script({mbrOk});
    prompts.select(16, temp.path(), "Fresh");
    prompts.keyPage(1);
    EXPECT_EQ(failingFlows.loadDB(), ldAskAgain);
    EXPECT_EQ(script.texts(),
              std::vector<std::string>{
                  "There was a problem creating your new vault.  We were unable to create the vault file."});
    EXPECT_FALSE(temp.exists("Fresh.vlt"));
    EXPECT_FALSE(temp.exists("Fresh.kvt"));
    EXPECT_EQ(failing.content().userCategories, nullptr);
}

TEST_F(VaultOpeningTest, MissingCryptoLibraryEndsTheCreation) {
    flows.setCryptoLibraryNameForTesting("NoSuchLibrary.dll");
    brimtest::MessageBoxScript script({mbrOk});
    prompts.select(16, temp.path(), "Fresh");
    EXPECT_EQ(flows.loadDB(), ldFailed);
    EXPECT_EQ(script.texts(), std::vector<std::string>{Reinstall});
    EXPECT_FALSE(temp.exists("Fresh.vlt"));
}

}  // namespace

namespace {

// The stand-in for another running copy also holds files and the clipboard for other tests.
TEST(VaultHolderStub, HoldsAFileAndTheClipboardUntilItEnds) {
    brimtest::TempFolder temp;
    temp.writeFile("held.vlt", "held");
    {
        brimtest::VaultHolderProcess holder({"", "", temp.file("held.vlt"), true});
        win32::FileHandle file(
            CreateFileA(temp.file("held.vlt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(file.valid());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_FALSE(OpenClipboard(nullptr));
    }
    win32::FileHandle file(
        CreateFileA(temp.file("held.vlt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file.valid());
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
}

}  // namespace
