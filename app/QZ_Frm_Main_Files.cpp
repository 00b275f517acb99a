// The main window's "Encrypted Files" side: the file view (fileenc/EncryptedFilesView.h) built in
// the layout's left panel and editor area, the window's handlers handed to it, and the work the
// commands, the start-up and the records side ask of it (app/MainWindowFilesSide.h).
//
// Tricky points:
// - The records side shows the record list for a user category and hides it for this one; the
//   file side follows the list's visibility, so every way of changing the category (the box,
//   search, the category dialog) shows the right side.
// - The file jobs' checks belong to the window (FileJobHost); the view only borrows them.
// - Delete (the button or the key) in this category reaches removeSelectedFiles through the
//   records side; Remove File does the same here.
#include "app/QZ_Frm_Main.h"

#include "components/controls/QCLListBox.h"
#include "fileenc/EncryptedFile.h"
#include "skin/KTransButton.h"

void FilesSide::showEncryptedFiles() {
    EncryptedFilesView* view = form_.FilesView.get();
    if (!view) return;
    VaultContent& content = form_.store().content();
    if (!content.encryptedFiles) return;
    if (content.current != content.encryptedFiles) {
        content.current = content.encryptedFiles;
        content.currCat = 1;
        form_.fillCategoryBox();
        form_.populateForm(false, false);  // comes back here with the category current
        if (!form_.PanelFiles->Visible) showEncryptedFiles();
        return;
    }
    form_.showFileButtons(true);
    form_.ScrollBox2->Visible = true;
    form_.ScrollBox2->BringToFront();
    form_.PanelFiles->Visible = true;
    form_.PanelFiles->BringToFront();
    view->showPanels();
}

void FilesSide::hideEncryptedFiles() {
    if (!form_.FilesView) return;
    form_.showFileButtons(false);
    form_.ScrollBox2->Visible = false;
    form_.PanelFiles->Visible = false;
    form_.FilesView->hidePanels();
}

int FilesSide::decryptSingleFile(const std::string& plainPath) { return form_.fileJobs().decryptSingleFile(plainPath); }

int FilesSide::encryptSingleFile(const std::string& path) { return form_.fileJobs().encryptSingleFile(path); }

void FilesSide::addFileRow(const std::string& path, bool withMessages) {
    if (form_.FilesView) form_.FilesView->addFileRow(path, IsEncrypted(path), withMessages);
}

void FilesSide::addFolder(const std::string& path) {
    if (form_.FilesView) form_.FilesView->addFolder(path);
}

void FilesSide::runFile(const std::string& path) {
    // Called only for a file the window has just decrypted to open it.
    if (form_.FilesView) form_.FilesView->runFile(path, true);
}

void FilesSide::updateTreeImages() {
    if (form_.FilesView) form_.FilesView->updateTreeImages(true);
}

void FilesSide::removeSelectedFiles() {
    if (form_.FilesView) form_.FilesView->removeSelected();
}

void FilesSide::selectFileRow(int rowId) {
    if (form_.FilesView) form_.FilesView->selectRow(rowId);
}

category* FilesSide::filesCategory() { return form_.store().content().encryptedFiles; }

bool FilesSide::vaultModified() { return form_.flows().Modified; }

void FilesSide::saveVault() { form_.flows().saveVault(); }

void FilesSide::showFilesCategory() { showEncryptedFiles(); }

void FilesSide::tip(int id, const std::string& text) { form_.dialogs_.tip(&form_, id, text); }

void TFormMain::buildFilesSide() {
    // The tree stands where the record list stands; its panels fill the editor area.
    TWinControl* left = Panel2 ? static_cast<TWinControl*>(Panel2) : this;
    ScrollBox2 = new TScrollBox(this);
    ScrollBox2->Parent = left;
    ScrollBox2->SetBorderStyle(bsNone);
    ScrollBox2->SetParentColor(true);
    ScrollBox2->SetBounds(4, 32, std::max(40, left->Width - 8), std::max(60, left->Height - 36));
    ScrollBox2->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    ScrollBox2->Visible = false;
    TWinControl* right = ScrollBoxInfoPanel && ScrollBoxInfoPanel->GetParent() ? ScrollBoxInfoPanel->GetParent() : this;
    PanelFiles = new TPanel(this);
    PanelFiles->Parent = right;
    PanelFiles->SetBevelOuter(bvNone);
    PanelFiles->Caption = "";
    if (ScrollBoxInfoPanel) {
        PanelFiles->SetBounds(ScrollBoxInfoPanel->Left, ScrollBoxInfoPanel->Top, ScrollBoxInfoPanel->Width,
                              ScrollBoxInfoPanel->Height);
    }
    PanelFiles->SetAlign(alClient);
    PanelFiles->Visible = false;
    FilesView = std::make_unique<EncryptedFilesView>(this, ScrollBox2, PanelFiles, filesSide_, *this, fileJobs());
    ScrollBox2->OnResize = [this](TObject*) { FilesView->layoutTree(); };
    PanelFiles->OnResize = [this](TObject*) { FilesView->layoutPanels(); };
    FilesView->hidePanels();

    if (KTransNewFileButton)
        KTransNewFileButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransNewFileButtonMouseRelease);
    if (KTransRemoveFileButton)
        KTransRemoveFileButton->OnMouseRelease = TNotifyEvent(this, &TFormMain::KTransRemoveFileButtonMouseRelease);
    OnFilesDropped = [this](const std::vector<std::string>& names, int fcount) { FilesView->dropFiles(names, fcount); };
    if (QCLListBox2) {
        // Every way of showing a user category shows the record list: the file side steps aside then.
        recordListProc_ = QCLListBox2->WindowProc;
        QCLListBox2->WindowProc = [this](TMessage& Message) {
            recordListProc_(Message);
            if (Message.Msg == CM_VISIBLECHANGED && Message.WParam) filesSide_.hideEncryptedFiles();
        };
    }
}

void TFormMain::buildFileTree() {
    if (FilesView) FilesView->buildFileTree();
}

void TFormMain::QCLFMDrop1FMDragDrop(TObject* Sender, int fcount, int x, int y, TStringList* FileList) {
    if (FilesView) FilesView->QCLFMDrop1FMDragDrop(Sender, fcount, x, y, FileList);
}

void TFormMain::KTransNewFileButtonMouseRelease(TObject* Sender) {
    if (FilesView) FilesView->KTransNewFileButtonMouseRelease(Sender);
}

void TFormMain::KTransRemoveFileButtonMouseRelease(TObject* Sender) {
    if (FilesView) FilesView->KTransRemoveFileButtonMouseRelease(Sender);
}

void TFormMain::xpEncryptButtonClick(TObject* Sender) {
    if (FilesView) FilesView->xpEncryptButtonClick(Sender);
}

void TFormMain::xpDecryptButtonClick(TObject* Sender) {
    if (FilesView) FilesView->xpDecryptButtonClick(Sender);
}

void TFormMain::xpRefreshButtonClick(TObject* Sender) {
    if (FilesView) FilesView->xpRefreshButtonClick(Sender);
}

void TFormMain::ClrTreeView1Change(TObject* Sender, TTreeNode* Node) {
    if (FilesView) FilesView->ClrTreeView1Change(Sender, Node);
}

void TFormMain::xpOpenFileButtonClick(TObject* Sender) {
    if (FilesView) FilesView->xpOpenFileButtonClick(Sender);
}
