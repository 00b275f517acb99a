// The captioned group frame; see QCLGroupBox.h.
#include "components/controls/QCLGroupBox.h"

#include "components/runtime/Qclutils.h"

#include <algorithm>

TQCLGroupSide QCLGroupCaptionSide(TQCLGroupCaptionAlign Align) { return static_cast<TQCLGroupSide>(Align / 3); }

TQCLGroupBoxLayout QCLGroupBoxLayout(TQCLGroupCaptionAlign Align, int CaptionOffset, int Width, int Height,
                                     int CaptionHeight) {
    const int h = CaptionHeight;
    const int half = h / 2 - 1;
    int s = 0, e = 0;
    switch (Align) {
    case gcaTopLeft: case gcaLeftBottom: case gcaBottomLeft: case gcaRightTop: s = CaptionOffset; break;
    case gcaTopRight: case gcaLeftTop: case gcaBottomRight: case gcaRightBottom: e = CaptionOffset; break;
    default: break;
    }
    TQCLGroupBoxLayout out;
    switch (QCLGroupCaptionSide(Align)) {
    case gsTop:
        out.Caption = TRect(s, 0, Width - e, h);
        out.Frame = TRect(0, half, Width, Height);
        break;
    case gsLeft:
        out.Caption = TRect(0, e, h, Height - s);
        out.Frame = TRect(half, 0, Width, Height);
        break;
    case gsBottom:
        out.Caption = TRect(s, Height - h, Width - e, Height);
        out.Frame = TRect(0, 0, Width, Height - half);
        break;
    default:
        out.Caption = TRect(Width - h, s + 2, Width, Height - e);
        out.Frame = TRect(0, 0, Width - half, Height);
        break;
    }
    static const TQCLAlignment textAlign[12] = {agTopLeft,     agTopCenter,    agTopRight,   agBottomLeft,
                                                agCenterLeft,  agTopLeft,      agBottomLeft, agBottomCenter,
                                                agBottomRight, agTopRight,     agCenterRight, agBottomRight};
    out.TextAlign = textAlign[Align];
    return out;
}

TQCLCustomGroupBox::TQCLCustomGroupBox(TComponent* AOwner) : TQCLCustomParentPanel(AOwner) {
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                  csReplicatable});
    bevel_->SetMode(bmStandard);
    bevel_->SetStandardStyle(lsFrameInset);
    captionFont3D_ = new TQCL3DCaption;
    captionFont3D_->OnChange = TNotifyEvent(this, &TQCLCustomGroupBox::GetChange);
    captionFont_ = new TFont;
    captionFont_->Assign(GetFont());
    captionFont_->OnChange = TNotifyEvent(this, &TQCLCustomGroupBox::captionFontChanged);
    rotated_ = new TQCLFxCaption;
    SetCaptionHeight();
    SetBounds(GetLeft(), GetTop(), 185, 105);
}

TQCLCustomGroupBox::~TQCLCustomGroupBox() {
    captionFont_->OnChange = nullptr;
    captionFont3D_->OnChange = nullptr;
    delete captionFont_;
    delete captionFont3D_;
    delete rotated_;
}

bool TQCLCustomGroupBox::HasCaption() {
    const AnsiString text = GetText();
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

void TQCLCustomGroupBox::SetCaptionHeight() {
    rotated_->Assign(captionFont3D_);
    switch (QCLGroupCaptionSide(align_)) {
    case gsLeft: rotated_->SetAngle(90); break;
    case gsRight: rotated_->SetAngle(270); break;
    default: rotated_->SetAngle(0); break;
    }
    if (rotated_->GetAngle() != 0 && !QCLIsTrueTypeFont(captionFont_)) {
        TNotifyEvent saved = captionFont_->OnChange;
        captionFont_->OnChange = nullptr;
        captionFont_->SetName("Arial");
        captionFont_->OnChange = saved;
    }
    captionHeight_ = QCLGet3DTextHeight(rotated_, captionFont_);
}

void TQCLCustomGroupBox::captionFontChanged(TObject*) {
    captionParentFont_ = false;
    if (!IsLoading()) Invalidate();
}

void TQCLCustomGroupBox::GetChange(TObject* Sender) {
    if (Sender == captionFont3D_) {
        SetCaptionHeight();
        if (!IsLoading()) {
            Invalidate();
            Realign();
        }
        return;
    }
    TQCLCustomParentPanel::GetChange(Sender);
    if (!IsLoading() && HandleAllocated()) Invalidate();
}

void TQCLCustomGroupBox::SetAlignCaption(TQCLGroupCaptionAlign Value) {
    if (align_ == Value) return;
    align_ = Value;
    GetChange(captionFont3D_);
}

void TQCLCustomGroupBox::SetCaptionOffset(int Value) {
    if (captionOffset_ == Value) return;
    captionOffset_ = Value;
    GetChange(this);
}

void TQCLCustomGroupBox::SetAccelChar(bool Value) {
    if (showAccelChar_ == Value) return;
    showAccelChar_ = Value;
    GetChange(this);
}

void TQCLCustomGroupBox::SetCaptionParentFont(bool Value) {
    if (captionParentFont_ == Value) return;
    captionParentFont_ = Value;
    if (GetParent()) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TQCLCustomGroupBox::AlignControls(TControl* AControl, TRect& Rect) {
    if (HasCaption()) {
        switch (QCLGroupCaptionSide(align_)) {
        case gsTop: Rect.Top += captionHeight_; break;
        case gsLeft: Rect.Left += captionHeight_; break;
        case gsBottom: Rect.Bottom -= captionHeight_; break;
        default: Rect.Right -= captionHeight_; break;
        }
    }
    TQCLCustomParentPanel::AlignControls(AControl, Rect);
}

void TQCLCustomGroupBox::Paint() {
    if (IsLoading()) return;
    FillControl();
    TCanvas* canvas = GetCanvas();
    if (!HasCaption()) {
        bevel_->PaintBevel(canvas, GetClientRect(), false);
        return;
    }
    const TQCLGroupBoxLayout layout =
        QCLGroupBoxLayout(align_, captionOffset_, GetWidth(), GetHeight(), captionHeight_);
    bevel_->PaintBevel(canvas, layout.Frame, false);
    canvas->SetFont(captionFont_);
    TRect text = QCLAlignTextRect(layout.TextAlign, GetText(), rotated_, layout.Caption, captionFont_, false,
                                  showAccelChar_, DT_SINGLELINE);
    TRect back = text;
    switch (QCLGroupCaptionSide(align_)) {
    case gsLeft: back.Bottom += 2; break;
    case gsRight: back.Top -= 2; break;
    default: back.Left -= 2; break;
    }
    RepBack(back);
    UINT flags = DT_SINGLELINE | DT_EXPANDTABS;
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->SetFont(captionFont_);
    TQCLDrawTextStyles state;
    state << (GetEnabled() ? dtEnabled : dtDisabled);
    QCLDrawTextExt(canvas, GetText(), rotated_, text, flags, state, nullptr);
    canvas->SetFont(GetFont());
}

void TQCLCustomGroupBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), GetText()) && CanFocus()) {
            for (int i = 0; i < GetControlCount(); ++i) {
                auto* child = dynamic_cast<TWinControl*>(GetControl(i));
                if (child && child->CanFocus()) {
                    child->SetFocus();
                    Message.Result = 1;
                    return;
                }
            }
        }
        break;
    case CM_ENABLEDCHANGED:
        TQCLCustomParentPanel::Dispatch(Message);
        Repaint();
        return;
    case CM_PARENTFONTCHANGED:
        TQCLCustomParentPanel::Dispatch(Message);
        if (captionParentFont_) {
            TNotifyEvent saved = captionFont_->OnChange;
            captionFont_->OnChange = nullptr;
            TFont* carried = Message.WParam ? reinterpret_cast<TFont*>(Message.LParam) : nullptr;
            captionFont_->Assign(carried ? carried : GetFont());
            captionFont_->OnChange = saved;
            SetCaptionHeight();
        }
        Invalidate();
        Realign();
        return;
    case CM_TEXTCHANGED:
        TQCLCustomParentPanel::Dispatch(Message);
        Invalidate();
        Realign();
        return;
    default:
        break;
    }
    TQCLCustomParentPanel::Dispatch(Message);
}
