// Base of the library components that watch the messages of the form that
// owns them (form styler, form shape, background fills): the owner's window
// is subclassed and every message is passed on.
//
// Disabling keeps the hook (RestoreState does nothing here; descendants
// decide). With HandleApp the framework application's window is hooked too
// (AppWndProc answers whether a message counts as handled). WM_DESTROY is passed on to the form's own procedure and the hook
// then lets go, so the form's last messages reach it directly. The framework
// has no MDI forms, so the MDI branches of the library do not arise.
#pragma once

#include "components/runtime/QCLCustomComponent.h"

#include "framework/Controls.h"
#include "framework/Forms.h"

class TQCLWndProcComponent : public TQCLCustomComponent {
public:
    explicit TQCLWndProcComponent(TComponent* AOwner);
    ~TQCLWndProcComponent() override;

    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool GetDesignEnabled() const { return designEnabled_; }
    void SetDesignEnabled(bool value);
    bool GetHandleApp() const { return handleApp_; }
    // Settable only while loading.
    void SetHandleApp(bool value);
    bool IsHooked() const { return subclass_.Installed(); }

    BRIM_PROPERTY(Enabled, TQCLWndProcComponent::GetEnabled, TQCLWndProcComponent::SetEnabled);
    BRIM_PROPERTY(DesignEnabled, TQCLWndProcComponent::GetDesignEnabled, TQCLWndProcComponent::SetDesignEnabled);
    BRIM_PROPERTY(HandleApp, TQCLWndProcComponent::GetHandleApp, TQCLWndProcComponent::SetHandleApp);

    TWinControl* GetOwnerForm() const;
    HWND GetOwnerHandle() const;
    bool ValidOwner() const;

    virtual bool AppWndProc(TMessage& Message);
    virtual void Init();
    virtual void RestoreState();
    virtual void WndProc(TMessage& Message);
    virtual void DesignEnabledChanged();
    bool NewWndProc();
    bool RestoreWndProc();
    // Unhooks and disables the component.
    void SilentRemove();
    void Loaded() override;

    AnsiString ClassName() const override { return "TQCLWndProcComponent"; }

protected:
    LRESULT CallPrevious(const TMessage& Message);

private:
    bool enabled_ = true;
    bool designEnabled_ = false;
    bool silent_ = false;
    bool handleApp_ = false;
    bool destroying_ = false;
    bool appHooked_ = false;
    TWindowSubclass subclass_{this};

    void appHook(TMessage& Message, bool& Handled) { Handled = AppWndProc(Message); }
};
