// Gallery entries of the "Encrypted Files" view on a test form the size of the main window's file
// side: the tree with an expanded folder of plain and encrypted files and an encrypted file's
// properties, and the panel of a listed file that is gone from the disk.
#include "fileenc/EncryptedFile.h"
#include "fileenc/EncryptedFilesView.h"
#include "skin/ClrTreeView.h"
#include "tests/gallery/Gallery.h"
#include "vault/category.h"

#include <cstring>

namespace {

const char* const Folder = "C:\\Gallery Files";

class NoJobs : public FileJobHost {
public:
    TForm* messageOwner() override { return nullptr; }
    void readVaultID(unsigned char vaultID[16]) override { std::memset(vaultID, 7, 16); }
    std::string vaultName() override { return "Home"; }
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

void writeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// An encrypted file as the view reads it: a header of this vault and a body of the stated size.
void writeEncrypted(const std::string& plainPath, std::uint64_t plainSize) {
    encfile::EncryptedFileHeader header;
    header.plainSize = plainSize;
    SYSTEMTIME when{2010, 3, 0, 14, 15, 42, 0, 0};
    SystemTimeToFileTime(&when, &header.creationTime);
    SystemTimeToFileTime(&when, &header.lastWriteTime);
    SYSTEMTIME encrypted{2010, 4, 0, 2, 9, 5, 0, 0};
    SystemTimeToFileTime(&encrypted, &header.encryptionDate);
    std::memset(header.vaultID, 7, 16);
    header.vaultName = "Home";
    header.chunkSize = 4096;
    const std::size_t body = static_cast<std::size_t>((plainSize / 8 + 1) * 8);
    header.encryptedLength = encfile::HeaderSize + body;
    unsigned char bytes[encfile::HeaderSize];
    header.encode(bytes);
    writeFile(plainPath + encfile::Extension,
              std::string(reinterpret_cast<char*>(bytes), encfile::HeaderSize) + std::string(body, '\x5a'));
}

void removeFolder(const std::string& path) {
    for (const FolderEntry& entry : listFolder(path)) {
        const std::string full = path + "\\" + entry.name;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeFolder(full);
        } else {
            DeleteFileA(full.c_str());
        }
    }
    RemoveDirectoryA(path.c_str());
}

struct Scene {
    Scene() {
        removeFolder(Folder);
        CreateDirectoryA(Folder, nullptr);
        const std::string taxes = std::string(Folder) + "\\Taxes 2009";
        CreateDirectoryA(taxes.c_str(), nullptr);
        writeEncrypted(taxes + "\\return.pdf", 482113);
        writeFile(taxes + "\\receipts.xls", std::string(20480, 'r'));
        writeEncrypted(taxes + "\\statement.doc", 91244);
        writeEncrypted(std::string(Folder) + "\\Passport scan.jpg", 1234567);
        writeFile(std::string(Folder) + "\\notes.txt", std::string(999, 'n'));
        window.files.insertRow({std::string(Folder) + "\\notes.txt"});
        window.files.insertRow({taxes});
        window.files.insertRow({std::string(Folder) + "\\Passport scan.jpg"});
        window.files.insertRow({std::string(Folder) + "\\Old letters\\letter to the bank about the mortgage.doc"});

        form = MakeForm<TForm>(nullptr);
        form->BorderStyle = bsSingle;
        form->Caption = "Encrypted Files";
        form->SetBounds(30, 30, 720, 420);
        form->Color = clWhite;
        left = new TPanel(form);
        left->Parent = form;
        left->BevelOuter = bvNone;
        left->SetBounds(4, 4, 300, form->ClientHeight - 8);
        right = new TPanel(form);
        right->Parent = form;
        right->BevelOuter = bvNone;
        right->Color = clWhite;
        right->SetBounds(310, 4, form->ClientWidth - 314, form->ClientHeight - 8);
        checks = std::make_unique<FileJobChecks>(jobs);
        view = std::make_unique<EncryptedFilesView>(form, left, right, window, jobs, *checks);
        view->buildFileTree();
    }
    ~Scene() {
        view.reset();
        form->Free();
        removeFolder(Folder);
    }
    TTreeNode* node(const std::string& text) {
        for (TTreeNode* n = view->rootNode(); n; n = n->GetNext())
            if (std::string(n->GetText()) == text) return n;
        return nullptr;
    }
    NoJobs jobs;
    Window window;
    std::unique_ptr<FileJobChecks> checks;
    TForm* form = nullptr;
    TPanel* left = nullptr;
    TPanel* right = nullptr;
    std::unique_ptr<EncryptedFilesView> view;
};

}  // namespace

BRIM_GALLERY_ENTRY("encrypted-files") {
    Scene scene;
    scene.form->Show();
    scene.view->ClrTreeView1->Select(scene.node("return.pdf"));
    scene.view->ClrTreeView1Change(nullptr, nullptr);
    shot.form(scene.form);
}

BRIM_GALLERY_ENTRY("file-missing") {
    Scene scene;
    scene.form->Show();
    scene.view->ClrTreeView1->Select(scene.node("letter to the bank about the mortgage.doc"));
    scene.view->ClrTreeView1Change(nullptr, nullptr);
    shot.form(scene.form);
}
