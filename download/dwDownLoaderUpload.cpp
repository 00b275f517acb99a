// HTTP body items and the upload worker; see dwDownLoader.h.
#include "download/dwDownLoader.h"

namespace {

// A whole local file; raises EclInternetError when it cannot be opened or read.
AnsiString readWholeFile(const AnsiString& name) {
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw EclInternetError::FromLastError();
    AnsiString bytes;
    char buffer[65536];
    DWORD got = 0;
    BOOL ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) bytes.append(buffer, got);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
        SetLastError(error);
        throw EclInternetError::FromLastError();
    }
    return bytes;
}

int64_t sizeOfFile(const AnsiString& name) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data)) throw EclInternetError::FromLastError();
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_ACCESS_DENIED);
        throw EclInternetError::FromLastError();
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

const char* const FormContentType = "Content-Type: application/x-www-form-urlencoded";

}  // namespace

TdwHTTPHeaderItem::TdwHTTPHeaderItem(TCollection* Collection)
    : TCollectionItem(Collection), content_(new TStringList) {}

TdwHTTPHeaderItem::~TdwHTTPHeaderItem() { delete content_; }

void TdwHTTPHeaderItem::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TdwHTTPHeaderItem*>(Source);
    if (!source) {
        TCollectionItem::Assign(Source);
        return;
    }
    content_->Assign(source->content_);
    contentType_ = source->contentType_;
    additionalHeaders_ = source->additionalHeaders_;
}

void TdwHTTPHeaderItem::SetContentType(TdwHTTPHeaderContentType value) { contentType_ = value; }

AnsiString TdwHTTPHeaderItem::AdditionalHeaders() const {
    return contentType_ == ctFormRequest ? AnsiString(FormContentType) : additionalHeaders_;
}

AnsiString TdwHTTPHeaderItem::Body() const {
    if (contentType_ == ctFileName) return readWholeFile(Trim(content_->GetTextStr()));
    return content_->GetTextStr();
}

int64_t TdwHTTPHeaderItem::BodySize() const {
    if (contentType_ == ctFileName) return sizeOfFile(Trim(content_->GetTextStr()));
    return static_cast<int64_t>(content_->GetTextStr().size());
}

TdwHTTPHeaders::TdwHTTPHeaders(TPersistent* AOwner)
    : TOwnedCollection(AOwner, TCollection::FactoryOf<TdwHTTPHeaderItem>()) {}

TdwHTTPHeaderItem* TdwHTTPHeaders::Add() { return static_cast<TdwHTTPHeaderItem*>(TCollection::Add()); }

namespace {
TdwHTTPHeaderItem* addItem(TdwHTTPHeaders* headers, const AnsiString& text, TdwHTTPHeaderContentType type) {
    TdwHTTPHeaderItem* item = headers->Add();
    item->Content()->SetTextStr(text);
    item->ContentType = type;
    return item;
}
}  // namespace

TdwHTTPHeaderItem* TdwHTTPHeaders::AddTextData(const AnsiString& Text) { return addItem(this, Text, ctTextData); }
TdwHTTPHeaderItem* TdwHTTPHeaders::AddFileName(const AnsiString& Name) { return addItem(this, Name, ctFileName); }
TdwHTTPHeaderItem* TdwHTTPHeaders::AddFormRequest(const AnsiString& Text) {
    return addItem(this, Text, ctFormRequest);
}

int64_t TdwHTTPHeaders::GetTotalSize() const {
    int64_t total = 0;
    for (int i = 0; i < GetCount(); ++i) total += GetItem(i)->BodySize();
    return total;
}

// ---------------------------------------------------------------------------

TdwUploadThreader::TdwUploadThreader(const AnsiString& URL, const AnsiString& LocalFile, bool InfoOnly)
    : TdwCustomThreader(URL, LocalFile), infoOnly_(InfoOnly), headers_(new TdwHTTPHeaders(nullptr)),
      response_(new TStringList) {}

TdwUploadThreader::~TdwUploadThreader() {
    delete headers_;
    delete response_;
}

AnsiString TdwUploadThreader::readLocalFile() const { return readWholeFile(localFile_); }

void TdwUploadThreader::takeLocalFileInfo() {
    info_.reset(new TdwResourceInfo);
    info_->Name = ExtractFileName(localFile_);
    info_->Size = sizeOfFile(localFile_);
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME time;
    if (GetFileAttributesExA(localFile_.c_str(), GetFileExInfoStandard, &data) &&
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &time))
        info_->Date = SystemTimeToDateTime(time);
}

void TdwUploadThreader::sendPiece(HINTERNET Resource, const char* Data, DWORD Size) {
    TdwInternetWriteFileAction write(&engine_, Resource, Data, Size);
    write.FireAction(TimeOut);
    lastBatch_ = static_cast<int>(Size);
    totalSent_ += Size;
    TdwResourceInfo* info = info_.get();
    int total = static_cast<int>(totalSent_);
    relay([this, info, total, Data, Size] {
        if (OnDataBatch) OnDataBatch(this, info, total, Data, static_cast<int>(Size));
    });
}

void TdwUploadThreader::streamBody(HINTERNET Resource, const AnsiString& Body) {
    for (size_t at = 0; at < Body.size() && !Terminated; at += static_cast<size_t>(BatchSize)) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(Body.size() - at, static_cast<size_t>(BatchSize)));
        sendPiece(Resource, Body.data() + at, piece);
    }
}

void TdwUploadThreader::readResponse(HINTERNET Request) {
    std::vector<char> buffer(static_cast<size_t>(BatchSize) + 1);
    while (!Terminated) {
        TdwInternetReadFileAction read(&engine_, Request, buffer.data(), static_cast<DWORD>(BatchSize));
        read.FireAction(TimeOut);
        if (read.BytesRead == 0) break;
        responseText_ += dwDCUtils::GetDataAsText(buffer.data(), static_cast<int>(read.BytesRead), '\x80');
    }
    response_->SetTextStr(responseText_);
}

void TdwUploadThreader::ProcessHTTP(HINTERNET Connection) {
    responseText_.clear();
    totalSent_ = 0;
    if (!infoOnly_) {
        if (!ItemsBody) {
            takeLocalFileInfo();
            if (!CanProcessURL()) Terminate();
        }
        if (Terminated) return;
        if (UseSendRequest && ItemsBody) {
            // One request each: a request handle is not sent again once answered.
            for (int i = 0; i < headers_->GetCount() && !Terminated; ++i) {
                TdwHTTPHeaderItem* item = headers_->GetItem(i);
                AnsiString body = item->Body();
                AnsiString extra = item->AdditionalHeaders();
                TdwHttpOpenRequestAction open(&engine_, Connection, "POST", objectName(), requestFlags(), 0);
                open.FireAction(TimeOut);
                LimitRequest(open.ResourceHandle());
                SendRequest(open.ResourceHandle(), extra.empty() ? extra : extra + "\r\n", body.data(),
                            static_cast<DWORD>(body.size()));
                totalSent_ += body.size();
                readResponse(open.ResourceHandle());
            }
            return;
        }
        TdwHttpOpenRequestAction open(&engine_, Connection, ItemsBody ? "POST" : "PUT", objectName(), requestFlags(),
                                      0);
        open.FireAction(TimeOut);
        HINTERNET request = open.ResourceHandle();
        LimitRequest(request);
        if (Terminated) return;
        if (UseSendRequest) {
            AnsiString body = readLocalFile();
            SendRequest(request, "", body.data(), static_cast<DWORD>(body.size()));
            totalSent_ = body.size();
            readResponse(request);
        } else {
            int64_t total = ItemsBody ? headers_->GetTotalSize() : info_->Size;
            AnsiString headerText;
            for (int i = 0; ItemsBody && i < headers_->GetCount(); ++i) {
                AnsiString extra = headers_->GetItem(i)->AdditionalHeaders();
                if (!extra.empty() && headerText.find(extra) == AnsiString::npos) headerText += extra + "\r\n";
            }
            INTERNET_BUFFERSA buffers{};
            buffers.dwStructSize = sizeof buffers;
            buffers.lpcszHeader = headerText.empty() ? nullptr : headerText.c_str();
            buffers.dwHeadersLength = static_cast<DWORD>(headerText.size());
            buffers.dwHeadersTotal = buffers.dwHeadersLength;
            buffers.dwBufferTotal = static_cast<DWORD>(total);
            SendWithCertificateHandling(request, [&] {
                TdwHttpSendRequestExAction send(&engine_, request, &buffers, 0, 0);
                send.FireAction(TimeOut);
            });
            if (ItemsBody) {
                for (int i = 0; i < headers_->GetCount() && !Terminated; ++i)
                    streamBody(request, headers_->GetItem(i)->Body());
            } else {
                streamBody(request, readLocalFile());
            }
            if (Terminated) return;
            TdwHttpEndRequestAction end(&engine_, request, 0, 0);
            end.FireAction(TimeOut);
            if (ItemsBody) readResponse(request);
        }
    }
    if (!ItemsBody && !Terminated) GetResourceInfo(Connection);
}

void TdwUploadThreader::ProcessFTP(HINTERNET Connection) {
    totalSent_ = 0;
    if (!infoOnly_) {
        takeLocalFileInfo();
        if (!CanProcessURL()) Terminate();
        if (Terminated) return;
        AnsiString body = readLocalFile();
        {
            TdwFtpOpenFileAction open(&engine_, Connection, parser_.UrlPath(), GENERIC_WRITE, FTP_TRANSFER_TYPE_BINARY,
                                      0);
            open.FireAction(TimeOut);
            streamBody(open.ResourceHandle(), body);
        }  // the remote file is closed before it is looked up
    }
    if (!Terminated) GetResourceInfo(Connection);
}
