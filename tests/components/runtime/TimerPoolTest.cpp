// The timer pool driven by synthetic WM_TIMER messages sent to its hidden
// window (no sleeping), and the application object's identifier slots.
#include "components/runtime/qclclass.h"

#include "tests/components/runtime/FrameworkEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void ticks(TQCLTimerPool& pool, int n) {
    for (int i = 0; i < n; ++i)
        SendMessageA(pool.Handle, WM_TIMER, 1, 0);
}

class TimerPoolTest : public ::testing::Test {
protected:
    TNotifyEvent recorder(const std::string& name) {
        return [this, name](TObject*) { fired.push_back(name); };
    }
    TQCLTimerPool pool{nullptr, 50};
    std::vector<std::string> fired;
};

TEST_F(TimerPoolTest, ItemsFireOnMultiplesOfTheirInterval) {
    pool.AddTimer(1, 100, recorder("a"));
    pool.AddTimer(2, 150, recorder("b"));
    EXPECT_TRUE(pool.IsActive());
    EXPECT_EQ(pool.GetTickCounter(), 1);
    ticks(pool, 6);  // tick numbers 1..6
    EXPECT_EQ(fired, (std::vector<std::string>{"a", "b", "a", "a", "b"}));  // ticks 2, 3, 4, 6, 6
}

TEST_F(TimerPoolTest, FiveHundredMillisecondsFireEveryTenthTick) {
    pool.AddTimer(1, 500, recorder("x"));
    ticks(pool, 9);
    EXPECT_TRUE(fired.empty());
    ticks(pool, 1);
    EXPECT_EQ(fired.size(), 1u);
    ticks(pool, 10);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(TimerPoolTest, RefusedTimersLeaveThePoolUnchanged) {
    pool.AddTimer(7, 100, recorder("a"));
    struct Case { uint16_t ident, interval; const char* message; } cases[] = {
        {8, 75, "Interval not compatible with MinInterval property!"},
        {8, 0, "Interval not compatible with MinInterval property!"},
        {8, 30, "Interval not compatible with MinInterval property!"},
        {7, 100, "List index out of bounds (7)"},
    };
    for (const auto& c : cases) {
        try {
            pool.AddTimer(c.ident, c.interval, recorder("b"));
            ADD_FAILURE() << c.interval << " was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, c.message);
        }
        EXPECT_EQ(pool.Count, 1);
    }
}

TEST_F(TimerPoolTest, IntervalSetterIgnoresIncompatibleValues) {
    pool.AddTimer(1, 100, recorder("a"));
    TQCLTimerItem* item = pool.GetTimer(1);
    item->Interval = 30;
    EXPECT_EQ(item->Interval, 100);
    item->Interval = 0;
    EXPECT_EQ(item->Interval, 50);
    EXPECT_EQ(item->GetMultiple(), 1);
    item->Interval = 250;
    EXPECT_EQ(item->GetMultiple(), 5);
}

TEST_F(TimerPoolTest, CallCountDisablesAfterTheLastCallAndReEnablingRestartsIt) {
    std::vector<int32_t> counters;
    pool.OnTimer = [&](TObject* sender, uint16_t ident, int32_t counter) {
        EXPECT_EQ(sender, &pool);
        EXPECT_EQ(ident, 5);
        counters.push_back(counter);
    };
    pool.AddTimerExt(5, 50, 3, true, nullptr);  // no item event: the pool's OnTimer
    TQCLTimerItem* item = pool.GetTimer(5);
    ticks(pool, 5);
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_FALSE(item->Enabled);
    EXPECT_TRUE(pool.IsActive());  // the window timer runs until the last item goes

    // The call count is still 3, so the item may be enabled again.
    item->Enabled = true;
    ticks(pool, 5);
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 2, 3, 1, 2, 3}));

    item->CallCount = 0;
    EXPECT_FALSE(item->Enabled);
    item->Enabled = true;
    EXPECT_FALSE(item->Enabled);
    item->CallCount = -7;
    EXPECT_EQ(item->CallCount, -1);
    item->Enabled = true;
    ticks(pool, 2);
    EXPECT_EQ(counters.size(), 8u);
}

TEST_F(TimerPoolTest, WindowTimerRunsFromTheFirstAdditionToTheLastRemoval) {
    // Disabling an item does not stop the window timer...
    pool.AddTimerExt(1, 50, -1, false, recorder("a"));
    EXPECT_TRUE(pool.IsActive());
    // ...but a restart finds no enabled item and leaves it off.
    pool.UpdateMainTimer(true);
    EXPECT_FALSE(pool.IsActive());
    pool.AddTimer(2, 50, recorder("b"));
    EXPECT_TRUE(pool.IsActive());
    EXPECT_EQ(pool.GetActiveTimers(), 1);
    pool.RemoveTimer(2);
    EXPECT_TRUE(pool.IsActive());  // one item left
    pool.RemoveTimer(1);
    EXPECT_FALSE(pool.IsActive());
    pool.AddTimer(3, 50, recorder("c"));
    pool.ClearTimers();
    EXPECT_FALSE(pool.IsActive());
    EXPECT_EQ(pool.Count, 0);
    ticks(pool, 3);
    EXPECT_TRUE(fired.empty());
}

TEST_F(TimerPoolTest, EventsMayAddAndRemoveTimersWhileThePoolTicks) {
    // 1 removes itself, 2 removes 3 (later in the list), 4 removes 2 (earlier),
    // 5 adds 6, which first fires on the next tick.
    pool.AddTimer(1, 50, [&](TObject*) { fired.push_back("1"); pool.RemoveTimer(1); });
    pool.AddTimer(2, 50, [&](TObject*) { fired.push_back("2"); pool.RemoveTimer(3); });
    pool.AddTimer(3, 50, recorder("3"));
    pool.AddTimer(4, 50, [&](TObject*) { fired.push_back("4"); pool.RemoveTimer(2); });
    pool.AddTimer(5, 50, [&](TObject*) {
        fired.push_back("5");
        if (!pool.GetTimer(6))
            pool.AddTimer(6, 50, recorder("6"));
    });
    ticks(pool, 1);
    EXPECT_EQ(fired, (std::vector<std::string>{"1", "2", "4", "5"}));
    fired.clear();
    ticks(pool, 1);
    EXPECT_EQ(fired, (std::vector<std::string>{"4", "5", "6"}));
    EXPECT_EQ(pool.Count, 3);
}

TEST_F(TimerPoolTest, AnEventThatFreesThePoolsOtherItemsAndItselfIsSafe) {
    pool.AddTimer(1, 50, recorder("1"));
    pool.AddTimer(2, 50, [&](TObject*) { fired.push_back("2"); pool.ClearTimers(); });
    pool.AddTimer(3, 50, recorder("3"));
    ticks(pool, 2);
    EXPECT_EQ(fired, (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(pool.IsActive());
}

TEST_F(TimerPoolTest, AnExceptionInAnEventDoesNotStopLaterTicks) {
    reportedExceptions().clear();
    int calls = 0;
    pool.AddTimer(1, 50, [&](TObject*) {
        ++calls;
        throw Exception("tick failed");
    });
    pool.AddTimer(2, 50, recorder("after"));
    pool.AddTimer(3, 100, recorder("every second tick"));
    ticks(pool, 4);
    EXPECT_EQ(calls, 4);
    // the items behind the failing one still fire, and the tick count goes on
    EXPECT_EQ(fired, (std::vector<std::string>{"after", "after", "every second tick", "after", "after",
                                               "every second tick"}));
    EXPECT_EQ(reportedExceptions(), std::vector<std::string>(4, "tick failed"));
}

TEST_F(TimerPoolTest, TicksArrivingDuringANestedLoopAreDropped) {
    int calls = 0;
    pool.AddTimer(1, 50, [&](TObject*) {
        if (++calls > 1)
            return;
        PostMessageA(pool.Handle, WM_TIMER, 1, 0);
        PostMessageA(pool.Handle, WM_TIMER, 1, 0);
        MSG msg;
        while (PeekMessageA(&msg, pool.Handle, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    });
    ticks(pool, 1);
    EXPECT_EQ(calls, 1);
    ticks(pool, 1);
    EXPECT_EQ(calls, 2);
}

TEST_F(TimerPoolTest, ItemNeedsAPoolAndAList) {
    TList list;
    try {
        TQCLTimerItem item(nullptr, &list);
        ADD_FAILURE();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "TQCLTimerItem: Invalid Owner or List");
    }
    EXPECT_THROW(TQCLTimerItem(&pool, nullptr), EInvalidOperation);
}

TEST(QCLApplicationTimers, IdentifiersComeFromTwoHundredFiftySlots) {
    TQCLApplication app(nullptr);
    TNotifyEvent none = [](TObject*) {};
    EXPECT_EQ(app.AddTimer(50, none), 0xFD01);
    app.RemoveTimer(0xFD01);
    EXPECT_EQ(app.AddTimer(50, none), 0xFD01);
    for (int i = 2; i <= 250; ++i)
        EXPECT_EQ(app.AddTimer(50, none), 0xFD00 + i);
    EXPECT_EQ(app.GetTimerIdent(), 0);
    EXPECT_EQ(app.AddTimer(50, none), 0);
    EXPECT_EQ(app.AddTimerExt(50, 1, true, none), 0);
    EXPECT_EQ(app.TimerPool()->Count, 250);

    app.RemoveTimer(0xFD00);
    app.RemoveTimer(17);
    EXPECT_EQ(app.TimerPool()->Count, 250);
    app.RemoveTimer(0xFD80);
    EXPECT_EQ(app.GetTimerIdent(), 0x80);
    EXPECT_EQ(app.AddTimerExt(100, 2, false, none), 0xFD80);
    EXPECT_FALSE(app.GetTimer(0xFD80)->Enabled);
    EXPECT_EQ(app.GetTimer(0xFD80)->CallCount, 2);
}

TEST(QCLApplicationTimers, RefusedIntervalKeepsTheSlotFree) {
    TQCLApplication app(nullptr);
    EXPECT_THROW(app.AddTimer(75, nullptr), Exception);
    EXPECT_EQ(app.GetTimerIdent(), 1);
}

TEST(QCLApplicationTimers, TimerRefusedBySystemLeavesNothingBehind) {
    TQCLApplication app(nullptr);
    TNotifyEvent none = [](TObject*) {};
    // An identifier that a caller gave the pool directly is the caller's: a
    // refused duplicate leaves it in place.
    app.TimerPool()->AddTimer(0xFD01, 50, none);
    EXPECT_THROW(app.AddTimer(50, none), Exception);
    EXPECT_NE(app.GetTimer(0xFD01), nullptr);
    app.TimerPool()->RemoveTimer(0xFD01);

    app.RemoveTimer(app.AddTimer(50, none));  // makes the pool's window
    ASSERT_NE(app.TimerPool()->Handle, nullptr);
    DestroyWindow(app.TimerPool()->Handle);  // the system now refuses every window timer
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(app.AddTimer(50, none), EOutOfResources) << attempt;
        EXPECT_EQ(app.TimerPool()->Count, 0) << attempt;
        EXPECT_EQ(app.GetTimer(0xFD01), nullptr) << attempt;
        EXPECT_EQ(app.GetTimerIdent(), 1) << attempt;
    }
    EXPECT_THROW(app.AddTimerExt(50, 3, true, none), EOutOfResources);
    EXPECT_EQ(app.TimerPool()->Count, 0);
}

TEST(QCLApplicationState, EditModeStopwatchAndDefaults) {
    TQCLApplication app(nullptr);
    EXPECT_EQ(app.EditMode(), TQCLEditMode{emInsert});
    EXPECT_EQ(app.Options.Bits(), 0x36u);
    EXPECT_EQ(app.ExplodeSpeed, 3);
    EXPECT_EQ(app.TimerPool()->MinInterval, 50);
    int changes = 0;
    app.OnEditModeChange = [&](TObject* sender) {
        ++changes;
        EXPECT_EQ(sender, &app);
    };
    app.EditMode = TQCLEditMode{emInsert};
    EXPECT_EQ(changes, 0);
    app.EditMode = TQCLEditMode{emInsert, emCaps};
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(app.STWStop(), 0u);
    app.STWStart();
    app.STWStop();
    EXPECT_EQ(app.STWStop(), 0u);
    EXPECT_GT(app.GetTimerFrequency(), 0.0);
}

TEST(QCLApplicationState, SecondObjectSeesTheInstanceMutex) {
    TQCLApplication first(nullptr);
    TQCLApplication second(nullptr);
    EXPECT_NE(second.InstanceMutex(), nullptr);
    EXPECT_TRUE(second.AnotherInstance());
}

TEST(OneInstanceError, Messages) {
    EXPECT_EQ(QCLEOneInstError("TQCLFormShape", 0).Message,
              "TQCLFormShape:\rInvalid owner (<>TForm) or second instance on a form");
    EXPECT_EQ(QCLEOneInstError("TQCLFormShape", 1).Message,
              "TQCLFormShape:\rAlready one TQCLFormShape control in this project!");
    EXPECT_EQ(QCLEOneInstError("TQCLFormShape", 2).Message, "");
}

}  // namespace

namespace {

UINT lastExitFlags = 0;
BOOL WINAPI fakeExitWindows(UINT flags, DWORD) {
    lastExitFlags = flags;
    return TRUE;
}

TEST(QCLApplicationState, QuitWindowsAsksTheSystemByCode) {
    const auto previous = QCLSetExitWindowsFuncForTesting(&fakeExitWindows);
    TQCLApplication app(nullptr);
    struct Case { TQCLExitCode code; UINT flags; } cases[] = {
        {ecRestart, EWX_LOGOFF}, {ecQuit, EWX_SHUTDOWN | EWX_FORCE}, {ecReboot, EWX_REBOOT | EWX_FORCE}};
    for (const auto& c : cases) {
        lastExitFlags = 0xFFFF;
        EXPECT_TRUE(app.QuitWindows(c.code));
        EXPECT_EQ(lastExitFlags, c.flags);
    }
    QCLSetExitWindowsFuncForTesting(previous);
}

}  // namespace

namespace {

TEST(QCLApplicationGlobal, MadeByTheFirstInitAndFreedByTheLastDone) {
    ASSERT_EQ(QCLApplication, nullptr);
    QCLInitApplication();
    TQCLApplication* first = QCLApplication;
    ASSERT_NE(first, nullptr);
    QCLInitApplication();
    EXPECT_EQ(QCLApplication, first);
    EXPECT_EQ(QCLApplication->AddTimer(100, [](TObject*) {}), 0xFD01);
    QCLDoneApplication();
    EXPECT_EQ(QCLApplication, first);
    QCLDoneApplication();
    EXPECT_EQ(QCLApplication, nullptr);
    QCLDoneApplication();  // unmatched: nothing
    EXPECT_EQ(QCLApplication, nullptr);
}

}  // namespace
