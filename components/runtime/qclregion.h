// Region shapes and frames of the component library: window regions of
// decorative shapes (star, shields, diamond, octagon, comb, rectangles with a
// nose, think bubbles) and painters that draw matching two-tone or
// single-colour borders of the same shapes on a canvas.
//
// Geometry: rectangles are left, top, right, bottom with right and bottom
// exclusive; w and h are the rectangle's width and height; w / 2 truncates;
// products with fractions round to the nearest integer, halves to even.
// Polygons use the alternate fill mode.
//
// Tricky points:
// - Every builder returns a new region the caller owns; a region handed to
//   a window with SetWindowRgn belongs to the window: release() it then.
// - The shields are placed at 0,0 whatever the rectangle's left and top.
// - The bubble angles use 1.57, not pi / 2, on purpose; a bubble count below
//   1 gives no bubbles (the shrunk shape alone).
// - Frame painters change the canvas's pen colour, and give back the DC's
//   clip region as they found it (the nose and bubble frames clip while
//   they draw).
#pragma once

#include "framework/Graphics.h"
#include "framework/Win32Handles.h"

#include <vector>

enum TQCLRegionShape {
    rsRect, rsRoundRect, rsBitmap, rsNoseRect, rsRoundNoseRect, rsElliptic, rsStar, rsRoundShield,
    rsSharpShield, rsDiamond, rsOctagon, rsComb, rsHalfRound, rsUserRegion, rsThinkBubble,
    rsRoundThinkBubble, rsEllipticThinkBubble, rsPointList
};

// The side (first word) and the end of that side (second word) where a nose
// or the bubbles sit.
enum TQCLExtPos {
    epLeftTop, epTopLeft, epTopRight, epRightTop, epRightBottom, epBottomRight, epBottomLeft, epLeftBottom
};

enum TQCLRegionBorderStyle {
    rbNone, rbLowered, rbRaised, rbSingle, rbSingleRaised, rbSingleLowered, rbRaisedpsb, rbLoweredpsb
};

// Region builders.
win32::RegionHandle QCLCreateDiamondRgn(const TRect& R);
win32::RegionHandle QCLCreateStarRgn(const TRect& R);
win32::RegionHandle QCLCreateOctagonRgn(const TRect& R);
win32::RegionHandle QCLCreateCombRgn(const TRect& R);
win32::RegionHandle QCLCreateRoundShieldRgn(const TRect& R);
win32::RegionHandle QCLCreateSharpShieldRgn(const TRect& R);
win32::RegionHandle QCLCreateNoseRectRgn(const TRect& R, int Size, TQCLExtPos Pos);
win32::RegionHandle QCLCreateRoundNoseRectRgn(const TRect& R, int Size, int EllipseWidth, int EllipseHeight,
                                              TQCLExtPos Pos);
win32::RegionHandle QCLCreateThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos);
win32::RegionHandle QCLCreateRoundThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos,
                                                 int EllipseWidth, int EllipseHeight);
win32::RegionHandle QCLCreateEllipticThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos);

// The pieces of the shapes, exposed for the region objects and for tests.
namespace qclregion {
// The rectangle less Size on the side and the end that Pos names.
TRect ShrinkForExtension(const TRect& R, int Size, TQCLExtPos Pos);
// The nose triangle: the tip, then the two base points.
std::vector<TPoint> NosePoints(const TRect& Shrunk, int Size, int BaseOffset, TQCLExtPos Pos);
// The bubble circles (k = 0 .. Count + 2) as bounding boxes; none below count 1.
std::vector<TRect> BubbleCircles(const TRect& Shrunk, int Size, int Count, TQCLExtPos Pos);
std::vector<TPoint> StarPoints(const TRect& R);
std::vector<TPoint> DiamondPoints(const TRect& R);
std::vector<TPoint> OctagonPoints(const TRect& R);
std::vector<TPoint> CombPoints(const TRect& R);
}  // namespace qclregion

// Frame painters: canvas, rectangle, light, shadow and single colour, style.
void QCLFrameRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameRoundRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style, int EllipseWidth, int EllipseHeight);
void QCLFrameEllipticRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style);
void QCLFrameHalfRoundRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style);
void QCLFrameDiamondRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style);
void QCLFrameStarRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameOctagonRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style);
void QCLFrameCombRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style);
void QCLFrameRoundShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style);
void QCLFrameSharpShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style);
void QCLFrameNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style, int Size, TQCLExtPos Pos);
void QCLFrameRoundNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                              TQCLRegionBorderStyle Style, int Size, int EllipseWidth, int EllipseHeight,
                              TQCLExtPos Pos);
void QCLFrameThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos);
void QCLFrameRoundThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                 TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos,
                                 int EllipseWidth, int EllipseHeight);
void QCLFrameEllipticThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                    TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos);
// The outline through the points, closed: segments running right or up in
// the light colour, left or down in the shadow colour (the horizontal
// direction decides); rbSingle draws all in the single colour.
void QCLFramePointListRgn(TCanvas* Canvas, const std::vector<TPoint>& Points, TColor Light, TColor Shadow,
                          TColor Single, TQCLRegionBorderStyle Style);
