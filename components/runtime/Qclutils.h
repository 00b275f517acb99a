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
//   earlier one: callers that clip themselves clip again afterwards. Their
//   rectangles are logical coordinates, turned into device coordinates for
//   the clip region (windowless controls paint with a moved origin).
// - A packed offset holds x in its low and y in its high 16 bits, unsigned.
// - "Nearest" rounds halves to even; MulDiv is the system's (halves away
//   from zero, divisor 0 gives -1).
#pragma once

#include "components/runtime/Qclgraph.h"
#include "components/runtime/qclprocs.h"

#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Win32Handles.h"

#include <cstdint>
#include <functional>
#include <vector>

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
// The copy through a mask canvas of mode 0x0100 (black text on white: the
// mask's white keeps the target), for callers that hold canvases.
TRect QCLBmpDrawExtMask(TCanvas* Target, const TRect& TargetRect, TCanvas* Source, const TRect& SourceRect,
                        std::uint16_t Mode, TCanvas* MaskCanvas);
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
// A clip region for a rectangle in the DC's logical coordinates. Clip
// regions are in device coordinates, and a windowless control paints on its
// parent's DC with the origin moved to its corner.
win32::RegionHandle QCLCreateClipRegion(HDC DC, const TRect& Rect);
// Clips a DC to the rectangle moved by a packed offset while it lives, then
// removes the clip: the library's clipped routines remove it rather than
// restore the caller's.
class QCLScopedOffsetClip {
public:
    QCLScopedOffsetClip(HDC DC, const TRect& Rect, std::uint32_t Offset);
    ~QCLScopedOffsetClip();
    QCLScopedOffsetClip(const QCLScopedOffsetClip&) = delete;
    QCLScopedOffsetClip& operator=(const QCLScopedOffsetClip&) = delete;

private:
    HDC dc_;
    win32::RegionHandle region_;
};
// Whether a palette should be selected and realised: not when the
// application realises palettes itself on a display of 8 bits or fewer.
bool QCLUsePalette();
// Selects a palette into the canvas as its foreground palette and realises
// it there (nothing for none); it stays selected for the drawing that follows.
void QCLRealizePaletteIn(TCanvas* Canvas, HPALETTE Palette);

// ---------------------------------------------------------------------------
// Gradients

class TQCL3DCaption;
class TQCLGlyphTextLayout;

// The colours of a gradient, in painting order.
using TQCLColorList = std::vector<TColor>;

// Per component start + position * (end - start) / count, truncated toward
// zero; the colours are taken as RGB values as they are.
TColor QCLGradientGetColor(TColor StartColor, TColor EndColor, int Position, int Count);
// Appends `Steps` colours from start to end (system colours resolved). The
// first segment empties the list and starts with the start colour; a
// following segment skips it (it ended the segment before). A one-step first
// segment is the start colour alone.
void QCLGradientCreateColorList(TColor StartColor, TColor EndColor, std::uint8_t Steps, TQCLColorList* List,
                                bool FirstSegment);
// A palette with one entry per colour (PC_NOCOLLAPSE); none for no colours.
win32::PaletteHandle QCLGradientCreatePalette(const TQCLColorList* List);
// Flags: 0x0001 clip to the rectangle (moved by the offset), 0x0004 paint
// through a temporary bitmap, 0x1000 use the palette.
void QCLGradientPaintExt(TCanvas* Canvas, const TRect& Rect, TQCLGradientStyle Style, const TQCLColorList* List,
                         HPALETTE Palette, std::uint16_t Flags, std::uint32_t Offset);
void QCLGradientPaint(TCanvas* Canvas, const TRect& Rect, TColor StartColor, TColor EndColor, std::uint8_t Steps,
                      TQCLGradientStyle Style, std::uint16_t Flags, std::uint32_t Offset);
// Segments from colour i to colour i + 1 for i = 0 .. High - 1, each with
// Steps / High steps, all following segments.
void QCLSuperGradientPaint(TCanvas* Canvas, const TRect& Rect, const TColor* Colors, int High, std::uint8_t Steps,
                           TQCLGradientStyle Style, std::uint16_t Flags, std::uint32_t Offset);

// ---------------------------------------------------------------------------
// Text

// The inner rectangle's size placed in the outer one by the alignment.
TRect QCLAlignRect(TQCLAlignment Alignment, const TRect& Inner, const TRect& Outer);
// Draws the text with the caption's 3D effect (plain DrawTextEx without a
// caption). With dtClip the text is clipped to Clip (or Rect); the clip is
// removed and the character extra set back to 0 afterwards. A rotated
// caption leaves its rotated font as the canvas font.
void QCLDrawTextExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect, UINT Flags,
                    TQCLDrawTextStyles State, const TRect* Clip);
void QCLDrawText(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect, std::uint16_t Flags);
// Measures the text into Rect on the screen's DC (attached to the canvas for
// the call; the canvas must hold no DC of its own). Right and Bottom grow by
// 2 * (Margin + 1). A rotated caption gets the position where the rotated
// text is centred in its box.
void QCLDrawTextCalcExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption, TRect& Rect, TFont* Font,
                        bool MultiLine, bool ShowAccelChar, int Margin, UINT Flags);
void QCLDrawTextCalc(const AnsiString& Text, TQCL3DCaption* Caption, TRect& Rect, TFont* Font, bool MultiLine,
                     bool ShowAccelChar, int Margin, UINT Flags);
TRect QCLAlignTextRect(TQCLAlignment Alignment, const AnsiString& Text, TQCL3DCaption* Caption, const TRect& Rect,
                       TFont* Font, bool MultiLine, bool ShowAccelChar, UINT Flags);
// A rotated text position as the 16-bit caption position holds it: a
// slightly negative result is 0, not a position near 65535.
std::uint16_t QCLClampTextPos(long long value);
// What the 3D effect adds to the measured width and height.
int QCL3DTextExtra(const TQCL3DCaption* Caption);

struct TQCLTextGlyphRects {
    TRect Union;
    TRect Text;
    TRect Glyph;
    TRect Unused;  // always empty
};
// Lays out a caption beside a glyph and draws both (nothing with
// dtCalculate); GlyphRect receives the focus rectangle.
TQCLTextGlyphRects QCLDrawTextAndGlyphExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption,
                                          const TRect& Rect, TCanvas* GlyphCanvas, TRect& GlyphRect,
                                          TCanvas* MaskCanvas, TColor TransparentColor, TQCLGlyphTextLayout* Layout,
                                          bool MultiLine, bool ShowAccelChar, bool TransparentGlyph,
                                          TQCLDrawTextStyles State, UINT Flags);
TQCLTextGlyphRects QCLDrawTextAndGlyph(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption,
                                       const TRect& Rect, TBitmap* Glyph, TBitmap* Mask, TQCLGlyphTextLayout* Layout,
                                       bool MultiLine, bool ShowAccelChar, bool TransparentGlyph,
                                       TQCLDrawTextStyles State, UINT Flags);

// ---------------------------------------------------------------------------
// Fonts and button faces

bool QCLIsTrueTypeFont(TFont* Font);
bool QCLIsTrueTypeFontCheck(TCanvas* Canvas);
int QCLGetFontHeight(TFont* Font);
int QCLGet3DTextWidth(const AnsiString& Text, TQCL3DCaption* Caption, TFont* Font);
int QCLGet3DTextHeight(TQCL3DCaption* Caption, TFont* Font);
// Paints the face and frame; Rect becomes the area for caption and glyph.
// Flags: 0x01 corner pixels, 0x02 focused, 0x04 Win40 frame, 0x08 sunken
// edge when down, 0x10 fill the middle of the first edge, 0x20 outer frame.
bool QCLDrawBtnFace(TCanvas* Canvas, bool Plain, TRect& Rect, TQCLUserButtonStyle Style, TQCLButtonState State,
                    std::uint16_t Flags, TColor Color);
bool QCLDrawBtnIsFlat(TQCLUserButtonStyle Style);

// ---------------------------------------------------------------------------
// Window placement, form effects and conversions (Qclutils_forms.cpp)

enum TQCLDlgPosRel : std::uint8_t { brScreen, brScreenWorkArea, brMainForm, brActiveWindow };
enum TQCLDlgPosition : std::uint8_t {
    bpCustom, bpTopLeft, bpTopCenter, bpTopRight, bpCenterLeft, bpCenter, bpCenterRight, bpBottomLeft, bpBottomCenter,
    bpBottomRight
};

TRect QCLDlgGetTargetRect(TQCLDlgPosRel Target);
// Where QCLPositionWindow puts a w x h window in the target on a screen of
// the given size: by position, then kept inside the screen's width and
// height against the target's far edges, never negative.
TPoint QCLCalcWindowPosition(const TRect& Target, TQCLDlgPosition Position, int Width, int Height, int ScreenWidth,
                             int ScreenHeight);
// Moves the window (size, Z order and activation unchanged).
void QCLPositionWindow(HWND Window, const TRect& Target, TQCLDlgPosition Position, bool Unused = false);
// Centre of the screen (upper third with `Upper`), limited to the screen.
TPoint QCLCalcCenterWindow(int Width, int Height, int ScreenWidth, int ScreenHeight, bool Upper);
void QCLCenterWindow(HWND Window, bool Upper);
void QCLCenterChildWindow(HWND Parent, HWND Child, bool Unused = false);
int QCLCenterChild(TCustomForm* Parent, TCustomForm* Child, bool ShowModally);
void QCLCenterForm(TCustomForm* Form);
// Creates a form with the owner, shows it modally, frees it; the modal result.
int QCLShowModal(const std::function<TCustomForm*(TComponent*)>& CreateForm, TComponent* Owner);
void QCLCheckFormSysMenu(TCustomForm* Form, TQCLSysMenuEntries Entries);
void QCLCheckApplicationSysMenu(TQCLSysMenuEntries Entries);
// Brings the other running instance forward. Blanks this application
// window's title for good (so the search does not find itself).
void QCLActivatePrevInstance();
// Processes messages until the time has passed or the application ends.
void QCLWait(unsigned Milliseconds);
bool QCLIsChild(TControl* Control, TControl* Parent);
// Growing focus rectangles on the screen (XOR, drawn twice so nothing stays).
void QCLExplodeForm(TCustomForm* Form);
void QCLExplodeFormExt(TCustomForm* Form, int X, int Y, int Steps, int Speed);
void QCLExplodeForm2(TCustomForm* Form);
void QCLExplodeFormExt2(TCustomForm* Form, int X, int Y, int Steps, int BoxWidth, int BoxHeight, int Speed,
                        bool Flying);

// Text forms: "l,t,r,b", "[x,y]" and "Name,Size,Colour,Bold,Italic,Underline,StrikeOut".
AnsiString QCLRectToString(const TRect& Rect);
// Not exactly 4 fields: (0, 0, 0, 0); a field that is no integer reads 0.
TRect QCLStringToRect(const AnsiString& Text);
AnsiString QCLPointToString(const TPoint& Point);
// Reads what QCLPointToString writes; (0, 0) unless the first delimiter lies
// inside the text; each part trimmed of brackets and blanks, 0 if no integer.
TPoint QCLStringToPoint(const AnsiString& Text);
AnsiString QCLFontToString(TFont* Font);
// Not exactly 7 fields: the font stays. All fields are checked before the
// font changes; a style field that is no integer raises EConvertError.
void QCLStringToFont(const AnsiString& Text, TFont* Font);
void QCLParseToStrList(const AnsiString& Text, char Delimiter, TStrings* Strings);
// The divisors of n in ascending order (nothing for n below 2).
void QCLGetDivider(TStrings* List, int Number);

// Custom colours (name=value lines) in an INI file or a registry INI file;
// other objects change nothing.
void QCLLoadCustomColorList(TObject* Ini, const AnsiString& Section, TStrings* Strings);
void QCLSaveCustomColorList(TObject* Ini, const AnsiString& Section, TStrings* Strings);
void QCLLoadCustomColorFromIniFile(const AnsiString& FileName, const AnsiString& Section, TStrings* Strings);
void QCLSaveCustomColorToIniFile(const AnsiString& FileName, const AnsiString& Section, TStrings* Strings);
void QCLLoadDelphiCustomColor(TStrings* Strings);
void QCLSaveDelphiCustomColor(TStrings* Strings);
