// The multi-column list box on a real window: rows painted into small
// bitmaps (cells, grid lines, colours, blank rows, no sections), the user's
// clicks, multi-selection, keys, double click, header click and divider drag
// through SendInput, and the indexed accessors as one table.
#include "components/controls/QCLListBox.h"

#include "tests/components/controls/ControlsBaseFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using ctltest::clickAt;
using ctltest::countPixels;
using ctltest::firstColumnOf;
using ctltest::lastColumnOf;
using ctltest::mouseButton;
using ctltest::moveMouseTo;
using fwtest::pixelOf;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

const TColor Paper = RGB(250, 250, 230);
const TColor Ink = RGB(0, 0, 0);
const TColor SelectedPaper = RGB(200, 30, 30);
const TColor VertLine = RGB(0, 0, 255);
const TColor HorzLine = RGB(0, 170, 0);

TColor systemColor(int index) { return static_cast<TColor>(GetSysColor(index)); }

void key(WORD vk, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void tap(WORD vk) {
    key(vk, true);
    key(vk, false);
    pumpIdle();
}

// A click carrying modifier flags. Wine leaves MK_CONTROL/MK_SHIFT out of
// the button messages that SendInput makes, even with the key held down, so
// such clicks are posted to the list window with the flags a real click has.
void clickWithFlags(TControl* control, const TPoint& p, WPARAM flags) {
    HWND window = static_cast<TWinControl*>(control)->GetHandle();
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | flags, MAKELPARAM(p.x, p.y));
    PostMessageA(window, WM_LBUTTONUP, flags, MAKELPARAM(p.x, p.y));
    pumpIdle();
}

class ListBoxTest : public ctltest::ControlsBaseTest {
protected:
    // A list with sections of the given widths, built as a layout builds it
    // (inside a loading bracket, so Loaded hands the handlers over).
    TQCLListBox* makeList(char delimiter, std::vector<int> widths, TQCLLBGridLines grid,
                          const std::vector<std::string>& rows,
                          const std::function<void(TQCLListBox*)>& beforeLoaded = nullptr) {
        TLoadingGuard guard;
        auto* list = new TQCLListBox(form);
        list->SetParent(form);
        list->SetBounds(10, 10, 240, 140);
        list->SetInteger(0, 20);
        list->GetHeaderSections()->Clear();
        for (size_t i = 0; i < widths.size(); ++i) {
            THeaderSection* s = list->GetHeaderSections()->Add();
            s->SetText("Col " + std::to_string(i));
            s->SetWidth(widths[i]);
        }
        list->Delimiter = delimiter;
        list->GridLines = grid;
        list->SetColor(0, Paper);
        list->SetColor(1, SelectedPaper);
        list->SetColor(2, HorzLine);
        list->SetColor(3, VertLine);
        list->GetFont(1)->SetColor(Ink);
        for (const auto& row : rows) list->Items->Add(row);
        if (beforeLoaded) beforeLoaded(list);
        guard.Finish();
        pumpIdle();
        return list;
    }

    std::unique_ptr<TBitmap> paint(TQCLListBox* list) { return fwtest::paintOf(list->InnerList()); }
    TRect row(TQCLListBox* list, int index) { return list->InnerList()->ItemRect(index); }
    // A point inside a row, in the inner list's coordinates.
    TPoint inRow(TQCLListBox* list, int index, int x = 20) {
        TRect r = row(list, index);
        return TPoint(x, (r.Top + r.Bottom) / 2);
    }
    void click(TQCLListBox* list, int index) {
        TPoint p = inRow(list, index);
        clickAt(list->InnerList(), p.x, p.y);
    }
};

// ---------------------------------------------------------------------------
// Rows painted into a bitmap

TEST_F(ListBoxTest, CellsAndGridLinesFollowTheSections) {
    TQCLListBox* list = makeList(';', {40, 30, 50}, glBoth, {"a;b", "WWWWWWWW;WWWWWWWW;x;WWWWWWWW", "left"});
    auto bitmap = paint(list);
    TRect r0 = row(list, 0), r1 = row(list, 1);
    ASSERT_GT(r0.Height(), 4);
    ASSERT_GE(bitmap->GetWidth(), 200) << "room to the right of the last section";

    // A row of two fields under three sections still gets all three lines,
    // at the sums of the widths minus one, over the row's whole height.
    for (int x : {39, 69, 119})
        for (int y = r0.Top; y < r0.Bottom - 1; ++y) ASSERT_EQ(pixelOf(bitmap.get(), x, y), VertLine) << x << "," << y;
    // The horizontal line on the row's last pixel row, across the whole width.
    for (int x : {0, 20, 90, 150, bitmap->GetWidth() - 1})
        EXPECT_EQ(pixelOf(bitmap.get(), x, r0.Bottom - 1), HorzLine) << x;
    EXPECT_EQ(pixelOf(bitmap.get(), 20, r0.Bottom - 2), Paper);

    // Each field is clipped to its cell and starts 2 pixels into it; the
    // fourth field has no section and is not drawn.
    TRect inside(0, r1.Top, 0, r1.Bottom - 1);
    auto cell = [&](int left, int right) { return TRect(left, inside.Top, right, inside.Bottom); };
    EXPECT_EQ(firstColumnOf(bitmap.get(), cell(0, 39), Ink), 2);
    EXPECT_LE(lastColumnOf(bitmap.get(), cell(0, 39), Ink), 38);
    EXPECT_EQ(firstColumnOf(bitmap.get(), cell(40, 69), Ink), 42);
    EXPECT_LE(lastColumnOf(bitmap.get(), cell(40, 69), Ink), 68) << "long text clipped to its cell";
    EXPECT_GT(countPixels(bitmap.get(), cell(70, 119), Ink), 0);
    EXPECT_EQ(countPixels(bitmap.get(), cell(120, bitmap->GetWidth()), Ink), 0) << "field past the last section";
}

// With a delimiter at or below 32 a row of delimiters only is blank: no text,
// no lines. With ';' the same row draws its empty cells and lines.
TEST_F(ListBoxTest, RowsOfDelimitersOnly) {
    struct Case { char delimiter; bool linesDrawn; } cases[] = {{'\x01', false}, {';', true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.delimiter));
        std::string blank(2, c.delimiter);
        // Alone in the list: any other row's vertical lines run through it.
        TQCLListBox* list = makeList(c.delimiter, {40, 30, 50}, glBoth, {blank});
        auto bitmap = paint(list);
        TRect r = row(list, 0);
        EXPECT_EQ(pixelOf(bitmap.get(), 39, r.Top + 2) == VertLine, c.linesDrawn);
        EXPECT_EQ(pixelOf(bitmap.get(), 10, r.Bottom - 1) == HorzLine, c.linesDrawn);
        EXPECT_EQ(countPixels(bitmap.get(), TRect(0, r.Top, 38, r.Bottom - 1), Paper), 38 * (r.Height() - 1));
        list->Free();
    }
}

// Without sections the row is drawn whole, delimiters included, one pixel
// higher than the same text in a cell.
TEST_F(ListBoxTest, WithoutSectionsTheWholeRowIsDrawnOnePixelHigher) {
    TQCLListBox* cells = makeList(';', {200}, glNone, {"Hg|Hg"});
    TQCLListBox* whole = makeList(';', {}, glNone, {"Hg|Hg", "Hg;Hg;Hg;Hg;Hg;Hg;Hg;Hg"});
    EXPECT_EQ(whole->GetInteger(5), 0);
    auto a = paint(cells), b = paint(whole);
    TRect r = row(cells, 0);
    auto topInk = [&](TBitmap* bitmap) {
        for (int y = r.Top; y < r.Bottom; ++y)
            if (countPixels(bitmap, TRect(0, y, bitmap->GetWidth(), y + 1), Ink)) return y;
        return -1;
    };
    ASSERT_GE(topInk(a.get()), 0);
    EXPECT_EQ(topInk(b.get()), topInk(a.get()) - 1);
    EXPECT_EQ(firstColumnOf(b.get(), r, Ink), firstColumnOf(a.get(), r, Ink));
    // Eight fields, no section to stop them: the text runs far to the right.
    TRect r1 = row(whole, 1);
    EXPECT_GT(lastColumnOf(b.get(), r1, Ink), 100);
}

TEST_F(ListBoxTest, SelectedAndDisabledRowColours) {
    TQCLListBox* list = makeList(';', {60, 60}, glNone, {"Name;Value", "Name;Value"});
    list->Selected[1] = true;
    auto bitmap = paint(list);
    TRect plain = row(list, 0), selected = row(list, 1);
    EXPECT_EQ(pixelOf(bitmap.get(), 115, selected.Top + 1), SelectedPaper);
    EXPECT_GT(countPixels(bitmap.get(), selected, systemColor(COLOR_HIGHLIGHTTEXT)), 0);
    EXPECT_EQ(countPixels(bitmap.get(), selected, Ink), 0);
    EXPECT_EQ(countPixels(bitmap.get(), selected, Paper), 0);
    EXPECT_EQ(pixelOf(bitmap.get(), 115, plain.Top + 1), Paper);
    EXPECT_GT(countPixels(bitmap.get(), plain, Ink), 0);

    // A disabled list draws its rows in the inactive-caption colour.
    list->SetBool(0, false);
    list->Selected[1] = false;
    auto disabled = paint(list);
    TColor grey = systemColor(COLOR_INACTIVECAPTION);
    ASSERT_NE(grey, Paper);
    EXPECT_GT(countPixels(disabled.get(), plain, grey), 0);
    EXPECT_EQ(countPixels(disabled.get(), plain, Ink), 0);
}

// OnDrawItem replaces the row drawing only with an owner-draw Style.
TEST_F(ListBoxTest, OwnerDrawStyleHandsRowsToTheHandler) {
    const TColor mark = RGB(10, 200, 200);
    std::vector<TWinControl*> senders;
    TQCLListBox* list = makeList(';', {60, 60}, glBoth, {"a;b", "c;d"}, [&](TQCLListBox* l) {
        l->OnDrawItem = [&, l](TWinControl* control, int, TRect rect, TOwnerDrawState) {
            senders.push_back(control);
            l->Canvas()->GetBrush()->SetColor(mark);
            l->Canvas()->FillRect(rect);
        };
    });
    auto standard = paint(list);
    EXPECT_TRUE(senders.empty()) << "lbStandard keeps the built-in drawing";
    EXPECT_EQ(countPixels(standard.get(), row(list, 0), mark), 0);

    list->Style = lbOwnerDrawFixed;
    list->SetInteger(4, 22);
    auto custom = paint(list);
    ASSERT_FALSE(senders.empty());
    EXPECT_EQ(senders.front(), list->InnerList());
    TRect r = row(list, 1);
    EXPECT_EQ(r.Height(), 22);
    EXPECT_EQ(countPixels(custom.get(), r, mark), r.Width() * r.Height());
}

// ---------------------------------------------------------------------------
// The user's input

class ListBoxInputTest : public ListBoxTest {
protected:
    void SetUp() override {
        ListBoxTest::SetUp();
        ASSERT_TRUE(foreground());
    }
    std::vector<std::string> events;
    std::vector<std::string> rows = {"alpha;1", "beta;2", "gamma;3", "delta;4", "epsilon;5"};
    std::string senderName(TObject* sender, TQCLListBox* list) {
        if (sender == list) return "list box";
        if (sender == list->InnerList()) return "inner list";
        if (sender == list->Header()) return "header";
        return "other";
    }
};

TEST_F(ListBoxInputTest, ClickSelectsThenFiresOnSelectAndHandlersSeeTheInnerList) {
    TQCLListBox* list = nullptr;
    list = makeList(';', {80, 60}, glBoth, rows, [&](TQCLListBox* l) {
        l->OnSelect = [&](TObject* sender) {
            events.push_back("select " + senderName(sender, list) + " " + std::to_string(list->GetInteger(1)));
        };
        l->OnClick = [&](TObject* sender) { events.push_back("click " + senderName(sender, list)); };
        l->OnMouseDown = [&](TObject* sender, TMouseButton, TShiftState, int, int) {
            events.push_back("down " + senderName(sender, list));
        };
    });
    click(list, 2);
    EXPECT_EQ(list->GetInteger(1), 2);
    EXPECT_TRUE(list->Focused());
    // The press is processed first: OnSelect sees the new index.
    ASSERT_FALSE(events.empty());
    EXPECT_NE(std::find(events.begin(), events.end(), "select list box 2"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "click inner list"), events.end());
    EXPECT_NE(std::find(events.begin(), events.end(), "down inner list"), events.end());
    for (const auto& e : events) EXPECT_EQ(e.find("select list box 0"), std::string::npos) << e;
}

TEST_F(ListBoxInputTest, CtrlAndShiftBuildAMultiSelection) {
    int selects = 0;
    TQCLListBox* list = makeList(';', {80, 60}, glBoth, rows, [&](TQCLListBox* l) {
        l->SetBool(3, true);
        l->OnSelect = [&](TObject*) { ++selects; };
    });
    auto selection = [&] {
        std::string s;
        for (int i = 0; i < list->Items->GetCount(); ++i) s += list->Selected[i] ? '1' : '0';
        return s;
    };
    struct Step { WPARAM flags; int row; const char* selected; int caret; } steps[] = {
        {0, 0, "10000", 0},
        {MK_CONTROL, 2, "10100", 2},
        {MK_SHIFT, 4, "00111", 4},
        {MK_CONTROL, 3, "00101", 3},  // the caret rests on a row that is not selected
    };
    for (const auto& s : steps) {
        SCOPED_TRACE("row " + std::to_string(s.row));
        if (s.flags) clickWithFlags(list->InnerList(), inRow(list, s.row), s.flags);
        else click(list, s.row);
        EXPECT_EQ(selection(), s.selected);
        EXPECT_EQ(list->GetInteger(1), s.caret);
        EXPECT_EQ(list->GetInteger(3), static_cast<int>(std::count(s.selected, s.selected + 5, '1')));
    }
    EXPECT_EQ(selects, 4);

    // Shift with the arrow keys through the real keyboard.
    click(list, 1);
    key(VK_SHIFT, true);
    tap(VK_DOWN);
    tap(VK_DOWN);
    key(VK_SHIFT, false);
    pumpIdle();
    EXPECT_EQ(selection(), "01110");
    EXPECT_EQ(list->GetInteger(1), 3);
}

TEST_F(ListBoxInputTest, KeysMoveTheSelectionAndReachTheHandler) {
    std::vector<WORD> keys;
    TQCLListBox* list = nullptr;
    list = makeList(';', {80, 60}, glNone, rows, [&](TQCLListBox* l) {
        l->OnKeyDown = [&](TObject* sender, WORD& k, TShiftState) {
            if (sender == list->InnerList()) keys.push_back(k);
        };
    });
    list->SetFocus();
    ASSERT_TRUE(pumpUntil([&] { return GetFocus() == list->InnerList()->GetHandle(); }));
    struct Step { WORD vk; int index; } steps[] = {{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_END, 4}, {VK_UP, 3}, {VK_HOME, 0}};
    for (const auto& s : steps) {
        tap(s.vk);
        EXPECT_EQ(list->GetInteger(1), s.index) << "after key " << s.vk;
    }
    EXPECT_EQ(keys, (std::vector<WORD>{VK_DOWN, VK_DOWN, VK_END, VK_UP, VK_HOME}));
}

TEST_F(ListBoxInputTest, DoubleClickReachesTheHandlerWithTheInnerList) {
    TQCLListBox* list = nullptr;
    int doubleClicks = 0;
    list = makeList(';', {80, 60}, glNone, rows, [&](TQCLListBox* l) {
        l->OnDblClick = [&](TObject* sender) {
            if (sender == list->InnerList() && list->GetInteger(1) == 3) ++doubleClicks;
        };
    });
    TPoint p = list->InnerList()->ClientToScreen(inRow(list, 3));
    moveMouseTo(p.x, p.y);
    pumpIdle();
    for (int i = 0; i < 2; ++i) {
        mouseButton(true);
        mouseButton(false);
    }
    ASSERT_TRUE(pumpUntil([&] { return doubleClicks > 0; }));
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(ListBoxInputTest, HeaderClickAndDividerDrag) {
    TQCLListBox* list = makeList(';', {40, 30, 50}, glBoth, rows);
    std::vector<std::string> clicks;
    std::vector<std::string> sized;
    list->Header()->OnSectionClick = [&](THeaderControl* header, THeaderSection* section) {
        clicks.push_back(senderName(header, list) + " " + std::to_string(section->GetIndex()));
    };
    list->OnHeaderSized = [&](THeaderControl* header, int index, int width) {
        sized.push_back(senderName(header, list) + " " + std::to_string(index) + " " + std::to_string(width));
    };
    int resized = 0;
    list->OnHeaderSectionResize = [&](THeaderControl*, THeaderSection*) { ++resized; };

    clickAt(list->Header(), 55, 10);
    ASSERT_TRUE(pumpUntil([&] { return !clicks.empty(); }));
    EXPECT_EQ(clicks, (std::vector<std::string>{"header 1"}));

    // Drag the divider after the first section from 40 to 70.
    TPoint from = list->Header()->ClientToScreen(TPoint(39, 10));
    TPoint to = list->Header()->ClientToScreen(TPoint(69, 10));
    moveMouseTo(from.x, from.y);
    pumpIdle();
    mouseButton(true);
    pumpIdle();
    for (int x = from.x + 5; x <= to.x; x += 5) {
        moveMouseTo(x, to.y);
        pumpIdle();
    }
    mouseButton(false);
    ASSERT_TRUE(pumpUntil([&] { return !sized.empty(); }));
    EXPECT_EQ(sized.back(), "header 0 " + std::to_string(list->GetHeaderSections()->GetItem(0)->GetWidth()));
    int width = list->GetHeaderSections()->GetItem(0)->GetWidth();
    EXPECT_NEAR(width, 70, 2);
    EXPECT_EQ(resized, static_cast<int>(sized.size()));
    // The grid follows the new width.
    auto bitmap = paint(list);
    TRect r = row(list, 0);
    EXPECT_EQ(pixelOf(bitmap.get(), width - 1, r.Top + 2), VertLine);
    EXPECT_NE(pixelOf(bitmap.get(), 39, r.Top + 2), VertLine);
}

// ---------------------------------------------------------------------------
// Accessors and row operations

TEST_F(ListBoxTest, IndexedAccessors) {
    TQCLListBox* list = makeList(';', {50, 50}, glNone, {"a;1", "b;2", "c;3"});
    TListBox* inner = list->InnerList();
    THeaderControl* header = list->Header();

    // Each boolean index and the part it reaches.
    struct BoolCase { int index; std::function<bool()> part; } bools[] = {
        {0, [&] { return inner->GetEnabled() && header->GetEnabled() && list->GetEnabled(); }},
        {1, [&] { return inner->GetExtendedSelect(); }},
        {2, [&] { return header->GetVisible(); }},
        {3, [&] { return inner->GetMultiSelect(); }},
        {4, [&] { return inner->GetSorted(); }},
        {5, [&] { return header->GetEnabled(); }},
        {6, [&] { return inner->GetShowHint() && header->GetShowHint(); }},
        {8, [&] { return inner->GetTabStop(); }},
        {12, [&] { return header->GetHotTrack(); }},
        {13, [&] { return header->GetFlat(); }},
    };
    for (auto& c : bools) {
        for (bool value : {true, false, true}) {
            list->SetBool(c.index, value);
            EXPECT_EQ(list->GetBool(c.index), value) << "index " << c.index;
            EXPECT_EQ(c.part(), value) << "index " << c.index;
        }
        list->SetBool(c.index, c.index == 1 || c.index == 2 || c.index == 0 || c.index == 5 || c.index == 8);
    }
    EXPECT_EQ(list->Items->GetCount(), 3) << "re-created parts keep their rows";
    for (int unused : {9, 20, 21, 99, -1}) {
        list->SetBool(unused, true);
        EXPECT_FALSE(list->GetBool(unused)) << unused;
        EXPECT_EQ(list->GetInteger(unused), 0) << unused;
    }

    // Header height and the list below it.
    list->SetInteger(0, 31);
    pumpIdle();
    EXPECT_EQ(list->GetInteger(0), 31);
    EXPECT_EQ(inner->GetTop(), 31);
    list->SetBool(2, false);
    EXPECT_EQ(inner->GetTop(), 0) << "a hidden header gives the list its room";
    list->SetBool(2, true);

    list->SetInteger(1, 2);
    EXPECT_EQ(list->GetInteger(1), 2);
    EXPECT_EQ(list->GetInteger(3), -1) << "single select has no count";
    EXPECT_EQ(list->GetInteger(5), 2);

    // Item height follows only for an owner-draw Style.
    int height = list->GetInteger(4);
    list->SetInteger(4, height + 9);
    EXPECT_EQ(list->GetInteger(4), height);
    list->Style = lbOwnerDrawFixed;
    list->SetInteger(4, height + 9);
    EXPECT_EQ(list->GetInteger(4), height + 9);
    list->Style = lbStandard;
    EXPECT_EQ(inner->GetStyle(), lbOwnerDrawFixed) << "the inner list stays owner-drawn";

    // Colours: 0 is the inner list's, 1 readable, 2 and 3 set only.
    list->SetColor(0, clYellow);
    EXPECT_EQ(list->GetColor(0), clYellow);
    EXPECT_EQ(inner->GetColor(), clYellow);
    list->SetColor(1, clGreen);
    EXPECT_EQ(list->GetColor(1), clGreen);
    for (int index : {2, 3, 4}) EXPECT_EQ(list->GetColor(index), static_cast<TColor>(0xFFFFFF)) << index;

    EXPECT_EQ(list->GetFont(0), header->GetFont());
    EXPECT_EQ(list->GetFont(1), inner->GetFont());
}

// The pointer shapes and the hint belong to the parts the user points at.
TEST_F(ListBoxTest, CursorsAndHintReachTheParts) {
    TQCLListBox* list = makeList(';', {50, 50}, glNone, {"a;1"});
    TListBox* inner = list->InnerList();
    THeaderControl* header = list->Header();
    struct CursorCase {
        int index;
        TCursor value;
        std::function<TCursor()> part;
    } cursors[] = {
        {0, crHandPoint, [&] { return inner->GetCursor(); }},
        {1, crNoDrop, [&] { return inner->DragCursor; }},
    };
    for (const CursorCase& c : cursors) {
        SCOPED_TRACE(c.index);
        list->SetCursor(c.index, c.value);
        EXPECT_EQ(c.value, list->GetCursor(c.index));
        EXPECT_EQ(c.value, c.part());
    }

    list->Hint = "Rows and columns";
    EXPECT_EQ(AnsiString("Rows and columns"), static_cast<AnsiString>(list->Hint));
    EXPECT_EQ(AnsiString("Rows and columns"), inner->GetHint());
    EXPECT_EQ(AnsiString("Rows and columns"), header->GetHint());
}

TEST_F(ListBoxTest, DefaultsOfANewListBox) {
    TQCLListBox* list = makeList(';', {}, glNone, {});
    auto* fresh = new TQCLListBox(form);
    EXPECT_EQ(fresh->Delimiter(), ';');
    EXPECT_EQ(fresh->GridLines(), glNone);
    EXPECT_EQ(fresh->GetColor(1), clHighlight);
    EXPECT_EQ(fresh->GetColor(0), clWhite);
    EXPECT_EQ(fresh->GetInteger(5), 1) << "one empty section at construction";
    EXPECT_EQ(fresh->GetWidth(), 100);
    EXPECT_EQ(fresh->GetHeight(), 100);
    EXPECT_FALSE(fresh->GetTabStop());
    EXPECT_TRUE(fresh->GetBool(8)) << "the inner list is the tab stop";
    EXPECT_TRUE(fresh->GetBool(1));
    EXPECT_FALSE(fresh->GetBool(3));
    EXPECT_EQ(fresh->IniUse, ioNone);
    EXPECT_EQ(fresh->Section, "Common");
    EXPECT_EQ(fresh->IniKey, "ListBoxData");
    EXPECT_FALSE(fresh->GetVertScrollBar()->GetVisible());
    fresh->Free();
    try {
        list->Sections = nullptr;
        ADD_FAILURE() << "setting Sections must be refused";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "This property is no longer used in QCL-Tools!");
    }
}

TEST_F(ListBoxTest, RowOperations) {
    TQCLListBox* list = makeList('\x01', {50, 50, 50}, glNone, {});
    EXPECT_EQ(list->AddLine({"Bank", "", "pin"}), 0);
    EXPECT_EQ(list->AddLine({"Mail"}), 1);
    EXPECT_EQ(list->Items->Get(0), "Bank\x01\x01pin");
    EXPECT_EQ(list->ItemPart(0, 2), "pin");
    EXPECT_EQ(list->ItemPart(1, 2), "") << "fewer fields: empty";
    EXPECT_THROW(list->ItemPart(2, 0), EListError);
    EXPECT_THROW(list->ItemPart(-1, 0), EListError);

    list->SetItemPart(1, 2, "new");
    EXPECT_EQ(list->Items->Get(1), "Mail\x01\x01new");
    for (int outside : {2, 99, -1}) list->SetItemPart(outside, 0, "x");
    EXPECT_EQ(list->Items->GetCount(), 2);
    EXPECT_EQ(list->Items->Get(0), "Bank\x01\x01pin");
    EXPECT_EQ(list->GetPartString("p\x01q", 1), "q");

    // Sorting by (second, first): the glued keys decide, not field by field.
    list->Clear();
    list->Delimiter = ';';
    for (const char* r : {"zz;a", "c;ab", ";b", "a;"}) list->Items->Add(r);
    list->SpecialSort({1, 0});
    std::vector<std::string> sorted;
    for (int i = 0; i < list->Items->GetCount(); ++i) sorted.push_back(list->Items->Get(i));
    EXPECT_EQ(sorted, (std::vector<std::string>{"a;", "c;ab", "zz;a", ";b"}));
}

// Filling holds the redraw; it must come back on by itself once the loop
// runs (AddLine) or when the outermost bracket closes (BeginBulkAdd).
TEST_F(ListBoxTest, RowsAddedInOneGoAreShownAfterwards) {
    TQCLListBox* list = makeList(';', {60, 60}, glNone, {});
    for (int i = 0; i < 3; ++i) list->AddLine({"Row", std::to_string(i)});
    pumpIdle();
    list->BeginBulkAdd(2);
    list->BeginBulkAdd(0);
    list->AddLine({"Bulk", "3"});
    list->EndBulkAdd();
    list->AddLine({"Bulk", "4"});
    list->EndBulkAdd();
    list->EndBulkAdd();  // one too many: ignored
    pumpIdle();
    auto bitmap = paint(list);
    for (int i = 0; i < 5; ++i) EXPECT_GT(countPixels(bitmap.get(), row(list, i), Ink), 0) << "row " << i;
}

TEST_F(ListBoxTest, HeaderWidthsStoredAndRead) {
    std::vector<std::string> events;
    TQCLListBox* list = makeList(';', {80}, glNone, {}, [&](TQCLListBox* l) {
        // The list by value: this set-up function has returned when the list reads its data.
        l->OnIniReadData = [&events, l](TObject* sender, TQCLIniCtrl* ini, const AnsiString& section) {
            events.push_back(std::string("read ") + (sender == l ? "list" : "?") + (ini ? " ini " : " none ") + section);
        };
        l->OnIniWriteData = [&](TObject*, TQCLIniCtrl* ini, const AnsiString& section) {
            events.push_back(std::string("write") + (ini ? " ini " : " none ") + section);
        };
    });
    EXPECT_EQ(events, (std::vector<std::string>{"read list none Common"})) << "read at Loaded, no INI control";

    list->SetIniString("50,60,70");
    ASSERT_EQ(list->GetInteger(5), 3);
    EXPECT_EQ(list->GetHeaderSections()->GetItem(0)->GetText(), "Col 0");
    EXPECT_EQ(list->GetHeaderSections()->GetItem(2)->GetText(), "S. 3");
    EXPECT_EQ(list->GetIniString(), "50,60,70");
    EXPECT_THROW(list->SetIniString("50,wide"), EConvertError);
    EXPECT_EQ(list->GetIniString(), "50,60,70");

    list->Header()->SetSectionWidth(1, 90);
    EXPECT_EQ(list->Header()->GetSectionWidth(1), 90);
    list->Free();
    EXPECT_EQ(events.back(), "write none Common") << "written when the list goes";
}

// Widths through a linked INI control: read at Loaded (sections added as
// needed), written when the list goes, and the key removed when there is
// nothing to store; a freed INI control is forgotten.
TEST_F(ListBoxTest, HeaderWidthsRoundTripThroughALinkedIniFile) {
    brimtest::TempFolder temp;
    auto* ini = new TQCLIniCtrl(form);
    ini->Target = itIniFile;
    ini->IniPrefix = ppFixed;
    ini->IniFile = temp.file("lists.ini");
    ini->WriteString("Lists", "Records", "30,40,50");

    TQCLListBox* list = makeList(';', {80}, glNone, {}, [](TQCLListBox* l) {
        l->IniUse = ioUseLink;
        l->Section = "Lists";
        l->IniKey = "Records";
    });
    EXPECT_EQ(list->GetIniLink(), nullptr) << "no INI control joined after the list";
    list->SetIniLink(ini);
    list->ReadData();
    EXPECT_EQ(list->GetIniString(), "30,40,50");
    list->Header()->SetSectionWidth(2, 65);
    list->Free();
    EXPECT_EQ(ini->ReadString("Lists", "Records", ""), "30,40,65");

    // No sections: the key goes.
    TQCLListBox* empty = makeList(';', {}, glNone, {}, [](TQCLListBox* l) {
        l->IniUse = ioUseLink;
        l->Section = "Lists";
        l->IniKey = "Records";
    });
    auto* second = new TQCLIniCtrl(form);
    empty->SetIniLink(second);
    second->Target = itIniFile;
    second->IniPrefix = ppFixed;
    second->IniFile = temp.file("lists.ini");
    empty->WriteData();
    EXPECT_EQ(ini->ReadString("Lists", "Records", "gone"), "gone");
    second->Free();
    EXPECT_EQ(empty->GetIniLink(), nullptr) << "a freed INI control is forgotten";
}

// Dragging: the list's drag mode and handlers belong to its inner list and
// header, which hear as themselves.
TEST_F(ListBoxInputTest, AnAutomaticDragFromARowDropsOnTheHeaderWithThePartsAsSenders) {
    TQCLListBox* list = makeList(';', {80, 80}, glNone, rows, [&](TQCLListBox* l) {
        l->DragMode = dmAutomatic;
        l->OnStartDrag = [&, l](TObject* sender) { events.push_back("start " + senderName(sender, l)); };
        l->OnDragOver = [&, l](TObject* sender, TObject* source, int, int, TDragState state, bool& accept) {
            accept = sender == l->Header();
            if (state == dsDragEnter)
                events.push_back("enter " + senderName(sender, l) + " from " + senderName(source, l));
        };
        l->OnDragDrop = [&, l](TObject* sender, TObject* source, int, int) {
            events.push_back("drop " + senderName(sender, l) + " from " + senderName(source, l));
        };
        l->OnEndDrag = [&, l](TObject* sender, TObject* target, int, int) {
            events.push_back("end " + senderName(sender, l) + " on " + senderName(target, l));
        };
    });
    TPoint from = list->InnerList()->ClientToScreen(inRow(list, 1));
    TPoint to = list->Header()->ClientToScreen(TPoint(30, 5));
    moveMouseTo(from.x, from.y);
    pumpIdle();
    mouseButton(true);
    pumpIdle();
    moveMouseTo(to.x, to.y);
    pumpIdle();
    mouseButton(false);
    pumpIdle();
    EXPECT_EQ(events, (std::vector<std::string>{"start inner list", "enter inner list from inner list",
                                                "enter header from inner list", "drop header from inner list",
                                                "end inner list on header"}));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
