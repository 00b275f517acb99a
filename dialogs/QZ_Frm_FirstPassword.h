/*
 * TFrm_FirstPassword, step 3 of the new-vault wizard: the first master
 * password, typed twice. Created once at start and reused for every vault
 * made in the run.
 *
 * Tricky points:
 * - A mismatch is reported before a blank password is questioned, and the
 *   entries stay as typed after either (the blank-password question opens
 *   with "No" focused); the focus goes back to the first
 *   field (its text all selected, so typing replaces it), never stays on
 *   "Next", where a space typed on would press it again.
 * - The accepted password is a wiped buffer handed out once: TakePassword
 *   moves it out and leaves nothing in the page; the edits are emptied on
 *   show and on close.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"
#include "vault/SecureMemory.h"

class TFrm_FirstPassword : public TSkinnedDialog {
public:
    explicit TFrm_FirstPassword(TComponent* AOwner);

    // The accepted password, taken out of the page (which keeps no copy).
    SecretText TakePassword();
    bool HoldsPasswordForTesting() const { return !password_.empty(); }

    TQCLEdit* password1;
    TQCLEdit* password2;
    DialogLabel* Heading;
    TxpButton* xpNextButton;
    TxpButton* xpCancelButton;

private:
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void NextClick(TObject* Sender);
    void FocusFirstField();

    SecretText password_;
};
