// The "Encrypted Files" view: its controls, the buttons under the tree, drops, Add File,
// Remove File and running a listed file.
#include "fileenc/EncryptedFilesView.h"

#include "base/Notice.h"
#include "base/ProductNames.h"
#include "dialogs/TipSettings.h"
#include "fileenc/EncryptedFile.h"
#include "skin/ClrTreeView.h"
#include "skin/xpButton.h"
#include "vault/category.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fileview {

const char* const RootText = "Encrypted File List";
const char* const FileAlreadyListed = "The file \"%s\" is already in your vault.";
const char* const FolderAlreadyListed = "The folder \"%s\" is already in your vault.";
const char* const WithinFolder =
    " is within the directory you are adding and is already in the vault.  It must be removed from your vault "
    "before you can perform this operation.";
const char* const SubItemNotice =
    "This file is a subitem of a folder that has been marked as an Encypted Folder.  Any changes you make to the "
    "actual folder will automatically be reflected in the list.  If you want to remove a file or folder from an "
    "Encrypted Folder, you will need to remove the Encrypted Folder itself.";
const char* const NoFileToEncrypt =
    "You must first select a file to encrypt.  If you would like to add a file to the vault, you may drag it onto "
    "Brimsafe, or press the Add File button";
const char* const NoFileToDecrypt =
    "You must first select a file to decrypt.  If you would like to add a file to the vault, you may drag it onto "
    "Brimsafe, or press the Add File button";
const char* const FolderAllEncrypted = "All files in this directory are already encrypted.";
const char* const FolderAllDecrypted = "All files in this directory are already decrypted.";
const char* const RunDecrypts =
    "The file will be decrypted in order to run it.  Be sure to encrypt it again when you are done!";
const char* const NoAssociation =
    "Windows has no program associated with this file type.  You will need to open the file by running the program "
    "that created it.";
const char* const OpenFailed =
    "Your file has failed to open.  You will need to open the file by running the program that created it.";
const char* const LeftDecrypted =
    "Your file could not be encrypted again.  It is not encrypted, and stays decrypted at \"%s\".";
const char* const FileDoesNotExist = "The file you have selected does not exist on your computer.";
const char* const OpenDialogFilter =
    "(*.*) All Files|*.*|(*.doc) Word Documents|*.doc|(*.wpd) Word Perfect Documents|*.wpd|(*.xls) Excel "
    "Spreadsheets|*.xls|(*.txt) Text Documents|*.txt";

bool folderHolds(const std::string& folder, const std::string& path) {
    std::string prefix = folder;
    if (prefix.empty()) return false;
    if (prefix.back() != '\\') prefix += '\\';
    return path.size() > prefix.size() && compareTextNoCase(path.substr(0, prefix.size()), prefix) == 0;
}

std::string fill(const std::string& pattern, const std::string& value) {
    std::string text = pattern;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}

std::string droppedFileName(const std::string& dropped) { return StripExtension(dropped).value_or(dropped); }

}  // namespace fileview

namespace {

// The user's Documents folder, empty when the system cannot say.
std::string documentsFolder() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
    return folder;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int dataOf(TTreeNode* node) { return static_cast<int>(reinterpret_cast<std::intptr_t>(node->GetData())); }

// The pictures of the tree, drawn here: plain page, folder, page with a lock, safe.
void drawPicture(TCanvas* c, int index) {
    c->Brush->Color = clFuchsia;
    c->FillRect(Rect(0, 0, 16, 16));
    c->Pen->Color = RGB(64, 64, 64);
    switch (index) {
    case fileview::imgPlainFile:
    case fileview::imgEncryptedFile:
        c->Brush->Color = clWhite;
        c->Rectangle(3, 1, 13, 15);
        c->Pen->Color = RGB(150, 150, 150);
        for (int y = 4; y < 12; y += 2) {
            c->MoveTo(5, y);
            c->LineTo(11, y);
        }
        if (index == fileview::imgEncryptedFile) {
            c->Pen->Color = RGB(120, 90, 0);
            c->Brush->Color = RGB(230, 180, 40);
            c->Rectangle(7, 9, 15, 15);
            c->Brush->Style = bsClear;
            c->Ellipse(8, 5, 14, 12);
            c->Brush->Style = bsSolid;
            c->Brush->Color = RGB(230, 180, 40);
            c->Rectangle(7, 9, 15, 15);
        }
        break;
    case fileview::imgFolder:
        c->Brush->Color = RGB(240, 200, 80);
        c->Pen->Color = RGB(150, 110, 20);
        c->Rectangle(1, 3, 7, 6);
        c->Rectangle(1, 5, 15, 14);
        break;
    default:
        c->Brush->Color = RGB(90, 110, 150);
        c->Pen->Color = RGB(40, 50, 80);
        c->Rectangle(1, 2, 15, 15);
        c->Brush->Color = RGB(200, 205, 215);
        c->Ellipse(5, 5, 11, 11);
        c->Pen->Color = RGB(40, 50, 80);
        c->MoveTo(8, 5);
        c->LineTo(8, 11);
        break;
    }
}

}  // namespace

EncryptedFilesView::EncryptedFilesView(TForm* owner, TWinControl* treeParent, TWinControl* panelParent,
                                       EncryptedFilesHost& host, FileJobHost& jobHost, FileJobChecks& checks)
    : owner_(owner), host_(host), jobHost_(jobHost), checks_(checks) {
    buildControls(treeParent, panelParent);
}

EncryptedFilesView::~EncryptedFilesView() {
    // The owner frees the controls after this view: the tree's last selection change must not reach it.
    if (ClrTreeView1) ClrTreeView1->OnChange = TTVChangedEvent();
    for (TxpButton* button : {xpEncryptButton, xpDecryptButton, xpRefreshButton, xpOpenFileButton})
        if (button) button->OnClick = TNotifyEvent();
}

void EncryptedFilesView::makeImages() {
    ImageList1 = new TImageList(owner_, 16, 16);
    for (int index = 0; index < 4; ++index) {
        TBitmap picture;
        picture.SetSize(16, 16);
        drawPicture(picture.Canvas, index);
        ImageList1->AddMasked(&picture, clFuchsia);
    }
}

TPanel* EncryptedFilesView::makeMessagePanel(TWinControl* parent, const char* heading, const char* text) {
    auto* panel = new TPanel(owner_);
    panel->Parent = parent;
    panel->BevelOuter = bvNone;
    panel->Color = clWhite;
    panel->Caption = "";
    panel->Visible = false;
    auto* title = new TLabel(owner_);
    title->Parent = panel;
    title->Font->Height = -16;
    title->Font->Style = TFontStyles{fsBold};
    title->SetBounds(8, 8, 300, 22);
    title->Caption = heading;
    if (text) {
        auto* body = new TLabel(owner_);
        body->Parent = panel;
        body->SetAutoSize(false);
        body->WordWrap = true;
        body->SetBounds(8, 36, 280, 60);
        body->Caption = text;
    }
    return panel;
}

void EncryptedFilesView::buildControls(TWinControl* treeParent, TWinControl* panelParent) {
    makeImages();
    ClrTreeView1 = new TClrTreeView(owner_);
    ClrTreeView1->Parent = treeParent;
    ClrTreeView1->ReadOnly = true;
    ClrTreeView1->HideSelection = false;
    ClrTreeView1->Images = ImageList1;
    ClrTreeView1->HighlightColor = RGB(0, 0, 160);
    ClrTreeView1->OnChange = TTVChangedEvent(this, &EncryptedFilesView::ClrTreeView1Change);

    auto button = [&](TWinControl* parent, const char* caption, void (EncryptedFilesView::*handler)(TObject*)) {
        auto* b = new TxpButton(owner_);
        b->Parent = parent;
        b->Caption = caption;
        b->OnClick = TNotifyEvent(this, handler);
        return b;
    };
    xpEncryptButton = button(treeParent, "Encrypt", &EncryptedFilesView::xpEncryptButtonClick);
    xpDecryptButton = button(treeParent, "Decrypt", &EncryptedFilesView::xpDecryptButtonClick);
    xpRefreshButton = button(treeParent, "Refresh", &EncryptedFilesView::xpRefreshButtonClick);

    Panel7 = new TPanel(owner_);
    Panel7->Parent = panelParent;
    Panel7->BevelOuter = bvNone;
    Panel7->Color = clWhite;
    Panel7->Caption = "";
    Panel7->Visible = false;
    auto heading = [&](const char* caption) {
        auto* label = new TLabel(owner_);
        label->Parent = Panel7;
        label->Font->Style = TFontStyles{fsBold};
        label->Caption = caption;
        return label;
    };
    Label23 = heading("File Location");
    Label16 = new TLabel(owner_);
    Label16->Parent = Panel7;
    Label16->SetAutoSize(false);
    xpOpenFileButton = button(Panel7, "Open File", &EncryptedFilesView::xpOpenFileButtonClick);
    Label24 = heading("File Properties");
    Memo1 = new TMemo(owner_);
    Memo1->Parent = Panel7;
    Memo1->ReadOnly = true;
    Memo1->WordWrap = false;
    Memo1->BorderStyle = bsNone;
    Memo1->Color = clWhite;

    Panel9 = makeMessagePanel(panelParent, "No Files In Vault",
                              "Drag files or folders onto Brimsafe, or press the Add File button, to encrypt them "
                              "and list them here.");
    Panel10 = makeMessagePanel(panelParent, "No File Selected",
                               "Select a file or folder in the list to see its properties.");
    PanelFileMissing = makeMessagePanel(panelParent, "File Missing", nullptr);
    auto* missingText = new TLabel(owner_);
    missingText->Parent = PanelFileMissing;
    missingText->SetAutoSize(false);
    missingText->WordWrap = true;
    missingText->SetBounds(8, 36, 280, 34);
    missingText->Caption = "The file below cannot be found.  It may have been moved, renamed or deleted:";
    Label28 = new TLabel(owner_);
    Label28->Parent = PanelFileMissing;
    Label28->SetAutoSize(false);
    Label28->SetBounds(8, 76, 280, 16);

    OpenDialog1 = new TOpenDialog(owner_);
    OpenDialog1->Filter = fileview::OpenDialogFilter;
    OpenDialog1->Options = TOpenOptions{ofHideReadOnly, ofAllowMultiSelect, ofFileMustExist, ofNoChangeDir,
                                        ofEnableSizing};

    layoutTree();
    layoutPanels();
}

void EncryptedFilesView::layoutTree() {
    TWinControl* parent = ClrTreeView1->Parent;
    const int width = parent->ClientWidth, height = parent->ClientHeight;
    const int buttonsTop = std::max(0, height - 30);
    ClrTreeView1->SetBounds(0, 0, width, std::max(0, buttonsTop - 4));
    const int buttonWidth = 75;
    xpEncryptButton->SetBounds(4, buttonsTop, buttonWidth, 24);
    xpDecryptButton->SetBounds(8 + buttonWidth, buttonsTop, buttonWidth, 24);
    xpRefreshButton->SetBounds(std::max(0, width - buttonWidth - 4), buttonsTop, buttonWidth, 24);
}

int EncryptedFilesView::labelLineHeight(TLabel* label) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, label->Font->GetHandle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

void EncryptedFilesView::layoutPanels() {
    TWinControl* parent = Panel7->Parent;
    const int width = parent->ClientWidth, height = parent->ClientHeight;
    for (TPanel* panel : {Panel7, Panel9, Panel10, PanelFileMissing}) panel->SetBounds(0, 0, width, height);
    const int inner = std::max(16, width - 16);
    Label23->SetBounds(8, 8, inner, labelLineHeight(Label23));
    std::string location = Label16->Caption;
    int lines = 1;
    for (std::size_t at = location.find("\r\n"); at != std::string::npos; at = location.find("\r\n", at + 2)) ++lines;
    Label16->SetBounds(8, Label23->Top + Label23->Height + 4, inner, lines * labelLineHeight(Label16));
    xpOpenFileButton->SetBounds(8, Label16->Top + Label16->Height + 8, 100, 24);
    Label24->SetBounds(8, xpOpenFileButton->Top + xpOpenFileButton->Height + 16, inner, labelLineHeight(Label24));
    const int memoTop = Label24->Top + Label24->Height + 4;
    // The memo stands left by its inner margin, so that its names start where the headings start.
    const int textInset = LOWORD(SendMessageA(Memo1->GetHandle(), EM_GETMARGINS, 0, 0));
    Memo1->SetBounds(8 - textInset, memoTop, inner + textInset, std::max(20, height - memoTop - 8));
    Label28->Width = std::max(16, PanelFileMissing->Width - 16);
}

void EncryptedFilesView::showPanels() {
    category* files = host_.filesCategory();
    Panel9->Visible = false;
    Panel10->Visible = false;
    if (!files || files->rowCount() == 0) {
        Panel7->Visible = false;
        PanelFileMissing->Visible = false;
        Panel9->Visible = true;
        Panel9->BringToFront();
        return;
    }
    if (ClrTreeView1->SelectionCount > 0) {
        ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
    } else {
        Panel7->Visible = false;
        PanelFileMissing->Visible = false;
        Panel10->Visible = true;
        Panel10->BringToFront();
    }
}

void EncryptedFilesView::hidePanels() {
    for (TPanel* panel : {Panel7, Panel9, Panel10, PanelFileMissing}) panel->Visible = false;
}

void EncryptedFilesView::notice(const std::string& text) {
    ShowNotice(jobHost_.messageOwner(), text, product::Title, mbsOk, mbiInformation);
}

std::vector<TTreeNode*> EncryptedFilesView::selectedNodes() const {
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < ClrTreeView1->SelectionCount; ++i) nodes.push_back(ClrTreeView1->Selections[i]);
    return nodes;
}

// ---- drops ----

void EncryptedFilesView::dropFolder(const std::string& path, bool& askReadOnly, bool& askSystem,
                                    bool& notifyEncrypted, bool& askOverwrite) {
    for (TTreeNode* node = rootNode(); node; node = node->GetNext()) {
        if (isRoot(node)) continue;
        const std::string listed = isRoot(node->Parent) ? factsOf(node).path : nodePath(node);
        if (listed.empty()) continue;
        if (listed == path) {
            notice(fileview::fill(fileview::FolderAlreadyListed, FileJobChecks::namePart(path)));
            return;
        }
        if (fileview::folderHolds(path, listed)) {
            notice("\"" + FileJobChecks::namePart(listed) + "\"" + fileview::WithinFolder);
            return;
        }
    }
    category* files = host_.filesCategory();
    if (!files) return;
    if (files->insertRow({path}) == -1) {
        insertFolderNode(path, rootNode(), askReadOnly, askSystem, notifyEncrypted, askOverwrite, true,
                         files->findRowId({path}));
    } else {
        notice(fileview::fill(fileview::FolderAlreadyListed, FileJobChecks::namePart(path)));
    }
}

bool EncryptedFilesView::dropFile(const std::string& dropped, bool singleFile, bool& askReadOnly, bool& askSystem,
                                  bool& notifyEncrypted, bool& askOverwrite, bool& stop) {
    const std::string name = fileview::droppedFileName(dropped);
    for (TTreeNode* node = rootNode(); node; node = node->GetNext()) {
        if (isRoot(node)) continue;
        const std::string listed = isRoot(node->Parent) ? factsOf(node).path : nodePath(node);
        if (listed == name) {
            notice(fileview::fill(fileview::FileAlreadyListed, FileJobChecks::namePart(name)));
            return false;
        }
    }
    if (!IsEncrypted(name)) {
        const FileStep step = checks_.encryptFile(name, singleFile, askReadOnly, askSystem, notifyEncrypted,
                                                  askOverwrite);
        if (step == fsStopBatch) {
            stop = true;
            return false;
        }
        return step == fsDone && addFileRow(name, true, true) == 0;
    }
    const std::string encrypted = name + encfile::Extension;
    unsigned char ours[16] = {}, theirs[16] = {};
    jobHost_.readVaultID(ours);
    ReadVaultID(encrypted, theirs);
    if (std::memcmp(ours, theirs, 16) != 0) {
        if (std::optional<std::string> vault = ReadVaultName(encrypted)) {
            notice("The file " + FileJobChecks::namePart(name) + " was encrypted with the vault \"" + *vault +
                   "\" and cannot be added to this one.");
        } else {
            notice("The file " + FileJobChecks::namePart(name) +
                   " was encrypted with a different vault and cannot be added to this one.");
        }
        return false;
    }
    return addFileRow(name, true, false) == 0;
}

void EncryptedFilesView::QCLFMDrop1FMDragDrop(TObject*, int fcount, int, int, TStringList* FileList) {
    std::vector<std::string> names;
    for (int i = 0; i < FileList->Count; ++i) names.push_back(FileList->Strings[i]);
    dropFiles(names, fcount);
}

void EncryptedFilesView::dropFiles(const std::vector<std::string>& names, int fcount) {
    forgetNodeFacts();
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    bool tipDue = false;
    for (const std::string& dropped : names) {
        host_.showFilesCategory();
        if (isFolder(dropped)) {
            dropFolder(dropped, askReadOnly, askSystem, notifyEncrypted, askOverwrite);
            continue;
        }
        bool stop = false;
        if (dropFile(dropped, fcount == 1, askReadOnly, askSystem, notifyEncrypted, askOverwrite, stop)) tipDue = true;
        if (stop) break;
    }
    host_.saveVault();
    if (tipDue) host_.tip(tips::FilesDropped.id, tips::FilesDropped.text);
    showPanels();
}

void EncryptedFilesView::addFolder(const std::string& path) {
    forgetNodeFacts();
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    dropFolder(path, askReadOnly, askSystem, notifyEncrypted, askOverwrite);
}

// ---- Add File ----

void EncryptedFilesView::KTransNewFileButtonMouseRelease(TObject*) {
    host_.tip(tips::DragAndDrop.id, tips::DragAndDrop.text);
    // The user's own files, never the program's folder (the process's current one).
    OpenDialog1->InitialDir = documentsFolder().c_str();
    if (!OpenDialog1->Execute()) return;
    forgetNodeFacts();
    bool tipDue = true;
    std::vector<std::string> chosen;
    for (int i = 0; i < OpenDialog1->Files->Count; ++i) chosen.push_back(OpenDialog1->Files->Strings[i]);
    for (const std::string& path : chosen) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            category* files = host_.filesCategory();
            if (files && files->insertRow({path}) == -1) {
                // One flag stands for all four questions: "Yes to All" on one answers them all.
                bool all = true;
                insertFolderNode(path, rootNode(), all, all, all, all, true, files->findRowId({path}));
            }
        } else if (IsEncrypted(path)) {
            unsigned char ours[16] = {}, theirs[16] = {};
            jobHost_.readVaultID(ours);
            ReadVaultID(path, theirs);
            if (std::memcmp(ours, theirs, 16) != 0) {
                if (std::optional<std::string> vault = ReadVaultName(path)) {
                    notice("The file " + path + " was encrypted with the vault " + *vault +
                           ", and cannot be added to this one.");
                } else {
                    notice("The file " + path + " was encrypted with a different vault, and cannot be added to this one.");
                }
                tipDue = false;
            } else {
                const std::string plain = StripExtension(path).value_or(path.substr(0, path.size() - 7));
                addFileRow(plain, true, true);
            }
        } else if (checks_.encryptSingleFile(path) != fsDone) {
            tipDue = false;
        } else {
            addFileRow(path, true, true);
        }
    }
    host_.saveVault();
    if (tipDue) host_.tip(tips::FileAdded.id, tips::FileAdded.text);
    showPanels();
}

// ---- Remove File ----

void EncryptedFilesView::KTransRemoveFileButtonMouseRelease(TObject*) { removeSelected(); }

void EncryptedFilesView::removeSelected() {
    std::vector<TTreeNode*> selected = selectedNodes();
    if (selected.empty() || (selected.size() == 1 && isRoot(selected.front()))) return;
    host_.tip(tips::FileRemoved.id, tips::FileRemoved.text);
    category* files = host_.filesCategory();
    if (!files) return;
    bool subItemTold = false;
    std::vector<std::pair<int, TTreeNode*>> removed;
    for (TTreeNode* node : selected) {
        if (isRoot(node)) continue;
        const int id = dataOf(node);
        if (id == fileview::SubItem) {
            if (!subItemTold) notice(fileview::SubItemNotice);
            subItemTold = true;
            continue;
        }
        const std::string path = files->itemTextById(id, 0);
        if (node->HasChildren || node->ImageIndex == fileview::imgFolder) {
            decryptFolder(path);
        } else if (IsEncrypted(path)) {
            if (checks_.decryptSingleFile(path) == fsStopBatch) break;
        }
        removed.emplace_back(id, node);
    }
    std::sort(removed.begin(), removed.end(),
              [](const std::pair<int, TTreeNode*>& a, const std::pair<int, TTreeNode*>& b) { return a.first < b.first; });
    for (const auto& entry : removed) {
        files->deleteRowById(entry.first);
        facts_.erase(entry.second);
        entry.second->Delete();
    }
    host_.saveVault();
    showPanels();
}

// ---- Encrypt, Decrypt ----

void EncryptedFilesView::xpEncryptButtonClick(TObject*) {
    const std::vector<TTreeNode*> selected = selectedNodes();
    if (selected.empty()) {
        notice(fileview::NoFileToEncrypt);
        return;
    }
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    bool folderMet = false;
    for (TTreeNode* node : selected) {
        if (isRoot(node)) continue;  // the root stands for no file
        const std::string path = nodePath(node);
        if (path.empty()) continue;
        if (isFolder(path)) {
            folderMet = true;
            if (selected.size() != 1) continue;
            if (!encryptFolder(path, askOverwrite, askReadOnly, askSystem, notifyEncrypted))
                notice(fileview::FolderAllEncrypted);
            continue;
        }
        if (IsEncrypted(path)) continue;
        if (checks_.encryptFile(path, selected.size() == 1, askReadOnly, askSystem, notifyEncrypted, askOverwrite) ==
            fsStopBatch)
            break;
    }
    updateTreeImages(folderMet);
    ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
}

void EncryptedFilesView::xpDecryptButtonClick(TObject*) {
    const std::vector<TTreeNode*> selected = selectedNodes();
    if (selected.empty()) {
        notice(fileview::NoFileToDecrypt);
        return;
    }
    bool notifyDecrypted = true, askOverwrite = true;
    bool folderMet = false;
    for (TTreeNode* node : selected) {
        if (isRoot(node)) continue;
        const std::string path = nodePath(node);
        if (path.empty()) continue;
        if (isFolder(path)) {
            folderMet = true;
            if (!decryptFolder(path) && selected.size() == 1) notice(fileview::FolderAllDecrypted);
            continue;
        }
        if (!IsEncrypted(path)) continue;
        const FileStep step = checks_.decryptFile(path, selected.size() == 1, notifyDecrypted, askOverwrite);
        if (step == fsStopBatch) break;
        if (step == fsDone) {
            ClrTreeView1->SetColored(node, false);
            node->ImageIndex = fileview::imgPlainFile;
            node->SelectedIndex = fileview::imgPlainFile;
        }
    }
    updateTreeImages(folderMet);
    ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
}

// ---- running a file ----

int EncryptedFilesView::runFile(const std::string& path, bool decryptedForRun) {
    if (path.empty()) return 0;  // the root, or a node without a row
    if (!isFolder(path) && IsEncrypted(path)) {
        notice(fileview::RunDecrypts);
        if (checks_.decryptSingleFile(path) != fsDone) return 1;
        decryptedForRun = true;
        updateTreeImages(false);
        ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
    }
    SHELLEXECUTEINFOA run{};
    run.cbSize = sizeof run;
    // The user is told below when nothing opens it; no system dialog on top of that.
    run.fMask = SEE_MASK_FLAG_NO_UI;
    run.hwnd = owner_ && owner_->HandleAllocated() ? owner_->GetHandle() : nullptr;
    run.lpFile = path.c_str();
    run.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&run);
    const auto code = reinterpret_cast<std::intptr_t>(run.hInstApp);
    if (code > 32) return 0;
    notice(code == SE_ERR_NOASSOC ? fileview::NoAssociation : fileview::OpenFailed);
    if (decryptedForRun) encryptUnopened(path);
    return 0;
}

void EncryptedFilesView::encryptUnopened(const std::string& path) {
    // The user chose to open the file, not to decrypt it: no question, no notice of success.
    bool askReadOnly = false, askSystem = false, notifyEncrypted = false, askOverwrite = false;
    if (checks_.encryptFile(path, true, askReadOnly, askSystem, notifyEncrypted, askOverwrite) != fsDone ||
        !IsEncrypted(path))
        notice(fileview::fill(fileview::LeftDecrypted, path));
    updateTreeImages(true);
    ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
}
