/*
 * TFrm_Search, "Find Items": lists, as the user types, the entries whose
 * values contain the typed text, over "Encrypted Files" and every user
 * category, and hands back the category and row of the line chosen.
 *
 * Tricky points:
 * - Each result line keeps the category and row it was made from (beside
 *   the list, in hits_): "Go To" returns exactly that row, so two categories
 *   or fields of the same name, or equal values, cannot send the user
 *   elsewhere. The placeholder line "No Matches Found" has no row and is
 *   refused like no selection.
 * - The whole vault is searched again on every key release in the search
 *   text; the list is filled in one bulk so it repaints once.
 * - Up and Down typed in the search text move the list's selection. A letter
 *   or an unshifted digit typed in the list is added to the search text and
 *   the text takes the focus (its key release runs the search); any other key
 *   adds nothing. The character the list would get for that key is dropped.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"
#include "components/controls/QCLListBox.h"
#include "dialogs/DialogSkeleton.h"
#include "dialogs/VaultSearch.h"
#include "vault/category.h"

#include <optional>
#include <vector>

class TFrm_Search : public TSkinnedDialog {
public:
    struct Result {
        category* foundCategory = nullptr;
        int foundRow = -1;
    };

    explicit TFrm_Search(TComponent* AOwner);

    // Keeps both categories and shows the dialog: the chosen line's category and row after "Go To".
    std::optional<Result> SearchVault(category* firstCategory, category* encryptedFilesCategory);
    // The same without showing the dialog, for a caller that shows it itself.
    void SetCategories(category* firstCategory, category* encryptedFilesCategory);
    Result GetResult() const { return {FoundCategory, FoundRow}; }

    // The search run by a key release in the search text.
    void RunSearch();
    const std::vector<vaultsearch::Hit>& Hits() const { return hits_; }
    // Passwords are hidden: secret fields' values show masked in the list.
    bool HideSecrets = false;

    TQCLEdit* QCLEdit1 = nullptr;
    TScrollBox* ScrollBox1;
    TQCLListBox* QCLListBox1;
    TxpButton* xpGoToButton;
    TxpButton* xpCancelButton;

private:
    void EditKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    void FormShow(TObject* Sender);
    void GoToClick(TObject* Sender);
    void HeaderSectionResize(THeaderControl* Header, THeaderSection* Section);
    void addPlaceholder();

    category* FirstCategory = nullptr;
    category* EncryptedFilesCategory = nullptr;
    category* FoundCategory = nullptr;
    int FoundRow = -1;
    std::vector<vaultsearch::Hit> hits_;
    bool dropNextChar_ = false;
};

// Shows the search, owned by owner, and frees it: true with the chosen line's category and row.
// hideSecrets: passwords are hidden in the main window, and so in the list.
bool SearchVaultDialog(TComponent* owner, category* firstCategory, category* encryptedFilesCategory, bool hideSecrets,
                       category*& found, int& row);
