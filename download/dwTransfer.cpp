// One transfer's state and its worker's relays; see dwTransfer.h.
#include "download/dwTransfer.h"

void TdwTransfer::Stop() {
    if (worker_) worker_->Terminate();
}

void TdwTransfer::SetURL(const AnsiString& value) {
    if (value == url_) return;
    url_ = value;
    TdwURLParser parser;
    if (!parser.Parse(value).empty()) {
        userName_ = parser.UserName();
        password_ = parser.Password();
    }
    TransferChanged();
}

void TdwTransfer::SetLocalFile(const AnsiString& value) {
    if (value == localFile_) return;
    localFile_ = value;
    TransferChanged();
}

void TdwTransfer::SetUserName(const AnsiString& value) {
    if (value == userName_) return;
    userName_ = value;
    TransferChanged();
}

void TdwTransfer::SetPassword(const AnsiString& value) {
    if (value == password_) return;
    password_ = value;
    TransferChanged();
}

void TdwTransfer::relayFrom(TdwCustomThreader* worker) {
    worker->OnStatus = TdwStatusRelay(this, &TdwTransfer::relayStatus);
    worker->OnError = TdwErrorRelay(this, &TdwTransfer::relayError);
    worker->OnResourceInfo = TdwResourceInfoRelay(this, &TdwTransfer::relayResourceInfo);
    worker->OnURLParsing = TdwURLParsingEvent(this, &TdwTransfer::relayURLParsing);
    worker->OnDataBatch = TdwDataBatchRelay(this, &TdwTransfer::relayDataBatch);
    worker->OnCertificate = TdwCertificateRelay(this, &TdwTransfer::relayCertificate);
    worker->OnCompleted = TNotifyEvent(this, &TdwTransfer::relayCompleted);
}

bool TdwTransfer::stopWorker() {
    if (!worker_) return false;
    TdwCustomThreader* worker = worker_;
    worker->DetachRelays();
    worker->Terminate();
    worker->Wait();
    worker_ = nullptr;
    return true;
}

void TdwTransfer::relayStatus(TObject*, TdwProcessStatus Status) {
    status_ = Status;
    statusChanged(Status);
}

void TdwTransfer::relayError(TObject*, const AnsiString& Error) {
    errors_.push_back(Error);
    errorAdded(Error);
}

void TdwTransfer::relayResourceInfo(TObject*, TdwResourceInfo* Info) {
    if (Info) {
        info_.reset(new TdwResourceInfo);
        info_->Assign(Info);
    } else {
        info_.reset();
    }
    resourceInfoArrived();
}

void TdwTransfer::relayURLParsing(TObject*, URL_COMPONENTSA& Components) {
    dwPutCredential(userName_, Components.lpszUserName, Components.dwUserNameLength);
    dwPutCredential(password_, Components.lpszPassword, Components.dwPasswordLength);
    urlParsed(Components);
}

void TdwTransfer::relayDataBatch(TObject*, TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) {
    dataBatchArrived(Info, BytesProceed, Data, Size);
}

void TdwTransfer::relayCertificate(TObject*, void*& Context, DWORD& ContextSize, bool& Handled) {
    certificateAsked(Context, ContextSize, Handled);
}

void TdwTransfer::relayCompleted(TObject* Sender) {
    worker_ = nullptr;
    WorkerEnded(static_cast<TdwCustomThreader*>(Sender));
    transferCompleted();
}
