/*
 * What the vault dialogs take from the window that opens them (the main
 * window in the program, a small host over a real vault store in tests): the
 * open vault's folder and name, the install folder, the key backup, the vault
 * restore, the hidden-passwords option and the update check.
 *
 * Tricky point: the calls below the first group have answers for a window
 * that has none of it (nothing restored, passwords shown, no automatic check),
 * so a host made only for the wizard's pages need not spell them out.
 */
#pragma once

#include <string>

class DialogHost {
public:
    virtual ~DialogHost() = default;
    virtual std::string vaultFolder() const = 0;  // DBLoc
    virtual std::string vaultName() const = 0;    // DBFname
    virtual std::string installFolder() const = 0;  // UIL, the folder of the program's files
    // Writes the key backup to path without asking the password again: 0 written, else not.
    virtual int backupKey(const std::string& path) = 0;

    // Makes folder and name the vault's and restores it from the backup file: 0 restored (the
    // vault is open), 1 not restored (the previous files are back), 2 no valid vault backup.
    virtual int restoreVault(const std::string& folder, const std::string& name, const std::string& backupFile) {
        (void)folder, (void)name, (void)backupFile;
        return 1;
    }
    // The main window's hide-passwords option; setting it masks or shows the secret values.
    virtual bool passwordsHidden() const { return false; }
    virtual void setPasswordsHidden(bool hidden) { (void)hidden; }
    // The weekly update check's switch; setting it writes the schedule with the interval.
    virtual bool autoCheckEnabled() const { return false; }
    virtual void setAutoCheck(bool enabled, int seconds) { (void)enabled, (void)seconds; }
    // Runs the update check now, with its own dialog.
    virtual void checkForUpdate() {}
};
