// A stand-in for another running copy of the program, for tests of what happens between
// processes. On request it holds a named mutex, a top-level window with a given caption, a file
// opened without sharing, or the clipboard; it records every WM_COPYDATA its window receives
// (one line per message: the command number and the data in hex, "-" for none) and signals a named event once
// it holds everything. It ends when its window is closed, or after 60 seconds in any case.
//
//   vault_holder_stub --ready <event> [--mutex <name>] [--window <caption>] [--record <file>]
//                     [--hold-file <path>] [--hold-clipboard]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string recordPath;

LRESULT CALLBACK holderProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (FILE* record = std::fopen(recordPath.c_str(), "ab")) {
            std::fprintf(record, "%lu ", static_cast<unsigned long>(data->dwData));
            const auto* bytes = static_cast<const unsigned char*>(data->lpData);
            if (data->cbData == 0) std::fprintf(record, "-");
            for (DWORD i = 0; i < data->cbData; ++i) std::fprintf(record, "%02x", bytes[i]);
            std::fprintf(record, "\n");
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
    std::string ready, mutexName, caption, heldFile;
    bool holdClipboard = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        auto value = [&]() { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (option == "--ready") ready = value();
        else if (option == "--mutex") mutexName = value();
        else if (option == "--window") caption = value();
        else if (option == "--record") recordPath = value();
        else if (option == "--hold-file") heldFile = value();
        else if (option == "--hold-clipboard") holdClipboard = true;
    }
    HANDLE mutex = mutexName.empty() ? nullptr : CreateMutexA(nullptr, TRUE, mutexName.c_str());
    HANDLE file = heldFile.empty() ? INVALID_HANDLE_VALUE
                                   : CreateFileA(heldFile.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                 OPEN_EXISTING, 0, nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = holderProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "BrimVaultHolderStub";
    RegisterClassA(&windowClass);
    // The window exists always (it owns the clipboard and ends the stub); only its caption is asked for.
    HWND window = CreateWindowA(windowClass.lpszClassName, caption.empty() ? "vault holder stub" : caption.c_str(),
                                WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (holdClipboard) OpenClipboard(window);
    SetTimer(window, 1, 60000, nullptr);
    if (!ready.empty()) {
        HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready.c_str());
        if (event) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER) break;
        DispatchMessageA(&message);
    }
    if (holdClipboard) CloseClipboard();
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (mutex) CloseHandle(mutex);
    return 0;
}
