// Gallery entries of the vault dialogs: the selection dialog with three known
// vaults, the wizard's pages in their states, and the password dialog's three
// looks. Entropy comes from scripted sources so the meter stands still.
#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "dialogs/QZ_Frm_Done.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/gallery/Gallery.h"

#include <atomic>
#include <memory>

namespace {

class GalleryHost : public DialogHost {
public:
    std::string vaultFolder() const override { return "C:\\Documents and Settings\\Pat\\My Documents\\Brimsafe"; }
    std::string vaultName() const override { return "Home"; }
    std::string installFolder() const override { return "C:\\Program Files\\Brimsafe"; }
    int backupKey(const std::string&) override { return 1; }
};

// Moves the cursor 50 px on both axes for a given number of polls, then stands still.
keyseed::EntropySources movingSources(int moves) {
    auto left = std::make_shared<std::atomic<int>>(moves);
    auto at = std::make_shared<std::atomic<long>>(0);
    keyseed::EntropySources sources;
    sources.cursorPosition = [left, at] {
        if (*left > 0) {
            --*left;
            *at += 50;
        }
        return POINT{at->load(), at->load()};
    };
    sources.milliseconds = [] { return 0; };
    sources.pollWait = [] { Sleep(1); };
    return sources;
}

// Holds the key generation until the program ends (the page is photographed while it runs).
class HeldEngine : public qzcrypto::RSAEngine {
public:
    void Reserved() override {}
    void Release() override {}
    void GenerateKeys(int, const unsigned char*) override { Sleep(INFINITE); }
    void ExportPrivateKey(unsigned char**, unsigned char**) override {}
    void FreePrivateKey(unsigned char*, unsigned char*) override {}
    void ImportPrivateKey(const unsigned char*, const unsigned char*, int) override {}
    void Encrypt(const unsigned char*, int, unsigned char**) override {}
    void Decrypt(const unsigned char*, int, unsigned char**) override {}
    void FreeBuffer(unsigned char*) override {}
};

void pumpUntil(const std::function<bool()>& done) {
    for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 10000;) {
        Application->ProcessMessages();
        Sleep(5);
    }
}

void writeVaultValue(const std::string& name, const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults", 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.data()),
                   static_cast<DWORD>(path.size()));
    RegCloseKey(key);
}

void shootKeyPage(gallery::Shot& shot, int moves, qzcrypto::RSAEngine* engine, int bits) {
    auto* page = MakeForm<TFrm_Initializing>(nullptr, movingSources(moves));
    page->SetKeyGenerator(engine);
    page->Show();
    pumpUntil([&] { return page->SeedBitCount() >= bits && page->QCLProgress1->Position >= bits * 100 / keyseed::SeedBits; });
    shot.form(page);
    page->Free();
}

}  // namespace

BRIM_GALLERY_ENTRY("select-vault") {
    char tempPath[MAX_PATH];
    GetTempPathA(MAX_PATH, tempPath);
    const std::string folder = std::string(tempPath) + "BrimsafeGallery";
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* names[] = {"Home", "Work", "Travel"};
    for (const char* name : names) {
        const std::string path = folder + "\\" + name;
        HANDLE file = CreateFileA((path + ".vlt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        writeVaultValue(name, path);
    }
    auto* dialog = MakeForm<TFrm_SelectDatabase>(nullptr);
    dialog->SetLocation(folder, "Work");
    shot.form(dialog);
    dialog->Free();
    for (const char* name : names) DeleteFileA((folder + "\\" + name + ".vlt").c_str());
    RemoveDirectoryA(folder.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, "software\\Quarrendel\\Brimsafe\\Vaults");
}

BRIM_GALLERY_ENTRY("choose-vault-location") {
    auto* page = MakeForm<TFrm_ChooseVaultLoc>(nullptr);
    page->SetLocation("C:\\Documents and Settings\\Pat\\My Documents\\Brimsafe\\My Vault.vlt");
    shot.form(page);
    page->Free();
}

BRIM_GALLERY_ENTRY("choose-name") {
    auto* prompt = MakeForm<TFrm_ChooseName>(nullptr);
    prompt->Edit1->Text = "Family";
    shot.form(prompt);
    prompt->Free();
}

BRIM_GALLERY_ENTRY("wizard-2-collecting") {
    static HeldEngine engine;
    shootKeyPage(shot, 54, &engine, 216);  // 216 of 512 bits: 42 %
}

BRIM_GALLERY_ENTRY("wizard-2-creating") {
    static HeldEngine engine;
    shootKeyPage(shot, 128, &engine, 512);
}

BRIM_GALLERY_ENTRY("wizard-3-first-password") {
    auto* page = MakeForm<TFrm_FirstPassword>(nullptr);
    page->Show();
    page->password1->Text = "correct horse";
    page->password2->Text = "correct horse";
    shot.form(page);
    page->Free();
}

BRIM_GALLERY_ENTRY("wizard-4-backup-key") {
    GalleryHost host;
    auto* page = MakeForm<TFrm_BackupKey>(nullptr, host);
    page->destination->Text = "E:\\Home Key Backup.bkv";
    shot.form(page);
    page->Free();
}

BRIM_GALLERY_ENTRY("wizard-5-done") {
    GalleryHost host;
    auto* page = MakeForm<TFrm_Done>(nullptr, host);
    page->SetVaultFolder(
        "C:\\Documents and Settings\\Pat Example\\My Documents\\Private Papers\\Household\\Brimsafe Vaults");
    shot.form(page);
    page->Free();
}

BRIM_GALLERY_ENTRY("password-enter") {
    auto* dialog = MakeForm<TPasswordForm>(nullptr);
    dialog->SetMode(false, false);
    dialog->Show();
    dialog->password1->Text = "secret";
    shot.form(dialog);
    dialog->Free();
}

BRIM_GALLERY_ENTRY("password-invalid") {
    auto* dialog = MakeForm<TPasswordForm>(nullptr);
    dialog->SetMode(false, true);
    shot.form(dialog);
    dialog->Free();
}

BRIM_GALLERY_ENTRY("password-change") {
    auto* dialog = MakeForm<TPasswordForm>(nullptr);
    dialog->SetMode(true, false);
    dialog->Show();
    dialog->password1->Text = "new secret";
    dialog->password2->Text = "new secret";
    shot.form(dialog);
    dialog->Free();
}
