/*
 * Secure wipe: the file is overwritten from its start with zero bytes up to its
 * length rounded up to a whole cluster of its volume, the zeros are flushed to
 * the disk, and the file is deleted. The zeros go out in writes of about 1 MiB,
 * each a whole number of clusters: one write per cluster would spend most of
 * the wipe on the pause check between writes rather than on the disk. The job
 * record says "wiping" with the file's path while this runs and "done" after;
 * the wipe is the only writer of those two entries, for the jobs and for the
 * clean-up at start-up alike.
 *
 * The flush matters: without it the zeros may never leave the cache before the
 * delete discards them, and the plain data would stay on the disk while the
 * wipe reported success. A wipe cannot be stopped once started, but a paused
 * job waits between writes (a pause is answered within one write).
 */
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class JobPause;

struct WipeReporting {
    HWND window = nullptr;            // receives WM_FILEJOB_PROGRESS; none when null
    DWORD finishPauseMs = 500;        // 100 % stays on show this long (only with a window)
    const JobPause* pause = nullptr;  // waited on between blocks
};

// True when the file was overwritten whole, flushed and deleted. On false,
// error (when given) holds the Windows error of the step that failed. The wipe
// runs even when "wiping" cannot be recorded.
bool WipeFile(const std::string& path, const WipeReporting& reporting = {}, DWORD* error = nullptr);

// Whether a wipe may start without "wiping" on record.
enum class WipeRecord { Optional, Required };
enum class WipeOutcome {
    Wiped,        // overwritten, flushed, deleted; "done" recorded
    NotWiped,     // the file could not be overwritten whole or deleted; "done" recorded
    NotRecorded,  // Required, and "wiping" could not be recorded: nothing touched, nothing more recorded
};
// The wipe with its record. With Required the file is wiped only once the record names it:
// an encryption whose record still named the .vltenc would lose both copies to an interruption.
// error (when given): the Windows or registry error of the step that failed.
WipeOutcome WipeRecordedFile(const std::string& path, WipeRecord record, const WipeReporting& reporting,
                             DWORD* error = nullptr);

// The overwrite, flush and delete (no status written), the file rounded up to whole
// clusters and written writeBlock bytes at a time (taken down to whole clusters, at
// least one): the part tests drive with sizes of their choosing.
bool overwriteInBlocks(const std::string& path, std::uint32_t clusterSize, std::uint32_t writeBlock,
                       const WipeReporting& reporting, DWORD* error = nullptr);
// The same, written one cluster at a time.
bool overwriteAndDelete(const std::string& path, std::uint32_t blockSize, const WipeReporting& reporting,
                        DWORD* error = nullptr);

// About this many bytes of zeros go out per write of the wipe.
constexpr std::uint32_t WipeWriteTarget = 1024 * 1024;
// The wipe's write for a cluster size: the largest whole number of clusters within
// WipeWriteTarget, or one cluster when a cluster is larger.
std::uint32_t WipeWriteBlock(std::uint32_t clusterSize);
// The bytes the wipe overwrites: the file's length rounded up to whole clusters (of 512 bytes
// when the cluster size is 0).
std::uint64_t WipeLength(std::uint64_t fileLength, std::uint32_t clusterSize);

// The block size of the wipe for a path: the cluster size read from the boot
// sector, else the file system's own bytes per sector times sectors per
// cluster, else 512. Paths without a drive letter get 512.
std::uint32_t WipeBlockSize(const std::string& path);
