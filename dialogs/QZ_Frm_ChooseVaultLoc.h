/*
 * TFrm_ChooseVaultLoc, step 1 of the new-vault wizard: where the new vault
 * file goes. Next refuses an empty choice, an existing vault file and a folder
 * that does not exist; Enter and Escape that reach the form are dropped.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_ChooseVaultLoc : public TSkinnedDialog {
public:
    explicit TFrm_ChooseVaultLoc(TComponent* AOwner);

    void SetLocation(const std::string& path);
    std::string GetLocation() const { return Edit1->Text; }

    TQCLEdit* Edit1;
    TxpButton* xpBrowseButton;
    TxpButton* xpNextButton;
    TxpButton* xpCancelButton;
    TSaveDialog* SaveDialog1;

private:
    void BrowseClick(TObject* Sender);
    void NextClick(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
};
