/*
 * Tutorial.exe: the tutorial program's window, "Brimsafe Tutorial". Brimsafe
 * tells it to close at exit with WM_COPYDATA whose dwData is 100; it does nothing else.
 */
#include <windows.h>

namespace {

constexpr ULONG_PTR CloseCommand = 100;

LRESULT CALLBACK tutorialProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data && data->dwData == CloseCommand) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return TRUE;
        }
        return FALSE;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = tutorialProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BrimsafeTutorial";
    if (!RegisterClassA(&wc)) return 1;
    // Centred on the work area (the system's default place is its top-left corner).
    const int width = 480, height = 320;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Brimsafe Tutorial", WS_OVERLAPPEDWINDOW, left, top, width,
                                  height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
