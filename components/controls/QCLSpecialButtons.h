/*
 * The row of optional buttons at the right edge of a single-line edit:
 * TQCLSpecialButton, one collection item per button, each owning the speed
 * button that shows it, and TQCLSpecialButtons, their collection, which lays
 * the buttons out again in its owner control after every change.
 *
 * Tricky points:
 * - The speed button belongs to the collection's owner control (owner and
 *   parent) but is freed by its item; the owner frees the collection before
 *   its own components go, so nothing is freed twice.
 * - A click reaches the item's OnClick first, then the owning edit's
 *   OnBtnClick, both with the item's index at the time of the click (a
 *   button panel's OnButtonClick gets the speed button's Tag instead).
 * - A button panel (QCLButtonPanel.h) holds the same collection and lays its
 *   grid out at once on every change.
 * - The edit re-lays its buttons on WM_SIZE; the collection posts WM_SIZE
 *   (0, 0) rather than sending it, so a burst of item changes lays out once
 *   per message instead of once per change.
 */
#pragma once

#include "components/controls/QCLSpeedButton.h"

#include "framework/Classes.h"

class TQCLSpecialButtons;

// Sender is the item; Index its position in the collection.
using TQCLOnCustomBtnClick = TEvent<void(TObject* Sender, int Index)>;

class TQCLSpecialButton : public TCollectionItem {
public:
    explicit TQCLSpecialButton(TCollection* Collection);
    ~TQCLSpecialButton() override;
    AnsiString ClassName() const override { return "TQCLSpecialButton"; }

    // From another item: caption, hint, glyph, enabled, cursor, group index,
    // layout, font, 3D caption, parent font and OnClick.
    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() const override;
    void DoClick() { DoOnClick(speed_); }

    // Index 0 Caption, 1 Hint.
    AnsiString GetString(int Index) const { return Index == 0 ? caption_ : hint_; }
    void SetString(int Index, const AnsiString& Value);
    TBitmap* GetGlyph() const { return glyph_; }
    void SetGlyph(TBitmap* Value) { glyph_->Assign(Value); }
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool Value);
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor Value);
    int GetGroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    // An item outside an edit or panel has no speed button; it keeps the flag.
    bool GetParentFont() const { return speed_ ? speed_->GetParentFont() : parentFont_; }
    void SetParentFont(bool Value);
    TQCLButtonLayout* GetLayout() const { return layout_; }
    void SetLayout(TQCLButtonLayout* Value) { layout_->Assign(Value); }
    TFont* GetFont() const { return font_; }
    void SetFont(TFont* Value) { font_->Assign(Value); }
    TQCLFxCaption* GetFontFX() const { return fontFX_; }
    void SetFontFX(TQCLFxCaption* Value) { fontFX_->Assign(Value); }
    // The speed button that shows the item.
    TQCLSpeedButton* GetSpeedButton() const { return speed_; }

    TQCLOnCustomBtnClick OnClick;

    BRIM_PROPERTY(Enabled, TQCLSpecialButton::GetEnabled, TQCLSpecialButton::SetEnabled);
    BRIM_PROPERTY(GroupIndex, TQCLSpecialButton::GetGroupIndex, TQCLSpecialButton::SetGroupIndex);

private:
    void GetChange(TObject* Sender);
    void DoOnClick(TObject* Sender);
    TQCLSpecialButtons* buttons() const;

    AnsiString hint_;
    AnsiString caption_;
    TBitmap* glyph_;
    TCursor cursor_ = crArrow;
    TQCLSpeedButton* speed_ = nullptr;
    int groupIndex_ = 0;
    bool parentFont_ = true;
    bool enabled_ = true;
    TQCLButtonLayout* layout_;
    TFont* font_;
    TQCLFxCaption* fontFX_;
};

class TQCLSpecialButtons : public TCollection {
public:
    TQCLSpecialButtons(TWinControl* Owner, bool LayoutUpdates);
    AnsiString ClassName() const override { return "TQCLSpecialButtons"; }

    TQCLSpecialButton* Add() { return static_cast<TQCLSpecialButton*>(TCollection::Add()); }
    TQCLSpecialButton* GetItem(int Index) const { return static_cast<TQCLSpecialButton*>(TCollection::GetItem(Index)); }
    void SetItem(int Index, TQCLSpecialButton* Value) { TCollection::SetItem(Index, Value); }
    TPersistent* GetOwner() const override { return owner_; }
    TWinControl* OwnerControl() const { return owner_; }

    BRIM_INDEXED(Items, TQCLSpecialButtons::GetItem, TQCLSpecialButtons::SetItem);

protected:
    // With layout updates on, the owner lays its buttons out again.
    void Update(TCollectionItem* Item) override;

private:
    TWinControl* owner_;
    bool layoutUpdates_;
};
