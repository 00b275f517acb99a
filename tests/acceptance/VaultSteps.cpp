// The user's steps with vaults; see VaultSteps.h.
#include "tests/acceptance/VaultSteps.h"

#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/support/MessageBoxReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace acc {

namespace {

std::string classOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

struct ChildSearch {
    std::string className;
    std::vector<HWND> found;
};

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (IsWindowVisible(child) && (search->className.empty() || classOf(child) == search->className))
        search->found.push_back(child);
    return TRUE;
}

std::vector<HWND> visibleChildren(HWND parent, const std::string& className) {
    ChildSearch search{className, {}};
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

POINT centreOf(HWND window) {
    const RECT r = rectOf(window);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The visible child of this class whose text is exactly `text`.
HWND childWithText(HWND parent, const std::string& className, const std::string& text) {
    for (HWND child : visibleChildren(parent, className))
        if (windowText(child) == text) return child;
    return nullptr;
}

void clickChild(HWND parent, const std::string& className, const std::string& text) {
    HWND child = nullptr;
    waitUntil([&] { return (child = childWithText(parent, className, text)) != nullptr; },
              "a " + className + " \"" + text + "\"", 10000);
    SetForegroundWindow(parent);
    clickAt(centreOf(child));
}

// Clicks a position over the window where nothing reacts to a click (the title bar's middle).
void activate(HWND window) {
    SetForegroundWindow(window);
    const RECT r = rectOf(window);
    clickAt(POINT{(r.left + r.right) / 2, r.top + 8});
}

// Polls the condition for up to ms; false when it did not come true (no failure: the caller decides).
const char* const PlainFilesQuestion =
    "Not all of the files in your vault are currently encrypted.  Are you sure you would like to exit?";

bool within(DWORD ms, const std::function<bool()>& condition) {
    for (DWORD start = GetTickCount();;) {
        if (condition()) return true;
        if (GetTickCount() - start > ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

HWND waitForMessageBoxOf(DWORD pid, DWORD ms) {
    HWND box = nullptr;
    waitUntil([&] { return (box = brimtest::findMessageBox(pid)) != nullptr; }, "a message box", ms);
    return box;
}

void clickAndWaitGone(HWND box, const std::string& button) {
    // A box still being shown may miss the first click: click again until it goes, within a deadline.
    const DWORD start = GetTickCount();
    for (int tries = 0; IsWindow(box) && IsWindowVisible(box); ++tries) {
        if (tries) secondTry("\"" + button + "\" did not close the message box; clicked once more");
        if (GetTickCount() - start > 20000) {
            ADD_FAILURE() << "the message box stayed after \"" << button << "\"";
            return;
        }
        if (!brimtest::clickMessageBoxButton(box, button)) {
            ADD_FAILURE() << "the message box has no button \"" << button << "\"";
            return;
        }
        within(2000, [&] { return !IsWindow(box) || !IsWindowVisible(box); });
    }
}

}  // namespace

std::vector<HWND> childrenOfClass(HWND parent, const std::string& className) {
    std::vector<HWND> found = visibleChildren(parent, className);
    std::stable_sort(found.begin(), found.end(), [](HWND a, HWND b) {
        const RECT ra = rectOf(a), rb = rectOf(b);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return found;
}

bool showsChild(HWND parent, const std::string& text) {
    for (HWND child : visibleChildren(parent, ""))
        if (windowText(child) == text) return true;
    return false;
}

void typeInto(HWND edit, const std::string& text) {
    HWND top = GetAncestor(edit, GA_ROOT);
    // A click that lands while the window is still coming up goes astray, and the keys with it:
    // the typing is done again until the edit holds exactly the text.
    int tries = 0;
    waitUntil(
        [&] {
            if (tries++) secondTry("the edit did not take the typing; typed once more");
            SetForegroundWindow(top);
            clickAt(centreOf(edit));
            if (!within(3000, [&] { return GetForegroundWindow() == top; })) return false;
            // Everything already in the edit is selected, so the typing replaces it.
            SendMessageA(edit, EM_SETSEL, 0, -1);
            typeText(text);
            return within(3000, [&] { return windowText(edit).size() == text.size(); });
        },
        "the typed text in the edit");
}

void clickUntil(HWND form, const std::string& caption, const std::function<bool()>& done, const std::string& what) {
    int tries = 0;
    waitUntil(
        [&] {
            if (done()) return true;
            if (tries++) secondTry("\"" + caption + "\" did not bring " + what + "; clicked once more");
            if (IsWindow(form) && IsWindowVisible(form) && controlShowing(form, caption)) {
                SetForegroundWindow(form);
                click(form, caption);
            }
            return within(2000, done);
        },
        what);
}

void enterPassword(DWORD pid, const std::string& password) {
    HWND prompt = waitForWindow(PasswordWindow, pid);
    std::vector<HWND> edits = childrenOfClass(prompt, "TQCLEdit");
    if (edits.empty()) failStep("the password prompt has no field");
    typeInto(edits.front(), password);
    clickUntil(prompt, "Ok", [&] { return !IsWindow(prompt) || !IsWindowVisible(prompt); }, "the password taken");
}

// ---- message boxes ----

std::string answerAnyMessage(DWORD pid, const std::string& button) {
    HWND box = waitForMessageBoxOf(pid, 30000);
    brimtest::MessageBoxContents contents;
    if (!brimtest::readMessageBox(box, contents)) ADD_FAILURE() << "the message box could not be read";
    clickAndWaitGone(box, button);
    return contents.text;
}

HWND waitForWindowPastTips(const std::string& caption, DWORD pid, DWORD ms) {
    HWND wanted = nullptr;
    waitUntil(
        [&] {
            if ((wanted = findWindow(caption, pid)) != nullptr) return true;
            if (HWND tip = findWindow(TipWindow, pid)) clickToClose(tip, "Ok");
            return false;
        },
        "the window \"" + caption + "\"", ms);
    return wanted;
}

// ---- the system's file dialogs ----

HWND fileDialogShown(DWORD pid) {
    HWND box = nullptr;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w) && classOf(w) == "#32770") box = w;
    }
    return box;
}

// ---- the vault ----

void enterNewPasswordTwice(DWORD pid, const std::string& password) {
    HWND dialog = waitForWindow(PasswordWindow, pid);
    std::vector<HWND> edits = childrenOfClass(dialog, "TQCLEdit");
    if (edits.size() != 2) failStep("the password dialog is not asking for a new password");
    typeInto(edits[0], password);
    typeInto(edits[1], password);
    clickUntil(dialog, "Ok", [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, "the new password taken");
}

void openPreselectedVault(DWORD pid) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    clickUntil(select, "Open Vault", [&] { return !IsWindow(select) || !IsWindowVisible(select); }, "the vault chosen");
}

void openListedVault(DWORD pid, const std::string& displayName) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    std::vector<HWND> lists = childrenOfClass(select, "TListBox");
    std::vector<HWND> edits = childrenOfClass(select, "TQCLEdit");
    if (lists.size() != 1 || edits.size() != 1) failStep("the vault list or its path field is not shown");
    HWND list = lists.front(), path = edits.front();
    // A click on a line shows that vault's path below the list: the lines are tried top down.
    const std::string wanted = "\\" + displayName;
    auto chosen = [&] {
        const std::string shown = windowText(path);
        return shown.size() >= wanted.size() && shown.compare(shown.size() - wanted.size(), wanted.size(), wanted) == 0;
    };
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    for (int line = 0; line < count && !chosen(); ++line) {
        const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        POINT at{20, (line - top) * height + height / 2};
        ClientToScreen(list, &at);
        SetForegroundWindow(select);
        clickAt(at);
        within(2000, chosen);
    }
    if (!chosen()) failStep("\"" + displayName + "\" is not in the vault list");
    clickUntil(select, "Open Vault", [&] { return !IsWindow(select) || !IsWindowVisible(select); }, "the vault chosen");
}

std::vector<std::string> knownVaults() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[512] = {}, data[1024] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        names.push_back(std::string(name) + "=" + std::string(data, strnlen(data, dataSize)));
    }
    RegCloseKey(key);
    return names;
}

HWND switchVault(HWND main, DWORD pid) {
    // A tip that comes after the last action takes the click first: it is answered, and the button
    // clicked again until the question shows.
    int clicks = 0;
    waitUntil(
        [&] {
            if (brimtest::findMessageBox(pid)) return true;
            if (HWND tip = findWindow(TipWindow, pid)) {
                clickToClose(tip, "Ok");
                return false;
            }
            if (clicks && IsWindowEnabled(main)) secondTry("\"Switch Vault\" brought no question; clicked once more");
            if (IsWindowEnabled(main) && ++clicks) clickChild(main, "TxpButton", "Switch Vault");
            return within(2000, [&] { return brimtest::findMessageBox(pid) || findWindow(TipWindow, pid); }) &&
                   brimtest::findMessageBox(pid);
        },
        "the question before switching vaults");
    answerMessage(pid, "Switching vaults will close your current vault.  Do you want to continue?", "Yes");
    return waitForWindow(SelectVaultWindow, pid);
}

void exitConfirmingPlainFiles(Program& program, HWND main) {
    activate(main);
    pressKey('Q', true);
    waitUntil(
        [&] {
            if (!program.running()) return true;
            if (HWND tip = findWindow(TipWindow, program.pid())) clickToClose(tip, "Ok");
            if (HWND box = brimtest::findMessageBox(program.pid())) {
                brimtest::MessageBoxContents contents;
                if (controlShowing(box, PlainFilesQuestion))
                    clickAndWaitGone(box, "Yes");
                else if (brimtest::readMessageBox(box, contents) && !contents.text.empty())
                    failStep("exit showed \"" + contents.text + "\"");
            }
            return false;
        },
        "the program to end", 30000);
}

std::string knownVaultPath(const std::string& displayName) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    char data[1024] = {};
    DWORD size = sizeof data - 1, type = 0;
    const LONG read = RegQueryValueExA(key, displayName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ) return {};
    return std::string(data, strnlen(data, size));
}

void putOnClipboard(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr)) << "the clipboard could not be opened";
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    EXPECT_EQ(text, clipboardText());
}

// ---- locking ----

bool isLocked(HWND main) { return showsChild(main, "Unlock") && !showsChild(main, "Quick Lock"); }

void idleTick(HWND main) {
    HWND timer = control(main, "Timer1");
    ASSERT_NE(nullptr, timer) << "the idle timer is not found";
    DWORD_PTR result = 0;
    ASSERT_NE(0, SendMessageTimeoutA(timer, WM_TIMER, 1, 0, SMTO_NORMAL, 10000, &result))
        << "the idle timer did not take its tick";
}

void restartIdleCount(HWND main) {
    const RECT r = rectOf(main);
    moveMouseTo(POINT{r.left + 40, r.bottom - 12});
    idleTick(main);
    moveMouseTo(POINT{r.left + 60, r.bottom - 10});
    idleTick(main);
}

// ---- the records ----

void selectCategory(HWND main, const std::string& name) {
    std::vector<HWND> boxes = childrenOfClass(main, "TComboBox");
    ASSERT_EQ(1u, boxes.size()) << "the category box is not shown";
    HWND box = boxes.front();
    activate(main);
    // Down to the end of the box first, then up: the box's order is the vault's.
    for (WORD key : {WORD(VK_DOWN), WORD(VK_UP)}) {
        for (int step = 0; step < 32 && windowText(box) != name; ++step) {
            const std::string before = windowText(box);
            pressKey(key, true);
            if (!within(3000, [&] { return windowText(box) != before; })) break;  // the end of the box
        }
    }
    ASSERT_EQ(name, windowText(box)) << "the category is not in the box";
}

void clickRecordLine(HWND main, int index) {
    std::vector<HWND> boxes = childrenOfClass(main, "TQCLListBox");
    ASSERT_EQ(1u, boxes.size()) << "the record list is not shown";
    HWND list = nullptr;
    for (HWND child : visibleChildren(boxes.front(), ""))
        if (classOf(child).find("ListBox") != std::string::npos) list = child;
    ASSERT_NE(nullptr, list) << "the record list has no lines";
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    POINT at{30, (index - top) * height + height / 2};
    ClientToScreen(list, &at);
    SetForegroundWindow(main);
    clickAt(at);
}

std::vector<HWND> editorEdits(HWND main) { return childrenOfClass(main, "TRecordEdit"); }

void copyWithButtonOf(HWND edit, const std::string& expected) {
    int tries = 0;
    waitUntil(
        [&] {
            if (clipboardText() == expected) return true;
            if (tries++) secondTry("the copy button did not copy; clicked once more");
            clickCopyButtonOf(edit);
            return within(2000, [&] { return clipboardText() == expected; });
        },
        "\"" + expected + "\" on the clipboard");
}

namespace {

// The copy button of an editor row, as the control map shows it now: the showing picture button right
// of the edit whose height takes in the edit's middle (empty bounds when there is none).
RECT copyButtonBoundsOf(HWND main, const RECT& edit) {
    const LONG middle = (edit.top + edit.bottom) / 2;
    for (int n = 1;; ++n) {
        const ControlSeen button = seeControl(main, "KTransButton#" + std::to_string(n));
        if (!button.found) return RECT{};
        const RECT& b = button.bounds;
        if (button.showing && button.enabled && b.left >= edit.right - 2 && b.left <= edit.right + 40 &&
            b.top <= middle && middle < b.bottom)
            return b;
    }
}

}  // namespace

void clickCopyButtonOf(HWND edit) {
    // The row's buttons are laid out after its edit, and a picture button has no window of its own: the
    // press waits until the control map shows the row's copy button, showing and enabled, at the same
    // place twice running with the edit unmoved. Only the picture (its transparent margins excepted)
    // takes a click: its middle does.
    HWND main = GetAncestor(edit, GA_ROOT);
    RECT lastEdit{}, lastButton{}, button{};
    waitUntil(
        [&] {
            const RECT r = rectOf(edit);
            button = copyButtonBoundsOf(main, r);
            const bool settled = !IsRectEmpty(&button) && EqualRect(&r, &lastEdit) && EqualRect(&button, &lastButton);
            lastEdit = r;
            lastButton = button;
            return settled && IsWindowVisible(edit) && IsWindowEnabled(main);
        },
        "the copy button beside the edit laid out", 10000);
    const RECT r = rectOf(edit);
    clickAt(POINT{(button.left + button.right) / 2, (r.top + r.bottom) / 2});
}

// ---- tools ----

HWND openTools(HWND main, DWORD pid) {
    HWND tools = nullptr;
    int tries = 0;
    waitUntil(
        [&] {
            if (tries++) secondTry("Ctrl+T did not open Tools; pressed once more");
            // A tip or box over the main window would take the keys: the press waits until the main
            // window is enabled with no tip of the program showing (a tip that came is answered).
            waitUntil(
                [&] {
                    if (HWND tip = findWindow(TipWindow, pid)) clickToClose(tip, "Ok");
                    return !findWindow(TipWindow, pid) && IsWindowEnabled(main);
                },
                "the main window free for Ctrl+T", 20000);
            activate(main);
            pressKey('T', true);
            return within(3000, [&] { return (tools = findWindow(dialog::Tools, pid)) != nullptr; });
        },
        "the Tools dialog");
    return tools;
}

void togglePasswordsHidden(HWND main, DWORD pid) {
    HWND tools = openTools(main, pid);
    clickChild(tools, "TQCLCheckBox", "Passwords Hidden");
    clickToClose(tools, "Close");
}

void backupRestoreAction(HWND main, DWORD pid, const std::string& option, const std::string& path) {
    HWND tools = openTools(main, pid);
    HWND choices = nullptr;
    clickUntil(tools, "Back up/Restore", [&] { return (choices = findWindow(dialog::BackupRestore, pid)) != nullptr; },
               "the backup and restore choices");
    // A dialog just shown may miss the first click: click the option until the action button follows it.
    int tries = 0;
    waitUntil(
        [&] {
            if (childWithText(choices, "TxpButton", option)) return true;
            if (tries++) secondTry("the option \"" + option + "\" was not taken; clicked once more");
            clickChild(choices, "TQCLRadioButton", option);
            return within(1000, [&] { return childWithText(choices, "TxpButton", option) != nullptr; });
        },
        "the action button to read \"" + option + "\"", 15000);
    std::vector<HWND> edits = childrenOfClass(choices, "TQCLEdit");
    ASSERT_EQ(1u, edits.size()) << "the backup dialog shows no path field";
    typeInto(edits.front(), path);
    // The action is taken once the dialog has gone (a question or a prompt may follow at once).
    tries = 0;
    waitUntil(
        [&] {
            if (!IsWindow(choices) || !IsWindowVisible(choices)) return true;
            if (tries++ > 0) secondTry("\"" + option + "\" was not taken; clicked once more");
            if (HWND action = childWithText(choices, "TxpButton", option)) {
                SetForegroundWindow(choices);
                clickAt(centreOf(action));
            }
            return within(2000, [&] { return !IsWindow(choices) || !IsWindowVisible(choices) || brimtest::findMessageBox(pid); });
        },
        "the " + option + " action taken");
}

}  // namespace acc
