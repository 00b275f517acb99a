// The edit on a real window: typing, Shift-selection and the clipboard keys
// through SendInput and the real clipboard, clicks by the midpoint rule,
// the stale Shift bit after a focus change, a password edit, horizontal
// scrolling, the caret's size and blink time, the context menu, the events'
// order and the EM_* messages.
#include "components/controls/QCLCustomEdit.h"
#include "components/runtime/qclclass.h"
#include "framework/Clipbrd.h"
#include "tests/components/controls/ControlsBaseFixture.h"
#include "tests/support/DialogAnswerer.h"

#include <cstring>
#include <string>
#include <vector>

using namespace ctltest;

namespace {

void keys(std::initializer_list<std::pair<WORD, bool>> list) {
    std::vector<INPUT> inputs;
    for (auto& k : list) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = k.first;
        input.ki.dwFlags = k.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    fwtest::pumpIdle();
}

void tap(WORD vk) { keys({{vk, true}, {vk, false}}); }

void chord(WORD modifier, WORD vk) { keys({{modifier, true}, {vk, true}, {vk, false}, {modifier, false}}); }

void typeText(const char* text) {
    for (; *text; ++text) {
        SHORT scan = VkKeyScanA(*text);
        WORD vk = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            chord(VK_SHIFT, vk);
        else
            tap(vk);
    }
}

// The screen point of a client point (the window's own client edge counted).
TPoint screenOf(TWinControl* control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control->GetHandle(), &p);
    return TPoint(p.x, p.y);
}

void pressAt(TWinControl* control, int x, int y) {
    TPoint p = screenOf(control, x, y);
    moveMouseTo(p.x, p.y);
    fwtest::pumpIdle();
    mouseButton(true);
    fwtest::pumpIdle();
}

void releaseAt(TWinControl* control, int x, int y) {
    TPoint p = screenOf(control, x, y);
    moveMouseTo(p.x, p.y);
    fwtest::pumpIdle();
    mouseButton(false);
    fwtest::pumpIdle();
}

void click(TWinControl* control, int x, int y) {
    pressAt(control, x, y);
    releaseAt(control, x, y);
}

std::string clipboardText() {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return "<none>";
    return Clipboard()->GetAsText();
}

class EditWindowTest : public ControlsBaseTest {
protected:
    void SetUp() override {
        ControlsBaseTest::SetUp();
        QCLApplication->SetEditMode(TQCLEditMode{emInsert});  // one mode for all edits: start inserting
    }
    TQCLEdit* makeEdit(int left, int top, int width = 160) {
        auto* edit = new TQCLEdit(form);
        edit->SetParent(form);
        edit->SetBounds(left, top, width, 24);
        return edit;
    }
    // A focused edit on the foreground form.
    TQCLEdit* focusedEdit(const char* text = "") {
        TQCLEdit* edit = makeEdit(10, 10);
        edit->SetText(text);
        EXPECT_TRUE(foreground());
        edit->SetFocus();
        fwtest::pumpIdle();
        return edit;
    }
    void setClipboard(const char* text) {
        Clipboard()->SetAsText(text);
    }
    // The client x where character p (1-based) starts.
    int xOf(TQCLEdit* edit, int p) {
        POINT pt{};
        edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), p - 1);
        return pt.x;
    }
};

TEST_F(EditWindowTest, KeyboardScenariosThroughRealInputAndClipboard) {
    struct Case {
        const char* name;
        const char* start;
        char passwordChar;
        bool readOnly;
        void (*act)();
        const char* expectText;
        const char* expectClipboard;
    } cases[] = {
        {"typing", "", 0, false, [] { typeText("Hello w"); }, "Hello w", "CLIP"},
        {"Backspace and Delete", "abcd", 0, false,
         [] {
             tap(VK_LEFT);
             tap(VK_BACK);
             tap(VK_DELETE);
         },
         "ab", "CLIP"},
        {"Shift+Left selects, typing replaces", "abcd", 0, false,
         [] {
             chord(VK_SHIFT, VK_LEFT);
             chord(VK_SHIFT, VK_LEFT);
             typeText("X");
         },
         "abX", "CLIP"},
        {"Ctrl+A, Ctrl+C", "secret", 0, false, [] { chord(VK_CONTROL, 'A'), chord(VK_CONTROL, 'C'); }, "secret",
         "secret"},
        {"Ctrl+A, Ctrl+X", "cut me", 0, false, [] { chord(VK_CONTROL, 'A'), chord(VK_CONTROL, 'X'); }, "", "cut me"},
        {"Ctrl+V at the end", "ab", 0, false, [] { chord(VK_CONTROL, 'V'); }, "abCLIP", "CLIP"},
        {"Shift+Insert pastes, Ctrl+Insert copies", "ab", 0, false,
         [] {
             chord(VK_SHIFT, VK_INSERT);
             chord(VK_SHIFT, VK_HOME);
             chord(VK_CONTROL, VK_INSERT);
         },
         "abCLIP", "abCLIP"},
        {"Shift+Delete cuts", "abc", 0, false,
         [] {
             chord(VK_SHIFT, VK_LEFT);
             chord(VK_SHIFT, VK_DELETE);
         },
         "ab", "c"},
        {"overwrite after Insert", "abcd", 0, false,
         [] {
             tap(VK_HOME);
             tap(VK_INSERT);
             typeText("XY");
             tap(VK_INSERT);
         },
         "XYcd", "CLIP"},
        {"password: copy, cut and paste do nothing", "pass", '*', false,
         [] {
             chord(VK_CONTROL, 'A');
             chord(VK_CONTROL, 'C');
             chord(VK_CONTROL, 'X');
             chord(VK_SHIFT, VK_DELETE);
             chord(VK_CONTROL, 'V');
         },
         "pass", "CLIP"},
        {"read-only: copy works, cut keeps the text, typing does nothing", "fixed", 0, true,
         [] {
             typeText("z");
             chord(VK_CONTROL, 'A');
             chord(VK_CONTROL, 'X');
         },
         "fixed", "fixed"},
        {"Ctrl+Z does nothing", "ab", 0, false,
         [] {
             typeText("c");
             chord(VK_CONTROL, 'Z');
         },
         "abc", "CLIP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TQCLEdit* edit = focusedEdit(c.start);
        edit->SetPasswordChar(c.passwordChar);
        edit->SetReadOnly(c.readOnly);
        edit->SetCursorPos(edit->GetLength() + 1);
        setClipboard("CLIP");
        c.act();
        EXPECT_EQ(c.expectText, edit->GetText());
        EXPECT_EQ(c.expectClipboard, clipboardText());
        EXPECT_TRUE(QCLApplication->GetEditMode().Contains(emInsert));
        delete edit;
    }
}

TEST_F(EditWindowTest, ClicksPlaceTheCursorByTheMidpointRule) {
    TQCLEdit* edit = focusedEdit("WWWW");
    int x2 = xOf(edit, 2), x3 = xOf(edit, 3);
    // Positions are measured in the edit's own font.
    TBitmap probe;
    probe.GetCanvas()->SetFont(edit->GetFont());
    EXPECT_EQ(probe.GetCanvas()->TextWidth("WW"), x3 - xOf(edit, 1));
    ASSERT_GT(x3, x2 + 4);
    struct {
        int x;
        int expect;
    } cases[] = {
        {x2 + 1, 2},                 // just after the start of character 2
        {x2 + (x3 - x2) / 2 - 1, 2}, // before its middle
        {x3 - 2, 3},                 // past its middle
        {150, 5},                    // past the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        click(edit, c.x, 12);
        EXPECT_EQ(c.expect, edit->GetCursorPos());
        EXPECT_EQ(0, edit->GetSelLength());
    }
}

TEST_F(EditWindowTest, ButtonDownWithoutMoveUsesItsOwnPointAndFreshModifiers) {
    TQCLEdit* edit = focusedEdit("abcdefgh");
    int x6 = xOf(edit, 6) + 1;
    // A press with no move before it, at a new place.
    edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x6, 10));
    edit->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x6, 10));
    EXPECT_EQ(6, edit->GetCursorPos());

    // Shift left set in the shared bits (released while another control had
    // the focus): the next click places the cursor, it does not extend.
    QCLApplication->SetEditMode(TQCLEditMode{emInsert, emShift});
    int x3 = xOf(edit, 3) + 1;
    click(edit, x3, 10);
    EXPECT_EQ(3, edit->GetCursorPos());
    EXPECT_EQ(0, edit->GetSelLength());
    EXPECT_FALSE(QCLApplication->GetEditMode().Contains(emShift));

    // A press that carries Shift still extends.
    LPARAM at7 = MAKELPARAM(xOf(edit, 7) + 1, 10);
    edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at7);
    edit->Perform(WM_LBUTTONUP, MK_SHIFT, at7);
    EXPECT_EQ("cdef", edit->GetSelText());
}

TEST_F(EditWindowTest, DragSelectsDoubleClickSelectsAWordAndDragMovesIt) {
    TQCLEdit* edit = focusedEdit("one two three");
    // Drag from "t" of "two" to after it.
    pressAt(edit, xOf(edit, 5) + 1, 10);
    releaseAt(edit, xOf(edit, 8) + 1, 10);
    EXPECT_EQ("two", edit->GetSelText());

    // Drag the selection before "one".
    pressAt(edit, xOf(edit, 6) + 1, 10);
    releaseAt(edit, xOf(edit, 1), 10);
    EXPECT_EQ("twoone  three", edit->GetText());
    EXPECT_EQ(1, edit->GetCursorPos());

    // A press inside the selection starts the drag also with Shift held.
    edit->SetText("one two three");
    edit->SetSelStart(5);
    edit->SetSelLength(3);
    edit->Perform(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(xOf(edit, 6) + 1, 10));
    edit->Perform(WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(xOf(edit, 1), 10));
    EXPECT_EQ("twoone  three", edit->GetText());

    edit->SetText("alpha beta");
    LPARAM at = MAKELPARAM(xOf(edit, 8), 10);
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        edit->Perform(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    EXPECT_EQ("beta", edit->GetSelText());
}

TEST_F(EditWindowTest, PasswordEditDrawsOneStarPerCharacter) {
    TQCLEdit* masked = makeEdit(10, 10);
    TQCLEdit* plain = makeEdit(10, 50);
    masked->SetPasswordChar('*');
    masked->SetText("abcW");
    plain->SetText("****");
    masked->Repaint();
    plain->Repaint();
    TBitmap* a = masked->BackBitmapForTesting();
    TBitmap* b = plain->BackBitmapForTesting();
    ASSERT_TRUE(a && b);
    int differing = 0, ink = 0;
    for (int y = 0; y < a->GetHeight(); ++y)
        for (int x = 0; x < a->GetWidth(); ++x) {
            if (fwtest::pixelOf(a, x, y) != fwtest::pixelOf(b, x, y)) ++differing;
            if (fwtest::pixelOf(a, x, y) != clWhite) ++ink;
        }
    EXPECT_EQ(0, differing);
    EXPECT_GT(ink, 4);
    EXPECT_EQ('*', masked->Perform(EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ("abcW", masked->GetText());
}

TEST_F(EditWindowTest, LongTextScrollsToKeepTheCaretInside) {
    TQCLEdit* edit = focusedEdit(std::string(200, 'm').c_str());
    tap(VK_END);
    EXPECT_GT(edit->GetScrollOffsetForTesting(), 0);
    POINT caret{};
    GetCaretPos(&caret);
    RECT text{};
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    EXPECT_GE(caret.x, text.left - 1);
    EXPECT_LE(caret.x, text.right);
    tap(VK_HOME);
    EXPECT_EQ(0, edit->GetScrollOffsetForTesting());
}

TEST_F(EditWindowTest, CaretFollowsTheFontAndBlinkTimeIsRestored) {
    UINT baseline = QCLSystemCaretBlinkTime();
    {
        TQCLEdit* a = focusedEdit("abc");
        a->GetCaret()->BlinkRate = static_cast<uint16_t>(baseline == 530 ? 400 : 530);
        a->SetFocus();
        makeEdit(10, 50)->SetFocus();  // b takes the focus: a's caret goes
        fwtest::pumpIdle();
        a->SetFocus();
        fwtest::pumpIdle();
        EXPECT_EQ(a->GetCaret()->BlinkRate, GetCaretBlinkTime());

        a->GetFont()->SetHeight(-30);
        fwtest::pumpIdle();
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
        TBitmap probe;
        probe.GetCanvas()->SetFont(a->GetFont());
        EXPECT_EQ(probe.GetCanvas()->TextHeight("Qp"), info.rcCaret.bottom - info.rcCaret.top);
        EXPECT_EQ(1, info.rcCaret.right - info.rcCaret.left);
    }
    delete form;
    form = nullptr;
    EXPECT_EQ(baseline, GetCaretBlinkTime());
}

TEST_F(EditWindowTest, ContextMenuItemsFollowTheState) {
    TQCLEdit* edit = focusedEdit("hello");
    auto states = [&] {
        auto menu = edit->BuildContextMenuForTesting();
        std::string s;
        for (int i = 0; i < menu->GetItems()->GetCount(); ++i) {
            TMenuItem* item = menu->GetItems()->GetItem(i);
            s += item->GetCaption() + (item->GetEnabled() ? "+" : "-") + " ";
        }
        return s;
    };
    setClipboard("CLIP");
    EXPECT_EQ("&Undo- -+ &Cut- &Copy- &Insert+ &Delete- -+ Select all+ ", states());
    edit->SelectAll();
    typeText("x");
    edit->SelectAll();
    EXPECT_EQ("&Undo+ -+ &Cut+ &Copy+ &Insert+ &Delete+ -+ Select all+ ", states());
    edit->SetReadOnly(true);  // undo stays offered while there is a step, though it changes nothing
    EXPECT_EQ("&Undo+ -+ &Cut- &Copy+ &Insert- &Delete- -+ Select all+ ", states());
    edit->SetReadOnly(false);

    // Each item does its work.
    auto click = [&](int index) { edit->BuildContextMenuForTesting()->GetItems()->GetItem(index)->Click(); };
    click(3);  // Copy
    EXPECT_EQ("x", clipboardText());
    click(0);  // Undo
    EXPECT_EQ("hello", edit->GetText());
    click(7);  // Select all
    click(5);  // Delete
    EXPECT_EQ("", edit->GetText());
    click(4);  // Insert
    EXPECT_EQ("x", edit->GetText());
    click(7);
    click(2);  // Cut
    EXPECT_EQ("", edit->GetText());
}

TEST_F(EditWindowTest, ChangeEventsComeBeforeTheCursorMovesAndTextEmptiesUndo) {
    TQCLEdit* edit = focusedEdit("");
    std::vector<std::string> log;
    edit->OnChange = [&](TObject*) { log.push_back("change cursor " + std::to_string(edit->GetCursorPos())); };
    edit->OnTextChangedAt = [&](TObject*, int at) { log.push_back("at " + std::to_string(at)); };
    edit->OnCursorPosChanged = [&](TObject*) { log.push_back("cursor " + std::to_string(edit->GetCursorPos())); };
    typeText("a");
    std::vector<std::string> expect{"at 1", "change cursor 1", "cursor 2"};
    EXPECT_EQ(expect, log);

    log.clear();
    edit->SetText("xyz");
    EXPECT_EQ(0, edit->Perform(EM_CANUNDO, 0, 0));
    edit->Undo();
    EXPECT_EQ("xyz", edit->GetText());
    EXPECT_NE(std::find(log.begin(), log.end(), "at 1"), log.end());
}

TEST_F(EditWindowTest, EditMessages) {
    TQCLEdit* edit = makeEdit(10, 10);
    EXPECT_EQ(0, edit->Perform(EM_CANUNDO, 0, 0));
    edit->SetText("0123456789");
    struct {
        int from, to;
        DWORD a, b;
    } sel[] = {{0, -1, 0, 10}, {5, -1, 5, 10}, {7, 2, 2, 7}, {100, 200, 10, 10}};
    for (const auto& s : sel) {
        SCOPED_TRACE(s.from);
        edit->Perform(EM_SETSEL, static_cast<WPARAM>(s.from), s.to);
        DWORD a = 99, b = 99;
        LRESULT r = edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(s.a, a);
        EXPECT_EQ(s.b, b);
        EXPECT_EQ(MAKELONG(s.a, s.b), static_cast<DWORD>(r));
    }
    edit->SetSelStart(1);
    edit->SetSelLength(0);
    DWORD a = 99;
    edit->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&a), 0);
    EXPECT_EQ(0u, a);

    // EM_GETLINE takes the buffer's size from its first word.
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    WORD capacity = 4;
    std::memcpy(buffer, &capacity, sizeof capacity);
    EXPECT_EQ(4, edit->Perform(EM_GETLINE, 0, reinterpret_cast<LPARAM>(buffer)));
    EXPECT_EQ(0, std::memcmp(buffer, "0123####", 8));

    edit->Perform(EM_SETSEL, 2, 4);
    edit->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("ab"));
    EXPECT_EQ("01ab456789", edit->GetText());
    EXPECT_EQ(1, edit->Perform(EM_CANUNDO, 0, 0));
    EXPECT_EQ(1, edit->Perform(EM_GETMODIFY, 0, 0));
    edit->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("!"));
    EXPECT_EQ(0, edit->Perform(EM_CANUNDO, 0, 0));
    edit->Perform(EM_LIMITTEXT, 12, 0);
    EXPECT_EQ(12, edit->Perform(EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ(1, edit->Perform(EM_GETLINECOUNT, 0, 0));
    EXPECT_EQ(11, edit->Perform(EM_LINELENGTH, 0, 0));
    EXPECT_EQ(1, edit->Perform(EM_SETREADONLY, 1, 0));
    edit->Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("zz"));
    EXPECT_EQ("01ab!456789", edit->GetText());
    UINT code = static_cast<UINT>(edit->Perform(WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(DLGC_WANTARROWS | DLGC_WANTCHARS, code & (DLGC_WANTARROWS | DLGC_WANTCHARS));
    EXPECT_EQ(0u, code & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
}

TEST_F(EditWindowTest, TabWithAutoSelectSelectsAllAndAutoSizeFollowsTheFont) {
    TQCLEdit* first = makeEdit(10, 10);
    TQCLEdit* second = makeEdit(10, 50);
    second->AutoSelect = true;
    second->SetText("password");
    ASSERT_TRUE(foreground());
    first->SetFocus();
    fwtest::pumpIdle();
    tap(VK_TAB);
    EXPECT_EQ(GetFocus(), second->GetHandle());
    EXPECT_EQ(8, second->GetSelLength());
    EXPECT_FALSE(second->SelectionHiddenForTesting());

    second->GetFont()->SetSize(8);
    second->SetAutoSize(true);
    TBitmap probe;
    probe.GetCanvas()->SetFont(second->GetFont());
    EXPECT_EQ(5 * probe.GetCanvas()->TextHeight("Qp") / 4 + 5, second->GetHeight());
}

}  // namespace

namespace {

// The search prompts are real boxes, answered by clicking their buttons: the
// replace box offers All only while not replacing every match, and the
// search asks at the end of the text whether to restart from the top.
TEST_F(EditWindowTest, ReplacePromptsAndTheRestartQuestionAreRealBoxes) {
    TQCLEdit* edit = makeEdit(10, 10);
    edit->SetText("a-a-a");
    edit->HandleNeeded();
    brimtest::DialogAnswerer answerer({{"Confirm", "All", nullptr},
                                       {"Confirm", "Yes", nullptr},
                                       {"Confirm", "No", nullptr},
                                       {"Search", "No", nullptr}});
    EXPECT_TRUE(edit->SearchAndReplace("a", "b", stTop, true, false, sdDown, true, false));
    ASSERT_TRUE(answerer.finished());
    EXPECT_EQ(edit->GetText(), "a-b-a");
    const std::vector<brimtest::SeenDialog> seen = answerer.seen();
    ASSERT_EQ(seen.size(), 4u);
    auto hasButton = [](const brimtest::SeenDialog& d, const std::string& text) {
        for (const std::string& t : d.texts)
            if (brimtest::stripAmpersands(t) == text) return true;
        return false;
    };
    EXPECT_EQ(seen[0].message(), "Replace?");
    EXPECT_TRUE(hasButton(seen[0], "All"));
    EXPECT_TRUE(hasButton(seen[0], "Cancel"));
    EXPECT_FALSE(hasButton(seen[1], "All")) << "replacing every match already";
    EXPECT_EQ(seen[3].message(), "At bottom ... restart from top?");
}

}  // namespace
