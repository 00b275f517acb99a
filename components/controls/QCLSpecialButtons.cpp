// The edit's button row: see QCLSpecialButtons.h.
#include "components/controls/QCLSpecialButtons.h"

#include "components/controls/QCLButtonPanel.h"
#include "components/controls/QCLCustomEdit.h"

TQCLSpecialButton::TQCLSpecialButton(TCollection* Collection)
    : TCollectionItem(Collection),
      glyph_(new TBitmap),
      layout_(new TQCLButtonLayout),
      font_(new TFont),
      fontFX_(new TQCLFxCaption) {
    glyph_->OnChange = TNotifyEvent(this, &TQCLSpecialButton::GetChange);
    if (TQCLSpecialButtons* owner = buttons()) {
        TWinControl* control = owner->OwnerControl();
        speed_ = new TQCLSpeedButton(control);
        speed_->SetParent(control);
        speed_->SetEnabled(true);
        speed_->SetColor(clBtnFace);
        speed_->SetCursor(crArrow);
        speed_->SetTag(GetIndex());
        speed_->OnClick = TNotifyEvent(this, &TQCLSpecialButton::DoOnClick);
    }
    layout_->OnChange = TNotifyEvent(this, &TQCLSpecialButton::GetChange);
    font_->OnChange = TNotifyEvent(this, &TQCLSpecialButton::GetChange);
    fontFX_->OnChange = TNotifyEvent(this, &TQCLSpecialButton::GetChange);
}

TQCLSpecialButton::~TQCLSpecialButton() {
    glyph_->OnChange = nullptr;
    layout_->OnChange = nullptr;
    font_->OnChange = nullptr;
    fontFX_->OnChange = nullptr;
    delete fontFX_;
    delete font_;
    delete layout_;
    delete speed_;
    delete glyph_;
}

TQCLSpecialButtons* TQCLSpecialButton::buttons() const { return dynamic_cast<TQCLSpecialButtons*>(GetCollection()); }

AnsiString TQCLSpecialButton::GetDisplayName() const {
    return caption_.empty() ? TCollectionItem::GetDisplayName() : caption_;
}

void TQCLSpecialButton::SetString(int Index, const AnsiString& Value) {
    if (Index == 0) {
        caption_ = Value;
        if (speed_) speed_->SetText(Value);
    } else {
        hint_ = Value;
        if (speed_) speed_->SetHint(Value);
    }
}

void TQCLSpecialButton::SetEnabled(bool Value) {
    enabled_ = Value;
    if (speed_) speed_->SetEnabled(Value);
}

void TQCLSpecialButton::SetCursor(TCursor Value) {
    cursor_ = Value;
    if (speed_) speed_->SetCursor(Value);
}

void TQCLSpecialButton::SetGroupIndex(int Value) {
    groupIndex_ = Value;
    if (speed_) speed_->SetGroupIndex(Value);
}

void TQCLSpecialButton::SetParentFont(bool Value) {
    parentFont_ = Value;
    if (speed_) speed_->SetParentFont(Value);
}

void TQCLSpecialButton::GetChange(TObject*) {
    if (speed_) {
        speed_->SetGlyph(glyph_);
        speed_->GetButtonLayout()->Assign(layout_);
        speed_->GetFontFX()->Assign(fontFX_);
        if (!speed_->GetParentFont()) speed_->SetFont(font_);
    }
    Changed(false);
}

void TQCLSpecialButton::DoOnClick(TObject*) {
    const int index = GetIndex();
    if (OnClick) OnClick(this, index);
    if (TQCLSpecialButtons* owner = buttons()) {
        if (auto* edit = dynamic_cast<TQCLCustomEdit*>(owner->OwnerControl())) edit->DoAClick(speed_, index);
        else if (auto* panel = dynamic_cast<TQCLButtonPanel*>(owner->OwnerControl())) panel->ButtonClicked(speed_);
    }
}

void TQCLSpecialButton::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TQCLSpecialButton*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetString(0, source->caption_);
    SetString(1, source->hint_);
    SetGlyph(source->glyph_);
    SetEnabled(source->enabled_);
    SetCursor(source->cursor_);
    SetGroupIndex(source->groupIndex_);
    SetLayout(source->layout_);
    SetFont(source->font_);
    SetFontFX(source->fontFX_);
    SetParentFont(source->GetParentFont());
    OnClick = source->OnClick;
}

// ---------------------------------------------------------------------------

TQCLSpecialButtons::TQCLSpecialButtons(TWinControl* Owner, bool LayoutUpdates)
    : TCollection(TCollection::FactoryOf<TQCLSpecialButton>()), owner_(Owner), layoutUpdates_(LayoutUpdates) {}

void TQCLSpecialButtons::Update(TCollectionItem*) {
    if (!layoutUpdates_ || !owner_) return;
    if (auto* panel = dynamic_cast<TQCLButtonPanel*>(owner_)) {
        panel->SetBorders();
    } else if (dynamic_cast<TQCLCustomEdit*>(owner_) && owner_->HandleAllocated()) {
        PostMessageA(owner_->GetHandle(), WM_SIZE, 0, 0);
    }
}
