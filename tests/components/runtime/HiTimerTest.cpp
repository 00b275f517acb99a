// The high-resolution timer in both modes. Ticks are awaited by pumping
// messages until they arrive or a deadline passes.
#include "QCLTimer.h"

#include <gtest/gtest.h>

#include <functional>

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
    EXPECT_EQ(timer.GetThread(), nullptr);
    timer.OnTimer = [](TObject*) {};
    EXPECT_NE(timer.GetThread(), nullptr);
    timer.UseThread = false;  // the thread stops before the multimedia event starts
    EXPECT_EQ(timer.GetThread(), nullptr);
    EXPECT_NE(timer.GetEventId(), 0u);
    timer.Enabled = false;
    EXPECT_EQ(timer.GetEventId(), 0u);
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
        EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; })) << useThread;
        EXPECT_EQ(thread, GetCurrentThreadId());
    }
}

TEST(HiTimer, TickDuringANestedLoopIsDropped) {
    TQCLHiTimer timer(nullptr, 10);
    timer.UseThread = false;
    int calls = 0;
    timer.OnTimer = [&](TObject*) {
        ++calls;
        // re-entry: without the guard this would recurse until the stack runs out
        SendMessageA(timer.GetHandle(), WM_TIMER, timer.GetEventId(), 0);
    };
    timer.Enabled = true;
    EXPECT_TRUE(pumpUntil([&] { return calls >= 2; }));
}

TEST(HiTimer, CreatingAndDestroyingRunningTimersIsSafe) {
    for (int i = 0; i < 100; ++i) {
        TQCLHiTimer timer(nullptr, 1);
        timer.OnTimer = [](TObject*) {};
        timer.Enabled = true;
    }
    SUCCEED();
}

}  // namespace
