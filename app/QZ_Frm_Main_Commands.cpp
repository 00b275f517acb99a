// The commands other processes send the main window, files dropped on it, and the line where both
// wait their turn. A posted WM_DROPFILES reaches the window even while a modal dialog or a file job
// has disabled it; run then, it would start a second job on the one job record, so it waits too.
#include "app/QZ_Frm_Main.h"

#include "fileenc/EncryptedFile.h"
#include "vault/logger.h"

namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool TFormMain::busy() {
    return commandsRunning_ > 0 || (Application && Application->ModalLevel() > 0) ||
           (HandleAllocated() && !IsWindowEnabled(GetHandle()));
}

void TFormMain::WMCopyData(TMessage& Message) {
    Message.Result = TRUE;
    // The sender's block lives only while this message is handled: the request is a copy.
    const std::optional<CopyDataRequest> request = readCopyData(reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam));
    if (!request) return;
    switch (commandAction(request->command, vaultOpen_, busy())) {
    case CommandAction::Ignore:
        return;
    case CommandAction::EndWithoutSaving:
        // Nothing of this run is open, so nothing needs saving (and nothing may be saved over a vault).
        endRun();
        return;
    case CommandAction::Wait: {
        WaitingWork work;
        work.request = *request;
        waiting_.push_back(std::move(work));
        WaitingTimer->Enabled = true;
        return;
    }
    case CommandAction::Run:
        runCommand(*request);
        return;
    }
}

void TFormMain::runWaitingCommands() {
    if (waiting_.empty()) WaitingTimer->Enabled = false;
    if (waiting_.empty() || busy()) return;
    const WaitingWork next = waiting_.front();
    waiting_.pop_front();
    if (next.isDrop) {
        if (vaultOpen_) runDrop(next.names, next.fcount);
    } else {
        switch (commandAction(next.request.command, vaultOpen_, false)) {
        case CommandAction::EndWithoutSaving:
            endRun();
            break;
        case CommandAction::Ignore:
            break;
        default:
            runCommand(next.request);
            break;
        }
    }
    if (!waiting_.empty() && !runEnded_ && HandleAllocated()) PostMessageA(GetHandle(), WM_RUNWAITINGCOMMANDS, 0, 0);
}

void TFormMain::filesDropped(TObject*, int fcount, int, int, TStringList* FileList) {
    // The drop handle is freed when this returns: the names are copied.
    std::vector<std::string> names;
    for (int i = 0; FileList && i < FileList->GetCount(); ++i) names.push_back(FileList->Get(i).c_str());
    if (!vaultOpen_ || names.empty()) return;
    if (busy()) {
        WaitingWork work;
        work.isDrop = true;
        work.names = std::move(names);
        work.fcount = fcount;
        waiting_.push_back(std::move(work));
        WaitingTimer->Enabled = true;
        return;
    }
    runDrop(names, fcount);
}

void TFormMain::runDrop(const std::vector<std::string>& names, int fcount) {
    if (!OnFilesDropped) return;
    ++commandsRunning_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{commandsRunning_};
    OnFilesDropped(names, fcount);
}

void TFormMain::bringBack() {
    if (!HandleAllocated() || !IsIconic(GetHandle())) return;
    // Through the application, so the forms hidden with the program come back with it.
    if (Application) Application->Restore();
    if (IsIconic(GetHandle())) ShowWindow(GetHandle(), SW_RESTORE);
    SetForegroundWindow(GetHandle());
}

void TFormMain::runCommand(const CopyDataRequest& request) {
    ++commandsRunning_;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done{commandsRunning_};
    // Another start asks for something the user answers here: a minimised program comes back, restored
    // and in front, with its prompts. An exit needs no window (its prompts stand on the work area).
    if (request.command != cdExit) bringBack();
    switch (request.command) {
    case cdExit:
        exitProgram();
        break;
    case cdOpenVault:
        flows_.PendingVaultFile = request.path;
        if (!switchVault()) flows_.PendingVaultFile.clear();
        break;
    case cdRestoreVault:
        flows_.PendingBackupFile = request.path;
        restoreFromBackup();
        break;
    case cdOpenFile:
        commandOpenFile(request.path);
        break;
    case cdAddFile:
        commandAddFile(request.path);
        break;
    default:
        break;
    }
    if (!waiting_.empty() && !runEnded_ && HandleAllocated()) PostMessageA(GetHandle(), WM_RUNWAITINGCOMMANDS, 0, 0);
}

void TFormMain::commandOpenFile(const std::string& path) {
    // The file would show what the lock hides: the user proves the password first.
    if (locked()) {
        xpUnlockButtonClick(this);
        if (locked()) return;
    }
    files_.showEncryptedFiles();
    if (isFolder(path)) {
        files_.addFolder(path);
    } else if (IsEncrypted(path)) {
        // Senders give the encrypted file's own name; a plain name stays whole.
        const std::string plain = StripExtension(path).value_or(path);
        if (files_.decryptSingleFile(plain) == 0) {
            files_.addFileRow(plain, false);
            files_.runFile(plain);
        }
    }
    files_.updateTreeImages();
    flows_.saveVault();
}

void TFormMain::commandAddFile(const std::string& path) {
    files_.showEncryptedFiles();
    if (isFolder(path)) {
        files_.addFolder(path);
    } else if (!IsEncrypted(path)) {
        if (files_.encryptSingleFile(path) == 0) files_.addFileRow(path, true);
    }
    flows_.saveVault();
    populateForm(false, true);
}
