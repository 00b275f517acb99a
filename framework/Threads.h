/*
 * Worker threads and synchronised calls.
 *
 * Synchronize from a worker is a SendMessageA to a hidden message-only window
 * of the UI thread, so the call runs inside whatever loop the UI thread is in
 * (the framework's loops, ShowModal, MessageBoxA, TrackPopupMenu, file
 * dialogs, WaitFor). An exception in the method is raised again in the worker.
 * On the UI thread the method is called directly.
 *
 * A thread starts only after its object is fully constructed: create it with
 * NewThread<T>(...) (or call AfterConstruction / Resume yourself). WaitFor on
 * the UI thread keeps serving sent messages, so a worker blocked in
 * Synchronize cannot deadlock it.
 */
#pragma once

#include <exception>

#include "framework/Classes.h"

using TThreadMethod = TEvent<void()>;
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
public:
    explicit TThread(bool CreateSuspended);
    ~TThread() override;

    // Starts the thread unless it was created suspended.
    void AfterConstruction() override;
    void Resume();
    void Start() { Resume(); }
    void Suspend();
    void Terminate() { terminated_ = true; }
    // Waits for the end of the thread and returns its ReturnValue.
    DWORD WaitFor();
    // Runs Method on the UI thread (directly when called there).
    void Synchronize(TThreadMethod Method);
    static void Synchronize(TThread* Thread, TThreadMethod Method);

    bool GetTerminated() const { return terminated_; }
    bool GetSuspended() const { return suspended_; }
    void SetSuspended(bool value) { value ? Suspend() : Resume(); }
    bool GetFreeOnTerminate() const { return freeOnTerminate_; }
    void SetFreeOnTerminate(bool value) { freeOnTerminate_ = value; }
    TThreadPriority GetPriority() const;
    void SetPriority(TThreadPriority value);
    HANDLE GetHandle() const { return handle_; }
    DWORD GetThreadID() const { return threadId_; }
    int GetReturnValue() const { return returnValue_; }
    void SetReturnValue(int value) { returnValue_ = value; }
    bool GetFinished() const { return finished_; }
    // The exception that escaped Execute, if any.
    std::exception_ptr FatalException() const { return fatalException_; }

    // Runs on the UI thread through Synchronize after Execute ends.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    virtual void DoTerminate();

private:
    static unsigned __stdcall threadProc(void* parameter);
    void callOnTerminate();

    HANDLE handle_ = nullptr;
    unsigned threadId_ = 0;
    volatile bool terminated_ = false;
    volatile bool suspended_ = true;
    volatile bool finished_ = false;
    bool createSuspended_;
    bool freeOnTerminate_ = false;
    int returnValue_ = 0;
    std::exception_ptr fatalException_;

public:
    BRIM_READONLY(Terminated, TThread::GetTerminated);
    BRIM_PROPERTY(Suspended, TThread::GetSuspended, TThread::SetSuspended);
    BRIM_PROPERTY(FreeOnTerminate, TThread::GetFreeOnTerminate, TThread::SetFreeOnTerminate);
    BRIM_PROPERTY(Priority, TThread::GetPriority, TThread::SetPriority);
    BRIM_READONLY(Handle, TThread::GetHandle);
    BRIM_READONLY(ThreadID, TThread::GetThreadID);
    BRIM_PROPERTY(ReturnValue, TThread::GetReturnValue, TThread::SetReturnValue);
    BRIM_READONLY(Finished, TThread::GetFinished);
};

// Creates a thread object and starts it (unless created suspended).
template <class T, class... Args> T* NewThread(Args&&... args) {
    T* thread = new T(std::forward<Args>(args)...);
    thread->AfterConstruction();
    return thread;
}

// Creates the synchronisation window on the calling (UI) thread; InitFramework calls it.
void InitSynchronize();
// The synchronisation window (tests look for it).
HWND SynchronizeWindowForTesting();
