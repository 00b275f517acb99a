// Abstract container of untyped items (memory blocks) with a stream form:
// a signed 32-bit signature length 23, the signature "@QCLBufferStream-V0.1@"
// with its zero byte, then per entry, oldest first, a signed 32-bit size and
// that many bytes of the item.
//
// Items that the buffer discards are released through OnItemFree when it is
// assigned, otherwise with std::free (the stream reader allocates them with
// std::malloc). Reading takes the stream as untrusted: sizes are checked
// against what remains before anything is allocated.
#pragma once

#include "components/runtime/QCLObject.h"

struct TQCLBufferNode;

using TQCLBufferItemEvent = TEvent<void(TObject* Sender, void* Item)>;
using TQCLBufferItemSizeEvent = TEvent<void(TObject* Sender, void* Item, int& Size)>;

class TQCLBuffer : public TQCLObject {
public:
    // Walking from the oldest entry to the newest.
    virtual void FirstNode(TQCLBufferNode*& Node) = 0;
    virtual void NextNode(TQCLBufferNode*& Node) = 0;
    virtual void* GetItem(TQCLBufferNode* Node) = 0;
    virtual bool EOFBuffer(TQCLBufferNode* Node) = 0;
    virtual bool isEmpty() = 0;
    virtual bool isFull() = 0;
    // False when the item was refused (it stays the caller's).
    virtual bool Put(void* Item) = 0;
    virtual void* Get() = 0;
    virtual void Clear() = 0;
    virtual void LoadFromStream(TStream* Stream);
    virtual void SaveToStream(TStream* Stream);

    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    // Nesting counter, independent of the change notification's flag.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

    int GetItemSize(TQCLBufferNode* Node);
    // Releases one item as the buffer does with the entries it discards.
    void clearItem(void* Item);

    int GetMaxEntries() const { return maxEntries_; }
    // -1 (or less) is unlimited; otherwise at least 1.
    void SetMaxEntries(int value) { maxEntries_ = value < 0 ? -1 : (value == 0 ? 1 : value); }
    int GetCount() const { return count_; }

    BRIM_PROPERTY(MaxEntries, TQCLBuffer::GetMaxEntries, TQCLBuffer::SetMaxEntries);
    BRIM_READONLY(Count, TQCLBuffer::GetCount);

    TQCLBufferItemEvent OnItemFree;
    TQCLBufferItemSizeEvent OnItemSize;

protected:
    int count_ = 0;

private:
    int updateCount_ = 0;
    int maxEntries_ = -1;
};
