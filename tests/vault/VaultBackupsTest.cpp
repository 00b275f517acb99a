// Backups, restores and the password change at byte level: the ".bkv" and ".bvt" layouts checked
// with Blowfish-CBC and MD5 done here through Crypto++, restores with their roll-back, refusals
// with their exact sentences, and every writer failing like a full disk.
#include "vault/VaultFlows.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace vaulttest;

const char* const KeySaved = "Your key has been saved.";
const char* const KeyNotSaved = "Your key has not been saved.";
const char* const OwnFiles = "You cannot back up to the files of the open vault.  Please choose another file.";
const char* const NotValidKey = "This is not a valid key backup.  Your key has not been restored.";
const char* const OtherVaultsKey =
    "The key you have selected does not pertain to this vault.  The key has not been restored.";
const char* const FirstProvide = "You must first provide your current password before being able to set a new one.";
const char* const NotChanged = "Your password has not been changed.";
const unsigned char Scramble[8] = {0x3F, 0xA9, 0x62, 0x0D, 0x8E, 0x51, 0xC7, 0x24};

std::string u32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

class VaultBackupsTest : public brimtest::FreshRegistry {
protected:
    void SetUp() override {
        brimtest::FreshRegistry::SetUp();
        homeId = makeSavedVault(temp.path(), "Home", "pw");
        flows.PendingVaultFile = temp.file("Home.vlt");
        prompts.answer(1, "pw");
        ASSERT_EQ(flows.loadDB(), ldOpen);
    }
    void TearDown() override {
        EXPECT_TRUE(prompts.flowsAnswered());
        brimtest::FreshRegistry::TearDown();
    }

    std::string vaultFile() const { return temp.readFile("Home.vlt"); }
    std::string keyFile() const { return temp.readFile("Home.kvt"); }
    int rowsOfNotes() { return store.content().userCategories->rowCount(); }
    void addRowAndSave(const std::string& text) {
        store.content().userCategories->insertRow({text});
        ASSERT_EQ(flows.saveVault(), srSaved);
    }
    bool passwordKeyIsZero() const {
        const Secret16& key = store.passwordKey();
        return Bytes(key.data(), key.data() + 16) == Bytes(16, 0);
    }
    // Opens folder\name in a store of its own with the password; true when it opened.
    // The fixture's own vault lets go of its mutex first.
    bool opensWith(const std::string& folder, const std::string& name, const std::string& password) {
        flows.releaseVaultMutex();
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownFlows.PendingVaultFile = folder + "\\" + name + ".vlt";
        own.answer(1, password);
        own.answer(2);  // a wrong password is asked again: then give up
        return ownFlows.loadDB() == ldOpen;
    }
    // A key backup of folder\name made by a store of its own.
    void keyBackupOf(const std::string& folder, const std::string& name, const std::string& password,
                     const std::string& target) {
        flows.releaseVaultMutex();
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownFlows.PendingVaultFile = folder + "\\" + name + ".vlt";
        own.answer(1, password);
        ASSERT_EQ(ownFlows.loadDB(), ldOpen);
        own.answer(1, password);
        ASSERT_EQ(ownFlows.backupKey(target, true), 0);
    }

    brimtest::TempFolder temp, out;
    std::string homeId;
    FlowPrompts prompts;
    VaultStore store{prompts};
    VaultFlows flows{store, prompts, &noHandOff};
};

// ---- key backup ----

TEST_F(VaultBackupsTest, KeyBackupIsTheKeyFileWithItsBlockDecryptedAndScrambled) {
    brimtest::MessageBoxScript script({mbrOk});
    prompts.answer(1, "pw");
    flows.runToolsResult(5, out.file("Home.bkv"));
    EXPECT_EQ(script.texts(), std::vector<std::string>{KeySaved});
    EXPECT_TRUE(passwordKeyIsZero());

    const std::string backup = out.readFile("Home.bkv");
    const std::string key = keyFile();
    ASSERT_EQ(backup.size(), 796u);
    EXPECT_EQ(backup.substr(0, 4), u32(0x3DEA0711));
    EXPECT_EQ(backup.substr(12, 512), key.substr(0, 512));
    EXPECT_EQ(backup.substr(780), key.substr(768));
    Bytes block = slice(backup, 12 + 512, 256);
    for (size_t i = 0; i < block.size(); ++i) block[i] ^= static_cast<unsigned char>(backup[4 + i % 8]) ^ Scramble[i % 8];
    const Bytes passwordKey = independentPasswordKey("pw", slice(vaultFile(), 0, 8));
    EXPECT_EQ(block, blowfishCBC(false, passwordKey, slice(key, 512, 256)));
}

TEST_F(VaultBackupsTest, KeyBackupPasswordLoopKeepsTheProvenKey) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> answers;
        bool forgotRestores;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"wrong, then cancelled", {{1, "wrong"}, {2, ""}}, false, {"Your key has not been backed up.", KeyNotSaved}},
        {"wrong, key restored, then right", {{1, "wrong"}, {7, ""}, {1, "pw"}}, true, {KeySaved}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.asked.clear();
        prompts.forgotResult = c.forgotRestores;
        for (const auto& [result, text] : c.answers) prompts.answer(result, text);
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        flows.runToolsResult(5, out.file("Home.bkv"));
        EXPECT_EQ(script.texts(), c.texts);
        if (c.forgotRestores) {
            EXPECT_FALSE(prompts.asked.back().retry) << "after a restore, no invalid-password notice";
        }
        EXPECT_TRUE(passwordKeyIsZero());
        addRowAndSave(c.what);
        EXPECT_TRUE(opensWith(temp.path(), "Home", "pw"));
    }
}

// ---- vault backup and restore ----

TEST_F(VaultBackupsTest, VaultBackupLayoutAndRestoreRoundTrip) {
    ASSERT_EQ(flows.saveVault(), srSaved);  // the vault file as the backup's copy will be
    {
        brimtest::MessageBoxScript script({mbrOk});
        flows.runToolsResult(3, out.file("Home.bvt"));
        EXPECT_EQ(script.texts(), std::vector<std::string>{"Your database has been backed up."});
    }
    const std::string backup = out.readFile("Home.bvt");
    EXPECT_EQ(backup.substr(0, 4), u32(0x4EDD2BAD));
    EXPECT_EQ(backup.substr(4, 784), keyFile());
    EXPECT_EQ(backup.size(), 4 + 784 + vaultFile().size());
    EXPECT_EQ(backup.substr(4 + 784), vaultFile());
    EXPECT_FALSE(out.exists("Home.bvt.part"));

    addRowAndSave("after the backup");
    ASSERT_EQ(rowsOfNotes(), 2);
    brimtest::MessageBoxScript script({mbrOk});
    prompts.answer(1, "pw");
    flows.runToolsResult(4, out.file("Home.bvt"));
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Your vault has been restored."});
    EXPECT_EQ(rowsOfNotes(), 1);
    EXPECT_FALSE(temp.exists("default.bak"));
    EXPECT_FALSE(temp.exists("pk.bak"));
    EXPECT_EQ(prompts.titles.back(), "Brimsafe - Home");
}

TEST_F(VaultBackupsTest, RestoreWithThePasswordGivenUpPutsEverythingBack) {
    ASSERT_TRUE(flows.backupVault(out.file("Home.bvt")));
    addRowAndSave("after the backup");
    const std::string vault = vaultFile(), key = keyFile();
    brimtest::MessageBoxScript script({mbrOk});
    prompts.answer(1, "wrong");
    prompts.answer(2);
    flows.runToolsResult(4, out.file("Home.bvt"));
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Your vault has not been restored."});
    EXPECT_EQ(vaultFile(), vault);
    EXPECT_EQ(keyFile(), key);
    EXPECT_FALSE(temp.exists("default.bak"));
    EXPECT_FALSE(temp.exists("pk.bak"));
    EXPECT_EQ(rowsOfNotes(), 2);
    addRowAndSave("still saveable");
    EXPECT_TRUE(opensWith(temp.path(), "Home", "pw"));
}

TEST_F(VaultBackupsTest, DamagedBackupsAndStaleBakFilesTouchNothing) {
    ASSERT_TRUE(flows.backupVault(out.file("Home.bvt")));
    const std::string good = out.readFile("Home.bvt");
    const std::string vault = vaultFile(), key = keyFile();
    struct Case {
        const char* what;
        std::string backup;
        const char* staleBak;
        int expected;
    };
    const Case cases[] = {
        {"wrong magic", u32(0x12345678) + good.substr(4), nullptr, rrNotBackup},
        {"key length 0", good.substr(0, 4) + u32(0) + good.substr(8), nullptr, rrNotBackup},
        {"key length huge", good.substr(0, 4) + u32(0xFFFFFFF0) + good.substr(8), nullptr, rrNotBackup},
        {"vault part of 100 bytes", good.substr(0, 788 + 100), nullptr, rrNotBackup},
        {"vault part of 137 bytes", good.substr(0, 788 + 137), nullptr, rrNotBackup},
        {"a key file without its magic", good.substr(0, 28) + u32(0) + good.substr(32), nullptr, rrNotBackup},
        {"stale default.bak", good, "default.bak", rrNotRestored},
        {"stale pk.bak", good, "pk.bak", rrNotRestored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        out.writeFile("damaged.bvt", c.backup);
        if (c.staleBak) temp.writeFile(c.staleBak, "stale");
        EXPECT_EQ(flows.restoreVault(out.file("damaged.bvt")), c.expected);
        EXPECT_EQ(vaultFile(), vault);
        EXPECT_EQ(keyFile(), key);
        if (c.staleBak) {
            EXPECT_EQ(temp.readFile(c.staleBak), "stale");
            DeleteFileA(temp.file(c.staleBak).c_str());
        }
        EXPECT_FALSE(temp.exists("default.bak"));
        EXPECT_FALSE(temp.exists("pk.bak"));
    }
    EXPECT_TRUE(prompts.asked.size() == 1u) << "no password was asked for a refused backup";
}

TEST_F(VaultBackupsTest, RestoringAnotherVaultsBackupPublishesItsId) {
    brimtest::TempFolder other;
    const std::string workId = makeSavedVault(other.path(), "Work", "pw2", 2);
    out.writeFile("Work.bvt", u32(0x4EDD2BAD) + other.readFile("Work.kvt") + other.readFile("Work.vlt"));
    prompts.answer(1, "pw2");
    EXPECT_EQ(flows.restoreVault(out.file("Work.bvt")), rrRestored);
    EXPECT_EQ(vaultIdText(store.vaultID()), workId);
    EXPECT_EQ(store.content().userCategories->rowItems(0)->at(0), "kept Work");
    {
        win32::KernelHandle probe(CreateMutexA(nullptr, TRUE, workId.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    }
    win32::KernelHandle probe(CreateMutexA(nullptr, TRUE, homeId.c_str()));
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the old vault's mutex is released";
    EXPECT_EQ(prompts.titles.back(), "Brimsafe - Home");
    addRowAndSave("saved under the restored key");
    EXPECT_TRUE(opensWith(temp.path(), "Home", "pw2"));
}

// The fixture's open Home stands for a vault another process holds open: a restore in a store of
// its own may neither unpack Home's backup elsewhere nor replace Home's files.
TEST_F(VaultBackupsTest, ARestoreTouchingAVaultOpenElsewhereIsRefusedAndMovesNothing) {
    brimtest::TempFolder other, copy;
    makeSavedVault(other.path(), "Work", "pw2", 2);
    ASSERT_TRUE(flows.backupVault(out.file("Home.bvt")));
    out.writeFile("Work.bvt", u32(0x4EDD2BAD) + other.readFile("Work.kvt") + other.readFile("Work.vlt"));
    const std::string vault = vaultFile(), key = keyFile();
    struct Case {
        const char* what;
        std::string backup, folder, name;
    };
    const Case cases[] = {
        {"the backup's vault is open", out.file("Home.bvt"), copy.path(), "Home"},
        {"the vault it would replace is open", out.file("Work.bvt"), temp.path(), "Home"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FlowPrompts own;
        VaultStore ownStore(own);
        VaultFlows ownFlows(ownStore, own, &noHandOff);
        ownStore.setDBLoc(c.folder);
        ownStore.setDBFname(c.name);
        brimtest::MessageBoxScript script({mbrOk, mbrOk});
        ownFlows.runToolsResult(4, c.backup);
        EXPECT_EQ(script.texts(), (std::vector<std::string>{AlreadyOpenText, "Your vault has not been restored."}));
        EXPECT_TRUE(own.asked.empty()) << "no password is asked";
        EXPECT_FALSE(copy.exists("Home.vlt"));
        EXPECT_FALSE(copy.exists("Home.kvt"));
        EXPECT_EQ(vaultFile(), vault);
        EXPECT_EQ(keyFile(), key);
        EXPECT_FALSE(temp.exists("default.bak"));
        EXPECT_FALSE(temp.exists("pk.bak"));
    }
    // Once Home is closed there, its backup unpacks elsewhere.
    flows.releaseVaultMutex();
    FlowPrompts own;
    VaultStore ownStore(own);
    VaultFlows ownFlows(ownStore, own, &noHandOff);
    ownStore.setDBLoc(copy.path());
    ownStore.setDBFname("Home");
    own.answer(1, "pw");
    brimtest::MessageBoxScript script({mbrOk});
    ownFlows.runToolsResult(4, out.file("Home.bvt"));
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Your vault has been restored."});
    EXPECT_TRUE(copy.exists("Home.vlt"));
}

// ---- key restore ----

TEST_F(VaultBackupsTest, KeyRestoreRefusals) {
    brimtest::TempFolder other;
    makeSavedVault(other.path(), "Work", "pw2", 2);
    keyBackupOf(other.path(), "Work", "pw2", out.file("Work.bkv"));
    keyBackupOf(temp.path(), "Home", "pw", out.file("Home.bkv"));
    ASSERT_TRUE(flows.backupVault(out.file("Home.bvt")));
    const std::string good = out.readFile("Home.bkv");
    const std::string key = keyFile();
    struct Case {
        const char* what;
        std::string file;  // empty: no such file
        const char* text;
    };
    const Case cases[] = {
        {"missing file", "", "Brimsafe was unable to find the file you specified"},
        {"another vault's key", out.readFile("Work.bkv"), OtherVaultsKey},
        {"a vault backup", out.readFile("Home.bvt"), NotValidKey},
        {"270 bytes", good.substr(0, 270), NotValidKey},
        {"11 bytes: shorter than the head", good.substr(0, 11), NotValidKey},
        {"the five bytes 11 00 00 00 00", std::string("\x11\0\0\0\0", 5), NotValidKey},
        {"key-block offset 0xFFFFFFF0", good.substr(0, 16) + u32(0xFFFFFFF0) + good.substr(20), NotValidKey},
        {"key-block offset 600", good.substr(0, 16) + u32(600) + good.substr(20), NotValidKey},
        {"key-block offset 529", good.substr(0, 16) + u32(529) + good.substr(20), NotValidKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(out.file("candidate.bkv").c_str());
        if (!c.file.empty()) out.writeFile("candidate.bkv", c.file);
        brimtest::MessageBoxScript script({mbrOk});
        EXPECT_EQ(flows.restoreKey(out.file("candidate.bkv")), 0);
        EXPECT_EQ(script.texts(), std::vector<std::string>{c.text});
        EXPECT_EQ(keyFile(), key);
    }
}

TEST_F(VaultBackupsTest, ForgottenPasswordIsReplacedFromAKeyBackup) {
    keyBackupOf(temp.path(), "Home", "pw", out.file("Home.bkv"));
    const std::string vault = vaultFile(), key = keyFile();
    prompts.keyRestoreResult = 6;
    prompts.keyRestorePath = out.file("Home.bkv");
    prompts.answer(1, "new");
    brimtest::MessageBoxScript script({mbrOk});
    EXPECT_EQ(flows.forgotPassword(), 1);
    EXPECT_EQ(script.texts(), std::vector<std::string>{"Your key has been restored."});
    EXPECT_EQ(prompts.asked.back().mode, 1);
    EXPECT_TRUE(passwordKeyIsZero());
    EXPECT_EQ(vaultFile(), vault);
    const std::string restored = keyFile();
    ASSERT_EQ(restored.size(), key.size());
    EXPECT_EQ(restored.substr(0, 512), key.substr(0, 512));
    EXPECT_NE(restored.substr(512, 256), key.substr(512, 256));
    EXPECT_EQ(restored.substr(768), key.substr(768));
    EXPECT_TRUE(opensWith(temp.path(), "Home", "new"));

    prompts.answer(2);
    brimtest::MessageBoxScript cancelled({mbrOk});
    EXPECT_EQ(flows.forgotPassword(), 0);
    EXPECT_EQ(cancelled.texts(), std::vector<std::string>{"Your key has not been restored."});
    EXPECT_EQ(keyFile(), restored);
}

// ---- password change ----

TEST_F(VaultBackupsTest, PasswordChangeTouchesOnlyTheKeyBlock) {
    const std::string vault = vaultFile(), key = keyFile();
    prompts.asked.clear();
    prompts.answer(1, "wrong");
    prompts.answer(1, "pw");
    prompts.answer(1, "new");
    brimtest::MessageBoxScript script({mbrOk, mbrOk});
    flows.runToolsResult(8, "");
    EXPECT_EQ(script.texts(), (std::vector<std::string>{FirstProvide, "Your password has been changed."}));
    EXPECT_TRUE(prompts.asked[1].retry);
    EXPECT_EQ(prompts.asked[2].mode, 1);
    EXPECT_TRUE(passwordKeyIsZero());
    EXPECT_EQ(vaultFile(), vault);
    const std::string changed = keyFile();
    EXPECT_EQ(changed.substr(0, 512), key.substr(0, 512));
    EXPECT_EQ(changed.substr(768), key.substr(768));
    const Bytes salt = slice(vault, 0, 8);
    EXPECT_EQ(blowfishCBC(false, independentPasswordKey("new", salt), slice(changed, 512, 256)),
              blowfishCBC(false, independentPasswordKey("pw", salt), slice(key, 512, 256)));
    EXPECT_TRUE(opensWith(temp.path(), "Home", "new"));
}

TEST_F(VaultBackupsTest, PasswordChangeWaysOutKeepTheKey) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> answers;
        bool forgotRestores;
        bool lockKeyFile;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"wrong, then cancelled", {{1, "wrong"}, {2, ""}}, false, false, {FirstProvide, NotChanged}},
        {"wrong, then key restored", {{1, "wrong"}, {7, ""}}, true, false, {FirstProvide}},
        {"new password cancelled", {{1, "pw"}, {2, ""}}, false, false, {FirstProvide, NotChanged}},
        {"key file unreadable", {{1, "pw"}}, false, true,
         {FirstProvide, "There was a problem reading your key.  You may need to restore it."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string key = keyFile();
        prompts.forgotResult = c.forgotRestores;
        for (const auto& [result, text] : c.answers) prompts.answer(result, text);
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        {
            win32::FileHandle lock;
            if (c.lockKeyFile)
                lock = win32::FileHandle(CreateFileA(temp.file("Home.kvt").c_str(), GENERIC_READ, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
            flows.changePassword();
        }
        EXPECT_EQ(script.texts(), c.texts);
        EXPECT_EQ(keyFile(), key);
        EXPECT_TRUE(passwordKeyIsZero());
        addRowAndSave(c.what);
        EXPECT_TRUE(opensWith(temp.path(), "Home", "pw"));
    }
}

// A vault or key file found damaged while the password is proved was reported naming the file:
// no invalid-password notice follows, no other message blames the key, and nothing is written.
TEST_F(VaultBackupsTest, ADamagedFileEndsKeyBackupAndPasswordChangeNamingIt) {
    const std::string vault = vaultFile(), key = keyFile();
    const std::size_t halfBody = 136 + (vault.size() - 136) / 16 * 8;
    struct Damage {
        const char* what;
        std::string vault, key;
        const char* damaged;  // the file named
    };
    const Damage damages[] = {
        {"vault cut in half, at a block", vault.substr(0, halfBody), key, "Home.vlt"},
        {"vault shorter than its head", vault.substr(0, 100), key, "Home.vlt"},
        {"key file shorter than its header says", vault, key.substr(0, 700), "Home.kvt"},
    };
    struct Operation {
        const char* what;
        std::function<void()> run;
        std::vector<std::string> before, after;  // the texts around the damage
    };
    const Operation operations[] = {
        {"key backup", [&] { flows.runToolsResult(5, out.file("Home.bkv")); }, {}, {KeyNotSaved}},
        {"password change", [&] { flows.changePassword(); }, {FirstProvide}, {}},
    };
    for (const Operation& op : operations) {
        for (const Damage& d : damages) {
            SCOPED_TRACE(std::string(op.what) + ": " + d.what);
            temp.writeFile("Home.vlt", d.vault);
            temp.writeFile("Home.kvt", d.key);
            prompts.asked.clear();
            prompts.answer(1, "pw");
            std::vector<std::string> texts = op.before;
            texts.push_back(damagedFileText(temp.file(d.damaged)));
            texts.insert(texts.end(), op.after.begin(), op.after.end());
            brimtest::MessageBoxScript script(std::vector<int>(texts.size(), mbrOk));
            op.run();
            EXPECT_EQ(script.texts(), texts);
            EXPECT_EQ(prompts.asked.size(), 1u) << "asked once, never again as a wrong password";
            EXPECT_TRUE(passwordKeyIsZero());
            EXPECT_EQ(vaultFile(), d.vault);
            EXPECT_EQ(keyFile(), d.key);
            EXPECT_EQ(GetFileAttributesA(out.file("Home.bkv").c_str()), INVALID_FILE_ATTRIBUTES);
        }
    }
    // Mended, the vault opens with its password as before.
    temp.writeFile("Home.vlt", vault);
    temp.writeFile("Home.kvt", key);
    EXPECT_TRUE(opensWith(temp.path(), "Home", "pw"));
}

// ---- refusals and failed writes ----

TEST_F(VaultBackupsTest, BackupsAreNeverWrittenOverTheOpenVaultsFiles) {
    const std::string vault = vaultFile(), key = keyFile();
    struct Case {
        int toolsResult;
        std::string target;
        std::vector<std::string> texts;
    };
    std::string upper = temp.file("HOME.VLT");
    const Case cases[] = {
        {3, temp.file("Home.vlt"), {OwnFiles}},
        {3, temp.file("home.KVT"), {OwnFiles}},
        {5, upper, {OwnFiles, KeyNotSaved}},
        {5, temp.file("Home.kvt"), {OwnFiles, KeyNotSaved}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        flows.runToolsResult(c.toolsResult, c.target);
        EXPECT_EQ(script.texts(), c.texts);
        EXPECT_EQ(vaultFile(), vault);
        EXPECT_EQ(keyFile(), key);
    }
    EXPECT_TRUE(prompts.asked.size() == 1u) << "refused before any password prompt";
}

TEST_F(VaultBackupsTest, FailedWritesLeaveEveryFileAsItWas) {
    ASSERT_TRUE(flows.backupVault(out.file("Home.bvt")));
    keyBackupOf(temp.path(), "Home", "pw", out.file("Home.bkv"));
    out.writeFile("earlier.bvt", "earlier backup");
    out.writeFile("earlier.bkv", "earlier key backup");
    DiskFullWriter full;
    full.limit = 0;
    VaultFlows failing(store, prompts, &noHandOff, nullptr, full);
    const std::string vault = vaultFile(), key = keyFile();
    struct Case {
        const char* what;
        std::function<void()> run;
        std::vector<std::pair<int, std::string>> answers;
        std::vector<std::string> texts;
        const char* untouched;  // the earlier file at the target
        std::string untouchedBytes;
    };
    const Case cases[] = {
        {"vault backup", [&] { failing.runToolsResult(3, out.file("earlier.bvt")); }, {}, {}, "earlier.bvt",
         "earlier backup"},
        {"key backup", [&] { failing.runToolsResult(5, out.file("earlier.bkv")); }, {{1, "pw"}},
         {"There was a problem saving your key.  Perhaps the drive is read only or full?", KeyNotSaved},
         "earlier.bkv", "earlier key backup"},
        {"vault restore", [&] { failing.runToolsResult(4, out.file("Home.bvt")); }, {},
         {"Your vault has not been restored."}, nullptr, ""},
        {"key restore", [&] { EXPECT_EQ(failing.restoreKey(out.file("Home.bkv")), 0); }, {{1, "new"}}, {}, nullptr,
         ""},
        {"password change", [&] { failing.changePassword(); }, {{1, "pw"}, {1, "new"}}, {FirstProvide}, nullptr, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.fileErrors.clear();
        for (const auto& [result, text] : c.answers) prompts.answer(result, text);
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        c.run();
        EXPECT_EQ(script.texts(), c.texts);
        if (c.what != std::string("key backup")) {
            ASSERT_EQ(prompts.fileErrors.size(), 1u);
            EXPECT_EQ(prompts.fileErrors[0].first, static_cast<DWORD>(ERROR_DISK_FULL));
        }
        EXPECT_EQ(vaultFile(), vault);
        EXPECT_EQ(keyFile(), key);
        if (c.untouched) {
            EXPECT_EQ(out.readFile(c.untouched), c.untouchedBytes);
        }
        EXPECT_FALSE(temp.exists("default.bak"));
        EXPECT_FALSE(temp.exists("pk.bak"));
    }
}

TEST_F(VaultBackupsTest, FailedSaveKeepsTheModifiedMark) {
    flows.Modified = true;
    {
        win32::FileHandle lock(
            CreateFileA(temp.file("Home.vlt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_EQ(flows.saveVault(), srNotSaved);
    }
    EXPECT_TRUE(flows.Modified);
    EXPECT_EQ(prompts.fileErrors.size(), 1u);
    EXPECT_EQ(flows.saveVault(), srSaved);
    EXPECT_FALSE(flows.Modified);
}

}  // namespace
