/*
 * TFrm_Welcome, the start page with "New Vault", "Restore Vault" and
 * "Cancel". Made at start, but no part of the program shows it.
 * "Restore Vault" runs the restore dialog made at start with the vault
 * folder as its location; only a restored vault ends the page (9).
 */
#pragma once

#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

class TFrm_RestoreVault;

class TFrm_Welcome : public TSkinnedDialog {
public:
    static constexpr int mrVaultRestored = 9;

    TFrm_Welcome(TComponent* AOwner, DialogHost& host, TFrm_RestoreVault& restore);

    static const char* const Introduction[2];

    TImage* Image2;
    TxpButton* xpNewVaultButton;
    TxpButton* xpRestoreVaultButton;
    TxpButton* xpCancelButton;

private:
    void RestoreVaultClick(TObject* Sender);

    DialogHost& host_;
    TFrm_RestoreVault& restore_;
};
