/*
 * TTimer; see Timers.h.
 */
#include "framework/Timers.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    window_ = AllocateHWnd(TWndMethod(this, &TTimer::wndProc));
}

TTimer::~TTimer() {
    enabled_ = false;
    if (window_) {
        KillTimer(window_, 1);
        DeallocateHWnd(window_);
    }
}

void TTimer::updateTimer() {
    KillTimer(window_, 1);
    if (interval_ != 0 && enabled_ && onTimer_) {
        if (!SetTimer(window_, 1, interval_, nullptr)) throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::SetEnabled(bool value) {
    if (SetIfChanged(enabled_, value)) updateTimer();
}

void TTimer::SetInterval(unsigned value) {
    if (SetIfChanged(interval_, value)) updateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent value) {
    onTimer_ = value;
    updateTimer();
}

void TTimer::Timer() {
    if (onTimer_) onTimer_(this);
}

void TTimer::wndProc(TMessage& message) {
    if (message.Msg != WM_TIMER) {
        DefaultWindowResult(window_, message);
        return;
    }
    message.Result = 0;
    if (running_ || !enabled_) return;  // no re-entry through a nested loop
    running_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{running_};
    try {
        Timer();
    } catch (...) {
        HandleCurrentException();
    }
}
