// Finds and reads the system box and the skinned box, in this process or another.
#include "tests/support/MessageBoxReader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "skin/ZM_MessageBox.h"

namespace brimtest {

namespace {

std::string textOf(HWND window) {
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
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

// The reply window of the skinned box's contents message.
struct Reply {
    bool received = false;
    std::string data;
};

LRESULT CALLBACK replyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* reply = reinterpret_cast<Reply*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (reply && copy && copy->dwData == kMessageBoxContentsTagForTesting && copy->lpData) {
            reply->data.assign(static_cast<const char*>(copy->lpData), copy->cbData);
            reply->received = true;
        }
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::string> splitAtZeros(const std::string& data) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos) end = data.size();
        parts.push_back(data.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

bool readSkinnedContents(HWND box, MessageBoxContents& contents) {
    static const UINT contentsMessage = RegisterWindowMessageA(kMessageBoxContentsMessageForTesting);
    static ATOM replyClass = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = replyProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BrimMessageBoxReaderReply";
        return RegisterClassA(&wc);
    }();
    if (!replyClass) return false;
    HWND replyWindow = CreateWindowExA(0, "BrimMessageBoxReaderReply", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    if (!replyWindow) return false;
    Reply reply;
    SetWindowLongPtrA(replyWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&reply));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(box, contentsMessage, reinterpret_cast<WPARAM>(replyWindow), 0, SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    DestroyWindow(replyWindow);
    if (!reply.received) return false;
    std::vector<std::string> parts = splitAtZeros(reply.data);
    if (parts.size() < 4) return false;
    contents.title = parts[0];
    contents.text = parts[1];
    contents.icon = std::atoi(parts[2].c_str());
    contents.buttonSet = std::atoi(parts[3].c_str());
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
    int screenW = GetSystemMetrics(SM_CXSCREEN) - 1, screenH = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>(x * 65535LL / screenW);
        input.mi.dy = static_cast<LONG>(y * 65535LL / screenH);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

}  // namespace brimtest
