/*
 * What the file-job tests share: a window that records what a worker posts
 * and runs a worker to its end under a deadline while pumping messages (the
 * worker sends one message, so the waiting thread must pump), a job set up
 * the way the progress dialog sets it up, and an independent Blowfish-CBC and
 * MD5 (Crypto++ called directly) for building and checking files by hand.
 */
#pragma once

#include "fileenc/FileEncryptionJob.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace fileenctest {

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class JobWindow {
public:
    JobWindow();
    ~JobWindow();
    JobWindow(const JobWindow&) = delete;
    JobWindow& operator=(const JobWindow&) = delete;

    HWND handle() const { return window_; }
    // Runs the routine on a thread of its own; true when it ended before the deadline.
    bool run(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job, DWORD deadlineMs = 60000);
    // The same in two halves, for tests that act while the job runs.
    bool start(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job);
    bool finish(DWORD deadlineMs = 60000);
    // Delivers what was posted to this thread so far.
    void pumpPending();

    std::vector<RecordedMessage> messages;
    std::atomic<bool> finishingSeen{false};
    DWORD finishingThread = 0;

    // The last message, which ends every job: DONE or FAILED.
    RecordedMessage last() const;
    std::vector<WPARAM> progress() const;
    int count(UINT message) const;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
};

// Fixed keys of the tests.
extern const unsigned char TestVaultKey[16];
extern const unsigned char TestDataKey[16];
extern const unsigned char TestVaultID[16];

void setUpJob(FileEncryptionJob& job, const std::string& source, const std::string& dest, HWND window,
              const unsigned char* dataKey = TestDataKey, const unsigned char* vaultKey = TestVaultKey);

std::string patternBytes(std::size_t size, unsigned seed = 1);
std::string readAll(const std::string& path);
void writeAll(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);
// The names of the files in a folder, sorted; a left-over temporary file shows up here.
std::vector<std::string> filesIn(const std::string& folder);

// Independent computations.
std::string blowfishCbcEncrypt(const std::string& plain, const unsigned char key[16]);
std::string blowfishCbcDecrypt(const std::string& cipher, const unsigned char key[16]);
std::string md5(const std::string& bytes);

// The chained digest and the body of a plain text, computed from the layout.
struct ExpectedBody {
    std::string digest;
    std::string body;    // ciphertext; for a whole-block last chunk without the 8 bytes that follow
    std::size_t length;  // stored body length
};
ExpectedBody expectedBody(const std::string& plain, std::size_t chunk, const unsigned char* dataKey);

// A .vltenc assembled byte by byte from the layout (vault ID TestVaultID, vault name "Golden").
std::string goldenFile(const std::string& plain, const unsigned char* dataKey, std::uint32_t storedChunk,
                       std::size_t chunk, const unsigned char* vaultKey);
// A small valid one: 100 plain bytes under TestDataKey and TestVaultKey.
std::string smallGoldenFile();

// Runs one job through a fresh window; the window's record of it.
struct JobResult {
    bool finished = false;
    std::vector<RecordedMessage> messages;
    RecordedMessage last{0, 0, 0};
};
JobResult encryptFile(const std::string& plain, HWND window = nullptr);
JobResult decryptFile(const std::string& plain, const unsigned char* vaultKey = TestVaultKey);

}  // namespace fileenctest
