// Exceptions raised and reported by the runtime units.
#include "components/runtime/qclerrors.h"

#include "framework/Forms.h"

void QCLRaiseCorruptBlock() { throw EReadError("Corrupt compressed data"); }
void QCLRaiseReadError() { throw EReadError("Stream read error"); }

AnsiString QCLLoadStr(int ident, const char* fallback) {
    AnsiString text = LoadStr(ident);
    return text.empty() ? AnsiString(fallback) : text;
}

void QCLReportException(TObject* Sender) {
    // Without an application there is nobody to tell (no message box either).
    if (Application)
        HandleCurrentException(Sender);
}

void QCLTerminateApplication() {
    if (Application)
        Application->Terminate();
}
