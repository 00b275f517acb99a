// Root of the component library's non-visual components (timer pool,
// storage, hooks, containers): the same change notification as the property
// objects, on the framework's component class.
#pragma once

#include "framework/Classes.h"

#include <cstdint>

class TQCLCustomComponent : public TComponent {
public:
    explicit TQCLCustomComponent(TComponent* AOwner) : TComponent(AOwner) {}

    // Calls OnChange with this component as Sender unless updating.
    virtual void Change();
    // Forwards a nested object's change outward; the Sender is not used.
    virtual void GetChange(TObject* Sender);

    void BeginUpdate() { updating_ = 1; }
    void EndUpdate(bool notify);
    bool IsUpdating() const { return updating_ == 1; }

    // Published by the descendants; it has no effect at run time.
    AnsiString About;
    TNotifyEvent OnChange;

private:
    std::uint8_t updating_ = 0;
};
