/*
 * TFrm_Restore, "Restore Your Key": the choice of a key backup file (".bkv")
 * after "Forgot your Password?". It reports 6 with KeyFilePath, or 2; the
 * vault store does the restore. Its refusal of an empty path carries the
 * title "Restore You Key", as it always has.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_Restore : public TSkinnedDialog {
public:
    static constexpr int mrRestoreKey = 6;

    explicit TFrm_Restore(TComponent* AOwner);

    std::string KeyFilePath() const { return Edit1->Text; }

    TQCLEdit* Edit1;
    TxpButton* xpBrowseButton;
    TxpButton* xpRestoreButton;
    TxpButton* xpCancelButton;
    TOpenDialog* OpenDialog1;

private:
    void BrowseClick(TObject* Sender);
    void RestoreClick(TObject* Sender);
};
