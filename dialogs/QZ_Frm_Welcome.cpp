// The welcome page; see QZ_Frm_Welcome.h.
#include "dialogs/QZ_Frm_Welcome.h"

#include "dialogs/QZ_Frm_RestoreVault.h"
#include "skin/art/DialogArt.h"

const char* const TFrm_Welcome::Introduction[2] = {
    "Brimsafe keeps your passwords, account numbers and other private notes in one vault, encrypted on your own "
    "computer and opened only with your master password.",
    "It can also encrypt your own files where they are, and decrypt them when you need them.  Start with a new "
    "vault, or restore one you backed up before.",
};

TFrm_Welcome::TFrm_Welcome(TComponent* AOwner, DialogHost& host, TFrm_RestoreVault& restore)
    : TSkinnedDialog(AOwner, "Welcome", 420, 370, DialogPlacement::ScreenCentred), host_(host), restore_(restore) {
    const int width = Panel1->Width - 32;
    Image2 = new TImage(this);
    Image2->Parent = Panel1;
    Image2->SetBounds(0, 0, DialogArtWelcomeWidth, DialogArtWelcomeHeight);
    Image2->Picture->Bitmap->LoadFromResourceID(HInstance, IDB_DIALOG_WELCOME_BAND);
    addText(Introduction[0], 16, DialogArtWelcomeHeight + 14, width);
    addText(Introduction[1], 16, DialogArtWelcomeHeight + 70, width);

    DialogLabel* create = addLabel("Create a New Vault", 16, 214, -16);
    create->Font->Style = TFontStyles{fsBold};
    xpNewVaultButton = addButton("New Vault", Panel1->Width - 126, 212, 110);
    xpNewVaultButton->Default = true;
    xpNewVaultButton->ModalResult = mrOk;
    DialogLabel* restoreHeading = addLabel("Restore a Backed Up Vault", 16, 250, -16);
    restoreHeading->Font->Style = TFontStyles{fsBold};
    xpRestoreVaultButton = addButton("Restore Vault", Panel1->Width - 126, 248, 110);
    xpRestoreVaultButton->OnClick = TNotifyEvent(this, &TFrm_Welcome::RestoreVaultClick);

    xpCancelButton = addButton("Cancel", Panel1->Width - 88, Panel1->Height - 33);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;
}

void TFrm_Welcome::RestoreVaultClick(TObject*) {
    restore_.SetLocation(host_.vaultFolder());
    if (restore_.ShowModal() == TFrm_RestoreVault::mrVaultRestored) ModalResult = mrVaultRestored;
}
