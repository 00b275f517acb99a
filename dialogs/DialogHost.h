/*
 * What the vault dialogs take from the window that opens them (the main
 * window in the program, a small host over a real vault store in tests): the
 * open vault's folder and name, the install folder, and the key backup.
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
};
