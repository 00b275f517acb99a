// The scroll box: ranges from the children, positions that move windowed and
// windowless children alike (on screen and hidden), scroll messages, and an
// explicit range.
#include <gtest/gtest.h>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;

class ScrollBoxTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        box = new TScrollBox(form);
        box->BorderStyle = bsNone;
        box->SetBounds(0, 0, 200, 150);
        box->Parent = form;
        windowed = new TPanel(box);
        windowed->SetBounds(10, 300, 50, 40);
        windowed->Parent = box;
        windowless = new TShape(box);
        windowless->SetBounds(10, 200, 30, 30);
        windowless->Parent = box;
        box->UpdateScrollBars();
    }
    // The panel window's real top in the box.
    int windowTop() const {
        RECT r;
        GetWindowRect(windowed->Handle, &r);
        MapWindowPoints(nullptr, box->Handle, reinterpret_cast<POINT*>(&r), 2);
        return r.top;
    }
    TScrollBox* box = nullptr;
    TPanel* windowed = nullptr;
    TShape* windowless = nullptr;
};

TEST_F(ScrollBoxTest, PositionMovesBothKindsOfChildren) {
    EXPECT_EQ(box->VertScrollBar->Range(), 340) << "the lowest child's bottom";
    EXPECT_TRUE(box->VertScrollBar->IsScrollBarVisible());
    EXPECT_FALSE(box->HorzScrollBar->IsScrollBarVisible());
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(box->Handle, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 339);
    EXPECT_EQ(static_cast<int>(info.nPage), box->ClientHeight());

    box->VertScrollBar->Position = 100;
    EXPECT_EQ(windowed->Top(), 200);
    EXPECT_EQ(windowTop(), 200);
    EXPECT_EQ(windowless->Top(), 100);
    GetScrollInfo(box->Handle, SB_VERT, &info);
    EXPECT_EQ(info.nPos, 100);

    box->VertScrollBar->Position = 1000;  // held at range less page
    int last = 340 - box->ClientHeight();
    EXPECT_EQ(box->VertScrollBar->Position(), last);
    EXPECT_EQ(windowed->Top(), 300 - last);
    EXPECT_EQ(windowless->Top(), 200 - last);
    EXPECT_EQ(box->VertScrollBar->Range(), 340) << "scrolling does not change the range";
}

TEST_F(ScrollBoxTest, ScrollMessagesLinePageAndThumb) {
    struct Case {
        WORD code;
        short thumb;
        int position;
    };
    const Case cases[] = {
        {SB_LINEDOWN, 0, 8}, {SB_LINEDOWN, 0, 16}, {SB_LINEUP, 0, 8},
        {SB_PAGEDOWN, 0, 8 + 150}, {SB_THUMBPOSITION, 37, 37}, {SB_TOP, 0, 0}, {SB_LINEUP, 0, 0},
    };
    for (const Case& c : cases) {
        SendMessageA(box->Handle, WM_VSCROLL, MAKEWPARAM(c.code, static_cast<WORD>(c.thumb)), 0);
        EXPECT_EQ(box->VertScrollBar->Position(), c.position) << "code " << c.code;
        EXPECT_EQ(windowless->Top(), 200 - c.position);
        EXPECT_EQ(windowed->Top(), 300 - c.position);
    }
}

TEST_F(ScrollBoxTest, HiddenBoxMovesWindowsByTheirBounds) {
    box->Visible = false;
    box->VertScrollBar->Position = 60;
    EXPECT_EQ(windowTop(), 240);
    EXPECT_EQ(windowed->Top(), 240);
    EXPECT_EQ(windowless->Top(), 140);
    box->Visible = true;
    box->VertScrollBar->Position = 0;
    EXPECT_EQ(windowTop(), 300);
}

TEST_F(ScrollBoxTest, FocusBringsAControlIntoView) {
    // A row of two edits far down the box, inside a panel (focus moves inside the box too).
    auto* row = new TPanel(box);
    row->SetBounds(0, 400, 180, 30);
    row->Parent = box;
    auto* first = new TEdit(box);
    first->SetBounds(5, 5, 60, 21);
    first->Parent = row;
    auto* second = new TEdit(box);
    second->SetBounds(5, 500 - 400, 60, 21);
    second->Parent = windowed;  // inside the panel at 300: well below the view
    second->Top = 10;
    auto* outside = new TEdit(form);
    outside->SetBounds(250, 10, 60, 21);
    outside->Parent = form;
    outside->SetFocus();
    fwtest::pumpIdle();
    first->SetFocus();
    fwtest::pumpIdle();
    int view = box->ClientHeight;
    EXPECT_GE(row->Top() + first->Top(), 0);
    EXPECT_LE(row->Top() + first->Top() + first->Height(), view) << "entering the box scrolled to the edit";
    second->SetFocus();  // from inside the box
    fwtest::pumpIdle();
    int top = windowed->Top() + second->Top();
    EXPECT_GE(top, 0);
    EXPECT_LE(top + second->Height(), view);
}

TEST_F(ScrollBoxTest, ExplicitRangeEndsAutoScrollAndAlignedChildrenScroll) {
    auto* top = new TPanel(box);
    top->Height = 20;
    top->Align = alTop;
    top->Parent = box;
    box->HorzScrollBar->Range = 500;
    EXPECT_FALSE(box->AutoScroll());
    box->HorzScrollBar->Position = 100;
    EXPECT_EQ(windowless->Left(), -90);
    EXPECT_EQ(windowed->Left(), -90);
    EXPECT_EQ(top->Left(), -100) << "aligned children lie in the scrolled content";
    EXPECT_EQ(top->Width(), 500);
    box->Realign();
    EXPECT_EQ(box->HorzScrollBar->Range(), 500) << "a realign keeps an explicit range";
    EXPECT_EQ(windowless->Left(), -90);
}

}  // namespace
