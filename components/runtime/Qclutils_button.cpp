// Caption-and-glyph layout and button faces of the drawing toolbox.
#include "components/runtime/Qclutils.h"

#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLGlyphTextLayout.h"
#include "components/runtime/qclclass.h"

#include "framework/Win32Handles.h"

#include <algorithm>

namespace {

void moveBy(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

TRect grown(const TRect& r, int n) { return TRect(r.Left - n, r.Top - n, r.Right + n, r.Bottom + n); }

TRect unite(const TRect& a, const TRect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                 std::max(a.Bottom, b.Bottom));
}

const UINT alignmentFlags[] = {0, 1, 2, 4, 5, 6, 8, 9, 10};

struct Arrow {
    bool shown = false;
    TQCLArrowPosition position = apRightText;
    int indent = 0, size = 0, width = 0;
    TColor color = clBlack;
    int room() const { return indent + width; }
};

Arrow arrowOf(TQCLGlyphTextLayout* layout) {
    Arrow a;
    auto* button = dynamic_cast<TQCLButtonLayout*>(layout);
    if (!button || !button->GetArrow()) return a;
    a.shown = true;
    a.position = button->GetArrowPosition();
    a.indent = button->GetArrowIndent();
    a.size = button->GetArrowSize();
    a.width = 2 * a.size - 1;
    a.color = button->GetArrowColor();
    return a;
}

// Boxes of text and glyph inside their block, by the arrangement.
TSize arrange(TQCLTextArrange how, TRect& text, TRect& glyph, int spacing) {
    const int tw = text.Width(), th = text.Height(), gw = glyph.Width(), gh = glyph.Height();
    const bool sideBySide = how == taLeft || how == taLeftTop || how == taRight || how == taRightTop;
    TPoint t, g;
    TSize block;
    if (sideBySide) {
        const int h = std::max(th, gh);
        block = {tw + spacing + gw, h};
        const int to = (h - th) / 2, go = (h - gh) / 2;
        switch (how) {
        case taLeft: g = {tw + spacing, go}; t = {0, to}; break;
        case taLeftTop: g = {tw + spacing, 0}; t = {0, to}; break;
        case taRight: t = {gw + spacing, to}; g = {0, go}; break;
        default: t = {gw + spacing, to}; g = {0, 0}; break;  // taRightTop
        }
    } else {
        const int w = std::max(tw, gw);
        block = {w, th + spacing + gh};
        const int to = (w - tw) / 2, go = (w - gw) / 2;
        switch (how) {
        case taTop: g = {go, th + spacing}; t = {to, 0}; break;
        case taTopLeft: g = {0, th + spacing}; t = {to, 0}; break;
        case taBottom: t = {to, gh + spacing}; g = {go, 0}; break;
        default: t = {to, gh + spacing}; g = {0, 0}; break;  // taBottomLeft
        }
    }
    text = Bounds(t.x, t.y, tw, th);
    glyph = Bounds(g.x, g.y, gw, gh);
    return block;
}

int centredArrowTop(const TRect& box, int size) { return box.Top + box.Height() / 2 - size / 2; }

}  // namespace

TQCLTextGlyphRects QCLDrawTextAndGlyphExt(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption,
                                          const TRect& Rect, TCanvas* GlyphCanvas, TRect& GlyphRect,
                                          TCanvas* MaskCanvas, TColor TransparentColor, TQCLGlyphTextLayout* Layout,
                                          bool MultiLine, bool ShowAccelChar, bool TransparentGlyph,
                                          TQCLDrawTextStyles State, UINT Flags) {
    TQCLTextGlyphRects result;
    if (!Canvas || !Layout) return result;
    const bool hasGlyph = GlyphCanvas && !GlyphRect.IsEmpty();
    const bool hasText = !Text.empty();
    const int spacing = hasText == hasGlyph ? Layout->GetSpacing() : 0;
    TRect textBox, glyphBox;
    if (hasText) {
        textBox = TRect(0, 0, std::abs(Rect.Width()), 0);
        QCLDrawTextCalc(Text, Caption, textBox, Canvas->GetFont(), MultiLine, ShowAccelChar, 0, Flags);
    }
    if (hasGlyph) glyphBox = TRect(0, 0, GlyphRect.Width(), GlyphRect.Height());
    const bool calculating = State.Contains(dtCalculate);
    if (calculating) State << dtRectGlyphText;

    const Arrow arrow = arrowOf(Layout);
    if (arrow.shown) {
        if (arrow.position == apRightText || arrow.position == apLeftText) textBox.Right += arrow.room();
        else glyphBox.Right += arrow.room();
    }
    const TSize block = arrange(Layout->GetAlignText2Glyph(), textBox, glyphBox, spacing);
    if (!State.Contains(dtAutoSize)) {
        const TRect placed = QCLAlignRect(Layout->GetAlignment(), TRect(0, 0, block.cx, block.cy), Rect);
        moveBy(textBox, placed.Left + 1, placed.Top + 1);
        moveBy(glyphBox, placed.Left, placed.Top);
        if (arrow.shown && arrow.position == apLeftText) moveBy(textBox, arrow.room(), 0);
    }
    Canvas->GetBrush()->SetStyle(bsClear);
    Flags |= DT_EXPANDTABS | DT_WORDBREAK;
    if (MultiLine) Flags |= alignmentFlags[Layout->GetAlignment()];
    moveBy(textBox, Layout->GetOffsetX(), Layout->GetOffsetY());
    moveBy(glyphBox, Layout->GetOffsetX(), Layout->GetOffsetY());

    if (!calculating) QCLDrawTextExt(Canvas, Text, Caption, textBox, Flags, State, nullptr);
    TRect focus = Rect;
    bool focusSet = false;
    if (State.Contains(dtRectText)) {
        focus = grown(textBox, 1);
        focusSet = true;
    }
    const bool enabled = State.Contains(dtEnabled);
    if (arrow.shown && !calculating) {
        const int y = centredArrowTop(textBox, arrow.size);
        if (arrow.position == apLeftText)
            QCLDrawTriangle(Canvas, textBox.Left - arrow.room(), y, arrow.size, arrow.color, true, enabled);
        else if (arrow.position == apRightText)
            QCLDrawTriangle(Canvas, MultiLine ? textBox.Right - arrow.size - 1 : textBox.Right - arrow.width - 1, y,
                            arrow.size, arrow.color, true, enabled);
    }
    if (arrow.shown && arrow.position == apLeftGlyph) moveBy(glyphBox, arrow.room(), 0);
    if (hasGlyph) {
        if (!calculating) {
            if (!TransparentGlyph) QCLBmpDrawExt(Canvas, glyphBox, GlyphCanvas, GlyphRect, 0, 0, nullptr, nullptr);
            else if (MaskCanvas) QCLBmpDrawExtMask(Canvas, glyphBox, GlyphCanvas, GlyphRect, qclmode::Mask, MaskCanvas);
            else QCLBmpDrawExt(Canvas, glyphBox, GlyphCanvas, GlyphRect, qclmode::TransparentColor, TransparentColor,
                               nullptr, nullptr);
        }
        if (State.Contains(dtRectGlyph)) {
            focus = glyphBox;
            focusSet = true;
        }
        if (arrow.shown && !calculating) {
            const int y = centredArrowTop(glyphBox, arrow.size);
            if (arrow.position == apRightGlyph)
                QCLDrawTriangle(Canvas, glyphBox.Right - arrow.width, y, arrow.size, arrow.color, true, enabled);
            else if (arrow.position == apLeftGlyph)
                QCLDrawTriangle(Canvas, glyphBox.Left - arrow.room(), y, arrow.size, arrow.color, true, enabled);
        }
    }
    const TRect both = unite(textBox, glyphBox);
    if (State.Contains(dtRectGlyphText)) {
        focus = grown(both, 1);
        focusSet = true;
    }
    if (!focusSet) focus = grown(focus, -1);
    if (calculating) focus = grown(focus, 1);
    GlyphRect = focus;
    result.Union = both;
    result.Text = textBox;
    result.Glyph = glyphBox;
    return result;
}

TQCLTextGlyphRects QCLDrawTextAndGlyph(TCanvas* Canvas, const AnsiString& Text, TQCL3DCaption* Caption,
                                       const TRect& Rect, TBitmap* Glyph, TBitmap* Mask, TQCLGlyphTextLayout* Layout,
                                       bool MultiLine, bool ShowAccelChar, bool TransparentGlyph,
                                       TQCLDrawTextStyles State, UINT Flags) {
    TRect glyphRect;
    TCanvas* glyphCanvas = nullptr;
    TColor transparent = clNone;
    if (Glyph && !Glyph->GetEmpty()) {
        glyphCanvas = Glyph->GetCanvas();
        glyphRect = TRect(0, 0, Glyph->GetWidth(), Glyph->GetHeight());
        transparent = Glyph->GetTransparentColor();
    }
    TCanvas* maskCanvas = Mask && !Mask->GetEmpty() ? Mask->GetCanvas() : nullptr;
    return QCLDrawTextAndGlyphExt(Canvas, Text, Caption, Rect, glyphCanvas, glyphRect, maskCanvas, transparent, Layout,
                                  MultiLine, ShowAccelChar, TransparentGlyph, State, Flags);
}

// ---------------------------------------------------------------------------
// Button faces

bool QCLDrawBtnIsFlat(TQCLUserButtonStyle Style) {
    switch (Style) {
    case ubsDelphiFlat:
    case ubsFlat:
    case ubsFlatUnColored:
    case ubsNavigator:
    case ubsExplorer:
    case ubsExplorerColored: return true;
    default: return false;
    }
}

namespace {

void fillWith(HDC dc, const TRect& r, TColor color) {
    win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    RECT rc = *r.rc();
    ::FillRect(dc, &rc, brush.get());
}

void frameWith(HDC dc, const TRect& r, TColor color) {
    win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    RECT rc = *r.rc();
    ::FrameRect(dc, &rc, brush.get());
}

void edge(HDC dc, TRect& r, UINT kind, UINT flags) {
    RECT rc = *r.rc();
    DrawEdge(dc, &rc, kind, flags);
    r = TRect(rc);
}

void line(HDC dc, TColor color, std::initializer_list<POINT> points) {
    win32::PenHandle pen(CreatePen(PS_SOLID, 1, ColorToRGB(color)));
    win32::SelectedObject selected(dc, pen.get());
    std::vector<POINT> p(points);
    Polyline(dc, p.data(), static_cast<int>(p.size()));
}

void corners(HDC dc, const TRect& r) {
    const COLORREF face = ColorToRGB(clBtnFace);
    SetPixelV(dc, r.Left, r.Top, face);
    SetPixelV(dc, r.Right - 1, r.Top, face);
    SetPixelV(dc, r.Left, r.Bottom - 1, face);
    SetPixelV(dc, r.Right - 1, r.Bottom - 1, face);
}

void background(TCanvas* canvas, const TRect& r, TQCLButtonState state, int kind, bool plain, TColor color) {
    HDC dc = canvas->GetHandle();
    if (state == bsOptionSet && !(kind == 4 && plain) && QCLApplication) {
        TBitmap* pattern = QCLApplication->GetBrushBitmap(color);
        if (pattern && !pattern->GetEmpty()) {
            win32::BrushHandle brush(CreatePatternBrush(pattern->GetHandle()));
            RECT rc = *r.rc();
            ::FillRect(dc, &rc, brush.get());
            return;
        }
    }
    fillWith(dc, r, color);
}

}  // namespace

bool QCLDrawBtnFace(TCanvas* Canvas, bool Plain, TRect& Rect, TQCLUserButtonStyle Style, TQCLButtonState State,
                    std::uint16_t Flags, TColor Color) {
    if (!Canvas) return true;
    if (Style == ubsAutoDetect) Style = NewStyleControls ? ubsWin40 : ubsWin31;
    int kind = static_cast<int>(Style);
    if (Style == ubsDelphi) kind = 5;
    else if (Style == ubsWin40 && !(Flags & 0x04)) kind = 3;
    else if (QCLDrawBtnIsFlat(Style)) kind = 4;
    const UINT middle = (Flags & 0x10) ? BF_MIDDLE : 0;
    const bool down = State == bsOptionSet || State == bsDown || State == bsDropDownOpen || State == bsDisabledDown;
    const bool explorer = Style == ubsExplorer || Style == ubsExplorerColored;
    HDC dc = Canvas->GetHandle();

    if (!explorer) background(Canvas, Rect, State, kind, Plain, Color);
    if (!down && (Flags & (0x02 | 0x20))) {
        TRect r = Rect;
        edge(dc, r, BDR_SUNKENOUTER, BF_SOFT | BF_LEFT | BF_TOP | middle);
        edge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        if (Style == ubsWin31 && (Flags & 0x01)) {
            corners(dc, Rect);
            Flags &= ~0x01;
        }
        Rect = grown(Rect, -1);
    }
    const TRect outer = Rect;  // the rectangle after the outer frame
    TRect r = outer;
    switch (kind) {
    case 1:
        edge(dc, r, BDR_SUNKENOUTER, BF_SOFT | BF_LEFT | BF_TOP | middle);
        edge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        if (Flags & 0x01) corners(dc, r);
        r = grown(r, -1);
        if (down) {
            edge(dc, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
        } else {
            edge(dc, r, BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
            edge(dc, r, BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
        }
        break;
    case 2:
        if (down && (Flags & 0x08)) edge(dc, r, EDGE_SUNKEN, BF_RECT);
        else QCLDrawStdFrame(Canvas, r, down ? lsLowered : lsRaisedspb, 0);
        break;
    case 3:
        if (down) {
            frameWith(dc, r, clBlack);
            frameWith(dc, grown(r, -1), static_cast<TColor>(0x808080));
        } else if (Flags & 0x02) {
            edge(dc, r, BDR_RAISEDOUTER, BF_ADJUST | BF_SOFT | BF_RECT);
            edge(dc, r, BDR_RAISEDINNER, BF_ADJUST | BF_RIGHT | BF_BOTTOM);
        } else {
            QCLDrawStdFrame(Canvas, r, lsRaisedspb, 0);
        }
        break;
    case 4: {
        const bool over = State == bsMouseOver;
        if ((Style == ubsNavigator || Style == ubsDelphiFlat) && (down || over)) frameWith(dc, r, clBtnShadow);
        if (down || over) edge(dc, r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
        else if (!explorer) fillWith(dc, r, Color);
        break;
    }
    case 5:
        frameWith(dc, r, clBlack);
        if (down) {
            line(dc, clGray, {{r.Left + 1, r.Bottom - 2}, {r.Left + 1, r.Top + 1}, {r.Right - 1, r.Top + 1}});
        } else {
            r = grown(r, -1);
            edge(dc, r, BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
        }
        break;
    case 10:
        if (down) {
            frameWith(dc, r, clGray);
        } else {
            frameWith(dc, r, clBlack);
            line(dc, clBtnFace, {{r.Left + 1, r.Bottom - 2}, {r.Left + 1, r.Top + 1}, {r.Right - 1, r.Top + 1}});
            frameWith(dc, grown(r, -2), clWhite);
            line(dc, clGray, {{r.Right - 3, r.Top + 2}, {r.Right - 3, r.Bottom - 3}, {r.Left + 1, r.Bottom - 3}});
        }
        break;
    default: break;
    }
    if (Flags & 0x02) {
        const TRect focus = grown(outer, down ? -4 : -3);
        RECT rc = *focus.rc();
        DrawFocusRect(dc, &rc);
    }
    Rect = grown(outer, kind == 1 ? -4 : -3);
    if (down) moveBy(Rect, 1, 1);
    return true;
}
