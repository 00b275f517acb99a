// TQCLHiTimer (unit QCLTimer): a timer component with millisecond
// resolution, ticking from its own thread (the default) or from the
// system's multimedia timer. Only the library's animation control uses it;
// no window of this program contains one.
//
// Both mechanisms deliver ticks as messages to a hidden window of the
// component, so OnTimer runs on the thread that made the component, except in
// thread mode with Synchronize false, where it runs on the timer thread and
// must not touch windows. A tick that arrives while OnTimer runs a nested
// message loop is dropped. The timer thread is stopped with an event and
// joined (pumping sent messages, so a tick on its way cannot deadlock) before
// the component goes.
#pragma once

#include "QCLCustomComponent.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

// Priority of the timer thread.
enum class TQCLThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TQCLHiTimer;

// The timer thread: sleeps for its interval, then has the owner's Timer run.
class TQCLThreadedTimer {
public:
    TQCLThreadedTimer(TQCLHiTimer* Owner, uint32_t Interval, TQCLThreadPriority Priority, bool Synchronize);
    ~TQCLThreadedTimer();  // stops and joins the thread
    TQCLThreadedTimer(const TQCLThreadedTimer&) = delete;
    TQCLThreadedTimer& operator=(const TQCLThreadedTimer&) = delete;

    uint32_t GetInterval() const { return interval_; }

private:
    static DWORD WINAPI run(void* self);
    void Execute();

    TQCLHiTimer* owner_;
    uint32_t interval_;
    bool synchronize_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
};

class TQCLHiTimer : public TQCLCustomComponent {
public:
    explicit TQCLHiTimer(TComponent* AOwner);
    TQCLHiTimer(TComponent* AOwner, uint32_t AInterval);
    ~TQCLHiTimer() override;

    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t GetInterval() const { return interval_; }
    // Clamped to the multimedia timer's supported periods (0 gives the smallest).
    void SetInterval(uint32_t value);
    bool GetUseThread() const { return useThread_; }
    void SetUseThread(bool value);
    TQCLThreadPriority GetThreadPriority() const { return priority_; }
    void SetThreadPriority(TQCLThreadPriority value);
    TNotifyEvent GetOnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);
    // 0 the largest supported period, 1 the smallest, any other 0.
    uint32_t GetInteger(int Index) const;
    void GetCaps(uint32_t& Smallest, uint32_t& Largest) const;
    // The running timer thread (thread mode), for tests.
    const TQCLThreadedTimer* GetThread() const { return thread_; }

    BRIM_PROPERTY(Enabled, TQCLHiTimer::GetEnabled, TQCLHiTimer::SetEnabled);
    BRIM_PROPERTY(Interval, TQCLHiTimer::GetInterval, TQCLHiTimer::SetInterval);
    BRIM_PROPERTY(UseThread, TQCLHiTimer::GetUseThread, TQCLHiTimer::SetUseThread);
    BRIM_PROPERTY(ThreadPriority, TQCLHiTimer::GetThreadPriority, TQCLHiTimer::SetThreadPriority);
    BRIM_PROPERTY(OnTimer, TQCLHiTimer::GetOnTimer, TQCLHiTimer::SetOnTimer);

    bool Synchronize = true;

    // Calls OnTimer with this component as Sender.
    virtual void Timer();
    // The hidden window that receives the ticks.
    HWND GetHandle() const { return window_; }
    // The multimedia event running now (0 none), for tests.
    UINT GetEventId() const { return eventId_; }

    AnsiString ClassName() const override { return "TQCLHiTimer"; }

private:
    friend class TQCLThreadedTimer;
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static void CALLBACK multimediaTick(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void UpdateTimer();
    void stop();
    void tick();
    void createWindow();

    bool enabled_ = false;
    uint32_t interval_ = 1000;
    bool useThread_ = true;
    TQCLThreadPriority priority_ = TQCLThreadPriority::tpNormal;
    TNotifyEvent onTimer_;
    uint32_t periodMin_ = 1, periodMax_ = 1000000;
    std::atomic<UINT> eventId_{0};
    HWND window_ = nullptr;
    bool inTick_ = false;
    bool destroying_ = false;
    bool stopping_ = false;
    TQCLThreadedTimer* thread_ = nullptr;
};
