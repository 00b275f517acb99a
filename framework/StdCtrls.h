/*
 * Standard controls: the label (windowless), and thin wrappers of the system
 * EDIT, LISTBOX, COMBOBOX and BUTTON classes (edit, memo, list box, combo
 * box, check box, radio button).
 *
 * Changes made from code fire events only where the framework did:
 *  - Text of an edit or memo: OnChange exactly once. A single-line EDIT sends
 *    EN_CHANGE while it handles WM_SETTEXT; that notification is ignored and
 *    the change is reported from CM_TEXTCHANGED instead (a multi-line EDIT
 *    sends none, and a control without a window none either);
 *  - ItemIndex and Selected[] of list and combo boxes: nothing (their
 *    OnClick/OnChange come from LBN_SELCHANGE / CBN_SELCHANGE, which the
 *    system sends for user actions only);
 *  - Checked of a check box to a new value, or of a radio button to true:
 *    OnClick (radio siblings are unchecked silently).
 * Nothing fires while the control is loading.
 *
 * Items of list and combo boxes live in the window while it exists and in a
 * saved copy (with objects, selection and top line) while it does not, so
 * that they survive the window's re-creation (Sorted, MultiSelect, Style...).
 */
#pragma once

#include <vector>

#include "framework/Controls.h"
#include "framework/Forms.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

enum TOwnerDrawStateItem {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// The owner-draw state of a DRAWITEMSTRUCT's itemState.
TOwnerDrawState OwnerDrawStateOf(UINT itemState);

using TDrawItemEvent = TEvent<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;

// ---------------------------------------------------------------------------
// Label

class TCustomLabel : public TGraphicControl {
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TTextLayout GetLayout() const { return layout_; }
    void SetLayout(TTextLayout value);
    bool GetTransparent() const { return !GetControlStyle().Contains(csOpaque); }
    void SetTransparent(bool value);
    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool GetShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool value);
    TWinControl* GetFocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* value);
    void SetAutoSize(bool value) override;

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    // Resizes the label to its text (AutoSize), keeping the right edge for
    // right-aligned text.
    virtual void AdjustBounds();
    // Draws the caption with DrawTextA and the given extra flags (DT_CALCRECT measures).
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    AnsiString GetLabelText();

private:
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;

public:
    BRIM_PROPERTY(Alignment, TCustomLabel::GetAlignment, TCustomLabel::SetAlignment);
    BRIM_PROPERTY(Layout, TCustomLabel::GetLayout, TCustomLabel::SetLayout);
    BRIM_PROPERTY(Transparent, TCustomLabel::GetTransparent, TCustomLabel::SetTransparent);
    BRIM_PROPERTY(WordWrap, TCustomLabel::GetWordWrap, TCustomLabel::SetWordWrap);
    BRIM_PROPERTY(ShowAccelChar, TCustomLabel::GetShowAccelChar, TCustomLabel::SetShowAccelChar);
    BRIM_PROPERTY(FocusControl, TCustomLabel::GetFocusControl, TCustomLabel::SetFocusControl);
};

class TLabel : public TCustomLabel {
public:
    using TCustomLabel::TCustomLabel;
};

// ---------------------------------------------------------------------------
// Edit and memo

class TCustomEdit : public TWinControl {
public:
    explicit TCustomEdit(TComponent* AOwner);

    void Clear() { SetText(""); }
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    void Undo();

    bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    int GetMaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    char GetPasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char value);
    bool GetModified();
    void SetModified(bool value);
    // Selection, counted from 0 in bytes.
    int GetSelStart();
    void SetSelStart(int value);
    int GetSelLength();
    void SetSelLength(int value);
    AnsiString GetSelText();
    void SetSelText(const AnsiString& value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetHideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    TEditCharCase GetCharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase value);

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual UINT DialogCode() const { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL; }

private:
    bool readOnly_ = false;
    int maxLength_ = 0;
    char passwordChar_ = 0;
    bool modified_ = false;
    TBorderStyle borderStyle_ = bsSingle;
    bool hideSelection_ = true;
    TEditCharCase charCase_ = ecNormal;
    // Set while WM_SETTEXT runs: the EDIT's own EN_CHANGE is not a user change.
    bool settingText_ = false;

public:
    BRIM_PROPERTY(ReadOnly, TCustomEdit::GetReadOnly, TCustomEdit::SetReadOnly);
    BRIM_PROPERTY(MaxLength, TCustomEdit::GetMaxLength, TCustomEdit::SetMaxLength);
    BRIM_PROPERTY(PasswordChar, TCustomEdit::GetPasswordChar, TCustomEdit::SetPasswordChar);
    BRIM_PROPERTY(Modified, TCustomEdit::GetModified, TCustomEdit::SetModified);
    BRIM_PROPERTY(SelStart, TCustomEdit::GetSelStart, TCustomEdit::SetSelStart);
    BRIM_PROPERTY(SelLength, TCustomEdit::GetSelLength, TCustomEdit::SetSelLength);
    BRIM_PROPERTY(SelText, TCustomEdit::GetSelText, TCustomEdit::SetSelText);
    BRIM_PROPERTY(BorderStyle, TCustomEdit::GetBorderStyle, TCustomEdit::SetBorderStyle);
    BRIM_PROPERTY(HideSelection, TCustomEdit::GetHideSelection, TCustomEdit::SetHideSelection);
    BRIM_PROPERTY(CharCase, TCustomEdit::GetCharCase, TCustomEdit::SetCharCase);
};

class TEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
};

class TCustomMemo;

// The memo's lines: its text split at CR LF (Text is the memo's text as is).
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* Memo) : memo_(Memo) {}
    AnsiString Get(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    int GetCount() const override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    AnsiString GetTextStr() const override;
    void SetTextStr(const AnsiString& Value) override;

private:
    std::vector<AnsiString> lines() const;
    void setLines(const std::vector<AnsiString>& lines);
    TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    // Tab stops in dialog units (EM_SETTABSTOPS); empty for the default.
    void SetTabStops(const std::vector<int>& Stops);

    TStrings* GetLines() const { return lines_; }
    void SetLines(TStrings* value) { lines_->Assign(value); }
    TScrollStyle GetScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool GetWordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    bool GetWantReturns() const { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    bool GetWantTabs() const { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void KeyPress(char& Key) override;
    UINT DialogCode() const override;

private:
    TMemoStrings* lines_;
    TScrollStyle scrollBars_ = ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    TAlignment alignment_ = taLeftJustify;
    std::vector<int> tabStops_;

public:
    BRIM_PROPERTY(Lines, TCustomMemo::GetLines, TCustomMemo::SetLines);
    BRIM_PROPERTY(ScrollBars, TCustomMemo::GetScrollBars, TCustomMemo::SetScrollBars);
    BRIM_PROPERTY(WordWrap, TCustomMemo::GetWordWrap, TCustomMemo::SetWordWrap);
    BRIM_PROPERTY(WantReturns, TCustomMemo::GetWantReturns, TCustomMemo::SetWantReturns);
    BRIM_PROPERTY(WantTabs, TCustomMemo::GetWantTabs, TCustomMemo::SetWantTabs);
    BRIM_PROPERTY(Alignment, TCustomMemo::GetAlignment, TCustomMemo::SetAlignment);
};

class TMemo : public TCustomMemo {
public:
    using TCustomMemo::TCustomMemo;
};

// ---------------------------------------------------------------------------
// Item lists shared by the list box and the combo box

// The message numbers of one system list class.
struct TListMessages {
    UINT addString, insertString, deleteString, resetContent, getCount, getText, getTextLen, setItemData,
        getItemData, error;
};

class TItemListControl;

// Items of a list or combo box: the window's items while it exists, else the
// saved copy.
class TItemStrings : public TStrings {
public:
    explicit TItemStrings(TItemListControl* Control) : control_(Control) {}
    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const AnsiString& S) const override;
    AnsiString Get(int Index) const override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int GetCount() const override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    void checkIndex(int index) const;
    TItemListControl* control_;
};

// What a list window holds, kept while no window exists. The items are never
// a sorted string list: their order is kept here, in step with the flags.
struct TSavedListState {
    TStringList items;
    std::vector<bool> selected;
    int itemIndex = -1;
    int topIndex = 0;
    // Inserts an item (at its sorted place with `sorted`); returns its index.
    int insert(int index, const AnsiString& text, TObject* object, bool sorted);
    void remove(int index);
    // Sorts the items as a sorted list shows them, flags and item index along.
    void sort();
};

// The common base of the list and combo boxes: items with objects that
// survive window re-creation.
class TItemListControl : public TWinControl {
public:
    explicit TItemListControl(TComponent* AOwner, const TListMessages& Messages);
    ~TItemListControl() override;

    void Clear() { items_->Clear(); }
    TStrings* GetItems() const { return items_; }
    void SetItems(TStrings* value) { items_->Assign(value); }
    bool GetSorted() const { return sorted_; }
    void SetSorted(bool value);

    void Dispatch(TMessage& Message) override;

protected:
    friend class TItemStrings;
    void CreateWnd() override;
    void DestroyWnd() override;
    // Copies the window's items and selection into the saved state.
    virtual void SaveListState(TSavedListState& State);
    // Puts the saved items and selection into the new window.
    virtual void RestoreListState(const TSavedListState& State);
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    // Where each saved item landed in the new window (a sorted window
    // places them itself; they are found again by text and object).
    std::vector<int> RestoredIndexes(const TSavedListState& State);
    // The saved state while there is no window (or null while there is one).
    TSavedListState* saved() const { return saved_; }
    const TListMessages& messages() const { return messages_; }

private:
    void saveState();
    TListMessages messages_;
    TItemStrings* items_;
    TSavedListState* saved_;
    bool sorted_ = false;

public:
    BRIM_PROPERTY(Items, TItemListControl::GetItems, TItemListControl::SetItems);
    BRIM_PROPERTY(Sorted, TItemListControl::GetSorted, TItemListControl::SetSorted);
};

// ---------------------------------------------------------------------------
// List box

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TItemListControl {
public:
    explicit TCustomListBox(TComponent* AOwner);
    ~TCustomListBox() override;

    // The item at a client point; with Existing false a point below the last
    // item gives Count, and a point outside the client area -1.
    int ItemAtPos(const TPoint& Pos, bool Existing);
    TRect ItemRect(int Index);

    // The caret line in a multi-select list, else the selected line.
    int GetItemIndex();
    void SetItemIndex(int value);
    bool GetSelected(int Index);
    void SetSelected(int Index, bool value);
    // Selected lines of a multi-select list; -1 for a single-select list.
    int GetSelCount();
    int GetTopIndex();
    void SetTopIndex(int value);
    bool GetMultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool value);
    bool GetExtendedSelect() const { return extendedSelect_; }
    void SetExtendedSelect(bool value);
    TListBoxStyle GetStyle() const { return style_; }
    void SetStyle(TListBoxStyle value);
    int GetItemHeight();
    void SetItemHeight(int value);
    TBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool GetIntegralHeight() const { return integralHeight_; }
    void SetIntegralHeight(bool value);
    TCanvas* GetCanvas() { return GetControlCanvas(); }

    void Dispatch(TMessage& Message) override;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void SaveListState(TSavedListState& State) override;
    void RestoreListState(const TSavedListState& State) override;
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MeasureItem(int Index, int& Height);

private:
    void drawItem(const DRAWITEMSTRUCT& item);

    bool multiSelect_ = false;
    bool extendedSelect_ = true;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    TBorderStyle borderStyle_ = bsSingle;
    bool integralHeight_ = false;

public:
    BRIM_PROPERTY(ItemIndex, TCustomListBox::GetItemIndex, TCustomListBox::SetItemIndex);
    BRIM_INDEXED(Selected, TCustomListBox::GetSelected, TCustomListBox::SetSelected);
    BRIM_READONLY(SelCount, TCustomListBox::GetSelCount);
    BRIM_PROPERTY(TopIndex, TCustomListBox::GetTopIndex, TCustomListBox::SetTopIndex);
    BRIM_PROPERTY(MultiSelect, TCustomListBox::GetMultiSelect, TCustomListBox::SetMultiSelect);
    BRIM_PROPERTY(ExtendedSelect, TCustomListBox::GetExtendedSelect, TCustomListBox::SetExtendedSelect);
    BRIM_PROPERTY(Style, TCustomListBox::GetStyle, TCustomListBox::SetStyle);
    BRIM_PROPERTY(ItemHeight, TCustomListBox::GetItemHeight, TCustomListBox::SetItemHeight);
    BRIM_PROPERTY(BorderStyle, TCustomListBox::GetBorderStyle, TCustomListBox::SetBorderStyle);
    BRIM_PROPERTY(IntegralHeight, TCustomListBox::GetIntegralHeight, TCustomListBox::SetIntegralHeight);
    BRIM_READONLY(Canvas, TCustomListBox::GetCanvas);
};

class TListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
};

// ---------------------------------------------------------------------------
// Combo box

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox : public TItemListControl {
public:
    explicit TCustomComboBox(TComponent* AOwner);

    int GetItemIndex();
    void SetItemIndex(int value);
    TComboBoxStyle GetStyle() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    int GetDropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = value; }
    bool GetDroppedDown();
    void SetDroppedDown(bool value);
    int GetItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value) { itemHeight_ = value; }
    int GetMaxLength() const { return maxLength_; }
    void SetMaxLength(int value);

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void SaveListState(TSavedListState& State) override;
    void RestoreListState(const TSavedListState& State) override;
    virtual void Change();

private:
    TComboBoxStyle style_ = csDropDown;
    int dropDownCount_ = 8;
    int itemHeight_ = 16;
    int maxLength_ = 0;

public:
    BRIM_PROPERTY(ItemIndex, TCustomComboBox::GetItemIndex, TCustomComboBox::SetItemIndex);
    BRIM_PROPERTY(Style, TCustomComboBox::GetStyle, TCustomComboBox::SetStyle);
    BRIM_PROPERTY(DropDownCount, TCustomComboBox::GetDropDownCount, TCustomComboBox::SetDropDownCount);
    BRIM_PROPERTY(DroppedDown, TCustomComboBox::GetDroppedDown, TCustomComboBox::SetDroppedDown);
    BRIM_PROPERTY(ItemHeight, TCustomComboBox::GetItemHeight, TCustomComboBox::SetItemHeight);
    BRIM_PROPERTY(MaxLength, TCustomComboBox::GetMaxLength, TCustomComboBox::SetMaxLength);
};

class TComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
};

// ---------------------------------------------------------------------------
// Check box and radio button (the stand-in keeps their state)

class TButtonControl : public TWinControl {
public:
    explicit TButtonControl(TComponent* AOwner);

    bool GetChecked() const { return checked_; }
    virtual void SetChecked(bool value);
    TAlignment GetAlignment() const { return alignment_; }
    void SetAlignment(TAlignment value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The BUTTON style (BS_CHECKBOX, BS_RADIOBUTTON). Not pure: the
    // constructor's geometry already asks for the window's parameters.
    virtual DWORD ButtonStyle() const { return BS_CHECKBOX; }
    // A user click (BN_CLICKED).
    virtual void Toggle() { SetChecked(!GetChecked()); }
    // Sets the state and shows it, without any event.
    void SetCheckedSilently(bool value);

private:
    bool checked_ = false;
    TAlignment alignment_ = taRightJustify;

public:
    BRIM_PROPERTY(Checked, TButtonControl::GetChecked, TButtonControl::SetChecked);
    BRIM_PROPERTY(Alignment, TButtonControl::GetAlignment, TButtonControl::SetAlignment);
};

class TCheckBox : public TButtonControl {
public:
    using TButtonControl::TButtonControl;
    void SetChecked(bool value) override;

protected:
    DWORD ButtonStyle() const override { return BS_CHECKBOX; }
    void Toggle() override { SetChecked(!GetChecked()); }
};

class TRadioButton : public TButtonControl {
public:
    using TButtonControl::TButtonControl;
    void SetChecked(bool value) override;

protected:
    DWORD ButtonStyle() const override { return BS_RADIOBUTTON; }
    void Toggle() override { SetChecked(true); }
};
