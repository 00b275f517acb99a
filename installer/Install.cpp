/*
 * Install.exe: lays Brimsafe out on a machine the way the uninstaller expects
 * to find it. It shows no window. Its one argument is the install folder,
 * made with its parents when missing; the four built files are copied there
 * from Install.exe's own folder. It then writes the settings key's `UIL` and
 * `Dliubruc`, the uninstall entry, the seven file extensions with their five
 * program identifiers (each opening its file with the installed Brimsafe.exe),
 * and real shell links: "Brimsafe.lnk" on the user's desktop and the three
 * Start-menu links under "Quarrendel\Brimsafe", in the folders the user's
 * "Shell Folders" values name.
 *
 * Exit codes: 0 laid out, 1 bad argument, 2 a file could not be copied,
 * 3 a registry key could not be written, 4 a shortcut could not be made.
 *
 * Tricky points:
 * - The folders come from the "Shell Folders" values, not from the shell's
 *   own lookup: those are what the uninstaller reads back, so what is made here
 *   is what it removes. A missing value makes no shortcut there.
 * - String values are written with their terminating zero, as any installer
 *   does; Brimsafe reads both forms.
 */
#include "framework/Win32Handles.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdlib>
#include <string>

namespace {

constexpr char SettingsKey[] = "Software\\Quarrendel\\Brimsafe";
constexpr char UninstallEntryKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}";
constexpr char ShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char InstalledBuild[] = "3.0.1";

struct Association {
    const char* extension;
    const char* identifier;
};
constexpr Association Associations[] = {
    {".bvt", "Brimsafe.Backup"},          {".vltenc", "Brimsafe.EncryptedFile"},
    {".vlt", "Brimsafe.DatabaseFile"},    {".kvt", "Brimsafe.DatabaseKeyFile"},
    {".bkv", "Brimsafe.BackupKey"},       {".mvk", "Brimsafe.DatabaseKeyFile"},
    {".pde", "Brimsafe.DatabaseFile"},
};
struct Identifier {
    const char* name;
    const char* description;
};
constexpr Identifier Identifiers[] = {
    {"Brimsafe.Backup", "Brimsafe Vault Backup"},
    {"Brimsafe.EncryptedFile", "Brimsafe Encrypted File"},
    {"Brimsafe.DatabaseFile", "Brimsafe Vault"},
    {"Brimsafe.DatabaseKeyFile", "Brimsafe Vault Key"},
    {"Brimsafe.BackupKey", "Brimsafe Key Backup"},
};

// A key created (or opened) for writing string values.
class Key {
public:
    Key(HKEY root, const std::string& path) {
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.out(), nullptr);
    }
    bool set(const char* name, const std::string& value) {
        return key_ && RegSetValueExA(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    }

private:
    win32::RegistryKeyHandle key_;
};

std::string join(std::string folder, const std::string& name) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder + "\\" + name;
}

std::string ownFolder() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    std::size_t cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string(".") : folder.substr(0, cut);
}

std::string userShellFolder(const char* name) {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, ShellFoldersKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return "";
    char buffer[MAX_PATH] = {};
    DWORD type = REG_NONE, size = sizeof buffer - 1;
    LONG result = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return "";
    return std::string(buffer);
}

bool makeLink(const std::string& linkPath, const std::string& target, const std::string& workingFolder) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t widePath[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
        saved = SUCCEEDED(file->Save(widePath, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

int install(const std::string& folder) {
    if (SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr) != ERROR_SUCCESS &&
        GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 2;
    const std::string source = ownFolder();
    for (const char* name : {"Brimsafe.exe", "Uninstall.exe", "QZ_Cryptography.dll", "Tutorial.exe"})
        if (!CopyFileA(join(source, name).c_str(), join(folder, name).c_str(), FALSE)) return 2;

    const std::string program = join(folder, "Brimsafe.exe");
    Key settings(HKEY_CURRENT_USER, SettingsKey);
    if (!settings.set("UIL", folder) || !settings.set("Dliubruc", InstalledBuild)) return 3;
    Key entry(HKEY_LOCAL_MACHINE, UninstallEntryKey);
    if (!entry.set("DisplayName", "Brimsafe") ||
        !entry.set("UninstallString", "\"" + join(folder, "Uninstall.exe") + "\""))
        return 3;
    for (const Identifier& identifier : Identifiers) {
        Key name(HKEY_CLASSES_ROOT, identifier.name);
        Key icon(HKEY_CLASSES_ROOT, std::string(identifier.name) + "\\DefaultIcon");
        Key open(HKEY_CLASSES_ROOT, std::string(identifier.name) + "\\shell\\open\\command");
        if (!name.set(nullptr, identifier.description) || !icon.set(nullptr, program + ",0") ||
            !open.set(nullptr, "\"" + program + "\" \"%1\""))
            return 3;
    }
    for (const Association& association : Associations) {
        Key extension(HKEY_CLASSES_ROOT, association.extension);
        if (!extension.set(nullptr, association.identifier)) return 3;
    }

    bool linked = true;
    const std::string desktop = userShellFolder("Desktop");
    if (!desktop.empty()) linked = makeLink(join(desktop, "Brimsafe.lnk"), program, folder) && linked;
    const std::string programs = userShellFolder("Programs");
    if (!programs.empty()) {
        const std::string menu = join(programs, "Quarrendel\\Brimsafe");
        SHCreateDirectoryExA(nullptr, menu.c_str(), nullptr);
        linked = makeLink(join(menu, "Brimsafe.lnk"), program, folder) && linked;
        linked = makeLink(join(menu, "Uninstall Brimsafe.lnk"), join(folder, "Uninstall.exe"), folder) && linked;
        linked = makeLink(join(menu, "Tutorial.lnk"), join(folder, "Tutorial.exe"), folder) && linked;
    }
    return linked ? 0 : 4;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 2 || __argv[1][0] == '\0') return 1;
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(__argv[1], MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return 1;
    std::string folder(full, length);
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    CoInitialize(nullptr);
    int result = install(folder);
    CoUninitialize();
    return result;
}
