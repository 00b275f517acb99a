// The library's windowless push button TQCLBaseGraphicButton: a button state
// switched by mouse and keyboard, option groups of mutually exclusive toggle
// buttons, click repetition while held, a drop-down menu from the face or a
// separate arrow part, and glyph and caption through its TQCLGlyph.
//
// Tricky points:
// - StateChange is the single place where the state moves; it skips the
//   repaint between up and hot when both look alike.
// - The hot check (timer 0) and the repetition (timer 1) are logical timers
//   of the application's pool, run on the UI thread. The repeat delay is
//   rounded up to the pool's 50 ms step when the timer starts, so an odd
//   value never fails inside a mouse press.
// - With repetition on, the clicks come from the press and the timer, never
//   from the release.
// - A press outside the button's shape (VerifyTransparency) is ignored when
//   AllowTransparency is set; descendants give the shape.
#pragma once

#include "components/controls/QCLCustomControl.h"
#include "components/controls/QCLGlyph.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLGlyphTextLayout.h"
#include "components/runtime/Qclgraph.h"

#include "framework/Menus.h"

constexpr UINT CM_QCLBUTTONPRESSED = CM_BUTTONPRESSED;

class TQCLBaseGraphicButton : public TQCLBaseControl {
public:
    explicit TQCLBaseGraphicButton(TComponent* AOwner);
    ~TQCLBaseGraphicButton() override;
    AnsiString ClassName() const override { return "TQCLBaseGraphicButton"; }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Dispatch(TMessage& Message) override;
    void GetIMLChange(TObject* Sender) override;
    void Click() override;
    // A double click reaches OnDblClick only on a pressed button.
    void DblClick() override;

    virtual bool IsCustom() { return !GetImageList(); }
    // Whether a linked action may set the glyph.
    virtual bool ActionChangeable() { return true; }
    // After the framework's handling: the glyph becomes the action's image
    // (on clFuchsia), or is cleared when the action has none; not with a
    // linked library image list.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    virtual bool ShapeButtonColorChange() { return false; }
    virtual bool VerifyTransparency(int X, int Y) { return X >= 0 && X <= GetWidth() && Y >= 0 && Y <= GetHeight(); }
    // True for the multimedia button, whose every state has its own picture.
    virtual bool IsMultimedia() const { return false; }
    // True when hot and up look different.
    virtual bool HotLooksDifferent();
    // Whether the MouseOver flag alone changes the face (flat speed buttons).
    virtual bool MouseOverChangesFace() { return false; }

    void StateChange(TQCLButtonState NewState);
    TQCLButtonState GetState() const { return state_; }
    TQCLButtonState GetPrevState() const { return prevState_; }
    bool GetDroppedState() const { return state_ == bsDropDownOpen; }
    AnsiString GetCaption() { return useCaption_ ? GetText() : AnsiString(); }
    void DropDown();
    void InformOptionSet();

    bool GetPressed() const { return pressed_; }
    void SetPressed(bool Value);
    int GetGroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int Value);
    bool GetAllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool Value);
    bool GetAllowMouseOver() const { return allowMouseOver_; }
    void SetAllowMouseOver(bool Value) { allowMouseOver_ = Value; }
    bool GetAllowTransparency() const { return allowTransparency_; }
    void SetAllowTransparency(bool Value) { allowTransparency_ = Value; }
    bool GetRepeatedClick() const { return repeatedClick_; }
    void SetRepeatedClick(bool Value) { repeatedClick_ = Value; }
    uint16_t GetRepeatingDelay() const { return repeatingDelay_; }
    void SetRepeatingDelay(uint16_t Value) { repeatingDelay_ = Value; }
    uint16_t GetRepeatingInterval() const { return repeatingInterval_; }
    void SetRepeatingInterval(uint16_t Value) { repeatingInterval_ = Value; }
    TPopupMenu* GetDropDownMenu() const { return dropDownMenu_; }
    void SetDropDown(TPopupMenu* Value);
    bool GetDropDownCombo() const { return dropDownCombo_; }
    void SetDropDownCombo(bool Value);
    int GetDropDownComboWidth() const { return dropDownComboWidth_; }
    void SetDropDownComboWidth(int Value);
    bool HasDropDownPart() const { return dropDownPart_; }
    bool GetMouseOver() const { return mouseOver_; }
    void SetMouseOver(bool Value);
    bool GetEnterColorChange() const { return enterColorChange_; }
    void SetEnterColorChange(bool Value);
    bool GetUseCaption() const { return useCaption_; }
    void SetUseCaption(bool Value);
    TColor GetEnterColor() const { return enterColor_; }
    void SetEnterColor(TColor Value);
    int GetDropDownIndent() const { return dropDownIndent_; }
    void SetDropDownIndent(int Value);
    bool GetDropDownRight() const { return dropDownRight_; }
    void SetDropDownRight(bool Value);
    bool GetMultiLine() const { return multiLine_; }
    void SetMultiLine(bool Value);
    // Transparent (default False): clears csOpaque, so the parent paints
    // under the button first. Explorer speed-button styles clear it too.
    bool GetTransparent() const { return transparent_; }
    void SetTransparent(bool Value);
    // The button lets its parent show (csOpaque cleared) and the parent, or
    // the form's shape, has a background bitmap to give.
    bool CheckOptimized() override;
    // Copies the parent's background under Rect (client coordinates) into
    // Canvas; false when there is none to copy.
    bool DrawParentBackground(TCanvas* Canvas, const TRect& Rect);
    TQCLGlyph* GetGlyphObject() const { return glyph_; }
    TBitmap* GetGlyph() const { return glyph_->GetBitmap(); }
    void SetGlyph(TBitmap* Value);
    uint8_t GetNumGlyphs() const { return glyph_->GetNumGlyphs(); }
    void SetNumGlyphs(uint8_t Value);
    TQCLButtonLayout* GetButtonLayout() const { return layout_; }
    TQCLFxCaption* GetFontFX() const { return fontFX_; }

    // Logical timer identifiers: 0 the hot check, 1 the repetition (0 = none).
    uint16_t TimerIdentForTesting(int Which) const { return Which == 0 ? hotTimer_ : repeatTimer_; }
    // Replaces the menu's popup (tests): gets the screen point.
    std::function<void(TPopupMenu*, int, int)> PopupForTesting;

    BRIM_PROPERTY(Pressed, TQCLBaseGraphicButton::GetPressed, TQCLBaseGraphicButton::SetPressed);
    BRIM_PROPERTY(GroupIndex, TQCLBaseGraphicButton::GetGroupIndex, TQCLBaseGraphicButton::SetGroupIndex);
    BRIM_PROPERTY(AllowAllUp, TQCLBaseGraphicButton::GetAllowAllUp, TQCLBaseGraphicButton::SetAllowAllUp);
    BRIM_PROPERTY(RepeatedClick, TQCLBaseGraphicButton::GetRepeatedClick, TQCLBaseGraphicButton::SetRepeatedClick);
    BRIM_PROPERTY(RepeatingDelay, TQCLBaseGraphicButton::GetRepeatingDelay, TQCLBaseGraphicButton::SetRepeatingDelay);
    BRIM_PROPERTY(RepeatingInterval, TQCLBaseGraphicButton::GetRepeatingInterval,
                  TQCLBaseGraphicButton::SetRepeatingInterval);
    BRIM_PROPERTY(DropDownCombo, TQCLBaseGraphicButton::GetDropDownCombo, TQCLBaseGraphicButton::SetDropDownCombo);
    BRIM_PROPERTY(Transparent, TQCLBaseGraphicButton::GetTransparent, TQCLBaseGraphicButton::SetTransparent);

    bool HideHintOnExit = true;
    BRIM_PROPERTY(EnterColor, TQCLBaseGraphicButton::GetEnterColor, TQCLBaseGraphicButton::SetEnterColor);
    BRIM_PROPERTY(DropDownIndent, TQCLBaseGraphicButton::GetDropDownIndent, TQCLBaseGraphicButton::SetDropDownIndent);
    BRIM_PROPERTY(DropDownRight, TQCLBaseGraphicButton::GetDropDownRight, TQCLBaseGraphicButton::SetDropDownRight);
    BRIM_PROPERTY(MultiLine, TQCLBaseGraphicButton::GetMultiLine, TQCLBaseGraphicButton::SetMultiLine);
    TNotifyEvent OnDropDown;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter() override;
    void MouseExit() override;
    virtual void DoRepeatedClick(TObject* Sender);
    void VerifyMouseOver(TObject* Sender);
    void FontChange(TObject* Sender);
    // Paints now, or lets the parent repaint under a transparent button.
    void repaintButton();
    void paintStateNow();
    bool inside(int X, int Y, bool ReleaseRule);
    void stopTimer(uint16_t& Ident);
    void recomputeDropDownPart() { dropDownPart_ = dropDownMenu_ && dropDownCombo_; }

    TQCLGlyph* glyph_;
    TQCLButtonLayout* layout_;
    TQCLFxCaption* fontFX_;
    TPopupMenu* dropDownMenu_ = nullptr;
    TQCLButtonState state_ = bsUp;
    bool transparent_ = false;
    TQCLButtonState prevState_ = bsUp;
    uint16_t hotTimer_ = 0;
    uint16_t repeatTimer_ = 0;
    uint16_t repeatingDelay_ = 500;
    uint16_t repeatingInterval_ = 100;
    int groupIndex_ = 0;
    int dropDownComboWidth_ = 12;
    bool repeatedClick_ = false;
    bool allowMouseOver_ = false;
    bool allowTransparency_ = true;
    bool allowAllUp_ = false;
    bool pressed_ = false;
    bool mouseDown_ = false;
    bool mouseOver_ = false;
    bool releasing_ = false;
    bool dropDownCombo_ = false;
    bool dropDownPart_ = false;
    bool enterColorChange_ = false;
    bool useCaption_ = true;
    TColor enterColor_ = clCaptionText;
    int dropDownIndent_ = 0;
    bool dropDownRight_ = false;
    bool multiLine_ = false;
};
