// Guard-page buffers for the fuzz loops: the data ends where an inaccessible
// page begins.
#include "tests/support/GuardedBuffer.h"

#include <windows.h>

#include <cstring>
#include <stdexcept>

namespace {
constexpr std::size_t kPage = 4096;
}

GuardedBuffer::GuardedBuffer(std::size_t size) : size_(size) {
    const std::size_t pages = (size + kPage - 1) / kPage + 1;
    base_ = VirtualAlloc(nullptr, pages * kPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!base_)
        throw std::runtime_error("VirtualAlloc failed");
    auto* guard = static_cast<std::uint8_t*>(base_) + (pages - 1) * kPage;
    DWORD old = 0;
    VirtualProtect(guard, kPage, PAGE_NOACCESS, &old);
    data_ = guard - size;
    std::memset(data_, 0xCD, size);
}

GuardedBuffer::GuardedBuffer(const std::uint8_t* data, std::size_t size) : GuardedBuffer(size) {
    if (size)
        std::memcpy(data_, data, size);
}

GuardedBuffer::~GuardedBuffer() {
    if (base_)
        VirtualFree(base_, 0, MEM_RELEASE);
}
