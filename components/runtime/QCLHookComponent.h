// Base of the library components that watch the messages of a windowed
// control they do not own (the file-drop target of the main form derives from
// it): the control's window is subclassed and every message is passed on.
//
// Subclassing goes through the framework's TWindowSubclass (one entry of the
// system's subclass chain per component), so several hooks on one window can
// be removed in any order without cutting each other off. WM_DESTROY is passed on to the window's own
// procedure before the hook lets go, so the window still cleans up after
// itself; the messages that follow reach it directly.
#pragma once

#include "components/runtime/QCLCustomComponent.h"

#include "framework/Controls.h"

class TQCLHookComponent : public TQCLCustomComponent {
public:
    explicit TQCLHookComponent(TComponent* AOwner);
    ~TQCLHookComponent() override;

    TWinControl* GetControl() const { return control_; }
    void SetControl(TWinControl* value);
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool HasControl() const { return control_ != nullptr; }
    bool IsHooked() const { return subclass_.Installed(); }

    BRIM_PROPERTY(Control, TQCLHookComponent::GetControl, TQCLHookComponent::SetControl);
    BRIM_PROPERTY(Enabled, TQCLHookComponent::GetEnabled, TQCLHookComponent::SetEnabled);

    // Hooks when enabled.
    virtual void Init();
    // Gives the window its previous procedure back.
    virtual void RestoreState();
    // True when it hooked; false without a control or when already hooked.
    bool NewWndProc();
    bool RestoreWndProc();
    // Passes the message on to the window's previous procedure; descendants
    // handle what they watch and call this for the rest.
    virtual void WndProc(TMessage& Message);
    void Loaded() override;

    AnsiString ClassName() const override { return "TQCLHookComponent"; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The previous procedure's answer for a message of the hooked window.
    LRESULT CallPrevious(const TMessage& Message);

private:
    TWinControl* control_ = nullptr;
    bool restoring_ = false;
    bool enabled_ = true;
    TWindowSubclass subclass_{this};
};
