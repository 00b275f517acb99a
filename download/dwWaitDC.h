/*
 * The time-out wait engine: every blocking WinInet call of a worker runs as an
 * action on a second thread, and the worker waits for it at most its time-out.
 * When the time runs out the engine closes the handle the call works on, waits
 * for the call to come back, and raises "Request timeout" (258).
 *
 * Tricky points:
 * - The two threads hand over through the current action and three auto-reset
 *   events (go, done, stop); every go runs exactly one call.
 * - Closing a handle under a blocked call does not abort it everywhere (Wine
 *   keeps the call until its socket read returns). The worker therefore also
 *   gives WinInet its own connect, send and receive time-outs, so the second,
 *   unlimited wait after the close always ends.
 * - An engine that never ran an action has made no events and no thread.
 * - Actions are created, run and freed by the worker thread only; the action
 *   list is never touched by the action thread.
 */
#pragma once

#include "framework/SysUtils.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

class EclInternetError : public Exception {
public:
    EclInternetError(const AnsiString& Message, DWORD Code) : Exception(Message), ErrorCode(Code) {}
    // From the current Windows last error: its code and text.
    static EclInternetError FromLastError();
    DWORD ErrorCode;
};

class EclTimeoutInternetError : public EclInternetError {
public:
    EclTimeoutInternetError() : EclInternetError("Request timeout", WAIT_TIMEOUT) {}
};

class TdwInternetAction;

class TdwInternetWaitEngine : public TObject {
public:
    TdwInternetWaitEngine();
    ~TdwInternetWaitEngine() override;
    // Runs the action on the action thread; TimeOut in ms, -1 = no limit.
    // Raises EclTimeoutInternetError when it ran out (after the call came back).
    void FireInternetAction(TdwInternetAction* Action, int TimeOut);

    // Whether the action thread was ever made (tests).
    bool ThreadCreatedForTesting() const { return thread_ != nullptr; }

private:
    friend class TdwInternetAction;
    void ensureThread();
    static unsigned __stdcall actionThread(void* parameter);

    std::vector<TdwInternetAction*> actions_;
    TdwInternetAction* current_ = nullptr;
    HANDLE go_ = nullptr, done_ = nullptr, stop_ = nullptr, thread_ = nullptr;
};

// One WinInet call. Subclasses make the call in Execute and, when it failed,
// call the base Execute, which records the last error and its text.
class TdwInternetAction : public TObject {
public:
    TdwInternetAction(TdwInternetWaitEngine* Engine, HINTERNET ParentHandle);
    ~TdwInternetAction() override;

    // Runs through the engine with the time-out; raises EclInternetError with
    // the recorded text and code when the call failed.
    virtual void FireAction(int TimeOut);
    virtual void Execute();
    // Aborts: tells the engine's other actions that the parent handle is being
    // closed, closes it and forgets it.
    virtual void Terminate();
    // Another action is closing Handle.
    virtual void NotifyTerminate(HINTERNET /*Handle*/) {}

    HINTERNET ParentHandle() const { return parent_; }
    DWORD ErrorCode() const { return errorCode_; }
    const AnsiString& ErrorText() const { return errorText_; }

protected:
    friend class TdwInternetWaitEngine;
    TdwInternetWaitEngine* engine_;
    HINTERNET parent_;
    DWORD errorCode_ = 0;
    AnsiString errorText_;
};

// An action whose call returns a handle; it closes the handle when destroyed
// unless the handle was handed on (TakeHandle) or closed by another action.
class TdwInternetResourceAction : public TdwInternetAction {
public:
    using TdwInternetAction::TdwInternetAction;
    ~TdwInternetResourceAction() override;
    void NotifyTerminate(HINTERNET Handle) override;
    HINTERNET ResourceHandle() const { return resource_; }
    HINTERNET TakeHandle();

protected:
    // Records the handle, or the failure when it is none.
    void finish(HINTERNET handle);
    HINTERNET resource_ = nullptr;
};

class TdwInternetOpenAction : public TdwInternetResourceAction {
public:
    TdwInternetOpenAction(const AnsiString& Agent, DWORD AccessType, const AnsiString& Proxy,
                          const AnsiString& ProxyBypass, DWORD Flags);
    // Runs the call directly: opening the internet handle is never waited.
    void FireAction(int TimeOut) override;
    void Execute() override;

private:
    AnsiString agent_, proxy_, bypass_;
    DWORD accessType_, flags_;
};

class TdwConnectAction : public TdwInternetResourceAction {
public:
    TdwConnectAction(TdwInternetWaitEngine* Engine, HINTERNET Internet, const AnsiString& Host, INTERNET_PORT Port,
                     const AnsiString& UserName, const AnsiString& Password, DWORD Service, DWORD Flags,
                     DWORD_PTR Context);
    void Execute() override;

private:
    AnsiString host_, user_, password_;
    INTERNET_PORT port_;
    DWORD service_, flags_;
    DWORD_PTR context_;
};

class TdwHttpOpenRequestAction : public TdwInternetResourceAction {
public:
    TdwHttpOpenRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Connection, const AnsiString& Verb,
                             const AnsiString& ObjectName, DWORD Flags, DWORD_PTR Context);
    void Execute() override;

private:
    AnsiString verb_, object_;
    DWORD flags_;
    DWORD_PTR context_;
};

class TdwHttpSendRequestAction : public TdwInternetAction {
public:
    TdwHttpSendRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Request, const AnsiString& Headers,
                             const void* Optional, DWORD OptionalLength);
    void Execute() override;

private:
    AnsiString headers_;
    const void* optional_;
    DWORD optionalLength_;
};

class TdwHttpSendRequestExAction : public TdwInternetAction {
public:
    TdwHttpSendRequestExAction(TdwInternetWaitEngine* Engine, HINTERNET Request, INTERNET_BUFFERSA* BuffersIn,
                               DWORD Flags, DWORD_PTR Context);
    void Execute() override;

private:
    INTERNET_BUFFERSA* buffersIn_;
    DWORD flags_;
    DWORD_PTR context_;
};

class TdwHttpEndRequestAction : public TdwInternetAction {
public:
    TdwHttpEndRequestAction(TdwInternetWaitEngine* Engine, HINTERNET Request, DWORD Flags, DWORD_PTR Context);
    void Execute() override;

private:
    DWORD flags_;
    DWORD_PTR context_;
};

class TdwFtpFindFirstFileAction : public TdwInternetResourceAction {
public:
    TdwFtpFindFirstFileAction(TdwInternetWaitEngine* Engine, HINTERNET Connection, const AnsiString& SearchFile,
                              DWORD Flags, DWORD_PTR Context);
    void Execute() override;
    WIN32_FIND_DATAA FindData{};

private:
    AnsiString search_;
    DWORD flags_;
    DWORD_PTR context_;
};

class TdwFtpOpenFileAction : public TdwInternetResourceAction {
public:
    TdwFtpOpenFileAction(TdwInternetWaitEngine* Engine, HINTERNET Connection, const AnsiString& FileName,
                         DWORD Access, DWORD Flags, DWORD_PTR Context);
    void Execute() override;

private:
    AnsiString file_;
    DWORD access_, flags_;
    DWORD_PTR context_;
};

class TdwInternetReadFileAction : public TdwInternetAction {
public:
    TdwInternetReadFileAction(TdwInternetWaitEngine* Engine, HINTERNET Resource, void* Buffer, DWORD ToRead);
    void Execute() override;
    DWORD BytesRead = 0;

private:
    void* buffer_;
    DWORD toRead_;
};

class TdwInternetWriteFileAction : public TdwInternetAction {
public:
    TdwInternetWriteFileAction(TdwInternetWaitEngine* Engine, HINTERNET Resource, const void* Buffer,
                               DWORD ToWrite);
    void Execute() override;
    DWORD BytesWritten = 0;

private:
    const void* buffer_;
    DWORD toWrite_;
};

class TdwOpenURLAction : public TdwInternetResourceAction {
public:
    TdwOpenURLAction(TdwInternetWaitEngine* Engine, HINTERNET Internet, const AnsiString& URL,
                     const AnsiString& Headers, DWORD Flags, DWORD_PTR Context);
    void Execute() override;

private:
    AnsiString url_, headers_;
    DWORD flags_;
    DWORD_PTR context_;
};
