// The two image lists of the container unit whose entries live in a
// framework collection rather than in the container's own item list:
// TQCLImageListConnector (each entry a framework image list) and
// TQCLGraphicList (each entry a framework picture of any graphic kind, one
// image per entry).
//
// Tricky points:
// - The container's own item list stays empty: Count, Empty and GetItem
//   answer from the collection; GetItem hands out one shared internal item
//   whose Description is the entry's Name, valid until the next GetItem.
// - An entry's framework image list is not owned: its removal clears it from
//   every entry that refers to it (free notification), and each entry's
//   change link is unregistered before the entry goes.
// - List indexes past the end get the neutral answers of the image-list
//   interface; negative ones raise the list-index error from the collection.
// - A picture that is not a bitmap is drawn through a temporary bitmap
//   (white background), as are the connector's DrawExt and ClipDraw.
#pragma once

#include "components/runtime/qclcont.h"

#include "framework/Classes.h"
#include "framework/ImgList.h"

class TQCLImageListConnector;
class TQCLGraphicList;

// One framework image list of a connector.
class TQCLBorImageListItem : public TCollectionItem {
public:
    explicit TQCLBorImageListItem(TCollection* Collection);
    ~TQCLBorImageListItem() override;
    AnsiString ClassName() const override { return "TQCLBorImageListItem"; }
    void Assign(TPersistent* Source) override;
    // Name, else the image list's component name, else the default.
    AnsiString GetDisplayName() const override;

    AnsiString GetName() const { return name_; }
    void SetName(const AnsiString& Value);
    TCustomImageList* GetImageList() const { return imageList_; }
    // Moves the change link to the new list and signals a change of the connector.
    void SetImageList(TCustomImageList* Value);

    BRIM_PROPERTY(Name, TQCLBorImageListItem::GetName, TQCLBorImageListItem::SetName);
    BRIM_PROPERTY(ImageList, TQCLBorImageListItem::GetImageList, TQCLBorImageListItem::SetImageList);

private:
    void listChanged(TObject* Sender);
    TQCLImageListConnector* connector() const;

    AnsiString name_;
    TCustomImageList* imageList_ = nullptr;
    TChangeLink* link_;
};

class TQCLBorImageListItems : public TCollection {
public:
    explicit TQCLBorImageListItems(TQCLImageListConnector* Owner);
    AnsiString ClassName() const override { return "TQCLBorImageListItems"; }
    TQCLBorImageListItem* Add() { return static_cast<TQCLBorImageListItem*>(TCollection::Add()); }
    TQCLBorImageListItem* GetItem(int Index) const {
        return static_cast<TQCLBorImageListItem*>(TCollection::GetItem(Index));
    }
    TPersistent* GetOwner() const override;
    TQCLImageListConnector* Connector() const { return owner_; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TQCLImageListConnector* owner_;
};

// One picture of a graphic list.
class TQCLGraphicListItem : public TCollectionItem {
public:
    explicit TQCLGraphicListItem(TCollection* Collection);
    ~TQCLGraphicListItem() override;
    AnsiString ClassName() const override { return "TQCLGraphicListItem"; }
    void Assign(TPersistent* Source) override;
    AnsiString GetDisplayName() const override;

    AnsiString GetName() const { return name_; }
    void SetName(const AnsiString& Value);
    TPicture* GetPicture() const { return picture_; }
    void SetPicture(TPicture* Value) { picture_->Assign(Value); }

    BRIM_PROPERTY(Name, TQCLGraphicListItem::GetName, TQCLGraphicListItem::SetName);

private:
    void pictureChanged(TObject* Sender);

    AnsiString name_;
    TPicture* picture_;
};

class TQCLGraphicListItems : public TCollection {
public:
    explicit TQCLGraphicListItems(TQCLGraphicList* Owner);
    AnsiString ClassName() const override { return "TQCLGraphicListItems"; }
    TQCLGraphicListItem* Add() { return static_cast<TQCLGraphicListItem*>(TCollection::Add()); }
    TQCLGraphicListItem* GetItem(int Index) const {
        return static_cast<TQCLGraphicListItem*>(TCollection::GetItem(Index));
    }
    TPersistent* GetOwner() const override;
    TQCLGraphicList* GraphicList() const { return owner_; }

protected:
    void Update(TCollectionItem* Item) override;

private:
    TQCLGraphicList* owner_;
};

// Behaviour shared by the two collection-backed lists: counts and the shared
// item from the collection, Assign between lists of the same class.
class TQCLCollectionImageList : public TQCLCustomImageList {
public:
    TQCLCollectionImageList(TComponent* AOwner, TCollection* Entries);
    ~TQCLCollectionImageList() override;
    AnsiString ClassName() const override { return "TQCLCollectionImageList"; }

    int GetCount() const override { return entries_->GetCount(); }
    bool GetEmpty() const override { return entries_->GetCount() == 0; }
    // The shared internal item, its Description the entry's name.
    TQCLListItem* GetItem(int Index) const override;
    // Another list of the same class: its entries copied into this one's collection.
    void Assign(TPersistent* Source) override;

protected:
    virtual AnsiString entryName(int Index) const = 0;
    TCollection* entries_;

private:
    TQCLListItem* shared_;
};

class TQCLImageListConnector : public TQCLCollectionImageList {
public:
    explicit TQCLImageListConnector(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLImageListConnector"; }

    TQCLBorImageListItems* GetImageLists() const { return lists_; }
    void SetImageLists(TQCLBorImageListItems* Value) { lists_->Assign(Value); }

    TCanvas* BmpCanvas(int ListIndex) override;
    TRect ItemRect(int ListIndex, int ImageIndex) override;
    int Dimensions(int ListIndex, int Kind) override;
    int ItemCount(int ListIndex) override;
    bool IsValidItem(int ListIndex, int ImageIndex) override;
    void GetBitmapItem(int ListIndex, int ImageIndex, TBitmap* Bitmap) override;
    bool Masked(int ListIndex) override;
    HPALETTE Palette(int ListIndex) override;
    TColor TransparentColor(int ListIndex, int ImageIndex) override;
    TColor GetColorAtPoint(TPoint Point, int ListIndex, int ImageIndex) override;
    void Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int ImageIndex) override;
    void DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex) override;
    void ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color, int ListIndex,
                  int ImageIndex) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    AnsiString entryName(int Index) const override { return lists_->GetItem(Index)->GetName(); }

private:
    // The framework list of entry i (null when none is assigned).
    TCustomImageList* listOf(int listIndex) const { return lists_->GetItem(listIndex)->GetImageList(); }
    TQCLBorImageListItems* lists_;
};

class TQCLGraphicList : public TQCLCollectionImageList {
public:
    explicit TQCLGraphicList(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLGraphicList"; }

    TQCLGraphicListItems* GetGraphics() const { return graphics_; }
    void SetImageList(TQCLGraphicListItems* Value) { graphics_->Assign(Value); }

    TCanvas* BmpCanvas(int ListIndex) override;
    TRect ItemRect(int ListIndex, int ImageIndex) override;
    int Dimensions(int ListIndex, int Kind) override;
    int ItemCount(int ListIndex) override;
    bool IsValidItem(int ListIndex, int ImageIndex) override;
    void GetBitmapItem(int ListIndex, int ImageIndex, TBitmap* Bitmap) override;
    bool Masked(int ListIndex) override;
    HPALETTE Palette(int ListIndex) override;
    TColor TransparentColor(int ListIndex, int ImageIndex) override;
    TColor GetColorAtPoint(TPoint Point, int ListIndex, int ImageIndex) override;
    void Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int ImageIndex) override;
    void DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex) override;
    void ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color, int ListIndex,
                  int ImageIndex) override;

protected:
    AnsiString entryName(int Index) const override { return graphics_->GetItem(Index)->GetName(); }

private:
    // The graphic of entry i when it holds one (past the end: null).
    TGraphic* graphicOf(int listIndex) const;
    TQCLGraphicListItems* graphics_;
};
