// The time-out wait engine with fake actions: a call in time, a call that
// blocks past its time-out (aborted once, its return awaited, then "Request
// timeout" 258), a failing call's code and text, handles closed under other
// actions, and an engine that was never used.
#include "download/dwDCUtils.h"
#include "download/dwWaitDC.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr DWORD SafetyLimitMs = 20000;  // a fake call never blocks longer than this

class Event {
public:
    Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { CloseHandle(handle_); }
    void set() { SetEvent(handle_); }
    bool wait(DWORD ms) { return WaitForSingleObject(handle_, ms) == WAIT_OBJECT_0; }

private:
    HANDLE handle_;
};

// A call that blocks until it is released (by Terminate, as a closed handle
// would release a real call) or returns at once, or fails with a code.
class FakeAction : public TdwInternetAction {
public:
    enum Behaviour { ReturnAtOnce, BlockUntilTerminated, FailWith };
    FakeAction(TdwInternetWaitEngine* engine, Behaviour behaviour, DWORD failure = 0)
        : TdwInternetAction(engine, nullptr), behaviour_(behaviour), failure_(failure) {}

    void Execute() override {
        callThread = GetCurrentThreadId();
        if (behaviour_ == BlockUntilTerminated) released.wait(SafetyLimitMs);
        if (behaviour_ == FailWith) {
            SetLastError(failure_);
            TdwInternetAction::Execute();
        }
        returned = true;
    }
    void Terminate() override {
        ++terminations;
        returnedWhenTerminated = returned.load();
        released.set();
        TdwInternetAction::Terminate();
    }

    Event released;
    std::atomic<bool> returned{false};
    std::atomic<int> terminations{0};
    bool returnedWhenTerminated = false;
    DWORD callThread = 0;

private:
    Behaviour behaviour_;
    DWORD failure_;
};

TEST(WaitEngine, CallInTimeReturnsOnTheActionThread) {
    TdwInternetWaitEngine engine;
    FakeAction action(&engine, FakeAction::ReturnAtOnce);
    EXPECT_NO_THROW(action.FireAction(5000));
    EXPECT_TRUE(action.returned);
    EXPECT_EQ(action.terminations, 0);
    EXPECT_NE(action.callThread, GetCurrentThreadId());
    EXPECT_TRUE(engine.ThreadCreatedForTesting());
    // The same thread serves the next call.
    FakeAction second(&engine, FakeAction::ReturnAtOnce);
    second.FireAction(5000);
    EXPECT_EQ(second.callThread, action.callThread);
}

TEST(WaitEngine, BlockedCallIsTerminatedOnceAndAwaitedBeforeTheTimeout) {
    TdwInternetWaitEngine engine;
    FakeAction action(&engine, FakeAction::BlockUntilTerminated);
    try {
        action.FireAction(100);
        FAIL() << "no time-out";
    } catch (EclTimeoutInternetError& error) {
        EXPECT_EQ(error.Message, "Request timeout");
        EXPECT_EQ(error.ErrorCode, 258u);
    }
    EXPECT_EQ(action.terminations, 1);
    EXPECT_FALSE(action.returnedWhenTerminated);
    EXPECT_TRUE(action.returned);  // the raise came only after the call was back

    // The engine goes on serving calls afterwards.
    FakeAction next(&engine, FakeAction::ReturnAtOnce);
    EXPECT_NO_THROW(next.FireAction(5000));
}

TEST(WaitEngine, FailingCallRaisesItsCodeAndText) {
    const DWORD codes[] = {ERROR_INTERNET_CANNOT_CONNECT, ERROR_INTERNET_CONNECTION_RESET, ERROR_ACCESS_DENIED,
                           0x2FFFFFFF};
    for (DWORD code : codes) {
        SCOPED_TRACE(code);
        TdwInternetWaitEngine engine;
        FakeAction action(&engine, FakeAction::FailWith, code);
        try {
            action.FireAction(5000);
            FAIL() << "no error";
        } catch (EclTimeoutInternetError&) {
            FAIL() << "not a time-out";
        } catch (EclInternetError& error) {
            EXPECT_EQ(error.ErrorCode, code);
            EXPECT_EQ(error.Message, dwDCUtils::GetLastErrorText(code));
        }
    }
}

TEST(WaitEngine, FailingReadFileCarriesWinInetText) {
    TdwInternetWaitEngine engine;
    char buffer[16];
    TdwInternetReadFileAction read(&engine, nullptr, buffer, sizeof buffer);
    try {
        read.FireAction(5000);
        FAIL() << "no error";
    } catch (EclInternetError& error) {
        EXPECT_NE(error.ErrorCode, 0u);
        EXPECT_EQ(error.Message, dwDCUtils::GetLastErrorText(error.ErrorCode));
    }
}

// A resource action that owns a real internet handle.
class HandleAction : public TdwInternetResourceAction {
public:
    explicit HandleAction(TdwInternetWaitEngine* engine) : TdwInternetResourceAction(engine, nullptr) {}
    void Execute() override { finish(InternetOpenA("test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)); }
};

TEST(WaitEngine, TerminateTellsTheOwnerOfTheClosedHandle) {
    TdwInternetWaitEngine engine;
    HandleAction owner(&engine);
    owner.FireAction(5000);
    HINTERNET handle = owner.ResourceHandle();
    ASSERT_NE(handle, nullptr);
    TdwInternetReadFileAction user(&engine, handle, nullptr, 0);
    user.Terminate();
    EXPECT_EQ(user.ParentHandle(), nullptr);
    EXPECT_EQ(owner.ResourceHandle(), nullptr);  // not closed a second time by its owner
}

TEST(WaitEngine, UnusedEngineMakesNoThread) {
    TdwInternetWaitEngine engine;
    {
        TdwInternetOpenAction open("Quarrendel Internet Suite", INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
        open.FireAction(1);  // run directly, never through an engine
        EXPECT_NE(open.ResourceHandle(), nullptr);
    }
    EXPECT_FALSE(engine.ThreadCreatedForTesting());
}

}  // namespace
