// Stands in for a running Brimsafe that is not the installed one: a top-level window titled
// "Brimsafe" that records every WM_COPYDATA it gets (one line: dwData, cbData, whether lpData was
// null, wParam, and whether the watched file still existed when the message came) and signals a
// named event once its window is up. Played hung, it stops taking messages until its release
// event is set. It ends when its window is closed, or after 60 seconds in any case.
//
//   uninstall_companion --ready <event> --record <file> --watch <path> [--hung <release event>]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string recordPath;
std::string watchedPath;

LRESULT CALLBACK companionProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const bool watchedExists = GetFileAttributesA(watchedPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (FILE* record = std::fopen(recordPath.c_str(), "ab")) {
            std::fprintf(record, "%lu %lu %d %lu %d\n", static_cast<unsigned long>(data->dwData),
                         static_cast<unsigned long>(data->cbData), data->lpData == nullptr ? 1 : 0,
                         static_cast<unsigned long>(wParam), watchedExists ? 1 : 0);
            std::fclose(record);
        }
        return TRUE;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    std::string ready, hungRelease;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        if (option == "--ready") ready = value;
        else if (option == "--record") recordPath = value;
        else if (option == "--watch") watchedPath = value;
        else if (option == "--hung") hungRelease = value;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = companionProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrimUninstallCompanion";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(windowClass.lpszClassName, "Brimsafe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
    SetTimer(window, 1, 60000, nullptr);
    if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str())) {
        SetEvent(event);
        CloseHandle(event);
    }
    if (!hungRelease.empty()) {
        HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, hungRelease.c_str());
        if (release) {
            WaitForSingleObject(release, 60000);
            CloseHandle(release);
        }
        return 0;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        DispatchMessageA(&message);
    }
    return 0;
}
