// The single-transfer control and its downloader; see dwDownLoader.h.
#include "download/dwDownLoader.h"

#include "download/dwSettingsStorage.h"

#include "framework/Filer.h"


namespace {

void defineText(TFiler* filer, const AnsiString& name, std::function<AnsiString()> get,
                std::function<void(const AnsiString&)> set) {
    filer->DefineProperty(
        name, TReaderProc([set](TReader* reader) { set(reader->ReadString()); }),
        TWriterProc([get](TWriter* writer) { writer->WriteString(get()); }), true);
}

}  // namespace

TdwSingleInternetControl::TdwSingleInternetControl(TComponent* AOwner) : TdwCustomInternetControl(AOwner) {}

TdwSingleInternetControl::~TdwSingleInternetControl() { stopWorker(); }

void TdwSingleInternetControl::TransferChanged() {
    if (GetComponentState().Contains(csLoading)) return;
    info_.reset();
    if (OnChanged) OnChanged(this);
}

void TdwSingleInternetControl::Loaded() {
    TdwCustomInternetControl::Loaded();
    info_.reset();
    if (OnChanged) OnChanged(this);
}

void TdwSingleInternetControl::Start(bool Async) {
    if (worker_) throw Exception("Operation is in progress");
    InternalStart(false);
    if (!Async && worker_) worker_->Wait();
}

TdwResourceInfo* TdwSingleInternetControl::GetResourceInfo(bool Async) {
    if (info_ || worker_) {
        if (!worker_ && OnGetResourceInfo) OnGetResourceInfo(this, info_.get());
        return info_.get();
    }
    InternalStart(true);
    if (Async) return nullptr;
    if (worker_) worker_->Wait();
    return info_.get();
}

void TdwSingleInternetControl::InternalStart(bool InfoOnly) {
    errors_.clear();
    worker_ = CreateWorker(InfoOnly);
    BeginIsBusy();
    worker_->Perform();
}

void TdwSingleInternetControl::prepareWorker(TdwCustomThreader* worker) {
    relayFrom(worker);
    worker->Priority = dwThreadPriority(Priority);
    worker->BatchSize = BatchSize;
    worker->TryCount = TryCount;
    worker->TimeOut = TimeOut;
    worker->MinResourceSize = MinResourceSize;
    worker->MaxResourceSize = MaxResourceSize;
    worker->CertificateFlags = CertificateFlags;
    worker->UseInternetErrorDialog = UseInternetErrorDialog;
    worker->FreeOnTerminate = true;
}

void TdwSingleInternetControl::statusChanged(TdwProcessStatus Status) {
    if (OnStatusChanged) OnStatusChanged(this, Status);
}

void TdwSingleInternetControl::errorAdded(const AnsiString& Error) {
    if (OnError) OnError(this, Error);
}

void TdwSingleInternetControl::resourceInfoArrived() {
    if (OnGetResourceInfo) OnGetResourceInfo(this, info_.get());
}

void TdwSingleInternetControl::urlParsed(URL_COMPONENTSA& Components) {
    if (OnURLParsing) OnURLParsing(this, Components);
}

void TdwSingleInternetControl::dataBatchArrived(TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) {
    if (OnDataItemProceed) OnDataItemProceed(this, Info, BytesProceed, Data, Size);
}

void TdwSingleInternetControl::certificateAsked(void*& Context, DWORD& ContextSize, bool& Handled) {
    if (OnGetCertificate) OnGetCertificate(this, Context, ContextSize, Handled);
}

void TdwSingleInternetControl::transferCompleted() {
    if (OnProcessCompleted) OnProcessCompleted(this);
    EndIsBusy();
}

void TdwSingleInternetControl::DefineProperties(TFiler* Filer) {
    TdwCustomInternetControl::DefineProperties(Filer);
    defineText(Filer, "URL", [this] { return url_; }, [this](const AnsiString& v) { SetURL(v); });
    defineText(Filer, "LocalFile", [this] { return localFile_; }, [this](const AnsiString& v) { SetLocalFile(v); });
    defineText(Filer, "UserName", [this] { return userName_; }, [this](const AnsiString& v) { SetUserName(v); });
    Filer->DefineProperty(
        "Priority",
        TReaderProc([this](TReader* reader) {
            int value = reader->ReadInteger();
            if (value >= ppLower && value <= ppHigher) Priority = static_cast<TdwProcessPriority>(value);
        }),
        TWriterProc([this](TWriter* writer) { writer->WriteInteger(Priority); }), true);
    Filer->DefineProperty(
        "UseInternetErrorDialog", TReaderProc([this](TReader* reader) { UseInternetErrorDialog = reader->ReadBoolean(); }),
        TWriterProc([this](TWriter* writer) { writer->WriteBoolean(UseInternetErrorDialog); }), true);
    dwDefineCertificateFlags(Filer, CertificateFlags);
}

// ---------------------------------------------------------------------------

TdwCustomDownLoaderControl::TdwCustomDownLoaderControl(TComponent* AOwner) : TdwSingleInternetControl(AOwner) {}

void TdwCustomDownLoaderControl::SetURL(const AnsiString& value) {
    TdwSingleInternetControl::SetURL(value);
    if (GetComponentState().Contains(csLoading)) return;
    TdwURLCorrector corrector;
    SetLocalFile(corrector.GetLocalFileByURL(value, localFolder_));
}

void TdwCustomDownLoaderControl::SetLocalFolder(const AnsiString& value) {
    if (value == localFolder_) return;
    localFolder_ = value;
    AnsiString file = dwDCUtils::GetFullFileName(LocalFile, localFolder_);
    if (file != LocalFile.get())
        SetLocalFile(file);
    else
        TransferChanged();
}

void TdwCustomDownLoaderControl::TransferChanged() {
    if (!GetComponentState().Contains(csLoading)) resourcePos_ = 0;
    TdwSingleInternetControl::TransferChanged();
}

TdwCustomThreader* TdwCustomDownLoaderControl::CreateWorker(bool InfoOnly) {
    auto* worker = new TdwDownLoadThreader(URL, LocalFile, InfoOnly);
    prepareWorker(worker);
    worker->CorrectResourceTime = CorrectResourceTime;
    worker->ResourcePos = resourcePos_;
    if (OnDataProceed || OnDataTextProceed) {
        worker->OnData = TdwDataRelay(this, &TdwCustomDownLoaderControl::relayData);
        worker->PreviewLimit = OnDataProceed ? 0 : previewCharCount_;
    }
    return worker;
}

void TdwCustomDownLoaderControl::WorkerEnded(TdwCustomThreader* Worker) {
    auto* download = dynamic_cast<TdwDownLoadThreader*>(Worker);
    resourcePos_ = download ? download->ResourcePos : 0;
}

void TdwCustomDownLoaderControl::relayData(TObject*, const char* Data, int Size) {
    if (OnDataProceed) OnDataProceed(this, Data, Size);
    if (OnDataTextProceed) {
        int size = previewCharCount_ > 0 && Size > previewCharCount_ ? previewCharCount_ : Size;
        TStringList lines;
        lines.SetTextStr(dwDCUtils::GetDataAsText(Data, size, defaultChar_));
        OnDataTextProceed(this, &lines);
    }
}

void TdwCustomDownLoaderControl::DefineProperties(TFiler* Filer) {
    TdwSingleInternetControl::DefineProperties(Filer);
    defineText(Filer, "LocalFolder", [this] { return localFolder_; },
               [this](const AnsiString& v) { SetLocalFolder(v); });
    Filer->DefineProperty(
        "PreviewCharCount", TReaderProc([this](TReader* reader) { SetPreviewCharCount(reader->ReadInteger()); }),
        TWriterProc([this](TWriter* writer) { writer->WriteInteger(previewCharCount_); }), true);
    Filer->DefineProperty(
        "DefaultChar",
        TReaderProc([this](TReader* reader) { SetDefaultChar(static_cast<char>(reader->ReadInteger())); }),
        TWriterProc([this](TWriter* writer) { writer->WriteInteger(static_cast<unsigned char>(defaultChar_)); }),
        true);
    Filer->DefineProperty(
        "CorrectResourceTime", TReaderProc([this](TReader* reader) { CorrectResourceTime = reader->ReadBoolean(); }),
        TWriterProc([this](TWriter* writer) { writer->WriteBoolean(CorrectResourceTime); }), true);
}
