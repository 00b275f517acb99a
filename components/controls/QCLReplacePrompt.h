// The edit's replace confirmation: a small modal box "Replace?" with Yes, No
// and Cancel, and All when the replacing is not already for all matches.
// The platform's message box has no "All" button, so this box is built from
// an in-memory dialog template; its buttons are ordinary child buttons.
#pragma once

#include <windows.h>

// The box's caption.
constexpr const char* QCLReplacePromptCaption = "Confirm";

// IDYES, IDNO, IDCANCEL (also when closed) or QCLReplaceAll.
int QCLAskReplace(HWND Owner, bool ReplaceAll);
