// The picture with a transparent colour; see Tranimag.h.
#include "skin/Tranimag.h"

#include <memory>

#include "skin/Xparbmp.h"

namespace {
constexpr int emptySize = 30;
}

TTranImage::TTranImage(TComponent* AOwner) : TGraphicControl(AOwner), bitmap_(new TBitmap) {
    SetControlStyle(GetControlStyle() << csOpaque);
    SetBounds(0, 0, emptySize, emptySize);
}

TTranImage::~TTranImage() { delete bitmap_; }

void TTranImage::SetBitMap(TBitmap* value) {
    bitmap_->Assign(value);
    if (bitmap_->GetEmpty() || bitmap_->GetHeight() <= 0) SetBounds(GetLeft(), GetTop(), emptySize, emptySize);
    else SetBounds(GetLeft(), GetTop(), bitmap_->GetWidth(), bitmap_->GetHeight());
    Invalidate();
}

void TTranImage::SetTransparentColor(TColor value) {
    if (value == transparentColor_) return;
    transparentColor_ = value;
    Invalidate();
}

bool TTranImage::OnGlyphP(int X, int Y) {
    if (!GetClientRect().Contains(TPoint(X, Y))) return false;
    // Outside the picture there is nothing to press.
    if (bitmap_->GetEmpty() || X >= bitmap_->GetWidth() || Y >= bitmap_->GetHeight()) return false;
    TColor pixel = bitmap_->GetCanvas()->GetPixel(X, Y);
    return (pixel & 0xFFFFFF) != static_cast<TColor>(ColorToRGB(transparentColor_));
}

void TTranImage::Paint() {
    TCanvas* canvas = GetCanvas();
    if (bitmap_->GetEmpty() || bitmap_->GetHeight() <= 0) {
        canvas->Brush->Style = bsSolid;
        canvas->Brush->Color = clWhite;
        canvas->FillRect(GetClientRect());
        return;
    }
    if (transparentColor_ & 0x80000000) {
        canvas->Draw(0, 0, bitmap_);
        return;
    }
    std::unique_ptr<TBitmap> picture(new TBitmap);
    picture->Assign(bitmap_);
    DrawTransparentBitmap(canvas->GetHandle(), picture->GetHandle(), 0, 0, transparentColor_);
}

void TTranImage::MouseMove(TShiftState Shift, int X, int Y) {
    cursorOverImage_ = OnGlyphP(X, Y);
    TGraphicControl::MouseMove(Shift, X, Y);
}
