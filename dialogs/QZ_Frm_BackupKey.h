/*
 * TFrm_BackupKey, step 4 of the new-vault wizard: offers to write the key
 * backup (".bkv") through the host, or to skip it after a question. A failed
 * backup leaves the page open; the host refuses a target that is one of the
 * open vault's own files.
 */
#pragma once

#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

class TFrm_BackupKey : public TSkinnedDialog {
public:
    TFrm_BackupKey(TComponent* AOwner, DialogHost& host);

    bool KeySaved() const { return KeySaved_; }

    TQCLEdit* destination;
    TxpButton* xpBrowseButton;
    TxpButton* xpBackupButton;
    TxpButton* xpSkipButton;
    TSaveDialog* SaveDialog1;

private:
    void BrowseClick(TObject* Sender);
    void BackupClick(TObject* Sender);
    void SkipClick(TObject* Sender);

    DialogHost& host_;
    bool KeySaved_ = false;
};
