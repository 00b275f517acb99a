/*
 * Component model and containers: TPersistent, TComponent with ownership,
 * notification and the loading bracket; TList, TStrings/TStringList,
 * TCollection, TBits; the stream classes.
 *
 * Loading bracket: every component constructed between BeginLoading() and
 * EndLoading() carries csLoading and csReading; EndLoading clears csReading on
 * all of them, then calls Loaded() on each in creation order (TComponent's own
 * Loaded clears csLoading). Forms open the bracket in their constructor and
 * close it in AfterConstruction; rows built at run time use TLoadingGuard.
 *
 * Destruction: an owner frees its components in reverse creation order, each
 * after its BeforeDestruction, so csDestroying is set before any destructor
 * runs; free-notification subscribers and the owner's components hear
 * opRemove before the component's memory goes.
 */
#pragma once

#include <functional>
#include <vector>

#include "framework/SysUtils.h"
#include "framework/System.h"

class TFiler;
class TComponent;
class TStream;

// ---------------------------------------------------------------------------

class TPublishedProperties;

class TPersistent : public TObject {
public:
    // Copies from Source; falls back to Source->AssignTo(this). Raises
    // EConvertError "Cannot assign a %s to a %s" when neither side knows how.
    virtual void Assign(TPersistent* Source);
    virtual TPersistent* GetOwner() const { return nullptr; }
    virtual void DefineProperties(TFiler* /*Filer*/) {}
    // Appends the class's published properties, base class first
    // (framework/PublishedProperties.h).
    virtual void GetPublishedProperties(TPublishedProperties& /*List*/) {}

protected:
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// ---------------------------------------------------------------------------

enum TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating };
using TComponentState = TSet<TComponentStateItem>;
enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    void BeforeDestruction() override;
    // Tag (default 0).
    void GetPublishedProperties(TPublishedProperties& List) override;

    TComponent* FindComponent(const AnsiString& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    // Both sides hear opRemove when the other dies.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TPersistent* GetOwner() const override { return owner_; }
    TComponent* GetOwnerComponent() const { return owner_; }
    AnsiString GetName() const { return name_; }
    virtual void SetName(const AnsiString& value);
    int GetTag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }
    TComponent* GetComponent(int index) const;
    int GetComponentCount() const { return static_cast<int>(components_.size()); }
    int GetComponentIndex() const;
    TComponentState GetComponentState() const { return state_; }

    // Called once when the component's loading bracket closes.
    virtual void Loaded();
    // Marks the component and everything it owns as being destroyed.
    void Destroying();

    // Loading-state helpers for the bracket (and for tests).
    void SetLoadingFlags();
    void ClearReadingFlag() { state_ >> csReading; }

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void ValidateRename(TComponent* AComponent, const AnsiString& CurName, const AnsiString& NewName);
    void ChangeState(TComponentStateItem item, bool on) { on ? (state_ << item) : (state_ >> item); }

private:
    friend class TComponentAccess;
    void insert(TComponent* c);
    void remove(TComponent* c);
    void removeFreeNotifications();

    TComponent* owner_ = nullptr;
    AnsiString name_;
    int tag_ = 0;
    TComponentState state_;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;

public:
    // Properties.
    BRIM_READONLY(Owner, TComponent::GetOwnerComponent);
    BRIM_PROPERTY(Name, TComponent::GetName, TComponent::SetName);
    BRIM_PROPERTY(Tag, TComponent::GetTag, TComponent::SetTag);
    BRIM_INDEXED_READONLY(Components, TComponent::GetComponent);
    BRIM_READONLY(ComponentCount, TComponent::GetComponentCount);
    BRIM_READONLY(ComponentIndex, TComponent::GetComponentIndex);
    BRIM_READONLY(ComponentState, TComponent::GetComponentState);
};

// Notification is protected like its peers; the stand-in itself reaches it here.
class TComponentAccess {
public:
    static void Notify(TComponent* target, TComponent* about, TOperation op) { target->Notification(about, op); }
};

// Opens a loading bracket on this thread; brackets nest.
void BeginLoading();
// Closes the innermost bracket: clears csReading, then runs Loaded() on each
// component created inside it, in creation order.
void EndLoading();
bool IsLoadingOpen();
// Adds a component constructed before the innermost bracket opened (a form
// opening its own bracket in its constructor) to that bracket.
void JoinLoading(TComponent* component);
// Drops the innermost bracket without running Loaded (a constructor failed).
void AbandonLoading();

// A loading bracket for components created at run time (rows, pages).
class TLoadingGuard {
public:
    TLoadingGuard() { BeginLoading(); }
    ~TLoadingGuard();
    TLoadingGuard(const TLoadingGuard&) = delete;
    TLoadingGuard& operator=(const TLoadingGuard&) = delete;
    // Closes the bracket now; exceptions from Loaded reach the caller.
    void Finish();

private:
    bool open_ = true;
};

// ---------------------------------------------------------------------------
// TList

class TList : public TObject {
public:
    TList() = default;
    ~TList() override = default;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    int Remove(void* Item);
    int IndexOf(void* Item) const;
    void Clear() { items_.clear(); }
    void Exchange(int a, int b);
    void Move(int from, int to);
    void* First() const { return Get(0); }
    void* Last() const { return Get(GetCount() - 1); }
    void Pack();
    void Sort(int (*compare)(void*, void*));

    void* Get(int Index) const;
    void Put(int Index, void* Item);
    int GetCount() const { return static_cast<int>(items_.size()); }
    void SetCount(int value);


    // Raises EListError "List index out of bounds (%d)".
    [[noreturn]] static void IndexError(int Index);

private:
    std::vector<void*> items_;

public:
    // Properties.
    BRIM_INDEXED(Items, TList::Get, TList::Put);
    BRIM_PROPERTY(Count, TList::GetCount, TList::SetCount);
};

// ---------------------------------------------------------------------------
// TStrings / TStringList

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    ~TStrings() override = default;

    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* AObject);
    void AddStrings(TStrings* Strings);
    virtual void Insert(int Index, const AnsiString& S) = 0;
    void InsertObject(int Index, const AnsiString& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual int IndexOf(const AnsiString& S) const;
    int IndexOfName(const AnsiString& Name) const;
    int IndexOfObject(TObject* AObject) const;
    virtual void Exchange(int a, int b);
    void Move(int from, int to);
    void BeginUpdate();
    void EndUpdate();
    bool Equals(const TStrings* other) const;
    void Assign(TPersistent* Source) override;

    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;
    void LoadFromFile(const AnsiString& FileName);
    void SaveToFile(const AnsiString& FileName) const;

    virtual AnsiString Get(int Index) const = 0;
    virtual void Put(int Index, const AnsiString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual int GetCount() const = 0;
    virtual AnsiString GetTextStr() const;
    virtual void SetTextStr(const AnsiString& Value);
    AnsiString GetName(int Index) const;
    AnsiString GetValue(const AnsiString& Name) const;
    void SetValue(const AnsiString& Name, const AnsiString& Value);
    AnsiString GetCommaText() const;
    void SetCommaText(const AnsiString& Value);


    AnsiString operator[](int Index) const { return Get(Index); }

protected:
    virtual void SetUpdateState(bool /*Updating*/) {}
    // Case rule used by IndexOf and Values; TStringList follows CaseSensitive.
    virtual int CompareStrings(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b); }
    int UpdateCount() const { return updateCount_; }

private:
    int updateCount_ = 0;

public:
    // Properties.
    BRIM_INDEXED(Strings, TStrings::Get, TStrings::Put);
    BRIM_INDEXED(Objects, TStrings::GetObject, TStrings::PutObject);
    BRIM_READONLY(Count, TStrings::GetCount);
    BRIM_PROPERTY(Text, TStrings::GetTextStr, TStrings::SetTextStr);
    BRIM_INDEXED_READONLY(Names, TStrings::GetName);
    BRIM_INDEXED(Values, TStrings::GetValue, TStrings::SetValue);
    BRIM_PROPERTY(CommaText, TStrings::GetCommaText, TStrings::SetCommaText);
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override = default;

    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    int IndexOf(const AnsiString& S) const override;
    void Exchange(int a, int b) override;
    // Binary search of a sorted list: true when found; Index is where S is or belongs.
    bool Find(const AnsiString& S, int& Index) const;
    void Sort();
    void CustomSort(const std::function<int(TStringList*, int, int)>& compare);

    AnsiString Get(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;
    int GetCount() const override { return static_cast<int>(items_.size()); }

    bool GetSorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates GetDuplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }
    bool GetCaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);


    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const AnsiString& a, const AnsiString& b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        AnsiString text;
        TObject* object = nullptr;
    };
    void checkIndex(int index) const;
    void insertItem(int index, const AnsiString& s, TObject* o);

    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;

public:
    // Properties.
    BRIM_PROPERTY(Sorted, TStringList::GetSorted, TStringList::SetSorted);
    BRIM_PROPERTY(Duplicates, TStringList::GetDuplicates, TStringList::SetDuplicates);
    BRIM_PROPERTY(CaseSensitive, TStringList::GetCaseSensitive, TStringList::SetCaseSensitive);
};

// ---------------------------------------------------------------------------
// TCollection

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* GetCollection() const { return collection_; }
    void SetCollection(TCollection* value);
    int GetIndex() const;
    virtual void SetIndex(int value);
    int GetID() const { return id_; }
    virtual AnsiString GetDisplayName() const { return ClassName(); }
    TPersistent* GetOwner() const override;


protected:
    // Tells the collection: Changed(false) for this item, Changed(true) for all.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;

public:
    // Properties.
    BRIM_PROPERTY(Collection, TCollectionItem::GetCollection, TCollectionItem::SetCollection);
    BRIM_PROPERTY(Index, TCollectionItem::GetIndex, TCollectionItem::SetIndex);
    BRIM_READONLY(ID, TCollectionItem::GetID);
};

using TCollectionItemFactory = std::function<TCollectionItem*(TCollection*)>;

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemFactory ItemFactory);
    template <class Item> static TCollectionItemFactory FactoryOf() {
        return [](TCollection* c) -> TCollectionItem* { return new Item(c); };
    }
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    TCollectionItem* FindItemID(int ID) const;
    void Assign(TPersistent* Source) override;

    TCollectionItem* GetItem(int Index) const;
    void SetItem(int Index, TCollectionItem* Value);
    int GetCount() const { return static_cast<int>(items_.size()); }


protected:
    // Item is the changed item, or null for a structural change.
    virtual void Update(TCollectionItem* /*Item*/) {}
    void Changed();
    int UpdateCount() const { return updateCount_; }

private:
    friend class TCollectionItem;
    void insertItem(TCollectionItem* item);
    void removeItem(TCollectionItem* item);
    void moveItem(TCollectionItem* item, int newIndex);

    TCollectionItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int updateCount_ = 0;
    int nextId_ = 0;

public:
    // Properties.
    BRIM_INDEXED(Items, TCollection::GetItem, TCollection::SetItem);
    BRIM_READONLY(Count, TCollection::GetCount);
};

// A collection whose GetOwner is a given persistent (header sections, items).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemFactory ItemFactory)
        : TCollection(std::move(ItemFactory)), owner_(AOwner) {}
    TPersistent* GetOwner() const override { return owner_; }

private:
    TPersistent* owner_;
};

// ---------------------------------------------------------------------------
// TBits

class TBits : public TObject {
public:
    bool GetBit(int Index) const;
    void SetBit(int Index, bool Value);
    int GetSize() const { return static_cast<int>(bits_.size()); }
    void SetSize(int Value);
    int OpenBit() const;  // first false bit, or Size


private:
    std::vector<bool> bits_;

public:
    // Properties.
    BRIM_INDEXED(Bits, TBits::GetBit, TBits::SetBit);
    BRIM_PROPERTY(Size, TBits::GetSize, TBits::SetSize);
};

// ---------------------------------------------------------------------------
// Streams

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
constexpr TSeekOrigin soBeginning = soFromBeginning;
constexpr TSeekOrigin soCurrent = soFromCurrent;
constexpr TSeekOrigin soEnd = soFromEnd;

class TStream : public TObject {
public:
    virtual int Read(void* Buffer, int Count) = 0;
    virtual int Write(const void* Buffer, int Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    // Raise EReadError "Stream read error" / EWriteError "Stream write error" on a short count.
    void ReadBuffer(void* Buffer, int Count);
    void WriteBuffer(const void* Buffer, int Count);
    // Copies Count bytes from Source (all of it from its start when Count is 0).
    int64_t CopyFrom(TStream* Source, int64_t Count);

    int64_t GetPosition() const;
    void SetPosition(int64_t value) { Seek(value, soFromBeginning); }
    virtual int64_t GetSize() const;
    virtual void SetSize(int64_t value);


public:
    // Properties.
    BRIM_PROPERTY(Position, TStream::GetPosition, TStream::SetPosition);
    BRIM_PROPERTY(Size, TStream::GetSize, TStream::SetSize);
};

class THandleStream : public TStream {
public:
    explicit THandleStream(HANDLE AHandle) : handle_(AHandle) {}
    int Read(void* Buffer, int Count) override;
    int Write(const void* Buffer, int Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t value) override;
    HANDLE GetHandle() const { return handle_; }

protected:
    HANDLE handle_;

public:
    // Properties.
    BRIM_READONLY(Handle, THandleStream::GetHandle);
};

// Open modes and sharing of TFileStream.
enum : unsigned {
    fmCreate = 0xFFFF,
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
};

class TFileStream : public THandleStream {
public:
    // Raises EFOpenError / EFCreateError with the system's text.
    TFileStream(const AnsiString& FileName, unsigned Mode);
    ~TFileStream() override;
    AnsiString FileName;
};

class TCustomMemoryStream : public TStream {
public:
    int Read(void* Buffer, int Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() const override { return size_; }
    void* Memory() const { return memory_; }
    void SaveToStream(TStream* Stream) const;
    void SaveToFile(const AnsiString& FileName) const;

protected:
    void SetPointer(void* Ptr, int64_t Size) { memory_ = Ptr; size_ = Size; }
    char* memory_base() const { return static_cast<char*>(memory_); }
    int64_t position_ = 0;

private:
    void* memory_ = nullptr;
    int64_t size_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    ~TMemoryStream() override = default;
    int Write(const void* Buffer, int Count) override;
    void SetSize(int64_t value) override;
    void Clear();
    void LoadFromStream(TStream* Stream);
    void LoadFromFile(const AnsiString& FileName);

private:
    std::vector<char> buffer_;
};

// Reads a resource of the module (RCDATA by default). Raises EResNotFound.
class TResourceStream : public TCustomMemoryStream {
public:
    TResourceStream(HINSTANCE Instance, const AnsiString& ResName, LPCSTR ResType);
    TResourceStream(HINSTANCE Instance, int ResID, LPCSTR ResType);
    int Write(const void* Buffer, int Count) override;

private:
    void load(HINSTANCE instance, LPCSTR name, LPCSTR type, const AnsiString& displayName);
};

class TStringStream : public TStream {
public:
    explicit TStringStream(const AnsiString& AString = "") : data_(AString) {}
    int Read(void* Buffer, int Count) override;
    int Write(const void* Buffer, int Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() const override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t value) override;
    const AnsiString& DataString() const { return data_; }

private:
    AnsiString data_;
    int64_t position_ = 0;
};
