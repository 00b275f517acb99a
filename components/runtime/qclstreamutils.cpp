// Stream functions of the component library.
//
// SaveCompressedStream writes a placeholder total, the chunks, and then goes
// back to patch the total; the destination ends positioned after the data.
// LoadCompressedStream checks the total and every chunk size against the bytes
// that remain before it reads, so a hostile size can neither loop forever
// (a size of -4 would never reduce the total) nor overrun the block buffer.
#include "components/runtime/qclstreamutils.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclprocs.h"

#include <algorithm>
#include <vector>

namespace {

int64_t remainingIn(TStream* stream) { return stream->Size - stream->Position; }

// Writes a signed 32-bit placeholder, runs `write`, and patches the number of
// bytes it wrote into the placeholder.
template <class Write>
void writeLengthPrefixed(TStream* stream, Write write) {
    const int64_t lengthAt = stream->Position;
    stWriteInteger(stream, 0);
    write();
    const int64_t end = stream->Position;
    stream->Position = lengthAt;
    stWriteInteger(stream, static_cast<int32_t>(end - lengthAt - 4));
    stream->Position = end;
}

// Reads a plain length-prefixed field into a rewound memory stream.
void readLengthPrefixed(TStream* stream, TMemoryStream& into) {
    const int32_t length = stReadLength(stream);
    into.SetSize(length);
    if (length > 0)
        stream->ReadBuffer(into.Memory(), length);
    into.Position = 0;
}

// The lines TStrings makes of a text: CR, LF and CR LF each end one.
int64_t lineCount(TMemoryStream& text) {
    const auto* p = static_cast<const char*>(text.Memory());
    const int64_t n = text.Size;
    int64_t lines = 0;
    for (int64_t i = 0; i < n; ++lines) {
        while (i < n && p[i] != '\r' && p[i] != '\n')
            ++i;
        if (i < n && p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        ++i;
    }
    return lines;
}

}  // namespace

void SaveCompressedStream(TStream* Source, TStream* Dest, int64_t Count) {
    std::vector<uint8_t> input(QCLLZRWMaxInput);
    std::vector<uint8_t> block(QCLLZRWMaxInput + 6);
    const int64_t totalAt = Dest->Position;
    stWriteInteger(Dest, 0);
    int32_t total = 0;
    while (Count > 0) {
        const int request = static_cast<int>(std::min<int64_t>(Count, QCLLZRWMaxInput));
        const int got = Source->Read(input.data(), request);
        if (got <= 0)
            break;
        const uint16_t length = QCLLZRWCompress(input.data(), block.data(), static_cast<uint16_t>(got));
        stWriteInteger(Dest, length);
        Dest->WriteBuffer(block.data(), length);
        total += length + 4;
        Count -= got;
    }
    const int64_t end = Dest->Position;
    Dest->Position = totalAt;
    stWriteInteger(Dest, total);
    Dest->Position = end;
}

void LoadCompressedStream(TStream* Source, TStream* Dest, int64_t MaxOutput) {
    int32_t total = stReadInteger(Source);
    if (total < 0 || total > remainingIn(Source))
        QCLRaiseReadError();
    std::vector<uint8_t> block(QCLLZRWMaxBlock);
    std::vector<uint8_t> output(QCLLZRWMaxInput);
    int64_t expanded = 0;
    while (total > 0) {
        if (total < 4)
            QCLRaiseReadError();
        const int32_t chunk = stReadInteger(Source);
        if (chunk < 1 || chunk > QCLLZRWMaxBlock || chunk > total - 4)
            QCLRaiseReadError();
        Source->ReadBuffer(block.data(), chunk);
        const uint16_t produced = QCLLZRWDecompress(block.data(), output.data(), static_cast<uint16_t>(chunk));
        if (produced > QCLLZRWMaxInput || produced > MaxOutput - expanded)
            QCLRaiseReadError();
        expanded += produced;
        Dest->WriteBuffer(output.data(), produced);
        total -= chunk + 4;
    }
}

void stWriteInteger(TStream* Stream, int32_t Value) { Stream->WriteBuffer(&Value, 4); }
void stWriteWord(TStream* Stream, uint16_t Value) { Stream->WriteBuffer(&Value, 2); }
void stWriteByte(TStream* Stream, uint8_t Value) { Stream->WriteBuffer(&Value, 1); }

void stWriteString(TStream* Stream, const AnsiString& Value) {
    const auto length = static_cast<uint8_t>(Value.size() % 256);
    stWriteByte(Stream, length);
    if (length > 0)
        Stream->WriteBuffer(Value.data(), length);
}

int32_t stReadInteger(TStream* Stream) {
    int32_t value = 0;
    Stream->ReadBuffer(&value, 4);
    return value;
}

uint16_t stReadWord(TStream* Stream) {
    uint16_t value = 0;
    Stream->ReadBuffer(&value, 2);
    return value;
}

uint8_t stReadByte(TStream* Stream) {
    uint8_t value = 0;
    Stream->ReadBuffer(&value, 1);
    return value;
}

AnsiString stReadString(TStream* Stream) {
    const uint8_t length = stReadByte(Stream);
    AnsiString value(length, '\0');
    if (length > 0)
        Stream->ReadBuffer(&value[0], length);
    return value;
}

int32_t stReadLength(TStream* Stream) {
    const int32_t length = stReadInteger(Stream);
    if (length < 0 || length > remainingIn(Stream))
        QCLRaiseReadError();
    return length;
}

void stWriteStringList(TStream* Stream, TStrings* List, bool Compressed) {
    if (!Compressed) {
        writeLengthPrefixed(Stream, [&] { List->SaveToStream(Stream); });
        return;
    }
    TMemoryStream text;
    List->SaveToStream(&text);
    text.Position = 0;
    SaveCompressedStream(&text, Stream, text.Size);
}

void stReadStringList(TStream* Stream, TStrings* List, bool Compressed) {
    TMemoryStream text;
    if (Compressed) {
        LoadCompressedStream(Stream, &text, QCLMaxStringListBytes);
        text.Position = 0;
    } else {
        readLengthPrefixed(Stream, text);
    }
    if (text.Size > QCLMaxStringListBytes || lineCount(text) > QCLMaxStringListLines)
        QCLRaiseReadError();
    List->LoadFromStream(&text);
}
