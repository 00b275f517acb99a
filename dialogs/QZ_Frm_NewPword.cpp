// The entry editor; see QZ_Frm_NewPword.h.
#include "dialogs/QZ_Frm_NewPword.h"

#include "dialogs/RecordDialogRules.h"
#include "fileenc/EncryptedFile.h"
#include "vault/logger.h"

#include <algorithm>
#include <memory>

TQZ_Form_NewPassword::TQZ_Form_NewPassword(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Category - $CATEGORY", 352, 207, DialogPlacement::OwnerCentred) {
    NewEntryScrollBox = new TScrollBox(this);
    NewEntryScrollBox->Parent = Panel1;
    NewEntryScrollBox->BorderStyle = bsNone;
    NewEntryScrollBox->Color = PanelColor;
    NewEntryScrollBox->SetBounds(0, 0, Panel1->Width, Panel1->Height - 35);
    NewEntryScrollBox->Anchors = TAnchors{akLeft, akTop, akRight, akBottom};
    NewEntryScrollBox->GetHorzScrollBar()->SetVisible(false);

    EntryPanel = new TPanel(this);
    EntryPanel->Parent = NewEntryScrollBox;
    EntryPanel->BevelOuter = bvNone;
    EntryPanel->Color = PanelColor;
    EntryPanel->SetBounds(0, 0, NewEntryScrollBox->Width, NewEntryScrollBox->Height);

    Label1 = new DialogLabel(this);
    Label1->Parent = EntryPanel;
    Label1->Transparent = true;
    Label1->Font->Height = -19;
    Label1->AutoSize = true;
    Label1->SetBounds(8, 6, 10, 10);
    Label1->Caption = "New Entry";
    Label2 = new DialogLabel(this);
    Label2->Parent = EntryPanel;
    Label2->Transparent = true;
    Label2->Font->Height = -13;
    Label2->AutoSize = true;
    Label2->SetBounds(8, 32, 10, 10);
    Label2->Caption = "Enter your new data below.";

    const int buttonTop = Panel1->Height - 29;
    xpOkButton = addButton("Ok", Panel1->Width - 166, buttonTop);
    xpOkButton->Default = true;
    xpOkButton->Anchors = TAnchors{akRight, akBottom};
    xpOkButton->OnClick = TNotifyEvent(this, &TQZ_Form_NewPassword::OkClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 83, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;
    xpCancelButton->Anchors = TAnchors{akRight, akBottom};

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Filter =
        "(*.*) All Files|*.*|(*.doc) Word Documents|*.doc|(*.wpd) Word Perfect Documents|*.wpd|(*.xls) Excel "
        "Spreadsheets|*.xls|(*.txt) Text Documents|*.txt";
    OnShow = TNotifyEvent(this, &TQZ_Form_NewPassword::FormShow);
}

void TQZ_Form_NewPassword::freeRows() {
    for (EditorRow& row : EditorRows_) {
        if (row.caption) row.caption->Free();
        if (row.edit) row.edit->Free();
        if (row.memo) row.memo->Free();
    }
    EditorRows_.clear();
}

void TQZ_Form_NewPassword::SetupEntry(header* firstHeader, bool editMode, const std::string& categoryName,
                                      int fieldCount, RowValues* values) {
    FieldCount = fieldCount;
    Values = values;
    if (Values && static_cast<int>(Values->size()) < FieldCount) Values->resize(FieldCount);
    MessageTitle->Caption = "Category - " + categoryName;
    Label1->Caption = editMode ? "Edit Entry" : "New Entry";
    freeRows();

    const recordrules::EntryLayout layout = recordrules::layoutEntry(firstHeader, PanelOffset);
    ClientWidth = layout.formWidth;
    ClientHeight = layout.formHeight;

    // The content panel is as tall as its rows; the scroll bar, when it shows, takes its width.
    const int boxHeight = NewEntryScrollBox->Height;
    const bool scrolls = layout.scrollRange > boxHeight;
    const int panelWidth = NewEntryScrollBox->Width - (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    NewEntryScrollBox->GetVertScrollBar()->SetPosition(0);
    EntryPanel->SetBounds(0, 0, panelWidth, std::max(boxHeight, layout.scrollRange));
    NewEntryScrollBox->GetVertScrollBar()->SetRange(layout.scrollRange);

    TLoadingGuard loading;
    std::size_t k = 0;
    int index = 0;
    for (const header* h = firstHeader; h && index < static_cast<int>(layout.slots.size()); h = h->next, ++index) {
        const recordrules::EntrySlot& slot = layout.slots[index];
        EditorRow row;
        row.kind = slot.kind;
        row.caption = new DialogLabel(this);
        row.caption->Parent = EntryPanel;
        row.caption->Transparent = true;
        row.caption->Font->Height = -11;
        row.caption->AutoSize = false;
        row.caption->SetBounds(8, slot.captionTop, panelWidth - 16, 16);
        row.caption->Caption = h->name + ":";
        const std::string value = editMode && Values && k < Values->size() ? (*Values)[k] : std::string();
        ++k;
        if (slot.kind == 1) {
            row.memo = new TMemo(this);
            row.memo->Parent = EntryPanel;
            row.memo->SetBounds(8, slot.controlTop, panelWidth - 16, 64);
            row.memo->ScrollBars = ssVertical;
            row.memo->WantReturns = true;
            row.memo->SetMaxLength(4096);
            row.memo->Anchors = TAnchors{akLeft, akTop, akRight};
            row.memo->TabOrder = index;
            row.memo->Text = value;
        } else {
            row.edit = new TQCLEdit(this);
            row.edit->Parent = EntryPanel;
            row.edit->SetBounds(8, slot.controlTop, panelWidth - 16, 21);
            row.edit->SetMaxLength(4096);
            row.edit->Anchors = TAnchors{akLeft, akTop, akRight};
            row.edit->TabOrder = index;
            row.edit->SetText(value);
        }
        EditorRows_.push_back(row);
    }
    loading.Finish();
    SetWindowRegion(Width, Height);
}

void TQZ_Form_NewPassword::FormShow(TObject*) {
    if (EditorRows_.empty()) return;
    const EditorRow& first = EditorRows_.front();
    TWinControl* control = first.memo ? static_cast<TWinControl*>(first.memo) : first.edit;
    if (control->CanFocus()) control->SetFocus();
}

void TQZ_Form_NewPassword::OkClick(TObject*) {
    traceLog.write("Pressed ok in NewPword");
    traceLog.write("setting vals");
    bool any = false;
    for (int i = 0; i < FieldCount && i < static_cast<int>(EditorRows_.size()); ++i) {
        const EditorRow& row = EditorRows_[i];
        std::string value = row.kind == 1 ? std::string(row.memo->Text()) : std::string(row.edit->GetText());
        traceLog.write("value " + std::to_string(i) + ": " + std::to_string(value.size()) + " characters");
        any = any || !value.empty();
        if (Values) (*Values)[i] = std::move(value);
    }
    traceLog.write("Done");
    ModalResult = any ? mrOk : mrCancel;
}

TQZ_Form_NewPassword::EditorRow* TQZ_Form_NewPassword::rowOf(TObject* control) {
    for (EditorRow& row : EditorRows_)
        if (control && (control == row.edit || control == row.memo)) return &row;
    return nullptr;
}

void TQZ_Form_NewPassword::PutFileIntoRow(TObject* control, const std::string& path) {
    EditorRow* row = rowOf(control);
    if (!row) return;
    std::string shown = path;
    if (IsEncrypted(path))
        if (std::optional<std::string> plain = StripExtension(path)) shown = *plain;
    if (row->edit) row->edit->SetText(shown);
    else row->memo->Text = shown;
}

void TQZ_Form_NewPassword::FileBrowseMouseRelease(TObject* Sender) {
    if (!rowOf(Sender) || !OpenDialog1->Execute()) return;
    PutFileIntoRow(Sender, std::string(OpenDialog1->FileName()));
}

int EditEntry(TComponent* owner, category& shown, bool editing, RowValues& values) {
    std::unique_ptr<TQZ_Form_NewPassword, void (*)(TQZ_Form_NewPassword*)> dialog(
        MakeForm<TQZ_Form_NewPassword>(owner), [](TQZ_Form_NewPassword* form) { form->Free(); });
    dialog->SetupEntry(shown.headerList(), editing, shown.getName(), shown.headerCount(), &values);
    return dialog->ShowModal();
}

void TQZ_Form_NewPassword::FileRemoveMouseRelease(TObject* Sender) {
    EditorRow* row = rowOf(Sender);
    if (!row) return;
    if (row->edit) row->edit->SetText("");
    else row->memo->Text = "";
}
