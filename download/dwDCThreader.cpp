// The worker base: URL, connection, resource information, tries and events; see dwDC.h.
#include "download/dwDC.h"

#include <cstring>

const char* const dwInternetAgent = "Quarrendel Internet Suite";

namespace {

bool validSystemTime(const SYSTEMTIME& time) {
    FILETIME file;
    return time.wYear >= 1601 && time.wMonth >= 1 && time.wMonth <= 12 && time.wDay >= 1 &&
           SystemTimeToFileTime(&time, &file);
}

}  // namespace

TdwCustomThreader::TdwCustomThreader(const AnsiString& URL, const AnsiString& LocalFile)
    : TThread(true), url_(URL), localFile_(LocalFile) {
    parser_.OnURLParsing = TdwURLParsingEvent(this, &TdwCustomThreader::DoOnURLParsing);
    // Always set: the end notice is synchronised, so the worker cannot free
    // itself before the user-interface thread has served it.
    OnTerminate = TNotifyEvent(this, &TdwCustomThreader::completed);
}

TdwCustomThreader::~TdwCustomThreader() = default;

void TdwCustomThreader::Wait() {
    try {
        WaitFor();
    } catch (...) {
    }
}

void TdwCustomThreader::relay(const std::function<void()>& call) {
    Synchronize(TThreadMethod([this, &call] {
        if (!detached_) call();
    }));
}

void TdwCustomThreader::completed(TObject*) {
    if (!detached_ && OnCompleted) OnCompleted(this);
}

void TdwCustomThreader::SetStatus(TdwProcessStatus Status) {
    if (Status == status_) return;
    status_ = Status;
    relay([this, Status] {
        if (OnStatus) OnStatus(this, Status);
    });
}

void TdwCustomThreader::ReportError(const AnsiString& Text) {
    errorText_ = Text.empty() ? dwDCUtils::GetLastErrorText(GetLastError()) : Text;
    AnsiString text = errorText_;
    relay([this, &text] {
        if (OnError) OnError(this, text);
    });
}

void TdwCustomThreader::DoOnURLParsing(TObject*, URL_COMPONENTSA& Components) {
    relay([this, &Components] {
        if (OnURLParsing) OnURLParsing(this, Components);
    });
}

void TdwCustomThreader::Execute() {
    SetStatus(psProcess);
    try {
        PrepareURL();
        int triesLeft = TryCount;
        while (true) {
            try {
                ProcessURL();
                break;
            } catch (EclInternetError&) {
                if (--triesLeft >= 1) continue;
                throw;
            }
        }
        if (Terminated)
            SetStatus(psTerminated);
        else
            SetStatus(errorText_.empty() ? psSuccess : psErrors);
    } catch (Exception& error) {
        ReportError(error.Message);
        SetStatus(psFailed);
    } catch (std::exception& error) {
        ReportError(error.what());
        SetStatus(psFailed);
    } catch (...) {
        ReportError("Unknown failure");
        SetStatus(psFailed);
    }
}

void TdwCustomThreader::PrepareURL() {
    AnsiString canonical = parser_.Parse(url_);
    if (canonical.empty()) {
        if (GetLastError() == 0) SetLastError(ERROR_INTERNET_INVALID_URL);
        throw EclInternetError::FromLastError();
    }
    url_ = canonical;
}

void TdwCustomThreader::ProcessURL() {
    TdwInternetOpenAction open(dwInternetAgent, INTERNET_OPEN_TYPE_PRECONFIG, "", "", INTERNET_FLAG_NO_CACHE_WRITE);
    open.FireAction(-1);
    DWORD connectTimeOut = static_cast<DWORD>(TimeOut);
    InternetSetOptionA(open.ResourceHandle(), INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeOut,
                       sizeof connectTimeOut);
    if (Terminated) return;
    bool ftp = parser_.Scheme() == 2;
    TdwConnectAction connect(&engine_, open.ResourceHandle(), parser_.HostName(), parser_.Port(),
                             parser_.UserName(), parser_.Password(),
                             ftp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP, 0, 0);
    connect.FireAction(TimeOut);
    if (Terminated) return;
    if (ftp)
        ProcessFTP(connect.ResourceHandle());
    else
        ProcessHTTP(connect.ResourceHandle());
}

void TdwCustomThreader::ProcessHTTP(HINTERNET) { throw EAbstractError("Abstract Error"); }
void TdwCustomThreader::ProcessFTP(HINTERNET) { throw EAbstractError("Abstract Error"); }

void TdwCustomThreader::LimitRequest(HINTERNET Request) const {
    DWORD limit = static_cast<DWORD>(TimeOut);
    InternetSetOptionA(Request, INTERNET_OPTION_SEND_TIMEOUT, &limit, sizeof limit);
    InternetSetOptionA(Request, INTERNET_OPTION_RECEIVE_TIMEOUT, &limit, sizeof limit);
}

void TdwCustomThreader::GetResourceInfo(HINTERNET Connection) {
    info_.reset();
    resourceDateKnown_ = false;
    if (parser_.Scheme() == 2)
        GetFTPResourceInfo(Connection);
    else
        GetHTTPResourceInfo(Connection);
    TdwResourceInfo* info = info_.get();
    relay([this, info] {
        if (OnResourceInfo) OnResourceInfo(this, info);
    });
}

void TdwCustomThreader::GetHTTPResourceInfo(HINTERNET Connection) {
    TdwHttpOpenRequestAction open(&engine_, Connection, "HEAD", objectName(),
                                  requestFlags(), 0);
    open.FireAction(TimeOut);
    HINTERNET request = open.ResourceHandle();
    LimitRequest(request);
    SendRequest(request, "");
    auto information = [this]() -> TdwResourceInfo& {
        if (!info_) {
            info_.reset(new TdwResourceInfo);
            info_->Name = parser_.UrlPath();
        }
        return *info_;
    };

    DWORD status = ResponseStatus(request);
    if (status != HTTP_STATUS_OK) {
        AnsiString reason;
        QueryHeaderText(request, HTTP_QUERY_STATUS_TEXT, 256, reason);
        ReportError(Format("No resource information: the server answered %d %s",
                           {static_cast<int>(status), reason}));
        return;
    }

    AnsiString lengthText;
    int64_t length = 0;
    if (QueryHeaderText(request, HTTP_QUERY_CONTENT_LENGTH, 64, lengthText) &&
        dwDCUtils::ParseContentLength(lengthText, length)) {
        information().Size = length;
    } else {
        // Negative, unparseable or over-long: unknown, as if it were missing.
        ReportError(dwDCUtils::GetLastErrorText(ERROR_HTTP_HEADER_NOT_FOUND));
    }
    if (Terminated) return;

    SYSTEMTIME modified{};
    DWORD size = sizeof modified;
    SYSTEMTIME local{};
    if (HttpQueryInfoA(request, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &modified, &size, nullptr) &&
        validSystemTime(modified) && SystemTimeToTzSpecificLocalTime(nullptr, &modified, &local)) {
        information().Date = SystemTimeToDateTime(local);
        resourceDateKnown_ = true;
    } else {
        ReportError(dwDCUtils::GetLastErrorText(ERROR_HTTP_HEADER_NOT_FOUND));
    }
    if (Terminated) return;

    AnsiString contentType;
    if (QueryHeaderText(request, HTTP_QUERY_CONTENT_TYPE, 1024, contentType))
        information().ContentType = contentType;
    else
        ReportError("");
}

void TdwCustomThreader::GetFTPResourceInfo(HINTERNET Connection) {
    TdwFtpFindFirstFileAction find(&engine_, Connection, parser_.UrlPath(), INTERNET_FLAG_RELOAD, 0);
    find.FireAction(TimeOut);
    if (Terminated) return;
    info_.reset(new TdwResourceInfo);
    info_->Name = parser_.UrlPath();
    info_->Size = (static_cast<int64_t>(find.FindData.nFileSizeHigh) << 32) + find.FindData.nFileSizeLow;
    FILETIME local;
    SYSTEMTIME time;
    const FILETIME& written = find.FindData.ftLastWriteTime;
    if ((written.dwLowDateTime || written.dwHighDateTime) && FileTimeToLocalFileTime(&written, &local) &&
        FileTimeToSystemTime(&local, &time)) {
        info_->Date = SystemTimeToDateTime(time);
        resourceDateKnown_ = true;
    }
}

bool TdwCustomThreader::CanProcessURL() const {
    if (!info_) return true;
    if (MinResourceSize > 0 && info_->Size < MinResourceSize) return false;
    if (MaxResourceSize > 0 && info_->Size > MaxResourceSize) return false;
    return true;
}

bool TdwCustomThreader::QueryHeaderText(HINTERNET Request, DWORD InfoLevel, DWORD MaxBytes, AnsiString& Text) {
    std::vector<char> buffer(MaxBytes, '\0');
    DWORD length = MaxBytes;
    if (!HttpQueryInfoA(Request, InfoLevel, buffer.data(), &length, nullptr)) return false;
    Text.assign(buffer.data(), strnlen(buffer.data(), std::min<DWORD>(length, MaxBytes)));
    return true;
}

DWORD TdwCustomThreader::ResponseStatus(HINTERNET Request) {
    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(Request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status == 0)
        throw EclInternetError(dwDCUtils::GetLastErrorText(ERROR_HTTP_INVALID_SERVER_RESPONSE),
                               ERROR_HTTP_INVALID_SERVER_RESPONSE);
    return status;
}

// ---------------------------------------------------------------------------
// Sending with certificate handling

TdwCertificateDecision dwDecideCertificateStep(DWORD Code, DWORD PreviousCode, bool Secure,
                                               TdwCertificateFlags Flags, bool UseErrorDialog,
                                               DWORD CurrentSecurityFlags) {
    TdwCertificateDecision decision;
    if (Code == PreviousCode || Code == WAIT_TIMEOUT) return decision;
    if (UseErrorDialog) {
        decision.Step = TdwCertificateStep::AskErrorDialog;
        return decision;
    }
    switch (Code) {
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_INVALID_CA:
        if (!Secure) return decision;
        decision.Step = TdwCertificateStep::AddSecurityFlags;
        decision.SecurityFlags = CurrentSecurityFlags;
        if (Flags.Contains(cfIgnoreCommonNameInvalid)) decision.SecurityFlags |= SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
        if (Flags.Contains(cfIgnoreDateInvalid)) decision.SecurityFlags |= SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
        if (Flags.Contains(cfIgnoreUnknownAuthority)) decision.SecurityFlags |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        return decision;
    case ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED:
        decision.Step = TdwCertificateStep::AskClientCertificate;
        return decision;
    default: return decision;
    }
}

void TdwCustomThreader::SendRequest(HINTERNET Request, const AnsiString& Headers, const void* Optional,
                                    DWORD OptionalLength) {
    SendWithCertificateHandling(Request, [&] {
        TdwHttpSendRequestAction send(&engine_, Request, Headers, Optional, OptionalLength);
        send.FireAction(TimeOut);
    });
}

void TdwCustomThreader::SendWithCertificateHandling(HINTERNET Request, const std::function<void()>& Send) {
    DWORD previous = 0;
    while (true) {
        try {
            Send();
            return;
        } catch (EclTimeoutInternetError&) {
            throw;
        } catch (EclInternetError& error) {
            DWORD flags = 0, size = sizeof flags;
            bool needFlags = !UseInternetErrorDialog && secure();
            if (needFlags && !InternetQueryOptionA(Request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &size))
                throw EclInternetError::FromLastError();
            TdwCertificateDecision decision = dwDecideCertificateStep(error.ErrorCode, previous, secure(),
                                                                      CertificateFlags, UseInternetErrorDialog,
                                                                      flags);
            switch (decision.Step) {
            case TdwCertificateStep::Raise: throw;
            case TdwCertificateStep::AskErrorDialog:
                if (InternetErrorDlg(GetDesktopWindow(), Request, error.ErrorCode,
                                     FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                                         FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                                     nullptr) == ERROR_CANCELLED)
                    throw;
                break;
            case TdwCertificateStep::AddSecurityFlags:
                if (!InternetSetOptionA(Request, INTERNET_OPTION_SECURITY_FLAGS, &decision.SecurityFlags,
                                        sizeof decision.SecurityFlags))
                    throw EclInternetError::FromLastError();
                break;
            case TdwCertificateStep::AskClientCertificate: fireCertificateRequest(Request); break;
            }
            previous = error.ErrorCode;
        }
    }
}

void TdwCustomThreader::fireCertificateRequest(HINTERNET Request) {
    void* context = nullptr;
    DWORD contextSize = 0;
    bool handled = false;
    relay([&] {
        if (OnCertificate) OnCertificate(this, context, contextSize, handled);
    });
    if (!handled) throw EclInternetError(dwDCUtils::GetLastErrorText(ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED),
                                         ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED);
    if (!InternetSetOptionA(Request, INTERNET_OPTION_CLIENT_CERT_CONTEXT, context, contextSize))
        throw EclInternetError::FromLastError();
}
