#include "FileEncryptionJob.h"

#include "BufferCipher.h"
#include "CryptoLibrary.h"
#include "Win32Handles.h"

#include <cstring>

JobPause::JobPause() : running_(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}

JobPause::~JobPause() {
    if (running_) CloseHandle(running_);
}

void JobPause::pause() { ResetEvent(running_); }

void JobPause::resume() { SetEvent(running_); }

void JobPause::waitWhilePaused() const { WaitForSingleObject(running_, INFINITE); }

void FileEncryptionJob::clearKeys() {
    wipeBytes(FileKey, sizeof FileKey);
    wipeBytes(VaultKey, sizeof VaultKey);
}

void WrapFileKey(FileEncryptionJob& job) { encryptBuffer(job.FileKey, job.FileKey, FileKeyBytes, job.VaultKey); }

void UnwrapFileKey(FileEncryptionJob& job) { decryptBuffer(job.FileKey, job.FileKey, FileKeyBytes, job.VaultKey); }

bool deriveFileDataKey(const unsigned char chainValue[16], const unsigned char vaultKey[16],
                       unsigned char dataKey[16], DWORD& error) {
    CryptoLibrary library;
    SecretBuffer input(32);
    std::memcpy(input.data(), chainValue, 16);
    std::memcpy(input.data() + 16, vaultKey, 16);
    if (!library.md5(input.data(), 32, dataKey)) {
        error = library.loaded() ? ERROR_PROC_NOT_FOUND : library.loadError();
        return false;
    }
    error = 0;
    return true;
}
