// The tree of the "Encrypted Files" view: built from the category's rows and the folders on
// disk, node placement, node paths, and the folder jobs of Encrypt, Decrypt and Remove.
#include "fileenc/EncryptedFilesView.h"

#include "fileenc/EncryptedFile.h"
#include "skin/ClrTreeView.h"
#include "vault/category.h"
#include "vault/logger.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace {

FolderLister& listerOverride() {
    static FolderLister lister;
    return lister;
}

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int dataOf(TTreeNode* node) { return static_cast<int>(reinterpret_cast<std::intptr_t>(node->GetData())); }
void* dataFor(int value) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(value)); }

bool endsWithExact(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const { return compareTextNoCase(a, b) < 0; }
};

}  // namespace

void SetFolderListerForTesting(FolderLister lister) { listerOverride() = std::move(lister); }

std::vector<FolderEntry> listFolder(const std::string& folder) {
    if (listerOverride()) return listerOverride()(folder);
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back({name, found.dwFileAttributes});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

bool EncryptedFilesView::isRoot(TTreeNode* node) const { return node && !node->Parent; }

TTreeNode* EncryptedFilesView::rootNode() {
    if (TTreeNode* root = ClrTreeView1->Items->GetFirstNode()) return root;
    TTreeNode* root = ClrTreeView1->Items->AddChildObject(nullptr, fileview::RootText, nullptr);
    root->ImageIndex = fileview::imgRoot;
    root->SelectedIndex = fileview::imgRoot;
    root->Expand(false);
    return root;
}

std::string EncryptedFilesView::rowPath(int rowId) {
    category* files = host_.filesCategory();
    return files ? files->itemTextById(rowId, 0) : std::string();
}

const EncryptedFilesView::NodeFacts& EncryptedFilesView::factsOf(TTreeNode* node) {
    auto known = facts_.find(node);
    if (known != facts_.end()) return known->second;
    NodeFacts facts;
    facts.path = nodePath(node);
    facts.folder = !facts.path.empty() && isFolder(facts.path);
    return facts_.emplace(node, std::move(facts)).first->second;
}

std::string EncryptedFilesView::nodePath(TTreeNode* node) {
    if (!node || isRoot(node)) return {};
    if (node->Parent && isRoot(node->Parent)) {
        const int id = dataOf(node);
        return id < 0 ? std::string() : rowPath(id);
    }
    std::string below;
    TTreeNode* top = node;
    while (top->Parent && !isRoot(top->Parent)) {
        below = "\\" + std::string(top->Text) + below;
        top = top->Parent;
    }
    const int id = dataOf(top);
    if (id < 0) return {};
    return rowPath(id) + below;
}

TTreeNode* EncryptedFilesView::findTreeNode(TTreeNode* from, int rowId) {
    if (!from) return nullptr;
    for (int i = 0; i < from->Count; ++i) {
        TTreeNode* child = from->Item[i];
        if (dataOf(child) == rowId) return child;
        if (TTreeNode* found = findTreeNode(child, rowId)) return found;
    }
    return nullptr;
}

TTreeNode* EncryptedFilesView::addNode(TTreeNode* parent, TTreeNode* before, const std::string& text, int data,
                                       int image) {
    TTreeNode* node = before ? ClrTreeView1->Items->InsertObject(before, text, dataFor(data))
                             : ClrTreeView1->Items->AddChildObject(parent, text, dataFor(data));
    node->ImageIndex = image;
    node->SelectedIndex = image;
    return node;
}

void EncryptedFilesView::insertFileNode(const std::string& name, int rowId, bool exists, bool encrypted) {
    traceLog.write("insert file in tree");
    TTreeNode* root = rootNode();
    const bool wasEmpty = root->Count == 0;
    TTreeNode* before = nullptr;
    for (int i = 0; i < root->Count; ++i) {
        TTreeNode* child = root->Item[i];
        if (factsOf(child).folder) continue;
        if (compareTextNoCase(std::string(child->Text), name) >= 0) {
            before = child;
            break;
        }
    }
    TTreeNode* node = addNode(root, before, name, rowId, fileview::imgPlainFile);
    if (wasEmpty) root->Expand(false);
    if (exists) {
        traceLog.write("exists");
        traceLog.write("set image");
        const int image = encrypted ? fileview::imgEncryptedFile : fileview::imgPlainFile;
        node->ImageIndex = image;
        node->SelectedIndex = image;
    }
    traceLog.write("set other stuff");
}

void EncryptedFilesView::insertFolderNode(const std::string& path, TTreeNode* parent, bool& askReadOnly,
                                          bool& askSystem, bool& notifyEncrypted, bool& askOverwrite, bool encrypt,
                                          int data) {
    const std::string name = FileJobChecks::namePart(path);
    TTreeNode* before = nullptr;
    const bool topLevel = isRoot(parent);
    for (int i = 0; i < parent->Count; ++i) {
        TTreeNode* child = parent->Item[i];
        const bool childIsFolder = topLevel ? factsOf(child).folder : child->ImageIndex == fileview::imgFolder;
        if (!childIsFolder || compareTextNoCase(std::string(child->Text), name) >= 0) {
            before = child;
            break;
        }
    }
    TTreeNode* node = addNode(parent, before, name, data, fileview::imgFolder);
    if (topLevel) facts_[node] = NodeFacts{path, true};
    rootNode()->Expand(false);

    // The whole listing first: the files the jobs below make must not be listed again.
    const std::vector<FolderEntry> entries = listFolder(path);
    for (const FolderEntry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string sub = path + "\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A junction or link is shown, never entered: it may lead back up the tree.
            TTreeNode* at = nullptr;
            for (int i = 0; i < node->Count; ++i) {
                TTreeNode* child = node->Item[i];
                if (child->ImageIndex != fileview::imgFolder || compareTextNoCase(std::string(child->Text), entry.name) >= 0) {
                    at = child;
                    break;
                }
            }
            addNode(node, at, entry.name, fileview::SubItem, fileview::imgFolder);
            continue;
        }
        insertFolderNode(sub, node, askReadOnly, askSystem, notifyEncrypted, askOverwrite, encrypt, fileview::SubItem);
    }

    bool stopped = false;
    std::set<std::string, NoCaseLess> shown;
    for (const FolderEntry& entry : entries) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string full = path + "\\" + entry.name;
        std::string text = entry.name;
        bool encrypted = false;
        if (encrypt) {
            if (IsEncrypted(full)) {
                encrypted = true;
                if (text.size() > encfile::ExtensionLength) text.resize(text.size() - encfile::ExtensionLength);
            } else if (!stopped) {
                const FileStep step =
                    checks_.encryptFile(full, false, askReadOnly, askSystem, notifyEncrypted, askOverwrite);
                if (step == fsDone) encrypted = true;
                if (step == fsStopBatch) stopped = true;
            }
        } else if (endsWithExact(text, encfile::Extension)) {
            encrypted = true;
            text.resize(text.size() - encfile::ExtensionLength);
        }
        // A plain file and its own ".vltenc" are one listed file.
        if (!shown.insert(text).second) continue;
        addNode(node, nullptr, text, fileview::SubItem, encrypted ? fileview::imgEncryptedFile : fileview::imgPlainFile);
    }
    node->Expand(false);
}

bool EncryptedFilesView::fileOrEncryptedExists(const std::string& path) {
    return isFile(path) || isFile(path + encfile::Extension);
}

int EncryptedFilesView::addFileRow(const std::string& path, bool encrypted, bool notify) {
    traceLog.write("Add file");
    traceLog.write("Set to fname");
    traceLog.write("add row");
    for (TTreeNode* node = rootNode(); node; node = node->GetNext()) {
        if (isRoot(node)) continue;
        const std::string listed = node->Parent && isRoot(node->Parent) ? factsOf(node).path : nodePath(node);
        if (listed == path) {
            if (notify) notice(fileview::fill(fileview::FileAlreadyListed, FileJobChecks::namePart(path)));
            return 1;
        }
    }
    category* files = host_.filesCategory();
    if (!files) return 1;
    if (files->insertRow({path}) == -1) {
        traceLog.write("insert in tree");
        insertFileNode(FileJobChecks::namePart(path), files->findRowId({path}), fileOrEncryptedExists(path), encrypted);
    } else if (notify) {
        notice(std::string("The file ") + path + " is already in your vault.");
    }
    traceLog.write("delete new row");
    return 0;
}

void EncryptedFilesView::buildFileTree() {
    forgetNodeFacts();
    ClrTreeView1->Items->BeginUpdate();
    ClrTreeView1->Items->Clear();
    TTreeNode* root = rootNode();
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    if (category* files = host_.filesCategory()) {
        int position = 0;
        for (const row* r = files->firstRow(); r; r = r->next, ++position) {
            const std::string path = r->getText(0);
            if (isFolder(path)) {
                insertFolderNode(path, root, askReadOnly, askSystem, notifyEncrypted, askOverwrite, false, r->getId());
                continue;
            }
            const bool encrypted = IsEncrypted(path);
            const bool exists = encrypted ? isFile(path + encfile::Extension) : isFile(path);
            insertFileNode(FileJobChecks::namePart(path), r->getId(), exists, encrypted);
        }
    }
    ClrTreeView1->Items->EndUpdate();
    root->Expand(false);
    if (root->Count > 0) ClrTreeView1->Select(root->Item[0]);
}

void EncryptedFilesView::xpRefreshButtonClick(TObject*) {
    std::set<std::string> collapsed;
    for (TTreeNode* node = rootNode(); node; node = node->GetNext())
        if (node->HasChildren && !node->Expanded) collapsed.insert(nodePath(node));
    // The chosen files stay chosen, by path: the rebuilt tree has new nodes.
    std::vector<std::string> chosen;
    for (TTreeNode* node : selectedNodes())
        if (!isRoot(node)) chosen.push_back(nodePath(node));
    buildFileTree();
    std::vector<TTreeNode*> again;
    for (TTreeNode* node = rootNode(); node; node = node->GetNext()) {
        const std::string path = nodePath(node);
        if (node->HasChildren && node->Expanded && collapsed.count(path)) node->Collapse(false);
        if (!isRoot(node) && std::find(chosen.begin(), chosen.end(), path) != chosen.end()) again.push_back(node);
    }
    if (again.empty()) return;
    ClrTreeView1->Select(again.front());
    for (std::size_t i = 1; i < again.size(); ++i) again[i]->Selected = true;
    again.front()->MakeVisible();
    ClrTreeView1Change(ClrTreeView1, ClrTreeView1->Selected);
}

bool EncryptedFilesView::encryptFolder(const std::string& path, bool& askOverwrite, bool& askReadOnly,
                                       bool& askSystem, bool& notifyEncrypted) {
    bool any = false;
    for (const FolderEntry& entry : listFolder(path)) {
        const std::string full = path + "\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (encryptFolder(full, askOverwrite, askReadOnly, askSystem, notifyEncrypted)) any = true;
            continue;
        }
        if (IsEncrypted(full)) continue;
        const FileStep step = checks_.encryptFile(full, false, askReadOnly, askSystem, notifyEncrypted, askOverwrite);
        if (step == fsDone) any = true;
        if (step == fsStopBatch) break;
    }
    return any;
}

bool EncryptedFilesView::decryptFolder(const std::string& path) {
    bool tried = false;
    for (const FolderEntry& entry : listFolder(path)) {
        const std::string full = path + "\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (decryptFolder(full)) tried = true;
            continue;
        }
        if (!endsWithExact(entry.name, encfile::Extension)) continue;
        tried = true;
        if (checks_.decryptSingleFile(full.substr(0, full.size() - encfile::ExtensionLength)) == fsStopBatch) break;
    }
    return tried;
}

void EncryptedFilesView::updateTreeImages(bool all) {
    std::vector<TTreeNode*> nodes;
    if (all) {
        for (TTreeNode* node = rootNode(); node; node = node->GetNext()) nodes.push_back(node);
    } else {
        nodes = selectedNodes();
    }
    for (TTreeNode* node : nodes) {
        if (isRoot(node)) continue;
        const int image = node->ImageIndex;
        if (image != fileview::imgPlainFile && image != fileview::imgEncryptedFile) continue;
        const std::string path = nodePath(node);
        const int now = !path.empty() && IsEncrypted(path) ? fileview::imgEncryptedFile : fileview::imgPlainFile;
        if (now != image) {
            node->ImageIndex = now;
            node->SelectedIndex = now;
        }
    }
}

void EncryptedFilesView::selectRow(int rowId) {
    if (TTreeNode* node = findTreeNode(rootNode(), rowId)) ClrTreeView1->Select(node);
}
