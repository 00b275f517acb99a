// The three-state check box; see QCLCheckBox.h.
#include "components/controls/QCLCheckBox.h"

#include <algorithm>

TCheckBoxState QCLNextCheckState(TCheckBoxState State, bool AllowGrayed) {
    switch (State) {
    case cbUnchecked: return AllowGrayed ? cbGrayed : cbChecked;
    case cbChecked: return cbUnchecked;
    default: return cbChecked;
    }
}

TQCLCustomCheckBox::TQCLCustomCheckBox(TComponent* AOwner) : TQCLButtonControl(AOwner) {
    SetTabStop(true);
    SetColor(clBtnFace);
    glyphSize_ = 13;
    glyphNumber_ = 3;
    CreateStandardGlyph();
}

void TQCLCustomCheckBox::updateCellWidth() {
    const bool image = GetImageList() && !IMLEmpty();
    int cells = image ? 2 * glyphNumber_ * (GetFlat() ? 2 : 1) : 12;
    cellWidth_ = glyph_->GetWidth() / std::max(1, cells);
}

void TQCLCustomCheckBox::CreateStandardGlyph() {
    const UINT look = glyphFlat_ ? DFCS_FLAT : 0;
    const UINT idle = DFCS_FLAT | DFCS_MONO;
    const UINT cells[12] = {look,         look | DFCS_INACTIVE,         look | DFCS_CHECKED,
                            look | DFCS_CHECKED | DFCS_INACTIVE,
                            DFCS_BUTTON3STATE | look | DFCS_CHECKED,
                            DFCS_BUTTON3STATE | look | DFCS_CHECKED | DFCS_INACTIVE,
                            idle,         idle | DFCS_INACTIVE,         idle | DFCS_CHECKED,
                            idle | DFCS_CHECKED | DFCS_INACTIVE,
                            DFCS_BUTTON3STATE | idle | DFCS_CHECKED,
                            DFCS_BUTTON3STATE | idle | DFCS_CHECKED | DFCS_INACTIVE};
    buildStrip(12, DFCS_BUTTONCHECK, cells, clBtnFace);
    updateCellWidth();
}

void TQCLCustomCheckBox::SetNumGlyphs(uint8_t Value) {
    Value = std::max<uint8_t>(Value, 1);
    if (glyphNumber_ == Value) return;
    glyphNumber_ = Value;
    GetIMLChange(this);
}

int TQCLCustomCheckBox::CurrentCell() {
    const int state = std::min<int>(GetFieldState(), glyphNumber_ - 1);
    int cell = 2 * state + (GetEnabled() ? 0 : 1);
    if (GetFlat() && !MouseAbove() && !(HandleAllocated() && Focused())) cell += 6;
    return cell;
}

TRect TQCLCustomCheckBox::DrawItem(TCanvas* Canvas, bool Draw, uint8_t) {
    return drawCaptionAndCell(Canvas, Draw, CurrentCell(), false);
}

void TQCLCustomCheckBox::SetState(TCheckBoxState Value) {
    if (state_ == Value) return;
    state_ = Value;
    repaintNow();
}

void TQCLCustomCheckBox::SetChecked(bool Value) {
    if (GetChecked() == Value) return;
    SetState(Value ? cbChecked : cbUnchecked);
}

void TQCLCustomCheckBox::Toggle() {
    const TCheckBoxState next = QCLNextCheckState(state_, allowGrayed_);
    if (next == state_) return;
    SetState(next);
    if (OnStateChange) OnStateChange(this);
}

void TQCLCustomCheckBox::Click() {
    if (CanModify()) {
        Toggle();
        Changed();
    }
    TQCLButtonControl::Click();
}

void TQCLCustomCheckBox::DoEnter() {
    TQCLButtonControl::DoEnter();
    repaintNow();
}

void TQCLCustomCheckBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
        TQCLButtonControl::Dispatch(Message);
        if (Message.WParam == VK_SPACE && HandleAllocated() && Focused() && CanModify()) Toggle();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), GetText()) && CanFocus()) {
            SetFocus();
            if (Focused()) Toggle();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TQCLButtonControl::Dispatch(Message);
}
