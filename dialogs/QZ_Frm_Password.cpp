// The master-password dialog; see QZ_Frm_Password.h.
#include "dialogs/QZ_Frm_Password.h"

#include "dialogs/PasswordChecks.h"
#include "skin/ZM_MessageBox.h"

TPasswordForm::TPasswordForm(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Brimsafe", 339, 221, DialogPlacement::OwnerCentred) {
    Label3 = addLabel("Enter Your Password", 0, 10, -16);
    Label1 = addLabel("Your Password:", 16, 46);
    password1 = addPasswordEdit(130, 42, 180);
    Label2 = addLabel("Confirm Password:", 16, 80);
    password2 = addPasswordEdit(130, 76, 180);
    const int buttonTop = Panel1->Height - 33;
    xpForgotButton = addButton("Forgot your Password?", 2, buttonTop, 155);
    xpForgotButton->Hint = "If you have backed up your key, you may restore it and set a new password.";
    xpForgotButton->ShowHint = true;
    xpForgotButton->ModalResult = 7;
    xpOkButton = addButton("Ok", 164, buttonTop);
    xpOkButton->Default = true;
    xpOkButton->OnClick = TNotifyEvent(this, &TPasswordForm::OkClick);
    xpCancelButton = addButton("Cancel", 245, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;
    for (TxpButton* button : {xpForgotButton, xpOkButton, xpCancelButton})
        button->Anchors = TAnchors{akLeft, akBottom};
    OnShow = TNotifyEvent(this, &TPasswordForm::FormShow);
    OnClose = TCloseEvent(this, &TPasswordForm::FormClose);
    ActiveControl = password1;
}

void TPasswordForm::SetMode(bool changeMode, bool invalidNotice) {
    if (changeMode) {
        xpForgotButton->Visible = false;
        placeButtonAtFormLeft(xpOkButton, 92);
        xpCancelButton->Left = xpOkButton->Left + xpOkButton->Width + 10;
        Label3->Caption = "Changing Your Password";
        Label3->Font->Color = clBlack;
        Label1->Caption = "New Password:";
        password2->Visible = true;
        Label2->Visible = true;
        Height = 228;
    } else {
        xpForgotButton->Visible = true;
        xpForgotButton->ShowHint = true;
        placeButtonAtFormLeft(xpOkButton, 172);
        placeButtonAtFormLeft(xpCancelButton, 253);
        Label3->Caption = "Enter Your Password";
        Label3->Font->Color = clBlack;
        Label1->Caption = "Your Password:";
        if (invalidNotice) {
            Label3->Caption = "Invalid password.  Reenter password.";
            Label3->Font->Color = TColor(255);
        }
        password2->Visible = false;
        Label2->Visible = false;
        Height = 175;
    }
    SetWindowRegion(Width, Height);
    CentreHeading();
}

void TPasswordForm::CentreHeading() { Label3->Left = Panel1->Width / 2 - Label3->Width / 2; }

void TPasswordForm::EmptyEdits() {
    emptySecretEdit(password1);
    emptySecretEdit(password2);
}

void TPasswordForm::FocusFirstField() {
    if (password1->CanFocus()) password1->SetFocus();
}

void TPasswordForm::FormShow(TObject*) {
    EmptyEdits();
    FocusFirstField();
}

void TPasswordForm::FormClose(TObject*, TCloseAction&) { EmptyEdits(); }

void TPasswordForm::OkClick(TObject*) {
    SecretText first = readSecret(password1), second = readSecret(password2);
    if (password2->Visible) {
        switch (passwordchecks::checkNewPassword(first, second)) {
        case passwordchecks::NewPasswordCheck::Mismatch:
            ShowMessageBox(this, passwordchecks::MismatchMessage, "Brimsafe", mbsOk, mbiInformation);
            EmptyEdits();
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
    }
    password_ = first;
    ModalResult = mrOk;
}
