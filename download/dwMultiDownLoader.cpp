// The multi-file downloader and its items; see dwMultiDownLoader.h.
#include "download/dwMultiDownLoader.h"

#include "download/dwSettingsStorage.h"

#include "framework/Filer.h"

TdwDownLoadItem::TdwDownLoadItem(TCollection* Collection) : TdwInternetItem(Collection) {}

TdwCustomMultiDownLoaderControl* TdwDownLoadItem::DownLoader() const {
    return dynamic_cast<TdwCustomMultiDownLoaderControl*>(Control());
}

void TdwDownLoadItem::SetURL(const AnsiString& value) {
    TdwInternetItem::SetURL(value);
    if (controlLoading()) return;
    TdwCustomMultiDownLoaderControl* downLoader = DownLoader();
    TdwURLCorrector corrector;
    SetLocalFile(corrector.GetLocalFileByURL(value, downLoader ? downLoader->LocalFolder : AnsiString()));
}

void TdwDownLoadItem::TransferChanged() {
    if (!controlLoading()) resourcePos_ = 0;
    TdwInternetItem::TransferChanged();
}

TdwDownLoadThreader* TdwDownLoadItem::CreateWorker(bool InfoOnly) {
    TdwDownLoadThreader* worker = TdwInternetItem::CreateWorker(InfoOnly);
    worker->ResourcePos = resourcePos_;
    if (TdwCustomMultiDownLoaderControl* downLoader = DownLoader()) {
        worker->CorrectResourceTime = downLoader->CorrectResourceTime;
        if (downLoader->OnDataProceed || downLoader->OnDataTextProceed) {
            worker->OnData = TdwDataRelay(this, &TdwDownLoadItem::relayData);
            worker->PreviewLimit = downLoader->OnDataProceed ? 0 : downLoader->PreviewCharCount;
        }
    }
    return worker;
}

void TdwDownLoadItem::WorkerEnded(TdwCustomThreader* Worker) {
    auto* download = dynamic_cast<TdwDownLoadThreader*>(Worker);
    resourcePos_ = download ? download->ResourcePos : 0;
}

void TdwDownLoadItem::relayData(TObject*, const char* Data, int Size) {
    TdwCustomMultiDownLoaderControl* downLoader = DownLoader();
    if (!downLoader) return;
    if (downLoader->OnDataProceed) downLoader->OnDataProceed(downLoader, this, Data, Size);
    if (downLoader->OnDataTextProceed) {
        int limit = downLoader->PreviewCharCount;
        int size = limit > 0 && Size > limit ? limit : Size;
        TStringList lines;
        lines.SetTextStr(dwDCUtils::GetDataAsText(Data, size, downLoader->DefaultChar));
        downLoader->OnDataTextProceed(downLoader, this, &lines);
    }
}

// ---------------------------------------------------------------------------

TdwDownLoadList::TdwDownLoadList(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::FactoryOf<TdwDownLoadItem>()) {}

TdwDownLoadItem* TdwDownLoadList::Add() {
    auto* item = static_cast<TdwDownLoadItem*>(TCollection::Add());
    auto* downLoader = dynamic_cast<TdwCustomMultiDownLoaderControl*>(GetOwner());
    item->SetLocalFile(dwDCUtils::GetFullFileName(AnsiString(), downLoader ? downLoader->LocalFolder : AnsiString()));
    return item;
}

// ---------------------------------------------------------------------------

TdwCustomMultiDownLoaderControl::TdwCustomMultiDownLoaderControl(TComponent* AOwner)
    : TdwMultiInternetControl(AOwner), list_(new TdwDownLoadList(this)) {}

TdwCustomMultiDownLoaderControl::~TdwCustomMultiDownLoaderControl() {
    // Busy items wait for their workers here, while the control is still whole.
    delete list_;
}

void TdwCustomMultiDownLoaderControl::SetDownLoadList(TdwDownLoadList* value) {
    list_->Assign(value);
    rebaseItems();
}

void TdwCustomMultiDownLoaderControl::SetLocalFolder(const AnsiString& value) {
    if (value == localFolder_) return;
    localFolder_ = value;
    rebaseItems();
}

void TdwCustomMultiDownLoaderControl::rebaseItems() {
    for (int i = 0; i < list_->GetCount(); ++i) {
        TdwDownLoadItem* item = list_->GetItem(i);
        item->SetLocalFile(dwDCUtils::GetFullFileName(item->LocalFile, localFolder_));
    }
}

void TdwCustomMultiDownLoaderControl::DefineProperties(TFiler* Filer) {
    TdwMultiInternetControl::DefineProperties(Filer);
    Filer->DefineProperty(
        "LocalFolder", TReaderProc([this](TReader* reader) { SetLocalFolder(reader->ReadString()); }),
        TWriterProc([this](TWriter* writer) { writer->WriteString(localFolder_); }), true);
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
    dwDefineDownLoadItems(Filer, list_);
}
