// The older version's vault files: the one-time conversion of its folder, the moves after a
// selection and the conversion before opening, with older key files of both layouts.
#include "vault/VaultFlows.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace vaulttest;

const char* const Question =
    "Brimsafe will now upgrade your vault.\n\nIMPORTANT NOTE:\nBe sure to backup your vault and key after the "
    "conversion as backups from older versions are not supported.";
const char* const Refusal =
    "This new version of Brimsafe requires that you have your vault converted.  If you do not want to convert your "
    "vault at this time, you will need to uninstall this version of Brimsafe and reinstall your previous version in "
    "order to access it.";
const char* const Clash =
    "An upgraded vault already exists with the same name as the vault you are upgrading.  In order to proceed with "
    "the upgrade, you must choose a new name for the vault that you are upgrading.";
const char* const Upgraded = "Your vault has been upgraded successfully.";

std::string conversionText(const std::string& name) {
    return "You have selected a vault from an older version of Brimsafe.  It will now be updated to the latest "
           "version.  If you ever need to reinstall Brimsafe, please make sure that you use the latest version, or "
           "your vault will be inaccessible.  You may find it in your list of available vaults as \"" +
           name +
           ".\"\n\nImportant Note:\nBe sure to backup your vault and key using this new version of Brimsafe, as the "
           "old backup formats are incompatible.";
}

class VaultConversionTest : public brimtest::FreshRegistry {
protected:
    void TearDown() override {
        EXPECT_TRUE(prompts.flowsAnswered());
        brimtest::FreshRegistry::TearDown();
    }

    // The older version's files in `old`: its vault file under vaultName and its key file under
    // keyName, the key file cut to an older layout (256: key block; 272: key block and chain).
    void writeOlderVault(const std::string& vaultName, const std::string& keyName, std::size_t keyLayout) {
        makeSavedVault(source.path(), "Src", "pw");
        old.writeFile(vaultName, source.readFile("Src.vlt"));
        const std::string key = source.readFile("Src.kvt");
        old.writeFile(keyName, keyLayout == 784 ? key : key.substr(512, keyLayout));
    }

    std::string knownVault(const std::string& name) {
        brimtest::RawValue value =
            brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", name);
        return std::string(value.bytes.begin(), value.bytes.end()).c_str();
    }

    brimtest::TempFolder source, old;
    FlowPrompts prompts;
    VaultStore store{prompts};
    VaultFlows flows{store, prompts, &noHandOff};
};

TEST_F(VaultConversionTest, OlderFolderBecomesMyVaultAndOpensWithItsIdMigrated) {
    for (std::size_t layout : {256u, 272u}) {
        SCOPED_TRACE(layout);
        brimtest::TempFolder folder;
        makeSavedVault(source.path(), "Src", "pw");
        folder.writeFile("default.pde", source.readFile("Src.vlt"));
        folder.writeFile("pk.enc", source.readFile("Src.kvt").substr(512, layout));
        VaultStore fresh(prompts);
        VaultFlows freshFlows(fresh, prompts, &noHandOff);
        {
            brimtest::MessageBoxScript script({mbrOk, mbrOk});
            EXPECT_EQ(freshFlows.upgradeOldVault(folder.path()), 0);
            EXPECT_EQ(script.texts(), (std::vector<std::string>{Question, Upgraded}));
            EXPECT_EQ(script.shown()[0].title, "Brimsafe File Conversion");
            EXPECT_EQ(script.shown()[0].buttons, mbsOkCancel);
            EXPECT_EQ(script.shown()[1].title, "Brimsafe");
        }
        EXPECT_FALSE(folder.exists("pk.enc"));
        EXPECT_FALSE(folder.exists("default.pde"));
        EXPECT_EQ(folder.readFile("MyVault.kvt").size(), layout);
        EXPECT_EQ(knownVault("MyVault"), folder.path() + "\\MyVault");

        prompts.select(1, folder.path(), "MyVault");
        prompts.answer(1, "pw");
        EXPECT_EQ(freshFlows.loadDB(), ldOpen);
        const std::string key = folder.readFile("MyVault.kvt");
        ASSERT_EQ(key.size(), 784u);
        const std::string id = vaultIdText(fresh.vaultID());
        EXPECT_EQ(vaultIdText(reinterpret_cast<const unsigned char*>(key.data() + 8)), id);
        win32::KernelHandle probe(CreateMutexA(nullptr, TRUE, id.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the mutex follows the migration";
    }
}

TEST_F(VaultConversionTest, NameClashAsksANameUntilAFreeOneIsGiven) {
    writeOlderVault("default.pde", "pk.enc", 272);
    old.writeFile("MyVault.vlt", "a current vault");
    prompts.name(2);
    prompts.name(1, "Older");
    brimtest::MessageBoxScript script({mbrOk, mbrOk, mbrOk, mbrOk});
    EXPECT_EQ(flows.upgradeOldVault(old.path()), 0);
    EXPECT_EQ(script.texts(), (std::vector<std::string>{Question, Clash, Clash, Upgraded}));
    EXPECT_EQ(prompts.namePrompts, 2);
    EXPECT_EQ(old.readFile("MyVault.vlt"), "a current vault");
    EXPECT_TRUE(old.exists("Older.vlt"));
    EXPECT_TRUE(old.exists("Older.kvt"));
    EXPECT_EQ(knownVault("Older"), old.path() + "\\Older");
}

TEST_F(VaultConversionTest, RefusedConversionTouchesNothing) {
    writeOlderVault("default.pde", "pk.enc", 256);
    const std::string vault = old.readFile("default.pde"), key = old.readFile("pk.enc");
    brimtest::MessageBoxScript script({mbrCancel, mbrOk});
    EXPECT_EQ(flows.upgradeOldVault(old.path()), 1);
    EXPECT_EQ(script.texts(), (std::vector<std::string>{Question, Refusal}));
    EXPECT_FALSE(script.shown()[1].hasOwner);
    EXPECT_EQ(script.shown()[1].title, "Brimsafe");
    EXPECT_EQ(old.readFile("default.pde"), vault);
    EXPECT_EQ(old.readFile("pk.enc"), key);
    EXPECT_EQ(knownVault("MyVault"), "");
}

TEST_F(VaultConversionTest, NothingToConvertShowsNothing) {
    brimtest::MessageBoxScript script;
    EXPECT_EQ(flows.upgradeOldVault(old.path()), 0);
    EXPECT_TRUE(script.texts().empty());
}

TEST_F(VaultConversionTest, SelectionMovesOlderFilesBeforeTheExistenceTest) {
    struct Case {
        const char* what;
        const char* vaultName;
        const char* keyName;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"default.pde and Old.mvk", "default.pde", "Old.mvk", {}},
        {"Old.pde and Old.mvk", "Old.pde", "Old.mvk", {}},
        {"default.pde and pk.enc: converted before opening", "default.pde", "pk.enc",
         {conversionText("Old"), "Your vault has been updated successfully."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::TempFolder folder;
        makeSavedVault(source.path(), "Src", "pw");
        folder.writeFile(c.vaultName, source.readFile("Src.vlt"));
        folder.writeFile(c.keyName, source.readFile("Src.kvt"));
        VaultStore fresh(prompts);
        VaultFlows freshFlows(fresh, prompts, &noHandOff);
        prompts.select(1, folder.path(), "Old");
        prompts.answer(1, "pw");
        brimtest::MessageBoxScript script(std::vector<int>(c.texts.size(), mbrOk));
        EXPECT_EQ(freshFlows.loadDB(), ldOpen);
        EXPECT_EQ(script.texts(), c.texts);
        if (!c.texts.empty()) {
            EXPECT_EQ(script.shown()[0].title, "Brimsafe File Conversion");
        }
        EXPECT_TRUE(folder.exists("Old.vlt"));
        EXPECT_TRUE(folder.exists("Old.kvt"));
        EXPECT_FALSE(folder.exists(c.vaultName));
        EXPECT_FALSE(folder.exists(c.keyName));
    }
}

// The conversion runs once: an older key file left beside the converted vault (copied back, or
// one a failed move left) brings no notice again and never takes the migrated key file's place.
TEST_F(VaultConversionTest, ALeftoverOlderKeyFileBesideACurrentVaultBringsNoConversionAgain) {
    for (std::size_t layout : {256u, 272u}) {
        SCOPED_TRACE(layout);
        brimtest::TempFolder folder;
        makeSavedVault(source.path(), "Src", "pw");
        const std::string olderKey = source.readFile("Src.kvt").substr(512, layout);
        folder.writeFile("default.pde", source.readFile("Src.vlt"));
        folder.writeFile("pk.enc", olderKey);
        {
            VaultStore fresh(prompts);
            VaultFlows freshFlows(fresh, prompts, &noHandOff);
            prompts.select(1, folder.path(), "Old");
            prompts.answer(1, "pw");
            brimtest::MessageBoxScript script({mbrOk, mbrOk});
            ASSERT_EQ(freshFlows.loadDB(), ldOpen);
            EXPECT_EQ(script.texts().front(), conversionText("Old")) << "converted the first time";
        }
        const std::string vault = folder.readFile("Old.vlt"), key = folder.readFile("Old.kvt");
        ASSERT_EQ(key.size(), 784u) << "migrated when first opened";
        folder.writeFile("pk.enc", olderKey);
        for (int run = 0; run < 2; ++run) {
            VaultStore fresh(prompts);
            VaultFlows freshFlows(fresh, prompts, &noHandOff);
            prompts.select(1, folder.path(), "Old");
            prompts.answer(1, "pw");
            brimtest::MessageBoxScript script;
            EXPECT_EQ(freshFlows.loadDB(), ldOpen) << run;
            EXPECT_TRUE(script.texts().empty()) << "no box: the vault is current";
            EXPECT_EQ(fresh.content().userCategories->itemText(0, 0), "kept Src");
            EXPECT_EQ(folder.readFile("Old.kvt"), key) << "the migrated key file stays";
            EXPECT_EQ(folder.readFile("Old.vlt"), vault);
            EXPECT_EQ(folder.readFile("pk.enc"), olderKey) << "the leftover is left alone";
        }
    }
}

TEST_F(VaultConversionTest, MovesNeverReplaceACurrentFile) {
    makeSavedVault(old.path(), "Old", "pw");
    const std::string vault = old.readFile("Old.vlt"), key = old.readFile("Old.kvt");
    old.writeFile("Old.pde", "older vault");
    old.writeFile("default.pde", "oldest vault");
    old.writeFile("Old.mvk", "older key");
    prompts.select(1, old.path(), "Old");
    prompts.answer(1, "pw");
    EXPECT_EQ(flows.loadDB(), ldOpen);
    EXPECT_EQ(old.readFile("Old.vlt"), vault);
    EXPECT_EQ(old.readFile("Old.kvt"), key);
    EXPECT_EQ(old.readFile("Old.pde"), "older vault");
    EXPECT_EQ(old.readFile("default.pde"), "oldest vault");
    EXPECT_EQ(old.readFile("Old.mvk"), "older key");
}

}  // namespace
