// The vault-restore dialog; see QZ_Frm_RestoreVault.h.
#include "dialogs/QZ_Frm_RestoreVault.h"

#include "dialogs/KnownVaults.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "skin/ZM_MessageBox.h"
#include "vault/logger.h"

#include <windows.h>

#include <memory>

namespace {

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TFrm_RestoreVault::TFrm_RestoreVault(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Brimsafe Restore", 446, 320, DialogPlacement::ScreenCentred), host_(host) {
    const int width = Panel1->Width - 32;
    DialogLabel* heading = addLabel("Restoring Your Vault", 16, 8, -16);
    heading->Font->Style = TFontStyles{fsBold};
    addText("Please select your Brimsafe backup file and where you would like your vault restored to, and then press "
            "the Restore Vault button.",
            16, 32, width);
    addText("If you did not change the name of the backup file from the default, it will be called "
            "\"Brimsafe.bvt\".",
            16, 72, width);
    DialogLabel* source = addLabel("Source", 16, 114);
    source->Font->Style = TFontStyles{fsBold};
    Edit1 = addEdit(16, 132, width - 85);
    xpSourceBrowseButton = addButton("Browse", 16 + width - 75, 131);
    xpSourceBrowseButton->OnClick = TNotifyEvent(this, &TFrm_RestoreVault::SourceBrowseClick);
    DialogLabel* destination = addLabel("Destination", 16, 166);
    destination->Font->Style = TFontStyles{fsBold};
    Edit2 = addEdit(16, 184, width - 85);
    xpDestinationBrowseButton = addButton("Browse", 16 + width - 75, 183);
    xpDestinationBrowseButton->OnClick = TNotifyEvent(this, &TFrm_RestoreVault::DestinationBrowseClick);
    Label5 = addLabel("", 16, 210);
    Label5->Caption = "Two files will be created in the directory you choose.";

    const int buttonTop = Panel1->Height - 33;
    xpRestoreButton = addButton("Restore Vault", Panel1->Width - 196, buttonTop, 100);
    xpRestoreButton->Default = true;
    xpRestoreButton->OnClick = TNotifyEvent(this, &TFrm_RestoreVault::RestoreClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->FileName = "Brimsafe.bvt";
    OpenDialog1->Filter = "Brimsafe Backup File (*.bvt)|*.bvt|All Files|*.*";
    QCLBrowseDlg1 = new TQCLBrowseDlg(this);
    QCLBrowseDlg1->Caption =
        "Choose the folder for the vault.  A folder will be created called \"Brimsafe\" where the vault will be "
        "stored.";
    QCLBrowseDlg1->Options = TQCLBrowseDlgOptions{doReturnFileSysDirs, doAllowEdit, doShowPath};
}

void TFrm_RestoreVault::inform(const char* text, int icon) { ShowMessageBox(this, text, "Brimsafe", mbsOk, icon); }

void TFrm_RestoreVault::SetLocation(const std::string& path) {
    traceLog.write("setting location in RestoreVault");
    traceLog.write(path);
    Edit2->Text = path;
    // Backups are made beside the vault: the source is looked for there, never in the program's folder.
    OpenDialog1->InitialDir = path.c_str();
    const std::size_t slash = path.find_last_of('\\');
    const std::string start = slash == std::string::npos ? std::string() : path.substr(0, slash);
    traceLog.write(start);
    QCLBrowseDlg1->SelectedFolder = start;
}

void TFrm_RestoreVault::SourceBrowseClick(TObject*) {
    if (OpenDialog1->Execute()) Edit1->Text = OpenDialog1->FileName;
}

void TFrm_RestoreVault::DestinationBrowseClick(TObject*) {
    if (QCLBrowseDlg1->ExecuteEnh(this)) Edit2->Text = QCLBrowseDlg1->SelectedFolder;
}

void TFrm_RestoreVault::RestoreClick(TObject*) {
    const std::string source = Edit1->Text;
    if (source.empty()) {
        inform("You must first browse to a source to restore from.", mbiInformation);
        return;
    }
    std::string name;
    {
        std::unique_ptr<TFrm_ChooseName, void (*)(TFrm_ChooseName*)> prompt(
            MakeForm<TFrm_ChooseName>(this), [](TFrm_ChooseName* form) { form->Free(); });
        if (prompt->ShowModal() != mrOk) return;
        name = prompt->GetName();
    }
    const std::string destination = Edit2->Text;
    const std::string base = destination + "\\" + name;
    if (isFile(base + ".vlt")) {
        // Overwriting a vault another process has open would leave a file neither key opens.
        std::optional<std::vector<unsigned char>> id = knownvaults::readVaultId(base + ".kvt");
        if (id && knownvaults::vaultIsOpenElsewhere(id->data())) {
            inform("The vault you have selected is already open on this computer.  You cannot have the same vault "
                   "open more than once at the same time.",
                   mbiInformation);
            return;
        }
        if (ShowMessageBox(this,
                           "A vault already exists with this name in the directory you chose.  Would you like to "
                           "overwrite it?  All data it contains will be lost.",
                           "Brimsafe", mbsYesNo, mbiInformation) != mbrYes)
            return;  // a box closed without an answer overwrites nothing
    }
    if (destination.empty() || (!isDirectory(destination) && !CreateDirectoryA(destination.c_str(), nullptr))) {
        inform("The destination you selected is invalid.  Either you have chosen a directory that does not exist, or "
               "you do not have the necessary permission.",
               mbiCaution);
        return;
    }
    switch (host_.restoreVault(destination, name, source)) {
    case 0:
        inform("Your vault has been restored.", mbiInformation);
        ModalResult = mrVaultRestored;
        break;
    case 2: inform("This is not a valid Vault Backup.  Your vault has not been restored.", mbiInformation); break;
    default: inform("Your vault has not been restored.", mbiInformation); break;
    }
}
