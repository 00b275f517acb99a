/*
 * Message-only windows bound to closures; see Messages.h. The closure lives
 * on the heap, reached through the window's user data, and is freed when the
 * window is destroyed.
 */
#include "framework/Messages.h"

namespace {

const char* const utilityClass = "BrimUtilityWindow";

LRESULT CALLBACK utilityWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!method) return DefWindowProcA(window, msg, wParam, lParam);
    TMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    try {
        (*method)(message);
    } catch (...) {
        HandleCurrentException();
    }
    return message.Result;
}

void registerUtilityClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = utilityWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = utilityClass;
    RegisterClassA(&wc);
    registered = true;
}

}  // namespace

HWND AllocateHWnd(const TWndMethod& method) {
    registerUtilityClass();
    HWND window = CreateWindowExA(0, utilityClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(method)));
    return window;
}

void DeallocateHWnd(HWND window) {
    if (!window) return;
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    delete method;
}

void DefaultWindowResult(HWND window, TMessage& message) {
    message.Result = DefWindowProcA(window, message.Msg, message.WParam, message.LParam);
}
