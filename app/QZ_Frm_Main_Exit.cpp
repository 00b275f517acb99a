// The main window's exit sequence (with its close and Exit buttons), the Save button, Switch Vault,
// the end of a session and of the log-on session.
#include "app/QZ_Frm_Main.h"

#include "base/RegistrySettings.h"
#include "base/ProductNames.h"
#include "dialogs/TipSettings.h"
#include "fileenc/EncryptedFile.h"
#include "skin/ZM_MessageBox.h"
#include "vault/category.h"

#include <cstring>
#include <vector>

namespace {

bool isPlainFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) && !IsEncrypted(path);
}

// Whether the key holds a value of that name; registry names ignore case, so the test does too.
bool hasValueNamed(HKEY key, const std::string& name) {
    for (DWORD index = 0;; ++index) {
        char valueName[16384];
        DWORD length = sizeof valueName;
        if (RegEnumValueA(key, index, valueName, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        if (lstrcmpiA(valueName, name.c_str()) == 0) return true;
    }
}

}  // namespace

bool TFormMain::emptyClipboard() {
    const HWND owner = Application ? Application->GetHandle() : GetHandle();
    if (!OpenClipboard(owner)) return false;
    const bool emptied = EmptyClipboard() != 0;
    CloseClipboard();
    return emptied;
}

void TFormMain::writeSettings() {
    settings::WindowSettings values;
    values.Top = Top;
    values.Left = Left;
    values.Width = Width;
    values.Height = Height;
    values.Splitter = Panel2 ? Panel2->Width : SplitterLeft;
    values.WindowState = WindowStateFlag;
    values.OldTop = OldTop;
    values.OldLeft = OldLeft;
    values.OldWidth = OldWidth;
    values.OldHeight = OldHeight;
    values.OldSplitter = OldSplitter;
    const VaultContent& content = store_.content();
    values.currCat = content.current && content.current == content.encryptedFiles ? 1 : content.currCat;
    values.DBLoc = store_.getDBLoc();
    values.DBFname = store_.getDBFname();
    settings::writeWindowSettings(values);
}

void TFormMain::closeSession() {
    flows_.releaseVaultMutex();
    vaultOpen_ = false;
}

void TFormMain::endRun() {
    runEnded_ = true;
    exiting_ = true;
    Close();
}

void TFormMain::FormCloseQuery(TObject*, bool& CanClose) {
    if (exiting_ || !vaultOpen_) {
        runEnded_ = true;
        CanClose = true;
        return;
    }
    // Every other close goes through the exit sequence, which may keep the program open.
    CanClose = false;
    CopyDataRequest exit;
    exit.command = cdExit;
    if (busy()) {
        waiting_.push_back(exit);
        WaitingTimer->Enabled = true;
    }
    else
        runCommand(exit);
}

void TFormMain::exitProgram() {
    if (flows_.saveVault() != srSaved && question(mainwin::ExitSaveFailed) != mbrYes) return;

    if (const category* files = store_.content().encryptedFiles) {
        for (int row = 0; row < files->rowCount(); ++row) {
            if (!isPlainFile(files->itemText(row, 0))) continue;
            if (question(mainwin::PlainFilesListed) != mbrYes) return;
            break;
        }
    }

    // A hung tutorial must not hold the exit.
    if (HWND tutorial = FindWindowA(nullptr, mainwin::TutorialTitle)) {
        COPYDATASTRUCT data{};
        data.dwData = cdExit;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(tutorial, WM_COPYDATA, reinterpret_cast<WPARAM>(GetHandle()), reinterpret_cast<LPARAM>(&data),
                            SMTO_ABORTIFHUNG, 5000, &answer);
    }

    if (!emptyClipboard()) ShowMessageBox(this, mainwin::ClipboardNotCleared, product::Title, mbsOk, mbiCaution);

    dialogs_.tip(this, tips::ClosingVault.id, tips::ClosingVault.text);

    writeSettings();

    settings::RegistryKey vaults;
    if (!vaults.openOrCreate(HKEY_CURRENT_USER, settings::VaultsKeyPath)) {
        if (question(mainwin::VaultsKeyFailed) != mbrYes) return;
    } else if (!hasValueNamed(vaults.get(), store_.getDBFname())) {
        vaults.writeString(store_.getDBFname(), store_.getDBLoc() + "\\" + store_.getDBFname());
    }
    vaults.close();
    flows_.releaseVaultMutex();
    vaultOpen_ = false;
    endRun();
}

void TFormMain::KTransButton3MouseRelease(TObject*) { exitProgram(); }

void TFormMain::xpButton3Click(TObject*) { exitProgram(); }

void TFormMain::KTransSaveButtonMouseRelease(TObject*) { flows_.saveVault(); }

void TFormMain::xpCloseButtonClick(TObject*) { switchVault(); }

bool TFormMain::switchVault() {
    if (question(mainwin::SwitchQuestion) != mbrYes) return false;
    Timer1->Enabled = false;
    Hide();
    if (flows_.saveVault() != srSaved && question(mainwin::SwitchSaveFailed) != mbrYes) {
        Timer1->Enabled = !locked();  // a locked window's idle timer stays off
        Show();
        return true;
    }
    writeSettings();
    closeSession();
    if (startUp() != suGoOn) {
        endRun();
        return true;
    }
    Show();
    return true;
}

void TFormMain::restoreFromBackup() {
    // The open vault's edits are written before it is closed for the backup's vault.
    if (flows_.saveVault() != srSaved && question(mainwin::SwitchSaveFailed) != mbrYes) {
        flows_.PendingBackupFile.clear();
        return;
    }
    Hide();
    closeSession();
    if (startUp() != suGoOn) {
        endRun();
        return;
    }
    Show();
}

void TFormMain::sessionEnding() {
    if (sessionSaved_) return;
    sessionSaved_ = true;
    if (vaultOpen_) flows_.saveVault();
    emptyClipboard();
}
