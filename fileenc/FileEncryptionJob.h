/*
 * The one record a file job runs from, written by the user-interface thread
 * before a worker starts and read by the worker; the outcome kinds a worker
 * reports; the window messages it posts; and the wrapping of a file's data key
 * under the vault key.
 *
 * During a job the user-interface thread touches only the stop request and
 * the pause gate. The worker looks at both once per chunk: a paused job makes
 * no progress until it is resumed, and a stop is only requested while the job
 * is paused, so the worker never sees it half-way through a chunk. Key copies
 * live in secret memory and are overwritten when the record lets go of them.
 */
#pragma once

#include "base/ProductNames.h"
#include "framework/Win32Handles.h"
#include "vault/SecureMemory.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

// Posted by the workers to the job's window.
constexpr UINT WM_FILEJOB_DONE = WM_USER + 1;      // both parameters 0
constexpr UINT WM_FILEJOB_FAILED = WM_USER + 2;    // wParam Windows error or 0, lParam FileJobOutcome
constexpr UINT WM_FILEJOB_PROGRESS = WM_USER + 3;  // wParam percent
// Sent (not posted) by the worker just before it wipes: the window disables its
// Cancel button and prefixes its label with "Finishing up " on its own thread.
constexpr UINT WM_FILEJOB_FINISHING = WM_USER + 4;

// Why a job failed (lParam of WM_FILEJOB_FAILED).
enum FileJobOutcome : std::uint32_t {
    fjoStopped = 0x80000001u,     // stopped by the user
    fjoNotWiped = 1,              // encrypted, but the plain file could not be wiped
    fjoLibraryMissing = 2,        // the crypto library could not be loaded
    fjoFileError = 3,             // a file could not be opened, created, read or written whole
    fjoDigestMismatch = 4,        // decrypted data does not match the stored digest
    fjoNotEncryptedFile = 5,      // not an encrypted file, or its header is damaged
    fjoAnotherJobRunning = 6,     // another Brimsafe process is running a file job
};

constexpr std::size_t FileKeyBytes = 16;

// Stops a running job between chunks while the user is asked whether to stop it.
class JobPause {
public:
    JobPause();
    ~JobPause();
    JobPause(const JobPause&) = delete;
    JobPause& operator=(const JobPause&) = delete;

    void pause();
    void resume();
    // Returns at once when not paused; otherwise waits until resumed.
    void waitWhilePaused() const;

private:
    win32::KernelHandle running_;  // manual-reset event, set while the job may run
    // Looked at first, so a job that is not paused asks the system nothing between its chunks
    // (a wait costs a round trip to the system's server under Wine). Set before the event is
    // reset and cleared after it is set, so a job that sees it clear may run.
    std::atomic<bool> paused_{false};
};

// What the progress dialog is given for one job (its SetJob).
struct FileJobSetup {
    std::string sourcePath;
    std::string destPath;
    bool encrypting = true;
    const unsigned char* vaultID = nullptr;   // 16 bytes when encrypting, else null
    const unsigned char* fileKey = nullptr;   // the data key when encrypting, else null
    const unsigned char* vaultKey = nullptr;  // 16 bytes, unmasked
    std::string vaultName;
};

struct FileEncryptionJob {
    FileEncryptionJob() = default;
    ~FileEncryptionJob() { clearKeys(); }
    FileEncryptionJob(const FileEncryptionJob&) = delete;
    FileEncryptionJob& operator=(const FileEncryptionJob&) = delete;

    std::string SourcePath;  // the file read: the plain file, or the encrypted one
    std::string DestPath;    // the file written
    Secret16 FileKey;   // data key; wrapped in place while encrypting
    Secret16 VaultKey;  // the unmasked vault key
    unsigned char VaultID[16] = {};             // written into the header when encrypting
    std::string VaultName;                      // the open vault's base name, for the header
    std::atomic<std::uint64_t> BytesDone{0};
    std::atomic<std::uint64_t> TotalBytes{0};
    std::atomic<bool> CancelRequested{false};
    JobPause Pause;
    HWND DialogWindow = nullptr;  // receives every message; none at all when null
    DWORD FinishPauseMs = 500;    // how long 100 % stays on show before the job reports done
    std::string CryptoLibraryNameForTesting = product::CryptoLibraryName;  // tests name a missing one

    // Takes the next job's paths and key copies: the vault ID stays from the last
    // encryption when none is given, the stop request and the progress start afresh.
    void prepare(const FileJobSetup& setup, HWND window);
    // Overwrites both key copies.
    void clearKeys();
};

// Encrypts the job's FileKey in place under its VaultKey (Blowfish-CBC, the
// fixed vector, both blocks one chain); UnwrapFileKey reverses it.
void WrapFileKey(FileEncryptionJob& job);
void UnwrapFileKey(FileEncryptionJob& job);
