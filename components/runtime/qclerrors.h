// The exceptions and texts that the runtime units raise and report, in one
// place so that every reader and every event caller reports the same way.
#pragma once

#include "framework/SysUtils.h"

// A compressed block that no compressor can have written (EReadError).
[[noreturn]] void QCLRaiseCorruptBlock();
// A stream field whose count or size does not fit what remains (EReadError).
[[noreturn]] void QCLRaiseReadError();

// The library's string resource ident, or the built-in text when the module
// carries no such string.
AnsiString QCLLoadStr(int ident, const char* fallback);

// Hands the exception being handled to the framework application's exception
// handler with its Sender (for event callers that must not let it escape a
// window procedure). Call only inside a catch block.
void QCLReportException(TObject* Sender);

// Tells the framework application to end its message loop.
void QCLTerminateApplication();
