// The connector and the graphic list: see qclcont_collections.h.
#include "components/runtime/qclcont_collections.h"

#include "components/runtime/Qclutils.h"

#include <memory>

namespace {

constexpr TColor white = 0xFFFFFF;
constexpr TColor noColour = 0x1FFFFFFF;

}  // namespace

// ---------------------------------------------------------------------------
// Connector entries

TQCLBorImageListItem::TQCLBorImageListItem(TCollection* Collection)
    : TCollectionItem(Collection), link_(new TChangeLink) {
    link_->OnChange = TNotifyEvent(this, &TQCLBorImageListItem::listChanged);
}

// A list on its way out has already let go of its links (Sender cleared):
// it is told nothing then.
TQCLBorImageListItem::~TQCLBorImageListItem() {
    if (imageList_ && link_->Sender) imageList_->UnRegisterChanges(link_);
    link_->OnChange = nullptr;
    delete link_;
}

TQCLImageListConnector* TQCLBorImageListItem::connector() const {
    auto* items = dynamic_cast<TQCLBorImageListItems*>(GetCollection());
    return items ? items->Connector() : nullptr;
}

void TQCLBorImageListItem::listChanged(TObject*) {
    if (TQCLImageListConnector* owner = connector()) owner->Change();
}

void TQCLBorImageListItem::SetName(const AnsiString& Value) {
    if (name_ == Value) return;
    name_ = Value;
    Changed(false);
}

AnsiString TQCLBorImageListItem::GetDisplayName() const {
    if (!name_.empty()) return name_;
    if (imageList_ && !imageList_->GetName().empty()) return imageList_->GetName();
    return TCollectionItem::GetDisplayName();
}

void TQCLBorImageListItem::SetImageList(TCustomImageList* Value) {
    if (imageList_ == Value) return;
    if (imageList_ && link_->Sender) imageList_->UnRegisterChanges(link_);
    imageList_ = Value;
    if (imageList_) {
        imageList_->RegisterChanges(link_);
        if (TQCLImageListConnector* owner = connector()) imageList_->FreeNotification(owner);
    }
    listChanged(this);
}

void TQCLBorImageListItem::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TQCLBorImageListItem*>(Source)) {
        SetName(source->name_);
        SetImageList(source->imageList_);
        return;
    }
    TCollectionItem::Assign(Source);
}

TQCLBorImageListItems::TQCLBorImageListItems(TQCLImageListConnector* Owner)
    : TCollection(TCollection::FactoryOf<TQCLBorImageListItem>()), owner_(Owner) {}

TPersistent* TQCLBorImageListItems::GetOwner() const { return owner_; }

void TQCLBorImageListItems::Update(TCollectionItem*) {
    if (owner_) owner_->Change();
}

// ---------------------------------------------------------------------------
// Graphic-list entries

TQCLGraphicListItem::TQCLGraphicListItem(TCollection* Collection)
    : TCollectionItem(Collection), picture_(new TPicture) {
    picture_->OnChange = TNotifyEvent(this, &TQCLGraphicListItem::pictureChanged);
}

TQCLGraphicListItem::~TQCLGraphicListItem() {
    picture_->OnChange = nullptr;
    delete picture_;
}

void TQCLGraphicListItem::pictureChanged(TObject*) {
    auto* items = dynamic_cast<TQCLGraphicListItems*>(GetCollection());
    if (items && items->GraphicList()) items->GraphicList()->Change();
}

void TQCLGraphicListItem::SetName(const AnsiString& Value) {
    if (name_ == Value) return;
    name_ = Value;
    Changed(false);
}

AnsiString TQCLGraphicListItem::GetDisplayName() const {
    return name_.empty() ? TCollectionItem::GetDisplayName() : name_;
}

void TQCLGraphicListItem::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TQCLGraphicListItem*>(Source)) {
        SetName(source->name_);
        picture_->Assign(source->picture_);
        return;
    }
    TCollectionItem::Assign(Source);
}

TQCLGraphicListItems::TQCLGraphicListItems(TQCLGraphicList* Owner)
    : TCollection(TCollection::FactoryOf<TQCLGraphicListItem>()), owner_(Owner) {}

TPersistent* TQCLGraphicListItems::GetOwner() const { return owner_; }

void TQCLGraphicListItems::Update(TCollectionItem*) {
    if (owner_) owner_->Change();
}

// ---------------------------------------------------------------------------
// Shared part

TQCLCollectionImageList::TQCLCollectionImageList(TComponent* AOwner, TCollection* Entries)
    : TQCLCustomImageList(AOwner, &TQCLBitmapListItem::Create, icInvalid),
      entries_(Entries),
      shared_(new TQCLListItem(nullptr)) {}

TQCLCollectionImageList::~TQCLCollectionImageList() {
    delete entries_;
    delete shared_;
}

TQCLListItem* TQCLCollectionImageList::GetItem(int Index) const {
    AnsiString name = entryName(Index);  // raises the list-index error outside the entries
    shared_->SetDescription(name);
    return shared_;
}

void TQCLCollectionImageList::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLCollectionImageList*>(Source);
    if (other && other->ClassName() == ClassName()) {
        if (other == this) return;
        DefaultCompressed = other->DefaultCompressed;
        DefaultPixelFormat = other->DefaultPixelFormat;
        entries_->Assign(other->entries_);
        return;
    }
    TQCLCustomImageList::Assign(Source);
}

// ---------------------------------------------------------------------------
// Connector

TQCLImageListConnector::TQCLImageListConnector(TComponent* AOwner)
    : TQCLCollectionImageList(AOwner, new TQCLBorImageListItems(this)) {
    lists_ = static_cast<TQCLBorImageListItems*>(entries_);
}

void TQCLImageListConnector::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLCollectionImageList::Notification(AComponent, Operation);
    if (Operation != opRemove || !lists_) return;
    for (int i = 0; i < lists_->GetCount(); ++i)
        if (lists_->GetItem(i)->GetImageList() == AComponent) lists_->GetItem(i)->SetImageList(nullptr);
}

TCanvas* TQCLImageListConnector::BmpCanvas(int) { return nullptr; }

TRect TQCLImageListConnector::ItemRect(int ListIndex, int) {
    if (pastEnd(ListIndex)) return TRect(0, 0, 0, 0);
    TCustomImageList* list = listOf(ListIndex);
    return list ? TRect(0, 0, list->GetWidth(), list->GetHeight()) : TRect(0, 0, 0, 0);
}

int TQCLImageListConnector::Dimensions(int ListIndex, int Kind) {
    if (pastEnd(ListIndex)) return 0;
    TCustomImageList* list = listOf(ListIndex);
    if (!list) return 0;
    return Kind == 0 ? list->GetWidth() : Kind == 1 ? list->GetHeight() : 0;
}

int TQCLImageListConnector::ItemCount(int ListIndex) {
    if (pastEnd(ListIndex)) return -1;
    TCustomImageList* list = listOf(ListIndex);
    return list ? list->GetCount() : 0;
}

bool TQCLImageListConnector::IsValidItem(int ListIndex, int ImageIndex) {
    if (pastEnd(ListIndex)) return false;
    TCustomImageList* list = listOf(ListIndex);
    return list && ImageIndex >= 0 && ImageIndex < list->GetCount();
}

void TQCLImageListConnector::GetBitmapItem(int ListIndex, int ImageIndex, TBitmap* Bitmap) {
    if (!Bitmap || !IsValidItem(ListIndex, ImageIndex)) return;
    listOf(ListIndex)->GetBitmap(ImageIndex, Bitmap);
}

// Framework image lists always keep a mask.
bool TQCLImageListConnector::Masked(int ListIndex) { return !pastEnd(ListIndex) && listOf(ListIndex) != nullptr; }

HPALETTE TQCLImageListConnector::Palette(int) { return nullptr; }

TColor TQCLImageListConnector::TransparentColor(int ListIndex, int ImageIndex) {
    if (!IsValidItem(ListIndex, ImageIndex)) return white;
    TBitmap bitmap;
    GetBitmapItem(ListIndex, ImageIndex, &bitmap);
    return bitmap.GetTransparentColor();
}

TColor TQCLImageListConnector::GetColorAtPoint(TPoint, int, int) { return white; }

void TQCLImageListConnector::Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int ImageIndex) {
    if (!IsValidItem(ListIndex, ImageIndex)) return;
    listOf(ListIndex)->Draw(Canvas, X, Y, ImageIndex, true);
}

void TQCLImageListConnector::DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex,
                                     int ImageIndex) {
    if (!IsValidItem(ListIndex, ImageIndex)) return;
    TBitmap bitmap;
    GetBitmapItem(ListIndex, ImageIndex, &bitmap);
    QCLBmpDraw(Canvas, Rect, &bitmap, Mode, bitmap.GetTransparentColor());
}

void TQCLImageListConnector::ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset,
                                      TColor Color, int ListIndex, int ImageIndex) {
    if (!IsValidItem(ListIndex, ImageIndex)) return;
    TBitmap bitmap;
    GetBitmapItem(ListIndex, ImageIndex, &bitmap);
    QCLBmpClipDraw(Canvas, Rect, &bitmap, Mode, Offset, Color);
}

// ---------------------------------------------------------------------------
// Graphic list

TQCLGraphicList::TQCLGraphicList(TComponent* AOwner)
    : TQCLCollectionImageList(AOwner, new TQCLGraphicListItems(this)) {
    graphics_ = static_cast<TQCLGraphicListItems*>(entries_);
}

TGraphic* TQCLGraphicList::graphicOf(int listIndex) const {
    if (listIndex >= GetCount()) return nullptr;
    TGraphic* graphic = graphics_->GetItem(listIndex)->GetPicture()->GetGraphic();
    return graphic && !graphic->GetEmpty() ? graphic : nullptr;
}

TCanvas* TQCLGraphicList::BmpCanvas(int) { return nullptr; }

TRect TQCLGraphicList::ItemRect(int ListIndex, int) {
    TGraphic* graphic = graphicOf(ListIndex);
    return graphic ? TRect(0, 0, graphic->GetWidth(), graphic->GetHeight()) : TRect(0, 0, 0, 0);
}

int TQCLGraphicList::Dimensions(int ListIndex, int Kind) {
    TGraphic* graphic = graphicOf(ListIndex);
    if (!graphic) return 0;
    return Kind == 0 ? graphic->GetWidth() : Kind == 1 ? graphic->GetHeight() : 0;
}

int TQCLGraphicList::ItemCount(int ListIndex) { return graphicOf(ListIndex) ? 1 : 0; }

bool TQCLGraphicList::IsValidItem(int ListIndex, int) { return graphicOf(ListIndex) != nullptr; }

void TQCLGraphicList::GetBitmapItem(int ListIndex, int, TBitmap* Bitmap) {
    TGraphic* graphic = graphicOf(ListIndex);
    if (!Bitmap || !graphic) return;
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
        Bitmap->Assign(bitmap);
        return;
    }
    QCLBmpCreateFromRect(Bitmap, TRect(0, 0, graphic->GetWidth(), graphic->GetHeight()), white);
    Bitmap->GetCanvas()->Draw(0, 0, graphic);
}

bool TQCLGraphicList::Masked(int) { return false; }

HPALETTE TQCLGraphicList::Palette(int ListIndex) {
    auto* bitmap = dynamic_cast<TBitmap*>(graphicOf(ListIndex));
    return bitmap ? bitmap->GetPalette() : nullptr;
}

TColor TQCLGraphicList::TransparentColor(int ListIndex, int ImageIndex) {
    TGraphic* graphic = graphicOf(ListIndex);
    if (!graphic) return noColour;
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) return bitmap->GetTransparentColor();
    TBitmap temporary;
    GetBitmapItem(ListIndex, ImageIndex, &temporary);
    return temporary.GetTransparentColor();
}

TColor TQCLGraphicList::GetColorAtPoint(TPoint, int, int) { return white; }

void TQCLGraphicList::Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int) {
    if (TGraphic* graphic = graphicOf(ListIndex)) Canvas->Draw(X, Y, graphic);
}

void TQCLGraphicList::DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex) {
    if (!graphicOf(ListIndex)) return;
    TBitmap bitmap;
    GetBitmapItem(ListIndex, ImageIndex, &bitmap);
    QCLBmpDraw(Canvas, Rect, &bitmap, Mode, bitmap.GetTransparentColor());
}

void TQCLGraphicList::ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color,
                               int ListIndex, int ImageIndex) {
    if (!graphicOf(ListIndex)) return;
    TBitmap bitmap;
    GetBitmapItem(ListIndex, ImageIndex, &bitmap);
    QCLBmpClipDraw(Canvas, Rect, &bitmap, Mode, Offset, Color);
}
