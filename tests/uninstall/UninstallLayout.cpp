// The throwaway install of the uninstaller's tests and gallery entries.
#include "tests/uninstall/UninstallLayout.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace uninstalltest {

const char* const ClassKeys[12] = {".bvt",
                                   ".vltenc",
                                   ".vlt",
                                   ".kvt",
                                   ".bkv",
                                   ".mvk",
                                   ".pde",
                                   "Brimsafe.Backup",
                                   "Brimsafe.EncryptedFile",
                                   "Brimsafe.DatabaseFile",
                                   "Brimsafe.DatabaseKeyFile",
                                   "Brimsafe.BackupKey"};
const char* const PlaceholderNames[8] = {"BrimsafeLite.exe", "INETWH32.dll",     "BrimsafeHelp.cnt",
                                         "BRIMSAFEHELP.HLP", "BRIMSAFEHELP.GID", "ROBOEX32.DLL",
                                         "lockedfile.ico",   "Brimsafe.log"};

namespace {

constexpr const char* ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* UserShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string binaryFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    std::size_t cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : folder.substr(0, cut);
}

void makeFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

void removeTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    win32::FindHandle search(FindFirstFileA((path + "\\*").c_str(), &found));
    if (search) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(child);
            else DeleteFileA(child.c_str());
        } while (FindNextFileA(search.get(), &found));
    }
    search.close();
    RemoveDirectoryA(path.c_str());
}

std::string hex(const unsigned char* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

void listKey(HKEY key, const std::string& path, std::ostringstream& out) {
    out << "[" << path << "]\n";
    std::vector<std::string> lines;
    for (DWORD i = 0;; ++i) {
        char name[512];
        unsigned char data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        lines.push_back(std::string(name, nameSize) + "=" + std::to_string(type) + ":" + hex(data, dataSize));
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << line << "\n";
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, nameSize);
    }
    std::sort(children.begin(), children.end());
    for (const std::string& child : children) {
        win32::RegistryKeyHandle sub;
        if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, sub.out()) == ERROR_SUCCESS)
            listKey(sub.get(), path + "\\" + child, out);
    }
}

void listFolder(const std::string& folder, const std::string& shown, std::ostringstream& out) {
    std::vector<std::pair<std::string, bool>> entries;
    WIN32_FIND_DATAA found;
    win32::FindHandle search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search) return;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") entries.emplace_back(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(search.get(), &found));
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, isFolder] : entries) {
        if (isFolder) {
            out << shown << name << "\\\n";
            listFolder(folder + "\\" + name, shown + name + "\\", out);
        } else {
            std::string bytes = readFile(folder + "\\" + name);
            out << shown << name << " " << bytes.size() << " "
                << hex(reinterpret_cast<const unsigned char*>(bytes.data()), std::min<std::size_t>(bytes.size(), 64))
                << " " << std::hash<std::string>()(bytes) << "\n";
        }
    }
}

std::string environmentWithTemp(const std::string& tempFolder) {
    std::string block;
    if (char* strings = GetEnvironmentStringsA()) {
        for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
            if (_strnicmp(entry, "TMP=", 4) == 0 || _strnicmp(entry, "TEMP=", 5) == 0) continue;
            block.append(entry).push_back('\0');
        }
        FreeEnvironmentStringsA(strings);
    }
    block.append("TMP=" + tempFolder).push_back('\0');
    block.append("TEMP=" + tempFolder).push_back('\0');
    block.push_back('\0');
    return block;
}

}  // namespace

std::string join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ShellFolderRedirect::ShellFolderRedirect(const std::string& commonDesktop, const std::string& desktop,
                                         const std::string& commonPrograms, const std::string& programs) {
    struct Value {
        HKEY root;
        const char* name;
        const std::string* folder;
    };
    const Value values[] = {{HKEY_LOCAL_MACHINE, "Common Desktop", &commonDesktop},
                            {HKEY_CURRENT_USER, "Desktop", &desktop},
                            {HKEY_LOCAL_MACHINE, "Common Programs", &commonPrograms},
                            {HKEY_CURRENT_USER, "Programs", &programs}};
    for (const Value& value : values) {
        for (const char* key : {ShellFoldersKey, UserShellFoldersKey}) {
            Saved saved{value.root, key, value.name, false, REG_NONE, {}};
            win32::RegistryKeyHandle handle;
            if (RegOpenKeyExA(value.root, key, 0, KEY_READ, handle.out()) == ERROR_SUCCESS) {
                unsigned char data[2048];
                DWORD size = sizeof data;
                if (RegQueryValueExA(handle.get(), value.name, nullptr, &saved.type, data, &size) == ERROR_SUCCESS) {
                    saved.existed = true;
                    saved.bytes.assign(data, data + size);
                }
            }
            saved_.push_back(saved);
        }
        set(value.root, value.name, *value.folder);
    }
}

ShellFolderRedirect::~ShellFolderRedirect() {
    for (const Saved& saved : saved_) {
        win32::RegistryKeyHandle handle;
        if (RegCreateKeyExA(saved.root, saved.key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, handle.out(), nullptr) !=
            ERROR_SUCCESS)
            continue;
        if (saved.existed)
            RegSetValueExA(handle.get(), saved.name, 0, saved.type, saved.bytes.data(),
                           static_cast<DWORD>(saved.bytes.size()));
        else
            RegDeleteValueA(handle.get(), saved.name);
    }
}

void ShellFolderRedirect::set(HKEY root, const char* name, const std::string& folder) {
    for (const char* key : {ShellFoldersKey, UserShellFoldersKey}) writeString(root, key, name, folder);
}

void removeInstallRegistry() {
    auto deleteTree = [](HKEY root, const char* path) {
        RegDeleteTreeA(root, path);
        RegDeleteKeyA(root, path);
    };
    deleteTree(HKEY_CURRENT_USER, ProductKey);
    deleteTree(HKEY_LOCAL_MACHINE, UninstallEntryKey);
    for (const char* key : ClassKeys) deleteTree(HKEY_CLASSES_ROOT, key);
    deleteTree(HKEY_CLASSES_ROOT, MarkerKey);
}

Layout::Layout(const std::string& rootFolder) : root(rootFolder) {
    installFolder = root + "\\Programs\\Quarrendel\\Brimsafe";
    tempFolder = root + "\\tmp";
    commonDesktop = root + "\\CommonDesktop";
    desktop = root + "\\Desktop";
    commonPrograms = root + "\\CommonPrograms";
    programs = root + "\\StartPrograms";
    for (const std::string* folder : {&tempFolder, &commonDesktop, &desktop, &commonPrograms, &programs})
        makeFolders(*folder);
    removeInstallRegistry();
    redirect_ = std::make_unique<ShellFolderRedirect>(commonDesktop, desktop, commonPrograms, programs);
}

Layout::~Layout() {
    redirect_.reset();
    removeInstallRegistry();
    removeTree(root);
}

int Layout::install() {
    win32::KernelHandle process =
        startWithTemp(binaryFolder() + "\\Install.exe", tempFolder, root, "\"" + installFolder + "\"");
    return process ? static_cast<int>(waitForExit(process.get(), 30000)) : -1;
}

bool Layout::installWithPlaceholders() {
    if (install() != 0) return false;
    bool written = true;
    for (const char* name : PlaceholderNames)
        written = writeFile(join(installFolder, name), std::string("placeholder of ") + name) && written;
    return written;
}

win32::KernelHandle startWithTemp(const std::string& program, const std::string& tempFolder,
                                  const std::string& currentFolder, const std::string& arguments) {
    std::string environment = environmentWithTemp(tempFolder);
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0],
                        currentFolder.c_str(), &startup, &info))
        return win32::KernelHandle();
    CloseHandle(info.hThread);
    return win32::KernelHandle(info.hProcess);
}

long waitForExit(HANDLE process, DWORD deadlineMs) {
    if (WaitForSingleObject(process, deadlineMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<long>(code);
}

win32::KernelHandle findChildProcess(DWORD parentId, const char* imageName) {
    win32::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return win32::KernelHandle();
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
        const char* base = std::strrchr(entry.szExeFile, '\\');
        base = base ? base + 1 : entry.szExeFile;
        if (entry.th32ParentProcessID == parentId && _stricmp(base, imageName) == 0)
            return win32::KernelHandle(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                                   FALSE, entry.th32ProcessID));
    }
    return win32::KernelHandle();
}

long readMarker() {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, MarkerKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return -1;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return -1;
    return static_cast<long>(value);
}

void writeMarker(DWORD value) {
    win32::RegistryKeyHandle key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, MarkerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) ==
        ERROR_SUCCESS)
        RegSetValueExA(key.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

bool keyExists(HKEY root, const std::string& path) {
    win32::RegistryKeyHandle key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS;
}

std::string readString(HKEY root, const std::string& path, const char* name, bool* found) {
    if (found) *found = false;
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return "";
    char buffer[2048] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return "";
    if (found) *found = true;
    return std::string(buffer, strnlen(buffer, size));
}

void writeString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    win32::RegistryKeyHandle key;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) ==
        ERROR_SUCCESS)
        RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
}

std::string registryTree(HKEY root, const std::string& path) {
    std::ostringstream out;
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out()) == ERROR_SUCCESS) listKey(key.get(), path, out);
    return out.str();
}

std::string folderTree(const std::string& folder) {
    std::ostringstream out;
    listFolder(folder, "", out);
    return out.str();
}

}  // namespace uninstalltest
