/*
 * How long the "Encrypted Files" tree takes to build (at every vault open and
 * every Refresh): 1,000 listed files and one listed folder of 5,000 files, on
 * a real tree in a shown window. The figure is the median of five builds in
 * ms; its ratio is to the 1 s target. Lines starting "result" are for
 * scripts/bench.
 *
 *   filetree_benchmark [listed files (1000)] [files in the folder (5000)]
 */
#include "fileenc/EncryptedFilesView.h"
#include "framework/Framework.h"
#include "skin/ClrTreeView.h"
#include "vault/category.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class NoJobs : public FileJobHost {
public:
    TForm* messageOwner() override { return nullptr; }
    void readVaultID(unsigned char vaultID[16]) override { std::memset(vaultID, 0, 16); }
    std::string vaultName() override { return "Bench"; }
    std::vector<std::string> vaultFiles() override { return {}; }
    bool nextDataKey(unsigned char[16], DWORD& error) override {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    void copyVaultKey(unsigned char key[16]) override { std::memset(key, 0, 16); }
    FileJobReport runFileJob(const FileJobSetup&) override { return {}; }
};

class Window : public EncryptedFilesHost {
public:
    Window() : files("Encrypted Files") { files.addHeader("Name", htOneLine, hsShown, 428); }
    category* filesCategory() override { return &files; }
    bool vaultModified() override { return false; }
    void saveVault() override {}
    void showFilesCategory() override {}
    void tip(int, const std::string&) override {}
    category files;
};

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

void touch(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

void removeTree(const std::string& path) {
    for (const FolderEntry& entry : listFolder(path)) {
        const std::string full = path + "\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeTree(full);
        } else {
            DeleteFileA(full.c_str());
        }
    }
    RemoveDirectoryA(path.c_str());
}

void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int listed = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int inFolder = argc > 2 ? std::atoi(argv[2]) : 5000;
    InitFramework();
    Application->Initialize();

    char tempPath[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tempPath);
    const std::string root = std::string(tempPath) + "brim-filetree-bench";
    removeTree(root);
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string big = root + "\\big folder";
    CreateDirectoryA(big.c_str(), nullptr);
    Window window;
    for (int i = 0; i < listed; ++i) {
        // Names out of order, so each insert has to find its place.
        const std::string path = root + "\\file " + std::to_string((i * 7919) % listed) + ".txt";
        touch(path);
        window.files.insertRow({path});
    }
    for (int i = 0; i < inFolder; ++i) touch(big + "\\inside " + std::to_string(i) + ".txt");
    window.files.insertRow({big});

    TForm* form = MakeForm<TForm>(nullptr);
    form->SetBounds(0, 0, 720, 460);
    TPanel* left = new TPanel(form);
    left->Parent = form;
    left->SetBounds(0, 0, 300, 460);
    TPanel* right = new TPanel(form);
    right->Parent = form;
    right->SetBounds(300, 0, 420, 460);
    NoJobs jobs;
    FileJobChecks checks(jobs);
    // The view goes before the form that holds its controls, as in the main window.
    auto owned = std::make_unique<EncryptedFilesView>(form, left, right, window, jobs, checks);
    EncryptedFilesView& view = *owned;
    form->Show();
    pump();

    std::vector<double> times;
    int nodes = 0;
    for (int round = 0; round < 5; ++round) {
        const double start = nowMs();
        view.buildFileTree();
        times.push_back(nowMs() - start);
        pump();
        nodes = view.ClrTreeView1->Items->Count;
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("tree of %d listed files and a folder of %d files: %d nodes, builds %.1f .. %.1f ms\n", listed,
                inFolder, nodes, times.front(), times.back());
    std::printf("result filetree-build-ms %.1f %.3f\n", median, median / 1000.0);
    owned.reset();
    form->Free();
    removeTree(root);
    return nodes == listed + inFolder + 2 ? 0 : 1;
}
