// Reporting of the runtime units' exceptions to the framework application
// (part of the qclerrors unit).
#include "components/runtime/qclerrors.h"

#include "framework/Forms.h"

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
