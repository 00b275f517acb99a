/*
 * TFrm_Restore, "Restore Your Key": the choice of a key backup file (".bkv")
 * after "Forgot your Password?". It reports 6 with KeyFilePath, or 2; the
 * vault store does the restore. Its refusal of an empty path carries the
 * title "Restore You Key", as it always has. Browse opens in the vault's folder
 * when the opener gives it (SetVaultFolder).
 */
#pragma once

#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_Restore : public TSkinnedDialog {
public:
    static constexpr int mrRestoreKey = 6;

    explicit TFrm_Restore(TComponent* AOwner);

    std::string KeyFilePath() const { return Edit1->Text; }
    // Browse starts there (key backups are made beside the vault), not in the program's folder.
    void SetVaultFolder(const std::string& folder);

    TQCLEdit* Edit1;
    TxpButton* xpBrowseButton;
    TxpButton* xpRestoreButton;
    TxpButton* xpCancelButton;
    TOpenDialog* OpenDialog1;

private:
    void BrowseClick(TObject* Sender);
    void RestoreClick(TObject* Sender);
};
