// Root of the library's non-visual components.
#include "components/runtime/QCLCustomComponent.h"

void TQCLCustomComponent::Change() {
    if (updating_ != 1 && OnChange)
        OnChange(this);
}

void TQCLCustomComponent::GetChange(TObject* /*Sender*/) { Change(); }

void TQCLCustomComponent::EndUpdate(bool notify) {
    updating_ = 0;
    if (notify)
        Change();
}
