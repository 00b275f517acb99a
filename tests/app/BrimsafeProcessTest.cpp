// The real Brimsafe.exe as its own process: the hand-off of an encrypted file to the process that
// has its vault open, and the commands another process sends it before and after a vault is open.
#include "app/CommandLine.h"
#include "app/RegistrySettings.h"
#include "app/StandInDialogs.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/VaultHolderProcess.h"
#include "tests/vault/VaultFlowsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr const char* Password = "open sesame";

class BrimsafeProcess {
public:
    explicit BrimsafeProcess(const std::string& arguments) {
        std::string command = "\"" + brimtest::binaryFolder() + "\\Brimsafe.exe\"";
        if (!arguments.empty()) command += " " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
            ADD_FAILURE() << "Brimsafe.exe did not start: " << GetLastError();
            return;
        }
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    ~BrimsafeProcess() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "Brimsafe.exe was still running";
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 10000);
        }
        CloseHandle(process_);
    }
    BrimsafeProcess(const BrimsafeProcess&) = delete;
    BrimsafeProcess& operator=(const BrimsafeProcess&) = delete;

    // The exit code, or -1 when the process has not ended in time.
    long exitCode(DWORD waitMs = 30000) const {
        if (!process_ || WaitForSingleObject(process_, waitMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }
    bool running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // Waits up to ms for the process to end (a pause between looks that ends early when it does).
    void waitForEnd(DWORD ms) const {
        if (process_) WaitForSingleObject(process_, ms);
    }
    // A top-level window of this process by class and/or caption, waited for up to 30 seconds.
    HWND window(const char* className, const char* caption) const {
        for (int tries = 0; tries < 600; ++tries) {
            HWND found = nullptr;
            while ((found = FindWindowExA(nullptr, found, className, caption)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                if (owner == id_) return found;
            }
            if (!running()) break;
            WaitForSingleObject(process_, 50);
        }
        return nullptr;
    }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Sends a command as another program would; false when the window did not answer in time.
bool sendCommand(HWND window, ULONG_PTR command, const void* data, DWORD size) {
    COPYDATASTRUCT block{};
    block.dwData = command;
    block.cbData = size;
    block.lpData = const_cast<void*>(data);
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block), SMTO_NORMAL, 5000,
                               &answer) != 0;
}

bool sendPath(HWND window, ULONG_PTR command, const std::string& path) {
    return sendCommand(window, command, path.c_str(), static_cast<DWORD>(path.size() + 1));
}

// The notification a click on a push button sends its dialog.
void click(HWND dialog, HWND button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Opens the preselected vault through the stand-in dialogs; the main window once it bears the vault ID.
// A control of a dialog, waited for: the dialog's window may be found before its controls exist.
HWND control(const BrimsafeProcess& brimsafe, HWND dialog, const char* className, const char* text) {
    for (int tries = 0; dialog && tries < 200 && brimsafe.running(); ++tries) {
        if (HWND found = FindWindowExA(dialog, nullptr, className, text)) return found;
        brimsafe.waitForEnd(50);
    }
    return nullptr;
}

HWND openRememberedVault(const BrimsafeProcess& brimsafe, const std::string& vaultId) {
    HWND vaults = brimsafe.window(nullptr, standin::VaultsCaption);
    HWND open = control(brimsafe, vaults, nullptr, "Open");
    if (!open) return nullptr;
    click(vaults, open);
    HWND prompt = brimsafe.window(nullptr, standin::PasswordCaption);
    HWND edit = control(brimsafe, prompt, "TEdit", nullptr);
    HWND ok = control(brimsafe, prompt, nullptr, "OK");
    if (!edit || !ok) return nullptr;
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Password));
    click(prompt, ok);
    return brimsafe.window(nullptr, vaultId.c_str());
}

class BrimsafeProcessTest : public brimtest::FreshRegistry {
protected:
    void SetUp() override {
        brimtest::FreshRegistry::SetUp();
        settings::RegistryKey key;
        ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
        key.writeDword("Update", 1);
        key.writeDword("UpdateTime", 604800);
        key.writeDword("LastCheck", static_cast<DWORD>(time(nullptr)));
        key.writeString("DBLoc", temp.path());
        key.writeString("DBFname", "Home");
    }
    brimtest::TempFolder temp;
};

TEST_F(BrimsafeProcessTest, AnEncryptedFileOfAVaultOpenElsewhereIsHandedOverAndTheStartEnds) {
    const unsigned char id[16] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef,
                                  0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};
    std::string header(512, '\0');
    std::memcpy(&header[84], id, 16);
    temp.writeFile("report.doc.vltenc", header);
    const std::string path = systemLongPath(temp.file("report.doc.vltenc")).value_or("");
    ASSERT_FALSE(path.empty());

    brimtest::HolderRequest request;
    request.mutexName = vaultIdText(id);
    request.caption = vaultIdText(id);
    brimtest::VaultHolderProcess holder(request);
    ASSERT_TRUE(holder.running());

    BrimsafeProcess second("\"" + path + "\"");
    // Nothing is shown: any dialog or box would keep the process waiting.
    EXPECT_EQ(second.exitCode(), 0);
    const auto received = holder.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].command, 103u);
    EXPECT_EQ(received[0].bytes, path + std::string(1, '\0'));
}

// Until a vault is chosen and its password given no vault is open: commands are ignored and
// quitting saves nothing.
TEST_F(BrimsafeProcessTest, BeforeAVaultIsOpenCommandsAreIgnoredAndQuitEndsWithoutSaving) {
    vaulttest::makeSavedVault(temp.path(), "Home", Password);
    const std::string vaultBefore = temp.readFile("Home.vlt");
    temp.writeFile("letter.txt", "dear");
    temp.writeFile("backup.bvt", "not a backup");

    BrimsafeProcess brimsafe("");
    ASSERT_NE(brimsafe.window(nullptr, standin::VaultsCaption), nullptr);
    HWND main = brimsafe.window("TFormMain", nullptr);
    ASSERT_NE(main, nullptr);
    const std::pair<ULONG_PTR, std::string> commands[] = {{104, temp.file("letter.txt")},
                                                           {103, temp.file("letter.txt")},
                                                           {101, temp.file("Home.vlt")},
                                                           {102, temp.file("backup.bvt")}};
    for (const auto& [command, path] : commands) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(sendPath(main, command, path));
        EXPECT_TRUE(brimsafe.running());
    }
    EXPECT_TRUE(sendCommand(main, 100, nullptr, 0));
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_EQ(temp.readFile("Home.vlt"), vaultBefore);
    EXPECT_EQ(temp.readFile("letter.txt"), "dear");
    EXPECT_TRUE(settings::knownVaults().empty());
}

// A program asked to close before any vault is open (an uninstaller, the task bar) just ends.
TEST_F(BrimsafeProcessTest, ACloseBeforeAVaultIsOpenEndsTheProgram) {
    vaulttest::makeSavedVault(temp.path(), "Home", Password);
    BrimsafeProcess brimsafe("");
    ASSERT_NE(brimsafe.window(nullptr, standin::VaultsCaption), nullptr);
    HWND application = brimsafe.window("TApplication", nullptr);
    ASSERT_NE(application, nullptr);
    PostMessageA(application, WM_CLOSE, 0, 0);
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_TRUE(settings::knownVaults().empty());
}

TEST_F(BrimsafeProcessTest, WithTheVaultOpenMalformedCommandsAreIgnoredAndQuitSavesAndRegisters) {
    const std::string vaultId = vaulttest::makeSavedVault(temp.path(), "Home", Password);
    BrimsafeProcess brimsafe("");
    HWND main = openRememberedVault(brimsafe, vaultId);
    ASSERT_NE(main, nullptr);

    const std::string vaultPath = temp.file("Home.vlt");
    struct Case {
        const char* name;
        ULONG_PTR command;
        const void* data;
        DWORD size;
    };
    const Case cases[] = {
        {"unknown command", 99, vaultPath.c_str(), static_cast<DWORD>(vaultPath.size() + 1)},
        {"open vault without a terminator", 101, vaultPath.c_str(), static_cast<DWORD>(vaultPath.size())},
        {"open vault with no data", 101, nullptr, 0},
        {"open vault by a bare name", 101, "abc", 4},
        {"add file with no data", 104, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An obeyed switch would ask its question and keep the sender waiting.
        EXPECT_TRUE(sendCommand(main, c.command, c.data, c.size));
        EXPECT_TRUE(brimsafe.running());
    }
    // The window titled "Brimsafe" is now only the application's: quitting through it is ignored.
    HWND titled = brimsafe.window(nullptr, "Brimsafe");
    ASSERT_NE(titled, nullptr);
    char className[64] = {};
    GetClassNameA(titled, className, sizeof className);
    EXPECT_STREQ(className, "TApplication");
    EXPECT_TRUE(sendCommand(titled, 100, nullptr, 0));
    EXPECT_TRUE(brimsafe.running());

    EXPECT_TRUE(sendCommand(main, 100, nullptr, 0));
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_EQ(settings::readStoredDBLoc().value_or(""), temp.path());
    EXPECT_EQ(settings::knownVaults(),
              (std::vector<std::pair<std::string, std::string>>{{"Home", temp.path() + "\\Home"}}));
}

}  // namespace

namespace {

// A close from outside (the task bar's "Close" reaches the application window) runs the exit.
TEST_F(BrimsafeProcessTest, ACloseAtTheApplicationWindowSavesAndRegistersTheVault) {
    const std::string vaultId = vaulttest::makeSavedVault(temp.path(), "Home", Password);
    BrimsafeProcess brimsafe("");
    ASSERT_NE(openRememberedVault(brimsafe, vaultId), nullptr);
    HWND application = brimsafe.window("TApplication", nullptr);
    ASSERT_NE(application, nullptr);
    PostMessageA(application, WM_CLOSE, 0, 0);
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_EQ(settings::knownVaults(),
              (std::vector<std::pair<std::string, std::string>>{{"Home", temp.path() + "\\Home"}}));
}

}  // namespace
