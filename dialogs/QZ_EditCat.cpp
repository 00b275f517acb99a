// The category editor; see QZ_EditCat.h.
#include "dialogs/QZ_EditCat.h"

#include "dialogs/LibraryEdit.h"
#include "dialogs/QZ_Frm_NewHeader.h"
#include "dialogs/RecordDialogRules.h"
#include "skin/ZM_MessageBox.h"

#include <memory>

namespace {

void inform(TForm* owner, const char* text, int icon = mbiInformation) {
    ShowMessageBox(owner, text, "Brimsafe", mbsOk, icon);
}

}  // namespace

TQZ_EditCat_Form::TQZ_EditCat_Form(TComponent* AOwner, category* edited)
    : TSkinnedDialog(AOwner, "Edit Category", 408, 433, DialogPlacement::OwnerCentred), Edited(edited) {
    const int textWidth = Panel1->Width - 32;
    addLabel("Category Name", 16, 8, -19);
    NameLine = addText("You can rename this category by changing it here.", 16, 34, textWidth);
    addLabel("Name:", 16, 60);
    QCLEdit1 = addLibraryEdit(this, Panel1, 64, 57, 220);
    QCLEdit1->TabOrder = 0;
    if (Edited) QCLEdit1->SetText(Edited->getName());

    addLabel("Category Fields", 16, 92, -19);
    addText("You can customize all the fields in a category.  Fields are displayed in the main interface in "
            "columns.  You can change the order of the fields by using the Move Up and Move Down buttons.",
            16, 118, textWidth);
    addLabel("Fields:", 16, 196);
    QCLListBox1 = new TQCLListBox(this);
    QCLListBox1->Parent = Panel1;
    QCLListBox1->SetBounds(16, 214, 272, 120);
    QCLListBox1->Delimiter = '\x01';
    QCLListBox1->SetInteger(0, 18);
    QCLListBox1->GridLines = glVertical;
    QCLListBox1->GetHeaderSections()->Clear();
    const char* captions[] = {"Column #", "Name", "Type", "View"};
    const int widths[] = {58, 96, 66, 48};
    for (int i = 0; i < 4; ++i) {
        THeaderSection* section = QCLListBox1->GetHeaderSections()->Add();
        section->SetText(captions[i]);
        section->SetWidth(widths[i]);
        section->SetAllowClick(false);
    }
    QCLListBox1->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::ListClick);
    QCLListBox1->OnDblClick = TNotifyEvent(this, &TQZ_EditCat_Form::EditFieldClick);

    xpMoveUpButton = addButton("Move Up", 296, 214, 79);
    xpMoveUpButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::MoveUpClick);
    xpMoveDownButton = addButton("Move Down", 296, 243, 79);
    xpMoveDownButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::MoveDownClick);
    xpNewFieldButton = addButton("New Field", 16, 342, 88);
    xpNewFieldButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::NewFieldClick);
    xpEditFieldButton = addButton("Edit Field", 108, 342, 88);
    xpEditFieldButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::EditFieldClick);
    xpDeleteFieldButton = addButton("Delete Field", 200, 342, 88);
    xpDeleteFieldButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::DeleteFieldClick);

    const int buttonTop = Panel1->Height - 29;
    xpOkButton = addButton("Ok", Panel1->Width - 182, buttonTop);
    xpOkButton->Default = true;
    xpOkButton->OnClick = TNotifyEvent(this, &TQZ_EditCat_Form::OkClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 91, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    KeyPreview = true;
    OnKeyDown = TKeyEvent(this, &TQZ_EditCat_Form::FormKeyDown);

    if (Edited) {
        if (Edited->getName().empty()) {
            MessageTitle->Caption = "New Category";
            NameLine->Caption = "Choose a name for this category, and enter it here.";
        }
    }
    RefreshFields(0);
}

int TQZ_EditCat_Form::SelectedField() const {
    int index = QCLListBox1->GetInteger(1);
    return Edited && index >= 0 && index < Edited->headerCount() ? index : -1;
}

void TQZ_EditCat_Form::enableFieldButtons(bool enabled) {
    for (TxpButton* button : {xpEditFieldButton, xpDeleteFieldButton, xpMoveUpButton, xpMoveDownButton})
        button->Enabled = enabled;
}

void TQZ_EditCat_Form::RefreshFields(int select) {
    QCLListBox1->Clear();
    FirstHeader = Edited ? Edited->headerList() : nullptr;
    enableFieldButtons(FirstHeader != nullptr);
    int number = 1;
    for (const header* h = FirstHeader; h; h = h->next, ++number)
        QCLListBox1->AddLine({std::to_string(number), h->name, recordrules::typeText(h->type),
                              recordrules::viewText(h->show)});
    if (FirstHeader) QCLListBox1->SetInteger(1, select);
}

void TQZ_EditCat_Form::ListClick(TObject*) { enableFieldButtons(true); }

void TQZ_EditCat_Form::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_DELETE && QCLListBox1->Focused()) {
        Key = 0;
        DeleteFieldClick(this);
    } else if (Shift.Contains(ssCtrl) && Key == 'N') {
        Key = 0;
        NewFieldClick(this);
    } else if (Shift.Contains(ssCtrl) && Key == 'E') {
        Key = 0;
        EditFieldClick(this);
    }
}

void TQZ_EditCat_Form::NewFieldClick(TObject*) {
    if (!Edited) return;
    if (Edited->headerCount() >= MaxHeaders) {
        inform(this, "You may only have a maximum of 30 fields in a single category.");
        return;
    }
    header field("", htOneLine, hsShown);
    std::unique_ptr<TQZ_NewHeader, void (*)(TQZ_NewHeader*)> dialog(MakeForm<TQZ_NewHeader>(this, &field),
                                                                   [](TQZ_NewHeader* form) { form->Free(); });
    if (dialog->ShowModal() == mrCancel || dialog->GetModalResult() != mrOk) return;
    Edited->addHeader(field.name, field.type, field.show, DefaultColumnWidth);
    RefreshFields(Edited->headerCount() - 1);
}

void TQZ_EditCat_Form::EditFieldClick(TObject*) {
    const int index = SelectedField();
    if (index < 0) return;
    {
        std::unique_ptr<TQZ_NewHeader, void (*)(TQZ_NewHeader*)> dialog(
            MakeForm<TQZ_NewHeader>(this, Edited->headerAt(index)), [](TQZ_NewHeader* form) { form->Free(); });
        dialog->ShowModal();
    }
    RefreshFields(index);
}

void TQZ_EditCat_Form::DeleteFieldClick(TObject*) {
    if (ShowMessageBox(this,
                       "By deleting this column, you will lose any data in the current category that is in this "
                       "column.  Are you sure you would like to do this?",
                       "Brimsafe", mbsYesNo, mbiCaution) != mbrYes)
        return;
    const int index = SelectedField();
    if (index < 0) return;
    Edited->removeHeader(index);
    RefreshFields(index < Edited->headerCount() ? index : Edited->headerCount() - 1);
}

void TQZ_EditCat_Form::MoveUpClick(TObject*) {
    const int index = SelectedField();
    if (index <= 0) return;
    Edited->moveHeader(index, index - 1);
    RefreshFields(index - 1);
}

void TQZ_EditCat_Form::MoveDownClick(TObject*) {
    const int index = SelectedField();
    if (index < 0 || index >= Edited->headerCount() - 1) return;
    Edited->moveHeader(index, index + 1);
    RefreshFields(index + 1);
}

void TQZ_EditCat_Form::OkClick(TObject*) {
    if (!Edited || Edited->visibleHeaderCount() == 0) {
        inform(this,
               "Each category must have at least one field.  Select the New Field button to add a field to the "
               "category.",
               mbiCaution);
        return;
    }
    const std::string name = QCLEdit1->GetText();
    if (!recordrules::nameIsAllowed(name)) {
        inform(this, recordrules::NameRuleMessage);
        return;
    }
    Edited->setName(name);
    ModalResult = mrOk;
}
