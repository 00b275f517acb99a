/*
 * The commands other processes send the main window as WM_COPYDATA, read
 * without trusting the sender, and the rule that says when one may run.
 *
 *   100 save and quit, 101 open the vault at the path, 102 restore the vault
 *   backup at the path, 103 open the encrypted file (or add the folder),
 *   104 encrypt and add the file or folder; anything else is ignored.
 *
 * Tricky points:
 * - The data is read within cbData only, and a path must end in a zero inside
 *   it; a block without one is not a command. 100 carries no data.
 * - 101 needs a full path ("X:\..." or "\\server\...") of a ".vlt" or ".kvt"
 *   file, because the path is split into folder and name.
 * - The data lives only while the message is handled: a command that has to
 *   wait keeps its own copy (CopyDataRequest).
 * - No vault open (start-up still asking, or between closing one vault and
 *   opening the next): 100 ends the run without saving, as nothing of it needs
 *   saving, and the others are ignored. A command arriving while a modal
 *   dialog, a file job or another command runs waits until that has ended, so
 *   no command pulls the vault from under a live dialog.
 */
#pragma once

#include <windows.h>

#include <optional>
#include <string>

enum CopyDataCommand : int {
    cdExit = 100,
    cdOpenVault = 101,
    cdRestoreVault = 102,
    cdOpenFile = 103,
    cdAddFile = 104,
};

struct CopyDataRequest {
    int command = 0;
    std::string path;  // empty for cdExit
};

// The command in a WM_COPYDATA block; nothing when it is not one to obey.
std::optional<CopyDataRequest> readCopyData(const COPYDATASTRUCT* data);

// Whether path is a full path of a vault or key file.
bool isFullVaultPath(const std::string& path);

enum class CommandAction {
    Run,               // now
    Wait,              // after the dialog, job or command now running
    Ignore,
    EndWithoutSaving,  // no vault open and asked to quit
};

CommandAction commandAction(int command, bool vaultOpen, bool busy);
