// The tutorial program and the main program as separate processes: each
// shows its window (the tutorial centred, its caption buttons' font there),
// and closes as Brimsafe and the user would close it.
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (info.hProcess) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 9);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool start(const std::string& program) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + program + "\"";
        return CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info);
    }
    // True when the process ended within the time, with its exit code.
    bool ended(DWORD ms, DWORD* code) const {
        if (WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(info.hProcess, code);
        return true;
    }
};

// The top-level window of the given process with the given title, once it is shown.
HWND waitForWindow(const Process& process, const char* title, DWORD ms) {
    WaitForInputIdle(process.info.hProcess, ms);
    const DWORD start = GetTickCount();
    do {
        for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, title); w; w = FindWindowExA(nullptr, w, nullptr, title)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == process.info.dwProcessId && IsWindowVisible(w)) return w;
        }
    } while (WaitForSingleObject(process.info.hProcess, 10) == WAIT_TIMEOUT && GetTickCount() - start < ms);
    return nullptr;
}

bool sendCopyData(HWND window, ULONG_PTR command) {
    COPYDATASTRUCT data{command, 0, nullptr};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                               &result) != 0;
}

TEST(Tutorial, OpensCentredAndClosesOnCommand100Only) {
    Process tutorial;
    ASSERT_TRUE(tutorial.start(brimtest::binaryFolder() + "\\Tutorial.exe"));
    HWND window = waitForWindow(tutorial, "Brimsafe Tutorial", 20000);
    ASSERT_NE(window, nullptr);
    RECT work{}, at{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &at);
    EXPECT_NEAR((at.left + at.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((at.top + at.bottom) / 2, (work.top + work.bottom) / 2, 1);
    DWORD code = 0;
    ASSERT_TRUE(sendCopyData(window, 101));
    EXPECT_FALSE(tutorial.ended(200, &code)) << "another command must not close the tutorial";
    ASSERT_TRUE(sendCopyData(window, 100));
    ASSERT_TRUE(tutorial.ended(20000, &code));
    EXPECT_EQ(code, 0u);
}

// The windows that Wine frames itself (the tutorial, the help viewer) draw their caption buttons
// with this symbol font; without it they show the letters "0 1 r".
int CALLBACK noteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

TEST(WineFramedWindows, TheCaptionSymbolFontIsThere) {
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(wanted.lfFaceName, "Marlett");
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(
        dc, &wanted,
        noteFontFound,
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    EXPECT_TRUE(found);
}

// With no vault open the start-up asks which vault to open; the main window stays hidden until
// then and ends the program when it is closed.
TEST(MainProgram, OpensItsWindowAndEndsWhenItCloses) {
    brimtest::clearProductRegistry();
    brimtest::TempFolder vaults;
    HKEY settingsKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, brimtest::SettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &settingsKey, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(settingsKey, "DBLoc", 0, REG_SZ, reinterpret_cast<const BYTE*>(vaults.path().c_str()),
                   static_cast<DWORD>(vaults.path().size()));
    RegCloseKey(settingsKey);
    Process brimsafe;
    ASSERT_TRUE(brimsafe.start(brimtest::binaryFolder() + "\\Brimsafe.exe"));
    ASSERT_NE(waitForWindow(brimsafe, "Frm_SelectDatabase", 20000), nullptr);
    HWND window = FindWindowA("TFormMain", "Brimsafe");
    ASSERT_NE(window, nullptr);
    // The hidden application window bears the program's title for the whole run.
    HWND application = FindWindowA("TApplication", "Brimsafe");
    ASSERT_NE(application, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(application, &pid);
    EXPECT_EQ(pid, brimsafe.info.dwProcessId);
    EXPECT_FALSE(IsWindowVisible(application));
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(brimsafe.ended(20000, &code));
    EXPECT_EQ(code, 0u);
    brimtest::clearProductRegistry();
}

}  // namespace
