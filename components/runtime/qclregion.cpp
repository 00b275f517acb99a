// Region builders of the region unit (frames in qclregion_frames.cpp).
//
// Every region made on the way is a scoped handle, so nothing leaks when a
// combination fails; the result is handed to the caller as one.
#include "components/runtime/qclregion.h"

#include "framework/SysUtils.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

int roundHalfEven(double value) { return static_cast<int>(Round(value)); }

win32::RegionHandle polygon(const std::vector<TPoint>& points) {
    std::vector<POINT> raw;
    for (const TPoint& p : points)
        raw.push_back(POINT{p.x, p.y});
    return win32::RegionHandle(CreatePolygonRgn(raw.data(), static_cast<int>(raw.size()), ALTERNATE));
}

win32::RegionHandle rect(int l, int t, int r, int b) { return win32::RegionHandle(CreateRectRgn(l, t, r, b)); }
win32::RegionHandle ellipse(int l, int t, int r, int b) { return win32::RegionHandle(CreateEllipticRgn(l, t, r, b)); }
win32::RegionHandle ellipse(const TRect& r) { return ellipse(r.Left, r.Top, r.Right, r.Bottom); }

// target = target <mode> other
void combine(win32::RegionHandle& target, const win32::RegionHandle& other, int mode) {
    CombineRgn(target.get(), target.get(), other.get(), mode);
}

bool onTop(TQCLExtPos pos) { return pos <= epRightTop; }
bool onLeft(TQCLExtPos pos) {
    return pos == epLeftTop || pos == epTopLeft || pos == epBottomLeft || pos == epLeftBottom;
}
// The nose's side: left or right (else top or bottom).
bool sideIsVertical(TQCLExtPos pos) {
    return pos == epLeftTop || pos == epRightTop || pos == epRightBottom || pos == epLeftBottom;
}

// The two notches at the top corners and the band above 0, cut from a shield.
void cutShieldTop(win32::RegionHandle& shield, int w, int f) {
    combine(shield, ellipse(-w / 2, -f, w / 2, f), RGN_DIFF);
    combine(shield, ellipse(w / 2, -f, w + w / 2, f), RGN_DIFF);
    combine(shield, rect(0, -40, w, 0), RGN_DIFF);
}

// The shape united with its nose triangle or its bubbles.
win32::RegionHandle withBubbles(win32::RegionHandle shape, const TRect& shrunk, int size, int count, TQCLExtPos pos) {
    for (const TRect& circle : qclregion::BubbleCircles(shrunk, size, count, pos))
        combine(shape, ellipse(circle), RGN_OR);
    return shape;
}

}  // namespace

namespace qclregion {

TRect ShrinkForExtension(const TRect& R, int Size, TQCLExtPos Pos) {
    TRect r = R;
    if (onTop(Pos)) r.Top += Size; else r.Bottom -= Size;
    if (onLeft(Pos)) r.Left += Size; else r.Right -= Size;
    return r;
}

std::vector<TPoint> NosePoints(const TRect& S, int a, int b, TQCLExtPos Pos) {
    const int d = roundHalfEven(a * std::sqrt(2.0));
    const int L = S.Left, T = S.Top, R = S.Right, B = S.Bottom;
    switch (Pos) {
    case epLeftTop: return {{L - a, T - a}, {L, T + b}, {L, T + b + d}};
    case epTopLeft: return {{L - a, T - a}, {L + b, T}, {L + b + d, T}};
    case epTopRight: return {{R + a, T - a}, {R - b, T}, {R - b - d, T}};
    case epRightTop: return {{R + a, T - a}, {R, T + b}, {R, T + b + d}};
    case epRightBottom: return {{R + a, B + a}, {R, B - b}, {R, B - b - d}};
    case epBottomRight: return {{R + a, B + a}, {R - b, B}, {R - b - d, B}};
    case epBottomLeft: return {{L - a, B + a}, {L + b, B}, {L + b + d, B}};
    default: return {{L - a, B + a}, {L, B - b}, {L, B - b - d}};
    }
}

std::vector<TRect> BubbleCircles(const TRect& S, int a, int n, TQCLExtPos Pos) {
    std::vector<TRect> circles;
    if (n < 1)
        return circles;
    const double e = a * pi / (2.0 * n * n);
    const int L = S.Left, T = S.Top, R = S.Right, B = S.Bottom;
    auto r = [](double v) { return roundHalfEven(v); };
    for (int k = 0; k <= n + 2; ++k) {
        const int diameter = r(k * e);
        const double g = (90.0 / (n + 1)) * k * pi / 180.0;
        const double h = 1.57 - g;
        int x = 0, y = 0;
        switch (Pos) {
        case epLeftTop: x = L - r(a * std::cos(g)); y = T - a + r(a * std::sin(g)); break;
        case epTopLeft: x = L - a + r(a * std::cos(h)); y = T - r(a * std::sin(h)); break;
        case epTopRight: x = R + a - r(a * std::cos(h)); y = T - r(a * std::sin(g + 1.57)); break;
        case epRightTop: x = R + r(a * std::cos(g)); y = T - a + r(a * std::sin(g)); break;
        case epRightBottom: x = R + r(a * std::cos(g)); y = B + a - r(a * std::sin(g)); break;
        case epBottomRight: x = R + a - r(a * std::cos(h)); y = B + r(a * std::sin(h)); break;
        case epBottomLeft: x = L - a + r(a * std::cos(h)); y = B + r(a * std::sin(h)); break;
        case epLeftBottom: x = L - r(a * std::cos(g)); y = B + a - r(a * std::sin(g)); break;
        }
        circles.emplace_back(x - diameter / 2, y - diameter / 2, x + diameter / 2, y + diameter / 2);
    }
    return circles;
}

std::vector<TPoint> StarPoints(const TRect& R) {
    const int w = R.Width(), h = R.Height();
    auto px = [&](double f) { return R.Left + roundHalfEven(f * w); };
    auto py = [&](double f) { return R.Top + roundHalfEven(f * h); };
    const int midX = R.Left + w / 2;
    return {{midX, R.Top},     {px(0.65), py(0.38)}, {px(1), py(0.38)}, {px(0.7), py(0.6)},
            {px(0.85), py(1)}, {midX, py(0.75)},     {px(0.15), py(1)}, {px(0.3), py(0.6)},
            {px(0), py(0.38)}, {px(0.35), py(0.38)}};
}

std::vector<TPoint> DiamondPoints(const TRect& R) {
    const int midX = R.Left + R.Width() / 2, midY = R.Top + R.Height() / 2;
    return {{midX, R.Top}, {R.Left, midY}, {midX, R.Bottom}, {R.Right, midY}};
}

std::vector<TPoint> OctagonPoints(const TRect& R) {
    const int t = R.Width() / 3, u = R.Height() / 3;
    const int l = R.Left, top = R.Top;
    return {{l + 2 * t, top},      {l + t, top},          {l, top + u},           {l, top + 2 * u},
            {l + t, R.Bottom}, {l + 2 * t, R.Bottom}, {R.Right, top + 2 * u}, {R.Right, top + u}};
}

std::vector<TPoint> CombPoints(const TRect& R) {
    const int q = R.Height() / 4, midX = R.Left + R.Width() / 2;
    return {{midX, R.Top},      {R.Left, R.Top + q},      {R.Left, R.Top + 3 * q},
            {midX, R.Bottom},   {R.Right, R.Top + 3 * q}, {R.Right, R.Top + q}};
}

}  // namespace qclregion

win32::RegionHandle QCLCreateDiamondRgn(const TRect& R) { return polygon(qclregion::DiamondPoints(R)); }
win32::RegionHandle QCLCreateStarRgn(const TRect& R) { return polygon(qclregion::StarPoints(R)); }
win32::RegionHandle QCLCreateOctagonRgn(const TRect& R) { return polygon(qclregion::OctagonPoints(R)); }
win32::RegionHandle QCLCreateCombRgn(const TRect& R) { return polygon(qclregion::CombPoints(R)); }

win32::RegionHandle QCLCreateRoundShieldRgn(const TRect& R) {
    const int w = R.Width(), h = R.Height(), f = h / 5;
    win32::RegionHandle shield = ellipse(0, h, w, f - h);
    cutShieldTop(shield, w, f);
    return shield;
}

win32::RegionHandle QCLCreateSharpShieldRgn(const TRect& R) {
    const int w = R.Width(), h = R.Height(), e = (8 * h) / 7, f = h / 5;
    win32::RegionHandle shield = ellipse(-w, -e, w, e);
    combine(shield, ellipse(0, -e, 2 * w, e), RGN_AND);
    cutShieldTop(shield, w, f);
    return shield;
}

win32::RegionHandle QCLCreateNoseRectRgn(const TRect& R, int Size, TQCLExtPos Pos) {
    const TRect s = qclregion::ShrinkForExtension(R, Size, Pos);
    win32::RegionHandle shape = rect(s.Left, s.Top, s.Right, s.Bottom);
    combine(shape, polygon(qclregion::NosePoints(s, Size, 5, Pos)), RGN_OR);
    return shape;
}

win32::RegionHandle QCLCreateRoundNoseRectRgn(const TRect& R, int Size, int EllipseWidth, int EllipseHeight,
                                              TQCLExtPos Pos) {
    const TRect s = qclregion::ShrinkForExtension(R, Size, Pos);
    win32::RegionHandle shape(CreateRoundRectRgn(s.Left, s.Top, s.Right, s.Bottom, EllipseWidth, EllipseHeight));
    const int base = sideIsVertical(Pos) ? EllipseHeight : EllipseWidth;
    combine(shape, polygon(qclregion::NosePoints(s, Size, base, Pos)), RGN_OR);
    return shape;
}

win32::RegionHandle QCLCreateThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos) {
    const TRect s = qclregion::ShrinkForExtension(R, Size, Pos);
    return withBubbles(rect(s.Left, s.Top, s.Right, s.Bottom), s, Size, Count, Pos);
}

win32::RegionHandle QCLCreateRoundThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos,
                                                 int EllipseWidth, int EllipseHeight) {
    const TRect s = qclregion::ShrinkForExtension(R, Size, Pos);
    win32::RegionHandle shape(CreateRoundRectRgn(s.Left, s.Top, s.Right, s.Bottom, EllipseWidth, EllipseHeight));
    return withBubbles(std::move(shape), s, Size, Count, Pos);
}

win32::RegionHandle QCLCreateEllipticThinkBubbleRgn(const TRect& R, int Size, int Count, TQCLExtPos Pos) {
    const TRect s = qclregion::ShrinkForExtension(R, Size, Pos);
    return withBubbles(ellipse(s), s, Size, Count, Pos);
}
