// The control roots: bounds-change reports, enter/exit rules, image-index
// changes, the posted after-enter/after-exit events, the flat border on a
// real window, window styles and re-creation, and the background protocol
// seen from a transparent child.
#include "components/controls/QCLCustomControl.h"
#include "components/runtime/qclcont.h"
#include "components/runtime/qclcont_collections.h"
#include "framework/Win32Handles.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <functional>
#include <vector>

using namespace ctltest;

namespace {

struct Recorder {
    std::vector<TQCLBoundsChangeStates> bounds;
    int enters = 0, exits = 0;
};

class TProbeGraphic : public TQCLGraphicControl {
public:
    using TQCLGraphicControl::TQCLGraphicControl;
    void GetIMLChange(TObject* Sender) override {
        ++imlChanges;
        TQCLGraphicControl::GetIMLChange(Sender);
    }
    void GetChange(TObject* Sender) override {
        ++changes;
        TQCLGraphicControl::GetChange(Sender);
    }
    int imlChanges = 0;
    int changes = 0;
};

class TProbeWindowed : public TQCLCustomControl {
public:
    using TQCLCustomControl::TQCLCustomControl;
    void GetIMLChange(TObject* Sender) override {
        ++imlChanges;
        TQCLCustomControl::GetIMLChange(Sender);
    }
    int imlChanges = 0;
};

// A container that offers a striped background bitmap to its children.
class TBackdrop : public TQCLCustomControl {
public:
    explicit TBackdrop(TComponent* owner) : TQCLCustomControl(owner) {
        picture = filledBitmap(200, 100, clRed);
        picture->GetCanvas()->GetBrush()->SetColor(clBlue);
        picture->GetCanvas()->FillRect(TRect(0, 0, 200, 50));
    }
    bool BackBitmapCheck() override { return true; }
    TBitmap* BackBitmap() override { return picture.get(); }
    std::unique_ptr<TBitmap> picture;
};

// A transparent child that paints its background the way the panels do.
class TSeeThrough : public TQCLCustomControl {
public:
    using TQCLCustomControl::TQCLCustomControl;
    bool BackBitmapCheck() override {
        auto* parent = dynamic_cast<TQCLBackSource*>(GetParent());
        return GetTransparent() && parent && parent->BackBitmapCheck();
    }
    bool BackDrawArea(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset) override {
        auto* parent = dynamic_cast<TQCLBackSource*>(GetParent());
        TBitmap* bitmap = parent ? parent->BackBitmap() : nullptr;
        if (!bitmap) return false;
        TRect source(Rect.Left + GetLeft() + Offset.x, Rect.Top + GetTop() + Offset.y,
                     Rect.Right + GetLeft() + Offset.x, Rect.Bottom + GetTop() + Offset.y);
        Canvas->CopyRect(Rect, bitmap->GetCanvas(), source);
        return true;
    }
};

}  // namespace

using ControlRootsTest = ControlsBaseTest;

TEST_F(ControlRootsTest, BoundsChangeReportsWhatChangedAndNothingElse) {
    auto* control = new TProbeGraphic(form);
    control->SetParent(form);
    control->SetBounds(10, 10, 30, 30);
    Recorder seen;
    control->OnBoundsChange = [&](TObject*, TQCLBoundsChangeStates s) { seen.bounds.push_back(s); };
    struct Case {
        TRect bounds;
        TQCLBoundsChangeStates expected;  // empty: no call
    } cases[] = {
        {TRect(15, 10, 45, 40), {bcPos}},
        {TRect(15, 12, 45, 42), {bcPos}},
        {TRect(15, 12, 55, 42), {bcSize}},
        {TRect(15, 12, 55, 60), {bcSize}},
        {TRect(0, 0, 10, 10), {bcPos, bcSize}},
        {TRect(0, 0, 10, 10), {}},
    };
    for (const Case& c : cases) {
        seen.bounds.clear();
        control->SetBounds(c.bounds.Left, c.bounds.Top, c.bounds.Width(), c.bounds.Height());
        if (c.expected.Empty()) {
            EXPECT_TRUE(seen.bounds.empty());
        } else {
            ASSERT_EQ(seen.bounds.size(), 1u);
            EXPECT_EQ(seen.bounds[0], c.expected);
        }
    }
    // Silent while loading.
    TLoadingGuard guard;
    auto* loading = new TProbeGraphic(form);
    int loadingCalls = 0;
    loading->OnBoundsChange = [&](TObject*, TQCLBoundsChangeStates) { ++loadingCalls; };
    loading->SetBounds(1, 2, 3, 4);
    guard.Finish();
    EXPECT_EQ(loadingCalls, 0);
    EXPECT_EQ(loading->BoundsRect(), TRect(1, 2, 4, 6));
}

TEST_F(ControlRootsTest, MouseEnterAndExitFollowTheEnabledRuleOfEachRoot) {
    auto* graphic = new TProbeGraphic(form);
    graphic->SetParent(form);
    auto* windowed = new TProbeWindowed(form);
    windowed->SetParent(form);
    Recorder g, w;
    graphic->OnMouseEnter = [&](TObject*) { ++g.enters; };
    graphic->OnMouseExit = [&](TObject*) { ++g.exits; };
    windowed->OnMouseEnter = [&](TObject*) { ++w.enters; };
    windowed->OnMouseExit = [&](TObject*) { ++w.exits; };
    for (bool enabled : {true, false}) {
        graphic->SetEnabled(enabled);
        windowed->SetEnabled(enabled);
        g = Recorder{};
        w = Recorder{};
        for (TControl* c : {static_cast<TControl*>(graphic), static_cast<TControl*>(windowed)}) {
            c->Perform(CM_MOUSEENTER, 0, 0);
            c->Perform(CM_MOUSELEAVE, 0, 0);
        }
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        EXPECT_EQ(g.enters, enabled ? 1 : 0);
        EXPECT_EQ(g.exits, enabled ? 1 : 0);
        EXPECT_EQ(w.enters, 1);
        EXPECT_EQ(w.exits, 1);
    }
    windowed->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(windowed->MouseAbove());
    windowed->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(windowed->MouseAbove());
}

TEST_F(ControlRootsTest, ImageIndexChangesNotifyOnlyWhenStoredWithAList) {
    auto* list = new TQCLBitmapList(form);
    auto* graphic = new TProbeGraphic(form);
    auto* windowed = new TProbeWindowed(form);
    struct Step {
        int which, value, expectedIndex;
        bool notified;
    } steps[] = {
        {0, 3, 3, true}, {0, 3, 3, false}, {0, -1, 3, false}, {1, 2, 2, true}, {1, -5, 2, false}, {1, 0, 0, true},
    };
    graphic->SetImageList(list);
    windowed->SetImageList(list);
    EXPECT_EQ(graphic->imlChanges, 1);
    EXPECT_EQ(windowed->imlChanges, 1);
    for (const Step& s : steps) {
        int before[2] = {graphic->imlChanges, windowed->imlChanges};
        graphic->SetIndex(s.which, s.value);
        windowed->SetIndex(s.which, s.value);
        EXPECT_EQ(s.which == 0 ? graphic->GetImageIndex() : graphic->GetListIndex(), s.expectedIndex);
        EXPECT_EQ(s.which == 0 ? windowed->GetImageIndex() : windowed->GetListIndex(), s.expectedIndex);
        EXPECT_EQ(graphic->imlChanges - before[0], s.notified ? 1 : 0) << s.which << " " << s.value;
        EXPECT_EQ(windowed->imlChanges - before[1], s.notified ? 1 : 0) << s.which << " " << s.value;
    }
    // Without a list an index is stored silently; a freed list is forgotten.
    windowed->SetImageList(nullptr);
    int before = windowed->imlChanges;
    windowed->SetIndex(0, 7);
    EXPECT_EQ(windowed->GetImageIndex(), 7);
    EXPECT_EQ(windowed->imlChanges, before);
    list->Free();
    EXPECT_EQ(graphic->GetImageList(), nullptr);
    EXPECT_TRUE(graphic->IMLEmpty());
}

TEST_F(ControlRootsTest, AfterEnterAndAfterExitArriveOnceTheFocusHasMoved) {
    ASSERT_TRUE(foreground());
    auto* a = new TProbeWindowed(form);
    a->SetParent(form);
    a->SetBounds(10, 10, 60, 30);
    auto* b = new TProbeWindowed(form);
    b->SetParent(form);
    b->SetBounds(10, 60, 60, 30);
    fwtest::pumpIdle();
    struct Event {
        const char* what;
        HWND focusAtThatTime;
    };
    std::vector<Event> events;
    bool insideSetFocus = false;
    a->OnAfterEnter = [&](TObject*) { events.push_back({"a enter", GetFocus()}); };
    a->OnAfterExit = [&](TObject*) { events.push_back({"a exit", GetFocus()}); };
    b->OnAfterEnter = [&](TObject*) { events.push_back({"b enter", GetFocus()}); };
    a->OnEnter = [&](TObject*) { EXPECT_TRUE(insideSetFocus); };

    insideSetFocus = true;
    a->SetFocus();
    insideSetFocus = false;
    EXPECT_TRUE(events.empty()) << "fired inside the focus change";
    EXPECT_TRUE(a->Active());
    fwtest::pumpIdle();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_STREQ(events[0].what, "a enter");
    EXPECT_EQ(events[0].focusAtThatTime, a->GetHandle());

    events.clear();
    b->SetFocus();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(a->Active());
    fwtest::pumpIdle();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_STREQ(events[0].what, "a exit");
    EXPECT_EQ(events[0].focusAtThatTime, b->GetHandle());
    EXPECT_STREQ(events[1].what, "b enter");
}

TEST_F(ControlRootsTest, FlatBorderShowsTheFrontLookWhileFocusedOrUntilTheMouseLeaves) {
    ASSERT_TRUE(foreground());
    // A client edge puts the border into the non-client area, where the
    // client painting cannot cover it.
    class TEdged : public TQCLCustomControl {
    public:
        using TQCLCustomControl::TQCLCustomControl;

    protected:
        void CreateParams(TCreateParams& Params) override {
            TQCLCustomControl::CreateParams(Params);
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        }
    };
    auto* flat = new TEdged(form);
    flat->SetParent(form);
    flat->SetBounds(20, 20, 80, 30);
    flat->SetColor(clWhite);
    auto* other = new TEdged(form);
    other->SetParent(form);
    other->SetBounds(20, 80, 80, 30);
    fwtest::pumpIdle();
    flat->SetFlat(true);
    // The window's own surface, read through its window DC.
    auto corner = [&] {
        win32::WindowDC dc(flat->GetHandle(), GetWindowDC(flat->GetHandle()));
        return static_cast<TColor>(GetPixel(dc.get(), 0, 0));
    };
    const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
    const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
    ASSERT_NE(face, shadow);
    EXPECT_EQ(corner(), face) << "flat look at rest";

    flat->SetFocus();
    EXPECT_EQ(corner(), shadow) << "front look while focused";
    flat->Perform(CM_MOUSEENTER, 0, 0);
    flat->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(corner(), shadow) << "losing the mouse while focused";

    flat->Perform(CM_MOUSEENTER, 0, 0);
    other->SetFocus();
    EXPECT_EQ(corner(), shadow) << "losing the focus under the mouse";
    flat->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(corner(), face) << "mouse gone, not focused";

    flat->SetFlat(false);
    EXPECT_EQ(corner(), shadow) << "not flat: the normal look";
}

TEST_F(ControlRootsTest, WindowStylesAndTransparencyRecreation) {
    auto* control = new TProbeWindowed(form);
    control->SetParent(form);
    HWND first = control->GetHandle();
    EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_EQ(GetClassLongA(first, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), 0u);
    EXPECT_EQ(control->GetWidth(), 100);
    EXPECT_EQ(control->GetHeight(), 40);
    EXPECT_FALSE(control->GetTabStop());
    // Hit tests are the system's: a press on a control never drags its form.
    RECT wr;
    GetWindowRect(first, &wr);
    EXPECT_EQ(SendMessageA(first, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 5, wr.top + 5)), HTCLIENT);

    control->SetTransparent(true);
    EXPECT_FALSE(control->GetControlStyle().Contains(csOpaque));
    EXPECT_TRUE(control->HandleAllocated());
    EXPECT_NE(control->GetHandle(), first) << "the window is re-created";
    HWND second = control->GetHandle();
    control->SetTransparent(true);
    EXPECT_EQ(control->GetHandle(), second) << "an unchanged value does nothing";
    control->SetTransparent(false);
    EXPECT_TRUE(control->GetControlStyle().Contains(csOpaque));

    auto* graphic = new TProbeGraphic(form);
    EXPECT_TRUE(graphic->GetTransparent());
    EXPECT_FALSE(graphic->GetControlStyle().Contains(csOpaque));
    EXPECT_TRUE(graphic->GetControlStyle().Contains(csReplicatable));
    EXPECT_EQ(graphic->GetWidth(), 30);
    graphic->SetTransparent(false);
    EXPECT_TRUE(graphic->GetControlStyle().Contains(csOpaque));
}

TEST_F(ControlRootsTest, TransparentChildPaintsFromItsParentsBitmapOnlyWhenOffered) {
    auto* plainParent = new TProbeWindowed(form);
    plainParent->SetParent(form);
    plainParent->SetBounds(0, 0, 200, 100);
    auto* backdrop = new TBackdrop(form);
    backdrop->SetParent(form);
    backdrop->SetBounds(200, 0, 200, 100);
    fwtest::pumpIdle();

    for (bool offered : {false, true}) {
        SCOPED_TRACE(offered ? "parent offers a bitmap" : "no bitmap");
        auto* child = new TSeeThrough(form);
        child->SetParent(offered ? static_cast<TWinControl*>(backdrop) : plainParent);
        child->SetBounds(10, 40, 40, 20);
        child->SetColor(clLime);
        child->SetTransparent(true);
        EXPECT_EQ(child->CheckOptimized(), offered);
        // Erasing: answered without painting when optimised.
        auto bitmap = filledBitmap(40, 20, clBlack);
        LRESULT erased = child->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(bitmap->GetCanvas()->GetHandle()), 0);
        EXPECT_EQ(erased, 1);
        EXPECT_EQ(countPixels(bitmap.get(), TRect(0, 0, 40, 20), clBlack), offered ? 40 * 20 : 0);
        // Painting: the parent's picture under the child (blue above row 50
        // of the parent, red below), or the child's colour.
        auto painted = fwtest::paintOf(child);
        if (offered) {
            EXPECT_EQ(fwtest::pixelOf(painted.get(), 5, 2), clBlue);
            EXPECT_EQ(fwtest::pixelOf(painted.get(), 5, 15), clRed);
            EXPECT_EQ(countPixels(painted.get(), TRect(0, 0, 40, 20), clLime), 0);
        } else {
            EXPECT_EQ(countPixels(painted.get(), TRect(0, 0, 40, 20), clLime), 40 * 20);
        }
        child->Free();
    }
}

TEST_F(ControlRootsTest, GraphicControlPaintsItsBevelAndRepaintsOnBackgroundChange) {
    auto* graphic = new TProbeGraphic(form);
    graphic->SetParent(form);
    graphic->SetBounds(0, 0, 20, 10);
    auto empty = paintControl(graphic, clWhite);
    EXPECT_EQ(countPixels(empty.get(), TRect(0, 0, 20, 10), clWhite), 200) << "an empty control paints nothing";

    graphic->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    graphic->GetBevel()->SetColor(1, clRed);
    graphic->GetBevel()->SetColor(2, clBlue);
    EXPECT_EQ(graphic->BevelExt(), 1);
    EXPECT_EQ(graphic->DblBevelExt(), 2);
    EXPECT_EQ(graphic->BeveledRect(), TRect(1, 1, 19, 9));
    auto beveled = paintControl(graphic, clWhite);
    EXPECT_EQ(fwtest::pixelOf(beveled.get(), 0, 0), clBlue) << "lowered: shadow at the top left";
    EXPECT_EQ(fwtest::pixelOf(beveled.get(), 19, 9), clRed);
    EXPECT_EQ(fwtest::pixelOf(beveled.get(), 10, 5), clWhite) << "transparent inside";
}

TEST_F(ControlRootsTest, WindowlessChildRepaintsOnBackgroundChangeOnlyWhenOptimised) {
    auto* backdrop = new TBackdrop(form);
    backdrop->SetParent(form);
    backdrop->SetBounds(0, 0, 200, 100);
    auto* plain = new TProbeWindowed(form);
    plain->SetParent(form);
    plain->SetBounds(0, 120, 100, 50);
    backdrop->HandleNeeded();
    plain->HandleNeeded();
    struct Case {
        TWinControl* parent;
        bool transparent;
        bool optimised;
    } cases[] = {{backdrop, true, true}, {backdrop, false, false}, {plain, true, false}};
    for (const Case& c : cases) {
        auto* graphic = new TProbeGraphic(form);
        graphic->SetParent(c.parent);
        graphic->SetTransparent(c.transparent);
        EXPECT_EQ(graphic->CheckOptimized(), c.optimised);
        int before = graphic->changes;
        c.parent->NotifyControls(CM_QCLBACKCHANGED);
        EXPECT_EQ(graphic->changes - before, c.optimised ? 1 : 0);
        graphic->Free();
    }
}

namespace {

// Loading ends by re-reading an image that comes through a connector to
// framework lists, which may only now hold their pictures; other lists are
// read when they are assigned.
TEST_F(ControlRootsTest, LoadedRereadsAConnectedImageList) {
    struct Case {
        const char* what;
        std::function<TQCLCustomImageList*()> makeList;
        int rereads;
    } cases[] = {
        {"connector", [&] { return static_cast<TQCLCustomImageList*>(new TQCLImageListConnector(form)); }, 1},
        {"bitmap list", [&] { return static_cast<TQCLCustomImageList*>(new TQCLBitmapList(form)); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TQCLCustomImageList* list = c.makeList();
        TLoadingGuard guard;
        auto* graphic = new TProbeGraphic(form);
        auto* windowed = new TProbeWindowed(form);
        graphic->SetImageList(list);
        windowed->SetImageList(list);
        const int before[2] = {graphic->imlChanges, windowed->imlChanges};
        guard.Finish();
        EXPECT_EQ(graphic->imlChanges - before[0], c.rereads);
        EXPECT_EQ(windowed->imlChanges - before[1], c.rereads);
    }
}

}  // namespace
