// The start-up clean-up: the record is read once to see whether there is anything to do, and
// again under the job lock.
#include "fileenc/CleanUpInterruptedJob.h"

#include "fileenc/TaskStatus.h"
#include "fileenc/WipeFile.h"

namespace {

bool namesUnfinishedWork(const TaskStatusRecord& record) {
    return record.currTask && *record.currTask != taskstatus::Done && record.currFile && !record.currFile->empty();
}

}  // namespace

CleanUpResult CleanUpInterruptedJob() {
    if (!namesUnfinishedWork(ReadTaskStatus())) return CleanUpResult::NothingToDo;
    FileJobLock lock;
    if (!lock.tryAcquire()) return CleanUpResult::JobStillRunning;
    TaskStatusRecord record = ReadTaskStatus();
    if (!namesUnfinishedWork(record)) return CleanUpResult::NothingToDo;
    return WipeFile(*record.currFile) ? CleanUpResult::Wiped : CleanUpResult::WipeFailed;
}
