// Threads and synchronised calls serviced inside every loop of the UI thread
// (ShowModal, a system message box, a popup menu, WaitFor), exceptions carried
// back to the worker, termination order, no leaked threads, and the hide /
// nested modal / show-again shape of switching vaults.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>
#include <commdlg.h>

#include <atomic>
#include <functional>

#include "tests/framework/FrameworkFixture.h"

namespace {

using fwtest::FrameworkTest;
using fwtest::pumpUntil;
using fwtest::runLater;

class ThreadTest : public FrameworkTest {};

// Waits, without serving it, until a message sent from another thread (a
// synchronised call) is pending for this thread. Looking at the queue this
// way also marks that message as seen, as any earlier look would.
bool sentCallPending() {
    DWORD deadline = GetTickCount() + 5000;
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) {
        if (GetTickCount() > deadline) return false;
        Sleep(1);
    }
    return true;
}

// A worker running a list of steps; each step may synchronise.
class TWorker : public TThread {
public:
    explicit TWorker(std::function<void(TWorker*)> body, bool suspended = false)
        : TThread(suspended), body_(std::move(body)) {}
    using TThread::Synchronize;

protected:
    void Execute() override { body_(this); }

private:
    std::function<void(TWorker*)> body_;
};

class TPlainForm : public TForm {
public:
    explicit TPlainForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(50, 50, 100, 60);
    }
};

TEST_F(ThreadTest, SynchronizeRunsInsideShowModal) {
    auto* form = MakeForm<TPlainForm>(nullptr);
    TWorker* worker = nullptr;
    DWORD ranOn = 0;
    form->OnShow = [&](TObject*) {
        worker = NewThread<TWorker>([&](TWorker* self) {
            self->Synchronize([&] {
                ranOn = GetCurrentThreadId();
                form->ModalResult = mrOk;
            });
        });
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(ranOn, MainThreadID);
    worker->WaitFor();
    delete worker;
    form->Free();
}

TEST_F(ThreadTest, ASynchronisedCallWakesAnIdleModalLoop) {
    // The worker calls only once the modal loop has gone idle: nothing else
    // will arrive to wake the loop afterwards.
    HANDLE idle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Application->OnIdle = [&](TObject*) { SetEvent(idle); };
    auto* form = MakeForm<TPlainForm>(nullptr);
    TWorker* worker = nullptr;
    form->OnShow = [&](TObject*) {
        ResetEvent(idle);
        worker = NewThread<TWorker>([&](TWorker* self) {
            WaitForSingleObject(idle, 5000);
            self->Synchronize([&] { form->ModalResult = mrOk; });
        });
    };
    EXPECT_EQ(form->ShowModal(), mrOk);
    Application->OnIdle = nullptr;
    worker->WaitFor();
    delete worker;
    CloseHandle(idle);
    form->Free();
}

TEST_F(ThreadTest, SynchronizeRunsInsideASystemMessageBoxAndExceptionsGoBackToTheWorker) {
    bool boxWasOpen = false;
    std::string workerCaught;
    TWorker* worker = NewThread<TWorker>([&](TWorker* self) {
        self->Synchronize([&] { boxWasOpen = FindWindowA("#32770", "SyncBox") != nullptr; });
        try {
            self->Synchronize([] { throw EConvertError("raised on the UI thread"); });
        } catch (const EConvertError& e) {
            workerCaught = e.Message;
        }
        HWND box = FindWindowA("#32770", "SyncBox");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    MessageBoxA(nullptr, "Waiting for the worker", "SyncBox", MB_OK);
    worker->WaitFor();
    EXPECT_TRUE(boxWasOpen) << "the call ran while the box's own loop was running";
    EXPECT_EQ(workerCaught, "raised on the UI thread");
    delete worker;
}

// One worker's synchronised method runs a modal form; another worker's call
// runs inside that loop and ends it.
TEST_F(ThreadTest, ASynchronisedMethodsModalLoopServesOtherWorkersCalls) {
    auto* form = MakeForm<TPlainForm>(nullptr);
    HANDLE formShown = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    form->OnShow = [&](TObject*) { SetEvent(formShown); };
    int result = -1;
    TWorker* first = NewThread<TWorker>([&](TWorker* self) { self->Synchronize([&] { result = form->ShowModal(); }); });
    TWorker* second = NewThread<TWorker>([&](TWorker* self) {
        if (WaitForSingleObject(formShown, 5000) != WAIT_OBJECT_0) return;
        self->Synchronize([&] { form->ModalResult = mrRetry; });
    });
    ASSERT_TRUE(pumpUntil([&] { return result != -1; }));
    EXPECT_EQ(result, mrRetry);
    second->WaitFor();
    first->WaitFor();
    delete second;
    delete first;
    CloseHandle(formShown);
    form->Free();
}

TEST_F(ThreadTest, SynchronizeRunsInsideTrackPopupMenu) {
    auto* form = MakeForm<TPlainForm>(nullptr);
    form->Show();
    SetForegroundWindow(form->Handle);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Copy");
    bool menuWasOpen = false;
    TWorker* worker = NewThread<TWorker>([&](TWorker* self) {
        Sleep(0);
        self->Synchronize([&] {
            menuWasOpen = FindWindowA("#32768", nullptr) != nullptr;
            EndMenu();
        });
    });
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 60, 60, 0, form->Handle, nullptr);
    worker->WaitFor();
    EXPECT_EQ(chosen, 0u);
    EXPECT_TRUE(menuWasOpen);
    DestroyMenu(menu);
    delete worker;
    form->Free();
}

TEST_F(ThreadTest, SynchronizeRunsInsideAFileDialog) {
    bool dialogWasOpen = false;
    TWorker* worker = NewThread<TWorker>([&](TWorker* self) {
        // Each call runs inside whatever loop the UI thread is in; retry until
        // the dialog has its caption (it may pump while it is being built).
        for (int attempt = 0; attempt < 500 && !dialogWasOpen; ++attempt) {
            self->Synchronize([&] {
                HWND dialog = FindWindowA("#32770", "SyncOpen");
                dialogWasOpen = dialog != nullptr;
                if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            });
            if (!dialogWasOpen) Sleep(10);
        }
    });
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = "SyncOpen";
    ofn.Flags = OFN_EXPLORER;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    worker->WaitFor();
    EXPECT_TRUE(dialogWasOpen) << "the call ran inside the dialog's own loop";
    delete worker;
}

TEST_F(ThreadTest, WaitForOnTheUiThreadServesTheWorkersCalls) {
    int calls = 0;
    TWorker* worker = NewThread<TWorker>([&](TWorker* self) {
        for (int i = 0; i < 3; ++i) self->Synchronize([&] { ++calls; });
        self->ReturnValue = 7;
    });
    EXPECT_EQ(worker->WaitFor(), 7u);
    EXPECT_EQ(calls, 3);
    delete worker;
}

TEST_F(ThreadTest, WaitForServesACallThatWasAlreadyPending) {
    int calls = 0;
    TWorker* worker = NewThread<TWorker>([&](TWorker* self) { self->Synchronize([&] { ++calls; }); });
    ASSERT_TRUE(sentCallPending());
    worker->WaitFor();
    EXPECT_EQ(calls, 1);
    delete worker;
}

TEST_F(ThreadTest, FreeOnTerminateRunsOnTerminateOnTheUiThreadBeforeFreeing) {
    static std::vector<std::string> order;
    order.clear();
    struct TLogged : TWorker {
        using TWorker::TWorker;
        ~TLogged() override { order.push_back("freed"); }
    };
    auto* worker = new TLogged([](TWorker*) { order.push_back("execute"); }, true);
    worker->FreeOnTerminate = true;
    worker->OnTerminate = [](TObject*) {
        order.push_back(GetCurrentThreadId() == MainThreadID ? "terminate on UI" : "terminate elsewhere");
    };
    worker->Resume();
    ASSERT_TRUE(pumpUntil([] { return order.size() == 3; }));
    EXPECT_EQ(order, (std::vector<std::string>{"execute", "terminate on UI", "freed"}));
}

// The UI thread frees a finished worker while the worker's OnTerminate call
// is still waiting for it: freeing serves that call first, and the worker
// counts as finished only after it.
TEST_F(ThreadTest, FreeingAWorkerWhoseOnTerminateWaitsRunsItFirst) {
    int terminations = 0;
    bool finishedInHandler = true;
    TWorker* worker = NewThread<TWorker>([](TWorker*) {}, true);
    worker->OnTerminate = [&](TObject*) {
        ++terminations;
        finishedInHandler = worker->Finished;
    };
    worker->Resume();
    ASSERT_TRUE(sentCallPending()) << "the OnTerminate call never arrived";
    delete worker;
    EXPECT_EQ(terminations, 1) << "the pending OnTerminate ran before the object was freed";
    EXPECT_FALSE(finishedInHandler);
}

TEST_F(ThreadTest, EscapedExceptionIsKeptAndCyclesLeaveNoThreads) {
    TWorker* failing = NewThread<TWorker>([](TWorker*) { throw EReadError("worker failed"); });
    failing->WaitFor();
    ASSERT_TRUE(failing->FatalException() != nullptr);
    try {
        std::rethrow_exception(failing->FatalException());
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message, "worker failed");
    }
    delete failing;

    auto threadCount = [] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        int count = 0;
        for (BOOL ok = Thread32First(snapshot, &entry); ok; ok = Thread32Next(snapshot, &entry))
            if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
        CloseHandle(snapshot);
        return count;
    };
    int before = threadCount();
    for (int i = 0; i < 100; ++i) {
        auto* worker = NewThread<TWorker>([](TWorker* self) {
            while (!self->Terminated()) Sleep(1);
        });
        worker->Terminate();
        worker->WaitFor();
        delete worker;
        delete new TWorker([](TWorker*) {}, true);  // never started
    }
    EXPECT_LE(threadCount(), before);
}

TEST_F(ThreadTest, SwitchVaultShapeHidesRunsModalsCentredAndShowsAgain) {
    struct TMainLike : TPlainForm {
        explicit TMainLike(TComponent* owner) : TPlainForm(owner) {
            Timer1 = new TTimer(this);
            Timer1->Enabled = false;
            Timer1->Interval = 10000;
            Timer1->OnTimer = [](TObject*) {};
            OnShow = [this](TObject*) {
                ++shows;
                Timer1->Enabled = true;
            };
        }
        TTimer* Timer1;
        int shows = 0;
    };
    struct TDialog : TPlainForm {
        explicit TDialog(TComponent* owner) : TPlainForm(owner) { Position = poOwnerFormCenter; }
    };
    auto* mainForm = MakeForm<TMainLike>(nullptr);
    mainForm->Show();
    mainForm->Timer1->Enabled = false;
    mainForm->Hide();
    auto* dialog = MakeForm<TDialog>(mainForm);
    auto* nested = MakeForm<TDialog>(dialog);
    TRect dialogBounds, area = Screen->WorkAreaRect;
    dialog->OnShow = [&](TObject*) {
        runLater([&] {
            dialogBounds = dialog->BoundsRect();
            nested->OnShow = [&](TObject*) {
                runLater([&] {
                    EXPECT_EQ(nested->Left() + nested->Width() / 2, dialog->Left() + dialog->Width() / 2)
                        << "a visible owner: centred on it";
                    nested->ModalResult = mrOk;
                });
            };
            EXPECT_EQ(nested->ShowModal(), mrOk);
            dialog->ModalResult = mrOk;
        });
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(dialogBounds.Left, area.Left + (area.Width() - dialog->Width()) / 2) << "hidden owner: screen centre";
    EXPECT_EQ(dialogBounds.Top, area.Top + (area.Height() - dialog->Height()) / 2);
    mainForm->Show();
    EXPECT_EQ(mainForm->shows, 2);
    EXPECT_TRUE(mainForm->Timer1->Enabled());
    mainForm->Free();
}

}  // namespace
