// The encryption and decryption workers. Each run is an object whose members own the open
// files, so every early end closes them; what each ending leaves on disk and on record is
// written out at the place it happens.
#include "fileenc/FileJobWorker.h"

#include "base/SystemErrorText.h"
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/FileJobStages.h"
#include "fileenc/ParallelDecryption.h"
#include "fileenc/ReadAhead.h"
#include "fileenc/TaskStatus.h"
#include "fileenc/WipeFile.h"
#include "fileenc/WriteBehind.h"
#include "framework/Win32Handles.h"
#include "vault/BufferCipher.h"
#include "vault/CryptoLibrary.h"
#include "vault/SecureMemory.h"
#include "vault/logger.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

using win32::FileHandle;

constexpr std::size_t DigestBytes = 16;
// The writer flushes the output as it goes, so the flush the job waits for before the wipe (or
// before the encrypted copy goes) finds at most this much still to write.
constexpr std::uint64_t OutputFlushInterval = 16u * 1024 * 1024;

// Everything the worker tells its window. Without a window nothing is posted.
class Reporter {
public:
    explicit Reporter(const FileEncryptionJob& job) : window_(job.DialogWindow), finishPauseMs_(job.FinishPauseMs) {}

    void progress(std::uint64_t done, std::uint64_t total, unsigned scale) const {
        if (total == 0) return;
        post(WM_FILEJOB_PROGRESS, static_cast<WPARAM>(std::min<std::uint64_t>(done * scale / total, 100)), 0);
    }
    void failed(DWORD error, FileJobOutcome kind) const { post(WM_FILEJOB_FAILED, error, static_cast<LPARAM>(kind)); }
    void succeeded() const {
        post(WM_FILEJOB_PROGRESS, 100, 0);
        if (window_ && finishPauseMs_) Sleep(finishPauseMs_);
        post(WM_FILEJOB_DONE, 0, 0);
    }
    // The window disables Cancel and shows "Finishing up" on its own thread before the wipe starts.
    void finishing() const {
        if (window_) SendMessageA(window_, WM_FILEJOB_FINISHING, 0, 0);
    }

private:
    void post(UINT message, WPARAM wParam, LPARAM lParam) const {
        if (window_) PostMessageA(window_, message, wParam, lParam);
    }
    HWND window_;
    DWORD finishPauseMs_;
};

std::uint64_t fileLength(const FileHandle& file) {
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.get(), &size);
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool writeAll(const FileHandle& file, const void* data, DWORD size, DWORD& error) {
    DWORD written = 0;
    if (WriteFile(file.get(), data, size, &written, nullptr) && written == size) return true;
    error = GetLastError();
    if (error == 0) error = ERROR_WRITE_FAULT;
    return false;
}

bool seekTo(const FileHandle& file, std::uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) != 0;
}

bool isZero(const FILETIME& time) { return time.dwLowDateTime == 0 && time.dwHighDateTime == 0; }

// Loaded, with its MD5 entry point; otherwise the failure is logged as the worker's.
bool libraryReady(const CryptoLibrary& library, const char* routine, DWORD& error) {
    unsigned char probe[DigestBytes] = {};
    if (library.md5(probe, sizeof probe, probe)) return true;
    error = library.loaded() ? ERROR_PROC_NOT_FOUND : library.loadError();
    traceLog.write(std::string("Failed to load dll in ") + routine);
    traceLog.write(systemErrorText(error, 100));
    return false;
}

// Whether the user stopped the job; a paused job waits here for the answer.
bool stopRequested(const FileEncryptionJob& job) {
    job.Pause.waitWhilePaused();
    return job.CancelRequested;
}

class Encryption {
public:
    explicit Encryption(FileEncryptionJob& job) : job_(job), report_(job) {}

    void run() {
        SetTaskStatus(taskstatus::Encrypting, job_.DestPath);
        readDirectoryEntry();
        if (!openFiles()) return;
        CryptoLibrary library(job_.CryptoLibraryNameForTesting.c_str());
        DWORD error = 0;
        if (!libraryReady(library, "EncryptFunc", error)) return abandonOutput(error, fjoLibraryMissing);
        try {
            if (!encryptBody(library)) return;
        } catch (const std::bad_alloc&) {
            return abandonOutput(ERROR_NOT_ENOUGH_MEMORY, fjoFileError);
        }
        if (!writeHeader()) return;
        wipePlainFile();
    }

private:
    void readDirectoryEntry() {
        win32::FindHandle search(FindFirstFileA(job_.SourcePath.c_str(), &entry_));
        haveEntry_ = search.valid();
    }

    bool openFiles() {
        // No write sharing: while the job reads, nobody may change the file it will wipe.
        source_ = FileHandle(CreateFileA(job_.SourcePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!source_.valid()) {
            DWORD error = GetLastError();
            SetTaskStatus(taskstatus::Done, job_.SourcePath);
            report_.failed(error, fjoFileError);
            return false;
        }
        dest_ = FileHandle(CreateFileA(job_.DestPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!dest_.valid()) {
            DWORD error = GetLastError();
            source_.close();
            SetTaskStatus(taskstatus::Done, job_.SourcePath);
            report_.failed(error, fjoFileError);
            return false;
        }
        return true;
    }

    // Ends a job before the plain file was touched: the partial .vltenc goes.
    void abandonOutput(DWORD error, FileJobOutcome kind) {
        source_.close();
        dest_.close();
        DeleteFileA(job_.DestPath.c_str());
        SetTaskStatus(taskstatus::Done, job_.SourcePath);
        report_.failed(error, kind);
    }

    bool encryptBody(const CryptoLibrary& library) {
        plainSize_ = fileLength(source_);
        job_.TotalBytes = plainSize_;
        chunk_ = encfile::chunkSizeFor(static_cast<std::uint32_t>(plainSize_));
        CipherChain cipher(CipherChain::Encrypt, job_.FileKey.data());
        DWORD error = 0;
        if (!seekTo(dest_, encfile::HeaderSize)) {
            abandonOutput(GetLastError(), fjoFileError);
            return false;
        }
        // The next chunks are read and digested, and the ones before written, while this one is enciphered.
        ReadAhead reader(source_.get(), plainSize_, chunk_, library);
        WriteBehind writer(dest_.get(), chunk_, nullptr, OutputFlushInterval);
        // Both threads stop before the files close under them.
        auto abandon = [&](DWORD code, FileJobOutcome kind) {
            writer.stop();
            reader.stop();
            abandonOutput(code, kind);
        };
        if (!reader.start(error) || !writer.start(error)) {
            abandon(error, fjoFileError);
            return false;
        }
        DWORD count = 0;
        unsigned char* chunk = reader.next(count);
        while (count == chunk_ && !stopRequested(job_)) {
            job_.BytesDone += count;
            report_.progress(job_.BytesDone, job_.TotalBytes, 99);
            unsigned char* output = writer.acquire();
            if (!output) {
                abandon(writer.finish(), fjoFileError);
                return false;
            }
            cipher.process(chunk, output, count);
            writer.submit(count);
            reachFileJobStage(FileJobStage::EncryptChunkWritten, job_.SourcePath, source_.get());
            chunk = reader.next(count);
        }
        // The short last chunk ends the loop without its check: a job paused meanwhile
        // takes the answer here, before anything is final.
        if (stopRequested(job_)) {
            abandon(0, fjoStopped);
            return false;
        }
        if (reader.readError() || reader.remaining() != 0) {
            // The file ended early: it changed under the job. Refuse rather than wipe it.
            abandon(reader.readError() ? reader.readError() : ERROR_HANDLE_EOF, fjoFileError);
            return false;
        }
        reader.stop();  // the reading ended with the last chunk handed out
        if (count > 0) {
            job_.BytesDone += count;
            report_.progress(job_.BytesDone, job_.TotalBytes, 99);
            unsigned char* output = writer.acquire();
            if (output) writer.submit(encipherLastChunk(cipher, chunk, output, count));
        }
        // Every chunk is written before the header goes in front of them.
        if (DWORD failure = writer.finish()) {
            abandon(failure, fjoFileError);
            return false;
        }
        writer.stop();
        std::memcpy(digest_, reader.digest(), DigestBytes);
        return true;
    }

    // A short last chunk is filled with zeros to whole blocks; when it already is whole
    // blocks, 8 more bytes follow outside the chain. Both buffers have room for the zeros.
    // Returns the bytes to store.
    static DWORD encipherLastChunk(CipherChain& cipher, unsigned char* chunk, unsigned char* output, DWORD count) {
        const DWORD stored = count + 8 - count % 8;
        const DWORD encrypted = count % 8 ? stored : count;
        std::memset(chunk + count, 0, stored - count);
        cipher.process(chunk, output, encrypted);
        std::memset(output + encrypted, 0, stored - encrypted);
        return stored;
    }

    bool writeHeader() {
        encfile::EncryptedFileHeader header;
        header.plainSize = plainSize_;
        std::memcpy(header.digest, digest_, DigestBytes);
        WrapFileKey(job_);
        std::memcpy(header.wrappedKey, job_.FileKey.data(), FileKeyBytes);
        if (haveEntry_) {
            header.creationTime = entry_.ftCreationTime;
            header.lastWriteTime = entry_.ftLastWriteTime;
            header.attributes = entry_.dwFileAttributes;
        }
        header.encryptedLength = encfile::storedEncryptedLength(fileLength(dest_));
        SYSTEMTIME now;
        GetLocalTime(&now);
        SystemTimeToFileTime(&now, &header.encryptionDate);
        std::memcpy(header.vaultID, job_.VaultID, sizeof header.vaultID);
        header.chunkSize = chunk_;
        header.vaultName = job_.VaultName;
        unsigned char bytes[encfile::HeaderSize];
        header.encode(bytes);
        reachFileJobStage(FileJobStage::BeforeHeader, job_.DestPath, dest_.get());
        DWORD error = 0;
        if (!seekTo(dest_, 0)) error = GetLastError();
        // The encrypted copy must be on the disk before the plain file is wiped.
        if (error == 0 && writeAll(dest_, bytes, sizeof bytes, error) && !flushFileJobOutput(dest_.get()))
            error = GetLastError();
        if (error) {
            abandonOutput(error, fjoFileError);
            return false;
        }
        source_.close();
        dest_.close();
        return true;
    }

    void wipePlainFile() {
        SetFileAttributesA(job_.SourcePath.c_str(), FILE_ATTRIBUTE_NORMAL);
        report_.finishing();
        reachFileJobStage(FileJobStage::BeforeWipe, job_.SourcePath);
        // Until the record names the plain file, an interrupted job would have its complete
        // .vltenc removed at the next start: with the plain file wiped, that is the only copy.
        WipeReporting reporting{job_.DialogWindow, job_.FinishPauseMs, &job_.Pause};
        DWORD error = 0;
        switch (WipeRecordedFile(job_.SourcePath, WipeRecord::Required, reporting, &error)) {
        case WipeOutcome::Wiped: return report_.succeeded();
        case WipeOutcome::NotRecorded:
            restoreAttributes();
            return abandonOutput(error, fjoFileError);
        case WipeOutcome::NotWiped:
            restoreAttributes();
            return report_.failed(error, fjoNotWiped);
        }
    }

    void restoreAttributes() {
        if (haveEntry_) SetFileAttributesA(job_.SourcePath.c_str(), entry_.dwFileAttributes);
    }

    FileEncryptionJob& job_;
    Reporter report_;
    FileHandle source_;
    FileHandle dest_;
    WIN32_FIND_DATAA entry_ = {};
    bool haveEntry_ = false;
    std::uint64_t plainSize_ = 0;
    std::uint32_t chunk_ = 0;
    unsigned char digest_[DigestBytes] = {};
};

// The folder of a path, with its trailing separator ("C:\" stays a root, not the drive's current folder).
std::string folderOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".\\") : path.substr(0, separator + 1);
}

// The plain output is written to a temporary file beside the plain path and only replaces it once it
// is complete, flushed and matches its digest: a file already at the plain path (the user agreed to
// overwrite it) stays as it was through every failure. The job record names the temporary file, the
// only one an interrupted job may leave half-written, so the start-up clean-up never wipes the user's.
class Decryption {
public:
    explicit Decryption(FileEncryptionJob& job) : job_(job), report_(job) {}

    void run() {
        if (!openFiles()) return;
        CryptoLibrary library(job_.CryptoLibraryNameForTesting.c_str());
        DWORD error = 0;
        if (!libraryReady(library, "DecryptFunc", error)) return abandonOutput(error, fjoLibraryMissing);
        encfile::EncryptedFileHeader header;
        if (!readHeader(header)) return abandonOutput(0, fjoNotEncryptedFile);
        try {
            decryptBody(library, header);
        } catch (const std::bad_alloc&) {
            failWithWipe(ERROR_NOT_ENOUGH_MEMORY, fjoFileError);
        }
    }

private:
    // Ends the job before any file was made: nothing to remove.
    void failEarly(DWORD error) {
        source_.close();
        SetTaskStatus(taskstatus::Done, job_.DestPath);
        report_.failed(error, fjoFileError);
    }

    bool openFiles() {
        source_ = FileHandle(CreateFileA(job_.SourcePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!source_.valid()) {
            failEarly(GetLastError());
            return false;
        }
        // A plain file that could not be written (read-only, held by another program) is refused
        // now, as creating over it would be, rather than after the whole file was decrypted.
        if (GetFileAttributesA(job_.DestPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            FileHandle existing(CreateFileA(job_.DestPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!existing.valid()) {
                failEarly(GetLastError());
                return false;
            }
        }
        // The temporary file is made before the record names it, so the record only ever names a
        // file this job made; an interruption in between leaves an empty temporary file behind.
        char temporary[MAX_PATH] = {};
        if (!GetTempFileNameA(folderOf(job_.DestPath).c_str(), TemporaryPrefix, 0, temporary)) {
            failEarly(GetLastError());
            return false;
        }
        temporary_ = temporary;
        SetTaskStatus(taskstatus::Decrypting, temporary_);
        dest_ = FileHandle(CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!dest_.valid()) {
            DWORD error = GetLastError();
            abandonOutput(error, fjoFileError);
            return false;
        }
        reachFileJobStage(FileJobStage::DecryptTemporaryCreated, temporary_, dest_.get());
        return true;
    }

    // Ends a job before any plain byte was written: the empty temporary file goes.
    void abandonOutput(DWORD error, FileJobOutcome kind) {
        source_.close();
        dest_.close();
        DeleteFileA(temporary_.c_str());
        SetTaskStatus(taskstatus::Done, job_.DestPath);
        report_.failed(error, kind);
    }

    // Ends a job after plain bytes may have been written: the temporary file is wiped.
    void failWithWipe(DWORD error, FileJobOutcome kind) {
        source_.close();
        dest_.close();
        report_.finishing();
        WipeFile(temporary_, WipeReporting{job_.DialogWindow, job_.FinishPauseMs, &job_.Pause});
        report_.failed(error, kind);
    }

    // The header, with a chunk size the body can be read with, over a body long enough for the
    // plain size it states: a shorter body is a damaged file, refused before a byte is written
    // (its digest may still match the bytes present, and the plain file would come back short).
    bool readHeader(encfile::EncryptedFileHeader& header) {
        unsigned char bytes[encfile::HeaderSize];
        DWORD read = 0;
        if (!ReadFile(source_.get(), bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) return false;
        if (!encfile::EncryptedFileHeader::decode(bytes, header)) return false;
        const std::uint64_t length = fileLength(source_);
        if (header.chunkSize == 0)
            header.chunkSize = encfile::chunkSizeFor(static_cast<std::uint32_t>(length));
        else if (header.chunkSize % 8 != 0 || header.chunkSize > encfile::MaxReadableChunkSize)
            return false;
        return length - encfile::HeaderSize >= encfile::bodyLengthFor(header.plainSize, header.chunkSize);
    }

    void decryptBody(const CryptoLibrary& library, const encfile::EncryptedFileHeader& header) {
        job_.TotalBytes = header.plainSize;
        std::memcpy(job_.FileKey.data(), header.wrappedKey, FileKeyBytes);
        UnwrapFileKey(job_);
        const DWORD chunk = header.chunkSize;
        ParallelDecryption cipher(job_.FileKey.data());  // the chunk's blocks spread over the cores
        // The chunks before are digested and written while this one is deciphered in place.
        WriteBehind writer(dest_.get(), chunk, &library, OutputFlushInterval);
        // The writer stops before the output closes under it.
        auto fail = [&](DWORD error, FileJobOutcome kind) {
            writer.stop();
            failWithWipe(error, kind);
        };
        DWORD readError = 0;
        if (!writer.start(readError)) return fail(readError, fjoFileError);
        auto readChunk = [&](unsigned char* into) -> DWORD {
            DWORD got = 0;
            if (!ReadFile(source_.get(), into, chunk, &got, nullptr)) readError = GetLastError();
            return readError ? 0 : got;
        };
        unsigned char* buffer = writer.acquire();
        DWORD count = readChunk(buffer);
        while (job_.BytesDone < job_.TotalBytes && !stopRequested(job_)) {
            if (count == 0) break;  // the body ends before the plain size: the digest will tell
            const DWORD whole = (count + 7) / 8 * 8;
            std::memset(buffer + count, 0, whole - count);
            job_.BytesDone += count;
            report_.progress(job_.BytesDone, job_.TotalBytes, 100);
            cipher.process(buffer, buffer, whole);
            DWORD toWrite = count;
            if (job_.BytesDone > job_.TotalBytes) toWrite -= static_cast<DWORD>(job_.BytesDone - job_.TotalBytes);
            writer.submit(toWrite);
            reachFileJobStage(FileJobStage::DecryptChunkWritten, temporary_, dest_.get());
            buffer = writer.acquire();
            if (!buffer) return fail(writer.finish(), fjoFileError);
            count = readChunk(buffer);
        }
        // The last chunk ends the loop without its check; a paused job takes the answer here.
        if (stopRequested(job_)) return fail(0, fjoStopped);
        if (readError && job_.BytesDone < job_.TotalBytes) return fail(readError, fjoFileError);
        if (DWORD error = writer.finish()) return fail(error, fjoFileError);
        writer.stop();
        // The plain copy must be on the disk before the encrypted one is deleted: a write the
        // cache accepted can still fail on its way out, and only the flush tells.
        if (!flushFileJobOutput(dest_.get())) return failWithWipe(GetLastError(), fjoFileError);
        reachFileJobStage(FileJobStage::DecryptOutputFlushed, temporary_, dest_.get());
        restoreTimes(header);
        source_.close();
        dest_.close();
        if (std::memcmp(writer.digest(), header.digest, DigestBytes) != 0) return failWithWipe(0, fjoDigestMismatch);
        finish(header);
    }

    void restoreTimes(const encfile::EncryptedFileHeader& header) {
        const FILETIME* created = isZero(header.creationTime) ? nullptr : &header.creationTime;
        const FILETIME* written = isZero(header.lastWriteTime) ? nullptr : &header.lastWriteTime;
        if (created || written) SetFileTime(dest_.get(), created, nullptr, written);
    }

    // The temporary file takes the plain path, "done" goes on record, and only then is the
    // encrypted copy deleted: an interruption at any point leaves a whole copy, never neither.
    void finish(const encfile::EncryptedFileHeader& header) {
        // Replacing the plain path cannot be undone, and "done" must follow it: a registry that no
        // longer takes the record stops the job here, while the user's file is still as it was.
        if (LSTATUS error = SetTaskStatus(taskstatus::Decrypting, temporary_))
            return failWithWipe(static_cast<DWORD>(error), fjoFileError);
        if (!MoveFileExA(temporary_.c_str(), job_.DestPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return failWithWipe(GetLastError(), fjoFileError);
        // Set on the plain path, not before the move: a read-only temporary file would resist the wipe.
        SetFileAttributesA(job_.DestPath.c_str(), header.attributes ? header.attributes : FILE_ATTRIBUTE_NORMAL);
        reachFileJobStage(FileJobStage::DecryptReplaced, job_.DestPath);
        // The record still names the temporary file, which is gone: an interruption from here on
        // leaves both copies. Failing to record "done" keeps both too, and says so.
        if (LSTATUS error = SetTaskStatus(taskstatus::Done, job_.DestPath))
            return report_.failed(static_cast<DWORD>(error), fjoFileError);
        reachFileJobStage(FileJobStage::DecryptRecordedDone, job_.SourcePath);
        DeleteFileA(job_.SourcePath.c_str());
        report_.succeeded();
    }

    static constexpr const char* TemporaryPrefix = "bsd";

    FileEncryptionJob& job_;
    Reporter report_;
    FileHandle source_;
    FileHandle dest_;
    std::string temporary_;
};

// Key copies are overwritten however the job ends.
struct KeyCopiesWiper {
    FileEncryptionJob& job;
    ~KeyCopiesWiper() { job.clearKeys(); }
};

template <typename Run>
DWORD runJob(LPVOID param) {
    FileEncryptionJob& job = *static_cast<FileEncryptionJob*>(param);
    KeyCopiesWiper wiper{job};
    try {
        FileJobLock lock;  // held until the job has ended, whichever way
        if (lock.tryAcquire())
            Run(job).run();
        else
            Reporter(job).failed(0, fjoAnotherJobRunning);
    } catch (const FileJobInterrupted&) {
        // Ended on purpose at a stage: no status, no message, as if the process had died.
    } catch (...) {
        if (job.DialogWindow) PostMessageA(job.DialogWindow, WM_FILEJOB_FAILED, ERROR_NOT_ENOUGH_MEMORY, fjoFileError);
    }
    return 0;
}

}  // namespace

DWORD WINAPI EncryptFunc(LPVOID job) { return runJob<Encryption>(job); }

DWORD WINAPI DecryptFunc(LPVOID job) { return runJob<Decryption>(job); }
