// The library's three-state check box TQCLCustomCheckBox (published as
// TQCLCheckBox) on the two-state button base.
//
// Tricky points:
// - Checked and State set from code fire no OnChange; a toggle by click,
//   space or accelerator fires it once.
// - A ReadOnly box ignores clicks and the space key but still runs OnClick.
// - The standard strip holds twelve cells: six in the normal look (unchecked,
//   checked, grayed, each also disabled) and six in the flat idle look, so a
//   Flat box without an image list never reads past its strip.
// - GlyphNumber counts the states an image-list strip holds; 0 is taken as 1.
#pragma once

#include "components/controls/QCLRadioButton.h"

enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };

// The next state of a toggle.
TCheckBoxState QCLNextCheckState(TCheckBoxState State, bool AllowGrayed);

class TQCLCustomCheckBox : public TQCLButtonControl {
public:
    explicit TQCLCustomCheckBox(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomCheckBox"; }

    void Dispatch(TMessage& Message) override;
    bool GetChecked() override { return state_ == cbChecked; }
    void SetChecked(bool Value) override;
    void Click() override;
    void Toggle();
    virtual TCheckBoxState GetFieldState() { return state_; }
    // The glyph cell the box paints now.
    int CurrentCell();

    TCheckBoxState GetState() const { return state_; }
    void SetState(TCheckBoxState Value);
    bool GetAllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
    uint8_t GetGlyphNumber() const { return glyphNumber_; }
    void SetNumGlyphs(uint8_t Value);

    BRIM_PROPERTY(Checked, TQCLCustomCheckBox::GetChecked, TQCLCustomCheckBox::SetChecked);
    BRIM_PROPERTY(State, TQCLCustomCheckBox::GetState, TQCLCustomCheckBox::SetState);
    BRIM_PROPERTY(AllowGrayed, TQCLCustomCheckBox::GetAllowGrayed, TQCLCustomCheckBox::SetAllowGrayed);

protected:
    void DoEnter() override;
    void CreateStandardGlyph() override;
    TRect DrawItem(TCanvas* Canvas, bool Draw, uint8_t State) override;
    void updateCellWidth() override;

    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    uint8_t glyphNumber_ = 3;
};

class TQCLCheckBox : public TQCLCustomCheckBox {
public:
    using TQCLCustomCheckBox::TQCLCustomCheckBox;
    AnsiString ClassName() const override { return "TQCLCheckBox"; }
};
