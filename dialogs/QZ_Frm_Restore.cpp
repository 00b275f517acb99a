// The key-restore dialog; see QZ_Frm_Restore.h.
#include "dialogs/QZ_Frm_Restore.h"

#include "skin/ZM_MessageBox.h"

TFrm_Restore::TFrm_Restore(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Restore Your Key", 396, 207, DialogPlacement::OwnerCentred) {
    const int width = Panel1->Width - 32;
    DialogLabel* heading = addLabel("Restoring Your Vault Key", 16, 8, -16);
    heading->Font->Style = TFontStyles{fsBold};
    addText("If you have forgotten your password or you need to restore your key, select the back up key file that "
            "you created and then press the Restore Key button.",
            16, 30, width);
    addLabel("File Location:", 16, 84);
    Edit1 = addEdit(16, 101, width - 85);
    xpBrowseButton = addButton("Browse", 16 + width - 75, 100);
    xpBrowseButton->OnClick = TNotifyEvent(this, &TFrm_Restore::BrowseClick);

    // A clear gap between the file row and the buttons, and the buttons as far from the bottom edge
    // as from the right one.
    const int buttonTop = Panel1->Height - 31;
    xpRestoreButton = addButton("Restore Key", Panel1->Width - 196, buttonTop, 100);
    xpRestoreButton->Default = true;
    xpRestoreButton->OnClick = TNotifyEvent(this, &TFrm_Restore::RestoreClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->DefaultExt = "bkv";
    OpenDialog1->Filter = "Brimsafe Backed Up Keys (*.bkv)|*.bkv|All Files (*.*)|*.*";
}

void TFrm_Restore::SetVaultFolder(const std::string& folder) { OpenDialog1->InitialDir = folder.c_str(); }

void TFrm_Restore::BrowseClick(TObject*) {
    if (OpenDialog1->Execute()) Edit1->Text = OpenDialog1->FileName;
}

void TFrm_Restore::RestoreClick(TObject*) {
    if (Edit1->GetText().empty()) {
        ShowMessageBox(this, "You must select a key file before proceeding.", "Restore You Key", mbsOk, mbiCaution);
        return;
    }
    ModalResult = mrRestoreKey;
}
