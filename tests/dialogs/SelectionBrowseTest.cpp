// The vault-selection dialog's Browse on its real window, with the system's open dialog answered
// as a user answers it (the file's path typed into it, then Enter): a vault whose key file has
// another magic is refused, a vault already listed is refused, and a vault without a key file is
// listed, selected and registered.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <memory>
#include <vector>

namespace {

using dialogtest::click;
using dialogtest::showModal;

const char* const VaultsKey = "software\\Quarrendel\\Brimsafe\\Vaults";
const char* const NotAVault =
    "This does not appear to be a valid vault file.  Perhaps you chose the wrong vault, or it has been corrupted.  "
    "You may need to restore a backed up version of your vault.";
const char* const AlreadyListed = "The vault you have chosen is already in your list.";

// Once the open dialog titled "Brimsafe Vault" is up (looked for from the message loop, so also
// from inside its own modal loop), types the path into its file-name box and presses Enter.
void chooseFileWhenUp(const std::string& path, std::shared_ptr<bool> chosen, DWORD until = GetTickCount() + 10000) {
    fwtest::runAfter(20, [=] {
        HWND open = FindWindowA("#32770", "Brimsafe Vault");
        if (!open || !IsWindowVisible(open)) {
            if (GetTickCount() < until) chooseFileWhenUp(path, chosen, until);
            return;
        }
        SetForegroundWindow(open);
        fwtest::pumpUntil([&] { return GetForegroundWindow() == open; });
        dialogtest::typeText(path);
        skintest::tapKey(VK_RETURN);  // the open dialog's own loop takes it once this returns
        *chosen = true;
    });
}

class SelectionBrowseTest : public dialogtest::SettingsDialogTest {
protected:
    // A vault file, and a key file with the key-file magic (or another one) unless keyMagic is 0.
    void makeVault(const std::string& name, std::uint32_t keyMagic) {
        temp.writeFile(name + ".vlt", std::string(160, 'v'));
        if (!keyMagic) return;
        std::string key(784, '\0');
        for (int i = 0; i < 4; ++i) key[24 + i] = static_cast<char>(keyMagic >> (8 * i));
        temp.writeFile(name + ".kvt", key);
    }
    void list(const std::string& name) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, VaultsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        const std::string path = temp.file(name);
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                       static_cast<DWORD>(path.size()));
        RegCloseKey(key);
    }
    std::string registered(const std::string& name) {
        brimtest::RawValue value = brimtest::readRawValue(HKEY_CURRENT_USER, VaultsKey, name);
        return value.exists ? std::string(value.bytes.begin(), value.bytes.end()).c_str() : std::string("(none)");
    }
    brimtest::TempFolder temp;
};

TEST_F(SelectionBrowseTest, BrowseRefusesForeignAndListedVaultsAndListsAVaultWithoutAKeyFile) {
    makeVault("Home", 0x3DEA0711);
    makeVault("Foreign", 0x4EDD2BAD);  // a vault backup's magic where the key file's belongs
    makeVault("Keyless", 0);
    list("Home");
    struct Case {
        const char* chosen;           // the file typed into the open dialog
        const char* message;          // null: accepted
        std::vector<std::string> listed;
        const char* editText;         // what the edit holds afterwards
    };
    const Case cases[] = {
        {"Foreign.vlt", NotAVault, {"Home"}, ""},
        {"Home.vlt", AlreadyListed, {"Home"}, ""},
        {"Keyless.vlt", nullptr, {"Home", "Keyless"}, "Keyless"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        brimtest::MessageBoxScript boxes(c.message ? std::vector<int>{mbrOk} : std::vector<int>{});
        TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
        auto chosen = std::make_shared<bool>(false);
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            chooseFileWhenUp(temp.file(c.chosen), chosen);
            click(dialog->xpBrowseButton);
            fwtest::pumpUntil([&] { return *chosen; }, 10000);
            fwtest::pumpUntil([&] { return boxes.shown().size() >= (c.message ? 1u : 0u); });
            click(dialog->xpCancelButton);
        });
        EXPECT_TRUE(*chosen) << "the open dialog came up and took the file";
        EXPECT_EQ(result, 2);
        EXPECT_EQ(boxes.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        std::vector<std::string> listed;
        for (int i = 0; i < dialog->ListBox1->Items->GetCount(); ++i) listed.push_back(dialog->ListBox1->Items->Get(i));
        EXPECT_EQ(listed, c.listed);
        EXPECT_EQ(dialog->Edit1->GetText(), c.editText[0] ? temp.file(c.editText) : std::string());
        if (!c.message) {
            EXPECT_EQ(dialog->ListBox1->ItemIndex, 1) << "the vault found is selected";
            EXPECT_TRUE(dialog->xpOpenVaultButton->Default);
        }
        dialog->Free();
    }
    EXPECT_EQ(registered("Keyless"), temp.file("Keyless")) << "a vault found by browsing is registered";
    EXPECT_EQ(registered("Foreign"), "(none)");
    EXPECT_EQ(registered("Home"), temp.file("Home"));
}

}  // namespace
