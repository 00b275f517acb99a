// The library's windowless labels: TQCLBaseLabel (layout settings, blinking
// on the application's timer pool, the accelerator), TQCLCustomSimpleLabel
// (3D caption, painting, auto size, the hyperlink behaviour) and
// TQCLSimpleLabel, which every skinned title and the message box text use.
//
// Tricky points:
// - Auto size keeps Left and Top and takes the measured right and bottom
//   edges; the alignment plays no part in it (a label grows to the right and
//   downwards). Constraints still clamp the result.
// - Auto size waits for Loaded inside a loading bracket; MeasuredSize gives
//   the same size at once to code that lays out below a label it builds.
// - A multi-line label aligned vertically is placed by measuring first,
//   because DrawText cannot centre several lines vertically.
// - JumpMode has no unchanged test: setting jmNone again turns the font
//   black, so labels that are no links never set it.
// - A blinking label whose pool is full gets identifier 0: it stays shown and
//   never touches a timer item. Adding the timer may raise the pool's errors;
//   Twinkle then stays off.
// - The link's shell call goes through a replaceable function so that tests
//   never open anything.
#pragma once

#include "components/controls/QCLCustomControl.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/Qclgraph.h"

enum TQCLLabelOption { loPathEllipsis, loEndEllipsis, loEditControl };
using TQCLLabelOptions = TSet<TQCLLabelOption>;
enum TQCLJumpMode { jmInternet, jmApplication, jmNone, jmCustom };

// Opens a target with the shell's default verb; returns what ShellExecuteA
// returns (above 32 on success).
using TQCLShellOpenFunc = HINSTANCE (*)(HWND Owner, const AnsiString& Target);
// Replaces the labels' shell call; returns the previous one.
TQCLShellOpenFunc QCLSetLabelShellOpenForTesting(TQCLShellOpenFunc Func);

class TQCLBaseLabel : public TQCLBaseGraphicControl {
public:
    explicit TQCLBaseLabel(TComponent* AOwner);
    ~TQCLBaseLabel() override;
    AnsiString ClassName() const override { return "TQCLBaseLabel"; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetChange(TObject* Sender) override;
    bool GetEmpty() override;
    virtual AnsiString GetLabelText() { return GetText(); }
    virtual void FontChange(TObject* Sender);
    virtual void CorrectBounds() {}

    // The DrawText flags of Options.
    UINT GetOptionsFlag() const;

    // Index 0 AutoSize, 1 MultiLine, 2 ShowAccelChar, 3 Twinkle.
    bool GetBool(int Index) const;
    void SetBool(int Index, bool Value);
    // Index 0 TwinkleVisible, 1 TwinkleInVisible (milliseconds).
    int GetInteger(int Index) const { return Index == 0 ? twinkleVisible_ : twinkleInVisible_; }
    void SetInteger(int Index, int Value);

    TQCLAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TQCLAlignment Value);
    TQCLLabelOptions GetOptions() const { return options_; }
    void SetOptions(TQCLLabelOptions Value);
    TWinControl* GetFocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* Value);
    TColor GetTwinkleColor() const { return twinkleColor_; }
    void SetTwinkleColor(TColor Value) { twinkleColor_ = Value; }

    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value) override { SetBool(0, Value); }
    bool GetMultiLine() const { return multiLine_; }
    void SetMultiLine(bool Value) { SetBool(1, Value); }
    bool GetShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool Value) { SetBool(2, Value); }
    bool GetTwinkle() const { return twinkle_; }
    void SetTwinkle(bool Value) { SetBool(3, Value); }
    int GetTwinkleVisible() const { return twinkleVisible_; }
    void SetTwinkleVisible(int Value) { SetInteger(0, Value); }
    int GetTwinkleInVisible() const { return twinkleInVisible_; }
    void SetTwinkleInVisible(int Value) { SetInteger(1, Value); }
    // The pool identifier of the blink timer, -1 when none.
    int TimerIdent() const { return timerIdent_; }
    // True while the blink phase shows the caption.
    bool BlinkShown() const { return blinkShown_; }

    BRIM_PROPERTY(Alignment, TQCLBaseLabel::GetAlignment, TQCLBaseLabel::SetAlignment);
    BRIM_PROPERTY(AutoSize, TQCLBaseLabel::GetAutoSize, TQCLBaseLabel::SetAutoSize);
    BRIM_PROPERTY(MultiLine, TQCLBaseLabel::GetMultiLine, TQCLBaseLabel::SetMultiLine);
    BRIM_PROPERTY(ShowAccelChar, TQCLBaseLabel::GetShowAccelChar, TQCLBaseLabel::SetShowAccelChar);
    BRIM_PROPERTY(Twinkle, TQCLBaseLabel::GetTwinkle, TQCLBaseLabel::SetTwinkle);
    BRIM_PROPERTY(TwinkleVisible, TQCLBaseLabel::GetTwinkleVisible, TQCLBaseLabel::SetTwinkleVisible);
    BRIM_PROPERTY(TwinkleInVisible, TQCLBaseLabel::GetTwinkleInVisible, TQCLBaseLabel::SetTwinkleInVisible);
    BRIM_PROPERTY(TwinkleColor, TQCLBaseLabel::GetTwinkleColor, TQCLBaseLabel::SetTwinkleColor);
    BRIM_PROPERTY(Options, TQCLBaseLabel::GetOptions, TQCLBaseLabel::SetOptions);
    BRIM_PROPERTY(FocusControl, TQCLBaseLabel::GetFocusControl, TQCLBaseLabel::SetFocusControl);

protected:
    void startBlinking();
    void stopBlinking();
    void blinkTick(TObject* Sender);

    TQCLAlignment alignment_ = agTopLeft;
    bool autoSize_ = true;
    bool multiLine_ = false;
    bool showAccelChar_ = true;
    bool twinkle_ = false;
    int twinkleVisible_ = 700;
    int twinkleInVisible_ = 700;
    TColor twinkleColor_ = clNone;
    TQCLLabelOptions options_;
    TWinControl* focusControl_ = nullptr;
    int timerIdent_ = -1;
    bool blinkShown_ = true;
};

class TQCLCustomSimpleLabel : public TQCLBaseLabel {
public:
    explicit TQCLCustomSimpleLabel(TComponent* AOwner);
    ~TQCLCustomSimpleLabel() override;
    AnsiString ClassName() const override { return "TQCLCustomSimpleLabel"; }

    void DefineProperties(TFiler* Filer) override;
    void Loaded() override;
    void CorrectBounds() override;
    // The size auto size gives the text at the present width, measured now
    // even inside a loading bracket (where CorrectBounds waits for Loaded):
    // code that places controls below a label while building needs it.
    TSize MeasuredSize();
    void Click() override;
    // Only a jmCustom label takes its caption and state from an action.
    void ActionChange(TObject* Sender, bool CheckDefaults) override;

    // A click as if the user had clicked: in a link mode the counter and the
    // active colour first.
    void Execute();
    // Counter 0, the inactive colour, and the underline when wanted.
    void ResetCounter();
    int GetCounter() const { return counter_; }

    TQCL3DCaption* GetFont3D() const { return font3D_; }
    void SetFont3D(TQCL3DCaption* Value) { font3D_->Assign(Value); }
    AnsiString GetJump() const { return jump_; }
    void SetJump(const AnsiString& Value) { jump_ = Value; }
    // Index 0 ActiveColor, 1 InActiveColor.
    TColor GetColorIndex(int Index) const { return Index == 0 ? activeColor_ : inActiveColor_; }
    void SetColorIndex(int Index, TColor Value);
    TColor GetActiveColor() const { return activeColor_; }
    void SetActiveColor(TColor Value) { SetColorIndex(0, Value); }
    TColor GetInActiveColor() const { return inActiveColor_; }
    void SetInActiveColor(TColor Value) { SetColorIndex(1, Value); }
    bool GetJumpUnderline() const { return jumpUnderline_; }
    void SetJumpUnderline(bool Value);
    TQCLJumpMode GetJumpMode() const { return jumpMode_; }
    void SetJumpMode(TQCLJumpMode Value);
    // Set by reading the older "UseAsJump" stream property.
    bool LegacyJump() const { return legacyJump_; }

    BRIM_READONLY(Counter, TQCLCustomSimpleLabel::GetCounter);
    BRIM_PROPERTY(Font3D, TQCLCustomSimpleLabel::GetFont3D, TQCLCustomSimpleLabel::SetFont3D);
    BRIM_PROPERTY(Jump, TQCLCustomSimpleLabel::GetJump, TQCLCustomSimpleLabel::SetJump);
    BRIM_PROPERTY(ActiveColor, TQCLCustomSimpleLabel::GetActiveColor, TQCLCustomSimpleLabel::SetActiveColor);
    BRIM_PROPERTY(InActiveColor, TQCLCustomSimpleLabel::GetInActiveColor, TQCLCustomSimpleLabel::SetInActiveColor);
    BRIM_PROPERTY(JumpUnderline, TQCLCustomSimpleLabel::GetJumpUnderline, TQCLCustomSimpleLabel::SetJumpUnderline);
    BRIM_PROPERTY(JumpMode, TQCLCustomSimpleLabel::GetJumpMode, TQCLCustomSimpleLabel::SetJumpMode);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool isLink() const { return jumpMode_ != jmNone; }
    void jump();

private:
    TQCL3DCaption* font3D_;
    bool legacyJump_ = false;
    int counter_ = 0;
    AnsiString jump_;
    TColor activeColor_ = clPurple;
    TColor inActiveColor_ = clBlue;
    bool jumpUnderline_ = true;
    TQCLJumpMode jumpMode_ = jmNone;
};

class TQCLSimpleLabel : public TQCLCustomSimpleLabel {
public:
    using TQCLCustomSimpleLabel::TQCLCustomSimpleLabel;
    AnsiString ClassName() const override { return "TQCLSimpleLabel"; }
};
