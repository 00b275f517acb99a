// Image lists of the container unit: the two-level image-list interface and
// the bitmap list (one picture per entry, loaded lazily by its item).
//
// Drawing goes through the library's bitmap copies; an entry past the end
// draws nothing.
#include "components/runtime/qclcont.h"
#include "components/runtime/qclcont_collections.h"

#include "components/runtime/Qclutils.h"

namespace {

[[noreturn]] void abstractError() { throw EAbstractError("Abstract Error"); }

constexpr TColor white = 0xFFFFFF;

}  // namespace

TCanvas* TQCLCustomImageList::BmpCanvas(int) { abstractError(); }
TRect TQCLCustomImageList::ItemRect(int, int) { abstractError(); }
int TQCLCustomImageList::Dimensions(int, int) { abstractError(); }
int TQCLCustomImageList::ItemCount(int) { abstractError(); }
bool TQCLCustomImageList::IsValidItem(int, int) { abstractError(); }
void TQCLCustomImageList::GetBitmapItem(int, int, TBitmap*) { abstractError(); }
bool TQCLCustomImageList::Masked(int) { abstractError(); }
HPALETTE TQCLCustomImageList::Palette(int) { abstractError(); }
TColor TQCLCustomImageList::TransparentColor(int, int) { abstractError(); }
TColor TQCLCustomImageList::GetColorAtPoint(TPoint, int, int) { abstractError(); }
void TQCLCustomImageList::Draw(TCanvas*, int, int, int, int) { abstractError(); }
void TQCLCustomImageList::DrawExt(TCanvas*, const TRect&, uint16_t, int, int) { abstractError(); }
void TQCLCustomImageList::ClipDraw(TCanvas*, const TRect&, uint16_t, uint32_t, TColor, int, int) { abstractError(); }

void TQCLCustomImageList::SetIndex(int Value) {
    if (Value == index_) return;
    if (Value >= GetCount())
        throw EInvalidGraphicOperation("List index out of bounds (%d)", {Value});
    index_ = Value;
}

void TQCLCustomImageList::AssignSettings(TQCLCustomContainer* Source) {
    DefaultPixelFormat = static_cast<TQCLCustomImageList*>(Source)->DefaultPixelFormat;
}

bool QCLIsSingleItemImageList(TQCLCustomImageList* List) {
    return dynamic_cast<TQCLBitmapList*>(List) != nullptr || dynamic_cast<TQCLGraphicList*>(List) != nullptr;
}
bool QCLIsCollectionImageList(TQCLCustomImageList* List) {
    return dynamic_cast<TQCLImageListConnector*>(List) != nullptr;
}

// ---------------------------------------------------------------------------
// Bitmap list

TCanvas* TQCLBitmapList::BmpCanvas(int ListIndex) { return picture(ListIndex)->GetCanvas(); }

TRect TQCLBitmapList::ItemRect(int ListIndex, int) {
    TBitmap* bitmap = picture(ListIndex);
    return TRect(0, 0, bitmap->GetWidth(), bitmap->GetHeight());
}

int TQCLBitmapList::Dimensions(int ListIndex, int Kind) {
    if (pastEnd(ListIndex)) return 0;
    TBitmap* bitmap = picture(ListIndex);
    return Kind == 0 ? bitmap->GetWidth() : Kind == 1 ? bitmap->GetHeight() : 0;
}

int TQCLBitmapList::ItemCount(int ListIndex) {
    if (pastEnd(ListIndex)) return 0;
    return picture(ListIndex)->GetEmpty() ? 0 : 1;
}

bool TQCLBitmapList::IsValidItem(int ListIndex, int) {
    return !pastEnd(ListIndex) && GetArrayItem(ListIndex)->HasPicture();
}

void TQCLBitmapList::GetBitmapItem(int ListIndex, int, TBitmap* Bitmap) {
    if (Bitmap)
        Bitmap->Assign(picture(ListIndex));
}

bool TQCLBitmapList::Masked(int) { return false; }

HPALETTE TQCLBitmapList::Palette(int ListIndex) { return pastEnd(ListIndex) ? nullptr : picture(ListIndex)->GetPalette(); }

TColor TQCLBitmapList::TransparentColor(int ListIndex, int) {
    return pastEnd(ListIndex) ? white : picture(ListIndex)->GetTransparentColor();
}

TColor TQCLBitmapList::GetColorAtPoint(TPoint Point, int ListIndex, int) {
    return pastEnd(ListIndex) ? white : picture(ListIndex)->GetCanvas()->GetPixel(Point.x, Point.y);
}

void TQCLBitmapList::Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int) {
    if (pastEnd(ListIndex)) return;
    TBitmap* bitmap = picture(ListIndex);
    QCLBmpDraw(Canvas, Bounds(X, Y, bitmap->GetWidth(), bitmap->GetHeight()), bitmap, 0, 0);
}

void TQCLBitmapList::DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int) {
    if (pastEnd(ListIndex)) return;
    TBitmap* bitmap = picture(ListIndex);
    QCLBmpDraw(Canvas, Rect, bitmap, Mode, bitmap->GetTransparentColor());
}

void TQCLBitmapList::ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color,
                              int ListIndex, int) {
    if (pastEnd(ListIndex)) return;
    QCLBmpClipDraw(Canvas, Rect, picture(ListIndex), Mode, Offset, Color);
}
