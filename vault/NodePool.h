/*
 * Fixed-size blocks for the data model's many small nodes (items, rows, the
 * duplicate index's entries). Loading a vault makes about ten of them per
 * entry; one trip to the system heap each cost most of the load under Wine.
 * A pool hands out blocks of one size from slabs of many and takes them back
 * onto a free list, so a node costs a few instructions.
 *
 * Tricky points:
 * - Slabs are kept for the life of the process: a vault closed and opened
 *   again reuses them. Nothing secret stays in a free block: the nodes wipe
 *   their texts (the short ones live inside the node) before they go.
 * - Any thread may take and give: a spin lock guards the free list. It is
 *   held for a few instructions and almost never contended, and unlike the
 *   system's slim lock it costs one atomic exchange, not a call that under
 *   Wine also wakes any waiter on every release.
 * - PoolAllocator serves single nodes from the pool and anything else (a hash
 *   table's bucket array) from the heap.
 */
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <new>
#include <thread>

template <std::size_t Size>
class NodePool {
public:
    static void* take() {
        Guard guard;
        if (!free_) grow();
        Block* block = free_;
        free_ = block->next;
        return block;
    }
    static void give(void* p) {
        if (!p) return;
        Guard guard;
        Block* block = static_cast<Block*>(p);
        block->next = free_;
        free_ = block;
    }

private:
    union Block {
        Block* next;
        alignas(alignof(std::max_align_t)) unsigned char bytes[Size];
    };
    static constexpr std::size_t BlocksPerSlab = 64 * 1024 / sizeof(Block) ? 64 * 1024 / sizeof(Block) : 1;

    struct Guard {
        Guard() {
            for (unsigned spins = 0; lock_.exchange(true, std::memory_order_acquire);) {
                // Another thread holds it for a few instructions, unless the system took it away.
                while (lock_.load(std::memory_order_relaxed))
                    if (++spins >= 64) std::this_thread::yield();
            }
        }
        ~Guard() { lock_.store(false, std::memory_order_release); }
    };
    static void grow() {
        // The aligned form: a 32-bit heap gives 8-byte alignment, less than a block asks for.
        Block* slab =
            static_cast<Block*>(::operator new(sizeof(Block) * BlocksPerSlab, std::align_val_t(alignof(Block))));
        for (std::size_t i = 0; i < BlocksPerSlab; ++i) slab[i].next = i + 1 < BlocksPerSlab ? &slab[i + 1] : free_;
        free_ = slab;
    }

    static inline std::atomic<bool> lock_{false};
    static inline Block* free_ = nullptr;
};

// For a class's own operator new and delete: blocks of the class's size from the pool, anything
// else (a derived class) from the heap.
template <typename T>
struct PooledNode {
    static void* operator new(std::size_t size) {
        return size == sizeof(T) ? NodePool<sizeof(T)>::take() : ::operator new(size);
    }
    static void operator delete(void* p, std::size_t size) {
        if (size == sizeof(T))
            NodePool<sizeof(T)>::give(p);
        else
            ::operator delete(p);
    }
};

template <typename T>
struct PoolAllocator {
    using value_type = T;
    PoolAllocator() = default;
    template <typename U>
    PoolAllocator(const PoolAllocator<U>&) {}
    T* allocate(std::size_t n) {
        return static_cast<T*>(n == 1 ? NodePool<sizeof(T)>::take() : ::operator new(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) {
        if (n == 1)
            NodePool<sizeof(T)>::give(p);
        else
            ::operator delete(p);
    }
    template <typename U>
    bool operator==(const PoolAllocator<U>&) const { return true; }
    template <typename U>
    bool operator!=(const PoolAllocator<U>&) const { return false; }
};
