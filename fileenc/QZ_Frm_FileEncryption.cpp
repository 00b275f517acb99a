// The file-job progress dialog; see QZ_Frm_FileEncryption.h.
#include "fileenc/QZ_Frm_FileEncryption.h"

#include "base/ProductNames.h"
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobChecks.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/WipeFile.h"
#include "skin/ZM_MessageBox.h"

TFrm_FileEncryption* Frm_FileEncryption = nullptr;

namespace {

DWORD failNextThreadStart = 0;

// The bar is redrawn at most this often; a value that comes sooner waits for the next redraw.
// Each redraw paints the whole gradient, and a job posts one value per chunk and per wipe block:
// drawn one by one they cost the job more time than its own work on a busy machine.
constexpr DWORD ProgressRedrawMs = 50;
constexpr UINT_PTR ProgressTimerId = 1;

constexpr const char* Ellipsis = "...";

}  // namespace

FileEncryptionJob& TFrm_FileEncryption::Job() {
    static FileEncryptionJob job;
    return job;
}

TFrm_FileEncryption::TFrm_FileEncryption(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Encrypting File", 382, 152, DialogPlacement::OwnerCentred) {
    MessageTitle->Font->Style = TFontStyles{fsBold};
    Panel1->SetBounds(8, 29, 367, 81);

    Label_Message = new TLabel(this);
    Label_Message->Parent = Panel1;
    Label_Message->Transparent = true;
    Label_Message->ShowAccelChar = false;  // file names may hold '&'
    Label_Message->Alignment = taCenter;
    Label_Message->Font->Name = "Arial";
    Label_Message->Font->Height = -13;
    Label_Message->GetConstraints()->SetMinWidth(Panel1->Width - 22);
    Label_Message->SetBounds(11, 16, Panel1->Width - 22, 16);
    Label_Message->AutoSize = true;
    Label_Message->Caption = "File name goes here";

    Progress_Operation = new TQCLProgressFill(this);
    Progress_Operation->SetParent(Panel1);
    Progress_Operation->SetColor(clWhite);
    Progress_Operation->SetBack(PanelColor);
    Progress_Operation->SetTextOptions(toPercent);
    Progress_Operation->GetFont()->SetName("Arial");
    Progress_Operation->GetFont()->SetHeight(-13);
    Progress_Operation->GetFont()->SetColor(clBlack);
    TQCLFillObject* fill = Progress_Operation->GetFillObject();
    fill->SetStyle(sfGradient);
    fill->GetGradient()->SetColor(clSilver);
    fill->GetGradient()->SetEndColor(TColor(FormColor));
    fill->GetGradient()->SetStyle(gstHorizontal);
    Progress_Operation->SetBounds(11, 47, 345, 22);
    Progress_Operation->SetPercentValue(0);

    Button_Cancel = new TxpButton(this);
    Button_Cancel->Parent = this;
    Button_Cancel->SetBounds(150, 118, 81, 23);
    Button_Cancel->Caption = "Cancel";
    Button_Cancel->Cursor = crHandPoint;
    Button_Cancel->Font->Height = -13;
    Button_Cancel->Default = true;
    Button_Cancel->Cancel = true;
    Button_Cancel->OnClick = TNotifyEvent(this, &TFrm_FileEncryption::Button_CancelClick);
    ActiveControl = Button_Cancel;

    OnShow = TNotifyEvent(this, &TFrm_FileEncryption::FormShow);
    OnHide = TNotifyEvent(this, &TFrm_FileEncryption::FormHide);
    OnCloseQuery = TCloseQueryEvent(this, &TFrm_FileEncryption::FormCloseQuery);
}

TFrm_FileEncryption::~TFrm_FileEncryption() {
    waitForWorker();
    FileEncryptionJob& job = Job();
    if (HandleAllocated() && job.DialogWindow == Handle) job.DialogWindow = nullptr;
    job.clearKeys();
    job.SourcePath.clear();
    job.DestPath.clear();
    if (Frm_FileEncryption == this) Frm_FileEncryption = nullptr;
}

void TFrm_FileEncryption::SetJob(const FileJobSetup& setup) {
    FileEncryptionJob& job = Job();
    job.prepare(setup, Handle);
    Encrypting = setup.encrypting;
    percent_ = 0;
    showPercent();
    shownName_ = FileJobChecks::namePart(setup.encrypting ? setup.sourcePath : setup.destPath);
    fitLabel(shownName_);
    jobPending_ = true;
    jobResult_ = 0;
}

void TFrm_FileEncryption::fitLabel(const std::string& text) {
    const int limit = Panel1->Width - 22;
    Label_Message->Caption = text;
    if (Label_Message->Width <= limit) return;
    std::string shown = text + Ellipsis;
    Label_Message->Caption = shown;
    const std::size_t ellipsisLength = std::char_traits<char>::length(Ellipsis);
    while (Label_Message->Width > limit && shown.size() > ellipsisLength) {
        shown.erase(shown.size() - ellipsisLength - 1, 1);
        Label_Message->Caption = shown;
    }
}

void TFrm_FileEncryption::showTitle() { MessageTitle->Caption = Encrypting ? "Encrypting File" : "Decrypting File"; }

void TFrm_FileEncryption::FormShow(TObject*) {
    Button_Cancel->SetEnabled(true);
    showTitle();
    if (!jobPending_) return;  // shown again around a nested window, or with no job set
    jobPending_ = false;
    asking_ = false;
    finishing_ = false;
    FileEncryptionJob& job = Job();
    job.CancelRequested = false;
    HANDLE thread = nullptr;
    DWORD error = failNextThreadStart;
    failNextThreadStart = 0;
    if (!error) {
        thread = CreateThread(nullptr, 0, Encrypting ? EncryptFunc : DecryptFunc, &job, 0, nullptr);
        if (!thread) error = GetLastError();
    }
    if (!thread) {
        // Without a worker nothing would ever end the modal loop: the job fails here.
        job.clearKeys();
        takeReport(WM_FILEJOB_FAILED, error ? error : ERROR_NOT_ENOUGH_MEMORY, fjoFileError);
        return;
    }
    WorkerThread.reset(thread);
    jobRunning_ = true;
}

void TFrm_FileEncryption::FormHide(TObject*) { waitForWorker(); }

void TFrm_FileEncryption::FormCloseQuery(TObject*, bool& CanClose) { CanClose = !jobRunning_; }

void TFrm_FileEncryption::Button_CancelClick(TObject*) {
    if (!jobRunning_ || asking_) return;
    asking_ = true;
    FileEncryptionJob& job = Job();
    const std::string question = std::string("Are you sure you want to stop ") +
                                 (Encrypting ? "encrypting" : "decrypting") + " " + job.SourcePath + "?";
    job.Pause.pause();
    const int answer = ShowMessageBox(this, question, product::Title, mbsYesNo, mbiQuestion);
    // The job may have ended, or begun finishing, while the question was open; a finishing job
    // cannot be stopped any more, and its label already says so.
    if (answer == mbrYes && jobRunning_ && !finishing_) {
        job.CancelRequested = true;
        Button_Cancel->SetEnabled(false);
        Label_Message->Caption = "Cancelling...";
    }
    job.Pause.resume();
    asking_ = false;
}

void TFrm_FileEncryption::takeReport(UINT message, WPARAM wParam, LPARAM lParam) {
    jobRunning_ = false;
    if (redrawWaiting_) showPercent();
    if (message == WM_FILEJOB_DONE) {
        jobResult_ = mrOk;
    } else {
        ErrorCode = static_cast<DWORD>(wParam);
        FailKind = static_cast<std::uint32_t>(lParam);
        jobResult_ = mrCancel;
    }
    ModalResult = jobResult_;
}

void TFrm_FileEncryption::WMJobDone(TMessage& Message) {
    if (jobRunning_) takeReport(WM_FILEJOB_DONE, Message.WParam, Message.LParam);
}

void TFrm_FileEncryption::WMJobFailed(TMessage& Message) {
    if (jobRunning_) takeReport(WM_FILEJOB_FAILED, Message.WParam, Message.LParam);
}

void TFrm_FileEncryption::WMJobProgress(TMessage& Message) {
    percent_ = static_cast<int>(Message.WParam & 0xFF);
    const bool due = GetTickCount() - lastRedraw_ >= ProgressRedrawMs;
    if (due || percent_ >= 100 || percent_ < Progress_Operation->GetPosition()) {
        showPercent();
    } else if (!redrawWaiting_) {
        redrawWaiting_ = SetTimer(Handle, ProgressTimerId, ProgressRedrawMs, nullptr) != 0;
        if (!redrawWaiting_) showPercent();
    }
}

void TFrm_FileEncryption::showPercent() {
    if (redrawWaiting_) KillTimer(Handle, ProgressTimerId);
    redrawWaiting_ = false;
    lastRedraw_ = GetTickCount();
    Progress_Operation->SetPercentValue(percent_);
}

void TFrm_FileEncryption::WMJobFinishing(TMessage&) {
    finishingThread_ = GetCurrentThreadId();
    finishing_ = true;
    Button_Cancel->SetEnabled(false);
    fitLabel("Finishing up " + shownName_);
}

void TFrm_FileEncryption::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_FILEJOB_DONE: WMJobDone(Message); return;
    case WM_FILEJOB_FAILED: WMJobFailed(Message); return;
    case WM_FILEJOB_PROGRESS: WMJobProgress(Message); return;
    case WM_FILEJOB_FINISHING: WMJobFinishing(Message); return;
    case WM_TIMER:
        if (Message.WParam == ProgressTimerId) {
            showPercent();
            return;
        }
        break;
    default: break;
    }
    TSkinnedDialog::Dispatch(Message);
}

void TFrm_FileEncryption::waitForWorker() {
    if (!WorkerThread.valid()) return;
    HANDLE thread = WorkerThread.get();
    // The worker may send WM_FILEJOB_FINISHING on its way out: serve sent messages while waiting.
    while (true) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1) break;
        MSG pending;
        PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    WorkerThread.close();
    // A loop that ended early (the application terminating) left the report in the queue.
    MSG left;
    while (PeekMessageA(&left, Handle, WM_FILEJOB_DONE, WM_FILEJOB_PROGRESS, PM_REMOVE))
        if (left.message != WM_FILEJOB_PROGRESS && jobRunning_) takeReport(left.message, left.wParam, left.lParam);
    if (jobRunning_) takeReport(WM_FILEJOB_FAILED, 0, fjoStopped);  // ended without a word: treat as stopped
    Job().clearKeys();
}

void TFrm_FileEncryption::ShowStateForTesting(const std::string& plainPath, bool encrypting, int percent) {
    Encrypting = encrypting;
    showTitle();
    shownName_ = FileJobChecks::namePart(plainPath);
    fitLabel(shownName_);
    percent_ = percent;
    showPercent();
}

void TFrm_FileEncryption::FailNextThreadStartForTesting(DWORD error) { failNextThreadStart = error; }

bool TFrm_FileEncryption::IsEncrypted(const std::string& path) { return ::IsEncrypted(path); }

std::optional<std::string> TFrm_FileEncryption::StripExtension(const std::string& path) {
    return ::StripExtension(path);
}

void TFrm_FileEncryption::ReadVaultID(const std::string& path, unsigned char vaultID[16]) {
    ::ReadVaultID(path, vaultID);
}

std::optional<std::string> TFrm_FileEncryption::ReadVaultName(const std::string& path) {
    return ::ReadVaultName(path);
}

bool TFrm_FileEncryption::WipeFile(const std::string& path) { return ::WipeFile(path); }
