/*
 * TQZ_EditCat_Form, the category editor ("Edit Category" / "New Category"):
 * the category's name and its list of fields, which it adds, edits, deletes
 * and reorders directly on the live category (each change at once; Cancel
 * keeps them, the user confirmed each one).
 *
 * Tricky points:
 * - "Ok" needs at least one field shown in the list columns, and refuses a
 *   name holding '"' or '>'; the name may be empty (the category dialog
 *   decides what an unnamed category becomes).
 * - A category holds at most 30 fields.
 * - Deleting the last field line selects the new last line.
 * - Moving a field carries every entry's value with it (the category moves
 *   the values).
 * - Delete removes a field only while the field list has the focus; in the
 *   name it deletes text.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"
#include "components/controls/QCLListBox.h"
#include "dialogs/DialogSkeleton.h"
#include "vault/category.h"

class TQZ_EditCat_Form : public TSkinnedDialog {
public:
    TQZ_EditCat_Form(TComponent* AOwner, category* edited);

    int SelectedField() const;

    TQCLEdit* QCLEdit1;
    TQCLListBox* QCLListBox1;
    DialogLabel* NameLine;  // "You can rename ..." or "Choose a name ..."
    TxpButton* xpNewFieldButton;
    TxpButton* xpEditFieldButton;
    TxpButton* xpDeleteFieldButton;
    TxpButton* xpMoveUpButton;
    TxpButton* xpMoveDownButton;
    TxpButton* xpOkButton;
    TxpButton* xpCancelButton;

    void NewFieldClick(TObject* Sender);
    void EditFieldClick(TObject* Sender);
    void DeleteFieldClick(TObject* Sender);
    void MoveUpClick(TObject* Sender);
    void MoveDownClick(TObject* Sender);

private:
    void RefreshFields(int select);
    void ListClick(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void OkClick(TObject* Sender);
    void enableFieldButtons(bool enabled);

    category* Edited;
    header* FirstHeader = nullptr;
};
