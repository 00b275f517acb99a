// The graphics enumerations of the component library, shared by the drawing
// toolbox (Qclutils), the paint property objects and the controls.
//
// The position of every value is its stored number: streamed properties and
// the drawing routines compare by position, so values are never reordered.
// The bevel style is a scoped enumeration because the framework's panel
// bevels use the same three first names (bvNone, bvLowered, bvRaised).
#pragma once

#include "framework/Classes.h"

#include <cstdint>

enum class TQCLBevelStyle : std::uint8_t { bvNone, bvLowered, bvRaised, bvFrameLowered, bvFrameRaised, bvNormal, bvShadow };
enum TQCLBevelMode : std::uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };
enum TQCLBorderStyle : std::uint8_t {
    lsNone, lsSingle, lsLowered, lsRaised, lsRaisedspb, lsLoweredspb, lsRaisedExt, lsLoweredExt,
    lsFrameInset, lsFrameOffset, lsWindowBorder, lsSingleRaised, lsSingleLowered, lsDoubleRaised, lsDoubleLowered
};
enum TQCLEdgeStyle : std::uint8_t { etRaisedInner, etRaisedOuter, etSunkenInner, etSunkenOuter, etBump, etEtched, etRaised, etSunken };
enum TQCLFrameSide : std::uint8_t { fsBottom, fsLeft, fsRight, fsTop };
using TQCLFrameSides = TSet<TQCLFrameSide>;
enum TQCLShadowStyle : std::uint8_t { hssNone, hssSolid, hssTracing };
enum TQCLOrientation : std::uint8_t { toHorizontal, toVertical };
enum TQCLTextArrange : std::uint8_t { taLeft, taLeftTop, taRight, taRightTop, taTop, taTopLeft, taBottom, taBottomLeft };
enum TQCLArrowPosition : std::uint8_t { apRightText, apLeftText, apRightGlyph, apLeftGlyph };
enum TQCLButtonState : std::uint8_t { bsUp, bsDisabledUp, bsMouseOver, bsOptionSet, bsDown, bsDragOver, bsDropDownOpen, bsDisabledDown };
enum TQCLUserButtonStyle : std::uint8_t {
    ubsAutoDetect, ubsWin31, ubsWin40, ubsDelphi, ubsDelphiFlat, ubsFlat, ubsFlatUnColored, ubsNavigator,
    ubsExplorer, ubsExplorerColored, ubsIntegrated
};
enum TQCLNormalButtonStyle : std::uint8_t { nbsAutoDetect, nbsWin31, nbsWin40 };
enum TQCLAlignment : std::uint8_t {
    agTopLeft, agTopCenter, agTopRight, agCenterLeft, agCenter, agCenterRight, agBottomLeft, agBottomCenter, agBottomRight
};
enum TQCLFillStyle : std::uint8_t { sfNone, sfBrushBitmap, sfBrush, sfBitmap, sfBitmapList, sfGradient };
enum TQCLTileMode : std::uint8_t { tmNone, tmCenter, tmStretch, tmTile };
enum TQCLGradientStyle : std::uint8_t {
    gstHorizontal, gstVertical, gstSquare, gstElliptic, gstTopLeft, gstTopRight, gstBottomLeft, gstBottomRight,
    gstTopLeftDiagonal, gstTopRightDiagonal
};
enum TQCLDrawTextStyle : std::uint8_t {
    dtDisabled, dtEnabled, dt3DDisabled, dtClip, dtAccelChar, dtAutoSize, dtRectText, dtRectGlyph, dtRectGlyphText, dtCalculate
};
// Travels as a 16-bit set: bit n is the value at position n.
using TQCLDrawTextStyles = TSet<TQCLDrawTextStyle>;
enum TQCLGlyphTextFocusStyle : std::uint8_t { fcControl, fcText, fcGlyph, fcGlyphText, fcNone };
enum TQCLThreeDStyle : std::uint8_t {
    tdNone, tdSunken, tdRaised, tdSunkenShadow, tdRaisedShadow, tdPColorSunken, tdPColorRaised, tdShadow, tdOutline,
    tdExtrude, tdExtrudeEnh
};
enum TQCLThreeDOrientation : std::uint8_t { toBottomLeft, toBottomRight, toTopLeft, toTopRight };
enum TQCLDisabledStyle : std::uint8_t { dsAuto, dsStandard, ds3d, dsNone };
enum TQCLTransparentMode : std::uint8_t { tpNone, tpRestoreBack, tpTransparentColor, tpRBTranspColor };
enum TQCLBitmapStyle : std::uint8_t { sbNone, sbAutosize, sbCenter, sbStretch, sbTile, sbKeepAspRatio, sbKeepWidth, sbKeepHeight };
enum TQCLDirection : std::uint8_t { tdRight, tdDown, tdLeft, tdUp };
enum TQCLMeterDirection : std::uint8_t { mdHorizontal, mdVertical, mdHorizontalReverse, mdVerticalReverse };
enum TQCLMeterTextOptions : std::uint8_t { toNoText, toCaption, toPercent };

// The drawing-state bits of a focus style: the text, the glyph or both.
TQCLDrawTextStyles QCLConvertFocusStyle(TQCLGlyphTextFocusStyle style);

// Bits of the bitmap drawing mode word.
namespace qclmode {
constexpr std::uint16_t Clip = 0x0001;
constexpr std::uint16_t Center = 0x0008;
constexpr std::uint16_t Stretch = 0x0010;
constexpr std::uint16_t Tile = 0x0020;
constexpr std::uint16_t TransparentColor = 0x0040;
constexpr std::uint16_t BrushCopy = 0x0080;
constexpr std::uint16_t Mask = 0x0100;
constexpr std::uint16_t KeepHeight = 0x0200;
constexpr std::uint16_t KeepWidth = 0x0400;
constexpr std::uint16_t Fit = 0x0600;
constexpr std::uint16_t Palette = 0x1000;
}  // namespace qclmode

// Who paints a styled title bar or a form background: nobody, the component,
// or the owner through an event.
enum TQCLPaintMode : std::uint8_t { pcNone, pcControl, pcOwnerDraw };
class TCanvas;
using TQCLPaintEvent = TEvent<void(TObject* Sender, TCanvas* Canvas, const TRect& Rect)>;
