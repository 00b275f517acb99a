// Painting a shape.
#include "components/runtime/Qclgrapa.h"

#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclclass.h"

#include "framework/Win32Handles.h"

#include <memory>
#include <vector>

namespace {

std::vector<POINT> pointsOf(TQCLPointList* list, int from, int count) {
    std::vector<POINT> out;
    for (int i = from; i < from + count && i < list->GetCount(); ++i) {
        TPoint p;
        list->GetPoint(i, p);
        out.push_back(POINT(p));
    }
    return out;
}

// The shape's outline painted with whatever pen and brush the DC holds.
void paintOutline(HDC dc, TQCLShapeType shape, const std::vector<POINT>& p, bool toothed, int dx, int dy) {
    if (p.empty()) return;
    if (!toothed && (shape == TQCLShapeType::stEllipse || shape == TQCLShapeType::stRectangle || shape == TQCLShapeType::stRoundRect) && p.size() >= 2) {
        const int l = p[0].x + dx, t = p[0].y + dy, r = p[1].x + dx, b = p[1].y + dy;
        if (shape == TQCLShapeType::stEllipse) Ellipse(dc, l, t, r, b);
        else if (shape == TQCLShapeType::stRectangle) Rectangle(dc, l, t, r, b);
        else RoundRect(dc, l, t, r, b, p.size() > 2 ? p[2].x : 0, p.size() > 2 ? p[2].y : 0);
        return;
    }
    std::vector<POINT> moved = p;
    for (POINT& q : moved) {
        q.x += dx;
        q.y += dy;
    }
    Polygon(dc, moved.data(), static_cast<int>(moved.size()));
}

void paintShadow(HDC dc, TQCLShadow& shadow, TQCLShapeType shape, const std::vector<POINT>& outline, bool toothed) {
    const int d = shadow.EffectiveDepth();
    if (d == 0) return;
    win32::SelectedObject pen(dc, GetStockObject(NULL_PEN));
    win32::BrushHandle brush;
    if (shadow.GetStyle() == hssTracing && QCLApplication) {
        TBitmap* pattern = QCLApplication->GetBrushBitmap(shadow.GetColor());
        brush.reset(CreatePatternBrush(pattern->GetHandle()));
    } else {
        brush.reset(CreateSolidBrush(ColorToRGB(shadow.GetColor())));
    }
    win32::SelectedObject selected(dc, brush.get());
    const int rop = SetROP2(dc, shadow.GetStyle() == hssTracing ? R2_MASKPEN : R2_COPYPEN);
    paintOutline(dc, shape, outline, toothed, d, d);
    SetROP2(dc, rop);
}

// The edges of the inner outline facing up and left in one colour, the
// others in the second colour.
void paintRelief(HDC dc, TQCLShapeType shape, const std::vector<POINT>& inner, int width, TColor upLeft,
                 TColor downRight) {
    win32::PenHandle first(CreatePen(PS_SOLID, width, ColorToRGB(upLeft)));
    win32::PenHandle second(CreatePen(PS_SOLID, width, ColorToRGB(downRight)));
    if (inner.size() < 2) return;
    if (shape == TQCLShapeType::stEllipse || shape == TQCLShapeType::stRoundRect || shape == TQCLShapeType::stRectangle) {
        const POINT a = inner[0], b = inner[1];
        if (shape == TQCLShapeType::stRectangle) {
            std::vector<POINT> corners = {{a.x, b.y - 1}, {a.x, a.y}, {b.x - 1, a.y}, {b.x - 1, b.y - 1}};
            win32::SelectedObject one(dc, first.get());
            Polyline(dc, corners.data(), 3);
            win32::SelectedObject two(dc, second.get());
            Polyline(dc, corners.data() + 2, 2);
            POINT bottom[2] = {{b.x - 1, b.y - 1}, {a.x, b.y - 1}};
            Polyline(dc, bottom, 2);
            return;
        }
        // Arcs run counter-clockwise: top right to bottom left is the upper-left half.
        {
            win32::SelectedObject one(dc, first.get());
            Arc(dc, a.x, a.y, b.x, b.y, b.x, a.y, a.x, b.y);
        }
        win32::SelectedObject two(dc, second.get());
        Arc(dc, a.x, a.y, b.x, b.y, a.x, b.y, b.x, a.y);
        return;
    }
    for (size_t i = 0; i < inner.size(); ++i) {
        const POINT p0 = inner[i], p1 = inner[(i + 1) % inner.size()];
        // Outward normal of a clockwise outline on the screen: (dy, -dx).
        const int nx = p1.y - p0.y, ny = -(p1.x - p0.x);
        win32::SelectedObject pen(dc, nx + ny < 0 ? first.get() : second.get());
        MoveToEx(dc, p0.x, p0.y, nullptr);
        LineTo(dc, p1.x, p1.y);
    }
}

}  // namespace

void QCLShapeDraw(const TRect& Rect, TCanvas* Canvas, TQCLShapeType Shape, TQCLTeeth* Teeth, TQCLPointList* Points,
                  bool Square, TBrush* Brush, int RoundPercent, TQCLSimpleBevel* Bevel, TQCLShadow* Shadow,
                  TBitmap* FillBitmap, TColor TransparentColor, TColor BackgroundColor) {
    if (!Canvas) return;
    TQCLShadow noShadow;
    noShadow.SetDepth(0);
    TQCLShadow& shadow = Shadow ? *Shadow : noShadow;
    std::unique_ptr<TQCLPointList> own;
    TQCLPointList* list = Points;
    if (!list) {
        own = std::make_unique<TQCLPointList>();
        list = own.get();
        QCLShapeCalc(Rect, Shape, Teeth, Square, Brush, RoundPercent, Bevel, &shadow, list);
    }
    const int count = list->GetCount();
    // A toothed outline has the zig-zag; a plain one its outer and inner halves.
    const bool toothed = QCLTeethActive(Teeth);
    const int outerCount = toothed ? count : count / 2;
    const std::vector<POINT> relative = pointsOf(list, 0, outerCount);
    std::vector<POINT> outline = relative, inner = pointsOf(list, outerCount, count - outerCount);
    auto toRect = [&](std::vector<POINT>& pts, bool radius) {
        for (size_t i = 0; i < pts.size(); ++i) {
            if (radius && Shape == TQCLShapeType::stRoundRect && i == 2) continue;
            pts[i].x += Rect.Left;
            pts[i].y += Rect.Top;
        }
    };
    toRect(outline, !toothed);
    toRect(inner, !toothed);
    HDC dc = Canvas->GetHandle();
    paintShadow(dc, shadow, Shape, outline, toothed);

    const int lineWidth = QCLShapeLineWidth(Teeth, Bevel);
    const bool normal = !Bevel || Bevel->GetStyle() == sbNormal;
    const TColor outlineColour = Bevel && normal ? Bevel->GetColor() : (Brush ? Brush->GetColor() : clBlack);
    win32::PenHandle pen(CreatePen(PS_SOLID, lineWidth, ColorToRGB(outlineColour)));
    if (FillBitmap && !FillBitmap->GetEmpty()) {
        // The shape in white on the background colour masks the picture.
        const int w = Rect.Width(), h = Rect.Height();
        auto mask = std::make_unique<TBitmap>();
        QCLBmpCreateFromRect(mask.get(), TRect(0, 0, w, h), BackgroundColor);
        {
            HDC m = mask->GetCanvas()->GetHandle();
            win32::SelectedObject noPen(m, GetStockObject(NULL_PEN));
            win32::SelectedObject white(m, GetStockObject(WHITE_BRUSH));
            std::vector<POINT> local = relative;
            paintOutline(m, Shape, local, toothed, 0, 0);
        }
        auto picture = std::make_unique<TBitmap>();
        picture->SetSize(w, h);
        QCLBmpDraw(picture->GetCanvas(), TRect(0, 0, w, h), FillBitmap, qclmode::Stretch, 0);
        QCLMaskBmpDraw(Canvas, Rect, mask.get(), picture.get(), BackgroundColor, clWhite);
        win32::SelectedObject outlinePen(dc, pen.get());
        win32::SelectedObject clear(dc, GetStockObject(NULL_BRUSH));
        paintOutline(dc, Shape, outline, toothed, 0, 0);
    } else {
        HBRUSH fill = Brush ? Brush->GetHandle() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        if (Brush && Brush->GetStyle() != bsSolid && Brush->GetStyle() != bsClear) {
            SetBkColor(dc, ColorToRGB(TransparentColor));
            SetBkMode(dc, OPAQUE);
        }
        win32::SelectedObject outlinePen(dc, pen.get());
        win32::SelectedObject selected(dc, fill);
        paintOutline(dc, Shape, outline, toothed, 0, 0);
    }
    if (Bevel && Bevel->GetWidth() != 0 && !normal && !toothed) {
        const bool inset = Bevel->GetStyle() == sbInset;
        paintRelief(dc, Shape, inner, Bevel->GetWidth(), inset ? Bevel->GetShadowColor() : Bevel->GetLightColor(),
                    inset ? Bevel->GetLightColor() : Bevel->GetShadowColor());
    }
}
