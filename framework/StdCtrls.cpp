/*
 * Standard controls; see StdCtrls.h. System controls are superclassed by the
 * controls base (CreateParams names the system class); notifications reach
 * them reflected as CN_COMMAND / CN_DRAWITEM / CN_MEASUREITEM.
 */
#include "framework/StdCtrls.h"

#include <algorithm>

namespace {

bool isLoading(const TComponent* c) { return c->GetComponentState().Contains(csLoading); }

DWORD borderExStyle(TBorderStyle style, bool ctl3D, DWORD& styleBits) {
    if (style != bsSingle) return 0;
    if (ctl3D) return WS_EX_CLIENTEDGE;
    styleBits |= WS_BORDER;
    return 0;
}

// DrawTextA with a font selected for the call only (a canvas selects its own
// objects lazily, in its own drawing calls, so a raw call must do it).
int drawTextWith(HDC dc, HFONT font, const AnsiString& text, TRect& rect, UINT flags) {
    HGDIOBJ old = SelectObject(dc, font);
    int height = DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), rect.rc(), flags);
    SelectObject(dc, old);
    return height;
}

}  // namespace

TOwnerDrawState OwnerDrawStateOf(UINT itemState) {
    static const struct {
        UINT flag;
        TOwnerDrawStateItem item;
    } map[] = {{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},       {ODS_DISABLED, odDisabled},
               {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},       {ODS_DEFAULT, odDefault},
               {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},   {ODS_NOACCEL, odNoAccel},
               {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
    TOwnerDrawState state;
    for (const auto& m : map)
        if (itemState & m.flag) state << m.item;
    return state;
}

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable,
                                  csDoubleClicks});
    SetBounds(0, 0, 65, 17);
    TControl::SetAutoSize(true);
    SetParentColor(true);
}

AnsiString TCustomLabel::GetLabelText() { return GetText(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    AnsiString text = GetLabelText();
    if ((Flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
    if (!showAccelChar_) Flags |= DT_NOPREFIX;
    TCanvas* canvas = GetCanvas();
    canvas->SetFont(GetFont());
    if (!GetEnabled()) canvas->GetFont()->SetColor(clGrayText);
    HDC dc = canvas->GetHandle();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(canvas->GetFont()->GetColor()));
    drawTextWith(dc, canvas->GetFont()->GetHandle(), text, Rect, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect client = GetClientRect();
    if (!GetTransparent()) {
        canvas->GetBrush()->SetColor(GetColor());
        canvas->GetBrush()->SetStyle(bsSolid);
        canvas->FillRect(client);
    }
    canvas->GetBrush()->SetStyle(bsClear);
    static const UINT alignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | alignFlags[alignment_] | (wordWrap_ ? DT_WORDBREAK : 0);
    TRect rect = client;
    if (layout_ != tlTop) {
        TRect measured = client;
        DoDrawText(measured, flags | DT_CALCRECT);
        int offset = client.Height() - measured.Height();
        if (layout_ == tlCenter) offset /= 2;
        rect.Top += offset;
    }
    DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
    if (isLoading(this) || !GetAutoSize()) return;
    // Measured on a screen DC, so the size is known at once, window or not.
    HDC screen = GetDC(nullptr);
    AnsiString text = GetLabelText();
    if (text.empty() || (showAccelChar_ && text == "&")) text += " ";
    TRect rect(0, 0, wordWrap_ ? GetWidth() : 0, 0);
    UINT flags = DT_CALCRECT | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
    drawTextWith(screen, GetFont()->GetHandle(), text, rect, flags);
    ReleaseDC(nullptr, screen);
    int left = GetLeft();
    if (alignment_ == taRightJustify) left += GetWidth() - rect.Width();
    SetBounds(left, GetTop(), rect.Width(), rect.Height());
}

void TCustomLabel::SetAutoSize(bool value) {
    if (value == GetAutoSize()) return;
    TControl::SetAutoSize(value);
    AdjustBounds();
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value)) Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
    if (SetIfChanged(layout_, value)) Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
    if (value == GetTransparent()) return;
    TControlStyle style = GetControlStyle();
    if (value) style >> csOpaque;
    else style << csOpaque;
    SetControlStyle(style);
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
    if (!SetIfChanged(wordWrap_, value)) return;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
    if (!SetIfChanged(showAccelChar_, value)) return;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
    if (!SetIfChanged(focusControl_, value)) return;
    if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        AdjustBounds();
        return;
    case CM_FONTCHANGED:
        TGraphicControl::Dispatch(Message);
        AdjustBounds();
        return;
    case CM_DIALOGCHAR:
        if (focusControl_ && GetEnabled() && showAccelChar_ &&
            IsAccel(static_cast<WORD>(Message.WParam), GetText()) && focusControl_->CanFocus()) {
            focusControl_->SetFocus();
            Message.Result = 1;
        }
        return;
    default:
        break;
    }
    TGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.SystemClassName = "EDIT";
    Params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (readOnly_) Params.Style |= ES_READONLY;
    if (passwordChar_) Params.Style |= ES_PASSWORD;
    if (!hideSelection_) Params.Style |= ES_NOHIDESEL;
    if (charCase_ == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (charCase_ == ecLowerCase) Params.Style |= ES_LOWERCASE;
    Params.ExStyle |= borderExStyle(borderStyle_, GetCtl3D(), Params.Style);
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_) SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    SendMessageA(handle_, EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::DestroyWnd() {
    if (handle_) modified_ = SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
    TWinControl::DestroyWnd();
}

void TCustomEdit::Change() {
    if (isLoading(this)) return;
    if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_CTL3DCHANGED:
        // The border is a client edge with Ctl3D, else a plain line: only a new window shows the change.
        if (borderStyle_ == bsSingle) RecreateWnd();
        break;
    case WM_SETTEXT: {
        bool old = settingText_;
        settingText_ = true;
        TWinControl::Dispatch(Message);
        settingText_ = old;
        return;
    }
    case CM_TEXTCHANGED:
        Change();
        return;
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !settingText_) Change();
        return;
    case WM_GETDLGCODE:
        Message.Result = DialogCode();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomEdit::SetReadOnly(bool value) {
    if (!SetIfChanged(readOnly_, value)) return;
    if (handle_) SendMessageA(handle_, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetMaxLength(int value) {
    if (!SetIfChanged(maxLength_, value)) return;
    if (handle_) SendMessageA(handle_, EM_LIMITTEXT, static_cast<WPARAM>(value), 0);
}

void TCustomEdit::SetPasswordChar(char value) {
    if (!SetIfChanged(passwordChar_, value)) return;
    if (handle_) {
        SendMessageA(handle_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

bool TCustomEdit::GetModified() {
    if (handle_) return SendMessageA(handle_, EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool value) {
    modified_ = value;
    if (handle_) SendMessageA(handle_, EM_SETMODIFY, value, 0);
}

int TCustomEdit::GetSelStart() {
    DWORD start = 0;
    SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { SendMessageA(GetHandle(), EM_SETSEL, value, value); }

int TCustomEdit::GetSelLength() {
    DWORD start = 0, end = 0;
    SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
    int start = GetSelStart();
    SendMessageA(GetHandle(), EM_SETSEL, start, start + value);
}

AnsiString TCustomEdit::GetSelText() {
    DWORD start = 0, end = 0;
    SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    AnsiString text = GetText();
    if (start > text.size()) return AnsiString();
    return text.substr(start, std::min<size_t>(end, text.size()) - start);
}

void TCustomEdit::SetSelText(const AnsiString& value) {
    SendMessageA(GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomEdit::ClearSelection() { SendMessageA(GetHandle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(GetHandle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(GetHandle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(GetHandle(), WM_PASTE, 0, 0); }
void TCustomEdit::SelectAll() { SendMessageA(GetHandle(), EM_SETSEL, 0, -1); }
void TCustomEdit::Undo() { SendMessageA(GetHandle(), WM_UNDO, 0, 0); }

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
    if (SetIfChanged(borderStyle_, value)) RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
    if (SetIfChanged(hideSelection_, value)) RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
    if (SetIfChanged(charCase_, value)) RecreateWnd();
}

// ---------------------------------------------------------------------------
// TMemoStrings

std::vector<AnsiString> TMemoStrings::lines() const {
    AnsiString text = memo_->GetText();
    std::vector<AnsiString> result;
    if (text.empty()) return result;
    size_t start = 0;
    for (;;) {
        size_t end = text.find("\r\n", start);
        if (end == AnsiString::npos) {
            result.push_back(text.substr(start));
            break;
        }
        result.push_back(text.substr(start, end - start));
        start = end + 2;
        if (start == text.size()) break;  // a final line break ends the last line
    }
    return result;
}

void TMemoStrings::setLines(const std::vector<AnsiString>& lines) {
    AnsiString text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    memo_->SetText(text);
}

AnsiString TMemoStrings::Get(int Index) const {
    auto all = lines();
    if (Index < 0 || Index >= static_cast<int>(all.size())) TList::IndexError(Index);
    return all[static_cast<size_t>(Index)];
}

void TMemoStrings::Put(int Index, const AnsiString& S) {
    auto all = lines();
    if (Index < 0 || Index >= static_cast<int>(all.size())) TList::IndexError(Index);
    all[static_cast<size_t>(Index)] = S;
    setLines(all);
}

int TMemoStrings::GetCount() const { return static_cast<int>(lines().size()); }

void TMemoStrings::Insert(int Index, const AnsiString& S) {
    auto all = lines();
    if (Index < 0 || Index > static_cast<int>(all.size())) TList::IndexError(Index);
    all.insert(all.begin() + Index, S);
    setLines(all);
}

void TMemoStrings::Delete(int Index) {
    auto all = lines();
    if (Index < 0 || Index >= static_cast<int>(all.size())) TList::IndexError(Index);
    all.erase(all.begin() + Index);
    setLines(all);
}

void TMemoStrings::Clear() { memo_->SetText(""); }

AnsiString TMemoStrings::GetTextStr() const { return memo_->GetText(); }

void TMemoStrings::SetTextStr(const AnsiString& Value) {
    // Lone CR or LF become CR LF, as the memo shows them.
    AnsiString text;
    for (size_t i = 0; i < Value.size(); ++i) {
        char c = Value[i];
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            if (c == '\r' && i + 1 < Value.size() && Value[i + 1] == '\n') ++i;
        } else {
            text += c;
        }
    }
    memo_->SetText(text);
}

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(new TMemoStrings(this)) {
    SetBounds(0, 0, 185, 89);
    TControlStyle style = GetControlStyle();
    style >> csFixedHeight;
    SetControlStyle(style);
}

TCustomMemo::~TCustomMemo() { delete lines_; }

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    static const DWORD scrollStyles[] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};
    static const DWORD alignStyles[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
    Params.Style |= ES_MULTILINE | scrollStyles[scrollBars_] | alignStyles[alignment_];
    if (wordWrap_) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::CreateWnd() {
    TCustomEdit::CreateWnd();
    if (!tabStops_.empty())
        SendMessageA(handle_, EM_SETTABSTOPS, tabStops_.size(), reinterpret_cast<LPARAM>(tabStops_.data()));
}

void TCustomMemo::SetTabStops(const std::vector<int>& Stops) {
    tabStops_ = Stops;
    if (handle_) {
        SendMessageA(handle_, EM_SETTABSTOPS, tabStops_.size(),
                     tabStops_.empty() ? 0 : reinterpret_cast<LPARAM>(tabStops_.data()));
        InvalidateRect(handle_, nullptr, TRUE);
    }
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
    if (SetIfChanged(scrollBars_, value)) RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
    if (SetIfChanged(wordWrap_, value)) RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value)) RecreateWnd();
}

UINT TCustomMemo::DialogCode() const {
    UINT code = TCustomEdit::DialogCode();
    if (wantReturns_) code |= DLGC_WANTALLKEYS;
    if (wantTabs_) code |= DLGC_WANTTAB;
    return code;
}

void TCustomMemo::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == '\r' && !wantReturns_) Key = 0;
    if (Key == '\t' && !wantTabs_) Key = 0;
}

// ---------------------------------------------------------------------------
// TItemStrings

void TItemStrings::checkIndex(int index) const {
    if (index < 0 || index >= GetCount()) TList::IndexError(index);
}

int TItemStrings::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TItemStrings::AddObject(const AnsiString& S, TObject* AObject) {
    if (TSavedListState* saved = control_->saved())
        return saved->insert(saved->items.GetCount(), S, AObject, control_->GetSorted());
    const TListMessages& m = control_->messages();
    LRESULT index = control_->Send(m.addString, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (index == static_cast<LRESULT>(m.error) || index < 0) throw EOutOfResources("Out of system resources");
    control_->Send(m.setItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(AObject));
    return static_cast<int>(index);
}

void TItemStrings::Insert(int Index, const AnsiString& S) {
    if (Index < 0 || Index > GetCount()) TList::IndexError(Index);
    if (TSavedListState* saved = control_->saved()) {
        saved->insert(Index, S, nullptr, control_->GetSorted());
        return;
    }
    const TListMessages& m = control_->messages();
    if (control_->Send(m.insertString, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
        throw EOutOfResources("Out of system resources");
}

void TItemStrings::Delete(int Index) {
    checkIndex(Index);
    if (TSavedListState* saved = control_->saved()) {
        saved->remove(Index);
        return;
    }
    control_->Send(control_->messages().deleteString, static_cast<WPARAM>(Index));
}

void TItemStrings::Clear() {
    if (TSavedListState* saved = control_->saved()) {
        saved->items.Clear();
        saved->selected.clear();
        saved->itemIndex = -1;
        saved->topIndex = 0;
        return;
    }
    control_->Send(control_->messages().resetContent);
}

int TItemStrings::IndexOf(const AnsiString& S) const { return TStrings::IndexOf(S); }

AnsiString TItemStrings::Get(int Index) const {
    checkIndex(Index);
    if (TSavedListState* saved = control_->saved()) return saved->items.Get(Index);
    const TListMessages& m = control_->messages();
    LRESULT length = control_->Send(m.getTextLen, static_cast<WPARAM>(Index));
    if (length <= 0) return AnsiString();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    LRESULT copied = control_->Send(m.getText, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(buffer.data()));
    return AnsiString(buffer.data(), static_cast<size_t>(std::max<LRESULT>(0, std::min(copied, length))));
}

TObject* TItemStrings::GetObject(int Index) const {
    checkIndex(Index);
    if (TSavedListState* saved = control_->saved()) return saved->items.GetObject(Index);
    return reinterpret_cast<TObject*>(control_->Send(control_->messages().getItemData, static_cast<WPARAM>(Index)));
}

void TItemStrings::PutObject(int Index, TObject* AObject) {
    checkIndex(Index);
    if (TSavedListState* saved = control_->saved()) {
        saved->items.PutObject(Index, AObject);
        return;
    }
    control_->Send(control_->messages().setItemData, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TItemStrings::GetCount() const {
    if (TSavedListState* saved = control_->saved()) return saved->items.GetCount();
    LRESULT count = control_->Send(control_->messages().getCount);
    return count < 0 ? 0 : static_cast<int>(count);
}

void TItemStrings::SetUpdateState(bool Updating) {
    if (!control_->HandleAllocated()) return;
    HWND window = control_->GetHandle();
    SendMessageA(window, WM_SETREDRAW, !Updating, 0);
    if (!Updating) InvalidateRect(window, nullptr, TRUE);
}

// ---------------------------------------------------------------------------
// TSavedListState

int TSavedListState::insert(int index, const AnsiString& text, TObject* object, bool sorted) {
    if (sorted) {
        index = 0;
        while (index < items.GetCount() && AnsiCompareText(items.Get(index), text) <= 0) ++index;
    }
    items.InsertObject(index, text, object);
    selected.resize(static_cast<size_t>(items.GetCount() - 1), false);
    selected.insert(selected.begin() + index, false);
    if (itemIndex >= index) ++itemIndex;
    return index;
}

void TSavedListState::remove(int index) {
    items.Delete(index);
    if (index < static_cast<int>(selected.size())) selected.erase(selected.begin() + index);
    if (itemIndex == index) itemIndex = -1;
    else if (itemIndex > index) --itemIndex;
}

void TSavedListState::sort() {
    int count = items.GetCount();
    selected.resize(static_cast<size_t>(count), false);
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return AnsiCompareText(items.Get(a), items.Get(b)) < 0; });
    TStringList sortedItems;
    std::vector<bool> sortedFlags;
    int newItemIndex = -1;
    for (int i = 0; i < count; ++i) {
        int from = order[static_cast<size_t>(i)];
        sortedItems.AddObject(items.Get(from), items.GetObject(from));
        sortedFlags.push_back(selected[static_cast<size_t>(from)]);
        if (from == itemIndex) newItemIndex = i;
    }
    items.Assign(&sortedItems);
    selected = sortedFlags;
    itemIndex = newItemIndex;
}

// ---------------------------------------------------------------------------
// TItemListControl

TItemListControl::TItemListControl(TComponent* AOwner, const TListMessages& Messages)
    : TWinControl(AOwner), messages_(Messages), items_(new TItemStrings(this)), saved_(new TSavedListState) {}

TItemListControl::~TItemListControl() {
    delete items_;
    delete saved_;
}

LRESULT TItemListControl::Send(UINT Msg, WPARAM WParam, LPARAM LParam) {
    return SendMessageA(GetHandle(), Msg, WParam, LParam);
}

void TItemListControl::CreateWnd() {
    TWinControl::CreateWnd();
    if (saved_) {
        TSavedListState* state = saved_;
        saved_ = nullptr;
        try {
            RestoreListState(*state);
        } catch (...) {
            delete state;
            throw;
        }
        delete state;
    }
}

void TItemListControl::saveState() {
    if (!handle_ || saved_) return;
    auto* state = new TSavedListState;
    try {
        SaveListState(*state);
    } catch (...) {
        delete state;
        throw;
    }
    saved_ = state;
}

void TItemListControl::DestroyWnd() {
    saveState();
    TWinControl::DestroyWnd();
}

void TItemListControl::Dispatch(TMessage& Message) {
    // Destroyed from outside (not through DestroyWnd): keep the items all the same.
    if (Message.Msg == WM_DESTROY) saveState();
    TWinControl::Dispatch(Message);
}

void TItemListControl::SaveListState(TSavedListState& State) {
    int count = items_->GetCount();
    for (int i = 0; i < count; ++i) State.items.AddObject(items_->Get(i), items_->GetObject(i));
}

void TItemListControl::RestoreListState(const TSavedListState& State) {
    SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < State.items.GetCount(); ++i) items_->AddObject(State.items.Get(i), State.items.GetObject(i));
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
}

void TItemListControl::SetSorted(bool value) {
    if (!SetIfChanged(sorted_, value)) return;
    if (saved_ && value) saved_->sort();
    RecreateWnd();
}

std::vector<int> TItemListControl::RestoredIndexes(const TSavedListState& State) {
    int count = State.items.GetCount();
    std::vector<int> placed(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) placed[static_cast<size_t>(i)] = i;
    if (!sorted_) return placed;
    std::vector<bool> used(static_cast<size_t>(items_->GetCount()), false);
    for (int i = 0; i < count; ++i) {
        placed[static_cast<size_t>(i)] = -1;
        for (int j = 0; j < static_cast<int>(used.size()); ++j) {
            if (used[static_cast<size_t>(j)] || items_->GetObject(j) != State.items.GetObject(i) ||
                items_->Get(j) != State.items.Get(i))
                continue;
            used[static_cast<size_t>(j)] = true;
            placed[static_cast<size_t>(i)] = j;
            break;
        }
    }
    return placed;
}

// ---------------------------------------------------------------------------
// TCustomListBox

namespace {
const TListMessages listBoxMessages = {LB_ADDSTRING,  LB_INSERTSTRING, LB_DELETESTRING,
                                       LB_RESETCONTENT, LB_GETCOUNT,   LB_GETTEXT,
                                       LB_GETTEXTLEN, LB_SETITEMDATA,  LB_GETITEMDATA,
                                       static_cast<UINT>(LB_ERR)};
}

TCustomListBox::TCustomListBox(TComponent* AOwner) : TItemListControl(AOwner, listBoxMessages) {
    // Clicks and double clicks come from LBN_SELCHANGE / LBN_DBLCLK, not the mouse.
    SetControlStyle(TControlStyle{csSetCaption});
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& Params) {
    TItemListControl::CreateParams(Params);
    Params.SystemClassName = "LISTBOX";
    Params.Style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS;
    if (!integralHeight_) Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (GetSorted()) Params.Style |= LBS_SORT;
    if (multiSelect_) Params.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (style_ == lbOwnerDrawFixed) Params.Style |= LBS_OWNERDRAWFIXED;
    if (style_ == lbOwnerDrawVariable) Params.Style |= LBS_OWNERDRAWVARIABLE;
    Params.ExStyle |= borderExStyle(borderStyle_, GetCtl3D(), Params.Style);
}

void TCustomListBox::SaveListState(TSavedListState& State) {
    TItemListControl::SaveListState(State);
    int count = State.items.GetCount();
    State.selected.assign(static_cast<size_t>(count), false);
    for (int i = 0; i < count; ++i) State.selected[static_cast<size_t>(i)] = GetSelected(i);
    State.itemIndex = GetItemIndex();
    State.topIndex = GetTopIndex();
}

void TCustomListBox::RestoreListState(const TSavedListState& State) {
    TItemListControl::RestoreListState(State);
    std::vector<int> placed = RestoredIndexes(State);
    auto at = [&](int saved) { return saved >= 0 && saved < static_cast<int>(placed.size()) ? placed[static_cast<size_t>(saved)] : -1; };
    if (multiSelect_) {
        for (int i = 0; i < static_cast<int>(State.selected.size()); ++i)
            if (State.selected[static_cast<size_t>(i)] && at(i) >= 0) SetSelected(at(i), true);
    }
    if (at(State.itemIndex) >= 0) SetItemIndex(at(State.itemIndex));
    if (State.topIndex > 0) SetTopIndex(State.topIndex);
}

int TCustomListBox::GetItemIndex() {
    if (TSavedListState* s = saved()) return s->itemIndex;
    return static_cast<int>(Send(multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int value) {
    if (TSavedListState* s = saved()) {
        s->itemIndex = value;
        if (!multiSelect_) {
            s->selected.assign(static_cast<size_t>(s->items.GetCount()), false);
            if (value >= 0 && value < s->items.GetCount()) s->selected[static_cast<size_t>(value)] = true;
        }
        return;
    }
    if (multiSelect_) Send(LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
    else Send(LB_SETCURSEL, static_cast<WPARAM>(value));
}

bool TCustomListBox::GetSelected(int Index) {
    if (Index < 0 || Index >= GetItems()->GetCount()) TList::IndexError(Index);
    if (TSavedListState* s = saved())
        return Index < static_cast<int>(s->selected.size()) && s->selected[static_cast<size_t>(Index)];
    return Send(LB_GETSEL, static_cast<WPARAM>(Index)) > 0;
}

void TCustomListBox::SetSelected(int Index, bool value) {
    if (Index < 0 || Index >= GetItems()->GetCount()) TList::IndexError(Index);
    if (TSavedListState* s = saved()) {
        s->selected.resize(static_cast<size_t>(s->items.GetCount()), false);
        if (!multiSelect_ && value) {
            s->selected.assign(s->selected.size(), false);
            s->itemIndex = Index;
        }
        if (!multiSelect_ && !value && s->itemIndex == Index) s->itemIndex = -1;
        s->selected[static_cast<size_t>(Index)] = value;
        return;
    }
    if (multiSelect_) {
        Send(LB_SETSEL, value, static_cast<LPARAM>(Index));
    } else if (value) {
        Send(LB_SETCURSEL, static_cast<WPARAM>(Index));
    } else if (Send(LB_GETCURSEL) == Index) {
        Send(LB_SETCURSEL, static_cast<WPARAM>(-1));
    }
}

int TCustomListBox::GetSelCount() {
    if (!multiSelect_) return -1;
    if (TSavedListState* s = saved())
        return static_cast<int>(std::count(s->selected.begin(), s->selected.end(), true));
    return static_cast<int>(Send(LB_GETSELCOUNT));
}

int TCustomListBox::GetTopIndex() {
    if (TSavedListState* s = saved()) return s->topIndex;
    return static_cast<int>(Send(LB_GETTOPINDEX));
}

void TCustomListBox::SetTopIndex(int value) {
    if (TSavedListState* s = saved()) {
        s->topIndex = value;
        return;
    }
    Send(LB_SETTOPINDEX, static_cast<WPARAM>(value));
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (SetIfChanged(multiSelect_, value)) RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
    if (SetIfChanged(extendedSelect_, value)) RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
    if (SetIfChanged(style_, value)) RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
    if (SetIfChanged(borderStyle_, value)) RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
    if (SetIfChanged(integralHeight_, value)) RecreateWnd();
}

int TCustomListBox::GetItemHeight() {
    if (HandleAllocated() && style_ == lbStandard) return static_cast<int>(Send(LB_GETITEMHEIGHT));
    return itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
    if (value <= 0 || value == itemHeight_) return;
    itemHeight_ = value;
    if (HandleAllocated() && style_ == lbOwnerDrawFixed) {
        Send(LB_SETITEMHEIGHT, 0, value);
        Invalidate();
    } else if (style_ == lbOwnerDrawVariable) {
        RecreateWnd();
    }
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
    if (GetClientRect().Contains(Pos)) {
        int count = GetItems()->GetCount();
        for (int index = GetTopIndex(); index < count; ++index)
            if (ItemRect(index).Contains(Pos)) return index;
        if (!Existing) return count;
    }
    return -1;
}

TRect TCustomListBox::ItemRect(int Index) {
    TRect rect;
    int count = GetItems()->GetCount();
    if (Index == 0 || Index < count) {
        Send(LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(rect.rc()));
    } else if (Index == count) {
        Send(LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(rect.rc()));
        int height = rect.Height();
        rect.Top += height;
        rect.Bottom += height;
    }
    return rect;
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
    if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* canvas = GetCanvas();
    canvas->FillRect(Rect);
    if (Index >= 0 && Index < GetItems()->GetCount()) canvas->TextOut(Rect.Left + 2, Rect.Top, GetItems()->Get(Index));
    // Only the stand-in's own drawing shows the focus; a handler draws its own.
    if (State.Contains(odFocused)) canvas->DrawFocusRect(Rect);
}

void TCustomListBox::drawItem(const DRAWITEMSTRUCT& item) {
    TOwnerDrawState state = OwnerDrawStateOf(item.itemState);
    TCanvas* canvas = GetCanvas();
    canvas->SetHandle(item.hDC);
    try {
        canvas->SetFont(GetFont());
        canvas->SetBrush(GetBrush());
        if (state.Contains(odSelected)) {
            canvas->GetBrush()->SetColor(clHighlight);
            canvas->GetFont()->SetColor(clHighlightText);
        }
        TRect rect(item.rcItem);
        if (static_cast<int>(item.itemID) >= 0) DrawItem(static_cast<int>(item.itemID), rect, state);
        else canvas->FillRect(rect);
    } catch (...) {
        canvas->SetHandle(nullptr);
        throw;
    }
    canvas->SetHandle(nullptr);
}

void TCustomListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_CTL3DCHANGED:
        // The border is a client edge with Ctl3D, else a plain line: only a new window shows the change.
        if (borderStyle_ == bsSingle) RecreateWnd();
        break;
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case LBN_SELCHANGE: Click(); break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
        }
        return;
    case CN_DRAWITEM:
        drawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam));
        Message.Result = TRUE;
        return;
    case CN_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        int height = itemHeight_;
        if (style_ == lbOwnerDrawVariable) MeasureItem(static_cast<int>(measure->itemID), height);
        measure->itemHeight = static_cast<UINT>(height);
        Message.Result = TRUE;
        return;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    default:
        break;
    }
    TItemListControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomComboBox

namespace {
const TListMessages comboBoxMessages = {CB_ADDSTRING,  CB_INSERTSTRING, CB_DELETESTRING,
                                        CB_RESETCONTENT, CB_GETCOUNT,   CB_GETLBTEXT,
                                        CB_GETLBTEXTLEN, CB_SETITEMDATA, CB_GETITEMDATA,
                                        static_cast<UINT>(CB_ERR)};
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TItemListControl(AOwner, comboBoxMessages) {
    // OnDblClick comes from the combo's own double click; selection from CBN_SELCHANGE.
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks, csFixedHeight});
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TItemListControl::CreateParams(Params);
    Params.SystemClassName = "COMBOBOX";
    static const DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST,
                                   CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED, CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    Params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS | styles[style_];
    if (GetSorted()) Params.Style |= CBS_SORT;
    // The height at creation includes the dropped-down list; the system then
    // shrinks the window to its box and keeps the list's height for itself.
    if (style_ != csSimple) Params.Height += dropDownCount_ * itemHeight_ + 2;
}

void TCustomComboBox::CreateWnd() {
    TItemListControl::CreateWnd();
    if (maxLength_) Send(CB_LIMITTEXT, static_cast<WPARAM>(maxLength_));
}

void TCustomComboBox::SaveListState(TSavedListState& State) {
    TItemListControl::SaveListState(State);
    State.itemIndex = GetItemIndex();
}

void TCustomComboBox::RestoreListState(const TSavedListState& State) {
    TItemListControl::RestoreListState(State);
    std::vector<int> placed = RestoredIndexes(State);
    if (State.itemIndex >= 0 && State.itemIndex < static_cast<int>(placed.size()) &&
        placed[static_cast<size_t>(State.itemIndex)] >= 0)
        Send(CB_SETCURSEL, static_cast<WPARAM>(placed[static_cast<size_t>(State.itemIndex)]));
}

int TCustomComboBox::GetItemIndex() {
    if (TSavedListState* s = saved()) return s->itemIndex;
    return static_cast<int>(Send(CB_GETCURSEL));
}

void TCustomComboBox::SetItemIndex(int value) {
    if (TSavedListState* s = saved()) {
        s->itemIndex = value;
        return;
    }
    Send(CB_SETCURSEL, static_cast<WPARAM>(value));
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
    if (SetIfChanged(style_, value)) RecreateWnd();
}

bool TCustomComboBox::GetDroppedDown() { return HandleAllocated() && Send(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool value) { Send(CB_SHOWDROPDOWN, value); }

void TCustomComboBox::SetMaxLength(int value) {
    maxLength_ = value;
    if (HandleAllocated()) Send(CB_LIMITTEXT, static_cast<WPARAM>(value));
}

void TCustomComboBox::Change() {
    if (isLoading(this)) return;
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case CBN_SELCHANGE:
            Click();
            Change();
            break;
        case CBN_EDITCHANGE:
            Change();
            break;
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            break;
        case CBN_CLOSEUP:
            if (OnCloseUp) OnCloseUp(this);
            break;
        default:
            break;
        }
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (HandleAllocated() && Send(CB_GETDROPPEDSTATE)) Message.Result |= DLGC_WANTALLKEYS;
        return;
    case CN_DRAWITEM:
        if (OnDrawItem) {
            const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
            TCanvas* canvas = GetControlCanvas();
            canvas->SetHandle(item.hDC);
            canvas->SetFont(GetFont());
            canvas->SetBrush(GetBrush());
            try {
                // No line (an empty box, nothing selected): the box is only filled.
                if (static_cast<int>(item.itemID) >= 0)
                    OnDrawItem(this, static_cast<int>(item.itemID), TRect(item.rcItem), OwnerDrawStateOf(item.itemState));
                else
                    canvas->FillRect(TRect(item.rcItem));
            } catch (...) {
                canvas->SetHandle(nullptr);
                throw;
            }
            canvas->SetHandle(nullptr);
            Message.Result = TRUE;
            return;
        }
        break;
    case CN_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)->itemHeight = static_cast<UINT>(itemHeight_);
        Message.Result = TRUE;
        return;
    default:
        break;
    }
    TItemListControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TButtonControl, TCheckBox, TRadioButton

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetParentColor(true);

}

void TButtonControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.SystemClassName = "BUTTON";
    Params.Style |= WS_TABSTOP | ButtonStyle();
    if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TButtonControl::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageA(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TButtonControl::SetCheckedSilently(bool value) {
    checked_ = value;
    if (HandleAllocated()) SendMessageA(GetHandle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TButtonControl::SetChecked(bool value) { SetCheckedSilently(value); }

void TButtonControl::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value)) RecreateWnd();
}

void TButtonControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
        else if (HIWORD(Message.WParam) == BN_DOUBLECLICKED) DblClick();
        return;
    case CM_DIALOGCHAR:
        if (IsAccel(static_cast<WORD>(Message.WParam), GetText()) && CanFocus()) {
            SetFocus();
            Toggle();
            Message.Result = 1;
        }
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCheckBox::SetChecked(bool value) {
    if (value == GetChecked()) return;
    SetCheckedSilently(value);
    if (!isLoading(this)) Click();
}

void TRadioButton::SetChecked(bool value) {
    if (value == GetChecked()) return;
    SetCheckedSilently(value);
    if (!value) return;
    if (TWinControl* parent = GetParent()) {
        for (int i = 0; i < parent->GetControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->GetControl(i));
            if (sibling && sibling != this) sibling->SetCheckedSilently(false);
        }
    }
    if (!isLoading(this)) Click();
}
