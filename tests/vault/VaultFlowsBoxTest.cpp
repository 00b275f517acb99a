// A vault flow answered on the real skinned message box by clicking its buttons, as a user would.
#include "vault/VaultFlows.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include "framework/Forms.h"
#include "skin/ZM_MessageBox.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace vaulttest;

class VaultFlowsBoxTest : public brimtest::FreshRegistry {};

TEST_F(VaultFlowsBoxTest, ConversionRefusedOnTheRealBoxLeavesTheOlderFiles) {
    InitFramework();  // the skinned box is a form
    brimtest::ScopedMessageBoxHandler none(nullptr);
    RegisterMessageBox();
    brimtest::TempFolder folder;
    folder.writeFile("default.pde", "older vault");
    folder.writeFile("pk.enc", std::string(256, 'k'));
    FlowPrompts prompts;
    VaultStore store(prompts);
    VaultFlows flows(store, prompts, &noHandOff);

    brimtest::DialogAnswerer answerer({{"Brimsafe File Conversion", "Cancel", nullptr}, {"Brimsafe", "OK", nullptr}});
    EXPECT_EQ(flows.upgradeOldVault(folder.path()), 1);
    ASSERT_TRUE(answerer.finished(1000));
    auto seen = answerer.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message(),
              "Brimsafe will now upgrade your vault.\n\nIMPORTANT NOTE:\nBe sure to backup your vault and key after "
              "the conversion as backups from older versions are not supported.");
    EXPECT_EQ(seen[1].message(),
              "This new version of Brimsafe requires that you have your vault converted.  If you do not want to "
              "convert your vault at this time, you will need to uninstall this version of Brimsafe and reinstall "
              "your previous version in order to access it.");
    EXPECT_EQ(folder.readFile("default.pde"), "older vault");
    EXPECT_FALSE(folder.exists("MyVault.vlt"));
}

}  // namespace
