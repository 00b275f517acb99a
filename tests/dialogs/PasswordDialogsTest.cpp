// The password dialog and the wizard's first-password page on their real
// windows: the two layouts, text typed with real keys returned exactly, the
// mismatch and blank-password paths, "Forgot your Password?", the red notice
// after a wrong password, the focus back in the first field after a refusal,
// and no copy of a typed password left anywhere in memory once it is handed on.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Password.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/MemoryScan.h"
#include "tests/support/MessageBoxScript.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;
using dialogtest::typeText;

class PasswordFormTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialog = MakeForm<TPasswordForm>(nullptr);
    }
    void TearDown() override {
        if (dialog) dialog->Free();
        DialogTest::TearDown();
    }
    bool focusIn(TQCLEdit* edit) { return GetFocus() == edit->Handle(); }
    // Types into the first (and, in change mode, the second) field and presses a button.
    int enter(const std::string& first, const std::string& second, TxpButton* TPasswordForm::*button) {
        return showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            click(dialog->password1);
            typeText(first);
            if (dialog->password2->Visible) {
                click(dialog->password2);
                typeText(second);
            }
            click(dialog->*button);
        });
    }
    TPasswordForm* dialog = nullptr;
};

TEST_F(PasswordFormTest, SetModeChoosesTheLayout) {
    const struct {
        bool change, invalid;
        int height;
        bool forgot, second;
        const char *heading, *label;
        TColor colour;
        int okLeft, cancelLeft;  // in the form
    } modes[] = {
        {true, false, 228, false, true, "Changing Your Password", "New Password:", clBlack, 92, 177},
        {false, false, 175, true, false, "Enter Your Password", "Your Password:", clBlack, 172, 253},
        {false, true, 175, true, false, "Invalid password.  Reenter password.", "Your Password:", TColor(255), 172, 253},
        {true, true, 228, false, true, "Changing Your Password", "New Password:", clBlack, 92, 177},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE(m.heading + std::string(m.invalid ? " (after a wrong password)" : ""));
        dialog->SetMode(m.change, m.invalid);
        EXPECT_EQ(dialog->Height, m.height);
        EXPECT_EQ(dialog->xpForgotButton->Visible, m.forgot);
        EXPECT_EQ(dialog->password2->Visible, m.second);
        EXPECT_EQ(dialog->Label2->Visible, m.second);
        EXPECT_EQ(dialog->Label3->GetText(), m.heading);
        EXPECT_EQ(dialog->Label3->Font->Color, m.colour);
        EXPECT_EQ(dialog->Label1->GetText(), m.label);
        EXPECT_EQ(dialog->xpOkButton->Left + dialog->Panel1->Left, m.okLeft);
        EXPECT_EQ(dialog->xpCancelButton->Left + dialog->Panel1->Left, m.cancelLeft);
        const int centre = dialog->Label3->Left + dialog->Label3->Width / 2;
        EXPECT_NEAR(centre, dialog->Panel1->Width / 2, 1) << "heading centred";
        dialog->Show();
        dialogtest::RegionShape shape = dialogtest::regionOf(dialog->Handle());
        EXPECT_EQ(shape.box.bottom - shape.box.top, m.height) << "a new region of the new size";
        if (!m.change) {
            // The buttons follow the bottom edge and stay inside the window.
            EXPECT_LE(dialog->xpOkButton->Top + dialog->Panel1->Top + dialog->xpOkButton->Height, m.height - 7);
        }
        dialog->Hide();
    }
}

TEST_F(PasswordFormTest, TypedTextComesBackExactlyAndEnterModePassesAnEmptyPassword) {
    for (const char* typed : {"Tr0ub4dor&3 x", ""}) {
        SCOPED_TRACE(typed);
        dialog->SetMode(false, false);
        EXPECT_EQ(enter(typed, "", &TPasswordForm::xpOkButton), 1);
        EXPECT_EQ(dialog->GetPassword(), typed);
        EXPECT_EQ(dialog->password1->GetText(), "") << "the edit is emptied on close";
    }
}

TEST_F(PasswordFormTest, ChangeModeRefusesAMismatchAndAsksAboutABlankPassword) {
    brimtest::MessageBoxScript boxes({mbrOk, mbrNo, mbrYes});
    dialog->SetMode(true, false);
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        click(dialog->password1);
        typeText("alpha");
        click(dialog->password2);
        typeText("alphA");
        click(dialog->xpOkButton);
        EXPECT_EQ(dialog->password1->GetText(), "") << "a mismatch empties both";
        EXPECT_EQ(dialog->password2->GetText(), "");
        EXPECT_TRUE(focusIn(dialog->password1)) << "the focus goes back to the first field";
        click(dialog->xpOkButton);  // both empty now: the blank question; "No" stays
        EXPECT_EQ(dialog->GetModalResult(), 0);
        EXPECT_TRUE(focusIn(dialog->password1)) << "after No, typing goes to the first field, not to Ok";
        click(dialog->xpOkButton);  // "Yes"
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->GetPassword(), "");
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].text, "Your passwords do not match.");
    EXPECT_EQ(boxes.shown()[1].buttons, mbsYesNo);
    EXPECT_EQ(boxes.shown()[1].icon, mbiCaution);
    EXPECT_EQ(boxes.shown()[1].focusedAnswer, mbrNo) << "a Space or Enter typed on must not say Yes";
    EXPECT_EQ(boxes.shown()[1].text.substr(0, 34), "You have chosen a blank password. ");
}

TEST_F(PasswordFormTest, ForgotAndCancelEndWithTheirResults) {
    dialog->SetMode(false, true);
    EXPECT_EQ(enter("typed", "", &TPasswordForm::xpForgotButton), 7);
    dialog->SetMode(false, false);
    EXPECT_EQ(enter("typed", "", &TPasswordForm::xpCancelButton), 2);
    EXPECT_EQ(dialog->GetPassword(), "");
}

TEST_F(PasswordFormTest, EscapeCancelsAndEnterAccepts) {
    dialog->SetMode(false, false);
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        typeText("abc");
        dialogtest::tapKey(VK_RETURN);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->GetPassword(), "abc") << "the focus starts in the first field";
    result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        dialogtest::tapKey(VK_ESCAPE);
    });
    EXPECT_EQ(result, 2);
}

TEST_F(PasswordFormTest, NoCopyOfTheTypedPasswordRemainsInMemoryOnceTheDialogIsGone) {
    const dialogtest::MaskedSecret secret("Qu4rtz~Lant3rn#8841~Mer1d!an");
    for (bool changeMode : {false, true}) {
        SCOPED_TRACE(changeMode ? "change mode" : "enter mode");
        if (!dialog) dialog = MakeForm<TPasswordForm>(nullptr);
        dialog->SetMode(changeMode, false);
        int whileTyped = 0;
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            click(dialog->password1);
            dialogtest::typeMasked(secret);
            if (changeMode) {
                click(dialog->password2);
                dialogtest::typeMasked(secret);
            }
            whileTyped = dialogtest::secretPiecesInPrivateMemory(secret);
            click(dialog->xpOkButton);
        });
        ASSERT_EQ(result, 1);
        EXPECT_GE(whileTyped, changeMode ? 2 : 1) << "the scan finds the text while it is in the edits";
        EXPECT_TRUE(secret.matches(dialog->GetPassword()));
        dialog->Free();
        dialog = nullptr;
        fwtest::pumpIdle();
        EXPECT_EQ(dialogtest::secretPiecesInPrivateMemory(secret), 0) << dialogtest::secretPiecesReport(secret);
    }
}

class FirstPasswordTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        page = MakeForm<TFrm_FirstPassword>(nullptr);
    }
    void TearDown() override {
        page->Free();
        DialogTest::TearDown();
    }
    bool focusIn(TQCLEdit* edit) { return GetFocus() == edit->Handle(); }
    TFrm_FirstPassword* page = nullptr;
};

TEST_F(FirstPasswordTest, AMismatchKeepsTheEntriesAndTheAcceptedPasswordIsTakenOnce) {
    brimtest::MessageBoxScript boxes({mbrOk});
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        typeText("river stone");
        click(page->password2);
        typeText("river stones");
        click(page->xpNextButton);
        EXPECT_EQ(page->GetModalResult(), 0);
        EXPECT_EQ(page->password1->GetText(), "river stone") << "the entries stay";
        EXPECT_EQ(page->password2->GetText(), "river stones");
        EXPECT_TRUE(focusIn(page->password1)) << "the focus goes back to the first field";
        EXPECT_EQ(page->password1->SelLength, 11) << "all of it selected, so typing replaces it";
        click(page->password2);
        dialogtest::tapKey(VK_END);
        dialogtest::tapKey(VK_BACK);
        click(page->xpNextButton);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Your passwords do not match."});
    EXPECT_EQ(page->password1->GetText(), "") << "emptied on close";
    EXPECT_TRUE(page->HoldsPasswordForTesting());
    EXPECT_EQ(page->TakePassword(), "river stone");
    EXPECT_FALSE(page->HoldsPasswordForTesting());
}

TEST_F(FirstPasswordTest, TwoEmptyEntriesAskTheBlankQuestion) {
    brimtest::MessageBoxScript boxes({mbrNo, mbrYes});
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        click(page->xpNextButton);
        EXPECT_EQ(page->GetModalResult(), 0) << "No stays";
        EXPECT_TRUE(focusIn(page->password1)) << "after No, typing goes to the first field, not to Next";
        click(page->xpNextButton);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].buttons, mbsYesNo);
    EXPECT_EQ(boxes.shown()[0].focusedAnswer, mbrNo) << "a Space or Enter typed on must not say Yes";
    EXPECT_EQ(page->TakePassword(), "");
    EXPECT_EQ(showModal(page, [&] { click(page->xpCancelButton); }), 2);
}

TEST_F(FirstPasswordTest, NoCopyOfTheTypedPasswordRemainsInThePageOrInMemoryOnceItIsTaken) {
    // The page lives for the whole run: once its password is taken, nothing of it may stay behind.
    const dialogtest::MaskedSecret secret("V3lvet~Harb0ur#3307~Kestr3l?");
    brimtest::MessageBoxScript boxes({mbrOk});
    int whileTyped = 0;
    int result = showModal(page, [&] {
        ASSERT_TRUE(dialogtest::bringUp(page));
        dialogtest::typeMasked(secret);
        click(page->password2);
        dialogtest::typeText("mistyped");
        click(page->xpNextButton);  // a mismatch: the entries stay, the typing goes on
        click(page->password2);
        dialogtest::tapKey(VK_END);
        for (int i = 0; i < 8; ++i) dialogtest::tapKey(VK_BACK);
        dialogtest::typeMasked(secret);
        whileTyped = dialogtest::secretPiecesInPrivateMemory(secret);
        click(page->xpNextButton);
    });
    ASSERT_EQ(result, 1);
    EXPECT_GE(whileTyped, 2) << "the scan finds the text while it is in the edits";
    EXPECT_TRUE(secret.matches(page->TakePassword()));
    fwtest::pumpIdle();
    const std::string where = dialogtest::secretPiecesReport(secret);
    EXPECT_EQ(where, "");
}

}  // namespace
