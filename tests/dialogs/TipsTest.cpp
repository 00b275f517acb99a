// The one-time tips: the registry value "dsa" without a window (missing, of
// another type, bits set and added, the id two tips share), the tips' texts,
// and the dialog on its real window: its height with and without the sorting
// picture, a new region, the centred one-line message, "Ok" with and without
// the box ticked through the raisers' calling pattern, and the space bar.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_DontShowAgain.h"
#include "skin/art/DialogArt.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/WhenUp.h"
#include "tests/support/RegistryFixture.h"

#include <cstring>

namespace {

using dialogtest::click;
using dialogtest::showModal;

brimtest::RawValue dsa() { return brimtest::readRawValue(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, "dsa"); }

DWORD dsaBits() {
    brimtest::RawValue value = dsa();
    DWORD bits = 0xFFFFFFFF;
    if (value.exists && value.type == REG_DWORD && value.bytes.size() == 4) std::memcpy(&bits, value.bytes.data(), 4);
    return bits;
}

void storeDsa(DWORD type, const std::string& bytes) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, "dsa", 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}

std::string dword(DWORD bits) { return std::string(reinterpret_cast<const char*>(&bits), 4); }

class TipRegistryTest : public brimtest::FreshRegistry {};

TEST_F(TipRegistryTest, WhatIsStoredDecidesWhichTipIsShown) {
    const struct {
        const char* what;
        bool stored;
        DWORD type;
        std::string bytes;
        int tipId;
        bool enabled;
        DWORD after;  // dsa afterwards
    } cases[] = {
        {"missing: created as 0", false, 0, "", 1, true, 0},
        {"a text: replaced by 0", true, REG_SZ, "abcd", 8, true, 0},
        {"two bytes: replaced by 0", true, REG_BINARY, "\x02\x00", 2, true, 0},
        {"the tip's bit set", true, REG_DWORD, dword(2 | 8), 8, false, 2 | 8},
        {"another tip's bit set", true, REG_DWORD, dword(2 | 8), 4, true, 2 | 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        brimtest::clearProductRegistry();
        if (c.stored) storeDsa(c.type, c.bytes);
        EXPECT_EQ(tips::IsTipEnabled(c.tipId), c.enabled);
        EXPECT_EQ(dsa().type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(dsaBits(), c.after);
    }
}

TEST_F(TipRegistryTest, DisablingAddsTheBitAndTheTwoId4TipsGoTogether) {
    tips::DisableTip(tips::FileRemoved.id);
    EXPECT_EQ(dsaBits(), 32u) << "a missing value becomes the id";
    tips::DisableTip(tips::ClosingVault.id);
    tips::DisableTip(tips::ClosingVault.id);
    EXPECT_EQ(dsaBits(), 33u);
    EXPECT_TRUE(tips::IsTipEnabled(tips::FileAdded.id));
    tips::DisableTip(tips::FilesDropped.id);
    EXPECT_FALSE(tips::IsTipEnabled(tips::FileAdded.id)) << "both tips have id 4";
    EXPECT_FALSE(tips::IsTipEnabled(tips::FilesDropped.id));
    EXPECT_TRUE(tips::IsTipEnabled(tips::DragAndDrop.id));
    storeDsa(REG_SZ, "text");
    tips::DisableTip(tips::SortByHeading.id);
    EXPECT_EQ(dsaBits(), 2u) << "an unreadable value is replaced by the id";
}

TEST(TipTexts, TheTableHoldsEveryTipWithItsIdAndText) {
    const auto begins = [](const tips::Tip& tip, const std::string& start) {
        return std::string(tip.text).compare(0, start.size(), start) == 0 && std::string(tip.text).size() > start.size();
    };
    EXPECT_EQ(tips::ClosingVault.id, 1);
    EXPECT_STREQ(tips::ClosingVault.text,
                 "By closing the vault, your vault is automatically locked and your clipboard is cleared of any data "
                 "you may have copied from your vault.");
    EXPECT_EQ(tips::SortByHeading.id, 2);
    EXPECT_STREQ(tips::SortByHeading.text,
                 "You may sort your entry list by any field simply by clicking on the appropriate heading.");
    EXPECT_EQ(tips::FilesDropped.id, 4);
    EXPECT_TRUE(begins(tips::FilesDropped,
                       "When you add files to your vault, the files are not moved from their currnent locations.  "));
    EXPECT_EQ(tips::FileAdded.id, 4);
    EXPECT_TRUE(begins(tips::FileAdded,
                       "This file may be encrypted or decrypted by selecting it in the Encrypted Files category, and "
                       "clicking the Encrypt or Decrypt button below it.  "));
    EXPECT_EQ(tips::ChangesSaved.id, 8);
    EXPECT_STREQ(tips::ChangesSaved.text, "The changes you made to this entry will automatically be saved in the vault.");
    EXPECT_EQ(tips::FileRemoved.id, 32);
    EXPECT_STREQ(tips::FileRemoved.text,
                 "Removing a file from your vault does not delete the file.  The file is only decrypted and removed "
                 "from the list.");
    EXPECT_EQ(tips::DragAndDrop.id, 64);
    EXPECT_TRUE(begins(tips::DragAndDrop, "You can also add files to your vault by dragging and dropping files or "
                                          "folders onto your vault.  "));
}

class TipDialogTest : public dialogtest::SettingsDialogTest {
protected:
    // The tip's form height and message alignment once shown, and its region's height.
    struct Look {
        int height = 0, regionHeight = 0, messageHeight = 0;
        TQCLAlignment alignment = agTopLeft;
        bool picture = false;
    };
    Look shownLook(const tips::Tip& tip) {
        Look look;
        TFrm_DontShowAgain* dialog = MakeForm<TFrm_DontShowAgain>(nullptr);
        dialog->SetTip("Brimsafe", tip.text, tip.id);
        showModal(dialog, [&] {
            look.height = dialog->Height;
            look.regionHeight = dialogtest::regionOf(dialog->Handle()).box.bottom;
            look.messageHeight = dialog->Message->Height;
            look.alignment = dialog->Message->Alignment;
            look.picture = dialog->Image2->Visible;
            dialog->ModalResult = mrCancel;
        });
        dialog->Free();
        return look;
    }
};

TEST_F(TipDialogTest, TheFormFitsTheMessageAndTheSortingTipIsTallerByItsPicture) {
    const Look oneLine = shownLook({1, "Short tip."});
    const Look sorting = shownLook({2, "Short tip."});
    const Look long_ = shownLook(tips::ClosingVault);
    EXPECT_FALSE(oneLine.picture);
    EXPECT_TRUE(sorting.picture);
    EXPECT_EQ(sorting.height - oneLine.height, DialogArtSortTipHeight + 8);
    EXPECT_EQ(oneLine.regionHeight, oneLine.height) << "a new region of the new size";
    EXPECT_EQ(sorting.regionHeight, sorting.height);
    EXPECT_LE(oneLine.messageHeight, TFrm_DontShowAgain::OneLineHeight);
    EXPECT_GT(long_.messageHeight, TFrm_DontShowAgain::OneLineHeight);
    EXPECT_EQ(long_.height - oneLine.height, long_.messageHeight - oneLine.messageHeight);
    EXPECT_EQ(oneLine.alignment, agTopCenter) << "one line is centred";
    EXPECT_EQ(long_.alignment, agTopLeft);
}

TEST_F(TipDialogTest, OkWithTheBoxTickedSuppressesTheTipAndWithoutLeavesIt) {
    const struct {
        const char* what;
        bool tick;
        int result;
        DWORD bits;
    } cases[] = {{"not ticked", false, 2, 0}, {"ticked", true, 1, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool seen = false;
        dialogtest::whenUp<TFrm_DontShowAgain>("Frm_DontShowAgain", [&](TFrm_DontShowAgain* dialog) {
            if (!dialogtest::bringUp(dialog)) return;
            seen = true;
            EXPECT_EQ(std::string(dialog->Message->Caption), tips::ChangesSaved.text);
            EXPECT_EQ(std::string(dialog->MessageTitle->Caption), "Brimsafe");
            if (c.tick) click(dialog->CheckBox1);
            click(dialog->xpOkButton);
        });
        EXPECT_EQ(RaiseTip(nullptr, tips::ChangesSaved), c.result);
        EXPECT_TRUE(seen);
        EXPECT_EQ(dsaBits(), c.bits);
    }
    EXPECT_EQ(RaiseTip(nullptr, tips::ChangesSaved), 0) << "a suppressed tip is not shown";
}

TEST_F(TipDialogTest, SpaceOnTheFocusedOkTicksTheBoxAndClosesWithItTicked) {
    TFrm_DontShowAgain* dialog = MakeForm<TFrm_DontShowAgain>(nullptr);
    dialog->SetTip("Brimsafe", tips::FileRemoved.text, tips::FileRemoved.id);
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        // The box is no tab stop: "Ok" holds the focus, and its click comes with the same key's release.
        EXPECT_TRUE(dialog->xpOkButton->Focused());
        EXPECT_FALSE(dialog->CheckBox1->TabStop);
        dialogtest::tapKey(VK_SPACE);
    });
    EXPECT_EQ(result, 1) << "closed with the box ticked";
    EXPECT_TRUE(dialog->CheckBox1->Checked);
    dialog->Free();
}

}  // namespace
