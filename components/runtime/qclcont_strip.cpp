// Strip image item and the image list over strips (container unit).
//
// The item keeps three things in step: the strip bitmap (at least the used
// width wide), the mask strip (as wide as the strip while masked, else 0)
// and one 16-bit offset per image, always index × Width. Every operation
// checks its index and the width limit before it changes anything, so a
// refused operation leaves the item as it was.
#include "components/runtime/qclcont.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstreamutils.h"

#include "framework/Forms.h"

#include <algorithm>
#include <memory>

namespace {

[[noreturn]] void invalidSize() { throw EInvalidGraphicOperation("Invalid image size"); }
[[noreturn]] void tooManyImages() { throw EInvalidGraphicOperation("Too many images"); }

constexpr TColor white = 0xFFFFFF;

void copyRect(TBitmap* dest, const TRect& to, TBitmap* source, const TRect& from) {
    TCanvas* canvas = dest->GetCanvas();
    const TCopyMode previous = canvas->GetCopyMode();
    canvas->SetCopyMode(cmSrcCopy);
    canvas->CopyRect(to, source->GetCanvas(), from);
    canvas->SetCopyMode(previous);
}

// Moves a band of a bitmap sideways within itself through a copy, so that
// overlapping source and target never depend on the blit's direction.
void shiftBand(TBitmap* bitmap, int fromX, int toX, int width) {
    if (width <= 0 || fromX == toX) return;
    TBitmap band;
    band.SetPixelFormat(bitmap->GetPixelFormat());
    band.SetSize(width, bitmap->GetHeight());
    copyRect(&band, TRect(0, 0, width, bitmap->GetHeight()), bitmap, TRect(fromX, 0, fromX + width, bitmap->GetHeight()));
    copyRect(bitmap, TRect(toX, 0, toX + width, bitmap->GetHeight()), &band, TRect(0, 0, width, bitmap->GetHeight()));
}

// Gives the bitmap a new size, keeping the overlapping pixels and filling
// new area white, by one blit into a fresh picture (resizing in place goes
// pixel by pixel, which a strip growing to 32,768 pixels cannot afford).
void resizeKeeping(TBitmap*& bitmap, int width, int height) {
    auto grown = std::make_unique<TBitmap>();
    grown->SetPixelFormat(bitmap->GetPixelFormat());
    grown->SetSize(width, height);
    const TRect kept(0, 0, std::min(width, bitmap->GetWidth()), std::min(height, bitmap->GetHeight()));
    if (!bitmap->GetEmpty() && kept.Width() > 0 && kept.Height() > 0)
        copyRect(grown.get(), kept, bitmap, kept);
    delete bitmap;
    bitmap = grown.release();
}

TBitmap* newMono() {
    auto* bitmap = new TBitmap;
    bitmap->SetPixelFormat(pf1bit);
    return bitmap;
}

}  // namespace

TQCLImageListItem::TQCLImageListItem(TComponent* AOwner)
    : TQCLListItem(AOwner), strip_(new TBitmap), mask_(newMono()) {
    strip_->SetHeight(height_);
}

TQCLImageListItem::TQCLImageListItem(int AWidth, int AHeight) : TQCLImageListItem(nullptr) {
    // The object is complete here: its destructor frees the strips.
    if (AWidth < 1 || AHeight < 1)
        invalidSize();
    width_ = AWidth;
    height_ = AHeight;
    Clear();
}

TQCLImageListItem::~TQCLImageListItem() {
    delete strip_;
    delete mask_;
}

void TQCLImageListItem::checkImageIndex(int index) const {
    if (index < 0 || index >= GetCount())
        TList::IndexError(index);
}

bool TQCLImageListItem::checkImage(TBitmap* image) const {
    if (!image)
        return false;
    if (image->GetHeight() != height_ || image->GetWidth() % width_ != 0 || image->GetWidth() == 0)
        invalidSize();
    return true;
}

void TQCLImageListItem::resizeStrips(int width) {
    resizeKeeping(strip_, width, height_);
    if (masked_) {
        mask_->SetPixelFormat(pf1bit);
        resizeKeeping(mask_, width, height_);
    }
}

void TQCLImageListItem::rebuildOffsets(int count) {
    offsets_.clear();
    for (int i = 0; i < count; ++i)
        offsets_.push_back(static_cast<int16_t>(i * width_));
    usedWidth_ = count * width_;
}

int TQCLImageListItem::reserveSlot() {
    const int newUsed = usedWidth_ + width_;
    if (strip_->GetWidth() < newUsed) {
        const int64_t grown = int64_t(strip_->GetWidth()) + int64_t(allocBy_) * width_;
        if (grown > MaxStripWidth || newUsed > MaxStripWidth)
            tooManyImages();
        resizeStrips(static_cast<int>(std::max<int64_t>(grown, newUsed)));
    }
    offsets_.push_back(static_cast<int16_t>(usedWidth_));
    usedWidth_ = newUsed;
    return GetCount() - 1;
}

void TQCLImageListItem::SetInteger(int Which, int Value) {
    int& field = Which == 0 ? width_ : height_;
    if (Value <= 0 || Value == field || (Which != 0 && Which != 1)) return;
    field = Value;
    Clear();
    Change();
}

void TQCLImageListItem::SetAllocBy(int Value) {
    if (Value > 0)
        allocBy_ = Value;
}

void TQCLImageListItem::SetMaskedState(bool Value) {
    if (Value == masked_) return;
    if (Value) {
        mask_->SetPixelFormat(pf1bit);
        resizeKeeping(mask_, strip_->GetWidth(), height_);
    } else {
        mask_->SetSize(0, height_);
    }
    rebuildOffsets(GetCount());
    masked_ = Value;
    Change();
}

int TQCLImageListItem::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image && !Mask)
        return reserveSlot();
    if (!checkImage(Image) || (masked_ && Mask && !checkImage(Mask)))
        return -1;
    const int index = reserveSlot();
    Replace(index, Image, Mask);
    return index;
}

template <class Operation>
void TQCLImageListItem::withMaskFrom(TBitmap* image, TColor colour, Operation operation) {
    if (!masked_) {
        operation(image, nullptr);
        return;
    }
    TBitmap picture, mask;
    QCLBmpCreateMasks(image, &mask, &picture, colour);
    operation(&picture, &mask);
}

int TQCLImageListItem::AddMasked(TBitmap* Image, TColor TransparentColour) {
    if (!checkImage(Image))
        return -1;
    const int index = reserveSlot();
    ReplaceMasked(index, Image, TransparentColour);
    return index;
}

int TQCLImageListItem::InsertMasked(int Index, TBitmap* Image, TColor TransparentColour) {
    if (!checkImage(Image))
        return -1;
    int result = -1;
    withMaskFrom(Image, TransparentColour, [&](TBitmap* image, TBitmap* mask) { result = Insert(Index, image, mask); });
    return result;
}

void TQCLImageListItem::ReplaceMasked(int Index, TBitmap* Image, TColor TransparentColour) {
    checkImageIndex(Index);
    if (!checkImage(Image))
        return;
    withMaskFrom(Image, TransparentColour, [&](TBitmap* image, TBitmap* mask) { Replace(Index, image, mask); });
}

int TQCLImageListItem::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index >= GetCount())
        return Add(Image, Mask);
    if (Index < 0)
        TList::IndexError(Index);
    if (!checkImage(Image) || (masked_ && Mask && !checkImage(Mask)))
        return -1;
    reserveSlot();
    const int from = Index * width_;
    const int band = usedWidth_ - width_ - from;
    shiftBand(strip_, from, from + width_, band);
    if (masked_)
        shiftBand(mask_, from, from + width_, band);
    rebuildOffsets(GetCount());
    Replace(Index, Image, Mask);
    return Index;
}

void TQCLImageListItem::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    checkImageIndex(Index);
    if (!checkImage(Image))
        return;
    const int x = offsets_[static_cast<size_t>(Index)];
    const TRect cell(0, 0, width_, height_);
    copyRect(strip_, TRect(x, 0, x + width_, height_), Image, cell);
    if (masked_) {
        mask_->SetPixelFormat(pf1bit);
        if (Mask && checkImage(Mask)) {
            copyRect(mask_, TRect(x, 0, x + width_, height_), Mask, cell);
        } else {
            TCanvas* canvas = mask_->GetCanvas();
            canvas->GetBrush()->SetColor(clBlack);
            canvas->FillRect(TRect(x, 0, x + width_, height_));
        }
    }
    Change();
}

void TQCLImageListItem::Delete(int Index) {
    if (Index >= GetCount()) return;
    checkImageIndex(Index);
    // Shifted in place: a full strip does not grow past its limit first.
    const int from = (Index + 1) * width_;
    const int band = usedWidth_ - from;
    shiftBand(strip_, from, from - width_, band);
    if (masked_)
        shiftBand(mask_, from, from - width_, band);
    offsets_.erase(offsets_.begin() + Index);
    rebuildOffsets(GetCount());
    Change();
}

void TQCLImageListItem::Move(int From, int To) {
    if (From == To) return;
    checkImageIndex(From);
    checkImageIndex(To);
    TBitmap image, mask;
    GetBitmap(From, &image);
    GetMaskBitmap(From, &mask);
    BeginUpdate();
    try {
        Delete(From);
        Insert(To, &image, masked_ ? &mask : nullptr);
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLImageListItem::Clear() {
    BeginUpdate();
    delete strip_;
    strip_ = new TBitmap;
    strip_->SetHeight(height_);
    delete mask_;
    mask_ = newMono();
    if (masked_)
        mask_->SetHeight(height_);
    usedWidth_ = 0;
    offsets_.clear();
    EndUpdate(false);
}

void TQCLImageListItem::AddImages(TQCLImageListItem* Other) {
    if (Other->width_ != width_ || Other->height_ != height_)
        invalidSize();
    const int count = Other->GetCount();
    if (count == 0) return;
    const int64_t newUsed = int64_t(count) * width_ + usedWidth_;
    if (newUsed > MaxStripWidth)
        tooManyImages();
    BeginUpdate();
    try {
        if (strip_->GetWidth() < newUsed)
            resizeStrips(static_cast<int>(newUsed));
        const int part = count * width_;
        copyRect(strip_, TRect(usedWidth_, 0, usedWidth_ + part, height_), Other->strip_, TRect(0, 0, part, height_));
        if (masked_ && Other->masked_)
            copyRect(mask_, TRect(usedWidth_, 0, usedWidth_ + part, height_), Other->mask_, TRect(0, 0, part, height_));
        rebuildOffsets(GetCount() + count);
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLImageListItem::InsertImages(int Index, TQCLImageListItem* Other) {
    if (Other->width_ != width_ || Other->height_ != height_)
        invalidSize();
    const int count = Other->GetCount();
    if (count == 0) return;
    if (int64_t(GetCount() + count) * width_ > MaxStripWidth)
        tooManyImages();
    BeginUpdate();
    try {
        for (int i = count - 1; i >= 0; --i) {
            TBitmap image, mask;
            Other->GetBitmap(i, &image);
            if (masked_ && Other->masked_) {
                Other->GetMaskBitmap(i, &mask);
                Insert(Index, &image, &mask);
            } else if (masked_) {
                // An unmasked image is keyed by its own transparent colour.
                InsertMasked(Index, &image, image.GetTransparentColor());
            } else {
                Insert(Index, &image, nullptr);
            }
        }
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLImageListItem::ConvertBmpToIML(TBitmap* Bitmap, int Count, bool Masked) {
    if (Count < 1 || !Bitmap || Bitmap->GetEmpty() || Bitmap->GetWidth() / Count < 1)
        invalidSize();
    const int width = Bitmap->GetWidth() / Count;
    if (int64_t(width) * Count > MaxStripWidth)
        tooManyImages();
    Clear();
    height_ = Bitmap->GetHeight();
    width_ = width;
    masked_ = Masked;
    if (Masked) {
        QCLBmpCreateMasks(Bitmap, mask_, strip_, Bitmap->GetTransparentColor());
    } else {
        strip_->Assign(Bitmap);
        mask_->SetSize(0, height_);
    }
    rebuildOffsets(Count);
    usedWidth_ = strip_->GetWidth();
    Change();
}

bool TQCLImageListItem::LoadFromBitmap(const AnsiString& FileName, int Count, bool Masked) {
    TBitmap bitmap;
    bitmap.LoadFromFile(FileName);
    if (Count < 1 || bitmap.GetEmpty() || bitmap.GetWidth() % Count != 0)
        throw EQCLContainerOpenError(FileName, ExtractFileName(FileName));
    ConvertBmpToIML(&bitmap, Count, Masked);
    SetDescription(ExtractFileName(FileName));
    return true;
}

void TQCLImageListItem::GetBitmap(int Index, TBitmap* Bitmap) {
    if (!Bitmap) return;
    checkImageIndex(Index);
    const int x = offsets_[static_cast<size_t>(Index)];
    Bitmap->SetPixelFormat(strip_->GetPixelFormat());
    Bitmap->SetSize(width_, height_);
    copyRect(Bitmap, TRect(0, 0, width_, height_), strip_, TRect(x, 0, x + width_, height_));
}

void TQCLImageListItem::GetMaskBitmap(int Index, TBitmap* Bitmap) {
    if (!Bitmap || !masked_) return;
    checkImageIndex(Index);
    const int x = offsets_[static_cast<size_t>(Index)];
    Bitmap->SetPixelFormat(pf1bit);
    Bitmap->SetSize(width_, height_);
    copyRect(Bitmap, TRect(0, 0, width_, height_), mask_, TRect(x, 0, x + width_, height_));
}

TRect TQCLImageListItem::GetImageRect(int Index) const {
    checkImageIndex(Index);
    const int x = offsets_[static_cast<size_t>(Index)];
    return TRect(x, 0, x + width_, height_);
}

TColor TQCLImageListItem::TransparentColor(int Index) {
    checkImageIndex(Index);
    return strip_->GetCanvas()->GetPixel(offsets_[static_cast<size_t>(Index)], height_ - 1);
}

TColor TQCLImageListItem::GetColorAtPoint(TPoint Point, int Index) {
    checkImageIndex(Index);
    // The point's y counts up from the image's bottom row.
    return strip_->GetCanvas()->GetPixel(offsets_[static_cast<size_t>(Index)] + Point.x, height_ - 1 + Point.y);
}

void TQCLImageListItem::drawMaskedBlit(TCanvas* canvas, const TRect& dest, const TRect& source) {
    // A monochrome source paints its 0 bits in the text colour and its 1
    // bits in the background colour: black and white make the mask exact.
    const HDC dc = canvas->GetHandle();
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    const TCopyMode previous = canvas->GetCopyMode();
    canvas->SetCopyMode(cmSrcAnd);
    canvas->CopyRect(dest, mask_->GetCanvas(), source);
    canvas->SetCopyMode(cmSrcPaint);
    canvas->CopyRect(dest, strip_->GetCanvas(), source);
    canvas->SetCopyMode(previous);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void TQCLImageListItem::CreatePattern(TBitmap* Bitmap, bool Checkered) const {
    if (!Bitmap || Bitmap->GetEmpty() || BlendColor == clNone) return;
    TCanvas* canvas = Bitmap->GetCanvas();
    for (int y = 0; y < Bitmap->GetHeight(); ++y)
        for (int x = 0; x < Bitmap->GetWidth(); ++x) {
            const bool set = Checkered ? (x + y) % 2 == 1 : x % 2 == 0 || y % 2 == 0;
            if (set) canvas->SetPixel(x, y, BlendColor);
        }
}

void TQCLImageListItem::Draw(TCanvas* Canvas, int X, int Y, int Index) {
    const TRect source = GetImageRect(Index);
    const TRect dest(X, Y, X + width_, Y + height_);
    if (!masked_ || ImageType == itMask) {
        Canvas->CopyRect(dest, (masked_ ? mask_ : strip_)->GetCanvas(), source);
        return;
    }
    const bool plain = DrawingStyle == dsTransparent || (DrawingStyle == dsNormal && BkColor == clNone);
    if (plain) {
        drawMaskedBlit(Canvas, dest, source);
        return;
    }
    // Over the background colour, then the blend pattern, off screen.
    TBitmap back;
    back.SetPixelFormat(pf24bit);
    QCLBmpCreateFromRect(&back, TRect(0, 0, width_, height_), BkColor);
    drawMaskedBlit(back.GetCanvas(), TRect(0, 0, width_, height_), source);
    if (DrawingStyle == dsFocus || DrawingStyle == dsSelected)
        CreatePattern(&back, DrawingStyle == dsSelected);
    Canvas->CopyRect(dest, back.GetCanvas(), TRect(0, 0, width_, height_));
}

void TQCLImageListItem::DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int Index) {
    const TRect source = GetImageRect(Index);
    if (masked_) {
        QCLBmpDrawExt(Canvas, Rect, strip_->GetCanvas(), source, static_cast<uint16_t>(Mode | qclmode::Mask), 0,
                      nullptr, mask_);
        return;
    }
    const TColor key = static_cast<TColor>(TransparentColor(Index) | clPaletteFlag);
    QCLBmpDrawExt(Canvas, Rect, strip_->GetCanvas(), source, Mode, key, nullptr, nullptr);
}

void TQCLImageListItem::ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color,
                                 int Index) {
    const TRect source = GetImageRect(Index);
    if (masked_)
        QCLBmpClipDrawExt(Canvas, Rect, strip_->GetCanvas(), source, static_cast<uint16_t>(Mode | qclmode::Mask),
                          Offset, 0, mask_);
    else
        QCLBmpClipDrawExt(Canvas, Rect, strip_->GetCanvas(), source, Mode, Offset, Color, nullptr);
}

// ---------------------------------------------------------------------------
// Record

uint8_t TQCLImageListItem::WriteFlag() { return TQCLListItem::WriteFlag() | QCLPixelFormatFlag(PixelFormat); }

void TQCLImageListItem::writeImages(TStream* stream) {
    const int count = GetCount();
    stWriteInteger(stream, count);
    if (count == 0) return;
    // The spare growth room is not stored.
    usedWidth_ = count * width_;
    resizeStrips(usedWidth_);
    stWriteBitmap(stream, strip_, GetCompressed(), QCLPixelFormatColours(PixelFormat));
    if (masked_)
        stWriteBitmap(stream, mask_, GetCompressed(), 2);
}

void TQCLImageListItem::readImages(TStream* stream) {
    Clear();
    const int32_t count = stReadInteger(stream);
    if (count < 0 || count > stream->Size - stream->Position || int64_t(count) * width_ > MaxStripWidth)
        QCLRaiseReadError();
    if (count == 0) {
        mask_->SetSize(0, height_);
        return;
    }
    auto strip = std::make_unique<TBitmap>();
    stReadBitmap(stream, strip.get(), GetCompressed());
    if (strip->GetHeight() != height_ || strip->GetWidth() < count * width_ || strip->GetWidth() > MaxStripWidth)
        QCLRaiseReadError();
    std::unique_ptr<TBitmap> mask(newMono());
    if (masked_) {
        stReadBitmap(stream, mask.get(), GetCompressed());
        if (mask->GetHeight() != height_ || mask->GetWidth() != strip->GetWidth())
            QCLRaiseReadError();
    }
    delete strip_;
    strip_ = strip.release();
    delete mask_;
    mask_ = mask.release();
    rebuildOffsets(count);
    usedWidth_ = strip_->GetWidth();
}

void TQCLImageListItem::WriteData(TStream* Stream) {
    WriteStd(Stream);
    stWriteInteger(Stream, height_);
    stWriteInteger(Stream, width_);
    stWriteInteger(Stream, allocBy_);
    stWriteByte(Stream, masked_ ? 1 : 0);
    writeImages(Stream);
}

void TQCLImageListItem::ReadData(TStream* Stream) {
    const uint8_t flags = ReadStd(Stream);
    PixelFormat = QCLPixelFormatOfFlags(flags);
    const int32_t height = stReadInteger(Stream);
    const int32_t width = stReadInteger(Stream);
    const int32_t allocBy = stReadInteger(Stream);
    const uint8_t masked = stReadByte(Stream);
    if (height < 1 || height > MaxStripWidth || width < 1 || width > MaxStripWidth || allocBy < 1)
        QCLRaiseReadError();
    height_ = height;
    width_ = width;
    allocBy_ = allocBy;
    masked_ = masked != 0;
    readImages(Stream);
}

void TQCLImageListItem::DefineProperties(TFiler* Filer) {
    TQCLListItem::DefineProperties(Filer);
    Filer->DefineBinaryProperty("Bitmap", TStreamProc([this](TStream* s) { readImages(s); }), TStreamProc(),
                                false);
}

void TQCLImageListItem::SaveToFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmCreate);
    const AnsiString signature = AnsiString(1, '\x08') + QCLICGetSignature(icImageList);
    file.WriteBuffer(signature.data(), 9);
    stWriteInteger(&file, 1);
    stWriteInteger(&file, 17);
    WriteData(&file);
}

void TQCLImageListItem::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead);
    AnsiString signature(9, '\0');
    if (file.Read(&signature[0], 9) != 9 || signature != AnsiString(1, '\x08') + QCLICGetSignature(icImageList))
        throw EQCLContainerOpenError(FileName, ClassName());
    stReadInteger(&file);
    stReadInteger(&file);
    ReadData(&file);
}

void TQCLImageListItem::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLImageListItem*>(Source);
    if (!other) {
        TQCLListItem::Assign(Source);
        return;
    }
    if (other == this) return;
    AssignStd(other);
    PixelFormat = other->PixelFormat;
    allocBy_ = other->allocBy_;
    BkColor = other->BkColor;
    BlendColor = other->BlendColor;
    DrawingStyle = other->DrawingStyle;
    height_ = other->height_;
    ImageType = other->ImageType;
    masked_ = other->masked_;
    ShareImages = other->ShareImages;
    width_ = other->width_;
    Clear();
    AddImages(other);
}

bool QCLIMLGetItem(const AnsiString& FileName, int Index, TQCLImageListItem* Item) {
    return QCLListGetItemFromFile(FileName, icImageList, nullptr, Item, Index);
}

// ---------------------------------------------------------------------------
// Image list over strips

void TQCLImageList::Assign(TPersistent* Source) {
    TQCLCustomImageList::Assign(Source);
    if (dynamic_cast<TQCLImageList*>(Source))
        SetIndex(0);
}

TCanvas* TQCLImageList::BmpCanvas(int ListIndex) { return GetArrayItem(ListIndex)->GetImageBitmap()->GetCanvas(); }
TRect TQCLImageList::ItemRect(int ListIndex, int ImageIndex) { return GetArrayItem(ListIndex)->GetImageRect(ImageIndex); }

int TQCLImageList::Dimensions(int ListIndex, int Kind) {
    if (pastEnd(ListIndex)) return 0;
    TQCLImageListItem* item = GetArrayItem(ListIndex);
    return Kind == 0 ? item->GetWidth() : Kind == 1 ? item->GetHeight() : 0;
}

int TQCLImageList::ItemCount(int ListIndex) { return pastEnd(ListIndex) ? -1 : GetArrayItem(ListIndex)->GetCount(); }

bool TQCLImageList::IsValidItem(int ListIndex, int ImageIndex) {
    return !pastEnd(ListIndex) && ImageIndex >= 0 && ImageIndex < GetArrayItem(ListIndex)->GetCount();
}

void TQCLImageList::GetBitmapItem(int ListIndex, int ImageIndex, TBitmap* Bitmap) {
    GetArrayItem(ListIndex)->GetBitmap(ImageIndex, Bitmap);
}

bool TQCLImageList::Masked(int ListIndex) { return GetArrayItem(ListIndex)->GetMasked(); }
HPALETTE TQCLImageList::Palette(int ListIndex) {
    return pastEnd(ListIndex) ? nullptr : GetArrayItem(ListIndex)->GetImageBitmap()->GetPalette();
}
TColor TQCLImageList::TransparentColor(int ListIndex, int ImageIndex) {
    return pastEnd(ListIndex) ? white : GetArrayItem(ListIndex)->TransparentColor(ImageIndex);
}
TColor TQCLImageList::GetColorAtPoint(TPoint Point, int ListIndex, int ImageIndex) {
    return pastEnd(ListIndex) ? white : GetArrayItem(ListIndex)->GetColorAtPoint(Point, ImageIndex);
}

void TQCLImageList::Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int ImageIndex) {
    if (!pastEnd(ListIndex)) GetArrayItem(ListIndex)->Draw(Canvas, X, Y, ImageIndex);
}

void TQCLImageList::DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex) {
    if (!pastEnd(ListIndex)) GetArrayItem(ListIndex)->DrawExt(Canvas, Rect, Mode, ImageIndex);
}

void TQCLImageList::ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color,
                             int ListIndex, int ImageIndex) {
    if (!pastEnd(ListIndex)) GetArrayItem(ListIndex)->ClipDraw(Canvas, Rect, Mode, Offset, Color, ImageIndex);
}
