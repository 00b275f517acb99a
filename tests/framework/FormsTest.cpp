// The application window, modal loops (before Run, nested, ended by closing
// the main form), close queries, OnShow/OnHide counting, painting of
// windowless children into a bitmap, timers and the clipboard.
#include <gtest/gtest.h>

#include <memory>

#include "tests/framework/FrameworkFixture.h"

namespace {

using fwtest::FrameworkTest;
using fwtest::pumpUntil;
using fwtest::runAfter;
using fwtest::runLater;

class FormsTest : public FrameworkTest {};

// A plain borderless form that counts its events.
class TCountingForm : public TForm {
public:
    explicit TCountingForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(40, 40, 120, 80);
        OnShow = [this](TObject*) { ++shows; };
        OnHide = [this](TObject*) { ++hides; };
        OnCreate = [this](TObject*) { ++creates; };
    }
    int shows = 0, hides = 0, creates = 0;
};

TEST_F(FormsTest, ApplicationWindowIsTitledAndIgnoresCopyData) {
    HWND app = Application->Handle;
    char className[32] = {};
    GetClassNameA(app, className, sizeof className);
    EXPECT_STREQ(className, "TApplication");
    EXPECT_EQ(Application->Title(), "framework_tests") << "the executable's name without extension";
    Application->Title = "Brimsafe";
    char text[64] = {};
    GetWindowTextA(app, text, sizeof text);
    EXPECT_STREQ(text, "Brimsafe");
    EXPECT_EQ(FindWindowA("TApplication", "Brimsafe"), app);
    EXPECT_FALSE(IsWindowVisible(app));
    COPYDATASTRUCT data = {100, 0, nullptr};
    EXPECT_EQ(SendMessageA(app, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
    EXPECT_FALSE(Application->Terminated());
    Application->Title = "framework_tests";
}

TEST_F(FormsTest, ShowModalBeforeRunReturnsTheResult) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    EXPECT_EQ(form->creates, 1);
    EXPECT_EQ(form->Caption(), "CountingForm") << "caption follows the class-derived name";
    runLater([form] { form->ModalResult = mrYes; });
    EXPECT_EQ(form->ShowModal(), mrYes);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->shows, 1);
    EXPECT_EQ(form->hides, 1);
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation) << "a visible form cannot become modal";
    form->Free();
}

TEST_F(FormsTest, NestedModalsReturnInnermostFirstAndReenableTheirOwners) {
    std::vector<std::string> order;
    auto* outer = MakeForm<TCountingForm>(nullptr);
    auto* middle = MakeForm<TCountingForm>(nullptr);
    auto* inner = MakeForm<TCountingForm>(nullptr);
    outer->OnShow = [&](TObject*) {
        runLater([&] {
            middle->OnShow = [&](TObject*) {
                runLater([&] {
                    EXPECT_FALSE(IsWindowEnabled(outer->Handle)) << "the outer form is disabled under the middle one";
                    inner->OnShow = [&](TObject*) {
                        runLater([&] {
                            EXPECT_FALSE(IsWindowEnabled(middle->Handle));
                            inner->ModalResult = 3;
                        });
                    };
                    order.push_back("inner " + std::to_string(inner->ShowModal()));
                    EXPECT_TRUE(IsWindowEnabled(middle->Handle));
                    middle->ModalResult = 2;
                });
            };
            order.push_back("middle " + std::to_string(middle->ShowModal()));
            outer->ModalResult = 1;
        });
    };
    order.push_back("outer " + std::to_string(outer->ShowModal()));
    EXPECT_EQ(order, (std::vector<std::string>{"inner 3", "middle 2", "outer 1"}));
    for (auto* f : {inner, middle, outer}) f->Free();
}

TEST_F(FormsTest, ClosingTheMainFormInsideNestedModalsEndsEveryLoop) {
    TCountingForm* mainForm = nullptr;
    ASSERT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(mainForm);
    ASSERT_EQ(Application->MainForm(), mainForm);
    mainForm->Show();
    auto* first = MakeForm<TCountingForm>(nullptr);
    auto* second = MakeForm<TCountingForm>(nullptr);
    int secondResult = -1;
    first->OnShow = [&](TObject*) {
        runLater([&] {
            second->OnShow = [&](TObject*) { runLater([&] { mainForm->Close(); }); };
            secondResult = second->ShowModal();
        });
    };
    EXPECT_EQ(first->ShowModal(), mrCancel);
    EXPECT_EQ(secondResult, mrCancel);
    EXPECT_TRUE(Application->Terminated());
    auto* later = MakeForm<TCountingForm>(nullptr);
    EXPECT_EQ(later->ShowModal(), mrCancel) << "a later ShowModal returns at once";
    EXPECT_EQ(later->shows, 0);
    for (auto* f : {later, second, first}) f->Free();
    mainForm->Free();
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, CloseQueryRefusalKeepsTheFormAndOnShowCountsEveryShow) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    bool allow = false;
    int closes = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    form->Show();
    SendMessageA(form->Handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle));
    EXPECT_EQ(closes, 0);
    allow = true;
    SendMessageA(form->Handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(form->Handle)) << "caHide";
    EXPECT_EQ(closes, 1);
    form->Show();
    form->Hide();
    form->Visible = true;
    EXPECT_EQ(form->shows, 3);
    EXPECT_EQ(form->hides, 2);
    HWND handle = form->Handle;
    form->BorderStyle = bsSingle;
    EXPECT_EQ(form->Handle(), handle) << "style changes keep the window";
    EXPECT_TRUE(GetWindowLongA(handle, GWL_STYLE) & WS_CAPTION);
    form->Free();
}

TEST_F(FormsTest, ModalFormHiddenAndShownAgainKeepsItsLoop) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    runLater([form] {
        form->Hide();
        runLater([form] {
            form->Show();
            runLater([form] { form->ModalResult = mrOk; });
        });
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(form->shows, 2);
    form->Free();
}

TEST_F(FormsTest, ModalCloseQueryRefusesAltF4StyleCloseWhileBusy) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    bool busy = true;
    int queries = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) {
        ++queries;
        canClose = !busy;
    };
    runLater([&] {
        PostMessageA(form->Handle, WM_CLOSE, 0, 0);
        runLater([&] {
            EXPECT_TRUE(IsWindowVisible(form->Handle)) << "the refusal keeps the loop going";
            busy = false;
            PostMessageA(form->Handle, WM_CLOSE, 0, 0);
        });
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(queries, 2);
    form->Free();
}

TEST_F(FormsTest, ReleaseFreesAfterTheCurrentMessageAndOnDestroyFires) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    HWND handle = form->Handle;
    form->Release();
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(pumpUntil([&] { return destroyed; }));
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(FormsTest, ExceptionsInHandlersReachTheApplication) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    form->OnClick = [](TObject*) { throw EConvertError("from a handler"); };
    form->Show();
    SendMessageA(form->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Handle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(exceptions, (std::vector<std::string>{"from a handler"}));
    form->Free();
}

// ---------------------------------------------------------------------------
// Painting

class TBlock : public TGraphicControl {
public:
    TBlock(TComponent* owner, TWinControl* parent, TColor color, TRect bounds, bool escapeClip = false)
        : TGraphicControl(owner), color_(color), escapeClip_(escapeClip) {
        Parent = parent;
        SetBoundsRect(bounds);
    }
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        TCanvas* canvas = Canvas;
        // Library drawing code drops the clip instead of restoring it.
        if (escapeClip_) SelectClipRgn(canvas->Handle, nullptr);
        canvas->Brush->Color = color_;
        if (OnPaintHalf) canvas->FillRect(Rect(0, 0, Width / 2, Height));
        else canvas->FillRect(escapeClip_ ? Rect(-50, -50, 200, 200) : TRect(0, 0, Width, Height));
    }

public:
    bool OnPaintHalf = false;

private:
    TColor color_;
    bool escapeClip_;
};

class TPlainForm : public TForm {
public:
    explicit TPlainForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(100, 100, 60, 40);
        Color = clWhite;
    }
};

TEST_F(FormsTest, WindowlessChildrenPaintInZOrderWithTheirClipKept) {
    auto* form = MakeForm<TPlainForm>(nullptr);
    auto* bottom = new TBlock(form, form, clRed, Rect(0, 0, 30, 30));
    auto* top = new TBlock(form, form, clBlue, Rect(20, 10, 40, 30));
    new TBlock(form, form, clLime, Rect(45, 5, 55, 15), true);
    // A transparent child paints only part of itself: what lies below shows through.
    auto* glass = new TBlock(form, form, clYellow, Rect(0, 35, 60, 40));
    glass->OnPaintHalf = true;
    auto* under = new TBlock(form, form, clPurple, Rect(0, 34, 60, 40));
    under->SendToBack();
    TBitmap bmp;
    bmp.SetSize(60, 40);
    form->PaintTo(bmp.Canvas->Handle, 0, 0);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 5, 5), clRed);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 25, 20), clBlue) << "the later child is on top";
    EXPECT_EQ(fwtest::pixelOf(&bmp, 35, 5), clWhite) << "background from the form's brush";
    EXPECT_EQ(fwtest::pixelOf(&bmp, 50, 10), clLime);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 50, 30), clWhite) << "the meta region survives SelectClipRgn(NULL)";
    EXPECT_EQ(fwtest::pixelOf(&bmp, 42, 10), clWhite);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 10, 37), clYellow);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 50, 37), clPurple) << "the lower sibling shows through";
    top->SendToBack();
    form->PaintTo(bmp.Canvas->Handle, 0, 0);
    EXPECT_EQ(fwtest::pixelOf(&bmp, 25, 20), clRed);
    // On screen: a real WM_PAINT reaches the children too.
    form->Show();
    bottom->paints = 0;
    bottom->Invalidate();
    form->Update();
    EXPECT_EQ(bottom->paints, 1);
    form->Free();
}

// ---------------------------------------------------------------------------
// Timers and clipboard

TEST_F(FormsTest, TimerDropsTicksWhileItsHandlerRunsANestedLoop) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.Interval = 60000;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        // A nested loop inside the handler: a tick sent now is dropped.
        SendMessageA(timer.Handle, WM_TIMER, 1, 0);
        if (ticks == 2) throw EConvertError("tick failed");
    };
    SendMessageA(timer.Handle, WM_TIMER, 1, 0);
    EXPECT_EQ(ticks, 1);
    SendMessageA(timer.Handle, WM_TIMER, 1, 0);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(exceptions, (std::vector<std::string>{"tick failed"}));
    EXPECT_TRUE(timer.Enabled()) << "the timer goes on after an exception";
    timer.Enabled = false;
    SendMessageA(timer.Handle, WM_TIMER, 1, 0);
    EXPECT_EQ(ticks, 2);
    // A real tick arrives inside a modal loop.
    auto* form = MakeForm<TCountingForm>(nullptr);
    timer.Interval = 20;
    timer.OnTimer = [&](TObject*) { form->ModalResult = mrOk; };
    timer.Enabled = true;
    EXPECT_EQ(form->ShowModal(), mrOk);
    timer.Enabled = false;
    form->Free();
}

TEST_F(FormsTest, TimerTicksArriveInsideASystemMessageBox) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.Interval = 20;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        if (HWND box = FindWindowA("#32770", "TickBox")) PostMessageA(box, WM_COMMAND, IDOK, 0);
    };
    MessageBoxA(nullptr, "Waiting for a timer tick", "TickBox", MB_OK);
    EXPECT_GE(ticks, 1);
}

DWORD WINAPI holdClipboard(LPVOID events) {
    HANDLE* e = static_cast<HANDLE*>(events);
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    OpenClipboard(window);
    SetEvent(e[0]);
    WaitForSingleObject(e[1], 10000);
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}

TEST_F(FormsTest, ClipboardRoundTripAndFailureWhileAnotherHoldsIt) {
    TClipboard* clipboard = Clipboard();
    ASSERT_TRUE(clipboard->SetTextBuf("secret entry"));
    EXPECT_EQ(clipboard->AsText(), "secret entry");
    EXPECT_TRUE(clipboard->HasFormat(CF_TEXT));
    EXPECT_TRUE(clipboard->Clear());
    EXPECT_FALSE(clipboard->HasFormat(CF_TEXT));
    HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE holder = CreateThread(nullptr, 0, holdClipboard, events, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(events[0], 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(clipboard->Clear()) << "failure returns false, never raises";
    EXPECT_FALSE(clipboard->SetTextBuf("x"));
    EXPECT_EQ(clipboard->OpenCount(), 0);
    SetEvent(events[1]);
    WaitForSingleObject(holder, 5000);
    CloseHandle(holder);
    CloseHandle(events[0]);
    CloseHandle(events[1]);
    EXPECT_TRUE(clipboard->Clear());
}

}  // namespace

namespace {

DWORD WINAPI answerBrimsafeBox(LPVOID param) {
    auto* seen = static_cast<std::string*>(param);
    for (int i = 0; i < 500; ++i) {
        HWND box = FindWindowA("#32770", "Brimsafe");
        if (box) {
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            *seen = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

// The framework's own message box for exceptions: the application's title,
// a stop icon, and a full stop added to the text.
TEST_F(FormsTest, UnhandledExceptionShowsTheFrameworksMessageBox) {
    Application->OnException = nullptr;
    Application->Title = "Brimsafe";
    std::string seenText;
    DWORD worker = 0;
    HANDLE answerer = CreateThread(nullptr, 0, answerBrimsafeBox, &seenText, 0, &worker);
    auto* form = MakeForm<TCountingForm>(nullptr);
    form->OnClick = [](TObject*) { throw EConvertError("'x' is not a valid integer value"); };
    form->Show();
    SendMessageA(form->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->Handle, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    WaitForSingleObject(answerer, 10000);
    DWORD code = 1;
    GetExitCodeThread(answerer, &code);
    CloseHandle(answerer);
    EXPECT_EQ(code, 0u) << "the box was found by its caption";
    EXPECT_EQ(seenText, "'x' is not a valid integer value.");
    Application->Title = "framework_tests";
    form->Free();
}

TEST_F(FormsTest, MinimizeFromTheApplicationWindowTakesTheWholeProgram) {
    TCountingForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    auto* other = MakeForm<TCountingForm>(nullptr);
    mainForm->Show();
    other->Show();
    SendMessageA(Application->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(mainForm->Handle));
    EXPECT_FALSE(IsWindowVisible(other->Handle));
    EXPECT_TRUE(other->Visible()) << "hidden with the program, still Visible";
    SendMessageA(Application->Handle, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(mainForm->Handle));
    EXPECT_TRUE(IsWindowVisible(other->Handle));
    EXPECT_EQ(other->hides, 0);
    SendMessageA(Application->Handle, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Application->Terminated()) << "closing from the task bar closes the main form";
    other->Free();
    mainForm->Free();
}

// A prompt raised over the minimised program (a command of another process, a close from the task
// bar) stands on the work area, shown and in front, not centred on the window parked off the screen.
TEST_F(FormsTest, AFormCentredOnTheMinimisedProgramStandsOnTheWorkArea) {
    TCountingForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    mainForm->SetBounds(100, 80, 400, 300);
    mainForm->Show();
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    for (TPosition position : {poOwnerFormCenter, poMainFormCenter}) {
        SCOPED_TRACE(position == poOwnerFormCenter ? "owner centred" : "main form centred");
        Application->Minimize();
        ASSERT_TRUE(IsIconic(mainForm->Handle));
        auto* prompt = MakeForm<TCountingForm>(mainForm);
        prompt->Position = position;
        RECT placed{};
        bool shown = false, inFront = false;
        runAfter(50, [&] {
            GetWindowRect(prompt->Handle, &placed);
            shown = IsWindowVisible(prompt->Handle) != FALSE;
            inFront = GetForegroundWindow() == prompt->Handle;
            prompt->ModalResult = mrOk;
        });
        prompt->ShowModal();
        RECT overlap{};
        EXPECT_TRUE(IntersectRect(&overlap, &placed, &work) && EqualRect(&overlap, &placed))
            << placed.left << "," << placed.top << " " << placed.right << "," << placed.bottom;
        EXPECT_TRUE(shown);
        EXPECT_TRUE(inFront);
        prompt->Free();
        Application->Restore();
    }
    mainForm->Free();
}

TEST_F(FormsTest, RunReturnsAtOnceWhenTerminatedAndFreesTheFormsInReverseOrder) {
    static std::vector<std::string> freed;
    freed.clear();
    struct TLogged : TCountingForm {
        using TCountingForm::TCountingForm;
        ~TLogged() override { freed.push_back(GetName()); }
    };
    TLogged *first = nullptr, *second = nullptr;
    Application->CreateForm(first);
    Application->CreateForm(second);
    first->Name = "First";
    second->Name = "Second";
    EXPECT_EQ(Application->MainForm(), first);
    first->Close();  // the main form closed before the loop, as a failed start-up does
    EXPECT_TRUE(Application->Terminated());
    Application->Run();
    EXPECT_EQ(freed, (std::vector<std::string>{"Second", "First"}));
    EXPECT_EQ(Application->MainForm(), nullptr);
}

class TSketch : public TGraphicControl {
public:
    explicit TSketch(TWinControl* parent) : TGraphicControl(parent) {
        Parent = parent;
        SetBounds(30, 20, 40, 30);
    }
};

TEST_F(FormsTest, WindowlessCanvasOutsidePaintUsesTheParentsDcForOneMessage) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    auto* sketch = new TSketch(form);
    form->Show();
    HDC seen = nullptr;
    POINT origin = {};
    RECT clip = {};
    runLater([&] {
        TCanvas* canvas = sketch->Canvas;
        canvas->Brush->Color = clRed;
        canvas->FillRect(Rect(0, 0, 5, 5));
        seen = canvas->Handle;
        GetWindowOrgEx(seen, &origin);
        GetClipBox(seen, &clip);
    });
    ASSERT_TRUE(pumpUntil([&] { return seen != nullptr; }));
    EXPECT_EQ(origin.x, -30);
    EXPECT_EQ(origin.y, -20);
    EXPECT_EQ(TRect(clip), Rect(0, 0, 40, 30)) << "clipped to the control";
    EXPECT_FALSE(sketch->Canvas->HandleAllocated()) << "released after the message";
    form->Free();
}

TEST_F(FormsTest, HintsSplitAndTheNearestControlWithAHintIsChosen) {
    EXPECT_EQ(GetShortHint("Lock|Locks the vault now"), "Lock");
    EXPECT_EQ(GetLongHint("Lock|Locks the vault now"), "Locks the vault now");
    EXPECT_EQ(GetShortHint("Plain"), "Plain");
    EXPECT_EQ(GetLongHint("Plain"), "Plain");
    auto* form = MakeForm<TCountingForm>(nullptr);
    form->Hint = "Form hint";
    form->ShowHint = true;
    auto* quiet = new TSketch(form);
    auto* noisy = new TSketch(form);
    noisy->Hint = "Button|Does things";
    EXPECT_TRUE(noisy->ShowHint()) << "ShowHint follows the parent";
    EXPECT_EQ(Application->HintControlFor(quiet), form);
    EXPECT_EQ(Application->HintControlFor(noisy), noisy);
    noisy->ShowHint = false;
    EXPECT_EQ(Application->HintControlFor(noisy), nullptr);
    form->Free();
}

}  // namespace

namespace {

// A superclassed EDIT that records what its parent reflects back to it.
class TReflectingEdit : public TWinControl {
public:
    explicit TReflectingEdit(TWinControl* parent) : TWinControl(parent) {
        Parent = parent;
        SetBounds(5, 5, 80, 22);
    }
    std::vector<WORD> commands;

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = "EDIT";
        params.Style |= ES_AUTOHSCROLL;
    }
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_COMMAND) commands.push_back(HIWORD(m.WParam));
        TWinControl::Dispatch(m);
    }
};

TEST_F(FormsTest, ParentsReflectCommandsAndColourRequestsToTheirChildren) {
    auto* form = MakeForm<TCountingForm>(nullptr);
    auto* edit = new TReflectingEdit(form);
    edit->Color = clYellow;
    edit->Font->Color = clNavy;
    form->Show();
    edit->Text = "abc";
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_NE(std::find(edit->commands.begin(), edit->commands.end(), EN_CHANGE), edit->commands.end())
        << "the parent sent CN_COMMAND to the child";
    HDC dc = GetDC(edit->Handle);
    LRESULT brush = SendMessageA(form->Handle, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(edit->Handle()));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), edit->Brush->Handle());
    EXPECT_EQ(GetTextColor(dc), static_cast<COLORREF>(clNavy));
    EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clYellow));
    ReleaseDC(edit->Handle, dc);
    EXPECT_EQ(SendMessageA(form->Handle, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(edit->Handle()), NF_QUERY),
              NFR_ANSI);
    HWND handle = edit->Handle;
    edit->RecreateWnd();
    EXPECT_NE(edit->Handle(), handle);
    EXPECT_EQ(edit->Text(), "abc") << "the text survives re-creation";
    form->Free();
}

}  // namespace
