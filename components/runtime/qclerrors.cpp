// Exceptions raised by the runtime units (the reporting to the application is
// in qclerrors_report.cpp, so the stream readers stand without the forms layer).
#include "components/runtime/qclerrors.h"

void QCLRaiseCorruptBlock() { throw EReadError("Corrupt compressed data"); }
void QCLRaiseReadError() { throw EReadError("Stream read error"); }

AnsiString QCLLoadStr(int ident, const char* fallback) {
    AnsiString text = LoadStr(ident);
    return text.empty() ? AnsiString(fallback) : text;
}
