// The list box: owner drawing into a bitmap with nothing added by the
// stand-in, the item height asked at creation, multi-selection with the caret
// apart from the selection, positions, and items kept across re-creation.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;
using fwtest::pixelOf;

class ListBoxTest : public ControlsTest {
protected:
    TListBox* makeList(TListBoxStyle style, int itemHeight = 0) {
        auto* list = new TListBox(form);
        list->Style = style;
        if (itemHeight) list->ItemHeight = itemHeight;
        list->BorderStyle = bsNone;
        list->SetBounds(10, 10, 120, 100);
        list->Items->Text = "zero\none\ntwo\nthree";
        list->Parent = form;
        return list;
    }
};

struct Drawn {
    int index;
    TRect rect;
    TOwnerDrawState state;
};

TEST_F(ListBoxTest, OwnerDrawPaintsOnlyWhatTheHandlerDraws) {
    TListBox* list = makeList(lbOwnerDrawFixed, 20);
    std::vector<Drawn> drawn;
    const TColor plain = RGB(0, 160, 0), selected = RGB(200, 0, 0);
    list->OnDrawItem = [&](TWinControl* control, int index, TRect rect, TOwnerDrawState state) {
        drawn.push_back({index, rect, state});
        TCanvas* canvas = static_cast<TListBox*>(control)->Canvas;
        canvas->Brush->Color = state.Contains(odSelected) ? selected : plain;
        canvas->FillRect(rect);
    };
    list->ItemIndex = 1;
    list->SetFocus();
    fwtest::pumpIdle();
    ASSERT_EQ(GetFocus(), list->Handle());

    drawn.clear();
    auto bitmap = fwtest::paintOf(list);
    ASSERT_GE(drawn.size(), 4u);
    const Drawn* focusedLine = nullptr;
    for (const Drawn& d : drawn)
        if (d.index == 1) focusedLine = &d;
    ASSERT_NE(focusedLine, nullptr);
    EXPECT_TRUE(focusedLine->state.Contains(odSelected));
    EXPECT_TRUE(focusedLine->state.Contains(odFocused)) << "the handler is told about the focus";
    EXPECT_EQ(focusedLine->rect, TRect(0, 20, 120, 40));
    // No focus rectangle of the stand-in's: the corners and edges of the
    // focused line keep the handler's colour exactly.
    for (TPoint p : {TPoint(0, 20), TPoint(119, 20), TPoint(0, 39), TPoint(119, 39), TPoint(60, 20), TPoint(0, 30)})
        EXPECT_EQ(pixelOf(bitmap.get(), p.x, p.y), selected) << p.x << "," << p.y;
    EXPECT_EQ(pixelOf(bitmap.get(), 60, 10), plain);
    EXPECT_EQ(pixelOf(bitmap.get(), 60, 70), plain);
}

TEST_F(ListBoxTest, ItemHeightIsAnsweredAtCreation) {
    TListBox* standardHeight = makeList(lbOwnerDrawFixed);
    TListBox* tall = makeList(lbOwnerDrawFixed, 23);
    EXPECT_EQ(SendMessageA(standardHeight->Handle, LB_GETITEMHEIGHT, 0, 0), 16);
    EXPECT_EQ(SendMessageA(tall->Handle, LB_GETITEMHEIGHT, 0, 0), 23);
    EXPECT_EQ(tall->ItemHeight(), 23);
    EXPECT_EQ(tall->ItemRect(2), TRect(0, 46, 120, 69));
    tall->ItemHeight = 30;  // after creation: the window follows
    EXPECT_EQ(SendMessageA(tall->Handle, LB_GETITEMHEIGHT, 0, 0), 30);
}

TEST_F(ListBoxTest, MultiSelectKeepsTheCaretApartFromTheSelection) {
    TListBox* list = makeList(lbStandard);
    list->MultiSelect = true;
    EXPECT_EQ(list->SelCount(), 0);
    list->Selected[1] = true;
    list->Selected[3] = true;
    list->ItemIndex = 2;  // moves the caret only
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_FALSE(list->Selected[2]);
    EXPECT_TRUE(list->Selected[1]);
    EXPECT_GT(SendMessageA(list->Handle, LB_GETSEL, 3, 0), 0);
    list->Selected[1] = false;
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_THROW(list->Selected[9](), EListError);

    TListBox* single = makeList(lbStandard);
    EXPECT_EQ(single->SelCount(), -1) << "single-select lists have no count";
    single->Selected[2] = true;
    EXPECT_EQ(single->ItemIndex(), 2);
}

TEST_F(ListBoxTest, ItemAtPosFindsLinesAndTheEnd) {
    TListBox* list = makeList(lbOwnerDrawFixed, 20);
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 5), true), 0);
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 65), true), 3);
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 90), true), -1);
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 90), false), 4) << "below the last line: Count";
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 500), false), -1) << "outside the client area";
}

TEST_F(ListBoxTest, ItemsObjectsAndSelectionSurviveRecreation) {
    TListBox* list = makeList(lbStandard);
    TObject tag1, tag3;
    list->Items->Objects[1] = &tag1;
    list->Items->Objects[3] = &tag3;
    list->MultiSelect = true;
    list->Selected[0] = true;
    list->Selected[3] = true;
    list->ItemIndex = 2;
    HWND before = list->Handle;
    list->Style = lbOwnerDrawFixed;  // re-creates the window
    ASSERT_NE(list->Handle(), before);
    EXPECT_EQ(list->Items->Text(), "zero\r\none\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(list->Items->Objects[1](), &tag1);
    EXPECT_EQ(list->Items->Objects[3](), &tag3);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected[3]);
    EXPECT_EQ(list->ItemIndex(), 2);

    list->BorderStyle = bsSingle;
    list->Ctl3D = false;  // a plain border needs a new window
    EXPECT_TRUE(GetWindowLongA(list->Handle, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(list->Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(list->SelCount(), 2);

    list->Sorted = true;  // re-created sorted: the selection goes with its lines
    EXPECT_EQ(list->Items->Text(), "one\r\nthree\r\ntwo\r\nzero\r\n");
    EXPECT_EQ(list->Items->Objects[0](), &tag1);
    EXPECT_EQ(list->Items->Objects[1](), &tag3);
    EXPECT_TRUE(list->Selected[1]) << "three";
    EXPECT_TRUE(list->Selected[3]) << "zero";
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_EQ(list->ItemIndex(), 2) << "two";
}

TEST_F(ListBoxTest, SortedListWithoutAWindowKeepsItsOrderAndSelection) {
    auto* list = new TListBox(form);
    list->MultiSelect = true;
    list->Items->Text = "pear\napple";
    list->Selected[0] = true;  // pear
    list->Sorted = true;
    list->Items->Add("fig");
    EXPECT_EQ(list->Items->Text(), "apple\r\nfig\r\npear\r\n");
    EXPECT_TRUE(list->Selected[2]);
    list->Parent = form;
    EXPECT_EQ(SendMessageA(list->Handle, LB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(list->Selected[2]);
    EXPECT_EQ(list->SelCount(), 1);
}

TEST_F(ListBoxTest, ItemsAddedBeforeTheWindowAreShownByIt) {
    auto* list = new TListBox(form);
    TObject tag;
    list->Items->AddObject("b", &tag);
    list->Items->Insert(0, "a");
    list->ItemIndex = 1;
    EXPECT_FALSE(list->HandleAllocated());
    list->Parent = form;
    HWND window = list->Handle;
    EXPECT_EQ(SendMessageA(window, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(list->Items->Objects[1](), &tag);
    EXPECT_EQ(SendMessageA(window, LB_GETCURSEL, 0, 0), 1);
}

TEST_F(ListBoxTest, ComboItemsAndIndexSurviveRecreation) {
    auto* combo = new TComboBox(form);
    combo->Parent = form;
    TObject tag;
    combo->Items->Text = "x\ny";
    combo->Items->Objects[1] = &tag;
    combo->ItemIndex = 1;
    HWND before = combo->Handle;
    combo->Style = csDropDownList;
    ASSERT_NE(combo->Handle(), before);
    EXPECT_EQ(combo->Items->Count(), 2);
    EXPECT_EQ(combo->Items->Objects[1](), &tag);
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(ListBoxTest, ComboDoubleClickFiresOnDblClick) {
    auto* combo = new TComboBox(form);
    combo->Parent = form;
    combo->Style = csDropDownList;
    combo->Items->Text = "x\ny";
    int doubles = 0, changes = 0;
    combo->OnDblClick = [&](TObject*) { ++doubles; };
    combo->OnChange = [&](TObject*) { ++changes; };
    HWND window = combo->Handle;
    ASSERT_TRUE(GetClassLongA(window, GCL_STYLE) & CS_DBLCLKS) << "the combo's class takes double clicks";
    // The box has its closed height; the list keeps room for DropDownCount lines, also after a move.
    combo->SetBounds(20, 20, 150, combo->Height);
    EXPECT_LT(combo->Height(), 40);
    RECT dropped{};
    SendMessageA(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GE(dropped.bottom - dropped.top, 7 * 16) << "about DropDownCount lines of 16";
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    fwtest::pumpIdle();
    if (combo->DroppedDown()) combo->DroppedDown = false;
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(changes, 0);
}

// An owner-drawn combo with nothing selected paints its box without asking
// the handler to draw a line that does not exist.
TEST_F(ListBoxTest, OwnerDrawnComboWithoutASelectionNeverDrawsLineMinusOne) {
    auto* combo = new TComboBox(form);
    combo->Parent = form;
    combo->Style = csOwnerDrawFixed;
    combo->SetBounds(20, 20, 150, combo->Height);
    combo->Items->Text = "x\ny";
    std::vector<int> drawn;
    combo->OnDrawItem = [&](TWinControl*, int index, const TRect&, TOwnerDrawState) { drawn.push_back(index); };
    HWND window = combo->Handle;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    fwtest::pumpIdle();
    for (int index : drawn) EXPECT_GE(index, 0);
    combo->ItemIndex = 1;
    drawn.clear();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    fwtest::pumpIdle();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end()) << "the selected line is drawn in the box";
}

}  // namespace

namespace {

// The window-to-control lookup every message starts with: it follows a
// re-created window, forgets a destroyed one (so a reused handle value is not
// mistaken for it) and never answers for another thread's window.
TEST_F(ListBoxTest, FindControlFollowsTheWindowItsControlHas) {
    TListBox* list = makeList(lbStandard);
    HWND first = list->Handle;
    EXPECT_EQ(TWinControl::FindControl(first), list);
    list->MultiSelect = true;  // re-creates the window
    HWND second = list->Handle;
    ASSERT_NE(first, second);
    EXPECT_EQ(TWinControl::FindControl(second), list);
    EXPECT_EQ(TWinControl::FindControl(first), nullptr);
    EXPECT_EQ(SendMessageA(second, LB_GETCOUNT, 0, 0), 4) << "messages reach the control's window";

    HWND destroyedFromOutside = second;
    DestroyWindow(destroyedFromOutside);
    EXPECT_EQ(TWinControl::FindControl(destroyedFromOutside), nullptr);
    EXPECT_EQ(list->Items->GetCount(), 4) << "the items were kept when the window went";

    EXPECT_EQ(TWinControl::FindControl(GetDesktopWindow()), nullptr);
    EXPECT_EQ(TWinControl::FindControl(nullptr), nullptr);
}

}  // namespace
