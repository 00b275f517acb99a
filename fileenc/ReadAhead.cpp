// The encryption's read-ahead. With n slots the reader fills chunk i only once the job released
// chunk i - n (the slot's previous chunk), and the job reads chunk i only once the reader handed it
// out, so the two hand-offs order every access to a slot.
#include "fileenc/ReadAhead.h"

#include "vault/CryptoLibrary.h"

#include <algorithm>
#include <cstring>

ReadAhead::ReadAhead(HANDLE source, std::uint64_t plainSize, std::uint32_t chunkSize, const CryptoLibrary& library)
    : source_(source), chunk_(chunkSize), library_(library), remaining_(plainSize) {
    slots_.resize(ringSlotsFor(chunkSize));
    for (Slot& slot : slots_) slot.bytes.resize(DigestBytes + chunkSize + 8);
}

ReadAhead::~ReadAhead() { stop(); }

void ReadAhead::stop() {
    if (!thread_) return;
    quit_.store(true);
    released_.wake();
    WaitForSingleObject(thread_.get(), INFINITE);
    thread_.close();
}

bool ReadAhead::start(DWORD& error) {
    if (!filled_.valid() || !released_.valid()) {
        error = GetLastError();
        return false;
    }
    thread_ = win32::KernelHandle(CreateThread(nullptr, 0, readerMain, this, 0, nullptr));
    if (!thread_) error = GetLastError();
    return static_cast<bool>(thread_);
}

DWORD WINAPI ReadAhead::readerMain(LPVOID self) {
    static_cast<ReadAhead*>(self)->readAll();
    return 0;
}

namespace {
// The reader sleeps as soon as the ring is full: reading and digesting a chunk takes a fraction of
// the cipher's time, and a spinning reader would take a processor from the cipher on a busy
// machine; it wakes once half the ring is free. The job spins a little first.
constexpr double ReaderAwakeSeconds = 0;
constexpr double JobAwakeSeconds = 0.003;
}  // namespace

void ReadAhead::readAll() {
    const unsigned slots = static_cast<unsigned>(slots_.size());
    for (std::uint64_t index = 0;; ++index) {
        // Chunk index goes in the slot of chunk index - slots, which the job must have released.
        if (index >= slots && released_.count() < index - slots + 1)
            released_.waitFor(index - slots + ringBatchFor(slots), ReaderAwakeSeconds, &quit_);
        if (quit_.load()) return;
        Slot& slot = slots_[index % slots];
        const DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(chunk_, remaining_));
        DWORD got = 0;
        if (wanted && !ReadFile(source_, slot.bytes.data() + DigestBytes, wanted, &got, nullptr)) {
            readError_ = GetLastError();
            got = 0;
        }
        remaining_ -= got;
        if (got) {
            std::memcpy(slot.bytes.data(), digest_, DigestBytes);
            library_.md5(slot.bytes.data(), DigestBytes + got, digest_);
        }
        slot.count = got;
        filled_.raise();
        if (got != chunk_) return;  // the last chunk, the end, or an error
    }
}

unsigned char* ReadAhead::next(DWORD& count) {
    if (taken_ > 0) released_.raise();
    jobWaitFor(filled_, taken_ + 1, JobAwakeSeconds, JobWait::ForReadAhead);
    Slot& slot = slots_[taken_ % slots_.size()];
    ++taken_;
    count = slot.count;
    return slot.bytes.data() + DigestBytes;
}
