// The time-out wait engine and the WinInet actions; see dwWaitDC.h.
#include "download/dwWaitDC.h"

#include "download/dwDCUtils.h"

#include <process.h>

#include <algorithm>

EclInternetError EclInternetError::FromLastError() {
    DWORD code = GetLastError();
    return EclInternetError(dwDCUtils::GetLastErrorText(code), code);
}

// ---------------------------------------------------------------------------

TdwInternetWaitEngine::TdwInternetWaitEngine() = default;

TdwInternetWaitEngine::~TdwInternetWaitEngine() {
    if (thread_) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    for (HANDLE event : {go_, done_, stop_})
        if (event) CloseHandle(event);
    // Actions still alive no longer have an engine to report to.
    for (TdwInternetAction* action : actions_) action->engine_ = nullptr;
}

void TdwInternetWaitEngine::ensureThread() {
    if (thread_) return;
    go_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    done_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    stop_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!go_ || !done_ || !stop_) throw EclInternetError::FromLastError();
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, actionThread, this, 0, nullptr));
    if (!thread_) throw EclInternetError::FromLastError();
}

unsigned __stdcall TdwInternetWaitEngine::actionThread(void* parameter) {
    auto* engine = static_cast<TdwInternetWaitEngine*>(parameter);
    HANDLE events[2] = {engine->go_, engine->stop_};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
        try {
            if (engine->current_) engine->current_->Execute();
        } catch (...) {
            // A failing call reports through the action's error; nothing else may escape here.
        }
        SetEvent(engine->done_);
    }
    return 0;
}

void TdwInternetWaitEngine::FireInternetAction(TdwInternetAction* Action, int TimeOut) {
    current_ = Action;
    ensureThread();
    SetEvent(go_);
    DWORD limit = TimeOut < 0 ? INFINITE : static_cast<DWORD>(TimeOut);
    if (WaitForSingleObject(done_, limit) == WAIT_OBJECT_0) return;
    Action->Terminate();
    WaitForSingleObject(done_, INFINITE);
    throw EclTimeoutInternetError();
}

// ---------------------------------------------------------------------------

TdwInternetAction::TdwInternetAction(TdwInternetWaitEngine* Engine, HINTERNET ParentHandle)
    : engine_(Engine), parent_(ParentHandle) {
    if (engine_) engine_->actions_.push_back(this);
}

TdwInternetAction::~TdwInternetAction() {
    if (!engine_) return;
    auto& list = engine_->actions_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (engine_->current_ == this) engine_->current_ = nullptr;
}

void TdwInternetAction::FireAction(int TimeOut) {
    errorCode_ = 0;
    errorText_.clear();
    if (engine_)
        engine_->FireInternetAction(this, TimeOut);
    else
        Execute();
    if (!errorText_.empty()) throw EclInternetError(errorText_, errorCode_);
}

void TdwInternetAction::Execute() {
    errorCode_ = GetLastError();
    // A call that failed without saying why must still fail the caller.
    if (errorCode_ == 0) errorCode_ = ERROR_INTERNET_INTERNAL_ERROR;
    errorText_ = dwDCUtils::GetLastErrorText(errorCode_);
}

void TdwInternetAction::Terminate() {
    HINTERNET handle = parent_;
    if (!handle) return;
    if (engine_)
        for (TdwInternetAction* action : engine_->actions_)
            if (action != this) action->NotifyTerminate(handle);
    parent_ = nullptr;
    InternetCloseHandle(handle);
}

// ---------------------------------------------------------------------------

TdwInternetResourceAction::~TdwInternetResourceAction() {
    if (resource_) InternetCloseHandle(resource_);
}

void TdwInternetResourceAction::NotifyTerminate(HINTERNET Handle) {
    if (resource_ == Handle) resource_ = nullptr;
    if (parent_ == Handle) parent_ = nullptr;
}

HINTERNET TdwInternetResourceAction::TakeHandle() {
    HINTERNET handle = resource_;
    resource_ = nullptr;
    return handle;
}

void TdwInternetResourceAction::finish(HINTERNET handle) {
    resource_ = handle;
    if (!handle) TdwInternetAction::Execute();
}

// ---------------------------------------------------------------------------

TdwInternetOpenAction::TdwInternetOpenAction(const AnsiString& Agent, DWORD AccessType, const AnsiString& Proxy,
                                             const AnsiString& ProxyBypass, DWORD Flags)
    : TdwInternetResourceAction(nullptr, nullptr), agent_(Agent), proxy_(Proxy), bypass_(ProxyBypass),
      accessType_(AccessType), flags_(Flags) {}

void TdwInternetOpenAction::FireAction(int) {
    errorCode_ = 0;
    errorText_.clear();
    Execute();
    if (!errorText_.empty()) throw EclInternetError(errorText_, errorCode_);
}

void TdwInternetOpenAction::Execute() {
    finish(InternetOpenA(agent_.c_str(), accessType_, proxy_.empty() ? nullptr : proxy_.c_str(),
                         bypass_.empty() ? nullptr : bypass_.c_str(), flags_));
}

TdwConnectAction::TdwConnectAction(TdwInternetWaitEngine* Engine, HINTERNET Internet, const AnsiString& Host,
                                   INTERNET_PORT Port, const AnsiString& UserName, const AnsiString& Password,
                                   DWORD Service, DWORD Flags, DWORD_PTR Context)
    : TdwInternetResourceAction(Engine, Internet), host_(Host), user_(UserName), password_(Password), port_(Port),
      service_(Service), flags_(Flags), context_(Context) {}

void TdwConnectAction::Execute() {
    finish(InternetConnectA(parent_, host_.c_str(), port_, user_.empty() ? nullptr : user_.c_str(),
                            password_.empty() ? nullptr : password_.c_str(), service_, flags_, context_));
}

TdwHttpOpenRequestAction::TdwHttpOpenRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Connection,
                                                   const AnsiString& Verb, const AnsiString& ObjectName, DWORD Flags,
                                                   DWORD_PTR Context)
    : TdwInternetResourceAction(Engine, Connection), verb_(Verb), object_(ObjectName), flags_(Flags),
      context_(Context) {}

void TdwHttpOpenRequestAction::Execute() {
    finish(HttpOpenRequestA(parent_, verb_.c_str(), object_.c_str(), nullptr, nullptr, nullptr, flags_, context_));
}

TdwHttpSendRequestAction::TdwHttpSendRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Request,
                                                   const AnsiString& Headers, const void* Optional,
                                                   DWORD OptionalLength)
    : TdwInternetAction(Engine, Request), headers_(Headers), optional_(Optional), optionalLength_(OptionalLength) {}

void TdwHttpSendRequestAction::Execute() {
    if (!HttpSendRequestA(parent_, headers_.empty() ? nullptr : headers_.c_str(),
                          static_cast<DWORD>(headers_.size()), const_cast<void*>(optional_), optionalLength_))
        TdwInternetAction::Execute();
}

TdwHttpSendRequestExAction::TdwHttpSendRequestExAction(TdwInternetWaitEngine* Engine, HINTERNET Request,
                                                       INTERNET_BUFFERSA* BuffersIn, DWORD Flags, DWORD_PTR Context)
    : TdwInternetAction(Engine, Request), buffersIn_(BuffersIn), flags_(Flags), context_(Context) {}

void TdwHttpSendRequestExAction::Execute() {
    if (!HttpSendRequestExA(parent_, buffersIn_, nullptr, flags_, context_)) TdwInternetAction::Execute();
}

TdwHttpEndRequestAction::TdwHttpEndRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Request, DWORD Flags,
                                                 DWORD_PTR Context)
    : TdwInternetAction(Engine, Request), flags_(Flags), context_(Context) {}

void TdwHttpEndRequestAction::Execute() {
    if (!HttpEndRequestA(parent_, nullptr, flags_, context_)) TdwInternetAction::Execute();
}

TdwFtpFindFirstFileAction::TdwFtpFindFirstFileAction(TdwInternetWaitEngine* Engine, HINTERNET Connection,
                                                     const AnsiString& SearchFile, DWORD Flags, DWORD_PTR Context)
    : TdwInternetResourceAction(Engine, Connection), search_(SearchFile), flags_(Flags), context_(Context) {}

void TdwFtpFindFirstFileAction::Execute() {
    SetLastError(0);
    HINTERNET found = FtpFindFirstFileA(parent_, search_.c_str(), &FindData, flags_, context_);
    // Some stacks fail a search without a match without an error code: it is "no more files".
    if (!found && GetLastError() == 0) SetLastError(ERROR_NO_MORE_FILES);
    finish(found);
}

TdwFtpOpenFileAction::TdwFtpOpenFileAction(TdwInternetWaitEngine* Engine, HINTERNET Connection,
                                           const AnsiString& FileName, DWORD Access, DWORD Flags, DWORD_PTR Context)
    : TdwInternetResourceAction(Engine, Connection), file_(FileName), access_(Access), flags_(Flags),
      context_(Context) {}

void TdwFtpOpenFileAction::Execute() { finish(FtpOpenFileA(parent_, file_.c_str(), access_, flags_, context_)); }

TdwInternetReadFileAction::TdwInternetReadFileAction(TdwInternetWaitEngine* Engine, HINTERNET Resource,
                                                     void* Buffer, DWORD ToRead)
    : TdwInternetAction(Engine, Resource), buffer_(Buffer), toRead_(ToRead) {}

void TdwInternetReadFileAction::Execute() {
    BytesRead = 0;
    if (!InternetReadFile(parent_, buffer_, toRead_, &BytesRead)) TdwInternetAction::Execute();
}

TdwInternetWriteFileAction::TdwInternetWriteFileAction(TdwInternetWaitEngine* Engine, HINTERNET Resource,
                                                       const void* Buffer, DWORD ToWrite)
    : TdwInternetAction(Engine, Resource), buffer_(Buffer), toWrite_(ToWrite) {}

void TdwInternetWriteFileAction::Execute() {
    BytesWritten = 0;
    if (!InternetWriteFile(parent_, buffer_, toWrite_, &BytesWritten)) {
        TdwInternetAction::Execute();
    } else if (BytesWritten < toWrite_) {
        SetLastError(ERROR_WRITE_FAULT);
        TdwInternetAction::Execute();
    }
}

TdwOpenURLAction::TdwOpenURLAction(TdwInternetWaitEngine* Engine, HINTERNET Internet, const AnsiString& URL,
                                   const AnsiString& Headers, DWORD Flags, DWORD_PTR Context)
    : TdwInternetResourceAction(Engine, Internet), url_(URL), headers_(Headers), flags_(Flags), context_(Context) {}

void TdwOpenURLAction::Execute() {
    finish(InternetOpenUrlA(parent_, url_.c_str(), headers_.empty() ? nullptr : headers_.c_str(),
                            static_cast<DWORD>(headers_.size()), flags_, context_));
}
