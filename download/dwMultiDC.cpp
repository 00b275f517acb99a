// Items of the multi-item control and their worker relays; see dwMultiDC.h.
#include "download/dwMultiDC.h"




TdwInternetItem::TdwInternetItem(TCollection* Collection) : TCollectionItem(Collection) {}

TdwInternetItem::~TdwInternetItem() {
    if (stopWorker()) {
        TdwMultiInternetControl* control = Control();
        if (control && !control->GetComponentState().Contains(csDestroying)) control->EndIsBusy();
    }
}

TdwMultiInternetControl* TdwInternetItem::Control() const {
    return Collection ? dynamic_cast<TdwMultiInternetControl*>(Collection->GetOwner()) : nullptr;
}

bool TdwInternetItem::controlLoading() const {
    TdwMultiInternetControl* control = Control();
    return control && control->GetComponentState().Contains(csLoading);
}

void TdwInternetItem::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdwInternetItem*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetURL(source->url_);
    SetUserName(source->userName_);
    SetLocalFile(source->localFile_);
    SetPassword(source->password_);
    Priority = source->Priority;
}

void TdwInternetItem::TransferChanged() {
    if (controlLoading()) return;
    info_.reset();
    TdwMultiInternetControl* control = Control();
    if (control && control->OnChanged) control->OnChanged(control, this);
}

// ---------------------------------------------------------------------------

void TdwInternetItem::Start(bool Async) {
    if (IsBusy()) throw Exception("Operation is in progress");
    InternalStart(false);
    if (!Async && worker_) worker_->Wait();
}

TdwResourceInfo* TdwInternetItem::GetResourceInfo(bool Async) {
    if (info_ || IsBusy()) {
        TdwMultiInternetControl* control = Control();
        if (!IsBusy() && control && control->OnGetResourceInfo) control->OnGetResourceInfo(control, this, info_.get());
        return info_.get();
    }
    InternalStart(true);
    if (Async) return nullptr;
    if (worker_) worker_->Wait();
    return info_.get();
}

TdwDownLoadThreader* TdwInternetItem::CreateWorker(bool InfoOnly) {
    TdwMultiInternetControl* control = Control();
    auto* worker = new TdwDownLoadThreader(url_, localFile_, InfoOnly);
    relayFrom(worker);
    worker->Priority = dwThreadPriority(Priority);
    if (control) {
        worker->BatchSize = control->BatchSize;
        worker->TryCount = control->TryCount;
        worker->TimeOut = control->TimeOut;
        worker->MinResourceSize = control->MinResourceSize;
        worker->MaxResourceSize = control->MaxResourceSize;
    }
    worker->CertificateFlags = CertificateFlags;
    worker->UseInternetErrorDialog = UseInternetErrorDialog;
    worker->FreeOnTerminate = true;
    return worker;
}

void TdwInternetItem::InternalStart(bool InfoOnly) {
    errors_.clear();
    worker_ = CreateWorker(InfoOnly);
    if (TdwMultiInternetControl* control = Control()) control->BeginIsBusy();
    worker_->Perform();
}

// ---------------------------------------------------------------------------
// Relays: user-interface thread, while the worker waits.

void TdwInternetItem::statusChanged(TdwProcessStatus Status) {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnStatusChanged) control->OnStatusChanged(control, this, Status);
}

void TdwInternetItem::errorAdded(const AnsiString& Error) {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnError) control->OnError(control, this, Error);
}

void TdwInternetItem::resourceInfoArrived() {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnGetResourceInfo) control->OnGetResourceInfo(control, this, info_.get());
}

void TdwInternetItem::urlParsed(URL_COMPONENTSA& Components) {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnURLParsing) control->OnURLParsing(control, this, Components);
}

void TdwInternetItem::dataBatchArrived(TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnDataItemProceed) control->OnDataItemProceed(control, this, Info, BytesProceed, Data, Size);
}

void TdwInternetItem::certificateAsked(void*& Context, DWORD& ContextSize, bool& Handled) {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnGetCertificate) control->OnGetCertificate(control, this, Context, ContextSize, Handled);
}

void TdwInternetItem::transferCompleted() {
    TdwMultiInternetControl* control = Control();
    if (control && control->OnProcessCompleted) control->OnProcessCompleted(control, this);
    if (control) control->EndIsBusy();
}

// ---------------------------------------------------------------------------

TdwMultiInternetControl::TdwMultiInternetControl(TComponent* AOwner) : TdwCustomInternetControl(AOwner) {}

void TdwMultiInternetControl::Start(TdwInternetItem* Item, bool Async) {
    if (Item) {
        Item->Start(Async);
        return;
    }
    for (int i = 0; i < InternetItemCount(); ++i) InternetItem(i)->Start(Async);
}

void TdwMultiInternetControl::Stop(TdwInternetItem* Item) {
    if (Item) {
        Item->Stop();
        return;
    }
    for (int i = 0; i < InternetItemCount(); ++i) InternetItem(i)->Stop();
}

TdwResourceInfo* TdwMultiInternetControl::GetResourceInfo(TdwInternetItem* Item, bool Async) {
    if (Item) return Item->GetResourceInfo(Async);
    for (int i = 0; i < InternetItemCount(); ++i) InternetItem(i)->GetResourceInfo(Async);
    return nullptr;
}

void TdwMultiInternetControl::Loaded() {
    TdwCustomInternetControl::Loaded();
    if (OnChanged) OnChanged(this, nullptr);
}
