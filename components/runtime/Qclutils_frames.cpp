// Frames, edges, borders and arrows of the drawing toolbox.
//
// The bevels draw with their own pens and brushes on the canvas's DC, so the
// canvas's pen and brush stay as the caller left them.
#include "components/runtime/Qclutils.h"

#include "framework/Win32Handles.h"

#include <vector>

TQCLDrawTextStyles QCLConvertFocusStyle(TQCLGlyphTextFocusStyle style) {
    switch (style) {
    case fcText: return {dtRectText};
    case fcGlyph: return {dtRectGlyph};
    case fcGlyphText: return {dtRectGlyphText};
    default: return {};
    }
}

namespace {

void polyline(HDC dc, TColor color, std::initializer_list<POINT> points) {
    win32::PenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(color)));
    win32::SelectedObject selected(dc, pen.get());
    std::vector<POINT> p(points);
    ::Polyline(dc, p.data(), static_cast<int>(p.size()));
}

void frame(HDC dc, const TRect& r, TColor color) {
    win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    RECT rc = *r.rc();
    ::FrameRect(dc, &rc, brush.get());
}

void fill(HDC dc, const TRect& r, TColor color) {
    win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    RECT rc = *r.rc();
    ::FillRect(dc, &rc, brush.get());
}

// One ring of a bevel: the top-left colour from the bottom-left corner up and
// along the top, the bottom-right colour from the top-right corner down and
// back along the bottom. `r` holds inclusive right and bottom coordinates.
void bevelRing(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight) {
    polyline(dc, topLeft, {{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
    polyline(dc, bottomRight, {{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left, r.Bottom}});
}

}  // namespace

bool QCLDrawFrame3D(TCanvas* Canvas, TRect& Rect, TQCLBevelStyle Style, TColor LightColor, TColor ShadowColor,
                    int Width) {
    using S = TQCLBevelStyle;
    if (Width <= 0 || Style == S::bvNone || Style == S::bvShadow) return false;
    TColor topLeft = clBlack, bottomRight = clBlack;
    if (Style == S::bvLowered || Style == S::bvFrameLowered) {
        topLeft = ShadowColor;
        bottomRight = LightColor;
    } else if (Style == S::bvRaised || Style == S::bvFrameRaised) {
        topLeft = LightColor;
        bottomRight = ShadowColor;
    }
    HDC dc = Canvas->GetHandle();
    if (Style == S::bvFrameLowered || Style == S::bvFrameRaised) {
        for (int i = 0; i < Width; ++i) {
            frame(dc, TRect(Rect.Left + i + 1, Rect.Top + i + 1, Rect.Right, Rect.Bottom), bottomRight);
            frame(dc, TRect(Rect.Left, Rect.Top, Rect.Right - i - 1, Rect.Bottom - i - 1), topLeft);
        }
        Rect = TRect(Rect.Left + Width + 1, Rect.Top + Width + 1, Rect.Right - Width - 1, Rect.Bottom - Width - 1);
        return true;
    }
    // Rings from the outside in, each one pixel wide with mitred corners, so
    // the rectangle shrinks by exactly the width on every side.
    for (int i = 0; i < Width; ++i)
        bevelRing(dc, TRect(Rect.Left + i, Rect.Top + i, Rect.Right - 1 - i, Rect.Bottom - 1 - i), topLeft, bottomRight);
    Rect = TRect(Rect.Left + Width, Rect.Top + Width, Rect.Right - Width, Rect.Bottom - Width);
    return true;
}

bool QCLDrawFrameShadow(TCanvas* Canvas, TRect& Rect, TColor FrameColor, TColor ShadowColor, TColor CornerColor,
                        int Depth, int FrameWidth, bool Transparent, std::uint16_t) {
    HDC dc = Canvas->GetHandle();
    const int d = Depth;
    fill(dc, TRect(Rect.Right - d, Rect.Top + d, Rect.Right, Rect.Bottom), ShadowColor);
    fill(dc, TRect(Rect.Left + d, Rect.Bottom - d, Rect.Right, Rect.Bottom), ShadowColor);
    if (!Transparent) {
        fill(dc, TRect(Rect.Right - d, Rect.Top, Rect.Right, Rect.Top + d), CornerColor);
        fill(dc, TRect(Rect.Left, Rect.Bottom - d, Rect.Left + d, Rect.Bottom), CornerColor);
    }
    Rect = TRect(Rect.Left, Rect.Top, Rect.Right - d, Rect.Bottom - d);
    for (int i = 0; i < FrameWidth; ++i) {
        frame(dc, Rect, FrameColor);
        Rect = TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
    }
    return true;
}

namespace {

struct EdgeCall {
    UINT edge;
    UINT flags;       // BF_ADJUST of the extra flags is added where `adjust`
    bool withExtra;   // the caller's extra flags and BF_ADJUST are added
};

void edge(HDC dc, TRect& r, const EdgeCall& call, UINT extra) {
    RECT rc = *r.rc();
    DrawEdge(dc, &rc, call.edge, call.flags | (call.withExtra ? extra | BF_ADJUST : 0));
    r = TRect(rc.left, rc.top, rc.right, rc.bottom);
}

}  // namespace

bool QCLDrawStdFrame(TCanvas* Canvas, TRect& Rect, TQCLBorderStyle Style, std::uint16_t ExtraFlags) {
    HDC dc = Canvas->GetHandle();
    const UINT x = ExtraFlags;
    auto run = [&](std::initializer_list<EdgeCall> calls) {
        for (const EdgeCall& c : calls) edge(dc, Rect, c, x);
    };
    switch (Style) {
    case lsNone: break;
    case lsSingle:
        run({{BDR_SUNKENOUTER, BF_SOFT | BF_LEFT | BF_TOP, true}, {BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM, false}});
        break;
    case lsLowered: run({{EDGE_SUNKEN, BF_SOFT | BF_RECT, true}}); break;
    case lsRaised: run({{EDGE_RAISED, BF_SOFT | BF_RECT, true}}); break;
    case lsRaisedspb:
    case lsRaisedExt:
        run({{BDR_RAISEDOUTER, BF_SOFT | BF_RECT, true}, {BDR_RAISEDINNER, BF_ADJUST | BF_RIGHT | BF_BOTTOM, false}});
        if (Style == lsRaisedExt) {
            ++Rect.Left;
            ++Rect.Top;
        }
        break;
    case lsLoweredspb: run({{BDR_SUNKENOUTER, BF_RECT, true}, {BDR_SUNKENINNER, BF_LEFT | BF_TOP, true}}); break;
    case lsLoweredExt:
        run({{BDR_SUNKENOUTER, BF_RECT, true}, {BDR_SUNKENINNER, BF_ADJUST | BF_LEFT | BF_TOP, false}});
        --Rect.Right;
        --Rect.Bottom;
        break;
    case lsFrameInset: run({{EDGE_ETCHED, BF_RECT, true}}); break;
    case lsFrameOffset: run({{BDR_RAISEDINNER, BF_RECT, true}, {BDR_SUNKENOUTER, BF_RECT, true}}); break;
    case lsWindowBorder:
        run({{BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM, true}});
        ++Rect.Left;
        ++Rect.Top;
        run({{BDR_RAISEDINNER, BF_RECT, true}});
        break;
    case lsSingleRaised: run({{BDR_RAISEDINNER, BF_RECT, true}}); break;
    case lsSingleLowered: run({{BDR_SUNKENOUTER, BF_RECT, true}}); break;
    case lsDoubleRaised: run({{BDR_RAISEDINNER, BF_RECT, true}, {BDR_RAISEDINNER, BF_RECT, true}}); break;
    case lsDoubleLowered: run({{BDR_SUNKENOUTER, BF_RECT, true}, {BDR_SUNKENOUTER, BF_RECT, true}}); break;
    }
    return true;
}

int QCLDrawStdFrameExt(TQCLBorderStyle Style) {
    switch (Style) {
    case lsNone: return 0;
    case lsSingle:
    case lsSingleRaised:
    case lsSingleLowered: return 1;
    default: return 2;
    }
}

void QCLDrawBorder(TCanvas* Canvas, const TRect& Rect, TColor TopLeft, TColor BottomRight) {
    HDC dc = Canvas->GetHandle();
    polyline(dc, TopLeft, {{Rect.Left, Rect.Bottom - 1}, {Rect.Left, Rect.Top}, {Rect.Right - 1, Rect.Top}});
    polyline(dc, BottomRight,
             {{Rect.Right - 1, Rect.Top}, {Rect.Right - 1, Rect.Bottom - 1}, {Rect.Left, Rect.Bottom - 1}});
}

int QCLGetCtrlBorderWidth(bool Ctl3D, TFormBorderStyle BorderStyle) {
    if (BorderStyle != bsSingle) return 0;
    return Ctl3D ? 2 : 1;
}

namespace {

void arrow(HDC dc, int x, int y, int size, TColor color, bool down) {
    win32::PenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(color)));
    win32::SelectedObject selected(dc, pen.get());
    if (down) {
        for (int k = 0; k <= size - 2; ++k) {
            MoveToEx(dc, x + k, y + k, nullptr);
            LineTo(dc, x + 2 * size - k - 1, y + k);
        }
        SetPixelV(dc, x + size - 1, y + size - 1, ColorToRGB(color));
    } else {
        const int m = x + size / 2;
        for (int k = 0; k < size; ++k) {
            MoveToEx(dc, m - k, y + k, nullptr);
            LineTo(dc, m + k + 1, y + k);
        }
    }
}

}  // namespace

void QCLDrawTriangle(TCanvas* Canvas, int X, int Y, int Size, TColor Color, bool Down, bool Enabled) {
    if (Size < 2 || Size > 15) return;
    HDC dc = Canvas->GetHandle();
    if (!Enabled) arrow(dc, X + 1, Y + 1, Size, clHighlightText, Down);
    arrow(dc, X, Y, Size, Enabled ? Color : clGrayText, Down);
}
