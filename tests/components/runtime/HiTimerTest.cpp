// The high-resolution timer in both modes. Ticks are awaited by pumping
// messages until they arrive or a deadline passes.
#include "components/runtime/QCLTimer.h"

#include "tests/components/runtime/FrameworkEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

namespace {

// Pumps this thread's messages until `done` holds or five seconds pass.
bool pumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 5000)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return true;
}

TEST(HiTimer, IntervalIsClampedToTheSupportedPeriods) {
    TQCLHiTimer timer(nullptr);
    EXPECT_EQ(timer.Interval, 1000u);
    timer.Interval = 0;
    EXPECT_EQ(timer.Interval, timer.GetInteger(1));
    timer.Interval = 70000;
    EXPECT_EQ(timer.Interval, std::min<uint32_t>(70000, timer.GetInteger(0)));
    EXPECT_EQ(timer.GetInteger(7), 0u);
}

TEST(HiTimer, NothingRunsWithoutAHandler) {
    TQCLHiTimer timer(nullptr);
    timer.Enabled = true;
    EXPECT_EQ(timer.GetThreadForTesting(), nullptr);
    timer.OnTimer = [](TObject*) {};
    ASSERT_NE(timer.GetThreadForTesting(), nullptr);
    timer.UseThread = false;  // the thread stops before the multimedia event starts
    EXPECT_EQ(timer.GetThreadForTesting(), nullptr);
    EXPECT_NE(timer.GetEventIdForTesting(), 0u);
    timer.Enabled = false;
    EXPECT_EQ(timer.GetEventIdForTesting(), 0u);
}

TEST(HiTimer, ThreadKeepsAllBitsOfTheInterval) {
    TQCLHiTimer timer(nullptr, 70000);  // the constructor's interval is not clamped
    timer.OnTimer = [](TObject*) {};
    timer.Enabled = true;
    ASSERT_NE(timer.GetThreadForTesting(), nullptr);
    EXPECT_EQ(timer.GetThreadForTesting()->GetInterval(), 70000u);
}

TEST(HiTimer, BothModesTickOnTheOwningThreadAndSurviveExceptions) {
    for (bool useThread : {true, false}) {
        TQCLHiTimer timer(nullptr, 10);
        timer.UseThread = useThread;
        int ticks = 0;
        DWORD thread = 0;
        timer.OnTimer = [&](TObject* sender) {
            EXPECT_EQ(sender, &timer);
            thread = GetCurrentThreadId();
            ++ticks;
            throw Exception("tick failed");
        };
        timer.Enabled = true;
        reportedExceptions().clear();
        EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; })) << useThread;
        EXPECT_EQ(thread, GetCurrentThreadId());
        EXPECT_GE(reportedExceptions().size(), 3u);
    }
}

TEST(HiTimer, TickDuringANestedLoopIsDropped) {
    TQCLHiTimer timer(nullptr, 10);
    timer.UseThread = false;
    int calls = 0;
    timer.OnTimer = [&](TObject*) {
        ++calls;
        // re-entry: without the guard this would recurse until the stack runs out
        SendMessageA(timer.GetHandle(), WM_TIMER, timer.GetEventIdForTesting(), 0);
    };
    timer.Enabled = true;
    EXPECT_TRUE(pumpUntil([&] { return calls >= 2; }));
}

// Holds the timer thread's first tick just before the handler is looked up,
// and marks that thread (thread-local, so a reused thread id cannot mislead).
class THeldTimer : public TQCLHiTimer {
public:
    THeldTimer() : TQCLHiTimer(nullptr, 5) {}
    ~THeldTimer() override {
        CloseHandle(entered);
        CloseHandle(release);
        TlsFree(firstThread);
    }
    void Timer() override {
        if (!held.exchange(true)) {
            TlsSetValue(firstThread, this);
            SetEvent(entered);
            WaitForSingleObject(release, 300);
        }
        TQCLHiTimer::Timer();
    }
    bool onFirstThread() const { return TlsGetValue(firstThread) == this; }

    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> held{false};
    DWORD firstThread = TlsAlloc();
};

TEST(HiTimer, ReplacedHandlerIsNeverReadByTheRunningThread) {
    // Without synchronising, the handler is read on the timer thread; a new
    // one may only be stored once that thread has stopped.
    THeldTimer timer;
    timer.Synchronize = false;
    timer.OnTimer = [](TObject*) {};
    timer.Enabled = true;
    ASSERT_EQ(WaitForSingleObject(timer.entered, 5000), WAIT_OBJECT_0);
    std::atomic<int> newOnOldThread{0}, newCalls{0};
    timer.OnTimer = [&](TObject*) {
        ++newCalls;
        if (timer.onFirstThread())
            ++newOnOldThread;
    };
    SetEvent(timer.release);
    const DWORD start = GetTickCount();
    while (newCalls == 0 && GetTickCount() - start < 5000)
        Sleep(1);
    timer.Enabled = false;
    EXPECT_GT(newCalls, 0);
    EXPECT_EQ(newOnOldThread, 0);
}

// Timers made, run and destroyed one after another in each mode: every one ticks while it lives,
// and none ticks once its destructor has returned (its counter outlives it). Time is given for a
// late tick by a sentinel timer of the same mode that must tick a few times meanwhile.
TEST(HiTimer, RunningTimersTickWhileTheyLiveAndNeverAfterDestruction) {
    struct Mode {
        const char* name;
        bool useThread, synchronize;
    };
    const Mode modes[] = {
        {"thread, handler on the thread", true, false},
        {"thread, handler synchronised", true, true},
        {"multimedia event", false, true},
    };
    constexpr int Timers = 25;
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        std::vector<std::atomic<int>> ticks(Timers);
        std::vector<int> atDestruction(Timers, 0);
        auto start = [&](TQCLHiTimer& timer, std::atomic<int>& counter) {
            timer.UseThread = m.useThread;
            timer.Synchronize = m.synchronize;
            timer.OnTimer = [&counter](TObject*) { ++counter; };
            timer.Enabled = true;
        };
        for (int i = 0; i < Timers; ++i) {
            {
                TQCLHiTimer timer(nullptr, 1);
                start(timer, ticks[i]);
                ASSERT_TRUE(pumpUntil([&] { return ticks[i] >= 2; })) << "timer " << i << " never ticked";
            }
            atDestruction[i] = ticks[i];
        }
        std::atomic<int> sentinel{0};
        TQCLHiTimer later(nullptr, 1);
        start(later, sentinel);
        ASSERT_TRUE(pumpUntil([&] { return sentinel >= 5; }));
        for (int i = 0; i < Timers; ++i) EXPECT_EQ(ticks[i], atDestruction[i]) << "timer " << i << " ticked after its end";
    }
}

}  // namespace
