// Gallery entries of the uninstaller: the real boxes of Uninstall.exe, run against a throwaway
// install in the temp folder (shell folders redirected beside it), captured from the copy that
// the first Uninstall.exe starts, and answered so that the run ends.
#include "tests/gallery/Gallery.h"
#include "tests/uninstall/UninstallLayout.h"

#include <functional>

namespace {

using namespace uninstalltest;

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

// The process's box once it is up (it shows no other window), waiting up to 20 seconds.
HWND waitForBox(DWORD processId) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        WindowSearch search{processId, nullptr};
        EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return nullptr;
}

struct ButtonSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK findButton(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ButtonSearch*>(data);
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    std::string plain;
    for (const char* c = text; *c; ++c)
        if (*c != '&') plain += *c;
    if (IsWindowVisible(child) && _stricmp(plain.c_str(), search->caption) == 0) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

// Clicks the box's button with this caption at its centre, as a user would.
void press(HWND box, const char* caption) {
    ButtonSearch search{caption, nullptr};
    EnumChildWindows(box, findButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return;
    SetForegroundWindow(box);
    RECT r;
    GetWindowRect(search.found, &r);
    const int screenW = GetSystemMetrics(SM_CXSCREEN) - 1, screenH = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = static_cast<LONG>((r.left + r.right) / 2 * 65535LL / screenW);
        inputs[i].mi.dy = static_cast<LONG>((r.top + r.bottom) / 2 * 65535LL / screenH);
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

// Lays Brimsafe out, starts the uninstaller and hands its copy's first box to `answer`.
void runUninstall(const std::function<void(DWORD copyId, HWND firstBox)>& answer, bool holdProgram = false) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    Layout layout(std::string(temp) + "brim_gallery_uninstall_" + std::to_string(GetCurrentProcessId()));
    if (!layout.installWithPlaceholders()) return;
    // Held without write sharing, the program looks running to the uninstaller.
    win32::FileHandle held;
    if (holdProgram)
        held.reset(CreateFileA(join(layout.installFolder, "Brimsafe.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                               nullptr, OPEN_EXISTING, 0, nullptr));
    win32::KernelHandle first =
        startWithTemp(join(layout.installFolder, "Uninstall.exe"), layout.tempFolder, layout.installFolder);
    if (!first || waitForExit(first.get(), 30000) == -1) return;
    win32::KernelHandle copy = findChildProcess(GetProcessId(first.get()), "Uninstall.exe");
    if (!copy) return;
    if (HWND box = waitForBox(GetProcessId(copy.get()))) answer(GetProcessId(copy.get()), box);
    if (waitForExit(copy.get(), 20000) == -1) TerminateProcess(copy.get(), 1);
}

}  // namespace

BRIM_GALLERY_ENTRY("uninstall-confirm") {
    runUninstall([&](DWORD, HWND box) {
        shot.window(box);
        press(box, "No");
    });
}

BRIM_GALLERY_ENTRY("uninstall-running") {
    runUninstall(
        [&](DWORD, HWND box) {
            shot.window(box);
            press(box, "OK");
        },
        true);
}

BRIM_GALLERY_ENTRY("uninstall-complete") {
    runUninstall([&](DWORD copyId, HWND question) {
        press(question, "Yes");
        // The final box replaces the question in the same process.
        for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
            HWND box = waitForBox(copyId);
            if (box && box != question && IsWindow(box)) {
                shot.window(box);
                press(box, "OK");
                return;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    });
}
