/*
 * Gallery entries of the library's button controls: the live radio buttons
 * (checked, unchecked, disabled) with the check box, group box and radio
 * group, and the library-only buttons: speed buttons with the glyph-kind
 * pictures, option groups, a drop-down button, shape buttons, a button panel,
 * an animation control and an edit with its own custom buttons.
 */
#include <windows.h>

#include "components/controls/QCLAniCtrl.h"
#include "components/controls/QCLButtonPanel.h"
#include "components/controls/QCLCheckBox.h"
#include "components/controls/QCLCustomEdit.h"
#include "components/controls/QCLGroupBox.h"
#include "components/controls/QCLMMButton.h"
#include "components/controls/QCLRadioGroup.h"
#include "components/controls/QCLShapeButton.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/QCLShadow.h"

#include "framework/Framework.h"
#include "tests/gallery/Gallery.h"

namespace {

class TSheet : public TForm {
public:
    TSheet(int width, int height) : TForm(nullptr) {
        BorderStyle = bsNone;
        SetColor(clBtnFace);
        SetBounds(40, 40, width, height);
    }
};

TLabel* caption(TWinControl* parent, int x, int y, const char* text) {
    auto* label = new TLabel(parent);
    label->Parent = parent;
    label->Transparent = true;
    label->SetBounds(x, y, 300, 14);
    label->Caption = text;
    return label;
}

TQCLRadioButton* radio(TWinControl* parent, int x, int y, const char* text) {
    auto* r = new TQCLRadioButton(parent);
    r->SetParent(parent);
    r->SetBounds(x, y, 200, 18);
    r->SetText(text);
    return r;
}

}  // namespace

BRIM_GALLERY_ENTRY("library-controls-buttons") {
    auto* form = new TSheet(560, 300);
    caption(form, 12, 8, "Radio buttons on the form");
    auto* group = new TQCLCustomControl(form);  // a plain parent: its own radio group
    group->SetParent(form);
    group->SetBounds(10, 26, 250, 100);
    group->SetColor(clBtnFace);
    radio(group, 4, 4, "Show in both areas");
    radio(group, 4, 26, "Only show in entry details area")->SetChecked(true);
    auto* secret = radio(group, 4, 48, "Secret field (disabled)");
    secret->SetEnabled(false);
    auto* disabledChecked = radio(form, 14, 128, "Checked and disabled");
    disabledChecked->SetChecked(true);
    disabledChecked->SetEnabled(false);

    caption(form, 12, 160, "Check boxes");
    const char* texts[] = {"Unchecked", "Checked", "Grayed", "Disabled checked"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new TQCLCheckBox(form);
        box->SetParent(form);
        box->SetBounds(14 + (i % 2) * 130, 180 + (i / 2) * 22, 125, 18);
        box->SetText(texts[i]);
        box->SetState(i == 0 ? cbUnchecked : i == 2 ? cbGrayed : cbChecked);
        box->SetEnabled(i != 3);
    }

    auto* box = new TQCLGroupBox(form);
    box->SetParent(form);
    box->SetBounds(290, 10, 250, 110);
    box->SetText("Group box");
    auto* inner = new TQCLCheckBox(form);
    inner->SetParent(box);
    inner->SetBounds(14, 30, 180, 18);
    inner->SetText("A child control");

    auto* radios = new TQCLRadioGroup(form);
    radios->SetParent(form);
    radios->SetBounds(290, 130, 250, 110);
    radios->SetText("Radio group, two columns");
    radios->GetItems()->Add("Alpha");
    radios->GetItems()->Add("Beta");
    radios->GetItems()->Add("Gamma");
    radios->SetColumns(2);
    radios->SetItemIndex(1);

    auto* left = new TQCLGroupBox(form);
    left->SetParent(form);
    left->SetBounds(290, 250, 250, 40);
    left->SetAlignCaption(gcaLeftCenter);
    left->SetText("Left");
    form->AfterConstruction();  // ends the loading bracket the controls were built in
    shot.form(form);
    form->Free();
}

BRIM_GALLERY_ENTRY("library-controls-more") {
    auto* form = new TSheet(600, 330);
    caption(form, 12, 8, "Speed buttons with the glyph kinds");
    for (int kind = gkEllipsis; kind <= gkFont; ++kind) {
        auto* button = new TQCLSpeedButton(form);
        button->SetParent(form);
        button->SetBounds(12 + (kind - 1) * 28, 26, 23, 22);
        button->SetGlyphKind(static_cast<TQCLGlyphKind>(kind));
    }
    caption(form, 12, 58, "Styles: Win31, Win40, flat, pressed group, disabled");
    const TQCLUserButtonStyle styles[] = {ubsWin31, ubsWin40, ubsFlat, ubsWin40, ubsWin40};
    for (int i = 0; i < 5; ++i) {
        auto* button = new TQCLSpeedButton(form);
        button->SetParent(form);
        button->SetBounds(12 + i * 60, 76, 55, 24);
        button->SetText(i == 3 ? "Set" : "Button");
        button->SetStyle(styles[i]);
        button->SetColor(clBtnFace);
        if (i == 3) {
            button->SetGroupIndex(1);
            button->SetPressed(true);
        }
        if (i == 4) button->SetEnabled(false);
    }
    auto* combo = new TQCLSpeedButton(form);
    combo->SetParent(form);
    combo->SetBounds(320, 76, 60, 24);
    combo->SetText("Menu");
    combo->SetDropDown(new TPopupMenu(form));
    combo->SetDropDownCombo(true);
    auto* office = new TQCLOfficeButton(form);
    office->SetParent(form);
    office->SetBounds(400, 76, 70, 24);
    office->SetText("Office");
    office->SetColor(clBtnFace);

    caption(form, 12, 112, "Shape buttons (the last one pressed)");
    const TQCLShapeType shapes[] = {TQCLShapeType::stEllipse, TQCLShapeType::stRectangle, TQCLShapeType::stStar,
                                    TQCLShapeType::stDiamond, TQCLShapeType::stRoundRect};
    for (int i = 0; i < 5; ++i) {
        auto* shape = new TQCLShapeButton(form);
        shape->SetParent(form);
        shape->SetBounds(12 + i * 90, 132, 80, 50);
        shape->GetShape()->SetShape(shapes[i]);
        shape->SetColor(clBtnFace);
        shape->GetShape()->GetShadow()->SetStyle(hssSolid);
        shape->GetShape()->GetShadow()->SetDepth(4);
        shape->GetColors()->SetColor(4, i % 2 ? static_cast<TColor>(0xF0CAA6) : static_cast<TColor>(0xC0DCC0));
        shape->GetColors()->SetColor(3, clYellow);
        shape->SetText(i == 4 ? "Down" : "Shape");
        if (i == 4) {
            shape->SetGroupIndex(2);
            shape->SetPressed(true);
        }
    }

    caption(form, 12, 196, "Button panel (7 buttons, 5 per row)");
    auto* panel = new TQCLButtonPanel(form);
    panel->SetParent(form);
    for (int i = 0; i < 7; ++i) panel->AddButton();
    panel->SetBounds(12, 216, 100, 20);
    panel->SetBorders();
    for (int i = 0; i < panel->ButtonCount(); ++i)
        panel->Button(i)->SetGlyphKind(static_cast<TQCLGlyphKind>(1 + i % 8));

    caption(form, 300, 196, "Animation control (frame 2 of 4)");
    auto* list = new TQCLImageList(form);
    list->Add();
    TQCLImageListItem* item = list->GetArrayItem(0);
    item->SetWidth(24);
    item->SetHeight(24);
    const TColor colours[] = {clRed, clLime, clBlue, clYellow};
    for (TColor c : colours) {
        TBitmap frame;
        frame.SetPixelFormat(pf24bit);
        frame.SetSize(24, 24);
        frame.GetCanvas()->GetBrush()->SetColor(clWhite);
        frame.GetCanvas()->FillRect(TRect(0, 0, 24, 24));
        frame.GetCanvas()->GetBrush()->SetColor(c);
        frame.GetCanvas()->Ellipse(TRect(2, 2, 22, 22));
        item->Add(&frame, nullptr);
    }
    auto* ani = new TQCLAniCtrl(form);
    ani->SetParent(form);
    ani->SetBounds(300, 216, 30, 30);
    ani->SetColor(clBtnFace);
    ani->SetImageList(list);
    ani->SetStopFrame(3);  // inside the loading bracket the range comes from the layout
    caption(form, 480, 196, "Multimedia button");
    auto* mm = new TQCLMMButton(form);
    mm->SetParent(form);
    mm->SetBounds(480, 216, 24, 24);
    mm->SetColor(clBtnFace);
    mm->SetButtonFaceImageList(list);
    mm->SetButtonFaceIndex(bsUp, QCLFaceIndex(0, 1));
    mm->SetButtonFaceIndex(bsDown, QCLFaceIndex(0, 0));

    caption(form, 12, 266, "Edit with two custom buttons");
    auto* edit = new TQCLEdit(form);
    edit->SetParent(form);
    edit->SetBounds(12, 284, 260, 24);
    edit->SetText("C:\\Vaults\\Home.vlt");
    edit->GetCustomButtons()->Add()->SetString(0, "...");
    TBitmap folder;
    if (QCLGetGlyphKind(&folder, gkFolder)) edit->GetCustomButtons()->Add()->SetGlyph(&folder);
    form->AfterConstruction();
    ani->Move(2);
    shot.form(form);
    form->Free();
}
