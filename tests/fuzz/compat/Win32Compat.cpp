// The stand-in calls of the native fuzzing build: files live in a table in
// memory, keyed by the path as given (case-insensitively, as on Windows);
// handles are indices into a table of open files. Every other call answers as
// a system without that resource would.
#include <windows.h>

#include "tests/fuzz/FuzzFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

thread_local DWORD lastError = 0;

std::string keyOf(const char* path) {
    std::string key = path ? path : "";
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::replace(key.begin(), key.end(), '/', '\\');
    return key;
}

using Content = std::shared_ptr<std::vector<std::uint8_t>>;

std::map<std::string, Content>& files() {
    static std::map<std::string, Content> table;
    return table;
}

struct OpenFile {
    Content content;
    std::uint64_t position = 0;
    bool writable = false;
};

std::map<std::uintptr_t, OpenFile>& handles() {
    static std::map<std::uintptr_t, OpenFile> table;
    return table;
}

std::uintptr_t nextHandle = 0x1000;
unsigned tempCounter = 0;

OpenFile* lookup(HANDLE h) {
    auto found = handles().find(reinterpret_cast<std::uintptr_t>(h));
    if (found == handles().end()) {
        lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    return &found->second;
}

BOOL fail(DWORD error) {
    lastError = error;
    return FALSE;
}

}  // namespace

namespace fuzzfiles {

std::string pathOf(const std::string& name) { return "F:\\fuzz\\" + name; }

std::string put(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = pathOf(name);
    files()[keyOf(path.c_str())] = std::make_shared<std::vector<std::uint8_t>>(data, data + size);
    return path;
}

std::vector<std::uint8_t> get(const std::string& path) {
    auto found = files().find(keyOf(path.c_str()));
    return found == files().end() ? std::vector<std::uint8_t>() : *found->second;
}

void clear() {
    files().clear();
    handles().clear();
}

}  // namespace fuzzfiles

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD error) { lastError = error; }

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    const std::string key = keyOf(name);
    auto found = files().find(key);
    Content content;
    switch (disposition) {
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
        if (found == files().end()) {
            lastError = ERROR_FILE_NOT_FOUND;
            return INVALID_HANDLE_VALUE;
        }
        content = found->second;
        if (disposition == TRUNCATE_EXISTING) content->clear();
        break;
    case CREATE_NEW:
        if (found != files().end()) {
            lastError = ERROR_ALREADY_EXISTS;
            return INVALID_HANDLE_VALUE;
        }
        [[fallthrough]];
    case CREATE_ALWAYS:
        content = std::make_shared<std::vector<std::uint8_t>>();
        files()[key] = content;
        break;
    default:  // OPEN_ALWAYS
        if (found == files().end()) files()[key] = std::make_shared<std::vector<std::uint8_t>>();
        content = files()[key];
        break;
    }
    const std::uintptr_t h = nextHandle++;
    handles()[h] = OpenFile{content, 0, (access & GENERIC_WRITE) != 0};
    lastError = 0;
    return reinterpret_cast<HANDLE>(h);
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD count, DWORD* read, void*) {
    OpenFile* f = lookup(file);
    if (read) *read = 0;
    if (!f) return FALSE;
    const std::uint64_t size = f->content->size();
    const std::uint64_t n = f->position >= size ? 0 : std::min<std::uint64_t>(count, size - f->position);
    if (n) std::memcpy(buffer, f->content->data() + f->position, static_cast<std::size_t>(n));
    f->position += n;
    if (read) *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD count, DWORD* written, void*) {
    OpenFile* f = lookup(file);
    if (written) *written = 0;
    if (!f) return FALSE;
    if (!f->writable) return fail(ERROR_ACCESS_DENIED);
    const std::uint64_t end = f->position + count;
    if (end > (1u << 28)) return fail(ERROR_DISK_FULL);  // the fuzzing build's disk is small
    if (end > f->content->size()) f->content->resize(static_cast<std::size_t>(end));
    if (count) std::memcpy(f->content->data() + f->position, buffer, count);
    f->position = end;
    if (written) *written = count;
    return TRUE;
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, LARGE_INTEGER* newPosition, DWORD method) {
    OpenFile* f = lookup(file);
    if (!f) return FALSE;
    LONGLONG base = method == FILE_BEGIN ? 0
                  : method == FILE_CURRENT ? static_cast<LONGLONG>(f->position)
                                           : static_cast<LONGLONG>(f->content->size());
    LONGLONG target = base + distance.QuadPart;
    if (target < 0) return fail(ERROR_NEGATIVE_SEEK);
    f->position = static_cast<std::uint64_t>(target);
    if (newPosition) newPosition->QuadPart = target;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
    LARGE_INTEGER move, result;
    move.QuadPart = distanceHigh ? (static_cast<LONGLONG>(*distanceHigh) << 32) | static_cast<DWORD>(distance)
                                 : distance;
    if (!SetFilePointerEx(file, move, &result, method)) return INVALID_SET_FILE_POINTER;
    if (distanceHigh) *distanceHigh = result.u.HighPart;
    lastError = 0;
    return result.u.LowPart;
}

BOOL GetFileSizeEx(HANDLE file, LARGE_INTEGER* size) {
    OpenFile* f = lookup(file);
    if (!f) return FALSE;
    size->QuadPart = static_cast<LONGLONG>(f->content->size());
    return TRUE;
}

BOOL SetEndOfFile(HANDLE file) {
    OpenFile* f = lookup(file);
    if (!f) return FALSE;
    if (f->position > (1u << 28)) return fail(ERROR_DISK_FULL);
    f->content->resize(static_cast<std::size_t>(f->position));
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE file) { return lookup(file) ? TRUE : FALSE; }

BOOL CloseHandle(HANDLE handle) {
    return handles().erase(reinterpret_cast<std::uintptr_t>(handle)) ? TRUE : fail(ERROR_INVALID_HANDLE);
}

BOOL DeleteFileA(LPCSTR name) { return files().erase(keyOf(name)) ? TRUE : fail(ERROR_FILE_NOT_FOUND); }

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    auto found = files().find(keyOf(from));
    if (found == files().end()) return fail(ERROR_FILE_NOT_FOUND);
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && files().count(keyOf(to))) return fail(ERROR_ALREADY_EXISTS);
    Content content = found->second;
    files().erase(found);
    files()[keyOf(to)] = content;
    return TRUE;
}

BOOL MoveFileA(LPCSTR from, LPCSTR to) { return MoveFileExA(from, to, 0); }

DWORD GetFileAttributesA(LPCSTR name) {
    if (files().count(keyOf(name))) return FILE_ATTRIBUTE_NORMAL;
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_FILE_ATTRIBUTES;
}

BOOL GetFileAttributesExA(LPCSTR name, GET_FILEEX_INFO_LEVELS, void* data) {
    auto found = files().find(keyOf(name));
    if (found == files().end()) return fail(ERROR_FILE_NOT_FOUND);
    auto* out = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(data);
    *out = WIN32_FILE_ATTRIBUTE_DATA{};
    out->dwFileAttributes = FILE_ATTRIBUTE_NORMAL;
    out->nFileSizeLow = static_cast<DWORD>(found->second->size());
    out->nFileSizeHigh = static_cast<DWORD>(static_cast<std::uint64_t>(found->second->size()) >> 32);
    return TRUE;
}

UINT GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT, LPSTR name) {
    const unsigned unique = ++tempCounter & 0xFFFF;
    std::snprintf(name, MAX_PATH, "%s\\%.3s%04X.tmp", folder, prefix, unique ? unique : 1);
    files()[keyOf(name)] = std::make_shared<std::vector<std::uint8_t>>();
    return unique;
}

DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
    const std::size_t n = std::strlen(name);
    if (filePart) *filePart = nullptr;
    if (n + 1 > size) return static_cast<DWORD>(n + 1);
    std::memcpy(buffer, name, n + 1);
    return static_cast<DWORD>(n);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    if (size < 3) return 3;
    std::memcpy(buffer, "C:", 3);
    return 2;
}

BOOL CreateDirectoryA(LPCSTR, void*) { return fail(ERROR_ACCESS_DENIED); }
BOOL RemoveDirectoryA(LPCSTR) { return fail(ERROR_FILE_NOT_FOUND); }

HANDLE FindFirstFileA(LPCSTR, WIN32_FIND_DATAA*) {
    lastError = ERROR_FILE_NOT_FOUND;
    return INVALID_HANDLE_VALUE;
}
BOOL FindNextFileA(HANDLE, WIN32_FIND_DATAA*) { return fail(ERROR_NO_MORE_FILES); }
BOOL FindClose(HANDLE) { return TRUE; }

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    *local = *utc;
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME*, WORD* date, WORD* dosTime) {
    *date = 0x21;  // 1 Jan 1980
    *dosTime = 0;
    return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR) { return nullptr; }

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    if (size) buffer[0] = '\0';
    return 0;
}

LPSTR GetCommandLineA() {
    static char line[] = "fuzz";
    return line;
}

int LoadStringA(HINSTANCE, UINT, LPSTR buffer, int size) {
    if (size > 0) buffer[0] = '\0';
    return 0;
}

HRSRC FindResourceA(HMODULE, LPCSTR, LPCSTR) { return nullptr; }
HGLOBAL LoadResource(HMODULE, HRSRC) { return nullptr; }
void* LockResource(HGLOBAL) { return nullptr; }
DWORD SizeofResource(HMODULE, HRSRC) { return 0; }
DWORD FormatMessageA(DWORD, LPCVOID, DWORD, DWORD, LPSTR, DWORD, void*) { return 0; }
HLOCAL LocalFree(HLOCAL) { return nullptr; }
void GetLocalTime(SYSTEMTIME* time) { *time = SYSTEMTIME{2000, 1, 6, 1, 0, 0, 0, 0}; }
LSTATUS RegCloseKey(HKEY) { return ERROR_SUCCESS; }
DWORD GetTickCount() { return 0; }  // fixed, so a run is repeatable
DWORD GetCurrentProcessId() { return 1; }

int CompareStringA(LCID, DWORD flags, LPCSTR a, int aLength, LPCSTR b, int bLength) {
    if (aLength < 0) aLength = static_cast<int>(std::strlen(a));
    if (bLength < 0) bLength = static_cast<int>(std::strlen(b));
    const int n = std::min(aLength, bLength);
    for (int i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (flags & NORM_IGNORECASE) {
            ca = std::tolower(ca);
            cb = std::tolower(cb);
        }
        if (ca != cb) return ca < cb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    return aLength == bLength ? CSTR_EQUAL : (aLength < bLength ? CSTR_LESS_THAN : CSTR_GREATER_THAN);
}

DWORD CharUpperBuffA(LPSTR text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    return length;
}

DWORD CharLowerBuffA(LPSTR text, DWORD length) {
    for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    return length;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) {
    const int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
    return r - CSTR_EQUAL;
}

BOOL IsDBCSLeadByte(BYTE) { return FALSE; }
