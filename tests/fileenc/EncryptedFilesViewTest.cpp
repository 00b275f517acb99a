// The "Encrypted Files" view on a real tree over real files: the tree built from the rows, node
// placement and paths, drops made the way the shell makes them, Add File through the real open
// dialog, Encrypt and Decrypt over selections, the root, Refresh, folder links, Remove File.
#include "dialogs/TipSettings.h"
#include "fileenc/EncryptedFile.h"
#include "skin/ClrTreeView.h"
#include "skin/xpButton.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "tests/fileenc/FileViewTestSupport.h"
#include "tests/support/DialogAnswerer.h"
#include "vault/category.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>

using namespace fileviewtest;
using fileenctest::fileExists;
using fileenctest::readAll;
using fileenctest::writeAll;

namespace {

int dataOf(TTreeNode* node) { return static_cast<int>(reinterpret_cast<std::intptr_t>(node->GetData())); }

using Strings = std::vector<std::string>;

class FileTree : public ViewTest {
protected:
    std::string path(const std::string& name) { return temp->file(name); }
    void folder(const std::string& name) { CreateDirectoryA(path(name).c_str(), nullptr); }
    void file(const std::string& name, const std::string& bytes = "plain text") { writeAll(path(name), bytes); }
    TTreeNode* root() { return view->rootNode(); }
};

// Folders first, then files; each group in case-insensitive order at the top; below a folder the
// subfolders sorted and the files in disk order; images and paths of nested nodes.
TEST_F(FileTree, BuildsFoldersFirstInOrderWithImagesAndPaths) {
    folder("Docs");
    folder("Docs\\b");
    folder("Docs\\A");
    file("Docs\\A\\inner.txt");
    file("Docs\\z1.txt");
    makeEncryptedFile(path("Docs\\a1.txt"));
    folder("apps");
    file("zeta.txt");
    makeEncryptedFile(path("Alpha.doc"));
    for (const char* name : {"zeta.txt", "Docs", "gone.txt", "Alpha.doc", "apps"}) addRow(path(name));

    view->buildFileTree();

    ASSERT_TRUE(root());
    EXPECT_EQ(std::string(root()->Text), "Encrypted File List");
    EXPECT_EQ(root()->ImageIndex, 3);
    EXPECT_TRUE(root()->Expanded);
    EXPECT_EQ(childTexts(root()), (Strings{"apps", "Docs", "Alpha.doc", "gone.txt", "zeta.txt"}));
    EXPECT_EQ(childImages(root()), (std::vector<int>{1, 1, 2, 0, 0}));
    for (int i = 0; i < root()->Count; ++i) {
        TTreeNode* node = root()->Item[i];
        EXPECT_EQ(view->nodePath(node), path(node->GetText())) << "a top-level node reads its row";
        EXPECT_EQ(window.files->itemTextById(dataOf(node), 0), path(node->GetText()));
    }

    TTreeNode* docs = child(root(), "Docs");
    Strings diskOrder;
    for (const FolderEntry& entry : listFolder(path("Docs")))
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) diskOrder.push_back(entry.name == "a1.txt.vltenc" ? "a1.txt" : entry.name);
    Strings expected{"A", "b"};
    expected.insert(expected.end(), diskOrder.begin(), diskOrder.end());
    EXPECT_EQ(childTexts(docs), expected);
    EXPECT_EQ(child(docs, "a1.txt")->ImageIndex, 2);
    EXPECT_EQ(child(docs, "z1.txt")->ImageIndex, 0);
    EXPECT_EQ(dataOf(child(docs, "b")), -1);
    EXPECT_EQ(view->nodePath(child(docs, "a1.txt")), path("Docs\\a1.txt")) << "shown and read without .vltenc";
    EXPECT_EQ(view->nodePath(child(child(docs, "A"), "inner.txt")), path("Docs\\A\\inner.txt"));
    EXPECT_EQ(view->nodePath(root()), "") << "the root stands for no row";
    EXPECT_EQ(view->ClrTreeView1->Selected, root()->Item[0]) << "the node after the root is selected";
    EXPECT_EQ(view->findTreeNode(root(), dataOf(child(root(), "zeta.txt"))), child(root(), "zeta.txt"));
    EXPECT_EQ(view->findTreeNode(root(), 999), nullptr);
}

TEST_F(FileTree, InsertFileNodePlacesFilesAfterFoldersInNameOrder) {
    struct Case {
        const char* name;
        Strings after;
    };
    const std::vector<Case> cases = {
        {"a.txt", {"m", "a.txt", "b.txt", "d.txt"}},
        {"c.txt", {"m", "b.txt", "c.txt", "d.txt"}},
        {"z.txt", {"m", "b.txt", "d.txt", "z.txt"}},
        {"B.TXT", {"m", "B.TXT", "b.txt", "d.txt"}},  // equal without case: before the one it equals
        {"0.txt", {"m", "0.txt", "b.txt", "d.txt"}},  // before every file, still after the folder
    };
    folder("m");
    addRow(path("b.txt"));
    addRow(path("m"));
    addRow(path("d.txt"));
    for (const Case& c : cases) {
        view->buildFileTree();
        view->insertFileNode(c.name, 77, false, false);
        EXPECT_EQ(childTexts(root()), c.after) << c.name;
    }
    // The first node in an empty tree expands the root.
    window.files->deleteRowById(window.files->rowIdAt(0));
    window.files->deleteRowById(window.files->rowIdAt(0));
    window.files->deleteRowById(window.files->rowIdAt(0));
    view->buildFileTree();
    root()->Collapse(false);
    file("here.txt");
    view->insertFileNode("here.txt", 5, true, true);
    EXPECT_TRUE(root()->Expanded);
    EXPECT_EQ(childImages(root()), (std::vector<int>{2})) << "exists and encrypted";
}

// Each drop case: files on disk, the names dropped, answers; then the notices, rows and jobs.
TEST_F(FileTree, DropsListEncryptOrRefuseAsTheNamesSay) {
    struct Case {
        const char* what;
        std::function<void()> setUp;
        Strings dropped;  // relative to the folder
        std::vector<int> answers;
        Strings notices;  // "%d" stands for the folder
        Strings rowsAfter;
        int jobs;
        int tips;
    };
    auto subst = [&](std::string text) {
        for (std::size_t at; (at = text.find("%d")) != std::string::npos;) text.replace(at, 2, temp->path());
        return text;
    };
    const std::vector<Case> cases = {
        {"a listed file",
         [&] {
             file("x.txt");
             addRow(path("x.txt"));
         },
         {"x.txt"}, {}, {"The file \"x.txt\" is already in your vault."}, {"%d\\x.txt"}, 0, 0},
        {"a folder holding a listed file",
         [&] {
             folder("data");
             file("data\\x.txt");
             addRow(path("data\\x.txt"));
         },
         {"data"}, {},
         {"\"x.txt\" is within the directory you are adding and is already in the vault.  It must be removed from "
          "your vault before you can perform this operation."},
         {"%d\\data\\x.txt"}, 0, 0},
        {"a folder beside a listed one whose name starts the same",
         [&] {
             folder("data");
             file("data\\d.txt");
             folder("database");
             file("database\\x");
             addRow(path("database\\x"));
         },
         {"data"}, {}, {}, {"%d\\database\\x", "%d\\data"}, 1, 0},
        {"a file in a folder named like an encrypted file",
         [&] {
             folder("a.vltenc.d");
             file("a.vltenc.d\\x.txt");
             file("a", "must stay");
         },
         {"a.vltenc.d\\x.txt"}, {}, {}, {"%d\\a.vltenc.d\\x.txt"}, 1, 1},
        {"an encrypted file of this vault", [&] { makeEncryptedFile(path("report.doc")); },
         {"report.doc.vltenc"}, {}, {}, {"%d\\report.doc"}, 0, 1},
        {"another vault's encrypted file with its name", [&] { makeForeignEncryptedFile(path("r.doc"), "Family"); },
         {"r.doc.vltenc"}, {},
         {"The file r.doc was encrypted with the vault \"Family\" and cannot be added to this one."}, {}, 0, 0},
        {"another vault's encrypted file without a name", [&] { makeForeignEncryptedFile(path("r.doc"), ""); },
         {"r.doc.vltenc"}, {},
         {"The file r.doc was encrypted with a different vault and cannot be added to this one."}, {}, 0, 0},
        {"Abort ends the whole drop",
         [&] {
             file("tool.exe");
             file("later.txt");
         },
         {"tool.exe", "later.txt"}, {mbrAbort},
         {"tool.exe appears to be a system file or executable.  Are you sure you want to encrypt this file?"}, {}, 0,
         0},
        {"two files give the closing tip once",
         [&] {
             file("one.txt");
             file("two.txt");
         },
         {"one.txt", "two.txt"}, {}, {}, {"%d\\one.txt", "%d\\two.txt"}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temp = std::make_unique<brimtest::TempFolder>();
        while (window.files->rowCount() > 0) window.files->deleteRow(0);
        window.tips.clear();
        jobs.jobs = 0;
        c.setUp();
        view->buildFileTree();
        Strings dropped;
        for (const std::string& name : c.dropped) dropped.push_back(path(name));
        std::vector<int> answers = c.answers;
        if (answers.empty()) answers.assign(c.notices.size(), mbrOk);
        brimtest::MessageBoxScript script(answers);
        const int savesBefore = window.saves;
        drop(dropped);
        Strings expectedNotices, expectedRows;
        for (const std::string& text : c.notices) expectedNotices.push_back(subst(text));
        for (const std::string& row : c.rowsAfter) expectedRows.push_back(subst(row));
        EXPECT_EQ(script.texts(), expectedNotices);
        EXPECT_EQ(rows(), expectedRows);
        EXPECT_EQ(jobs.jobs, c.jobs);
        EXPECT_EQ(static_cast<int>(window.tips.size()), c.tips);
        if (c.tips) {
            EXPECT_EQ(window.tips[0].first, 4);
            EXPECT_EQ(window.tips[0].second, tips::FilesDropped.text);
        }
        EXPECT_EQ(window.saves, savesBefore + 1) << "the drop saves once";
        EXPECT_GE(window.categoryShown, 1);
        for (const auto& shown : script.shown()) {
            EXPECT_EQ(shown.owner, form);
            EXPECT_EQ(shown.title, "Brimsafe");
        }
    }
}

TEST_F(FileTree, ADroppedFileInsideAVltencFolderNeverTouchesTheCutName) {
    folder("a.vltenc.d");
    file("a.vltenc.d\\x.txt");
    file("a", "must stay");
    view->buildFileTree();
    drop({path("a.vltenc.d\\x.txt")});
    EXPECT_EQ(readAll(path("a")), "must stay");
    EXPECT_FALSE(fileExists(path("a.vltenc")));
    EXPECT_TRUE(fileExists(path("a.vltenc.d\\x.txt.vltenc")));
    EXPECT_EQ(childImages(root()), (std::vector<int>{2}));
}

TEST_F(FileTree, AnEncryptedFileOfThisVaultIsListedWithoutAJobAsEncrypted) {
    makeEncryptedFile(path("report.doc"));
    view->buildFileTree();
    drop({path("report.doc.vltenc")});
    EXPECT_EQ(jobs.jobs, 0);
    EXPECT_EQ(childTexts(root()), (Strings{"report.doc"}));
    EXPECT_EQ(childImages(root()), (std::vector<int>{2}));
}

TEST_F(FileTree, ADroppedFolderOfFiftyFilesGivesFiftyNodes) {
    folder("many");
    for (int i = 0; i < 50; ++i) file("many\\f" + std::to_string(i) + ".txt", "content " + std::to_string(i));
    view->buildFileTree();
    drop({path("many")});
    TTreeNode* many = child(root(), "many");
    ASSERT_TRUE(many);
    EXPECT_EQ(many->Count, 50) << "the encrypted copies made during the listing are not listed again";
    EXPECT_EQ(jobs.jobs, 50);
    for (int i = 0; i < many->Count; ++i) EXPECT_EQ(many->Item[i]->ImageIndex, 2) << many->Item[i]->GetText();
    EXPECT_EQ(rows(), (Strings{path("many")}));
}

// A folder link inside a dropped folder is shown but never entered.
TEST_F(FileTree, AFolderLinkIsShownButNeverEntered) {
    folder("top");
    file("top\\one.txt");
    const std::string link = path("top\\loop");
    bool realLink = CreateSymbolicLinkA(link.c_str(), temp->path().c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) != 0;
    if (realLink) {
        const DWORD attributes = GetFileAttributesA(link.c_str());
        realLink = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    if (!realLink) {
        // The system cannot make one here: the listing reports a folder that is a reparse point.
        RemoveDirectoryA(link.c_str());
        folder("top\\loop");
        file("top\\loop\\inside.txt");
        SetFolderListerForTesting([&](const std::string& at) {
            std::vector<FolderEntry> entries;
            SetFolderListerForTesting(nullptr);
            entries = listFolder(at);
            SetFolderListerForTesting(nullptr);
            for (FolderEntry& entry : entries)
                if (entry.name == "loop") entry.attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
            return entries;
        });
    }
    std::printf("folder link: %s\n", realLink ? "a real symbolic link" : "the attribute injected through the listing");
    view->buildFileTree();
    drop({path("top")});
    TTreeNode* top = child(root(), "top");
    ASSERT_TRUE(top);
    EXPECT_EQ(childTexts(top), (Strings{"loop", "one.txt"}));
    EXPECT_EQ(child(top, "loop")->Count, 0);
    EXPECT_EQ(child(top, "loop")->ImageIndex, 1);
    EXPECT_EQ(jobs.jobSources, (Strings{path("top\\one.txt")})) << "each real file encrypted once";
    if (realLink) RemoveDirectoryA(link.c_str());
}

TEST_F(FileTree, EncryptSkipsAFolderAmongSeveralWhileDecryptTakesIt) {
    folder("dir");
    file("dir\\in.txt");
    file("solo.txt");
    addRow(path("dir"));
    addRow(path("solo.txt"));
    view->buildFileTree();
    {
        brimtest::MessageBoxScript script;
        selectOnly({child(root(), "dir"), child(root(), "solo.txt")});
        view->xpEncryptButtonClick(nullptr);
        EXPECT_EQ(script.texts(), Strings{});
    }
    EXPECT_EQ(jobs.jobSources, (Strings{path("solo.txt")}));
    EXPECT_TRUE(fileExists(path("dir\\in.txt")));
    EXPECT_EQ(child(root(), "solo.txt")->ImageIndex, 2);

    // One folder alone is encrypted; a second press finds nothing left.
    selectOnly({child(root(), "dir")});
    view->xpEncryptButtonClick(nullptr);
    EXPECT_TRUE(fileExists(path("dir\\in.txt.vltenc")));
    EXPECT_EQ(child(child(root(), "dir"), "in.txt")->ImageIndex, 2) << "all images re-tested after a folder";
    {
        brimtest::MessageBoxScript script({mbrOk});
        view->xpEncryptButtonClick(nullptr);
        EXPECT_EQ(script.texts(), (Strings{"All files in this directory are already encrypted."}));
    }

    jobs.jobSources.clear();
    selectOnly({child(root(), "dir"), child(root(), "solo.txt")});
    view->xpDecryptButtonClick(nullptr);
    EXPECT_TRUE(fileExists(path("dir\\in.txt")));
    EXPECT_TRUE(fileExists(path("solo.txt")));
    EXPECT_EQ(jobs.jobSources.size(), 2u);
    EXPECT_EQ(child(root(), "solo.txt")->ImageIndex, 0);
    EXPECT_EQ(child(child(root(), "dir"), "in.txt")->ImageIndex, 0);
}

TEST_F(FileTree, WithoutASelectionEncryptAndDecryptSaySelectAFile) {
    view->buildFileTree();
    view->ClrTreeView1->ClearSelection();
    brimtest::MessageBoxScript script({mbrOk, mbrOk});
    view->xpEncryptButtonClick(nullptr);
    view->xpDecryptButtonClick(nullptr);
    EXPECT_EQ(script.texts(), (Strings{fileview::NoFileToEncrypt, fileview::NoFileToDecrypt}));
}

// Row 0 is a real file; with only the root selected no button touches it.
TEST_F(FileTree, TheRootStandsForNoFile) {
    file("first.txt", "row zero");
    ASSERT_EQ(addRow(path("first.txt")), 0);
    view->buildFileTree();
    selectOnly({root()});
    view->xpEncryptButtonClick(nullptr);
    EXPECT_EQ(jobs.jobs, 0);
    EXPECT_EQ(readAll(path("first.txt")), "row zero");
    EXPECT_EQ(view->runFile(view->nodePath(root())), 0);
    view->xpOpenFileButtonClick(nullptr);

    makeEncryptedFile(path("first.txt"));
    view->buildFileTree();
    selectOnly({root()});
    view->xpDecryptButtonClick(nullptr);
    EXPECT_EQ(jobs.jobs, 0);
    EXPECT_TRUE(fileExists(path("first.txt.vltenc")));
    EXPECT_FALSE(fileExists(path("first.txt")));
}

TEST_F(FileTree, RefreshKeepsCollapsedFoldersCollapsedAndTheChosenFileChosenAndShowsWhatChanged) {
    for (const char* name : {"one", "two", "one\\sub"}) folder(name);
    file("one\\sub\\x.txt");
    file("two\\y.txt");
    addRow(path("one"));
    addRow(path("two"));
    view->buildFileTree();
    child(root(), "one")->Collapse(false);
    selectOnly({child(child(root(), "two"), "y.txt")});
    file("two\\new.txt");
    view->xpRefreshButtonClick(nullptr);
    EXPECT_EQ(view->ClrTreeView1->SelectionCount, 1);
    EXPECT_EQ(view->ClrTreeView1->Selected, child(child(root(), "two"), "y.txt")) << "the chosen file stays chosen";
    EXPECT_FALSE(child(root(), "one")->Expanded);
    EXPECT_TRUE(child(root(), "two")->Expanded);
    EXPECT_TRUE(child(child(root(), "one"), "sub")->Expanded) << "only the remembered node collapses";
    EXPECT_EQ(child(root(), "two")->Count, 2);
}

TEST_F(FileTree, RemoveFileDecryptsAndRemovesTheChosenRowsUntilAStop) {
    folder("dir");
    file("dir\\inside.txt");
    file("dir\\second.txt");
    makeEncryptedFile(path("a.txt"));
    makeEncryptedFile(path("b.txt"));
    jobs.stopAt = path("b.txt.vltenc");  // the user stops b.txt's job
    makeEncryptedFile(path("c.txt"));
    for (const char* name : {"c.txt", "dir", "a.txt", "b.txt"}) addRow(path(name));
    view->buildFileTree();
    TTreeNode* sub = child(child(root(), "dir"), "inside.txt");
    selectOnly({child(root(), "c.txt"), sub, child(root(), "a.txt"), child(child(root(), "dir"), "second.txt"),
                child(root(), "b.txt")});

    brimtest::MessageBoxScript script({mbrOk});
    view->removeSelected();
    EXPECT_EQ(script.texts(), (Strings{fileview::SubItemNotice})) << "once";
    ASSERT_EQ(window.tips.size(), 1u);
    EXPECT_EQ(window.tips[0].first, 32);
    EXPECT_EQ(window.tips[0].second, tips::FileRemoved.text);
    EXPECT_EQ(rows(), (Strings{path("dir"), path("b.txt")}));
    EXPECT_EQ(childTexts(root()), (Strings{"dir", "b.txt"}));
    EXPECT_TRUE(fileExists(path("a.txt")) && !fileExists(path("a.txt.vltenc")));
    EXPECT_TRUE(fileExists(path("c.txt")) && !fileExists(path("c.txt.vltenc")));
    EXPECT_TRUE(fileExists(path("b.txt.vltenc")));
    EXPECT_GE(window.saves, 1);

    // Only the root: nothing at all.
    selectOnly({root()});
    window.tips.clear();
    view->removeSelected();
    EXPECT_TRUE(window.tips.empty());
}

TEST_F(FileTree, AddFileOpensInTheUsersDocuments) {
    char documents[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    std::string shown;
    brimtest::DialogAnswerer answerer({{"Open", "", [&](HWND dialog) {
                                            char folder[MAX_PATH] = {};
                                            if (SendMessageA(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                                             reinterpret_cast<LPARAM>(folder)) <= 0)
                                                return false;
                                            shown = folder;
                                            HWND cancel = GetDlgItem(dialog, IDCANCEL);
                                            if (!cancel) return false;
                                            RECT r{};
                                            GetClientRect(cancel, &r);
                                            brimtest::clickClientPoint(cancel, {r.right / 2, r.bottom / 2});
                                            return true;
                                        }}});
    view->KTransNewFileButtonMouseRelease(nullptr);
    EXPECT_TRUE(answerer.finished(1000));
    EXPECT_EQ(_stricmp(shown.c_str(), documents), 0) << shown << " instead of " << documents;
    EXPECT_TRUE(jobs.jobSources.empty());
}

TEST_F(FileTree, AddFileThroughTheOpenDialogEncryptsAndListsTheChosenFile) {
    file("chosen.txt", "pick me");
    view->buildFileTree();
    brimtest::DialogAnswerer answerer({{"Open", "", [&](HWND dialog) {
                                            HWND edit = GetDlgItem(dialog, 0x47C);  // the file-name box
                                            if (!edit) edit = GetDlgItem(dialog, 0x480);
                                            if (HWND inner = edit ? FindWindowExA(edit, nullptr, "Edit", nullptr) : nullptr)
                                                edit = inner;
                                            if (!edit) return false;
                                            SendMessageA(edit, WM_SETTEXT, 0,
                                                         reinterpret_cast<LPARAM>(path("chosen.txt").c_str()));
                                            HWND open = GetDlgItem(dialog, IDOK);
                                            if (!open) return false;
                                            RECT r{};
                                            GetClientRect(open, &r);
                                            brimtest::clickClientPoint(open, {r.right / 2, r.bottom / 2});
                                            return true;
                                        }}});
    view->KTransNewFileButtonMouseRelease(nullptr);
    EXPECT_TRUE(answerer.finished(1000));
    EXPECT_EQ(jobs.jobSources, (Strings{path("chosen.txt")}));
    EXPECT_EQ(rows(), (Strings{path("chosen.txt")}));
    EXPECT_EQ(childImages(root()), (std::vector<int>{2}));
    ASSERT_EQ(window.tips.size(), 2u);
    EXPECT_EQ(window.tips[0].first, 64);
    EXPECT_EQ(window.tips[0].second, tips::DragAndDrop.text);
    EXPECT_EQ(window.tips[1].first, 4);
    EXPECT_EQ(window.tips[1].second, tips::FileAdded.text);
}

}  // namespace
