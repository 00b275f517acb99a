// Painting a shape (unit Qclgrapa): shadow, fill (brush or bitmap through a
// mask of the shape), outline and the inset or offset relief of its bevel.
//
// A given point list is used as it is (moved to the rectangle's corner for
// the painting and moved back afterwards); without one a temporary list is
// filled by QCLShapeCalc. The fill bitmap is never changed: the mask is
// drawn on copies.
#pragma once

#include "components/runtime/Qclshapebase.h"

#include "framework/Graphics.h"

void QCLShapeDraw(const TRect& Rect, TCanvas* Canvas, TQCLShapeType Shape, TQCLTeeth* Teeth, TQCLPointList* Points,
                  bool Square, TBrush* Brush, int RoundPercent, TQCLSimpleBevel* Bevel, TQCLShadow* Shadow,
                  TBitmap* FillBitmap, TColor TransparentColor, TColor BackgroundColor);
