// Subclassing base for components that watch their owner form's window; see
// QCLWndProcComponent.h. The hook is a TWindowSubclass; with HandleApp the
// application window is watched through the application's own hook list
// (HookMainWindow), not by subclassing it.
#include "components/runtime/QCLWndProcComponent.h"

TQCLWndProcComponent::TQCLWndProcComponent(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}

TQCLWndProcComponent::~TQCLWndProcComponent() { RestoreWndProc(); }

void TQCLWndProcComponent::SetEnabled(bool value) {
    if (!SetIfChanged(enabled_, value))
        return;
    if (value)
        Init();
    else
        RestoreState();
}

void TQCLWndProcComponent::SetDesignEnabled(bool value) {
    if (SetIfChanged(designEnabled_, value))
        DesignEnabledChanged();
}

void TQCLWndProcComponent::SetHandleApp(bool value) {
    if (ComponentState().Contains(csLoading))
        handleApp_ = value;
}

TWinControl* TQCLWndProcComponent::GetOwnerForm() const { return dynamic_cast<TWinControl*>(GetOwnerComponent()); }

HWND TQCLWndProcComponent::GetOwnerHandle() const {
    TWinControl* owner = GetOwnerForm();
    if (!owner)
        return nullptr;
    try {
        return owner->Handle;
    } catch (const Exception&) {
        return nullptr;
    }
}

bool TQCLWndProcComponent::ValidOwner() const {
    TWinControl* owner = GetOwnerForm();
    const auto state = ComponentState();
    return owner && owner->HandleAllocated() && !state.Contains(csLoading) && !state.Contains(csDestroying);
}

bool TQCLWndProcComponent::AppWndProc(TMessage& /*Message*/) { return true; }

void TQCLWndProcComponent::Init() {
    if (enabled_ && !subclass_.Installed())
        NewWndProc();
}

void TQCLWndProcComponent::RestoreState() {}

void TQCLWndProcComponent::DesignEnabledChanged() {}

void TQCLWndProcComponent::Loaded() {
    TQCLCustomComponent::Loaded();
    Init();
}

bool TQCLWndProcComponent::NewWndProc() {
    if (subclass_.Installed())
        return false;
    const HWND window = GetOwnerHandle();
    if (!window)
        return false;
    destroying_ = false;
    if (handleApp_ && Application) {
        Application->HookMainWindow(TApplication::TWindowHook(this, &TQCLWndProcComponent::appHook));
        appHooked_ = true;
    }
    if (!subclass_.Install(window, TWndMethod(this, &TQCLWndProcComponent::WndProc))) {
        RestoreWndProc();
        return false;
    }
    return true;
}

bool TQCLWndProcComponent::RestoreWndProc() {
    subclass_.Remove();
    if (appHooked_ && Application)
        Application->UnhookMainWindow(TApplication::TWindowHook(this, &TQCLWndProcComponent::appHook));
    appHooked_ = false;
    silent_ = false;
    destroying_ = false;
    return true;
}

void TQCLWndProcComponent::SilentRemove() {
    silent_ = true;
    RestoreWndProc();
    enabled_ = false;
}

LRESULT TQCLWndProcComponent::CallPrevious(const TMessage& Message) {
    return subclass_.CallPrevious(Message);
}

void TQCLWndProcComponent::WndProc(TMessage& Message) {
    if (!destroying_)
        destroying_ = subclass_.PassOnAndLetGoAtDestroy(Message);
}
