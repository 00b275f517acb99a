// Containers, list items, the bitmap item and the container file and stream
// formats (unit qclcont; image lists in qclcont_images.cpp, the other lists
// in qclcont_lists.cpp, the global container in qclcont_global.cpp).
//
// Containers are written and read as container streams and files here; the
// framework streams no components, so a layout keeps an item only in its
// "Internal" property and items are added with Add.
#include "components/runtime/qclcont.h"

#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstreamutils.h"

#include "framework/Forms.h"

#include <algorithm>

namespace {

struct TypeRow {
    const char* signature;
    const char* suffix;
    const char* itemSuffix;
};

// One row per TQCLListItemClassType, icInvalid last.
const TypeRow typeTable[] = {
    {"QCLIML30", "iml", "iml"}, {"QCLBML30", "bml", "bmp"}, {"QCLWVL30", "wvl", "wav"},
    {"QCLSLL30", "sll", "txt"}, {"QCLGLL50", "gll", "*"},   {"QCLRTL50", "rtl", "rtf"},
    {"", "", ""},
};

AnsiString withDot(const char* suffix, bool dot) {
    AnsiString text(suffix);
    return dot && !text.empty() ? "." + text : text;
}

int64_t remainingIn(TStream* stream) { return stream->Size - stream->Position; }

// The 9 signature bytes of a container file: the length byte 8 and the text.
AnsiString signatureBytes(TQCLListItemClassType type) { return AnsiString(1, '\x08') + QCLICGetSignature(type); }

// The first 9 bytes of a stream, shorter when the stream is.
AnsiString readSignature(TStream* stream) {
    AnsiString bytes(9, '\0');
    const int got = stream->Read(&bytes[0], 9);
    bytes.resize(static_cast<size_t>(std::max(got, 0)));
    return bytes;
}

// Reads a count of entries of at least `minBytes` each, checked against the
// bytes that remain.
int32_t readCount(TStream* stream, int64_t minBytes) {
    const int32_t count = stReadInteger(stream);
    if (count < 0 || count * minBytes > remainingIn(stream))
        QCLRaiseReadError();
    return count;
}

}  // namespace

AnsiString QCLICGetSignature(TQCLListItemClassType Type) { return typeTable[Type].signature; }
AnsiString QCLICGetSuffix(TQCLListItemClassType Type, bool WithDot) { return withDot(typeTable[Type].suffix, WithDot); }
AnsiString QCLICGetItemSuffix(TQCLListItemClassType Type, bool WithDot) {
    return withDot(typeTable[Type].itemSuffix, WithDot);
}

uint8_t QCLPixelFormatFlag(TQCLSavePixelFormat Format) {
    switch (Format) {
    case spfMono: return qclrecord::Mono;
    case spf4bit: return qclrecord::FourBit;
    case spf8bit: return qclrecord::EightBit;
    default: return 0;
    }
}

TQCLSavePixelFormat QCLPixelFormatOfFlags(uint8_t Flags) {
    if (Flags & qclrecord::Mono) return spfMono;
    if (Flags & qclrecord::FourBit) return spf4bit;
    if (Flags & qclrecord::EightBit) return spf8bit;
    return spfDefault;
}

int QCLPixelFormatColours(TQCLSavePixelFormat Format) {
    switch (Format) {
    case spfMono: return 2;
    case spf4bit: return 16;
    case spf8bit: return 256;
    default: return -1;
    }
}

EQCLContainerOpenError::EQCLContainerOpenError(const AnsiString& FileName, const AnsiString& Name)
    : Exception("Cannot open file %s: %s", {FileName, Name}) {}

// ---------------------------------------------------------------------------
// Change links

TQCLChangeLink::~TQCLChangeLink() {
    while (!holders_.empty())
        holders_.back()->ForgetLink(this);
}

void TQCLChangeLink::Change() {
    if (OnChange)
        OnChange(Sender);
}

TQCLBaseContainer::~TQCLBaseContainer() {
    while (!clients_.empty())
        UnRegisterChanges(clients_.back());
}

void TQCLBaseContainer::RegisterChanges(TQCLChangeLink* Link) {
    Link->Sender = this;
    if (std::find(clients_.begin(), clients_.end(), Link) == clients_.end())
        Link->holders_.push_back(this);
    clients_.push_back(Link);
}

void TQCLBaseContainer::UnRegisterChanges(TQCLChangeLink* Link) {
    auto it = std::find(clients_.begin(), clients_.end(), Link);
    if (it == clients_.end())
        return;
    clients_.erase(it);
    Link->Sender = nullptr;
    if (std::find(clients_.begin(), clients_.end(), Link) == clients_.end()) {
        auto& holders = Link->holders_;
        holders.erase(std::remove(holders.begin(), holders.end(), this), holders.end());
    }
}

void TQCLBaseContainer::ForgetLink(TQCLChangeLink* Link) {
    while (std::find(clients_.begin(), clients_.end(), Link) != clients_.end())
        UnRegisterChanges(Link);
}

void TQCLBaseContainer::Change() {
    // By index: a link's handler may unregister links.
    for (size_t i = 0; i < clients_.size(); ++i)
        clients_[i]->Change();
    TQCLCustomComponent::Change();
}

// ---------------------------------------------------------------------------
// List items

uint8_t TQCLListItem::WriteFlag() {
    uint8_t flags = 0;
    if (compressed_) flags |= qclrecord::Compressed;
    if (!description_.empty()) flags |= qclrecord::HasDescription;
    if (ident_ != 0) flags |= qclrecord::HasIdent;
    return flags;
}

void TQCLListItem::Change() {
    TQCLCustomComponent::Change();
    if (TQCLCustomContainer* container = GetContainer())
        if (container->OnChange)
            container->OnChange(this);
}

void TQCLListItem::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty("Internal", TStreamProc([this](TStream* s) { ReadData(s); }),
                                TStreamProc([this](TStream* s) { WriteData(s); }), true);
}

uint8_t TQCLListItem::ReadStd(TStream* Stream) {
    const uint8_t flags = stReadByte(Stream);
    compressed_ = (flags & qclrecord::Compressed) != 0;
    description_ = (flags & qclrecord::HasDescription) ? stReadString(Stream) : AnsiString();
    ident_ = (flags & qclrecord::HasIdent) ? static_cast<uint16_t>(stReadInteger(Stream) & 0xFFFF) : 0;
    return flags;
}

void TQCLListItem::WriteStd(TStream* Stream) {
    const uint8_t flags = WriteFlag();
    stWriteByte(Stream, flags);
    if (flags & qclrecord::HasDescription)
        stWriteString(Stream, description_);
    if (flags & qclrecord::HasIdent)
        stWriteInteger(Stream, ident_);
}

void TQCLListItem::AssignStd(TQCLListItem* Source) {
    compressed_ = Source->compressed_;
    description_ = Source->description_;
    ident_ = Source->ident_;
}

TQCLCustomContainer* TQCLListItem::GetContainer() const {
    return dynamic_cast<TQCLCustomContainer*>(GetOwnerComponent());
}

int TQCLListItem::GetIndex() const {
    TQCLCustomContainer* container = GetContainer();
    return container ? container->IndexOf(const_cast<TQCLListItem*>(this)) : -1;
}

void TQCLListItem::SetDescription(const AnsiString& Value) {
    if (Value == description_) return;
    description_ = Value;
    Change();
}

void TQCLListItem::SetIdent(uint16_t Value) {
    if (Value == ident_) return;
    ident_ = Value;
    Change();
}

void TQCLListItem::SetCompressed(bool Value) {
    if (Value == compressed_) return;
    compressed_ = Value;
    Change();
}

// ---------------------------------------------------------------------------
// Bitmap item

TQCLBitmapListItem::TQCLBitmapListItem(TComponent* AOwner) : TQCLListItem(AOwner), bitmap_(new TBitmap) {}

TQCLBitmapListItem::~TQCLBitmapListItem() { delete bitmap_; }

TBitmap* TQCLBitmapListItem::GetBitmap() {
    if (GetComponentState().Contains(csLoading) || !bitmap_->GetEmpty())
        return bitmap_;
    BeginUpdate();
    try {
        loadFromSource();
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(false);
    return bitmap_;
}

void TQCLBitmapListItem::loadFromSource() {
    TQCLCustomContainer* owner = GetContainer();
    if (!owner)
        return;
    const AnsiString fileName = owner->GetFileName();
    const TQCLPathPrefix prefix = owner->GetPrefix();
    switch (owner->GetSource()) {
    case sdComponent:
        break;
    case sdFile:
        QCLBMLGetItem(QCLCreatePathPrefix(prefix, true) + fileName, GetIdent(), bitmap_);
        break;
    case sdAppResource:
        bitmap_->LoadFromResourceID(HInstance, GetIdent());
        break;
    case sdLibResource:
    case sdPath: {
        const AnsiString folder = prefix == ppFixed ? ExtractFilePath(fileName) : QCLCreatePathPrefix(prefix, true);
        const AnsiString path = folder + ExtractFileName(fileName).substr(0, 3) + IntToStr(int(GetIdent())) +
                                QCLICGetItemSuffix(icBitmap, true);
        if (owner->GetSource() == sdPath)
            bitmap_->LoadFromFile(path);
        else
            QCLBmpLoadFromFile(prefix == ppWindows || prefix == ppSystem ? fileName : path, GetIdent(), bitmap_);
        break;
    }
    }
}

void TQCLBitmapListItem::SetBitmap(TBitmap* Value) {
    bitmap_->Assign(Value);
    Change();
}

void TQCLBitmapListItem::SetPixelFormat(TQCLSavePixelFormat Value) {
    if (Value == pixelFormat_) return;
    pixelFormat_ = Value;
    Change();
}

void TQCLBitmapListItem::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TQCLBitmapListItem*>(Source);
    if (!other) {
        TQCLListItem::Assign(Source);
        return;
    }
    AssignStd(other);
    bitmap_->Assign(other->GetBitmap());
    pixelFormat_ = other->pixelFormat_;
}

void TQCLBitmapListItem::FreeData() {
    delete bitmap_;
    bitmap_ = new TBitmap;
}

uint8_t TQCLBitmapListItem::WriteFlag() {
    uint8_t flags = TQCLListItem::WriteFlag() | QCLPixelFormatFlag(pixelFormat_);
    if (!bitmap_->GetEmpty())
        flags |= qclrecord::HasData;
    return flags;
}

void TQCLBitmapListItem::WriteData(TStream* Stream) {
    WriteStd(Stream);
    if (!bitmap_->GetEmpty())
        stWriteBitmap(Stream, bitmap_, GetCompressed(), QCLPixelFormatColours(pixelFormat_));
}

void TQCLBitmapListItem::ReadData(TStream* Stream) {
    const uint8_t flags = ReadStd(Stream);
    pixelFormat_ = QCLPixelFormatOfFlags(flags);
    if (flags & qclrecord::HasData)
        stReadBitmap(Stream, bitmap_, GetCompressed());
}

// ---------------------------------------------------------------------------
// Containers

TQCLCustomContainer::TQCLCustomContainer(TComponent* AOwner, TQCLListItemFactory ItemClass,
                                         TQCLListItemClassType Type)
    : TQCLBaseContainer(AOwner), itemClass_(ItemClass), listType_(Type) {}

TQCLCustomContainer::~TQCLCustomContainer() {
    // The components' own destruction frees the items; the list only forgets them.
    items_.clear();
}

void TQCLCustomContainer::checkIndex(int index, int limit) const {
    if (index < 0 || index >= limit)
        TList::IndexError(index);
}

TQCLListItem* TQCLCustomContainer::GetItem(int Index) const {
    checkIndex(Index, GetCount());
    return items_[static_cast<size_t>(Index)];
}

int TQCLCustomContainer::IndexOf(TQCLListItem* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TQCLListItem* TQCLCustomContainer::GetItemByName(const AnsiString& Name) const {
    for (TQCLListItem* item : items_)
        if (item->GetDescription() == Name)
            return item;
    return nullptr;
}

void TQCLCustomContainer::adopt(TQCLListItem* item) {
    if (item->GetOwnerComponent() != this)
        InsertComponent(item);
}

int TQCLCustomContainer::Add(TQCLListItem* Item) {
    Insert(static_cast<int>(items_.size()), Item);
    return static_cast<int>(items_.size()) - 1;
}

void TQCLCustomContainer::Insert(int Index, TQCLListItem* Item) {
    checkIndex(Index, GetCount() + 1);
    TQCLListItem* item = Item ? Item : itemClass_(this);
    adopt(item);
    if (IndexOf(item) < 0)
        items_.insert(items_.begin() + Index, item);
    Change();
}

void TQCLCustomContainer::Delete(int Index) {
    TQCLListItem* item = GetItem(Index);
    items_.erase(items_.begin() + Index);
    delete item;
    Change();
}

void TQCLCustomContainer::Clear() {
    while (!items_.empty()) {
        TQCLListItem* item = items_.back();
        items_.pop_back();
        delete item;
    }
    Change();
}

void TQCLCustomContainer::Move(int From, int To) {
    if (From == To) return;
    checkIndex(From, GetCount());
    checkIndex(To, GetCount());
    TQCLListItem* item = items_[static_cast<size_t>(From)];
    items_.erase(items_.begin() + From);
    items_.insert(items_.begin() + To, item);
    Change();
}

void TQCLCustomContainer::AddList(TQCLCustomContainer* Other) {
    const int count = Other->GetCount();
    for (int i = 0; i < count; ++i) {
        TQCLListItem* copy = itemClass_(this);
        items_.push_back(copy);
        copy->Assign(Other->GetItem(i));
    }
    Change();
}

bool TQCLCustomContainer::SameKind(TPersistent* Source) const {
    auto* other = dynamic_cast<TQCLCustomContainer*>(Source);
    return other && other->itemClass_ == itemClass_;
}

void TQCLCustomContainer::Assign(TPersistent* Source) {
    if (!SameKind(Source)) {
        TQCLBaseContainer::Assign(Source);
        return;
    }
    auto* other = static_cast<TQCLCustomContainer*>(Source);
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        DefaultCompressed = other->DefaultCompressed;
        AssignSettings(other);
        AddList(other);
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLCustomContainer::Notification(TComponent* AComponent, TOperation Operation) {
    TQCLBaseContainer::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    auto it = std::find(items_.begin(), items_.end(), AComponent);
    if (it != items_.end())
        items_.erase(it);
}

void TQCLCustomContainer::SetSource(TQCLContainerSource Value) {
    if (Value == source_) return;
    if (!GetComponentState().Contains(csLoading))
        for (TQCLListItem* item : items_)
            item->FreeData();
    source_ = Value;
    Change();
}

void TQCLCustomContainer::SetPrefix(TQCLPathPrefix Value) {
    if (Value == prefix_) return;
    prefix_ = Value;
    Change();
}

void TQCLCustomContainer::WriteData(TStream* Stream, bool WithOffsets) {
    const int32_t count = GetCount();
    stWriteInteger(Stream, count);
    if (!WithOffsets) {
        for (int i = 0; i < count; ++i)
            GetItem(i)->WriteData(Stream);
        return;
    }
    if (count <= 0) return;
    const int64_t tableAt = Stream->Position;
    Stream->Position = tableAt + 4 * int64_t(count);
    std::vector<int32_t> offsets;
    for (int i = 0; i < count; ++i) {
        offsets.push_back(static_cast<int32_t>(Stream->Position));
        GetItem(i)->WriteData(Stream);
    }
    const int64_t end = Stream->Position;
    Stream->Position = tableAt;
    for (int32_t offset : offsets)
        stWriteInteger(Stream, offset);
    Stream->Position = end;
}

void TQCLCustomContainer::ReadData(TStream* Stream, bool WithOffsets) {
    BeginUpdate();
    try {
        Clear();
        // Every record holds at least its flag byte, every offset 4 bytes.
        const int32_t count = readCount(Stream, WithOffsets ? 5 : 1);
        if (WithOffsets && count > 0)
            Stream->Position = Stream->Position + 4 * int64_t(count);
        for (int32_t i = 0; i < count; ++i)
            GetItem(Add())->ReadData(Stream);
    } catch (...) {
        EndUpdate(true);
        throw;
    }
    EndUpdate(true);
}

void TQCLCustomContainer::LoadFromFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmOpenRead | fmShareDenyRead);
    if (readSignature(&file) != signatureBytes(listType_))
        throw EQCLContainerOpenError(FileName, ClassName());
    ReadData(&file, true);
}

void TQCLCustomContainer::SaveToFile(const AnsiString& FileName) {
    TFileStream file(FileName, fmCreate);
    const AnsiString signature = signatureBytes(listType_);
    file.WriteBuffer(signature.data(), static_cast<int>(signature.size()));
    WriteData(&file, true);
}

// ---------------------------------------------------------------------------
// Random access

TQCLListItemClassType QCLListGetFileType(const AnsiString& FileName, int32_t& Count,
                                         std::vector<int32_t>* Offsets) {
    TFileStream file(FileName, fmOpenRead);
    const AnsiString signature = readSignature(&file);
    TQCLListItemClassType type = icInvalid;
    for (int t = icImageList; t < icInvalid; ++t)
        if (signature == signatureBytes(static_cast<TQCLListItemClassType>(t))) {
            type = static_cast<TQCLListItemClassType>(t);
            break;
        }
    if (type == icInvalid) {
        Count = signature.size() == 9 ? stReadInteger(&file) : 0;
        return type;
    }
    Count = readCount(&file, 4);
    if (Offsets) {
        Offsets->clear();
        Offsets->reserve(static_cast<size_t>(Count));
        for (int32_t i = 0; i < Count; ++i)
            Offsets->push_back(stReadInteger(&file));
    }
    return type;
}

bool QCLListGetItemFromStream(TStream* Stream, const std::vector<int32_t>* Offsets, int Index,
                              TQCLListItem* Item) {
    if (!Offsets)
        return false;
    if (Index < 0 || Index >= static_cast<int>(Offsets->size()))
        TList::IndexError(Index);
    const int32_t offset = (*Offsets)[static_cast<size_t>(Index)];
    if (offset < 0 || offset >= Stream->Size)
        QCLRaiseReadError();
    Stream->Position = offset;
    Item->LoadFromStream(Stream);
    return true;
}

bool QCLListGetItemFromFile(const AnsiString& FileName, TQCLListItemClassType Expected,
                            const std::vector<int32_t>* Offsets, TQCLListItem* Item, int Index) {
    std::vector<int32_t> ownOffsets;
    if (!Offsets) {
        int32_t count = 0;
        if (QCLListGetFileType(FileName, count, &ownOffsets) != Expected)
            throw EQCLContainerOpenError(FileName, ExtractFileName(FileName));
        Offsets = &ownOffsets;
    }
    TFileStream file(FileName, fmOpenRead);
    return QCLListGetItemFromStream(&file, Offsets, Index, Item);
}

bool QCLBMLGetItem(const AnsiString& FileName, int Index, TBitmap* Bitmap) {
    TQCLBitmapListItem item(nullptr);
    const bool read = QCLListGetItemFromFile(FileName, icBitmap, nullptr, &item, Index);
    Bitmap->Assign(item.GetBitmap());
    return read;
}

bool QCLBmpLoadFromFile(const AnsiString& LibraryName, int Ident, TBitmap* Bitmap) {
    // Loaded as data: no code of the library runs.
    HMODULE library = LoadLibraryExA(LibraryName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!library)
        return false;
    bool loaded = false;
    try {
        loaded = QCLBmpLoad(library, Ident, Bitmap);
    } catch (...) {
        FreeLibrary(library);
        throw;
    }
    FreeLibrary(library);
    return loaded;
}

bool QCLBmpLoad(HMODULE Library, int Ident, TBitmap* Bitmap) {
    if (!Library || !FindResourceA(Library, MAKEINTRESOURCEA(Ident), MAKEINTRESOURCEA(2) /* RT_BITMAP */))
        return false;
    try {
        Bitmap->LoadFromResourceID(Library, Ident);
    } catch (const EResNotFound&) {
        return false;
    }
    return true;
}
