/*
 * A count one thread raises and another waits on, for handing chunks between
 * the file job's threads. Waking a thread through an event costs a round trip
 * to the system's server under Wine (tens of microseconds, more on a loaded
 * machine), which per chunk and thread would eat much of what the threads
 * save. So the waiter first spins (a pause, then yielding the processor) and
 * only sleeps on the event once the wait has lasted awakeSeconds; the raiser
 * sets the event only when the waiter sleeps.
 *
 * raise() publishes (release) everything written before it to the thread
 * that sees the new count (acquire).
 */
#pragma once

#include "framework/Win32Handles.h"

#include <windows.h>

#include <atomic>

class Handoff {
public:
    Handoff();
    bool valid() const { return static_cast<bool>(event_); }

    void raise();
    unsigned count() const { return count_.load(std::memory_order_acquire); }
    // Returns once the count has reached target; sleeps after awakeSeconds of spinning (never when negative).
    void waitFor(unsigned target, double awakeSeconds);

private:
    std::atomic<unsigned> count_{0};
    std::atomic<bool> sleeping_{false};
    win32::KernelHandle event_;
};
