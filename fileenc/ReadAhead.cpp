// The encryption's read-ahead. The reader fills chunk i only once the job released chunk i - 2
// (the slot's previous chunk), and the job reads chunk i only once the reader handed it out, so
// the two hand-offs order every access to a slot.
#include "fileenc/ReadAhead.h"

#include "vault/CryptoLibrary.h"

#include <algorithm>
#include <cstring>

ReadAhead::ReadAhead(HANDLE source, std::uint64_t plainSize, std::uint32_t chunkSize, const CryptoLibrary& library)
    : source_(source), chunk_(chunkSize), library_(library), remaining_(plainSize) {
    for (Slot& slot : slots_) slot.bytes.resize(DigestBytes + chunkSize + 8);
}

ReadAhead::~ReadAhead() { stop(); }

void ReadAhead::stop() {
    if (!thread_) return;
    quit_.store(true);
    released_.raise();
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
// The reader sleeps as soon as it is a chunk ahead: reading and digesting a chunk takes a fraction
// of the cipher's time, so waking it costs the job one event per chunk, while a spinning reader
// would take a processor from the cipher on a busy machine. The job spins a little first.
constexpr double ReaderAwakeSeconds = 0;
constexpr double JobAwakeSeconds = 0.003;
}  // namespace

void ReadAhead::readAll() {
    for (unsigned index = 0;; ++index) {
        if (index >= 2) released_.waitFor(index - 1, ReaderAwakeSeconds);
        if (quit_.load()) return;
        Slot& slot = slots_[index % 2];
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
    filled_.waitFor(taken_ + 1, JobAwakeSeconds);
    Slot& slot = slots_[taken_ % 2];
    ++taken_;
    count = slot.count;
    return slot.bytes.data() + DigestBytes;
}
