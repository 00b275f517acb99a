// TQCLHiTimer (unit QCLTimer): a timer component with millisecond
// resolution, ticking from its own thread (the default) or from the
// system's multimedia timer. Only the library's animation control uses it;
// no window of this program contains one.
//
// OnTimer runs on the thread that made the component (multimedia ticks are
// posted to a hidden window, thread ticks go through the framework's
// synchronised call), except in thread mode with Synchronize false, where it
// runs on the timer thread and must not touch windows. A tick that arrives
// while OnTimer runs a nested message loop is dropped. The interval keeps all
// 32 bits in both modes. The timer thread is stopped with an event and waited
// for (serving synchronised calls, so a tick on its way cannot deadlock)
// before the component goes.
#pragma once

#include "components/runtime/QCLCustomComponent.h"

#include "framework/Messages.h"
#include "framework/Threads.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class TQCLHiTimer;

// The timer thread: sleeps for its interval, then has the owner's Timer run
// (through the framework's synchronised call when Synchronize is set).
// Created suspended; its owner stops it and waits for its end.
class TQCLThreadedTimer : public TThread {
public:
    TQCLThreadedTimer(TQCLHiTimer* Owner, uint32_t Interval, bool Synchronize);
    ~TQCLThreadedTimer() override;

    // Ends the sleep at once and waits for the thread, still serving
    // synchronised calls on the way.
    void Stop();
    uint32_t GetInterval() const { return interval_; }

protected:
    void Execute() override;

private:
    void synchronizedTick();

    TQCLHiTimer* owner_;
    uint32_t interval_;
    bool synchronize_;
    HANDLE stop_ = nullptr;
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
    TThreadPriority GetThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);
    TNotifyEvent GetOnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);
    // 0 the largest supported period, 1 the smallest, any other 0.
    uint32_t GetInteger(int Index) const;
    void GetCaps(uint32_t& Smallest, uint32_t& Largest) const;
    // The running timer thread (thread mode), for tests.
    const TQCLThreadedTimer* GetThreadForTesting() const { return thread_; }

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
    UINT GetEventIdForTesting() const { return eventId_; }

    AnsiString ClassName() const override { return "TQCLHiTimer"; }

private:
    friend class TQCLThreadedTimer;
    void windowProc(TMessage& Message);
    void threadTick();
    static void CALLBACK multimediaTick(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void UpdateTimer();
    void stop();
    void tick();

    bool enabled_ = false;
    uint32_t interval_ = 1000;
    bool useThread_ = true;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    TNotifyEvent onTimer_;
    uint32_t periodMin_ = 1, periodMax_ = 1000000;
    std::atomic<UINT> eventId_{0};
    HWND window_ = nullptr;
    bool inTick_ = false;
    bool destroying_ = false;
    bool stopping_ = false;
    TQCLThreadedTimer* thread_ = nullptr;
};
