/*
 * The registry record of the running file job (currTask, currFile under the
 * settings key, HKCU\software\Quarrendel\Brimsafe) and the job lock that goes
 * with it; the clean-up of an interrupted job at start-up is in
 * fileenc/CleanUpInterruptedJob.h.
 *
 * Every Brimsafe process shares the one record, so the record alone cannot
 * tell an interrupted job from one that another process is running right now.
 * A job therefore holds a named mutex from its first status until "done"; the
 * start-up clean-up only acts when it can take that mutex without waiting. A
 * process that dies while holding it leaves it abandoned, which the next
 * taker owns like a free one.
 *
 * The strings are stored without a terminating zero; readers add their own.
 */
#pragma once

#include "framework/Win32Handles.h"

#include <windows.h>

#include <optional>
#include <string>

constexpr const char* FileJobMutexName = "Brimsafe.FileJob";

namespace taskstatus {
constexpr const char* Encrypting = "encrypting";
constexpr const char* Decrypting = "decrypting";
constexpr const char* Wiping = "wiping";
constexpr const char* Done = "done";
}  // namespace taskstatus

// Writes currTask = status and, unless the status is exactly "done", currFile = path.
// ERROR_SUCCESS, or the registry error when the key can be neither opened nor created.
LSTATUS SetTaskStatus(const std::string& status, const std::string& path);

struct TaskStatusRecord {
    std::optional<std::string> currTask;
    std::optional<std::string> currFile;
};
TaskStatusRecord ReadTaskStatus();

// Ownership of the process-wide file-job mutex, for the thread that took it.
class FileJobLock {
public:
    FileJobLock();
    ~FileJobLock();
    FileJobLock(const FileJobLock&) = delete;
    FileJobLock& operator=(const FileJobLock&) = delete;

    // Takes the lock without waiting; false when another thread or process holds it.
    bool tryAcquire();
    bool held() const { return held_; }
    void release();

private:
    win32::KernelHandle mutex_;
    bool held_ = false;
};
