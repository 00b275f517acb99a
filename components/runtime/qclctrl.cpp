// Helpers of the library's components.
#include "components/runtime/qclctrl.h"

#include "framework/Controls.h"

AnsiString QCLUniqueName(const AnsiString& ClassName, TComponent* Owner) {
    AnsiString base = ClassName;
    if (!base.empty() && (base[0] == 'T' || base[0] == 't'))
        base = base.substr(1, 255);
    if (!Owner)
        return base + "1";
    for (int n = 1;; ++n) {
        const AnsiString candidate = base + IntToStr(n);
        bool taken = false;
        for (int i = 0; i < Owner->GetComponentCount() && !taken; ++i)
            taken = SameText(Owner->GetComponent(i)->GetName(), candidate);
        if (!taken)
            return candidate;
    }
}

void QCLCreateHandle(TWinControl* Control) {
    if (Control)
        Control->HandleNeeded();
}
