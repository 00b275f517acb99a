// The uninstall sequence, run inside the never-shown form's constructor.
#include "uninstall/QZ_Frm_Uninstall.h"

#include "base/ProductNames.h"
#include "framework/Win32Handles.h"
#include "skin/ZM_MessageBox.h"

#include <cstring>

namespace uninstall {

const char* const ProgramIdentifiers[5] = {"Brimsafe.Backup", "Brimsafe.EncryptedFile", "Brimsafe.DatabaseFile",
                                           "Brimsafe.DatabaseKeyFile", "Brimsafe.BackupKey"};
const char* const Extensions[7] = {".bvt", ".vltenc", ".vlt", ".kvt", ".bkv", ".mvk", ".pde"};

std::string TempTarget(const std::string& tempFolder) { return JoinPath(tempFolder, "Uninstall.exe"); }

std::string JoinPath(const std::string& folder, const std::string& name) {
    std::string joined = folder;
    while (!joined.empty() && joined.back() == '\\') joined.pop_back();
    std::size_t start = 0;
    while (start < name.size() && name[start] == '\\') ++start;
    return joined + "\\" + name.substr(start);
}

std::string ParentFolder(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && path.back() == '\\') path.pop_back();
    std::size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos) return "";
    std::string parent = path.substr(0, cut);
    // "C:" alone names the drive's current folder, not its root.
    if (parent.size() == 2 && parent[1] == ':') parent += "\\";
    return parent;
}

bool SplitKeyPath(const std::string& path, std::string& parent, std::string& name) {
    std::size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut == 0 || cut + 1 >= path.size()) return false;
    parent = path.substr(0, cut);
    name = path.substr(cut + 1);
    return true;
}

bool IsBrimsafeExtensionValue(const std::string& defaultValue) {
    if (defaultValue.empty()) return true;
    for (const char* identifier : ProgramIdentifiers)
        if (_stricmp(defaultValue.c_str(), identifier) == 0) return true;
    return false;
}

}  // namespace uninstall

namespace {

constexpr char SettingsKey[] = "Software\\Quarrendel\\Brimsafe";
constexpr char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char UninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}";
constexpr char MarkerKey[] = "pmTni";
constexpr DWORD ExitCommand = 100;
// Long enough for a busy Brimsafe to take the command, short enough that a hung one does not stall us.
constexpr UINT ExitCommandTimeoutMs = 3000;

void reportProblem() {
    ShowMessageBoxNoOwner("There was a problem running the uninstaller.", "Brimsafe", mbsOk, mbiCaution);
}

std::string readInstallFolder() {
    TRegistry registry;
    registry.RootKey = HKEY_CURRENT_USER;
    if (!registry.OpenKey(SettingsKey, false)) return "";
    return registry.ReadString("UIL");
}

bool isFolder(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A run of Brimsafe holds the installed program open and, wherever it was started from, the
// running-program mutex; the mutex still tells when the install folder is unknown or gone.
bool brimsafeRunning(const std::string& installFolder) {
    if (isFolder(installFolder)) {
        const std::string program = uninstall::JoinPath(installFolder, "Brimsafe.exe");
        win32::FileHandle file(CreateFileA(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && GetLastError() == ERROR_SHARING_VIOLATION) return true;
    }
    win32::KernelHandle running(OpenMutexA(SYNCHRONIZE, FALSE, product::RunningMutexName));
    return running.valid();
}

bool writeMarker(DWORD value) {
    win32::RegistryKeyHandle key;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, MarkerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.out(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    return RegSetValueExA(key.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

// A "Shell Folders" value of one root: `preferred`, else `fallback` when that is empty.
std::string shellFolder(HKEY root, const char* preferred, const char* fallback) {
    TRegistry registry(KEY_READ);
    registry.RootKey = root;
    if (!registry.OpenKeyReadOnly(ShellFoldersKey)) return "";
    std::string folder = registry.ReadString(preferred);
    if (folder.empty()) folder = registry.ReadString(fallback);
    return folder;
}

// The default value of an extension key; false when the key is missing or its value is no text.
bool extensionDefault(const char* extension, std::string& value) {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    char buffer[512] = {};
    DWORD type = REG_NONE, size = sizeof buffer - 1;
    LONG result = RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        value.clear();
        return true;
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value.assign(buffer, strnlen(buffer, size));
    return true;
}

void deleteExtensionKey(const char* extension) {
    std::string value;
    if (extensionDefault(extension, value) && uninstall::IsBrimsafeExtensionValue(value))
        RegDeleteKeyA(HKEY_CLASSES_ROOT, extension);
}

bool keyIsEmpty(HKEY root, const char* path) {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0, values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys == 0 && values == 0;
}

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    if (RelaunchFromTemp() == 0) EndProcess();

    if (brimsafeRunning(readInstallFolder())) {
        ShowMessageBoxNoOwner("Brimsafe is currently running.  Please exit all copies of Brimsafe before continuing.",
                              "Brimsafe", mbsOk, mbiInformation);
        EndProcess();
    }

    // Only Yes removes anything: a box closed without an answer is a No.
    if (ShowMessageBoxNoOwner("Are you sure you want to uninstall Brimsafe?", "Brimsafe Uninstall", mbsYesNo,
                              mbiCaution) != mbrYes)
        EndProcess();

    if (HWND running = FindWindowA(nullptr, "Brimsafe")) {
        COPYDATASTRUCT command{};
        command.dwData = ExitCommand;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&command),
                            SMTO_ABORTIFHUNG | SMTO_NORMAL, ExitCommandTimeoutMs, &ignored);
    }

    BuildNameTable();
    RemoveInstalledFiles();

    DeleteRegistryKey(HKEY_CURRENT_USER, SettingsKey);
    if (keyIsEmpty(HKEY_CURRENT_USER, "Software\\Quarrendel")) {
        win32::RegistryKeyHandle software;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, software.out()) == ERROR_SUCCESS)
            RegDeleteKeyA(software.get(), "Quarrendel");
    }

    DeleteRegistryKey(HKEY_LOCAL_MACHINE, UninstallEntryKey);

    for (int i = 0; i < 5; ++i) deleteExtensionKey(uninstall::Extensions[i]);
    for (const char* identifier : uninstall::ProgramIdentifiers) {
        TRegistry classes;
        classes.RootKey = HKEY_CLASSES_ROOT;
        classes.DeleteKey(identifier);
    }
    deleteExtensionKey(".mvk");
    deleteExtensionKey(".pde");

    ShowMessageBoxNoOwner(
        "Uninstallation complete.  Your vault has not been deleted and will be available if you reinstall Brimsafe.",
        "Brimsafe Uninstall", mbsOk, mbiInformation);
    EndProcess();
}

TForm1::~TForm1() { delete[] names_; }

void TForm1::EndProcess() {
    delete[] names_;
    names_ = nullptr;
    ExitProcess(1);
}

void TForm1::BuildNameTable() {
    static const char* const table[TableSize] = {
        "Brimsafe.exe", "BrimsafeLite.exe", "QZ_Cryptography.dll", "Uninstall.exe", "Tutorial.exe", "INETWH32.dll",
        "Brimsafe.log", "BrimsafeHelp.cnt", "BRIMSAFEHELP.HLP", "BRIMSAFEHELP.GID", "ROBOEX32.DLL", "lockedfile.ico",
        "Brimsafe.lnk",
        "Quarrendel\\Brimsafe\\Brimsafe.lnk", "Quarrendel\\Brimsafe\\Uninstall Brimsafe.lnk",
        "Quarrendel\\Brimsafe\\Tutorial.lnk"};
    delete[] names_;
    names_ = new AnsiString[TableSize];
    for (int i = 0; i < TableSize; ++i) names_[i] = table[i];
}

int TForm1::RelaunchFromTemp() {
    char tempFolder[256] = {};
    DWORD length = GetTempPathA(sizeof tempFolder, tempFolder);
    if (length == 0 || length >= sizeof tempFolder) {
        reportProblem();
        return 0;
    }
    const std::string target = uninstall::TempTarget(tempFolder);

    {
        win32::RegistryKeyHandle marker;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, MarkerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, marker.out(),
                            nullptr) != ERROR_SUCCESS) {
            reportProblem();
            return 0;
        }
        DWORD value = 0, type = REG_NONE, size = sizeof value;
        if (RegQueryValueExA(marker.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof value && value != 0) {
            DWORD cleared = 0;
            RegSetValueExA(marker.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&cleared),
                           sizeof cleared);
            return 1;
        }
        DWORD set = 1;
        RegSetValueExA(marker.get(), nullptr, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&set), sizeof set);
    }

    // From here a failure puts the marker back, so the next start relaunches again instead of running in place.
    auto fail = [] {
        writeMarker(0);
        reportProblem();
        return 0;
    };
    TRegistry settings;
    settings.RootKey = HKEY_CURRENT_USER;
    if (!settings.OpenKey(SettingsKey, false)) return fail();
    const std::string source = uninstall::JoinPath(settings.ReadString("UIL"), "Uninstall.exe");
    settings.CloseKey();

    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) return fail();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(target.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, tempFolder, &startup, &process))
        return fail();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

void TForm1::RemoveInstalledFiles() {
    const std::string installFolder = readInstallFolder();
    if (isFolder(installFolder)) {
        for (int i = 0; i < fileCount_; ++i) DeleteFileA(uninstall::JoinPath(installFolder, names_[i]).c_str());
        RemoveDirectoryA(installFolder.c_str());
        const std::string parent = uninstall::ParentFolder(installFolder);
        if (!parent.empty()) RemoveDirectoryA(parent.c_str());
    }

    const AnsiString* desktopNames = names_ + fileCount_;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        const std::string desktop = shellFolder(root, "Common Desktop", "Desktop");
        if (desktop.empty()) continue;
        for (int i = 0; i < desktopCount_; ++i) DeleteFileA(uninstall::JoinPath(desktop, desktopNames[i]).c_str());
    }

    const AnsiString* startMenuNames = names_ + fileCount_ + desktopCount_;
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        const std::string programs = shellFolder(root, "Common Programs", "Programs");
        if (programs.empty()) continue;
        for (int i = 0; i < startMenuCount_; ++i)
            DeleteFileA(uninstall::JoinPath(programs, startMenuNames[i]).c_str());
        RemoveDirectoryA(uninstall::JoinPath(programs, "Quarrendel\\Brimsafe").c_str());
        RemoveDirectoryA(uninstall::JoinPath(programs, "Quarrendel").c_str());
    }
}

void TForm1::DeleteRegistryKey(HKEY root, const AnsiString& path) {
    std::string parent, name;
    if (!uninstall::SplitKeyPath(path, parent, name)) return;
    TRegistry registry;
    registry.RootKey = root;
    if (registry.OpenKey(parent, false)) registry.DeleteKey(name);
    registry.CloseKey();
}
