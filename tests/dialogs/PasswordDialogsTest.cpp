// The password dialog and the wizard's first-password page on their real
// windows: the two layouts, text typed with real keys returned exactly, the
// mismatch and blank-password paths, "Forgot your Password?", the red notice
// after a wrong password, and no password left behind in edits or pages.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Password.h"
#include "tests/dialogs/DialogDriver.h"
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
        dialog->Free();
        DialogTest::TearDown();
    }
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
        click(dialog->xpOkButton);  // both empty now: the blank question; "No" stays
        EXPECT_EQ(dialog->GetModalResult(), 0);
        click(dialog->xpOkButton);  // "Yes"
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(dialog->GetPassword(), "");
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].text, "Your passwords do not match.");
    EXPECT_EQ(boxes.shown()[1].buttons, mbsYesNo);
    EXPECT_EQ(boxes.shown()[1].icon, mbiCaution);
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
        click(page->xpNextButton);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.shown().size(), 2u);
    EXPECT_EQ(boxes.shown()[0].buttons, mbsYesNo);
    EXPECT_EQ(page->TakePassword(), "");
    EXPECT_EQ(showModal(page, [&] { click(page->xpCancelButton); }), 2);
}

}  // namespace
