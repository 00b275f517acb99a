/*
 * The randomness a new vault's key is made from, apart from any window: the
 * 64-byte seed filled two bits at a time, the sampling of cursor positions, and
 * the sources the key-creation page reads positions and times from.
 *
 * Tricky points:
 * - One KeySeed belongs to one page and is shared with that page's threads by
 *   reference count (std::shared_ptr), so a thread still sleeping after its
 *   page closed writes into its own seed, never into a later page's; its
 *   cancel flag can never be reset under it.
 * - The pair appended at count n goes into byte n/8: the byte is ANDed with the
 *   8-bit truncation of 0xFC << (6 - n mod 8), which clears the target pair and
 *   every lower bit, then the value is ORed in at that shift. A byte's four
 *   pairs fill it from the top down. Nothing is appended past 512 bits.
 * - Sources give positions and times only, never seed bytes: the seed is always
 *   built by the same append, cap and lock.
 */
#pragma once

#include "vault/SecureMemory.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>

namespace keyseed {

constexpr int SeedBytes = 64;
constexpr int SeedBits = SeedBytes * 8;

class KeySeed {
public:
    KeySeed() = default;
    ~KeySeed() { secureWipe(bytes_, sizeof bytes_); }
    KeySeed(const KeySeed&) = delete;
    KeySeed& operator=(const KeySeed&) = delete;

    // Appends the low two bits of value; the count after it (unchanged when the seed was full).
    int appendPair(unsigned value);
    int bitCount() const { return count_.load(); }
    bool full() const { return bitCount() >= SeedBits; }
    // The meter's percentage: count * 100 / 512, truncated.
    int percent() const { return bitCount() * 100 / SeedBits; }
    void copyTo(unsigned char out[SeedBytes]) const;

    void cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_.load(); }

private:
    mutable std::mutex lock_;
    unsigned char bytes_[SeedBytes] = {};
    std::atomic<int> count_{0};
    std::atomic<bool> cancelled_{false};
};

// Accepts a cursor position only when it lies at least 50 pixels away on both axes from the last
// accepted one (the first from (0, 0)).
class CursorSampler {
public:
    bool accept(POINT position);

private:
    POINT last_ = {0, 0};
};

// Where the page reads its randomness from; fixed when the page is made.
struct EntropySources {
    std::function<POINT()> cursorPosition;
    // The millisecond field of the time now (0..999).
    std::function<int()> milliseconds;
    // The pause between two cursor polls.
    std::function<void()> pollWait;

    // GetCursorPos, GetSystemTime and a 100 ms sleep.
    static EntropySources system();
};

// The key-release pair: the absolute difference of the two millisecond fields, low two bits.
inline unsigned keyReleasePair(int previousMs, int nowMs) {
    int d = nowMs - previousMs;
    return static_cast<unsigned>(d < 0 ? -d : d) & 3;
}

}  // namespace keyseed
