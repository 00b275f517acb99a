/*
 * TQCLBaseEdit: the library's owner-drawn editing engine on a bevel panel. It
 * keeps no Windows edit control: the text model (TQCLEditModel) holds the
 * text, cursor, selection and histories, and this class feeds it the keys,
 * the mouse, the clipboard and the EM_* messages, and draws through the
 * abstract layout operations that TQCLCustomEdit fills in for one line.
 *
 * Tricky points:
 * - SelStart and CursorPos are 1-based here, 0-based in the EM_* messages.
 * - OnChange fires before the cursor moves after a change (the record
 *   editor relies on that order).
 * - The insert/overwrite mode and the modifier bits belong to the library's
 *   application object and are shared by all library edits. A mouse press
 *   reads the modifier bits again from the keyboard: a Shift released while
 *   another control had the focus (after Shift+Tab) would otherwise still
 *   count and extend the selection instead of placing the cursor.
 * - A click places the cursor from the click's own coordinates, not from the
 *   last WM_MOUSEMOVE (synthetic input and a focus arriving under a still
 *   mouse send no move first).
 * - The window text is never handed to the default window procedure: it
 *   lives only in the model's wiped buffer (master passwords pass here). Nor
 *   is it read out when the window goes (the framework keeps a window's text
 *   for the next one): the model outlives the window, and a plain copy would
 *   outlive the edit unwiped.
 * - Enter, Escape and Tab stay with the form: WM_GETDLGCODE asks only for
 *   arrows and characters.
 */
#pragma once

#include "components/controls/QCLCaret.h"
#include "components/controls/QCLCustomPanel.h"
#include "components/controls/QCLEditModel.h"
#include "components/runtime/QCL3DCaption.h"
#include "framework/Menus.h"

#include <memory>

using TQCLTextChangeEvent = TEvent<void(TObject* Sender, int At)>;

class TQCLBaseEdit : public TQCLCustomBevelPanel, protected TQCLEditModelHost {
public:
    explicit TQCLBaseEdit(TComponent* AOwner);
    ~TQCLBaseEdit() override;
    AnsiString ClassName() const override { return "TQCLBaseEdit"; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;
    void DestroyWnd() override;
    void GetChange(TObject* Sender) override;

    TQCLEditModel& Model() { return model_; }

    // The text and selection (positions 1-based).
    AnsiString GetText() const { return model_.GetText(); }
    void SetText(const AnsiString& Value);
    int GetLength() const { return model_.GetLength(); }
    AnsiString GetSelText() const;
    void SetSelText(const AnsiString& Value) { model_.SetSelText(SecretText(Value.data(), Value.size())); }
    void SetSelTextBuf(const char* Buffer) { SetSelText(Buffer ? AnsiString(Buffer) : AnsiString()); }
    virtual int GetSelTextBuf(char* Buffer, int Size) { return model_.GetSelTextBuf(Buffer, Size); }
    int GetSelStart() const { return model_.GetSelStart(); }
    int GetSelLength() const { return model_.GetSelLength(); }
    int GetCursorPos() const { return model_.GetCursorPos(); }
    // Indexed setters: 0 MaxLength, 1 SelStart, 2 SelLength, 5 CursorPos.
    void SetInteger(int Index, int Value);
    // 0 HideSelection, 1 ReadOnly, 2 Modified, 4 AutoSelect, 5 OEMConvert, 6 FocusOnMouseAbove.
    void SetBoolean(int Index, bool Value);
    void SetSelStart(int Value) { SetInteger(1, Value); }
    void SetSelLength(int Value) { SetInteger(2, Value); }
    void SetCursorPos(int Value) { SetInteger(5, Value); }
    void SetMaxLength(int Value) { SetInteger(0, Value); }
    int GetMaxLength() const { return model_.MaxLength; }
    void SetReadOnly(bool Value) { SetBoolean(1, Value); }
    bool GetReadOnly() const { return model_.ReadOnly; }
    bool GetModified() const { return model_.GetModified(); }
    void SetModified(bool Value) { SetBoolean(2, Value); }

    void SelectAll() { model_.SelectAll(); }
    void ClearSelection() { model_.ClearSelection(); }
    virtual void Clear() { model_.Clear(); }
    void CopyToClipboard() { model_.CopyToClipboard(); }
    virtual void CutToClipboard() { model_.CutToClipboard(); }
    virtual void PasteFromClipboard() { model_.PasteFromClipboard(); }
    void Undo() { model_.Undo(); }
    void Redo() { model_.Redo(); }
    void ClearUndo() { model_.ClearUndo(); }
    void BeginUpdate() { model_.BeginUpdate(); }
    void EndUpdate() { model_.EndUpdate(); }
    virtual void SelectCurrentWord() { model_.SelectCurrentWord(); }

    // Searching asks at an end of the text whether to restart from the other
    // end (the platform's box, caption "Search"); replacing with Prompt asks
    // "Replace?" at each match (QCLReplacePrompt.h).
    bool Search(const AnsiString& Pattern, TQCLSearchStart Start, bool MatchCase, bool WholeWord,
                TQCLSearchDirection Direction) {
        return model_.Search(Pattern, Start, MatchCase, WholeWord, Direction);
    }
    bool SearchAndReplace(const AnsiString& Pattern, const AnsiString& NewText, TQCLSearchStart Start,
                          bool MatchCase, bool WholeWord, TQCLSearchDirection Direction, bool Prompt,
                          bool ReplaceAll) {
        return model_.SearchAndReplace(Pattern, SecretText(NewText.data(), NewText.size()), Start, MatchCase,
                                       WholeWord, Direction, Prompt, ReplaceAll);
    }

    // Width and height of a text in the edit's font (0 for an empty text).
    int RowWidth(const AnsiString& Text);
    virtual int RowHeight(const AnsiString& Text);
    void SetQCLCaretPos(int X, int Y);

    // The context menu a right click shows (built afresh for each click).
    std::unique_ptr<TPopupMenu> BuildContextMenuForTesting() { return buildContextMenu(); }
    int GetScrollOffsetForTesting() const { return scrollOffset_; }
    bool SelectionHiddenForTesting() const { return selectionHidden_; }
    TBitmap* BackBitmapForTesting() { return back_; }

    TQCLCaret* GetCaret() const { return caret_; }
    void SetCaretObject(TQCLCaret* Value) { caret_->Assign(Value); }
    TQCL3DCaption* GetFont3D() const { return font3D_; }
    void SetFont3D(TQCL3DCaption* Value);
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment Value);

    bool HideSelection = true;
    bool AutoSelect = false;
    bool FocusOnMouseAbove = false;
    TColor HighlightBack = clHighlight;
    TColor HighlightText = clHighlightText;
    TNotifyEvent OnChange;
    TNotifyEvent OnModified;
    TNotifyEvent OnCursorPosChanged;
    TQCLTextChangeEvent OnTextChangedAt;

    BRIM_PROPERTY(SelStart, TQCLBaseEdit::GetSelStart, TQCLBaseEdit::SetSelStart);
    BRIM_PROPERTY(SelLength, TQCLBaseEdit::GetSelLength, TQCLBaseEdit::SetSelLength);
    BRIM_PROPERTY(CursorPos, TQCLBaseEdit::GetCursorPos, TQCLBaseEdit::SetCursorPos);
    BRIM_PROPERTY(MaxLength, TQCLBaseEdit::GetMaxLength, TQCLBaseEdit::SetMaxLength);
    BRIM_PROPERTY(ReadOnly, TQCLBaseEdit::GetReadOnly, TQCLBaseEdit::SetReadOnly);
    BRIM_PROPERTY(Modified, TQCLBaseEdit::GetModified, TQCLBaseEdit::SetModified);

protected:
    // Layout and drawing, filled in by the one-line edit.
    virtual void SetupRects();
    virtual void CreateBack();
    virtual int CalcMouseCol(int) { return 0; }
    virtual int CalcMouseRow(int) { return 0; }
    virtual void DoAlignmentChange() {}
    virtual void SetCaret() = 0;
    virtual void SetNewText() = 0;
    virtual void GetNewText() {}
    virtual void DrawText(int Position) = 0;
    virtual int CalcMousePos(const TPoint& Point) = 0;
    virtual void CursorPosChanged() override;
    virtual void ChangedText(int At) override;
    virtual void RepaintBack(const TRect& Rect);
    virtual void ModifyTextRect() {}
    // Width of the first Count characters as the line shows them.
    virtual int ShownWidth(int Count);
    virtual void ModifyPaintRect() {}
    bool AllowCopyPaste() override { return true; }

    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    virtual bool GetCommandKey(WORD Key);

    // The model's host.
    TQCLEditMode GetEditMode() override;
    void SetEditMode(TQCLEditMode Mode) override;
    bool ClipboardHasText() override;
    SecretText GetClipboardText() override;
    void SetClipboardText(const SecretText& Text) override;
    void NewText() override { SetNewText(); }
    void Redraw() override { DrawText(model_.GetCursorPos()); }
    void ModifiedChanged() override {
        if (OnModified) OnModified(this);
    }
    bool AskRestartSearch(bool Upward) override;
    int AskReplace(bool ReplaceAll) override;

    bool hasFocus();
    TCanvas* drawCanvas();

    TQCLEditModel model_{this};
    TQCL3DCaption* font3D_;
    TQCLCaret* caret_;
    TBitmap* back_ = nullptr;
    TRect innerRect_, paintRect_, textRect_;
    int scrollOffset_ = 0;
    bool selectionHidden_ = true;
    TAlignment alignment_ = taLeftJustify;

private:
    void setModifiersFrom(TShiftState Shift);
    void refreshModifiersFromKeyboard(WPARAM MouseKeys);
    void mouseStep();
    void timerTick(TObject*);
    void lButtonDown(TMessage& Message);
    void lButtonUp(TMessage& Message);
    void mouseMove(TMessage& Message);
    void contextMenu(TMessage& Message);
    std::unique_ptr<TPopupMenu> buildContextMenu();
    bool editMessage(TMessage& Message);
    void menuUndo(TObject*) { Undo(); }
    void menuCut(TObject*) { CutToClipboard(); }
    void menuCopy(TObject*) { CopyToClipboard(); }
    void menuPaste(TObject*) { PasteFromClipboard(); }
    void menuDelete(TObject*) { ClearSelection(); }
    void menuSelectAll(TObject*) { SelectAll(); }

    bool leftDown_ = false;
    TPoint lastMouse_;
    uint16_t timer_ = 0;
    bool destroyingWindow_ = false;
    HCURSOR savedCursor_ = nullptr;
};
