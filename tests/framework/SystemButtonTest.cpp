// Clicks on superclassed system BUTTON windows reach the control as
// CN_COMMAND/BN_CLICKED, whether the click is real input (SendInput through
// the loop) or BM_CLICK, for a plain push button made on the bare windowed
// control (which keeps the default mouse-capture style) and for the framework's
// check box and radio button. A press that leaves the button before the
// release clicks nothing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/framework/ControlsFixture.h"
#include "tests/framework/RealMouse.h"

namespace {

using fwtest::ControlsTest;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

// A system push button on the bare windowed control: counts its notifications.
class TPushProbe : public TWinControl {
public:
    explicit TPushProbe(TWinControl* parent) : TWinControl(parent) {
        Parent = parent;
        Caption = "Push";
    }
    int notified = 0;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = "BUTTON";
        params.Style |= BS_PUSHBUTTON | WS_TABSTOP;
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) ++notified;
        TWinControl::Dispatch(m);
    }
};

void moveMouseTo(POINT p) { fwtest::realMoveTo(p); }
void leftButton(bool down) { fwtest::realLeftButton(down); }

POINT screenPoint(TWinControl* control, int x, int y) { return fwtest::screenPointOf(control, x, y); }

enum class Way { BmClick, RealClick, ReleasedOutside };

struct Case {
    const char* kind;
    Way way;
    int clicks;  // BN_CLICKED notifications (or OnClick of the check controls)
};

class SystemButtonClicks : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        SetForegroundWindow(form->Handle);
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == form->Handle(); }));
    }
    void TearDown() override {
        leftButton(false);
        ControlsTest::TearDown();
    }
    void act(TWinControl* button, Way way) {
        switch (way) {
        case Way::BmClick:
            SendMessageA(button->Handle, BM_CLICK, 0, 0);
            pumpIdle();
            break;
        case Way::RealClick:
            moveMouseTo(screenPoint(button, 10, 8));
            leftButton(true);
            leftButton(false);
            break;
        case Way::ReleasedOutside:
            moveMouseTo(screenPoint(button, 10, 8));
            leftButton(true);
            moveMouseTo(screenPoint(button, 10, 80));
            leftButton(false);
            break;
        }
    }
};

TEST_F(SystemButtonClicks, EveryWayOfClickingReachesTheControlOnce) {
    const Case cases[] = {
        {"push", Way::BmClick, 1},   {"push", Way::RealClick, 1},   {"push", Way::ReleasedOutside, 0},
        {"check", Way::BmClick, 1},  {"check", Way::RealClick, 1},  {"check", Way::ReleasedOutside, 0},
        {"radio", Way::BmClick, 1},  {"radio", Way::RealClick, 1},  {"radio", Way::ReleasedOutside, 0},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " way " + std::to_string(static_cast<int>(c.way)));
        TWinControl* button = nullptr;
        std::function<int()> clicks;
        std::function<bool()> checked = [] { return false; };
        int onClick = 0;
        if (std::string(c.kind) == "push") {
            auto* push = new TPushProbe(form);
            clicks = [push] { return push->notified; };
            button = push;
        } else if (std::string(c.kind) == "check") {
            auto* box = new TCheckBox(form);
            box->Parent = form;
            box->OnClick = [&](TObject*) { ++onClick; };
            clicks = [&] { return onClick; };
            checked = [box] { return box->Checked(); };
            button = box;
        } else {
            auto* radio = new TRadioButton(form);
            radio->Parent = form;
            radio->OnClick = [&](TObject*) { ++onClick; };
            clicks = [&] { return onClick; };
            checked = [radio] { return radio->Checked(); };
            button = radio;
        }
        button->SetBounds(20, 20 + (row++ % 3) * 30, 120, 24);
        pumpIdle();
        act(button, c.way);
        EXPECT_EQ(clicks(), c.clicks);
        if (std::string(c.kind) != "push") {
            EXPECT_EQ(checked(), c.clicks == 1);
        }
        EXPECT_EQ(GetCapture(), nullptr) << "the button keeps no capture after the release";
        EXPECT_EQ(SendMessageA(button->Handle, BM_GETSTATE, 0, 0) & BST_PUSHED, 0) << "the button is drawn up again";
        button->Free();
        pumpIdle();
    }
}

// The default handler still sees the press: a system EDIT on the bare windowed
// control (default mouse-capture style) selects text by a real drag.
TEST_F(SystemButtonClicks, ASystemEditOnTheBareControlStillSelectsByDragging) {
    class TPlainEdit : public TWinControl {
    public:
        explicit TPlainEdit(TWinControl* parent) : TWinControl(parent) {
            Parent = parent;
            SetBounds(20, 20, 200, 24);
        }

    protected:
        void CreateParams(TCreateParams& params) override {
            TWinControl::CreateParams(params);
            params.SystemClassName = "EDIT";
        }
    };
    auto* edit = new TPlainEdit(form);
    SetWindowTextA(edit->Handle, "WWWWWWWWWWWW");
    pumpIdle();
    moveMouseTo(screenPoint(edit, 2, 8));
    leftButton(true);
    moveMouseTo(screenPoint(edit, 190, 8));
    leftButton(false);
    DWORD start = 0, end = 0;
    SendMessageA(edit->Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_GT(end, 3u);
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
