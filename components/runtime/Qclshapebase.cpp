// Shape outlines.
#include "components/runtime/Qclshapebase.h"

#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/QCLTeeth.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

int nearest(double v) { return static_cast<int>(Round(v)); }

std::vector<TPoint> outerOutline(TQCLShapeType shape, const TRect& r, int radius) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const int W = R - L, H = B - T, cx = L + W / 2, cy = T + H / 2;
    switch (shape) {
    case TQCLShapeType::stEllipse:
    case TQCLShapeType::stRectangle: return {{L, T}, {R, B}};
    case TQCLShapeType::stRoundRect: return {{L, T}, {R, B}, {radius, radius}};
    case TQCLShapeType::stDirectUp: return {{cx, T}, {R, B}, {L, B}};
    case TQCLShapeType::stDirectRight: return {{L, T}, {R, cy}, {L, B}};
    case TQCLShapeType::stDirectDown: return {{L, T}, {R, T}, {cx, B}};
    case TQCLShapeType::stDirectLeft: return {{R, T}, {L, cy}, {R, B}};
    case TQCLShapeType::stDiamond: return {{cx, T}, {R, cy}, {cx, B}, {L, cy}};
    case TQCLShapeType::stComb: {
        const int c = nearest(H / 5.0);
        return {{cx, T}, {R, T + c}, {R, T + 4 * c}, {cx, B}, {L, T + 4 * c}, {L, T + c}};
    }
    case TQCLShapeType::stOctagon: {
        const double k = 2 + std::sqrt(2.0);
        const int ox = nearest(W / k), oy = nearest(H / k);
        const int lx = nearest(ox * std::sqrt(2.0)), ly = nearest(oy * std::sqrt(2.0));
        return {{L + ox, T}, {L + ox + lx, T}, {R, T + oy}, {R, T + oy + ly},
                {L + ox + lx, B}, {L + ox, B}, {L, T + oy + ly}, {L, T + oy}};
    }
    case TQCLShapeType::stStar: {
        static const double f[10][2] = {{0.5, 0},   {0.65, 0.38}, {1, 0.38}, {0.7, 0.6},  {0.85, 1},
                                        {0.5, 0.75}, {0.15, 1},    {0.3, 0.6}, {0, 0.38}, {0.35, 0.38}};
        std::vector<TPoint> p;
        for (const auto& v : f) p.push_back({L + nearest(v[0] * W), T + nearest(v[1] * H)});
        return p;
    }
    }
    return {};
}

// Three plain sides, the zig-zag and the closing point; false when the
// divisor is 0 or less (no teeth).
bool teethOutline(TQCLTeeth& teeth, const TRect& r, std::vector<TPoint>& out) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const TQCLDirection dir = teeth.GetDirection();
    const bool across = dir == tdDown || dir == tdUp;  // teeth along the bottom or top edge
    const int side = across ? R - L : B - T;
    if (!QCLTeethActive(&teeth)) return false;
    int n = 0;
    if (teeth.GetSetPerCount()) {
        n = 2 * teeth.GetCount();
        teeth.SetSize(across ? 0 : 1, nearest(side / (2.0 * teeth.GetCount())));
    } else {
        const int size = across ? teeth.GetWidth() : teeth.GetHeight();
        n = 2 * nearest(static_cast<double>(side) / size);
    }
    const int w = teeth.GetWidth(), h = teeth.GetHeight();
    const bool f = !teeth.GetOffset();
    const int fw = f ? w : 0, fh = f ? h : 0;
    switch (dir) {
    case tdRight: out = {{R - 1 - fw, B - 1}, {L, B - 1}, {L, T}, {R - 1 - fw, T}}; break;
    case tdDown: out = {{R - 1, B - fh}, {R - 1, T}, {L, T}, {L, B - fh}}; break;
    case tdLeft: out = {{L + fw, B - 1}, {R - 1, B - 1}, {R - 1, T}, {L + fw, T}}; break;
    case tdUp: out = {{R - 1, T + fh}, {R - 1, B - 1}, {L, B - 1}, {L, T + fh}}; break;
    }
    auto phase = [&](int k) { return teeth.GetOffset() ? k % 2 : (k + 1) % 2; };
    for (int k = 0; k <= n; ++k) {
        const int c = phase(k);
        switch (dir) {
        case tdRight: out.push_back({R - c * w - 1, std::min(T + k * h, B)}); break;
        case tdDown: out.push_back({std::min(L + k * w, R), B - c * h}); break;
        case tdLeft: out.push_back({L + c * w, std::min(T + k * h, B)}); break;
        case tdUp: out.push_back({std::min(L + k * w, R), T + c * h}); break;
        }
    }
    const int e = phase(n);
    switch (dir) {
    case tdRight: out.push_back({R - e * w - 1, B}); break;
    case tdDown: out.push_back({R, B - e * h}); break;
    case tdLeft: out.push_back({L + e * w, B}); break;
    case tdUp: out.push_back({R, T + e * h}); break;
    }
    return true;
}

}  // namespace

bool QCLTeethActive(const TQCLTeeth* Teeth) {
    if (!Teeth) return false;
    if (Teeth->GetSetPerCount()) return Teeth->GetCount() > 0;
    const bool across = Teeth->GetDirection() == tdDown || Teeth->GetDirection() == tdUp;
    return (across ? Teeth->GetWidth() : Teeth->GetHeight()) > 0;
}

int QCLShapeLineWidth(TQCLTeeth* Teeth, TQCLSimpleBevel* Bevel) {
    return Teeth || !Bevel ? 1 : Bevel->GetWidth();
}

int QCLShapeOuterCount(TQCLShapeType Shape) {
    switch (Shape) {
    case TQCLShapeType::stEllipse:
    case TQCLShapeType::stRectangle: return 2;
    case TQCLShapeType::stRoundRect: return 3;
    case TQCLShapeType::stDirectUp:
    case TQCLShapeType::stDirectRight:
    case TQCLShapeType::stDirectDown:
    case TQCLShapeType::stDirectLeft: return 3;
    case TQCLShapeType::stDiamond: return 4;
    case TQCLShapeType::stComb: return 6;
    case TQCLShapeType::stOctagon: return 8;
    case TQCLShapeType::stStar: return 10;
    }
    return 0;
}

void QCLShapeCalc(const TRect& Rect, TQCLShapeType Shape, TQCLTeeth* Teeth, bool Square, TBrush*, int RoundPercent,
                  TQCLSimpleBevel* Bevel, TQCLShadow* Shadow, TQCLPointList* Points) {
    if (!Points) return;
    Points->Clear();
    const int d = Shadow ? Shadow->EffectiveDepth() : 0;
    const int lineWidth = QCLShapeLineWidth(Teeth, Bevel);
    const int q = lineWidth / 2, r = (lineWidth - 1) / 2;
    const int W = Rect.Width(), H = Rect.Height();
    // The shape keeps the depth free at the right and bottom, where its
    // shadow (drawn moved by the depth) falls.
    TRect work(0, 0, W - d, H - d);
    if (Square) {
        const int w = work.Width(), h = work.Height();
        const int ox = w > h ? (w - h) / 2 : 0, oy = h > w ? (h - w) / 2 : 0;
        work = TRect(ox, oy, W - d - ox, H - d - oy);
    }
    std::vector<TPoint> outline;
    if (Teeth) {
        Teeth->BeginUpdate();
        const bool toothed = teethOutline(*Teeth, work, outline);
        Teeth->EndUpdate(false);
        if (toothed) {
            for (const TPoint& p : outline) Points->AddPoint(p);
            return;
        }
        outline.clear();
    }
    const int radius = std::min(W - d, H - d) * RoundPercent / 100;
    outline = outerOutline(Shape, work, radius);
    const int cx = work.Left + work.Width() / 2, cy = work.Top + work.Height() / 2;
    for (const TPoint& p : outline) Points->AddPoint(p);
    const bool roundRect = Shape == TQCLShapeType::stRoundRect;
    for (size_t i = 0; i < outline.size(); ++i) {
        TPoint p = outline[i];
        if (!(roundRect && i == 2)) {  // the radius point is no vertex
            p.x += p.x < cx ? q : p.x > cx ? -r : 0;
            p.y += p.y < cy ? q : p.y > cy ? -r : 0;
        }
        Points->AddPoint(p);
    }
}

void QCLOffsetPointArray(TPoint* Points, int Count, int DX, int DY) {
    if (!Points) return;
    for (int i = 0; i < Count; ++i) {
        Points[i].x += DX;
        Points[i].y += DY;
    }
}

void QCLOffsetPointList(TQCLPointList* Points, int DX, int DY) {
    if (!Points) return;
    Points->BeginUpdate();
    for (int i = 0; i < Points->GetCount(); ++i) {
        TPoint p;
        Points->GetPoint(i, p);
        Points->PutPoint(i, TPoint(p.x + DX, p.y + DY));
    }
    Points->EndUpdate(true);
}

void QCLGetLightColors(TQCLLightColor Light, TColor& LightColor, TColor& DarkColor) {
    static const TColor pairs[][2] = {{clBtnFace, clBtnFace}, {0xFF0000, 0x800000}, {0x0000FF, 0x000080},
                                      {0x00FF00, 0x008000},   {0x00FFFF, 0x008080}, {0xFFFF00, 0x808000},
                                      {0xFF00FF, 0x800080}};
    if (Light > lcPurple) return;
    LightColor = pairs[Light][0];
    DarkColor = pairs[Light][1];
}

std::uint16_t QCLTileMode2DSF(TQCLTileMode Mode) {
    switch (Mode) {
    case tmCenter: return qclmode::Center;
    case tmStretch: return qclmode::Stretch;
    case tmTile: return qclmode::Tile;
    default: return 0;
    }
}
