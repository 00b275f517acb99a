// The editing engine's window side: see QCLBaseEdit.h.
#include "components/controls/QCLBaseEdit.h"

#include "components/controls/QCLReplacePrompt.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclclass.h"
#include "framework/Clipbrd.h"
#include "framework/Forms.h"

#include <algorithm>
#include <cstring>

TQCLBaseEdit::TQCLBaseEdit(TComponent* AOwner) : TQCLCustomBevelPanel(AOwner) {
    SetControlStyle(GetControlStyle() - TControlStyle{csAcceptsControls});
    SetHeight(21);
    font3D_ = new TQCL3DCaption;
    font3D_->OnChange = TNotifyEvent(this, &TQCLBaseEdit::GetChange);
    bevel_->SetMode(bmWindows);
    caret_ = new TQCLCaret(this);
    SetCursor(crIBeam);
    SetColor(clWhite);
    SetTabStop(true);
}

TQCLBaseEdit::~TQCLBaseEdit() {
    if (timer_ && QCLApplication) QCLApplication->RemoveTimer(timer_);
    delete back_;
    delete caret_;
    font3D_->OnChange = nullptr;
    delete font3D_;
}

// ---------------------------------------------------------------------------
// Properties

void TQCLBaseEdit::SetText(const AnsiString& Value) { Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str())); }

AnsiString TQCLBaseEdit::GetSelText() const {
    SecretText s = model_.GetSelText();
    return AnsiString(s.data(), s.size());
}

void TQCLBaseEdit::SetInteger(int Index, int Value) {
    switch (Index) {
    case 0: model_.MaxLength = std::max(0, Value); break;
    case 1: model_.SetSelStart(Value); break;
    case 2: model_.SetSelLength(Value); break;
    case 5: model_.SetCursorPos(Value); break;
    default: break;
    }
}

void TQCLBaseEdit::SetBoolean(int Index, bool Value) {
    switch (Index) {
    case 0: HideSelection = Value; break;
    case 1: model_.ReadOnly = Value; break;
    case 2: model_.SetModified(Value); break;
    case 4: AutoSelect = Value; break;
    case 5: model_.OEMConvert = Value; break;
    case 6: FocusOnMouseAbove = Value; break;
    default: break;
    }
}

void TQCLBaseEdit::SetFont3D(TQCL3DCaption* Value) {
    font3D_->Assign(Value);
    Perform(CM_FONTCHANGED, 0, 0);
}

void TQCLBaseEdit::SetAlignment(TAlignment Value) {
    if (alignment_ == Value) return;
    alignment_ = Value;
    scrollOffset_ = 0;
    DoAlignmentChange();
    DrawText(model_.GetCursorPos());
    SetCaret();
}

void TQCLBaseEdit::GetChange(TObject* Sender) {
    TQCLCustomBevelPanel::GetChange(Sender);
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// The model's host

TQCLEditMode TQCLBaseEdit::GetEditMode() { return QCLApplication ? QCLApplication->GetEditMode() : TQCLEditMode{emInsert}; }

void TQCLBaseEdit::SetEditMode(TQCLEditMode Mode) {
    if (QCLApplication) QCLApplication->SetEditMode(Mode);
}

bool TQCLBaseEdit::ClipboardHasText() { return Clipboard()->HasFormat(CF_TEXT); }

SecretText TQCLBaseEdit::GetClipboardText() {
    AnsiString t = Clipboard()->GetAsText();
    SecretText s(t.data(), t.size());
    secureWipe(&t[0], t.size());
    return s;
}

void TQCLBaseEdit::SetClipboardText(const SecretText& Text) {
    AnsiString t(Text.data(), Text.size());
    Clipboard()->SetAsText(t);
    secureWipe(&t[0], t.size());
}

void TQCLBaseEdit::CursorPosChanged() {
    SetCaret();
    if (OnCursorPosChanged) OnCursorPosChanged(this);
}

void TQCLBaseEdit::ChangedText(int At) {
    if (model_.UpdateCount() > 0) return;
    DrawText(model_.GetCursorPos());
    if (IsLoading()) return;
    if (OnTextChangedAt) OnTextChangedAt(this, At);
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Layout and painting frame

bool TQCLBaseEdit::hasFocus() { return HandleAllocated() && GetFocus() == GetHandle(); }

TCanvas* TQCLBaseEdit::drawCanvas() { return back_ ? back_->GetCanvas() : GetCanvas(); }

void TQCLBaseEdit::SetupRects() {
    if (model_.UpdateCount() > 0 || IsLoading()) return;
    TRect client = GetClientRect();
    int ext = BevelExt();
    innerRect_ = TRect(client.Left + ext, client.Top + ext, client.Right - ext, client.Bottom - ext);
    paintRect_ = innerRect_;
    ModifyPaintRect();
    textRect_ = TRect(paintRect_.Left + 1, paintRect_.Top + 1, paintRect_.Right - 1, paintRect_.Bottom - 1);
    ModifyTextRect();
}

void TQCLBaseEdit::CreateBack() {
    TRect client = GetClientRect();
    if (!back_) {
        back_ = new TBitmap;
        back_->SetPixelFormat(pf24bit);
    }
    back_->SetSize(std::max(1, GetWidth()), std::max(1, GetHeight()));
    RepaintBack(client);
    int ext = BevelExt();
    innerRect_ = TRect(client.Left + ext, client.Top + ext, client.Right - ext, client.Bottom - ext);
    paintRect_ = innerRect_;
    ModifyPaintRect();
    textRect_ = TRect(paintRect_.Left + 1, paintRect_.Top + 1, paintRect_.Right - 1, paintRect_.Bottom - 1);
    ModifyTextRect();
}

void TQCLBaseEdit::RepaintBack(const TRect& Rect) {
    TCanvas* canvas = drawCanvas();
    if (CheckOptimized() && BackDrawArea(canvas, Rect, TPoint(0, 0))) return;
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(Rect);
}

void TQCLBaseEdit::Paint() {
    if (model_.UpdateCount() > 0 || IsLoading()) return;
    TQCLCustomBevelPanel::Paint();
    SetCaret();
}

void TQCLBaseEdit::DestroyWnd() {
    destroyingWindow_ = true;
    TQCLCustomBevelPanel::DestroyWnd();
    destroyingWindow_ = false;
}

void TQCLBaseEdit::Loaded() {
    TQCLCustomBevelPanel::Loaded();
    CreateBack();
    if (HandleAllocated()) Invalidate();
}

int TQCLBaseEdit::RowWidth(const AnsiString& Text) {
    if (Text.empty()) return 0;
    TCanvas* canvas = drawCanvas();
    canvas->SetFont(GetFont());
    canvas->TextExtent("");  // selects the font into the DC
    HDC dc = canvas->GetHandle();
    int saved = SetTextCharacterExtra(dc, font3D_->GetTracing());
    SIZE size{};
    GetTextExtentPoint32A(dc, Text.data(), static_cast<int>(Text.size()), &size);
    SetTextCharacterExtra(dc, saved);
    return size.cx + QCL3DTextExtra(font3D_);
}

int TQCLBaseEdit::ShownWidth(int Count) {
    SecretText head = model_.Copy(1, Count);
    AnsiString t(head.data(), head.size());
    int w = RowWidth(t);
    if (!t.empty()) secureWipe(&t[0], t.size());
    return w;
}

int TQCLBaseEdit::RowHeight(const AnsiString& Text) {
    TCanvas* canvas = drawCanvas();
    canvas->SetFont(GetFont());
    int h = canvas->TextHeight(Text.empty() ? AnsiString("Qp") : Text);
    TQCLThreeDStyle s = font3D_->GetStyle();
    if (s == tdSunkenShadow || s == tdRaisedShadow || s == tdShadow) h += font3D_->GetShadowDepth();
    return h;
}

void TQCLBaseEdit::SetQCLCaretPos(int X, int Y) {
    if (caret_->Style == csUnder) Y += RowHeight("Qp") - 3;
    if (caret_->Style == csUnderBlock) Y += RowHeight("Qp") - caret_->GetHeight() - 2;
    caret_->SetPos(0, X);
    caret_->SetPos(1, Y);
    // Moving the caret repaints it; Paint places it too, so an unchanged
    // place must not start another paint.
    POINT now{};
    if (!::GetCaretPos(&now) || now.x != X || now.y != Y) ::SetCaretPos(X, Y);
}

// ---------------------------------------------------------------------------
// Keys

void TQCLBaseEdit::setModifiersFrom(TShiftState Shift) {
    TQCLEditMode mode = GetEditMode() - TQCLEditMode{emShift, emCtrl, emAlt};
    if (Shift.Contains(ssShift)) mode << emShift;
    if (Shift.Contains(ssCtrl)) mode << emCtrl;
    if (Shift.Contains(ssAlt)) mode << emAlt;
    SetEditMode(mode);
}

void TQCLBaseEdit::refreshModifiersFromKeyboard(WPARAM MouseKeys) {
    // The press carries the Shift and Ctrl states of its own moment.
    TShiftState shift;
    if (MouseKeys & MK_SHIFT) shift << ssShift;
    if (MouseKeys & MK_CONTROL) shift << ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift << ssAlt;
    setModifiersFrom(shift);
}

void TQCLBaseEdit::KeyDown(WORD& Key, TShiftState Shift) {
    TQCLCustomBevelPanel::KeyDown(Key, Shift);
    setModifiersFrom(Shift);
    if (Key && GetCommandKey(Key)) Key = 0;
}

void TQCLBaseEdit::KeyUp(WORD& Key, TShiftState Shift) {
    TQCLCustomBevelPanel::KeyUp(Key, Shift);
    setModifiersFrom(Shift);
}

bool TQCLBaseEdit::GetCommandKey(WORD Key) {
    if (!GetEnabled()) return false;
    return model_.CommandKey(Key);
}

// ---------------------------------------------------------------------------
// Mouse

void TQCLBaseEdit::mouseStep() {
    int pos = CalcMousePos(lastMouse_);
    int oldLength = model_.GetSelLength();
    model_.MouseExtend = !model_.Dragging && leftDown_ && timer_ != 0 && model_.GetSelLength() > 0;
    model_.SetCursorPos(pos);
    model_.MouseExtend = false;
    if (model_.GetSelLength() != oldLength) DrawText(model_.GetCursorPos());
}

void TQCLBaseEdit::timerTick(TObject*) {
    if (!leftDown_ || !HandleAllocated()) return;
    POINT p;
    ::GetCursorPos(&p);
    ::ScreenToClient(GetHandle(), &p);
    lastMouse_ = TPoint(p.x, p.y);
    int oldCursor = model_.GetCursorPos();
    model_.MouseExtend = !model_.Dragging;
    model_.SetCursorPos(CalcMousePos(lastMouse_));
    model_.MouseExtend = false;
    if (model_.GetCursorPos() != oldCursor) DrawText(model_.GetCursorPos());
}

void TQCLBaseEdit::lButtonDown(TMessage& Message) {
    TQCLCustomBevelPanel::Dispatch(Message);
    if (!GetEnabled()) return;
    refreshModifiersFromKeyboard(Message.WParam);
    leftDown_ = true;
    if (!hasFocus() && CanFocus()) SetFocus();
    lastMouse_ = TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
    int pos = CalcMousePos(lastMouse_);
    if (model_.InsideSelection(pos) && !model_.Dragging) {
        model_.Dragging = true;
        SetCursor(crDrag);
    }
    int oldLength = model_.GetSelLength();
    model_.SetCursorPos(pos);
    if (model_.GetSelLength() != oldLength) DrawText(model_.GetCursorPos());
    if (!timer_ && QCLApplication) {
        try {
            timer_ = QCLApplication->AddTimer(200, TNotifyEvent(this, &TQCLBaseEdit::timerTick));
        } catch (...) {
            timer_ = 0;  // no timer: a held button does not scroll on its own
        }
    }
}

void TQCLBaseEdit::mouseMove(TMessage& Message) {
    TQCLCustomBevelPanel::Dispatch(Message);
    if (!GetEnabled()) return;
    lastMouse_ = TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
    if ((Message.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != MK_LBUTTON || !leftDown_) return;
    if (model_.Dragging) return;
    int oldCursor = model_.GetCursorPos();
    model_.MouseExtend = true;
    model_.SetCursorPos(CalcMousePos(lastMouse_));
    model_.MouseExtend = false;
    if (model_.GetCursorPos() != oldCursor) DrawText(model_.GetCursorPos());
}

void TQCLBaseEdit::lButtonUp(TMessage& Message) {
    TQCLCustomBevelPanel::Dispatch(Message);
    if (timer_ && QCLApplication) QCLApplication->RemoveTimer(timer_);
    timer_ = 0;
    leftDown_ = false;
    if (!model_.Dragging) return;
    SetCursor(crIBeam);
    model_.Dragging = false;
    lastMouse_ = TPoint(static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam)));
    model_.MoveSelectionTo(CalcMousePos(lastMouse_));
    DrawText(model_.GetCursorPos());
}

std::unique_ptr<TPopupMenu> TQCLBaseEdit::buildContextMenu() {
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    bool selection = model_.GetSelLength() > 0, readOnly = model_.ReadOnly;
    auto add = [&](const char* caption, bool enabled, void (TQCLBaseEdit::*handler)(TObject*)) {
        auto* item = new TMenuItem(menu.get());
        item->SetCaption(caption);
        item->SetEnabled(enabled);
        if (handler) item->OnClick = TNotifyEvent(this, handler);
        menu->GetItems()->Add(item);
    };
    // Offered while a step is kept, read-only or not: Undo itself refuses the change.
    add("&Undo", model_.CanUndo(), &TQCLBaseEdit::menuUndo);
    add("-", true, nullptr);
    add("&Cut", selection && !readOnly, &TQCLBaseEdit::menuCut);
    add("&Copy", selection, &TQCLBaseEdit::menuCopy);
    add("&Insert", ClipboardHasText() && !readOnly, &TQCLBaseEdit::menuPaste);
    add("&Delete", selection && !readOnly, &TQCLBaseEdit::menuDelete);
    add("-", true, nullptr);
    add("Select all", model_.GetLength() > 0, &TQCLBaseEdit::menuSelectAll);
    return menu;
}

void TQCLBaseEdit::contextMenu(TMessage& Message) {
    if (!GetEnabled()) return;
    if (GetPopupMenu()) {
        TQCLCustomBevelPanel::Dispatch(Message);
        return;
    }
    auto menu = buildContextMenu();
    POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    ::ClientToScreen(GetHandle(), &p);
    menu->Popup(p.x, p.y);
    Application->ProcessMessages();
}

// ---------------------------------------------------------------------------
// Messages

bool TQCLBaseEdit::editMessage(TMessage& Message) {
    WPARAM w = Message.WParam;
    LPARAM l = Message.LParam;
    int len = model_.GetLength();
    switch (Message.Msg) {
    case EM_CANUNDO: Message.Result = model_.CanUndo() ? 1 : 0; return true;
    case EM_CHARFROMPOS:
        Message.Result = MAKELONG(CalcMouseRow(LOWORD(l)), CalcMouseCol(HIWORD(l)));
        return true;
    case EM_EMPTYUNDOBUFFER: model_.EmptyUndoBuffer(); return true;
    case EM_GETFIRSTVISIBLELINE:
    case EM_GETHANDLE:
    case EM_GETMARGINS:
    case EM_GETTHUMB:
    case EM_GETWORDBREAKPROC:
    case EM_LINEFROMCHAR:
    case EM_LINEINDEX: Message.Result = 0; return true;
    case EM_GETLIMITTEXT: Message.Result = model_.MaxLength; return true;
    case EM_GETLINE: {
        // The buffer's first word holds its size, as the platform has it.
        if (!l) {
            Message.Result = 0;
            return true;
        }
        WORD capacity;
        std::memcpy(&capacity, reinterpret_cast<void*>(l), sizeof capacity);
        int n = std::min<int>(capacity, len);
        if (n > 0) std::memcpy(reinterpret_cast<void*>(l), model_.Text().data(), static_cast<size_t>(n));
        Message.Result = n;
        return true;
    }
    case EM_GETLINECOUNT: Message.Result = 1; return true;
    case EM_GETMODIFY: Message.Result = model_.GetModified() ? 1 : 0; return true;
    case EM_GETPASSWORDCHAR: Message.Result = 0; return true;
    case EM_GETRECT:
        if (l) *reinterpret_cast<RECT*>(l) = RECT{textRect_.Left, textRect_.Top, textRect_.Right, textRect_.Bottom};
        return true;
    case EM_GETSEL: {
        DWORD a = static_cast<DWORD>(model_.GetSelStart() - 1);
        DWORD b = static_cast<DWORD>(model_.GetSelStart() + model_.GetSelLength() - 1);
        if (w) *reinterpret_cast<DWORD*>(w) = a;
        if (l) *reinterpret_cast<DWORD*>(l) = b;
        Message.Result = MAKELONG(a, b);
        return true;
    }
    case EM_LIMITTEXT: model_.MaxLength = static_cast<int>(w); return true;
    case EM_LINELENGTH: Message.Result = len; return true;
    case EM_POSFROMCHAR: {
        // Measured as shown: a password edit gives away no widths of its text.
        int n = std::clamp(static_cast<int>(l), 0, len);
        POINT* p = reinterpret_cast<POINT*>(w);
        if (p) *p = POINT{ShownWidth(n) + textRect_.Left - scrollOffset_, 0};
        return true;
    }
    case EM_REPLACESEL:
        model_.SetSelText(SecretText(l ? reinterpret_cast<const char*>(l) : ""));
        if (w == 0) model_.ClearUndo();
        return true;
    case EM_SETMODIFY: model_.SetModified(w != 0); return true;
    case EM_SETREADONLY:
        model_.ReadOnly = w != 0;
        Message.Result = 1;
        return true;
    case EM_SETSEL: model_.SetSelRange(static_cast<int>(w), static_cast<int>(l)); return true;
    case EM_UNDO:
        model_.Undo();
        Message.Result = model_.CanUndo() ? 1 : 0;
        return true;
    case EM_FMTLINES:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_SETHANDLE:
    case EM_SETMARGINS:
    case EM_SETPASSWORDCHAR:
    case EM_SETRECT:
    case EM_SETRECTNP:
    case EM_SETTABSTOPS:
    case EM_SETWORDBREAKPROC: return true;
    default: return false;
    }
}

void TQCLBaseEdit::Dispatch(TMessage& Message) {
    if (editMessage(Message)) return;
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        TQCLCustomBevelPanel::Dispatch(Message);
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_CHAR: {
        if (DoKeyPress(Message)) return;
        char key = static_cast<char>(Message.WParam);
        if (static_cast<unsigned char>(key) < 32 || !GetEnabled()) return;
        model_.TypeChar(key);
        return;
    }
    case WM_LBUTTONDOWN: lButtonDown(Message); return;
    case WM_MOUSEMOVE: mouseMove(Message); return;
    case WM_LBUTTONUP: lButtonUp(Message); return;
    case WM_LBUTTONDBLCLK:
        TQCLCustomBevelPanel::Dispatch(Message);
        if (!GetEnabled()) return;
        model_.BeginUpdate();
        SelectCurrentWord();
        model_.EndUpdate();
        DrawText(model_.GetCursorPos());
        return;
    case WM_RBUTTONUP: contextMenu(Message); return;
    case CM_MOUSEENTER:
        TQCLCustomBevelPanel::Dispatch(Message);
        if (FocusOnMouseAbove && GetEnabled() && CanFocus()) SetFocus();
        return;
    case WM_SETFOCUS:
        TQCLCustomBevelPanel::Dispatch(Message);
        if (caret_->Style == csDefault) caret_->SetWord(4, static_cast<uint16_t>(RowHeight("Qp")));
        caret_->BuildCaret();
        caret_->Enable();
        if (GetFlat()) RestoreBorderFront();
        if (HideSelection || AutoSelect) {
            if (AutoSelect) model_.SelectAll();
            selectionHidden_ = false;
            if (model_.GetSelLength() > 0) DrawText(model_.GetCursorPos());
        }
        SetCaret();
        return;
    case WM_KILLFOCUS:
        if (HideSelection && model_.GetSelLength() > 0) {
            selectionHidden_ = true;
            DrawText(model_.GetCursorPos());
        }
        TQCLCustomBevelPanel::Dispatch(Message);
        caret_->DestroyCaret();
        return;
    case CM_FONTCHANGED:
        TQCLCustomBevelPanel::Dispatch(Message);
        // RowHeight hands the new font to the canvas before measuring.
        caret_->SetWord(4, static_cast<uint16_t>(RowHeight("Qp")));
        if (hasFocus()) {
            caret_->DestroyCaret();
            caret_->BuildCaret();
            caret_->Enable();
            SetCaret();
        }
        return;
    case CM_ENABLEDCHANGED:
        TQCLCustomBevelPanel::Dispatch(Message);
        DrawText(model_.GetCursorPos());
        return;
    case WM_SETTEXT: {
        const char* s = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        SecretText value(s);
        if (value == model_.Text()) {
            model_.ClearUndo();
            SetNewText();
        } else {
            model_.SetText(value);
        }
        Message.Result = TRUE;
        return;
    }
    case WM_GETTEXT: {
        GetNewText();
        if (!Message.LParam || Message.WParam == 0) {
            Message.Result = 0;
            return;
        }
        size_t n = std::min(model_.Text().size(), static_cast<size_t>(Message.WParam) - 1);
        std::memcpy(reinterpret_cast<char*>(Message.LParam), model_.Text().data(), n);
        reinterpret_cast<char*>(Message.LParam)[n] = '\0';
        Message.Result = static_cast<LRESULT>(n);
        return;
    }
    case WM_GETTEXTLENGTH: Message.Result = destroyingWindow_ ? 0 : model_.GetLength(); return;
    case WM_SIZE:
        TQCLCustomBevelPanel::Dispatch(Message);
        CreateBack();
        return;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_COPY: CopyToClipboard(); return;
    case WM_CUT: CutToClipboard(); return;
    case WM_PASTE: PasteFromClipboard(); return;
    case WM_CLEAR: ClearSelection(); return;
    default: TQCLCustomBevelPanel::Dispatch(Message); return;
    }
}

// The prompts of Search and SearchAndReplace, owned by the edit's window.
bool TQCLBaseEdit::AskRestartSearch(bool Upward) {
    const char* text = Upward ? "At top ... restart from bottom?" : "At bottom ... restart from top?";
    return MessageBoxA(HandleAllocated() ? GetHandle() : nullptr, text, "Search", MB_YESNO) == IDYES;
}

int TQCLBaseEdit::AskReplace(bool ReplaceAll) {
    return QCLAskReplace(HandleAllocated() ? GetHandle() : nullptr, ReplaceAll);
}
