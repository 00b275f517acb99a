// The file view in the main window over a real saved vault and the real crypto library: the tree
// follows the open vault, commands 103 and 104 go through it, files dropped on the window are
// listed, the file side follows the category shown, and a file job keeps the chosen file chosen.
#include "app/MainWindowFilesSide.h"
#include "fileenc/EncryptedFile.h"
#include "skin/ClrTreeView.h"
#include "skin/KTransButton.h"
#include "skin/xpButton.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/app/MainWindowTestSupport.h"
#include "tests/framework/FrameworkFixture.h"
#include "vault/category.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using mainwintest::MainWindowTest;
using Strings = std::vector<std::string>;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }


class FilesWiring : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        fwtest::pumpIdle();
    }
    TFormMain* openWithView() {
        form = MakeForm<TFormMain>(nullptr, dialogs, toWindow, "Brimsafe.exe", &mainwintest::noHandOff);
        toWindow.to = &form->filesSide();
        dialogs.selection(1);
        dialogs.password(1, Password);
        EXPECT_EQ(form->startUp(), suGoOn);
        return form;
    }
    category& files() { return *form->store().content().encryptedFiles; }
    Strings rows() {
        Strings paths;
        for (int i = 0; i < files().rowCount(); ++i) paths.push_back(files().itemText(i, 0));
        return paths;
    }
    Strings topTexts() {
        Strings texts;
        TTreeNode* root = form->FilesView->rootNode();
        for (int i = 0; root && i < root->Count; ++i) texts.push_back(root->Item[i]->GetText());
        return texts;
    }
    mainwintest::ForwardingFiles toWindow;
};

TEST_F(FilesWiring, CommandsListAFolderAPlainFileAndOpenAnEncryptedOne) {
    openWithView();
    CreateDirectoryA(temp.file("docs").c_str(), nullptr);
    temp.writeFile("docs\\a.txt", "in the folder");
    temp.writeFile("plan.txt", "the plan");
    temp.writeFile("letter.brimnoassoc", "dear bank");
    {
        brimtest::MessageBoxScript none;
        ASSERT_EQ(form->fileJobs().encryptSingleFile(temp.file("letter.brimnoassoc")), fsDone);
    }
    brimtest::MessageBoxScript script({mbrOk});
    mainwintest::sendCommand(form->Handle, cdAddFile, temp.file("docs"));
    mainwintest::sendCommand(form->Handle, cdAddFile, temp.file("plan.txt"));
    mainwintest::sendCommand(form->Handle, cdOpenFile, temp.file("letter.brimnoassoc.vltenc"));
    ASSERT_TRUE(mainwintest::pumpUntil([&] { return files().rowCount() == 3; }));
    EXPECT_EQ(script.texts(), (Strings{fileview::NoAssociation})) << "opened after its decryption";
    EXPECT_EQ(rows(), (Strings{temp.file("docs"), temp.file("plan.txt"), temp.file("letter.brimnoassoc")}));
    EXPECT_EQ(topTexts(), (Strings{"docs", "letter.brimnoassoc", "plan.txt"}));
    EXPECT_TRUE(exists(temp.file("docs\\a.txt.vltenc")));
    EXPECT_TRUE(exists(temp.file("plan.txt.vltenc")));
    EXPECT_FALSE(exists(temp.file("plan.txt")));
    // Nothing opened it: encrypted again, no plain copy left.
    EXPECT_TRUE(exists(temp.file("letter.brimnoassoc.vltenc")));
    EXPECT_FALSE(exists(temp.file("letter.brimnoassoc")));
    EXPECT_TRUE(form->store().content().current == form->store().content().encryptedFiles);
    EXPECT_TRUE(form->ScrollBox2->Visible);
}

TEST_F(FilesWiring, TheTreeHoldsExactlyTheRowsOfTheVaultShown) {
    openWithView();
    temp.writeFile("kept.txt", "x");
    files().insertRow({temp.file("kept.txt")});
    form->vaultShown("Brimsafe - Home");
    EXPECT_EQ(topTexts(), (Strings{"kept.txt"}));
    while (files().rowCount() > 0) files().deleteRow(0);
    files().insertRow({temp.file("restored.txt")});
    form->vaultShown("Brimsafe - Home");
    EXPECT_EQ(topTexts(), (Strings{"restored.txt"}));
}

TEST_F(FilesWiring, FilesDroppedOnTheWindowAreEncryptedAndListed) {
    openWithView();
    form->Show();
    fwtest::pumpIdle();
    temp.writeFile("dropped.txt", "drop me");
    const std::string name = temp.file("dropped.txt");
    std::string list = name + '\0' + '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    ASSERT_TRUE(mainwintest::pumpUntil([&] { return files().rowCount() == 1; }));
    EXPECT_EQ(rows(), (Strings{name}));
    EXPECT_TRUE(exists(name + ".vltenc"));
    EXPECT_NE(std::find(dialogs.calls.begin(), dialogs.calls.end(), "tip 4"), dialogs.calls.end());
    EXPECT_TRUE(form->KTransNewFileButton->Visible);
}

// The job runs through the real progress dialog; the file chosen before it stays the chosen one.
TEST_F(FilesWiring, TheSelectedFileStaysSelectedThroughItsEncryptionAndDecryption) {
    openWithView();
    form->Show();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        temp.writeFile(name, std::string("text of ") + name);
        files().insertRow({temp.file(name)});
    }
    form->vaultShown("Brimsafe - Home");
    form->filesSide().showEncryptedFiles();
    TClrTreeView* tree = form->FilesView->ClrTreeView1;
    TTreeNode* chosen = form->FilesView->rootNode()->Item[1];
    ASSERT_EQ(std::string(chosen->GetText().c_str()), "b.txt");
    SetForegroundWindow(form->Handle);
    tree->SetFocus();
    tree->Select(chosen);
    fwtest::pumpIdle();
    for (bool encrypt : {true, false}) {
        SCOPED_TRACE(encrypt ? "encrypted" : "decrypted");
        brimtest::MessageBoxScript boxes;
        if (encrypt)
            form->FilesView->xpEncryptButtonClick(nullptr);
        else
            form->FilesView->xpDecryptButtonClick(nullptr);
        fwtest::pumpIdle();
        EXPECT_EQ(exists(temp.file("b.txt.vltenc")), encrypt);
        EXPECT_EQ(tree->Selected, chosen);
        EXPECT_EQ(tree->SelectionCount, 1);
        EXPECT_EQ(std::string(form->FilesView->Label16->GetText().c_str()), temp.file("b.txt"));
    }
}

// Real pointer input: a press and release at a screen point, with Ctrl held when asked.
void clickScreenPoint(POINT at, bool withCtrl = false) {
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    auto key = [&](bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = VK_CONTROL;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (withCtrl) key(false);
    for (DWORD flags : {DWORD(MOUSEEVENTF_MOVE), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(at.x, 65536, screenW) + 1;
        input.mi.dy = MulDiv(at.y, 65536, screenH) + 1;
        input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        inputs.push_back(input);
    }
    if (withCtrl) key(true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT centreOf(HWND window, const TRect& client) {
    POINT at{(client.Left + client.Right) / 2, (client.Top + client.Bottom) / 2};
    ClientToScreen(window, &at);
    return at;
}

// The chosen files clicked in the tree and the job's button clicked, as a user does both: after the
// job and its progress dialog the same files are chosen, the first of them the focused one.
TEST_F(FilesWiring, FilesChosenWithThePointerStayChosenThroughAJobStartedWithThePointer) {
    openWithView();
    form->SetBounds(20, 20, 757, 500);
    form->Show();
    CreateDirectoryA(temp.file("docs").c_str(), nullptr);
    temp.writeFile("docs\\d.txt", "in the folder");
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        temp.writeFile(name, std::string("text of ") + name);
        files().insertRow({temp.file(name)});
    }
    files().insertRow({temp.file("docs")});
    form->vaultShown("Brimsafe - Home");
    form->filesSide().showEncryptedFiles();
    form->FilesView->buildFileTree();
    TClrTreeView* tree = form->FilesView->ClrTreeView1;
    auto nodeNamed = [&](const std::string& path) -> TTreeNode* {
        for (TTreeNode* node = form->FilesView->rootNode(); node; node = node->GetNext())
            if (form->FilesView->nodePath(node) == path) return node;
        return nullptr;
    };
    auto chosenPaths = [&] {
        Strings paths;
        for (int i = 0; i < tree->SelectionCount; ++i) paths.push_back(form->FilesView->nodePath(tree->Selections[i]));
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    const struct {
        const char* what;
        Strings clicked;  // the first clicked alone, the others with Ctrl
    } cases[] = {
        {"one file", {temp.file("b.txt")}},
        {"two files", {temp.file("a.txt"), temp.file("c.txt")}},
        {"a file in a listed folder", {temp.file("docs\\d.txt")}},
    };
    brimtest::ScopedMessageBoxHandler okEverything([](const MessageBoxRequest& request) {
        return request.buttons == mbsOk ? int(mbrOk) : int(mbrYes);
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetForegroundWindow(form->Handle);
        for (std::size_t i = 0; i < c.clicked.size(); ++i) {
            TTreeNode* node = nodeNamed(c.clicked[i]);
            ASSERT_NE(node, nullptr) << c.clicked[i];
            node->MakeVisible();
            fwtest::pumpIdle();
            clickScreenPoint(centreOf(tree->Handle, node->DisplayRect(true)), i > 0);
            ASSERT_TRUE(mainwintest::pumpUntil([&] {
                const Strings now = chosenPaths();
                return now.size() == i + 1 && std::count(now.begin(), now.end(), c.clicked[i]) == 1;
            }));
        }
        const Strings before = chosenPaths();
        TTreeNode* focused = tree->Selected;
        for (bool encrypt : {true, false}) {
            SCOPED_TRACE(encrypt ? "encrypted" : "decrypted");
            TxpButton* button = encrypt ? form->FilesView->xpEncryptButton : form->FilesView->xpDecryptButton;
            TControl* parent = button->Parent;
            const TPoint origin = parent->ClientToScreen(TPoint(button->Left + button->Width / 2, button->Top + button->Height / 2));
            clickScreenPoint(POINT{origin.x, origin.y});
            EXPECT_TRUE(mainwintest::pumpUntil([&] { return exists(c.clicked.front() + ".vltenc") == encrypt; }));
            fwtest::pumpIdle();
            EXPECT_EQ(chosenPaths(), before);
            EXPECT_EQ(tree->Selected, focused);
        }
    }
}

}  // namespace
