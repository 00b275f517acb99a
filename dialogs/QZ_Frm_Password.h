/*
 * TPasswordForm, the master-password dialog in two layouts: enter mode (one
 * field, "Forgot your Password?", optionally the red notice after a wrong
 * password) and change mode (a new password typed twice).
 *
 * Tricky points:
 * - SetMode resizes the form (175 or 228 high) and gives it a new region;
 *   in enter mode the second field falls outside the content panel.
 * - Enter mode passes any text on, the empty one included; change mode checks
 *   a mismatch (both fields emptied) before a blank password (a question).
 * - The accepted password is a wiped copy; the edits are emptied on show and
 *   again when the dialog closes, so no typed password outlives it on screen
 *   or in memory (the library edits wipe their text and undo history).
 * - The blank-password question opens with "No" focused, and after a
 *   mismatch or a "No" to that question the focus goes
 *   back to the first field, never stays on "Ok": a passphrase typed on with
 *   spaces would otherwise press it again.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"
#include "vault/SecureMemory.h"

class TPasswordForm : public TSkinnedDialog {
public:
    explicit TPasswordForm(TComponent* AOwner);

    void SetMode(bool changeMode, bool invalidNotice);
    SecretText GetPassword() const { return password_; }

    DialogLabel* Label1;
    DialogLabel* Label2;
    DialogLabel* Label3;
    TQCLEdit* password1;
    TQCLEdit* password2;
    TxpButton* xpOkButton;
    TxpButton* xpCancelButton;
    TxpButton* xpForgotButton;

private:
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void OkClick(TObject* Sender);
    void CentreHeading();
    void EmptyEdits();
    void FocusFirstField();

    SecretText password_;
};
