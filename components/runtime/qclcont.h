// Resource containers of the component library: ordered lists of items, each
// item one resource (a bitmap, a strip of equal-sized images, a string list,
// a block of bytes or a wave sound) with a description, a 16-bit ident and a
// compression flag; the item record that stores one item; container files
// and streams; random access to single items of a container file; the
// global container whose bitmap and image lists layouts name by signature.
//
// Item record (little-endian): a flag byte (bit 0 compressed, 1 description,
// 2 ident, 3 data, 4/5/6 the 1/4/8-bit saving format of bitmaps and strips),
// the description as a length byte (the length modulo 256) and that many
// characters, the ident as an int32 of which a reader keeps 16 bits, then
// the item type's data block.
// Container file: 8, the 8-character signature, int32 count N, N absolute
// int32 offsets of the records, the records. Container stream: the count and
// the records only.
//
// Tricky points:
// - Readers take their input as untrusted: a count, offset or length below 0
//   or beyond the bytes that remain raises the read error before anything is
//   allocated or looped over; a reading container keeps the items read so
//   far and always closes its update bracket.
// - Change links hear every change of their container, also inside
//   BeginUpdate/EndUpdate; only the container's own OnChange is held back.
//   An item's change reaches its container's OnChange with the item as
//   Sender, whatever the container's update state.
// - A bitmap item may load its picture lazily from its container's Source;
//   IsValidItem-style questions use HasPicture, which never loads.
// - Containers own their items: an item freed on its own leaves the list.
#pragma once

#include "components/runtime/QCLCustomComponent.h"
#include "components/runtime/qclprocs.h"

#include "framework/Filer.h"
#include "framework/Graphics.h"

#include <cstdint>
#include <vector>

class TQCLWave;

enum TQCLListItemClassType { icImageList, icBitmap, icWave, icStringList, icGeneric, icRTF, icInvalid };
enum TQCLContainerSource { sdComponent, sdFile, sdAppResource, sdLibResource, sdPath };
enum TQCLSavePixelFormat { spfDefault, spfMono, spf4bit, spf8bit };

// Flag bits of the item record.
namespace qclrecord {
constexpr uint8_t Compressed = 0x01;
constexpr uint8_t HasDescription = 0x02;
constexpr uint8_t HasIdent = 0x04;
constexpr uint8_t HasData = 0x08;
constexpr uint8_t Mono = 0x10;
constexpr uint8_t FourBit = 0x20;
constexpr uint8_t EightBit = 0x40;
}  // namespace qclrecord

// The file signature of a list type ("QCLBML30" ...); empty for icInvalid.
AnsiString QCLICGetSignature(TQCLListItemClassType Type);
// Container and item file suffixes; WithDot puts a dot before a non-empty one.
AnsiString QCLICGetSuffix(TQCLListItemClassType Type, bool WithDot);
AnsiString QCLICGetItemSuffix(TQCLListItemClassType Type, bool WithDot);
// The flag bit of a saving format, and the format of a flag byte.
uint8_t QCLPixelFormatFlag(TQCLSavePixelFormat Format);
TQCLSavePixelFormat QCLPixelFormatOfFlags(uint8_t Flags);
// The colour count that the bitmap block is written with (-1 the bitmap's own saving).
int QCLPixelFormatColours(TQCLSavePixelFormat Format);

// The container open error: a general exception whose text joins the
// framework's "Cannot open file <file>" text and a name (the container's
// class or the file's name) with ": ".
class EQCLContainerOpenError : public Exception {
public:
    EQCLContainerOpenError(const AnsiString& FileName, const AnsiString& Name);
};

// ---------------------------------------------------------------------------
// Change links and containers

class TQCLBaseContainer;

// A client's subscription to one container.
class TQCLChangeLink : public TObject {
public:
    ~TQCLChangeLink() override;
    AnsiString ClassName() const override { return "TQCLChangeLink"; }
    // Fires OnChange with the container as Sender, when assigned.
    virtual void Change();

    TQCLBaseContainer* Sender = nullptr;
    TNotifyEvent OnChange;

private:
    friend class TQCLBaseContainer;
    // Every container that still holds a registration of this link. Sender
    // is cleared by the first unregistration, but a link registered twice
    // stays registered once, and its destructor must still find that one.
    std::vector<TQCLBaseContainer*> holders_;
};

class TQCLBaseContainer : public TQCLCustomComponent {
public:
    explicit TQCLBaseContainer(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}
    ~TQCLBaseContainer() override;
    AnsiString ClassName() const override { return "TQCLBaseContainer"; }

    void RegisterChanges(TQCLChangeLink* Link);
    // Removes the first registration of the link and clears its Sender.
    void UnRegisterChanges(TQCLChangeLink* Link);
    // Removes every registration of the link (the link is being freed).
    void ForgetLink(TQCLChangeLink* Link);
    // Tells every link (also while updating), then the container's OnChange.
    void Change() override;

private:
    std::vector<TQCLChangeLink*> clients_;
};

class TQCLListItem;
class TQCLCustomContainer;
using TQCLListItemFactory = TQCLListItem* (*)(TComponent* Owner);

class TQCLListItem : public TQCLCustomComponent {
public:
    explicit TQCLListItem(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}
    AnsiString ClassName() const override { return "TQCLListItem"; }

    // The data slots of the item types; the base holds no data.
    virtual void FreeData() {}
    virtual bool GetEmpty() { return false; }
    virtual void ReadData(TStream* /*Stream*/) {}
    virtual void WriteData(TStream* /*Stream*/) {}
    // The flag byte: the common bits (compression, description, ident).
    virtual uint8_t WriteFlag();
    // The item's own OnChange (unless updating), then its container's
    // OnChange with the item as Sender.
    void Change() override;
    // The layout property "Internal": the item record, always stored.
    void DefineProperties(TFiler* Filer) override;

    void LoadFromStream(TStream* Stream) { ReadData(Stream); }
    void SaveToStream(TStream* Stream) { WriteData(Stream); }
    // Reads the common part of a record and returns its flag byte.
    uint8_t ReadStd(TStream* Stream);
    void WriteStd(TStream* Stream);
    // Copies the compression flag, Description and Ident.
    void AssignStd(TQCLListItem* Source);

    // The position in the owning container, -1 without one.
    int GetIndex() const;
    TQCLCustomContainer* GetContainer() const;

    AnsiString GetDescription() const { return description_; }
    void SetDescription(const AnsiString& Value);
    uint16_t GetIdent() const { return ident_; }
    void SetIdent(uint16_t Value);
    bool GetCompressed() const { return compressed_; }
    void SetCompressed(bool Value);

    BRIM_PROPERTY(Description, TQCLListItem::GetDescription, TQCLListItem::SetDescription);
    BRIM_PROPERTY(Ident, TQCLListItem::GetIdent, TQCLListItem::SetIdent);
    BRIM_PROPERTY(Compressed, TQCLListItem::GetCompressed, TQCLListItem::SetCompressed);
    BRIM_READONLY(Index, TQCLListItem::GetIndex);

private:
    AnsiString description_;
    uint16_t ident_ = 0;
    bool compressed_ = false;
};

// One bitmap, saved with a chosen pixel format.
class TQCLBitmapListItem : public TQCLListItem {
public:
    explicit TQCLBitmapListItem(TComponent* AOwner);
    ~TQCLBitmapListItem() override;
    AnsiString ClassName() const override { return "TQCLBitmapListItem"; }
    static TQCLListItem* Create(TComponent* Owner) { return new TQCLBitmapListItem(Owner); }

    // The picture, loaded first from the container's Source when still empty.
    TBitmap* GetBitmap();
    // Copies the picture into the item's bitmap.
    void SetBitmap(TBitmap* Value);
    // Whether the item holds a picture now (never loads).
    bool HasPicture() const { return !bitmap_->GetEmpty(); }
    TQCLSavePixelFormat GetPixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TQCLSavePixelFormat Value);

    void Assign(TPersistent* Source) override;
    void FreeData() override;
    bool GetEmpty() override { return bitmap_->GetEmpty(); }
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    uint8_t WriteFlag() override;

    BRIM_PROPERTY(Bitmap, TQCLBitmapListItem::GetBitmap, TQCLBitmapListItem::SetBitmap);
    BRIM_PROPERTY(PixelFormat, TQCLBitmapListItem::GetPixelFormat, TQCLBitmapListItem::SetPixelFormat);

private:
    void loadFromSource();

    TBitmap* bitmap_;
    TQCLSavePixelFormat pixelFormat_ = spfDefault;
};

class TQCLCustomContainer : public TQCLBaseContainer {
public:
    TQCLCustomContainer(TComponent* AOwner, TQCLListItemFactory ItemClass, TQCLListItemClassType Type);
    ~TQCLCustomContainer() override;
    AnsiString ClassName() const override { return "TQCLCustomContainer"; }

    virtual int GetCount() const { return static_cast<int>(items_.size()); }
    virtual bool GetEmpty() const { return items_.empty(); }
    // Raises the list-index error for an index outside the items.
    virtual TQCLListItem* GetItem(int Index) const;
    virtual void ReadData(TStream* Stream, bool WithOffsets);
    virtual void WriteData(TStream* Stream, bool WithOffsets);
    // Another container of the same item class: its settings and copies of
    // its items, one change signal.
    void Assign(TPersistent* Source) override;

    int IndexOf(TQCLListItem* Item) const;
    // The first item whose Description equals Name (case counts), or null.
    TQCLListItem* GetItemByName(const AnsiString& Name) const;
    // Appends Item (the container takes it over) or, for null, a new item of
    // the container's item class; returns the index.
    int Add(TQCLListItem* Item = nullptr);
    void Insert(int Index, TQCLListItem* Item = nullptr);
    void Delete(int Index);
    void Clear();
    void Move(int From, int To);
    // Appends copies of the other container's items; one change signal.
    void AddList(TQCLCustomContainer* Other);

    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream* Stream) { ReadData(Stream, false); }
    void SaveToStream(TStream* Stream) { WriteData(Stream, false); }

    TQCLContainerSource GetSource() const { return source_; }
    // Drops every item's data (outside loading) so it loads again from the new source.
    void SetSource(TQCLContainerSource Value);
    TQCLPathPrefix GetPrefix() const { return prefix_; }
    void SetPrefix(TQCLPathPrefix Value);
    AnsiString GetFileName() const { return fileName_; }
    void SetFileName(const AnsiString& Value) { fileName_ = Value; }
    TQCLListItemClassType GetListType() const { return listType_; }
    TQCLListItem* NewItem() { return itemClass_(this); }

    bool DefaultCompressed = false;

    BRIM_READONLY(Count, TQCLCustomContainer::GetCount);
    BRIM_READONLY(Empty, TQCLCustomContainer::GetEmpty);
    BRIM_PROPERTY(Source, TQCLCustomContainer::GetSource, TQCLCustomContainer::SetSource);
    BRIM_PROPERTY(Prefix, TQCLCustomContainer::GetPrefix, TQCLCustomContainer::SetPrefix);
    BRIM_PROPERTY(FileName, TQCLCustomContainer::GetFileName, TQCLCustomContainer::SetFileName);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Whether Source may be assigned item by item into this container.
    virtual bool SameKind(TPersistent* Source) const;
    virtual void AssignSettings(TQCLCustomContainer* /*Source*/) {}

private:
    void adopt(TQCLListItem* item);
    void checkIndex(int index, int limit) const;

    std::vector<TQCLListItem*> items_;
    TQCLPathPrefix prefix_ = ppProgram;
    TQCLContainerSource source_ = sdComponent;
    AnsiString fileName_;
    TQCLListItemFactory itemClass_;
    TQCLListItemClassType listType_;
};

// ---------------------------------------------------------------------------
// Random access to container files

// The file's list type (icInvalid when its first 9 bytes match no signature)
// and its item count; for a valid type the offsets are read into Offsets.
TQCLListItemClassType QCLListGetFileType(const AnsiString& FileName, int32_t& Count,
                                         std::vector<int32_t>* Offsets);
// Reads item Index at its offset; false without an offsets list.
bool QCLListGetItemFromStream(TStream* Stream, const std::vector<int32_t>* Offsets, int Index,
                              TQCLListItem* Item);
// Without Offsets the file must be of type Expected (else the open error).
bool QCLListGetItemFromFile(const AnsiString& FileName, TQCLListItemClassType Expected,
                            const std::vector<int32_t>* Offsets, TQCLListItem* Item, int Index);
bool QCLBMLGetItem(const AnsiString& FileName, int Index, TBitmap* Bitmap);
bool QCLWVLGetItem(const AnsiString& FileName, int Index, TQCLWave* Wave);
// Loads bitmap Ident from a resource library; false when the library or the
// bitmap is missing.
bool QCLBmpLoadFromFile(const AnsiString& LibraryName, int Ident, TBitmap* Bitmap);
bool QCLBmpLoad(HMODULE Library, int Ident, TBitmap* Bitmap);

// ---------------------------------------------------------------------------
// Image lists: a two-level address, the list index (which entry) and the
// image index (which image inside it). List indexes past the end are answered
// with neutral values without touching an entry; negative ones reach the
// entry lookup and raise the list-index error; drawing an entry past the
// end draws nothing. Drawing goes through the library's bitmap copies, whose
// mode word places, stretches, tiles, clips and masks (Qclutils.h).

class TQCLCustomImageList : public TQCLCustomContainer {
public:
    using TQCLCustomContainer::TQCLCustomContainer;
    AnsiString ClassName() const override { return "TQCLCustomImageList"; }

    // The base raises the abstract-method error for each of these.
    virtual TCanvas* BmpCanvas(int ListIndex);
    virtual TRect ItemRect(int ListIndex, int ImageIndex);
    virtual int Dimensions(int ListIndex, int Kind);
    virtual int ItemCount(int ListIndex);
    virtual bool IsValidItem(int ListIndex, int ImageIndex);
    virtual void GetBitmapItem(int ListIndex, int ImageIndex, TBitmap* Bitmap);
    virtual bool Masked(int ListIndex);
    virtual HPALETTE Palette(int ListIndex);
    virtual TColor TransparentColor(int ListIndex, int ImageIndex);
    virtual TColor GetColorAtPoint(TPoint Point, int ListIndex, int ImageIndex);
    // The image at its natural size with its corner at X, Y.
    virtual void Draw(TCanvas* Canvas, int X, int Y, int ListIndex, int ImageIndex);
    // The image into Rect by the drawing mode.
    virtual void DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex);
    // As DrawExt, clipped to Rect moved by the packed Offset when Mode has the clip bit.
    virtual void ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color,
                          int ListIndex, int ImageIndex);

    int GetIndex() const { return index_; }
    // A value not below the entry count raises EInvalidGraphicOperation;
    // negative values are accepted. No change signal.
    void SetIndex(int Value);

    TQCLSavePixelFormat DefaultPixelFormat = spfDefault;

    BRIM_PROPERTY(Index, TQCLCustomImageList::GetIndex, TQCLCustomImageList::SetIndex);

protected:
    void AssignSettings(TQCLCustomContainer* Source) override;
    bool pastEnd(int listIndex) const { return listIndex >= GetCount(); }

private:
    int index_ = 0;
};

// One bitmap per entry; the image index is ignored.
class TQCLBitmapList : public TQCLCustomImageList {
public:
    explicit TQCLBitmapList(TComponent* AOwner)
        : TQCLCustomImageList(AOwner, &TQCLBitmapListItem::Create, icBitmap) {}
    AnsiString ClassName() const override { return "TQCLBitmapList"; }

    TQCLBitmapListItem* GetArrayItem(int Index) const { return static_cast<TQCLBitmapListItem*>(GetItem(Index)); }
    TQCLBitmapListItem* GetArrayNameItem(const AnsiString& Name) const {
        return static_cast<TQCLBitmapListItem*>(GetItemByName(Name));
    }
    // The picture of entry Index.
    TBitmap* GetBitmap() { return GetArrayItem(GetIndex())->GetBitmap(); }

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
    // Keyed by the picture's transparent colour.
    void DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int ListIndex, int ImageIndex) override;
    void ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color, int ListIndex,
                  int ImageIndex) override;

private:
    TBitmap* picture(int listIndex) { return GetArrayItem(listIndex)->GetBitmap(); }
};

class TQCLImageList;
class TQCLWaveList;
class TQCLStringList;

// True for a bitmap list or a graphic list (one image per entry).
bool QCLIsSingleItemImageList(TQCLCustomImageList* List);
// True for a list of framework image lists (qclcont_collections.h).
bool QCLIsCollectionImageList(TQCLCustomImageList* List);

// ---------------------------------------------------------------------------
// The global container: one list of each kind, replaced only by value.

class TQCLContainer : public TQCLBaseContainer {
public:
    explicit TQCLContainer(TComponent* AOwner);
    ~TQCLContainer() override;
    AnsiString ClassName() const override { return "TQCLContainer"; }

    TQCLBitmapList* GetBitmapList() const { return bitmapList_; }
    TQCLImageList* GetImageList() const { return imageList_; }
    TQCLWaveList* GetWaveList() const { return waveList_; }
    TQCLStringList* GetStringList() const { return stringList_; }
    void SetBitmapList(TQCLBitmapList* Value);
    void SetImageList(TQCLImageList* Value);
    void SetWaveList(TQCLWaveList* Value);
    void SetStringList(TQCLStringList* Value);

private:
    TQCLBitmapList* bitmapList_;
    TQCLImageList* imageList_;
    TQCLWaveList* waveList_;
    TQCLStringList* stringList_;
};

// The process's global container: made with the library's application
// object (QCLInitApplication) and freed with it; null outside that span.
extern TQCLContainer* QCLGlobalContainer;
void QCLCreateGlobalContainer();
void QCLFreeGlobalContainer();

// True when List is the global bitmap list or image list.
bool QCLIsGlobalIdent(TQCLCustomImageList* List);
// Writes "QCLBML30" or "QCLIML30" for a global list, nothing otherwise.
void QCLWriteGlobalIdent(TWriter* Writer, TQCLCustomImageList* List);
// The global list a text names, or null.
TQCLCustomImageList* QCLReadGlobalIdent(TReader* Reader);

// Base of non-visual components that refer to an image list by ImageList,
// ListIndex and ImageIndex. A reference to one of the global container's
// lists is stored as the text property "Internal" ("QCLBML30", "QCLIML30");
// any other list as the ImageList property of its class.
class TQCLContainerComponent : public TQCLCustomComponent {
public:
    explicit TQCLContainerComponent(TComponent* AOwner);
    ~TQCLContainerComponent() override;
    AnsiString ClassName() const override { return "TQCLContainerComponent"; }

    TQCLCustomImageList* GetImageList() const { return imageList_; }
    // Moves the change link to the new list and tells GetIMLChange.
    void SetImageList(TQCLCustomImageList* Value);
    // Which 0 ImageIndex, 1 ListIndex; negative or unchanged values do nothing.
    void SetIndex(int Which, int Value);
    int GetImageIndex() const { return imageIndex_; }
    int GetListIndex() const { return listIndex_; }
    // The list is one of the global container's.
    bool CheckCont() const { return QCLIsGlobalIdent(imageList_); }
    // A list is assigned and its owner is not the global container.
    bool HasControl() const;
    void DefineProperties(TFiler* Filer) override;

    BRIM_PROPERTY(ImageList, TQCLContainerComponent::GetImageList, TQCLContainerComponent::SetImageList);

protected:
    // Called when the list, an index or the list's contents change.
    virtual void GetIMLChange(TObject* /*Sender*/) {}
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ReadIdent(TReader* Reader);
    void WriteIdent(TWriter* Writer);

    TQCLCustomImageList* imageList_ = nullptr;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    TQCLChangeLink link_;
};

// Streams the global container's lists with a layout: four binary
// properties "BitmapList", "ImageList", "WaveList", "StringList" in the
// container stream form, each stored when its list is not empty.
class TQCLContainerCtrl : public TQCLCustomComponent {
public:
    explicit TQCLContainerCtrl(TComponent* AOwner) : TQCLCustomComponent(AOwner) {}
    AnsiString ClassName() const override { return "TQCLContainerCtrl"; }
    void DefineProperties(TFiler* Filer) override;

private:
    TQCLCustomContainer* list(int selector) const;
    void readList(TStream* Stream);
    void writeList(TStream* Stream);
    uint8_t selector_ = 0;
};

// ---------------------------------------------------------------------------
// String, generic and wave lists (qclcont_lists.cpp). Their data blocks:
// compressed, a compressed stream of the text, bytes or RIFF WAVE image;
// plain, an int32 length and the bytes. The generic item always follows
// with its data's file name as a length byte and characters.

class TQCLStringListItem : public TQCLListItem {
public:
    explicit TQCLStringListItem(TComponent* AOwner);
    ~TQCLStringListItem() override;
    AnsiString ClassName() const override { return "TQCLStringListItem"; }
    static TQCLListItem* Create(TComponent* Owner) { return new TQCLStringListItem(Owner); }

    TStrings* GetList() const { return strings_; }
    void SetList(TStrings* Value);
    // Framework strings: copied; another string item: its fields and strings.
    void Assign(TPersistent* Source) override;
    void FreeData() override { strings_->Clear(); }
    bool GetEmpty() override { return strings_->GetCount() == 0; }
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    uint8_t WriteFlag() override;

    BRIM_PROPERTY(Items, TQCLStringListItem::GetList, TQCLStringListItem::SetList);

private:
    TStringList* strings_;
};

class TQCLGenericListItem : public TQCLListItem {
public:
    explicit TQCLGenericListItem(TComponent* AOwner);
    ~TQCLGenericListItem() override;
    AnsiString ClassName() const override { return "TQCLGenericListItem"; }
    static TQCLListItem* Create(TComponent* Owner) { return new TQCLGenericListItem(Owner); }

    TMemoryStream* GetData() const { return data_; }
    AnsiString GetDataFileName() const { return dataFileName_; }
    // The file's bytes (and its name without folder); a missing file or an
    // empty name drops the data.
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);
    // The raw data bytes (not the item record).
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    // Saves the data to a new temporary file and returns its name (empty when
    // the system gives none).
    AnsiString SaveToTempFile();

    void Assign(TPersistent* Source) override;
    void FreeData() override;
    bool GetEmpty() override { return data_->Size == 0; }
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    uint8_t WriteFlag() override;

private:
    TMemoryStream* data_;
    AnsiString dataFileName_;
};

class TQCLWaveListItem : public TQCLListItem {
public:
    explicit TQCLWaveListItem(TComponent* AOwner);
    ~TQCLWaveListItem() override;
    AnsiString ClassName() const override { return "TQCLWaveListItem"; }
    static TQCLListItem* Create(TComponent* Owner) { return new TQCLWaveListItem(Owner); }

    TQCLWave* GetWave() const { return wave_; }
    void SetWave(TQCLWave* Value);
    void Assign(TPersistent* Source) override;
    void FreeData() override;
    bool GetEmpty() override;
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    uint8_t WriteFlag() override;

    BRIM_PROPERTY(Wave, TQCLWaveListItem::GetWave, TQCLWaveListItem::SetWave);

private:
    TQCLWave* wave_;
};

template <class Item, TQCLListItemClassType Type>
class TQCLTypedList : public TQCLCustomContainer {
public:
    explicit TQCLTypedList(TComponent* AOwner) : TQCLCustomContainer(AOwner, &Item::Create, Type) {}
    Item* GetArrayItem(int Index) const { return static_cast<Item*>(GetItem(Index)); }
    Item* GetArrayNameItem(const AnsiString& Name) const { return static_cast<Item*>(GetItemByName(Name)); }
};

class TQCLStringList : public TQCLTypedList<TQCLStringListItem, icStringList> {
public:
    using TQCLTypedList::TQCLTypedList;
    AnsiString ClassName() const override { return "TQCLStringList"; }
};

class TQCLGenericList : public TQCLTypedList<TQCLGenericListItem, icGeneric> {
public:
    using TQCLTypedList::TQCLTypedList;
    AnsiString ClassName() const override { return "TQCLGenericList"; }
};

class TQCLWaveList : public TQCLTypedList<TQCLWaveListItem, icWave> {
public:
    using TQCLTypedList::TQCLTypedList;
    AnsiString ClassName() const override { return "TQCLWaveList"; }
};

// ---------------------------------------------------------------------------
// Strip image item (qclcont_strip.cpp): a strip of equal-sized images side by
// side in one bitmap, with an optional monochrome mask strip. Image i sits at
// x = i × Width after every operation; the strip grows by AllocBy images and
// is never wider than 32,768 pixels. Its record data block: int32 Height,
// Width, AllocBy, a masked byte, int32 count, then (count > 0) the strip cut
// to count × Width and, when masked, the mask strip.

enum TQCLDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TQCLImageType { itImage, itMask };

class TQCLImageListItem : public TQCLListItem {
public:
    explicit TQCLImageListItem(TComponent* AOwner);
    // An item without owner of the given image size; a size below 1 raises
    // EInvalidGraphicOperation "Invalid image size".
    TQCLImageListItem(int AWidth, int AHeight);
    ~TQCLImageListItem() override;
    AnsiString ClassName() const override { return "TQCLImageListItem"; }
    static TQCLListItem* Create(TComponent* Owner) { return new TQCLImageListItem(Owner); }

    static constexpr int MaxStripWidth = 32768;

    int GetCount() const { return static_cast<int>(offsets_.size()); }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // Which 0 Width, 1 Height: a new value above 0 drops all images.
    void SetInteger(int Which, int Value);
    void SetWidth(int Value) { SetInteger(0, Value); }
    void SetHeight(int Value) { SetInteger(1, Value); }
    int GetAllocBy() const { return allocBy_; }
    void SetAllocBy(int Value);
    bool GetMasked() const { return masked_; }
    void SetMaskedState(bool Value);
    int GetUsedWidth() const { return usedWidth_; }

    // Both null: an empty slot; a mask without an image gives -1.
    int Add(TBitmap* Image, TBitmap* Mask);
    int Insert(int Index, TBitmap* Image, TBitmap* Mask);
    // Copies the image's top-left Width × Height (and the mask, or an opaque
    // mask area) into slot Index.
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    // Nothing past the last image.
    void Delete(int Index);
    void Move(int From, int To);
    void Clear();
    // Another item's images of the same size, appended or inserted in order.
    void AddImages(TQCLImageListItem* Other);
    void InsertImages(int Index, TQCLImageListItem* Other);
    // As Add, Insert and Replace, the mask made from the image's pixels of
    // the transparent colour (an unmasked item takes the image alone).
    int AddMasked(TBitmap* Image, TColor TransparentColour);
    int InsertMasked(int Index, TBitmap* Image, TColor TransparentColour);
    void ReplaceMasked(int Index, TBitmap* Image, TColor TransparentColour);
    // Splits a bitmap into Count images (a count below 1 raises "Invalid
    // image size"); masked, the mask comes from its transparent colour.
    void ConvertBmpToIML(TBitmap* Bitmap, int Count, bool Masked);
    bool LoadFromBitmap(const AnsiString& FileName, int Count, bool Masked);

    void GetBitmap(int Index, TBitmap* Bitmap);
    void GetMaskBitmap(int Index, TBitmap* Bitmap);
    TBitmap* GetImageBitmap() const { return strip_; }
    TBitmap* GetImageMaskBitmap() const { return mask_; }
    TRect GetImageRect(int Index) const;
    // The image's bottom-left pixel.
    TColor TransparentColor(int Index);
    TColor GetColorAtPoint(TPoint Point, int Index);
    // Draws the image at its natural size: masked by AND and OR blits,
    // over BkColor when one is set, and with BlendColor laid over it in
    // a pattern for dsFocus (three pixels of four) and dsSelected (checkered).
    void Draw(TCanvas* Canvas, int X, int Y, int Index);
    // The image by the library's drawing mode: through the mask strip when
    // masked, else keyed by the image's bottom-left pixel.
    void DrawExt(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, int Index);
    void ClipDraw(TCanvas* Canvas, const TRect& Rect, uint16_t Mode, uint32_t Offset, TColor Color, int Index);
    // Sets every pixel of the pattern to BlendColor; nothing without one.
    void CreatePattern(TBitmap* Bitmap, bool Checkered) const;

    // A one-item image container file.
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName);

    void Assign(TPersistent* Source) override;
    void FreeData() override { Clear(); }
    bool GetEmpty() override { return offsets_.empty(); }
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    uint8_t WriteFlag() override;
    // "Internal" and the read-only older "Bitmap" (count and blocks only).
    void DefineProperties(TFiler* Filer) override;

    TQCLSavePixelFormat PixelFormat = spfDefault;
    TColor BkColor = clNone;
    TColor BlendColor = clNone;
    TQCLDrawingStyle DrawingStyle = dsNormal;
    TQCLImageType ImageType = itImage;
    bool ShareImages = false;

    BRIM_READONLY(Count, TQCLImageListItem::GetCount);
    BRIM_PROPERTY(Width, TQCLImageListItem::GetWidth, TQCLImageListItem::SetWidth);
    BRIM_PROPERTY(Height, TQCLImageListItem::GetHeight, TQCLImageListItem::SetHeight);
    BRIM_PROPERTY(AllocBy, TQCLImageListItem::GetAllocBy, TQCLImageListItem::SetAllocBy);
    BRIM_PROPERTY(Masked, TQCLImageListItem::GetMasked, TQCLImageListItem::SetMaskedState);

private:
    void checkImageIndex(int index) const;
    // Raises "Invalid image size" for a wrong size; false for no image.
    bool checkImage(TBitmap* image) const;
    int reserveSlot();
    void resizeStrips(int width);
    void rebuildOffsets(int count);
    void readImages(TStream* stream);
    void writeImages(TStream* stream);
    void drawMaskedBlit(TCanvas* canvas, const TRect& dest, const TRect& source);
    // Splits the image at the colour into a picture and a mask, then runs
    // the operation with both; unmasked items get the image alone.
    template <class Operation>
    void withMaskFrom(TBitmap* image, TColor colour, Operation operation);

    int allocBy_ = 4;
    int height_ = 16;
    int usedWidth_ = 0;
    int width_ = 16;
    TBitmap* strip_;
    TBitmap* mask_;
    std::vector<int16_t> offsets_;
    bool masked_ = false;
};

class TQCLImageList : public TQCLCustomImageList {
public:
    explicit TQCLImageList(TComponent* AOwner)
        : TQCLCustomImageList(AOwner, &TQCLImageListItem::Create, icImageList) {}
    AnsiString ClassName() const override { return "TQCLImageList"; }

    TQCLImageListItem* GetArrayItem(int Index) const { return static_cast<TQCLImageListItem*>(GetItem(Index)); }
    TQCLImageListItem* GetArrayNameItem(const AnsiString& Name) const {
        return static_cast<TQCLImageListItem*>(GetItemByName(Name));
    }
    // Entry Index.
    TQCLImageListItem* GetList() const { return GetArrayItem(GetIndex()); }
    // Also sets Index to 0.
    void Assign(TPersistent* Source) override;

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
};

bool QCLIMLGetItem(const AnsiString& FileName, int Index, TQCLImageListItem* Item);
