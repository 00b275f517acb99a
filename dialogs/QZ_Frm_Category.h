/*
 * TQZ_Category_Form, "Edit Categories": the user categories of the open vault
 * with the fields of the selected one; it creates, renames and deletes
 * categories directly on the live chain, whose head may change or become
 * null (the caller takes ChainHead() afterwards).
 *
 * Tricky points:
 * - A new category is linked into the chain before its editor opens (the
 *   editor works on the live category); when the editor is cancelled or the
 *   category is left without a name it is unlinked and destroyed again, even
 *   when it was the only one.
 * - An existing category emptied of its name becomes "No Name".
 * - A category is destroyed alone: its link to the rest of the chain is cut
 *   first (destroying a category destroys what follows it).
 * - The lines keep their categories in a list beside the list box.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"
#include "vault/category.h"

#include <vector>

class TQZ_EditCat_Form;

class TQZ_Category_Form : public TSkinnedDialog {
public:
    TQZ_Category_Form(TComponent* AOwner, category* current, category* chainHead);

    category* ChainHead() const { return ChainHead_; }
    // The selected line of the category list, -1 for none.
    int SelectedIndex() const;
    category* GetSelectedCategory() const { return SelectedCategory; }

    void NewCategoryClick(TObject* Sender);
    void EditCategoryClick(TObject* Sender);
    void DeleteCategoryClick(TObject* Sender);

    TListBox* ListBox2;  // categories
    TListBox* ListBox1;  // fields of the selected category
    TxpButton* xpNewCategoryButton;
    TxpButton* xpEditCategoryButton;
    TxpButton* xpDeleteCategoryButton;
    TxpButton* xpOkButton;

private:
    void ListBox2Click(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void listFields(const category* shown);
    int editCategory(category* edited);
    void removeFromChain(category* target);

    category* ChainHead_;
    category* SelectedCategory;
    std::vector<category*> lines_;
};

// Shows the category list on the chain, owned by owner, and frees it: chainHead takes the chain's new
// head; the selected line's position, -1 for none.
int EditCategories(TComponent* owner, category*& chainHead, category* current);
