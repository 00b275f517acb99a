// Colour gradients of the drawing toolbox: colour lists, palettes and the
// painting of the ten gradient styles with one filled shape per colour.
#include "components/runtime/Qclutils.h"

#include "framework/SysUtils.h"

#include <memory>
#include <optional>

namespace {

int component(TColor c, int shift) { return (static_cast<int>(c) >> shift) & 0xFF; }

}  // namespace

TColor QCLGradientGetColor(TColor StartColor, TColor EndColor, int Position, int Count) {
    if (Count == 0) return StartColor & 0xFFFFFF;
    int result = 0;
    for (int shift : {0, 8, 16}) {
        const int s = component(StartColor, shift), e = component(EndColor, shift);
        result |= ((s + Position * (e - s) / Count) & 0xFF) << shift;
    }
    return static_cast<TColor>(result);
}

void QCLGradientCreateColorList(TColor StartColor, TColor EndColor, std::uint8_t Steps, TQCLColorList* List,
                                bool FirstSegment) {
    if (!List || Steps == 0) return;
    if (FirstSegment) List->clear();
    const auto c1 = static_cast<TColor>(ColorToRGB(StartColor)), c2 = static_cast<TColor>(ColorToRGB(EndColor));
    if (Steps == 1) {
        // One step: the start colour alone (a following segment adds nothing).
        if (FirstSegment) List->push_back(c1);
        return;
    }
    for (int k = FirstSegment ? 0 : 1; k < Steps; ++k) {
        int color = 0;
        for (int shift : {0, 8, 16}) {
            const int s = component(c1, shift), e = component(c2, shift);
            color |= ((s + MulDiv(k, e - s, Steps - 1)) & 0xFF) << shift;
        }
        List->push_back(static_cast<TColor>(color));
    }
}

win32::PaletteHandle QCLGradientCreatePalette(const TQCLColorList* List) {
    if (!List || List->empty()) return win32::PaletteHandle();
    const size_t n = List->size();
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(n);
    for (size_t i = 0; i < n; ++i) {
        const TColor c = (*List)[i];
        palette->palPalEntry[i] = {static_cast<BYTE>(component(c, 0)), static_cast<BYTE>(component(c, 8)),
                                   static_cast<BYTE>(component(c, 16)), PC_NOCOLLAPSE};
    }
    return win32::PaletteHandle(CreatePalette(palette));
}

namespace {

struct Painter {
    HDC dc;
    int ox, oy;  // the rectangle's corner, or 0 in the temporary bitmap
    bool palette;

    COLORREF colour(TColor c) const {
        const COLORREF rgb = static_cast<COLORREF>(c) & 0xFFFFFF;
        return palette ? (0x02000000 | rgb) : rgb;
    }
    void fill(TColor c, int l, int t, int r, int b) const {
        win32::BrushHandle brush(CreateSolidBrush(colour(c)));
        RECT rc = {ox + l, oy + t, ox + r, oy + b};
        ::FillRect(dc, &rc, brush.get());
    }
    // Rectangle, Ellipse and Polygon with a clear pen and a solid brush.
    template <class Shape>
    void shape(TColor c, Shape draw) const {
        win32::BrushHandle brush(CreateSolidBrush(colour(c)));
        win32::SelectedObject selectedBrush(dc, brush.get());
        win32::SelectedObject selectedPen(dc, GetStockObject(NULL_PEN));
        draw();
    }
};

void paintBands(const Painter& p, TQCLGradientStyle style, const TQCLColorList& list, int W, int H) {
    const int N = static_cast<int>(list.size());
    TRect r0(0, 0, W, H);
    switch (style) {
    case gstSquare:
    case gstElliptic: r0 = TRect(W / 2, H / 2, W / 2, H / 2); break;
    case gstTopLeft:
    case gstTopLeftDiagonal: r0 = TRect(0, 0, 1, 1); break;
    case gstTopRight: r0 = TRect(W, 1, W + 1, 0); break;
    case gstBottomLeft: r0 = TRect(1, H, 0, H + 1); break;
    case gstBottomRight: r0 = TRect(W, H, W + 1, H + 1); break;
    case gstTopRightDiagonal: r0 = TRect(W, 0, W + 1, 0); break;
    default: break;
    }
    if (style == gstHorizontal) {
        for (int i = 0; i < N; ++i)
            p.fill(list[i], r0.Left + MulDiv(i, W, N), r0.Top, r0.Left + MulDiv(i + 1, W, N), r0.Bottom);
        return;
    }
    const int x = p.ox, y = p.oy;
    for (int i = N - 1; i >= 0; --i) {
        const TColor c = list[static_cast<size_t>(i)];
        const int w = MulDiv(i + 1, W, N), h = MulDiv(i + 1, H, N);
        switch (style) {
        case gstVertical:
            p.fill(c, r0.Left, r0.Top + MulDiv(i, H, N), r0.Right, r0.Top + MulDiv(i + 1, H, N));
            break;
        case gstSquare: {
            const int a = w / 2, b = h / 2, cx = r0.Left, cy = r0.Top;
            p.shape(c, [&] { ::Rectangle(p.dc, x + cx - a, y + cy - b, x + cx + a + 2, y + cy + b + 2); });
            break;
        }
        case gstElliptic: {
            const int a = static_cast<int>(Round(w / 1.4)), b = static_cast<int>(Round(h / 1.4));
            const int cx = r0.Left, cy = r0.Top;
            p.shape(c, [&] { ::Ellipse(p.dc, x + cx - a, y + cy - b, x + cx + a, y + cy + b); });
            break;
        }
        case gstTopLeft:
            p.shape(c, [&] { ::Rectangle(p.dc, x + r0.Left, y + r0.Top, x + r0.Right + w, y + r0.Bottom + h); });
            break;
        case gstTopRight:
            p.shape(c, [&] { ::Rectangle(p.dc, x + r0.Left - w, y + r0.Top + h, x + r0.Right, y + r0.Bottom); });
            break;
        case gstBottomLeft:
            p.shape(c, [&] { ::Rectangle(p.dc, x + r0.Left + w, y + r0.Top - h, x + r0.Right, y + r0.Bottom); });
            break;
        case gstBottomRight:
            p.shape(c, [&] { ::Rectangle(p.dc, x + r0.Left - w, y + r0.Top - h, x + r0.Right, y + r0.Bottom); });
            break;
        case gstTopLeftDiagonal:
        case gstTopRightDiagonal: {
            const int a = 2 * w, b = 2 * h;
            const bool left = style == gstTopLeftDiagonal;
            const int edge = left ? r0.Left : r0.Right, dir = left ? 1 : -1;
            POINT points[4] = {{x + edge, y + r0.Top},
                               {x + edge + dir * a, y + r0.Top},
                               {x + edge, y + r0.Bottom + b},
                               {x + edge - dir * a, y + r0.Bottom + b}};
            p.shape(c, [&] { ::Polygon(p.dc, points, 4); });
            break;
        }
        default: break;
        }
    }
}

void realize(HDC dc, HPALETTE palette) {
    SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
}

}  // namespace

void QCLGradientPaintExt(TCanvas* Canvas, const TRect& Rect, TQCLGradientStyle Style, const TQCLColorList* List,
                         HPALETTE Palette, std::uint16_t Flags, std::uint32_t Offset) {
    if (!Canvas || !List || List->empty() || Rect.Width() <= 0 || Rect.Height() <= 0) return;
    const int W = Rect.Width(), H = Rect.Height();
    const bool usePalette = (Flags & 0x1000) && Palette && QCLUsePalette();
    HDC target = Canvas->GetHandle();
    if (Flags & 0x0004) {
        auto buffer = std::make_unique<TBitmap>();
        buffer->SetSize(W, H);
        HDC dc = buffer->GetCanvas()->GetHandle();
        if (usePalette) realize(dc, Palette);
        paintBands({dc, 0, 0, usePalette}, Style, *List, W, H);
        if (usePalette) realize(target, Palette);
        BitBlt(target, Rect.Left, Rect.Top, W, H, dc, 0, 0, SRCCOPY);
        return;
    }
    std::optional<QCLScopedOffsetClip> clip;
    if (Flags & 0x0001) clip.emplace(target, Rect, Offset);
    if (usePalette) realize(target, Palette);
    paintBands({target, Rect.Left, Rect.Top, usePalette}, Style, *List, W, H);
}

void QCLGradientPaint(TCanvas* Canvas, const TRect& Rect, TColor StartColor, TColor EndColor, std::uint8_t Steps,
                      TQCLGradientStyle Style, std::uint16_t Flags, std::uint32_t Offset) {
    TQCLColorList list;
    QCLGradientCreateColorList(StartColor, EndColor, Steps, &list, true);
    win32::PaletteHandle palette;
    if (Flags & 0x1000) palette = QCLGradientCreatePalette(&list);
    QCLGradientPaintExt(Canvas, Rect, Style, &list, palette.get(), Flags, Offset);
}

void QCLSuperGradientPaint(TCanvas* Canvas, const TRect& Rect, const TColor* Colors, int High, std::uint8_t Steps,
                           TQCLGradientStyle Style, std::uint16_t Flags, std::uint32_t Offset) {
    if (!Colors || High <= 0) return;
    TQCLColorList list;
    for (int i = 0; i < High; ++i)
        QCLGradientCreateColorList(Colors[i], Colors[i + 1], static_cast<std::uint8_t>(Steps / High), &list, false);
    QCLGradientPaintExt(Canvas, Rect, Style, &list, nullptr, static_cast<std::uint16_t>(Flags & ~0x1000), Offset);
}
