// The windowless push button's state machine; see QCLGraphicButton.h.
#include "components/controls/QCLGraphicButton.h"

#include "framework/ActnList.h"
#include "framework/ImgList.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclclass.h"
#include "components/runtime/qclcont_collections.h"
#include "components/runtime/qclregion.h"

#include "framework/Forms.h"

#include <algorithm>

namespace {

uint16_t roundUpToStep(uint16_t value, uint16_t step) {
    if (step == 0) return value;
    const uint32_t rounded = (static_cast<uint32_t>(value) + step - 1) / step * step;
    return static_cast<uint16_t>(rounded == 0 ? step : std::min<uint32_t>(rounded, 65500));
}

}  // namespace

TQCLBaseGraphicButton::TQCLBaseGraphicButton(TComponent* AOwner) : TQCLBaseControl(AOwner) {
    TControlStyle style = GetControlStyle();
    style >> csSetCaption;
    style << csCaptureMouse << csOpaque << csDoubleClicks;
    SetControlStyle(style);
    fontFX_ = new TQCLFxCaption;
    fontFX_->OnChange = TNotifyEvent(this, &TQCLBaseGraphicButton::FontChange);
    glyph_ = new TQCLGlyph;
    glyph_->OnChange = TNotifyEvent(this, &TQCLBaseGraphicButton::GetChange);
    layout_ = new TQCLButtonLayout;
    layout_->OnChange = TNotifyEvent(this, &TQCLBaseGraphicButton::GetChange);
    SetBounds(GetLeft(), GetTop(), 25, 25);
}

TQCLBaseGraphicButton::~TQCLBaseGraphicButton() {
    stopTimer(hotTimer_);
    stopTimer(repeatTimer_);
    layout_->OnChange = nullptr;
    glyph_->OnChange = nullptr;
    fontFX_->OnChange = nullptr;
    delete layout_;
    delete glyph_;
    delete fontFX_;
}

void TQCLBaseGraphicButton::stopTimer(uint16_t& Ident) {
    if (Ident && QCLApplication) QCLApplication->RemoveTimer(Ident);
    Ident = 0;
}

void TQCLBaseGraphicButton::Loaded() {
    TQCLBaseControl::Loaded();
    recomputeDropDownPart();
    // Collection lists may get their pictures only after the glyph was read;
    // the base already re-reads a connector.
    TQCLCustomImageList* list = GetImageList();
    if (dynamic_cast<TQCLCollectionImageList*>(list) && !dynamic_cast<TQCLImageListConnector*>(list))
        GetIMLChange(nullptr);
}

void TQCLBaseGraphicButton::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLBaseControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == dropDownMenu_) {
        dropDownMenu_ = nullptr;
        recomputeDropDownPart();
    }
}

bool TQCLBaseGraphicButton::HotLooksDifferent() {
    return glyph_->GetStyle() == gsExplorer || glyph_->GetNumGlyphs() >= 3 || (allowMouseOver_ && enterColorChange_) ||
           IsMultimedia() || ShapeButtonColorChange();
}

void TQCLBaseGraphicButton::SetTransparent(bool Value) {
    if (transparent_ == Value) return;
    transparent_ = Value;
    TControlStyle style = GetControlStyle();
    if (Value) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    repaintButton();
}

bool TQCLBaseGraphicButton::CheckOptimized() {
    if (GetControlStyle().Contains(csOpaque)) return false;
    if (TQCLBackSource* source = QCLParentBackSource(this)) return source->BackBitmapCheck();
    TWinControl* parent = GetParent();
    if (dynamic_cast<TCustomForm*>(parent) && parent->HandleAllocated())
        if (TQCLFormShape* shape = QCLFindFormShape(GetOwnerComponent())) return shape->BackBitmapCheck();
    return false;
}

bool TQCLBaseGraphicButton::DrawParentBackground(TCanvas* Canvas, const TRect& Rect) {
    if (!CheckOptimized()) return false;
    const TPoint at(GetLeft(), GetTop());
    if (TQCLBackSource* source = QCLParentBackSource(this)) return source->BackDrawArea(Canvas, Rect, at);
    // The form shape's background is in form coordinates.
    TQCLFormShape* shape = QCLFindFormShape(GetOwnerComponent());
    const TRect onForm(Rect.Left + at.x, Rect.Top + at.y, Rect.Right + at.x, Rect.Bottom + at.y);
    return shape && shape->BackDrawArea(Canvas, onForm, TPoint(Rect.Left, Rect.Top));
}

void TQCLBaseGraphicButton::repaintButton() {
    if (!GetVisible() || IsLoading()) return;
    if (!GetParent() || !GetParent()->HandleAllocated()) return;
    Invalidate();
}

void TQCLBaseGraphicButton::paintStateNow() {
    if (!GetVisible() || IsLoading()) return;
    if (!GetParent() || !GetParent()->HandleAllocated()) return;
    // A see-through face needs its parent's background; without a source for
    // it only the parent's next paint can draw what lies under the button.
    if (!GetControlStyle().Contains(csOpaque) && !CheckOptimized()) Invalidate();
    else Repaint();
}

void TQCLBaseGraphicButton::StateChange(TQCLButtonState NewState) {
    // The framework has no MDI forms, so the inactive-MDI rule never applies.
    if (NewState == state_) return;
    bool repaint = true;
    const bool upHot = (NewState == bsUp && state_ == bsMouseOver) || (NewState == bsMouseOver && state_ == bsUp);
    if (upHot && !HotLooksDifferent()) repaint = false;
    const bool hotSet = (NewState == bsOptionSet && state_ == bsMouseOver) ||
                        (NewState == bsMouseOver && state_ == bsOptionSet);
    if (hotSet && glyph_->GetNumGlyphs() < 3) repaint = false;
    prevState_ = (NewState == bsMouseOver && state_ != bsOptionSet) ? bsUp : state_;
    const TQCLButtonState old = state_;
    state_ = NewState;
    if (repaint) paintStateNow();
    if (allowMouseOver_) {
        if (old == bsMouseOver) stopTimer(hotTimer_);
        if (NewState == bsMouseOver && !pressed_ && !hotTimer_ && QCLApplication)
            hotTimer_ = QCLApplication->AddTimer(100, TNotifyEvent(this, &TQCLBaseGraphicButton::VerifyMouseOver));
    }
}

void TQCLBaseGraphicButton::VerifyMouseOver(TObject*) {
    if (!GetEnabled() || !GetParent() || !GetParent()->HandleAllocated()) return;
    POINT p;
    GetCursorPos(&p);
    const TPoint local = ScreenToClient(TPoint(p.x, p.y));
    if (!GetClientRect().Contains(local)) {
        mouseOver_ = false;
        StateChange(bsUp);
    }
}

bool TQCLBaseGraphicButton::inside(int X, int Y, bool ReleaseRule) {
    if (allowTransparency_) return VerifyTransparency(X, Y);
    const int w = GetClientWidth(), h = GetClientHeight();
    return X >= 0 && (ReleaseRule ? X < w : X <= w) && Y >= 0 && Y <= h;
}

void TQCLBaseGraphicButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQCLBaseControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !GetEnabled()) return;
    if (allowTransparency_ && !VerifyTransparency(X, Y)) return;
    if (dropDownMenu_) {
        if (state_ == bsDropDownOpen) {
            StateChange(bsMouseOver);
            return;
        }
        if (!dropDownPart_ || X >= GetWidth() - dropDownComboWidth_) {
            DropDown();
            return;
        }
    }
    mouseDown_ = true;
    if (prevState_ == bsOptionSet && state_ == bsMouseOver && groupIndex_ != 0) {
        StateChange(bsOptionSet);
    } else if (!pressed_) {
        StateChange(bsDown);
        if (repeatedClick_) {
            Click();
            stopTimer(repeatTimer_);
            if (QCLApplication && QCLApplication->GetTimerPool()) {
                const uint16_t step = QCLApplication->GetTimerPool()->GetMinInterval();
                repeatTimer_ = QCLApplication->AddTimer(roundUpToStep(repeatingDelay_, step),
                                                        TNotifyEvent(this, &TQCLBaseGraphicButton::DoRepeatedClick));
            }
        }
    }
}

void TQCLBaseGraphicButton::DoRepeatedClick(TObject*) {
    if (!mouseDown_) return;
    if (!mouseOver_ && !(state_ == bsDown)) return;
    if (TQCLTimerItem* item = QCLApplication ? QCLApplication->GetTimer(repeatTimer_) : nullptr)
        item->SetInterval(repeatingInterval_);
    Click();
}

void TQCLBaseGraphicButton::MouseMove(TShiftState Shift, int X, int Y) {
    TQCLBaseControl::MouseMove(Shift, X, Y);
    if (state_ == bsDropDownOpen || !GetEnabled()) return;
    const bool in = inside(X, Y, false);
    if (allowTransparency_ && allowMouseOver_) {
        if (in && !(groupIndex_ != 0 && pressed_)) {
            if (!mouseDown_ && state_ == bsUp) StateChange(bsMouseOver);
        } else if (!in && state_ == bsMouseOver) {
            StateChange(prevState_);
        }
    }
    if (mouseDown_) {
        if (in) StateChange(pressed_ ? bsOptionSet : bsDown);
        else if (groupIndex_ == 0 || state_ == bsDown) StateChange(pressed_ ? bsOptionSet : bsUp);
    }
    if (in != mouseOver_) {
        if (in && allowTransparency_) {
            if (OnMouseEnter) OnMouseEnter(this);
            if (state_ == bsUp && allowMouseOver_) StateChange(bsMouseOver);
        }
        mouseOver_ = in;
    }
}

void TQCLBaseGraphicButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TQCLBaseControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || state_ == bsDropDownOpen || !mouseDown_) return;
    mouseDown_ = false;
    stopTimer(repeatTimer_);
    const bool in = inside(X, Y, true);
    TQCLButtonState next = GetEnabled() ? bsUp : (pressed_ ? bsDisabledDown : bsDisabledUp);
    if (groupIndex_ != 0) {
        if (in) {
            if (state_ == bsOptionSet && pressed_ && !allowAllUp_) return;
            SetPressed(!pressed_);
            if (allowMouseOver_) next = pressed_ ? bsOptionSet : bsUp;
            else next = state_;
        } else if (pressed_) {
            next = bsOptionSet;
        }
    } else if (in && allowMouseOver_) {
        next = bsMouseOver;
    }
    if (!in) {
        StateChange(next);
        return;
    }
    if (glyph_->GetNumGlyphs() < 3 && glyph_->GetStyle() != gsExplorer) {
        StateChange(next);
        if (!repeatedClick_) Click();
    } else {
        releasing_ = true;
        if (!repeatedClick_) Click();
        POINT p;
        GetCursorPos(&p);
        const TPoint local = GetParent() ? ScreenToClient(TPoint(p.x, p.y)) : TPoint(X, Y);
        if (next == bsUp && allowMouseOver_ && GetClientRect().Contains(local)) StateChange(bsMouseOver);
        else StateChange(next);
        releasing_ = false;
    }
}

void TQCLBaseGraphicButton::Click() {
    if (OnClick) OnClick(this);
}

void TQCLBaseGraphicButton::DblClick() {
    if (pressed_) TQCLBaseControl::DblClick();
}

void TQCLBaseGraphicButton::MouseEnter() {
    if (allowTransparency_) return;
    TQCLBaseControl::MouseEnter();
    mouseOver_ = true;
    if (state_ == bsUp && GetEnabled() && allowMouseOver_) StateChange(bsMouseOver);
}

void TQCLBaseGraphicButton::MouseExit() {
    TQCLBaseControl::MouseExit();
    if (state_ == bsMouseOver) StateChange(prevState_);
    mouseOver_ = false;
    if (HideHintOnExit && Application) Application->HideHint();
}

void TQCLBaseGraphicButton::SetMouseOver(bool Value) {
    if (mouseOver_ == Value) return;
    mouseOver_ = Value;
    if (Value) {
        if (OnMouseEnter) OnMouseEnter(this);
    } else if (OnMouseExit) {
        OnMouseExit(this);
    }
    if (MouseOverChangesFace()) repaintButton();
}

void TQCLBaseGraphicButton::SetPressed(bool Value) {
    if (groupIndex_ == 0) Value = false;
    if (Value == pressed_) return;
    if (pressed_ && !allowAllUp_) return;
    pressed_ = Value;
    if (Value) {
        state_ = GetEnabled() ? bsOptionSet : bsDisabledDown;
        repaintButton();
        InformOptionSet();
    } else {
        state_ = GetEnabled() ? bsUp : bsDisabledUp;
        repaintButton();
    }
}

void TQCLBaseGraphicButton::SetGroupIndex(int Value) {
    if (groupIndex_ == Value) return;
    groupIndex_ = Value;
    InformOptionSet();
}

void TQCLBaseGraphicButton::SetAllowAllUp(bool Value) {
    if (allowAllUp_ == Value) return;
    allowAllUp_ = Value;
    InformOptionSet();
}

void TQCLBaseGraphicButton::InformOptionSet() {
    if (groupIndex_ == 0 || !GetParent()) return;
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->GetControlCount(); ++i) {
        TControl* other = parent->GetControl(i);
        if (other != this)
            other->Perform(CM_QCLBUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this));
    }
}

void TQCLBaseGraphicButton::SetDropDown(TPopupMenu* Value) {
    if (dropDownMenu_ == Value) return;
    dropDownMenu_ = Value;
    if (Value) Value->FreeNotification(this);
    recomputeDropDownPart();
    if (dropDownCombo_) GetChange(this);
}

void TQCLBaseGraphicButton::SetDropDownCombo(bool Value) {
    if (dropDownCombo_ == Value) return;
    if (!IsLoading()) SetWidth(GetWidth() + (Value ? dropDownComboWidth_ : -dropDownComboWidth_));
    dropDownCombo_ = Value;
    recomputeDropDownPart();
    GetChange(this);
}

void TQCLBaseGraphicButton::SetDropDownComboWidth(int Value) {
    if (dropDownComboWidth_ == Value) return;
    if (!IsLoading() && dropDownCombo_) SetWidth(GetWidth() + Value - dropDownComboWidth_);
    dropDownComboWidth_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetEnterColorChange(bool Value) {
    if (enterColorChange_ == Value) return;
    enterColorChange_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetUseCaption(bool Value) {
    if (useCaption_ == Value) return;
    useCaption_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetEnterColor(TColor Value) {
    if (enterColor_ == Value) return;
    enterColor_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetDropDownIndent(int Value) {
    if (dropDownIndent_ == Value) return;
    dropDownIndent_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetDropDownRight(bool Value) {
    if (dropDownRight_ == Value) return;
    dropDownRight_ = Value;
    GetChange(this);
}

void TQCLBaseGraphicButton::SetMultiLine(bool Value) {
    if (multiLine_ == Value) return;
    multiLine_ = Value;
    GetChange(this);
}

// The image is taken again on every change of the action, also when the
// button already shows one: a glyph that an earlier change gave would
// otherwise be cleared by the next one (a new caption, say).
void TQCLBaseGraphicButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TQCLBaseControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    // A linked library image list gives the pictures; the glyph is not shown then.
    if (!action || !ActionChangeable() || GetImageList()) return;
    TCustomImageList* images = action->GetImages();
    const int index = action->GetImageIndex();
    TBitmap picture;
    if (images && index >= 0 && index < images->GetCount()) {
        picture.SetPixelFormat(pf24bit);
        picture.SetSize(images->GetWidth(), images->GetHeight());
        picture.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(0xFF00FF));
        picture.GetCanvas()->FillRect(TRect(0, 0, images->GetWidth(), images->GetHeight()));
        images->Draw(picture.GetCanvas(), 0, 0, index, true);
    }
    SetGlyph(&picture);
}

void TQCLBaseGraphicButton::SetGlyph(TBitmap* Value) {
    if (!IsLoading() && GetImageList()) SetImageList(nullptr);
    glyph_->SetGlyph(Value);
    Invalidate();
}

void TQCLBaseGraphicButton::SetNumGlyphs(uint8_t Value) {
    glyph_->SetNumGlyphs(Value);
    repaintButton();
}

void TQCLBaseGraphicButton::GetIMLChange(TObject*) {
    if (GetImageList() && !IMLEmpty()) {
        TBitmap picture;
        GetImageList()->GetBitmapItem(GetListIndex(), GetImageIndex(), &picture);
        glyph_->SetGlyph(&picture);
    } else {
        glyph_->SetGlyph(nullptr);
    }
    Invalidate();
}

void TQCLBaseGraphicButton::FontChange(TObject* Sender) {
    if (Sender == GetFont()) SetParentFont(false);
    if (!IsLoading()) {
        if (fontFX_->GetAngle() != 0 && !QCLIsTrueTypeFont(GetFont())) {
            if (Sender == fontFX_) GetFont()->SetName("Arial");
            else fontFX_->SetAngle(0);
        }
    }
    GetChange(this);
}

void TQCLBaseGraphicButton::DropDown() {
    if (!dropDownMenu_ || state_ == bsDropDownOpen) return;
    StateChange(bsDropDownOpen);
    if (OnDropDown) OnDropDown(this);
    TPoint at = dropDownRight_ ? ClientToScreen(TPoint(GetWidth(), dropDownIndent_))
                               : ClientToScreen(TPoint(dropDownIndent_, GetHeight()));
    if (PopupForTesting) PopupForTesting(dropDownMenu_, at.x, at.y);
    else dropDownMenu_->Popup(at.x, at.y);
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE, 0, 0);
    mouseDown_ = false;
    StateChange(bsMouseOver);
}

void TQCLBaseGraphicButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_QCLBUTTONPRESSED: {
        auto* sender = reinterpret_cast<TQCLBaseGraphicButton*>(Message.LParam);
        if (static_cast<int>(Message.WParam) != groupIndex_ || !sender || sender == this) return;
        if (sender->GetPressed() && pressed_) {
            pressed_ = false;
            state_ = GetEnabled() ? bsUp : bsDisabledUp;
            repaintButton();
        }
        allowAllUp_ = sender->GetAllowAllUp();
        return;
    }
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), GetCaption()) && GetEnabled() && GetVisible() &&
            GetParent() && GetParent()->Showing()) {
            if (dropDownMenu_) {
                if (state_ == bsDropDownOpen) StateChange(bsMouseOver);
                else DropDown();
            } else if (groupIndex_ != 0) {
                if (allowAllUp_ || state_ != bsOptionSet) {
                    releasing_ = true;
                    SetPressed(!pressed_);
                    releasing_ = false;
                    if (allowMouseOver_) {
                        if (pressed_) {
                            StateChange(bsOptionSet);
                            Click();
                        } else {
                            StateChange(bsUp);
                        }
                    }
                }
            } else {
                StateChange(bsMouseOver);
                Click();
                repaintButton();
                POINT p;
                ::GetCursorPos(&p);
                if (!GetClientRect().Contains(ScreenToClient(TPoint(p.x, p.y)))) StateChange(bsUp);
            }
            Message.Result = 1;
            return;
        }
        break;
    case CM_ENABLEDCHANGED:
        TQCLBaseControl::Dispatch(Message);
        if (GetEnabled()) state_ = pressed_ ? bsOptionSet : bsUp;
        else state_ = pressed_ ? bsDisabledDown : bsDisabledUp;
        Invalidate();
        return;
    case CM_FONTCHANGED:
        FontChange(GetFont());
        TQCLBaseControl::Dispatch(Message);
        return;
    case CM_TEXTCHANGED:
        TQCLBaseControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TQCLBaseControl::Dispatch(Message);
}
