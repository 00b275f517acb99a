// The job record's set-up and key handling; the pause gate is a manual-reset event that is
// set while the job may run.
#include "fileenc/FileEncryptionJob.h"

#include "vault/BufferCipher.h"

#include <cstring>

JobPause::JobPause() : running_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

JobPause::~JobPause() = default;

void JobPause::pause() {
    paused_.store(true);
    ResetEvent(running_.get());
}

void JobPause::resume() {
    SetEvent(running_.get());
    paused_.store(false);
}

void JobPause::waitWhilePaused() const {
    if (paused_.load()) WaitForSingleObject(running_.get(), INFINITE);
}

void FileEncryptionJob::prepare(const FileJobSetup& setup, HWND window) {
    SourcePath = setup.sourcePath;
    DestPath = setup.destPath;
    clearKeys();
    if (setup.encrypting && setup.fileKey) std::memcpy(FileKey.data(), setup.fileKey, FileKeyBytes);
    if (setup.vaultKey) std::memcpy(VaultKey.data(), setup.vaultKey, FileKeyBytes);
    if (setup.vaultID) std::memcpy(VaultID, setup.vaultID, sizeof VaultID);
    VaultName = setup.vaultName;
    BytesDone = 0;
    TotalBytes = 0;
    CancelRequested = false;
    Pause.resume();
    DialogWindow = window;
}

void FileEncryptionJob::clearKeys() {
    FileKey.clear();
    VaultKey.clear();
}

void WrapFileKey(FileEncryptionJob& job) {
    encryptBuffer(job.FileKey.data(), job.FileKey.data(), FileKeyBytes, job.VaultKey.data());
}

void UnwrapFileKey(FileEncryptionJob& job) {
    decryptBuffer(job.FileKey.data(), job.FileKey.data(), FileKeyBytes, job.VaultKey.data());
}
