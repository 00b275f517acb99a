// Window hook components on real windows: stacked hooks removed in either
// order, WM_DESTROY reaching the window's own procedure, and the hook letting
// go when the window or the control goes.
#include "components/runtime/QCLHookComponent.h"
#include "components/runtime/QCLWndProcComponent.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr UINT kPing = WM_APP + 7;

struct WindowCounts {
    int pings = 0, destroys = 0, ncDestroys = 0;
};

// A borderless form whose own procedure counts what the hooks must pass on.
class TWatchedForm : public TForm {
public:
    TWatchedForm(TComponent* owner, WindowCounts* counts) : TForm(owner), counts_(counts) {
        BorderStyle = bsNone;
        SetBounds(10, 10, 60, 40);
    }
    void WndProc(TMessage& m) override {
        if (m.Msg == kPing) {
            ++counts_->pings;
            m.Result = 42;
            return;
        }
        if (m.Msg == WM_DESTROY)
            ++counts_->destroys;
        if (m.Msg == WM_NCDESTROY)
            ++counts_->ncDestroys;
        TForm::WndProc(m);
    }

private:
    WindowCounts* counts_;
};

template <class Base>
class TPingCounter : public Base {
public:
    using Base::Base;
    void WndProc(TMessage& m) override {
        if (m.Msg == kPing)
            ++seen;
        Base::WndProc(m);
    }
    int seen = 0;
};
using TPingHook = TPingCounter<TQCLHookComponent>;
using TPingFormHook = TPingCounter<TQCLWndProcComponent>;

struct FreeComponent {
    void operator()(TComponent* c) const { c->Free(); }
};
template <class T>
using Owned = std::unique_ptr<T, FreeComponent>;

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeForm<TWatchedForm>(nullptr, &counts);
        form->HandleNeeded();
    }
    void TearDown() override {
        if (form)
            form->Free();
    }
    LRESULT ping() { return SendMessageA(window(), kPing, 0, 0); }
    HWND window() { return form->Handle; }

    WindowCounts counts;
    TWatchedForm* form = nullptr;
};

TEST_F(HookTest, StackedHooksComeOffInEitherOrderAndMessagesKeepFlowing) {
    for (bool firstOffFirst : {true, false}) {
        Owned<TPingHook> first(new TPingHook(nullptr)), second(new TPingHook(nullptr));
        first->Control = form;
        second->Control = form;
        ASSERT_TRUE(first->IsHooked());
        ASSERT_TRUE(second->IsHooked());
        EXPECT_EQ(ping(), 42);
        EXPECT_EQ(first->seen, 1);
        EXPECT_EQ(second->seen, 1);

        TPingHook* off = firstOffFirst ? first.get() : second.get();
        TPingHook* on = firstOffFirst ? second.get() : first.get();
        off->Enabled = false;
        EXPECT_EQ(ping(), 42);
        EXPECT_EQ(off->seen, 1);
        EXPECT_EQ(on->seen, 2);
        on->Enabled = false;
        EXPECT_EQ(ping(), 42);
        EXPECT_EQ(on->seen, 2);

        off->Enabled = true;  // hooks again on re-enabling
        EXPECT_EQ(ping(), 42);
        EXPECT_EQ(off->seen, 2);
    }
    EXPECT_EQ(counts.pings, 8);
}

TEST_F(HookTest, DestroyedWindowGetsItsDestroyMessagesAndTheHooksLetGo) {
    for (bool removeFirstBefore : {false, true}) {
        counts = WindowCounts{};
        Owned<TPingHook> first(new TPingHook(nullptr)), second(new TPingHook(nullptr));
        first->Control = form;
        second->Control = form;
        if (removeFirstBefore)
            first->Enabled = false;
        form->DestroyHandle();
        EXPECT_EQ(counts.destroys, 1);
        EXPECT_EQ(counts.ncDestroys, 1);
        EXPECT_EQ(second->Control(), nullptr);
        EXPECT_FALSE(second->IsHooked());
        EXPECT_EQ(first->Control(), removeFirstBefore ? form : nullptr);
        form->HandleNeeded();  // a new window for the next round
    }
}

TEST_F(HookTest, FreeingTheControlClearsControl) {
    Owned<TPingHook> hook(new TPingHook(nullptr));
    hook->Control = form;
    form->Free();
    form = nullptr;
    EXPECT_EQ(hook->Control(), nullptr);

    WindowCounts otherCounts;
    auto* windowless = MakeForm<TWatchedForm>(nullptr, &otherCounts);  // no window yet
    hook->Control = windowless;
    EXPECT_FALSE(hook->IsHooked());
    windowless->Free();
    EXPECT_EQ(hook->Control(), nullptr);
}

TEST_F(HookTest, HookWaitsForTheEndOfLoadingWhenTheWindowIsMissing) {
    WindowCounts otherCounts;
    auto* later = MakeForm<TWatchedForm>(nullptr, &otherCounts);
    TPingHook* hook = nullptr;
    {
        TLoadingGuard loading;
        hook = new TPingHook(nullptr);
        hook->Control = later;
        EXPECT_FALSE(hook->IsHooked());
        EXPECT_FALSE(later->HandleAllocated());
        loading.Finish();
    }
    EXPECT_TRUE(hook->IsHooked());
    SendMessageA(later->Handle, kPing, 0, 0);
    EXPECT_EQ(hook->seen, 1);
    EXPECT_EQ(otherCounts.pings, 1);
    hook->Free();
    later->Free();
}

TEST_F(HookTest, FormHookKeepsItsHookWhenDisabledAndPassesDestroyOn) {
    TPingFormHook* hook = nullptr;
    {
        TLoadingGuard loading;
        hook = new TPingFormHook(form);  // owned by the form it watches
        loading.Finish();
    }
    ASSERT_TRUE(hook->IsHooked());
    EXPECT_EQ(ping(), 42);
    hook->Enabled = false;
    EXPECT_TRUE(hook->IsHooked());
    EXPECT_EQ(ping(), 42);
    EXPECT_EQ(hook->seen, 2);

    hook->SilentRemove();
    EXPECT_FALSE(hook->IsHooked());
    EXPECT_FALSE(hook->Enabled());
    EXPECT_EQ(ping(), 42);
    EXPECT_EQ(hook->seen, 2);

    hook->Enabled = true;
    ASSERT_TRUE(hook->IsHooked());
    form->DestroyHandle();
    EXPECT_EQ(counts.destroys, 1);
    EXPECT_EQ(counts.ncDestroys, 1);
    EXPECT_FALSE(hook->IsHooked());
}

}  // namespace
