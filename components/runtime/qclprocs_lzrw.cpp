// LZRW block compression of the component library (part of the qclprocs unit).
//
// A block is a flag byte followed either by the input unchanged (flag 0x80,
// "stored") or by groups of up to 16 items, each group led by a 16-bit control
// word written high byte first whose bits, from the top down, tell a literal
// byte (0) from a copy or run item (1). A copy item is (offset << 4) +
// (length - 3) high byte first; offset 0 marks a 4-byte run item instead.
//
// The compressor is deterministic to the byte: containers written by other
// builds must compare equal. The decompressor takes its input as untrusted: it
// checks every item against the block's end and the output's capacity and
// raises on anything a compressor cannot have written.
#include "components/runtime/qclprocs.h"

#include "components/runtime/qclerrors.h"

#include <array>
#include <cstring>

namespace {

constexpr int kHashSize = 4096;
constexpr int kWindow = 4096;
constexpr int kMaxCopy = 18;
constexpr int kMinCopy = 3;
constexpr int kMinRun = 16;
constexpr int kMaxRun = 4095;
constexpr std::uint8_t kFlagCompressed = 0x40;
constexpr std::uint8_t kFlagStored = 0x80;

void putWord(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

int runLength(const std::uint8_t* input, int pos, int n) {
    int count = 1;
    while (pos + count < n && count < kMaxRun && input[pos + count] == input[pos])
        ++count;
    return count;
}

// Bytes past the input take part in the hash only; they never decide a match
// (a match may not reach the input's end), so reading them as 0 keeps the
// output identical to a compressor that reads the caller's spare bytes.
int hashAt(const std::uint8_t* input, int pos, int n) {
    auto byteAt = [&](int i) -> std::uint32_t { return i < n ? input[i] : 0u; };
    const std::uint32_t mixed = (((byteAt(pos) << 4) ^ byteAt(pos + 1)) << 4) ^ byteAt(pos + 2);
    return static_cast<int>(((mixed * 40543u) >> 4) & 0xFFF);
}

int matchLength(const std::uint8_t* input, int previous, int pos, int n) {
    int length = 0;
    while (length < kMaxCopy && pos + length < n && input[previous + length] == input[pos + length])
        ++length;
    return length;
}

// Reads one block item by item; every read and write is checked.
class BlockReader {
public:
    BlockReader(const std::uint8_t* block, int blockLength, std::uint8_t* output, int capacity)
        : block_(block), end_(blockLength), out_(output), capacity_(capacity) {}

    int run() {
        if (end_ < 3)
            QCLRaiseCorruptBlock();
        std::uint16_t control = word(1);
        int bitsLeft = 16;
        pos_ = 3;
        while (pos_ < end_) {
            if (bitsLeft == 0) {
                control = word(pos_);
                pos_ += 2;
                bitsLeft = 16;
                if (pos_ >= end_)
                    QCLRaiseCorruptBlock();  // a control word always has an item behind it
            }
            if (control & 0x8000)
                copyOrRun();
            else
                literal();
            control = static_cast<std::uint16_t>(control << 1);
            --bitsLeft;
        }
        return produced_;
    }

private:
    std::uint16_t word(int at) const {
        need(at, 2);
        return static_cast<std::uint16_t>((block_[at] << 8) | block_[at + 1]);
    }
    void need(int at, int bytes) const {
        if (at + bytes > end_)
            QCLRaiseCorruptBlock();
    }
    void room(int bytes) const {
        if (produced_ + bytes > capacity_)
            QCLRaiseCorruptBlock();
    }
    void literal() {
        room(1);
        out_[produced_++] = block_[pos_++];
    }
    void copyOrRun() {
        need(pos_, 2);
        const int first = block_[pos_], second = block_[pos_ + 1];
        const int offset = (first << 4) | (second >> 4);
        if (offset == 0) {
            need(pos_, 4);
            const int count = ((second << 8) | block_[pos_ + 2]) + kMinRun;
            room(count);
            std::memset(out_ + produced_, block_[pos_ + 3], static_cast<size_t>(count));
            produced_ += count;
            pos_ += 4;
            return;
        }
        const int length = (second & 0x0F) + kMinCopy;
        if (offset > produced_)
            QCLRaiseCorruptBlock();
        room(length);
        for (int i = 0; i < length; ++i, ++produced_)  // byte by byte: overlaps repeat a pattern
            out_[produced_] = out_[produced_ - offset];
        pos_ += 2;
    }

    const std::uint8_t* block_;
    int end_;
    std::uint8_t* out_;
    int capacity_;
    int pos_ = 0;
    int produced_ = 0;
};

}  // namespace

std::uint16_t QCLLZRWCompress(const std::uint8_t* input, std::uint8_t* output, std::uint16_t inputLength) {
    const int n = inputLength;
    std::array<std::int16_t, kHashSize> lastSeen;
    lastSeen.fill(-1);

    output[0] = kFlagCompressed;
    int controlPos = 1;
    int outPos = 3;
    int inPos = 0;
    int items = 0;
    std::uint16_t control = 0;

    while (inPos < n && outPos <= n) {
        if (items == 16) {
            putWord(output + controlPos, control);
            controlPos = outPos;
            outPos += 2;
            items = 0;
            control = 0;
        }
        const int run = runLength(input, inPos, n);
        if (run >= kMinRun) {
            output[outPos] = 0;
            putWord(output + outPos + 1, static_cast<std::uint16_t>(run - kMinRun));
            output[outPos + 3] = input[inPos];
            outPos += 4;
            inPos += run;
            control = static_cast<std::uint16_t>((control << 1) | 1);
        } else {
            const int hash = hashAt(input, inPos, n);
            const int previous = lastSeen[hash];  // 16-bit entry, as stored
            int length = 0;
            if (previous != -1 && inPos - previous < kWindow)
                length = matchLength(input, previous, inPos, n);
            lastSeen[hash] = static_cast<std::int16_t>(inPos);
            if (length >= kMinCopy) {
                putWord(output + outPos, static_cast<std::uint16_t>(((inPos - previous) << 4) | (length - kMinCopy)));
                outPos += 2;
                inPos += length;
                control = static_cast<std::uint16_t>((control << 1) | 1);
            } else {
                output[outPos++] = input[inPos++];
                control = static_cast<std::uint16_t>(control << 1);
            }
        }
        ++items;
    }
    putWord(output + controlPos, static_cast<std::uint16_t>(control << (16 - items)));

    if (outPos > n) {
        if (n > 0)
            std::memcpy(output + 1, input, static_cast<size_t>(n));
        output[0] = kFlagStored;
        outPos = n + 1;
    }
    return static_cast<std::uint16_t>(outPos);
}

std::uint16_t QCLLZRWDecompress(const std::uint8_t* block, std::uint8_t* output, std::uint16_t blockLength) {
    if (blockLength == 0)
        QCLRaiseCorruptBlock();
    if (block[0] == kFlagStored) {
        const int length = blockLength - 1;
        if (length > QCLLZRWMaxInput)
            QCLRaiseCorruptBlock();
        if (length > 0)
            std::memcpy(output, block + 1, static_cast<size_t>(length));
        return static_cast<std::uint16_t>(length);
    }
    return static_cast<std::uint16_t>(BlockReader(block, blockLength, output, QCLLZRWMaxInput).run());
}
