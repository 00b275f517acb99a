/*
 * Shared pieces of the main-window tests: its dialogs scripted (each call is recorded by
 * name, in order), a file view that records, a saved vault remembered in the settings, a main
 * window made on them, and a few helpers (read a saved vault back, fill the clipboard as
 * another program, run the message loop with a deadline, send a command).
 */
#pragma once

#include "app/QZ_Frm_Main.h"
#include "base/RegistrySettings.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/vault/VaultFlowsTestSupport.h"
#include "vault/category.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace mainwintest {

class ScriptedDialogs : public MainWindowDialogs {
public:
    struct Password {
        int result;
        std::string text;
        std::function<void()> whileOpen;  // runs while the dialog would be open
    };
    void password(int result, const std::string& text = "", std::function<void()> whileOpen = {}) {
        passwords_.push_back({result, text, std::move(whileOpen)});
    }
    void selection(int result, const std::string& folder = "", const std::string& name = "") {
        selections_.push_back({result, {folder, name}});
    }
    int askPassword(TForm*, int, bool retry, bool, SecretText& password) override {
        calls.push_back(retry ? "password again" : "password");
        if (passwords_.empty()) {
            ADD_FAILURE() << "unexpected password dialog";
            return 2;
        }
        Password next = passwords_.front();
        passwords_.pop_front();
        if (next.whileOpen) next.whileOpen();
        if (next.result == 1) password = SecretText(next.text.c_str());
        return next.result;
    }
    int selectVault(TForm*, VaultChoice& choice) override {
        calls.push_back("select");
        if (selections_.empty()) {
            ADD_FAILURE() << "unexpected selection dialog";
            return 2;
        }
        auto next = selections_.front();
        selections_.pop_front();
        // An empty folder takes the preselected vault.
        if (next.first != 2 && !next.second.folder.empty()) choice = next.second;
        return next.first;
    }
    bool findVaultById(const unsigned char*, VaultChoice&) override { return false; }
    int restoreVault(TForm*, const std::string&, const std::string& source) override {
        calls.push_back("restore " + source);
        return 2;
    }
    // The key page makes the pair from a fixed seed (the page itself is not here).
    int createKeys(TForm*, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char* seed) override {
        calls.push_back("key page");
        const vaulttest::Bytes fixed = vaulttest::seedOf(7);
        rsa.GenerateKeys(keyBits, fixed.data());
        std::memcpy(seed, fixed.data(), fixed.size());
        return 1;
    }
    int chooseName(TForm*, std::string&) override { return 2; }
    // Answers 6 with keyBackup when one is set, else Cancel.
    int keyRestore(TForm*, std::string& path) override {
        calls.push_back("key restore");
        if (keyBackup.empty()) return 2;
        path = keyBackup;
        return 6;
    }
    void backupKeyPage(TForm*) override { calls.push_back("backup key page"); }
    void donePage(TForm*, const std::string&) override { calls.push_back("done page"); }
    void tip(TForm*, int number, const std::string&) override { calls.push_back("tip " + std::to_string(number)); }
    bool updateCheckDue() override { return checkDue; }
    void checkForUpdate(TForm*) override { calls.push_back("update check"); }

    bool answeredAll() const { return passwords_.empty() && selections_.empty(); }

    bool checkDue = false;
    std::string keyBackup;
    std::vector<std::string> calls;

private:
    std::deque<Password> passwords_;
    std::deque<std::pair<int, VaultChoice>> selections_;
};

class RecordingFiles : public MainWindowFiles {
public:
    void showEncryptedFiles() override { calls.push_back("show encrypted files"); }
    int decryptSingleFile(const std::string& path) override {
        calls.push_back("decrypt " + path);
        return 0;
    }
    int encryptSingleFile(const std::string& path) override {
        calls.push_back("encrypt " + path);
        return 0;
    }
    void addFileRow(const std::string& path, bool withMessages) override {
        calls.push_back(std::string(withMessages ? "list " : "list quietly ") + path);
    }
    void addFolder(const std::string& path) override { calls.push_back("add folder " + path); }
    void runFile(const std::string& path) override { calls.push_back("run " + path); }
    void updateTreeImages() override { calls.push_back("tree images"); }
    std::vector<std::string> calls;
};

inline bool noHandOff(const std::string&) { return false; }

// A test with a fresh registry, a saved vault "Home" in a temporary folder remembered as the
// vault to open, and a main window on scripted dialogs.
class MainWindowTest : public brimtest::FreshRegistry {
protected:
    static constexpr const char* Password = "correct horse";

    void SetUp() override {
        InitFramework();  // the layout loads its pictures from the program's resources
        brimtest::FreshRegistry::SetUp();
        settings::RegistryKey key;
        ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
        // No update check is due in these tests unless one says so.
        key.writeDword("Update", 1);
        key.writeDword("UpdateTime", 604800);
        key.writeDword("LastCheck", static_cast<DWORD>(time(nullptr)));
        key.writeString("DBLoc", temp.path());
        key.writeString("DBFname", "Home");
        vaultId = vaulttest::makeSavedVault(temp.path(), "Home", Password);
    }
    void TearDown() override {
        if (form) form->Free();
        form = nullptr;
        brimtest::FreshRegistry::TearDown();
    }
    TFormMain* makeForm(const std::string& commandLine = "Brimsafe.exe") {
        form = MakeForm<TFormMain>(nullptr, dialogs, files, commandLine, &noHandOff);
        return form;
    }
    // A main window with the remembered vault open.
    TFormMain* openForm() {
        makeForm();
        dialogs.selection(1);
        dialogs.password(1, Password);
        EXPECT_EQ(form->startUp(), suGoOn);
        return form;
    }
    std::string vaultBytes() const { return temp.readFile("Home.vlt"); }

    brimtest::TempFolder temp;
    ScriptedDialogs dialogs;
    RecordingFiles files;
    TFormMain* form = nullptr;
    std::string vaultId;
};

inline bool mutexExists(const std::string& name) {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (!mutex) return false;
    CloseHandle(mutex);
    return true;
}

// The first column of the "Notes" rows of a saved vault, read back apart from the window.
inline std::vector<std::string> savedNotes(const std::string& folder, const std::string& name,
                                           const std::string& password) {
    vaulttest::FlowPrompts prompts;
    VaultStore store(prompts);
    VaultFlows flows(store, prompts, &noHandOff);
    store.setDBLoc(folder);
    store.setDBFname(name);
    prompts.answer(1, password);
    std::vector<std::string> notes;
    if (flows.openVault(store.vaultFilePath()) != ovOpen) return notes;
    for (category* c = store.content().userCategories; c; c = c->next) {
        if (c->getName() != "Notes") continue;
        for (int i = 0; i < c->rowCount(); ++i) notes.push_back(c->itemText(i, 0));
    }
    return notes;
}

// Puts a text on the clipboard as another program would, through a window of its own.
inline bool fillClipboard(const std::string& text) {
    HWND owner = CreateWindowA("STATIC", "clipboard filler", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool filled = false;
    if (owner && OpenClipboard(owner)) {
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        filled = SetClipboardData(CF_TEXT, memory) != nullptr;
        CloseClipboard();
    }
    if (owner) DestroyWindow(owner);
    return filled;
}

inline int clipboardFormats() {
    if (!OpenClipboard(nullptr)) return -1;
    const int count = CountClipboardFormats();
    CloseClipboard();
    return count;
}

// Runs the message loop until done() holds or five seconds have passed.
inline bool pumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 5000) return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

inline void sendCommand(HWND window, ULONG_PTR command, const std::string& path) {
    COPYDATASTRUCT data{};
    data.dwData = command;
    data.cbData = path.empty() ? 0 : static_cast<DWORD>(path.size() + 1);
    data.lpData = path.empty() ? nullptr : const_cast<char*>(path.c_str());
    SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

// What the commands ask of the file side, passed on to the window's own one once it exists
// (the window is made after the commands' host, which needs a file side from the start).
class ForwardingFiles : public MainWindowFiles {
public:
    void showEncryptedFiles() override { to->showEncryptedFiles(); }
    int decryptSingleFile(const std::string& path) override { return to->decryptSingleFile(path); }
    int encryptSingleFile(const std::string& path) override { return to->encryptSingleFile(path); }
    void addFileRow(const std::string& path, bool withMessages) override { to->addFileRow(path, withMessages); }
    void addFolder(const std::string& path) override { to->addFolder(path); }
    void runFile(const std::string& path) override { to->runFile(path); }
    void updateTreeImages() override { to->updateTreeImages(); }
    MainWindowFiles* to = nullptr;
};

}  // namespace mainwintest
