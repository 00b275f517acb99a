// The labels: auto size against the measured text, placement by alignment,
// the accelerator, blinking on synthetic timer-pool ticks, the link
// behaviour through a replaced shell call, and a title label on a real form.
#include "components/controls/QCLSimpleLabel.h"
#include "components/runtime/qclclass.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

// What the label's font measures for the text (DrawText on the screen).
TSize measure(TFont* font, const AnsiString& text, int width, UINT flags) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->GetHandle());
    RECT r = {0, 0, width, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return TSize{r.right, r.bottom};
}

TQCLSimpleLabel* makeLabel(TWinControl* parent, const AnsiString& caption) {
    auto* label = new TQCLSimpleLabel(parent);
    label->SetParent(parent);
    label->GetFont()->SetName("Arial");
    label->GetFont()->SetHeight(-13);
    label->GetFont()->SetColor(clRed);
    label->SetText(caption);
    return label;
}

struct ShellCall {
    HWND owner;
    std::string target;
};
std::vector<ShellCall> shellCalls;
INT_PTR shellResult = 42;

HINSTANCE fakeShell(HWND owner, const AnsiString& target) {
    shellCalls.push_back({owner, target});
    return reinterpret_cast<HINSTANCE>(shellResult);
}

class LabelTest : public ControlsBaseTest {
protected:
    void SetUp() override {
        ControlsBaseTest::SetUp();
        shellCalls.clear();
        shellResult = 42;
        previousShell = QCLSetLabelShellOpenForTesting(&fakeShell);
    }
    void TearDown() override {
        QCLSetLabelShellOpenForTesting(previousShell);
        ControlsBaseTest::TearDown();
    }
    // One tick of the library's timer pool, as its window timer would bring.
    void poolTick() { SendMessageA(QCLApplication->GetTimerPool()->GetHandle(), WM_TIMER, 1, 0); }
    // Ticks until the blink phase flips (bounded); the number of ticks.
    int ticksUntilFlip(TQCLBaseLabel* label) {
        bool start = label->BlinkShown();
        for (int i = 1; i <= 100; ++i) {
            poolTick();
            if (label->BlinkShown() != start) return i;
        }
        return -1;
    }
    TQCLShellOpenFunc previousShell = nullptr;
};

}  // namespace

TEST_F(LabelTest, AutoSizeTakesTheMeasuredTextAndKeepsTheCorner) {
    const AnsiString longText =
        "The file you selected is larger than the space left on the drive, so the copy cannot be made here.";
    // The size is measured on text and setting changes, not on SetBounds.
    auto* single = makeLabel(form, "");
    single->SetBounds(7, 9, 5, 5);
    single->SetText("Vault name:");
    TSize text = measure(single->GetFont(), "Vault name:", 0, DT_SINGLELINE);
    EXPECT_EQ(single->BoundsRect(), TRect(7, 9, 7 + text.cx + 2, 9 + text.cy + 2));

    // The message box's body: width held at 332, the height follows the lines.
    auto* body = makeLabel(form, "");
    body->GetConstraints()->SetMinWidth(332);
    body->GetConstraints()->SetMaxWidth(332);
    body->SetMultiLine(true);
    body->SetBounds(30, 40, 332, 10);
    body->SetText(longText);
    TSize wrapped = measure(body->GetFont(), longText, 332, DT_WORDBREAK);
    TSize oneLine = measure(body->GetFont(), longText, 0, DT_SINGLELINE);
    ASSERT_GT(wrapped.cy, oneLine.cy) << "the text must wrap for this case";
    EXPECT_EQ(body->GetWidth(), 332);
    EXPECT_EQ(body->GetHeight(), wrapped.cy + 2);
    EXPECT_EQ(body->GetLeft(), 30);
    EXPECT_EQ(body->GetTop(), 40);

    // Alignment plays no part; a longer caption grows it to the right.
    single->SetAlignment(agBottomRight);
    EXPECT_EQ(single->GetWidth(), text.cx + 2);
    single->SetText("Vault name and folder:");
    EXPECT_GT(single->GetWidth(), text.cx + 2);
    EXPECT_EQ(single->GetLeft(), 7);

    // AutoSize off: the bounds stay whatever the caption.
    single->SetAutoSize(false);
    single->SetBounds(7, 9, 40, 20);
    single->SetText("A much longer caption than forty pixels");
    EXPECT_EQ(single->BoundsRect(), TRect(7, 9, 47, 29));
}

TEST_F(LabelTest, AlignmentPlacesSingleAndMultiLineText) {
    enum H { Left, Middle, Right };
    enum V { Top, Centre, Bottom };
    struct Case {
        TQCLAlignment alignment;
        H h;
        V v;
    } cases[] = {
        {agTopLeft, Left, Top},          {agTopCenter, Middle, Top},       {agTopRight, Right, Top},
        {agCenterLeft, Left, Centre},    {agCenter, Middle, Centre},       {agCenterRight, Right, Centre},
        {agBottomLeft, Left, Bottom},    {agBottomCenter, Middle, Bottom}, {agBottomRight, Right, Bottom},
    };
    const int W = 160, H = 60;
    for (bool multi : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(multi ? "multi-line " : "single-line ") + std::to_string(c.alignment));
            auto* label = makeLabel(form, multi ? "ab\ncd" : "abcd");
            label->SetAutoSize(false);
            label->SetMultiLine(multi);
            label->SetTransparent(false);
            label->SetColor(clWhite);
            label->SetBounds(0, 0, W, H);
            label->SetAlignment(c.alignment);
            auto bitmap = paintControl(label, clBlack);
            TRect all(0, 0, W, H);
            int first = firstColumnOf(bitmap.get(), all, clRed), last = lastColumnOf(bitmap.get(), all, clRed);
            ASSERT_GE(first, 0) << "nothing drawn";
            int centreX = (first + last) / 2;
            int top = -1;
            for (int y = 0; y < H && top < 0; ++y)
                if (countPixels(bitmap.get(), TRect(0, y, W, y + 1), clRed)) top = y;
            int bottom = lastRowOf(bitmap.get(), all, clRed);
            int centreY = (top + bottom) / 2;
            switch (c.h) {
            case Left: EXPECT_LT(first, 6); break;
            case Middle: EXPECT_NEAR(centreX, W / 2, 6); break;
            case Right: EXPECT_GT(last, W - 6); break;
            }
            switch (c.v) {
            case Top: EXPECT_LT(top, 8); break;
            case Centre: EXPECT_NEAR(centreY, H / 2, 6); break;
            case Bottom: EXPECT_GT(bottom, H - 8); break;
            }
            if (multi) {
                EXPECT_GT(bottom - top, 16) << "two lines";
            }
            label->Free();
        }
    }
}

TEST_F(LabelTest, AcceleratorAndEmptyTransparentLabel) {
    auto* target = new TQCLCustomControl(form);
    target->SetParent(form);
    target->SetTabStop(true);
    target->SetBounds(100, 100, 50, 20);
    auto* elsewhere = new TQCLCustomControl(form);
    elsewhere->SetParent(form);
    elsewhere->SetTabStop(true);
    elsewhere->SetBounds(100, 130, 50, 20);
    auto* label = makeLabel(form, "&Name");
    label->SetFocusControl(target);
    ASSERT_TRUE(foreground());
    struct Case {
        bool showAccel, enabled;
        char key;
        bool handled;
    } cases[] = {
        {true, true, 'n', true},   {true, true, 'N', true},  {true, true, 'x', false},
        {false, true, 'n', false}, {true, false, 'n', false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.key) + (c.showAccel ? " accel" : " no accel") + (c.enabled ? "" : " disabled"));
        elsewhere->SetFocus();
        label->SetShowAccelChar(c.showAccel);
        label->SetEnabled(c.enabled);
        EXPECT_EQ(label->Perform(CM_DIALOGCHAR, static_cast<WPARAM>(c.key), 0), c.handled ? 1 : 0);
        EXPECT_EQ(GetFocus() == target->GetHandle(), c.handled);
    }
    // The focus control going away is forgotten.
    target->Free();
    EXPECT_EQ(label->GetFocusControl(), nullptr);
    label->SetEnabled(true);
    label->SetShowAccelChar(true);
    EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 0);

    // With ShowAccelChar off the "&" is drawn: the text is wider.
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 120, 20);
    auto withPrefix = paintControl(label, clWhite);
    label->SetShowAccelChar(false);
    auto withAmpersand = paintControl(label, clWhite);
    TRect all(0, 0, 120, 20);
    EXPECT_GT(lastColumnOf(withAmpersand.get(), all, clRed), lastColumnOf(withPrefix.get(), all, clRed));

    // A transparent label without caption paints nothing.
    label->SetText("");
    EXPECT_TRUE(label->GetEmpty());
    auto empty = paintControl(label, clWhite);
    EXPECT_EQ(countPixels(empty.get(), all, clWhite), 120 * 20);
    label->SetTransparent(false);
    EXPECT_FALSE(label->GetEmpty()) << "an opaque label paints its colour";
}

TEST_F(LabelTest, TwinkleFlipsOnPoolTicksAndStopsShown) {
    auto* label = makeLabel(form, "Blink");
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 60, 20);
    label->SetTwinkleVisible(100);
    label->SetTwinkleInVisible(200);
    const int poolCount = QCLApplication->GetTimerPool()->GetCount();
    label->SetTwinkle(true);
    ASSERT_GT(label->TimerIdent(), 0);
    EXPECT_EQ(QCLApplication->GetTimerPool()->GetCount(), poolCount + 1);
    TQCLTimerItem* item = QCLApplication->GetTimer(static_cast<uint16_t>(label->TimerIdent()));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->GetEnabled());
    EXPECT_EQ(item->GetInterval(), 100);
    EXPECT_TRUE(label->BlinkShown());

    TRect all(0, 0, 60, 20);
    EXPECT_GT(ticksUntilFlip(label), 0);
    EXPECT_FALSE(label->BlinkShown());
    EXPECT_EQ(item->GetInterval(), 200) << "the hidden phase's interval";
    auto hidden = paintControl(label, clWhite);
    EXPECT_EQ(countPixels(hidden.get(), all, clRed), 0) << "no twinkle colour: nothing drawn";
    label->SetTwinkleColor(clBlue);
    auto tinted = paintControl(label, clWhite);
    EXPECT_EQ(countPixels(tinted.get(), all, clRed), 0);
    EXPECT_GT(countPixels(tinted.get(), all, clBlue), 0);

    // A new shown interval waits for the next phase change.
    label->SetTwinkleVisible(300);
    EXPECT_EQ(item->GetInterval(), 200);
    EXPECT_GT(ticksUntilFlip(label), 0);
    EXPECT_TRUE(label->BlinkShown());
    EXPECT_EQ(item->GetInterval(), 300);
    EXPECT_GT(ticksUntilFlip(label), 0);
    EXPECT_FALSE(label->BlinkShown());

    // Off in the hidden phase: shown again, the timer gone.
    label->SetTwinkle(false);
    EXPECT_TRUE(label->BlinkShown());
    EXPECT_EQ(label->TimerIdent(), -1);
    EXPECT_EQ(QCLApplication->GetTimerPool()->GetCount(), poolCount);
    auto shown = paintControl(label, clWhite);
    EXPECT_GT(countPixels(shown.get(), all, clRed), 0);
}

TEST_F(LabelTest, TwinkleWithoutAUsableTimer) {
    auto* label = makeLabel(form, "Blink");
    // An interval the pool cannot keep: its error reaches the caller, and
    // the label does not blink.
    label->SetTwinkleVisible(120);
    EXPECT_THROW(label->SetTwinkle(true), Exception);
    EXPECT_FALSE(label->GetTwinkle());
    EXPECT_EQ(label->TimerIdent(), -1);

    // Every identifier in use: no timer, never a flip, and nothing to remove.
    label->SetTwinkleVisible(100);
    std::vector<uint16_t> taken;
    for (uint16_t id; (id = QCLApplication->AddTimer(1000, TNotifyEvent())) != 0;) taken.push_back(id);
    label->SetTwinkle(true);
    EXPECT_EQ(label->TimerIdent(), -1);
    for (int i = 0; i < 20; ++i) poolTick();
    EXPECT_TRUE(label->BlinkShown());
    label->SetTwinkle(false);
    for (uint16_t id : taken) QCLApplication->RemoveTimer(id);
    EXPECT_TRUE(exceptions.empty());
}

TEST_F(LabelTest, LinkModesOpenTheirTargetThroughTheShell) {
    struct Case {
        TQCLJumpMode mode;
        const char* jump;
        const char* caption;
        INT_PTR result;
        const char* opened;  // null: the shell is not called
        bool enabledAfter;
        TQCLJumpMode modeAfter;
    } cases[] = {
        {jmInternet, "http://example.invalid/", "Site", 42, "http://example.invalid/", true, jmInternet},
        {jmInternet, "", "help@example.invalid", 42, "mailto:help@example.invalid", true, jmInternet},
        {jmInternet, "   ", "help@example.invalid", 42, "mailto:help@example.invalid", true, jmInternet},
        {jmInternet, "", "www.example.invalid", 42, "www.example.invalid", true, jmInternet},
        {jmInternet, "", "www.example.invalid", 2, "www.example.invalid", false, jmNone},
        {jmApplication, "", "notes@home.txt", 42, "notes@home.txt", true, jmApplication},
        {jmApplication, "", "missing.exe", 2, "missing.exe", true, jmApplication},
        {jmCustom, "http://example.invalid/", "Custom", 42, nullptr, true, jmCustom},
        {jmNone, "http://example.invalid/", "Plain", 42, nullptr, true, jmNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        auto* label = makeLabel(form, c.caption);
        label->SetJump(c.jump);
        label->SetJumpMode(c.mode);
        int clicks = 0;
        label->OnClick = [&](TObject*) { ++clicks; };
        shellCalls.clear();
        shellResult = c.result;
        label->Execute();
        if (c.opened) {
            ASSERT_EQ(shellCalls.size(), 1u);
            EXPECT_EQ(shellCalls[0].target, c.opened);
            EXPECT_EQ(shellCalls[0].owner, Application->GetHandle());
            EXPECT_EQ(clicks, 0);
        } else {
            EXPECT_TRUE(shellCalls.empty());
            EXPECT_EQ(clicks, 1);
        }
        EXPECT_EQ(label->GetEnabled(), c.enabledAfter);
        EXPECT_EQ(label->GetJumpMode(), c.modeAfter);
        EXPECT_EQ(label->GetCounter(), c.mode == jmNone ? 0 : 1);
        label->Free();
    }
}

TEST_F(LabelTest, LinkColoursAndCursorFollowTheMode) {
    auto* label = makeLabel(form, "Open the site");
    label->SetJumpMode(jmInternet);
    EXPECT_EQ(label->GetFont()->GetColor(), clBlue);
    EXPECT_TRUE(label->GetFont()->GetStyle().Contains(fsUnderline));
    EXPECT_EQ(label->GetCursor(), crHandPoint);
    label->Execute();
    EXPECT_EQ(label->GetFont()->GetColor(), clPurple) << "stays active after the click";
    label->ResetCounter();
    EXPECT_EQ(label->GetCounter(), 0);
    EXPECT_EQ(label->GetFont()->GetColor(), clBlue);
    // Setting jmNone, even when it is already the mode, turns the font black.
    label->SetJumpMode(jmNone);
    EXPECT_EQ(label->GetFont()->GetColor(), clBlack);
    EXPECT_FALSE(label->GetFont()->GetStyle().Contains(fsUnderline));
    EXPECT_EQ(label->GetCursor(), crDefault);
    label->GetFont()->SetColor(clRed);
    label->SetJumpMode(jmNone);
    EXPECT_EQ(label->GetFont()->GetColor(), clBlack);
}

TEST_F(LabelTest, ClickingALinkOnTheRealWindowOpensIt) {
    ASSERT_TRUE(foreground());
    auto* label = makeLabel(form, "help@example.invalid");
    label->SetBounds(40, 30, 10, 10);
    label->SetJumpMode(jmInternet);
    fwtest::pumpIdle();
    clickAt(label, 5, label->GetHeight() / 2);
    ASSERT_EQ(shellCalls.size(), 1u);
    EXPECT_EQ(shellCalls[0].target, "mailto:help@example.invalid");
    EXPECT_EQ(label->GetCounter(), 1);
    EXPECT_EQ(label->GetFont()->GetColor(), clPurple);
}

TEST_F(LabelTest, TitleLabelDrawsItsSunkenTextInsideItsOwnBoundsOnTheForm) {
    form->SetColor(clGray);
    auto* title = new TQCLSimpleLabel(form);
    title->SetParent(form);
    title->SetAutoSize(false);
    title->SetMultiLine(true);
    title->SetOptions(TQCLLabelOptions());
    title->GetFont()->SetName("MS Sans Serif");
    title->GetFont()->SetHeight(-13);
    title->GetFont()->SetStyle({fsBold});
    title->GetFont()->SetColor(clWhite);
    title->GetFont3D()->SetStyle(tdSunken);
    title->GetFont3D()->SetLightColor(clBlack);
    title->GetFont3D()->SetShadowColor(clBlack);
    title->SetText("Brimsafe - Open Vault");
    title->SetBounds(60, 50, 200, 20);
    fwtest::pumpIdle();
    auto bitmap = filledBitmap(form->GetWidth(), form->GetHeight(), clLime);
    form->PaintTo(bitmap->GetCanvas()->GetHandle(), 0, 0);
    bitmap->GetCanvas()->Refresh();
    TRect inside = title->BoundsRect();
    TRect whole(0, 0, form->GetWidth(), form->GetHeight());
    const int whiteInside = countPixels(bitmap.get(), inside, clWhite);
    const int blackInside = countPixels(bitmap.get(), inside, clBlack);
    EXPECT_GT(whiteInside, 20);
    EXPECT_GT(blackInside, 10) << "the sunken effect";
    EXPECT_EQ(countPixels(bitmap.get(), whole, clWhite), whiteInside) << "text outside the label";
    EXPECT_EQ(countPixels(bitmap.get(), whole, clBlack), blackInside);
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), inside.Right - 2, inside.Bottom - 2), clGray) << "transparent";
}
