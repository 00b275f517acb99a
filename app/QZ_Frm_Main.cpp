// The main window: construction, its messages and the vault flows' prompts (answered by ProgramDialogs).
#include "app/QZ_Frm_Main.h"

#include "base/BrandingText.h"
#include "app/CommandLine.h"
#include "app/ProgramDialogs.h"
#include "base/ProductNames.h"
#include "components/runtime/QCLFMDrop.h"
#include "fileenc/CleanUpInterruptedJob.h"
#include "fileenc/WindowsErrorMessages.h"
#include "skin/ZM_MessageBox.h"
#include "skin/ZM_ResizeRect.h"
#include "vault/EncryptedFileHandOff.h"
#include "vault/logger.h"

// The program's commands reach this window's own file side (made with the window, used only after).
TFormMain::TFormMain(TComponent* owner)
    : TFormMain(owner, ProgramDialogs::forProgram(), filesSide_, GetCommandLineA(), handOffEncryptedFile) {}

TFormMain::TFormMain(TComponent* owner, MainWindowDialogs& dialogs, MainWindowFiles& files,
                     const std::string& commandLine, HandOffRoutine handOff)
    : TForm(owner),
      dialogs_(dialogs),
      files_(files),
      handOff_(handOff),
      store_(*this, this),
      flows_(store_, *this, handOff, this) {
    buildForm(commandLine);
}

TFormMain::~TFormMain() {
    if (hooked_ && Application) Application->UnhookMainWindow({this, &TFormMain::applicationHook});
}

void TFormMain::buildForm(const std::string& commandLine) {
    buildLayout();
    WaitingTimer = new TTimer(this);
    WaitingTimer->Enabled = false;
    WaitingTimer->Interval = 100;
    WaitingTimer->OnTimer = [this](TObject*) { runWaitingCommands(); };
    OnCreate = TNotifyEvent(this, &TFormMain::FormCreate);
    OnShow = TNotifyEvent(this, &TFormMain::FormShow);
    OnCloseQuery = TCloseQueryEvent(this, &TFormMain::FormCloseQuery);

    // A file job that ended with the process leaves its half-written file behind.
    CleanUpInterruptedJob();

    const CommandLineResult given = parseCommandLine(commandLine);
    flows_.PendingEncFile = given.PendingEncFile;
    flows_.PendingBackupFile = given.PendingBackupFile;
    flows_.PendingVaultFile = given.PendingVaultFile;
    if (!given.message.empty()) ShowMessageBox(this, given.message, product::Title, mbsOk, mbiInformation);

    Label4->Caption = GetBrandingText(brWebSite).c_str();

    if (Application) {
        Application->HookMainWindow({this, &TFormMain::applicationHook});
        hooked_ = true;
    }
}

void TFormMain::FormCreate(TObject*) {
    DraggingTitle = false;
    ResizeRect = std::make_unique<ZM_ResizeRect>(this, 670, 500);
    // Other processes send their commands to this window from the first dialog of the start-up on.
    HandleNeeded();
    setWindowRegion(Width, Height);
    QCLFMDrop1->SetControl(this);
}

void TFormMain::FormShow(TObject*) {
    SetBounds(Left, Top, Width, Height);
    Timer1->Enabled = true;
}

void TFormMain::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_COPYDATA:
        WMCopyData(Message);
        return;
    case WM_RUNWAITINGCOMMANDS:
        runWaitingCommands();
        return;
    case WM_ENABLE:
        // A modal dialog or file job that disabled the window has ended.
        if (Message.WParam && !waiting_.empty()) PostMessageA(Handle, WM_RUNWAITINGCOMMANDS, 0, 0);
        break;
    case WM_QUERYENDSESSION:
        sessionEnding();
        Message.Result = TRUE;
        return;
    default:
        break;
    }
    TForm::Dispatch(Message);
}

// The application window hears about log-off first and would ask the questions of a close.
void TFormMain::applicationHook(TMessage& Message, bool& Handled) {
    if (Message.Msg == WM_QUERYENDSESSION) {
        sessionEnding();
        Message.Result = TRUE;
        Handled = true;
    }
}

int TFormMain::question(const std::string& text, int buttons, int icon) {
    return ShowMessageBox(this, text, product::Title, buttons, icon);
}

// ---- the vault flows' prompts ----

int TFormMain::askPassword(int mode, bool retry, bool firstPasswordPage, SecretText& password) {
    return dialogs_.askPassword(this, mode, retry, firstPasswordPage, password);
}

bool TFormMain::forgotPassword() { return flows_.forgotPassword() == 1; }

void TFormMain::showFileError(DWORD code, const std::string& name) {
    ShowMessageBox(this, WindowsErrorMessages(code, name), product::Title, mbsOk, mbiCaution);
}

int TFormMain::selectVault(VaultChoice& choice) { return dialogs_.selectVault(this, choice); }

bool TFormMain::findVaultById(const unsigned char id[16], VaultChoice& found) {
    return dialogs_.findVaultById(id, found);
}

int TFormMain::restoreVaultDialog(const std::string& location, const std::string& source) {
    return dialogs_.restoreVault(this, location, source);
}

int TFormMain::createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) {
    return dialogs_.createKeys(this, rsa, keyBits, seed);
}

int TFormMain::chooseName(std::string& name) { return dialogs_.chooseName(this, name); }

int TFormMain::keyRestoreDialog(std::string& keyFilePath) { return dialogs_.keyRestore(this, keyFilePath); }

void TFormMain::vaultShown(const std::string& title) {
    MessageTitle->Caption = title.c_str();
    buildFileTree();
    // A restore into the open vault may have brought another vault ID, and surely other content.
    if (vaultOpen_) {
        publishVault();
        fillCategoryBox();
        populateForm(false, true);
    }
}

void TFormMain::publishVault() { Caption = vaultIdText(store_.vaultID()).c_str(); }
