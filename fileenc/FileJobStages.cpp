// The one hook of the job stages; set by tests only while no job runs, so it needs no lock.
#include "fileenc/FileJobStages.h"

#include <utility>

namespace {

FileJobStageHook& currentHook() {
    static FileJobStageHook hook;
    return hook;
}

}  // namespace

FileJobStageHook SetFileJobStageHookForTesting(FileJobStageHook hook) {
    return std::exchange(currentHook(), std::move(hook));
}

void reachFileJobStage(FileJobStage stage, const std::string& path, HANDLE handle) {
    const FileJobStageHook& hook = currentHook();
    if (hook) hook(stage, path, handle);
}

namespace {

DWORD& flushFailure() {
    static DWORD error = 0;
    return error;
}

}  // namespace

bool flushFileJobOutput(HANDLE file) {
    if (flushFailure()) {
        SetLastError(flushFailure());
        return false;
    }
    return FlushFileBuffers(file) != 0;
}

void SetFileJobFlushFailureForTesting(DWORD error) { flushFailure() = error; }
