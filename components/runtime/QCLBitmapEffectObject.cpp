// The bitmap-effect property object (switched off: neutral setters).
#include "components/runtime/QCLBitmapEffectObject.h"

#include "components/runtime/qclbmp.h"

#include <memory>

TQCLBitmapEffectObject::TQCLBitmapEffectObject() : alphaBlend_(new TQCLAlphaObject) {
    alphaBlend_->OnChange = [this](TObject* sender) { GetChange(sender); };
}

TQCLBitmapEffectObject::~TQCLBitmapEffectObject() {
    alphaBlend_->OnChange = nullptr;
    delete alphaBlend_;
    delete buffer_;
}

void TQCLBitmapEffectObject::GetChange(TObject* Sender) {
    bufferValid_ = false;
    TQCLObject::GetChange(Sender);
}

bool TQCLBitmapEffectObject::GetBoolean(int index) const {
    switch (index) {
    case 0: return flipVertical_;
    case 1: return flipHorizontal_;
    case 2: return grayScale_;
    case 3: return invert_;
    case 4: return buffered_;
    case 5: return monochrome_;
    default: return false;
    }
}

void TQCLBitmapEffectObject::SetBoolean(int index, bool) {
    bool* fields[] = {&flipVertical_, &flipHorizontal_, &grayScale_, &invert_, &buffered_, &monochrome_};
    if (index < 0 || index > 5) return;
    if (index == 4) {
        delete buffer_;
        buffer_ = nullptr;
        bufferValid_ = false;
    }
    if (!*fields[index]) return;
    *fields[index] = false;
    Change();
}

void TQCLBitmapEffectObject::SetBrightness(std::int16_t) {
    if (brightness_ == 0) return;
    brightness_ = 0;
    Change();
}

void TQCLBitmapEffectObject::SetBooleanForTesting(int index, bool value) {
    bool* fields[] = {&flipVertical_, &flipHorizontal_, &grayScale_, &invert_, &buffered_, &monochrome_};
    if (index >= 0 && index <= 5) *fields[index] = value;
}

void TQCLBitmapEffectObject::runEffects(TBitmap* bitmap, const TRect& rect, const TPoint& point, bool withMonochrome) {
    if (flipVertical_ || flipHorizontal_ || grayScale_ || invert_ || brightness_ != 0) bitmap->SetPixelFormat(pf24bit);
    if (flipVertical_) QCLBMPFlipVertical(bitmap, rect, bitmap, point);
    if (flipHorizontal_) QCLBMPFlipHorizonzal(bitmap, rect, bitmap, point);
    if (grayScale_) QCLBMPGrayScale(bitmap, rect, bitmap, point);
    if (invert_) QCLBMPInvert(bitmap, rect, bitmap, point);
    if (monochrome_ && withMonochrome) bitmap->SetMonochrome(true);
    if (brightness_ != 0) QCLBMPBrightness(bitmap, rect, bitmap, brightness_, point);
}

void TQCLBitmapEffectObject::Draw(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->GetEmpty()) return;
    if (buffered_ && bufferValid_ && buffer_) {
        Bitmap->GetCanvas()->Draw(0, 0, buffer_);
        return;
    }
    // The whole picture: the effects clip the rectangle to the bitmap.
    runEffects(Bitmap, TRect(0, 0, Bitmap->GetWidth(), Bitmap->GetHeight()), TPoint(0, 0), true);
    alphaBlend_->AlphaBlend(Bitmap);
    storeBuffer(Bitmap);
}

void TQCLBitmapEffectObject::storeBuffer(TBitmap* bitmap) {
    if (!buffered_) return;
    if (!buffer_) buffer_ = new TBitmap;
    buffer_->Assign(bitmap);
    bufferValid_ = true;
}

void TQCLBitmapEffectObject::blendArea(TBitmap* bitmap, const TRect& area) {
    TQCLFillObject* fill = alphaBlend_->GetFillObject();
    if (fill->GetStyle() == sfNone || area.IsEmpty()) return;
    auto back = std::make_unique<TBitmap>();
    back->SetPixelFormat(pf24bit);
    back->SetSize(area.Width() + 2, area.Height() + 2);
    fill->FillCanvas(back->GetCanvas(), TRect(0, 0, area.Width() + 2, area.Height() + 2), clWhite);
    bitmap->SetPixelFormat(pf24bit);
    QCLBMPAlphaBlend(bitmap, back.get(), area, TPoint(1, 1), bitmap, alphaBlend_->GetStrength(), area.TopLeft());
}

void TQCLBitmapEffectObject::DrawCopy(TBitmap* Source, TBitmap* Target) {
    if (!Source || !Target) return;
    Target->Assign(Source);
    Draw(Target);
}

void TQCLBitmapEffectObject::DrawCopyFromRect(TBitmap* Source, const TRect& Rect, TBitmap* Target) {
    if (!Source || !Target || Rect.IsEmpty()) return;
    Target->SetSize(Rect.Width(), Rect.Height());
    Target->GetCanvas()->CopyRect(TRect(0, 0, Rect.Width(), Rect.Height()), Source->GetCanvas(), Rect);
    Draw(Target);
}

void TQCLBitmapEffectObject::DrawCopyRect(TBitmap* Source, const TRect& Rect, TBitmap* Target, const TPoint& Point) {
    if (!Source || !Target || Rect.IsEmpty()) return;
    const TRect area = Bounds(Point.x, Point.y, Rect.Width(), Rect.Height());
    Target->GetCanvas()->CopyRect(area, Source->GetCanvas(), Rect);
    runEffects(Target, area, Point, false);
}

void TQCLBitmapEffectObject::DrawCutRect(TBitmap* Source, const TRect& Rect, const TRect& Clip, TBitmap* Target) {
    if (!Source || !Target || Rect.IsEmpty()) return;
    auto processed = std::make_unique<TBitmap>();
    processed->SetPixelFormat(pf24bit);
    DrawCopyFromRect(Source, Rect, processed.get());
    Target->SetSize(Rect.Width(), Rect.Height());
    Target->GetCanvas()->CopyRect(TRect(0, 0, Rect.Width(), Rect.Height()), Source->GetCanvas(), Rect);
    // Only the part of the clip inside the rectangle exists in the copy.
    TRect cut;
    if (!IntersectRect(cut.rc(), Clip.rc(), Rect.rc())) return;
    const TRect inside(cut.Left - Rect.Left, cut.Top - Rect.Top, cut.Right - Rect.Left, cut.Bottom - Rect.Top);
    Target->GetCanvas()->CopyRect(inside, processed->GetCanvas(), inside);
}

void TQCLBitmapEffectObject::DrawCutRect2(TBitmap* Source, const TRect& Rect, const TRect& Area, TBitmap* Target) {
    if (!Source || !Target || Rect.IsEmpty()) return;
    if (buffered_ && bufferValid_ && buffer_) {
        Target->Assign(buffer_);
        return;
    }
    Target->SetSize(Area.Width(), Area.Height());
    const TPoint point(Rect.Left - Area.Left, Rect.Top - Area.Top);
    DrawCopyRect(Source, Rect, Target, point);
    blendArea(Target, Bounds(point.x, point.y, Rect.Width(), Rect.Height()));
    storeBuffer(Target);
}

AnsiString TQCLBitmapEffectObject::GetSetStr() {
    AnsiString parts;
    auto add = [&](bool on, const char* word) {
        if (!on) return;
        if (!parts.empty()) parts += ",";
        parts += word;
    };
    add(alphaBlend_->GetFillObject()->GetStyle() != sfNone, "alpha");
    add(flipVertical_, "FV");
    add(flipHorizontal_, "FH");
    add(grayScale_, "GS");
    add(invert_, "INV");
    add(brightness_ != 0, "B");
    return parts.empty() ? AnsiString("{Disabled}") : "{" + parts + "}";
}

void TQCLBitmapEffectObject::Assign(TPersistent* Source) {
    if (Source == this) return;
    auto* s = dynamic_cast<TQCLBitmapEffectObject*>(Source);
    if (!s) {
        TQCLObject::Assign(Source);
        return;
    }
    flipVertical_ = s->flipVertical_;
    flipHorizontal_ = s->flipHorizontal_;
    grayScale_ = s->grayScale_;
    invert_ = s->invert_;
    brightness_ = s->brightness_;
    SetBuffered(s->buffered_);
    alphaBlend_->Assign(s->alphaBlend_);
}
