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
    if (!Application)
        return;
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        Application->HandleException(Sender, &e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        Application->HandleException(Sender, &wrapped);
    } catch (...) {
        Exception wrapped("Unknown exception");
        Application->HandleException(Sender, &wrapped);
    }
}

void QCLTerminateApplication() {
    if (Application)
        Application->Terminate();
}
