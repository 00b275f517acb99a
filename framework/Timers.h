/*
 * TTimer: a window timer on a hidden message-only window, so its ticks reach
 * the UI thread inside every message loop, modal ones included. Any change
 * restarts it; it runs only with an interval, Enabled and a handler. Ticks
 * that arrive while its own handler runs a nested loop are dropped; an
 * exception in the handler goes to the application and the timer goes on.
 */
#pragma once

#include "framework/Classes.h"
#include "framework/Messages.h"

using TTimerEvent = TNotifyEvent;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned GetInterval() const { return interval_; }
    void SetInterval(unsigned value);
    TNotifyEvent GetOnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);
    // The hidden window that receives WM_TIMER (tests send ticks to it).
    HWND GetHandle() const { return window_; }

protected:
    virtual void Timer();

private:
    void updateTimer();
    void wndProc(TMessage& message);

    HWND window_ = nullptr;
    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    bool running_ = false;

public:
    BRIM_PROPERTY(Enabled, TTimer::GetEnabled, TTimer::SetEnabled);
    BRIM_PROPERTY(Interval, TTimer::GetInterval, TTimer::SetInterval);
    BRIM_PROPERTY(OnTimer, TTimer::GetOnTimer, TTimer::SetOnTimer);
    BRIM_READONLY(Handle, TTimer::GetHandle);
};
