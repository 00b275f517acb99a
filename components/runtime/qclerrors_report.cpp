// Reporting of the runtime units' exceptions to the framework application
// (part of the qclerrors unit; apart from it so that the stream and error
// units stand without the forms layer).
#include "components/runtime/qclerrors.h"

#include "framework/Forms.h"

void QCLReportException(TObject* Sender) {
    // Without an application there is nobody to tell (no message box either).
    if (Application)
        HandleCurrentException(Sender);
}

void QCLTerminateApplication() {
    if (Application)
        Application->Terminate();
}
