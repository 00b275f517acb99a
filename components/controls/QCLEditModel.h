/*
 * The text model of the library edit, without a window: the text, the cursor,
 * the selection with its anchor, the undo and redo histories, and the word,
 * key, clipboard and search commands. TQCLBaseEdit owns one and drives it; the
 * model calls back through TQCLEditModelHost for everything a window adds
 * (the shared insert/overwrite mode and modifier bits, the clipboard,
 * redrawing and the change events).
 *
 * Tricky points:
 * - Positions are 1-based: the cursor lies before character CursorPos, and
 *   1 <= CursorPos <= length + 1. SelStart and SelLength are clamped to the
 *   text wherever they are stored or used, so no command reads past it.
 * - SetSelText is the one path of every change. Its undo entry is built after
 *   the change is known (CR LF widening, overwrite, a refused insertion), from
 *   what was really removed and inserted, so a replay restores exact ranges.
 *   Replays bypass overwrite, widening and MaxLength. A change that changes
 *   nothing leaves no entry and fires nothing.
 * - A CR LF pair is kept whole only when both halves are really there; a
 *   lone CR or LF is an ordinary character.
 * - The text, the clipboard copies and every undo text are SecretText: they
 *   hold master passwords, so each is overwritten before it is freed, and the
 *   bytes a shortened text leaves behind in its buffer are overwritten too.
 * - The histories are two library LIFO buffers of heap entries; whatever a
 *   buffer drops (cleared, or the oldest of a bounded full one) goes through
 *   freeEntry, so no typed secret outlives its entry unwiped.
 * - Setting Text empties both histories: an edit reused for another record
 *   must not replay the previous record's typing on it.
 * - ReadOnly blocks every change, undo and redo included; copying still works.
 */
#pragma once

#include "components/runtime/QCLDynLIFOBuffer.h"
#include "components/runtime/qclclass.h"
#include "framework/Classes.h"
#include "framework/StdCtrls.h"
#include "vault/SecureMemory.h"

#include <bitset>
#include <vector>

enum TQCLSearchStart { stTop, stBottom, stCursor };
enum TQCLSearchDirection { sdUp, sdDown };
// The answer "All" of the replace prompt.
constexpr int QCLReplaceAll = 100;

// What a window adds to the model. The defaults suit a model on its own.
class TQCLEditModelHost {
public:
    virtual ~TQCLEditModelHost() = default;
    // The shared edit mode (insert/overwrite and modifier bits).
    virtual TQCLEditMode GetEditMode() = 0;
    virtual void SetEditMode(TQCLEditMode Mode) = 0;
    virtual bool AllowCopyPaste() { return true; }
    virtual bool ClipboardHasText() { return false; }
    virtual SecretText GetClipboardText() { return SecretText(); }
    virtual void SetClipboardText(const SecretText&) {}
    virtual void BeforeChangeText() {}
    // Exactly what is removed at At, then what is inserted there.
    virtual void HandleReplaceText(int, const SecretText&) {}
    virtual void HandleInsertText(int, const SecretText&) {}
    // The text changed at At: redraw and fire the change events.
    virtual void ChangedText(int) {}
    // The text was replaced as a whole (Text setter).
    virtual void NewText() {}
    virtual void CursorPosChanged() {}
    // The whole text wants redrawing (the selection changed, EndUpdate at 0).
    virtual void Redraw() {}
    virtual void ModifiedChanged() {}
    // Search prompts: "At top/bottom ... restart?" and "Replace?";
    // AskReplace answers IDYES, IDNO, IDCANCEL or QCLReplaceAll.
    virtual bool AskRestartSearch(bool /*Upward*/) { return false; }
    virtual int AskReplace(bool) { return IDYES; }
};

class TQCLEditModel {
public:
    explicit TQCLEditModel(TQCLEditModelHost* Host);
    ~TQCLEditModel();
    TQCLEditModel(const TQCLEditModel&) = delete;
    TQCLEditModel& operator=(const TQCLEditModel&) = delete;

    const SecretText& Text() const { return text_; }
    AnsiString GetText() const { return AnsiString(text_.data(), text_.size()); }
    // No undo entry, Modified unchanged; both histories emptied.
    void SetText(const SecretText& Value);
    int GetLength() const { return static_cast<int>(text_.size()); }
    char CharAt(int Pos) const;  // 1-based; 0 outside the text

    int GetCursorPos() const { return cursorPos_; }
    // Moves the cursor; the selection follows (by the shared Shift bit).
    void SetCursorPos(int Value);
    int GetAnchor() const { return anchor_; }
    int GetSelStart() const { return selStart_; }
    int GetSelLength() const { return selLength_; }
    void SetSelStart(int Value);
    void SetSelLength(int Value);
    // Selects the range and puts the cursor at its end, so a Shift move
    // extends from its start.
    void Select(int Start, int Length);
    // Platform semantics (0-based, -1 as end means the end, ends ordered).
    void SetSelRange(int From, int To);
    SecretText GetSelText() const;
    void SetSelText(const SecretText& Value);
    // Copies at most Size selected characters to Buffer (no terminator).
    int GetSelTextBuf(char* Buffer, int Size) const;
    void SelectAll();
    void ClearSelection() { SetSelText(SecretText()); }
    void Clear();

    int MaxLength = 0;
    bool ReadOnly = false;
    bool OEMConvert = false;
    TEditCharCase CharCase = ecNormal;
    std::bitset<256> Delimiters;
    bool IsDelimiter(char C) const { return Delimiters.test(static_cast<unsigned char>(C)); }

    bool GetModified() const { return modified_; }
    void SetModified(bool Value);

    void BeginUpdate() { ++updateCount_; }
    // Redraws only when the counter is already 0 (balanced pairs do not).
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    bool CanUndo() const { return undo_.GetCount() > 0; }
    bool CanRedo() const { return redo_.GetCount() > 0; }
    int UndoDepth() const { return undo_.GetCount(); }
    int RedoDepth() const { return redo_.GetCount(); }
    void Undo();
    void Redo();
    void ClearUndo();
    void EmptyUndoBuffer();

    // Typing: a character below 32 is ignored; CharCase applies to letters.
    void TypeChar(char Key);
    // A key command (the shared modifier bits already set); true when the
    // key was consumed (Ctrl+A/C/V/X).
    bool CommandKey(WORD Key, bool Enabled = true);

    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    void Replace(int Start, int Count, const SecretText& Value);
    void Upper(int Start, int Count);
    void Lower(int Start, int Count);
    SecretText Cut(int Start, int Count);
    SecretText Copy(int Start, int Count) const;
    void Insert(int Position, const SecretText& Value);
    void Add(const SecretText& Value);

    void GotoParaStart();
    void GotoParaEnd();
    void GotoNextWord();
    void GotoPrevWord();
    void SelectLeftWord();
    void SelectRightWord();
    void SelectCurrentWord();
    SecretText GetCurrentWord() const;
    int CountWords() const;

    bool Search(const AnsiString& Pattern, TQCLSearchStart Start, bool MatchCase, bool WholeWord,
                TQCLSearchDirection Direction);
    bool SearchAndReplace(const AnsiString& Pattern, const SecretText& NewText, TQCLSearchStart Start,
                          bool MatchCase, bool WholeWord, TQCLSearchDirection Direction, bool Prompt,
                          bool ReplaceAll);

    // Drag-move of the selection: drops it at Target (a cursor position).
    // Inside the selection it only clears it.
    void MoveSelectionTo(int Target);
    bool InsideSelection(int Pos) const { return selLength_ > 0 && Pos > selStart_ && Pos < selStart_ + selLength_; }

    // Set while a typed character goes in, or a drag of the selection runs:
    // the cursor moves without the selection following.
    bool Typing = false;
    bool Dragging = false;
    bool MouseExtend = false;

    // The undo history itself, for bounding it in a test (MaxEntries).
    TQCLDynLIFOBuffer& UndoStackForTesting() { return undo_; }

    // The bytes of the text's buffer past its end, for checking they were wiped.
    const char* BufferForTesting(std::size_t& Capacity) const {
        Capacity = text_.capacity();
        return text_.data();
    }

private:
    struct UndoEntry {
        SecretText inserted;
        SecretText removed;
        int selStart;
        int cursorPos;
    };

    bool shiftHeld() { return host_->GetEditMode().Contains(emShift); }
    void clampSelection();
    void followSelection();
    void moveCursor(int Value);
    void replaceRange(int At, int Count, const SecretText& Value, int& NewCursor);
    void replay(TQCLDynLIFOBuffer& from, bool undoing);
    void pushEntry(UndoEntry&& entry);
    // The stacks' routine for an entry they drop: its texts wipe themselves.
    void freeEntry(TObject* Sender, void* Item);
    void eraseText(int At, int Count);

    TQCLEditModelHost* host_;
    SecretText text_;
    int cursorPos_ = 1;
    int anchor_ = 1;
    int selStart_ = 1;
    int selLength_ = 0;
    bool modified_ = false;
    int updateCount_ = 0;
    bool undoing_ = false;
    bool redoing_ = false;
    bool replaying_ = false;
    bool forceInsert_ = false;
    // Entries are heap UndoEntry objects owned by the stack that holds them.
    TQCLDynLIFOBuffer undo_;
    TQCLDynLIFOBuffer redo_;
};
