// The windowed two-state button base of the library (TQCLButtonControl,
// shared with the check box), the radio button TQCLRadioButton and the
// group's own child button TQCLRadioGroupButton.
//
// Tricky points:
// - Checking a radio button unchecks every other library radio button of the
//   same parent (the framework's radio buttons are left alone), so buttons
//   placed straight on a form behave as one group.
// - A programmatic-change flag is set while the button focuses itself on a
//   mouse press and while an action sets Checked: no Click runs then, so a
//   mouse click fires OnClick once, from the click on release, and a linked
//   action's Checked reaches the button without running the action again.
// - A completed click on an unchecked, modifiable button checks it even when
//   the button already had the focus (the focus path alone would miss it).
// - The standard glyph strip holds eight cells: four in the normal look and
//   four in the flat idle look, so a Flat button without an image list never
//   reads past its strip. Image-list strips hold four cells, eight when Flat.
// - A transparent button (the group's buttons) paints its parent's background
//   through the panel base's side of the background protocol.
#pragma once

#include "components/controls/QCLCustomPanel.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLGlyphTextLayout.h"
#include "components/runtime/Qclgraph.h"

class TQCLCustomButtonGroup;

class TQCLButtonControl : public TQCLCustomPanel {
public:
    explicit TQCLButtonControl(TComponent* AOwner);
    ~TQCLButtonControl() override;
    AnsiString ClassName() const override { return "TQCLButtonControl"; }

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void GetChange(TObject* Sender) override;
    // The glyph strip: an image list's when it has one, else the standard one.
    void GetIMLChange(TObject* Sender) override;

    virtual bool GetChecked() { return false; }
    virtual void SetChecked(bool /*Value*/) {}
    virtual bool CanModify() { return !readOnly_; }
    // Also follows the action's Checked (not while checking defaults on an
    // already checked button), with no Click.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    // While deferred, a change re-measures but does not paint.
    void UpDateNow(bool Value) { deferPaint_ = Value; }
    void DrawFocus(TCanvas* Canvas, const TRect& R);
    // Measures the caption with the glyph and, with AutoSize, takes that size.
    void CorrectBounds();

    // Index 0 AutoSize, 1 GlyphTransparent, 2 GlyphFlat.
    bool GetBool(int Index) const;
    void SetBool(int Index, bool Value);
    bool GetAutoSizeQCL() const { return autoSize_; }
    void SetAutoSizeQCL(bool Value) { SetBool(0, Value); }
    bool GetGlyphTransparent() const { return glyphTransparent_; }
    void SetGlyphTransparent(bool Value) { SetBool(1, Value); }
    bool GetGlyphFlat() const { return glyphFlat_; }
    void SetGlyphFlat(bool Value) { SetBool(2, Value); }
    uint8_t GetGlyphSize() const { return glyphSize_; }
    void SetGlyphSize(uint8_t Value);
    TColor GetGlyphTransparentColor() const { return glyphTransparentColor_; }
    void SetTransparentColor(TColor Value);
    TQCLGlyphTextFocusStyle GetFocusStyle() const { return focusStyle_; }
    void SetFocusStyle(TQCLGlyphTextFocusStyle Value);
    TColor GetFocusColor() const { return focusColor_; }
    void SetFocusColor(TColor Value);
    bool GetUseFocusColor() const { return useFocusColor_; }
    void SetUseFocusColor(bool Value);
    bool GetUseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool Value);
    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool Value) { readOnly_ = Value; }
    TQCLGlyphTextLayout* GetAlignment() const { return alignment_; }
    void SetAlignment(TQCLGlyphTextLayout* Value) { alignment_->Assign(Value); }
    TQCL3DCaption* GetFont3D() const { return font3D_; }
    void SetFont3D(TQCL3DCaption* Value) { font3D_->Assign(Value); }
    TBitmap* GlyphBitmap() const { return glyph_; }
    int GlyphCellWidth() const { return cellWidth_; }
    bool ProgrammaticChange() const { return programmatic_; }

    BRIM_PROPERTY(GlyphSize, TQCLButtonControl::GetGlyphSize, TQCLButtonControl::SetGlyphSize);
    BRIM_PROPERTY(GlyphFlat, TQCLButtonControl::GetGlyphFlat, TQCLButtonControl::SetGlyphFlat);
    BRIM_PROPERTY(ReadOnly, TQCLButtonControl::GetReadOnly, TQCLButtonControl::SetReadOnly);
    BRIM_PROPERTY(FocusStyle, TQCLButtonControl::GetFocusStyle, TQCLButtonControl::SetFocusStyle);
    BRIM_PROPERTY(UseBitmap, TQCLButtonControl::GetUseBitmap, TQCLButtonControl::SetUseBitmap);

    // The state-change slot a non-radio button group fills (the check box's OnChange).
    TNotifyEvent OnStateChange;
    int HelpContext = 0;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseExit() override;
    virtual void CreateStandardGlyph() {}
    // The glyph strip's cell width, from the strip and how many cells it holds.
    virtual void updateCellWidth() {}
    void DoFlatChanged() override;
    // State 0 as is, 1 as unchecked, 2 as checked; with dtCalculate-style
    // measuring (Draw false) nothing is drawn and the extent is returned.
    virtual TRect DrawItem(TCanvas* Canvas, bool Draw, uint8_t State) = 0;
    // Draws caption and glyph cell `Cell`; narrowLeft/narrowRight trim the
    // destination by one pixel.
    TRect drawCaptionAndCell(TCanvas* Canvas, bool Draw, int Cell, bool NarrowRight);
    // Builds a strip of `Cells` frame-control cells of GlyphSize, each with its
    // own DFCS flags, on `Background`.
    void buildStrip(int Cells, UINT Kind, const UINT* CellFlags, TColor Background);
    // Repaints now (with a window) or later.
    void repaintNow();
    void setProgrammatic(bool Value) { programmatic_ = Value; }

    TQCLGlyphTextLayout* alignment_;
    TQCL3DCaption* font3D_;
    TBitmap* glyph_;
    int cellWidth_ = 0;
    uint8_t glyphSize_ = 13;
    TColor glyphTransparentColor_ = clOlive;
    bool glyphTransparent_ = false;
    bool glyphFlat_ = false;
    bool autoSize_ = false;
    bool useBitmap_ = false;
    bool readOnly_ = false;
    bool deferPaint_ = false;
    bool programmatic_ = false;
    TQCLGlyphTextFocusStyle focusStyle_ = fcText;
    TColor focusColor_ = clGray;
    bool useFocusColor_ = false;
};

class TQCLRadioButton : public TQCLButtonControl {
public:
    explicit TQCLRadioButton(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLRadioButton"; }

    void Dispatch(TMessage& Message) override;
    bool GetChecked() override { return checked_; }
    void SetChecked(bool Value) override;
    void Click() override;
    // Sets Checked as an action link does: no Click runs.
    void SetCheckedFromAction(bool Value);
    // The glyph cell the button would paint now (for tests and the gallery).
    int CurrentCell(uint8_t State = 0);

    BRIM_PROPERTY(Checked, TQCLRadioButton::GetChecked, TQCLRadioButton::SetChecked);

protected:
    void DoEnter() override;
    void CreateStandardGlyph() override;
    TRect DrawItem(TCanvas* Canvas, bool Draw, uint8_t State) override;
    // Standard strips hold 8 cells; image strips 4, or 8 when Flat.
    void updateCellWidth() override;

    bool checked_ = false;
};

// A radio button made and placed by a radio group.
class TQCLRadioGroupButton : public TQCLRadioButton {
public:
    TQCLRadioGroupButton(TQCLCustomButtonGroup* Group);
    ~TQCLRadioGroupButton() override;
    AnsiString ClassName() const override { return "TQCLRadioGroupButton"; }

    void WndProc(TMessage& Message) override;
    bool CanModify() override;

private:
    TQCLCustomButtonGroup* group_;
};
