// The wizard's location page; see QZ_Frm_ChooseVaultLoc.h.
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"

#include "skin/ZM_MessageBox.h"
#include "vault/logger.h"

#include <windows.h>

namespace {

bool isFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TFrm_ChooseVaultLoc::TFrm_ChooseVaultLoc(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Choose Vault Location", 420, 370, DialogPlacement::ScreenCentred) {
    const int width = Panel1->Width - 32;
    addLabel("Step 1 - Vault Destination Folder", 16, 10, -19);
    addText("Please select the filename and location of your new vault. You can change the default location by "
            "clicking the browse button below.",
            16, 48, width);
    Edit1 = addEdit(16, 120, width - 85);
    Edit1->ReadOnly = true;
    xpBrowseButton = addButton("Browse", 16 + width - 75, 119);
    xpBrowseButton->OnClick = TNotifyEvent(this, &TFrm_ChooseVaultLoc::BrowseClick);
    const int buttonTop = Panel1->Height - 33;
    xpNextButton = addButton("Next", Panel1->Width - 170, buttonTop);
    xpNextButton->Default = true;
    xpNextButton->OnClick = TNotifyEvent(this, &TFrm_ChooseVaultLoc::NextClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->DefaultExt = "vlt";
    SaveDialog1->FileName = "Brimsafe.vlt";
    SaveDialog1->Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofNoReadOnlyReturn};
    SaveDialog1->Filter = "Brimsafe File (*.vlt)|*.vlt|All Files (*.*)|*.*";
    KeyPreview = true;
    OnKeyPress = TKeyPressEvent(this, &TFrm_ChooseVaultLoc::FormKeyPress);
}

void TFrm_ChooseVaultLoc::SetLocation(const std::string& path) {
    traceLog.write("setting location in ChooseVaultLoc");
    traceLog.write(path);
    Edit1->Text = path;
    if (path.empty()) {
        SaveDialog1->FileName = "C:\\Brimsafe.vlt";
    } else if (!isFile(path)) {
        SaveDialog1->FileName = path;
    } else {
        Edit1->Text = "";
        SaveDialog1->FileName = "";
    }
}

void TFrm_ChooseVaultLoc::BrowseClick(TObject*) {
    if (SaveDialog1->Execute()) Edit1->Text = SaveDialog1->FileName;
}

void TFrm_ChooseVaultLoc::NextClick(TObject*) {
    std::string path = Edit1->Text;
    if (path.empty()) {
        ShowMessageBox(this,
                       "You must choose a name and location for your vault by clicking on the browse button before "
                       "proceeding.",
                       "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    if (isFile(path)) {
        ShowMessageBox(this, "A vault already exists with that name.  You may not create a vault with the same name.",
                       "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    std::size_t slash = path.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    if (!folder.empty() && isFolder(folder)) {
        ModalResult = mrOk;
        return;
    }
    ShowMessageBox(this,
                   "The destination you selected is invalid.  Either you have chosen a directory that does not exist, "
                   "or you do not have the necessary permission.",
                   "Brimsafe", mbsOk, mbiCaution);
}

void TFrm_ChooseVaultLoc::FormKeyPress(TObject*, char& Key) {
    if (Key == 13 || Key == 27) Key = 0;
}
