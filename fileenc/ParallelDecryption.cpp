// The decryption chain spread over helper threads. A chunk is announced by storing its ticket
// (piece count and next piece 0) after its fields; a thread takes a piece with one fetch_add
// on the ticket, so a piece taken is always one of the announced chunk, and a thread that comes
// late to a finished chunk only finds the count reached. The caller waits until piecesDone_
// reaches the count before it touches the fields again.
#include "fileenc/ParallelDecryption.h"

#include "fileenc/Handoff.h"
#include "framework/Win32Handles.h"
#include "vault/SecureMemory.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::size_t BlockBytes = 8;
constexpr unsigned MaximumThreads = 8;
// How long an idle helper stays awake for the next chunk: about a chunk's reading, digest and writing.
constexpr double AwakeSeconds = 0.002;

}  // namespace

unsigned processorCount() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return std::max<unsigned>(1, system.dwNumberOfProcessors);
}

struct ParallelDecryption::Helper {
    explicit Helper(const unsigned char* key) : chain(CipherChain::Decrypt, key) {}

    ParallelDecryption* owner = nullptr;
    CipherChain chain;
    Handoff posted;  // chunks announced to the helper
    std::atomic<bool> quit{false};
    win32::KernelHandle thread;
};

ParallelDecryption::ParallelDecryption(const unsigned char key[VaultKeyBytes], unsigned threads)
    : own_(new CipherChain(CipherChain::Decrypt, key)) {
    if (threads == 0) threads = std::min(processorCount(), MaximumThreads);
    for (unsigned i = 1; i < threads; ++i) {
        std::unique_ptr<Helper> helper(new Helper(key));
        if (!helper->posted.valid()) break;
        helper->owner = this;
        helper->thread = win32::KernelHandle(CreateThread(nullptr, 0, helperMain, helper.get(), 0, nullptr));
        if (!helper->thread) break;  // fewer threads: the work is only spread thinner
        helpers_.push_back(std::move(helper));
    }
}

ParallelDecryption::~ParallelDecryption() {
    for (auto& helper : helpers_) {
        helper->quit.store(true, std::memory_order_release);
        helper->posted.raise();
        WaitForSingleObject(helper->thread.get(), INFINITE);
    }
    secureWipe(last_, sizeof last_);
}

DWORD WINAPI ParallelDecryption::helperMain(LPVOID param) {
    Helper& helper = *static_cast<Helper*>(param);
    for (;;) {
        const std::uint64_t seen = helper.posted.count();
        // The quit may be among the chunks already seen: look before waiting for one more.
        if (helper.quit.load(std::memory_order_acquire)) return 0;
        helper.owner->takePieces(helper.chain);
        helper.posted.waitFor(seen + 1, AwakeSeconds);
    }
}

void ParallelDecryption::decipher(CipherChain& chain, const unsigned char* previous, const unsigned char* in,
                                  unsigned char* out, std::size_t length) {
    if (previous) {
        // Sets the chain to the block before the piece; the output of that block is not wanted.
        unsigned char scratch[BlockBytes];
        chain.process(previous, scratch, BlockBytes);
        secureWipe(scratch, sizeof scratch);
    }
    chain.process(in, out, length);
}

void ParallelDecryption::takePieces(CipherChain& chain) {
    for (;;) {
        const std::uint64_t ticket = ticket_.fetch_add(1, std::memory_order_acq_rel);
        const std::size_t count = static_cast<std::size_t>(ticket >> 32), piece = ticket & 0xFFFFFFFFu;
        if (piece >= count) return;
        const std::size_t start = piece * PieceBytes;
        decipher(chain, &previous_[piece * BlockBytes], in_ + start, out_ + start,
                 std::min(PieceBytes, length_ - start));
        piecesDone_.fetch_add(1, std::memory_order_acq_rel);
    }
}

void ParallelDecryption::process(const unsigned char* in, unsigned char* out, std::size_t length) {
    length -= length % BlockBytes;
    if (length == 0) return;
    unsigned char newLast[BlockBytes];
    std::memcpy(newLast, in + length - BlockBytes, BlockBytes);
    const bool spread = !helpers_.empty() && length >= 2 * PieceBytes;
    unsigned char before[BlockBytes];  // the cipher block before the part that is spread
    std::memcpy(before, last_, BlockBytes);
    std::size_t done = 0;
    if (!started_ || !spread) {
        // A fresh chain already stands at the starting vector; later it is set to the last block.
        done = spread ? PieceBytes : length;
        std::memcpy(before, in + done - BlockBytes, BlockBytes);  // before this piece overwrites it
        decipher(*own_, started_ ? last_ : nullptr, in, out, done);
        started_ = true;
    }
    if (done < length) {
        in_ = in + done;
        out_ = out + done;
        length_ = length - done;
        const std::size_t count = (length_ + PieceBytes - 1) / PieceBytes;
        // The blocks before each piece are copied first: with in and out the same buffer, a piece overwrites them.
        previous_.resize(count * BlockBytes);
        std::memcpy(&previous_[0], before, BlockBytes);
        for (std::size_t k = 1; k < count; ++k)
            std::memcpy(&previous_[k * BlockBytes], in_ + k * PieceBytes - BlockBytes, BlockBytes);
        piecesDone_.store(0, std::memory_order_relaxed);
        ticket_.store(static_cast<std::uint64_t>(count) << 32, std::memory_order_release);
        for (auto& helper : helpers_) helper->posted.raise();
        takePieces(*own_);
        // What is left is being deciphered right now: wait without sleeping.
        unsigned spins = 0;
        while (piecesDone_.load(std::memory_order_acquire) != count) {
            if (++spins < 256)
                YieldProcessor();
            else
                SwitchToThread();
        }
    }
    std::memcpy(last_, newLast, BlockBytes);
}
