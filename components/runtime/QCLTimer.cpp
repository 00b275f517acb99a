// High-resolution timer component and its timer thread.
#include "QCLTimer.h"

#include "qclerrors.h"

#include <mmsystem.h>

#include <algorithm>

namespace {

const char kWindowClass[] = "TQCLHiTimerWindow";
// Sent by the timer thread to run Timer on the component's own thread.
constexpr UINT kSyncTick = WM_APP + 0x2A1;

int systemPriority(TQCLThreadPriority p) {
    static const int map[] = {THREAD_PRIORITY_IDLE,    THREAD_PRIORITY_LOWEST,       THREAD_PRIORITY_BELOW_NORMAL,
                              THREAD_PRIORITY_NORMAL,  THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                              THREAD_PRIORITY_TIME_CRITICAL};
    return map[static_cast<int>(p)];
}

// Waits for a thread while still taking messages sent to this thread, so a
// timer thread blocked in SendMessage can finish.
void joinPumping(HANDLE thread) {
    for (;;) {
        const DWORD r = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TQCLThreadedTimer

TQCLThreadedTimer::TQCLThreadedTimer(TQCLHiTimer* Owner, uint32_t Interval, TQCLThreadPriority Priority,
                                     bool Synchronize)
    : owner_(Owner), interval_(Interval), synchronize_(Synchronize) {
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &TQCLThreadedTimer::run, this, CREATE_SUSPENDED, nullptr);
    if (!stop_ || !thread_) {
        if (stop_)
            CloseHandle(stop_);
        throw EOutOfResources(QCLLoadStr(65244, "Not enough timers available"));
    }
    SetThreadPriority(thread_, systemPriority(Priority));
    ResumeThread(thread_);
}

TQCLThreadedTimer::~TQCLThreadedTimer() {
    SetEvent(stop_);
    joinPumping(thread_);
    CloseHandle(thread_);
    CloseHandle(stop_);
}

DWORD WINAPI TQCLThreadedTimer::run(void* self) {
    static_cast<TQCLThreadedTimer*>(self)->Execute();
    return 0;
}

void TQCLThreadedTimer::Execute() {
    while (WaitForSingleObject(stop_, interval_) == WAIT_TIMEOUT) {
        if (!owner_->enabled_)
            continue;
        if (synchronize_) {
            SendMessageA(owner_->window_, kSyncTick, 0, 0);
            continue;
        }
        try {
            owner_->Timer();
        } catch (...) {
            // No window to report to from this thread; the tick is lost.
        }
    }
}

// ---------------------------------------------------------------------------
// TQCLHiTimer

TQCLHiTimer::TQCLHiTimer(TComponent* AOwner) : TQCLHiTimer(AOwner, 1000) {}

TQCLHiTimer::TQCLHiTimer(TComponent* AOwner, uint32_t AInterval) : TQCLCustomComponent(AOwner), interval_(AInterval) {
    GetCaps(periodMin_, periodMax_);
    timeBeginPeriod(periodMin_);
    createWindow();
}

TQCLHiTimer::~TQCLHiTimer() {
    destroying_ = true;
    onTimer_ = nullptr;
    stop();
    timeEndPeriod(periodMin_);
    enabled_ = false;
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
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
    if (value == enabled_)
        return;
    enabled_ = value;
    UpdateTimer();
}

void TQCLHiTimer::SetInterval(uint32_t value) {
    value = std::clamp(value, periodMin_, periodMax_);
    if (value == interval_)
        return;
    interval_ = value;
    UpdateTimer();
}

void TQCLHiTimer::SetUseThread(bool value) {
    if (value == useThread_)
        return;
    useThread_ = value;
    UpdateTimer();
}

void TQCLHiTimer::SetThreadPriority(TQCLThreadPriority value) {
    if (value == priority_)
        return;
    priority_ = value;
    if (useThread_)
        UpdateTimer();
}

void TQCLHiTimer::SetOnTimer(TNotifyEvent value) {
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
        thread_ = new TQCLThreadedTimer(this, interval_, priority_, Synchronize);
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

void TQCLHiTimer::createWindow() {
    static const ATOM registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TQCLHiTimer::windowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kWindowClass;
        return RegisterClassA(&wc);
    }();
    (void)registered;
    window_ = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (window_)
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK TQCLHiTimer::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TQCLHiTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_TIMER) {
        if (self && wParam != 0 && wParam == self->eventId_)
            self->tick();
        return 0;
    }
    if (msg == kSyncTick) {
        if (self && !self->destroying_ && !self->stopping_ && self->thread_)
            self->tick();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
