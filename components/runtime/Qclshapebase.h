// Shape outlines (unit Qclshapebase): the shape types, the outline of a
// shape as a point list (QCLShapeCalc), point offsets, the light colour
// pairs and the tile-mode drawing bit.
//
// Tricky points:
// - The working rectangle is relative to the shape rectangle's corner and
//   leaves the shadow depth d free at the right and bottom, (0, 0, W - d,
//   H - d), so shape and shadow (drawn moved by (d, d)) both fit; a square
//   shape is cut to its shorter side, centred.
// - Without teeth the list holds the outer outline and then the same
//   vertices moved inward by half the line width (the inner outline).
// - With teeth the list holds three plain sides, the zig-zag and a closing
//   point. With SetPerCount the teeth's Width (or Height) is set from the
//   side's length without notification. A divisor of 0 or less (Count with
//   SetPerCount, else the Width or Height) gives the plain outline.
// - The shape type is a scoped enumeration: the framework's own shape type
//   uses three of its names.
#pragma once

#include "components/runtime/Qclgraph.h"
#include "components/runtime/qclpointlist.h"

#include "framework/Graphics.h"

#include <cstdint>

class TQCLTeeth;
class TQCLSimpleBevel;
class TQCLShadow;

enum class TQCLShapeType : std::uint8_t {
    stEllipse, stRectangle, stRoundRect, stDirectUp, stDirectRight, stDirectDown, stDirectLeft, stDiamond, stComb,
    stOctagon, stStar
};
enum TQCLLightColor : std::uint8_t { lcNone, lcBlue, lcRed, lcGreen, lcYellow, lcMarine, lcPurple };

void QCLShapeCalc(const TRect& Rect, TQCLShapeType Shape, TQCLTeeth* Teeth, bool Square, TBrush* Brush,
                  int RoundPercent, TQCLSimpleBevel* Bevel, TQCLShadow* Shadow, TQCLPointList* Points);
// The line width of a shape's outline: 1 with teeth or without a bevel.
int QCLShapeLineWidth(TQCLTeeth* Teeth, TQCLSimpleBevel* Bevel);
// Whether the teeth give a toothed outline (a divisor above 0).
bool QCLTeethActive(const TQCLTeeth* Teeth);
// Number of vertices of the outer outline of a shape type (without teeth).
int QCLShapeOuterCount(TQCLShapeType Shape);
void QCLOffsetPointArray(TPoint* Points, int Count, int DX, int DY);
void QCLOffsetPointList(TQCLPointList* Points, int DX, int DY);
// Light and dark colour of a light colour; other values leave both alone.
void QCLGetLightColors(TQCLLightColor Light, TColor& LightColor, TColor& DarkColor);
std::uint16_t QCLTileMode2DSF(TQCLTileMode Mode);
