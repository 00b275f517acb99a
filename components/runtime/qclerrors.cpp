// Exceptions raised and reported by the runtime units.
#include "qclerrors.h"

void QCLRaiseCorruptBlock() { throw EReadError("Corrupt compressed data"); }
void QCLRaiseReadError() { throw EReadError("Stream read error"); }

AnsiString QCLLoadStr(int ident, const char* fallback) {
    AnsiString text = LoadStr(ident);
    return text.empty() ? AnsiString(fallback) : text;
}

void QCLReportException(TObject* /*Sender*/) {
}

void QCLTerminateApplication() {}
