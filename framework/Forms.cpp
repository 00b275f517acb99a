/*
 * Forms, application object, screen and the framework's start-up; see
 * Forms.h. The modal loop and Run share HandleMessage; WM_QUIT seen inside a
 * modal loop is posted again so that the outer loops see it too.
 */
#include "framework/Forms.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>

#include "framework/ControlMap.h"
#include "framework/Threads.h"

TApplication* Application = nullptr;
TScreen* Screen = nullptr;
HINSTANCE HInstance = nullptr;
DWORD MainThreadID = 0;
int Win32Platform = 0;
int Win32MajorVersion = 0;
int Win32MinorVersion = 0;
int Win32BuildNumber = 0;
AnsiString Win32CSDVersion;
bool NewStyleControls = true;
bool IsLibrary = false;

namespace {

std::function<BOOL(HWND, const char*, UINT, ULONG_PTR)> helpHandler = [](HWND window, const char* file, UINT command,
                                                                          ULONG_PTR data) {
    return WinHelpA(window, file, command, data);
};

struct DisabledWindows {
    HWND except = nullptr;
    std::vector<HWND> windows;
};

BOOL CALLBACK disableWindow(HWND window, LPARAM context) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(context);
    if (window != disabled->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

void HandleCurrentException(TObject* Sender) {
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        if (Application) Application->HandleException(Sender, &e);
        else MessageBoxA(nullptr, e.Message.c_str(), "Error", MB_OK | MB_ICONSTOP);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        if (Application) Application->HandleException(Sender, &wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        if (Application) Application->HandleException(Sender, &wrapped);
    }
}

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    // Everything the constructors create belongs to this form's loading bracket.
    BeginLoading();
    JoinLoading(this);
    loadingOpen_ = true;
    setVisibleFlag(false);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetColor(clBtnFace);
    SetParentFont(false);
    left_ = 0;
    top_ = 0;
    width_ = 320;
    height_ = 240;
    if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
    if (loadingOpen_) AbandonLoading();
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

void TCustomForm::AfterConstruction() {
    if (loadingOpen_) {
        loadingOpen_ = false;
        EndLoading();
    }
    if (GetName().empty()) {
        AnsiString base = ClassName();
        if (!base.empty() && (base[0] == 'T' || base[0] == 't')) base.erase(0, 1);
        AnsiString name = base;
        TComponent* owner = GetOwnerComponent();
        for (int n = 1; owner && owner->FindComponent(name) && owner->FindComponent(name) != this; ++n)
            name = base + "_" + IntToStr(n);
        SetName(name);
    }
    if (OnCreate) OnCreate(this);
}

void TCustomForm::BeforeDestruction() {
    TWinControl::BeforeDestruction();
    if (!destroyFired_) {
        destroyFired_ = true;
        if (OnDestroy) OnDestroy(this);
    }
}

void TCustomForm::styleFromBorder(DWORD& style, DWORD& exStyle) const {
    switch (borderStyle_) {
    case bsNone: style = WS_POPUP; break;
    case bsSingle: style = WS_CAPTION | WS_BORDER; break;
    case bsSizeable: style = WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
        style = WS_POPUP | WS_CAPTION;
        exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        style = WS_CAPTION;
        exStyle = WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        style = WS_CAPTION | WS_THICKFRAME;
        exStyle = WS_EX_TOOLWINDOW;
        break;
    }
    if (borderStyle_ != bsNone && borderIcons_.Contains(biSystemMenu)) style |= WS_SYSMENU;
    if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
        if (borderIcons_.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
        if (borderIcons_.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    DWORD style = 0, exStyle = 0;
    styleFromBorder(style, exStyle);
    Params.Style = style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = exStyle;
    if (!GetEnabled()) Params.Style |= WS_DISABLED;
    if (GetParentWindow()) {
        Params.Style = (Params.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
        Params.WndParent = GetParentWindow();
    } else {
        Params.WndParent = Application ? Application->GetHandle() : nullptr;
    }
}

void TCustomForm::CreateWnd() { TWinControl::CreateWnd(); }

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
    if (!SetIfChanged(borderStyle_, value)) return;
    if (!HandleAllocated()) return;
    // The form keeps its window: the style changes in place.
    DWORD style = 0, exStyle = 0;
    styleFromBorder(style, exStyle);
    DWORD keep = static_cast<DWORD>(GetWindowLongA(handle_, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE);
    ApplyStyle(style | keep | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, exStyle);
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
    borderIcons_ = value;
    TFormBorderStyle current = borderStyle_;
    borderStyle_ = current == bsNone ? bsSingle : bsNone;  // force the re-apply
    SetBorderStyle(current);
}

TWindowState TCustomForm::GetWindowState() const {
    if (handle_) {
        if (IsIconic(handle_)) return wsMinimized;
        if (IsZoomed(handle_)) return wsMaximized;
        return IsWindowVisible(handle_) ? wsNormal : windowState_;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState value) {
    windowState_ = value;
    if (handle_ && IsWindowVisible(handle_)) {
        static const int commands[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(handle_, commands[value]);
    }
}

void TCustomForm::SetActiveControl(TWinControl* value) {
    if (value == activeControl_) return;
    if (value && (value == this || GetParentForm() != this || value->GetParentForm() != this))
        throw EInvalidOperation("Invalid active control");
    activeControl_ = value;
    if (value && Showing() && value->CanFocus()) value->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) { SetActiveControl(Control); }

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (Control == focusedControl_) return true;
    TWinControl* old = focusedControl_;
    focusedControl_ = Control;
    if (Control != this) activeControl_ = Control;
    // Leave up to the common ancestor, then enter down to the new control.
    TWinControl* common = nullptr;
    for (TWinControl* c = old; c; c = c->GetParent()) {
        if (c == this || c->ContainsControl(Control)) {
            common = c;
            break;
        }
    }
    for (TWinControl* c = old; c && c != common && c != this; c = c->GetParent()) {
        c->Perform(CM_EXIT, 0, 0);
        if (focusedControl_ != Control) return false;  // a handler moved the focus
    }
    std::vector<TWinControl*> entering;
    for (TWinControl* c = Control; c && c != common && c != this; c = c->GetParent()) entering.insert(entering.begin(), c);
    for (TWinControl* c : entering) {
        c->Perform(CM_ENTER, 0, 0);
        if (focusedControl_ != Control) return false;
    }
    // Containers above the control hear of it (a scroll box brings it into view).
    for (TWinControl* c = Control ? Control->GetParent() : nullptr; c && c != this; c = c->GetParent())
        c->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return true;
}

void TCustomForm::ControlRemoved(TControl* Control) {
    auto* windowed = dynamic_cast<TWinControl*>(Control);
    if (!windowed) return;
    if (activeControl_ && windowed->ContainsControl(activeControl_)) activeControl_ = nullptr;
    if (focusedControl_ && windowed->ContainsControl(focusedControl_)) focusedControl_ = nullptr;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == activeControl_) activeControl_ = nullptr;
        if (AComponent == focusedControl_) focusedControl_ = nullptr;
    }
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TCustomForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) { PaintThroughCanvas(DC); }

void TCustomForm::ApplyPosition() {
    TRect area = Screen ? Screen->GetWorkAreaRect() : TRect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    auto centreOn = [&](const TRect& r) {
        SetBounds(r.Left + (r.Width() - width_) / 2, r.Top + (r.Height() - height_) / 2, width_, height_);
    };
    switch (position_) {
    case poScreenCenter:
    case poDesktopCenter:
        centreOn(area);
        break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
        TCustomForm* over = position_ == poMainFormCenter ? (Application ? Application->GetMainForm() : nullptr)
                                                          : dynamic_cast<TCustomForm*>(GetOwnerComponent());
        // A hidden or minimised owner gives no place to centre on (a minimised one is parked off the
        // screen): the work area is used.
        if (over && over != this && over->Showing() && !IsIconic(over->GetHandle())) centreOn(over->BoundsRect());
        else centreOn(area);
        break;
    }
    default:
        break;
    }
}

void TCustomForm::FocusFirstControl() {
    if (!handle_ || !IsWindowVisible(handle_)) return;
    TWinControl* target = activeControl_;
    if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
    if (target && target->CanFocus()) {
        target->SetFocus();
    } else {
        ::SetFocus(handle_);
    }
}

bool TCustomForm::Showing() const { return GetVisible() && handle_ && IsWindowVisible(handle_); }

void TCustomForm::SetVisible(bool value) {
    if (value) {
        if (Showing()) return;
        HandleNeeded();
        DoShow();
        ApplyPosition();
        setVisibleFlag(true);
        static const int commands[] = {SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED};
        ShowWindow(handle_, commands[windowState_]);
        NotifyControls(CM_SHOWINGCHANGED);
        if (windowState_ != wsMinimized) SetForegroundWindow(handle_);
        FocusFirstControl();
    } else {
        if (!GetVisible() && !(handle_ && IsWindowVisible(handle_))) return;
        DoHide();
        setVisibleFlag(false);
        if (handle_) ShowWindow(handle_, SW_HIDE);
        NotifyControls(CM_SHOWINGCHANGED);
    }
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (formState_.Contains(fsModal)) {
        // The loop's end asks OnCloseQuery; a refusal keeps the form open.
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->GetMainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release() {
    if (handle_) PostMessageA(handle_, CM_RELEASE, 0, 0);
    else Free();
}

void TCustomForm::closeModal() {
    try {
        TCloseAction action = caNone;
        if (CloseQuery()) {
            action = caHide;
            DoClose(action);
        }
        if (action == caNone) modalResult_ = mrNone;
        else if (action == caFree) Release();
    } catch (...) {
        modalResult_ = mrNone;
        HandleCurrentException();
    }
}

int TCustomForm::ShowModal() {
    if (GetVisible() || !GetEnabled() || formState_.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!Application) InitFramework();
    if (Application->GetTerminated()) return mrCancel;
    modalResult_ = mrNone;
    if (HWND captured = GetCapture()) {
        SendMessageA(captured, WM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    HWND previousActive = GetActiveWindow();
    HandleNeeded();
    // The Win32 owner: the active visible form, otherwise the application window.
    TCustomForm* ownerForm = Screen ? Screen->GetActiveForm() : nullptr;
    HWND ownerWindow = (ownerForm && ownerForm != this && ownerForm->Showing()) ? ownerForm->handle_
                                                                                 : Application->GetHandle();
    SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(ownerWindow));
    DisabledWindows disabled;
    disabled.except = handle_;
    EnumThreadWindows(GetCurrentThreadId(), disableWindow, reinterpret_cast<LPARAM>(&disabled));
    formState_ << fsModal;
    ++Application->modalLevel_;
    auto finish = [&]() {
        --Application->modalLevel_;
        formState_ >> fsModal;
        for (HWND window : disabled.windows)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        if (handle_) SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Application->GetHandle()));
        if (previousActive && previousActive != handle_ && IsWindow(previousActive) && IsWindowVisible(previousActive))
            SetActiveWindow(previousActive);
    };
    try {
        Show();
        while (true) {
            if (Application->GetTerminated()) {
                modalResult_ = mrCancel;
                break;
            }
            if (modalResult_ != mrNone) {
                closeModal();
                if (modalResult_ != mrNone) break;
            }
            Application->HandleMessage();
        }
        Hide();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return modalResult_;
}

void TCustomForm::dialogKey(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    TShiftState shift = KeyDataToShiftState(m.LParam);
    if (!shift.Contains(ssAlt) && !shift.Contains(ssCtrl)) {
        if (key == VK_TAB) {
            SelectNext(activeControl_, !shift.Contains(ssShift), true);
            m.Result = 1;
            return;
        }
        if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
            if (activeControl_ && activeControl_->GetParent()) {
                activeControl_->GetParent()->SelectNext(activeControl_, key == VK_RIGHT || key == VK_DOWN, false);
                m.Result = 1;
                return;
            }
        }
    }
    // Any other key goes to every control, hidden ones included.
    Broadcast(m);
}

void TCustomForm::Dispatch(TMessage& Message) {
    if (ControlMapAnswer(this, Message)) return;
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case CM_RELEASE:
        Free();
        return;
    case CM_DIALOGKEY:
        dialogKey(Message);
        return;
    case WM_ACTIVATE:
        if (LOWORD(Message.WParam) != WA_INACTIVE) {
            formState_ << fsActivated;
            if (activeControl_ && activeControl_->CanFocus() && activeControl_->HandleAllocated())
                ::SetFocus(activeControl_->GetHandle());
            else
                ::SetFocus(handle_);
            Activate();
        } else {
            Deactivate();
        }
        Message.Result = 0;
        return;
    case WM_SETFOCUS:
        if (activeControl_ && activeControl_ != this && activeControl_->CanFocus()) {
            ::SetFocus(activeControl_->GetHandle());
            return;
        }
        SetFocusedControl(this);
        break;
    case WM_GETMINMAXINFO: {
        DefaultHandler(Message);
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        TSizeConstraints* c = GetConstraints();
        if (c->GetMinWidth() > 0) info->ptMinTrackSize.x = c->GetMinWidth();
        if (c->GetMinHeight() > 0) info->ptMinTrackSize.y = c->GetMinHeight();
        if (c->GetMaxWidth() > 0) info->ptMaxTrackSize.x = c->GetMaxWidth();
        if (c->GetMaxHeight() > 0) info->ptMaxTrackSize.y = c->GetMaxHeight();
        return;
    }
    case WM_SYSCOMMAND:
        if (Application && Application->GetMainForm() == this) {
            UINT command = static_cast<UINT>(Message.WParam) & 0xFFF0;
            if (command == SC_MINIMIZE) {
                Application->Minimize();
                return;
            }
        }
        break;
    case WM_QUERYENDSESSION:
        Message.Result = CloseQuery();
        return;
    default:
        break;
    }
    TWinControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
    AnsiString exe = ExtractFileName(ParamStr(0));
    title_ = ChangeFileExt(exe, "");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = applicationWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.lpszClassName = "TApplication";
    RegisterClassA(&wc);
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExA(0, "TApplication", title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                              nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TApplication::~TApplication() {
    DestroyComponents();
    if (hintTimer_) DeallocateHWnd(hintTimer_);
    if (hintWindow_) DestroyWindow(hintWindow_);
    if (handle_) {
        SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
        DestroyWindow(handle_);
    }
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES |
                                                ICC_ANIMATE_CLASS | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    CoInitialize(nullptr);
}

LRESULT CALLBACK TApplication::applicationWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!app) return DefWindowProcA(window, msg, wParam, lParam);
    return DeliverWindowMessage([app](TMessage& m) { app->windowProc(m); }, msg, wParam, lParam);
}

void TApplication::windowProc(TMessage& m) {
    for (auto hook : std::vector<TWindowHook>(hooks_)) {
        bool handled = false;
        hook(m, handled);
        if (handled) return;
    }
    switch (m.Msg) {
    case WM_CLOSE:
        if (mainForm_) mainForm_->Close();
        m.Result = 0;
        return;
    case WM_QUERYENDSESSION:
        m.Result = mainForm_ ? mainForm_->CloseQuery() : TRUE;
        return;
    case WM_ENDSESSION:
        if (m.WParam) Terminate();
        return;
    case WM_SYSCOMMAND:
        switch (static_cast<UINT>(m.WParam) & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return;
        case SC_RESTORE: Restore(); return;
        case SC_CLOSE:
            if (mainForm_) mainForm_->Close();
            return;
        default: break;
        }
        break;
    default:
        // WM_COPYDATA included: the application window answers 0 and does nothing.
        break;
    }
    m.Result = DefWindowProcA(handle_, m.Msg, m.WParam, m.LParam);
}

void TApplication::HookMainWindow(TWindowHook Hook) { hooks_.push_back(Hook); }

void TApplication::UnhookMainWindow(TWindowHook Hook) {
    auto it = std::find(hooks_.begin(), hooks_.end(), Hook);
    if (it != hooks_.end()) hooks_.erase(it);
}

void TApplication::SetTitle(const AnsiString& value) {
    title_ = value;
    if (handle_) SetWindowTextA(handle_, value.c_str());
}

AnsiString TApplication::GetExeName() const { return ParamStr(0); }

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == hintControl_) CancelHint();
    if (Operation == opRemove && AComponent == mainForm_) mainForm_ = nullptr;
}

bool TApplication::isPreTranslated(MSG& msg) {
    UINT reflected = 0;
    switch (msg.message) {
    case WM_KEYDOWN: reflected = CN_KEYDOWN; break;
    case WM_SYSKEYDOWN: reflected = CN_SYSKEYDOWN; break;
    case WM_CHAR: reflected = CN_CHAR; break;
    case WM_SYSCHAR: reflected = CN_SYSCHAR; break;
    default: return false;
    }
    TWinControl* control = nullptr;
    for (HWND window = msg.hwnd; window && !control; window = GetParent(window))
        control = TWinControl::FindControl(window);
    if (!control) return false;
    try {
        // A handled dialog key is dropped before TranslateMessage: no WM_CHAR follows.
        return control->Perform(reflected, msg.wParam, msg.lParam) != 0;
    } catch (...) {
        HandleCurrentException();
        return true;
    }
}

bool TApplication::processMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        if (modalLevel_ > 0) PostQuitMessage(static_cast<int>(msg.wParam));
        return true;
    }
    if (!isPreTranslated(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    TControlCanvas::FreeDeviceContexts();
    return true;
}

void TApplication::idle() {
    try {
        UpdateMouseControl(nullptr);
        if (OnIdle) OnIdle(this);
    } catch (...) {
        HandleCurrentException();
    }
    // Not WaitMessage: a message sent from another thread (a synchronised
    // call) is handled inside WaitMessage without making it return, and the
    // loop would not look at ModalResult again until some posted message came.
    if (!terminated_) MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!processMessage(msg)) idle();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (processMessage(msg)) {
        if (msg.message == WM_QUIT) break;
    }
}

void TApplication::Run() {
    if (!terminated_ && mainForm_) {
        mainForm_->Show();
        while (!terminated_) HandleMessage();
    }
    // The forms go in reverse creation order.
    DestroyComponents();
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::ResetTerminatedForTesting() {
    terminated_ = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

void TApplication::Minimize() {
    // The whole program goes: the main form is minimised and the other shown
    // forms are hidden the way the system hides owned windows (their Visible stays).
    if (Screen) {
        for (int i = 0; i < Screen->GetFormCount(); ++i) {
            TCustomForm* form = Screen->GetForm(i);
            if (form == mainForm_ || !form->HandleAllocated() || !IsWindowVisible(form->GetHandle())) continue;
            ShowWindow(form->GetHandle(), SW_HIDE);
            hiddenByMinimize_.push_back(form->GetHandle());
        }
    }
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->GetHandle(), SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->GetHandle(), SW_RESTORE);
    for (HWND window : hiddenByMinimize_)
        if (IsWindow(window)) ShowWindow(window, SW_SHOWNA);
    hiddenByMinimize_.clear();
    if (OnRestore) OnRestore(this);
}

void TApplication::HandleException(TObject* Sender, Exception* E) {
    if (!E) {
        HandleCurrentException();
        return;
    }
    if (dynamic_cast<EAbort*>(E)) return;
    if (OnException) {
        try {
            OnException(Sender, E);
        } catch (...) {
            // The handler of last resort must not throw.
        }
        return;
    }
    ShowException(E);
}

void TApplication::ShowException(Exception* E) {
    AnsiString text = E->Message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    TCustomForm* active = Screen ? Screen->GetActiveForm() : nullptr;
    HWND owner = (active && active->Showing()) ? active->GetHandle() : handle_;
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::SetHelpHandlerForTesting(std::function<BOOL(HWND, const char*, UINT, ULONG_PTR)> handler) {
    helpHandler = std::move(handler);
}

bool TApplication::HelpCommand(UINT Command, ULONG_PTR Data) {
    if (helpFile_.empty()) return false;
    return helpHandler(handle_, helpFile_.c_str(), Command, Data) != FALSE;
}

bool TApplication::HelpContext(int Context) { return HelpCommand(HELP_CONTEXT, static_cast<ULONG_PTR>(Context)); }

namespace {
constexpr UINT_PTR showHintTimer = 1, hideHintTimer = 2;
}

void TApplication::MouseControlChanged(TControl* Control) {
    TControl* target = showHint_ ? HintControlFor(Control) : nullptr;
    if (target == hintControl_) return;
    HideHint();
    hintControl_ = target;
    if (!target) return;
    if (!hintTimer_) hintTimer_ = AllocateHWnd(TWndMethod(this, &TApplication::hintTimerProc));
    SetTimer(hintTimer_, showHintTimer, HintPause, nullptr);
}

void TApplication::hintTimerProc(TMessage& m) {
    if (m.Msg != WM_TIMER) {
        DefaultWindowResult(hintTimer_, m);
        return;
    }
    KillTimer(hintTimer_, m.WParam);
    if (m.WParam == showHintTimer) showHintNow();
    else HideHint();
}

void TApplication::showHintNow() {
    if (!hintControl_ || ControlUnderMouse() == nullptr || HintControlFor(ControlUnderMouse()) != hintControl_) return;
    hintText_ = GetShortHint(hintControl_->GetHint());
    if (hintText_.empty()) return;
    if (!hintWindow_) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = hintWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = "THintWindow";
        RegisterClassA(&wc);
        hintWindow_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "THintWindow", "", WS_POPUP | WS_BORDER, 0, 0,
                                      0, 0, handle_, nullptr, wc.hInstance, nullptr);
    }
    SetWindowTextA(hintWindow_, hintText_.c_str());
    HDC dc = GetDC(hintWindow_);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r = {0, 0, 300, 0};
    DrawTextA(dc, hintText_.c_str(), -1, &r, DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(hintWindow_, dc);
    TPoint cursor = Mouse->GetCursorPos();
    SetWindowPos(hintWindow_, HWND_TOPMOST, cursor.x, cursor.y + 20, r.right + 8, r.bottom + 4,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    hintVisible_ = true;
    SetTimer(hintTimer_, hideHintTimer, HintHidePause, nullptr);
}

LRESULT CALLBACK TApplication::hintWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r;
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        r.left += 4;
        r.top += 2;
        DrawTextA(dc, text, -1, &r, DT_NOPREFIX);
        SelectObject(dc, old);
        EndPaint(window, &ps);
        return 0;
    }
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return DefWindowProcA(window, msg, wParam, lParam);
}

void TApplication::HideHint() {
    if (hintTimer_) {
        KillTimer(hintTimer_, showHintTimer);
        KillTimer(hintTimer_, hideHintTimer);
    }
    if (hintVisible_ && hintWindow_) ShowWindow(hintWindow_, SW_HIDE);
    hintVisible_ = false;
}

void TApplication::CancelHint() {
    HideHint();
    hintControl_ = nullptr;
}

TControl* TApplication::HintControlFor(TControl* Control) const {
    for (TControl* c = Control; c; c = c->GetParent()) {
        if (!c->GetHint().empty()) return c->GetShowHint() ? c : nullptr;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    HDC dc = GetDC(nullptr);
    pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    struct Standard {
        int index;
        LPCSTR id;
    };
    const Standard standard[] = {
        {crDefault, IDC_ARROW},     {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},    {crIBeam, IDC_IBEAM},
        {crSizeNESW, IDC_SIZENESW}, {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},
        {crUpArrow, IDC_UPARROW},   {crHourGlass, IDC_WAIT},  {crDrag, IDC_ARROW},     {crNoDrop, IDC_NO},
        {crHSplit, IDC_SIZEWE},     {crVSplit, IDC_SIZENS},   {crMultiDrag, IDC_ARROW}, {crSQLWait, IDC_WAIT},
        {crNo, IDC_NO},             {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP}, {crHandPoint, IDC_HAND},
        {crSizeAll, IDC_SIZEALL}};
    for (const Standard& s : standard) cursors_[s.index] = LoadCursorA(nullptr, s.id);
    cursors_[crNone] = nullptr;
}

TCustomForm* TScreen::GetActiveForm() const {
    return dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
}

TWinControl* TScreen::GetActiveControl() const {
    TCustomForm* form = GetActiveForm();
    return form ? form->GetActiveControl() : nullptr;
}

int TScreen::GetFormCount() const { return static_cast<int>(forms_.size()); }

TCustomForm* TScreen::GetForm(int Index) const {
    if (Index < 0 || Index >= GetFormCount()) TList::IndexError(Index);
    return forms_[static_cast<size_t>(Index)];
}

void TScreen::AddForm(TCustomForm* Form) { forms_.push_back(Form); }

void TScreen::RemoveForm(TCustomForm* Form) { forms_.erase(std::remove(forms_.begin(), forms_.end(), Form), forms_.end()); }

TRect TScreen::GetWorkAreaRect() const {
    RECT r = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}

void TScreen::SetCursor(TCursor value) {
    if (!SetIfChanged(cursor_, value)) return;
    if (value != crDefault) {
        ::SetCursor(GetCursors(value));
    } else {
        POINT p;
        ::GetCursorPos(&p);
        HWND window = WindowFromPoint(p);
        if (window) SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    }
}

HCURSOR TScreen::GetCursors(int Index) const {
    auto it = cursors_.find(Index);
    if (it != cursors_.end()) return it->second;
    return cursors_.at(crDefault);
}

void TScreen::SetCursors(int Index, HCURSOR Handle) {
    cursors_[Index] = Handle ? Handle : cursors_[crDefault];
}

// ---------------------------------------------------------------------------

void InitFramework() {
    if (Application) return;
    HInstance = GetModuleHandleA(nullptr);
    MainThreadID = GetCurrentThreadId();
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version)) {
        Win32Platform = static_cast<int>(version.dwPlatformId);
        Win32MajorVersion = static_cast<int>(version.dwMajorVersion);
        Win32MinorVersion = static_cast<int>(version.dwMinorVersion);
        Win32BuildNumber = static_cast<int>(version.dwBuildNumber & 0xFFFF);
        Win32CSDVersion = version.szCSDVersion;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    Mouse = new TMouse;
    Screen = new TScreen(nullptr);
    Application = new TApplication(nullptr);
    InitSynchronize();
}
