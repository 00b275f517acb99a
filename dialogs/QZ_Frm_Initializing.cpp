// The key-creation page and its threads; see QZ_Frm_Initializing.h.
#include "dialogs/QZ_Frm_Initializing.h"

#include "skin/ZM_MessageBox.h"

namespace {

// The edit the content panel covers: it keeps the focus while the page collects. Tab and Shift+Tab
// stay with it like any other key (arrows already do), so no key moves the focus to a button, where
// a random Space or Enter would press it.
class TCoveredEdit : public TQCLEdit {
public:
    using TQCLEdit::TQCLEdit;

    void Dispatch(TMessage& Message) override {
        TQCLEdit::Dispatch(Message);
        if (Message.Msg == WM_GETDLGCODE) Message.Result |= DLGC_WANTTAB;
    }
};

struct SamplingJob {
    std::shared_ptr<keyseed::KeySeed> seed;
    keyseed::EntropySources sources;
    HWND page;
};

struct KeyJob {
    std::shared_ptr<keyseed::KeySeed> seed;
    qzcrypto::RSAEngine* engine;
    int bits;
    HWND page;
};

DWORD WINAPI mouseEntropyThread(LPVOID parameter) {
    std::unique_ptr<SamplingJob> job(static_cast<SamplingJob*>(parameter));
    try {
        keyseed::CursorSampler sampler;
        keyseed::KeySeed& seed = *job->seed;
        while (!seed.cancelled()) {
            if (seed.full()) {
                PostMessageA(job->page, TFrm_Initializing::WM_KEYGEN_SEEDFULL, 0, 0);
                break;
            }
            POINT position = job->sources.cursorPosition();
            job->sources.pollWait();
            if (seed.cancelled()) break;
            if (!sampler.accept(position)) continue;
            bool full = false;
            for (unsigned pair : {static_cast<unsigned>(position.x & 3), static_cast<unsigned>(position.y & 3)}) {
                if (seed.appendPair(pair) >= keyseed::SeedBits) {
                    full = true;
                    break;
                }
                PostMessageA(job->page, TFrm_Initializing::WM_KEYGEN_PROGRESS, 0, 0);
            }
            if (full) {
                PostMessageA(job->page, TFrm_Initializing::WM_KEYGEN_SEEDFULL, 0, 0);
                break;
            }
        }
    } catch (...) {
    }
    return 0;
}

DWORD WINAPI keyGenWorkerThread(LPVOID parameter) {
    auto* job = static_cast<KeyJob*>(parameter);
    try {
        unsigned char seed[keyseed::SeedBytes];
        job->seed->copyTo(seed);
        if (job->engine) job->engine->GenerateKeys(job->bits, seed);
        secureWipe(seed, sizeof seed);
    } catch (...) {
    }
    return 0;
}

DWORD WINAPI keyGenSupervisorThread(LPVOID parameter) {
    std::unique_ptr<KeyJob> job(static_cast<KeyJob*>(parameter));
    HANDLE worker = CreateThread(nullptr, 0, keyGenWorkerThread, job.get(), 0, nullptr);
    if (worker) {
        DWORD code = STILL_ACTIVE;
        while (GetExitCodeThread(worker, &code) && code == STILL_ACTIVE) WaitForSingleObject(worker, 250);
        CloseHandle(worker);
    }
    PostMessageA(job->page, TFrm_Initializing::WM_KEYGEN_DONE, 0, 0);
    return 0;
}

void startThread(LPTHREAD_START_ROUTINE routine, void* parameter) {
    HANDLE thread = CreateThread(nullptr, 0, routine, parameter, 0, nullptr);
    if (thread) CloseHandle(thread);
}

}  // namespace

TFrm_Initializing::TFrm_Initializing(TComponent* AOwner, keyseed::EntropySources sources)
    : TSkinnedDialog(AOwner, "Initializing Vault", 420, 370, DialogPlacement::ScreenCentred),
      sources_(std::move(sources)),
      seed_(std::make_shared<keyseed::KeySeed>()) {
    const int width = Panel1->Width - 32;
    CoveredEdit = new TCoveredEdit(this);
    CoveredEdit->Parent = Panel1;
    CoveredEdit->SetBounds(-400, -400, 20, 21);  // outside the panel: focusable, never seen
    addLabel("Step 2 - Private Key Creation", 16, 10, -19);
    addText("Data is locked and unlocked in your vault using a digital key.  The first step in creating your key "
            "requires the gathering of some random numbers.  These numbers are generated using your mouse and "
            "keyboard.\r\n\r\nPlease randomly type on your keyboard and move your mouse cursor around the screen "
            "until the progress bar reaches 100%.",
            16, 48, width);
    MeterCaption = addLabel("Random Number Progress", 16, 200);
    QCLProgress1 = new TQCLProgress(this);
    QCLProgress1->Parent = Panel1;
    QCLProgress1->SetBounds(16, 222, width, 22);
    QCLProgress1->Style = pgBar;
    QCLProgress1->BarColor = TColor(7552805);
    QCLProgress1->Color = clWhite;
    QCLProgress1->GetBevel()->SetMode(bmCustom);
    QCLProgress1->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvLowered);
    QCLProgress1->OptionsText = toPercent;
    const int buttonTop = Panel1->Height - 33;
    xpNextButton = addButton("Next", Panel1->Width - 170, buttonTop);
    xpNextButton->Default = true;
    xpNextButton->Enabled = false;
    xpNextButton->ModalResult = mrOk;
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->OnClick = TNotifyEvent(this, &TFrm_Initializing::CancelClick);
    KeyPreview = true;
    ActiveControl = CoveredEdit;
    OnShow = TNotifyEvent(this, &TFrm_Initializing::FormShow);
    OnKeyUp = TKeyEvent(this, &TFrm_Initializing::FormKeyUp);
    OnCloseQuery = TCloseQueryEvent(this, &TFrm_Initializing::FormCloseQuery);
    OnClose = TCloseEvent(this, &TFrm_Initializing::FormClose);
}

TFrm_Initializing::~TFrm_Initializing() { seed_->cancel(); }

void TFrm_Initializing::FormShow(TObject*) {
    if (keyCreationStarted_) return;  // shown again around a nested window: the same collection goes on
    QCLProgress1->MaxValue = keyseed::SeedBits;
    QCLProgress1->Position = 0;
    previousKeyMs_ = sources_.milliseconds();
    seed_->cancel();
    seed_ = std::make_shared<keyseed::KeySeed>();
    startThread(mouseEntropyThread, new SamplingJob{seed_, sources_, Handle});
    if (CoveredEdit->CanFocus()) CoveredEdit->SetFocus();
}

void TFrm_Initializing::FormKeyUp(TObject*, WORD&, TShiftState) {
    if (keysIgnored_) return;
    int now = sources_.milliseconds();
    seed_->appendPair(keyseed::keyReleasePair(previousKeyMs_, now));
    if (seed_->full()) StartKeyCreation();
    ShowProgress();
    previousKeyMs_ = now;
}

void TFrm_Initializing::ShowProgress() { QCLProgress1->Position = seed_->bitCount() * 100 / keyseed::SeedBits; }

void TFrm_Initializing::StartKeyCreation() {
    xpCancelButton->Enabled = false;
    if (keyCreationStarted_) return;
    keyCreationStarted_ = true;
    keysIgnored_ = true;
    QCLProgress1->Position = 100;
    startThread(keyGenSupervisorThread, new KeyJob{seed_, engine_, keyBits_, Handle});
    MeterCaption->Caption = "Using random numbers to create key...";
}

void TFrm_Initializing::KeyCreated() {
    if (!keyCreationStarted_ || keysDone_) return;
    keysDone_ = true;
    ShowMessageBox(this, "Your key has been created.", "Brimsafe", mbsOk, mbiInformation);
    xpNextButton->Enabled = true;
    ModalResult = mrOk;
}

void TFrm_Initializing::CancelClick(TObject*) {
    if (keyCreationStarted_) return;
    seed_->cancel();
    ModalResult = mrCancel;
}

void TFrm_Initializing::FormCloseQuery(TObject*, bool& CanClose) { CanClose = !keyCreationStarted_ || keysDone_; }

void TFrm_Initializing::FormClose(TObject*, TCloseAction&) {
    if (!keyCreationStarted_) seed_->cancel();
}

void TFrm_Initializing::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYGEN_PROGRESS: ShowProgress(); return;
    case WM_KEYGEN_DONE: KeyCreated(); return;
    case WM_KEYGEN_SEEDFULL: StartKeyCreation(); return;
    }
    TSkinnedDialog::Dispatch(Message);
}
