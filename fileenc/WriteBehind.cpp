// The job's write-behind. The writer takes chunk i only once the job handed it over, and the job
// fills slot i % 2 again (chunk i + 2) only once the writer is done with chunk i, so the two
// hand-offs order every access to a slot.
#include "fileenc/WriteBehind.h"

#include "vault/CryptoLibrary.h"

#include <cstring>

namespace {
// The writer sleeps as soon as it has nothing to do: its chunk takes a fraction of the cipher's
// time, so waking it costs the job one event per chunk, while a spinning writer would take a
// processor from the cipher on a busy machine. The job, which does wait on the writer only when
// the disk falls behind, spins a little first.
constexpr double WriterAwakeSeconds = 0;
constexpr double JobAwakeSeconds = 0.003;
}  // namespace

WriteBehind::WriteBehind(HANDLE file, std::uint32_t chunkSize, const CryptoLibrary* digestLibrary)
    : file_(file), library_(digestLibrary) {
    for (Slot& slot : slots_) slot.bytes.resize(DigestBytes + chunkSize + 8);
}

WriteBehind::~WriteBehind() {
    stop();
    secureWipe(digest_, sizeof digest_);
}

bool WriteBehind::start(DWORD& error) {
    if (!submitted_.valid() || !written_.valid()) {
        error = GetLastError();
        return false;
    }
    thread_ = win32::KernelHandle(CreateThread(nullptr, 0, writerMain, this, 0, nullptr));
    if (!thread_) error = GetLastError();
    return static_cast<bool>(thread_);
}

void WriteBehind::stop() {
    if (!thread_) return;
    quit_.store(true);
    submitted_.raise();
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.close();
}

DWORD WINAPI WriteBehind::writerMain(LPVOID self) {
    static_cast<WriteBehind*>(self)->writeAll();
    return 0;
}

void WriteBehind::writeAll() {
    for (unsigned index = 0;; ++index) {
        submitted_.waitFor(index + 1, WriterAwakeSeconds);
        if (quit_.load()) return;
        Slot& slot = slots_[index % 2];
        if (error_.load() == 0 && slot.count) {
            if (library_) {
                std::memcpy(slot.bytes.data(), digest_, DigestBytes);
                library_->md5(slot.bytes.data(), DigestBytes + slot.count, digest_);
            }
            DWORD written = 0;
            if (!WriteFile(file_, slot.bytes.data() + DigestBytes, slot.count, &written, nullptr) ||
                written != slot.count) {
                const DWORD error = GetLastError();
                error_.store(error ? error : ERROR_WRITE_FAULT);
            }
        }
        written_.raise();
    }
}

unsigned char* WriteBehind::acquire() {
    if (acquired_ >= 2) written_.waitFor(acquired_ - 1, JobAwakeSeconds);
    if (error_.load()) return nullptr;
    return slots_[acquired_ % 2].bytes.data() + DigestBytes;
}

void WriteBehind::submit(DWORD count) {
    slots_[acquired_ % 2].count = count;
    ++acquired_;
    submitted_.raise();
}

DWORD WriteBehind::finish() {
    written_.waitFor(acquired_, JobAwakeSeconds);
    return error_.load();
}
