// The wizard's first-password page; see QZ_Frm_FirstPassword.h.
#include "dialogs/QZ_Frm_FirstPassword.h"

#include "dialogs/PasswordChecks.h"
#include "skin/ZM_MessageBox.h"

namespace {

const char* const Recommendations =
    "Do not use a word from a dictionary, a name, a date or anything else that someone who knows you could "
    "guess. Longer passwords are stronger: a phrase of several words is easy to remember and hard to guess, "
    "for example \"my green bicycle waits by the old mill on rainy Sundays\".";

}  // namespace

TFrm_FirstPassword::TFrm_FirstPassword(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Initializing Vault", 420, 370, DialogPlacement::ScreenCentred) {
    const int width = Panel1->Width - 32;
    Heading = addLabel("Step 3 - Protecting your Vault", 16, 10, -19);
    addText("Your vault will need to be protected with a password to prevent unauthorized access.  You can change "
            "your password later using the Brimsafe tools option.",
            16, 44, width);
    addLabel("Enter Password:", 16, 106);
    password1 = addPasswordEdit(150, 102, 220);
    addLabel("Confirm Password:", 16, 136);
    password2 = addPasswordEdit(150, 132, 220);
    DialogLabel* advice = addLabel("Password Recommendations", 16, 168);
    advice->Font->Style = TFontStyles{fsBold};
    addText(Recommendations, 16, 188, width);
    const int buttonTop = Panel1->Height - 33;
    xpNextButton = addButton("Next", Panel1->Width - 170, buttonTop);
    xpNextButton->Default = true;
    xpNextButton->OnClick = TNotifyEvent(this, &TFrm_FirstPassword::NextClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;
    OnShow = TNotifyEvent(this, &TFrm_FirstPassword::FormShow);
    OnClose = TCloseEvent(this, &TFrm_FirstPassword::FormClose);
    ActiveControl = password1;
}

SecretText TFrm_FirstPassword::TakePassword() {
    SecretText taken = password_;
    secureWipe(&password_[0], password_.capacity());
    password_.clear();
    return taken;
}

void TFrm_FirstPassword::FocusFirstField() {
    if (password1->CanFocus()) password1->SetFocus();
}

void TFrm_FirstPassword::FormShow(TObject*) {
    emptySecretEdit(password1);
    emptySecretEdit(password2);
    FocusFirstField();
}

void TFrm_FirstPassword::FormClose(TObject*, TCloseAction&) {
    emptySecretEdit(password1);
    emptySecretEdit(password2);
}

void TFrm_FirstPassword::NextClick(TObject*) {
    SecretText first = readSecret(password1), second = readSecret(password2);
    switch (passwordchecks::checkNewPassword(first, second)) {
    case passwordchecks::NewPasswordCheck::Mismatch:
        ShowMessageBox(this, passwordchecks::MismatchMessage, "Brimsafe", mbsOk, mbiInformation);
        FocusFirstField();
        return;
    case passwordchecks::NewPasswordCheck::AskBlank:
        if (ShowMessageBox(this, passwordchecks::BlankQuestion, "Brimsafe", mbsYesNo, mbiCaution, mbrNo) != mbrYes) {
            FocusFirstField();
            return;
        }
        break;
    case passwordchecks::NewPasswordCheck::Accept: break;
    }
    password_ = first;
    ModalResult = mrOk;
}
