// Image control bases and the animation control; see QCLAniCtrl.h.
#include "components/controls/QCLAniCtrl.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclerrors.h"

#include "framework/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TQCLBaseImage, TQCLCustomLImage

TQCLBaseImage::TQCLBaseImage(TComponent* AOwner) : TQCLGraphicControl(AOwner) {
    TControlStyle style = GetControlStyle();
    style << csReplicatable;
    SetControlStyle(style);
}

void TQCLBaseImage::AddStyleFlags(uint16_t& Flags) {
    static const uint16_t styleFlags[8] = {0x1, 0x1, 0x9, 0x10, 0x21, 0x610, 0x211, 0x411};
    Flags |= styleFlags[style_];
    if (BevelExt() == 0) Flags ^= 0x1;
}

void TQCLBaseImage::SetQuickDraw(bool Value) {
    if (quickDraw_ == Value) return;
    quickDraw_ = Value;
    InvalidateControl();
}

void TQCLBaseImage::SetStyle(TQCLBitmapStyle Value) {
    if (style_ == Value) return;
    style_ = Value;
    InvalidateControl();
}

TQCLCustomLImage::TQCLCustomLImage(TComponent* AOwner) : TQCLBaseImage(AOwner) {}

bool TQCLCustomLImage::GetEmpty() { return IMLEmpty(); }

HPALETTE TQCLCustomLImage::GetPalette() { return GetEmpty() ? nullptr : GetImageList()->Palette(GetListIndex()); }

void TQCLCustomLImage::SetBool(int Index, bool Value) {
    bool& field = Index == 0 ? forceTransparent_ : silentMove_;
    if (field == Value) return;
    field = Value;
    InvalidateControl();
}

bool TQCLCustomLImage::CorrectBounds() {
    if (style_ != sbAutosize) return false;
    int w = 20, h = 20;
    if (!GetEmpty()) {
        TRect r = GetImageList()->ItemRect(GetListIndex(), GetImageIndex());
        w = r.Width();
        h = r.Height();
    }
    w += DblBevelExt();
    h += DblBevelExt();
    if (w == GetWidth() && h == GetHeight()) return false;
    SetBounds(GetLeft(), GetTop(), w, h);
    return true;
}

// ---------------------------------------------------------------------------
// TQCLAniCtrl

TQCLAniCtrl::TQCLAniCtrl(TComponent* AOwner) : TQCLCustomLImage(AOwner) {
    DisableTransMode();
    forceTransparent_ = true;
    activateTimer();
}

TQCLAniCtrl::~TQCLAniCtrl() {
    destroying_ = true;  // Stop then neither repaints, hides nor runs OnStop
    Stop();
    deactivateTimer();
    delete background_;
}

void TQCLAniCtrl::Loaded() {
    TQCLCustomLImage::Loaded();
    if (timerMode_ != tmGlobalTimer) {
        if (poolTimer_ && QCLApplication) QCLApplication->RemoveTimer(poolTimer_);
        poolTimer_ = 0;
        activateTimer();
    }
    show(GetFirstFrame());
}

int TQCLAniCtrl::FrameCount() {
    if (!GetImageList()) return 0;
    return GetImageList()->ItemCount(GetListIndex());
}

bool TQCLAniCtrl::GetEmpty() { return !GetImageList() || FrameCount() <= 0; }

void TQCLAniCtrl::activateTimer() {
    if (timerMode_ == tmGlobalTimer) {
        uint16_t step = 50;
        if (QCLApplication && QCLApplication->GetTimerPool()) step = QCLApplication->GetTimerPool()->GetMinInterval();
        if (step == 0) step = 50;
        const uint16_t rounded = static_cast<uint16_t>((interval_ + step - 1) / step * step);
        poolTimer_ = QCLApplication ? QCLApplication->AddTimerExt(rounded ? rounded : step, -1, false,
                                                                  TNotifyEvent(this, &TQCLAniCtrl::Tick))
                                    : 0;
        if (!poolTimer_) throw EOutOfResources(QCLLoadStr(65244, "Not enough timers available"));
    } else {
        hiTimer_ = new TQCLHiTimer(nullptr, interval_);
        hiTimer_->SetUseThread(timerMode_ == tmThreaded);
        // The tick paints and may hide the control: it must run on the UI thread.
        hiTimer_->Synchronize = true;
        hiTimer_->SetOnTimer(TNotifyEvent(this, &TQCLAniCtrl::Tick));
    }
}

void TQCLAniCtrl::deactivateTimer() {
    if (poolTimer_ && QCLApplication) QCLApplication->RemoveTimer(poolTimer_);
    poolTimer_ = 0;
    delete hiTimer_;
    hiTimer_ = nullptr;
}

void TQCLAniCtrl::enableTimer(bool On) {
    if (hiTimer_) {
        if (On) {
            hiTimer_->SetInterval(interval_);
            hiTimer_->SetThreadPriority(threadPriority_);
        }
        hiTimer_->SetEnabled(On);
        return;
    }
    TQCLTimerItem* item = (poolTimer_ && QCLApplication) ? QCLApplication->GetTimer(poolTimer_) : nullptr;
    if (!item) return;
    if (On) item->SetInterval(interval_);
    item->SetEnabled(On);
}

void TQCLAniCtrl::show(int Frame) { SetImageIndex(Frame); }

void TQCLAniCtrl::paintFrame(bool Animate) {
    if (Animate && OnAnimate) OnAnimate(this);
    if (!(GetParent() && GetParent()->HandleAllocated() && GetVisible())) return;
    Invalidate();
    // An opaque frame, or one put together off-screen, goes up at once; a
    // transparent one drawn straight onto the control waits for its parent.
    if (!GetTransparent() || useBitmap_) Update();
}

void TQCLAniCtrl::Play() {
    if (IsLoading() || GetEmpty()) return;
    if (animate_) Stop();
    if (!GetVisible()) {
        if (!makeVisible_) return;
        SetVisible(true);
    }
    forward_ = !reverse_;
    passes_ = 0;
    show(GetFirstFrame());
    animate_ = true;
    if (OnStart) OnStart(this);
    paintFrame(true);
    enableTimer(true);
}

void TQCLAniCtrl::Stop() {
    if (!animate_) return;
    enableTimer(false);
    passes_ = 0;
    animate_ = false;
    if (destroying_ || GetComponentState().Contains(csDestroying)) return;
    switch (aniStyle_) {
    case asLoop: case asLoopReverse: case asRepeatFirst:
        show(GetFirstFrame());
        paintFrame(true);
        break;
    case asLoopHide: case asRepeatHide:
        if (!GetComponentState().Contains(csDesigning)) SetVisible(false);
        break;
    default:
        break;
    }
    if (OnStop) OnStop(this);
}

void TQCLAniCtrl::Tick(TObject*) {
    if (!animate_) return;
    if (GetEmpty() || !GetVisible()) {
        Stop();
        return;
    }
    const int current = GetCurrentFrame();
    const int end = forward_ ? stopFrame_ : startFrame_;
    const int begin = forward_ ? startFrame_ : stopFrame_;
    if (current == end) {
        switch (aniStyle_) {
        case asLoop: case asLoopHide: show(begin); break;
        case asLoopReverse: forward_ = !forward_; return;
        case asRepeat:
            if (++passes_ < repetitions_) show(begin);
            else {
                Stop();
                return;
            }
            break;
        default:
            Stop();
            return;
        }
    } else {
        show(current + (forward_ ? 1 : -1));
    }
    paintFrame(true);
}

void TQCLAniCtrl::Move(int Frame) {
    if (animate_ || GetEmpty() || Frame < startFrame_ || Frame > stopFrame_) return;
    show(Frame);
    paintFrame(false);
}

void TQCLAniCtrl::First() { Move(GetFirstFrame()); }
void TQCLAniCtrl::Last() { Move(GetLastFrame()); }
void TQCLAniCtrl::Next() {
    const int step = reverse_ ? -1 : 1;
    if (GetCurrentFrame() != GetLastFrame()) Move(GetCurrentFrame() + step);
}
void TQCLAniCtrl::Prev() {
    const int step = reverse_ ? 1 : -1;
    if (GetCurrentFrame() != GetFirstFrame()) Move(GetCurrentFrame() + step);
}

void TQCLAniCtrl::SetAnimate(bool Value) {
    if (Value == animate_) return;
    if (Value) Play();
    else Stop();
}

void TQCLAniCtrl::SetReverse(bool Value) {
    Stop();
    reverse_ = Value;
}

void TQCLAniCtrl::SetUseBitmap(bool Value) {
    if (useBitmap_ == Value) return;
    useBitmap_ = Value;
    GetChange(this);
}

void TQCLAniCtrl::SetAniStyle(TQCLAnimationStyle Value) {
    Stop();
    aniStyle_ = Value;
}

void TQCLAniCtrl::SetInterval(uint16_t Value) {
    if (interval_ == Value) return;
    if (!IsLoading()) Stop();
    interval_ = Value;
}

void TQCLAniCtrl::SetRepetitions(uint8_t Value) {
    if (Value == 0 || Value == repetitions_) return;
    Stop();
    repetitions_ = Value;
}

void TQCLAniCtrl::SetTimerMode(TQCLTimerMode Value) {
    if (IsLoading()) {
        timerMode_ = Value;
        return;
    }
    if (timerMode_ == Value) return;
    Stop();
    deactivateTimer();
    timerMode_ = Value;
    activateTimer();
}

void TQCLAniCtrl::SetStartFrame(int Value) {
    if (IsLoading()) {
        startFrame_ = Value;
        return;
    }
    if (GetEmpty()) {
        startFrame_ = 0;
        return;
    }
    if (Value == startFrame_ || Value < 0 || Value >= FrameCount()) return;
    Stop();
    const int other = stopFrame_;
    startFrame_ = std::min(Value, other);
    stopFrame_ = std::max(Value, other);
    show(Value);
    paintFrame(false);
}

void TQCLAniCtrl::SetStopFrame(int Value) {
    if (IsLoading()) {
        stopFrame_ = Value;
        return;
    }
    if (GetEmpty()) {
        stopFrame_ = 0;
        return;
    }
    if (Value == stopFrame_ || Value < 0 || Value >= FrameCount()) return;
    Stop();
    const int other = startFrame_;
    startFrame_ = std::min(Value, other);
    stopFrame_ = std::max(Value, other);
    show(startFrame_);
    paintFrame(false);
}

void TQCLAniCtrl::GetIMLChange(TObject* Sender) {
    if (!IsLoading()) {
        startFrame_ = 0;
        stopFrame_ = std::max(0, FrameCount() - 1);
        show(GetFirstFrame());
    }
    TQCLCustomLImage::GetIMLChange(Sender);
}

void TQCLAniCtrl::Invalidate() {
    if (GetTransparent()) backRefresh_ = true;
    TQCLCustomLImage::Invalidate();
}

void TQCLAniCtrl::BoundsChange(TQCLBoundsChangeStates State) {
    if (GetTransparent()) backRefresh_ = true;
    TQCLCustomLImage::BoundsChange(State);
}

bool TQCLAniCtrl::CheckOptimized() {
    if (useBitmap_ && TQCLCustomLImage::CheckOptimized()) return true;
    if (!silentMove_) return false;
    TQCLBackSource* source = QCLParentBackSource(this);
    return dynamic_cast<TQCLCustomControl*>(GetParent()) && source && source->BackBitmapCheck();
}

void TQCLAniCtrl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_QCLBACKCHANGED:
        if (GetTransparent() || silentMove_) Invalidate();
        return;
    case CM_QCLTRANSPARENTCHANGED:
        delete background_;
        background_ = GetTransparent() ? new TBitmap : nullptr;
        backRefresh_ = GetTransparent();
        break;
    default:
        break;
    }
    TQCLCustomLImage::Dispatch(Message);
}

bool TQCLAniCtrl::parentBackground(TCanvas* Canvas, const TRect& Rect) {
    TQCLBackSource* source = QCLParentBackSource(this);
    return source && source->BackBitmapCheck() && source->BackDrawArea(Canvas, Rect, TPoint(GetLeft(), GetTop()));
}

void TQCLAniCtrl::renewBackground() {
    const TRect client = GetClientRect();
    background_->SetPixelFormat(pf24bit);
    background_->SetSize(client.Width(), client.Height());
    if (!(CheckOptimized() && parentBackground(background_->GetCanvas(), client))) {
        // No picture to take from the parent: what the screen shows there.
        bevel_->PaintBevel(GetCanvas(), client, true);
        QCLBmpFromDesktop(background_, GetScreenRect(client));
    }
    backRefresh_ = false;
}

void TQCLAniCtrl::Paint() {
    if (IsLoading() || CorrectBounds()) return;  // a resized control paints again
    TCanvas* canvas = GetCanvas();
    const TRect client = GetClientRect();
    if (!GetTransparent() && !silentMove_) {
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->GetBrush()->SetColor(GetColor());
        canvas->FillRect(client);
    }
    if (GetEmpty() && BevelExt() == 0) {
        TQCLGraphicControl::Paint();
        return;
    }
    if (GetTransparent() && background_ && backRefresh_) renewBackground();
    bevel_->PaintBevel(canvas, client, GetTransparent());
    paintImage(canvas);
}

void TQCLAniCtrl::clipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Flags) {
    TQCLCustomImageList* list = GetImageList();
    const int li = GetListIndex(), ii = GetImageIndex();
    // The clip region is made in device units, so the control's place on its
    // parent needs no offset of its own here.
    list->ClipDraw(Canvas, Rect, Flags, 0, list->TransparentColor(li, ii), li, ii);
}

void TQCLAniCtrl::paintImage(TCanvas* Canvas) {
    if (GetEmpty() || !GetImageList()->IsValidItem(GetListIndex(), GetImageIndex())) return;
    TQCLCustomImageList* list = GetImageList();
    const TRect rect = BeveledRect();
    uint16_t flags = forceTransparent_ ? qclmode::TransparentColor : 0;
    AddStyleFlags(flags);
    const bool opaque = !GetTransparent() || silentMove_;
    const bool cutOut = list->Masked(GetListIndex()) || forceTransparent_;
    const bool offScreen = useBitmap_ && (opaque ? cutOut : background_ != nullptr);
    if (!offScreen) {
        if (opaque && cutOut) {
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(GetColor());
            Canvas->FillRect(rect);
        }
        if (!quickDraw_) QCLRealizePaletteIn(Canvas, GetPalette());
        try {
            clipDraw(Canvas, rect, flags);
        } catch (...) {
            // A frame that cannot be drawn is simply not shown.
        }
        return;
    }
    // Through an off-screen bitmap, so the frame never flickers over its background.
    TBitmap frame;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(rect.Width(), rect.Height());
    TCanvas* c = frame.GetCanvas();
    const TRect whole(0, 0, rect.Width(), rect.Height());
    if (!opaque) {
        c->CopyRect(whole, background_->GetCanvas(), rect);
    } else if (!(silentMove_ && parentBackground(c, whole))) {
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(GetColor());
        c->FillRect(whole);
    }
    clipDraw(c, whole, flags);
    if (opaque && !quickDraw_) QCLRealizePaletteIn(Canvas, GetPalette());
    Canvas->Draw(rect.Left, rect.Top, &frame);
}
