// The vault store's own reference to the crypto library: taken by the first operation that found
// the library whole, given back with the store or when the store is pointed at another library,
// so an open vault pays the library's load once and a missing library is still reported.
#include "vault/VaultStore.h"
#include "tests/vault/VaultTestSupport.h"

#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace vaulttest;

bool libraryMapped() { return GetModuleHandleA(product::CryptoLibraryName) != nullptr; }

class CryptoResidencyTest : public brimtest::TempFolderTest {
protected:
    ScriptedPrompts prompts;
};

TEST_F(CryptoResidencyTest, TheStoreHoldsTheLibraryFromItsFirstOperationUntilItGoes) {
    {
        VaultStore store(prompts);
        EXPECT_FALSE(libraryMapped()) << "a store that did nothing holds nothing";
        createVault(store, prompts, temp.path(), "pw");
        EXPECT_TRUE(libraryMapped()) << "the operation's binding is gone; the store's reference is not";
        ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
        ASSERT_TRUE(store.readDB(store.vaultFilePath()).has_value());
    }
    EXPECT_FALSE(libraryMapped()) << "the store gives its reference back";
}

TEST_F(CryptoResidencyTest, ALibraryNamedAfterwardsIsLoadedByNameAndAMissingOneReported) {
    VaultStore store(prompts);
    createVault(store, prompts, temp.path(), "pw");
    ASSERT_EQ(store.writeDatabase(store.vaultFilePath()), srSaved);
    ASSERT_TRUE(libraryMapped());
    store.setCryptoLibraryNameForTesting("NoSuchCryptography.dll");
    EXPECT_FALSE(libraryMapped()) << "the reference to the library named before is given back";
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        EXPECT_FALSE(store.readDB(store.vaultFilePath()).has_value());
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{Reinstall});
    }
    store.setCryptoLibraryNameForTesting(product::CryptoLibraryName);
    EXPECT_TRUE(store.readDB(store.vaultFilePath()).has_value());
    EXPECT_TRUE(libraryMapped());
}

}  // namespace
