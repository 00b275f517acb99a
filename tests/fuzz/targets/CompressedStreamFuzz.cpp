// A compressed stream and the string-list field built on it: any bytes either
// read within the stated caps or raise the read error.
#include "tests/fuzz/FuzzTarget.h"

#include "components/runtime/qclstreamutils.h"

BRIM_FUZZ_TARGET(compressed_stream) {
    if (size == 0) return;
    const bool asStringList = data[0] & 1;
    const bool compressed = data[0] & 2;
    TMemoryStream source;
    if (size > 1) source.WriteBuffer(data + 1, static_cast<int>(size - 1));
    source.Position = 0;
    try {
        if (asStringList) {
            TStringList list;
            stReadStringList(&source, &list, compressed);
            brimfuzz::check(list.Count <= QCLMaxStringListLines, "a string list stays within its line cap");
        } else {
            // A cap of its own keeps every run short; the check is the same for any cap.
            const int64_t cap = 1 << 20;
            TMemoryStream dest;
            LoadCompressedStream(&source, &dest, cap);
            brimfuzz::check(dest.Size <= cap, "a stream expands within its cap");
        }
    } catch (const EReadError&) {
    }
}
