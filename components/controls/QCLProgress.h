// The library's progress meters: TQCLBaseMeter (the value model, the
// off-screen drawing and the two-colour caption), TQCLCustomProgress (a
// solid bar, a row of blocks or owner drawing) and TQCLCustomProgressFill (a
// bar painted by a fill object), published as TQCLProgress and
// TQCLProgressFill; TQCLSmallBar holds the block settings.
//
// Tricky points:
// - Position (0..100) and UserValue (MinValue..MaxValue) are converted into
//   each other with exact integer arithmetic, halves to the even neighbour.
//   Add and Sub move Position only.
// - Draw skips a change smaller than delta (blocks redraw only about every
//   half block), except that a percentage caption redraws on every change.
//   A full paint always draws the current value: it first clears the bar
//   area, so skipping there would leave the bar empty.
// - Draw paints outside WM_PAINT on the parent's DC, into an off-screen
//   bitmap first, and only while the parent window is on screen.
// - BarCount, the divisor of the block length and of the delta rule, is
//   never below 1.
#pragma once

#include "components/controls/QCLCustomControl.h"
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLShapeFill.h"
#include "components/runtime/Qclgraph.h"

#include "framework/StdCtrls.h"

#include <cstdint>

using TQCLPercent = std::uint8_t;
enum TQCLProgressStyle { pgBar, pgSmallBar, pgSmallBarColor, pgOwnerDraw };

using TQCLProgressPaintEvent =
    TEvent<void(TObject* Sender, TCanvas* aCanvas, const TRect& dest, const TRect& notDest, const TRect& aRect)>;
using TQCLProgressColorEvent = TEvent<void(TObject* Sender, std::uint8_t nr, TColor& aColor)>;

// Nearest integer of Numerator / Denominator (Denominator > 0), halves to even.
long long QCLRoundHalfEven(long long Numerator, long long Denominator);

class TQCLSmallBar : public TQCLObject {
public:
    TQCLSmallBar() = default;
    AnsiString ClassName() const override { return "TQCLSmallBar"; }
    void Assign(TPersistent* Source) override;

    // The length of one block for the direction and the bar area's size.
    int GetBarExtend(TQCLMeterDirection Direction, int Width, int Height) const;

    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value) { QCLSetField(this, autoSize_, Value); }
    std::uint8_t GetBarCount() const { return barCount_; }
    // Values below 1 are refused.
    void SetBarCount(std::uint8_t Value);
    TColor GetBarColor() const { return barColor_; }
    void SetBarColor(TColor Value) { QCLSetField(this, barColor_, Value); }
    std::uint8_t GetHSpace() const { return hSpace_; }
    void SetHSpace(std::uint8_t Value) { QCLSetField(this, hSpace_, Value); }
    std::uint8_t GetVSpace() const { return vSpace_; }
    void SetVSpace(std::uint8_t Value) { QCLSetField(this, vSpace_, Value); }

    BRIM_PROPERTY(AutoSize, TQCLSmallBar::GetAutoSize, TQCLSmallBar::SetAutoSize);
    BRIM_PROPERTY(BarCount, TQCLSmallBar::GetBarCount, TQCLSmallBar::SetBarCount);
    BRIM_PROPERTY(BarColor, TQCLSmallBar::GetBarColor, TQCLSmallBar::SetBarColor);
    BRIM_PROPERTY(HSpace, TQCLSmallBar::GetHSpace, TQCLSmallBar::SetHSpace);
    BRIM_PROPERTY(VSpace, TQCLSmallBar::GetVSpace, TQCLSmallBar::SetVSpace);

private:
    bool autoSize_ = true;
    std::uint8_t barCount_ = 10;
    TColor barColor_ = clNavy;
    std::uint8_t hSpace_ = 3;
    std::uint8_t vSpace_ = 3;
};

class TQCLBaseMeter : public TQCLGraphicControl {
public:
    explicit TQCLBaseMeter(TComponent* AOwner);
    ~TQCLBaseMeter() override;
    AnsiString ClassName() const override { return "TQCLBaseMeter"; }

    void Dispatch(TMessage& Message) override;
    // True when the control changed its size.
    virtual bool CorrectBounds() { return false; }
    virtual void DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect);
    // Draws the bar when the value moved by at least delta (see above).
    virtual void Draw();
    virtual int GetDrawValue() { return position_; }

    void SetMaxValue(int Value);
    void SetMinValue(int Value);
    void SetUserValue(int Value);
    void SetPercentValue(int Value);
    void Add(int N);
    void Sub(int N);
    void StepAdd() { Add(step_); }
    void StepSub() { Sub(step_); }
    void SetDelta(std::uint8_t N) { delta_ = N; }
    std::uint8_t GetDelta() const { return delta_; }

    // The bar's length for a side of `size` pixels at the current Position.
    int BarExtent(int Size) const;
    // The bar rectangles for an area of W x H: the bar and the rest.
    void BarRects(int W, int H, TRect& Dest, TRect& NotDest) const;

    int GetMaxValue() const { return maxValue_; }
    int GetMinValue() const { return minValue_; }
    int GetUserValue() const { return userValue_; }
    int GetPosition() const { return position_; }
    TQCLPercent GetStep() const { return step_; }
    void SetStep(TQCLPercent Value) { step_ = Value; }
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);
    TQCLMeterDirection GetDirection() const { return direction_; }
    void SetDirection(TQCLMeterDirection Value);
    TQCLMeterTextOptions GetOptionsText() const { return optionsText_; }
    void SetTextOptions(TQCLMeterTextOptions Value);
    bool GetUseFontColor() const { return useFontColor_; }
    void SetUseFontColor(bool Value);
    TQCL3DCaption* GetFont3D() const { return font3D_; }
    void Set3DCaption(TQCL3DCaption* Value) { font3D_->Assign(Value); }

    BRIM_PROPERTY(MaxValue, TQCLBaseMeter::GetMaxValue, TQCLBaseMeter::SetMaxValue);
    BRIM_PROPERTY(MinValue, TQCLBaseMeter::GetMinValue, TQCLBaseMeter::SetMinValue);
    BRIM_PROPERTY(UserValue, TQCLBaseMeter::GetUserValue, TQCLBaseMeter::SetUserValue);
    BRIM_PROPERTY(Position, TQCLBaseMeter::GetPosition, TQCLBaseMeter::SetPercentValue);
    BRIM_PROPERTY(Step, TQCLBaseMeter::GetStep, TQCLBaseMeter::SetStep);
    BRIM_PROPERTY(Alignment, TQCLBaseMeter::GetAlignment, TQCLBaseMeter::SetAlignment);
    BRIM_PROPERTY(Direction, TQCLBaseMeter::GetDirection, TQCLBaseMeter::SetDirection);
    BRIM_PROPERTY(OptionsText, TQCLBaseMeter::GetOptionsText, TQCLBaseMeter::SetTextOptions);
    BRIM_PROPERTY(UseFontColor, TQCLBaseMeter::GetUseFontColor, TQCLBaseMeter::SetUseFontColor);
    BRIM_PROPERTY(Font3D, TQCLBaseMeter::GetFont3D, TQCLBaseMeter::Set3DCaption);

protected:
    void Paint() override;
    void DrawCaption(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect, bool UseColor,
                     TColor Color);
    void repaint();
    void positionFromUser();
    void userFromPosition();
    // The bar drawn off-screen and copied onto the control; `force` skips the delta test.
    void drawValue(bool force);

    bool boundsGuard_ = false;

private:
    TQCL3DCaption* font3D_;
    TAlignment alignment_ = taCenter;
    TQCLMeterDirection direction_ = mdHorizontal;
    int maxValue_ = 100;
    int minValue_ = 0;
    int position_ = 0;
    int lastDrawn_ = 0;
    TQCLPercent step_ = 10;
    TRect barArea_;
    TQCLMeterTextOptions optionsText_ = toNoText;
    bool useFontColor_ = false;
    int userValue_ = 0;
    std::uint8_t delta_ = 1;
};

class TQCLCustomProgress : public TQCLBaseMeter {
public:
    explicit TQCLCustomProgress(TComponent* AOwner);
    ~TQCLCustomProgress() override;
    AnsiString ClassName() const override { return "TQCLCustomProgress"; }

    void GetChange(TObject* Sender) override;
    bool CorrectBounds() override;
    void DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect) override;

    TColor GetBarColor() const { return barColor_; }
    void SetBarColor(TColor Value);
    TQCLBorderStyle GetBar3D() const { return bar3D_; }
    void SetBar3D(TQCLBorderStyle Value);
    TQCLSmallBar* GetSmallBar() const { return smallBar_; }
    void SetSmBarOptions(TQCLSmallBar* Value) { smallBar_->Assign(Value); }
    TQCLProgressStyle GetStyle() const { return style_; }
    void SetStyle(TQCLProgressStyle Value);

    TQCLProgressPaintEvent OnPaint;
    TQCLProgressColorEvent OnGetColor;

    BRIM_PROPERTY(BarColor, TQCLCustomProgress::GetBarColor, TQCLCustomProgress::SetBarColor);
    BRIM_PROPERTY(Bar3D, TQCLCustomProgress::GetBar3D, TQCLCustomProgress::SetBar3D);
    BRIM_PROPERTY(SmallBar, TQCLCustomProgress::GetSmallBar, TQCLCustomProgress::SetSmBarOptions);
    BRIM_PROPERTY(Style, TQCLCustomProgress::GetStyle, TQCLCustomProgress::SetStyle);

private:
    bool blocks() const { return style_ == pgSmallBar || style_ == pgSmallBarColor; }
    void updateDelta();

    TColor barColor_ = clNavy;
    TQCLBorderStyle bar3D_ = lsNone;
    TQCLSmallBar* smallBar_;
    TQCLProgressStyle style_ = pgSmallBar;
};

class TQCLCustomProgressFill : public TQCLBaseMeter {
public:
    explicit TQCLCustomProgressFill(TComponent* AOwner);
    ~TQCLCustomProgressFill() override;
    AnsiString ClassName() const override { return "TQCLCustomProgressFill"; }

    void GetIMLChange(TObject* Sender) override;
    void DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect) override;

    TQCLBorderStyle GetBar3D() const { return bar3D_; }
    void SetBar3D(TQCLBorderStyle Value);
    TColor GetBrushBackColor() const { return brushBackColor_; }
    void SetBack(TColor Value);
    TQCLFillObject* GetFillObject() const { return fill_; }
    void SetFillObject(TQCLFillObject* Value) { fill_->Assign(Value); }

    BRIM_PROPERTY(Bar3D, TQCLCustomProgressFill::GetBar3D, TQCLCustomProgressFill::SetBar3D);
    BRIM_PROPERTY(BrushBackColor, TQCLCustomProgressFill::GetBrushBackColor, TQCLCustomProgressFill::SetBack);
    BRIM_PROPERTY(FillObject, TQCLCustomProgressFill::GetFillObject, TQCLCustomProgressFill::SetFillObject);

private:
    TQCLBorderStyle bar3D_ = lsNone;
    TColor brushBackColor_ = clBtnFace;
    TQCLFillObject* fill_;
};

class TQCLProgress : public TQCLCustomProgress {
public:
    using TQCLCustomProgress::TQCLCustomProgress;
    AnsiString ClassName() const override { return "TQCLProgress"; }
};

class TQCLProgressFill : public TQCLCustomProgressFill {
public:
    using TQCLCustomProgressFill::TQCLCustomProgressFill;
    AnsiString ClassName() const override { return "TQCLProgressFill"; }
};
