// General procedures of the component library: LZRW block compression (more
// in qclprocs_lzrw.cpp), rectangle and point arithmetic, numbers and bits,
// program and system folders, path shortening, a busy delay and the trimming
// of a window's system menu.
//
// Arrays are passed as a pointer to the first element and the index of the
// last element (High), not the element count.
#pragma once

#include <cstdint>

// Largest input of one LZRW block, and the largest block it can give.
constexpr int QCLLZRWMaxInput = 32781;
constexpr int QCLLZRWMaxBlock = 32782;

// Compresses inputLength (at most QCLLZRWMaxInput) bytes into one block and
// returns its length. The output buffer must hold inputLength + 6 bytes: the
// compressor notices only past the input length that the block does not shrink.
std::uint16_t QCLLZRWCompress(const std::uint8_t* input, std::uint8_t* output, std::uint16_t inputLength);
// Expands one block into output (room for QCLLZRWMaxInput bytes) and returns
// the number of bytes produced. A block that no compressor can have written
// raises the read error; nothing is written outside the output buffer.
std::uint16_t QCLLZRWDecompress(const std::uint8_t* block, std::uint8_t* output, std::uint16_t blockLength);
