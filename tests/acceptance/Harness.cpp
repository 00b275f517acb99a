// The acceptance journeys' helpers: processes, windows, the control map, real input, waits (see Harness.h).
#include "tests/acceptance/Harness.h"

#include "tests/acceptance/InputTrace.h"

#include "framework/ControlMap.h"
#include "framework/Win32Handles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace acc {
namespace {

constexpr const char* SettingsKey = "Software\\Quarrendel\\Brimsafe";
constexpr DWORD PollMs = 20;
constexpr DWORD ControlWaitMs = 15000;

std::string stepName = "(before the first step)";
bool stepShotTaken = false;

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    return text;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::string journeyName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? info->name() : "Journey";
}

// A file name part: letters and digits kept, runs of anything else one '_'.
std::string fileNamePart(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (plain) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.substr(0, 80);
}

// Any failure inside a step leaves one screenshot of that step.
class ScreenshotOnFailure : public ::testing::EmptyTestEventListener {
    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (result.failed() && !stepShotTaken) saveScreenshot();
    }
    void OnTestStart(const ::testing::TestInfo&) override {
        stepName = "(before the first step)";
        stepShotTaken = false;
        startInputTrace();
    }
};

class HarnessEnvironment : public ::testing::Environment {
    void SetUp() override { ::testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure); }
};
const auto* const registered = ::testing::AddGlobalTestEnvironment(new HarnessEnvironment);

void sendInputs(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouseInput(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

// An event at a screen point in the absolute units of SendInput (the pixel's own 1/65536 steps).
INPUT mouseInputAt(DWORD flags, POINT screen) {
    INPUT input = mouseInput(flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    return input;
}

// The pointer is put at the point by SetCursorPos before the synthesized move: only SetCursorPos moves
// the display's own pointer too. Wine's windows report the display's pointer back as a move of their
// own whenever it moves or a window appears, goes or changes under it; left behind where it was, it
// pulls the pointer back there, and a press sent next lands on whatever lies at that old place.
// Under load a program reports late, so the pointer counts as there once the display's report of it
// there has come through (the reports of one program come in order: older ones are behind it). Where
// no window of a program lies under the point, no report comes; after a while the pointer is taken
// as it stands.
void movePointer(POINT screen) {
    const auto reached = [&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    };
    const ULONGLONG reportDeadline = GetTickCount64() + 3000;
    do {
        SetCursorPos(screen.x, screen.y);
        INPUT input = mouseInputAt(0, screen);
        SendInput(1, &input, sizeof input);
        waitUntil(reached, "the pointer reaching " + std::to_string(screen.x) + "," + std::to_string(screen.y), 5000);
        // A report of an older place pulls the pointer away again: it is put back.
        while (reached() && !displayPointerAt(screen) && GetTickCount64() < reportDeadline) Sleep(PollMs);
    } while (!reached() && GetTickCount64() < reportDeadline);
    if (!displayPointerAt(screen))
        traceLine("no report of the display's pointer at " + std::to_string(screen.x) + "," + std::to_string(screen.y));
}

// Presses and releases at the point; each event carries the point, so a move coming between them
// cannot take the release elsewhere.
void pressButton(POINT screen, DWORD down, DWORD up, int times) {
    traceLine(std::string(down == MOUSEEVENTF_RIGHTDOWN ? "right" : "left") + " press x" + std::to_string(times) + ": " +
              inputStateAt(screen));
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(mouseInputAt(down, screen));
        inputs.push_back(mouseInputAt(up, screen));
    }
    sendInputs(inputs);
}

HWND rootAt(POINT screen) {
    HWND under = WindowFromPoint(screen);
    return under ? GetAncestor(under, GA_ROOT) : nullptr;
}

// Brings the window to be clicked (by default the top-level window under the point) forward, and
// presses only once it is in front and nothing else lies over the point: a press that reaches a
// window while its activation is still on the way is taken by the activation, and one aimed at a
// box that its disabled owner was raised over lands on the owner. (A window that cannot come
// forward, such as one disabled under a modal box, is clicked as it stands.)
void bringForward(POINT screen, HWND intended = nullptr) {
    HWND target = intended ? intended : rootAt(screen);
    if (!target || !IsWindowEnabled(target)) return;
    // A drop-down list never takes the activation: it only has to lie over the point.
    char className[32] = {};
    GetClassNameA(target, className, sizeof className);
    const bool activates = std::string(className) != "ComboLBox" &&
                           !(GetWindowLongA(target, GWL_EXSTYLE) & (WS_EX_NOACTIVATE | WS_EX_TOPMOST));
    const ULONGLONG until = GetTickCount64() + 5000;
    while (GetTickCount64() < until) {
        const bool inFront = !activates || GetForegroundWindow() == target, onTop = rootAt(screen) == target;
        if (inFront && onTop) return;
        if (!inFront) SetForegroundWindow(target);
        else BringWindowToTop(target);
        Sleep(10);
    }
    traceLine("not in front in time: " + inputStateAt(screen));
}

void clickOn(HWND intended, POINT screen) {
    bringForward(screen, intended);
    movePointer(screen);
    pressButton(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
}

LRESULT askMap(HWND form, const std::string& name, WPARAM query) {
    if (!form || name.empty()) return 0;
    const ATOM atom = GlobalAddAtomA(name.c_str());
    if (!atom) return 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(form, ControlMapMessage(), query, atom, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &answer))
        answer = 0;
    GlobalDeleteAtom(atom);
    return static_cast<LRESULT>(answer);
}

std::string describe(HWND window) {
    std::ostringstream text;
    text << "window \"" << windowText(window) << "\"";
    return text.str();
}

struct FoundChild {
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK matchChildText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<FoundChild*>(param);
    if (!IsWindowVisible(child)) return TRUE;
    wchar_t text[512] = {};
    GetWindowTextW(child, text, 512);
    if (search->text == text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

struct FoundTop {
    std::wstring caption;
    DWORD pid = 0;
    HWND found = nullptr;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FoundTop*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    if (search->pid) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->pid) return TRUE;
    }
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    if (search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::string installFolder() { return "C:\\Program Files\\Quarrendel\\Brimsafe"; }

std::string journeyFolder() {
    static const std::string folder = [] {
        const std::string path = "C:\\Journey";
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }();
    return folder;
}

// ---- steps and failures

void beginStep(const std::string& text) {
    stepName = text;
    stepShotTaken = false;
    std::printf("[ STEP     ] %s\n", text.c_str());
    std::fflush(stdout);
    traceLine("step " + text);
}

const std::string& currentStep() { return stepName; }

void failStep(const std::string& what) {
    ADD_FAILURE() << "step \"" << stepName << "\": " << what;
    throw StepFailed("step \"" + stepName + "\" failed: " + what);
}

std::string saveScreenshot() {
    stepShotTaken = true;
    const char* folder = std::getenv("BRIM_ACCEPTANCE_SHOTS");
    if (!folder || !*folder) return "";
    const std::string path = std::string(folder) + "\\" + fileNamePart(journeyName()) + "-" +
                             fileNamePart(stepName) + ".bmp";
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (!screen) return "";
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    bool copied = false;
    if (bitmap && memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
    }
    if (copied) {
        const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
        const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageBytes;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), imageBytes);
        copied = out.good();
    }
    if (memory) DeleteDC(memory);
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    if (!copied) return "";
    std::printf("[ SCREEN   ] %s\n", path.c_str());
    std::fflush(stdout);
    return path;
}

// ---- processes

Program Program::start(const std::string& exe, const std::string& arguments) {
    std::string command = "\"" + installFolder() + "\\" + exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, installFolder().c_str(), &startup,
                        &info))
        failStep(exe + " did not start (error " + std::to_string(GetLastError()) + ")");
    CloseHandle(info.hThread);
    // The program is ready for input once its first message loop waits.
    WaitForInputIdle(info.hProcess, 10000);
    Program program;
    program.process_ = info.hProcess;
    program.pid_ = info.dwProcessId;
    return program;
}

Program::Program(Program&& other) noexcept : process_(other.process_), pid_(other.pid_) {
    other.process_ = nullptr;
    other.pid_ = 0;
}

Program& Program::operator=(Program&& other) noexcept {
    if (this != &other) {
        this->~Program();
        process_ = other.process_;
        pid_ = other.pid_;
        other.process_ = nullptr;
        other.pid_ = 0;
    }
    return *this;
}

Program::~Program() {
    if (!process_) return;
    if (running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

bool Program::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool Program::waitForExit(DWORD ms) { return !process_ || WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }

DWORD Program::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void Program::terminate() {
    if (!process_) return;
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
}

// ---- windows

HWND findWindow(const std::string& caption, DWORD pid) {
    FoundTop search{wide(caption), pid, nullptr};
    EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(const std::string& caption, DWORD pid, DWORD ms) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(caption, pid)) != nullptr; }, "the window \"" + caption + "\"", ms);
    return found;
}

void waitForWindowGone(HWND window, DWORD ms) {
    waitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, describe(window) + " to close", ms);
}

HWND control(HWND form, const std::string& name) {
    return reinterpret_cast<HWND>(askMap(form, name, cmqHandle));
}

bool controlShowing(HWND form, const std::string& name) {
    return (askMap(form, name, cmqState) & cmsShowing) != 0;
}

ControlSeen seeControl(HWND form, const std::string& name) {
    ControlSeen seen;
    const LRESULT state = askMap(form, name, cmqState);
    seen.found = (state & cmsFound) != 0;
    seen.showing = (state & cmsShowing) != 0;
    seen.enabled = (state & cmsEnabled) != 0;
    const LRESULT topLeft = askMap(form, name, cmqTopLeft), bottomRight = askMap(form, name, cmqBottomRight);
    if (topLeft && bottomRight) {
        const POINT a = ControlMapUnpack(topLeft), b = ControlMapUnpack(bottomRight);
        seen.bounds = RECT{a.x, a.y, b.x, b.y};
    }
    return seen;
}

RECT controlRect(HWND form, const std::string& name) {
    LRESULT topLeft = 0, bottomRight = 0;
    waitUntil(
        [&] {
            topLeft = askMap(form, name, cmqTopLeft);
            bottomRight = askMap(form, name, cmqBottomRight);
            return topLeft != 0 && bottomRight != 0;
        },
        "the control \"" + name + "\" on " + describe(form), ControlWaitMs);
    const POINT a = ControlMapUnpack(topLeft), b = ControlMapUnpack(bottomRight);
    return RECT{a.x, a.y, b.x, b.y};
}

std::string windowText(HWND window) {
    if (!window) return "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return "";
    text.resize(copied);
    return narrow(text);
}

// ---- input

void click(HWND form, const std::string& name) {
    waitUntil(
        [&] {
            const LRESULT state = askMap(form, name, cmqState);
            return (state & cmsShowing) && (state & cmsEnabled);
        },
        "the control \"" + name + "\" on " + describe(form) + " to show enabled", ControlWaitMs);
    const RECT r = controlRect(form, name);
    clickOn(GetAncestor(form, GA_ROOT), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void clickAt(POINT screen) { clickOn(nullptr, screen); }

void doubleClickAt(POINT screen) {
    bringForward(screen);
    movePointer(screen);
    pressButton(screen, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
}

void rightClickAt(POINT screen) {
    bringForward(screen);
    movePointer(screen);
    pressButton(screen, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
}

void drag(POINT from, POINT to) {
    bringForward(from);
    movePointer(from);
    traceLine("drag press: " + inputStateAt(from));
    std::vector<INPUT> press{mouseInputAt(MOUSEEVENTF_LEFTDOWN, from)};
    sendInputs(press);
    constexpr int Steps = 8;
    for (int i = 1; i <= Steps; ++i)
        movePointer(POINT{from.x + (to.x - from.x) * i / Steps, from.y + (to.y - from.y) * i / Steps});
    traceLine("drag release: " + inputStateAt(to));
    std::vector<INPUT> release{mouseInputAt(MOUSEEVENTF_LEFTUP, to)};
    sendInputs(release);
}

void clickText(HWND dialog, const std::string& text) {
    FoundChild search{wide(text), nullptr};
    waitUntil(
        [&] {
            search.found = nullptr;
            EnumChildWindows(dialog, matchChildText, reinterpret_cast<LPARAM>(&search));
            return search.found && IsWindowEnabled(search.found);
        },
        "a control \"" + text + "\" on " + describe(dialog), ControlWaitMs);
    RECT r{};
    GetWindowRect(search.found, &r);
    clickOn(GetAncestor(dialog, GA_ROOT), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void typeText(const std::string& utf8) {
    std::vector<INPUT> inputs;
    for (wchar_t c : wide(utf8)) {
        if (c == L'\t' || c == L'\n') {
            INPUT key{};
            key.type = INPUT_KEYBOARD;
            key.ki.wVk = c == L'\t' ? VK_TAB : VK_RETURN;
            inputs.push_back(key);
            key.ki.dwFlags = KEYEVENTF_KEYUP;
            inputs.push_back(key);
            continue;
        }
        INPUT key{};
        key.type = INPUT_KEYBOARD;
        key.ki.wScan = c;
        key.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(key);
        key.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(key);
    }
    traceLine("typing " + std::to_string(inputs.size() / 2) + " keys: " + keyboardState());
    sendInputs(inputs);
}

void pressKey(WORD vk, bool ctrl, bool shift, bool alt) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (ctrl) key(VK_CONTROL, false);
    if (shift) key(VK_SHIFT, false);
    if (alt) key(VK_MENU, false);
    key(vk, false);
    key(vk, true);
    if (alt) key(VK_MENU, true);
    if (shift) key(VK_SHIFT, true);
    if (ctrl) key(VK_CONTROL, true);
    traceLine("key " + std::to_string(vk) + (ctrl ? " ctrl" : "") + (shift ? " shift" : "") + (alt ? " alt" : "") + ": " +
              keyboardState());
    sendInputs(inputs);
}

void moveMouseTo(POINT screen) { movePointer(screen); }

void moveMouseAround(HWND over, int moves) {
    RECT r{};
    if (!GetWindowRect(over, &r)) failStep("no window to move the pointer over");
    const int width = r.right - r.left, height = r.bottom - r.top;
    unsigned seed = 12345;
    for (int i = 0; i < moves; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int x = r.left + 4 + static_cast<int>((seed >> 8) % static_cast<unsigned>(width > 8 ? width - 8 : 1));
        seed = seed * 1103515245u + 12345u;
        const int y = r.top + 4 + static_cast<int>((seed >> 8) % static_cast<unsigned>(height > 8 ? height - 8 : 1));
        movePointer(POINT{x, y});
    }
}

void secondTry(const std::string& what) {
    POINT at{};
    GetCursorPos(&at);
    const std::string state = inputStateAt(at);
    traceLine("second try: " + what + ": " + state);
    std::printf("[ AGAIN    ] %s (%s)\n", what.c_str(), state.c_str());
    std::fflush(stdout);
}

void waitUntil(const std::function<bool()>& condition, const std::string& what, DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        if (condition()) return;
        if (GetTickCount64() >= deadline) break;
        // A short pause between looks; the deadline, not the pause, bounds the wait.
        Sleep(PollMs);
    }
    failStep("waited " + std::to_string(ms) + " ms for " + what);
}

// ---- what the test reads itself

std::string clipboardText() {
    bool opened = false;
    for (int tries = 0; tries < 50 && !(opened = OpenClipboard(nullptr)); ++tries) Sleep(PollMs);
    if (!opened) failStep("the clipboard could not be opened");
    std::string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = narrow(chars);
            GlobalUnlock(data);
        }
    } else if (HANDLE ansi = GetClipboardData(CF_TEXT)) {
        if (const auto* chars = static_cast<const char*>(GlobalLock(ansi))) {
            text = chars;
            GlobalUnlock(ansi);
        }
    }
    CloseClipboard();
    return text;
}

// Opened sharing everything, delete included: the program saves a vault by writing a new file and
// moving it over the old one, which a reader that denied deleting would make fail ("Access denied")
// while a journey waits for the saved content.
std::string readFileBytes(const std::string& path) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "";
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return bytes;
}

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool readSetting(const std::string& name, std::string& value) {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::string data(size, '\0');
    if (size && RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
                    ERROR_SUCCESS)
        return false;
    data.resize(size);
    while (!data.empty() && data.back() == '\0') data.pop_back();
    value = data;
    return true;
}

bool readSetting(const std::string& name, DWORD& value) {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return false;
    value = data;
    return true;
}

}  // namespace acc
