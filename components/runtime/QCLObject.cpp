// Root of the library's property objects.
#include "components/runtime/QCLObject.h"

void TQCLObject::Change() {
    if (updating_ != 1 && OnChange)
        OnChange(this);
}

void TQCLObject::GetChange(TObject* /*Sender*/) { Change(); }

AnsiString TQCLObject::GetSetStr() { return AnsiString(); }

void TQCLObject::EndUpdate(bool notify) {
    updating_ = 0;
    if (notify)
        Change();
}
