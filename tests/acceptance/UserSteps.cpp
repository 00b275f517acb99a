// What a user does with Brimsafe's windows (see UserSteps.h).
#include "tests/acceptance/UserSteps.h"

#include "tests/acceptance/InputTrace.h"
#include "tests/acceptance/VaultReaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace acc {
namespace {

// The file-name field of the system's file dialog: the combo box's edit, or the plain edit.
HWND fileNameField(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, 0x47c)) {
        if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
        return combo;
    }
    return GetDlgItem(dialog, 0x480);
}

void clickCentre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    clickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// The thread's focused window of the program (the pointer's clicks move it).
HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// Clicks into a field until it has the focus (a lost press is given once more, see clickToClose).
void focusField(HWND field) {
    clickCentre(field);
    const ULONGLONG again = GetTickCount64() + 3000;
    while (focusOf(field) != field && GetTickCount64() < again) Sleep(20);
    if (focusOf(field) != field) {
        std::printf("[ AGAIN    ] a field did not take the focus (%s); clicked once more\n", inputState(field).c_str());
        clickCentre(field);
    }
    waitUntil([&] { return focusOf(field) == field; }, "the field to take the focus", 5000);
}

}  // namespace

// Why a press may not have landed, printed with a second try: what the pointer is over and whether
// that takes input, what was in front, and what the window's thread had active, focused and captured.
std::string inputState(HWND window) {
    POINT at{};
    GetCursorPos(&at);
    const std::string state = "the window clicked " + traceName(GetAncestor(window, GA_ROOT)) +
                              (IsWindowEnabled(GetAncestor(window, GA_ROOT)) ? "" : " disabled") + "; " +
                              inputStateAt(at);
    traceLine("second try: " + state);
    return state;
}

void clickToClose(HWND form, const std::string& button) {
    click(form, button);
    const ULONGLONG again = GetTickCount64() + 5000;
    while (IsWindow(form) && IsWindowVisible(form) && GetTickCount64() < again) Sleep(20);
    if (IsWindow(form) && IsWindowVisible(form) && controlShowing(form, button)) {
        std::printf("[ AGAIN    ] \"%s\" did not close its window (%s); clicked once more\n", button.c_str(),
                    inputState(form).c_str());
        click(form, button);
    }
    waitForWindowGone(form);
}

HWND clickToOpen(HWND form, const std::string& button, const std::string& caption) {
    DWORD pid = 0;
    GetWindowThreadProcessId(form, &pid);
    click(form, button);
    const ULONGLONG again = GetTickCount64() + 5000;
    while (!findWindow(caption, pid) && GetTickCount64() < again) Sleep(20);
    if (!findWindow(caption, pid) && IsWindowEnabled(form) && controlShowing(form, button)) {
        std::printf("[ AGAIN    ] \"%s\" did not open \"%s\" (%s); clicked once more\n", button.c_str(), caption.c_str(),
                    inputState(form).c_str());
        click(form, button);
    }
    return waitForWindow(caption, pid);
}

std::string hexId(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void answerMessage(DWORD pid, const std::string& text, const std::string& button) {
    HWND box = nullptr;
    waitUntil(
        [&] {
            box = findWindow(MessageBoxWindow, pid);
            return box && controlShowing(box, text);
        },
        "the message \"" + text + "\"");
    clickToClose(box, button);
}

void typeIntoFileDialog(DWORD pid, const std::string& caption, const std::string& path) {
    HWND dialog = waitForWindow(caption, pid);
    HWND field = nullptr;
    waitUntil([&] { return (field = fileNameField(dialog)) != nullptr && IsWindowVisible(field); },
              "the file name field of \"" + caption + "\"");
    clickCentre(field);
    waitUntil([&] { return GetForegroundWindow() == dialog; }, "the file dialog in front", 5000);
    pressKey(VK_END);
    pressKey(VK_HOME, false, true);
    pressKey(VK_DELETE);
    typeText(path);
    waitUntil([&] { return windowText(field) == path; }, "the path in the file name field", 10000);
    typeText("\n");
    waitForWindowGone(dialog);
}

void chooseNewVault(DWORD pid) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    clickToOpen(select, "New Vault", ChooseLocationWindow);
}

void chooseVaultFile(DWORD pid, const std::string& vaultFilePath) {
    HWND location = waitForWindow(ChooseLocationWindow, pid);
    clickToOpen(location, "Browse", "Save As");
    typeIntoFileDialog(pid, "Save As", vaultFilePath);
    HWND edit = control(location, "TQCLEdit#1");
    waitUntil([&] { return windowText(edit) == vaultFilePath; }, "the chosen path on the location page", 10000);
    clickToClose(location, "Next");
}

void stirMouseAndKeysUntilKeyCreated(DWORD pid) {
    HWND page = waitForWindow(KeyPageWindow, pid);
    click(page, "Random Number Progress");  // the page takes the keyboard
    const ULONGLONG deadline = GetTickCount64() + 90000;
    int turn = 0;
    while (!findWindow(MessageBoxWindow, pid)) {
        if (GetTickCount64() > deadline) failStep("the key page never said the key was created");
        if (IsWindow(page) && IsWindowVisible(page)) moveMouseAround(page, 1);
        pressKey(static_cast<WORD>('A' + turn++ % 26));
    }
    answerMessage(pid, "Your key has been created.", "Ok");
    waitForWindowGone(page);
}

void typePasswordTwice(DWORD pid, const std::string& password) {
    HWND page = waitForWindow(FirstPasswordWindow, pid);
    HWND first = control(page, "TQCLEdit#1");
    HWND second = control(page, "TQCLEdit#2");
    if (!first || !second) failStep("the first-password page has no two password fields");
    focusField(first);
    typeText(password);
    waitUntil([&] { return windowText(first).size() == password.size(); }, "the password typed", 10000);
    focusField(second);
    typeText(password);
    waitUntil([&] { return windowText(second).size() == password.size(); }, "the confirmation typed", 10000);
    clickToClose(page, "Next");
}

void skipKeyBackup(DWORD pid) {
    HWND page = waitForWindow(BackupKeyWindow, pid);
    clickToOpen(page, "Skip", MessageBoxWindow);
    answerMessage(pid, "Are you sure that you would like to proceed without backing up your key?", "Yes");
    waitForWindowGone(page);
}

void finishWizard(DWORD pid) {
    HWND page = waitForWindow(DoneWindow, pid);
    clickToClose(page, "Finish");
}

HWND createVaultWithWizard(DWORD pid, const NewVault& vault) {
    chooseNewVault(pid);
    chooseVaultFile(pid, vault.folder + "\\" + vault.name + ".vlt");
    stirMouseAndKeysUntilKeyCreated(pid);
    typePasswordTwice(pid, vault.password);
    skipKeyBackup(pid);
    finishWizard(pid);
    return waitForMainWindow(pid, vault.folder, vault.name);
}

HWND waitForMainWindow(DWORD pid, const std::string& folder, const std::string& name) {
    std::vector<std::string> problems;
    const KeyFileImage key = readKeyFile(folder + "\\" + name + ".kvt", problems);
    if (key.vaultId.size() != 16) failStep("no key file of " + name + " to read the vault ID from");
    return waitForWindow(hexId(key.vaultId), pid);
}

void typePassword(DWORD pid, const std::string& password) {
    HWND prompt = waitForWindow(PasswordWindow, pid);
    HWND field = control(prompt, "TQCLEdit#1");
    if (!field) failStep("the password prompt has no field");
    focusField(field);
    typeText(password);
    waitUntil([&] { return windowText(field).size() == password.size(); }, "the password typed", 10000);
    clickToClose(prompt, "Ok");
}

HWND openRememberedVault(DWORD pid, const NewVault& vault) {
    HWND select = waitForWindow(SelectVaultWindow, pid);
    clickToOpen(select, "Open Vault", PasswordWindow);
    typePassword(pid, vault.password);
    return waitForMainWindow(pid, vault.folder, vault.name);
}

void exitWithCtrlQ(Program& program, HWND mainWindow) {
    SetForegroundWindow(mainWindow);
    waitUntil([&] { return GetForegroundWindow() == mainWindow; }, "the main window in front", 5000);
    pressKey('Q', true);
    answerTip(program.pid(),
              "By closing the vault, your vault is automatically locked and your clipboard is cleared of any data you "
              "may have copied from your vault.");
    if (!program.waitForExit()) failStep("Brimsafe did not end after Ctrl+Q");
}

void exitByButton(Program& program, HWND mainWindow, const std::string& button) {
    click(mainWindow, button);
    answerTip(program.pid(),
              "By closing the vault, your vault is automatically locked and your clipboard is cleared of any data you "
              "may have copied from your vault.");
    if (!program.waitForExit()) failStep("Brimsafe did not end after its " + button + " was clicked");
}

// ---- the records side of the main window

namespace {

struct ChildSearch {
    const char* classPart;
    HWND found = nullptr;
};

BOOL CALLBACK findChildByClass(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char className[128] = {};
    GetClassNameA(child, className, sizeof className);
    if (std::string(className).find(search->classPart) != std::string::npos) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

HWND childOfClass(HWND parent, const char* classPart) {
    ChildSearch search{classPart};
    EnumChildWindows(parent, findChildByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring wideOf(const std::string& utf8) {
    std::wstring text(utf8.size() + 1, L'\0');
    text.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), &text[0], static_cast<int>(text.size()))));
    return text;
}

std::string utf8Of(const std::wstring& text) {
    std::string out(text.size() * 3 + 1, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                                       static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

// LB_GETTEXT takes no buffer size, and the program may rebuild its list between a length query
// and the text: the buffer holds the longest line a list can have (30 fields of 4,096 characters).
std::string lineText(HWND list, int line) {
    static std::wstring buffer(1 << 18, L'\0');
    if (SendMessageW(list, LB_GETTEXTLEN, line, 0) >= static_cast<LRESULT>(buffer.size())) return "";
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(&buffer[0]));
    if (copied == LB_ERR || copied < 0 || copied >= static_cast<LRESULT>(buffer.size())) return "";
    return utf8Of(buffer.substr(0, static_cast<size_t>(copied)));
}

POINT linePoint(HWND list, int line) {
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    POINT p{12, (line - top) * height + height / 2};
    if (line < top || height <= 0 || p.y >= client.bottom) failStep("line " + std::to_string(line) + " is not in view");
    ClientToScreen(list, &p);
    return p;
}

}  // namespace

std::string ansi(const std::string& utf8) {
    const std::wstring text = wideOf(utf8);
    std::string out(text.size() * 2 + 1, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                                       static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::string utf8FromAnsi(const std::string& ansiText) {
    std::wstring text(ansiText.size() + 1, L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, ansiText.c_str(), static_cast<int>(ansiText.size()),
                                                        &text[0], static_cast<int>(text.size()))));
    return utf8Of(text);
}

void setClipboardText(const std::string& utf8) {
    const std::wstring text = wideOf(utf8);
    bool opened = false;
    waitUntil([&] { return (opened = OpenClipboard(nullptr) != FALSE); }, "the clipboard to open", 5000);
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
        auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), chars);
        chars[text.size()] = L'\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

ColumnList columnList(HWND form, const std::string& name) {
    HWND outer = control(form, name);
    if (!outer) failStep("no list \"" + name + "\"");
    ColumnList list{childOfClass(outer, "ListBox"), childOfClass(outer, "Header")};
    if (!list.lines || !list.header) failStep("the list \"" + name + "\" has no lines or no header");
    return list;
}

std::vector<std::string> listLines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) lines.push_back(lineText(list, i));
    return lines;
}

std::vector<std::vector<std::string>> listRows(HWND list) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : listLines(list)) {
        std::vector<std::string> columns(1);
        for (char c : line) {
            if (c == '\x01') columns.emplace_back();
            else columns.back() += c;
        }
        rows.push_back(columns);
    }
    return rows;
}

int selectedLine(HWND list) {
    const LRESULT selected = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (selected == LB_ERR) return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    if (selected == 0) return -1;
    const int caret = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
    if (caret >= 0 && SendMessageW(list, LB_GETSEL, caret, 0) > 0) return caret;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        if (SendMessageW(list, LB_GETSEL, i, 0) > 0) return i;
    return -1;
}

void clickLine(HWND list, int line) { clickAt(linePoint(list, line)); }

void doubleClickLine(HWND list, int line) { doubleClickAt(linePoint(list, line)); }

void clickHeaderAt(HWND header, int x) {
    RECT client{};
    GetClientRect(header, &client);
    POINT p{x, client.bottom / 2};
    ClientToScreen(header, &p);
    clickAt(p);
}

void chooseCategory(HWND mainWindow, const std::string& line) {
    HWND box = control(mainWindow, "TComboBox#1");
    if (!box) failStep("the main window has no category box");
    DWORD pid = 0;
    GetWindowThreadProcessId(box, &pid);
    HWND dropped = nullptr;
    const auto droppedDown = [&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, "ComboLBox", nullptr); w;
             w = FindWindowExA(nullptr, w, "ComboLBox", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == pid && IsWindowVisible(w)) return (dropped = w) != nullptr;
        }
        return false;
    };
    clickCentre(box);
    const ULONGLONG again = GetTickCount64() + 5000;
    while (!droppedDown() && GetTickCount64() < again) Sleep(20);
    if (!droppedDown()) {
        std::printf("[ AGAIN    ] the category box did not drop down (%s); clicked once more\n", inputState(box).c_str());
        clickCentre(box);
    }
    waitUntil(droppedDown, "the category box to drop down", 10000);
    const std::vector<std::string> lines = listLines(dropped);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != line) continue;
        clickLine(dropped, static_cast<int>(i));
        waitForWindowGone(dropped, 10000);
        return;
    }
    failStep("the category box has no line \"" + line + "\"");
}

void replaceFieldText(HWND field, const std::string& text) {
    focusField(field);
    pressKey(VK_END);
    pressKey(VK_HOME, false, true);
    pressKey(VK_DELETE);
    size_t start = 0;
    for (;;) {
        const size_t tab = text.find('\t', start);
        typeText(text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        // A tab moves the focus when typed: the user pastes it.
        waitUntil([&] { return windowText(field) == text.substr(0, tab); }, "the text before the tab", 5000);
        setClipboardText("\t");
        pressKey('V', true);
        start = tab + 1;
    }
    waitUntil([&] { return windowText(field) == text; }, "\"" + text + "\" in the field", 10000);
}

void addCategoryWithFields(DWORD pid, HWND mainWindow, const std::string& name,
                           const std::vector<std::string>& fields) {
    chooseCategory(mainWindow, "Add/Edit Categories...");
    HWND categories = waitForWindow(CategoriesWindow, pid);
    HWND editor = clickToOpen(categories, "New Category", EditCategoryWindow);
    replaceFieldText(control(editor, "TQCLEdit#1"), name);
    for (const std::string& field : fields) {
        HWND fieldDialog = clickToOpen(editor, "New Field", FieldWindow);
        replaceFieldText(control(fieldDialog, "TQCLEdit#1"), field);
        clickToClose(fieldDialog, "Ok");
    }
    clickToClose(editor, "Ok");
    clickToClose(categories, "Ok");
}

HWND fieldBelow(HWND form, const std::string& fieldName) {
    const RECT caption = controlRect(form, fieldName + ":");
    const POINT inside{caption.left + 10, caption.bottom + 10};
    HWND field = nullptr;
    waitUntil(
        [&] {
            field = WindowFromPoint(inside);
            char className[64] = {};
            GetClassNameA(field, className, sizeof className);
            return std::string(className).find("Edit") != std::string::npos;
        },
        "a field under \"" + fieldName + ":\"", 10000);
    return field;
}

void addEntryThroughDialog(DWORD, HWND mainWindow,
                           const std::vector<std::pair<std::string, std::string>>& values) {
    HWND dialog = clickToOpen(mainWindow, "KTransNewButton", EntryWindow);
    for (const auto& [name, value] : values) replaceFieldText(fieldBelow(dialog, name), value);
    clickToClose(dialog, "Ok");
}

void answerTip(DWORD pid, const std::string& text) {
    HWND tip = nullptr;
    waitUntil(
        [&] {
            tip = findWindow(TipWindow, pid);
            return tip && controlShowing(tip, text);
        },
        "the tip \"" + text + "\"");
    clickToClose(tip, "Ok");
}

}  // namespace acc
