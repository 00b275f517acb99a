/*
 * Threads and synchronised calls; see Threads.h. Each synchronised call
 * travels as a pointer to a request on the worker's stack; the UI thread
 * runs it inside the message and stores any exception for the worker.
 */
#include "framework/Threads.h"

#include <process.h>

#include "framework/Forms.h"

namespace {

constexpr UINT WM_SYNCHRONIZE = WM_APP + 0x3F00;
HWND syncWindow = nullptr;

struct SyncRequest {
    TThreadMethod method;
    std::exception_ptr error;
};

void syncWindowProc(TMessage& message) {
    if (message.Msg == WM_SYNCHRONIZE) {
        auto* request = reinterpret_cast<SyncRequest*>(message.LParam);
        try {
            request->method();
        } catch (...) {
            request->error = std::current_exception();
        }
        // Wake the loop the call ran in, so that it re-checks its state
        // (a modal loop looks at ModalResult after each message).
        PostMessageA(syncWindow, WM_NULL, 0, 0);
        message.Result = 0;
        return;
    }
    DefaultWindowResult(syncWindow, message);
}

bool onUiThread() { return MainThreadID == 0 || GetCurrentThreadId() == MainThreadID; }

}  // namespace

void InitSynchronize() {
    if (!syncWindow) syncWindow = AllocateHWnd(TWndMethod(syncWindowProc));
}

HWND SynchronizeWindowForTesting() { return syncWindow; }

TThread::TThread(bool CreateSuspended) : createSuspended_(CreateSuspended) {
    handle_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, threadProc, this, CREATE_SUSPENDED, &threadId_));
    if (!handle_) throw EThread("Thread creation error: %s", {SysErrorMessage(GetLastError())});
}

TThread::~TThread() {
    if (handle_ && !finished_ && GetCurrentThreadId() != threadId_) {
        Terminate();
        if (suspended_) {
            // Never started (or suspended): let it run to its end.
            while (ResumeThread(handle_) > 1) {
            }
            suspended_ = false;
        }
        WaitFor();
    }
    if (handle_) CloseHandle(handle_);
}

void TThread::AfterConstruction() {
    if (!createSuspended_) Resume();
}

unsigned __stdcall TThread::threadProc(void* parameter) {
    auto* thread = static_cast<TThread*>(parameter);
    try {
        if (!thread->terminated_) thread->Execute();
    } catch (...) {
        thread->fatalException_ = std::current_exception();
    }
    try {
        thread->DoTerminate();
    } catch (...) {
        // An exception in OnTerminate has nowhere to go on this thread.
    }
    bool freeThread = thread->freeOnTerminate_;
    unsigned result = static_cast<unsigned>(thread->returnValue_);
    // Finished only once OnTerminate is done: until then the destructor
    // waits (and serves the pending call) instead of freeing the object
    // under it.
    thread->finished_ = true;
    if (freeThread) delete thread;
    return result;
}

void TThread::DoTerminate() {
    if (OnTerminate) Synchronize(TThreadMethod(this, &TThread::callOnTerminate));
}

void TThread::callOnTerminate() {
    if (OnTerminate) OnTerminate(this);
}

void TThread::Resume() {
    DWORD previous = ResumeThread(handle_);
    if (previous == 1) suspended_ = false;
}

void TThread::Suspend() {
    suspended_ = true;
    SuspendThread(handle_);
}

DWORD TThread::WaitFor() {
    HANDLE waitHandle = nullptr;
    // The object may free itself when it ends: wait on a handle of our own.
    if (!DuplicateHandle(GetCurrentProcess(), handle_, GetCurrentProcess(), &waitHandle, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        throw EThread("Thread Error: %s", {SysErrorMessage(GetLastError())});
    if (onUiThread()) {
        while (true) {
            // Serve messages sent to this thread (synchronised calls) without
            // taking posted ones. This comes before the wait too: the wait
            // wakes only for messages newer than the last look at the queue,
            // and a call may already be pending.
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            DWORD result = MsgWaitForMultipleObjects(1, &waitHandle, FALSE, INFINITE, QS_ALLINPUT | QS_SENDMESSAGE);
            if (result == WAIT_OBJECT_0) break;
        }
    } else {
        WaitForSingleObject(waitHandle, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeThread(waitHandle, &exitCode);
    CloseHandle(waitHandle);
    return exitCode;
}

void TThread::Synchronize(TThreadMethod Method) { Synchronize(this, Method); }

void TThread::Synchronize(TThread*, TThreadMethod Method) {
    if (onUiThread() || !syncWindow) {
        Method();
        return;
    }
    SyncRequest request{Method, nullptr};
    SendMessageA(syncWindow, WM_SYNCHRONIZE, 0, reinterpret_cast<LPARAM>(&request));
    if (request.error) std::rethrow_exception(request.error);
}

TThreadPriority TThread::GetPriority() const {
    switch (GetThreadPriority(handle_)) {
    case THREAD_PRIORITY_IDLE: return tpIdle;
    case THREAD_PRIORITY_LOWEST: return tpLowest;
    case THREAD_PRIORITY_BELOW_NORMAL: return tpLower;
    case THREAD_PRIORITY_ABOVE_NORMAL: return tpHigher;
    case THREAD_PRIORITY_HIGHEST: return tpHighest;
    case THREAD_PRIORITY_TIME_CRITICAL: return tpTimeCritical;
    default: return tpNormal;
    }
}

void TThread::SetPriority(TThreadPriority value) {
    static const int priorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                                     THREAD_PRIORITY_NORMAL,       THREAD_PRIORITY_ABOVE_NORMAL,
                                     THREAD_PRIORITY_HIGHEST,      THREAD_PRIORITY_TIME_CRITICAL};
    SetThreadPriority(handle_, priorities[value]);
}
