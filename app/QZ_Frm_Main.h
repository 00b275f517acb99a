/*
 * The main window, TFormMain: it owns the open vault (the vault store and the
 * vault flows), answers the flows' prompts through its dialogs, and runs the
 * program's start-up, exit and switch of vaults and the commands of other
 * processes. Sources by concern:
 *   QZ_Frm_Main.cpp          construction, messages, the prompts
 *   QZ_Frm_Main_StartUp.cpp  startUp, initSession, defaultVaultFolder
 *   QZ_Frm_Main_Exit.cpp     exitProgram, Switch Vault, closeSession, session end
 *   QZ_Frm_Main_Commands.cpp WM_COPYDATA commands, dropped files and their waiting line
 *   MainWindowLayout.cpp     the layout: every control of the frame, built in code
 *   QZ_Frm_Main_Frame.cpp    moving, sizing, maximising, the window region, the splitter
 *   QZ_Frm_Main_Keys.cpp     shortcuts, the idle lock and Unlock
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
 * - The window has no system frame: its own grips move and size it through
 *   ResizeRect, and its region is a rounded rectangle one pixel larger than
 *   the window each way.
 * - The form previews every key. A Ctrl key it consumes still reaches the
 *   focused edit as WM_CHAR (copy, paste, cut and undo work there); a consumed
 *   Alt+F4 never becomes SC_CLOSE, so the exit runs once.
 * - Locked: the lock panel Panel8 covers the window, the rest of it is
 *   disabled so no key reaches a control behind the panel, and a hidden
 *   Quick Lock button is how other code recognises the state.
 */
#pragma once

#include "app/CopyData.h"
#include "app/MainWindowDialogs.h"
#include "app/MainWindowFilesSide.h"
#include "base/Notice.h"
#include "components/controls/QCLSimpleLabel.h"
#include "fileenc/FileJobChecks.h"
#include "framework/Framework.h"
#include "vault/VaultFlows.h"
#include "vault/VaultStore.h"
#include "vault/category.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ZM_ResizeRect;
class TQCLListBox;
class componentList;
class TImagePanel;
class TTranImage;
class KTransButton;
class TxpButton;
class TScrollBox;
class TQCLBitmapList;
class TQCLFMDrop;

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
inline const char* const VaultsKeyFailed =
    "There was a problem saving your settings.  You may not be able to open your vault, unless you backed it up.  "
    "Would you like to exit anyway?";
inline const char* const TutorialTitle = "Brimsafe Tutorial";
inline const char* const HelpFile = "C:\\QZ\\Corvanta Pro\\CorvantaHelp\\BRIMSAFEHELP.HLP";
}  // namespace mainwin

// The keys the main window turns into commands while unlocked.
enum class MainShortcut {
    None,            // not a shortcut: the key goes on
    NewEntry,        // Insert, Ctrl+N
    EditEntry,       // Enter (consumed; edits only when the record list has the focus)
    CategoryUp,      // Ctrl+Up
    CategoryDown,    // Ctrl+Down
    EditCategories,  // Ctrl+E
    Search,          // Ctrl+F
    QuickLock,       // Ctrl+L
    ToggleLog,       // Ctrl+Shift+L
    Exit,            // Ctrl+Q, Alt+F4
    Save,            // Ctrl+S
    Tools,           // Ctrl+T
    SwitchVault,     // Ctrl+W
    Consume,         // any other key with Ctrl: swallowed, unless an edit or memo has the focus
};
// inEdit: an edit or memo has the focus, whose own editing keys go on to it.
MainShortcut mainShortcut(WORD key, TShiftState shift, bool inEdit = false);

class TFormMain : public TForm, public VaultPrompts, public FileJobHost {
public:
    // The program's main window: the program's dialogs, its own file view, the process's command line.
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
    // The title bar's close button and the Exit button: the exit sequence.
    void KTransButton3MouseRelease(TObject* Sender);
    void xpButton3Click(TObject* Sender);
    // The Save button: saveVault; a failed write has told the user why and leaves Modified set.
    void KTransSaveButtonMouseRelease(TObject* Sender);
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
    void ComboBox1KeyPress(TObject* Sender, char& Key);
    void QCLListBox2Click(TObject* Sender);
    void QCLListBox2DblClick(TObject* Sender);
    void QCLListBox2HeaderSectionClick(THeaderControl* HeaderControl, THeaderSection* Section);
    void QCLListBox2HeaderSectionResize(THeaderControl* HeaderControl, THeaderSection* Section);
    void QCLListBox2Resize(TObject* Sender);
    void paintHeaderRest(HDC dc);
    void QCLListBox2DrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State);
    void QCLListBox2HeaderSectionTrack(THeaderControl* HeaderControl, THeaderSection* Section, int Width,
                                       TSectionTrackState State);
    void QCLListBox2HeaderDrawSection(THeaderControl* HeaderControl, THeaderSection* Section, const TRect& Rect,
                                      bool Pressed);
    void CompChange(TObject* Sender);
    void CompMouseRelease(TObject* Sender);
    // The web-site label: underlined under the mouse, opened with the shell's "open" verb.
    void Label4MouseEnter(TObject* Sender);
    void Label4MouseLeave(TObject* Sender);
    void Label4Click(TObject* Sender);
    // Stands in for the shell's "open" of the web-site label (tests never start a browser).
    std::function<void(const std::string&)> OpenWebSite;
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
    // Helpers of the records side.
    void loadEditorRows(int line);
    void selectOnly(int line);
    // Scrolls the record list so that the line is in view.
    void showLine(int line);
    void deleteSelectedLines();
    void setPasswordsHidden(bool hide);
    int listWidthFor(int right);
    void showFileButtons(bool show);
    // Frees the editor rows (and their controls) before the form frees the panels they stand on.
    struct EditorChainDeleter {
        void operator()(componentList* head) const;
    };
    std::unique_ptr<componentList, EditorChainDeleter> EditorListOwner;

    // ---- the "Encrypted Files" side (QZ_Frm_Main_Files.cpp) ----
    // Makes the file tree and the file panels in the layout's left panel and editor area; called once
    // by the layout after buildRecordsSide.
    void buildFilesSide();
    // Rebuilds the tree from the open vault's rows (a vault opened or restored, Refresh).
    void buildFileTree();
    // The handlers of the file side, handed to the view.
    void QCLFMDrop1FMDragDrop(TObject* Sender, int fcount, int x, int y, TStringList* FileList);
    void KTransNewFileButtonMouseRelease(TObject* Sender);
    void KTransRemoveFileButtonMouseRelease(TObject* Sender);
    void xpEncryptButtonClick(TObject* Sender);
    void xpDecryptButtonClick(TObject* Sender);
    void xpRefreshButtonClick(TObject* Sender);
    void ClrTreeView1Change(TObject* Sender, TTreeNode* Node);
    void xpOpenFileButtonClick(TObject* Sender);
    // The file side as the commands reach it in the program (tests may hand in their own).
    FilesSide& filesSide() { return filesSide_; }
    TScrollBox* ScrollBox2 = nullptr;  // the tree and its buttons, where the record list stands
    TPanel* PanelFiles = nullptr;      // the file panels, where the editor rows stand
    std::unique_ptr<EncryptedFilesView> FilesView;

private:
    friend class FilesSide;
    FilesSide filesSide_{*this};
    TWndMethod recordListProc_;
    TWndMethod headerProc_;  // the record list header's own window procedure

public:

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

    // ---- the frame (QZ_Frm_Main_Frame.cpp) ----
    void KTransMaxButtonMouseRelease(TObject* Sender);
    void KTransButton5MouseRelease(TObject* Sender);
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void setWindowRegion(int width, int height);
    // The empty-category help texts (Panel5's labels) wrap within a panel that wide.
    void fitHelpLabels(int panelWidth);
    void SplitterMainCanResize(TObject* Sender, int& NewSize, bool& Accept);
    void SplitterMainPaint(TObject* Sender);
    // Where the splitter's picture goes on a client area of the given size (halves truncated).
    static TPoint splitterPicturePosition(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);
    // The left panel's width the splitter may give for a proposed one (editorWidth: Panel1's now).
    static int limitSplitterSize(int proposed, int current, int editorWidth);
    // The work area the maximised window fills; tests make it fail.
    std::function<bool(RECT&)> WorkAreaQueryForTesting;

    // ---- shortcuts, idle lock, Unlock (QZ_Frm_Main_Keys.cpp) ----
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    void FormKeyUp2(TObject* Sender, WORD& Key, TShiftState Shift);
    void Timer1Timer(TObject* Sender);
    void quickLock();
    void xpLockButtonClick(TObject* Sender);
    void xpUnlockButtonClick(TObject* Sender);
    void KTransToolsButtonMouseRelease(TObject* Sender);
    bool locked() const;
    // The cursor position the idle check reads; tests hand in a still or moving one.
    std::function<POINT()> CursorPositionForTesting;

    // Fields of the start-up.
    std::string InstallLocation;
    char WindowStateFlag = 'v';
    int OldTop = 50, OldLeft = 20, OldWidth = 757, OldHeight = 500, OldSplitter = 445;
    int SplitterLeft = 445;
    bool DraggingTitle = false, DraggingTL = false, DraggingTR = false, DraggingBL = false, DraggingBR = false;
    bool DraggingLeft = false, DraggingRight = false, DraggingTop = false, DraggingBottom = false;
    int IdleTicks = 0;

    // ---- the layout (MainWindowLayout.cpp) ----
    // Title bar and frame.
    TImagePanel* ImagePanelTitleBar = nullptr;
    TImage* Image1 = nullptr;  // title bar's left end
    TImage* Image3 = nullptr;  // title bar's right end
    TTranImage* ImageInfo = nullptr;
    TQCLSimpleLabel* MessageTitle = nullptr;  // bold white, sunken 3D in black, like every skinned title
    TImage *ImageTL = nullptr, *ImageTR = nullptr, *ImageBL = nullptr, *ImageBR = nullptr;
    TImage *ImagePanelLeftSide = nullptr, *ImagePanelRightSide = nullptr, *ImagePanelBottomSide = nullptr;
    TShape *ShapeTop = nullptr, *ShapeBottom = nullptr, *ShapeLeft = nullptr, *ShapeRight = nullptr;
    TImage* ImageResizeTab = nullptr;
    KTransButton *KTransButton5 = nullptr, *KTransMaxButton = nullptr, *KTransRestoreButton = nullptr;
    KTransButton* KTransButton3 = nullptr;  // close
    // The body: command strip, left panel, splitter, editor panel, status strip.
    TPanel* Panel3 = nullptr;
    TPanel* PanelCommands = nullptr;
    KTransButton *KTransNewButton = nullptr, *KTransDeleteButton = nullptr, *KTransSearchButton = nullptr;
    KTransButton *KTransToolsButton = nullptr, *KTransHelpButton = nullptr, *KTransSaveButton = nullptr;
    // The Encrypted Files side shows these two and wires their OnMouseRelease in buildFilesSide.
    KTransButton *KTransNewFileButton = nullptr, *KTransRemoveFileButton = nullptr;
    TTranImage *TranImageNewInactive = nullptr, *TranImageDeleteInactive = nullptr;
    TLabel *LabelNew = nullptr, *LabelDelete = nullptr, *LabelSearch = nullptr, *LabelTools = nullptr;
    TLabel *LabelHelp = nullptr, *LabelNewFile = nullptr, *LabelRemoveFile = nullptr, *LabelSave = nullptr;
    TxpButton *xpLockButton = nullptr, *xpCloseButton = nullptr, *xpButton3 = nullptr;  // xpButton3: Exit
    TPanel* Panel2 = nullptr;
    TSplitter* SplitterMain = nullptr;
    TImage* ImageSplitter = nullptr;
    TScrollBox* ScrollBoxInfoPanel = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* PanelStatus = nullptr;
    TLabel* Label4 = nullptr;
    // The lock panel.
    TPanel* Panel8 = nullptr;
    TImage* ImagePadlock = nullptr;
    TLabel *LabelLocked = nullptr, *LabelLockedHint = nullptr;
    TxpButton* xpUnlockButton = nullptr;
    TTimer* Timer1 = nullptr;
    // The main window's 19 button pictures (copy, empty value, file buttons), for both sides.
    TQCLBitmapList* QCLBitmapList1 = nullptr;
    // Files dropped on the window; the Encrypted Files side sets OnFilesDropped in buildFilesSide. It
    // gets the names in order and fcount, the number of names dropped (names too long to be paths
    // are counted but not listed). A drop while a dialog, a file job or a command runs waits for it.
    TQCLFMDrop* QCLFMDrop1 = nullptr;
    std::function<void(const std::vector<std::string>& names, int fcount)> OnFilesDropped;
    // Looks for the end of what made a command wait (a dialog need not disable this window).
    TTimer* WaitingTimer = nullptr;
    std::unique_ptr<ZM_ResizeRect> ResizeRect;

protected:
    void Dispatch(TMessage& Message) override;

private:
    void buildForm(const std::string& commandLine);
    void buildLayout();
    void buildFrame();
    void buildCommands();
    void buildBody();
    void buildLockPanel();
    void wireGrip(TControl* grip, bool& flag, BYTE edgeCode);
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void applicationHook(TMessage& Message, bool& Handled);
    void titleDoubleClick(TObject* Sender);
    void setUnlocked();
    void filesDropped(TObject* Sender, int fcount, int x, int y, TStringList* FileList);

    int question(const std::string& text, int buttons = mbsYesNo, int icon = mbiQuestion);
    void publishVault();
    void writeSettings();
    bool emptyClipboard();
    bool switchVault();  // false when the user declined
    void restoreFromBackup();
    void endRun();
    void sessionEnding();

    bool busy();
    // A minimised program restored, the main window in front; nothing otherwise.
    void bringBack();
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
    // A command or a drop that arrived while something else ran.
    struct WaitingWork {
        WaitingWork() = default;
        WaitingWork(const CopyDataRequest& command) : request(command) {}  // NOLINT: a command is work
        bool isDrop = false;
        CopyDataRequest request;
        std::vector<std::string> names;
        int fcount = 0;
    };
    std::deque<WaitingWork> waiting_;
    void runDrop(const std::vector<std::string>& names, int fcount);
    bool hooked_ = false;
    POINT lastCursor_{0, 0};
};

// Posted to the main window to run the commands that waited.
constexpr UINT WM_RUNWAITINGCOMMANDS = WM_APP + 0x51;
