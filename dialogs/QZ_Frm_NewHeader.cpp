// The field editor; see QZ_Frm_NewHeader.h.
#include "dialogs/QZ_Frm_NewHeader.h"

#include "dialogs/RecordDialogRules.h"
#include "skin/ZM_MessageBox.h"

namespace {

TPanel* groupPanel(TComponent* owner, TWinControl* parent, int left, int top, int width, int height) {
    auto* panel = new TPanel(owner);
    panel->Parent = parent;
    panel->BevelOuter = bvNone;
    panel->Color = TSkinnedDialog::PanelColor;
    panel->SetBounds(left, top, width, height);
    return panel;
}

}  // namespace

TQZ_NewHeader::TQZ_NewHeader(TComponent* AOwner, header* field)
    : TSkinnedDialog(AOwner, "New Field", 392, 412, DialogPlacement::OwnerCentred), Field(field) {
    const int textWidth = Panel1->Width - 32;
    addLabel("Field Name", 16, 8, -19);
    addLabel("Name:", 16, 41);
    Edit1 = addEdit(90, 38, 200);
    Edit1->SetMaxLength(4096);

    addLabel("Field Type", 16, 74, -19);
    addText("The field type determines how large its edit box will be.", 16, 100, textWidth);
    addLabel("Type:", 16, 127);
    TPanel* types = groupPanel(this, Panel1, 90, 124, 260, 22);
    RadioButton1 = addRadio(types, "One Line", 0, 2, 100);
    RadioButton2 = addRadio(types, "Paragraph", 110, 2, 110);
    RadioButton1->OnClick = TNotifyEvent(this, &TQZ_NewHeader::OneLineClick);
    RadioButton2->OnClick = TNotifyEvent(this, &TQZ_NewHeader::ParagraphClick);

    addLabel("Field View", 16, 158, -19);
    addText("Fields shown in both areas are columns of the entry list and rows of the entry details area.  "
            "Other fields appear only in the details area; hideable ones show asterisks there while "
            "passwords are hidden.",
            16, 184, textWidth);
    addLabel("Property:", 16, 255);
    TPanel* views = groupPanel(this, Panel1, 90, 252, 270, 78);
    QCLRadioButton1 = addRadio(views, "Show in both areas", 0, 2, 260);
    QCLRadioButton2 = addRadio(views, "Only show in entry details area", 0, 24, 260);
    QCLRadioButton3 = addRadio(views, "Only in edit view, hideable with", 0, 46, 260);
    HideableSecondLine = new DialogLabel(this);
    HideableSecondLine->Parent = views;
    HideableSecondLine->Transparent = true;
    HideableSecondLine->Font->Height = -11;
    HideableSecondLine->AutoSize = true;
    HideableSecondLine->SetBounds(20, 62, 10, 10);
    HideableSecondLine->Caption = "Hide Passwords option (in tools)";

    const int buttonTop = Panel1->Height - 33;
    xpOkButton = addButton("Ok", Panel1->Width - 182, buttonTop);
    xpOkButton->Default = true;
    xpOkButton->OnClick = TNotifyEvent(this, &TQZ_NewHeader::OkClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 91, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    if (!Field) return;
    if (!Field->name.empty()) MessageTitle->Caption = "Edit Field";
    Edit1->Text = Field->name;
    const bool paragraph = Field->type == htParagraph;
    (paragraph ? RadioButton2 : RadioButton1)->SetCheckedFromAction(true);
    TQCLRadioButton* view = Field->show == hsEditorOnly ? QCLRadioButton2
                            : Field->show == hsSecret   ? QCLRadioButton3
                                                        : QCLRadioButton1;
    if (paragraph && view == QCLRadioButton3) view = QCLRadioButton2;
    view->SetCheckedFromAction(true);
    SetHideableEnabled(!paragraph);
}

void TQZ_NewHeader::SetHideableEnabled(bool enabled) {
    QCLRadioButton3->Enabled = enabled;
    HideableSecondLine->Enabled = enabled;
}

TQCLRadioButton* TQZ_NewHeader::addRadio(TWinControl* group, const char* caption, int left, int top, int width) {
    auto* radio = new TQCLRadioButton(this);
    radio->Parent = group;
    radio->SetBounds(left, top, width, 18);
    radio->Caption = caption;
    radio->Color = PanelColor;
    radio->Font->Height = -11;
    return radio;
}

void TQZ_NewHeader::OneLineClick(TObject*) { SetHideableEnabled(true); }

void TQZ_NewHeader::ParagraphClick(TObject*) {
    if (QCLRadioButton3->Checked) QCLRadioButton2->SetCheckedFromAction(true);
    SetHideableEnabled(false);
}

void TQZ_NewHeader::EnableHideableClick(TObject*) { SetHideableEnabled(true); }

void TQZ_NewHeader::OkClick(TObject*) {
    const std::string name = Edit1->Text;
    if (name.empty()) {
        ShowMessageBox(this, "You may not have a field with no name.  Please enter a name for your field, or click cancel.",
                       "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    if (!recordrules::nameIsAllowed(name)) {
        ShowMessageBox(this, recordrules::NameRuleMessage, "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    if (Field) {
        Field->name = name;
        Field->type = RadioButton2->Checked ? htParagraph : htOneLine;
        Field->show = QCLRadioButton3->Checked ? hsSecret : QCLRadioButton2->Checked ? hsEditorOnly : hsShown;
        if (Field->show == hsShown) Field->width = DefaultColumnWidth;
    }
    ModalResult = mrOk;
}
