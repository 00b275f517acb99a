// The button groups and the radio group; see QCLRadioGroup.h.
#include "components/controls/QCLRadioGroup.h"

#include <algorithm>

std::vector<TRect> QCLArrangeGroupButtons(TQCLGroupCaptionAlign Align, int Width, int Height, int Bevel, int Caption,
                                          int Count, int Columns, int ItemHeight, int ItemOffset) {
    std::vector<TRect> out;
    if (Count <= 0) return out;
    const int a = Bevel;
    const int side = std::max(a, Caption);
    TRect content;
    switch (QCLGroupCaptionSide(Align)) {
    case gsTop: content = TRect(a, side, Width - a, Height - a); break;
    case gsLeft: content = TRect(side, a, Width - a, Height - a); break;
    case gsBottom: content = TRect(a, a, Width - a, Height - side); break;
    default: content = TRect(a, a, Width - side, Height - a); break;
    }
    content = TRect(content.Left + 1, content.Top + 1, content.Right - 1, content.Bottom - 1);
    const int columns = std::max(1, Columns);
    const int rows = (Count + columns - 1) / columns;
    const int columnWidth = (content.Width() - ItemOffset) / columns;
    const int rowHeight = ItemHeight >= 0 ? ItemHeight : (content.Height() - 2) / rows;
    content.Top += 1 + (rowHeight % rows) / 2;
    for (int i = 0; i < Count; ++i) {
        const int left = (i / rows) * columnWidth + content.Left + ItemOffset;
        const int top = (i % rows) * rowHeight + content.Top;
        out.push_back(Bounds(left, top, columnWidth, rowHeight));
    }
    return out;
}

// ---------------------------------------------------------------------------
// TQCLCustomButtonGroup

TQCLCustomButtonGroup::TQCLCustomButtonGroup(TComponent* AOwner) : TQCLCustomGroupBox(AOwner) {
    SetControlStyle(TControlStyle{csSetCaption, csOpaque, csDoubleClicks});
    font3D_ = new TQCL3DCaption;
    font3D_->OnChange = TNotifyEvent(this, &TQCLCustomButtonGroup::GetChange);
    items_ = new TStringList;
    items_->OnChange = TNotifyEvent(this, &TQCLCustomButtonGroup::ItemsChange);
    glyphs_ = new TQCLImageRef(this, TNotifyEvent(this, &TQCLCustomButtonGroup::GlyphListChange));
}

TQCLCustomButtonGroup::~TQCLCustomButtonGroup() {
    delete glyphs_;
    items_->OnChange = nullptr;
    font3D_->OnChange = nullptr;
    delete font3D_;
    delete items_;
}

void TQCLCustomButtonGroup::Loaded() {
    TQCLCustomGroupBox::Loaded();
    UpdateButtons();
}

void TQCLCustomButtonGroup::RegisterButton(TQCLButtonControl* Button) {
    buttons_.push_back(Button);
    if (dynamic_cast<TQCLRadioButton*>(Button))
        Button->OnClick = TNotifyEvent(this, &TQCLCustomButtonGroup::ButtonClick);
    else
        Button->OnStateChange = TNotifyEvent(this, &TQCLCustomButtonGroup::ButtonClick);
}

void TQCLCustomButtonGroup::UnRegisterButton(TQCLButtonControl* Button) {
    buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), Button), buttons_.end());
}

void TQCLCustomButtonGroup::ButtonClick(TObject* Sender) {
    if (updating_) return;
    const auto found = std::find(buttons_.begin(), buttons_.end(), Sender);
    if (found == buttons_.end()) return;
    const int position = static_cast<int>(found - buttons_.begin());
    int next;
    if (dynamic_cast<TQCLCustomRadioGroup*>(this)) {
        next = position;
    } else {
        next = 0;
        for (size_t i = 0; i < buttons_.size(); ++i)
            if (buttons_[i]->GetChecked()) next += 1 << i;
    }
    if (next == itemIndex_) return;
    itemIndex_ = next;
    Click();
    if (OnChange) OnChange(this, position);
}

void TQCLCustomButtonGroup::ArrangeButtons() {
    if (reading_ || buttons_.empty()) return;
    const int caption = HasCaption() ? captionHeight_ : 0;
    const std::vector<TRect> bounds =
        QCLArrangeGroupButtons(align_, GetWidth(), GetHeight(), BevelExt(), caption, ButtonCount(), columns_,
                               itemHeight_, itemOffset_);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->SetBoundsRect(bounds[i]);
        buttons_[i]->SetVisible(true);
    }
}

void TQCLCustomButtonGroup::GetChange(TObject* Sender) {
    if (Sender == font3D_) {
        UpdateButtons();
        return;
    }
    TQCLCustomGroupBox::GetChange(Sender);
    ArrangeButtons();
}

bool TQCLCustomButtonGroup::CanAutoSize(int& NewWidth, int& NewHeight) {
    if (buttons_.empty() || itemHeight_ <= 0) return false;
    const int head = HasCaption() ? captionHeight_ + BevelExt() : 2 * BevelExt();
    NewHeight = head + ButtonCount() * (itemHeight_ + 1);
    (void)NewWidth;
    return true;
}

void TQCLCustomButtonGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, 12);
    if (columns_ == Value) return;
    columns_ = Value;
    ArrangeButtons();
}

void TQCLCustomButtonGroup::SetItemHeight(int Value) {
    if (itemHeight_ == Value) return;
    itemHeight_ = Value;
    ArrangeButtons();
}

void TQCLCustomButtonGroup::SetItemOffset(int Value) {
    if (itemOffset_ == Value) return;
    itemOffset_ = Value;
    ArrangeButtons();
}

void TQCLCustomButtonGroup::SetFlatGlyphs(bool Value) {
    if (flatGlyphs_ == Value) return;
    flatGlyphs_ = Value;
    if (!IsLoading())
        for (auto* button : buttons_) button->SetFlat(Value);
    ArrangeButtons();
}

void TQCLCustomButtonGroup::SetGlyphSize(uint8_t Value) {
    if (glyphSize_ == Value) return;
    glyphSize_ = Value;
    if (!IsLoading())
        for (auto* button : buttons_) button->SetGlyphSize(Value);
    ArrangeButtons();
}

void TQCLCustomButtonGroup::SetGlyphImageList(TQCLCustomImageList* Value) {
    if (Value == glyphs_->List()) return;
    glyphs_->SetList(Value);
    UpdateButtons();
}

void TQCLCustomButtonGroup::SetGlyphIndex(int Index, int Value) {
    if (glyphs_->SetIndex(Index, Value) && glyphs_->List()) UpdateButtons();
}

void TQCLCustomButtonGroup::GlyphListChange(TObject*) {
    if (reading_) return;
    UpdateButtons();
    GetChange(this);
    // Pictures of the list may be shown by any control the group owns.
    for (int i = 0; i < GetComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(GetComponent(i))) control->Invalidate();
}

void TQCLCustomButtonGroup::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLCustomGroupBox::Notification(AComponent, Operation);
    if (Operation == opRemove && glyphs_->Forget(AComponent) && !IsDestroying()) UpdateButtons();
}

void TQCLCustomButtonGroup::DefineProperties(TFiler* Filer) {
    TQCLCustomGroupBox::DefineProperties(Filer);
    glyphs_->DefineProperties(Filer, "GlyphInternal");
}

void TQCLCustomButtonGroup::SetGlyphTransparent(bool Value) {
    glyphTransparent_ = Value;
    UpdateButtons();
}

void TQCLCustomButtonGroup::SetGlyphTransparentColor(TColor Value) {
    glyphTransparentColor_ = Value;
    UpdateButtons();
}

void TQCLCustomButtonGroup::SetGlyphFlat(bool Value) {
    glyphFlat_ = Value;
    if (IsLoading() || glyphs_->List()) return;
    for (auto* button : buttons_) button->SetGlyphFlat(Value);
}

void TQCLCustomButtonGroup::SetUseBitmap(bool Value) {
    useBitmap_ = Value;
    UpdateButtons();
}

void TQCLCustomButtonGroup::rebuildOutsideDesign() {
    if (!GetComponentState().Contains(csDesigning)) UpdateButtons();
}

void TQCLCustomButtonGroup::SetFocusStyle(TQCLGlyphTextFocusStyle Value) {
    focusStyle_ = Value;
    rebuildOutsideDesign();
}

void TQCLCustomButtonGroup::SetFocusColor(TColor Value) {
    focusColor_ = Value;
    rebuildOutsideDesign();
}

void TQCLCustomButtonGroup::SetUseFocusColor(bool Value) {
    useFocusColor_ = Value;
    rebuildOutsideDesign();
}

void TQCLCustomButtonGroup::SetID(TQCLChildHelpContextID Value) {
    helpContextBtn_ = Value;
    UpdateButtons();
}

void TQCLCustomButtonGroup::ItemsChange(TObject*) {
    if (reading_) return;
    if (dynamic_cast<TQCLCustomRadioGroup*>(this) && itemIndex_ >= items_->GetCount())
        itemIndex_ = items_->GetCount() - 1;
    UpdateButtons();
}

void TQCLCustomButtonGroup::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
        TQCLCustomGroupBox::Dispatch(Message);
        for (auto* button : buttons_) button->SetEnabled(GetEnabled());
        return;
    case CM_FONTCHANGED:
        TQCLCustomGroupBox::Dispatch(Message);
        ArrangeButtons();
        return;
    case WM_SIZE:
        TQCLCustomGroupBox::Dispatch(Message);
        ArrangeButtons();
        return;
    default:
        break;
    }
    TQCLCustomGroupBox::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TQCLCustomRadioGroup

TQCLCustomRadioGroup::TQCLCustomRadioGroup(TComponent* AOwner) : TQCLCustomButtonGroup(AOwner) {
    glyphTransparent_ = true;
    glyphSize_ = 13;
}

TQCLCustomRadioGroup::~TQCLCustomRadioGroup() { SetButtonCount(0); }

void TQCLCustomRadioGroup::SetItemIndex(int Value) {
    if (reading_) {
        itemIndex_ = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) Button(itemIndex_)->SetChecked(false);
    itemIndex_ = Value;
    if (itemIndex_ >= 0) Button(itemIndex_)->SetChecked(true);
}

void TQCLCustomRadioGroup::SetButtonCount(int Count) {
    while (ButtonCount() < Count) new TQCLRadioGroupButton(this);
    while (ButtonCount() > Count) delete buttons_.back();
}

void TQCLCustomRadioGroup::UpdateButtons() {
    if (IsDestroying()) return;
    SetButtonCount(items_->GetCount());
    updating_ = true;
    for (int i = 0; i < ButtonCount(); ++i) {
        TQCLButtonControl* button = Button(i);
        button->UpDateNow(true);
        button->SetText(items_->Get(i));
        button->GetAlignment()->SetAlignment(agCenterLeft);
        button->SetImageIndex(glyphs_->ImageIndex());
        button->SetListIndex(glyphs_->ListIndex());
        button->SetParentColor(true);
        button->SetImageList(glyphs_->List());
        button->SetGlyphTransparent(glyphTransparent_);
        button->SetTransparentColor(glyphTransparentColor_);
        button->SetGlyphSize(glyphSize_);
        button->SetGlyphFlat(glyphFlat_);
        button->SetFocusStyle(focusStyle_);
        button->SetFocusColor(focusColor_);
        button->SetUseFocusColor(useFocusColor_);
        button->SetFont3D(font3D_);
        button->SetUseBitmap(useBitmap_);
        button->SetFlat(flatGlyphs_);
        switch (helpContextBtn_) {
        case ciDefault: button->HelpContext = 0; break;
        case ciSameAsParent: button->HelpContext = HelpContext; break;
        default: button->HelpContext = HelpContext + i + 1; break;
        }
        button->UpDateNow(false);
    }
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) Button(itemIndex_)->SetChecked(true);
    updating_ = false;
    ArrangeButtons();
}

void TQCLCustomRadioGroup::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR && IsAccel(static_cast<WORD>(Message.WParam), GetText()) && CanFocus()) {
        Message.Result = 1;
        if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) {
            Button(itemIndex_)->SetFocus();
            return;
        }
        for (auto* button : buttons_)
            if (button->CanFocus()) {
                button->SetFocus();
                return;
            }
        return;
    }
    TQCLCustomButtonGroup::Dispatch(Message);
}
