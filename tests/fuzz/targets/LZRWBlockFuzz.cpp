// One LZRW block: any bytes either expand within the output buffer or raise
// the read error; and any input compresses to a block that expands back to it.
#include "tests/fuzz/FuzzTarget.h"

#include "components/runtime/qclprocs.h"
#include "framework/SysUtils.h"

#include <cstring>
#include <vector>

BRIM_FUZZ_TARGET(lzrw_block) {
    const std::size_t blockLength = size < 0xFFFF ? size : 0xFFFF;
    std::vector<std::uint8_t> block(data, data + blockLength);  // exactly sized, so a read past it is seen
    std::vector<std::uint8_t> output(QCLLZRWMaxInput);
    try {
        const std::uint16_t produced =
            QCLLZRWDecompress(block.data(), output.data(), static_cast<std::uint16_t>(blockLength));
        brimfuzz::check(produced <= QCLLZRWMaxInput, "a block expands to at most one input's bytes");
    } catch (const EReadError&) {
    }

    const std::size_t inputLength = size < static_cast<std::size_t>(QCLLZRWMaxInput) ? size : QCLLZRWMaxInput;
    std::vector<std::uint8_t> compressed(inputLength + 6);
    const std::uint16_t length = QCLLZRWCompress(data, compressed.data(), static_cast<std::uint16_t>(inputLength));
    brimfuzz::check(length <= inputLength + 1, "a block never grows past the stored form");
    std::vector<std::uint8_t> expanded(QCLLZRWMaxInput);
    const std::uint16_t back = QCLLZRWDecompress(compressed.data(), expanded.data(), length);
    brimfuzz::check(back == inputLength && std::memcmp(expanded.data(), data, inputLength) == 0,
                    "a compressed block expands to its input");
}
