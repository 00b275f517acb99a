/*
 * TFrm_RestoreVault, "Brimsafe Restore": restores a vault from a vault backup
 * (".bvt") into a folder under a name the user gives, through the host's
 * vault restore. Made once at start and reused: the source and destination
 * texts stay between uses, each opener sets the destination first.
 *
 * Tricky points:
 * - A vault of that name already in the folder is refused while another
 *   process has it open (its mutex, found by the vault ID in its key file);
 *   otherwise the user is asked before it is overwritten.
 * - A destination that does not exist is created, one level only; a missing
 *   parent gives the invalid-destination message.
 * - Only a restored vault ends the dialog (9); the other outcomes are told and
 *   the dialog stays, so the user can pick another file.
 */
#pragma once

#include "components/runtime/QCLBrowseDlg.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_RestoreVault : public TSkinnedDialog {
public:
    static constexpr int mrVaultRestored = 9;

    TFrm_RestoreVault(TComponent* AOwner, DialogHost& host);

    void SetLocation(const std::string& path);
    void SetSource(const std::string& backupFile) { Edit1->Text = backupFile; }
    std::string GetDestination() const { return Edit2->Text; }

    TQCLEdit* Edit1;
    TQCLEdit* Edit2;
    DialogLabel* Label5;
    TxpButton* xpSourceBrowseButton;
    TxpButton* xpDestinationBrowseButton;
    TxpButton* xpRestoreButton;
    TxpButton* xpCancelButton;
    TOpenDialog* OpenDialog1;
    TQCLBrowseDlg* QCLBrowseDlg1;

private:
    void SourceBrowseClick(TObject* Sender);
    void DestinationBrowseClick(TObject* Sender);
    void RestoreClick(TObject* Sender);
    void inform(const char* text, int icon);

    DialogHost& host_;
};
