// Subclassing base for components that watch their owner form's window.
#include "components/runtime/QCLWndProcComponent.h"

#include "components/runtime/qclerrors.h"

#include <commctrl.h>

TQCLWndProcComponent::TQCLWndProcComponent(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}

TQCLWndProcComponent::~TQCLWndProcComponent() { RestoreWndProc(); }

void TQCLWndProcComponent::SetEnabled(bool value) {
    if (value == enabled_)
        return;
    enabled_ = value;
    if (value)
        Init();
    else
        RestoreState();
}

void TQCLWndProcComponent::SetDesignEnabled(bool value) {
    if (value == designEnabled_)
        return;
    designEnabled_ = value;
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
    if (enabled_ && !hookedWindow_)
        NewWndProc();
}

void TQCLWndProcComponent::RestoreState() {}

void TQCLWndProcComponent::DesignEnabledChanged() {}

void TQCLWndProcComponent::Loaded() {
    TQCLCustomComponent::Loaded();
    Init();
}

bool TQCLWndProcComponent::NewWndProc() {
    if (hookedWindow_)
        return false;
    const HWND window = GetOwnerHandle();
    if (!window)
        return false;
    destroying_ = false;
    if (handleApp_ && Application) {
        Application->HookMainWindow(TApplication::TWindowHook(this, &TQCLWndProcComponent::appHook));
        appHooked_ = true;
    }
    if (!SetWindowSubclass(window, &TQCLWndProcComponent::subclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this))) {
        RestoreWndProc();
        return false;
    }
    hookedWindow_ = window;
    return true;
}

bool TQCLWndProcComponent::RestoreWndProc() {
    if (hookedWindow_ && IsWindow(hookedWindow_))
        RemoveWindowSubclass(hookedWindow_, &TQCLWndProcComponent::subclassProc, reinterpret_cast<UINT_PTR>(this));
    hookedWindow_ = nullptr;
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
    return DefSubclassProc(hookedWindow_, Message.Msg, Message.WParam, Message.LParam);
}

void TQCLWndProcComponent::WndProc(TMessage& Message) {
    if (destroying_)
        return;
    Message.Result = CallPrevious(Message);
    if (Message.Msg != WM_DESTROY)
        return;
    destroying_ = true;
    RemoveWindowSubclass(hookedWindow_, &TQCLWndProcComponent::subclassProc, reinterpret_cast<UINT_PTR>(this));
    hookedWindow_ = nullptr;
}

LRESULT CALLBACK TQCLWndProcComponent::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<TQCLWndProcComponent*>(data);
    TMessage message;
    message.Msg = msg;
    message.WParam = wParam;
    message.LParam = lParam;
    try {
        self->WndProc(message);
    } catch (...) {
        QCLReportException(self);
        if (msg == WM_DESTROY && self->hookedWindow_ == hwnd)
            RemoveWindowSubclass(hwnd, &TQCLWndProcComponent::subclassProc, reinterpret_cast<UINT_PTR>(self));
    }
    return message.Result;
}
