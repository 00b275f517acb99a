/*
 * The "Encrypted Files" view: the tree of the listed files and folders, the
 * properties panel beside it and the buttons that add, encrypt, decrypt, open
 * and remove files. The main window owns one, gives it the parents to build in
 * and its vault, and forwards its handlers here; a test form does the same with
 * a scripted host. Sources by concern:
 *   EncryptedFilesView.cpp  construction, the buttons, drops, Add and Remove File, runFile
 *   EncryptedFilesTree.cpp  building the tree from the rows, node placement, paths, folder jobs
 *   FileProperties.cpp      the properties panel, the missing-file panel, Open File
 *
 * Tricky points:
 * - A node's data is its row id (top level), -1 below a listed folder; the
 *   root carries nothing and has no path: every operation that takes a path
 *   from a node skips it instead of reading it as row 0.
 * - Placing a top-level node asks of each sibling whether its path is a folder
 *   on disk. Those answers (and the row paths) are taken once per operation
 *   (a build, a drop, an Add File) so that a vault of thousands of files opens
 *   in linear time.
 * - Folders are listed before any of their files is encrypted, so the ".vltenc"
 *   a job makes never shows up as a second node; reparse points (junctions,
 *   links) are shown but never entered, since a junction to a parent would
 *   recurse without end.
 * - A file decrypted only to be opened is encrypted again when nothing opens
 *   it: its plain copy is wiped as after any encryption, and the user is told
 *   where it stays should that fail.
 * - A dropped name loses only a trailing ".vltenc": "a.vltenc.d\x.txt" is
 *   x.txt, never "a". A folder is refused only when a listed path lies inside
 *   it (case-insensitive prefix with a trailing backslash).
 */
#pragma once

#include "fileenc/FileJobChecks.h"
#include "framework/Framework.h"

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class category;
class TClrTreeView;
class TxpButton;
class TStringList;

// What the view needs from the window that owns it.
class EncryptedFilesHost {
public:
    virtual ~EncryptedFilesHost() = default;
    // The open vault's "Encrypted Files" category; null while no vault is open.
    virtual category* filesCategory() = 0;
    virtual bool vaultModified() = 0;
    virtual void saveVault() = 0;
    // Shows the "Encrypted Files" category when another one is shown.
    virtual void showFilesCategory() = 0;
    // A tip with "Do not show me again": id is its bit of "dsa".
    virtual void tip(int id, const std::string& text) = 0;
};

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    DWORD attributes = 0;
};
using FolderLister = std::function<std::vector<FolderEntry>(const std::string& folder)>;
// Replaces how folders are listed (empty: the real listing), e.g. to mark an entry as a reparse point.
void SetFolderListerForTesting(FolderLister lister);
// The real listing of folder\*.* without "." and "..", in the order the disk gives.
std::vector<FolderEntry> listFolder(const std::string& folder);

namespace fileview {

// Texts the view shows.
extern const char* const RootText;            // "Encrypted File List"
extern const char* const FileAlreadyListed;   // "The file "%s" is already in your vault."
extern const char* const FolderAlreadyListed;
extern const char* const WithinFolder;
extern const char* const SubItemNotice;
extern const char* const NoFileToEncrypt;
extern const char* const NoFileToDecrypt;
extern const char* const FolderAllEncrypted;
extern const char* const FolderAllDecrypted;
extern const char* const RunDecrypts;
extern const char* const NoAssociation;
extern const char* const OpenFailed;
extern const char* const LeftDecrypted;
extern const char* const FileDoesNotExist;
extern const char* const OpenDialogFilter;

enum TreeImage { imgPlainFile = 0, imgFolder = 1, imgEncryptedFile = 2, imgRoot = 3 };
constexpr int SubItem = -1;  // the data of a node below a listed folder

// "1,234,567 Bytes"; a size of 0 reads "0".
std::string formatSize(unsigned long long size);
// "month/day/year h:mm AM|PM", 12-hour clock with hour 0 shown as 12.
std::string formatDate(const SYSTEMTIME& time);
// The path broken into lines (joined by "\r\n") that each fit width by measure: a line ends after
// the last backslash that keeps it within the width; a single component longer than a line is cut
// where the line is full.
std::string breakPath(const std::string& path, int width, const std::function<int(const std::string&)>& measure);
// The folder holds path (case-insensitive, whole components).
bool folderHolds(const std::string& folder, const std::string& path);
// The pattern with its "%s" replaced by value.
std::string fill(const std::string& pattern, const std::string& value);
// The name a dropped file is listed under: without a trailing ".vltenc" (any case).
std::string droppedFileName(const std::string& dropped);

}  // namespace fileview

class EncryptedFilesView {
public:
    // treeParent: the left panel's file area; panelParent: where the properties panels go.
    EncryptedFilesView(TForm* owner, TWinControl* treeParent, TWinControl* panelParent, EncryptedFilesHost& host,
                       FileJobHost& jobHost, FileJobChecks& checks);
    ~EncryptedFilesView();
    EncryptedFilesView(const EncryptedFilesView&) = delete;
    EncryptedFilesView& operator=(const EncryptedFilesView&) = delete;

    // ---- the tree ----
    void buildFileTree();
    // The full path of a node; "" for the root and for nodes without a row.
    std::string nodePath(TTreeNode* node);
    TTreeNode* findTreeNode(TTreeNode* from, int rowId);
    // The root "Encrypted File List"; made when the tree has none yet (a file listed before any build).
    TTreeNode* rootNode();
    void insertFileNode(const std::string& name, int rowId, bool exists, bool encrypted);
    // Flags: askReadOnly, askSystem, notifyEncrypted, askOverwrite of the batch.
    void insertFolderNode(const std::string& path, TTreeNode* parent, bool& askReadOnly, bool& askSystem,
                          bool& notifyEncrypted, bool& askOverwrite, bool encrypt, int data);
    // 0 added (or an equal row existed), 1 already in the tree.
    int addFileRow(const std::string& path, bool encrypted, bool notify);
    static bool fileOrEncryptedExists(const std::string& path);
    bool encryptFolder(const std::string& path, bool& askOverwrite, bool& askReadOnly, bool& askSystem,
                       bool& notifyEncrypted);
    bool decryptFolder(const std::string& path);
    void updateTreeImages(bool all);
    // 1 when a needed decryption failed, else 0. decryptedForRun: the caller decrypted the file only
    // to open it (as runFile does itself with an encrypted file), so an open that fails encrypts it again.
    int runFile(const std::string& path, bool decryptedForRun = false);
    // Lists a folder as a dropped one is listed (its plain files encrypted).
    void addFolder(const std::string& path);
    // Removes the selected nodes and their rows (the Delete button in this category).
    void removeSelected();
    // Selects the node of a row (a search hit).
    void selectRow(int rowId);

    // ---- handlers ----
    void QCLFMDrop1FMDragDrop(TObject* Sender, int fcount, int x, int y, TStringList* FileList);
    // The same for names a drop left waiting; fcount: how many names were dropped.
    void dropFiles(const std::vector<std::string>& names, int fcount);
    void KTransNewFileButtonMouseRelease(TObject* Sender);
    void KTransRemoveFileButtonMouseRelease(TObject* Sender);
    void xpEncryptButtonClick(TObject* Sender);
    void xpDecryptButtonClick(TObject* Sender);
    void xpRefreshButtonClick(TObject* Sender);
    void ClrTreeView1Change(TObject* Sender, TTreeNode* Node);
    void xpOpenFileButtonClick(TObject* Sender);

    // Shows the panel that fits the category's state (properties, "No Files", "No File Selected").
    void showPanels();
    void hidePanels();

    // ---- controls ----
    TClrTreeView* ClrTreeView1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TxpButton* xpEncryptButton = nullptr;
    TxpButton* xpDecryptButton = nullptr;
    TxpButton* xpRefreshButton = nullptr;
    TxpButton* xpOpenFileButton = nullptr;
    TPanel* Panel7 = nullptr;  // properties
    TLabel* Label23 = nullptr;  // location heading
    TLabel* Label24 = nullptr;  // properties heading
    TLabel* Label16 = nullptr;  // location
    TMemo* Memo1 = nullptr;
    TPanel* Panel9 = nullptr;   // "No Files In Vault"
    TPanel* Panel10 = nullptr;  // "No File Selected"
    TPanel* PanelFileMissing = nullptr;
    TLabel* Label28 = nullptr;  // the missing file's path
    TOpenDialog* OpenDialog1 = nullptr;

    // Lays the tree and its buttons out in the tree's parent (after the parent was resized).
    void layoutTree();
    void layoutPanels();

private:
    // After an open that failed: encrypts again the file decrypted only to be opened.
    void encryptUnopened(const std::string& path);
    void buildControls(TWinControl* treeParent, TWinControl* panelParent);
    void makeImages();
    TPanel* makeMessagePanel(TWinControl* parent, const char* heading, const char* text);
    void notice(const std::string& text);
    std::string rowPath(int rowId);
    bool isRoot(TTreeNode* node) const;
    // The tree's answers about top-level nodes, kept for one operation.
    struct NodeFacts {
        std::string path;
        bool folder = false;
    };
    const NodeFacts& factsOf(TTreeNode* node);
    void forgetNodeFacts() { facts_.clear(); }
    TTreeNode* addNode(TTreeNode* parent, TTreeNode* before, const std::string& text, int data, int image);
    std::vector<TTreeNode*> selectedNodes() const;
    void dropFolder(const std::string& path, bool& askReadOnly, bool& askSystem, bool& notifyEncrypted,
                    bool& askOverwrite);
    bool dropFile(const std::string& dropped, bool singleFile, bool& askReadOnly, bool& askSystem,
                  bool& notifyEncrypted, bool& askOverwrite, bool& stop);
    void showProperties(TTreeNode* node);
    void showMissing(const std::string& path);
    // shift: pixels added to the value column, as measured on the memo by alignMemoValues.
    void alignMemoColumns(int shift = 0);
    void alignMemoValues(const std::string& text);
    int labelTextWidth(TLabel* label, const std::string& text);
    int labelLineHeight(TLabel* label);

    TForm* owner_;
    EncryptedFilesHost& host_;
    FileJobHost& jobHost_;
    FileJobChecks& checks_;
    std::unordered_map<TTreeNode*, NodeFacts> facts_;
};
