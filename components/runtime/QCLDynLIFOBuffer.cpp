// Linked stack of items with an optional size limit.
#include "components/runtime/QCLDynLIFOBuffer.h"

TQCLDynLIFOBuffer::~TQCLDynLIFOBuffer() { Clear(); }

void TQCLDynLIFOBuffer::FirstNode(TQCLBufferNode*& Node) {
    Node = top_;
    while (Node && Node->older)
        Node = Node->older;
}

void TQCLDynLIFOBuffer::NextNode(TQCLBufferNode*& Node) {
    TQCLBufferNode* newer = top_;
    while (newer && newer->older != Node)
        newer = newer->older;
    Node = Node ? newer : nullptr;  // no node links to the top: it has no newer one
}

bool TQCLDynLIFOBuffer::Put(void* Item) {
    if (isFull()) {
        if (!CircleMode)
            return false;
        if (GetMaxEntries() == 1)
            Clear();
        else
            dropOldest();
    }
    top_ = new TQCLBufferNode{Item, top_};
    ++count_;
    return true;
}

void* TQCLDynLIFOBuffer::Get() {
    if (!top_)
        return nullptr;
    TQCLBufferNode* node = top_;
    top_ = node->older;
    void* item = node->item;
    delete node;
    --count_;
    return item;
}

void TQCLDynLIFOBuffer::Clear() {
    while (top_) {
        TQCLBufferNode* node = top_;
        top_ = node->older;
        clearItem(node->item);
        delete node;
    }
    count_ = 0;
}

void TQCLDynLIFOBuffer::dropOldest() {
    if (!top_)
        return;
    TQCLBufferNode** link = &top_;
    while ((*link)->older)
        link = &(*link)->older;
    TQCLBufferNode* oldest = *link;
    *link = nullptr;
    clearItem(oldest->item);
    delete oldest;
    --count_;
}
