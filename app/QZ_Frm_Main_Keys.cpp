/*
 * The main window's keys, its idle lock and Unlock.
 *
 * Tricky points:
 * - The form previews keys. Consuming a Ctrl key at key-down keeps it from
 *   the focused control's WM_KEYDOWN only: the WM_CHAR that the message loop
 *   makes of it still arrives (a system edit copies and pastes on those). Alt+F4 is consumed here and never becomes SC_CLOSE (the exit runs
 *   once).
 * - Ctrl together with Alt is how many keyboards type their third-level
 *   characters (AltGr): those keys are no shortcuts and go on untouched.
 * - With an edit or memo focused, only the table's own keys act: every other
 *   Ctrl key is an editing key there (the record edits select, copy, paste,
 *   cut and move by word at key-down), and Insert with Shift or Ctrl pastes
 *   or copies instead of starting a new entry. Ctrl+A selects a memo's
 *   whole text here, as it does in the one-line edits.
 * - Locked, the key-down handler is detached and the key-up handler is the
 *   locked one (Enter unlocks); the body behind the lock panel is disabled and
 *   the focus moved to the form itself, so no typing reaches a hidden edit.
 * - Unlock proves the password by decrypting the vault file. The store only
 *   proposes a key read with a password and takes it once the file's digest
 *   matched, so the vault key in memory stays as it was whatever happens here.
 * - Unlocking resets the idle count: the window must not lock again on the
 *   next tick after the user has just proved the password.
 */
#include "app/QZ_Frm_Main.h"

#include "base/ProductNames.h"
#include "components/controls/QCLBaseEdit.h"
#include "framework/ExtCtrls.h"
#include "skin/ZM_MessageBox.h"
#include "skin/xpButton.h"
#include "vault/VaultFiles.h"
#include "vault/logger.h"

namespace {

constexpr int kIdleTicksToLock = 60;

// Whether the control is a text edit or memo, which has editing keys of its own.
bool isEdit(TWinControl* control) {
    return dynamic_cast<TQCLBaseEdit*>(control) || dynamic_cast<TCustomEdit*>(control);
}

// Ctrl+A in a memo, which as a multi-line system edit has no select-all key of its own.
bool selectAllOfMemo(TWinControl* focused, WORD key, TShiftState shift) {
    auto* memo = dynamic_cast<TCustomMemo*>(focused);
    if (!memo || key != 'A' || shift.Contains(ssAlt) || shift.Contains(ssShift) || !shift.Contains(ssCtrl))
        return false;
    memo->SelectAll();
    return true;
}

}  // namespace

MainShortcut mainShortcut(WORD key, TShiftState shift, bool inEdit) {
    const bool ctrl = shift.Contains(ssCtrl), alt = shift.Contains(ssAlt);
    if (ctrl && alt) return MainShortcut::None;
    if (key == VK_INSERT) {
        const bool editingInsert = ctrl || shift.Contains(ssShift);
        return inEdit && editingInsert ? MainShortcut::None : MainShortcut::NewEntry;
    }
    if (key == VK_RETURN) return MainShortcut::EditEntry;
    if (ctrl) {
        switch (key) {
        case VK_UP: return MainShortcut::CategoryUp;
        case VK_DOWN: return MainShortcut::CategoryDown;
        case 'E': return MainShortcut::EditCategories;
        case 'F': return MainShortcut::Search;
        case 'L': return shift.Contains(ssShift) ? MainShortcut::ToggleLog : MainShortcut::QuickLock;
        case 'N': return MainShortcut::NewEntry;
        case 'Q': return MainShortcut::Exit;
        case 'S': return MainShortcut::Save;
        case 'T': return MainShortcut::Tools;
        case 'W': return MainShortcut::SwitchVault;
        default: return inEdit ? MainShortcut::None : MainShortcut::Consume;
        }
    }
    if (alt && key == VK_F4) return MainShortcut::Exit;
    return MainShortcut::None;
}

void TFormMain::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    IdleTicks = 0;
    TWinControl* focused = TWinControl::FindControl(GetFocus());
    if (selectAllOfMemo(focused, Key, Shift)) {
        Key = 0;
        return;
    }
    const MainShortcut shortcut = mainShortcut(Key, Shift, isEdit(focused));
    if (shortcut == MainShortcut::None) return;
    // Insert goes on to the control; every other shortcut is consumed before it acts, since the
    // action may end the window.
    if (shortcut != MainShortcut::NewEntry || Key != VK_INSERT) Key = 0;
    if (!vaultOpen_) return;
    switch (shortcut) {
    case MainShortcut::NewEntry:
        KTransNewButtonMouseRelease(this);
        break;
    case MainShortcut::EditEntry:
        if (recordListFocused()) QCLListBox2DblClick(this);
        break;
    case MainShortcut::CategoryUp:
        moveCategorySelection(-1);
        break;
    case MainShortcut::CategoryDown:
        moveCategorySelection(+1);
        break;
    case MainShortcut::EditCategories:
        editCategories();
        break;
    case MainShortcut::Search:
        KTransSearchButtonMouseRelease(this);
        break;
    case MainShortcut::QuickLock:
        quickLock();
        break;
    case MainShortcut::ToggleLog:
        traceLog.toggle();
        break;
    case MainShortcut::Exit:
        exitProgram();
        break;
    case MainShortcut::Save:
        // A pending edit stays unsaved: Modified is the editor's, not the file's.
        store_.writeDatabase(store_.vaultFilePath());
        break;
    case MainShortcut::Tools:
        KTransToolsButtonMouseRelease(this);
        break;
    case MainShortcut::SwitchVault:
        xpCloseButtonClick(this);
        break;
    default:
        break;
    }
}

void TFormMain::FormKeyUp(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_DELETE && vaultOpen_ && recordListFocused()) KTransDeleteButtonMouseRelease(this);
}

void TFormMain::FormKeyUp2(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    xpUnlockButtonClick(this);
}

void TFormMain::KTransToolsButtonMouseRelease(TObject*) { dialogs_.tools(this); }

void TFormMain::xpLockButtonClick(TObject*) { quickLock(); }

bool TFormMain::locked() const { return xpLockButton && !xpLockButton->Visible; }

void TFormMain::Timer1Timer(TObject*) {
    POINT at{};
    if (CursorPositionForTesting) at = CursorPositionForTesting();
    else GetCursorPos(&at);
    if (at.x == lastCursor_.x && at.y == lastCursor_.y) {
        if (++IdleTicks >= kIdleTicksToLock && !locked()) quickLock();
    } else {
        lastCursor_ = at;
        IdleTicks = 0;
    }
}

void TFormMain::quickLock() {
    if (OpenClipboard(HandleAllocated() ? GetHandle() : nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    Panel8->Visible = true;
    Panel8->BringToFront();
    Timer1->Enabled = false;
    OnKeyDown = TKeyEvent();
    OnKeyUp = TKeyEvent(this, &TFormMain::FormKeyUp2);
    xpLockButton->Visible = false;
    xpCloseButton->Visible = false;
    Panel3->Enabled = false;
    SetActiveControl(nullptr);
    if (HandleAllocated() && IsWindowVisible(GetHandle())) ::SetFocus(GetHandle());
}

void TFormMain::setUnlocked() {
    Panel8->Visible = false;
    Panel3->Enabled = true;
    IdleTicks = 0;
    Timer1->Enabled = true;
    OnKeyDown = TKeyEvent(this, &TFormMain::FormKeyDown);
    OnKeyUp = TKeyEvent(this, &TFormMain::FormKeyUp);
    xpLockButton->Visible = true;
    xpCloseButton->Visible = true;
}

void TFormMain::xpUnlockButtonClick(TObject*) {
    if (!locked()) return;
    SecretBytes salt;
    if (!vaultfile::readFileRange(store_.vaultFilePath(), 0, vaultfile::SaltBytes, salt)) {
        ShowMessageBox(this, "There was a problem opening your vault.", product::Title, mbsOk, mbiCaution);
        return;
    }
    // Asked while the program is minimised (a file handed over by another start): the window the
    // prompt belongs to comes back first.
    bringBack();
    bool retry = false;
    for (;;) {
        traceLog.write("set hash");
        const PasswordResult asked = store_.setPasswordHash(0, retry, false, salt.data());
        traceLog.write("check res");
        if (asked == prCancelled) {
            traceLog.write("!res");
            return;
        }
        if (asked == prKeyRestored) {
            traceLog.write("fogot");
            return;
        }
        traceLog.write("set randkey");
        if (const KeyResult key = store_.setRandKey(); key != krFound) {
            traceLog.write("!res");
            // A damaged vault or key file was reported naming the file; no password opens it.
            if (key == krDamaged) return;
            ShowMessageBox(this, "There was a problem reading your key.  You may need to restore it.", product::Title,
                           mbsOk, mbiInformation);
            return;
        }
        traceLog.write("readDB");
        ReadFailure failure = ReadFailure::None;
        if (std::optional<SecretText> text = store_.readDB(store_.vaultFilePath(), &failure)) {
            traceLog.write("got it");
            break;  // the text wipes itself
        }
        // The password was right, yet the body is cut or broken: reported, and asking again cannot help.
        if (failure == ReadFailure::Damaged) return;
        traceLog.write("try again");
        retry = true;
    }
    setUnlocked();
}
