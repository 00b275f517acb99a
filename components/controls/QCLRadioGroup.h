// The button groups: TQCLCustomButtonGroup lays out and tracks a list of
// child buttons inside the captioned group frame; TQCLCustomRadioGroup and
// the published TQCLRadioGroup make one TQCLRadioGroupButton per item.
//
// Tricky points:
// - ItemIndex set from code is stored before the new button is checked, so
//   the button's click finds nothing changed: neither OnClick nor OnChange
//   runs. A user's choice fires both.
// - Buttons fill the first column top to bottom, then the next; the
//   arrangement is a window-free function (QCLArrangeGroupButtons).
// - An empty group (no items) has no buttons and draws only its frame.
#pragma once

#include "components/controls/QCLGroupBox.h"
#include "components/controls/QCLRadioButton.h"

#include <functional>
#include <vector>

using TQCLChildBtnClick = TEvent<void(TObject* Sender, int ButtonIndex)>;
enum TQCLChildHelpContextID : uint8_t { ciDefault, ciSameAsParent, ciAutoNumbered };

// Bounds of `Count` buttons in a group of Width x Height: the content
// rectangle left by the bevel extent `Bevel` and the caption height
// `Caption` (0 without caption) on the caption side.
std::vector<TRect> QCLArrangeGroupButtons(TQCLGroupCaptionAlign Align, int Width, int Height, int Bevel, int Caption,
                                          int Count, int Columns, int ItemHeight, int ItemOffset);

class TQCLCustomButtonGroup : public TQCLCustomGroupBox {
public:
    explicit TQCLCustomButtonGroup(TComponent* AOwner);
    ~TQCLCustomButtonGroup() override;
    AnsiString ClassName() const override { return "TQCLCustomButtonGroup"; }

    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

    virtual void SetButtonCount(int Count) = 0;
    virtual void UpdateButtons() = 0;
    virtual bool CanModify() { return !readOnly_; }
    int GetFieldValue() const { return itemIndex_; }

    void RegisterButton(TQCLButtonControl* Button);
    void UnRegisterButton(TQCLButtonControl* Button);
    void ButtonClick(TObject* Sender);
    void ArrangeButtons();

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TQCLButtonControl* Button(int Index) const { return buttons_[static_cast<size_t>(Index)]; }

    int GetColumns() const { return columns_; }
    void SetColumns(int Value);
    int GetItemHeight() const { return itemHeight_; }
    void SetItemHeight(int Value);
    int GetItemOffset() const { return itemOffset_; }
    void SetItemOffset(int Value);
    int GetItemIndex() const { return itemIndex_; }
    virtual void SetItemIndex(int Value) { itemIndex_ = Value; }
    TStringList* GetItems() const { return items_; }
    void SetItems(TStrings* Value) { items_->Assign(Value); }
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    bool GetFlatGlyphs() const { return flatGlyphs_; }
    void SetFlatGlyphs(bool Value);
    TQCLChildHelpContextID GetHelpContextBtn() const { return helpContextBtn_; }
    void SetID(TQCLChildHelpContextID Value);
    uint8_t GetGlyphSize() const { return glyphSize_; }
    void SetGlyphSize(uint8_t Value);

    // The glyph pictures of every button: GlyphImageList (not owned; the
    // group hears its changes and its destruction), GlyphImageIndex and
    // GlyphListIndex. Each change rebuilds the buttons.
    TQCLCustomImageList* GetGlyphImageList() const { return glyphs_->List(); }
    void SetGlyphImageList(TQCLCustomImageList* Value);
    int GetGlyphImageIndex() const { return glyphs_->ImageIndex(); }
    int GetGlyphListIndex() const { return glyphs_->ListIndex(); }
    // Index 0 GlyphImageIndex, 1 GlyphListIndex; negative values are ignored.
    void SetGlyphIndex(int Index, int Value);
    void SetGlyphImageIndex(int Value) { SetGlyphIndex(0, Value); }
    void SetGlyphListIndex(int Value) { SetGlyphIndex(1, Value); }
    // Glyph looks and focus, handed to every button by a rebuild.
    bool GetGlyphTransparent() const { return glyphTransparent_; }
    void SetGlyphTransparent(bool Value);
    TColor GetGlyphTransparentColor() const { return glyphTransparentColor_; }
    void SetGlyphTransparentColor(TColor Value);
    bool GetGlyphFlat() const { return glyphFlat_; }
    // Passed to every button while no glyph list is linked (not while loading).
    void SetGlyphFlat(bool Value);
    bool GetUseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool Value);
    TQCL3DCaption* GetFont3D() const { return font3D_; }
    void SetFont3D(TQCL3DCaption* Value) { font3D_->Assign(Value); }
    // Not rebuilt in design mode.
    TQCLGlyphTextFocusStyle GetFocusStyle() const { return focusStyle_; }
    void SetFocusStyle(TQCLGlyphTextFocusStyle Value);
    TColor GetFocusColor() const { return focusColor_; }
    void SetFocusColor(TColor Value);
    bool GetUseFocusColor() const { return useFocusColor_; }
    void SetUseFocusColor(bool Value);

    void DefineProperties(TFiler* Filer) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    BRIM_PROPERTY(Columns, TQCLCustomButtonGroup::GetColumns, TQCLCustomButtonGroup::SetColumns);
    BRIM_PROPERTY(ItemIndex, TQCLCustomButtonGroup::GetItemIndex, TQCLCustomButtonGroup::SetItemIndex);
    BRIM_PROPERTY(ItemHeight, TQCLCustomButtonGroup::GetItemHeight, TQCLCustomButtonGroup::SetItemHeight);
    BRIM_PROPERTY(ReadOnly, TQCLCustomButtonGroup::GetReadOnly, TQCLCustomButtonGroup::SetReadOnly);

    TQCLChildBtnClick OnChange;
    int HelpContext = 0;

protected:
    void ItemsChange(TObject* Sender);
    void GlyphListChange(TObject* Sender);
    // Rebuilds the buttons unless in design mode.
    void rebuildOutsideDesign();

    TQCLImageRef* glyphs_;

    std::vector<TQCLButtonControl*> buttons_;
    TStringList* items_;
    TQCL3DCaption* font3D_;
    int itemHeight_ = -1;
    int itemOffset_ = 4;
    int columns_ = 1;
    int itemIndex_ = -1;
    bool flatGlyphs_ = false;
    bool glyphFlat_ = false;
    bool useBitmap_ = false;
    bool useFocusColor_ = false;
    bool readOnly_ = false;
    bool updating_ = false;
    bool reading_ = false;
    bool glyphTransparent_ = false;
    uint8_t glyphSize_ = 13;
    TColor glyphTransparentColor_ = clOlive;
    TQCLGlyphTextFocusStyle focusStyle_ = fcText;
    TColor focusColor_ = clGray;
    TQCLChildHelpContextID helpContextBtn_ = ciDefault;
};

class TQCLCustomRadioGroup : public TQCLCustomButtonGroup {
public:
    explicit TQCLCustomRadioGroup(TComponent* AOwner);
    ~TQCLCustomRadioGroup() override;
    AnsiString ClassName() const override { return "TQCLCustomRadioGroup"; }

    void Dispatch(TMessage& Message) override;
    void SetItemIndex(int Value) override;
    void SetButtonCount(int Count) override;
    void UpdateButtons() override;
};

class TQCLRadioGroup : public TQCLCustomRadioGroup {
public:
    using TQCLCustomRadioGroup::TQCLCustomRadioGroup;
    AnsiString ClassName() const override { return "TQCLRadioGroup"; }
};
