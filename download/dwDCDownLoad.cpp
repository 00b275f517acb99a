// The download worker: HTTP GET or FTP read, resume, the local file; see dwDC.h.
#include "download/dwDC.h"

#include <cstring>

namespace {

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    void reset(HANDLE handle) {
        close();
        handle_ = handle;
    }
    void close() {
        if (open()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    bool open() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

int64_t fileSize(const AnsiString& name) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (name.empty() || !GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

TdwDownLoadThreader::TdwDownLoadThreader(const AnsiString& URL, const AnsiString& LocalFile, bool InfoOnly)
    : TdwCustomThreader(URL, LocalFile), infoOnly_(InfoOnly) {}

TdwDownLoadThreader::~TdwDownLoadThreader() = default;

bool TdwDownLoadThreader::localResumePossible() const {
    return ResourcePos > 0 && fileSize(localFile_) >= ResourcePos;
}

void TdwDownLoadThreader::ProcessHTTP(HINTERNET Connection) {
    GetResourceInfo(Connection);
    if (infoOnly_) return;
    if (!CanProcessURL()) Terminate();
    if (Terminated) return;

    TdwHttpOpenRequestAction open(&engine_, Connection, "GET", objectName(),
                                  requestFlags(), 0);
    open.FireAction(TimeOut);
    if (Terminated) return;
    HINTERNET request = open.ResourceHandle();
    LimitRequest(request);
    int resumeFrom = localResumePossible() ? ResourcePos : 0;
    SendRequest(request, resumeFrom > 0 ? Format("Range: bytes=%d-\r\n", {resumeFrom}) : AnsiString());
    if (Terminated) return;

    DWORD status = ResponseStatus(request);
    if (resumeFrom > 0 && status == HTTP_STATUS_PARTIAL_CONTENT) {
        AnsiString range;
        AnsiString expected = Format("bytes %d-", {resumeFrom});
        if (!QueryHeaderText(request, HTTP_QUERY_CONTENT_RANGE, 128, range) ||
            range.compare(0, expected.size(), expected) != 0) {
            // Not the part asked for: the next try starts again at 0.
            ResourcePos = 0;
            throw EclInternetError(Format("The server answered a range other than the one asked for (%s)", {range}),
                                   ERROR_HTTP_INVALID_SERVER_RESPONSE);
        }
    } else if (status == HTTP_STATUS_OK) {
        resumeFrom = 0;  // the whole resource, into a new file
    } else {
        AnsiString reason;
        QueryHeaderText(request, HTTP_QUERY_STATUS_TEXT, 256, reason);
        throw EclInternetError(Format("The server answered %d %s", {static_cast<int>(status), reason}), status);
    }
    ResourcePos = resumeFrom;

    AnsiString lengthText;
    int64_t length = -1;
    if (!QueryHeaderText(request, HTTP_QUERY_CONTENT_LENGTH, 64, lengthText) ||
        !dwDCUtils::ParseContentLength(lengthText, length))
        length = -1;
    Dump(request, resumeFrom, length);
}

void TdwDownLoadThreader::ProcessFTP(HINTERNET Connection) {
    GetResourceInfo(Connection);
    if (infoOnly_) return;
    if (!CanProcessURL()) Terminate();
    if (Terminated) return;
    TdwFtpOpenFileAction open(&engine_, Connection, parser_.UrlPath(), GENERIC_READ,
                              FTP_TRANSFER_TYPE_BINARY | INTERNET_FLAG_RELOAD, 0);
    open.FireAction(TimeOut);
    if (Terminated) return;
    HINTERNET file = open.ResourceHandle();
    int resumeFrom = 0;
    if (localResumePossible() &&
        InternetSetFilePointer(file, ResourcePos, nullptr, FILE_BEGIN, 0) == static_cast<DWORD>(ResourcePos))
        resumeFrom = ResourcePos;
    ResourcePos = resumeFrom;
    int64_t expected = info_ ? info_->Size - resumeFrom : -1;
    Dump(file, resumeFrom, expected < 0 ? -1 : expected);
}

void TdwDownLoadThreader::Dump(HINTERNET Resource, int StartPos, int64_t ExpectedLength) {
    // A try that starts again at 0 collects the data anew.
    if (StartPos == 0) collected_.clear();
    std::vector<char> buffer(static_cast<size_t>(BatchSize) + 1);
    FileHandle file;
    bool createdFile = false;
    int64_t total = 0;
    bool tooLarge = false;
    while (!Terminated) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        TdwInternetReadFileAction read(&engine_, Resource, buffer.data(), static_cast<DWORD>(BatchSize));
        read.FireAction(TimeOut);
        DWORD got = read.BytesRead;
        if (got == 0) break;
        if (MaxResourceSize > 0 && StartPos + total + got > MaxResourceSize) {
            tooLarge = true;
            break;
        }
        if (!localFile_.empty()) {
            if (!file.open()) {
                AnsiString folder = ExtractFileDir(localFile_);
                if (!dwDCUtils::ForceDirectories(folder)) ReportError("");
                bool resuming = StartPos > 0;
                file.reset(CreateFileA(localFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                       resuming ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
                if (!file.open()) throw EclInternetError::FromLastError();
                createdFile = !resuming;
                if (resuming) {
                    LARGE_INTEGER at;
                    at.QuadPart = StartPos;
                    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get()))
                        throw EclInternetError::FromLastError();
                }
            }
            DWORD written = 0;
            if (!WriteFile(file.get(), buffer.data(), got, &written, nullptr) || written != got)
                throw EclInternetError::FromLastError();
        }
        if (OnData && (PreviewLimit == 0 || static_cast<int>(collected_.size()) < PreviewLimit)) {
            size_t take = got;
            if (PreviewLimit > 0) take = std::min<size_t>(take, PreviewLimit - collected_.size());
            collected_.insert(collected_.end(), buffer.data(), buffer.data() + take);
        }
        total += got;
        ResourcePos = static_cast<int>(StartPos + total);
        TdwResourceInfo* info = info_.get();
        int position = ResourcePos;
        const char* data = buffer.data();
        relay([this, info, position, data, got] {
            if (OnDataBatch) OnDataBatch(this, info, position, data, static_cast<int>(got));
        });
    }

    if (tooLarge) {
        file.close();
        if (createdFile) DeleteFileA(localFile_.c_str());
        ResourcePos = 0;
        ReportError(Format("The resource is larger than %d bytes", {MaxResourceSize}));
        Terminate();
    } else if (!Terminated && ExpectedLength >= 0 && total < ExpectedLength) {
        // Cut short: the try fails; the bytes so far stay for the next try to resume.
        throw EclInternetError(dwDCUtils::GetLastErrorText(ERROR_INTERNET_CONNECTION_RESET),
                               ERROR_INTERNET_CONNECTION_RESET);
    } else if (file.open() && !Terminated && CorrectResourceTime && resourceDateKnown_) {
        setFileDate(file.get());
    }
    file.close();

    if (!collected_.empty()) {
        int size = static_cast<int>(collected_.size());
        relay([this, size] {
            if (OnData) OnData(this, collected_.data(), size);
        });
    }
}

void TdwDownLoadThreader::setFileDate(HANDLE file) const {
    SYSTEMTIME local, utc;
    FILETIME time;
    DateTimeToSystemTime(info_->Date, local);
    if (TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && SystemTimeToFileTime(&utc, &time))
        SetFileTime(file, &time, &time, &time);
}
