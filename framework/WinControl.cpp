/*
 * TWinControl, creation and lifetime: window classes, handle creation and
 * destruction, and the window procedure of every framework window. What is
 * tricky here:
 *  - the object is attached to its window at the first message (WM_NCCREATE
 *    or, for top-level windows, the WM_GETMINMAXINFO before it) through a
 *    thread-local "control being created";
 *  - every exception thrown while handling a message is stopped in
 *    MainWndProc (DeliverWindowMessage) and handed to the application; none
 *    crosses the system's window procedure frames;
 *  - temporary control DCs are released after the outermost message;
 *  - a system class is superclassed: its procedure becomes DefaultHandler's
 *    target, and one C++ class name over two system classes gets two window
 *    classes.
 */
#include "framework/Controls.h"

#include <algorithm>
#include <unordered_map>

#include "framework/ControlMap.h"
#include "framework/Forms.h"

namespace {

const char* const controlProperty = "BrimFrameworkControl";
thread_local TWinControl* creatingControl = nullptr;
// The same mapping as the window property, kept in the process: under Wine
// GetPropA is a server round trip (tens of microseconds), paid on every
// message. Windows belong to the thread that made them, and so do their
// messages, so each thread keeps its own map.
thread_local std::unordered_map<HWND, TWinControl*> attachedControls;

TWinControl* attachedControl(HWND window) {
    auto found = attachedControls.find(window);
    return found == attachedControls.end() ? nullptr : found->second;
}
int nextControlId = 100;

// Registered window classes: our class name (and the system class it
// superclasses) -> the name registered and the system class's procedure.
// Two C++ classes of one name but different system classes get distinct
// window classes.
struct RegisteredClass {
    AnsiString name;
    AnsiString systemClass;
    AnsiString registeredName;
    WNDPROC systemProc;
};
std::vector<RegisteredClass>& registeredClasses() {
    static std::vector<RegisteredClass> classes;
    return classes;
}

int mainWndProcDepth = 0;

}  // namespace

LRESULT CALLBACK brimStdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), brush_(new TBrush) {
    brush_->SetColor(GetColor());
}

TWinControl::~TWinControl() {
    Destroying();
    ForgetMouseControl(this);
    if (TCustomForm* form = GetParentForm()) {
        if (form != this) form->ControlRemoved(this);
    }
    if (handle_) DestroyHandle();
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        child->Free();
    }
    delete brush_;
}

TWinControl* TWinControl::FindControl(HWND Window) {
    if (!Window) return nullptr;
    DWORD process = 0;
    if (GetWindowThreadProcessId(Window, &process) != GetCurrentThreadId()) return nullptr;
    return attachedControl(Window);
}

HWND TWinControl::GetHandle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    TWinControl* parent = GetParent();
    if (parent) parent->HandleNeeded();
    CreateWnd();
    // Children get their windows with the parent's, in z-order (first at the bottom).
    for (TControl* child : std::vector<TControl*>(controls_))
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = text_;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (GetControlStyle().Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (GetVisible()) Params.Style |= WS_VISIBLE;
    if (!GetEnabled()) Params.Style |= WS_DISABLED;
    Params.X = left_;
    Params.Y = top_;
    Params.Width = width_;
    Params.Height = height_;
    TWinControl* parent = GetParent();
    Params.WndParent = parent ? parent->handle_ : parentWindow_;  // CreateHandle made it first
    Params.WindowClass.style = CS_DBLCLKS;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    params.WindowClass.cbSize = sizeof(WNDCLASSEXA);
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '%s' has no parent window", {GetName()});
    // Register our class once; a system class is superclassed.
    auto& classes = registeredClasses();
    auto known = std::find_if(classes.begin(), classes.end(), [&](const RegisteredClass& c) {
        return c.name == params.WinClassName && SameText(c.systemClass, params.SystemClassName);
    });
    if (known == classes.end()) {
        AnsiString registeredName = params.WinClassName;
        for (int n = 2; std::any_of(classes.begin(), classes.end(),
                                    [&](const RegisteredClass& c) { return c.registeredName == registeredName; });
             ++n)
            registeredName = params.WinClassName + "." + IntToStr(n);
        WNDCLASSEXA wc = params.WindowClass;
        wc.cbSize = sizeof wc;
        WNDPROC systemProc = DefWindowProcA;
        if (!params.SystemClassName.empty()) {
            WNDCLASSEXA system = {};
            system.cbSize = sizeof system;
            if (!GetClassInfoExA(nullptr, params.SystemClassName.c_str(), &system))
                throw EOutOfResources("Window class %s is not available", {params.SystemClassName});
            systemProc = system.lpfnWndProc;
            wc = system;
            wc.cbSize = sizeof wc;
            wc.style |= params.WindowClass.style;
        } else {
            wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        }
        wc.lpfnWndProc = brimStdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = registeredName.c_str();
        wc.hbrBackground = nullptr;
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
        classes.push_back({params.WinClassName, params.SystemClassName, registeredName, systemProc});
        known = classes.end() - 1;
    }
    defWndProc_ = known->systemProc;
    params.WinClassName = known->registeredName;
    CreateWindowHandle(params);
    if (!handle_) RaiseLastOSError();
    if (params.Style & WS_CHILD) UpdateBounds();
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    HMENU id = nullptr;
    if (Params.Style & WS_CHILD) {
        controlId_ = nextControlId++;
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_));
    }
    TWinControl* previous = creatingControl;
    creatingControl = this;
    HWND window = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                                  Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id,
                                  GetModuleHandleA(nullptr), Params.Param);
    creatingControl = previous;
    if (window && !handle_) attach(window);
}

void TWinControl::attach(HWND window) {
    handle_ = window;
    SetPropA(window, controlProperty, this);
    attachedControls[window] = this;
    ControlMapTagWindow(window, GetName());
}

void TWinControl::detach() {
    if (!handle_) return;
    TControlCanvas::FreeDeviceContextsOf(handle_);
    RemovePropA(handle_, controlProperty);
    ControlMapUntagWindow(handle_);
    auto found = attachedControls.find(handle_);
    if (found != attachedControls.end() && found->second == this) attachedControls.erase(found);
    handle_ = nullptr;
    captureControl_ = nullptr;
    tracking_ = false;
}

void TWinControl::DestroyWnd() {
    // Keep the text for the next window.
    if (handle_) text_ = GetText();
    DestroyWindow(handle_);
    detach();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    SaveWindowState();
    bool hadFocus = Focused();
    DestroyHandle();
    CreateHandle();
    RestoreWindowState();
    if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

LRESULT CALLBACK brimStdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = attachedControl(window);
    if (!control && creatingControl) {
        control = creatingControl;
        creatingControl = nullptr;
        control->attach(window);
    }
    if (!control) return DefWindowProcA(window, msg, wParam, lParam);
    return control->MainWndProc(msg, wParam, lParam);
}

LRESULT TWinControl::MainWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    ++mainWndProcDepth;
    LRESULT result = DeliverWindowMessage(
        [this](TMessage& message) {
            if (WindowProc) WindowProc(message);
            else WndProc(message);
        },
        msg, wParam, lParam);
    --mainWndProcDepth;
    if (msg == WM_NCDESTROY) detach();
    if (mainWndProcDepth == 0) TControlCanvas::FreeDeviceContexts();
    return result;
}

void TWinControl::ApplyStyle(DWORD style, DWORD exStyle) {
    if (!handle_) return;
    SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style));
    SetWindowLongA(handle_, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
