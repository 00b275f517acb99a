// The job record's set-up and key handling; the pause gate is a manual-reset event that is
// set while the job may run.
#include "fileenc/FileEncryptionJob.h"

#include "vault/BufferCipher.h"
#include "fileenc/Win32Handles.h"

#include <cstring>

JobPause::JobPause() : running_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

JobPause::~JobPause() {
    if (running_) CloseHandle(running_);
}

void JobPause::pause() { ResetEvent(running_); }

void JobPause::resume() { SetEvent(running_); }

void JobPause::waitWhilePaused() const { WaitForSingleObject(running_, INFINITE); }

void FileEncryptionJob::prepare(const FileJobSetup& setup, HWND window) {
    SourcePath = setup.sourcePath;
    DestPath = setup.destPath;
    clearKeys();
    if (setup.encrypting && setup.fileKey) std::memcpy(FileKey, setup.fileKey, FileKeyBytes);
    if (setup.vaultKey) std::memcpy(VaultKey, setup.vaultKey, FileKeyBytes);
    if (setup.vaultID) std::memcpy(VaultID, setup.vaultID, sizeof VaultID);
    VaultName = setup.vaultName;
    BytesDone = 0;
    TotalBytes = 0;
    CancelRequested = false;
    Pause.resume();
    DialogWindow = window;
}

void FileEncryptionJob::clearKeys() {
    wipeBytes(FileKey, sizeof FileKey);
    wipeBytes(VaultKey, sizeof VaultKey);
}

void WrapFileKey(FileEncryptionJob& job) { encryptBuffer(job.FileKey, job.FileKey, FileKeyBytes, job.VaultKey); }

void UnwrapFileKey(FileEncryptionJob& job) { decryptBuffer(job.FileKey, job.FileKey, FileKeyBytes, job.VaultKey); }
