// Wave fields of the stream functions (part of the qclstreamutils unit): the
// wave object's own plain and compressed stream forms.
#include "components/runtime/qclstreamutils.h"

#include "components/runtime/qclwave.h"

void stWriteWave(TStream* Stream, TQCLWave* Wave, bool Compressed) {
    if (Compressed)
        Wave->SaveCompressedToStream(Stream);
    else
        Wave->SaveToStreamEx(Stream);
}

void stReadWave(TStream* Stream, TQCLWave* Wave, bool Compressed) {
    if (Compressed)
        Wave->LoadCompressedFromStream(Stream);
    else
        Wave->LoadFromStreamEx(Stream);
}
