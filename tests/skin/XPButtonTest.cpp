// The XP-style push button: its face painted into a bitmap in every state
// (frame, bands, hot ring, text, focus rectangle, the accelerator's underline
// at its measured place), and real keyboard and mouse input on a form,
// including a modal form that ends with the button's ModalResult.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/xpButton.h"
#include "tests/skin/SkinFixture.h"

namespace {

using fwtest::pixelOf;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

constexpr TColor frame = RGB(0, 60, 116), frameDisabled = RGB(143, 144, 150);
constexpr TColor faceTop = RGB(253, 253, 253), faceBottom = RGB(205, 204, 223);
constexpr TColor bevelTop = RGB(206, 231, 255), bevelFrame = RGB(188, 212, 246), hotRing = RGB(248, 179, 48);
constexpr TColor disabledText = RGB(124, 126, 126);

// Text measures of the button's font, taken on a DC of our own.
struct TextMeasure {
    explicit TextMeasure(TFont* font) : bitmap(skintest::filledBitmap(4, 4, clWhite)) {
        bitmap->Canvas->Font = font;
    }
    int width(const std::string& text) { return bitmap->Canvas->TextWidth(text); }
    int height(const std::string& text) { return bitmap->Canvas->TextHeight(text); }
    std::unique_ptr<TBitmap> bitmap;
};

class XPButtonPaintTest : public fwtest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        button = new TxpButton(form);
        button->SetBounds(10, 10, 75, 23);
        button->Parent = form;
        button->Caption = "&Open";
        pumpIdle();
    }
    std::unique_ptr<TBitmap> shot() { return fwtest::paintOf(button); }
    TxpButton* button = nullptr;
};

TEST_F(XPButtonPaintTest, EachStateHasItsFrameFaceRingAndText) {
    struct State {
        const char* what;
        bool hot, downed, enabled;
        TColor frameColor, faceRow4, ringTop, ringBottom;
    };
    const int W = 75, H = 23;
    const State states[] = {
        // Normal: top-down bands, the first one the light colour.
        {"normal", false, false, true, frame, faceTop, bevelTop, bevelFrame},
        // Hot: the orange ring over the bevel lines.
        {"hot", true, false, true, frame, faceTop, hotRing, hotRing},
        // Pressed while hot: bottom-up bands, the dark colour at the top.
        {"pressed", true, true, true, frame, faceBottom, hotRing, hotRing},
        // Pressed with the mouse away: drawn as normal.
        {"pressed, not hot", false, true, true, frame, faceTop, bevelTop, bevelFrame},
        // Disabled: grey frame, no ring even under the mouse.
        {"disabled", true, false, false, frameDisabled, faceTop, bevelTop, bevelFrame},
    };
    for (const State& s : states) {
        button->Enabled = s.enabled;
        button->Perform(s.hot ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
        button->Downed = s.downed;
        auto picture = shot();
        EXPECT_EQ(pixelOf(picture.get(), W / 2, 1), s.frameColor) << s.what;
        EXPECT_EQ(pixelOf(picture.get(), 6, 4), s.faceRow4) << s.what;
        EXPECT_EQ(pixelOf(picture.get(), W / 2, 2), s.ringTop) << s.what;
        EXPECT_EQ(pixelOf(picture.get(), W / 2, H - 4), s.ringBottom) << s.what;
        EXPECT_EQ(pixelOf(picture.get(), 3, H / 2), clWhite) << s.what << ": left bevel line";
        TColor textColor = s.enabled ? static_cast<TColor>(ColorToRGB(button->Font->Color)) : disabledText;
        EXPECT_GT(skintest::countPixels(picture.get(), Rect(4, 4, W - 4, H - 4), textColor), 10) << s.what;
    }
}

TEST_F(XPButtonPaintTest, TheAcceleratorIsUnderlinedUnderItsLetterAndFocusDrawsADottedFrame) {
    TextMeasure measure(button->Font);
    const int W = 75, H = 23;
    const int textHeight = measure.height("Open");
    const int x = (W - measure.width("Open")) / 2, y = (H - textHeight) / 2;
    const int from = x, to = x + measure.width("O");
    const TColor ink = static_cast<TColor>(ColorToRGB(button->Font->Color));
    EXPECT_EQ(button->Accelerator(), 'O');

    for (bool downed : {false, true}) {
        button->Downed = downed;
        const int shift = downed ? 1 : 0;
        auto picture = shot();
        const int row = y + textHeight + shift;
        EXPECT_EQ(skintest::countPixels(picture.get(), Rect(from + shift, row, to + shift, row + 1), ink), to - from)
            << "underline " << (downed ? "pressed" : "up");
        EXPECT_EQ(skintest::countPixels(picture.get(), Rect(to + shift + 1, row, W - 4, row + 1), ink), 0)
            << "only under the O";
    }
    button->Downed = false;

    auto unfocused = shot();
    button->SetFocus();
    ASSERT_TRUE(pumpUntil([&] { return button->IsFocusedForTesting(); }));
    auto focused = shot();
    int changed = 0;
    for (int px = 4; px < W - 4; ++px)
        if (pixelOf(focused.get(), px, 4) != pixelOf(unfocused.get(), px, 4)) ++changed;
    EXPECT_GT(changed, 10) << "the dotted focus frame along the face's top";
    EXPECT_LT(changed, W - 8) << "dotted, not solid";

    button->Caption = "Plain";
    EXPECT_EQ(button->Accelerator(), 0);
    button->Caption = "Trailing&";
    EXPECT_EQ(button->Accelerator(), 0) << "an & at the end names no key";
    EXPECT_EQ(std::string(button->Caption()), "Trailing&");
    char text[32] = {};
    GetWindowTextA(button->Handle, text, sizeof text);
    EXPECT_STREQ(text, "Trailing&") << "the caption is the window text";
}

// Real input ----------------------------------------------------------------

std::vector<std::string> clicks;

class XPButtonInputTest : public fwtest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        clicks.clear();
        open = make("&Open", 10, 0);
        other = make("Other", 100, 0);
        cancel = make("Cancel", 190, mrCancel);
        cancel->Cancel = true;
        hiddenCancel = make("Hidden", 190, mrNone);
        hiddenCancel->Cancel = true;
        hiddenCancel->Visible = false;
        ASSERT_TRUE(skintest::bringToForeground(form));
        skintest::moveMouseTo(5, 5);
        pumpIdle();
    }
    TxpButton* make(const char* caption, int left, TModalResult result) {
        auto* b = new TxpButton(form);
        b->SetBounds(left, 40, 75, 23);
        b->Caption = caption;
        b->ModalResult = result;
        b->Parent = form;
        b->OnClick = [b](TObject*) { clicks.push_back(b->Caption()); };
        return b;
    }
    void focus(TxpButton* b) {
        b->SetFocus();
        ASSERT_TRUE(pumpUntil([&] { return GetFocus() == b->Handle(); }));
        clicks.clear();
    }
    void clickWithMouse(TxpButton* b) {
        TPoint p = b->ClientToScreen(TPoint(30, 11));
        skintest::moveMouseTo(p.x, p.y);
        pumpIdle();
        skintest::mouseButton(true);
        pumpIdle();
        skintest::mouseButton(false);
        pumpIdle();
    }
    std::string clicked() {
        pumpIdle();
        std::string s;
        for (auto& c : clicks) s += (s.empty() ? "" : ",") + c;
        clicks.clear();
        return s;
    }
    TxpButton *open = nullptr, *other = nullptr, *cancel = nullptr, *hiddenCancel = nullptr;
};

TEST_F(XPButtonInputTest, MouseKeysAndAcceleratorsClickOnce) {
    clickWithMouse(other);
    EXPECT_EQ(clicked(), "Other");
    EXPECT_EQ(GetFocus(), other->Handle()) << "a press takes the focus";

    focus(open);
    skintest::tapKey(VK_RETURN);
    EXPECT_EQ(clicked(), "&Open") << "Enter on the focused button";
    skintest::tapKey(VK_SPACE);
    EXPECT_EQ(clicked(), "&Open") << "Space on the focused button";

    focus(other);
    skintest::pressKeys({{VK_MENU, true}, {'O', true}, {'O', false}, {VK_MENU, false}});
    EXPECT_EQ(clicked(), "&Open") << "Alt+O";

    skintest::tapKey(VK_ESCAPE);
    EXPECT_EQ(clicked(), "Cancel") << "Escape clicks a Cancel button (the first that answers)";

    // A double click clicks twice: once on the first release, once on the second press.
    clickWithMouse(other);
    clickWithMouse(other);
    EXPECT_EQ(clicked(), "Other,Other");

    // A pressed button released away from it does not click (pressed away from
    // the last click's place, so it is no double click).
    TPoint p = other->ClientToScreen(TPoint(60, 5));
    skintest::moveMouseTo(p.x, p.y);
    pumpIdle();
    skintest::mouseButton(true);
    pumpIdle();
    skintest::moveMouseTo(p.x, p.y + 100);
    pumpIdle();
    skintest::mouseButton(false);
    EXPECT_EQ(clicked(), "");
}

TEST_F(XPButtonInputTest, EnterOnAFocusedDefaultButtonClicksOnlyOnce) {
    open->Default = true;
    focus(open);
    skintest::tapKey(VK_RETURN);
    EXPECT_EQ(clicked(), "&Open");
    focus(other);
    skintest::tapKey(VK_RETURN);
    EXPECT_EQ(clicked(), "&Open") << "Enter anywhere reaches the Default button; Other stays unclicked";
}

TEST_F(XPButtonInputTest, DisabledButtonsAnswerNothing) {
    open->Enabled = false;
    cancel->Enabled = false;
    hiddenCancel->Enabled = false;
    EXPECT_FALSE(IsWindowEnabled(open->Handle));
    focus(other);
    clickWithMouse(open);
    skintest::pressKeys({{VK_MENU, true}, {'O', true}, {'O', false}, {VK_MENU, false}});
    skintest::tapKey(VK_ESCAPE);
    EXPECT_EQ(clicked(), "");
}

TEST_F(XPButtonInputTest, AHiddenCancelButtonAnswersEscape) {
    cancel->Cancel = false;
    focus(other);
    skintest::tapKey(VK_ESCAPE);
    EXPECT_EQ(clicked(), "Hidden");
}

// A modal form: a button without ModalResult leaves it open, Cancel (2) closes it after its OnClick.
class TModalHost : public TForm {
public:
    explicit TModalHost(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(300, 300, 260, 80);
        stay = new TxpButton(this);
        stay->Parent = this;
        stay->SetBounds(10, 30, 75, 23);
        stay->Caption = "&Stay";
        close = new TxpButton(this);
        close->Parent = this;
        close->SetBounds(100, 30, 75, 23);
        close->Caption = "Cancel";
        close->ModalResult = mrCancel;
    }
    TxpButton *stay, *close;
};

TEST_F(XPButtonInputTest, ModalResultClosesAModalFormAfterOnClick) {
    auto* host = MakeForm<TModalHost>(nullptr);
    std::vector<std::string> seen;
    host->stay->OnClick = [&](TObject*) { seen.push_back("stay " + std::to_string(host->ModalResult())); };
    host->close->OnClick = [&](TObject*) { seen.push_back("close " + std::to_string(host->ModalResult())); };
    fwtest::runLater([&] {
        SetForegroundWindow(host->Handle);
        pumpUntil([&] { return GetForegroundWindow() == host->Handle(); });
        host->stay->SetFocus();
        skintest::tapKey(VK_SPACE);
        pumpIdle();
        seen.push_back("still open " + std::to_string(host->ModalResult()));
        host->close->SetFocus();
        skintest::tapKey(VK_SPACE);
    });
    int result = host->ShowModal();
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(seen, (std::vector<std::string>{"stay 0", "still open 0", "close 0"}));
    host->Free();
}

}  // namespace
