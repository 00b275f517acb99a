// Helpers of the library's components (unit qclctrl): a unique default name
// for a new component, and forcing a control to create its window.
#pragma once

#include "framework/Classes.h"

class TWinControl;

// The class name without a leading "T" (or "t") followed by the first number
// from 1 on that no component of the owner bears (letter case ignored).
AnsiString QCLUniqueName(const AnsiString& ClassName, TComponent* Owner);

// Makes the control create its window now (nothing for no control).
void QCLCreateHandle(TWinControl* Control);
