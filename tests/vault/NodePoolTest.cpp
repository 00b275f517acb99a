// The data model's node pool: blocks are distinct, aligned and reused, and threads taking and
// giving at once never get the same block; the model's nodes come from it and go back to it.
#include "vault/NodePool.h"

#include "vault/category.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

TEST(NodePool, BlocksAreDistinctAlignedAndReused) {
    using Pool = NodePool<40>;
    std::vector<void*> blocks;
    for (int i = 0; i < 5000; ++i) {  // several slabs
        void* block = Pool::take();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        std::memset(block, i & 0xFF, 40);
        blocks.push_back(block);
    }
    EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(static_cast<unsigned char*>(blocks[i])[39], i & 0xFF) << "a block overlaps block " << i;
    void* last = blocks.back();
    Pool::give(last);
    EXPECT_EQ(Pool::take(), last) << "a block given back is taken again";
    for (void* block : blocks) Pool::give(block);
}

struct Worker {
    int id = 0;
    bool overlapped = false;
};

DWORD WINAPI takeAndGive(LPVOID param) {
    Worker& worker = *static_cast<Worker*>(param);
    std::vector<std::uint32_t*> held;
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 50; ++i) {
            auto* block = static_cast<std::uint32_t*>(NodePool<24>::take());
            block[0] = block[5] = static_cast<std::uint32_t>(worker.id);
            held.push_back(block);
        }
        for (std::uint32_t* block : held) {
            if (block[0] != static_cast<std::uint32_t>(worker.id) || block[5] != block[0]) worker.overlapped = true;
            NodePool<24>::give(block);
        }
        held.clear();
    }
    return 0;
}

TEST(NodePool, ThreadsTakingAndGivingAtOnceNeverShareABlock) {
    Worker workers[6];
    HANDLE threads[6];
    for (int i = 0; i < 6; ++i) {
        workers[i].id = i + 1;
        threads[i] = CreateThread(nullptr, 0, takeAndGive, &workers[i], 0, nullptr);
        ASSERT_NE(threads[i], nullptr);
    }
    ASSERT_EQ(WaitForMultipleObjects(6, threads, TRUE, 60000), WAIT_OBJECT_0);
    for (int i = 0; i < 6; ++i) {
        CloseHandle(threads[i]);
        EXPECT_FALSE(workers[i].overlapped) << "worker " << i + 1;
    }
}

// Items go back to the pool when their row goes, and the same blocks serve the next rows: loading
// the same vault again makes no new memory. (Rows share their block size with the duplicate
// index's entries, so only items are followed here.)
TEST(NodePool, DeletedItemsServeTheNextOnes) {
    auto fill = [](category& c, const char* prefix) {
        c.addHeader("A", htOneLine, hsShown);
        c.addHeader("B", htOneLine, hsShown);
        for (int i = 0; i < 300; ++i) c.insertRow({prefix + std::to_string(i), "short"});
    };
    auto itemsOf = [](const category& c) {
        std::vector<const void*> items;
        for (const row* r = c.firstRow(); r; r = r->next)
            for (const item* it = r->firstItem(); it; it = it->next) items.push_back(it);
        return items;
    };
    std::set<const void*> first;
    {
        category c("Pooled");
        fill(c, "a");
        const std::vector<const void*> items = itemsOf(c);
        first.insert(items.begin(), items.end());
        ASSERT_EQ(first.size(), 600u);
    }
    category again("Again");
    fill(again, "b");
    for (const void* it : itemsOf(again)) EXPECT_EQ(first.count(it), 1u);
}

}  // namespace
