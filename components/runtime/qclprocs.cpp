// General procedures of the component library (the LZRW part of this unit is
// in qclprocs_lzrw.cpp).
//
// Paths are ANSI; the folder functions ask the system with 260-character
// buffers. QCLShrunkFileName shortens a path for a status line by replacing
// leading folders with "...", keeping a UNC path's leading backslash.
#include "qclprocs.h"

#include "qclstrings.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {

std::string exePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n);
}

// Up to and including the last backslash or colon; the rest is the file name.
std::string::size_type fileNameStart(const std::string& path) {
    const auto pos = path.find_last_of("\\:");
    return pos == std::string::npos ? 0 : pos + 1;
}

std::string folderFromSystem(UINT (WINAPI* query)(LPSTR, UINT)) {
    char buffer[MAX_PATH + 1] = {};
    const UINT n = query(buffer, MAX_PATH);
    return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : std::string();
}

// One shortening step of a folder part: the first remaining folder name is
// replaced by "...\", a leading backslash (UNC, root) survives.
std::string shortenFolder(std::string folder) {
    if (folder == "\\")
        return {};
    const bool leadingBackslash = !folder.empty() && folder[0] == '\\';
    if (leadingBackslash)
        folder.erase(0, 1);
    if (folder.compare(0, 4, "...\\") == 0)
        folder.erase(0, 4);
    const auto slash = folder.find('\\');
    folder = slash == std::string::npos ? std::string() : "...\\" + folder.substr(slash + 1);
    return leadingBackslash ? "\\" + folder : folder;
}

}  // namespace

// An empty array (High below 0) has no extreme; 0 is returned instead of
// reading outside it.
int QCLMax(const int* values, int high) { return high < 0 ? 0 : *std::max_element(values, values + high + 1); }
int QCLMin(const int* values, int high) { return high < 0 ? 0 : *std::min_element(values, values + high + 1); }
long double QCLMaxR(const long double* values, int high) {
    return high < 0 ? 0 : *std::max_element(values, values + high + 1);
}
long double QCLMinR(const long double* values, int high) {
    return high < 0 ? 0 : *std::min_element(values, values + high + 1);
}

int QCLMidI(int a, int b) { return static_cast<int>((static_cast<long long>(a) + b) / 2); }

int QCLExp(int a, int n) {
    std::uint32_t result = 1;  // wraps like the 32-bit multiplication it stands for
    for (int i = 0; i < n; ++i)
        result *= static_cast<std::uint32_t>(a);
    return static_cast<int>(result);
}

void QCLSwapInt(int& a, int& b) { std::swap(a, b); }
void QCLSwapString(std::string& a, std::string& b) { a.swap(b); }

void QCLSetBit(std::uint8_t& byte, int bit, bool value) {
    if (bit < 0 || bit > 7)
        return;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    byte = value ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte ^ mask);
}

void QCLSetBitUpTo(std::uint8_t& byte, int n) {
    for (int bit = 0; bit <= n && bit < 8; ++bit)
        byte = static_cast<std::uint8_t>(byte | (1u << bit));
}

bool QCLGetBit(std::uint8_t byte, int bit) { return bit >= 0 && bit < 8 && (byte >> bit) & 1; }

std::string QCLAppPath() {
    const std::string path = exePath();
    return path.substr(0, fileNameStart(path));
}

std::string QCLAppIniName() { return "SOFTWARE\\" + QCLExtractFileName(exePath()); }

std::string QCLExtractFileName(const std::string& path) {
    std::string name = path.substr(fileNameStart(path));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string QCLWindowsDirectory() { return folderFromSystem(GetWindowsDirectoryA); }
std::string QCLSystemDirectory() { return folderFromSystem(GetSystemDirectoryA); }

std::string QCLCreatePathPrefix(TQCLPathPrefix prefix, bool trailingBackslash) {
    std::string folder;
    switch (prefix) {
    case ppWindows: folder = QCLWindowsDirectory(); break;
    case ppSystem: folder = QCLSystemDirectory(); break;
    case ppProgram: folder = QCLAppPath(); break;
    case ppFixed: return {};
    }
    return trailingBackslash ? QCLSlashAdd(folder) : QCLSlashRemove(folder);
}

std::string QCLShrunkFileName(const std::string& path, int maxLength) {
    const auto nameStart = fileNameStart(path);
    const std::string fileName = path.substr(nameStart);
    std::string folder = path.substr(0, nameStart);
    std::string drive;
    if (folder.size() >= 2 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }
    auto joined = [&] { return drive + folder + fileName; };
    while ((!folder.empty() || !drive.empty()) && static_cast<int>(joined().size()) > maxLength) {
        if (folder == "\\...\\") {
            drive.clear();
            folder = "...\\";
        } else if (!folder.empty()) {
            folder = shortenFolder(folder);
        } else {
            drive.clear();
        }
    }
    return joined();
}

void QCLDelay(unsigned milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
    }
}
