// The outline-drag resizer on a real borderless form: a table of edge codes,
// start bounds, mouse paths and minimum sizes with the bounds the window ends
// up with; the window stays put until the release; refused drags change
// nothing; the dotted outline is erased so the screen is as before; and a
// title bar dragged with real mouse input.
#include <gtest/gtest.h>

#include <vector>

#include "skin/ZM_ResizeRect.h"
#include "tests/skin/SkinFixture.h"

namespace {

using fwtest::pumpIdle;

class TPlainForm : public TForm {
public:
    explicit TPlainForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        Color = RGB(37, 63, 115);
    }
};

TRect windowBounds(TCustomForm* form) {
    RECT r;
    GetWindowRect(form->Handle, &r);
    return r;
}

class ResizeRectTest : public fwtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        form = MakeForm<TPlainForm>(nullptr);
    }
    void TearDown() override {
        form->Free();
        FrameworkTest::TearDown();
    }
    void showAt(const TRect& bounds) {
        form->SetBoundsRect(bounds);
        form->Show();
        pumpIdle();
    }
    TPlainForm* form = nullptr;
};

struct DragCase {
    const char* what;
    BYTE edge;
    TRect start;
    std::vector<TPoint> path;  // mouse positions after the press at (0, 0)
    bool minimum;              // 670 x 500, else none
    TRect expected;
    int a = 0, b = 0;          // endDrag's margin arguments
};

TEST_F(ResizeRectTest, TheWindowTakesTheOutlineOnReleaseOnly) {
    const TRect main = Bounds(50, 40, 800, 600);
    const DragCase cases[] = {
        {"move", reMove, Bounds(100, 100, 200, 120), {{10, 3}, {25, 8}, {40, 10}}, false, Bounds(140, 110, 200, 120)},
        {"unknown code moves", 4, Bounds(100, 100, 200, 120), {{-30, 20}}, false, Bounds(70, 120, 200, 120)},
        {"grow bottom-right", reBottomRight, main, {{40, 30}}, true, Bounds(50, 40, 840, 630)},
        {"grow top-left", reTopLeft, main, {{-20, -10}}, true, Bounds(30, 30, 820, 610)},
        {"left edge below minimum keeps the right edge", reLeft, main, {{100, 0}, {200, 5}}, true,
         Bounds(180, 40, 670, 600)},
        {"bottom-left corner below minimum width", reBottomLeft, main, {{200, -50}}, true, Bounds(180, 40, 670, 550)},
        {"right edge below minimum keeps the left edge", reRight, main, {{-200, 0}}, true, Bounds(50, 40, 670, 600)},
        {"top edge below minimum keeps the bottom edge", reTop, main, {{0, 150}}, true, Bounds(50, 140, 800, 500)},
        {"top-right corner below minimum height", reTopRight, main, {{30, 150}}, true, Bounds(50, 140, 830, 500)},
        {"bottom edge below minimum keeps the top edge", reBottom, main, {{0, -200}}, true, Bounds(50, 40, 800, 500)},
        {"no minimum: a small window", reBottomRight, Bounds(100, 100, 200, 120), {{-150, -100}}, false,
         Bounds(100, 100, 50, 20)},
        // Shrunk by 50 with a margin of 10 past 20: widened by 10 - (20 - 50) + 1 = 41 to the left.
        {"a margin widens a shrunk window leftwards", reRight, Bounds(100, 100, 200, 120), {{-50, 0}}, false,
         Bounds(59, 100, 191, 120), 10, 20},
        {"a margin within reach changes nothing", reRight, Bounds(100, 100, 200, 120), {{-50, 0}}, false,
         Bounds(100, 100, 150, 120), 10, 70},
    };
    for (const DragCase& c : cases) {
        showAt(c.start);
        ZM_ResizeRect resize(form, c.minimum ? 670 : -1, c.minimum ? 500 : -1);
        resize.beginDrag(c.edge, 0, 0);
        EXPECT_TRUE(resize.isDraggingForTesting()) << c.what;
        for (const TPoint& p : c.path) resize.trackDrag(p.x, p.y);
        pumpIdle();
        EXPECT_EQ(windowBounds(form), c.start) << c.what << ": the window waits for the release";
        resize.endDrag(c.a, c.b);
        pumpIdle();
        EXPECT_EQ(windowBounds(form), c.expected) << c.what;
        EXPECT_EQ(form->BoundsRect(), c.expected) << c.what << ": the form knows its new bounds";
        EXPECT_FALSE(resize.isDraggingForTesting()) << c.what;
    }
}

TEST_F(ResizeRectTest, RefusedDragsChangeNothing) {
    const TRect start = Bounds(100, 100, 200, 120);
    showAt(start);
    ZM_ResizeRect resize(form, -1, -1);
    resize.endDrag(0, 0);  // a release without a press
    EXPECT_EQ(windowBounds(form), start);

    resize.disable();
    resize.beginDrag(reMove, 0, 0);
    EXPECT_FALSE(resize.isDraggingForTesting());
    resize.trackDrag(50, 50);
    resize.endDrag(0, 0);
    pumpIdle();
    EXPECT_EQ(windowBounds(form), start) << "disabled";

    resize.enable();
    resize.beginDrag(reMove, 0, 0);
    resize.trackDrag(10, 0);
    resize.beginDrag(reBottomRight, 10, 0);  // refused: the move goes on
    resize.trackDrag(20, 0);
    resize.endDrag(0, 0);
    pumpIdle();
    EXPECT_EQ(windowBounds(form), Bounds(120, 100, 200, 120));
}

TEST_F(ResizeRectTest, TheOutlineIsErasedSoTheScreenIsAsBefore) {
    const TRect start = Bounds(300, 200, 200, 120);
    showAt(start);
    const TRect watched = Bounds(250, 150, 400, 300);  // the window, the outline's path and around them
    auto before = skintest::captureScreen(watched);

    ZM_ResizeRect resize(form, -1, -1);
    resize.beginDrag(reMove, 0, 0);
    resize.trackDrag(30, 20);
    auto during = skintest::captureScreen(watched);
    EXPECT_FALSE(skintest::samePixels(before.get(), during.get())) << "the outline shows while dragging";
    resize.trackDrag(0, 0);  // back where it started
    resize.endDrag(0, 0);
    pumpIdle();
    auto after = skintest::captureScreen(watched);
    EXPECT_EQ(windowBounds(form), start);
    EXPECT_TRUE(skintest::samePixels(before.get(), after.get())) << "every outline drawn was erased once";

    // Disabled in the middle of a drag: the outline goes and the window stays.
    resize.beginDrag(reMove, 0, 0);
    resize.trackDrag(60, 40);
    resize.disable();
    resize.endDrag(0, 0);
    pumpIdle();
    auto abandoned = skintest::captureScreen(watched);
    EXPECT_EQ(windowBounds(form), start);
    EXPECT_TRUE(skintest::samePixels(before.get(), abandoned.get()));
}

// A borderless form moved by its title bar, fed the way the skinned forms feed their resizer.
class TTitleForm : public TForm {
public:
    explicit TTitleForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(200, 200, 300, 150);
        title = new TGraphicControl(this);
        title->Parent = this;
        title->SetBounds(0, 0, 300, 30);
        title->OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
            if (button != mbLeft) return;
            dragging = true;
            resize->beginDrag(reMove, x, y);
        };
        title->OnMouseMove = [this](TObject*, TShiftState, int x, int y) {
            if (dragging) resize->trackDrag(x, y);
        };
        title->OnMouseUp = [this](TObject*, TMouseButton, TShiftState shift, int, int) {
            dragging = shift.Contains(ssLeft);
            if (!dragging) resize->endDrag(0, 0);
        };
        resize = new ZM_ResizeRect(this, -1, -1);
    }
    ~TTitleForm() override { delete resize; }
    TGraphicControl* title;
    ZM_ResizeRect* resize;
    bool dragging = false;
};

TEST_F(ResizeRectTest, DraggingTheTitleBarWithTheMouseMovesTheWindowOnRelease) {
    auto* titled = MakeForm<TTitleForm>(nullptr);
    ASSERT_TRUE(skintest::bringToForeground(titled));
    pumpIdle();
    skintest::moveMouseTo(250, 210);
    pumpIdle();
    skintest::mouseButton(true);
    for (int step = 1; step <= 4; ++step) {
        skintest::moveMouseTo(250 + 10 * step, 210 + (10 * step) / 4);
        pumpIdle();
    }
    EXPECT_TRUE(titled->dragging);
    EXPECT_EQ(windowBounds(titled), Bounds(200, 200, 300, 150)) << "not before the release";
    skintest::mouseButton(false);
    fwtest::pumpUntil([&] { return !titled->dragging; });
    pumpIdle();
    EXPECT_EQ(windowBounds(titled), Bounds(240, 210, 300, 150));
    titled->Free();
}

}  // namespace
