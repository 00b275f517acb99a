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
 * - Any thread may take and give: a slim lock guards the free list.
 * - PoolAllocator serves single nodes from the pool and anything else (a hash
 *   table's bucket array) from the heap.
 */
#pragma once

#include <windows.h>

#include <cstddef>
#include <new>

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
        Guard() { AcquireSRWLockExclusive(&lock_); }
        ~Guard() { ReleaseSRWLockExclusive(&lock_); }
    };
    static void grow() {
        Block* slab = static_cast<Block*>(::operator new(sizeof(Block) * BlocksPerSlab));
        for (std::size_t i = 0; i < BlocksPerSlab; ++i) slab[i].next = i + 1 < BlocksPerSlab ? &slab[i + 1] : free_;
        free_ = slab;
    }

    static inline SRWLOCK lock_ = SRWLOCK_INIT;
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
