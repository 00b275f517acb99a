// The vault-name prompt; see QZ_Frm_ChooseName.h.
#include "dialogs/QZ_Frm_ChooseName.h"

#include "dialogs/KnownVaults.h"
#include "skin/ZM_MessageBox.h"

TFrm_ChooseName::TFrm_ChooseName(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Choose Name", 276, 142, DialogPlacement::OwnerCentred) {
    Label1 = addLabel("What would you like to name your vault?", 12, 8);
    Edit1 = addEdit(12, 30, Panel1->Width - 24);
    xpOkButton = addButton("Ok", Panel1->Width - 170, Panel1->Height - 33);
    xpOkButton->Default = true;
    xpOkButton->OnClick = TNotifyEvent(this, &TFrm_ChooseName::OkClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, Panel1->Height - 33);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;
    ActiveControl = Edit1;
}

void TFrm_ChooseName::OkClick(TObject*) {
    std::string name = Edit1->Text;
    if (name.empty()) {
        ShowMessageBox(this, "You must choose a name before proceeding", "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    if (!knownvaults::isValidVaultName(name)) {
        ShowMessageBox(this, knownvaults::BadNameMessage, "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    ModalResult = mrOk;
}
