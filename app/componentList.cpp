// One editor row of a record and the edit that reports its changes.
#include "app/componentList.h"

#include "components/runtime/qclcont.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"

#include <algorithm>

namespace {

constexpr int MaxFieldLength = 4096;
constexpr TColor ButtonTransparent = static_cast<TColor>(0x18FF00);
constexpr TColor CopyTransparent = static_cast<TColor>(0x16FF00);

SecretText maskOf(std::size_t n) { return SecretText(n, '*'); }

bool allAsterisks(const SecretText& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == '*'; });
}

TBitmap* pictureAt(TQCLBitmapList* pictures, int index) {
    if (!pictures || index < 0 || index >= pictures->GetCount()) return nullptr;
    return pictures->GetArrayItem(index)->GetBitmap();
}

// Runs f with the control's change event detached.
template <class Control, class F>
void detached(Control* control, F&& f) {
    TNotifyEvent saved = control->OnChange;
    control->OnChange = nullptr;
    f();
    control->OnChange = saved;
}

}  // namespace

const char* actionButtonHint(int type) {
    switch (type) {
    case abCopy: return "Copy text to clipboard|Copy text to clipboard";
    case abBrowse: return "Browse to file to encrypt|Browse to file to encrypt";
    case abRemove: return "Remove file from the vault|Remove file from the vault";
    case abEncrypt: return "Encrypt this file|Encrypt this file";
    case abDecrypt: return "Decrypt this file|Decrypt this file";
    case abRun: return "Run this file with the appropriate program|Run this file with the appropriate program";
    default: return "";
    }
}

int actionButtonPictureBase(int type) {
    static const int bases[] = {0, 10, 13, 4, 7, 16};
    return type >= 0 && type <= abRun ? bases[type] : 0;
}

// ---- TRecordEdit ----

void TRecordEdit::HandleReplaceText(int At, const SecretText& Removed) {
    change_.at = At;
    change_.removed = Removed;
    change_.inserted.clear();
    hasChange_ = true;
}

void TRecordEdit::HandleInsertText(int At, const SecretText& Inserted) {
    if (!hasChange_ || change_.at != At) {
        change_.at = At;
        change_.removed.clear();
    }
    change_.inserted = Inserted;
    hasChange_ = true;
}

bool TRecordEdit::takeChange(Change& change) {
    if (!hasChange_) return false;
    change = change_;
    change_ = Change();
    hasChange_ = false;
    return true;
}

void TRecordEdit::Dispatch(TMessage& Message) {
    if (Message.Msg != WM_LBUTTONUP) {
        if (Message.Msg == WM_SETTEXT) hasChange_ = false;  // a whole new text has no record
        TQCLEdit::Dispatch(Message);
        return;
    }
    // A drag of the selection ends here: its removal and re-insertion belong together.
    dropping_ = true;
    TQCLEdit::Dispatch(Message);
    dropping_ = false;
}

// ---- componentList ----

componentList::componentList(TQCLBitmapList* pictures) : pictures_(pictures) {}

componentList::~componentList() {
    delete caption;
    delete edit;
    delete memo;
    delete copyButton;
    delete browseButton;
    delete removeButton;
    delete decryptButton;
    delete encryptButton;
    delete runButton;
    delete emptyImage;
    // The rest of the chain, without recursion: a long chain must not exhaust the stack.
    componentList* rest = next;
    next = nullptr;
    while (rest) {
        componentList* following = rest->next;
        rest->next = nullptr;
        delete rest;
        rest = following;
    }
}

void componentList::setCaption(int top, const std::string& name, TWinControl* parent) {
    if (!caption) caption = new TLabel(parent);
    caption->Parent = parent;
    caption->SetBounds(8, top, caption->Width, 16);
    caption->Caption = (name + ":").c_str();
    caption->Visible = true;
}

void componentList::showEdit(int top, int width, TNotifyEvent changeHandler, TComponent* owner, TWinControl* parent,
                             int tabOrder, bool isHidden) {
    (void)owner;
    if (!edit) {
        edit = new TRecordEdit(parent);
        edit->Parent = parent;
        edit->Constraints->MinHeight = 21;
        edit->SetAnchors(TAnchors{akLeft, akTop, akRight});
        edit->SetMaxLength(MaxFieldLength);
    }
    editChange_ = changeHandler;
    detached(edit, [&] { edit->SetText(""); });
    edit->OnChange = changeHandler;
    edit->SetBounds(8, top, width, 21);
    edit->SetTabOrder(tabOrder);
    edit->Visible = true;
    hidden = isHidden;
}

void componentList::showMemo(int top, int width, TNotifyEvent changeHandler, TComponent* owner, TWinControl* parent,
                             int tabOrder) {
    (void)owner;
    if (!memo) {
        memo = new TMemo(parent);
        memo->Parent = parent;
        memo->Constraints->MinHeight = 64;
        memo->SetScrollBars(ssVertical);
        memo->SetWantReturns(true);
        memo->SetAnchors(TAnchors{akLeft, akTop, akRight});
        memo->SetMaxLength(MaxFieldLength);
    }
    detached(memo, [&] { memo->SetText(""); });
    memo->OnChange = changeHandler;
    memo->SetBounds(8, top, width, 64);
    memo->SetTabOrder(tabOrder);
    memo->Visible = true;
}

KTransButton*& componentList::buttonOfType(int type) {
    switch (type) {
    case abBrowse: return browseButton;
    case abRemove: return removeButton;
    case abEncrypt: return encryptButton;
    case abDecrypt: return decryptButton;
    case abRun: return runButton;
    default: return copyButton;
    }
}

void componentList::showButton(bool visible, int left, TNotifyEvent releaseHandler, TComponent* owner,
                               TWinControl* parent, int type, int height, int width, int top) {
    (void)owner;
    KTransButton*& button = buttonOfType(type);
    if (!button) {
        button = new KTransButton(parent);
        button->Parent = parent;
        const int base = actionButtonPictureBase(type);
        button->SetTransparentColor(type == abCopy ? CopyTransparent : ButtonTransparent);
        if (TBitmap* normal = pictureAt(pictures_, base)) button->SetBitMap(normal);
        if (TBitmap* active = pictureAt(pictures_, base + 1)) button->SetBitmapOnActive(active);
        if (TBitmap* down = pictureAt(pictures_, base + 2)) button->SetBitmapOnDown(down);
        button->SetHint(actionButtonHint(type));
        button->SetShowHint(true);
        button->SetCursor(crHandPoint);
        button->SetAnchors(type == abCopy ? TAnchors{akTop, akRight} : TAnchors{akLeft, akTop});
    }
    button->OnMouseRelease = releaseHandler;
    button->SetBounds(left, top, width, height);
    button->Enabled = true;
    button->Visible = visible;
}

void componentList::showEmptyImage(int width, int height, TWinControl* parent, int pictureIndex, int top, int left) {
    if (!emptyImage) {
        emptyImage = new TTranImage(parent);
        emptyImage->Parent = parent;
        emptyImage->SetTransparentColor(CopyTransparent);
        emptyImage->SetAnchors(TAnchors{akTop, akRight});
    }
    if (TBitmap* picture = pictureAt(pictures_, pictureIndex)) emptyImage->SetBitMap(picture);
    emptyImage->SetBounds(left, top, width, height);
    emptyImage->Visible = true;
}

void componentList::setEditText(const SecretText& text) {
    if (!edit) return;
    detached(edit, [&] { edit->SetText(AnsiString(text.data(), text.size())); });
}

void componentList::maskEdit(int cursor) {
    if (!edit) return;
    setEditText(maskOf(value.size()));
    edit->SetCursorPos(std::min<int>(std::max(cursor, 1), static_cast<int>(value.size()) + 1));
}

void componentList::setValue(const std::string& text) {
    value = SecretText(text.c_str(), text.size());
    if (edit) {
        setEditText(hidden ? maskOf(value.size()) : value);
        edit->Enabled = true;
        edit->Color = clWindow;
    }
    if (emptyImage) emptyImage->Visible = text.empty();
    if (copyButton && emptyImage) copyButton->Visible = !text.empty();
}

void componentList::setMemoText(const std::string& text) {
    if (memo) {
        detached(memo, [&] { memo->SetText(text.c_str()); });
        memo->Enabled = true;
        memo->Color = clWindow;
    }
    if (emptyImage) emptyImage->Visible = text.empty();
    if (copyButton && emptyImage) copyButton->Visible = !text.empty();
}

void componentList::setFileValue(const std::string& path, bool encrypted) {
    if (edit) {
        setEditText(SecretText(path.c_str(), path.size()));
        edit->Enabled = true;
        edit->Color = clWindow;
    }
    auto show = [](KTransButton* button, bool visible) {
        if (button) button->Visible = visible;
    };
    if (path.empty()) {
        show(browseButton, true);
        show(removeButton, false);
        show(runButton, false);
        show(encryptButton, false);
        show(decryptButton, false);
        return;
    }
    show(browseButton, false);
    show(removeButton, true);
    show(runButton, true);
    show(decryptButton, encrypted);
    show(encryptButton, !encrypted);
}

void componentList::setHidden(bool flag) {
    if (!edit) {
        hidden = flag;
        return;
    }
    if (flag) {
        if (!hidden) value = SecretText(edit->GetText().c_str(), edit->GetLength());
        setEditText(maskOf(static_cast<std::size_t>(edit->GetLength())));
    } else {
        edit->SetPasswordChar(0);
        if (hidden) setEditText(value);
    }
    hidden = flag;
    edit->Invalidate();
}

std::string componentList::getValue() const {
    if (!value.empty()) return std::string(value.data(), value.size());
    return edit ? std::string(edit->GetText().c_str(), edit->GetLength()) : std::string();
}

std::string componentList::getMemoText() const { return memo ? std::string(memo->GetText().c_str()) : std::string(); }

void componentList::copyValue() {
    if (!edit) return;
    if (!hidden) {
        edit->SelectAll();
        edit->CopyToClipboard();
        return;
    }
    const int cursor = edit->GetCursorPos();
    setEditText(value);
    edit->SelectAll();
    edit->CopyToClipboard();
    maskEdit(cursor);
}

void componentList::copyMemo() {
    if (!memo) return;
    memo->SelectAll();
    memo->CopyToClipboard();
}

void componentList::updateEmptyImage() {
    const bool empty = !edit || edit->GetLength() == 0;
    if (emptyImage) emptyImage->Visible = empty;
    if (copyButton && emptyImage) copyButton->Visible = !empty;
}

void componentList::updateMemoEmptyImage() {
    const bool empty = !memo || memo->GetText().empty();
    if (emptyImage) emptyImage->Visible = empty;
    if (copyButton && emptyImage) copyButton->Visible = !empty;
}

void componentList::hideAll() {
    auto hide = [](TControl* control) {
        if (control) control->Visible = false;
    };
    hide(caption);
    hide(edit);
    hide(memo);
    hide(copyButton);
    hide(browseButton);
    hide(removeButton);
    hide(decryptButton);
    hide(encryptButton);
    hide(runButton);
    hide(emptyImage);
}

bool componentList::ownsControl(const TObject* control) const {
    if (!control) return false;
    const TObject* mine[] = {edit, memo, copyButton, browseButton, removeButton, decryptButton, encryptButton, runButton};
    return std::find(std::begin(mine), std::end(mine), control) != std::end(mine);
}

void componentList::mirrorEdit() {
    if (!edit) return;
    TRecordEdit::Change change;
    if (!edit->takeChange(change)) {
        // Without the change's record the real characters cannot be known: the edit shows the
        // kept value's mask again.
        dragged_.clear();
        if (edit->GetLength() != static_cast<int>(value.size())) maskEdit(edit->GetCursorPos());
        edit->ClearUndo();
        return;
    }
    const std::size_t at = std::min<std::size_t>(change.at > 0 ? change.at - 1 : 0, value.size());
    const std::size_t count = std::min(change.removed.size(), value.size() - at);
    SecretText removedReal(value.data() + at, count);
    value.erase(at, count);

    SecretText inserted = change.inserted;
    if (edit->dropping()) {
        if (inserted.empty()) {
            dragged_ = removedReal;  // the first half of a drag-move: the real characters travel
        } else if (!dragged_.empty() && inserted.size() == dragged_.size() && allAsterisks(inserted)) {
            inserted = dragged_;
            dragged_.clear();
        }
    } else {
        dragged_.clear();
    }
    value.insert(at, inserted);
    if (!allAsterisks(change.inserted)) maskEdit(static_cast<int>(at + inserted.size()) + 1);
    // Undo would replay asterisks as typed characters.
    edit->ClearUndo();
}
