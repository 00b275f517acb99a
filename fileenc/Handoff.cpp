// The spin-then-sleep hand-off. The waiter announces its sleep and then looks at the count (and
// the flag) again; the raiser raises the count (or sets the flag) and then looks for the
// announcement. With both in one total order (seq_cst), either the waiter sees the change or the
// raiser sees it asleep and sets the event. A stale event only makes a later wait look once more.
#include "fileenc/Handoff.h"

#include <algorithm>

namespace {

double secondsNow() {
    static const double tick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1.0 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * tick;
}

std::atomic<std::uint64_t> wakeups{0};
std::atomic<std::uint64_t> jobWaitTicks[2] = {};

constexpr std::uint32_t RingBytes = 2u * 1024 * 1024;
constexpr unsigned MinimumSlots = 2, MaximumSlots = 8;

}  // namespace

unsigned ringSlotsFor(std::uint32_t chunkSize) {
    const std::uint32_t fit = chunkSize ? RingBytes / chunkSize : MaximumSlots;
    return static_cast<unsigned>(std::min<std::uint32_t>(std::max<std::uint32_t>(fit, MinimumSlots), MaximumSlots));
}

std::uint64_t handoffWakeupsForBenchmark() { return wakeups.load(std::memory_order_relaxed); }

double jobWaitSecondsForBenchmark(JobWait which) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(jobWaitTicks[static_cast<int>(which)].load()) / static_cast<double>(frequency.QuadPart);
}

void jobWaitFor(Handoff& handoff, std::uint64_t target, double awakeSeconds, JobWait which) {
    if (handoff.count() >= target) return;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    handoff.waitFor(target, awakeSeconds);
    QueryPerformanceCounter(&end);
    jobWaitTicks[static_cast<int>(which)].fetch_add(static_cast<std::uint64_t>(end.QuadPart - start.QuadPart),
                                                    std::memory_order_relaxed);
}

Handoff::Handoff() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

void Handoff::raise() {
    const std::uint64_t count = count_.fetch_add(1, std::memory_order_seq_cst) + 1;
    if (sleeping_.load(std::memory_order_seq_cst) && count >= wakeAt_.load(std::memory_order_seq_cst)) setEvent();
}

void Handoff::wake() {
    if (sleeping_.load(std::memory_order_seq_cst)) setEvent();
}

void Handoff::setEvent() {
    wakeups.fetch_add(1, std::memory_order_relaxed);
    SetEvent(event_.get());
}

bool Handoff::reached(std::uint64_t target, const std::atomic<bool>* orFlag) const {
    return count_.load(std::memory_order_seq_cst) >= target || (orFlag && orFlag->load(std::memory_order_seq_cst));
}

void Handoff::waitFor(std::uint64_t target, double awakeSeconds, const std::atomic<bool>* orFlag) {
    const double awakeUntil = awakeSeconds < 0 ? 0 : secondsNow() + awakeSeconds;
    unsigned spins = 0;
    while (!reached(target, orFlag)) {
        if (awakeSeconds < 0 || secondsNow() < awakeUntil) {
            if (++spins < 256)
                YieldProcessor();
            else
                SwitchToThread();
            continue;
        }
        wakeAt_.store(target, std::memory_order_seq_cst);
        sleeping_.store(true, std::memory_order_seq_cst);
        if (!reached(target, orFlag)) WaitForSingleObject(event_.get(), INFINITE);
        sleeping_.store(false, std::memory_order_seq_cst);
    }
}
