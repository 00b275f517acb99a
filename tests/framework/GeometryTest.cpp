// Geometry: OnCanResize and Constraints on every path (SetBounds, MoveWindow),
// WM_SIZE re-reading the real bounds, alignment, anchors with and without a
// window, synchronous AutoSize and client-size setters.
#include <gtest/gtest.h>

#include "tests/framework/FrameworkFixture.h"

namespace {

using fwtest::FrameworkTest;
using fwtest::pumpUntil;

class GeometryTest : public FrameworkTest {};

class TGeoForm : public TForm {
public:
    explicit TGeoForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(300, 200, 200, 150);
    }
};

// A panel-like container whose own layout puts a child at `split`.
class TSplitBox : public TCustomControl {
public:
    explicit TSplitBox(TWinControl* parent) : TCustomControl(parent) {
        Parent = parent;
        ControlStyle = ControlStyle() + TControlStyle{csAcceptsControls};
        child = new TGraphicControl(this);
        child->Parent = this;
        OnResize = [this](TObject*) { ++resizes; };
    }
    void AlignControls(TControl* control, TRect& rect) override {
        TCustomControl::AlignControls(control, rect);
        child->SetBounds(split, 0, 10, rect.Height());
    }
    TGraphicControl* child;
    int split = 5;
    int resizes = 0;
};

TEST_F(GeometryTest, CanResizeAndConstraintsApplyToSetBoundsAndMoveWindow) {
    auto* form = MakeForm<TGeoForm>(nullptr);
    std::vector<std::pair<int, int>> asked;
    form->OnCanResize = [&](TObject*, int& w, int& h, bool& resize) {
        asked.push_back({w, h});
        if (w > 400) resize = false;
        if (h < 60) h = 60;
    };
    form->Constraints->MinWidth = 100;
    form->Constraints->MaxHeight = 300;
    struct Case {
        int w, h, expectW, expectH;
    };
    const Case cases[] = {{250, 120, 250, 120}, {50, 20, 100, 60}, {500, 200, 100, 60}, {300, 900, 300, 300}};
    for (const Case& c : cases) {
        form->SetBounds(form->Left, form->Top, c.w, c.h);
        EXPECT_EQ(form->Width(), c.expectW) << c.w << "x" << c.h << " without a window";
        EXPECT_EQ(form->Height(), c.expectH);
    }
    form->Show();
    for (const Case& c : cases) {
        MoveWindow(form->Handle, 300, 200, c.w, c.h, TRUE);
        RECT r;
        GetWindowRect(form->Handle, &r);
        EXPECT_EQ(r.right - r.left, c.expectW) << c.w << "x" << c.h << " through MoveWindow";
        EXPECT_EQ(r.bottom - r.top, c.expectH);
        EXPECT_EQ(form->Width(), c.expectW) << "the fields follow the real window";
    }
    EXPECT_FALSE(asked.empty());
    // A 4.101-style label: MinWidth = MaxWidth keeps the width whatever is asked.
    TGraphicControl label(nullptr);
    label.Constraints->MinWidth = 332;
    label.Constraints->MaxWidth = 332;
    label.SetBounds(0, 0, 50, 40);
    EXPECT_EQ(label.Width(), 332);
    EXPECT_EQ(label.Height(), 40);
    form->Free();
}

TEST_F(GeometryTest, PostedZeroSizeWmSizeRelayoutsFromTheRealBounds) {
    auto* form = MakeForm<TGeoForm>(nullptr);
    auto* box = new TSplitBox(form);
    box->SetBounds(0, 0, 120, 80);
    form->Show();
    EXPECT_EQ(box->child->Left(), 5);
    box->split = 40;  // the layout input changes without a relayout
    int resizes = box->resizes;
    PostMessageA(box->Handle, WM_SIZE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return box->resizes > resizes; }));
    EXPECT_EQ(box->child->Left(), 40);
    EXPECT_EQ(box->child->Height(), 80);
    EXPECT_EQ(box->Width(), 120) << "lParam (0,0) is ignored";
    EXPECT_EQ(box->Height(), 80);
    resizes = box->resizes;
    box->SetBounds(0, 0, 130, 90);
    EXPECT_EQ(box->resizes, resizes + 1) << "one size change from code, one OnResize";
    EXPECT_EQ(box->child->Height(), 90);
    resizes = box->resizes;
    MoveWindow(box->Handle, 0, 0, 140, 70, TRUE);
    EXPECT_EQ(box->resizes, resizes + 1) << "one size change from outside, one OnResize";
    EXPECT_EQ(box->child->Height(), 70);
    form->Free();
}

TEST_F(GeometryTest, AlignmentOrderAndAnchorsWithAndWithoutAWindow) {
    auto* form = MakeForm<TGeoForm>(nullptr);
    auto* panel = new TCustomControl(form);
    panel->Parent = form;
    panel->SetBounds(0, 0, 100, 100);
    auto place = [&](TAlign align, int size) {
        auto* c = new TGraphicControl(form);
        c->Parent = panel;
        c->SetBounds(0, 0, size, size);
        c->Align = align;
        return c;
    };
    auto* client = place(alClient, 5);
    auto* top = place(alTop, 10);
    auto* left = place(alLeft, 20);
    auto* bottom = place(alBottom, 15);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 100, 10));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 85, 100, 100));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 10, 20, 85));
    EXPECT_EQ(client->BoundsRect(), Rect(20, 10, 100, 85));

    auto* corner = new TGraphicControl(form);
    corner->Parent = panel;
    corner->SetBounds(70, 60, 20, 10);
    corner->Anchors = TAnchors{akRight, akBottom};
    auto* stretch = new TGraphicControl(form);
    stretch->Parent = panel;
    stretch->SetBounds(10, 30, 50, 5);
    stretch->Anchors = TAnchors{akLeft, akTop, akRight};
    ASSERT_FALSE(panel->HandleAllocated());
    panel->Width = 140;
    panel->Height = 120;
    EXPECT_EQ(corner->BoundsRect(), Rect(110, 80, 130, 90)) << "anchored without a window";
    EXPECT_EQ(stretch->Width(), 90);
    EXPECT_EQ(client->BoundsRect(), Rect(20, 10, 140, 105));
    form->Show();
    ASSERT_TRUE(panel->HandleAllocated());
    panel->SetBounds(0, 0, 100, 100);
    EXPECT_EQ(corner->BoundsRect(), Rect(70, 60, 90, 70)) << "and with one";
    EXPECT_EQ(stretch->Width(), 50);
    form->Free();
}

TEST_F(GeometryTest, AutoSizeAndClientSizeAreReadableAtOnce) {
    auto* form = MakeForm<TGeoForm>(nullptr);
    auto* box = new TCustomControl(form);
    box->Parent = form;
    auto* inner = new TGraphicControl(form);
    inner->Parent = box;
    inner->SetBounds(10, 5, 70, 30);
    box->AutoSize = true;
    EXPECT_EQ(box->Width(), 80) << "no window exists yet";
    EXPECT_EQ(box->Height(), 35);
    form->BorderStyle = bsSingle;
    form->ClientWidth = 300;
    form->ClientHeight = 100;
    EXPECT_EQ(form->ClientWidth(), 300);
    EXPECT_GT(form->Width(), 300) << "the frame is added";
    form->HandleNeeded();
    EXPECT_EQ(form->ClientWidth(), 300) << "the window agrees with the estimate";
    EXPECT_EQ(form->ClientHeight(), 100);
    form->Free();
}

}  // namespace
