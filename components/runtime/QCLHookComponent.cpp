// Subclassing base for components that watch another control's window; see
// QCLHookComponent.h. The hook is a TWindowSubclass: passing a message on is
// CallPrevious, and the hook lets go at WM_DESTROY only after the window's own
// procedure has had it, so the window's last messages go straight to it.
#include "components/runtime/QCLHookComponent.h"

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
    if (!SetIfChanged(enabled_, value))
        return;
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
    if (!control_ || subclass_.Installed())
        return false;
    restoring_ = false;
    HWND window = nullptr;
    try {
        window = control_->Handle;
    } catch (const Exception&) {
        return false;
    }
    return subclass_.Install(window, TWndMethod(this, &TQCLHookComponent::WndProc));
}

bool TQCLHookComponent::RestoreWndProc() {
    restoring_ = true;
    subclass_.Remove();
    restoring_ = false;
    return true;
}

LRESULT TQCLHookComponent::CallPrevious(const TMessage& Message) {
    return subclass_.CallPrevious(Message);
}

void TQCLHookComponent::WndProc(TMessage& Message) {
    if (restoring_)
        return;
    if (!subclass_.PassOnAndLetGoAtDestroy(Message))
        return;
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
