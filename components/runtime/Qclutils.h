// The component library's drawing toolbox (unit Qclutils): stateless
// routines on a framework canvas or bitmap. Frames, arrows and bitmap copies
// live in Qclutils_frames.cpp and Qclutils_bitmaps.cpp; text, gradients and
// button faces in Qclutils_text.cpp, Qclutils_gradient.cpp and
// Qclutils_button.cpp; window placement and text forms in Qclutils_forms.cpp.
//
// Tricky points:
// - The routines draw with raw GDI on Canvas->Handle; every pen, brush,
//   region, DC and bitmap they make is released on every exit.
// - Routines that clip (clipped copies, clip fills, gradients, clipped text)
//   remove the clip region when they are done instead of restoring an
//   earlier one: callers that clip themselves clip again afterwards.
// - A packed offset holds x in its low and y in its high 16 bits, unsigned.
// - "Nearest" rounds halves to even; MulDiv is the system's (halves away
//   from zero, divisor 0 gives -1).
#pragma once

#include "components/runtime/Qclgraph.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"

#include <cstdint>

// ---------------------------------------------------------------------------
// Frames and arrows

// A bevel of the width inside the rectangle, which shrinks by the width on
// every side (one more for the frame styles); false for width 0, bvNone and
// bvShadow, which draw nothing.
bool QCLDrawFrame3D(TCanvas* Canvas, TRect& Rect, TQCLBevelStyle Style, TColor LightColor, TColor ShadowColor, int Width);
// A frame with a drop shadow of `Depth` at the right and bottom.
bool QCLDrawFrameShadow(TCanvas* Canvas, TRect& Rect, TColor FrameColor, TColor ShadowColor, TColor CornerColor,
                        int Depth, int FrameWidth, bool Transparent, std::uint16_t Unused = 0);
// A standard frame from system edges; the rectangle shrinks by what was drawn.
bool QCLDrawStdFrame(TCanvas* Canvas, TRect& Rect, TQCLBorderStyle Style, std::uint16_t ExtraFlags);
// The width of a standard frame: 0, 1 (single styles) or 2.
int QCLDrawStdFrameExt(TQCLBorderStyle Style);
void QCLDrawBorder(TCanvas* Canvas, const TRect& Rect, TColor TopLeft, TColor BottomRight);
int QCLGetCtrlBorderWidth(bool Ctl3D, TFormBorderStyle BorderStyle);
// A filled arrow of size 2..15 (others draw nothing); a disabled one is
// embossed in the highlight text colour below the grey text colour.
void QCLDrawTriangle(TCanvas* Canvas, int X, int Y, int Size, TColor Color, bool Down, bool Enabled);

// ---------------------------------------------------------------------------
// Bitmaps

void QCLBmpCreateFromRect(TBitmap* Bitmap, const TRect& Rect, TColor Color);
// Relief picture for disabled glyphs: white, button highlight, button shadow
// or black by brightness against the average; the colour of pixel (0, 0)
// is the background and stays.
void QCLBmpCreateGrayscale(TBitmap* Target, TBitmap* Source);
void QCLBmpCreateMasks(TBitmap* Source, TBitmap* Mask, TBitmap* Image, TColor TransparentColor);
// Image: the area with the transparent colour turned black; mask: monochrome,
// white where the colour was.
void QCLBmpCreateMasksExt(TCanvas* Canvas, const TRect& Rect, TBitmap* Mask, TBitmap* Image, TColor TransparentColor);
// The core copy by mode; returns the area covered (the target rectangle when
// the placement has no size). An empty source in the aspect stretch modes
// draws nothing and returns an empty rectangle at the target's corner.
TRect QCLBmpDrawExt(TCanvas* Target, const TRect& TargetRect, TCanvas* Source, const TRect& SourceRect,
                    std::uint16_t Mode, TColor Color, HPALETTE Palette, TBitmap* BitmapOrMask);
TRect QCLBmpDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, std::uint16_t Mode, TColor Color);
void QCLBmpClipDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, std::uint16_t Mode, std::uint32_t Offset,
                    TColor Color);
void QCLBmpClipDrawExt(TCanvas* Canvas, const TRect& Rect, TCanvas* Source, const TRect& SourceRect,
                       std::uint16_t Mode, std::uint32_t Offset, TColor Color, TBitmap* BitmapOrMask);
void QCLBmpStretchDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap);
void QCLCopyBmpSize(TBitmap* Source, TBitmap* Target);
// Composes the bitmap onto the background through the mask colour, then
// draws the background transparently by TransparentColor. Works on copies:
// the caller's two bitmaps stay as they are.
void QCLMaskBmpDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TBitmap* Background, TColor TransparentColor,
                    TColor MaskColor);
// Embossed disabled picture: the target is filled with the source's
// transparent colour, the shape drawn in button highlight at (x+1, y+1) and
// in button shadow at (x, y).
void QCLBmpDrawDisabledState(TBitmap* Target, TBitmap* Source, int X, int Y);
void QCLIcon2Bitmap(TBitmap* Bitmap, TIcon* Icon, TColor Color);
void QCLBmpFromDesktop(TBitmap* Bitmap, const TRect& Rect);
void QCLFillPattern(HDC DC, const TRect& Rect, TBitmap* Bitmap);
void QCLFillTexture(HDC DC, const TRect& Rect, TBitmap* Bitmap, const TPoint& Origin);

// The packed offset's two halves.
inline int QCLOffsetX(std::uint32_t offset) { return static_cast<int>(offset & 0xFFFF); }
inline int QCLOffsetY(std::uint32_t offset) { return static_cast<int>(offset >> 16); }
// Whether a palette should be selected and realised: not when the
// application realises palettes itself on a display of 8 bits or fewer.
bool QCLUsePalette();
