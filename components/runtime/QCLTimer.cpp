// High-resolution timer component and its timer thread; see QCLTimer.h.
// Multimedia ticks arrive on a system thread and are posted to a hidden window
// (AllocateHWnd) as WM_TIMER carrying the event's id, so a tick of an event
// that has been killed meanwhile is recognised and dropped.
#include "components/runtime/QCLTimer.h"

#include "components/runtime/qclerrors.h"

#include <mmsystem.h>

#include <algorithm>

// ---------------------------------------------------------------------------
// TQCLThreadedTimer

TQCLThreadedTimer::TQCLThreadedTimer(TQCLHiTimer* Owner, uint32_t Interval, bool Synchronize)
    : TThread(true), owner_(Owner), interval_(Interval), synchronize_(Synchronize) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!stop_)
        throw EOutOfResources(QCLLoadStr(65244, "Not enough timers available"));
}

TQCLThreadedTimer::~TQCLThreadedTimer() {
    Stop();
    CloseHandle(stop_);
}

void TQCLThreadedTimer::Stop() {
    Terminate();
    SetEvent(stop_);
    if (!GetSuspended() && !GetFinished())
        WaitFor();
}

void TQCLThreadedTimer::Execute() {
    while (!GetTerminated() && WaitForSingleObject(stop_, interval_) == WAIT_TIMEOUT) {
        if (GetTerminated() || !owner_->enabled_)
            continue;
        if (synchronize_) {
            Synchronize(TThreadMethod(this, &TQCLThreadedTimer::synchronizedTick));
            continue;
        }
        try {
            owner_->Timer();
        } catch (...) {
            // No handler may run on this thread; the tick is lost.
        }
    }
}

void TQCLThreadedTimer::synchronizedTick() {
    if (!GetTerminated())
        owner_->threadTick();
}

// ---------------------------------------------------------------------------
// TQCLHiTimer

TQCLHiTimer::TQCLHiTimer(TComponent* AOwner) : TQCLHiTimer(AOwner, 1000) {}

TQCLHiTimer::TQCLHiTimer(TComponent* AOwner, uint32_t AInterval) : TQCLCustomComponent(AOwner), interval_(AInterval) {
    GetCaps(periodMin_, periodMax_);
    timeBeginPeriod(periodMin_);
    window_ = AllocateHWnd(TWndMethod(this, &TQCLHiTimer::windowProc));
}

TQCLHiTimer::~TQCLHiTimer() {
    destroying_ = true;
    stop();  // before the handler goes: an unsynchronised thread reads it
    onTimer_ = nullptr;
    timeEndPeriod(periodMin_);
    enabled_ = false;
    DeallocateHWnd(window_);
}

void TQCLHiTimer::GetCaps(uint32_t& Smallest, uint32_t& Largest) const {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
        Smallest = caps.wPeriodMin;
        Largest = caps.wPeriodMax;
    }
}

uint32_t TQCLHiTimer::GetInteger(int Index) const {
    if (Index == 0)
        return periodMax_;
    return Index == 1 ? periodMin_ : 0;
}

void TQCLHiTimer::SetEnabled(bool value) {
    if (SetIfChanged(enabled_, value))
        UpdateTimer();
}

void TQCLHiTimer::SetInterval(uint32_t value) {
    value = std::clamp(value, periodMin_, periodMax_);
    if (SetIfChanged(interval_, value))
        UpdateTimer();
}

void TQCLHiTimer::SetUseThread(bool value) {
    if (SetIfChanged(useThread_, value))
        UpdateTimer();
}

void TQCLHiTimer::SetThreadPriority(TThreadPriority value) {
    if (!SetIfChanged(priority_, value))
        return;
    if (useThread_)
        UpdateTimer();
}

void TQCLHiTimer::SetOnTimer(TNotifyEvent value) {
    stop();  // a thread that runs without synchronising reads the handler itself
    onTimer_ = value;
    UpdateTimer();
}

void TQCLHiTimer::Timer() {
    if (onTimer_) {
        const TNotifyEvent event = onTimer_;
        event(this);
    }
}

void TQCLHiTimer::stop() {
    stopping_ = true;  // a tick already on its way while the thread is joined is dropped
    delete thread_;
    thread_ = nullptr;
    stopping_ = false;
    if (const UINT id = eventId_.exchange(0))
        timeKillEvent(id);
}

void TQCLHiTimer::UpdateTimer() {
    stop();
    if (destroying_ || !enabled_ || !onTimer_)
        return;
    if (useThread_) {
        thread_ = new TQCLThreadedTimer(this, interval_, Synchronize);
        thread_->Priority = priority_;
        thread_->Resume();
        return;
    }
    if (interval_ == 0)
        return;
    inTick_ = false;
    const UINT id = timeSetEvent(interval_, interval_, &TQCLHiTimer::multimediaTick,
                                 reinterpret_cast<DWORD_PTR>(window_), TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    if (!id)
        throw EOutOfResources(QCLLoadStr(65244, "Not enough timers available"));
    eventId_ = id;
}

void CALLBACK TQCLHiTimer::multimediaTick(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    PostMessageA(reinterpret_cast<HWND>(user), WM_TIMER, id, 0);
}

void TQCLHiTimer::tick() {
    if (inTick_)
        return;  // re-entered from a nested message loop: this tick is lost
    inTick_ = true;
    try {
        Timer();
    } catch (...) {
        QCLReportException(this);
    }
    inTick_ = false;
}

void TQCLHiTimer::threadTick() {
    if (!destroying_ && !stopping_)
        tick();
}

void TQCLHiTimer::windowProc(TMessage& Message) {
    if (Message.Msg != WM_TIMER) {
        DefaultWindowResult(window_, Message);
        return;
    }
    if (Message.WParam != 0 && Message.WParam == eventId_)
        tick();
}
