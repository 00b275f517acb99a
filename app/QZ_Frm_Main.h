/*
 * The main window, TFormMain: it owns the open vault (the vault store and the
 * vault flows), answers the flows' prompts through its dialogs, and runs the
 * program's start-up, exit and switch of vaults and the commands of other
 * processes. Sources by concern:
 *   QZ_Frm_Main.cpp          construction, messages, the prompts
 *   QZ_Frm_Main_StartUp.cpp  startUp, initSession, defaultVaultFolder
 *   QZ_Frm_Main_Exit.cpp     exitProgram, Switch Vault, closeSession, session end
 *   QZ_Frm_Main_Commands.cpp WM_COPYDATA commands and their waiting line
 *   QZ_Frm_Main_Records.cpp  category box, record list, editor rows
 *   QZ_Frm_Main_Files.cpp    the "Encrypted Files" side and the file jobs
 *
 * Tricky points:
 * - startUp runs before the message loop (with the window hidden) and again
 *   inside a handler on Switch Vault and command 102; a result 1 there closes
 *   the window, which ends the program.
 * - "Vault open" is set only at the end of a successful startUp and cleared by
 *   closeSession and the exit. While it is clear nothing is saved: a close or
 *   command 100 ends the run without saving, and the other commands are
 *   ignored. The vault's named mutex, taken by loadDB before the password is
 *   asked, is kept; the caption then becomes the vault ID in hex, which is how
 *   other processes find this window (the title users read is MessageTitle).
 * - Every close request (WM_CLOSE and SC_CLOSE here or at the application
 *   window, command 100) runs exitProgram, whose questions may keep the
 *   program open; a close or command arriving while a modal dialog or another
 *   command runs waits until that has ended. Log-off and shut-down save
 *   without questions and empty the clipboard.
 */
#pragma once

#include "app/CopyData.h"
#include "app/MainWindowDialogs.h"
#include "base/Notice.h"
#include "fileenc/FileJobChecks.h"
#include "framework/Framework.h"
#include "vault/VaultFlows.h"
#include "vault/VaultStore.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class ZM_ResizeRect;

enum StartUpResult : int { suGoOn = 0, suEndProcess = 1 };

namespace mainwin {
inline const char* const SwitchQuestion = "Switching vaults will close your current vault.  Do you want to continue?";
inline const char* const SwitchSaveFailed =
    "There was a problem saving your vault.  Are you sure that you would like to switch vaults?";
inline const char* const ExitSaveFailed =
    "There was a problem saving your vault.  Are you sure that you would like to quit?";
inline const char* const PlainFilesListed =
    "Not all of the files in your vault are currently encrypted.  Are you sure you would like to exit?";
inline const char* const ClipboardNotCleared = "There was a problem clearing your clipboard.";
inline const char* const ClosingTip =
    "By closing the vault, your vault is automatically locked and your clipboard is cleared of any data you may "
    "have copied from your vault.";
inline const char* const VaultsKeyFailed =
    "There was a problem saving your settings.  You may not be able to open your vault, unless you backed it up.  "
    "Would you like to exit anyway?";
inline const char* const TutorialTitle = "Brimsafe Tutorial";
inline const char* const HelpFile = "C:\\QZ\\Corvanta Pro\\CorvantaHelp\\BRIMSAFEHELP.HLP";
}  // namespace mainwin

class TFormMain : public TForm, public VaultPrompts, public FileJobHost {
public:
    // The program's main window: the stand-in dialogs, no file view, the process's command line.
    explicit TFormMain(TComponent* owner);
    TFormMain(TComponent* owner, MainWindowDialogs& dialogs, MainWindowFiles& files, const std::string& commandLine,
              HandOffRoutine handOff);
    ~TFormMain() override;

    // ---- start-up ----
    int startUp();
    void initSession();
    // The documents folder of rootKey's "Shell Folders" followed by "\Brimsafe"; "" when not known.
    static std::string defaultVaultFolder(HKEY rootKey);

    // ---- exit, switch, commands ----
    void exitProgram();
    void xpCloseButtonClick(TObject* Sender);
    void closeSession();
    void WMCopyData(TMessage& Message);

    // ---- the vault ----
    VaultStore& store() { return store_; }
    VaultFlows& flows() { return flows_; }
    bool vaultOpen() const { return vaultOpen_; }
    // True once the run was told to end (the window closed or closing).
    bool runEnded() const { return runEnded_; }

    // ---- the records side (QZ_Frm_Main_Records.cpp) ----
    // Makes the category box, record list, help panel and editor rows in the layout's left panel
    // (Panel2) and editor panel (Panel1 in ScrollBoxInfoPanel); called once by the layout.
    void buildRecordsSide();
    void fillCategoryBox();
    void populateForm(bool keepSelection, bool rebuildColumns);
    void editCategories();
    void KTransNewButtonMouseRelease(TObject* Sender);
    void KTransDeleteButtonMouseRelease(TObject* Sender);
    void KTransSearchButtonMouseRelease(TObject* Sender);
    void KTransHelpButtonMouseRelease(TObject* Sender);
    void QCLListBox2DblClick(TObject* Sender);
    // Ctrl+Up / Ctrl+Down: the category box one item up (-1) or down (+1), as a selection change.
    void moveCategorySelection(int delta);
    bool recordListFocused();
    void hidePasswords();
    void showPasswords();

    // ---- the "Encrypted Files" side (QZ_Frm_Main_Files.cpp) ----
    // Makes the file tree and the file panels in the layout's left panel and editor area; called once
    // by the layout after buildRecordsSide.
    void buildFilesSide();

    // ---- the file jobs (QZ_Frm_Main_FileJobs.cpp) ----
    // This window lends the open vault and the progress dialog to the checks before a file job.
    // One job at a time: a job asked for while one runs (a command or drop handled inside the
    // job's modal loop) is refused without touching the job record.
    TForm* messageOwner() override;
    void readVaultID(unsigned char vaultID[16]) override;
    std::string vaultName() override;
    std::vector<std::string> vaultFiles() override;
    bool nextDataKey(unsigned char dataKey[16], DWORD& error) override;
    void copyVaultKey(unsigned char vaultKey[16]) override;
    // SetJob and ShowModal on the progress dialog; the job's key copies are overwritten afterwards.
    FileJobReport runFileJob(const FileJobSetup& setup) override;
    // The checks, questions and messages of file jobs on this window's vault.
    FileJobChecks& fileJobs() { return fileJobs_; }
    bool fileJobRunning() const { return fileJobRunning_; }

private:
    FileJobChecks fileJobs_{*this};
    bool fileJobRunning_ = false;

public:
    // ---- end of the file jobs ----

    // ---- VaultPrompts ----
    int askPassword(int mode, bool retry, bool firstPasswordPage, SecretText& password) override;
    bool forgotPassword() override;
    void showFileError(DWORD code, const std::string& name) override;
    int selectVault(VaultChoice& choice) override;
    bool findVaultById(const unsigned char id[16], VaultChoice& found) override;
    int restoreVaultDialog(const std::string& location, const std::string& source) override;
    int createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) override;
    int chooseName(std::string& name) override;
    int keyRestoreDialog(std::string& keyFilePath) override;
    void vaultShown(const std::string& title) override;

    // Fields of the start-up.
    std::string InstallLocation;
    char WindowStateFlag = 'v';
    int OldTop = 50, OldLeft = 20, OldWidth = 757, OldHeight = 500, OldSplitter = 445;
    int SplitterLeft = 445;
    bool DraggingTitle = false;
    int IdleTicks = 0;

    TLabel* MessageTitle = nullptr;
    TLabel* Label4 = nullptr;
    TTimer* Timer1 = nullptr;
    // Looks for the end of what made a command wait (a dialog need not disable this window).
    TTimer* WaitingTimer = nullptr;
    std::unique_ptr<ZM_ResizeRect> ResizeRect;

protected:
    void Dispatch(TMessage& Message) override;

private:
    void buildForm(const std::string& commandLine);
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void Timer1Timer(TObject* Sender);
    void applicationHook(TMessage& Message, bool& Handled);

    int question(const std::string& text, int buttons = mbsYesNo, int icon = mbiQuestion);
    void publishVault();
    void writeSettings();
    bool emptyClipboard();
    bool switchVault();  // false when the user declined
    void restoreFromBackup();
    void endRun();
    void sessionEnding();

    bool busy();
    void runCommand(const CopyDataRequest& request);
    void runWaitingCommands();
    void commandOpenFile(const std::string& path);
    void commandAddFile(const std::string& path);

    MainWindowDialogs& dialogs_;
    MainWindowFiles& files_;
    HandOffRoutine handOff_;
    VaultStore store_;
    VaultFlows flows_;
    bool vaultOpen_ = false;
    bool exiting_ = false;
    bool runEnded_ = false;
    bool sessionSaved_ = false;
    int commandsRunning_ = 0;
    std::deque<CopyDataRequest> waiting_;
    bool hooked_ = false;
};

// Posted to the main window to run the commands that waited.
constexpr UINT WM_RUNWAITINGCOMMANDS = WM_APP + 0x51;
