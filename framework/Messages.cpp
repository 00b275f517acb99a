/*
 * Message-only windows bound to closures, and subclassing; see Messages.h.
 * A message-only window's closure lives on the heap, reached through the
 * window's user data, and is freed when the window is destroyed. A subclass
 * is an entry of the system's subclass chain whose reference data is the
 * TWindowSubclass object itself.
 */
#include "framework/Messages.h"

#include <commctrl.h>

namespace {

const char* const utilityClass = "BrimUtilityWindow";

LRESULT CALLBACK utilityWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!method) return DefWindowProcA(window, msg, wParam, lParam);
    return DeliverWindowMessage(*method, msg, wParam, lParam);
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

// ---------------------------------------------------------------------------
// TWindowSubclass

bool TWindowSubclass::Install(HWND Window, const TWndMethod& Method) {
    if (window_ || !Window) return false;
    method_ = Method;
    if (!SetWindowSubclass(Window, &TWindowSubclass::subclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return false;
    window_ = Window;
    return true;
}

void TWindowSubclass::Remove() {
    if (!window_) return;
    HWND window = window_;
    window_ = nullptr;
    if (IsWindow(window)) RemoveWindowSubclass(window, &TWindowSubclass::subclassProc, reinterpret_cast<UINT_PTR>(this));
}

LRESULT TWindowSubclass::CallPrevious(const TMessage& Message) const {
    return DefSubclassProc(window_, Message.Msg, Message.WParam, Message.LParam);
}

bool TWindowSubclass::PassOnAndLetGoAtDestroy(TMessage& Message) {
    Message.Result = CallPrevious(Message);
    if (Message.Msg != WM_DESTROY) return false;
    Remove();
    return true;
}

LRESULT CALLBACK TWindowSubclass::subclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) {
    auto* self = reinterpret_cast<TWindowSubclass*>(data);
    // A copy: the closure may replace or remove this subclass while it runs.
    const TWndMethod method = self->method_;
    LRESULT result = DeliverWindowMessage(method, msg, wParam, lParam, self->sender_);
    if (msg == WM_NCDESTROY && self->window_ == window) self->Remove();
    return result;
}
