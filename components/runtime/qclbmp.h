// Pixel effects on 24-bit bitmaps (unit qclbmp): mirror, grey scale,
// inversion, brightness (optionally sparing one colour) and alpha blending.
//
// Each routine reads the rows Top..Bottom-1 and pixels Left..Right-1 of a
// source rectangle and writes row k of it at target row Point.Y + k, from
// pixel Point.X on. Source and target may be the same bitmap (an in-place
// effect).
//
// Tricky points:
// - Every bitmap must be 24-bit; another format raises EQCLWrongPixelFormat
//   before anything is written.
// - The rectangle is clipped to the source and the written area to the
//   target, so no rectangle writes outside a bitmap; an empty or inverted
//   rectangle does nothing.
// - The source area is read completely before the target is written, so
//   overlapping areas and mirrors into another bitmap (odd middle line
//   included) come out whole.
// - Grey and blend tables round halves to the even neighbour, computed on
//   integers so the result does not depend on float precision.
#pragma once

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

#include <cstdint>

class EQCLWrongPixelFormat : public Exception {
public:
    using Exception::Exception;
};

void QCLBMPGrayScale(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point);
void QCLBMPInvert(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point);
void QCLBMPBrightness(TBitmap* Source, const TRect& Rect, TBitmap* Target, std::int16_t Brightness, const TPoint& Point);
// Pixels whose three bytes all equal the exception colour are not written.
void QCLBmpBrightnessEC(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point,
                        std::int16_t Brightness, TColor ExceptionColor);
// Mirrors each row left to right.
void QCLBMPFlipVertical(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point);
// Mirrors the rectangle top to bottom (the name is spelled so).
void QCLBMPFlipHorizonzal(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point);
// target = source 2 + (source 1 - source 2) * strength per byte; Rect lies in
// source 1, Point2 in source 2.
void QCLBMPAlphaBlend(TBitmap* Source1, TBitmap* Source2, const TRect& Rect, const TPoint& Point2, TBitmap* Target,
                      float Strength, const TPoint& TargetPoint);

// The grey value of one pixel: 0.3 red + 0.59 green + 0.11 blue, each term
// taken to the nearest integer on its own (at most 254).
int QCLGrayValue(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
