#include "tests/fileenc/FileViewTestSupport.h"

#include "components/runtime/QCLFMDrop.h"
#include "fileenc/FileJobWorker.h"
#include "skin/ClrTreeView.h"
#include "tests/fileenc/FileJobTestSupport.h"
#include "vault/category.h"

#include <shlobj.h>

#include <cstring>

using namespace fileenctest;

namespace fileviewtest {

namespace {

const unsigned char DataKeyGiven[16] = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
const unsigned char OtherVaultID[16] = {0xEE, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

FileJobReport runJob(FileEncryptionJob& job, const FileJobSetup& setup) {
    JobWindow window;
    job.prepare(setup, window.handle());
    job.FinishPauseMs = 0;
    window.run(setup.encrypting ? EncryptFunc : DecryptFunc, job);
    RecordedMessage last = window.last();
    return {last.message == WM_FILEJOB_DONE ? 1 : 2, static_cast<std::uint32_t>(last.lParam),
            static_cast<DWORD>(last.wParam)};
}

void encryptWith(const std::string& plainPath, const unsigned char* vaultID, const std::string& vaultName) {
    writeAll(plainPath, patternBytes(100, 3));
    FileEncryptionJob job;
    FileJobSetup setup;
    setup.sourcePath = plainPath;
    setup.destPath = plainPath + ".vltenc";
    setup.encrypting = true;
    setup.vaultID = vaultID;
    setup.fileKey = DataKeyGiven;
    setup.vaultKey = TestVaultKey;
    setup.vaultName = vaultName;
    const FileJobReport report = runJob(job, setup);
    ASSERT_EQ(report.modalResult, 1) << plainPath;
    ASSERT_FALSE(fileExists(plainPath));
}

}  // namespace

void WorkerHost::readVaultID(unsigned char vaultID[16]) { std::memcpy(vaultID, TestVaultID, 16); }

bool WorkerHost::nextDataKey(unsigned char dataKey[16], DWORD&) {
    std::memcpy(dataKey, DataKeyGiven, 16);
    return true;
}

void WorkerHost::copyVaultKey(unsigned char key[16]) { std::memcpy(key, TestVaultKey, 16); }

FileJobReport WorkerHost::runFileJob(const FileJobSetup& setup) {
    ++jobs;
    jobSources.push_back(setup.sourcePath);
    if (setup.sourcePath == stopAt) return {2, 0x80000001u, 0};
    return runJob(job, setup);
}

WindowHost::WindowHost() : files(new category("Encrypted Files")) { files->addHeader("Name", htOneLine, hsShown, 428); }

WindowHost::~WindowHost() { delete files; }

void makeEncryptedFile(const std::string& plainPath) { encryptWith(plainPath, TestVaultID, "My Vault"); }

void makeForeignEncryptedFile(const std::string& plainPath, const std::string& vaultName) {
    encryptWith(plainPath, OtherVaultID, vaultName);
}

void ViewTest::SetUp() {
    FrameworkTest::SetUp();
    brimtest::clearProductRegistry();
    temp = std::make_unique<brimtest::TempFolder>();
    form = MakeForm<TForm>(nullptr);
    form->BorderStyle = bsNone;
    form->SetBounds(10, 10, 760, 460);
    filesArea = new TPanel(form);
    filesArea->Parent = form;
    filesArea->BevelOuter = bvNone;
    filesArea->SetBounds(0, 0, 300, 460);
    panelArea = new TPanel(form);
    panelArea->Parent = form;
    panelArea->BevelOuter = bvNone;
    panelArea->SetBounds(304, 0, 456, 460);
    jobs.owner = form;
    checks = std::make_unique<FileJobChecks>(jobs);
    view = std::make_unique<EncryptedFilesView>(form, filesArea, panelArea, window, jobs, *checks);
    dropTarget = new TQCLFMDrop(form);
    dropTarget->OnFMDragDrop = [this](TObject* sender, int fcount, int x, int y, TStringList* list) {
        view->QCLFMDrop1FMDragDrop(sender, fcount, x, y, list);
        ++dropsHandled;
    };
    dropTarget->Control = form;
    form->Show();
    dropTarget->Init();
    fwtest::pumpIdle();
}

void ViewTest::TearDown() {
    SetFolderListerForTesting(nullptr);
    view.reset();
    if (form) form->Free();
    form = nullptr;
    checks.reset();
    temp.reset();
    brimtest::clearProductRegistry();
    FrameworkTest::TearDown();
}

int ViewTest::addRow(const std::string& path) {
    window.files->insertRow({path});
    return window.files->findRowId({path});
}

void ViewTest::drop(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += name + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = {20, 20};
    header->fNC = FALSE;
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    const int before = dropsHandled;
    PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    ASSERT_TRUE(fwtest::pumpUntil([&] { return dropsHandled > before; }, 60000)) << "the drop was not handled";
}

std::vector<std::string> ViewTest::childTexts(TTreeNode* node) {
    std::vector<std::string> texts;
    for (int i = 0; node && i < node->Count; ++i) texts.push_back(node->Item[i]->Text);
    return texts;
}

std::vector<int> ViewTest::childImages(TTreeNode* node) {
    std::vector<int> images;
    for (int i = 0; node && i < node->Count; ++i) images.push_back(node->Item[i]->ImageIndex);
    return images;
}

TTreeNode* ViewTest::child(TTreeNode* node, const std::string& text) {
    for (int i = 0; node && i < node->Count; ++i)
        if (std::string(node->Item[i]->Text) == text) return node->Item[i];
    return nullptr;
}

std::vector<std::string> ViewTest::rows() {
    std::vector<std::string> paths;
    for (int i = 0; i < window.files->rowCount(); ++i) paths.push_back(window.files->itemText(i, 0));
    return paths;
}

void ViewTest::selectOnly(std::vector<TTreeNode*> nodes) {
    view->ClrTreeView1->ClearSelection();
    for (std::size_t i = 0; i < nodes.size(); ++i)
        view->ClrTreeView1->Select(nodes[i], i == 0 ? TShiftState() : TShiftState{ssCtrl});
    fwtest::pumpIdle();
}

}  // namespace fileviewtest
