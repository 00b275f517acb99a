/*
 * Parts of the download engine that no window creates, kept with its
 * interface: the single-transfer control with its downloader, the upload
 * worker with its HTTP body items, and (in dwDC) the controls' settings in
 * the registry.
 *
 * Tricky points:
 * - The single-transfer control is one transfer: it hands its worker over,
 *   relays its events and counts busy exactly as a download item does;
 *   destroying it while busy detaches the relays, stops the worker and waits.
 * - The upload worker sends its body items either one request each (the
 *   send-request switch) or as one streamed body announced with its total
 *   size; a form item always carries
 *   "Content-Type: application/x-www-form-urlencoded".
 * - The settings kept in the registry leave the password out: it would be
 *   stored in plain text.
 */
#pragma once

#include "download/dwDC.h"
#include "download/dwTransfer.h"

class TdwSingleInternetControl;

using TdwSingleStatusEvent = TEvent<void(TObject* Sender, TdwProcessStatus Status)>;
using TdwSingleErrorEvent = TEvent<void(TObject* Sender, const AnsiString& Error)>;
using TdwSingleResourceInfoEvent = TEvent<void(TObject* Sender, TdwResourceInfo* ResourceInfo)>;
using TdwSingleDataEvent = TEvent<void(TObject* Sender, const char* Data, int Size)>;
using TdwSingleDataTextEvent = TEvent<void(TObject* Sender, TStrings* Text)>;

class TdwSingleInternetControl : public TdwCustomInternetControl, public TdwTransfer {
public:
    explicit TdwSingleInternetControl(TComponent* AOwner);
    ~TdwSingleInternetControl() override;

    // Raises "Operation is in progress" while busy; without Async, returns
    // when the transfer has ended.
    void Start(bool Async);
    TdwResourceInfo* GetResourceInfo(bool Async);

    bool IsWorking() const { return worker_ != nullptr; }

    void DefineProperties(TFiler* Filer) override;

    TdwSingleStatusEvent OnStatusChanged;
    TdwDataBatchRelay OnDataItemProceed;
    TdwSingleErrorEvent OnError;
    TdwSingleResourceInfoEvent OnGetResourceInfo;
    TdwURLParsingEvent OnURLParsing;
    TdwCertificateRelay OnGetCertificate;
    TNotifyEvent OnChanged;
    TNotifyEvent OnProcessCompleted;

    BRIM_PROPERTY(URL, TdwSingleInternetControl::GetURL, TdwSingleInternetControl::SetURL);
    BRIM_PROPERTY(LocalFile, TdwSingleInternetControl::GetLocalFile, TdwSingleInternetControl::SetLocalFile);
    BRIM_PROPERTY(UserName, TdwSingleInternetControl::GetUserNameText, TdwSingleInternetControl::SetUserName);
    BRIM_PROPERTY(Password, TdwSingleInternetControl::GetPassword, TdwSingleInternetControl::SetPassword);

protected:
    void InternalStart(bool InfoOnly);
    virtual TdwCustomThreader* CreateWorker(bool InfoOnly) = 0;
    // Sets the settings every worker takes and the relays to this control.
    void prepareWorker(TdwCustomThreader* worker);
    void TransferChanged() override;
    void Loaded() override;

private:
    void statusChanged(TdwProcessStatus Status) override;
    void errorAdded(const AnsiString& Error) override;
    void resourceInfoArrived() override;
    void urlParsed(URL_COMPONENTSA& Components) override;
    void dataBatchArrived(TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) override;
    void certificateAsked(void*& Context, DWORD& ContextSize, bool& Handled) override;
    void transferCompleted() override;
};

class TdwCustomDownLoaderControl : public TdwSingleInternetControl {
public:
    explicit TdwCustomDownLoaderControl(TComponent* AOwner);

    void SetURL(const AnsiString& value) override;
    AnsiString GetLocalFolder() const { return localFolder_; }
    void SetLocalFolder(const AnsiString& value);
    int GetPreviewCharCount() const { return previewCharCount_; }
    void SetPreviewCharCount(int value) { if (value >= 0) previewCharCount_ = value; }
    char GetDefaultChar() const { return defaultChar_; }
    void SetDefaultChar(char value) { if (static_cast<unsigned char>(value) >= 32) defaultChar_ = value; }
    int GetResourcePos() const { return resourcePos_; }
    void SetResourcePos(int value) { if (value >= 0) resourcePos_ = value; }

    void DefineProperties(TFiler* Filer) override;

    bool CorrectResourceTime = true;
    TdwSingleDataEvent OnDataProceed;
    TdwSingleDataTextEvent OnDataTextProceed;

    BRIM_PROPERTY(LocalFolder, TdwCustomDownLoaderControl::GetLocalFolder, TdwCustomDownLoaderControl::SetLocalFolder);
    BRIM_PROPERTY(PreviewCharCount, TdwCustomDownLoaderControl::GetPreviewCharCount,
                  TdwCustomDownLoaderControl::SetPreviewCharCount);
    BRIM_PROPERTY(DefaultChar, TdwCustomDownLoaderControl::GetDefaultChar, TdwCustomDownLoaderControl::SetDefaultChar);
    BRIM_PROPERTY(ResourcePos, TdwCustomDownLoaderControl::GetResourcePos, TdwCustomDownLoaderControl::SetResourcePos);

protected:
    TdwCustomThreader* CreateWorker(bool InfoOnly) override;
    void WorkerEnded(TdwCustomThreader* Worker) override;
    void TransferChanged() override;

private:
    void relayData(TObject*, const char* Data, int Size);
    AnsiString localFolder_;
    int previewCharCount_ = 256;
    char defaultChar_ = static_cast<char>(128);
    int resourcePos_ = 0;
};

class TdwDownLoader : public TdwCustomDownLoaderControl {
public:
    using TdwCustomDownLoaderControl::TdwCustomDownLoaderControl;
};

// ---------------------------------------------------------------------------
// HTTP body items and the upload worker

enum TdwHTTPHeaderContentType { ctTextData = 0, ctFileName = 1, ctFormRequest = 2 };

class TdwHTTPHeaderItem : public TCollectionItem {
public:
    explicit TdwHTTPHeaderItem(TCollection* Collection);
    ~TdwHTTPHeaderItem() override;
    void Assign(TPersistent* Source) override;

    TStringList* Content() const { return content_; }
    TdwHTTPHeaderContentType GetContentType() const { return contentType_; }
    void SetContentType(TdwHTTPHeaderContentType value);
    // A form item's are always the form Content-Type.
    AnsiString AdditionalHeaders() const;
    void SetAdditionalHeaders(const AnsiString& value) { additionalHeaders_ = value; }
    // The bytes this item sends: the named file, or the content text.
    AnsiString Body() const;
    // The size of Body() without reading a named file.
    int64_t BodySize() const;

    BRIM_PROPERTY(ContentType, TdwHTTPHeaderItem::GetContentType, TdwHTTPHeaderItem::SetContentType);

private:
    TStringList* content_;
    TdwHTTPHeaderContentType contentType_ = ctTextData;
    AnsiString additionalHeaders_;
};

class TdwHTTPHeaders : public TOwnedCollection {
public:
    explicit TdwHTTPHeaders(TPersistent* AOwner);
    TdwHTTPHeaderItem* Add();
    TdwHTTPHeaderItem* AddTextData(const AnsiString& Text);
    TdwHTTPHeaderItem* AddFileName(const AnsiString& Name);
    TdwHTTPHeaderItem* AddFormRequest(const AnsiString& Text);
    TdwHTTPHeaderItem* GetItem(int Index) const {
        return static_cast<TdwHTTPHeaderItem*>(TCollection::GetItem(Index));
    }
    // Named files by their size (one that cannot be opened raises
    // EclInternetError), the others by their text's length.
    int64_t GetTotalSize() const;
};

class TdwUploadThreader : public TdwCustomThreader {
public:
    TdwUploadThreader(const AnsiString& URL, const AnsiString& LocalFile, bool InfoOnly = false);
    ~TdwUploadThreader() override;

    TdwHTTPHeaders* Headers() const { return headers_; }
    bool UseSendRequest = false;  // one HttpSendRequest per item instead of one streamed body
    bool ItemsBody = false;       // POST the items instead of PUT-ting the local file
    int LastBatch() const { return lastBatch_; }
    int64_t TotalSent() const { return totalSent_; }
    // The server's answers, as text lines.
    TStringList* Response() const { return response_; }

protected:
    void ProcessHTTP(HINTERNET Connection) override;
    void ProcessFTP(HINTERNET Connection) override;

private:
    void takeLocalFileInfo();
    void readResponse(HINTERNET Request);
    void sendPiece(HINTERNET Resource, const char* Data, DWORD Size);
    void streamBody(HINTERNET Resource, const AnsiString& Body);
    AnsiString readLocalFile() const;

    bool infoOnly_;
    TdwHTTPHeaders* headers_;
    TStringList* response_;
    AnsiString responseText_;
    int lastBatch_ = 0;
    int64_t totalSent_ = 0;
};
