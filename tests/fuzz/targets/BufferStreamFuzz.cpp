// The stream form of the item buffers: any bytes either load (within the
// buffer's entry limit) or raise the read error, and nothing leaks.
#include "tests/fuzz/FuzzTarget.h"

#include "components/runtime/QCLDynLIFOBuffer.h"

BRIM_FUZZ_TARGET(buffer_stream) {
    if (size == 0) return;
    TQCLDynLIFOBuffer buffer;
    buffer.SetMaxEntries(static_cast<int>(data[0] % 8) - 1);
    buffer.CircleMode = (data[0] & 8) != 0;
    TMemoryStream stream;
    if (size > 1) stream.WriteBuffer(data + 1, static_cast<int>(size - 1));
    stream.Position = 0;
    try {
        buffer.LoadFromStream(&stream);
    } catch (const EReadError&) {
    }
    brimfuzz::check(buffer.GetMaxEntries() == -1 || buffer.GetCount() <= buffer.GetMaxEntries(),
                    "a buffer holds no more than its limit");
}
