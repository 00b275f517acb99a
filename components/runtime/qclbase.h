// The docking error of the library's dock labels and buttons (unit qclbase).
#pragma once

#include "framework/Classes.h"

// Raises the general exception that a second dock component was attached.
[[noreturn]] void QCLRaiseDockError(TComponent* Component, TComponent* Attached);
