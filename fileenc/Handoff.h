/*
 * A count one thread raises and another waits on, for handing chunks between
 * the file job's threads. Waking a thread through an event costs a round trip
 * to the system's server under Wine (tens of microseconds, more on a loaded
 * machine), which per chunk and thread would eat much of what the threads
 * save. So the waiter first spins (a pause, then yielding the processor) and
 * only sleeps on the event once the wait has lasted awakeSeconds; the raiser
 * sets the event only when the waiter sleeps and the count has reached what
 * it waits for: a waiter asleep for a batch of chunks is woken once, not once
 * per chunk (every wake is a round trip to the server for both threads).
 *
 * The threads hand chunks through rings of several buffers, and a thread that
 * found its side of a ring empty (or full) waits for a batch of chunks rather
 * than the next one: it then sleeps and is woken once per batch, not once per
 * chunk. A wait may also end on a flag (the end of the work, a stop): the
 * thread that sets it calls wake() afterwards.
 *
 * raise() publishes (release) everything written before it to the thread
 * that sees the new count (acquire).
 */
#pragma once

#include "framework/Win32Handles.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

class Handoff {
public:
    Handoff();
    bool valid() const { return static_cast<bool>(event_); }

    void raise();
    // Counted in 64 bits: a job of a few TiB in small chunks hands over more than 2^32 of them.
    std::uint64_t count() const { return count_.load(std::memory_order_acquire); }
    // Returns once the count has reached target, or once *orFlag is true (when given); sleeps
    // after awakeSeconds of spinning (never when negative).
    void waitFor(std::uint64_t target, double awakeSeconds, const std::atomic<bool>* orFlag = nullptr);
    // Wakes a waiter asleep in waitFor to look at its flag again; call after setting the flag.
    void wake();

private:
    bool reached(std::uint64_t target, const std::atomic<bool>* orFlag) const;
    void setEvent();

    std::atomic<std::uint64_t> count_{0};
    std::atomic<std::uint64_t> wakeAt_{0};  // the count an asleep waiter waits for
    std::atomic<bool> sleeping_{false};
    win32::KernelHandle event_;
};

// The wake-ups of asleep waiters (events set) by every hand-off of the process so far: the
// benchmark's measure of hand-offs per MiB.
std::uint64_t handoffWakeupsForBenchmark();
// The seconds the job's own thread spent waiting for a ring (the read-ahead to fill a chunk, the
// write-behind to free a buffer), summed over the process so far: where the cipher stood still.
enum class JobWait { ForReadAhead, ForWriteBehind };
double jobWaitSecondsForBenchmark(JobWait which);
// Waits as waitFor does, counting the time in the job's waits of that kind when it had to wait.
void jobWaitFor(Handoff& handoff, std::uint64_t target, double awakeSeconds, JobWait which);

// How many chunk buffers a ring between two of a job's threads holds: about 2 MiB in all, at
// least two and at most eight buffers (a foreign file's chunk may be far larger than ours).
unsigned ringSlotsFor(std::uint32_t chunkSize);
// How many chunks a thread that found its side of the ring empty or full waits for at once.
inline unsigned ringBatchFor(unsigned slots) { return slots / 2; }
