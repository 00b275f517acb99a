/*
 * The file-job progress dialog, TFrm_FileEncryption: the small modal window
 * that runs one encryption or decryption. The caller fills the job record
 * with SetJob and shows the dialog modally; showing it starts the worker
 * thread, whose posted messages move the bar and end the modal loop (1 done,
 * 2 failed or stopped, with FailKind and ErrorCode telling why). One instance,
 * Frm_FileEncryption, is made by the process entry and reused for every job;
 * the job record is the unit's own, one for the process.
 *
 * Tricky points:
 * - Cancel pauses the job between chunks (it is never suspended from outside,
 *   which could freeze it inside a lock the question box needs), asks, and
 *   sets the stop request only while the job is paused. Enter and Escape both
 *   press Cancel; a press while the question is open asks nothing more.
 * - While a worker runs the dialog cannot be closed (WM_CLOSE, Alt+F4): the
 *   caller would read an outcome the job has not given yet, and the next job
 *   would overwrite a record the worker still reads. When the modal loop ends,
 *   however it ended, the worker is waited for (serving what it sends) and its
 *   handle closed, and a report it left in the queue is taken then, so nothing
 *   of one job reaches the next. The job's key copies are overwritten then too.
 * - The worker never touches a control: just before it wipes it sends
 *   WM_FILEJOB_FINISHING, and the dialog disables Cancel and shows "Finishing
 *   up " with the name on its own thread.
 * - The bar follows the job's last percentage but is redrawn at most every
 *   50 ms (100 % and the last value before the report at once): one redraw
 *   per chunk slowed the job itself.
 * - The name is fitted to the label by its measured width in the label's own
 *   font (the system may substitute fonts): "..." replaces the end that does
 *   not fit. The label shows '&' as it is.
 */
#pragma once

#include "components/controls/QCLProgress.h"
#include "dialogs/DialogSkeleton.h"
#include "fileenc/FileEncryptionJob.h"
#include "framework/Framework.h"
#include "framework/Win32Handles.h"

#include <cstdint>
#include <optional>
#include <string>

class TFrm_FileEncryption : public TSkinnedDialog {
public:
    explicit TFrm_FileEncryption(TComponent* AOwner);
    ~TFrm_FileEncryption() override;

    // Prepares the next job: the record takes copies of the paths and keys, the bar
    // starts at 0 % and the label shows the plain file's name, fitted.
    void SetJob(const FileJobSetup& setup);

    // How the last job ended: 1 done, 2 failed or stopped (0 before any job).
    int JobResult() const { return jobResult_; }
    // True from the worker's start until its report was taken.
    bool JobRunning() const { return jobRunning_; }

    // The process's one job record.
    static FileEncryptionJob& Job();

    // The encrypted-file readers and the wipe, reachable through the dialog.
    static bool IsEncrypted(const std::string& path);
    static std::optional<std::string> StripExtension(const std::string& path);
    static void ReadVaultID(const std::string& path, unsigned char vaultID[16]);
    static std::optional<std::string> ReadVaultName(const std::string& path);
    static bool WipeFile(const std::string& path);

    std::uint32_t FailKind = 0;  // FileJobOutcome of the last failed job
    DWORD ErrorCode = 0;         // its Windows error

    TLabel* Label_Message;
    TQCLProgressFill* Progress_Operation;
    TxpButton* Button_Cancel;

    // The next worker start fails with this error (0: starts normally again).
    static void FailNextThreadStartForTesting(DWORD error);
    // The thread that handled the last WM_FILEJOB_FINISHING (0: none yet).
    DWORD FinishingThreadForTesting() const { return finishingThread_; }
    // Shows a job's look without running one: title, fitted name and bar.
    void ShowStateForTesting(const std::string& plainPath, bool encrypting, int percent);

protected:
    void Dispatch(TMessage& Message) override;

private:
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Button_CancelClick(TObject* Sender);
    void WMJobDone(TMessage& Message);
    void WMJobFailed(TMessage& Message);
    void WMJobProgress(TMessage& Message);
    void WMJobFinishing(TMessage& Message);

    // Label_Message := text, shortened with "..." until it fits the panel.
    void fitLabel(const std::string& text);
    void showTitle();
    // The bar := percent_, now.
    void showPercent();
    void takeReport(UINT message, WPARAM wParam, LPARAM lParam);
    void waitForWorker();

    bool Encrypting = true;
    win32::KernelHandle WorkerThread;
    std::string shownName_;  // the plain file's name part, as the label shows it unfitted
    bool jobPending_ = false;
    bool jobRunning_ = false;
    bool asking_ = false;
    bool finishing_ = false;  // the job is finishing: past stopping
    int jobResult_ = 0;
    DWORD finishingThread_ = 0;
    int percent_ = 0;          // the job's last percentage
    DWORD lastRedraw_ = 0;     // tick of the bar's last redraw
    bool redrawWaiting_ = false;
};

extern TFrm_FileEncryption* Frm_FileEncryption;
