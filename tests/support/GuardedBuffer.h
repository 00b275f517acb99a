// A buffer whose last byte sits right before an inaccessible page, so that a
// read or write one byte past its end faults at once instead of going unseen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class GuardedBuffer {
public:
    explicit GuardedBuffer(std::size_t size);
    GuardedBuffer(const std::uint8_t* data, std::size_t size);
    explicit GuardedBuffer(const std::vector<std::uint8_t>& data) : GuardedBuffer(data.data(), data.size()) {}
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    std::uint8_t* data() { return data_; }
    std::size_t size() const { return size_; }

private:
    void* base_ = nullptr;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};
