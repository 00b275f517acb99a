// The shape fill and fill property objects.
#include "components/runtime/QCLShapeFill.h"

#include "components/runtime/qclsysin.h"

#include "framework/Win32Handles.h"

#include <memory>

TQCLShapeFill::TQCLShapeFill()
    : bitmap_(new TBitmap), gradient_(new TQCLGradient), listBitmap_(new TBitmap) {
    bitmap_->OnChange = [this](TObject* sender) { GetChange(sender); };
    gradient_->OnChange = [this](TObject* sender) { GetChange(sender); };
}

TQCLShapeFill::~TQCLShapeFill() {
    bitmap_->OnChange = nullptr;
    gradient_->OnChange = nullptr;
    delete listBitmap_;
    delete gradient_;
    delete bitmap_;
}

void TQCLShapeFill::SetStyle(TQCLFillStyle value) { QCLSetField(this, style_, value); }
void TQCLShapeFill::SetTileMode(TQCLTileMode value) { QCLSetField(this, tileMode_, value); }

TBitmap* TQCLShapeFill::GetBitmap() const {
    if (style_ == sfBitmap) return bitmap_;
    if (style_ == sfBitmapList) return listBitmap_;
    return nullptr;
}

bool TQCLShapeFill::GetEmpty() const {
    if (style_ == sfNone) return true;
    if (style_ == sfBitmap || style_ == sfBitmapList) return GetBitmap()->GetEmpty();
    return false;
}

bool TQCLShapeFill::GetMustRedraw() const {
    switch (style_) {
    case sfBrushBitmap:
    case sfBrush: return false;
    case sfBitmap:
    case sfBitmapList: return tileMode_ != tmTile;
    default: return true;
    }
}

HPALETTE TQCLShapeFill::GetPalette() const {
    switch (style_) {
    case sfBrushBitmap:
    case sfBitmap: return bitmap_->GetPalette();
    case sfBitmapList: return listBitmap_->GetPalette();
    case sfGradient: return gradient_->GetPalette();
    default: return nullptr;
    }
}

void TQCLShapeFill::SetListBitmap(TBitmap* Bitmap) {
    if (Bitmap) {
        listBitmap_->Assign(Bitmap);
    } else {
        delete listBitmap_;
        listBitmap_ = new TBitmap;
    }
}

void TQCLShapeFill::assignShapeFill(TQCLShapeFill* source) {
    bitmap_->Assign(source->bitmap_);
    SetListBitmap(source->listBitmap_);
    gradient_->Assign(source->gradient_);
    SetStyle(source->style_);
    SetTileMode(source->tileMode_);
}

void TQCLShapeFill::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLShapeFill*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    BeginUpdate();
    assignShapeFill(s);
    EndUpdate(true);
}

AnsiString TQCLShapeFill::GetSetStr() {
    static const char* const words[] = {"Disabled", "BrushBitmap", "Brush", "Bitmap", "BitmapList", "Gradient"};
    return AnsiString("{") + words[style_] + "}";
}

// ---------------------------------------------------------------------------

TQCLFillObject::TQCLFillObject() : brush_(new TBrush) {
    BeginUpdate();
    SetStyle(sfNone);
    EndUpdate(false);
    brush_->OnChange = [this](TObject* sender) { GetChange(sender); };
}

TQCLFillObject::~TQCLFillObject() {
    brush_->OnChange = nullptr;
    delete brush_;
}

bool TQCLFillObject::placementMatters() const {
    return (GetStyle() == sfBitmap || GetStyle() == sfBitmapList) && GetTileMode() == tmNone;
}

void TQCLFillObject::SetAlignment(TQCLAlignment value) {
    if (alignment_ == value) return;
    alignment_ = value;
    if (placementMatters()) Change();
}

void TQCLFillObject::SetOffset(int index, int value) {
    int* field = index == 0 ? &offsetX_ : index == 1 ? &offsetY_ : nullptr;
    if (!field) {
        Change();
        return;
    }
    if (*field == value) return;
    *field = value;
    if (placementMatters()) Change();
}

void TQCLFillObject::SetOptions(TQCLFillOptions value) { QCLSetField(this, options_, value); }

bool TQCLFillObject::GetTransparent() const {
    const bool inner = options_.Contains(foFillInner);
    switch (GetStyle()) {
    case sfNone: return true;
    case sfBrush: return brush_->GetStyle() != bsSolid && !inner;
    case sfBitmap:
    case sfBitmapList: return (GetTileMode() == tmNone || GetTileMode() == tmCenter) && !inner;
    default: return false;
    }
}

void TQCLFillObject::background(TCanvas* canvas, const TRect& rect, TColor color) const {
    if (!options_.Contains(foFillInner)) return;
    win32::BrushHandle brush(CreateSolidBrush(ColorToRGB(color)));
    RECT rc = *rect.rc();
    ::FillRect(canvas->GetHandle(), &rc, brush.get());
}

bool TQCLFillObject::fillBitmap(TCanvas* canvas, const TRect& rect, TColor color, TBitmap* bitmap) const {
    if (bitmap->GetEmpty()) {
        background(canvas, rect, color);
        return false;
    }
    const std::uint16_t flags = options_.Contains(foQuickDraw) ? 0 : qclmode::Palette;
    switch (GetTileMode()) {
    case tmNone: {
        background(canvas, rect, color);
        TRect place = QCLAlignRect(alignment_, TRect(0, 0, bitmap->GetWidth(), bitmap->GetHeight()), rect);
        place = Bounds(place.Left + offsetX_, place.Top + offsetY_, place.Width(), place.Height());
        QCLBmpDraw(canvas, place, bitmap, flags, 0);
        break;
    }
    case tmCenter:
        background(canvas, rect, color);
        QCLBmpDraw(canvas, rect, bitmap, flags | qclmode::Center, 0);
        break;
    case tmStretch: QCLBmpDraw(canvas, rect, bitmap, flags | qclmode::Stretch, 0); break;
    case tmTile: QCLBmpDraw(canvas, rect, bitmap, flags | qclmode::Tile, 0); break;
    }
    return true;
}

bool TQCLFillObject::FillCanvas(TCanvas* Canvas, const TRect& Rect, TColor Color) {
    if (!Canvas) return false;
    switch (GetStyle()) {
    case sfNone: return false;
    case sfBrushBitmap: {
        TBitmap* pattern = GetFillBitmap();
        if (pattern->GetEmpty()) return true;
        // Pattern brushes of Windows 95, 98 and Me hold at most 8 x 8 pixels.
        std::unique_ptr<TBitmap> small;
        if (!QCLSIWindowsNT) {
            small = std::make_unique<TBitmap>();
            small->SetSize(8, 8);
            small->GetCanvas()->CopyRect(TRect(0, 0, 8, 8), pattern->GetCanvas(), TRect(0, 0, 8, 8));
            pattern = small.get();
        }
        TBrush* brush = Canvas->GetBrush();
        struct PatternRemover {
            TBrush* brush;
            ~PatternRemover() { brush->SetBitmap(nullptr); }
        } remover{brush};
        brush->SetBitmap(pattern);
        Canvas->FillRect(Rect);
        return true;
    }
    case sfBrush: {
        Canvas->GetBrush()->Assign(brush_);
        Canvas->GetPen()->SetColor(Color);
        HDC dc = Canvas->GetHandle();
        // Hatch gaps show the colour.
        if (brush_->GetStyle() != bsSolid && brush_->GetStyle() != bsClear) {
            SetBkColor(dc, ColorToRGB(Color));
            SetBkMode(dc, OPAQUE);
        }
        RECT rc = *Rect.rc();
        if (brush_->GetStyle() != bsClear) ::FillRect(dc, &rc, Canvas->GetBrush()->GetHandle());
        return true;
    }
    case sfBitmap:
    case sfBitmapList: return fillBitmap(Canvas, Rect, Color, GetBitmap());
    case sfGradient: {
        TQCLGradient* g = GetGradient();
        std::uint16_t flags = options_.Contains(foGrUseBitmap) ? 0x0004 : 0;
        if (g->GetPaletteRealize()) flags |= 0x1000;
        QCLGradientPaintExt(Canvas, Rect, g->GetStyle(), &g->GetColorList(), g->GetPalette(), flags, 0);
        return true;
    }
    }
    return false;
}

bool TQCLFillObject::ClipFill(TCanvas* Canvas, const TRect& Rect, TColor Color, std::uint32_t Offset) {
    if (!Canvas) return false;
    if (GetStyle() == sfGradient && options_.Contains(foGrUseBitmap)) return FillCanvas(Canvas, Rect, Color);
    QCLScopedOffsetClip clip(Canvas->GetHandle(), Rect, Offset);
    return FillCanvas(Canvas, Rect, Color);
}

void TQCLFillObject::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* fill = dynamic_cast<TQCLFillObject*>(Source);
    if (!fill) {
        TQCLShapeFill::Assign(Source);  // a plain shape fill: its part only
        return;
    }
    BeginUpdate();
    assignShapeFill(fill);
    brush_->Assign(fill->brush_);
    options_ = fill->options_;
    alignment_ = fill->alignment_;
    offsetX_ = fill->offsetX_;
    offsetY_ = fill->offsetY_;
    EndUpdate(true);
}
