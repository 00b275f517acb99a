/*
 * TFrm_SelectDatabase, where the user chooses the vault to open: a known vault
 * from the registry list, one found by browsing (then listed and registered),
 * a new one (through the location page) or one restored from a backup.
 *
 * Tricky points:
 * - "Open Vault" probes the vault's named mutex and refuses a vault another
 *   process has open; the probe leaves no mutex behind.
 * - A new vault's name is refused when a listed display name equals it in any
 *   case: the registry would otherwise overwrite that vault's entry.
 * - Browse strips only a trailing ".vlt" (any case) from the chosen file.
 * - "New Vault" hides this dialog while the wizard's first page is up, so the
 *   page stands in its place rather than over it; the dialog shows again when
 *   the page is cancelled or the name is refused, and stays hidden when the
 *   wizard goes on (its modal loop ends with the new-vault result).
 * - The restore dialog is not part of this unit: the opener hands in how to
 *   run it (SetRestoreVault); without one "Restore Vault" leaves this open.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"
#include "dialogs/KnownVaults.h"

#include <functional>
#include <string>
#include <vector>

class TFrm_SelectDatabase : public TSkinnedDialog {
public:
    static constexpr int mrCreateVault = 16;
    static constexpr int mrVaultRestored = 9;

    explicit TFrm_SelectDatabase(TComponent* AOwner);

    void SetLocation(const std::string& folder, const std::string& name);
    void GetLocation(std::string& folder, std::string& name) const;
    bool FindVaultById(const unsigned char id[16]);
    void RegisterVault(const std::string& path) { knownvaults::registerVault(path); }
    // Runs the restore dialog with a suggested folder: 9 and the destination folder when restored.
    using RestoreRunner = std::function<int(const std::string& suggested, std::string& destination)>;
    void SetRestoreVault(RestoreRunner runner) { restore_ = std::move(runner); }

    // The listed vault paths, in list order.
    const std::vector<std::string>& ListedPathsForTesting() const { return paths_; }

    TListBox* ListBox1;
    TQCLEdit* Edit1;
    TxpButton* xpCreateVaultButton;
    TxpButton* xpRestoreVaultButton;
    TxpButton* xpOpenVaultButton;
    TxpButton* xpBrowseButton;
    TxpButton* xpCancelButton;
    TOpenDialog* OpenDialog1;

private:
    void ListBox1Click(TObject* Sender);
    void ListBox1DblClick(TObject* Sender);
    void OpenClick(TObject* Sender);
    void BrowseClick(TObject* Sender);
    void CreateClick(TObject* Sender);
    void RestoreClick(TObject* Sender);
    void MakeOpenDefault();
    void AddVault(const std::string& display, const std::string& path);
    void SplitIntoLocation(const std::string& path);

    std::string Folder;
    std::string VaultName;
    std::vector<std::string> paths_;
    RestoreRunner restore_;
};
