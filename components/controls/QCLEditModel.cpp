// The edit's text model: see QCLEditModel.h for the positions and the one
// change path.
#include "components/controls/QCLEditModel.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TQCLEditModel::TQCLEditModel(TQCLEditModelHost* Host) : host_(Host) {
    Delimiters.set(' ');
    undo_.OnItemFree = TQCLBufferItemEvent(this, &TQCLEditModel::freeEntry);
    redo_.OnItemFree = TQCLBufferItemEvent(this, &TQCLEditModel::freeEntry);
}

TQCLEditModel::~TQCLEditModel() {
    undo_.Clear();
    redo_.Clear();
}

void TQCLEditModel::freeEntry(TObject*, void* Item) { delete static_cast<UndoEntry*>(Item); }

char TQCLEditModel::CharAt(int Pos) const {
    if (Pos < 1 || Pos > GetLength()) return 0;
    return text_[Pos - 1];
}

void TQCLEditModel::eraseText(int At, int Count) {
    if (Count <= 0) return;
    std::size_t oldSize = text_.size();
    text_.erase(static_cast<std::size_t>(At - 1), static_cast<std::size_t>(Count));
    // erase moves the tail down and leaves its old bytes behind the new end.
    std::size_t end = text_.size();
    if (oldSize > end + 1) secureWipe(&text_[0] + end + 1, oldSize - end - 1);
}

void TQCLEditModel::SetText(const SecretText& Value) {
    if (Value == text_) return;
    std::size_t n = Value.size();
    if (MaxLength > 0 && static_cast<int>(n) > MaxLength) n = static_cast<std::size_t>(MaxLength);
    // Wiped first, inline leftovers included: a shorter text is copied into
    // the same buffer and would leave the old tail behind its end.
    text_.wipeAndEmpty();
    text_.assign(Value.data(), n);
    ClearUndo();
    cursorPos_ = 1;
    anchor_ = 1;
    selStart_ = 1;
    selLength_ = 0;
    host_->CursorPosChanged();
    host_->NewText();
}

void TQCLEditModel::clampSelection() {
    int len = GetLength();
    selStart_ = std::clamp(selStart_, 1, len + 1);
    selLength_ = std::clamp(selLength_, 0, len + 1 - selStart_);
    cursorPos_ = std::clamp(cursorPos_, 1, len + 1);
}

void TQCLEditModel::followSelection() {
    if (Typing || Dragging) return;
    int C = cursorPos_;
    if (!shiftHeld() && !MouseExtend) {
        selLength_ = 0;
        selStart_ = C;
        return;
    }
    int S = selStart_, L = selLength_, A = anchor_, E = S + L;
    if (L == 0) {
        L = std::abs(A - C);
        if (C < A) S = C;
    } else if (S < C && C < E) {
        if (C <= A) {
            L = C - S;
        } else {
            L = E - C;
            S = C;
        }
    } else if (C >= E) {
        if (S < A) {
            L = C - S;
        } else {
            S = E;
            L = C - E;
        }
    } else if (S == A) {
        L = L + (S - C);
        S = C;
    } else {
        L = S - C;
        S = C;
    }
    selStart_ = S;
    selLength_ = L;
}

void TQCLEditModel::moveCursor(int Value) {
    anchor_ = cursorPos_;
    cursorPos_ = std::clamp(Value, 1, GetLength() + 1);
    followSelection();
    clampSelection();
}

void TQCLEditModel::SetCursorPos(int Value) {
    int oldStart = selStart_, oldLength = selLength_;
    moveCursor(Value);
    host_->CursorPosChanged();
    if ((oldLength > 0 || selLength_ > 0) && (oldStart != selStart_ || oldLength != selLength_) &&
        updateCount_ == 0)
        host_->Redraw();
}

void TQCLEditModel::SetSelStart(int Value) {
    selStart_ = Value;
    clampSelection();
}

void TQCLEditModel::SetSelLength(int Value) {
    int old = selLength_;
    selLength_ = Value;
    clampSelection();
    if (selLength_ != old && updateCount_ == 0) host_->Redraw();
}

void TQCLEditModel::Select(int Start, int Length) {
    selStart_ = Start;
    selLength_ = Length;
    clampSelection();
    // The cursor stands at the selection's end and the anchor at its start,
    // so a Shift move after a double click or Select All extends or shrinks
    // the selection from its end, as the user sees it.
    cursorPos_ = selStart_ + selLength_;
    anchor_ = selStart_;
    host_->CursorPosChanged();
    if (updateCount_ == 0) host_->Redraw();
}

void TQCLEditModel::SetSelRange(int From, int To) {
    int len = GetLength();
    if (From == -1) {
        SetSelLength(0);
        return;
    }
    if (To == -1 || To > len) To = len;
    From = std::clamp(From, 0, len);
    To = std::clamp(To, 0, len);
    int lo = std::min(From, To), hi = std::max(From, To);
    selStart_ = lo + 1;
    selLength_ = hi - lo;
    anchor_ = From + 1;
    cursorPos_ = To + 1;
    host_->CursorPosChanged();
    if (updateCount_ == 0) host_->Redraw();
}

SecretText TQCLEditModel::GetSelText() const {
    int len = GetLength();
    int s = std::clamp(selStart_, 1, len + 1);
    int l = std::clamp(selLength_, 0, len + 1 - s);
    return SecretText(text_.data() + s - 1, static_cast<std::size_t>(l));
}

int TQCLEditModel::GetSelTextBuf(char* Buffer, int Size) const {
    if (!Buffer || Size <= 0) return 0;
    SecretText sel = GetSelText();
    int n = std::min(Size, static_cast<int>(sel.size()));
    std::memcpy(Buffer, sel.data(), static_cast<std::size_t>(n));
    return n;
}

void TQCLEditModel::SelectAll() { Select(1, GetLength()); }

void TQCLEditModel::Clear() {
    SelectAll();
    SetSelText(SecretText());
}

void TQCLEditModel::SetModified(bool Value) {
    if (modified_ == Value) return;
    modified_ = Value;
    host_->ModifiedChanged();
}

void TQCLEditModel::EndUpdate() {
    if (updateCount_ > 0) {
        --updateCount_;
        return;
    }
    host_->Redraw();
}

void TQCLEditModel::pushEntry(UndoEntry&& entry) {
    TQCLDynLIFOBuffer& stack = undoing_ ? redo_ : undo_;
    auto* held = new UndoEntry(std::move(entry));
    if (!stack.Put(held)) freeEntry(nullptr, held);  // only a bounded stack out of circle mode refuses
    if (!undoing_ && !redoing_) redo_.Clear();
}

void TQCLEditModel::SetSelText(const SecretText& Value) {
    if (ReadOnly) return;
    SecretText s(Value);
    if (OEMConvert && !replaying_ && !s.empty()) {
        CharToOemBuffA(s.data(), &s[0], static_cast<DWORD>(s.size()));
        OemToCharBuffA(s.data(), &s[0], static_cast<DWORD>(s.size()));
    }
    clampSelection();
    int len = GetLength();
    int start = selStart_, count = selLength_;
    auto pairAt = [&](int p) { return CharAt(p) == '\r' && CharAt(p + 1) == '\n'; };
    if (!replaying_) {
        // Keep CR LF pairs whole, only where both halves are there.
        if (count > 0) {
            int last = start + count - 1;
            if (last < len && pairAt(last)) ++count;
            if (start > 1 && pairAt(start - 1)) {
                --start;
                ++count;
            }
        } else {
            if (start > 1 && pairAt(start - 1)) --start;
            bool overwrite = !forceInsert_ && !host_->GetEditMode().Contains(emInsert);
            if (overwrite && start <= len) count = pairAt(start) ? 2 : 1;
        }
    }
    bool fits = replaying_ || MaxLength <= 0 || len - count + static_cast<int>(s.size()) <= MaxLength;
    if (!fits) s.clear();
    if (count == 0 && s.empty()) return;  // changes nothing: no entry, no events

    host_->BeforeChangeText();
    UndoEntry entry{s, SecretText(text_.data() + start - 1, static_cast<std::size_t>(count)), start, cursorPos_};
    host_->HandleReplaceText(start, entry.removed);
    eraseText(start, count);
    selStart_ = start;
    selLength_ = 0;
    if (!s.empty()) {
        host_->HandleInsertText(start, s);
        text_.insert(static_cast<std::size_t>(start - 1), s);
    }
    int newCursor = start + static_cast<int>(s.size());
    pushEntry(std::move(entry));

    SetModified(true);
    host_->ChangedText(start);
    SetCursorPos(newCursor);
    BeginUpdate();
    SetSelLength(0);
    EndUpdate();
    selStart_ = cursorPos_;
}

void TQCLEditModel::replay(TQCLDynLIFOBuffer& from, bool undoing) {
    if (from.GetCount() == 0 || ReadOnly) return;
    std::unique_ptr<UndoEntry> taken(static_cast<UndoEntry*>(from.Get()));
    const UndoEntry& entry = *taken;
    (undoing ? undoing_ : redoing_) = true;
    replaying_ = true;
    selStart_ = entry.selStart;
    selLength_ = static_cast<int>(entry.inserted.size());
    SetSelText(entry.removed);
    replaying_ = false;
    (undoing ? undoing_ : redoing_) = false;
    BeginUpdate();
    SetCursorPos(entry.cursorPos);
    EndUpdate();
    selStart_ = entry.selStart;
    selLength_ = static_cast<int>(entry.removed.size());
    clampSelection();
    if (updateCount_ == 0) host_->Redraw();
}

void TQCLEditModel::Undo() { replay(undo_, true); }

void TQCLEditModel::Redo() { replay(redo_, false); }

void TQCLEditModel::ClearUndo() {
    undo_.Clear();
    redo_.Clear();
}

void TQCLEditModel::EmptyUndoBuffer() { undo_.Clear(); }

void TQCLEditModel::TypeChar(char Key) {
    if (static_cast<unsigned char>(Key) < 32) return;
    if (CharCase == ecUpperCase) Key = asciiUpper(Key);
    if (CharCase == ecLowerCase) Key = asciiLower(Key);
    Typing = true;
    SetSelText(SecretText(1, Key));
    Typing = false;
}

bool TQCLEditModel::CommandKey(WORD Key, bool Enabled) {
    if (!Enabled) return false;
    TQCLEditMode mode = host_->GetEditMode();
    bool shift = mode.Contains(emShift), ctrl = mode.Contains(emCtrl), alt = mode.Contains(emAlt);
    int len = GetLength();
    switch (Key) {
    case VK_BACK:
        if (ReadOnly) break;
        clampSelection();
        if (selLength_ == 0) {
            if (cursorPos_ <= 1) break;
            selStart_ = cursorPos_ - 1;
            selLength_ = 1;
        }
        SetSelText(SecretText());
        break;
    case VK_ESCAPE:
        SetSelLength(0);
        break;
    case VK_END:
        GotoParaEnd();
        break;
    case VK_HOME:
        if (ctrl)
            SetCursorPos(1);
        else
            GotoParaStart();
        break;
    case VK_LEFT:
        if (cursorPos_ >= 2) {
            bool pair = cursorPos_ >= 3 && CharAt(cursorPos_ - 2) == '\r' && CharAt(cursorPos_ - 1) == '\n';
            SetCursorPos(cursorPos_ - (pair ? 2 : 1));
        }
        if (ctrl) GotoPrevWord();
        break;
    case VK_RIGHT:
        if (cursorPos_ <= len && len > 0) {
            int p = cursorPos_ + 1;
            if (CharAt(p) == '\n' && CharAt(p - 1) == '\r') ++p;
            SetCursorPos(p);
        }
        if (ctrl) GotoNextWord();
        break;
    case VK_INSERT:
        if (shift)
            PasteFromClipboard();
        else if (ctrl)
            CopyToClipboard();
        else if (!alt)
            host_->SetEditMode(mode.Contains(emInsert) ? mode - TQCLEditMode{emInsert}
                                                       : mode + TQCLEditMode{emInsert});
        break;
    case VK_DELETE:
        if (shift) {
            CutToClipboard();
        } else if (!ReadOnly && len > 0) {
            clampSelection();
            if (selLength_ == 0) selLength_ = 1;
            clampSelection();
            SetSelText(SecretText());
        }
        break;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
        if (!ctrl) break;
        if (Key == 'A') SelectAll();
        if (Key == 'C') CopyToClipboard();
        if (Key == 'V') PasteFromClipboard();
        if (Key == 'X') CutToClipboard();
        return true;
    default:
        break;
    }
    return false;
}

void TQCLEditModel::CopyToClipboard() {
    clampSelection();
    // Nothing selected leaves the clipboard as it is.
    if (!host_->AllowCopyPaste() || selLength_ == 0) return;
    host_->SetClipboardText(GetSelText());
}

void TQCLEditModel::CutToClipboard() {
    // A password edit neither copies nor deletes; a read-only edit copies
    // and SetSelText leaves its text alone.
    if (!host_->AllowCopyPaste()) return;
    clampSelection();
    if (selLength_ == 0) return;
    CopyToClipboard();
    SetSelText(SecretText());
}

void TQCLEditModel::PasteFromClipboard() {
    if (!host_->AllowCopyPaste() || !host_->ClipboardHasText()) return;
    SetSelText(host_->GetClipboardText());
}

void TQCLEditModel::Replace(int Start, int Count, const SecretText& Value) {
    int s = selStart_, l = selLength_;
    selStart_ = Start;
    selLength_ = Count;
    clampSelection();
    SetSelText(Value);
    selStart_ = s;
    selLength_ = l;
    clampSelection();
}

void TQCLEditModel::Upper(int Start, int Count) {
    SecretText t = Copy(Start, Count);
    for (char& c : t) c = asciiUpper(c);
    Replace(Start, Count, t);
}

void TQCLEditModel::Lower(int Start, int Count) {
    SecretText t = Copy(Start, Count);
    for (char& c : t) c = asciiLower(c);
    Replace(Start, Count, t);
}

SecretText TQCLEditModel::Cut(int Start, int Count) {
    selStart_ = Start;
    selLength_ = Count;
    clampSelection();
    SecretText t = GetSelText();
    SetSelText(SecretText());
    return t;
}

SecretText TQCLEditModel::Copy(int Start, int Count) const {
    int len = GetLength();
    int s = std::clamp(Start, 1, len + 1);
    int l = std::clamp(Count, 0, len + 1 - s);
    return SecretText(text_.data() + s - 1, static_cast<std::size_t>(l));
}

void TQCLEditModel::Insert(int Position, const SecretText& Value) {
    selLength_ = 0;
    selStart_ = Position;
    clampSelection();
    SetSelText(Value);
}

void TQCLEditModel::Add(const SecretText& Value) {
    SecretText t(text_);
    t += Value;
    SetText(t);
}

void TQCLEditModel::GotoParaStart() {
    int p = cursorPos_;
    while (p > 1 && CharAt(p - 1) != '\n') --p;
    SetCursorPos(p);
}

void TQCLEditModel::GotoParaEnd() {
    int p = cursorPos_;
    while (p <= GetLength() && CharAt(p) != '\r') ++p;
    SetCursorPos(p);
}

void TQCLEditModel::GotoNextWord() {
    int p = cursorPos_, len = GetLength();
    if (p < len && IsDelimiter(CharAt(p))) ++p;
    while (p <= len && !IsDelimiter(CharAt(p))) ++p;
    SetCursorPos(p);
}

void TQCLEditModel::GotoPrevWord() {
    int p = cursorPos_;
    if (p > 1 && IsDelimiter(CharAt(p))) --p;
    while (p > 1 && !IsDelimiter(CharAt(p))) --p;
    SetCursorPos(p);
}

void TQCLEditModel::SelectLeftWord() {
    int c = cursorPos_;
    if (c <= 1) return;
    int p = c - 1;
    while (p > 1 && !IsDelimiter(CharAt(p))) --p;
    int s = IsDelimiter(CharAt(p)) ? p + 1 : p;
    selStart_ = s;
    SetSelLength(c - s);
}

void TQCLEditModel::SelectRightWord() {
    int c = cursorPos_, len = GetLength();
    selStart_ = c;
    if (c > len) {
        SetSelLength(0);
        return;
    }
    int p = c;
    while (p < len && !IsDelimiter(CharAt(p))) ++p;
    SetSelLength(IsDelimiter(CharAt(p)) ? p - c : p - c + 1);
}

void TQCLEditModel::SelectCurrentWord() {
    int c = cursorPos_, len = GetLength();
    auto isWord = [&](int p) { return p >= 1 && p <= len && !IsDelimiter(CharAt(p)); };
    int s, e;
    if (isWord(c) || isWord(c - 1)) {
        // In a word, or just after one (the click landed on the delimiter
        // that ends it): that word.
        int q = isWord(c) ? c : c - 1;
        s = q;
        while (isWord(s - 1)) --s;
        e = q;
        while (isWord(e)) ++e;
    } else {
        // Among delimiters there is no word: an empty selection at the cursor.
        s = e = c;
    }
    Select(s, e - s);
}

SecretText TQCLEditModel::GetCurrentWord() const {
    int len = GetLength();
    int s = cursorPos_;
    if (s > 1 && IsDelimiter(CharAt(s))) --s;
    while (s > 1 && !IsDelimiter(CharAt(s))) --s;
    int e = cursorPos_;
    // The end stops at the last character, which stays outside the result.
    while (e < len && !IsDelimiter(CharAt(e))) ++e;
    if (e < s) return SecretText();
    return Copy(s, e - s);
}

int TQCLEditModel::CountWords() const {
    int n = 0;
    for (int p = 2; p <= GetLength(); ++p)
        if (IsDelimiter(CharAt(p))) ++n;
    return n;
}

bool TQCLEditModel::Search(const AnsiString& Pattern, TQCLSearchStart Start, bool MatchCase, bool WholeWord,
                           TQCLSearchDirection Direction) {
    int n = static_cast<int>(Pattern.size()), len = GetLength();
    if (n == 0) return false;
    auto same = [&](char a, char b) { return MatchCase ? a == b : asciiUpper(a) == asciiUpper(b); };
    // Outside the text counts as a delimiter, so words at either end match.
    auto boundary = [&](int p) { return p < 1 || p > len || IsDelimiter(CharAt(p)); };
    auto matchAt = [&](int m) {
        if (m < 1 || m + n - 1 > len) return false;
        for (int i = 0; i < n; ++i)
            if (!same(text_[m - 1 + i], Pattern[i])) return false;
        return !WholeWord || (boundary(m - 1) && boundary(m + n));
    };
    bool up = Direction == sdUp;
    int from = Start == stTop ? 1 : Start == stBottom ? len : cursorPos_;
    for (int round = 0; round < 2; ++round) {
        if (up) {
            for (int m = std::min(from, len) - n + 1; m >= 1; --m)
                if (matchAt(m)) {
                    SetCursorPos(m + n);
                    SetCursorPos(m);
                    selStart_ = m;
                    SetSelLength(n);
                    return true;
                }
        } else {
            for (int m = std::max(from, 1); m + n - 1 <= len; ++m)
                if (matchAt(m)) {
                    SetCursorPos(m);
                    SetCursorPos(m + n);
                    selStart_ = m;
                    SetSelLength(n);
                    return true;
                }
        }
        if (round == 1 || !host_->AskRestartSearch(up)) return false;
        from = up ? len : 1;
    }
    return false;
}

bool TQCLEditModel::SearchAndReplace(const AnsiString& Pattern, const SecretText& NewText, TQCLSearchStart Start,
                                     bool MatchCase, bool WholeWord, TQCLSearchDirection Direction, bool Prompt,
                                     bool ReplaceAll) {
    bool replaced = false;
    TQCLSearchStart from = Start;
    while (Search(Pattern, from, MatchCase, WholeWord, Direction)) {
        if (!Prompt) {
            SetSelText(NewText);
            replaced = true;
        } else {
            int answer = host_->AskReplace(ReplaceAll);
            if (answer == IDCANCEL) return false;
            if (answer == IDYES) {
                SetSelText(NewText);
                replaced = true;
            } else if (answer == QCLReplaceAll) {
                ReplaceAll = true;
            }
        }
        if (!ReplaceAll) break;
        SetSelLength(0);
        from = stCursor;
    }
    return replaced;
}

void TQCLEditModel::MoveSelectionTo(int Target) {
    clampSelection();
    int S = selStart_, E = selStart_ + selLength_;
    if (selLength_ == 0 || (Target >= S && Target <= E) || ReadOnly) {
        selLength_ = 0;
        selStart_ = cursorPos_;
        if (updateCount_ == 0) host_->Redraw();
        return;
    }
    SecretText moved = GetSelText();
    Dragging = false;
    SetSelText(SecretText());
    if (Target > E) Target -= static_cast<int>(moved.size());
    if (Target > 1 && CharAt(Target) == '\n' && CharAt(Target - 1) == '\r') --Target;
    selStart_ = Target;
    selLength_ = 0;
    clampSelection();
    // The moved text goes in whole, whatever the insert/overwrite mode.
    forceInsert_ = true;
    SetSelText(moved);
    forceInsert_ = false;
    BeginUpdate();
    SetCursorPos(Target);
    EndUpdate();
    selStart_ = cursorPos_;
    selLength_ = 0;
    if (updateCount_ == 0) host_->Redraw();
}
