// The journeys' file steps; see FileSteps.h.
#include "tests/acceptance/FileSteps.h"

#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <fstream>

namespace acc {

void exitLeavingPlainFiles(Program& brimsafe, HWND mainWindow) {
    SetForegroundWindow(mainWindow);
    waitUntil([&] { return GetForegroundWindow() == mainWindow; }, "the main window in front", 5000);
    pressKey('Q', true);
    answerMessage(brimsafe.pid(),
                  "Not all of the files in your vault are currently encrypted.  Are you sure you would like to exit?",
                  "Yes");
    dismissTip(brimsafe.pid());
    if (!brimsafe.waitForExit()) failStep("Brimsafe did not end after Ctrl+Q");
}

std::string patternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return bytes;
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) failStep("cannot write " + path);
}

void dropOnWindow(HWND window, const std::vector<std::string>& paths) {
    RECT client{};
    GetClientRect(window, &client);
    POINT at{client.right / 2, client.bottom / 2};
    POINT screen = at;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);

    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    names += '\0';
    std::string block(sizeof(DROPFILES), '\0');
    auto* header = reinterpret_cast<DROPFILES*>(&block[0]);
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fNC = FALSE;
    header->fWide = FALSE;
    block += names;

    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) failStep("cannot reach the program's process to hand it the dropped files");
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    SIZE_T written = 0;
    const bool copied = remote && WriteProcessMemory(process, remote, block.data(), block.size(), &written) &&
                        written == block.size();
    CloseHandle(process);
    if (!copied) failStep("cannot place the dropped names in the program's process");
    if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0))
        failStep("the main window does not take the drop");
}

namespace {

// Window enumeration callbacks (stdcall, so no lambdas on 32-bit builds).
BOOL CALLBACK findTreeView(HWND child, LPARAM data) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, WC_TREEVIEWA) != 0) return TRUE;
    *reinterpret_cast<HWND*>(data) = child;
    return FALSE;
}

BOOL CALLBACK findPropertiesMemo(HWND child, LPARAM data) {
    if (!IsWindowVisible(child)) return TRUE;
    std::string text = windowText(child);
    if (text.rfind("File Size:", 0) != 0 && text.rfind("N/A", 0) != 0) return TRUE;
    *reinterpret_cast<std::string*>(data) = text;
    return FALSE;
}

}  // namespace

HWND filesTree(HWND mainWindow) {
    for (const char* name : {"TClrTreeView#1", "TTreeView#1"})
        if (HWND tree = control(mainWindow, name)) return tree;
    HWND found = nullptr;
    EnumChildWindows(mainWindow, findTreeView, reinterpret_cast<LPARAM>(&found));
    if (!found) failStep("the main window shows no file tree");
    return found;
}

namespace {

HTREEITEM treeItem(HWND tree, UINT relation, HTREEITEM from = nullptr) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from), SMTO_ABORTIFHUNG, 5000,
                             &result))
        return nullptr;
    return reinterpret_cast<HTREEITEM>(result);
}

}  // namespace

void selectTreeRow(HWND mainWindow, int row) {
    const HWND tree = filesTree(mainWindow);
    HTREEITEM wanted = treeItem(tree, TVGN_ROOT);
    if (treeItem(tree, TVGN_FIRSTVISIBLE) != wanted) failStep("the file tree is scrolled away from its root");
    for (int i = 0; i < row && wanted; ++i) wanted = treeItem(tree, TVGN_NEXTVISIBLE, wanted);
    if (!wanted) failStep("the file tree has no row " + std::to_string(row));
    int level = 0;
    for (HTREEITEM up = treeItem(tree, TVGN_PARENT, wanted); up; up = treeItem(tree, TVGN_PARENT, up)) ++level;
    // Rows are equally high from the top of the client area; a row's text starts after one indent per
    // level, the expand button's column and the 16-pixel picture.
    DWORD_PTR height = 0, indent = 0;
    SendMessageTimeoutA(tree, TVM_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 5000, &height);
    SendMessageTimeoutA(tree, TVM_GETINDENT, 0, 0, SMTO_ABORTIFHUNG, 5000, &indent);
    if (height == 0 || indent == 0) failStep("the file tree does not say how its rows are laid out");
    POINT at{static_cast<LONG>((level + 1) * indent + 16 + 8), static_cast<LONG>(row * height + height / 2)};
    ClientToScreen(tree, &at);
    clickAt(at);
    waitUntil([&] { return treeItem(tree, TVGN_CARET) == wanted; }, "row " + std::to_string(row) + " selected",
              10000);
}

void waitForFileJobsToEnd(HWND mainWindow) {
    DWORD pid = 0;
    GetWindowThreadProcessId(mainWindow, &pid);
    waitUntil([&] { return !findWindow(FileJobWindow, pid) && IsWindowEnabled(mainWindow); },
              "the file job's progress window closed", 120000);
}

int treeNodeCount(HWND mainWindow) {
    DWORD_PTR count = 0;
    SendMessageTimeoutA(filesTree(mainWindow), TVM_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    return static_cast<int>(count);
}

std::string filePropertiesText(HWND mainWindow) {
    std::string text;
    EnumChildWindows(mainWindow, findPropertiesMemo, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::string sizeText(std::uint64_t bytes) {
    std::string digits = std::to_string(bytes), grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped + " Bytes";
}

void dismissTip(DWORD pid) {
    HWND tip = waitForWindow(TipWindow, pid);
    click(tip, "Ok");
    waitForWindowGone(tip, 10000);
}

RecordingFileType::RecordingFileType(const std::string& extension, const std::string& recordFile)
    : extension_(extension), progId_("BrimJourney" + extension), record_(recordFile) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string recorder = self;
    recorder = recorder.substr(0, recorder.rfind('\\') + 1) + "acceptance_open_recorder.exe";
    if (!fileExists(recorder)) failStep("the recorder program " + recorder + " is missing");
    const std::string command = "\"" + recorder + "\" \"" + record_ + "\" \"%1\"";
    auto put = [](HKEY root, const std::string& path, const std::string& value) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            failStep("cannot register the test file type at " + path);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    };
    for (const auto& [root, prefix] : {std::pair<HKEY, std::string>{HKEY_CURRENT_USER, "Software\\Classes\\"},
                                       std::pair<HKEY, std::string>{HKEY_CLASSES_ROOT, ""}}) {
        put(root, prefix + extension_, progId_);
        put(root, prefix + progId_ + "\\shell\\open\\command", command);
    }
    DeleteFileA(record_.c_str());
}

RecordingFileType::~RecordingFileType() {
    for (const auto& [root, prefix] : {std::pair<HKEY, std::string>{HKEY_CURRENT_USER, "Software\\Classes\\"},
                                       std::pair<HKEY, std::string>{HKEY_CLASSES_ROOT, ""}}) {
        RegDeleteTreeA(root, (prefix + extension_).c_str());
        RegDeleteTreeA(root, (prefix + progId_).c_str());
    }
}

std::string RecordingFileType::waitForOpenedPath(DWORD ms) const {
    std::string opened;
    waitUntil(
        [&] {
            opened = fileExists(record_) ? readFileBytes(record_) : std::string();
            return !opened.empty();
        },
        "the file type's program started", ms);
    while (!opened.empty() && (opened.back() == '\n' || opened.back() == '\r')) opened.pop_back();
    return opened;
}

}  // namespace acc
