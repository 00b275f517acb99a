// The image controls' bases (TQCLBaseImage, TQCLCustomLImage) and the
// animation control TQCLAniCtrl, which plays the pictures of one image list
// item: a frame range, a direction, six end-of-run styles, a repetition
// count, and a choice of three timers.
//
// Tricky points:
// - Every tick runs on the UI thread, whatever the timer: the pool's timers
//   tick there, and the high-resolution timer's thread hands its ticks over
//   through the framework's synchronised call, because a tick paints, hides
//   the control and runs OnStop.
// - With the pool timer the interval is rounded up to the pool's 50 ms step
//   only when the pool timer is set up; later the pool ignores intervals
//   that are not multiples of its step.
// - asLoopReverse holds each end frame for two ticks (the turning tick shows
//   no new frame).
// - Animate is never read from a layout: a control starts still.
// - Frames are drawn clipped to the rectangle inside the bevel (the style
//   flags carry the clip bit whenever there is a bevel), so a tiled or an
//   oversized frame never paints over the bevel.
#pragma once

#include "components/controls/QCLCustomControl.h"
#include "components/runtime/QCLTimer.h"
#include "components/runtime/qclclass.h"

enum TQCLAnimationStyle : uint8_t { asLoop, asLoopHide, asLoopReverse, asRepeat, asRepeatFirst, asRepeatHide };
enum TQCLTimerMode : uint8_t { tmGlobalTimer, tmHiTimer, tmThreaded };

class TQCLBaseImage : public TQCLGraphicControl {
public:
    explicit TQCLBaseImage(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLBaseImage"; }

    virtual bool CorrectBounds() { return false; }
    void AddStyleFlags(uint16_t& Flags);

    bool GetQuickDraw() const { return quickDraw_; }
    void SetQuickDraw(bool Value);
    TQCLBitmapStyle GetStyle() const { return style_; }
    void SetStyle(TQCLBitmapStyle Value);

protected:
    bool quickDraw_ = true;
    TQCLBitmapStyle style_ = sbNone;
};

class TQCLCustomLImage : public TQCLBaseImage {
public:
    explicit TQCLCustomLImage(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomLImage"; }

    bool GetEmpty() override;
    bool CorrectBounds() override;
    // The list's palette while there is a picture; realised before drawing
    // unless QuickDraw.
    HPALETTE GetPalette() override;
    // Index 0 ForceTransparent, 1 SilentMove.
    bool GetBool(int Index) const { return Index == 0 ? forceTransparent_ : silentMove_; }
    void SetBool(int Index, bool Value);

protected:
    bool forceTransparent_ = false;
    bool silentMove_ = false;
};

class TQCLAniCtrl : public TQCLCustomLImage {
public:
    explicit TQCLAniCtrl(TComponent* AOwner);
    ~TQCLAniCtrl() override;
    AnsiString ClassName() const override { return "TQCLAniCtrl"; }

    void Loaded() override;
    void GetIMLChange(TObject* Sender) override;
    bool GetEmpty() override;
    void Invalidate() override;
    void Dispatch(TMessage& Message) override;
    // Off-screen drawing over the parent's background, or a silent move over a
    // library parent's background bitmap.
    bool CheckOptimized() override;

    void Play();
    void Stop();
    void Move(int Frame);
    void First();
    void Last();
    void Next();
    void Prev();
    int GetFirstFrame() const { return reverse_ ? stopFrame_ : startFrame_; }
    int GetLastFrame() const { return reverse_ ? startFrame_ : stopFrame_; }
    int GetCurrentFrame() const { return GetImageIndex(); }
    int FrameCount();

    bool GetAnimate() const { return animate_; }
    void SetAnimate(bool Value);
    bool GetMakeVisible() const { return makeVisible_; }
    void SetMakeVisible(bool Value) { makeVisible_ = Value; }
    bool GetReverse() const { return reverse_; }
    void SetReverse(bool Value);
    bool GetUseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool Value);
    TQCLAnimationStyle GetAniStyle() const { return aniStyle_; }
    void SetAniStyle(TQCLAnimationStyle Value);
    uint16_t GetInterval() const { return interval_; }
    void SetInterval(uint16_t Value);
    uint8_t GetRepetitions() const { return repetitions_; }
    void SetRepetitions(uint8_t Value);
    TQCLTimerMode GetTimerMode() const { return timerMode_; }
    void SetTimerMode(TQCLTimerMode Value);
    int GetStartFrame() const { return startFrame_; }
    void SetStartFrame(int Value);
    int GetStopFrame() const { return stopFrame_; }
    void SetStopFrame(int Value);
    // The high-resolution timer's thread priority (taken when the timer starts).
    TThreadPriority GetThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TThreadPriority Value) { threadPriority_ = Value; }
    // The picture under a transparent control (none while opaque).
    TBitmap* BackgroundForTesting() const { return background_; }

    // The pool timer's identifier (0 none) and the high-resolution timer.
    uint16_t PoolTimerForTesting() const { return poolTimer_; }
    TQCLHiTimer* HiTimerForTesting() const { return hiTimer_; }
    // One timer tick, as the timer delivers it.
    void Tick(TObject* Sender);

    TNotifyEvent OnStart;
    TNotifyEvent OnAnimate;
    TNotifyEvent OnStop;

protected:
    void Paint() override;
    void BoundsChange(TQCLBoundsChangeStates State) override;

private:
    void activateTimer();
    void deactivateTimer();
    void enableTimer(bool On);
    void show(int Frame);
    void paintFrame(bool Animate);
    // Draws the current frame inside the bevel (PaintImage).
    void paintImage(TCanvas* Canvas);
    // The current frame into Rect, clipped to it when Flags ask for that.
    void clipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Flags);
    // Renews the picture under a transparent control.
    void renewBackground();
    bool parentBackground(TCanvas* Canvas, const TRect& Rect);

    TQCLHiTimer* hiTimer_ = nullptr;
    uint16_t poolTimer_ = 0;
    uint16_t interval_ = 200;
    int startFrame_ = 0;
    int stopFrame_ = 0;
    uint8_t repetitions_ = 1;
    uint8_t passes_ = 0;
    TQCLAnimationStyle aniStyle_ = asLoop;
    TQCLTimerMode timerMode_ = tmGlobalTimer;
    bool forward_ = true;
    bool animate_ = false;
    bool makeVisible_ = true;
    bool useBitmap_ = true;
    bool reverse_ = false;
    bool destroying_ = false;
    TThreadPriority threadPriority_ = tpNormal;
    TBitmap* background_ = nullptr;
    bool backRefresh_ = false;
};
