// The job's write-behind. With n slots the writer and the digest take chunk i only once the job
// handed it over, and the job fills slot i % n again (chunk i + n) only once both are done with
// chunk i, so the hand-offs order every access to a slot.
#include "fileenc/WriteBehind.h"

#include "vault/CryptoLibrary.h"

#include <cstring>

namespace {
// The writer sleeps as soon as it has nothing to do: its chunk takes a fraction of the cipher's
// time, and a spinning writer would take a processor from the cipher on a busy machine; it wakes
// once half the ring is filled. The job, which does wait on the writer only when the disk falls
// behind, spins a little first.
constexpr double WriterAwakeSeconds = 0;
constexpr double JobAwakeSeconds = 0.003;
}  // namespace

WriteBehind::WriteBehind(HANDLE file, std::uint32_t chunkSize, const CryptoLibrary* digestLibrary,
                         std::uint64_t flushEvery)
    : file_(file), library_(digestLibrary), flushEvery_(flushEvery) {
    slots_.resize(ringSlotsFor(chunkSize));
    for (Slot& slot : slots_) slot.bytes.resize(DigestBytes + chunkSize + 8);
}

WriteBehind::~WriteBehind() {
    stop();
    secureWipe(digest_, sizeof digest_);
}

bool WriteBehind::start(DWORD& error) {
    if (!submitted_.valid() || !submittedToDigest_.valid() || !written_.valid() || !digested_.valid()) {
        error = GetLastError();
        return false;
    }
    thread_ = win32::KernelHandle(CreateThread(nullptr, 0, writerMain, this, 0, nullptr));
    if (thread_ && library_) {
        digestThread_ = win32::KernelHandle(CreateThread(nullptr, 0, digestMain, this, 0, nullptr));
        if (!digestThread_) {
            error = GetLastError();
            stop();
            return false;
        }
    }
    if (!thread_) error = GetLastError();
    return static_cast<bool>(thread_);
}

void WriteBehind::stop() {
    if (!thread_ && !digestThread_) return;
    finishing_.store(true);
    quit_.store(true);
    submitted_.wake();
    submittedToDigest_.wake();
    for (win32::KernelHandle* thread : {&thread_, &digestThread_}) {
        if (!*thread) continue;
        WaitForSingleObject(thread->get(), INFINITE);
        thread->close();
    }
}

DWORD WINAPI WriteBehind::writerMain(LPVOID self) {
    static_cast<WriteBehind*>(self)->writeAll();
    return 0;
}

DWORD WINAPI WriteBehind::digestMain(LPVOID self) {
    static_cast<WriteBehind*>(self)->digestAll();
    return 0;
}

bool WriteBehind::waitForChunk(Handoff& submitted, std::uint64_t index) {
    if (submitted.count() < index + 1) {
        submitted.waitFor(index + ringBatchFor(static_cast<unsigned>(slots_.size())), WriterAwakeSeconds, &finishing_);
        submitted.waitFor(index + 1, WriterAwakeSeconds, &quit_);
    }
    return !quit_.load();
}

void WriteBehind::digestAll() {
    for (std::uint64_t index = 0;; ++index) {
        if (!waitForChunk(submittedToDigest_, index)) return;
        Slot& slot = slots_[index % slots_.size()];
        if (slot.count) {
            std::memcpy(slot.bytes.data(), digest_, DigestBytes);
            library_->md5(slot.bytes.data(), DigestBytes + slot.count, digest_);
        }
        digested_.raise();
    }
}

void WriteBehind::writeAll() {
    const unsigned slots = static_cast<unsigned>(slots_.size());
    std::uint64_t unflushed = 0;
    for (std::uint64_t index = 0;; ++index) {
        if (!waitForChunk(submitted_, index)) return;
        Slot& slot = slots_[index % slots];
        if (error_.load() == 0 && slot.count) {
            DWORD written = 0;
            if (!WriteFile(file_, slot.bytes.data() + DigestBytes, slot.count, &written, nullptr) ||
                written != slot.count) {
                const DWORD error = GetLastError();
                error_.store(error ? error : ERROR_WRITE_FAULT);
            }
            unflushed += slot.count;
            // A failed flush is left for the job's own flush to find and report.
            if (flushEvery_ && unflushed >= flushEvery_) {
                FlushFileBuffers(file_);
                unflushed = 0;
            }
        }
        written_.raise();
    }
}

unsigned char* WriteBehind::acquire() {
    const unsigned slots = static_cast<unsigned>(slots_.size());
    if (acquired_ >= slots) {
        jobWaitFor(written_, acquired_ - slots + 1, JobAwakeSeconds, JobWait::ForWriteBehind);
        if (library_) jobWaitFor(digested_, acquired_ - slots + 1, JobAwakeSeconds, JobWait::ForWriteBehind);
    }
    if (error_.load()) return nullptr;
    return slots_[acquired_ % slots].bytes.data() + DigestBytes;
}

void WriteBehind::submit(DWORD count) {
    slots_[acquired_ % slots_.size()].count = count;
    ++acquired_;
    submitted_.raise();
    if (library_) submittedToDigest_.raise();
}

DWORD WriteBehind::finish() {
    finishing_.store(true);
    submitted_.wake();
    submittedToDigest_.wake();
    written_.waitFor(acquired_, JobAwakeSeconds);
    if (library_) digested_.waitFor(acquired_, JobAwakeSeconds);
    return error_.load();
}
