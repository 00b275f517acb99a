// Root of the component library's property objects (bevel, fill, gradient,
// caption and the like): a change event that the owning control assigns, and
// an updating flag that silences it between BeginUpdate and EndUpdate.
//
// The flag does not nest: two BeginUpdate calls and one EndUpdate leave the
// object notifying again.
#pragma once

#include "framework/Classes.h"
#include "framework/Property.h"

#include <cstdint>

class TQCLObject : public TPersistent {
public:
    TQCLObject() = default;

    // Calls OnChange with this object as Sender unless updating.
    virtual void Change();
    // Forwards a nested object's change outward; the Sender is not used.
    virtual void GetChange(TObject* Sender);
    // A summary text of the settings; the base has none.
    virtual AnsiString GetSetStr();

    void BeginUpdate() { updating_ = 1; }
    void EndUpdate(bool notify);
    bool IsUpdating() const { return updating_ == 1; }

    TNotifyEvent OnChange;

private:
    std::uint8_t updating_ = 0;
};

// The body of a property object's setter: stores the value and notifies
// through Change() only when it really changed.
template <class T>
void QCLSetField(TQCLObject* object, T& field, T value) {
    if (SetIfChanged(field, value)) object->Change();
}
