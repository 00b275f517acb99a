// The real Brimsafe.exe as its own process, driven through its real dialogs as a user would (found
// by their window texts, clicked and typed into with real input): the first start that creates a
// vault through the whole wizard, the hand-off of an encrypted file to the process that has its
// vault open, and the commands another process sends it before and after a vault is open.
//
// Tricky point: input goes to the foreground window, so every window is brought forward (and waited
// for until it is) before it is clicked or typed into.
#include "app/CommandLine.h"
#include "base/RegistrySettings.h"
#include "dialogs/TipSettings.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/MessageBoxReader.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/VaultHolderProcess.h"
#include "tests/vault/VaultFlowsTestSupport.h"
#include "vault/VaultFlows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

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
    DWORD processId() const { return id_; }
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

// ---- real input, as a user gives it ----

void sendMouse(DWORD flags, int x, int y) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void sendKey(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// Brings the top-level window forward; false when it did not become the foreground window in time.
bool bringForward(const BrimsafeProcess& brimsafe, HWND window) {
    for (int tries = 0; tries < 300 && IsWindow(window); ++tries) {
        SetForegroundWindow(window);
        if (GetForegroundWindow() == window) return true;
        brimsafe.waitForEnd(50);
    }
    return false;
}

// A left click at the centre of a window of the foreground dialog.
void clickAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    sendMouse(0, x, y);
    sendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    sendMouse(MOUSEEVENTF_LEFTUP, x, y);
}

// Types text into the focused control, shift as the layout asks.
void typeText(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const bool shift = HIBYTE(scan) & 1;
        if (shift) sendKey(VK_SHIFT, true);
        sendKey(LOBYTE(scan), true);
        sendKey(LOBYTE(scan), false);
        if (shift) sendKey(VK_SHIFT, false);
    }
}

// A visible descendant of a dialog by its text ('&' and case ignored), waited for: the dialog's
// window may be found before its controls exist.
HWND control(const BrimsafeProcess& brimsafe, HWND dialog, const char* text) {
    for (int tries = 0; dialog && tries < 400 && brimsafe.running(); ++tries) {
        HWND found = brimtest::findChildByText(dialog, text);
        if (found && IsWindowVisible(found)) return found;
        brimsafe.waitForEnd(50);
    }
    return nullptr;
}

BOOL CALLBACK collectEdit(HWND window, LPARAM list) {
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "TQCLEdit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The dialog's visible edits from the top down.
std::vector<HWND> editsOf(HWND dialog) {
    std::vector<HWND> edits;
    EnumChildWindows(dialog, collectEdit, reinterpret_cast<LPARAM>(&edits));
    std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    return edits;
}

// A control's text as the control itself gives it (the system's copy of another process's window
// text is not kept up to date for edits).
std::string textOf(HWND control) {
    char text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
    return text;
}

// Clicks the dialog's button with this text once the dialog is forward; false when it cannot.
bool press(const BrimsafeProcess& brimsafe, HWND dialog, const char* button) {
    HWND found = control(brimsafe, dialog, button);
    if (!found || !bringForward(brimsafe, dialog)) return false;
    clickAt(found);
    return true;
}

// The dialog's visible edits once there are at least `count` of them (waited for, like controls).
std::vector<HWND> editsOf(const BrimsafeProcess& brimsafe, HWND dialog, std::size_t count) {
    std::vector<HWND> edits;
    for (int tries = 0; tries < 400 && (edits = editsOf(dialog)).size() < count && brimsafe.running(); ++tries)
        brimsafe.waitForEnd(50);
    return edits;
}

// Types into the dialog's edits from the top down (an empty text leaves that edit alone).
bool fill(const BrimsafeProcess& brimsafe, HWND dialog, const std::vector<std::string>& texts) {
    const std::vector<HWND> edits = editsOf(brimsafe, dialog, texts.size());
    if (edits.size() < texts.size() || !bringForward(brimsafe, dialog)) return false;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) continue;
        clickAt(edits[i]);
        typeText(texts[i]);
    }
    return true;
}

// Handles what was sent or posted to this thread's windows (the message box reader's reply window
// among them), so the test never looks like a program that stopped answering.
void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The skinned message box the process shows next: its text, after pressing the button (what went
// wrong, in angle brackets, when it could not be answered).
std::string answerBox(const BrimsafeProcess& brimsafe, const char* button) {
    HWND box = brimtest::waitForMessageBox(brimsafe.processId(), 60000);
    if (!box) return "<no message box>";
    brimtest::MessageBoxContents contents;
    bool read = false;
    for (int tries = 0; tries < 5 && !read; ++tries) {
        pumpMessages();
        read = brimtest::readMessageBox(box, contents);
    }
    if (!read) {
        const std::string why = "<unreadable message box: hung " + std::to_string(IsHungAppWindow(box)) +
                                ", visible " + std::to_string(IsWindowVisible(box)) + ", buttons " +
                                std::to_string(brimtest::findMessageBoxButton(box, button) != nullptr) + ">";
        if (bringForward(brimsafe, box)) brimtest::clickMessageBoxButton(box, button);
        return why;
    }
    if (!bringForward(brimsafe, box)) return "<message box not in front: " + contents.text + ">";
    if (!brimtest::clickMessageBoxButton(box, button)) return "<no button " + std::string(button) + ">";
    for (int tries = 0; tries < 200 && IsWindowVisible(box); ++tries) brimsafe.waitForEnd(50);
    return contents.text;
}

// Opens the preselected vault as a user does: "Open Vault" on the selection dialog, the password
// typed into the password dialog and "Ok". The main window once it bears the vault ID.
HWND openRememberedVault(const BrimsafeProcess& brimsafe, const std::string& vaultId) {
    HWND selection = brimsafe.window(nullptr, "Frm_SelectDatabase");
    if (!press(brimsafe, selection, "Open Vault")) return nullptr;
    HWND prompt = brimsafe.window(nullptr, "PasswordForm");
    if (!fill(brimsafe, prompt, {Password}) || !press(brimsafe, prompt, "Ok")) return nullptr;
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
        // The closing tip would stop the quit the tests ask for; the first start shows it for real.
        tips::DisableTip(1);
    }
    // The known vaults once the selection dialog has listed the remembered vault.
    std::vector<std::pair<std::string, std::string>> rememberedVaultListed() const {
        return {{"Home", temp.path() + "\\Home"}};
    }
    brimtest::TempFolder temp;
};

// The category names of the vault (the user's in order, then "Encrypted Files") opened with the
// password in this process, or nothing when it does not open.
std::optional<std::vector<std::string>> categoriesOf(const std::string& vaultFile, const std::string& password) {
    vaulttest::FlowPrompts prompts;
    VaultStore store(prompts);
    VaultFlows flows(store, prompts, &vaulttest::noHandOff);
    flows.PendingVaultFile = vaultFile;
    prompts.answer(1, password);
    prompts.answer(2);
    if (flows.loadDB() != ldOpen) return std::nullopt;
    std::vector<std::string> names;
    for (category* c = store.content().userCategories; c; c = c->next) names.push_back(c->getName());
    if (store.content().encryptedFiles) names.push_back(store.content().encryptedFiles->getName());
    flows.releaseVaultMutex();
    return names;
}

// The first start: no vault yet, so the selection dialog; "New Vault" and the location page, the key
// page filled by moving the pointer and typing, the first password typed twice, the key backup
// skipped after its question, the completion page; then the main window with the new vault. Quitting
// shows the closing tip, whose ticked box switches it off for good.
TEST_F(BrimsafeProcessTest, TheFirstStartCreatesAVaultThroughTheWizardAndOpensIt) {
    {
        settings::RegistryKey key;
        ASSERT_TRUE(key.openOrCreate(HKEY_CURRENT_USER, settings::SettingsKeyPath));
        RegDeleteValueA(key.get(), tips::ValueName);
    }
    BrimsafeProcess brimsafe("");
    HWND selection = brimsafe.window(nullptr, "Frm_SelectDatabase");
    ASSERT_TRUE(press(brimsafe, selection, "New Vault"));

    // The location page suggests the remembered folder and name.
    HWND location = brimsafe.window(nullptr, "Frm_ChooseVaultLoc");
    ASSERT_NE(location, nullptr);
    const std::vector<HWND> locationEdits = editsOf(brimsafe, location, 1);
    ASSERT_EQ(locationEdits.size(), 1u);
    EXPECT_EQ(textOf(locationEdits[0]), temp.file("Home.vlt"));
    ASSERT_TRUE(press(brimsafe, location, "Next"));

    // Randomness from the pointer (moves of 100 px on both axes) and the keyboard until the key exists.
    HWND keyPage = brimsafe.window(nullptr, "Frm_Initializing");
    ASSERT_TRUE(keyPage && bringForward(brimsafe, keyPage));
    const DWORD keyDeadline = GetTickCount() + 120000;
    for (int step = 0; GetTickCount() < keyDeadline && brimsafe.running() &&
                       !brimtest::findMessageBox(brimsafe.processId());
         ++step) {
        const int at = 100 + 100 * (step % 4);
        sendMouse(0, at, at);
        sendKey('K', true);
        sendKey('K', false);
        pumpMessages();
        brimsafe.waitForEnd(20);
    }
    EXPECT_EQ(answerBox(brimsafe, "Ok"), "Your key has been created.");

    HWND firstPassword = brimsafe.window(nullptr, "Frm_FirstPassword");
    ASSERT_TRUE(fill(brimsafe, firstPassword, {Password, Password}));
    ASSERT_TRUE(press(brimsafe, firstPassword, "Next"));

    HWND backup = brimsafe.window(nullptr, "Frm_BackupKey");
    ASSERT_TRUE(press(brimsafe, backup, "Skip"));
    EXPECT_EQ(answerBox(brimsafe, "Yes"), "Are you sure that you would like to proceed without backing up your key?");
    HWND done = brimsafe.window(nullptr, "Frm_Done");
    ASSERT_TRUE(press(brimsafe, done, "Finish"));

    const std::string keyFile = temp.readFile("Home.kvt");
    ASSERT_GE(keyFile.size(), 24u);
    const std::string vaultId = vaultIdText(reinterpret_cast<const unsigned char*>(keyFile.data() + 8));
    HWND main = brimsafe.window("TFormMain", vaultId.c_str());
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(IsWindowVisible(main));

    // Quit as a user does (Ctrl+Q); the closing tip comes up, its box ticked before "Ok".
    ASSERT_TRUE(bringForward(brimsafe, main));
    sendKey(VK_CONTROL, true);
    sendKey('Q', true);
    sendKey('Q', false);
    sendKey(VK_CONTROL, false);
    HWND tip = brimsafe.window(nullptr, "Frm_DontShowAgain");
    ASSERT_TRUE(press(brimsafe, tip, "Do not show me again"));
    ASSERT_TRUE(press(brimsafe, tip, "Ok"));
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_FALSE(tips::IsTipEnabled(1));

    EXPECT_EQ(settings::knownVaults(),
              (std::vector<std::pair<std::string, std::string>>{{"Home", temp.path() + "\\Home"}}));
    EXPECT_EQ(categoriesOf(temp.file("Home.vlt"), Password),
              (std::vector<std::string>{"To Do", "Passwords", "Contacts", "Encrypted Files"}));
}

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

// Started again without an argument while the remembered vault is open in a minimised Brimsafe: the
// running window comes back restored and in front, and the second start ends without asking anything
// (a box or dialog would keep it running).
TEST_F(BrimsafeProcessTest, ASecondStartOnTheOpenVaultBringsTheMinimisedWindowBack) {
    const std::string vaultId = vaulttest::makeSavedVault(temp.path(), "Home", Password);
    BrimsafeProcess brimsafe("");
    HWND main = openRememberedVault(brimsafe, vaultId);
    ASSERT_NE(main, nullptr);
    // As the title bar's minimise button does: the whole program goes to the task bar.
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    for (int tries = 0; tries < 600 && !IsIconic(main); ++tries) brimsafe.waitForEnd(50);
    ASSERT_TRUE(IsIconic(main));

    BrimsafeProcess second("");
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(IsIconic(main));
    EXPECT_TRUE(IsWindowVisible(main));
    for (int tries = 0; tries < 600 && GetForegroundWindow() != main; ++tries) brimsafe.waitForEnd(50);
    EXPECT_EQ(GetForegroundWindow(), main);

    EXPECT_TRUE(sendCommand(main, 100, nullptr, 0));
    EXPECT_EQ(brimsafe.exitCode(), 0);
}

// Until a vault is chosen and its password given no vault is open: commands are ignored and
// quitting saves nothing.
TEST_F(BrimsafeProcessTest, BeforeAVaultIsOpenCommandsAreIgnoredAndQuitEndsWithoutSaving) {
    vaulttest::makeSavedVault(temp.path(), "Home", Password);
    const std::string vaultBefore = temp.readFile("Home.vlt");
    temp.writeFile("letter.txt", "dear");
    temp.writeFile("backup.bvt", "not a backup");

    BrimsafeProcess brimsafe("");
    ASSERT_NE(brimsafe.window(nullptr, "Frm_SelectDatabase"), nullptr);
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
    // Only the selection dialog lists the remembered vault found on disk.
    EXPECT_EQ(settings::knownVaults(), rememberedVaultListed());
}

// A program asked to close before any vault is open (an uninstaller, the task bar) just ends.
TEST_F(BrimsafeProcessTest, ACloseBeforeAVaultIsOpenEndsTheProgram) {
    vaulttest::makeSavedVault(temp.path(), "Home", Password);
    BrimsafeProcess brimsafe("");
    ASSERT_NE(brimsafe.window(nullptr, "Frm_SelectDatabase"), nullptr);
    HWND application = brimsafe.window("TApplication", nullptr);
    ASSERT_NE(application, nullptr);
    PostMessageA(application, WM_CLOSE, 0, 0);
    EXPECT_EQ(brimsafe.exitCode(), 0);
    EXPECT_EQ(settings::knownVaults(), rememberedVaultListed());
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
