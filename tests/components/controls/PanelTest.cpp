// The panels and the scroll box: bevel modes and window borders, children
// kept inside the bevel, the flat bevel look, a parent panel's picture shown
// through a transparent child as it grows, shrinks and loses its list, and
// the scroll box's non-client bevel, size-box corner and scroll events.
#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLCustomScrollBox.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <vector>

using namespace ctltest;

namespace {

// A child that counts the library messages it receives.
class TListener : public TQCLCustomPanel {
public:
    using TQCLCustomPanel::TQCLCustomPanel;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == CM_QCLBACKCHANGED) ++backChanged;
        if (Message.Msg == CM_QCLSCROLLBOXSCROLLEVENT) ++scrollEvents;
        TQCLCustomPanel::Dispatch(Message);
    }
    int backChanged = 0;
    int scrollEvents = 0;
};

// A 20 x 20 tile: blue rows 0-9, red rows 10-19.
std::unique_ptr<TBitmap> tile() {
    auto picture = filledBitmap(20, 20, clRed);
    picture->GetCanvas()->GetBrush()->SetColor(clBlue);
    picture->GetCanvas()->FillRect(TRect(0, 0, 20, 10));
    return picture;
}

TColor windowPixel(HWND window, int x, int y) {
    HDC dc = GetWindowDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return static_cast<TColor>(c);
}

}  // namespace

using PanelTest = ControlsBaseTest;

TEST_F(PanelTest, BevelModesChooseTheWindowBorderOrAPaintedBevel) {
    auto* panel = new TQCLCustomBevelPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 60, 40);
    panel->SetColor(clWhite);
    HWND window = panel->GetHandle();
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_TRUE(panel->GetEmpty());

    // A painted, lowered bevel: shadow at the top left, light at the bottom right.
    panel->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    panel->GetBevel()->SetColor(1, clRed);
    panel->GetBevel()->SetColor(2, clBlue);
    EXPECT_FALSE(panel->GetEmpty());
    auto painted = fwtest::paintOf(panel);
    EXPECT_EQ(fwtest::pixelOf(painted.get(), 0, 0), clBlue);
    EXPECT_EQ(fwtest::pixelOf(painted.get(), 59, 39), clRed);
    EXPECT_EQ(fwtest::pixelOf(painted.get(), 30, 20), clWhite);

    // Windows mode: the client edge, nothing painted; Ctl3D off: a plain border.
    panel->GetBevel()->SetMode(bmWindows);
    EXPECT_NE(panel->GetHandle(), window) << "re-created for the border";
    EXPECT_NE(GetWindowLongA(panel->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_FALSE(panel->GetEmpty());
    EXPECT_EQ(panel->BevelExt(), 0);
    auto client = fwtest::paintOf(panel);
    EXPECT_EQ(countPixels(client.get(), TRect(0, 0, panel->GetClientWidth(), panel->GetClientHeight()), clWhite),
              panel->GetClientWidth() * panel->GetClientHeight());
    window = panel->GetHandle();
    panel->SetCtl3D(false);
    EXPECT_NE(panel->GetHandle(), window);
    EXPECT_EQ(GetWindowLongA(panel->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongA(panel->GetHandle(), GWL_STYLE) & WS_BORDER, 0);
}

TEST_F(PanelTest, AlignedChildrenStayInsideTheBevel) {
    auto* panel = new TQCLCustomBevelPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 80);
    auto* child = new TQCLCustomPanel(form);
    child->SetParent(panel);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), TRect(0, 0, 100, 80));
    panel->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
    panel->GetBevel()->SetWidthOuter(3);
    panel->GetBevel()->SetBorderWidth(2);
    ASSERT_EQ(panel->BevelExt(), 5);
    EXPECT_EQ(child->BoundsRect(), TRect(5, 5, 95, 75));
    EXPECT_EQ(panel->BeveledRect(), TRect(5, 5, 95, 75));
}

TEST_F(PanelTest, FlatBevelPanelShowsItsBevelOnlyWhileActive) {
    ASSERT_TRUE(foreground());
    auto* panel = new TQCLCustomBevelPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 60, 40);
    panel->SetColor(clWhite);
    panel->SetTabStop(true);
    panel->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    panel->GetBevel()->SetColor(2, clBlue);
    auto* other = new TQCLCustomPanel(form);
    other->SetParent(form);
    other->SetTabStop(true);
    other->SetBounds(100, 10, 30, 30);
    fwtest::pumpIdle();
    panel->SetFlat(true);
    fwtest::pumpIdle();
    HWND window = panel->GetHandle();
    EXPECT_EQ(windowPixel(window, 0, 0), clWhite) << "flat at rest: the bands show the colour";
    panel->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(windowPixel(window, 0, 0), clBlue) << "under the mouse";
    panel->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(windowPixel(window, 0, 0), clWhite);
    panel->SetFocus();
    fwtest::pumpIdle();
    EXPECT_EQ(windowPixel(window, 0, 0), clBlue) << "focused";
    other->SetFocus();
    fwtest::pumpIdle();
    EXPECT_EQ(windowPixel(window, 0, 0), clWhite);
}

TEST_F(PanelTest, ParentPanelPictureReachesATransparentChild) {
    auto* list = new TQCLBitmapList(form);
    auto picture = tile();
    list->GetArrayItem(list->Add())->SetBitmap(picture.get());
    auto* parent = new TQCLCustomParentPanel(form);
    parent->SetParent(form);
    parent->SetBounds(0, 0, 100, 60);
    auto* child = new TListener(form);
    child->SetParent(parent);
    child->SetBounds(10, 5, 30, 20);
    child->SetColor(clLime);
    child->SetTransparent(true);
    parent->HandleNeeded();
    fwtest::pumpIdle();
    EXPECT_FALSE(child->CheckOptimized());

    parent->SetImageList(list);
    ASSERT_NE(parent->OwnBack(), nullptr);
    EXPECT_EQ(parent->OwnBack()->GetWidth(), 100);
    EXPECT_EQ(parent->OwnBack()->GetHeight(), 60);
    EXPECT_EQ(child->backChanged, 1);
    EXPECT_TRUE(child->CheckOptimized());
    // The child at (10, 5): its rows 0-4 lie on blue tile rows 5-9, rows 5-14 on red.
    auto shown = fwtest::paintOf(child);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 0, 0), clBlue);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 0, 4), clBlue);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 0, 5), clRed);
    EXPECT_EQ(fwtest::pixelOf(shown.get(), 29, 15), clBlue) << "the next tile down";
    EXPECT_EQ(countPixels(shown.get(), TRect(0, 0, 30, 20), clLime), 0);

    // Shrinking keeps the larger picture; growing paints a new one.
    parent->SetBounds(0, 0, 80, 50);
    EXPECT_EQ(parent->OwnBack()->GetWidth(), 100);
    EXPECT_EQ(parent->OwnBack()->GetHeight(), 60);
    parent->SetBounds(0, 0, 140, 70);
    EXPECT_EQ(parent->OwnBack()->GetWidth(), 140);
    EXPECT_EQ(parent->OwnBack()->GetHeight(), 70);

    // The list going away frees the picture; the child falls back to its colour.
    int before = child->backChanged;
    list->Free();
    EXPECT_EQ(parent->OwnBack(), nullptr);
    EXPECT_EQ(parent->GetImageList(), nullptr);
    EXPECT_EQ(child->backChanged, before + 1);
    EXPECT_FALSE(child->CheckOptimized());
    auto plain = fwtest::paintOf(child);
    EXPECT_EQ(countPixels(plain.get(), TRect(0, 0, 30, 20), clLime), 30 * 20);
}

TEST_F(PanelTest, ScrollBoxDefaultsBevelAreaAndDelta) {
    auto* box = new TQCLCustomScrollBox(form);
    box->SetParent(form);
    HWND window = box->GetHandle();
    EXPECT_EQ(box->GetWidth(), 185);
    EXPECT_EQ(box->GetHeight(), 41);
    EXPECT_EQ(box->GetBorderStyle(), bsNone);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0) << "the Windows bevel";
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), 0u);
    EXPECT_FALSE(box->VertScrollBarVisible());

    // A custom bevel takes its extent off the client area on every side.
    box->SetBounds(10, 10, 120, 90);
    box->GetBevel()->SetMode(bmCustom);
    box->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
    box->GetBevel()->SetWidthOuter(4);
    EXPECT_EQ(GetWindowLongA(box->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(box->GetClientWidth(), 120 - 8);
    EXPECT_EQ(box->GetClientHeight(), 90 - 8);

    // Delta 0 is refused.
    box->SetDelta(3);
    box->SetDelta(0);
    EXPECT_EQ(box->GetDelta(), 3);
}

TEST_F(PanelTest, ScrollBoxFillsTheSizeBoxCornerOnlyWithBothBars) {
    auto* box = new TQCLCustomScrollBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 120, 90);
    box->SetColor(clLime);
    box->SetAutoScroll(false);
    fwtest::pumpIdle();
    const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    // Inside the client edge (2 pixels) less the Ctl3D cut (2 more).
    auto cornerPixel = [&] { return windowPixel(box->GetHandle(), 120 - 4 - cx / 2, 90 - 4 - cy / 2); };
    box->GetVertScrollBar()->SetRange(500);
    fwtest::pumpIdle();
    ASSERT_TRUE(box->VertScrollBarVisible());
    ASSERT_FALSE(box->HorzScrollBarVisible());
    SendMessageA(box->GetHandle(), WM_NCPAINT, 1, 0);
    EXPECT_NE(cornerPixel(), clLime) << "one bar: the bar itself, no corner";
    box->GetHorzScrollBar()->SetRange(500);
    fwtest::pumpIdle();
    ASSERT_TRUE(box->ScrollBarsVisible());
    SendMessageA(box->GetHandle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(cornerPixel(), clLime) << "both bars: the corner in the box's colour";
}

TEST_F(PanelTest, TransparentScrollBoxTellsItsChildrenEveryDeltaScrolls) {
    auto* list = new TQCLBitmapList(form);
    auto picture = tile();
    list->GetArrayItem(list->Add())->SetBitmap(picture.get());
    auto* parent = new TQCLCustomParentPanel(form);
    parent->SetParent(form);
    parent->SetBounds(0, 0, 200, 150);
    parent->SetImageList(list);
    auto* box = new TQCLCustomScrollBox(form);
    box->SetParent(parent);
    box->SetBounds(10, 10, 150, 100);
    box->SetAutoScroll(false);
    auto* child = new TListener(form);
    child->SetParent(box);
    parent->HandleNeeded();
    box->SetTransparent(true);
    box->GetVertScrollBar()->SetRange(1000);
    box->SetDelta(2);
    fwtest::pumpIdle();
    ASSERT_TRUE(box->CheckOptimized());
    struct Step {
        UINT msg;
        WORD code;
        int eventsAfter;
    } steps[] = {
        {WM_VSCROLL, SB_LINEDOWN, 0}, {WM_VSCROLL, SB_LINEDOWN, 1}, {WM_VSCROLL, SB_LINEDOWN, 1},
        {WM_VSCROLL, SB_ENDSCROLL, 2}, {WM_HSCROLL, SB_LINEDOWN, 2}, {WM_HSCROLL, SB_ENDSCROLL, 3},
        {WM_HSCROLL, SB_ENDSCROLL, 3},
    };
    for (const Step& s : steps) {
        SendMessageA(box->GetHandle(), s.msg, s.code, 0);
        EXPECT_EQ(child->scrollEvents, s.eventsAfter) << s.msg << " " << s.code;
    }
    // Without a background nothing is sent.
    box->SetTransparent(false);
    SendMessageA(box->GetHandle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(child->scrollEvents, 3);
}
