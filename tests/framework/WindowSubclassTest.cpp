// TWindowSubclass on a real window: stacked subclasses taken off in either
// order, messages reaching the procedure that was there before, exceptions
// reaching the application's handler with their sender, and a subclass
// letting go of a window that is destroyed under it.
#include "tests/framework/FrameworkFixture.h"

#include <memory>
#include <string>
#include <vector>

namespace {

using fwtest::FrameworkTest;

constexpr UINT kPing = WM_APP + 11;
constexpr UINT kBoom = WM_APP + 12;

// A window whose own procedure answers kPing with 42 and counts what it gets.
struct OwnWindow {
    OwnWindow() { handle = AllocateHWnd(TWndMethod([this](TMessage& m) { proc(m); })); }
    ~OwnWindow() { DeallocateHWnd(handle); }
    void proc(TMessage& m) {
        if (m.Msg == kPing) {
            ++pings;
            m.Result = 42;
            return;
        }
        if (m.Msg == WM_DESTROY) ++destroys;
        DefaultWindowResult(handle, m);
    }
    LRESULT ping() { return SendMessageA(handle, kPing, 0, 0); }
    HWND handle = nullptr;
    int pings = 0, destroys = 0;
};

// A subclass that counts the pings it sees and passes every message on,
// adding `bonus` to the previous procedure's answer to a ping.
struct CountingSubclass {
    explicit CountingSubclass(TObject* sender = nullptr, LRESULT bonus = 0) : subclass(sender), bonus(bonus) {}
    bool install(HWND window) { return subclass.Install(window, TWndMethod([this](TMessage& m) { proc(m); })); }
    void proc(TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == kBoom) throw Exception("subclass failed");
        m.Result = subclass.CallPrevious(m);
        if (m.Msg == kPing) {
            ++pings;
            m.Result += bonus;
        }
    }
    TWindowSubclass subclass;
    LRESULT bonus;
    int pings = 0;
    std::vector<UINT> seen;
};

class WindowSubclassTest : public FrameworkTest {};

TEST_F(WindowSubclassTest, StackedSubclassesComeOffInEitherOrderAndMessagesReachThePreviousProcedure) {
    for (bool lowerOffFirst : {true, false}) {
        SCOPED_TRACE(lowerOffFirst ? "lower subclass off first" : "upper subclass off first");
        OwnWindow window;
        CountingSubclass lower(nullptr, 1), upper(nullptr, 10);
        ASSERT_TRUE(lower.install(window.handle));
        ASSERT_TRUE(upper.install(window.handle));
        EXPECT_EQ(window.ping(), 53);  // own 42, then +1 below, then +10 on top

        CountingSubclass& off = lowerOffFirst ? lower : upper;
        CountingSubclass& on = lowerOffFirst ? upper : lower;
        off.subclass.Remove();
        EXPECT_FALSE(off.subclass.Installed());
        EXPECT_EQ(window.ping(), 42 + on.bonus);
        on.subclass.Remove();
        EXPECT_EQ(window.ping(), 42);

        EXPECT_EQ(off.pings, 1);
        EXPECT_EQ(on.pings, 2);
        EXPECT_EQ(window.pings, 3);

        ASSERT_TRUE(off.install(window.handle));  // a removed subclass may go on again
        EXPECT_EQ(window.ping(), 42 + off.bonus);
    }
}

TEST_F(WindowSubclassTest, InstallIsRefusedWithoutAWindowOrWhenAlreadyInstalled) {
    OwnWindow window, other;
    CountingSubclass sub;
    EXPECT_FALSE(sub.install(nullptr));
    EXPECT_FALSE(sub.subclass.Installed());
    ASSERT_TRUE(sub.install(window.handle));
    EXPECT_FALSE(sub.install(other.handle));
    EXPECT_EQ(sub.subclass.Window(), window.handle);
    other.ping();
    EXPECT_EQ(sub.pings, 0);
}

TEST_F(WindowSubclassTest, AnExceptionReachesTheApplicationWithItsSenderAndMessagesKeepFlowing) {
    TObject* sender = nullptr;
    Application->OnException = [&](TObject* s, Exception* e) {
        sender = s;
        exceptions.push_back(e->Message);
    };
    OwnWindow window;
    TComponent owner(nullptr);
    CountingSubclass sub(&owner);
    ASSERT_TRUE(sub.install(window.handle));
    EXPECT_EQ(SendMessageA(window.handle, kBoom, 0, 0), 0);
    EXPECT_EQ(exceptions, std::vector<std::string>{"subclass failed"});
    EXPECT_EQ(sender, &owner);
    EXPECT_TRUE(sub.subclass.Installed());
    EXPECT_EQ(window.ping(), 42);
    EXPECT_EQ(sub.pings, 1);
}

TEST_F(WindowSubclassTest, ADestroyedWindowIsLetGoAfterItsLastMessage) {
    OwnWindow window;
    CountingSubclass lower, upper;
    ASSERT_TRUE(lower.install(window.handle));
    ASSERT_TRUE(upper.install(window.handle));
    DestroyWindow(window.handle);
    for (CountingSubclass* sub : {&lower, &upper}) {
        EXPECT_FALSE(sub->subclass.Installed());
        ASSERT_FALSE(sub->seen.empty());
        EXPECT_EQ(sub->seen.back(), static_cast<UINT>(WM_NCDESTROY));
        sub->subclass.Remove();  // harmless once let go
    }
    window.handle = nullptr;
}

TEST_F(WindowSubclassTest, ASubclassMayRemoveItselfWhileHandlingAMessage) {
    OwnWindow window;
    TWindowSubclass once;
    int calls = 0;
    ASSERT_TRUE(once.Install(window.handle, TWndMethod([&](TMessage& m) {
        ++calls;
        m.Result = once.CallPrevious(m) + 1;
        once.Remove();
    })));
    EXPECT_EQ(window.ping(), 43);
    EXPECT_FALSE(once.Installed());
    EXPECT_EQ(window.ping(), 42);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(window.pings, 2);
}

TEST_F(WindowSubclassTest, PassingOnLetsGoOnlyAfterTheWindowHadItsDestroyMessage) {
    OwnWindow window;
    TWindowSubclass passing;
    std::vector<UINT> seen;
    int destroysBeforeLettingGo = -1;
    ASSERT_TRUE(passing.Install(window.handle, TWndMethod([&](TMessage& m) {
        seen.push_back(m.Msg);
        if (passing.PassOnAndLetGoAtDestroy(m)) destroysBeforeLettingGo = window.destroys;
    })));
    EXPECT_EQ(window.ping(), 42);
    EXPECT_TRUE(passing.Installed());
    DestroyWindow(window.handle);
    window.handle = nullptr;
    EXPECT_EQ(destroysBeforeLettingGo, 1);
    EXPECT_FALSE(passing.Installed());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), static_cast<UINT>(WM_DESTROY));  // WM_NCDESTROY went straight to the window
}

}  // namespace
