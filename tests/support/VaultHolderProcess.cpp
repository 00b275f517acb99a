// Starts the holder stub next to the test program and reads what it recorded.
#include "tests/support/VaultHolderProcess.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>

namespace brimtest {

namespace {

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

VaultHolderProcess::VaultHolderProcess(const HolderRequest& request) : caption_(request.caption) {
    static int started = 0;
    const std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++started);
    const std::string readyName = "BrimHolderReady_" + tag;
    char tempFolder[MAX_PATH];
    GetTempPathA(sizeof tempFolder, tempFolder);
    recordPath_ = std::string(tempFolder) + "brim_holder_" + tag + ".txt";
    DeleteFileA(recordPath_.c_str());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());

    std::string command = inQuotes(binaryFolder() + "\\vault_holder_stub.exe") + " --ready " + readyName +
                          " --record " + inQuotes(recordPath_);
    if (!request.mutexName.empty()) command += " --mutex " + inQuotes(request.mutexName);
    if (!request.caption.empty()) command += " --window " + inQuotes(request.caption);
    if (!request.heldFile.empty()) command += " --hold-file " + inQuotes(request.heldFile);
    if (request.holdClipboard) command += " --hold-clipboard";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        ADD_FAILURE() << "the holder stub did not start: " << command;
    } else {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        HANDLE waits[2] = {ready, process_};
        if (WaitForMultipleObjects(2, waits, FALSE, 10000) != WAIT_OBJECT_0) ADD_FAILURE() << "the holder stub is not ready";
    }
    CloseHandle(ready);
}

VaultHolderProcess::~VaultHolderProcess() {
    if (!process_) return;
    // Its window is found by the process id: closing it ends the stub.
    WindowSearch search{GetProcessId(process_), nullptr};
    EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
    CloseHandle(process_);
    DeleteFileA(recordPath_.c_str());
}

std::vector<VaultHolderProcess::Copy> VaultHolderProcess::received() const {
    std::vector<Copy> copies;
    std::ifstream record(recordPath_);
    unsigned long command = 0;
    std::string hex;
    while (record >> command >> hex) {
        Copy copy{command, {}};
        for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2)
            copy.bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        copies.push_back(copy);
    }
    return copies;
}

}  // namespace brimtest
