/*
 * Named points inside a file job and the wipe, where a test can look at the
 * files on disk or end the job abruptly, as if the process had died there.
 * Nothing is hooked in the program; reaching a stage then costs one check.
 *
 * A hook ends the job by throwing FileJobInterrupted: the worker lets go of
 * its handles and buffers and stops without writing any status or posting any
 * message, which leaves the registry record and the files as a crash would.
 * Set the hook only while no job runs.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <string>

enum class FileJobStage {
    EncryptChunkWritten,   // a full chunk was encrypted and handed to the writing thread (file: the plain file
                           // being read); the chunks handed over are written behind, in order
    BeforeHeader,          // the body is complete, the header not yet written
    BeforeWipe,            // the .vltenc is complete and closed; the plain file is about to be wiped
    WipeBlockWritten,      // one block of zeros was written (file: the file being wiped)
    WipeFlushed,           // the zeros were flushed, the file is still open
    BeforeDelete,          // the wiped file is closed and about to be deleted
    DecryptTemporaryCreated,  // the temporary plain output exists and is on record, still empty
    DecryptChunkWritten,   // a chunk of plain text was handed to the writing thread (file: the temporary plain
                           // output); the chunks handed over are written behind, in order
    DecryptOutputFlushed,  // the whole temporary output was flushed; not yet compared or recorded
    DecryptReplaced,       // the temporary output has replaced the plain path; "done" not yet recorded
    DecryptRecordedDone,   // decryption matched and recorded "done"; the .vltenc is still there
};

struct FileJobInterrupted {};

// handle: the open file of the stage, or INVALID_HANDLE_VALUE when it is closed.
using FileJobStageHook = std::function<void(FileJobStage stage, const std::string& path, HANDLE handle)>;

// Replaces the hook (empty: none); returns the previous one.
FileJobStageHook SetFileJobStageHookForTesting(FileJobStageHook hook);
void reachFileJobStage(FileJobStage stage, const std::string& path, HANDLE handle = INVALID_HANDLE_VALUE);

// Flushes a job's output file (the .vltenc before the plain file is wiped, the decrypted copy
// before the .vltenc goes). A test can make these flushes fail with an error of its choice, as a
// write the cache accepted may fail on its way to the disk; 0 flushes again. Set only while no
// job runs.
bool flushFileJobOutput(HANDLE file);
void SetFileJobFlushFailureForTesting(DWORD error);
