// The wizard's key-backup page; see QZ_Frm_BackupKey.h.
#include "dialogs/QZ_Frm_BackupKey.h"

#include "skin/ZM_MessageBox.h"

TFrm_BackupKey::TFrm_BackupKey(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Initializing Vault", 420, 370, DialogPlacement::ScreenCentred), host_(host) {
    const int width = Panel1->Width - 32;
    addLabel("Step 4 - Backing Up the Vault Key", 16, 10, -19);
    addText("We highly recommend backing up your key to some type of external media such as a diskette or CD.", 16,
            48, width);
    DialogLabel* important = addLabel("IMPORTANT NOTE:", 16, 90);
    important->Font->Style = TFontStyles{fsBold};
    addText("If you forget your password, you will not be able to access your vault without restoring your backed "
            "up key.  The backed up key is not protected with a password.  Therefore, we recommend storing this key "
            "in a safe place.  You can back up your key later using the Tools option.",
            16, 110, width);
    addLabel("Backup Destination:", 16, 206);
    destination = addEdit(16, 226, width - 85);
    destination->ReadOnly = true;
    xpBrowseButton = addButton("Browse", 16 + width - 75, 225);
    xpBrowseButton->OnClick = TNotifyEvent(this, &TFrm_BackupKey::BrowseClick);
    const int buttonTop = Panel1->Height - 33;
    xpBackupButton = addButton("Back Up Key", Panel1->Width - 196, buttonTop, 100);
    xpBackupButton->OnClick = TNotifyEvent(this, &TFrm_BackupKey::BackupClick);
    xpSkipButton = addButton("Skip", Panel1->Width - 88, buttonTop);
    xpSkipButton->Default = true;
    xpSkipButton->OnClick = TNotifyEvent(this, &TFrm_BackupKey::SkipClick);

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->DefaultExt = "bkv";
    // Beside the vault, never the program's own folder (the process's current one, which "C:" names).
    SaveDialog1->InitialDir = host_.vaultFolder().c_str();
    SaveDialog1->Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofPathMustExist};
    const std::string name = host_.vaultName();
    SaveDialog1->FileName = name.empty() ? std::string("Brimsafe.bkv") : name + " Key Backup.bkv";
    SaveDialog1->Filter = "Brimsafe Backed Up Keys (*.bkv)|*.bkv|All Files (*.*)|*.*";
}

void TFrm_BackupKey::BrowseClick(TObject*) {
    if (SaveDialog1->Execute()) destination->Text = SaveDialog1->FileName;
}

void TFrm_BackupKey::BackupClick(TObject* Sender) {
    const std::string path = destination->Text;
    if (path.empty()) {
        ShowMessageBox(this, "You must select a backup destination before proceeding.", "Brimsafe", mbsOk, mbiCaution);
        return;
    }
    if (host_.backupKey(path) != 0) {
        ShowMessageBox(this, "Your key has not been saved.", "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    ShowMessageBox(this, "Your key has been saved.", "Brimsafe", mbsOk, mbiInformation);
    KeySaved_ = true;
    SkipClick(Sender);
}

void TFrm_BackupKey::SkipClick(TObject*) {
    if (!KeySaved_) {
        const char* question =
            destination->GetText().empty()
                ? "Are you sure that you would like to proceed without backing up your key?"
                : "You have selected a destination, but have not backed up the key.  To back it up, you need to press "
                  "Back Up Key.  Would you like to proceed without backing up your key?";
        if (ShowMessageBox(this, question, "Brimsafe", mbsYesNo, mbiQuestion) != mbrYes) return;
    }
    ModalResult = mrOk;
}
