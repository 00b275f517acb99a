// Finds and reads the system box and the skinned box, in this process or another, by standard means.
#include "tests/support/MessageBoxReader.h"

#include <algorithm>
#include <cctype>

#include "framework/ControlMap.h"

namespace brimtest {

namespace {

std::string textOf(HWND window) {
    std::string text(static_cast<size_t>(std::max(0, GetWindowTextLengthA(window))) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(0, GetWindowTextA(window, &text[0], static_cast<int>(text.size())))));
    return text;
}

std::string classOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::string withoutAmpersands(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

bool sameCaption(const std::string& a, const std::string& b) {
    std::string x = withoutAmpersands(a), y = withoutAmpersands(b);
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
               return std::tolower(static_cast<unsigned char>(p)) == std::tolower(static_cast<unsigned char>(q));
           });
}

bool isSkinnedBox(HWND window) { return classOf(window) == "TZMMessageBox"; }
bool isSystemBox(HWND window) { return classOf(window) == "#32770"; }

bool isButton(HWND parent, HWND child) {
    std::string kind = classOf(child);
    if (isSkinnedBox(parent)) return kind == "TxpButton";
    if (kind != "Button") return false;
    LONG style = GetWindowLongA(child, GWL_STYLE) & 0x0F;
    return style == BS_PUSHBUTTON || style == BS_DEFPUSHBUTTON;
}

struct ButtonWindow {
    HWND window;
    LONG left;
};

struct ButtonSearch {
    HWND box;
    std::vector<ButtonWindow> found;
};

// EnumChildWindows walks every descendant: the skinned box may keep its buttons on a panel.
BOOL CALLBACK collectButton(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ButtonSearch*>(data);
    if (IsWindowVisible(child) && isButton(search->box, child)) {
        RECT r;
        GetWindowRect(child, &r);
        search->found.push_back({child, r.left});
    }
    return TRUE;
}

std::vector<ButtonWindow> visibleButtons(HWND box) {
    ButtonSearch search{box, {}};
    EnumChildWindows(box, collectButton, reinterpret_cast<LPARAM>(&search));
    std::vector<ButtonWindow>& found = search.found;
    std::stable_sort(found.begin(), found.end(),
                     [](const ButtonWindow& a, const ButtonWindow& b) { return a.left < b.left; });
    return found;
}

struct FindState {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findTopLevel(HWND window, LPARAM data) {
    auto* state = reinterpret_cast<FindState*>(data);
    if (!IsWindowVisible(window)) return TRUE;
    if (state->processId) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != state->processId) return TRUE;
    }
    if (isSkinnedBox(window) || isSystemBox(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

// The name a window carries (ControlMap.h); read here with its constants only, so that this
// support library links no GUI library.
std::string nameOf(HWND window) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, ControlMapNameProperty)));
    char name[256] = {};
    return atom && GlobalGetAtomNameA(atom, name, sizeof name) ? name : "";
}

// The box's child window that carries this name.
struct NamedSearch {
    const char* name;
    HWND found;
};

BOOL CALLBACK matchName(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<NamedSearch*>(data);
    if (nameOf(child) != search->name) return TRUE;
    search->found = child;
    return FALSE;
}

HWND namedChild(HWND box, const char* name) {
    NamedSearch search{name, nullptr};
    EnumChildWindows(box, matchName, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Asks the form's control map whether the named control is showing.
bool controlShowing(HWND form, const char* name) {
    static const UINT controlMap = RegisterWindowMessageA(ControlMapMessageName);
    const ATOM atom = GlobalAddAtomA(name);
    if (!atom) return false;
    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutA(form, controlMap, cmqState, atom, SMTO_ABORTIFHUNG, 5000,
                                              &answer) != 0;
    GlobalDeleteAtom(atom);
    return answered && (answer & cmsShowing) != 0;
}

// The icon the skinned box shows, by its kind (0 information, 1 caution, 2 error, 3 question), or -1.
int skinnedIcon(HWND box) {
    const char* icons[] = {"ImageInfo", "ImageCaution", "ImageError", "ImageQuestion"};
    for (int kind = 0; kind < 4; ++kind)
        if (controlShowing(box, icons[kind])) return kind;
    return -1;
}

bool readSkinnedContents(HWND box, MessageBoxContents& contents) {
    HWND title = namedChild(box, "MessageTitleWindow");
    HWND text = namedChild(box, "MessageBodyWindow");
    if (!title || !text) return false;
    contents.title = textOf(title);
    contents.text = textOf(text);
    contents.icon = skinnedIcon(box);
    return true;
}

}  // namespace

HWND findMessageBox(DWORD processId) {
    FindState state{processId, nullptr};
    EnumWindows(findTopLevel, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND waitForMessageBox(DWORD processId, DWORD deadlineMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND box = findMessageBox(processId)) return box;
        if (GetTickCount() - start > deadlineMs) return nullptr;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

bool readMessageBox(HWND box, MessageBoxContents& contents) {
    contents = MessageBoxContents();
    contents.window = box;
    if (isSkinnedBox(box)) {
        contents.skinned = true;
        if (!readSkinnedContents(box, contents)) return false;
    } else if (isSystemBox(box)) {
        contents.title = textOf(box);
        contents.text = textOf(GetDlgItem(box, 0xFFFF));
    } else {
        return false;
    }
    for (const ButtonWindow& button : visibleButtons(box)) contents.buttons.push_back(withoutAmpersands(textOf(button.window)));
    return true;
}

HWND findMessageBoxButton(HWND box, const std::string& caption) {
    for (const ButtonWindow& button : visibleButtons(box))
        if (sameCaption(textOf(button.window), caption)) return button.window;
    return nullptr;
}

bool clickMessageBoxButton(HWND box, const std::string& caption) {
    HWND button = findMessageBoxButton(box, caption);
    if (!button) return false;
    SetForegroundWindow(box);
    RECT r;
    GetWindowRect(button, &r);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    // The same mapping as the other input helpers: absolute units of 1/65536 of the screen.
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65536, screenW) + 1;
        input.mi.dy = MulDiv(y, 65536, screenH) + 1;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

}  // namespace brimtest
