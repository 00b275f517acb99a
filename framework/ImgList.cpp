/*
 * TImageList over comctl32; see ImgList.h. Bitmaps are handed to the system
 * list as copies (ImageList_Add copies), never as the TBitmap's own handle
 * while that is selected into the bitmap's canvas.
 */
#include "framework/ImgList.h"

#include <commctrl.h>

#include <algorithm>

TChangeLink::~TChangeLink() {
    if (Sender) Sender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (OnChange) OnChange(Sender);
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight)
    : TComponent(AOwner), width_(AWidth), height_(AHeight) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : links_) link->Sender = nullptr;
    links_.clear();
    destroy();
}

void TCustomImageList::destroy() {
    if (!handle_) return;
    ImageList_Destroy(handle_);
    TrackGdiObjects(-1);
    handle_ = nullptr;
}

void TCustomImageList::create() {
    if (handle_) return;
    handle_ = ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4);
    if (!handle_) throw EOutOfResources("Out of system resources");
    TrackGdiObjects(1);
    ImageList_SetBkColor(handle_, bkColor_ == clNone ? CLR_NONE : ColorToRGB(bkColor_));
}

HIMAGELIST TCustomImageList::GetHandle() {
    create();
    return handle_;
}

int TCustomImageList::GetCount() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetWidth(int value) {
    if (!SetIfChanged(width_, value)) return;
    Clear();
    destroy();
}

void TCustomImageList::SetHeight(int value) {
    if (!SetIfChanged(height_, value)) return;
    Clear();
    destroy();
}

void TCustomImageList::SetBkColor(TColor value) {
    bkColor_ = value;
    if (handle_) ImageList_SetBkColor(handle_, value == clNone ? CLR_NONE : ColorToRGB(value));
    Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    create();
    TBitmap image, mask;
    image.Assign(Image);
    HBITMAP maskHandle = nullptr;
    if (Mask) {
        mask.Assign(Mask);
        maskHandle = mask.Handle;
    }
    int index = ImageList_Add(handle_, image.Handle, maskHandle);
    if (index < 0) throw EInvalidOperation("Failed to add image");
    Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    create();
    TBitmap image, mask;
    image.Assign(Image);
    mask.Assign(Image);
    mask.Mask(MaskColor == clDefault ? Image->TransparentColor() : MaskColor);
    // Masked pixels become black in the image so that drawing with the mask
    // leaves the destination there.
    for (int y = 0; y < image.GetHeight(); ++y) {
        auto* row = static_cast<unsigned char*>(image.GetScanLine(y));
        const auto* bits = static_cast<const unsigned char*>(mask.GetScanLine(y));
        for (int x = 0; x < image.GetWidth(); ++x)
            if ((bits[x / 8] >> (7 - x % 8)) & 1) row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = 0;
    }
    int index = ImageList_Add(handle_, image.Handle, mask.Handle);
    if (index < 0) throw EInvalidOperation("Failed to add image");
    Change();
    return index;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index >= GetCount()) throw EInvalidOperation("Invalid ImageList Index");
    TBitmap image, mask;
    image.Assign(Image);
    HBITMAP maskHandle = nullptr;
    if (Mask) {
        mask.Assign(Mask);
        maskHandle = mask.Handle;
    }
    if (!ImageList_Replace(handle_, Index, image.Handle, maskHandle))
        throw EInvalidOperation("Failed to replace image");
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index < 0 || Index >= GetCount()) throw EInvalidOperation("Invalid ImageList Index");
    ImageList_Remove(handle_, Index);
    Change();
}

void TCustomImageList::Clear() {
    if (handle_) ImageList_Remove(handle_, -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (!handle_ || Index < 0 || Index >= GetCount()) return;
    HDC dc = Canvas->Handle;
    if (Enabled) {
        ImageList_Draw(handle_, Index, dc, X, Y, ILD_NORMAL);
    } else {
        IMAGELISTDRAWPARAMS params = {};
        params.cbSize = sizeof params;
        params.himl = handle_;
        params.i = Index;
        params.hdcDst = dc;
        params.x = X;
        params.y = Y;
        params.rgbBk = CLR_NONE;
        params.rgbFg = CLR_DEFAULT;
        params.fStyle = ILD_NORMAL;
        params.fState = ILS_SATURATE;
        ImageList_DrawIndirect(&params);
    }
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    Image->SetSize(width_, height_);
    if (!handle_ || Index < 0 || Index >= GetCount()) return;
    TCanvas* canvas = Image->Canvas;
    canvas->Brush->Color = bkColor_ == clNone ? clWhite : bkColor_;
    canvas->FillRect(Rect(0, 0, width_, height_));
    Draw(canvas, 0, 0, Index, true);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    Value->Sender = this;
    if (std::find(links_.begin(), links_.end(), Value) == links_.end()) links_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    links_.erase(std::remove(links_.begin(), links_.end(), Value), links_.end());
    Value->Sender = nullptr;
}

void TCustomImageList::Change() {
    for (TChangeLink* link : std::vector<TChangeLink*>(links_)) link->Change();
    if (OnChange) OnChange(this);
}
