// Files for the fuzz targets in the Wine test build: one folder under the
// system's temporary folder, emptied by clear().
#include "tests/fuzz/FuzzFiles.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace fuzzfiles {

namespace {

const std::string& folder() {
    static const std::string path = [] {
        char temp[MAX_PATH + 1] = {};
        GetTempPathA(MAX_PATH, temp);
        std::string made = std::string(temp) + "brimfuzz" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(made.c_str(), nullptr);
        return made;
    }();
    return path;
}

}  // namespace

std::string pathOf(const std::string& name) { return folder() + "\\" + name; }

std::string put(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = pathOf(name);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = size == 0 || WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
    if (!ok || written != size) throw std::runtime_error("cannot write " + path);
    return path;
}

std::vector<std::uint8_t> get(const std::string& path) {
    std::vector<std::uint8_t> content;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return content;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size)) {
        content.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!content.empty() && !ReadFile(h, content.data(), static_cast<DWORD>(content.size()), &read, nullptr))
            content.clear();
    }
    CloseHandle(h);
    return content;
}

void clear() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder() + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA(pathOf(found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

}  // namespace fuzzfiles
