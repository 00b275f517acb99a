/*
 * TQZ_Form_NewPassword, the entry editor: one row per field of a category (a
 * caption and a one-line edit or a paragraph memo) in a scroll box, filled
 * from the caller's values when editing, read back into them on "Ok".
 *
 * Tricky points:
 * - The rows' places and the form's size come from recordrules::layoutEntry;
 *   the form grows with the fields up to 600 high, then scrolls.
 * - Values always show in plain text here, secret fields included.
 * - "Ok" with every field empty ends with 2, as Cancel: the caller makes no
 *   entry of nothing.
 * - The trace log gets the field index and the length of each value, never
 *   the value: the log is plain text on disk and the fields hold passwords.
 * - The two file-row handlers are reached by no control of this dialog; they
 *   take the row from the control passed in.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"
#include "dialogs/DialogSkeleton.h"
#include "vault/category.h"

#include <string>
#include <vector>

class TQZ_Form_NewPassword : public TSkinnedDialog {
public:
    // The content panel's height is the form height less this.
    static constexpr int PanelOffset = 71;

    explicit TQZ_Form_NewPassword(TComponent* AOwner);

    // Lays out one row per header from firstHeader; values is the caller's array that "Ok" fills
    // (its first fieldCount values are shown when editing).
    void SetupEntry(header* firstHeader, bool editMode, const std::string& categoryName, int fieldCount,
                    RowValues* values);

    struct EditorRow {
        int kind = 0;  // 0 one line, 1 paragraph
        DialogLabel* caption = nullptr;
        TQCLEdit* edit = nullptr;
        TMemo* memo = nullptr;
    };
    const std::vector<EditorRow>& EditorRows() const { return EditorRows_; }

    // The file-row handlers: browse for a file into the row of the sender, and empty that row.
    void FileBrowseMouseRelease(TObject* Sender);
    void FileRemoveMouseRelease(TObject* Sender);
    // Puts a chosen path into the row that owns control; an encrypted file's ".vltenc" is dropped.
    void PutFileIntoRow(TObject* control, const std::string& path);

    TScrollBox* NewEntryScrollBox;
    TPanel* EntryPanel;  // the scroll box's content
    DialogLabel* Label1;
    DialogLabel* Label2;
    TxpButton* xpOkButton;
    TxpButton* xpCancelButton;
    TOpenDialog* OpenDialog1;

private:
    void OkClick(TObject* Sender);
    void FormShow(TObject* Sender);
    void freeRows();
    EditorRow* rowOf(TObject* control);

    std::vector<EditorRow> EditorRows_;
    int FieldCount = 0;
    RowValues* Values = nullptr;
};

// Shows the entry editor over the fields of shown, owned by owner, and frees it: its result.
int EditEntry(TComponent* owner, category& shown, bool editing, RowValues& values);
