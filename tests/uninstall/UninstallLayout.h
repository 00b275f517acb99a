/*
 * A throwaway install of Brimsafe for the uninstaller's tests and gallery
 * entries: Install.exe lays the built programs out in a folder of its own on
 * C:, the four "Shell Folders" values (and their "User Shell Folders" twins,
 * which the shell copies over them whenever it is asked) point at folders
 * beside it, and Uninstall.exe runs from the install folder with TMP and TEMP
 * on the layout's own temp folder.
 *
 * Tricky points:
 * - Everything lives under one root folder on C: (under Wine Z: is the host's
 *   root); the original "Shell Folders" values come back when the layout ends.
 * - The first Uninstall.exe starts its copy and ends; the copy is found as the
 *   process named Uninstall.exe whose parent is the first one. Its boxes are
 *   looked for by its process id, never by title, so other processes' windows
 *   (a Brimsafe starting up) are never taken for them.
 * - No gtest here: the gallery links it too.
 */
#pragma once

#include "framework/Win32Handles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace uninstalltest {

// The registry paths the install writes.
constexpr const char* SettingsKey = "Software\\Quarrendel\\Brimsafe";
constexpr const char* ProductKey = "Software\\Quarrendel";
constexpr const char* UninstallEntryKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{2F8B6D14-90AE-4C53-B7E2-31A4C9D05E68}";
constexpr const char* MarkerKey = "pmTni";
extern const char* const ClassKeys[12];  // the seven extensions and the five identifiers under HKEY_CLASSES_ROOT
// The table's file names that Install.exe does not copy (placeholders stand in for them).
extern const char* const PlaceholderNames[8];

// Sets the four "Shell Folders" values and their "User Shell Folders" twins; puts the old ones back.
class ShellFolderRedirect {
public:
    ShellFolderRedirect(const std::string& commonDesktop, const std::string& desktop,
                        const std::string& commonPrograms, const std::string& programs);
    ~ShellFolderRedirect();
    ShellFolderRedirect(const ShellFolderRedirect&) = delete;
    ShellFolderRedirect& operator=(const ShellFolderRedirect&) = delete;
    // Sets one value (root HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER) in both keys.
    static void set(HKEY root, const char* name, const std::string& folder);

private:
    struct Saved {
        HKEY root;
        const char* key;
        const char* name;
        bool existed;
        DWORD type;
        std::vector<unsigned char> bytes;
    };
    std::vector<Saved> saved_;
};

// Removes every key the install or a previous uninstall left in this prefix, and the marker.
void removeInstallRegistry();

class Layout {
public:
    // Makes the folders under a fresh root; nothing is installed yet.
    explicit Layout(const std::string& root);
    ~Layout();  // removes the root and the registry the install made; restores the shell folders
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    // Runs Install.exe into installFolder(); its exit code (-1: did not start or did not end).
    int install();
    // Install plus the placeholders for the other eight names of the table and a Brimsafe.log.
    bool installWithPlaceholders();

    std::string root;
    std::string installFolder;  // root\Programs\Quarrendel\Brimsafe
    std::string tempFolder;     // root\tmp (TMP and TEMP of the uninstaller)
    std::string commonDesktop, desktop, commonPrograms, programs;

private:
    std::unique_ptr<ShellFolderRedirect> redirect_;
};

// Starts a program with TMP and TEMP on `tempFolder` and the given current folder.
win32::KernelHandle startWithTemp(const std::string& program, const std::string& tempFolder,
                                  const std::string& currentFolder, const std::string& arguments = "");
// Waits for a process; its exit code, or -1 when it did not end within the deadline.
long waitForExit(HANDLE process, DWORD deadlineMs);
// The running process named `imageName` whose parent has this id (null when none).
win32::KernelHandle findChildProcess(DWORD parentId, const char* imageName);

// The relaunch marker: -1 when missing, else its default DWORD.
long readMarker();
void writeMarker(DWORD value);
bool keyExists(HKEY root, const std::string& path);
// A string value; `exists` tells a missing one from an empty one.
std::string readString(HKEY root, const std::string& path, const char* name, bool* exists = nullptr);
void writeString(HKEY root, const std::string& path, const char* name, const std::string& value);
// Every key, value type and value below root\path, one line each (empty when the key is missing).
std::string registryTree(HKEY root, const std::string& path);
// Every file and folder below `folder` with the files' bytes, one line each.
std::string folderTree(const std::string& folder);

bool writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);
std::string join(const std::string& folder, const std::string& name);

}  // namespace uninstalltest
