// Bitmap copies of the drawing toolbox: placement by mode (centre, stretch,
// aspect, tile), transparent copies through masks, relief and disabled
// pictures, pattern and texture fills.
#include "components/runtime/Qclutils.h"

#include "components/runtime/qclclass.h"
#include "components/runtime/qclprocs.h"
#include "components/runtime/qclsysin.h"

#include "framework/SysUtils.h"
#include "framework/Win32Handles.h"

#include <memory>
#include <vector>

win32::RegionHandle QCLCreateClipRegion(HDC DC, const TRect& Rect) {
    POINT corners[2] = {{Rect.Left, Rect.Top}, {Rect.Right, Rect.Bottom}};
    LPtoDP(DC, corners, 2);
    return win32::RegionHandle(CreateRectRgn(corners[0].x, corners[0].y, corners[1].x, corners[1].y));
}

QCLScopedOffsetClip::QCLScopedOffsetClip(HDC DC, const TRect& Rect, std::uint32_t Offset) : dc_(DC) {
    TRect clip = Rect;
    if (Offset != 0) clip = Bounds(Rect.Left + QCLOffsetX(Offset), Rect.Top + QCLOffsetY(Offset), Rect.Width(), Rect.Height());
    region_ = QCLCreateClipRegion(dc_, clip);
    SelectClipRgn(dc_, region_.get());
}

QCLScopedOffsetClip::~QCLScopedOffsetClip() {
    if (region_.close()) SelectClipRgn(dc_, nullptr);
}

bool QCLUsePalette() {
    return !(QCLApplication && QCLApplication->Options.Contains(aoAutoRealizePalette) && QCLSIColorDepth() <= 8);
}

void QCLRealizePaletteIn(TCanvas* Canvas, HPALETTE Palette) {
    if (!Canvas || !Palette) return;
    SelectPalette(Canvas->GetHandle(), Palette, FALSE);
    RealizePalette(Canvas->GetHandle());
}

void QCLBmpCreateFromRect(TBitmap* Bitmap, const TRect& Rect, TColor Color) {
    if (!Bitmap || Rect.Width() <= 0 || Rect.Height() <= 0) return;
    Bitmap->SetSize(Rect.Width(), Rect.Height());
    TCanvas* canvas = Bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(Color);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(TRect(0, 0, Rect.Width(), Rect.Height()));
}

void QCLCopyBmpSize(TBitmap* Source, TBitmap* Target) {
    if (Source && Target) Target->SetSize(Source->GetWidth(), Source->GetHeight());
}

void QCLBmpCreateGrayscale(TBitmap* Target, TBitmap* Source) {
    if (!Target || !Source) return;
    Target->Assign(Source);
    if (Source->GetEmpty()) return;
    TCanvas* from = Source->GetCanvas();
    const COLORREF background = ColorToRGB(from->GetPixel(0, 0));
    const int w = Source->GetWidth(), h = Source->GetHeight();
    std::vector<int> brightness(static_cast<size_t>(w) * h, -1);  // -1: background
    std::int64_t sum = 0, count = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = ColorToRGB(from->GetPixel(x, y));
            if (c == background) continue;
            const int v = GetRValue(c) + GetGValue(c) + GetBValue(c);
            brightness[static_cast<size_t>(y) * w + x] = v;
            sum += v;
            ++count;
        }
    // b = nearest integer of (average - 200), on integers.
    const int b = count ? static_cast<int>(RoundHalfEven(sum - 200 * count, count)) : 0;
    TCanvas* to = Target->GetCanvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = brightness[static_cast<size_t>(y) * w + x];
            if (v < 0) continue;
            TColor c = clBlack;
            if (v > b + 550) c = clWhite;
            else if (v > b + 250) c = clBtnHighlight;
            else if (v > b + 50) c = clBtnShadow;
            to->SetPixel(x, y, c);
        }
}

void QCLBmpCreateMasks(TBitmap* Source, TBitmap* Mask, TBitmap* Image, TColor TransparentColor) {
    if (!Source) return;
    QCLBmpCreateMasksExt(Source->GetCanvas(), TRect(0, 0, Source->GetWidth(), Source->GetHeight()), Mask, Image,
                         TransparentColor);
}

void QCLBmpCreateMasksExt(TCanvas* Canvas, const TRect& Rect, TBitmap* Mask, TBitmap* Image, TColor TransparentColor) {
    if (!Mask || !Image || !Canvas) return;
    const COLORREF key = ColorToRGB(TransparentColor);
    const TRect whole(0, 0, Rect.Width(), Rect.Height());
    Image->SetPixelFormat(pf24bit);
    Image->SetSize(whole.Right, whole.Bottom);
    Image->GetCanvas()->SetCopyMode(cmSrcCopy);
    Image->GetCanvas()->CopyRect(whole, Canvas, Rect);
    Mask->SetPixelFormat(pf24bit);
    Mask->SetSize(whole.Right, whole.Bottom);
    Mask->GetCanvas()->SetCopyMode(cmSrcCopy);
    Mask->GetCanvas()->CopyRect(whole, Canvas, Rect);
    Mask->Mask(static_cast<TColor>(key));
    // The white of the mask (the colour) turns the image black: image AND NOT
    // mask. The framework's monochrome bitmaps map through their colour
    // table (0 black, 1 white); white background and black text colours give
    // the same mapping for any other monochrome bitmap.
    HDC image = Image->GetCanvas()->GetHandle();
    COLORREF back = SetBkColor(image, RGB(255, 255, 255));
    COLORREF text = SetTextColor(image, RGB(0, 0, 0));
    BitBlt(image, 0, 0, whole.Right, whole.Bottom, Mask->GetCanvas()->GetHandle(), 0, 0, 0x00220326);
    SetBkColor(image, back);
    SetTextColor(image, text);
}

namespace {

// Where the copies go: one placement, or the tiles of the tiling mode.
std::vector<TRect> placements(const TRect& t, int w, int h, std::uint16_t mode, TRect& result, bool& empty) {
    empty = false;
    std::vector<TRect> out;
    if (mode & qclmode::Tile) {
        result = t;
        if (w <= 0 || h <= 0) return out;
        const int columns = t.Width() / w + 1, rows = t.Height() / h + 1;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) out.push_back(Bounds(t.Left + c * w, t.Top + r * h, w, h));
        return out;
    }
    TRect p;
    if (mode & qclmode::Center) {
        p = Bounds(t.Left + (t.Width() - w) / 2, t.Top + (t.Height() - h) / 2, w, h);
    } else if (mode & qclmode::Stretch) {
        const std::uint16_t aspect = mode & qclmode::Fit;
        if (aspect && (w <= 0 || h <= 0)) {
            // Nothing to scale: no picture, no division.
            empty = true;
            result = TRect(t.Left, t.Top, t.Left, t.Top);
            return out;
        }
        if (aspect == qclmode::Fit) {
            QCLAffineRect(TRect(0, 0, w, h), TRect(0, 0, t.Width(), t.Height()), p);
            p = Bounds(t.Left + p.Left, t.Top + p.Top, p.Width(), p.Height());
        } else if (aspect == qclmode::KeepWidth) {
            p = Bounds(t.Left, t.Top, t.Width(), static_cast<int>(Round(static_cast<double>(t.Width()) / w * h)));
        } else if (aspect == qclmode::KeepHeight) {
            p = Bounds(t.Left, t.Top, static_cast<int>(Round(static_cast<double>(t.Height()) / h * w)), t.Height());
        } else {
            p = t;
        }
    } else {
        p = Bounds(t.Left, t.Top, w, h);
    }
    result = p.Width() > 0 && p.Height() > 0 ? p : t;
    out.push_back(p);
    return out;
}

void blit(HDC target, const TRect& p, HDC source, const TRect& s, DWORD rop) {
    StretchBlt(target, p.Left, p.Top, p.Width(), p.Height(), source, s.Left, s.Top, s.Width(), s.Height(), rop);
}

// Mask with SRCAND, then the picture with SRCPAINT, black text on white.
void maskedCopy(HDC target, const std::vector<TRect>& places, HDC mask, HDC image, const TRect& s) {
    COLORREF back = SetBkColor(target, RGB(255, 255, 255));
    COLORREF text = SetTextColor(target, RGB(0, 0, 0));
    for (const TRect& p : places) {
        blit(target, p, mask, s, SRCAND);
        blit(target, p, image, s, SRCPAINT);
    }
    SetBkColor(target, back);
    SetTextColor(target, text);
}

}  // namespace

TRect QCLBmpDrawExt(TCanvas* Target, const TRect& TargetRect, TCanvas* Source, const TRect& SourceRect,
                    std::uint16_t Mode, TColor Color, HPALETTE Palette, TBitmap* BitmapOrMask) {
    (void)Palette;  // the framework's bitmaps carry no palette of their own
    TRect result(0, 0, 0, 0);
    const TRect& t = TargetRect;
    if (!Target || t.Width() <= 0 || t.Height() <= 0) return result;
    const int w = SourceRect.Width(), h = SourceRect.Height();
    bool empty = false;
    const std::vector<TRect> places = placements(t, w, h, Mode, result, empty);
    if (empty || places.empty()) return result;
    HDC dc = Target->GetHandle();
    if (Mode & qclmode::Stretch) SetStretchBltMode(dc, COLORONCOLOR);

    if (Mode & qclmode::BrushCopy) {
        if (!BitmapOrMask) return result;
        Target->GetBrush()->SetColor(Color);
        for (const TRect& p : places) Target->BrushCopy(p, BitmapOrMask, SourceRect, BitmapOrMask->GetTransparentColor());
        return result;
    }
    if (!Source) return result;
    HDC source = Source->GetHandle();
    if ((Mode & qclmode::Mask) && BitmapOrMask) {
        maskedCopy(dc, places, BitmapOrMask->GetCanvas()->GetHandle(), source, SourceRect);
        return result;
    }
    if (Mode & qclmode::TransparentColor) {
        auto image = std::make_unique<TBitmap>();
        auto mask = std::make_unique<TBitmap>();
        QCLBmpCreateMasksExt(Source, SourceRect, mask.get(), image.get(), Color);
        maskedCopy(dc, places, mask->GetCanvas()->GetHandle(), image->GetCanvas()->GetHandle(), TRect(0, 0, w, h));
        return result;
    }
    for (const TRect& p : places) blit(dc, p, source, SourceRect, SRCCOPY);
    return result;
}

TRect QCLBmpDrawExtMask(TCanvas* Target, const TRect& TargetRect, TCanvas* Source, const TRect& SourceRect,
                        std::uint16_t Mode, TCanvas* MaskCanvas) {
    TRect result(0, 0, 0, 0);
    if (!Target || !Source || !MaskCanvas || TargetRect.Width() <= 0 || TargetRect.Height() <= 0) return result;
    bool empty = false;
    const std::vector<TRect> places = placements(TargetRect, SourceRect.Width(), SourceRect.Height(),
                                                 static_cast<std::uint16_t>(Mode | qclmode::Mask), result, empty);
    if (empty) return result;
    HDC dc = Target->GetHandle();
    if (Mode & qclmode::Stretch) SetStretchBltMode(dc, COLORONCOLOR);
    maskedCopy(dc, places, MaskCanvas->GetHandle(), Source->GetHandle(), SourceRect);
    return result;
}

namespace {

// A bitmap whose canvas reports the pen at x = -1 is skipped by the copies.
bool skipped(TBitmap* bitmap) { return !bitmap || bitmap->GetEmpty() || bitmap->GetCanvas()->GetPenPos().x == -1; }

HPALETTE selectPalette(TCanvas* canvas, TBitmap* bitmap, std::uint16_t mode) {
    if (!(mode & qclmode::Palette) || !QCLUsePalette()) return nullptr;
    HPALETTE palette = bitmap->GetPalette();
    if (palette) {
        SelectPalette(canvas->GetHandle(), palette, FALSE);
        RealizePalette(canvas->GetHandle());
    }
    return palette;
}

}  // namespace

TRect QCLBmpDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, std::uint16_t Mode, TColor Color) {
    if (!Canvas || skipped(Bitmap)) return TRect(0, 0, 0, 0);
    HPALETTE palette = selectPalette(Canvas, Bitmap, Mode);
    const TRect whole(0, 0, Bitmap->GetWidth(), Bitmap->GetHeight());
    if (Mode & qclmode::BrushCopy) return QCLBmpDrawExt(Canvas, Rect, nullptr, whole, Mode, Color, nullptr, Bitmap);
    return QCLBmpDrawExt(Canvas, Rect, Bitmap->GetCanvas(), whole, Mode, Color, palette, nullptr);
}

void QCLBmpClipDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, std::uint16_t Mode, std::uint32_t Offset,
                    TColor Color) {
    if (!Canvas || skipped(Bitmap)) return;
    selectPalette(Canvas, Bitmap, Mode);
    const TRect whole(0, 0, Bitmap->GetWidth(), Bitmap->GetHeight());
    const bool brushCopy = (Mode & qclmode::BrushCopy) != 0;
    QCLBmpClipDrawExt(Canvas, Rect, brushCopy ? nullptr : Bitmap->GetCanvas(), whole, Mode, Offset, Color,
                      brushCopy ? Bitmap : nullptr);
}

void QCLBmpClipDrawExt(TCanvas* Canvas, const TRect& Rect, TCanvas* Source, const TRect& SourceRect,
                       std::uint16_t Mode, std::uint32_t Offset, TColor Color, TBitmap* BitmapOrMask) {
    if (!(Mode & qclmode::Clip)) {
        QCLBmpDrawExt(Canvas, Rect, Source, SourceRect, Mode, Color, nullptr, BitmapOrMask);
        return;
    }
    QCLScopedOffsetClip clip(Canvas->GetHandle(), Rect, Offset);
    QCLBmpDrawExt(Canvas, Rect, Source, SourceRect, Mode, Color, nullptr, BitmapOrMask);
}

void QCLBmpStretchDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap) {
    QCLBmpDraw(Canvas, Rect, Bitmap, 0x1010, 0);
}

void QCLMaskBmpDraw(TCanvas* Canvas, const TRect& Rect, TBitmap* Bitmap, TBitmap* Background, TColor TransparentColor,
                    TColor MaskColor) {
    if (!Canvas || !Bitmap || !Background || Bitmap->GetEmpty() || Background->GetEmpty()) return;
    // Copies, so that neither of the caller's bitmaps changes.
    auto mask = std::make_unique<TBitmap>();
    mask->Assign(Bitmap);
    auto image = std::make_unique<TBitmap>();
    image->SetSize(Bitmap->GetWidth(), Bitmap->GetHeight());
    auto back = std::make_unique<TBitmap>();
    back->Assign(Background);
    back->SetPixelFormat(pf24bit);
    QCLBmpCreateMasks(Bitmap, mask.get(), image.get(), MaskColor);
    const TRect picture(0, 0, image->GetWidth(), image->GetHeight());
    QCLBmpDrawExt(back->GetCanvas(), Bounds(0, 0, picture.Right, picture.Bottom), image->GetCanvas(), picture,
                  qclmode::Mask, 0, nullptr, mask.get());
    QCLBmpDraw(Canvas, Rect, back.get(), qclmode::Palette | qclmode::TransparentColor, TransparentColor);
}

void QCLBmpDrawDisabledState(TBitmap* Target, TBitmap* Source, int X, int Y) {
    if (!Target || !Source || Source->GetEmpty()) return;
    // The shape: black where the picture is, white where its transparent colour is.
    auto shape = std::make_unique<TBitmap>();
    shape->Assign(Source);
    shape->SetPixelFormat(pf24bit);
    const TColor transparent = Source->GetTransparentColor();
    shape->Mask(transparent);
    TCanvas* canvas = Target->GetCanvas();
    canvas->GetBrush()->SetColor(transparent & 0xFFFFFF);
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->FillRect(TRect(0, 0, Target->GetWidth(), Target->GetHeight()));
    HDC dc = canvas->GetHandle();
    HDC shapeDc = shape->GetCanvas()->GetHandle();
    COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    const int w = Source->GetWidth(), h = Source->GetHeight();
    struct Pass { int dx; TColor color; } passes[] = {{1, clBtnHighlight}, {0, clBtnShadow}};
    for (const Pass& pass : passes) {
        win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(pass.color)));
        win32::SelectedObject selected(dc, brush.get());
        // PSDPxax: the brush where the shape is black, the target elsewhere.
        BitBlt(dc, X + pass.dx, Y + pass.dx, w, h, shapeDc, 0, 0, 0x00B8074A);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void QCLIcon2Bitmap(TBitmap* Bitmap, TIcon* Icon, TColor Color) {
    if (!Bitmap || !Icon || Icon->GetEmpty()) return;
    QCLBmpCreateFromRect(Bitmap, TRect(0, 0, Icon->GetWidth(), Icon->GetHeight()), Color);
    DrawIconEx(Bitmap->GetCanvas()->GetHandle(), 0, 0, Icon->GetHandle(), 0, 0, 0, nullptr, DI_NORMAL);
}

void QCLBmpFromDesktop(TBitmap* Bitmap, const TRect& Rect) {
    if (!Bitmap || Rect.Width() <= 0 || Rect.Height() <= 0) return;
    win32::WindowDC screen(nullptr);
    if (!screen.valid()) return;
    Bitmap->SetSize(Rect.Width(), Rect.Height());
    BitBlt(Bitmap->GetCanvas()->GetHandle(), 0, 0, Rect.Width(), Rect.Height(), screen.get(), Rect.Left, Rect.Top,
           SRCCOPY);
}

void QCLFillPattern(HDC DC, const TRect& Rect, TBitmap* Bitmap) {
    if (!DC || !Bitmap || Bitmap->GetEmpty()) return;
    LOGBRUSH hollow = {BS_NULL, 0, 0};
    win32::BrushHandle hollowBrush(CreateBrushIndirect(&hollow));
    win32::SelectedObject pen(DC, GetStockObject(NULL_PEN));
    win32::SelectedObject brush(DC, hollowBrush.get());
    win32::BrushHandle pattern(CreatePatternBrush(Bitmap->GetHandle()));
    win32::SelectedObject patternSelected(DC, pattern.get());
    PatBlt(DC, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0x00A000C9);
}

void QCLFillTexture(HDC DC, const TRect& Rect, TBitmap* Bitmap, const TPoint& Origin) {
    if (!DC || !Bitmap || Bitmap->GetEmpty() || Origin.x < 0 || Origin.y < 0) return;
    const int rw = Rect.Width(), rh = Rect.Height();
    if (rw <= 0 || rh <= 0) return;
    const int bw = Bitmap->GetWidth(), bh = Bitmap->GetHeight();
    const int ox = Origin.x % bw, oy = Origin.y % bh;
    HDC source = Bitmap->GetCanvas()->GetHandle();
    // A strip as wide as the rectangle and as high as the bitmap.
    win32::MemoryDC strip(CreateCompatibleDC(DC));
    win32::BitmapHandle stripBitmap(CreateCompatibleBitmap(DC, rw, bh));
    win32::SelectedObject selected(strip.get(), stripBitmap.get());
    int x = std::min(bw - ox, rw);
    BitBlt(strip.get(), 0, 0, x, bh, source, ox, 0, SRCCOPY);
    for (; x < rw; x += bw) BitBlt(strip.get(), x, 0, std::min(bw, rw - x), bh, source, 0, 0, SRCCOPY);
    // The strip down the rectangle, from row oy of the strip first.
    int y = std::min(bh - oy, rh);
    BitBlt(DC, Rect.Left, Rect.Top, rw, y, strip.get(), 0, oy, SRCCOPY);
    for (; y < rh; y += bh) BitBlt(DC, Rect.Left, Rect.Top + y, rw, std::min(bh, rh - y), strip.get(), 0, 0, SRCCOPY);
}
