// A linked stack of items with an optional size limit. In circle mode (the
// default) a full stack drops and releases its oldest entry to take a new
// one; otherwise it refuses the new item. The edit control keeps its undo and
// redo histories in two of these.
//
// Walking from the oldest node to the newest costs time proportional to the
// square of the count (each step searches from the top); histories are small.
#pragma once

#include "components/runtime/QCLBuffer.h"

struct TQCLBufferNode {
    void* item = nullptr;
    TQCLBufferNode* older = nullptr;
};

class TQCLDynLIFOBuffer : public TQCLBuffer {
public:
    TQCLDynLIFOBuffer() = default;
    ~TQCLDynLIFOBuffer() override;

    void FirstNode(TQCLBufferNode*& Node) override;
    void NextNode(TQCLBufferNode*& Node) override;
    void* GetItem(TQCLBufferNode* Node) override { return Node ? Node->item : nullptr; }
    bool EOFBuffer(TQCLBufferNode* Node) override { return Node == nullptr; }
    bool isEmpty() override { return count_ == 0; }
    bool isFull() override { return GetMaxEntries() != -1 && count_ >= GetMaxEntries(); }
    bool Put(void* Item) override;
    void* Get() override;
    void Clear() override;

    bool CircleMode = true;

private:
    void dropOldest();

    TQCLBufferNode* top_ = nullptr;
};
