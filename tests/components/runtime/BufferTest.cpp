// The linked stack of the edit's undo history: limits, circle mode, walking,
// releasing, and its stream form (including hostile streams).
#include "components/runtime/QCLDynLIFOBuffer.h"
#include "components/runtime/qclstreamutils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Items are malloc'ed C strings; the fixture records which ones were released.
class BufferTest : public ::testing::Test {
protected:
    void SetUp() override {
        buffer.OnItemFree = [this](TObject*, void* item) {
            released.push_back(static_cast<char*>(item));
            std::free(item);
        };
        buffer.OnItemSize = [](TObject*, void* item, int& size) {
            size = static_cast<int>(std::strlen(static_cast<char*>(item)) + 1);
        };
    }

    static void* item(const std::string& text) {
        void* p = std::malloc(text.size() + 1);
        std::memcpy(p, text.c_str(), text.size() + 1);
        return p;
    }

    static std::vector<std::string> oldestFirst(TQCLBuffer& b) {
        std::vector<std::string> out;
        TQCLBufferNode* node = nullptr;
        for (b.FirstNode(node); !b.EOFBuffer(node); b.NextNode(node))
            out.push_back(static_cast<char*>(b.GetItem(node)));
        return out;
    }

    void putAll(std::initializer_list<const char*> texts) {
        for (const char* t : texts)
            ASSERT_TRUE(buffer.Put(item(t)));
    }

    std::vector<std::string> released;  // outlives the buffer, which releases its items when destroyed
    TQCLDynLIFOBuffer buffer;
};

TEST_F(BufferTest, CircleModeDropsAndReleasesTheOldest) {
    buffer.MaxEntries = 3;
    putAll({"A", "B", "C", "D"});
    EXPECT_EQ(oldestFirst(buffer), (std::vector<std::string>{"B", "C", "D"}));
    EXPECT_EQ(released, std::vector<std::string>{"A"});
    EXPECT_EQ(buffer.Count(), 3);
    EXPECT_TRUE(buffer.isFull());
}

TEST_F(BufferTest, WithoutCircleModeAFullBufferRefuses) {
    buffer.MaxEntries = 2;
    buffer.CircleMode = false;
    putAll({"A", "B"});
    void* refused = item("C");
    EXPECT_FALSE(buffer.Put(refused));
    EXPECT_TRUE(released.empty());
    EXPECT_EQ(oldestFirst(buffer), (std::vector<std::string>{"A", "B"}));
    std::free(refused);
}

TEST_F(BufferTest, MaximumOneReplacesTheSingleEntry) {
    buffer.MaxEntries = 1;
    putAll({"A", "B"});
    EXPECT_EQ(oldestFirst(buffer), std::vector<std::string>{"B"});
    EXPECT_EQ(released, std::vector<std::string>{"A"});
}

TEST_F(BufferTest, GetTakesTheNewestAndHandsItOver) {
    EXPECT_EQ(buffer.Get(), nullptr);
    buffer.Clear();
    putAll({"A", "B"});
    char* newest = static_cast<char*>(buffer.Get());
    EXPECT_STREQ(newest, "B");
    std::free(newest);
    EXPECT_EQ(buffer.Count(), 1);
    buffer.Clear();
    EXPECT_TRUE(buffer.isEmpty());
    EXPECT_EQ(released, std::vector<std::string>{"A"});
}

TEST_F(BufferTest, ClearReleasesNewestFirstAndWalkEndsAtNone) {
    putAll({"A", "B", "C"});
    TQCLBufferNode* node = nullptr;
    buffer.FirstNode(node);
    EXPECT_STREQ(static_cast<char*>(buffer.GetItem(node)), "A");
    buffer.NextNode(node);
    buffer.NextNode(node);
    EXPECT_STREQ(static_cast<char*>(buffer.GetItem(node)), "C");
    buffer.NextNode(node);
    EXPECT_TRUE(buffer.EOFBuffer(node));
    buffer.Clear();
    EXPECT_EQ(released, (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(BufferTest, UpdateCounterNeverGoesBelowZero) {
    buffer.EndUpdate();
    EXPECT_FALSE(buffer.Updating());
    buffer.BeginUpdate();
    buffer.BeginUpdate();
    buffer.EndUpdate();
    EXPECT_TRUE(buffer.Updating());
    buffer.EndUpdate();
    EXPECT_FALSE(buffer.Updating());
}

TEST_F(BufferTest, StreamRoundTripKeepsTheOrder) {
    putAll({"A", "BB", "CCC"});
    TMemoryStream s;
    buffer.SaveToStream(&s);
    std::string bytes(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size));
    EXPECT_EQ(bytes, std::string("\x17\0\0\0@QCLBufferStream-V0.1@\0", 27) + std::string("\2\0\0\0A\0", 6) +
                         std::string("\3\0\0\0BB\0", 7) + std::string("\4\0\0\0CCC\0", 8));

    TQCLDynLIFOBuffer copy;  // no events: items are plain memory blocks
    s.Position = 0;
    copy.LoadFromStream(&s);
    EXPECT_EQ(oldestFirst(copy), (std::vector<std::string>{"A", "BB", "CCC"}));
}

TEST_F(BufferTest, ForeignSignatureChangesNothing) {
    putAll({"keep"});
    TMemoryStream s;
    stWriteInteger(&s, 23);
    s.WriteBuffer("@QCLBufferStream-V0.2@\0", 23);
    stWriteInteger(&s, 2);
    s.WriteBuffer("X", 2);
    s.Position = 0;
    buffer.LoadFromStream(&s);
    EXPECT_EQ(oldestFirst(buffer), std::vector<std::string>{"keep"});
    EXPECT_EQ(s.Position, 0);
}

TEST_F(BufferTest, HostileSizesRaiseTheReadError) {
    for (int32_t size : {-1, 0x7FFFFFFF, 100}) {
        TMemoryStream s;
        stWriteInteger(&s, 23);
        s.WriteBuffer("@QCLBufferStream-V0.1@\0", 23);
        stWriteInteger(&s, size);
        s.WriteBuffer("abc", 3);
        s.Position = 0;
        TQCLDynLIFOBuffer target;
        EXPECT_THROW(target.LoadFromStream(&s), EReadError) << size;
    }
    TMemoryStream s;
    stWriteInteger(&s, 0x7FFFFFFF);
    s.Position = 0;
    EXPECT_THROW(buffer.LoadFromStream(&s), EReadError);
}

}  // namespace
