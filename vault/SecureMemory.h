/*
 * Buffers for secrets (keys, passwords, decrypted vault text): their memory is
 * overwritten before it goes back to the heap, also when a vector or string
 * grows and drops its old buffer. SecretText wipes its inline buffer too,
 * because short strings never reach the allocator, and what a text that grew
 * past it left behind there.
 *
 * This is the one home of secrets: the vault store's keys and texts and the
 * file jobs' key copies and chunk buffers all live in these types.
 *
 * A test may observe every wipe (setWipeObserverForTesting) to check that a
 * buffer of an expected size was wiped.
 */
#pragma once

#include <cstddef>
#include <functional>
#include <new>
#include <string>
#include <vector>

// Overwrites n bytes with zeros in a way the optimiser cannot drop.
void secureWipe(void* data, std::size_t n);

// Called with the size of every buffer wiped by secureWipe.
using WipeObserver = std::function<void(const void* data, std::size_t n)>;
void setWipeObserverForTesting(WipeObserver observer);

template <typename T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(::operator new(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) {
        secureWipe(p, n * sizeof(T));
        ::operator delete(p);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const WipingAllocator<U>&) const { return false; }
};

using SecretBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

class SecretText : public std::basic_string<char, std::char_traits<char>, WipingAllocator<char>> {
public:
    using Base = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;
    using Base::Base;
    SecretText() = default;
    SecretText(const Base& other) : Base(other) {}
    SecretText(Base&& other) : Base(std::move(other)) {}
    SecretText(const SecretText&) = default;
    SecretText(SecretText&&) = default;
    SecretText& operator=(const SecretText&) = default;
    SecretText& operator=(SecretText&&) = default;
    ~SecretText() { wipeAndEmpty(); }

    // Overwrites every byte the text holds and empties it. A text that grew out of the inline
    // buffer left its first characters there; going back to that buffer lets them be overwritten
    // too (the heap buffer is wiped as it is given back).
    void wipeAndEmpty() {
        secureWipe(&(*this)[0], capacity());
        clear();
        shrink_to_fit();
        secureWipe(&(*this)[0], capacity());
    }
};

// A fixed 16-byte secret (vault key, password key, chain value) wiped when it goes.
struct Secret16 {
    unsigned char bytes[16] = {};
    Secret16() = default;
    Secret16(const Secret16& other) { *this = other; }
    Secret16& operator=(const Secret16& other) {
        for (int i = 0; i < 16; ++i) bytes[i] = other.bytes[i];
        return *this;
    }
    ~Secret16() { secureWipe(bytes, sizeof bytes); }
    void clear() { secureWipe(bytes, sizeof bytes); }
    unsigned char* data() { return bytes; }
    const unsigned char* data() const { return bytes; }
};
