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
#include "framework/Framework.h"
#include "vault/VaultFlows.h"
#include "vault/VaultStore.h"
#include "vault/category.h"

#include <deque>
#include <functional>
#include <vector>
#include <memory>
#include <string>

class ZM_ResizeRect;
class TQCLListBox;
class TQCLBitmapList;
class componentList;

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

class TFormMain : public TForm, public VaultPrompts {
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
    // The same in parents the caller made: the left panel, the editor scroll box and the panel in it.
    void buildRecordsSide(TWinControl* leftPanel, TScrollingWinControl* editorScroll, TWinControl* editorPanel);
    void fillCategoryBox();
    void populateForm(bool keepSelection, bool rebuildColumns);
    void editCategories();
    void addCategory(const std::string& name);
    void addHeader(const std::string& name, int type, int width, int show);
    void addRow(const RowValues& values, bool showInList);
    void growEditorPool(int n);
    void KTransNewButtonMouseRelease(TObject* Sender);
    void KTransDeleteButtonMouseRelease(TObject* Sender);
    void KTransSearchButtonMouseRelease(TObject* Sender);
    void KTransHelpButtonMouseRelease(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void ComboBox1DblClick(TObject* Sender);
    void QCLListBox2Click(TObject* Sender);
    void QCLListBox2DblClick(TObject* Sender);
    void QCLListBox2HeaderSectionClick(THeaderControl* HeaderControl, THeaderSection* Section);
    void QCLListBox2HeaderSectionResize(THeaderControl* HeaderControl, THeaderSection* Section);
    void QCLListBox2HeaderDrawSection(THeaderControl* HeaderControl, THeaderSection* Section, const TRect& Rect,
                                      bool Pressed);
    void CompChange(TObject* Sender);
    void CompMouseRelease(TObject* Sender);
    void Label4MouseEnter(TObject* Sender);
    void Label4MouseLeave(TObject* Sender);
    void Label4Click(TObject* Sender);
    // The records side's part of the key release: Delete (46) in the focused record list deletes.
    // True when the key was the Delete key (consumed in every case).
    bool recordsKeyUp(WORD Key);
    // Ctrl+Up / Ctrl+Down: the category box one item up (-1) or down (+1), as a selection change.
    void moveCategorySelection(int delta);
    bool recordListFocused();
    void hidePasswords();
    void showPasswords();

    TComboBox* ComboBox1 = nullptr;
    TQCLListBox* QCLListBox2 = nullptr;
    TPanel* Panel5 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label5 = nullptr;
    std::vector<TLabel*> HelpLabels;  // headings and texts of Panel5 below Label1 and Label5
    TQCLBitmapList* QCLBitmapList1 = nullptr;
    TWinControl* RecordsLeftPanel = nullptr;
    TScrollingWinControl* EditorScroll = nullptr;
    TWinControl* EditorPanel = nullptr;
    componentList* EditorList = nullptr;
    int EditorPoolSize = 0;
    int HeaderCount = 0;
    int ColumnCount = 0;
    int CategoryCount = 0;
    int EditorPanelHeight = 0;
    bool EditNotePending = true;
    // The shell's "open" of the web-site label (tests record it instead).
    std::function<void(const std::string&)> OpenWebSite;
    // Helpers of the records side.
    void loadEditorRows(int line);
    void selectOnly(int line);
    void deleteSelectedLines();
    void setPasswordsHidden(bool hide);
    int listWidthFor(int right);
    // Frees the editor rows (and their controls) before the form frees the panels they stand on.
    struct EditorChainDeleter {
        void operator()(componentList* head) const;
    };
    std::unique_ptr<componentList, EditorChainDeleter> EditorListOwner;

    // ---- the "Encrypted Files" side (QZ_Frm_Main_Files.cpp) ----
    // Makes the file tree and the file panels in the layout's left panel and editor area; called once
    // by the layout after buildRecordsSide.
    void buildFilesSide();

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
