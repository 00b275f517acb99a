// Frame painters of the region unit: one scheme over every shape's outline.
//
// An outline knows its light part (upper and left), its shadow part (lower
// and right) and its single-colour form; the scheme picks colours by style:
// lowered styles exchange light and shadow; the "psb" styles draw the shaded
// part in the single colour and then once more, 1 pixel further in, in the
// shadow colour. Lines run on the outermost pixels inside the rectangle
// (right and bottom exclusive), so a frame shows inside its region.
#include "components/runtime/qclregion.h"

#include <utility>

namespace {

using qclregion::BubbleCircles;
using qclregion::NosePoints;
using qclregion::ShrinkForExtension;

class Outline {
public:
    virtual ~Outline() = default;
    virtual void light(TCanvas* c, const TRect& r) const = 0;
    virtual void shadow(TCanvas* c, const TRect& r) const = 0;
    virtual void single(TCanvas* c, const TRect& r) const {
        light(c, r);
        shadow(c, r);
    }
    virtual TRect shrink(const TRect& r) const { return TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1); }
};

void line(TCanvas* c, std::initializer_list<TPoint> points) {
    auto it = points.begin();
    c->MoveTo(it->x, it->y);
    for (++it; it != points.end(); ++it)
        c->LineTo(it->x, it->y);
}

// Draws an outline with the canvas's brush switched off (two-tone parts are lines only).
class HollowBrush {
public:
    explicit HollowBrush(TCanvas* c) : c_(c), style_(c->GetBrush()->GetStyle()) { c->GetBrush()->SetStyle(bsClear); }
    ~HollowBrush() { c_->GetBrush()->SetStyle(style_); }

private:
    TCanvas* c_;
    TBrushStyle style_;
};

void paintFrame(TCanvas* c, const TRect& r, TColor light, TColor shadow, TColor single, TQCLRegionBorderStyle style,
                const Outline& o) {
    if (style == rbLowered || style == rbSingleLowered || style == rbLoweredpsb)
        std::swap(light, shadow);
    auto twoTone = [&](const TRect& rect, TColor shaded) {
        c->GetPen()->SetColor(light);
        o.light(c, rect);
        c->GetPen()->SetColor(shaded);
        o.shadow(c, rect);
    };
    switch (style) {
    case rbNone:
        return;
    case rbRaised:
    case rbLowered:
        twoTone(r, shadow);
        return;
    case rbSingle:
        c->GetPen()->SetColor(single);
        o.single(c, r);
        return;
    case rbSingleRaised:
    case rbSingleLowered:
        c->GetPen()->SetColor(single);
        o.single(c, r);
        twoTone(o.shrink(r), shadow);
        return;
    case rbRaisedpsb:
    case rbLoweredpsb:
        twoTone(r, single);
        c->GetPen()->SetColor(shadow);
        o.shadow(c, o.shrink(r));
        return;
    }
}

class RectOutline : public Outline {
public:
    void light(TCanvas* c, const TRect& r) const override {
        line(c, {{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right - 1, r.Top}});
    }
    void shadow(TCanvas* c, const TRect& r) const override {
        line(c, {{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left - 1, r.Bottom - 1}});
    }
};

class RoundRectOutline : public Outline {
public:
    RoundRectOutline(int ew, int eh) : ew_(ew), eh_(eh) {}
    void light(TCanvas* c, const TRect& r) const override {
        HollowBrush hollow(c);
        c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, ew_, eh_);
    }
    void shadow(TCanvas* c, const TRect& r) const override {
        TPen* pen = c->GetPen();
        const int width = pen->GetWidth();
        pen->SetWidth(4);
        const int midX = r.Left + ew_ / 2, topY = r.Top + eh_ / 2;
        // The lower eighth of the top-right corner, the right side, the
        // bottom-right corner, the bottom side and the right eighth of the
        // bottom-left corner.
        c->Arc(r.Right - ew_, r.Top, r.Right, r.Top + eh_, r.Right, topY, r.Right, r.Top);
        line(c, {{r.Right - 1, topY}, {r.Right - 1, r.Bottom - eh_ / 2}});
        c->Arc(r.Right - ew_, r.Bottom - eh_, r.Right, r.Bottom, r.Right - ew_ / 2, r.Bottom, r.Right,
               r.Bottom - eh_ / 2);
        line(c, {{r.Right - ew_ / 2, r.Bottom - 1}, {midX, r.Bottom - 1}});
        c->Arc(r.Left, r.Bottom - eh_, r.Left + ew_, r.Bottom, r.Left, r.Bottom, midX, r.Bottom);
        pen->SetWidth(width);
    }
    void single(TCanvas* c, const TRect& r) const override { c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, ew_, eh_); }
    TRect shrink(const TRect& r) const override { return TRect(r.Left + 1, r.Top + 1, r.Right - 3, r.Bottom - 3); }

private:
    int ew_, eh_;
};

// An ellipse in a box; the half round uses the box of twice its height.
class EllipseOutline : public Outline {
public:
    explicit EllipseOutline(bool half) : half_(half) {}
    void light(TCanvas* c, const TRect& r) const override {
        const TRect b = box(r);
        c->Arc(b.Left, b.Top, b.Right, b.Bottom, b.Right, b.Top, b.Left, b.Bottom);
    }
    void shadow(TCanvas* c, const TRect& r) const override {
        const TRect b = box(r);
        c->Arc(b.Left, b.Top, b.Right, b.Bottom, b.Left, b.Bottom, b.Right, b.Top);
    }
    void single(TCanvas* c, const TRect& r) const override { c->Ellipse(box(r)); }

private:
    TRect box(const TRect& r) const {
        return half_ ? TRect(r.Left, r.Top, r.Right, r.Top + 2 * r.Height()) : r;
    }
    bool half_;
};

// A polygon over the rectangle's inner pixels; edge i runs from point i to
// point i + 1 and is light when its bit in lightEdges is set.
class PolygonOutline : public Outline {
public:
    using Points = std::vector<TPoint> (*)(const TRect&);
    PolygonOutline(Points points, unsigned lightEdges) : points_(points), lightEdges_(lightEdges) {}
    void light(TCanvas* c, const TRect& r) const override { edges(c, r, true); }
    void shadow(TCanvas* c, const TRect& r) const override { edges(c, r, false); }
    void single(TCanvas* c, const TRect& r) const override { c->Polygon(points_(inner(r))); }

private:
    static TRect inner(const TRect& r) { return TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1); }
    void edges(TCanvas* c, const TRect& r, bool lit) const {
        const std::vector<TPoint> p = points_(inner(r));
        for (size_t i = 0; i < p.size(); ++i) {
            if (((lightEdges_ >> i) & 1u) != (lit ? 1u : 0u)) continue;
            const TPoint& to = p[(i + 1) % p.size()];
            line(c, {p[i], to});
            c->SetPixel(to.x, to.y, c->GetPen()->GetColor());
        }
    }
    Points points_;
    unsigned lightEdges_;
};

// Shields sit at 0,0: upper notch arcs and the left side light, the rest shadow.
class ShieldOutline : public Outline {
public:
    explicit ShieldOutline(bool sharp) : sharp_(sharp) {}
    void light(TCanvas* c, const TRect& r) const override {
        const int w = r.Width(), h = r.Height(), f = h / 5;
        c->Arc(-w / 2, -f, w / 2, f, 0, f, w / 2, 0);
        c->Arc(w / 2, -f, w + w / 2, f, w / 2, 0, w, f);
        if (sharp_) {
            const int e = (8 * h) / 7;
            c->Arc(0, -e, 2 * w, e, 0, f, w / 2, e);
        } else {
            c->Arc(0, f - h, w, h, 0, f, w / 2, h);
        }
    }
    void shadow(TCanvas* c, const TRect& r) const override {
        const int w = r.Width(), h = r.Height(), f = h / 5;
        if (sharp_) {
            const int e = (8 * h) / 7;
            c->Arc(-w, -e, w, e, w / 2, e, w, f);
        } else {
            c->Arc(0, f - h, w, h, w / 2, h, w, f);
        }
    }

private:
    bool sharp_;
};

// Gives the DC back its clip region (or none) when the frame is done.
class SavedClip {
public:
    explicit SavedClip(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
        had_ = GetClipRgn(dc_, saved_.get()) == 1;
    }
    ~SavedClip() { SelectClipRgn(dc_, had_ ? saved_.get() : nullptr); }
    SavedClip(const SavedClip&) = delete;
    SavedClip& operator=(const SavedClip&) = delete;

private:
    HDC dc_;
    win32::RegionHandle saved_;
    bool had_ = false;
};

void frameNose(TCanvas* c, const TRect& r, TColor light, TColor shadow, TColor single, TQCLRegionBorderStyle style,
               int size, int baseOffset, int margin, TQCLExtPos pos, const Outline& shape) {
    if (style == rbNone) return;
    const TRect shrunk = ShrinkForExtension(r, size, pos);
    const std::vector<TPoint> nose = NosePoints(shrunk, size, baseOffset, pos);
    const HDC dc = c->GetHandle();
    SavedClip clip(dc);
    ExcludeClipRect(dc, std::min(nose[1].x, nose[2].x) - margin, std::min(nose[1].y, nose[2].y) - margin,
                    std::max(nose[1].x, nose[2].x) + margin, std::max(nose[1].y, nose[2].y) + margin);
    paintFrame(c, shrunk, light, shadow, single, style, shape);
}

void frameBubbles(TCanvas* c, const TRect& r, TColor light, TColor shadow, TColor single, TQCLRegionBorderStyle style,
                  int size, int count, TQCLExtPos pos, const Outline& shape) {
    if (style == rbNone) return;
    const TRect shrunk = ShrinkForExtension(r, size, pos);
    const HDC dc = c->GetHandle();
    SavedClip clip(dc);
    for (const TRect& circle : BubbleCircles(shrunk, size, count, pos)) {
        QCLFrameEllipticRgn(c, circle, light, shadow, single, style);
        win32::RegionHandle area(CreateEllipticRgn(circle.Left, circle.Top, circle.Right, circle.Bottom));
        ExtSelectClipRgn(dc, area.get(), RGN_DIFF);
    }
    paintFrame(c, shrunk, light, shadow, single, style, shape);
}

// Edge bits of the polygon outlines (bit i: edge from point i on is light).
constexpr unsigned diamondLight = 0b0001 | 0b1000;          // top-left, top-right edges
constexpr unsigned octagonLight = 0b00000111 | 0b10000000;  // top, upper-left, left, upper-right
constexpr unsigned combLight = 0b000011 | 0b100000;         // upper-left, left, upper-right
// Star, edge by edge from the top point: shadow, light, shadow, light,
// shadow, shadow, light, shadow, light, light.
constexpr unsigned starLight = 0b1101001010;

}  // namespace

void QCLFrameRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, RectOutline());
}

void QCLFrameRoundRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style, int EllipseWidth, int EllipseHeight) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, RoundRectOutline(EllipseWidth, EllipseHeight));
}

void QCLFrameEllipticRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, EllipseOutline(false));
}

void QCLFrameHalfRoundRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                          TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, EllipseOutline(true));
}

void QCLFrameDiamondRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, PolygonOutline(qclregion::DiamondPoints, diamondLight));
}

void QCLFrameStarRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, PolygonOutline(qclregion::StarPoints, starLight));
}

void QCLFrameOctagonRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                        TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, PolygonOutline(qclregion::OctagonPoints, octagonLight));
}

void QCLFrameCombRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                     TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, PolygonOutline(qclregion::CombPoints, combLight));
}

void QCLFrameRoundShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, ShieldOutline(false));
}

void QCLFrameSharpShieldRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style) {
    paintFrame(Canvas, R, Light, Shadow, Single, Style, ShieldOutline(true));
}

void QCLFrameNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                         TQCLRegionBorderStyle Style, int Size, TQCLExtPos Pos) {
    frameNose(Canvas, R, Light, Shadow, Single, Style, Size, 5, 2, Pos, RectOutline());
}

void QCLFrameRoundNoseRectRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                              TQCLRegionBorderStyle Style, int Size, int EllipseWidth, int EllipseHeight,
                              TQCLExtPos Pos) {
    const bool vertical = Pos == epLeftTop || Pos == epRightTop || Pos == epRightBottom || Pos == epLeftBottom;
    frameNose(Canvas, R, Light, Shadow, Single, Style, Size, vertical ? EllipseHeight : EllipseWidth, 4, Pos,
              RoundRectOutline(EllipseWidth, EllipseHeight));
}

void QCLFrameThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                            TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos) {
    frameBubbles(Canvas, R, Light, Shadow, Single, Style, Size, Count, Pos, RectOutline());
}

void QCLFrameRoundThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                 TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos,
                                 int EllipseWidth, int EllipseHeight) {
    frameBubbles(Canvas, R, Light, Shadow, Single, Style, Size, Count, Pos,
                 RoundRectOutline(EllipseWidth, EllipseHeight));
}

void QCLFrameEllipticThinkBubbleRgn(TCanvas* Canvas, const TRect& R, TColor Light, TColor Shadow, TColor Single,
                                    TQCLRegionBorderStyle Style, int Size, int Count, TQCLExtPos Pos) {
    frameBubbles(Canvas, R, Light, Shadow, Single, Style, Size, Count, Pos, EllipseOutline(false));
}

void QCLFramePointListRgn(TCanvas* Canvas, const std::vector<TPoint>& Points, TColor Light, TColor Shadow,
                          TColor Single, TQCLRegionBorderStyle Style) {
    if (Style == rbNone || Points.size() < 2) return;
    if (Style == rbLowered || Style == rbSingleLowered || Style == rbLoweredpsb)
        std::swap(Light, Shadow);
    for (size_t i = 0; i < Points.size(); ++i) {
        const TPoint& from = Points[i];
        const TPoint& to = Points[(i + 1) % Points.size()];
        const int dx = to.x - from.x, dy = to.y - from.y;
        const bool lit = dx > 0 || (dx == 0 && dy < 0);
        Canvas->GetPen()->SetColor(Style == rbSingle ? Single : lit ? Light : Shadow);
        line(Canvas, {from, to});
    }
}
