// The spin-then-sleep hand-off. The waiter announces its sleep and then looks at the count
// again; the raiser raises the count and then looks for the announcement. With both in one
// total order (seq_cst), either the waiter sees the new count or the raiser sees it asleep
// and sets the event. A stale event only makes a later wait look once more.
#include "fileenc/Handoff.h"

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

}  // namespace

Handoff::Handoff() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}

void Handoff::raise() {
    count_.fetch_add(1, std::memory_order_seq_cst);
    if (sleeping_.load(std::memory_order_seq_cst)) SetEvent(event_.get());
}

void Handoff::waitFor(unsigned target, double awakeSeconds) {
    const double awakeUntil = awakeSeconds < 0 ? 0 : secondsNow() + awakeSeconds;
    unsigned spins = 0;
    while (count_.load(std::memory_order_acquire) < target) {
        if (awakeSeconds < 0 || secondsNow() < awakeUntil) {
            if (++spins < 256)
                YieldProcessor();
            else
                SwitchToThread();
            continue;
        }
        sleeping_.store(true, std::memory_order_seq_cst);
        if (count_.load(std::memory_order_seq_cst) < target) WaitForSingleObject(event_.get(), INFINITE);
        sleeping_.store(false, std::memory_order_seq_cst);
    }
}
