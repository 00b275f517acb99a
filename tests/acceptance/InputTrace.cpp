// Where the journeys' input goes: the state around a press, and the opt-in trace (see InputTrace.h).
#include "tests/acceptance/InputTrace.h"

#include "framework/Win32Handles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <atomic>
#include <mutex>

namespace acc {
namespace {

std::mutex traceLock;
// The last pointer position a program reported from the display (packed x, y; -1 before any).
std::atomic<long long> displayPointer{-1};
bool watchStarted = false;
win32::FileHandle traceFile;
bool traceStarted = false;

std::string hex(const void* value) {
    char text[24];
    std::snprintf(text, sizeof text, "%p", value);
    return text;
}

std::string point(POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

const char* mouseEventName(WPARAM message) {
    switch (message) {
    case WM_MOUSEMOVE: return "move";
    case WM_LBUTTONDOWN: return "left down";
    case WM_LBUTTONUP: return "left up";
    case WM_RBUTTONDOWN: return "right down";
    case WM_RBUTTONUP: return "right up";
    default: return "other";
    }
}

// Low-level hooks: every input event as the system is about to deliver it.
LRESULT CALLBACK traceMouseEvent(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        if (message == WM_MOUSEMOVE && !(event->flags & LLMHF_INJECTED))
            displayPointer = (static_cast<long long>(event->pt.x) << 32) | static_cast<unsigned long>(event->pt.y);
        if (!inputTraceOn()) return CallNextHookEx(nullptr, code, message, data);
        HWND under = WindowFromPoint(event->pt);
        traceLine(std::string("event mouse ") + mouseEventName(message) + " at " + point(event->pt) +
                  ((event->flags & LLMHF_INJECTED) ? " synthesized" : " from the display") + ", under it " +
                  traceName(under));
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK traceKeyEvent(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
        traceLine(std::string("event key ") + (up ? "up" : "down") + " vk " + std::to_string(event->vkCode) + " scan " +
                  std::to_string(event->scanCode) + ((event->flags & LLKHF_INJECTED) ? " synthesized" : " from the display") +
                  ", focus of the front thread " + [] {
                      GUITHREADINFO info{};
                      info.cbSize = sizeof info;
                      HWND front = GetForegroundWindow();
                      return GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) ? traceName(info.hwndFocus)
                                                                                             : std::string("unknown");
                  }());
    }
    return CallNextHookEx(nullptr, code, message, data);
}

DWORD WINAPI runLowLevelHooks(void*) {
    HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, traceMouseEvent, GetModuleHandleA(nullptr), 0);
    HHOOK keys = inputTraceOn() ? SetWindowsHookExA(WH_KEYBOARD_LL, traceKeyEvent, GetModuleHandleA(nullptr), 0)
                                : HHOOK(1);
    traceLine(std::string("low-level hooks ") + (mouse && keys ? "set" : "NOT set"));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

// The hook of the driven programs, set for every thread; the system loads its DLL into them.
void setProgramHooks() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll = path;
    dll = dll.substr(0, dll.find_last_of("\\/") + 1) + "acceptance_input_trace.dll";
    HMODULE module = LoadLibraryA(dll.c_str());  // kept loaded: the hooks live as long as the journey
    // Through a plain function pointer type: the exports are hook procedures.
    const auto hookProc = [&](const char* name) {
        return module ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
    };
    const HOOKPROC getMessage = hookProc("traceGetMessage"), sent = hookProc("traceSentMessage");
    const bool set = getMessage && sent && SetWindowsHookExA(WH_GETMESSAGE, getMessage, module, 0) &&
                     SetWindowsHookExA(WH_CALLWNDPROCRET, sent, module, 0);
    traceLine(std::string("program hooks ") + (set ? "set from " : "NOT set from ") + dll);
}

std::string journeyLogPath() {
    const char* folder = std::getenv("BRIM_ACCEPTANCE_SHOTS");
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(folder && *folder ? folder : ".") + "\\" + (info ? info->name() : "Journey") + "-input.log";
}

}  // namespace

std::string traceName(HWND window) {
    if (!window) return "nothing";
    char text[64] = {}, className[64] = {};
    // The text by GetWindowText: it never waits on a busy window of another process.
    GetWindowTextA(window, text, sizeof text);
    GetClassNameA(window, className, sizeof className);
    return hex(window) + " \"" + text + "\" " + className;
}

std::string inputStateAt(POINT at) {
    HWND under = WindowFromPoint(at);
    HWND root = under ? GetAncestor(under, GA_ROOT) : nullptr;
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    const DWORD threadId = under ? GetWindowThreadProcessId(under, nullptr) : 0;
    const bool known = threadId && GetGUIThreadInfo(threadId, &thread);
    POINT pointer{};
    GetCursorPos(&pointer);
    std::string state = "at " + point(at) + " " + traceName(under) + (under && !IsWindowEnabled(under) ? " disabled" : "") +
                        " in " + traceName(root) + (root && !IsWindowEnabled(root) ? " disabled" : "") +
                        "; in front " + traceName(GetForegroundWindow()) + "; pointer " + point(pointer);
    if (known) {
        state += "; its thread: active " + traceName(thread.hwndActive) + ", focus " + traceName(thread.hwndFocus) +
                 ", capture " + traceName(thread.hwndCapture);
        if (thread.flags & GUI_INMENUMODE) state += ", in a menu";
        if (thread.flags & GUI_INMOVESIZE) state += ", moving or sizing";
        if (thread.flags & GUI_POPUPMENUMODE) state += ", in a popup menu";
    }
    return state;
}

std::string keyboardState() {
    HWND front = GetForegroundWindow();
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!front || !GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &thread))
        return "in front " + traceName(front);
    return "in front " + traceName(front) + (IsWindowEnabled(front) ? "" : " disabled") + ", its thread's focus " +
           traceName(thread.hwndFocus) + ", capture " + traceName(thread.hwndCapture);
}

bool inputTraceOn() {
    static const bool on = [] {
        const char* value = std::getenv("BRIM_INPUT_TRACE");
        return value && *value;
    }();
    return on;
}

bool displayPointerAt(POINT at) {
    return displayPointer == ((static_cast<long long>(at.x) << 32) | static_cast<unsigned long>(at.y));
}

void startInputTrace() {
    if (!watchStarted) {
        watchStarted = true;
        if (HANDLE thread = CreateThread(nullptr, 0, runLowLevelHooks, nullptr, 0, nullptr)) CloseHandle(thread);
    }
    if (!inputTraceOn() || traceStarted) return;
    traceStarted = true;
    const std::string path = journeyLogPath();
    {
        std::lock_guard<std::mutex> hold(traceLock);
        traceFile.reset(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    // The driven programs append to the same file.
    SetEnvironmentVariableA("BRIM_INPUT_TRACE_LOG", path.c_str());
    std::printf("[ TRACE    ] input trace in %s\n", path.c_str());
    std::fflush(stdout);
    setProgramHooks();
}

void traceLine(const std::string& text) {
    if (!inputTraceOn()) return;
    std::lock_guard<std::mutex> hold(traceLock);
    if (!traceFile.valid()) return;
    const std::string line = std::to_string(GetTickCount()) + " " + std::to_string(GetCurrentProcessId()) + " test: " +
                             text + "\r\n";
    DWORD written = 0;
    WriteFile(traceFile.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace acc
