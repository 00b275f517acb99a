// The one-time tip; see QZ_Frm_DontShowAgain.h.
#include "dialogs/QZ_Frm_DontShowAgain.h"

#include "skin/art/DialogArt.h"

#include <memory>

namespace {
constexpr int ButtonStrip = 36;  // the dark strip under the content panel that holds "Ok"
}

TFrm_DontShowAgain::TFrm_DontShowAgain(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Brimsafe", 318, 279, DialogPlacement::OwnerCentred) {
    KeyPreview = true;
    Panel1->Height = Panel1->Height - ButtonStrip;

    Message = addText("", 8, 8, MessageWidth);
    Image2 = new TImage(this);
    Image2->Parent = Panel1;
    Image2->Picture->Bitmap->LoadFromResourceID(HInstance, IDB_DIALOG_SORT_TIP);
    Image2->SetBounds((Panel1->Width - DialogArtSortTipWidth) / 2, 40, DialogArtSortTipWidth, DialogArtSortTipHeight);
    Image2->Visible = false;

    CheckBox1 = new TQCLCheckBox(this);
    CheckBox1->Parent = Panel1;
    CheckBox1->Caption = "Do not show me again";
    CheckBox1->Color = PanelColor;
    CheckBox1->SetBounds(8, Panel1->Height - 25, 200, 17);
    CheckBox1->Anchors = TAnchors{akLeft, akBottom};
    CheckBox1->TabStop = false;

    xpOkButton = new TxpButton(this);
    xpOkButton->Parent = this;
    xpOkButton->SetBounds(Width - 75 - 17, Height - ButtonStrip + 1, 75, 23);
    xpOkButton->Anchors = TAnchors{akRight, akBottom};
    xpOkButton->Caption = "Ok";
    xpOkButton->Cursor = crHandPoint;
    xpOkButton->Font->Height = -13;
    xpOkButton->Default = true;
    xpOkButton->OnClick = TNotifyEvent(this, &TFrm_DontShowAgain::OkClick);

    OnShow = TNotifyEvent(this, &TFrm_DontShowAgain::FormShow);
    OnKeyUp = TKeyEvent(this, &TFrm_DontShowAgain::FormKeyUp);
}

void TFrm_DontShowAgain::SetTip(const std::string& title, const std::string& message, int tipId) {
    // The label fits itself to its text within the width it has when the text comes.
    Message->AutoSize = true;
    Message->Alignment = agTopLeft;
    Message->Width = MessageWidth;
    Message->Caption = message;
    MessageTitle->Caption = title;
    if (tipId == tips::PictureTipId) {
        Image2->Top = Message->Top + Message->Height + 8;
        Image2->Visible = true;
    } else {
        Image2->Visible = false;
    }
}

void TFrm_DontShowAgain::FormShow(TObject*) {
    Height = Height + Message->Height + CheckBox1->Height + 3 * Message->Top +
             (Image2->Visible ? Image2->Height + 8 : 0) - Panel1->Height - 1;
    SetWindowRegion(Width, Height);
    if (Message->Height <= OneLineHeight) {
        // One line: centred over the whole width.
        Message->AutoSize = false;
        Message->SetBounds(Message->Left, Message->Top, MessageWidth, Message->Height);
        Message->Alignment = agTopCenter;
    } else {
        Message->Alignment = agTopLeft;
    }
}

void TFrm_DontShowAgain::FormKeyUp(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_SPACE) return;
    CheckBox1->Checked = !CheckBox1->Checked;
    // Space on the focused "Ok" has clicked it already, on this key's release: the box it ticks
    // goes with that answer.
    if (ModalResult != mrNone) OkClick(xpOkButton);
}

void TFrm_DontShowAgain::OkClick(TObject*) { ModalResult = CheckBox1->Checked ? 1 : 2; }

int RaiseTip(TComponent* owner, int tipId, const std::string& text) {
    std::unique_ptr<TFrm_DontShowAgain, void (*)(TFrm_DontShowAgain*)> dialog(
        MakeForm<TFrm_DontShowAgain>(owner), [](TFrm_DontShowAgain* form) { form->Free(); });
    if (!TFrm_DontShowAgain::IsTipEnabled(tipId, tips::ValueName)) return 0;
    dialog->SetTip(tips::Title, text, tipId);
    const int result = dialog->ShowModal();
    if (result == 1) TFrm_DontShowAgain::DisableTip(tipId, tips::ValueName);
    return result;
}
