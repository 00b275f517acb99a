// Stream functions of the component library: compressed streams made of LZRW
// blocks, and the fixed fields of its container and item records.
//
// Compressed stream: a signed 32-bit total (the sum of chunk size + 4 over all
// chunks, back-patched), then per chunk a signed 32-bit size and one LZRW
// block of at most 32,781 input bytes. All numbers are little-endian.
//
// Readers take the stream as untrusted: a short read, a count or size below 0
// or beyond what remains, and a corrupt block raise EReadError; nothing is
// allocated from a size before it is checked. A compressed stream can expand
// about 800-fold, so its output is bounded too: no chunk gives more than one
// block's input (32,781 bytes) and the whole no more than a stated cap; a
// string-list field also bounds its number of lines, which cost far more
// memory than their bytes.
#pragma once

#include "framework/Classes.h"

#include <cstdint>

class TQCLWave;
class TBitmap;  // framework/Graphics.h, needed only by the bitmap fields

// Compresses count bytes from the source's position on into destination.
void SaveCompressedStream(TStream* Source, TStream* Dest, int64_t Count);
// The most bytes one compressed stream may expand to: far beyond any bitmap or
// text a record holds, and well within what the 32-bit program can allocate.
constexpr int64_t QCLMaxExpandedStream = 64 * 1024 * 1024;
// The most text and lines a string-list field may hold.
constexpr int64_t QCLMaxStringListBytes = 16 * 1024 * 1024;
constexpr int64_t QCLMaxStringListLines = 1024 * 1024;

// Expands one compressed stream from the source's position, appending to Dest.
// Raises EReadError before Dest would pass MaxOutput bytes of expanded data.
void LoadCompressedStream(TStream* Source, TStream* Dest, int64_t MaxOutput = QCLMaxExpandedStream);

void stWriteInteger(TStream* Stream, int32_t Value);
void stWriteWord(TStream* Stream, uint16_t Value);
void stWriteByte(TStream* Stream, uint8_t Value);
// One length byte (the length modulo 256), then that many characters.
void stWriteString(TStream* Stream, const AnsiString& Value);
int32_t stReadInteger(TStream* Stream);
uint16_t stReadWord(TStream* Stream);
uint8_t stReadByte(TStream* Stream);
AnsiString stReadString(TStream* Stream);

// Compressed: a compressed stream of the list's text; plain: a signed 32-bit
// length, then the text (lines ended by CR LF).
void stWriteStringList(TStream* Stream, TStrings* List, bool Compressed);
void stReadStringList(TStream* Stream, TStrings* List, bool Compressed);

// Reads the signed 32-bit length of a plain field and checks it against what
// remains of the stream.
int32_t stReadLength(TStream* Stream);

// A BMP file image of the bitmap: depth selector 0 the bitmap's own depth
// (16 and 32 bits written as 24), 2 one bit, 16 four bits, 256 eight bits; a
// monochrome bitmap always with one bit. The stream is rewound afterwards.
// A bitmap without an image raises "Bitmap image is not valid".
void QCLBmpSaveDIBStream(TStream* Stream, TBitmap* Bitmap, int DepthSelector);
// Compressed: a compressed stream of the BMP image; plain: a signed 32-bit
// length, then the image. Selector -1 uses the bitmap's own saving.
void stWriteBitmap(TStream* Stream, TBitmap* Bitmap, bool Compressed, int DepthSelector);
// A picture whose header claims more pixels than its image holds raises
// EInvalidGraphic before any picture memory is made.
void stReadBitmap(TStream* Stream, TBitmap* Bitmap, bool Compressed);

// Compressed: a compressed stream of the wave's RIFF WAVE image; plain: a
// signed 32-bit length, then the image (qclstreamutils_wave.cpp).
void stWriteWave(TStream* Stream, TQCLWave* Wave, bool Compressed);
void stReadWave(TStream* Stream, TQCLWave* Wave, bool Compressed);
