// The two-state button base and the radio buttons; see QCLRadioButton.h.
#include "components/controls/QCLRadioButton.h"

#include "framework/ActnList.h"

#include "components/controls/QCLRadioGroup.h"
#include "components/runtime/Qclutils.h"

#include <algorithm>
#include <memory>

// ---------------------------------------------------------------------------
// TQCLButtonControl

TQCLButtonControl::TQCLButtonControl(TComponent* AOwner) : TQCLCustomPanel(AOwner) {
    TControlStyle style = GetControlStyle();
    style >> csAcceptsControls >> csDoubleClicks;
    style << csSetCaption << csOpaque;
    SetControlStyle(style);
    ImeMode = imDisable;
    SetBounds(GetLeft(), GetTop(), 105, 17);
    font3D_ = new TQCL3DCaption;
    font3D_->OnChange = TNotifyEvent(this, &TQCLButtonControl::GetChange);
    alignment_ = new TQCLGlyphTextLayout;
    alignment_->SetSpacing(4);
    alignment_->OnChange = TNotifyEvent(this, &TQCLButtonControl::GetChange);
    glyph_ = new TBitmap;
}

TQCLButtonControl::~TQCLButtonControl() {
    alignment_->OnChange = nullptr;
    font3D_->OnChange = nullptr;
    delete alignment_;
    delete font3D_;
    delete glyph_;
}

void TQCLButtonControl::CreateParams(TCreateParams& Params) {
    TQCLCustomPanel::CreateParams(Params);
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TQCLButtonControl::Loaded() {
    TQCLCustomPanel::Loaded();
    GetCanvas()->SetFont(GetFont());
    CorrectBounds();
}

void TQCLButtonControl::repaintNow() {
    if (deferPaint_ || IsLoading()) return;
    if (HandleAllocated()) Invalidate();
}

void TQCLButtonControl::GetChange(TObject* Sender) {
    if (IsLoading()) return;
    CorrectBounds();
    if (deferPaint_) return;
    TQCLCustomPanel::GetChange(Sender);
    repaintNow();
}

bool TQCLButtonControl::GetBool(int Index) const {
    switch (Index) {
    case 0: return autoSize_;
    case 1: return glyphTransparent_;
    default: return glyphFlat_;
    }
}

void TQCLButtonControl::SetBool(int Index, bool Value) {
    if (GetBool(Index) == Value) return;
    switch (Index) {
    case 0:
        autoSize_ = Value;
        CorrectBounds();
        break;
    case 1:
        glyphTransparent_ = Value;
        repaintNow();
        break;
    default:
        glyphFlat_ = Value;
        if (!GetImageList()) {
            CreateStandardGlyph();
            GetChange(this);
        }
        break;
    }
}

void TQCLButtonControl::SetGlyphSize(uint8_t Value) {
    if (glyphSize_ == Value) return;
    glyphSize_ = Value;
    if (!GetImageList()) {
        CreateStandardGlyph();
        GetChange(this);
    }
}

void TQCLButtonControl::SetTransparentColor(TColor Value) {
    if (glyphTransparentColor_ == Value) return;
    glyphTransparentColor_ = Value;
    GetChange(this);
}

void TQCLButtonControl::SetFocusStyle(TQCLGlyphTextFocusStyle Value) {
    if (focusStyle_ == Value) return;
    focusStyle_ = Value;
    if (HandleAllocated() && Focused()) GetChange(this);
}

void TQCLButtonControl::SetFocusColor(TColor Value) {
    if (focusColor_ == Value) return;
    focusColor_ = Value;
    if (HandleAllocated() && Focused()) GetChange(this);
}

void TQCLButtonControl::SetUseFocusColor(bool Value) {
    if (useFocusColor_ == Value) return;
    useFocusColor_ = Value;
    if (HandleAllocated() && Focused()) GetChange(this);
}

void TQCLButtonControl::SetUseBitmap(bool Value) {
    if (useBitmap_ == Value) return;
    useBitmap_ = Value;
    repaintNow();
}

void TQCLButtonControl::DrawFocus(TCanvas* Canvas, const TRect& R) {
    if (useFocusColor_) {
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetPen()->SetStyle(psDot);
        Canvas->GetPen()->SetWidth(1);
        Canvas->GetPen()->SetColor(focusColor_);
        Canvas->Rectangle(R);
        Canvas->GetPen()->SetStyle(psSolid);
    } else {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetFont()->SetColor(clBlack);
        Canvas->DrawFocusRect(R);
    }
}

void TQCLButtonControl::CorrectBounds() {
    if (!autoSize_ || IsLoading()) return;
    TNotifyEvent saved = alignment_->OnChange;
    alignment_->OnChange = nullptr;
    TQCLAlignment old = alignment_->GetAlignment();
    alignment_->SetAlignment(agTopLeft);
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.GetCanvas()->SetFont(GetFont());
    TRect extent = DrawItem(measure.GetCanvas(), false, 0);
    alignment_->SetAlignment(old);
    alignment_->OnChange = saved;
    if (extent.Right > 0 && extent.Bottom > 0) SetBounds(GetLeft(), GetTop(), extent.Right, extent.Bottom);
}

TRect TQCLButtonControl::drawCaptionAndCell(TCanvas* Canvas, bool Draw, int Cell, bool NarrowRight) {
    Canvas->GetBrush()->SetColor(GetColor());
    Canvas->SetFont(GetFont());
    TRect cellRect(Cell * cellWidth_, 0, (Cell + 1) * cellWidth_, glyph_->GetHeight());
    // A cell beyond the strip is never read: the caption is drawn alone.
    if (cellWidth_ <= 0 || cellRect.Right > glyph_->GetWidth() || glyph_->GetEmpty()) cellRect = TRect();
    TRect dest = GetClientRect();
    dest.Left += 1;
    if (NarrowRight) dest.Right -= 1;
    TQCLDrawTextStyles styles;
    if (Draw) styles = QCLConvertFocusStyle(focusStyle_);
    styles << dt3DDisabled << (GetEnabled() ? dtEnabled : dtDisabled);
    if (!Draw) styles << dtCalculate;
    TRect glyphRect = cellRect;
    TCanvas* glyphCanvas = cellRect.IsEmpty() ? nullptr : glyph_->GetCanvas();
    TQCLTextGlyphRects rects =
        QCLDrawTextAndGlyphExt(Canvas, GetText(), font3D_, dest, glyphCanvas, glyphRect, nullptr,
                               glyphTransparentColor_, alignment_, false, true, glyphTransparent_, styles,
                               static_cast<UINT>(DrawTextBiDiModeFlagsReadingOnly()));
    if (!Draw) return rects.Union;
    if (HandleAllocated() && Focused() && focusStyle_ != fcNone) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        DrawFocus(Canvas, focusStyle_ == fcControl ? GetClientRect() : glyphRect);
    }
    return glyphRect;
}

void TQCLButtonControl::buildStrip(int Cells, UINT Kind, const UINT* CellFlags, TColor Background) {
    const int size = glyphSize_ ? glyphSize_ : 1;
    glyph_->SetPixelFormat(pf24bit);
    glyph_->SetSize(Cells * size, size);
    TCanvas* canvas = glyph_->GetCanvas();
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(Background);
    canvas->FillRect(TRect(0, 0, Cells * size, size));
    for (int i = 0; i < Cells; ++i) {
        RECT r = {i * size, 0, (i + 1) * size, size};
        DrawFrameControl(canvas->GetHandle(), &r, DFC_BUTTON, Kind | CellFlags[i]);
    }
    canvas->Refresh();
}

void TQCLButtonControl::GetIMLChange(TObject* Sender) {
    if (GetImageList() && !IMLEmpty()) {
        GetImageList()->GetBitmapItem(GetListIndex(), GetImageIndex(), glyph_);
        updateCellWidth();
    } else {
        CreateStandardGlyph();
    }
    GetChange(Sender);
}

void TQCLButtonControl::DoFlatChanged() {
    updateCellWidth();
    repaintNow();
}

void TQCLButtonControl::Paint() {
    if (!HandleAllocated()) return;
    if (useBitmap_) {
        const TRect client = GetClientRect();
        TBitmap bitmap;
        bitmap.SetPixelFormat(pf24bit);
        bitmap.SetSize(client.Width(), client.Height());
        TCanvas* canvas = bitmap.GetCanvas();
        if (!(CheckOptimized() && BackDrawArea(canvas, client, TPoint(0, 0)))) {
            canvas->GetBrush()->SetStyle(bsSolid);
            canvas->GetBrush()->SetColor(GetColor());
            canvas->FillRect(client);
        }
        DrawItem(canvas, true, 0);
        GetCanvas()->Draw(0, 0, &bitmap);
    } else {
        FillControl();
        DrawItem(GetCanvas(), true, 0);
    }
}

void TQCLButtonControl::DoExit() {
    TQCLCustomPanel::DoExit();
    Invalidate();
}

void TQCLButtonControl::MouseEnter() {
    TQCLCustomPanel::MouseEnter();
    if (GetFlat()) repaintNow();
}

void TQCLButtonControl::MouseExit() {
    TQCLCustomPanel::MouseExit();
    if (GetFlat()) repaintNow();
}

void TQCLButtonControl::WndProc(TMessage& Message) {
    if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
        !GetComponentState().Contains(csDesigning) && HandleAllocated() && !Focused()) {
        programmatic_ = true;
        if (CanFocus()) SetFocus();
        programmatic_ = false;
        if (!Focused()) return;
    }
    TQCLCustomPanel::WndProc(Message);
}

void TQCLButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
        TQCLCustomPanel::Dispatch(Message);
        GetChange(this);
        return;
    case CM_TEXTCHANGED:
        TQCLCustomPanel::Dispatch(Message);
        CorrectBounds();
        Invalidate();
        return;
    case WM_SIZE:
        TQCLCustomPanel::Dispatch(Message);
        repaintNow();
        return;
    default:
        break;
    }
    TQCLCustomPanel::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLRadioButton

TQCLRadioButton::TQCLRadioButton(TComponent* AOwner) : TQCLButtonControl(AOwner) {
    TControlStyle style = GetControlStyle();
    style << csDoubleClicks;
    SetControlStyle(style);
    SetColor(clBtnFace);
    glyphSize_ = 13;
    glyphTransparent_ = true;
    CreateStandardGlyph();
}

void TQCLRadioButton::updateCellWidth() {
    const int cells = (GetImageList() && !IMLEmpty()) ? (GetFlat() ? 8 : 4) : 8;
    cellWidth_ = glyph_->GetWidth() / cells;
}

void TQCLRadioButton::CreateStandardGlyph() {
    const UINT look = glyphFlat_ ? DFCS_FLAT : 0;
    const UINT cells[8] = {look,
                           look | DFCS_INACTIVE,
                           look | DFCS_CHECKED,
                           look | DFCS_CHECKED | DFCS_INACTIVE,
                           DFCS_FLAT | DFCS_MONO,
                           DFCS_FLAT | DFCS_MONO | DFCS_INACTIVE,
                           DFCS_FLAT | DFCS_MONO | DFCS_CHECKED,
                           DFCS_FLAT | DFCS_MONO | DFCS_CHECKED | DFCS_INACTIVE};
    buildStrip(8, DFCS_BUTTONRADIO, cells, clOlive);
    updateCellWidth();
}

int TQCLRadioButton::CurrentCell(uint8_t State) {
    int cell = State == 0 ? 2 * (checked_ ? 1 : 0) : 2 * (State - 1);
    cell += GetEnabled() ? 0 : 1;
    if (GetFlat() && !MouseAbove() && !(HandleAllocated() && Focused())) cell += 4;
    return cell;
}

TRect TQCLRadioButton::DrawItem(TCanvas* Canvas, bool Draw, uint8_t State) {
    return drawCaptionAndCell(Canvas, Draw, CurrentCell(State), true);
}

void TQCLRadioButton::SetChecked(bool Value) {
    if (checked_ == Value) return;
    checked_ = Value;
    if (Value) {
        if (TWinControl* parent = GetParent()) {
            for (int i = 0; i < parent->GetControlCount(); ++i) {
                auto* other = dynamic_cast<TQCLRadioButton*>(parent->GetControl(i));
                if (other && other != this) other->SetChecked(false);
            }
        }
        if (!programmatic_) TQCLButtonControl::Click();
    }
    repaintNow();
}

void TQCLButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    TQCLCustomPanel::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action || (CheckDefaults && GetChecked())) return;
    const bool was = programmatic_;
    programmatic_ = true;
    try {
        SetChecked(action->GetChecked());
    } catch (...) {
        programmatic_ = was;
        throw;
    }
    programmatic_ = was;
}

void TQCLRadioButton::SetCheckedFromAction(bool Value) {
    programmatic_ = true;
    SetChecked(Value);
    programmatic_ = false;
}

void TQCLRadioButton::Click() {
    // A click on a focused, unchecked button checks it as the press on an
    // unfocused one does; OnClick still runs once, from here.
    if (!checked_ && CanModify() && !programmatic_) {
        programmatic_ = true;
        SetChecked(true);
        programmatic_ = false;
    }
    TQCLButtonControl::Click();
}

void TQCLRadioButton::DoEnter() {
    TQCLButtonControl::DoEnter();
    if (!checked_ && CanModify()) SetChecked(true);
    else repaintNow();
}

void TQCLRadioButton::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        if (IsAccel(static_cast<WORD>(Message.WParam), GetText()) && CanFocus()) {
            SetFocus();
            Message.Result = 1;
            return;
        }
    }
    TQCLButtonControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLRadioGroupButton

TQCLRadioGroupButton::TQCLRadioGroupButton(TQCLCustomButtonGroup* Group) : TQCLRadioButton(Group), group_(Group) {
    TControlStyle style = GetControlStyle();
    style << csReplicatable;
    SetControlStyle(style);
    SetVisible(false);
    SetParentShowHint(false);
    SetTransparent(true);
    SetParent(Group);
    Group->RegisterButton(this);
    SetEnabled(Group->GetEnabled());
}

TQCLRadioGroupButton::~TQCLRadioGroupButton() {
    if (group_) group_->UnRegisterButton(this);
}

bool TQCLRadioGroupButton::CanModify() { return group_ ? group_->CanModify() : TQCLRadioButton::CanModify(); }

void TQCLRadioGroupButton::WndProc(TMessage& Message) {
    const UINT msg = Message.Msg;
    const bool isKey = msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR;
    const bool isMouse = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
                         msg == WM_RBUTTONUP || msg == WM_MOUSEMOVE;
    if (isKey) {
        if (msg == WM_CHAR && (Message.WParam == ' ' || Message.WParam == '\b') && group_ && !group_->CanModify()) {
            Message.Result = 0;
            return;
        }
        TQCLRadioButton::WndProc(Message);
        if (group_ && group_->HandleAllocated())
            SendMessage(group_->GetHandle(), msg, Message.WParam, Message.LParam);
        return;
    }
    if (isMouse) {
        if (group_ && group_->HandleAllocated())
            SendMessage(group_->GetHandle(), msg, Message.WParam, Message.LParam);
        TQCLRadioButton::WndProc(Message);
        return;
    }
    TQCLRadioButton::WndProc(Message);
}
