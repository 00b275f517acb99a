// Mouse routing to windowless children (topmost first, capture, click on
// release, double clicks, enter/leave) with messages sent to a real window,
// and the keyboard pipeline driven by SendInput through the real loop
// (dialog keys, key preview, consumed Alt+F4, accelerators, Tab order).
#include <gtest/gtest.h>

#include <windowsx.h>

#include "tests/framework/FrameworkFixture.h"

namespace {

using fwtest::FrameworkTest;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

std::vector<std::string> events;
bool recordHover = false;  // enter/leave are recorded only where a test looks at them

class TProbe : public TGraphicControl {
public:
    TProbe(TWinControl* parent, const char* name, TRect bounds) : TGraphicControl(parent) {
        Name = name;
        Parent = parent;
        SetBoundsRect(bounds);
        auto tag = [this](const char* what) { return GetName() + " " + what; };
        OnMouseDown = [this, tag](TObject*, TMouseButton, TShiftState shift, int x, int y) {
            events.push_back(tag(shift.Contains(ssDouble) ? "down double" : "down") + " " + std::to_string(x) + "," +
                             std::to_string(y));
        };
        OnMouseUp = [tag](TObject*, TMouseButton, TShiftState, int x, int y) {
            events.push_back(tag("up") + " " + std::to_string(x) + "," + std::to_string(y));
        };
        OnMouseMove = [tag](TObject*, TShiftState, int x, int y) {
            events.push_back(tag("move") + " " + std::to_string(x) + "," + std::to_string(y));
        };
        OnClick = [tag](TObject*) { events.push_back(tag("click")); };
        OnDblClick = [tag](TObject*) { events.push_back(tag("dblclick")); };
        OnMouseEnter = [tag](TObject*) {
            if (recordHover) events.push_back(tag("enter"));
        };
        OnMouseLeave = [tag](TObject*) {
            if (recordHover) events.push_back(tag("leave"));
        };
    }
};

class TInputForm : public TForm {
public:
    explicit TInputForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(200, 150, 200, 120);
    }
};

class InputTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        events.clear();
        recordHover = false;
        form = MakeForm<TInputForm>(nullptr);
    }
    void TearDown() override {
        TMouse::SetCursorSourceForTesting(nullptr);
        form->Free();
        FrameworkTest::TearDown();
    }
    void send(UINT msg, WPARAM keys, int x, int y) {
        SendMessageA(form->Handle, msg, keys, MAKELPARAM(static_cast<WORD>(static_cast<short>(x)),
                                                          static_cast<WORD>(static_cast<short>(y))));
    }
    TInputForm* form = nullptr;
};

TEST_F(InputTest, MouseGoesToTheTopmostWindowlessChildInItsCoordinates) {
    new TProbe(form, "Under", Rect(10, 10, 60, 60));
    new TProbe(form, "Over", Rect(40, 40, 90, 90));
    auto* disabled = new TProbe(form, "Off", Rect(100, 10, 150, 60));
    disabled->Enabled = false;
    form->Show();
    send(WM_LBUTTONDOWN, MK_LBUTTON, 50, 50);
    send(WM_LBUTTONUP, 0, 50, 50);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    send(WM_LBUTTONUP, 0, 20, 20);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 110, 20);  // disabled: the form takes it
    send(WM_LBUTTONUP, 0, 110, 20);
    EXPECT_EQ(events, (std::vector<std::string>{"Over down 10,10", "Over click", "Over up 10,10", "Under down 10,10",
                                                "Under click", "Under up 10,10"}));
}

TEST_F(InputTest, CaptureKeepsTheChildAcrossAReleaseOutsideAndClickNeedsARelaseInside) {
    auto* probe = new TProbe(form, "Grip", Rect(10, 10, 30, 30));
    form->Show();
    send(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
    EXPECT_EQ(GetCapture(), form->Handle());
    EXPECT_TRUE(probe->MouseCapture());
    send(WM_MOUSEMOVE, MK_LBUTTON, 150, -20);  // outside the child and the form
    send(WM_LBUTTONUP, 0, 150, -20);
    EXPECT_FALSE(probe->MouseCapture());
    EXPECT_EQ(events, (std::vector<std::string>{"Grip down 5,5", "Grip move 140,-30", "Grip up 140,-30"}))
        << "no click after a release outside";
    events.clear();
    send(WM_LBUTTONDOWN, MK_LBUTTON, 15, 15);
    ReleaseCapture();  // WM_CAPTURECHANGED: capture dropped without a release
    send(WM_LBUTTONUP, 0, 150, 100);
    EXPECT_EQ(events, (std::vector<std::string>{"Grip down 5,5"}));
}

TEST_F(InputTest, DoubleClickGivesDblClickThenAPressWithSsDouble) {
    auto* probe = new TProbe(form, "Title", Rect(0, 0, 100, 20));
    auto* plain = new TProbe(form, "Plain", Rect(0, 50, 100, 70));
    plain->ControlStyle = plain->ControlStyle() - TControlStyle{csDoubleClicks};
    form->Show();
    send(WM_LBUTTONDOWN, MK_LBUTTON, 5, 5);
    send(WM_LBUTTONUP, 0, 5, 5);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 5);
    send(WM_LBUTTONUP, 0, 5, 5);
    EXPECT_EQ(events, (std::vector<std::string>{"Title down 5,5", "Title click", "Title up 5,5", "Title dblclick",
                                                "Title down double 5,5", "Title up 5,5"}));
    events.clear();
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 5, 55);
    send(WM_LBUTTONUP, 0, 5, 55);
    EXPECT_EQ(events, (std::vector<std::string>{"Plain down 5,5", "Plain click", "Plain up 5,5"}))
        << "without csDoubleClicks it is a plain press";
    (void)probe;
}

TEST_F(InputTest, EnterAndLeaveFollowSyntheticMovesDisabledControlsIncluded) {
    new TProbe(form, "A", Rect(10, 10, 50, 50));
    auto* b = new TProbe(form, "B", Rect(60, 10, 100, 50));
    b->Enabled = false;
    form->Show();
    TPoint cursor;
    TMouse::SetCursorSourceForTesting([&] { return cursor; });
    auto moveTo = [&](int x, int y) {
        cursor = form->ClientToScreen(TPoint(x, y));
        send(WM_MOUSEMOVE, 0, x, y);
        pumpIdle();  // idle re-evaluation reads the same cursor source
    };
    moveTo(150, 100);
    events.clear();
    recordHover = true;
    moveTo(20, 20);
    moveTo(30, 30);
    moveTo(70, 20);
    moveTo(150, 100);
    EXPECT_EQ(events, (std::vector<std::string>{"A enter", "A move 10,10", "A move 20,20", "A leave", "B enter",
                                                "B leave"}));
    EXPECT_EQ(ControlUnderMouse(), form);
}

TEST_F(InputTest, TheShortHintOfTheControlUnderTheMouseShowsAfterThePause) {
    auto* plain = new TProbe(form, "Plain", Rect(10, 10, 50, 50));
    auto* tipped = new TProbe(form, "Tipped", Rect(60, 10, 100, 50));
    tipped->Hint = "Lock|Locks the vault now";
    tipped->ShowHint = true;
    form->Show();
    Application->HintPause = 10;
    TPoint cursor;
    TMouse::SetCursorSourceForTesting([&] { return cursor; });
    auto moveTo = [&](int x, int y) {
        cursor = form->ClientToScreen(TPoint(x, y));
        send(WM_MOUSEMOVE, 0, x, y);
    };
    moveTo(20, 20);
    EXPECT_FALSE(pumpUntil([] { return Application->HintWindow() != nullptr; }, 200)) << "no hint on Plain";
    moveTo(70, 20);
    ASSERT_TRUE(pumpUntil([] { return Application->HintWindow() != nullptr; }));
    EXPECT_EQ(Application->HintText(), "Lock");
    EXPECT_TRUE(IsWindowVisible(Application->HintWindow()));
    moveTo(20, 20);
    EXPECT_EQ(Application->HintWindow(), nullptr) << "leaving hides it";
    Application->HintPause = 500;
    (void)plain;
}

// ---------------------------------------------------------------------------
// Keyboard through SendInput and the real loop

void pressKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (auto& key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.first;
        input.ki.dwFlags = key.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void tap(WORD vk) { pressKeys({{vk, true}, {vk, false}}); }

// A multi-line EDIT superclassed by the framework.
class TTestMemo : public TWinControl {
public:
    explicit TTestMemo(TWinControl* parent) : TWinControl(parent) {
        Parent = parent;
        SetBounds(5, 5, 150, 60);
        TabStop = true;
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = "EDIT";
        params.Style |= ES_MULTILINE | ES_WANTRETURN | WS_TABSTOP;
    }
};

// A focusable window that records what reaches it.
class TFocusBox : public TCustomControl {
public:
    TFocusBox(TWinControl* parent, const char* name, int x) : TCustomControl(parent) {
        Name = name;
        Parent = parent;
        SetBounds(x, 80, 30, 20);
        TabStop = true;
        OnKeyDown = [this](TObject*, WORD& key, TShiftState) { events.push_back(GetName() + " keydown " + std::to_string(key)); };
        OnKeyPress = [this](TObject*, char& key) { events.push_back(GetName() + " char " + std::to_string(int(key))); };
        OnEnter = [this](TObject*) { events.push_back(GetName() + " enter"); };
        OnExit = [this](TObject*) { events.push_back(GetName() + " exit"); };
    }
};

// A hidden or visible windowless control answering dialog keys and characters
// the way the library's Default/Cancel buttons and labels do.
class TKeyButton : public TGraphicControl {
public:
    TKeyButton(TWinControl* parent, WORD key, const char* caption) : TGraphicControl(parent), key_(key) {
        Parent = parent;
        Caption = caption;
    }
    int presses = 0;

protected:
    void Dispatch(TMessage& m) override {
        if ((m.Msg == CM_DIALOGKEY && m.WParam == key_) ||
            (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<WORD>(m.WParam), GetText()))) {
            ++presses;
            m.Result = 1;
            return;
        }
        TGraphicControl::Dispatch(m);
    }

private:
    WORD key_;
};

class KeyboardTest : public InputTest {
protected:
    void showFocused(TWinControl* control) {
        form->Show();
        SetForegroundWindow(form->Handle);
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == form->Handle(); }))
            << "the test form must be in the foreground for SendInput";
        control->SetFocus();
        ASSERT_TRUE(pumpUntil([&] { return GetFocus() == control->Handle(); }));
        pumpIdle();
        events.clear();
    }
};

TEST_F(KeyboardTest, KeyPreviewConsumesTheKeyDownButTheMemoStillGetsTheCharacter) {
    auto* memo = new TTestMemo(form);
    form->KeyPreview = true;
    int previewed = 0;
    form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == VK_RETURN) {
            ++previewed;
            key = 0;
        }
    };
    form->OnKeyPress = [](TObject*, char& key) {
        if (key == 'b') key = 'c';  // the preview may change a character
        if (key == 'x') key = 0;    // or discard it
    };
    showFocused(memo);
    tap('A');
    tap(VK_RETURN);
    tap('X');
    tap('B');
    ASSERT_TRUE(pumpUntil([&] { return memo->Text().size() >= 4; }));
    EXPECT_EQ(previewed, 1);
    EXPECT_EQ(memo->Text(), "a\r\nc") << "Enter still breaks the line through WM_CHAR";
}

TEST_F(KeyboardTest, ACharacterThePreviewConsumedNeverReachesTheControlsOwnHandler) {
    auto* memo = new TTestMemo(form);
    form->KeyPreview = true;
    form->OnKeyPress = [](TObject*, char& key) {
        if (key == 'x') key = 0;
    };
    std::string seen;
    memo->OnKeyPress = [&](TObject*, char& key) { seen += key; };
    showFocused(memo);
    tap('X');
    tap('A');
    ASSERT_TRUE(pumpUntil([&] { return !memo->Text().empty(); }));
    pumpIdle();
    EXPECT_EQ(seen, "a") << "the control's handler saw neither the consumed character nor an empty one";
    EXPECT_EQ(memo->Text(), "a");
}

TEST_F(KeyboardTest, ConsumedAltF4NeverClosesTheForm) {
    auto* box = new TFocusBox(form, "Box", 10);
    form->KeyPreview = true;
    bool consume = true;
    int closes = 0;
    form->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
        if (key == VK_F4 && shift.Contains(ssAlt) && consume) key = 0;
    };
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    showFocused(box);
    pressKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    pumpUntil([] { return false; }, 300);
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle));
    consume = false;
    pressKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
    EXPECT_TRUE(pumpUntil([&] { return closes == 1; })) << "an Alt+F4 that is not consumed closes";
}

TEST_F(KeyboardTest, EscapeReachesAHiddenCancelAndAHandledEnterLeavesNoCharacter) {
    auto* box = new TFocusBox(form, "Box", 10);
    auto* cancel = new TKeyButton(form, VK_ESCAPE, "Cancel");
    cancel->Visible = false;
    auto* ok = new TKeyButton(form, VK_RETURN, "&Ok");
    showFocused(box);
    tap(VK_ESCAPE);
    tap(VK_RETURN);
    pumpUntil([&] { return ok->presses == 1; });
    pumpIdle();
    EXPECT_EQ(cancel->presses, 1) << "hidden controls get dialog keys";
    EXPECT_EQ(ok->presses, 1);
    EXPECT_TRUE(events.empty()) << "neither key-down nor WM_CHAR reached the control: " << events.size();
    pressKeys({{VK_MENU, true}, {'O', true}, {'O', false}, {VK_MENU, false}});
    EXPECT_TRUE(pumpUntil([&] { return ok->presses == 2; })) << "Alt+O is the button's accelerator";
    tap('X');
    EXPECT_TRUE(pumpUntil([&] { return !events.empty() && events.back() == "Box char 120"; }))
        << "other characters go to the control";
}

TEST_F(KeyboardTest, SetFocusBeforeTheFirstShowOnlyRecordsTheActiveControl) {
    new TFocusBox(form, "First", 10);
    auto* second = new TFocusBox(form, "Second", 50);
    second->SetFocus();
    EXPECT_FALSE(form->HandleAllocated() && IsWindowVisible(form->Handle));
    EXPECT_EQ(form->ActiveControl(), second);
    form->Show();
    EXPECT_TRUE(pumpUntil([&] { return second->Focused(); })) << "the first show focuses ActiveControl";
    EXPECT_EQ(events, (std::vector<std::string>{"Second enter"}));
}

TEST_F(KeyboardTest, TabMovesFocusInTabOrderAndEnterExitFollow) {
    auto* first = new TFocusBox(form, "First", 10);
    auto* second = new TFocusBox(form, "Second", 50);
    auto* third = new TFocusBox(form, "Third", 90);
    third->TabOrder = 0;  // Third, First, Second
    showFocused(first);
    tap(VK_TAB);
    ASSERT_TRUE(pumpUntil([&] { return second->Focused(); }));
    tap(VK_TAB);
    ASSERT_TRUE(pumpUntil([&] { return third->Focused(); }));
    pressKeys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
    ASSERT_TRUE(pumpUntil([&] { return second->Focused(); }));
    EXPECT_EQ(form->ActiveControl(), second);
    EXPECT_EQ(events, (std::vector<std::string>{"First exit", "Second enter", "Second exit", "Third enter",
                                                "Third keydown 16", "Third exit", "Second enter"}))
        << "Shift reaches the focused control; Shift+Tab does not";
}

}  // namespace
