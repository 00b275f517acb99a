// Subclassing base for components that watch another control's window.
#include "components/runtime/QCLHookComponent.h"

#include "components/runtime/qclerrors.h"

#include <commctrl.h>

TQCLHookComponent::TQCLHookComponent(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}

TQCLHookComponent::~TQCLHookComponent() {
    RestoreWndProc();
    if (control_)
        control_->RemoveFreeNotification(this);
    control_ = nullptr;
}

void TQCLHookComponent::SetControl(TWinControl* value) {
    if (value == control_)
        return;
    if (control_) {
        RestoreState();
        control_->RemoveFreeNotification(this);
    }
    control_ = value;
    if (!control_)
        return;
    // Always asked, so that a control freed before it had a window is
    // forgotten too.
    control_->FreeNotification(this);
    if (control_->HandleAllocated())
        Init();
}

void TQCLHookComponent::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    if (value)
        Init();
    else
        RestoreState();
}

void TQCLHookComponent::Init() {
    if (enabled_)
        NewWndProc();
}

void TQCLHookComponent::RestoreState() { RestoreWndProc(); }

void TQCLHookComponent::Loaded() {
    TQCLCustomComponent::Loaded();
    Init();
}

bool TQCLHookComponent::NewWndProc() {
    if (!control_ || hookedWindow_)
        return false;
    restoring_ = false;
    HWND window = nullptr;
    try {
        window = control_->Handle;
    } catch (const Exception&) {
        return false;
    }
    if (!window || !SetWindowSubclass(window, &TQCLHookComponent::subclassProc, reinterpret_cast<UINT_PTR>(this),
                                      reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hookedWindow_ = window;
    return true;
}

bool TQCLHookComponent::RestoreWndProc() {
    restoring_ = true;
    if (hookedWindow_ && IsWindow(hookedWindow_))
        RemoveWindowSubclass(hookedWindow_, &TQCLHookComponent::subclassProc, reinterpret_cast<UINT_PTR>(this));
    hookedWindow_ = nullptr;
    restoring_ = false;
    return true;
}

LRESULT TQCLHookComponent::CallPrevious(const TMessage& Message) {
    return DefSubclassProc(hookedWindow_, Message.Msg, Message.WParam, Message.LParam);
}

void TQCLHookComponent::WndProc(TMessage& Message) {
    if (restoring_)
        return;
    Message.Result = CallPrevious(Message);
    if (Message.Msg != WM_DESTROY)
        return;
    // The window has done its own WM_DESTROY work; let go of it now.
    RemoveWindowSubclass(hookedWindow_, &TQCLHookComponent::subclassProc, reinterpret_cast<UINT_PTR>(this));
    hookedWindow_ = nullptr;
    if (ComponentState().Contains(csDestroying)) {
        restoring_ = true;
    } else if (control_) {
        control_->RemoveFreeNotification(this);
        control_ = nullptr;
    }
}

void TQCLHookComponent::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLCustomComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == control_) {
        RestoreState();
        control_ = nullptr;
    }
}

LRESULT CALLBACK TQCLHookComponent::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data) {
    auto* self = reinterpret_cast<TQCLHookComponent*>(data);
    TMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    try {
        self->WndProc(message);
    } catch (...) {
        QCLReportException(self);
        if (msg == WM_DESTROY && self->hookedWindow_ == hwnd)
            RemoveWindowSubclass(hwnd, &TQCLHookComponent::subclassProc, reinterpret_cast<UINT_PTR>(self));
    }
    return message.Result;
}
