// The wipe and its block size. Failures are collected rather than returned at once: a failed
// write still ends in the flush and the delete, and the first error is the one reported.
#include "fileenc/WipeFile.h"

#include "fileenc/ClusterSize.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/TaskStatus.h"
#include "framework/Win32Handles.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr std::uint32_t FallbackBlockSize = 512;

bool hasDriveLetter(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::uint32_t fileSystemClusterSize(char letter) {
    char root[] = "a:\\";
    root[0] = letter;
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) return 0;
    return sectorsPerCluster * bytesPerSector;
}

void postProgress(const WipeReporting& reporting, WPARAM percent) {
    if (reporting.window) PostMessageA(reporting.window, WM_FILEJOB_PROGRESS, percent, 0);
}

}  // namespace

std::uint32_t WipeBlockSize(const std::string& path) {
    if (!hasDriveLetter(path)) return FallbackBlockSize;
    std::uint32_t size = 0;
    {
        ClusterSize reader;
        reader.SetDrive(path[0]);
        reader.ReadBootSector();
        size = reader.GetClusterSize();
    }
    if (size == 0) size = fileSystemClusterSize(path[0]);
    return size == 0 ? FallbackBlockSize : size;
}

std::uint32_t WipeWriteBlock(std::uint32_t clusterSize) {
    if (clusterSize == 0) clusterSize = FallbackBlockSize;
    return clusterSize >= WipeWriteTarget ? clusterSize : WipeWriteTarget / clusterSize * clusterSize;
}

std::uint64_t WipeLength(std::uint64_t fileLength, std::uint32_t clusterSize) {
    if (clusterSize == 0) clusterSize = FallbackBlockSize;
    return (fileLength + clusterSize - 1) / clusterSize * clusterSize;
}

bool overwriteAndDelete(const std::string& path, std::uint32_t blockSize, const WipeReporting& reporting,
                        DWORD* error) {
    return overwriteInBlocks(path, blockSize, blockSize, reporting, error);
}

bool overwriteInBlocks(const std::string& path, std::uint32_t clusterSize, std::uint32_t writeBlock,
                       const WipeReporting& reporting, DWORD* error) {
    if (clusterSize == 0) clusterSize = FallbackBlockSize;
    DWORD failure = 0;
    auto fail = [&](DWORD code) {
        if (failure == 0) failure = code ? code : ERROR_WRITE_FAULT;
    };
    // Windows refuses to open a read-only file for writing; some hosts (an administrator
    // under Wine) would let the zeros in and then fail the delete. Refuse it the same way everywhere.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        if (error) *error = ERROR_ACCESS_DENIED;
        return false;
    }
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        if (error) *error = GetLastError();
        return false;
    }
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.get(), &size);
    const std::uint64_t length = static_cast<std::uint64_t>(size.QuadPart);
    // The zeros cover the file up to a whole cluster; the writes are whole clusters too.
    const std::uint64_t rounded = WipeLength(length, clusterSize);
    writeBlock = std::max(clusterSize, writeBlock / clusterSize * clusterSize);
    std::vector<unsigned char> zeros(static_cast<std::size_t>(std::min<std::uint64_t>(writeBlock, rounded)), 0);
    std::uint64_t written = 0;
    while (written < rounded) {
        if (reporting.pause) reporting.pause->waitWhilePaused();
        postProgress(reporting, static_cast<WPARAM>(written * 99 / length));
        const DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(writeBlock, rounded - written));
        DWORD count = 0;
        if (!WriteFile(file.get(), zeros.data(), wanted, &count, nullptr) || count == 0) {
            fail(GetLastError());
            break;
        }
        if (count != wanted) fail(ERROR_WRITE_FAULT);
        written += count;
        reachFileJobStage(FileJobStage::WipeBlockWritten, path, file.get());
    }
    if (!FlushFileBuffers(file.get())) fail(GetLastError());
    reachFileJobStage(FileJobStage::WipeFlushed, path, file.get());
    file.close();
    postProgress(reporting, 100);
    if (reporting.window && reporting.finishPauseMs) Sleep(reporting.finishPauseMs);
    reachFileJobStage(FileJobStage::BeforeDelete, path);
    if (!DeleteFileA(path.c_str())) fail(GetLastError());
    if (error) *error = failure;
    return failure == 0;
}

WipeOutcome WipeRecordedFile(const std::string& path, WipeRecord record, const WipeReporting& reporting,
                             DWORD* error) {
    LSTATUS recorded = SetTaskStatus(taskstatus::Wiping, path);
    if (recorded != ERROR_SUCCESS && record == WipeRecord::Required) {
        if (error) *error = static_cast<DWORD>(recorded);
        return WipeOutcome::NotRecorded;
    }
    const std::uint32_t cluster = WipeBlockSize(path);
    bool wiped = overwriteInBlocks(path, cluster, WipeWriteBlock(cluster), reporting, error);
    SetTaskStatus(taskstatus::Done, path);
    return wiped ? WipeOutcome::Wiped : WipeOutcome::NotWiped;
}

bool WipeFile(const std::string& path, const WipeReporting& reporting, DWORD* error) {
    return WipeRecordedFile(path, WipeRecord::Optional, reporting, error) == WipeOutcome::Wiped;
}
