// The progress dialog on its real window with real jobs: the worker is held inside the body by a
// stage hook while the test clicks, types and sends what a user or the system would; the stop
// question is the real skinned box, read back and answered by a click.
#include "fileenc/FileJobStages.h"
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "skin/ZM_MessageBox.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxReader.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace fileenctest;

// 200 KiB: chunks of 10 KiB, so a job held at its first chunk has most of its body ahead.
const std::string Body = patternBytes(200 * 1024, 7);

// Holds the worker at the first time it reaches the stage until released; the hold has a
// deadline of its own, so a failing test never hangs. Made and dropped while no job runs.
class HeldWorker {
public:
    explicit HeldWorker(FileJobStage stage = FileJobStage::EncryptChunkWritten, std::function<void()> atStage = {})
        : reached_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        HANDLE reached = reached_.get(), release = release_.get();
        previous_ = SetFileJobStageHookForTesting(
            [stage, reached, release, atStage, seen = std::make_shared<std::atomic<bool>>(false)](
                FileJobStage at, const std::string&, HANDLE) {
                if (at != stage || seen->exchange(true)) return;
                if (atStage) atStage();
                SetEvent(reached);
                WaitForSingleObject(release, 20000);
            });
    }
    ~HeldWorker() {
        release();
        SetFileJobStageHookForTesting(previous_);
    }
    // Pumps the window's messages until the worker is held there.
    bool reached() {
        return fwtest::pumpUntil([&] { return WaitForSingleObject(reached_.get(), 0) == WAIT_OBJECT_0; }, 20000);
    }
    void release() { SetEvent(release_.get()); }
    // A handle of the release event of one's own, for an action that may outlive this hold.
    HANDLE releaseEvent() const {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), release_.get(), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        return copy;
    }

private:
    win32::KernelHandle reached_, release_;
    FileJobStageHook previous_;
};

FileJobSetup encryptionOf(const std::string& plain) {
    FileJobSetup setup;
    setup.sourcePath = plain;
    setup.destPath = plain + ".vltenc";
    setup.encrypting = true;
    setup.vaultID = TestVaultID;
    setup.fileKey = TestDataKey;
    setup.vaultKey = TestVaultKey;
    setup.vaultName = "Golden";
    return setup;
}

FileJobSetup decryptionOf(const std::string& plain, const unsigned char* vaultKey = TestVaultKey) {
    FileJobSetup setup;
    setup.sourcePath = plain + ".vltenc";
    setup.destPath = plain;
    setup.encrypting = false;
    setup.vaultKey = vaultKey;
    setup.vaultName = "Golden";
    return setup;
}

bool isZero(const unsigned char* bytes) {
    for (int i = 0; i < 16; ++i)
        if (bytes[i]) return false;
    return true;
}

// The width of a text in the label's font, drawn as the label draws it ('&' included).
int measured(TLabel* label, const std::string& text) {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, label->GetFont()->GetHandle());
    RECT r{0, 0, 0, 0};
    DrawTextA(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return r.right - r.left;
}

// Watches for the stop question on a thread of its own, reads it and clicks a button.
class QuestionAnswerer {
public:
    explicit QuestionAnswerer(std::string button)
        : thread_([this, button] {
              HWND box = brimtest::waitForMessageBox(GetCurrentProcessId(), 10000);
              if (!box) return;
              read = brimtest::readMessageBox(box, seen);
              clicked = brimtest::clickMessageBoxButton(box, button);
              if (!clicked) PostMessageA(box, WM_CLOSE, 0, 0);  // never leave the question's loop waiting
          }) {}
    ~QuestionAnswerer() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }
    brimtest::MessageBoxContents seen;
    bool read = false;
    bool clicked = false;

private:
    std::thread thread_;
};

class FileJobDialogTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        dialogtest::DialogTest::SetUp();
        brimtest::clearProductRegistry();
        RegisterMessageBox();  // the stop question is the real box
        dialog = MakeForm<TFrm_FileEncryption>(nullptr);
        TFrm_FileEncryption::Job().FinishPauseMs = 0;
    }
    void TearDown() override {
        dialog->Free();
        TFrm_FileEncryption::Job().FinishPauseMs = 500;
        brimtest::clearProductRegistry();
        dialogtest::DialogTest::TearDown();
    }
    std::string plainFile(const std::string& name) {
        temp.writeFile(name, Body);
        return temp.file(name);
    }

    brimtest::ScopedMessageBoxHandler realBoxes{nullptr};
    brimtest::TempFolder temp;
    TFrm_FileEncryption* dialog = nullptr;
};

// Cancel asks with the full path; "No" lets the job go on from where it was, "Yes" stops it after
// the current chunk with the plain file as it was; a later job is not touched by that stop.
TEST_F(FileJobDialogTest, CancelAsksAndStopsOnlyOnYes) {
    struct Case {
        const char* answer;
        int result;
        std::uint32_t failKind;
        bool cancelEnabledAfter;
        const char* labelAfter;
        bool encrypted;
    };
    const Case cases[] = {
        {"No", mrOk, 0, true, "report.doc", true},
        {"Yes", mrCancel, fjoStopped, false, "Cancelling...", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::string plain = plainFile("report.doc");
        HeldWorker held;
        dialog->FailKind = 0;
        dialog->SetJob(encryptionOf(plain));
        bool cancelEnabled = false;
        std::string label;
        QuestionAnswerer* answerer = nullptr;
        const int result = dialogtest::showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            ASSERT_TRUE(held.reached());
            answerer = new QuestionAnswerer(c.answer);
            dialogtest::click(dialog->Button_Cancel);  // the question's loop runs inside the click
            answerer->join();
            cancelEnabled = dialog->Button_Cancel->Enabled;
            label = dialog->Label_Message->Caption;
            held.release();
        });
        ASSERT_NE(answerer, nullptr);
        EXPECT_TRUE(answerer->read);
        EXPECT_TRUE(answerer->clicked);
        EXPECT_EQ(answerer->seen.text, "Are you sure you want to stop encrypting " + plain + "?");
        EXPECT_EQ(answerer->seen.title, "Brimsafe");
        EXPECT_EQ(answerer->seen.buttons, (std::vector<std::string>{"Yes", "No"}));
        delete answerer;
        EXPECT_EQ(cancelEnabled, c.cancelEnabledAfter);
        EXPECT_EQ(label, c.labelAfter);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dialog->FailKind, c.failKind);
        EXPECT_EQ(fileExists(plain + ".vltenc"), c.encrypted);
        if (!c.encrypted) {
            EXPECT_EQ(readAll(plain), Body);
        }
        EXPECT_FALSE(dialog->JobRunning());
        EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().VaultKey.data()));
        EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().FileKey.data()));

        // The next job runs to its end, the earlier stop forgotten, and decrypts what it made.
        const std::string next = plainFile("next.doc");
        dialog->SetJob(encryptionOf(next));
        EXPECT_EQ(dialogtest::showModal(dialog, [] {}), mrOk);
        EXPECT_EQ(dialog->Label_Message->GetText(), "Finishing up next.doc");
        dialog->SetJob(decryptionOf(next));
        EXPECT_EQ(dialogtest::showModal(dialog, [] {}), mrOk);
        EXPECT_EQ(readAll(next), Body);
        EXPECT_FALSE(fileExists(next + ".vltenc"));
        DeleteFileA(next.c_str());
        DeleteFileA(plain.c_str());
        DeleteFileA((plain + ".vltenc").c_str());
    }
}

// A question answered "Yes" only after the job has begun finishing (it had read its last chunk
// when Cancel was pressed) stops nothing: the job ends done and the label says it is finishing.
TEST_F(FileJobDialogTest, AStopAnsweredAfterTheLastChunkLetsTheJobFinish) {
    const std::string plain = plainFile("late.txt");
    HeldWorker held(FileJobStage::BeforeHeader);
    dialog->SetJob(encryptionOf(plain));
    std::atomic<bool> answered{false};
    TFrm_FileEncryption* shown = dialog;
    const int result = dialogtest::showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        ASSERT_TRUE(held.reached());
        std::thread watcher([&] {
            HWND box = brimtest::waitForMessageBox(GetCurrentProcessId(), 10000);
            if (!box) return;
            held.release();  // the job goes on to finish while the question is open
            for (DWORD start = GetTickCount(); !shown->FinishingThreadForTesting() && GetTickCount() - start < 10000;)
                Sleep(5);
            answered = brimtest::clickMessageBoxButton(box, "Yes");
            if (!answered) PostMessageA(box, WM_CLOSE, 0, 0);
        });
        dialogtest::click(dialog->Button_Cancel);
        watcher.join();
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog->Label_Message->GetText(), "Finishing up late.txt");
    EXPECT_FALSE(fileExists(plain));
    EXPECT_TRUE(fileExists(plain + ".vltenc"));
}

// While the worker runs, no way of closing the window ends the modal loop: the job completes and
// only its own report closes the dialog.
TEST_F(FileJobDialogTest, CloseRequestsAreRefusedWhileTheWorkerRuns) {
    struct Case {
        const char* name;
        std::function<void(HWND)> close;
    };
    const Case cases[] = {
        {"WM_CLOSE", [](HWND w) { SendMessageA(w, WM_CLOSE, 0, 0); }},
        {"SC_CLOSE", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Alt+F4", [](HWND) {
             skintest::pressKeys({{VK_MENU, true}, {VK_F4, true}, {VK_F4, false}, {VK_MENU, false}});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string plain = plainFile("closing.txt");
        HeldWorker held;
        dialog->SetJob(encryptionOf(plain));
        // Looked at from the modal loop once it has had its chance to end after the request.
        struct Look {
            bool taken = false;
            bool stillShown = false;
            win32::KernelHandle release;
        };
        auto look = std::make_shared<Look>();
        look->release.reset(held.releaseEvent());
        const HWND window = dialog->Handle;
        const int result = dialogtest::showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            ASSERT_TRUE(held.reached());
            c.close(window);
            fwtest::runLater([look, window] {
                look->taken = true;
                look->stillShown = IsWindowVisible(window) != FALSE;
                SetEvent(look->release.get());
            });
        });
        EXPECT_TRUE(look->taken);
        EXPECT_TRUE(look->stillShown);
        EXPECT_EQ(result, mrOk);
        EXPECT_FALSE(fileExists(plain));
        EXPECT_TRUE(fileExists(plain + ".vltenc"));
        DeleteFileA((plain + ".vltenc").c_str());
    }
}

// A modal loop ended from outside (the program terminating) while the worker runs still waits
// for it: the outcome is the job's own report, and nothing of the job is left in the queue for
// the next one.
TEST_F(FileJobDialogTest, ALoopEndedFromOutsideStillWaitsForTheWorker) {
    const std::string plain = plainFile("terminated.txt");
    HeldWorker held;
    dialog->SetJob(encryptionOf(plain));
    const int result = dialogtest::showModal(dialog, [&] {
        ASSERT_TRUE(held.reached());
        held.release();
        Application->Terminate();
    });
    Application->ResetTerminatedForTesting();
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog->JobResult(), mrOk);
    EXPECT_FALSE(dialog->JobRunning());
    EXPECT_FALSE(fileExists(plain));
    EXPECT_TRUE(fileExists(plain + ".vltenc"));
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, dialog->Handle, WM_FILEJOB_DONE, WM_FILEJOB_FINISHING, PM_NOREMOVE));
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // Terminate's quit message
}

// A worker that cannot be started ends the dialog at once with the file error; nothing is touched
// and the next job starts normally.
TEST_F(FileJobDialogTest, AFailedThreadStartEndsWithAFileError) {
    const std::string plain = plainFile("start.txt");
    TFrm_FileEncryption::FailNextThreadStartForTesting(ERROR_NOT_ENOUGH_MEMORY);
    dialog->SetJob(encryptionOf(plain));
    EXPECT_EQ(dialogtest::showModal(dialog, [] {}), mrCancel);
    EXPECT_EQ(dialog->FailKind, static_cast<std::uint32_t>(fjoFileError));
    EXPECT_EQ(dialog->ErrorCode, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(readAll(plain), Body);
    EXPECT_FALSE(fileExists(plain + ".vltenc"));
    EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().VaultKey.data()));
    EXPECT_TRUE(isZero(TFrm_FileEncryption::Job().FileKey.data()));

    dialog->SetJob(encryptionOf(plain));
    EXPECT_EQ(dialogtest::showModal(dialog, [] {}), mrOk);
    EXPECT_TRUE(fileExists(plain + ".vltenc"));
}

// The finishing step runs on the window's own thread and has disabled Cancel before the first
// block of the wipe: of the plain file after an encryption, of the output of a decryption whose
// digest does not match.
TEST_F(FileJobDialogTest, FinishingIsShownByTheWindowsThreadBeforeTheWipe) {
    const std::string plain = plainFile("ledger.xls");
    dialog->SetJob(encryptionOf(plain));
    ASSERT_EQ(dialogtest::showModal(dialog, [] {}), mrOk);
    ASSERT_TRUE(fileExists(plain + ".vltenc"));
    const std::string encrypted = readAll(plain + ".vltenc");

    const unsigned char otherVaultKey[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    struct Case {
        const char* name;
        FileJobSetup setup;
        int result;
        std::uint32_t failKind;
    };
    const Case cases[] = {
        {"encryption", encryptionOf(plain), mrOk, 0},
        {"decryption with another vault's key", decryptionOf(plain, otherVaultKey), mrCancel, fjoDigestMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeAll(plain, Body);
        writeAll(plain + ".vltenc", encrypted);
        if (!c.setup.encrypting) DeleteFileA(plain.c_str());
        const HWND cancel = dialog->Button_Cancel->Handle;
        std::atomic<bool> cancelEnabledAtWipe{true};
        std::atomic<DWORD> finishingBeforeWipe{0};
        TFrm_FileEncryption* shown = dialog;
        HeldWorker held(FileJobStage::WipeBlockWritten, [&] {
            cancelEnabledAtWipe = IsWindowEnabled(cancel) != FALSE;
            finishingBeforeWipe = shown->FinishingThreadForTesting();
        });
        held.release();  // only the look at the stage is wanted, not a hold
        dialog->SetJob(c.setup);
        EXPECT_EQ(dialogtest::showModal(dialog, [] {}), c.result);
        EXPECT_EQ(dialog->FailKind, c.failKind);
        EXPECT_FALSE(cancelEnabledAtWipe);
        EXPECT_EQ(finishingBeforeWipe, GetCurrentThreadId());
        EXPECT_EQ(dialog->Label_Message->GetText(), "Finishing up ledger.xls");
        dialog->FailKind = 0;
    }
}

// The name is fitted to 345 pixels by its measured width; a name that fits stays whole, one that
// does not keeps the longest start that fits before "...". '&' is a character like any other.
TEST_F(FileJobDialogTest, TheNameIsFittedToTheLabelByMeasuredWidth) {
    const std::string longName = "Quarterly figures for the northern region, final revision approved by the board "
                                 "and archived for the auditors.xls";
    const std::string ampersands = std::string(60, '&') + ".txt";
    const std::string wide(200, 'W');
    for (const std::string& name : {std::string("report.doc"), std::string("Tom & Jerry.txt"), longName, ampersands,
                                    wide}) {
        SCOPED_TRACE(name);
        dialog->SetJob(decryptionOf("C:\\Documents\\" + name));
        const std::string shown = dialog->Label_Message->Caption;
        EXPECT_LE(measured(dialog->Label_Message, shown), 345);
        if (measured(dialog->Label_Message, name) <= 345) {
            EXPECT_EQ(shown, name);
            continue;
        }
        ASSERT_GT(shown.size(), 3u);
        ASSERT_EQ(shown.substr(shown.size() - 3), "...");
        const std::string kept = shown.substr(0, shown.size() - 3);
        EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
        EXPECT_GT(measured(dialog->Label_Message, name.substr(0, kept.size() + 1) + "..."), 345);
    }
}

// Enter and Escape both press Cancel, and one press asks once: the key that opened the question
// neither answers it nor opens a second one.
TEST_F(FileJobDialogTest, OneKeyPressAsksOnce) {
    MessageBoxHandler skinned = SetMessageBoxHandler(nullptr);
    int asked = 0;
    brimtest::ScopedMessageBoxHandler counting([&](const MessageBoxRequest& request) {
        ++asked;
        return skinned(request);
    });
    for (WORD key : {static_cast<WORD>(VK_RETURN), static_cast<WORD>(VK_ESCAPE)}) {
        SCOPED_TRACE(key);
        asked = 0;
        const std::string plain = plainFile("keys.txt");
        HeldWorker held;
        dialog->SetJob(encryptionOf(plain));
        bool answered = false;
        const int result = dialogtest::showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            ASSERT_TRUE(held.reached());
            QuestionAnswerer answerer("No");
            dialogtest::tapKey(key);
            answerer.join();
            answered = answerer.clicked;
            fwtest::pumpIdle();
            held.release();
        });
        EXPECT_TRUE(answered);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(result, mrOk);
        EXPECT_EQ(brimtest::findMessageBox(GetCurrentProcessId()), nullptr);
        DeleteFileA((plain + ".vltenc").c_str());
    }
}

// The window's shape: the rounded region of the layout's size; the bar takes the low 8 bits.
TEST_F(FileJobDialogTest, RoundedWindowAndProgressBits) {
    dialog->ShowStateForTesting("C:\\x\\shape.txt", true, 0);
    dialog->Show();
    ASSERT_TRUE(dialogtest::bringUp(dialog));
    dialogtest::RegionShape shape = dialogtest::regionOf(dialog->Handle);
    EXPECT_TRUE(shape.exists);
    EXPECT_TRUE(shape.cornerCut);
    EXPECT_EQ(shape.box.right - shape.box.left, dialog->Width);
    EXPECT_EQ(shape.box.bottom - shape.box.top, dialog->Height);
    EXPECT_EQ(dialog->ClientWidth, 382);
    EXPECT_EQ(dialog->ClientHeight, 152);
    // Values that come faster than the bar is redrawn still end on the last one.
    for (WPARAM sent : {WPARAM(37), WPARAM(0x100 + 42), WPARAM(43), WPARAM(100)}) {
        SendMessageA(dialog->Handle, WM_FILEJOB_PROGRESS, sent, 0);
        const int expected = static_cast<int>(sent & 0xFF);
        EXPECT_TRUE(fwtest::pumpUntil([&] { return dialog->Progress_Operation->GetPosition() == expected; }))
            << expected;
    }
    dialog->Hide();
}

}  // namespace
