// The edit's text model without a window: the one change path as a table,
// the selection that follows the cursor, undo and redo sequences, the key
// commands, the clipboard rules and the word functions. A recording host
// stands in for the window (shared edit mode, clipboard, hooks and events).
#include "components/controls/QCLEditModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class RecordingHost : public TQCLEditModelHost {
public:
    TQCLEditMode mode{emInsert};
    bool allowCopy = true;
    bool clipboardHasText = false;
    std::string clipboard;
    int clipboardWrites = 0;
    std::vector<std::string> calls;  // hooks and events in order
    int changes = 0;

    TQCLEditMode GetEditMode() override { return mode; }
    void SetEditMode(TQCLEditMode m) override { mode = m; }
    bool AllowCopyPaste() override { return allowCopy; }
    bool ClipboardHasText() override { return clipboardHasText; }
    SecretText GetClipboardText() override { return SecretText(clipboard.c_str()); }
    void SetClipboardText(const SecretText& t) override {
        clipboard.assign(t.data(), t.size());
        clipboardHasText = true;
        ++clipboardWrites;
    }
    void HandleReplaceText(int at, const SecretText& t) override {
        calls.push_back("replace " + std::to_string(at) + " '" + std::string(t.data(), t.size()) + "'");
    }
    void HandleInsertText(int at, const SecretText& t) override {
        calls.push_back("insert " + std::to_string(at) + " '" + std::string(t.data(), t.size()) + "'");
    }
    void ChangedText(int at) override {
        calls.push_back("changed " + std::to_string(at));
        ++changes;
    }
    // Scripted prompt answers in order; each prompt is recorded in `asked`.
    std::vector<int> answers;
    std::string asked;
    int nextAnswer(int closed) {
        if (answers.empty()) return closed;
        int a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    bool AskRestartSearch(bool upward) override {
        asked += upward ? "restart-from-bottom " : "restart-from-top ";
        return nextAnswer(IDNO) == IDYES;
    }
    int AskReplace(bool replaceAll) override {
        asked += replaceAll ? "replace? " : "replace?/all ";
        return nextAnswer(IDCANCEL);
    }
};

struct Edit {
    RecordingHost host;
    TQCLEditModel model{&host};
    explicit Edit(const char* text = "", int cursor = 0) {
        model.SetText(SecretText(text));
        model.SetCursorPos(cursor ? cursor : model.GetLength() + 1);
    }
    std::string text() const { return model.GetText(); }
    void type(const char* s) {
        for (; *s; ++s) model.TypeChar(*s);
    }
    void key(WORD k, TQCLEditMode held = {}) {
        TQCLEditMode saved = host.mode;
        host.mode = host.mode + held;
        model.CommandKey(k);
        host.mode = (host.mode - TQCLEditMode{emShift, emCtrl, emAlt}) + (saved * TQCLEditMode{emShift, emCtrl, emAlt});
    }
};

std::string visible(const std::string& s) {
    std::string out;
    for (char c : s) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

// ---------------------------------------------------------------------------
// SetSelText: start state, inserted text, mode, MaxLength, ReadOnly.

struct SelTextCase {
    const char* name;
    const char* text;
    int selStart, selLength;
    const char* inserted;
    bool overwrite;
    int maxLength;
    bool readOnly;
    const char* expectText;
    int expectCursor;
    bool expectModified;
    int expectUndo;
};

TEST(EditModelSetSelText, Table) {
    const SelTextCase cases[] = {
        {"insert in the middle", "abcdef", 3, 0, "XY", false, 0, false, "abXYcdef", 5, true, 1},
        {"replace a selection", "abcdef", 2, 3, "Z", false, 0, false, "aZef", 3, true, 1},
        {"delete a selection", "abcdef", 2, 3, "", false, 0, false, "aef", 2, true, 1},
        {"nothing to remove or insert", "abc", 2, 0, "", false, 0, false, "abc", 1, false, 0},
        {"read-only refuses", "abc", 1, 1, "X", false, 0, true, "abc", 1, false, 0},
        {"MaxLength: too long is dropped whole, deletion stays", "abcdefghij", 3, 2, "XYZ", false, 10, false,
         "abefghij", 3, true, 1},
        {"MaxLength: exactly fits", "abcdefghij", 3, 2, "XY", false, 10, false, "abXYefghij", 5, true, 1},
        {"MaxLength: refused insert with no selection changes nothing", "abc", 2, 0, "XY", false, 4, false, "abc", 1,
         false, 0},
        {"overwrite replaces the character at the cursor", "abcd", 2, 0, "X", true, 0, false, "aXcd", 3, true, 1},
        {"overwrite at the end appends", "abcd", 5, 0, "X", true, 0, false, "abcdX", 6, true, 1},
        {"overwrite takes a CR LF pair whole", "a\r\nb", 2, 0, "X", true, 0, false, "aXb", 3, true, 1},
        {"overwrite over a lone CR takes only it", "a\rbc", 2, 0, "X", true, 0, false, "aXbc", 3, true, 1},
        {"insert between CR and LF goes before the pair", "a\r\nb", 3, 0, "X", false, 0, false, "aX\r\nb", 3, true,
         1},
        {"insert before a lone LF stays there", "a\nb", 2, 0, "X", false, 0, false, "aX\nb", 3, true, 1},
        {"a selection ending on CR takes the LF", "ab\r\ncd", 2, 2, "", false, 0, false, "acd", 2, true, 1},
        {"a selection starting at LF takes the CR", "ab\r\ncd", 4, 2, "", false, 0, false, "abd", 3, true, 1},
        {"a selection ending on a lone CR keeps what follows", "ab\rcd", 2, 2, "", false, 0, false, "acd", 2, true,
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e(c.text, 1);
        e.model.MaxLength = c.maxLength;
        e.model.ReadOnly = c.readOnly;
        if (c.overwrite) e.host.mode = TQCLEditMode{};
        e.model.SetSelStart(c.selStart);
        e.model.SetSelLength(c.selLength);
        e.model.SetSelText(SecretText(c.inserted));
        EXPECT_EQ(visible(c.expectText), visible(e.text()));
        EXPECT_EQ(c.expectCursor, e.model.GetCursorPos());
        if (c.expectModified) {  // a change leaves no selection, the cursor after it
            EXPECT_EQ(0, e.model.GetSelLength());
            EXPECT_EQ(e.model.GetCursorPos(), e.model.GetSelStart());
        } else {  // refused or empty: the selection stays as it was
            EXPECT_EQ(c.selStart, e.model.GetSelStart());
            EXPECT_EQ(c.selLength, e.model.GetSelLength());
        }
        EXPECT_EQ(c.expectModified, e.model.GetModified());
        EXPECT_EQ(c.expectUndo, e.model.UndoDepth());
        EXPECT_EQ(c.expectUndo, e.host.changes);
    }
}

TEST(EditModelSetSelText, HooksReportExactlyWhatChangedAndWhere) {
    Edit e("ab\r\ncd", 1);
    e.model.SetSelStart(4);  // between CR and LF
    e.model.SetSelLength(2);
    e.model.SetSelText(SecretText("X"));
    // The pair went whole from position 3, so that is where the change is.
    std::vector<std::string> expect{"replace 3 '\r\nc'", "insert 3 'X'", "changed 3"};
    EXPECT_EQ(expect, e.host.calls);
    EXPECT_EQ("abXd", e.text());
}

TEST(EditModelSetSelText, SettingTextEmptiesHistoriesAndCutsToMaxLength) {
    Edit e;
    e.type("abc");
    e.model.Undo();
    ASSERT_TRUE(e.model.CanRedo());
    e.model.SetText(SecretText("xyz"));
    e.model.Undo();
    e.model.Redo();
    EXPECT_EQ("xyz", e.text());
    EXPECT_FALSE(e.model.CanUndo());
    EXPECT_FALSE(e.model.CanRedo());
    EXPECT_EQ(1, e.model.GetCursorPos());

    e.model.MaxLength = 4;
    e.model.SetText(SecretText("123456"));
    EXPECT_EQ("1234", e.text());
}

TEST(EditModelSetSelText, ShortenedTextLeavesNoOldBytesInItsBuffer) {
    // A long password typed, then most of it removed: the bytes behind the
    // new end must not keep the old characters.
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        Edit e("secretpassword123", 1);
        if (how == 0) {
            e.model.Select(3, 12);
            e.model.SetSelText(SecretText());
        } else if (how == 1) {
            e.model.SetCursorPos(18);
            for (int i = 0; i < 12; ++i) e.key(VK_BACK);
        } else {
            e.model.SetText(SecretText("se"));
        }
        std::size_t capacity = 0;
        const char* buffer = e.model.BufferForTesting(capacity);
        std::size_t size = e.model.GetLength();
        for (std::size_t i = size; i < 18 && i <= capacity; ++i) EXPECT_EQ(0, buffer[i]) << "byte " << i;
    }
}

// ---------------------------------------------------------------------------
// The selection following a cursor move.

struct FollowCase {
    int selStart, selLength, cursor, target;
    int expectStart, expectLength;
};

TEST(EditModelSelection, FollowsShiftMovesByTheTable) {
    // Text "0123456789" (length 10). The cursor starts at `cursor`, then
    // moves to `target` with Shift held; the anchor is the starting cursor.
    const FollowCase cases[] = {
        {5, 0, 5, 8, 5, 3},   // no selection, forward
        {5, 0, 5, 2, 2, 3},   // no selection, backward
        {3, 5, 8, 6, 3, 3},   // inside, cursor was at the end: shrink from the end
        {3, 5, 3, 6, 6, 2},   // inside, cursor was at the start: shrink from the start
        {3, 5, 8, 10, 3, 7},  // past the end, cursor was at the end: grow
        {3, 5, 3, 10, 8, 2},  // past the end from the start: the other side
        {3, 5, 3, 1, 1, 7},   // before the start, cursor was at the start: grow
        {3, 5, 8, 2, 2, 1},   // before the start from the end: the other side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.selStart << "," << c.selLength << " " << c.cursor << "->" << c.target);
        Edit e("0123456789", c.cursor);
        e.model.SetSelStart(c.selStart);
        e.model.SetSelLength(c.selLength);
        e.host.mode << emShift;
        e.model.SetCursorPos(c.target);
        EXPECT_EQ(c.expectStart, e.model.GetSelStart());
        EXPECT_EQ(c.expectLength, e.model.GetSelLength());
    }
}

TEST(EditModelSelection, MoveWithoutShiftDropsSelectionAndPositionsAreClamped) {
    Edit e("abcdef", 3);
    e.model.Select(2, 3);
    e.model.SetCursorPos(5);
    EXPECT_EQ(0, e.model.GetSelLength());
    EXPECT_EQ(5, e.model.GetSelStart());

    const int starts[][2] = {{-4, 3}, {100, 2}, {3, 50}, {3, -2}};
    for (const auto& s : starts) {
        e.model.SetSelStart(s[0]);
        e.model.SetSelLength(s[1]);
        EXPECT_GE(e.model.GetSelStart(), 1);
        EXPECT_LE(e.model.GetSelStart() + e.model.GetSelLength(), 7);
        EXPECT_GE(e.model.GetSelLength(), 0);
    }
    e.model.SetCursorPos(99);
    EXPECT_EQ(7, e.model.GetCursorPos());
    e.model.SetCursorPos(-3);
    EXPECT_EQ(1, e.model.GetCursorPos());
}

TEST(EditModelSelection, PlatformSelectionPairs) {
    struct {
        int from, to;
        int start, length;
    } cases[] = {
        {0, -1, 1, 10},  {5, -1, 6, 5}, {7, 2, 3, 5}, {100, 200, 11, 0}, {2, 4, 3, 2}, {-1, 0, 3, 0},
    };
    Edit e("0123456789", 3);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.from << "," << c.to);
        e.model.SetSelRange(c.from, c.to);
        EXPECT_EQ(c.start, e.model.GetSelStart());
        EXPECT_EQ(c.length, e.model.GetSelLength());
    }
}

TEST(EditModelSelection, ShiftMovesAfterDoubleClickAndSelectAllExtendFromTheEnd) {
    Edit e("ab cd ef", 5);  // cursor inside "cd"
    e.model.SelectCurrentWord();
    ASSERT_EQ(4, e.model.GetSelStart());
    ASSERT_EQ(2, e.model.GetSelLength());
    e.key(VK_RIGHT, {emShift});
    EXPECT_EQ("cd ", std::string(e.model.GetSelText().c_str()));
    e.key(VK_LEFT, {emShift});
    e.key(VK_LEFT, {emShift});
    EXPECT_EQ("c", std::string(e.model.GetSelText().c_str()));

    Edit all("abcdef", 3);
    all.model.SelectAll();
    all.key(VK_RIGHT, {emShift});
    EXPECT_EQ(6, all.model.GetSelLength());
    all.key(VK_LEFT, {emShift});
    EXPECT_EQ("abcde", std::string(all.model.GetSelText().c_str()));
}

// ---------------------------------------------------------------------------
// Undo and redo.

TEST(EditModelUndo, TypingUndoesOneCharacterPerStepAndRedoReplays) {
    Edit e;
    e.type("abc");
    ASSERT_EQ(3, e.model.UndoDepth());
    const char* after[] = {"ab", "a", ""};
    for (const char* t : after) {
        e.model.Undo();
        EXPECT_EQ(t, e.text());
        EXPECT_EQ(0, e.model.GetSelLength());
    }
    e.model.Undo();  // empty stack: nothing
    EXPECT_EQ("", e.text());
    const char* redone[] = {"a", "ab", "abc"};
    for (const char* t : redone) {
        e.model.Redo();
        EXPECT_EQ(t, e.text());
    }
    EXPECT_FALSE(e.model.CanRedo());

    e.model.Undo();
    e.model.Undo();
    e.model.Redo();
    ASSERT_TRUE(e.model.CanRedo());
    e.key(VK_END);  // drops the redone "b" from the selection
    e.type("x");  // a new change empties the redo stack
    EXPECT_FALSE(e.model.CanRedo());
    EXPECT_EQ("abx", e.text());
}

// The histories are bounded LIFO buffers: a full one drops its oldest step.
TEST(EditModelUndo, ABoundedHistoryDropsItsOldestSteps) {
    Edit e;
    e.model.UndoStackForTesting().SetMaxEntries(2);
    e.type("abcd");
    EXPECT_EQ(2, e.model.UndoDepth());
    e.model.Undo();
    e.model.Undo();
    e.model.Undo();  // "a" and "b" were dropped: nothing
    EXPECT_EQ("ab", e.text());
    e.model.Redo();
    EXPECT_EQ("abc", e.text());
}

// Whatever way a history lets go of a step, the secret it held is wiped:
// a 64-character password replaced by one typed character sits in the
// undo step's removed text (or, once undone, in the redo step's inserted
// text). Wipes of that size outside the edit's own text buffer are the step's.
TEST(EditModelUndo, AStepLetGoOfWipesTheSecretItHeld) {
    const std::string secret(64, 'S');
    struct Case {
        const char* how;
        void (*drop)(std::unique_ptr<Edit>&);
        bool undoFirst = false;
    };
    const Case cases[] = {
        {"a one-step history takes a new step",
         [](std::unique_ptr<Edit>& e) {
             e->model.UndoStackForTesting().SetMaxEntries(1);
             e->type("y");
         }},
        {"ClearUndo", [](std::unique_ptr<Edit>& e) { e->model.ClearUndo(); }},
        {"EmptyUndoBuffer", [](std::unique_ptr<Edit>& e) { e->model.EmptyUndoBuffer(); }},
        {"setting the text", [](std::unique_ptr<Edit>& e) { e->model.SetText(SecretText("next")); }},
        {"typing after an undo empties the redo history", [](std::unique_ptr<Edit>& e) { e->type("z"); }, true},
        {"the edit is freed", [](std::unique_ptr<Edit>& e) { e.reset(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        auto e = std::make_unique<Edit>(secret.c_str());
        e->model.SelectAll();
        e->type("x");
        ASSERT_EQ("x", e->text());
        if (c.undoFirst) {
            e->model.Undo();
            ASSERT_TRUE(e->model.CanRedo());
        }
        std::size_t capacity = 0;
        const char* own = e->model.BufferForTesting(capacity);
        int stepWipes = 0;
        setWipeObserverForTesting([&](const void* data, std::size_t n) {
            const char* p = static_cast<const char*>(data);
            bool inOwnText = p >= own && p < own + capacity;
            if (n >= secret.size() && !inOwnText) ++stepWipes;
        });
        c.drop(e);
        setWipeObserverForTesting(nullptr);
        EXPECT_GE(stepWipes, 1);
    }
}

TEST(EditModelUndo, UndoRestoresTheTextBeforeEveryKindOfChange) {
    struct Case {
        const char* name;
        const char* text;
        int cursor;
        void (*change)(Edit&);
        bool overwriteWhileUndoing;
    } cases[] = {
        {"refused paste over a selection", "abcdefghij", 1,
         [](Edit& e) {
             e.model.MaxLength = 10;
             e.model.Select(3, 2);
             e.model.SetSelText(SecretText("XYZ"));
         },
         false},
        {"overwrite in the middle", "abcd", 2,
         [](Edit& e) {
             e.host.mode = {};
             e.type("XY");
         },
         false},
        {"overwrite at the end", "ab", 2,
         [](Edit& e) {
             e.host.mode = {};
             e.type("XYZ");
         },
         false},
        {"Backspace over the LF of a pair", "a\r\nb", 4, [](Edit& e) { e.key(VK_BACK); }, false},
        {"Delete at the CR of a pair", "a\r\nb", 2, [](Edit& e) { e.key(VK_DELETE); }, true},
        {"undo while in overwrite mode", "abc", 4,
         [](Edit& e) {
             e.model.Select(1, 1);
             e.type("Q");
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e(c.text, c.cursor);
        c.change(e);
        ASSERT_NE(visible(c.text), visible(e.text()));
        std::string changed = e.text();
        e.host.mode = c.overwriteWhileUndoing ? TQCLEditMode{} : TQCLEditMode{emInsert};
        while (e.model.CanUndo()) e.model.Undo();
        EXPECT_EQ(visible(c.text), visible(e.text()));
        while (e.model.CanRedo()) e.model.Redo();
        EXPECT_EQ(visible(changed), visible(e.text()));
    }
}

TEST(EditModelUndo, UndoSelectsTheRestoredTextAndReadOnlyBlocksIt) {
    Edit e("hello world", 1);
    e.model.Select(7, 5);
    e.model.SetSelText(SecretText());
    e.model.Undo();
    EXPECT_EQ("hello world", e.text());
    EXPECT_EQ(7, e.model.GetSelStart());
    EXPECT_EQ(5, e.model.GetSelLength());

    e.model.Redo();
    ASSERT_EQ("hello ", e.text());
    e.model.ReadOnly = true;
    e.model.Undo();
    EXPECT_EQ("hello ", e.text());
    EXPECT_TRUE(e.model.CanUndo());  // still there once the edit is writable again
    e.model.ReadOnly = false;
    e.model.Undo();
    EXPECT_EQ("hello world", e.text());
}

// ---------------------------------------------------------------------------
// Keys.

TEST(EditModelKeys, CommandTable) {
    struct Case {
        const char* name;
        const char* text;
        int cursor;
        WORD key;
        TQCLEditMode held;
        const char* expectText;
        int expectCursor;
        int expectUndo;
    } cases[] = {
        {"Backspace deletes before the cursor", "abc", 3, VK_BACK, {}, "ac", 2, 1},
        {"Backspace at 1 does nothing", "abc", 1, VK_BACK, {}, "abc", 1, 0},
        {"Backspace over LF takes the CR", "a\r\nb", 4, VK_BACK, {}, "ab", 2, 1},
        {"Backspace over a lone LF takes only it", "a\nb", 3, VK_BACK, {}, "ab", 2, 1},
        {"Delete at the cursor", "abc", 2, VK_DELETE, {}, "ac", 2, 1},
        {"Delete at the end does nothing", "abc", 4, VK_DELETE, {}, "abc", 4, 0},
        {"Delete on an empty text", "", 1, VK_DELETE, {}, "", 1, 0},
        {"Left", "abc", 3, VK_LEFT, {}, "abc", 2, 0},
        {"Left jumps a CR LF pair", "a\r\nb", 4, VK_LEFT, {}, "a\r\nb", 2, 0},
        {"Left at 1", "abc", 1, VK_LEFT, {}, "abc", 1, 0},
        {"Right jumps a CR LF pair", "a\r\nb", 2, VK_RIGHT, {}, "a\r\nb", 4, 0},
        {"Right at the end", "abc", 4, VK_RIGHT, {}, "abc", 4, 0},
        {"Home", "ab cd", 4, VK_HOME, {}, "ab cd", 1, 0},
        {"Home after a line break", "ab\r\ncd", 6, VK_HOME, {}, "ab\r\ncd", 5, 0},
        {"Ctrl+Home", "ab\r\ncd", 6, VK_HOME, {emCtrl}, "ab\r\ncd", 1, 0},
        {"End stops at CR", "ab\r\ncd", 1, VK_END, {}, "ab\r\ncd", 3, 0},
        {"End", "abc", 1, VK_END, {}, "abc", 4, 0},
        {"Ctrl+Right to the next word's end", "ab cd ef", 1, VK_RIGHT, {emCtrl}, "ab cd ef", 3, 0},
        {"Ctrl+Left", "ab cd ef", 7, VK_LEFT, {emCtrl}, "ab cd ef", 3, 0},
        {"Up and Down do nothing", "abc", 2, VK_UP, {}, "abc", 2, 0},
        {"Ctrl+Z does nothing", "abc", 2, 'Z', {emCtrl}, "abc", 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e(c.text, c.cursor);
        e.key(c.key, c.held);
        EXPECT_EQ(visible(c.expectText), visible(e.text()));
        EXPECT_EQ(c.expectCursor, e.model.GetCursorPos());
        EXPECT_EQ(c.expectUndo, e.model.UndoDepth());
    }
}

TEST(EditModelKeys, ShiftExtendsAndInsertTogglesTheSharedMode) {
    Edit e("abcdef", 2);
    e.key(VK_RIGHT, {emShift});
    e.key(VK_RIGHT, {emShift});
    EXPECT_EQ("bc", std::string(e.model.GetSelText().c_str()));
    e.key(VK_END, {emShift});
    EXPECT_EQ("bcdef", std::string(e.model.GetSelText().c_str()));
    e.key(VK_ESCAPE);
    EXPECT_EQ(0, e.model.GetSelLength());

    e.key(VK_INSERT);
    EXPECT_FALSE(e.host.mode.Contains(emInsert));
    e.key(VK_INSERT, {emAlt});
    EXPECT_FALSE(e.host.mode.Contains(emInsert));
    e.key(VK_INSERT);
    EXPECT_TRUE(e.host.mode.Contains(emInsert));
}

TEST(EditModelKeys, TypingFollowsCharCaseAndIgnoresControlCharacters) {
    Edit e;
    e.model.CharCase = ecUpperCase;
    e.type("ab\x01\t1z");
    EXPECT_EQ("AB1Z", e.text());
    e.model.CharCase = ecLowerCase;
    e.type("QW\xC4");
    EXPECT_EQ("AB1Zqw\xC4", e.text());
}

// ---------------------------------------------------------------------------
// Clipboard.

TEST(EditModelClipboard, CopyCutPasteByKeysAndTheirRefusals) {
    struct Case {
        const char* name;
        bool password, readOnly, selection;
        WORD key;
        TQCLEditMode held;
        const char* expectText;
        const char* expectClipboard;
    } cases[] = {
        {"Ctrl+C copies", false, false, true, 'C', {emCtrl}, "hello", "ell"},
        {"Ctrl+Insert copies", false, false, true, VK_INSERT, {emCtrl}, "hello", "ell"},
        {"Ctrl+X cuts", false, false, true, 'X', {emCtrl}, "ho", "ell"},
        {"Shift+Delete cuts", false, false, true, VK_DELETE, {emShift}, "ho", "ell"},
        {"Ctrl+V pastes over the selection", false, false, true, 'V', {emCtrl}, "hCLIPo", "CLIP"},
        {"Shift+Insert pastes", false, false, false, VK_INSERT, {emShift}, "heCLIPllo", "CLIP"},
        {"read-only copies", false, true, true, 'C', {emCtrl}, "hello", "ell"},
        {"read-only cut copies and keeps the text", false, true, true, 'X', {emCtrl}, "hello", "ell"},
        {"read-only refuses paste", false, true, true, 'V', {emCtrl}, "hello", "CLIP"},
        {"password refuses copy", true, false, true, 'C', {emCtrl}, "hello", "CLIP"},
        {"password refuses cut and keeps the text", true, false, true, 'X', {emCtrl}, "hello", "CLIP"},
        {"password refuses cut by Shift+Delete", true, false, true, VK_DELETE, {emShift}, "hello", "CLIP"},
        {"password refuses paste", true, false, true, 'V', {emCtrl}, "hello", "CLIP"},
        {"copy with nothing selected leaves the clipboard", false, false, false, 'C', {emCtrl}, "hello", "CLIP"},
        {"cut with nothing selected leaves both", false, false, false, 'X', {emCtrl}, "hello", "CLIP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e("hello", 3);
        e.host.clipboard = "CLIP";
        e.host.clipboardHasText = true;
        e.host.allowCopy = !c.password;
        e.model.ReadOnly = c.readOnly;
        if (c.selection) e.model.Select(2, 3);
        e.key(c.key, c.held);
        EXPECT_EQ(c.expectText, e.text());
        EXPECT_EQ(c.expectClipboard, e.host.clipboard);
        if (std::string(c.expectClipboard) == "CLIP") {
            EXPECT_EQ(0, e.host.clipboardWrites);
        }
    }
}

TEST(EditModelClipboard, PasteRespectsMaxLengthAndKeepsLineBreaks) {
    Edit e(std::string(4090, 'a').c_str(), 1);
    e.model.MaxLength = 4096;
    e.host.clipboardHasText = true;
    e.host.clipboard = std::string(10, 'b');
    e.model.Select(5, 3);
    e.model.PasteFromClipboard();
    EXPECT_EQ(4087, e.model.GetLength());  // the selection went, nothing came in
    e.model.Undo();
    EXPECT_EQ(4090, e.model.GetLength());
    e.host.clipboard = std::string(9, 'b');
    e.model.Select(5, 3);
    e.model.PasteFromClipboard();
    EXPECT_EQ(4096, e.model.GetLength());

    Edit lines("x\r\ny", 3);  // cursor between CR and LF
    lines.host.clipboardHasText = true;
    lines.host.clipboard = "1\r\n2";
    lines.model.PasteFromClipboard();
    EXPECT_EQ(visible("x1\r\n2\r\ny"), visible(lines.text()));
}

// ---------------------------------------------------------------------------
// Words, ranges, search, drag-move.

TEST(EditModelWords, WordFunctionsTable) {
    struct Case {
        const char* text;
        int cursor;
        const char* selectCurrent;
        const char* currentWord;
    } cases[] = {
        {"ab cd ef", 5, "cd", " cd"},
        {"ab cd ef", 4, "cd", " cd"},
        {"ab cd ef", 3, "ab", "ab"},     // on the space after "ab"
        {"ab cd ef", 9, "ef", " ef"},    // after the end: the last word, whole
        {"ab cd ef", 8, "ef", " e"},     // the current word stops at the text length
        {"ab  cd", 4, "", " "},          // between two spaces: nothing to select
        {"a   b", 3, "", " "},           // inside a run of spaces
        {"  ab", 1, "", ""},             // on a leading space
        {"password", 4, "password", "passwor"},
        {"", 1, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "'" << c.text << "' at " << c.cursor);
        Edit e(c.text, c.cursor);
        EXPECT_EQ(c.currentWord, std::string(e.model.GetCurrentWord().c_str()));
        e.model.SelectCurrentWord();
        EXPECT_EQ(c.selectCurrent, std::string(e.model.GetSelText().c_str()));
        EXPECT_GE(e.model.GetSelLength(), 0);
        if (!*c.selectCurrent) {
            EXPECT_EQ(c.cursor, e.model.GetSelStart());  // empty: at the cursor
        }
    }
}

TEST(EditModelWords, LeftRightWordsAndCounts) {
    Edit e("one two three", 6);  // inside "two"
    e.model.SelectRightWord();
    EXPECT_EQ("wo", std::string(e.model.GetSelText().c_str()));
    e.model.SelectLeftWord();
    EXPECT_EQ("t", std::string(e.model.GetSelText().c_str()));
    e.model.SetCursorPos(14);
    e.model.SelectLeftWord();
    EXPECT_EQ("three", std::string(e.model.GetSelText().c_str()));
    EXPECT_EQ(2, e.model.CountWords());
    e.model.Delimiters.set(',');
    e.model.SetText(SecretText("a,b c"));
    EXPECT_EQ(2, e.model.CountWords());
}

TEST(EditModelRanges, ReplaceCaseCutCopyInsertAdd) {
    Edit e("Hello World", 1);
    e.model.Select(1, 2);
    e.model.Upper(7, 5);
    EXPECT_EQ("Hello WORLD", e.text());
    EXPECT_EQ(1, e.model.GetSelStart());
    EXPECT_EQ(2, e.model.GetSelLength());
    e.model.Lower(1, 3);
    EXPECT_EQ("hello WORLD", e.text());
    EXPECT_EQ("lo", std::string(e.model.Copy(4, 2).c_str()));
    EXPECT_EQ("WORLD", std::string(e.model.Copy(7, 99).c_str()));
    EXPECT_EQ(" WOR", std::string(e.model.Cut(6, 4).c_str()));
    EXPECT_EQ("helloLD", e.text());
    e.model.Insert(6, SecretText("--"));
    EXPECT_EQ("hello--LD", e.text());
    e.model.Add(SecretText("!"));
    EXPECT_EQ("hello--LD!", e.text());
    EXPECT_FALSE(e.model.CanUndo());
}

TEST(EditModelSearch, FindsWholeWordsAtBothEndsAndAsksAtTheEnd) {
    struct Case {
        const char* text;
        const char* pattern;
        TQCLSearchStart start;
        bool matchCase, wholeWord;
        TQCLSearchDirection dir;
        int expectStart;  // 0: not found
    } cases[] = {
        {"cat and cat", "cat", stTop, true, true, sdDown, 1},
        {"cat and cat", "cat", stBottom, true, true, sdUp, 9},
        {"concat cat", "cat", stTop, true, true, sdDown, 8},
        {"concat", "cat", stTop, true, true, sdDown, 0},
        {"concat", "cat", stTop, true, false, sdDown, 4},
        {"Cat", "cat", stTop, true, false, sdDown, 0},
        {"Cat", "cat", stTop, false, false, sdDown, 1},
        {"abc", "", stTop, false, false, sdDown, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.text << " / " << c.pattern);
        Edit e(c.text, 1);
        bool found = e.model.Search(c.pattern, c.start, c.matchCase, c.wholeWord, c.dir);
        EXPECT_EQ(c.expectStart != 0, found);
        if (found) {
            EXPECT_EQ(c.expectStart, e.model.GetSelStart());
            EXPECT_EQ(static_cast<int>(strlen(c.pattern)), e.model.GetSelLength());
        }
    }
}

TEST(EditModelSearch, ReplaceAllReplacesEveryMatch) {
    Edit e("a-b-c", 1);
    e.model.Delimiters.set('-');
    EXPECT_TRUE(e.model.SearchAndReplace("b", SecretText("bb"), stTop, true, false, sdDown, false, true));
    EXPECT_EQ("a-bb-c", e.text());
    EXPECT_TRUE(e.model.SearchAndReplace("-", SecretText("+"), stTop, true, false, sdDown, false, true));
    EXPECT_EQ("a+bb+c", e.text());
    EXPECT_FALSE(e.model.SearchAndReplace("z", SecretText("y"), stTop, true, false, sdDown, false, true));
}

TEST(EditModelSearch, AnEndOfTheTextAsksWhetherToRestart) {
    struct Case {
        const char* pattern;
        TQCLSearchDirection dir;
        int answer;
        const char* asked;
        int expectStart;  // 0: not found
    } cases[] = {
        {"cat", sdDown, IDYES, "restart-from-top ", 1},
        {"cat", sdDown, IDNO, "restart-from-top ", 0},
        {"dog", sdUp, IDYES, "restart-from-bottom ", 5},
        {"dog", sdUp, IDNO, "restart-from-bottom ", 0},
        {"cow", sdDown, IDYES, "restart-from-top ", 0},  // asked once, then not found
        {"dog", sdDown, IDYES, "", 5},                   // found before the end: no question
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.pattern << " answer " << c.answer);
        Edit e("cat dog", 4);
        e.host.answers = {c.answer};
        bool found = e.model.Search(c.pattern, stCursor, true, false, c.dir);
        EXPECT_EQ(c.expectStart != 0, found);
        EXPECT_EQ(c.asked, e.host.asked);
        if (found) {
            EXPECT_EQ(c.expectStart, e.model.GetSelStart());
        }
    }
}

TEST(EditModelSearch, PromptedReplaceAsksAtEachMatch) {
    struct Case {
        const char* name;
        bool replaceAll;
        std::vector<int> answers;
        const char* expectText;
        bool expectResult;
        const char* asked;
    } cases[] = {
        {"yes, one match only", false, {IDYES}, "b-a-a", true, "replace?/all "},
        {"no, one match only", false, {IDNO}, "a-a-a", false, "replace?/all "},
        {"yes no yes, then no restart", true, {IDYES, IDNO, IDYES, IDNO}, "b-a-b", true,
         "replace? replace? replace? restart-from-top "},
        {"yes then cancel", true, {IDYES, IDCANCEL}, "b-a-a", false, "replace? replace? "},
        {"all turns on replacing every match", false, {QCLReplaceAll, IDYES, IDYES, IDNO}, "a-b-b", true,
         "replace?/all replace? replace? restart-from-top "},
        {"skipped matches found again after a restart", true, {IDNO, IDYES, IDYES, IDYES, IDYES, IDNO}, "b-b-b",
         true, "replace? replace? replace? restart-from-top replace? restart-from-top "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e("a-a-a", 1);
        e.host.answers = c.answers;
        bool result = e.model.SearchAndReplace("a", SecretText("b"), stTop, true, false, sdDown, true, c.replaceAll);
        EXPECT_EQ(c.expectText, e.text());
        EXPECT_EQ(c.expectResult, result);
        EXPECT_EQ(c.asked, e.host.asked);
        EXPECT_TRUE(e.host.answers.empty()) << "every scripted answer used";
    }
}

TEST(EditModelDrag, MovingTheSelection) {
    struct Case {
        const char* name;
        bool overwrite;
        int target;
        const char* expect;
    } cases[] = {
        {"forward", false, 7, "adefbcg"},
        {"backward", false, 1, "bcadefg"},
        {"forward in overwrite mode", true, 7, "adefbcg"},
        {"backward in overwrite mode", true, 1, "bcadefg"},
        {"dropped inside the selection", false, 3, "abcdefg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e("abcdefg", 1);
        if (c.overwrite) e.host.mode = {};
        e.model.Select(2, 2);
        e.model.MoveSelectionTo(c.target);
        EXPECT_EQ(c.expect, e.text());
        EXPECT_EQ(0, e.model.GetSelLength());
    }
}

}  // namespace
