// General procedures of the component library: LZRW block compression (more
// in qclprocs_lzrw.cpp), rectangle and point arithmetic, numbers and bits,
// program and system folders, path shortening, a busy delay and the trimming
// of a window's system menu.
//
// Arrays are passed as a pointer to the first element and the index of the
// last element (High), not the element count.
#pragma once

#include "framework/System.h"

#include <cstdint>
#include <string>

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

// Numbers and bits.
int QCLMax(const int* values, int high);
int QCLMin(const int* values, int high);
long double QCLMaxR(const long double* values, int high);
long double QCLMinR(const long double* values, int high);
int QCLMidI(int a, int b);
int QCLExp(int a, int n);
void QCLSwapInt(int& a, int& b);
void QCLSwapString(std::string& a, std::string& b);
// With value false the bit is toggled, not cleared (callers rely on it).
void QCLSetBit(std::uint8_t& byte, int bit, bool value);
void QCLSetBitUpTo(std::uint8_t& byte, int n);
bool QCLGetBit(std::uint8_t byte, int bit);

// Folders and files.
enum TQCLPathPrefix { ppWindows, ppSystem, ppProgram, ppFixed };
std::string QCLAppPath();
std::string QCLAppIniName();
std::string QCLExtractFileName(const std::string& path);
std::string QCLWindowsDirectory();
std::string QCLSystemDirectory();
std::string QCLCreatePathPrefix(TQCLPathPrefix prefix, bool trailingBackslash);
std::string QCLShrunkFileName(const std::string& path, int maxLength);
// Busy wait: polls the tick count, processes no messages.
void QCLDelay(unsigned milliseconds);

// System menu entries (bits 0 to 6 of TQCLSysMenuEntries).
enum TQCLSysMenuEntry { smRestore, smMove, smSize, smMinimize, smMaximize, smClose, smSwitch };
using TQCLSysMenuEntries = TSet<TQCLSysMenuEntry>;
// Deletes the entries not in the set from a window's system menu, by
// position, for the normal or the short (tool window) layout.
void QCLCheckSystemMenu(TQCLSysMenuEntries entries, HMENU menu, bool shortLayout);

// Rectangles (Left, Top, Right, Bottom) and points.
void QCLAdjustRect(TRect& r, int dx, int dy);
void QCLAdjustRectExt(TRect& r, int dl, int dt, int dr, int db);
TRect QCLExpandRect(const TRect& r, int n);
void QCLGetRectWH(const TRect& r, int& w, int& h);
// Both corners of a inside b by the system's test (b's right and bottom edges excluded).
bool QCLRectinRect(const TRect& a, const TRect& b);
// The source's size scaled to fit the target, at the target's top-left. A
// source of zero width or height gives an empty rectangle there.
void QCLAffineRect(const TRect& source, const TRect& target, TRect& result);
// The size of r rotated by angle degrees, as a rectangle at (0, 0).
void QCLCalcRotRect(TRect& r, int angle);
int QCLRotatedXPos(int angle, int a, int b);
int QCLRotatedYPos(int angle, int a, int b);
// The mean of all points 0..High (integer division toward zero); result
// unchanged for an empty array.
void QCLMidpoint(const TPoint* points, int high, TPoint& result);
void QCLOffsetPoints(TPoint* points, int high, int dx, int dy);
void QCLNullPoints(TPoint* points, int high);
