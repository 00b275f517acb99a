// The docking error of the library's dock components.
#include "components/runtime/qclbase.h"

void QCLRaiseDockError(TComponent* Component, TComponent* Attached) {
    const AnsiString name = Component ? Component->GetName() : AnsiString();
    const AnsiString attached = Attached ? Attached->GetName() : AnsiString();
    throw Exception("Component " + name + ":\rA TQCLDockLabel- or Button component was already attached to the component: " +
                    attached + "\rOnly one QCLDockXXXX per control is allowed.");
}
