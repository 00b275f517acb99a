// The vault-selection dialog, its location page and the name prompt on their
// real windows: preselection (listed, unlisted but on disk, missing), opening
// by click and Enter, the refusal of a vault another process has open, the
// refusal of a new vault named like a listed one in any case, the search by
// vault ID, and each refusal of the location page and the name prompt.
#include <gtest/gtest.h>

#include "dialogs/KnownVaults.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VaultHolderProcess.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;
using fwtest::pumpIdle;

const char* const AlreadyOpen =
    "The vault you have selected is already open on this computer.  You cannot have the same vault open more than "
    "once at the same time.";

class SelectionTest : public dialogtest::SettingsDialogTest {
protected:
    // A vault on disk whose key file carries sixteen times idByte.
    std::string makeVault(const std::string& name, unsigned char idByte) {
        temp.writeFile(name + ".vlt", std::string(136, 'v'));
        std::string key(784, '\0');
        for (int i = 8; i < 24; ++i) key[i] = static_cast<char>(idByte);
        const char magic[4] = {0x11, 0x07, static_cast<char>(0xEA), 0x3D};
        key.replace(24, 4, magic, 4);
        temp.writeFile(name + ".kvt", key);
        return temp.file(name);
    }
    void list(const std::string& valueName, const std::string& path) {
        HKEY key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr);
        RegSetValueExA(key, valueName.empty() ? nullptr : valueName.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(path.data()), static_cast<DWORD>(path.size()));
        RegCloseKey(key);
    }
    brimtest::TempFolder temp;
};

TEST_F(SelectionTest, PreselectionSelectsAListedVaultAndAddsAnUnlistedOneOnDisk) {
    const std::string home = makeVault("Home", 1), travel = makeVault("Travel", 2);
    list("Home", home);
    const struct {
        const char* name;
        int selected;  // -1: nothing
        bool registered;
    } cases[] = {{"Home", 0, true}, {"Travel", 1, true}, {"Nowhere", -1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
        dialog->SetLocation(temp.path(), c.name);
        EXPECT_EQ(dialog->ListBox1->ItemIndex, c.selected);
        EXPECT_EQ(dialog->Edit1->GetText(), c.selected < 0 ? std::string() : temp.file(c.name));
        EXPECT_EQ(dialog->xpOpenVaultButton->Default, c.selected >= 0);
        EXPECT_EQ(dialog->xpCreateVaultButton->Default, c.selected < 0);
        EXPECT_EQ(brimtest::readRawValue(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", c.name).exists,
                  c.registered);
        std::string folder, name;
        dialog->GetLocation(folder, name);
        EXPECT_EQ(folder, temp.path());
        EXPECT_EQ(name, c.name);
        dialog->Free();
    }
}

TEST_F(SelectionTest, AClickAndEnterOpenTheChosenVault) {
    list("Home", makeVault("Home", 1));
    list("Work", makeVault("Work", 2));
    TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
    const int work = dialog->ListBox1->Items->IndexOf("Work");
    ASSERT_GE(work, 0);
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        const int row = dialog->ListBox1->ItemHeight;
        POINT at = {10, row * work + row / 2};
        ClientToScreen(dialog->ListBox1->Handle(), &at);
        skintest::moveMouseTo(at.x, at.y);
        pumpIdle();
        skintest::mouseButton(true);
        skintest::mouseButton(false);
        pumpIdle();
        EXPECT_EQ(dialog->Edit1->GetText(), temp.file("Work"));
        dialogtest::tapKey(VK_RETURN);
    });
    EXPECT_EQ(result, 1);
    std::string folder, name;
    dialog->GetLocation(folder, name);
    EXPECT_EQ(folder, temp.path());
    EXPECT_EQ(name, "Work");
    dialog->Free();
}

TEST_F(SelectionTest, AVaultOpenInAnotherProcessIsRefusedAndTheProbeLeavesNoMutex) {
    const std::string home = makeVault("Home", 0x5A);
    list("Home", home);
    unsigned char id[16];
    std::fill(std::begin(id), std::end(id), 0x5A);
    const std::string mutexName = knownvaults::mutexNameOf(id);
    brimtest::MessageBoxScript boxes({mbrOk});
    TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
    dialog->SetLocation(temp.path(), "Home");
    {
        brimtest::VaultHolderProcess holder({mutexName, "", "", false});
        ASSERT_TRUE(holder.running());
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            click(dialog->xpOpenVaultButton);
            EXPECT_EQ(dialog->GetModalResult(), 0);
            click(dialog->xpCancelButton);
        });
        EXPECT_EQ(result, 2);
    }
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{AlreadyOpen});
    EXPECT_EQ(showModal(dialog, [&] { click(dialog->xpOpenVaultButton); }), 1) << "free once the holder ended";
    HANDLE left = OpenMutexA(SYNCHRONIZE, FALSE, mutexName.c_str());
    EXPECT_EQ(left, nullptr);
    if (left) CloseHandle(left);
    dialog->Free();
}

TEST_F(SelectionTest, ANewVaultNamedLikeAListedOneIsRefusedInAnyCase) {
    brimtest::TempFolder elsewhere;
    list("Home", makeVault("Home", 1));
    list("", makeVault("Fallback", 2));  // listed as "Default"
    const struct {
        const char* name;
        bool refused;
    } cases[] = {{"home", true}, {"DEFAULT", true}, {"Homestead", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        brimtest::MessageBoxScript boxes(c.refused ? std::vector<int>{mbrOk} : std::vector<int>{});
        TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
        dialog->SetLocation(elsewhere.path(), c.name);
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            auto answered = std::make_shared<bool>(false);
            dialogtest::answerWhenUp("Frm_ChooseVaultLoc", "Next", answered);
            click(dialog->xpCreateVaultButton);
            EXPECT_TRUE(*answered) << "the location page was not answered";
            if (dialog->GetModalResult() == 0) click(dialog->xpCancelButton);
        });
        EXPECT_EQ(result, c.refused ? 2 : TFrm_SelectDatabase::mrCreateVault);
        EXPECT_EQ(boxes.shown().size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_EQ(boxes.texts()[0],
                      "You already have a vault with that name.  You may not have two vaults with the same name.");
        }
        std::string folder, name;
        dialog->GetLocation(folder, name);
        EXPECT_EQ(folder, elsewhere.path());
        EXPECT_EQ(name, c.name);
        dialog->Free();
    }
}

TEST_F(SelectionTest, TheLocationPageTakesTheDialogsPlaceUntilItIsCancelled) {
    TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
    dialog->SetLocation(temp.path(), "Travel");
    std::vector<bool> shownUnderPage;
    auto answerPage = [&](const char* button) {
        dialogtest::whenUp<TFrm_ChooseVaultLoc>("Frm_ChooseVaultLoc", [&, button](TFrm_ChooseVaultLoc* page) {
            shownUnderPage.push_back(IsWindowVisible(dialog->Handle()) != FALSE);
            ASSERT_TRUE(dialogtest::bringUp(page));
            click(std::string(button) == "Next" ? page->xpNextButton : page->xpCancelButton);
        });
    };
    bool shownAfterCancel = false;
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        answerPage("Cancel");
        click(dialog->xpCreateVaultButton);
        shownAfterCancel = IsWindowVisible(dialog->Handle()) != FALSE;
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        answerPage("Next");
        click(dialog->xpCreateVaultButton);
    });
    EXPECT_EQ(result, TFrm_SelectDatabase::mrCreateVault);
    EXPECT_EQ(shownUnderPage, (std::vector<bool>{false, false})) << "the page opened over the dialog";
    EXPECT_TRUE(shownAfterCancel) << "the dialog did not come back after Cancel";
    dialog->Free();
}

TEST_F(SelectionTest, FindVaultByIdSetsTheLocationOnAMatchOnly) {
    list("Home", makeVault("Home", 0x11));
    list("Work", makeVault("Work", 0x22));
    TFrm_SelectDatabase* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
    dialog->SetLocation("C:\\Before", "Name");
    unsigned char id[16];
    std::fill(std::begin(id), std::end(id), 0x33);
    EXPECT_FALSE(dialog->FindVaultById(id));
    std::string folder, name;
    dialog->GetLocation(folder, name);
    EXPECT_EQ(folder + "|" + name, "C:\\Before|Name");
    std::fill(std::begin(id), std::end(id), 0x22);
    EXPECT_TRUE(dialog->FindVaultById(id));
    dialog->GetLocation(folder, name);
    EXPECT_EQ(folder + "|" + name, temp.path() + "|Work");
    dialog->Free();
}

TEST_F(SelectionTest, TheLocationPageRefusesEachBadChoiceWithItsIcon) {
    temp.writeFile("Taken.vlt", "x");
    const struct {
        std::string path;
        const char* message;  // null: accepted
        int icon;
    } cases[] = {
        {"", "You must choose a name and location for your vault by clicking on the browse button before proceeding.",
         mbiInformation},
        {temp.file("Taken.vlt"), "A vault already exists with that name.  You may not create a vault with the same name.",
         mbiInformation},
        {temp.file("No Such Folder\\New.vlt"),
         "The destination you selected is invalid.  Either you have chosen a directory that does not exist, or you do "
         "not have the necessary permission.",
         mbiCaution},
        {temp.file("New.vlt"), nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        brimtest::MessageBoxScript boxes(c.message ? std::vector<int>{mbrOk} : std::vector<int>{});
        TFrm_ChooseVaultLoc* page = MakeForm<TFrm_ChooseVaultLoc>(nullptr);
        page->Edit1->Text = c.path;  // as the save dialog leaves it
        int result = showModal(page, [&] {
            ASSERT_TRUE(dialogtest::bringUp(page));
            click(page->xpNextButton);
            if (page->GetModalResult() == 0) click(page->xpCancelButton);
        });
        if (c.message) {
            EXPECT_EQ(result, 2);
            ASSERT_EQ(boxes.shown().size(), 1u);
            EXPECT_EQ(boxes.shown()[0].text, c.message);
            EXPECT_EQ(boxes.shown()[0].icon, c.icon);
        } else {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(page->GetLocation(), c.path);
        }
        page->Free();
    }
}

TEST_F(SelectionTest, TheLocationPageSuggestsOnlyAFreeFileName) {
    temp.writeFile("Taken.vlt", "x");
    TFrm_ChooseVaultLoc* page = MakeForm<TFrm_ChooseVaultLoc>(nullptr);
    const struct {
        std::string given, edit, suggested;
    } cases[] = {
        {"", "", "C:\\Brimsafe.vlt"},
        {temp.file("Free.vlt"), temp.file("Free.vlt"), temp.file("Free.vlt")},
        {temp.file("Taken.vlt"), "", ""},
    };
    for (const auto& c : cases) {
        page->SetLocation(c.given);
        EXPECT_EQ(page->Edit1->GetText(), c.edit) << c.given;
        EXPECT_EQ(page->SaveDialog1->GetFileName(), c.suggested) << c.given;
    }
    page->Free();
}

TEST_F(SelectionTest, TheNamePromptRefusesAnEmptyNameAndCharactersThatLeaveTheFolder) {
    const struct {
        const char* typed;
        const char* message;
    } cases[] = {
        {"", "You must choose a name before proceeding"},
        {"..\\escape", "A vault name may not contain any of these characters: \\ / : * ? \" < > |"},
        {"a:b", "A vault name may not contain any of these characters: \\ / : * ? \" < > |"},
        {"Family 2", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        brimtest::MessageBoxScript boxes(c.message ? std::vector<int>{mbrOk} : std::vector<int>{});
        TFrm_ChooseName* prompt = MakeForm<TFrm_ChooseName>(nullptr);
        int result = showModal(prompt, [&] {
            ASSERT_TRUE(dialogtest::bringUp(prompt));
            dialogtest::typeText(c.typed);
            click(prompt->xpOkButton);
            if (prompt->GetModalResult() == 0) click(prompt->xpCancelButton);
        });
        EXPECT_EQ(result, c.message ? 2 : 1);
        EXPECT_EQ(boxes.texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        if (!c.message) {
            EXPECT_EQ(prompt->GetName(), c.typed);
        }
        prompt->Free();
    }
}

}  // namespace
