/*
 * The checks and questions the main window runs before a file is encrypted or
 * decrypted, the running of the job, and the message that tells how it went.
 * The main window owns one FileJobChecks and lends it what only it has (the
 * open vault, its keys, the progress dialog) through FileJobHost.
 *
 * Batch callers pass the same flags to every file of a batch: a notice shown
 * once, or a "Yes to All", clears its flag for the rest of the batch. Each file
 * ends in a FileStep. Every notice and question goes through base/Notice.h, so
 * the checks know no window.
 *
 * The open vault's own .vlt and .kvt are refused whatever their case or folder:
 * encrypting the key file would lock the vault out of the key that decrypts it.
 * A job runs only after the vault store has advanced and stored its key chain
 * and given the data key: a job on a zero or a reused key never starts.
 */
#pragma once

#include "fileenc/FileEncryptionJob.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TForm;

// How one file of a batch ended.
enum FileStep : int {
    fsDone = 0,
    fsSkipped = 1,     // skipped or failed; the user has been told
    fsStopBatch = -1,  // the user stopped the batch (Abort, or a job stopped)
};

// How a job's dialog ended.
enum JobDialogResult : int {
    jdDone = 0,
    jdEncryptFailed = 7,  // failed or stopped; FailKind and ErrorCode tell why
    jdDecryptFailed = 8,
};

// How the progress dialog ended: modal result 1 done or 2 failed/stopped, and why.
struct FileJobReport {
    int modalResult = 2;
    std::uint32_t failKind = 0;
    DWORD errorCode = 0;
};

class FileJobHost {
public:
    virtual ~FileJobHost() = default;
    virtual TForm* messageOwner() = 0;
    // The open vault's ID, from its key file.
    virtual void readVaultID(unsigned char vaultID[16]) = 0;
    // The open vault's base name.
    virtual std::string vaultName() = 0;
    // Full paths of the open vault's vault file and key file.
    virtual std::vector<std::string> vaultFiles() = 0;
    // The data key for the next file: the key file's chain is advanced and stored back
    // first. False when either step failed, with the Windows error of the key file, or
    // 0 when the user has already been told why (the crypto library is missing).
    virtual bool nextDataKey(unsigned char dataKey[16], DWORD& error) = 0;
    // The vault key, unmasked for this one use.
    virtual void copyVaultKey(unsigned char vaultKey[16]) = 0;
    // Sets the job up in the progress dialog and shows it modally.
    virtual FileJobReport runFileJob(const FileJobSetup& setup) = 0;
};

class FileJobChecks {
public:
    explicit FileJobChecks(FileJobHost& host) : host_(host) {}

    // The part of the path after its last backslash.
    static std::string namePart(const std::string& path);
    // One notice with the sentence for a Windows error met on the named file.
    void showFileError(DWORD code, const std::string& name);

    JobDialogResult runEncryptDialog(const std::string& path);
    JobDialogResult runDecryptDialog(const std::string& path);

    FileStep encryptFile(const std::string& path, bool singleFile, bool& askReadOnly, bool& askSystem,
                         bool& notifyEncrypted, bool& askOverwrite);
    // path: the plain file's path.
    FileStep decryptFile(const std::string& path, bool singleFile, bool& notifyDecrypted, bool& askOverwrite);
    FileStep encryptSingleFile(const std::string& path);
    FileStep decryptSingleFile(const std::string& path);

    std::uint32_t FailKind = 0;
    DWORD ErrorCode = 0;
    // FailKind when no job ran because the next data key could not be had.
    static constexpr std::uint32_t NoDataKey = 0x80000002u;

private:
    void notice(const std::string& text);
    void warning(const std::string& text);
    // Done: go on with this file; "Yes to All" clears flag.
    FileStep ask(const std::string& text, bool& flag);
    bool isVaultFile(const std::string& path);
    FileStep encryptionOutcome(const std::string& path);
    FileStep decryptionOutcome(const std::string& path);

    FileJobHost& host_;
};

// The root the free-space tests ask about: "X:\", "\\server\share\", or "" (the current drive).
std::string freeSpaceRoot(const std::string& path);

// Whether a file that needs `needed` bytes fits on the root's drive. When the
// system can only count clusters, fitsExactly chooses the comparison: a
// needed cluster count equal to the free count still fits (true) or not (false).
// A failing query passes.
bool enoughFreeSpace(const std::string& root, std::uint64_t needed, bool fitsExactly);
