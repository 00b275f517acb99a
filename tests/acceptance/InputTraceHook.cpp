// The acceptance input trace's hook inside the driven programs (see InputTrace.h): loaded into each
// of them by the system once the journey sets it, it appends to the journey's input log every mouse
// and key message a thread takes from its queue, and the activation, focus and capture changes.
//
// Tricky points:
// - Only the Windows API: the DLL is loaded into programs that know nothing of the tests.
// - The log is opened once per process for appending; each line is one write, so the lines of
//   several processes never mix inside a line.
#include <windows.h>

#include <cstdio>

namespace {

HANDLE logFile = INVALID_HANDLE_VALUE;
bool logTried = false;

void writeLine(const char* text) {
    if (!logTried) {
        logTried = true;
        char path[MAX_PATH] = {};
        if (GetEnvironmentVariableA("BRIM_INPUT_TRACE_LOG", path, MAX_PATH))
            logFile = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (logFile == INVALID_HANDLE_VALUE) return;
    char line[600];
    const int length = std::snprintf(line, sizeof line, "%lu %lu program: %s\r\n", GetTickCount(),
                                     GetCurrentProcessId(), text);
    DWORD written = 0;
    if (length > 0) WriteFile(logFile, line, static_cast<DWORD>(length < int(sizeof line) ? length : int(sizeof line) - 1),
                              &written, nullptr);
}

void nameOf(HWND window, char* out, int size) {
    if (!window) {
        std::snprintf(out, size, "nothing");
        return;
    }
    char text[48] = {}, className[48] = {};
    GetClassNameA(window, className, sizeof className);
    // The text without a message to the window, which could be this very thread, mid-message.
    WCHAR wide[48] = {};
    InternalGetWindowText(window, wide, 48);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    std::snprintf(out, size, "%p \"%s\" %s", static_cast<void*>(window), text, className);
}

const char* inputName(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_NCMOUSEMOVE: return "WM_NCMOUSEMOVE";
    case WM_NCLBUTTONDOWN: return "WM_NCLBUTTONDOWN";
    case WM_NCLBUTTONUP: return "WM_NCLBUTTONUP";
    case WM_NCLBUTTONDBLCLK: return "WM_NCLBUTTONDBLCLK";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    case WM_CHAR: return "WM_CHAR";
    default: return nullptr;
    }
}

const char* stateName(UINT message) {
    switch (message) {
    case WM_ACTIVATE: return "WM_ACTIVATE";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_CAPTURECHANGED: return "WM_CAPTURECHANGED";
    case WM_MOUSEACTIVATE: return "WM_MOUSEACTIVATE";
    case WM_ENABLE: return "WM_ENABLE";
    case WM_SHOWWINDOW: return "WM_SHOWWINDOW";
    case WM_ENTERSIZEMOVE: return "WM_ENTERSIZEMOVE";
    case WM_EXITSIZEMOVE: return "WM_EXITSIZEMOVE";
    case WM_CANCELMODE: return "WM_CANCELMODE";
    case WM_ENTERMENULOOP: return "WM_ENTERMENULOOP";
    case WM_EXITMENULOOP: return "WM_EXITMENULOOP";
    default: return nullptr;
    }
}

}  // namespace

// Messages taken from a queue (removed ones only: a peek that leaves the message is not its delivery).
extern "C" __declspec(dllexport) LRESULT CALLBACK traceGetMessage(int code, WPARAM removal, LPARAM data) {
    const auto* message = reinterpret_cast<const MSG*>(data);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        if (const char* name = inputName(message->message)) {
            char window[160], line[400];
            nameOf(message->hwnd, window, sizeof window);
            std::snprintf(line, sizeof line, "%s to %s wParam %lx lParam %lx at %ld,%ld", name, window,
                          static_cast<unsigned long>(message->wParam), static_cast<unsigned long>(message->lParam),
                          message->pt.x, message->pt.y);
            writeLine(line);
        }
    }
    return CallNextHookEx(nullptr, code, removal, data);
}

// Sent messages that change who gets the input, with what the window answered.
extern "C" __declspec(dllexport) LRESULT CALLBACK traceSentMessage(int code, WPARAM fromThisThread, LPARAM data) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(data);
    if (code == HC_ACTION) {
        if (const char* name = stateName(sent->message)) {
            char window[160], line[400];
            nameOf(sent->hwnd, window, sizeof window);
            std::snprintf(line, sizeof line, "%s to %s wParam %lx lParam %lx answered %ld", name, window,
                          static_cast<unsigned long>(sent->wParam), static_cast<unsigned long>(sent->lParam),
                          static_cast<long>(sent->lResult));
            writeLine(line);
        }
    }
    return CallNextHookEx(nullptr, code, fromThisThread, data);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH && logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
    return TRUE;
}
