// The splitter: live resizing of its neighbour, clamped to MinSize and to
// what the parent leaves, OnCanResize changing or refusing a size, AutoSnap,
// and the paint hook.
#include <gtest/gtest.h>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;

class SplitterTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        layout();
    }
    // Left panel 200 wide, the splitter, and a client panel.
    void layout() {
        if (left) {
            left->Free();
            splitter->Free();
            right->Free();
        }
        left = new TPanel(form);
        left->SetBounds(0, 0, 200, 300);
        left->Align = alLeft;
        left->Parent = form;
        splitter = new TSplitter(form);
        splitter->SetBounds(200, 0, 3, 300);
        splitter->Parent = form;
        right = new TPanel(form);
        right->Align = alClient;
        right->Parent = form;
        splitter->OnMoved = [this](TObject*) { ++moves; };
    }
    void down(int x) { SendMessageA(form->Handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 50)); }
    void move(int x) { SendMessageA(form->Handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, 50)); }
    void up(int x) { SendMessageA(form->Handle, WM_LBUTTONUP, 0, MAKELPARAM(x, 50)); }
    TPanel* left = nullptr;
    TPanel* right = nullptr;
    TSplitter* splitter = nullptr;
    int moves = 0;
};

TEST_F(SplitterTest, DragIsClampedAndOfferedToOnCanResize) {
    struct Case {
        const char* name;
        bool autoSnap;
        int refuseBelow;  // OnCanResize raises smaller sizes to this (0: no handler)
        bool accept;
        int to;           // mouse x in the form
        int width;        // resulting width of the left panel
    };
    const Case cases[] = {
        {"to the left edge: MinSize", false, 0, true, 5, 30},
        {"to the right edge: the rest keeps MinSize", false, 0, true, 399, 400 - 3 - 30},
        {"AutoSnap collapses at MinSize", true, 0, true, 5, 0},
        {"a handler keeps 300 at least", false, 300, true, 100, 300},
        {"a handler that refuses", false, 0, false, 250, 200},
        {"an ordinary move", true, 0, true, 251, 250},
    };
    for (const Case& c : cases) {
        layout();
        moves = 0;
        splitter->AutoSnap = c.autoSnap;
        splitter->OnCanResize = nullptr;
        if (c.refuseBelow || !c.accept)
            splitter->OnCanResize = [c](TObject*, int& size, bool& accept) {
                if (size < c.refuseBelow) size = c.refuseBelow;
                accept = c.accept;
            };
        ASSERT_EQ(splitter->ResizedControl(), left);
        down(201);
        move(c.to);
        EXPECT_EQ(left->Width(), c.width) << c.name << " (live, before the release)";
        up(c.to);
        EXPECT_EQ(left->Width(), c.width) << c.name;
        EXPECT_EQ(splitter->Left(), c.width) << c.name;
        EXPECT_EQ(right->Left(), c.width + 3) << c.name;
        EXPECT_EQ(moves, c.width == 200 ? 0 : 1) << c.name;
    }
}

TEST_F(SplitterTest, PaintHookDrawsOnTheSplitter) {
    splitter->Width = 9;
    int painted = 0;
    splitter->OnPaint = [&](TObject* sender) {
        auto* s = static_cast<TSplitter*>(sender);
        ++painted;
        s->Canvas->Brush->Color = clRed;
        s->Canvas->FillRect(TRect(2, s->Height / 2 - 5, s->Width - 2, s->Height / 2 + 5));
    };
    auto bitmap = fwtest::paintOf(form);
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(fwtest::pixelOf(bitmap.get(), 204, 150), clRed);
    EXPECT_NE(fwtest::pixelOf(bitmap.get(), 204, 20), clRed);
}

}  // namespace
