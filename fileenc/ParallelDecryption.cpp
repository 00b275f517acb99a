// The decryption chain spread over helper threads. Each helper owns a chain and two hand-offs:
// posted (the pieces handed to it) and finished (the pieces it completed). A piece is written
// before posted is raised and read back only after finished caught up, and the hand-offs order
// those accesses.
#include "fileenc/ParallelDecryption.h"

#include "fileenc/Handoff.h"
#include "framework/Win32Handles.h"
#include "vault/SecureMemory.h"

#include <algorithm>
#include <atomic>
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
    Handoff posted, finished;  // pieces handed to the helper, pieces it completed
    std::atomic<bool> quit{false};
    win32::KernelHandle thread;
    // The piece: the cipher block before it, and where it lies.
    unsigned char previous[BlockBytes] = {};
    const unsigned char* in = nullptr;
    unsigned char* out = nullptr;
    std::size_t length = 0;
};

ParallelDecryption::ParallelDecryption(const unsigned char key[VaultKeyBytes], unsigned threads)
    : own_(new CipherChain(CipherChain::Decrypt, key)) {
    if (threads == 0) threads = std::min(processorCount(), MaximumThreads);
    for (unsigned i = 1; i < threads; ++i) {
        std::unique_ptr<Helper> helper(new Helper(key));
        if (!helper->posted.valid() || !helper->finished.valid()) break;
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
    for (unsigned piece = 1;; ++piece) {
        helper.posted.waitFor(piece, AwakeSeconds);
        if (helper.quit.load(std::memory_order_acquire)) return 0;
        helper.owner->decipher(helper.chain, helper.previous, helper.in, helper.out, helper.length);
        helper.finished.raise();
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

unsigned ParallelDecryption::threadsFor(std::size_t length) const {
    const std::size_t pieces = std::max<std::size_t>(1, length / MinimumPieceBytes);
    return static_cast<unsigned>(std::min<std::size_t>(threads(), pieces));
}

void ParallelDecryption::process(const unsigned char* in, unsigned char* out, std::size_t length) {
    length -= length % BlockBytes;
    if (length == 0) return;
    const unsigned pieces = threadsFor(length);
    const std::size_t blocks = length / BlockBytes;
    // Piece k starts at block k * blocks / pieces. The blocks before each piece and the last
    // one are copied first: with in and out the same buffer, a piece overwrites them.
    auto pieceStart = [&](unsigned k) { return blocks * k / pieces * BlockBytes; };
    unsigned char newLast[BlockBytes];
    std::memcpy(newLast, in + length - BlockBytes, BlockBytes);
    for (unsigned k = 1; k < pieces; ++k) {
        Helper& helper = *helpers_[k - 1];
        const std::size_t start = pieceStart(k);
        std::memcpy(helper.previous, in + start - BlockBytes, BlockBytes);
        helper.in = in + start;
        helper.out = out + start;
        helper.length = pieceStart(k + 1) - start;
    }
    for (unsigned k = 1; k < pieces; ++k) helpers_[k - 1]->posted.raise();
    // A fresh chain already stands at the starting vector; later it is set to the last block.
    decipher(*own_, started_ ? last_ : nullptr, in, out, pieceStart(1));
    // The helpers' pieces end about when this one does: wait without sleeping.
    for (unsigned k = 1; k < pieces; ++k) helpers_[k - 1]->finished.waitFor(helpers_[k - 1]->posted.count(), -1);
    std::memcpy(last_, newLast, BlockBytes);
    started_ = true;
}
