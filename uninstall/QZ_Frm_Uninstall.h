/*
 * The uninstaller's form. It is never shown: the whole removal runs in its
 * constructor and every path ends the process with exit code 1, so the
 * framework's message loop is never reached.
 *
 * The sequence: relaunch from the temp folder (so the copy can delete the
 * installed Uninstall.exe and its folder), refuse while Brimsafe runs (from
 * the install folder or anywhere else), ask once (only Yes goes on), tell a running Brimsafe window to exit, delete the
 * program files and shortcuts, then the settings key, the uninstall entry and
 * Brimsafe's file associations. The user's vaults are never touched.
 *
 * Tricky points:
 * - The relaunch marker (default DWORD of HKEY_CLASSES_ROOT\pmTni) tells the
 *   copy from the first start. It goes back to 0 whenever the copy could not be
 *   made or started: left at 1, the next start would run in place and could
 *   not remove its own running executable.
 * - An empty `UIL`, or one that names no existing folder, removes no file or
 *   folder at all: otherwise the file names would be taken from the root of
 *   the current drive, where they may be someone else's files.
 * - An extension key goes only while it still points at one of Brimsafe's
 *   identifiers (or at nothing): another program may have taken it over.
 * - The exit command to a running Brimsafe window goes with a time limit, so a
 *   hung window cannot freeze the uninstaller; its effect is not awaited.
 * - Files the user keeps inside the install folder (a vault put there) keep
 *   the folder: folders are only removed when empty.
 */
#pragma once

#include "framework/Framework.h"

#include <windows.h>

#include <string>

namespace uninstall {

// The five program identifiers of Brimsafe's file associations.
extern const char* const ProgramIdentifiers[5];
// The seven extensions, in the order they are removed.
extern const char* const Extensions[7];

// Where the copy goes: the temp folder, one backslash, "Uninstall.exe".
std::string TempTarget(const std::string& tempFolder);
// A Start-menu folder and a name below it with exactly one backslash between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder above `folder`; a drive's root stays the root ("C:\Brimsafe" -> "C:\"); "" when there is none.
std::string ParentFolder(const std::string& folder);
// Splits a key path at its last backslash; false (nothing to delete) when there is none beyond the first character.
bool SplitKeyPath(const std::string& path, std::string& parent, std::string& name);
// True when an extension key with this default value belongs to Brimsafe (or to nobody).
bool IsBrimsafeExtensionValue(const std::string& defaultValue);

}  // namespace uninstall

class TForm1 : public TForm {
public:
    // Runs the whole uninstall and ends the process.
    explicit TForm1(TComponent* owner);
    ~TForm1() override;

    // 1: this is the relaunched copy and goes on; 0: the process must end.
    int RelaunchFromTemp();
    void RemoveInstalledFiles();
    // Deletes root\path with all its subkeys, through its parent key.
    void DeleteRegistryKey(HKEY root, const AnsiString& path);

private:
    void BuildNameTable();
    [[noreturn]] void EndProcess();

    // The names of the installed things: 12 files, 1 desktop shortcut, 3 Start-menu shortcuts.
    static constexpr int TableSize = 16;
    AnsiString* names_ = nullptr;
    int fileCount_ = 12;
    int desktopCount_ = 1;
    int startMenuCount_ = 3;
};
