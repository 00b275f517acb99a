// Abstract item container and its stream form.
#include "components/runtime/QCLBuffer.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstreamutils.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kSignature[] = "@QCLBufferStream-V0.1@";  // 22 characters and the zero byte
constexpr int32_t kSignatureLength = sizeof(kSignature);

}  // namespace

void TQCLBuffer::EndUpdate() {
    if (updateCount_ > 0)
        --updateCount_;
}

int TQCLBuffer::GetItemSize(TQCLBufferNode* Node) {
    int size = 0;
    if (OnItemSize)
        OnItemSize(this, GetItem(Node), size);
    return size;
}

void TQCLBuffer::clearItem(void* Item) {
    if (!Item)
        return;
    if (OnItemFree)
        OnItemFree(this, Item);
    else
        std::free(Item);
}

void TQCLBuffer::SaveToStream(TStream* Stream) {
    stWriteInteger(Stream, kSignatureLength);
    Stream->WriteBuffer(kSignature, kSignatureLength);
    TQCLBufferNode* node = nullptr;
    for (FirstNode(node); !EOFBuffer(node); NextNode(node)) {
        const int size = GetItemSize(node);
        stWriteInteger(Stream, size);
        if (size > 0)
            Stream->WriteBuffer(GetItem(node), size);
    }
}

void TQCLBuffer::LoadFromStream(TStream* Stream) {
    const int64_t start = Stream->Position;
    const int32_t signatureLength = stReadLength(Stream);
    std::vector<char> signature(static_cast<size_t>(signatureLength) + 1, '\0');
    if (signatureLength > 0)
        Stream->ReadBuffer(signature.data(), signatureLength);
    if (std::strcmp(signature.data(), kSignature) != 0) {
        Stream->Position = start;
        return;
    }
    Clear();
    while (Stream->Position < Stream->Size) {
        const int32_t size = stReadLength(Stream);
        void* item = std::malloc(size > 0 ? static_cast<size_t>(size) : 1);
        if (!item)
            throw EOutOfMemory("Out of memory");
        try {
            if (size > 0)
                Stream->ReadBuffer(item, size);
        } catch (...) {
            std::free(item);
            throw;
        }
        if (!Put(item))
            clearItem(item);
    }
}

void TQCLBuffer::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead);
    LoadFromStream(&file);
}

void TQCLBuffer::SaveToFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmCreate);
    SaveToStream(&file);
}
