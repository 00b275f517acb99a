// Temporary folders under the system's temp path, one per fixture, removed with everything in them.
#include "tests/support/TempFolder.h"

#include "framework/Win32Handles.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace brimtest {

namespace {

std::atomic<unsigned> folderCounter{0};

std::string systemTempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string path = base;
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

std::string quietParentForShellTests() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows, 2);  // "C:"
}

TempFolder::TempFolder() : TempFolder(systemTempFolder()) {}

TempFolder::TempFolder(const std::string& parent) {
    for (;;) {
        std::string candidate = parent + "\\brimtest-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(folderCounter++);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + candidate);
    }
}

TempFolder::~TempFolder() { removeTree(path_); }

std::string TempFolder::file(const std::string& name) const { return path_ + "\\" + name; }

void TempFolder::writeFile(const std::string& name, const std::string& bytes) const {
    win32::FileHandle f(CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!f.valid()) throw std::runtime_error("cannot create " + file(name));
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        throw std::runtime_error("cannot write " + file(name));
}

std::string TempFolder::readFile(const std::string& name) const {
    win32::FileHandle f(CreateFileA(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!f.valid()) throw std::runtime_error("cannot open " + file(name));
    std::string bytes(GetFileSize(f.get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(f.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        throw std::runtime_error("cannot read " + file(name));
    return bytes;
}

bool TempFolder::exists(const std::string& name) const {
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::string& path) {
    if (path.empty()) return;
    WIN32_FIND_DATAA data;
    {
        win32::FindHandle find(FindFirstFileA((path + "\\*").c_str(), &data));
        if (find.valid()) {
            do {
                std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                std::string child = path + "\\" + name;
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(child);
                else
                    DeleteFileA(child.c_str());
            } while (FindNextFileA(find.get(), &data));
        }
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

}  // namespace brimtest
