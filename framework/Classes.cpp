/*
 * Component model, lists, collections and streams; see Classes.h.
 * The loading brackets are a per-thread stack of the components created while
 * each bracket is open; a component destroyed before its bracket closes takes
 * itself out so that Loaded never reaches freed memory.
 */
#include "framework/Classes.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
    if (Source) Source->AssignTo(this);
    else AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
    AnsiString sourceName = Source ? Source->ClassName() : AnsiString("nil");
    throw EConvertError("Cannot assign a %s to a %s", {sourceName, ClassName()});
}

// ---------------------------------------------------------------------------
// Loading brackets

namespace {
thread_local std::vector<std::vector<TComponent*>> loadingScopes;
// Lists of closed brackets whose Loaded calls are running.
thread_local std::vector<std::vector<TComponent*>*> closingScopes;

void forgetInScopes(TComponent* c) {
    for (auto& scope : loadingScopes) std::replace(scope.begin(), scope.end(), c, static_cast<TComponent*>(nullptr));
    for (auto* scope : closingScopes) std::replace(scope->begin(), scope->end(), c, static_cast<TComponent*>(nullptr));
}
}  // namespace

void BeginLoading() { loadingScopes.emplace_back(); }

bool IsLoadingOpen() { return !loadingScopes.empty(); }

void JoinLoading(TComponent* component) {
    if (loadingScopes.empty()) return;
    component->SetLoadingFlags();
    loadingScopes.back().push_back(component);
}

void AbandonLoading() {
    if (loadingScopes.empty()) return;
    for (TComponent* c : loadingScopes.back())
        if (c) c->ClearReadingFlag();
    loadingScopes.pop_back();
}

void EndLoading() {
    if (loadingScopes.empty()) return;
    std::vector<TComponent*> created = std::move(loadingScopes.back());
    loadingScopes.pop_back();
    // A component freed inside another's Loaded is nulled in `created`.
    closingScopes.push_back(&created);
    struct PopOnExit {
        ~PopOnExit() { closingScopes.pop_back(); }
    } pop;
    for (TComponent* c : created)
        if (c) c->ClearReadingFlag();
    for (size_t i = 0; i < created.size(); ++i) {
        TComponent* c = created[i];
        if (c && c->ComponentState().Contains(csLoading)) c->Loaded();
    }
}

TLoadingGuard::~TLoadingGuard() {
    if (!open_) return;
    try {
        Finish();
    } catch (...) {
        // A destructor cannot pass it on; the bracket is closed all the same.
    }
}

void TLoadingGuard::Finish() {
    if (!open_) return;
    open_ = false;
    EndLoading();
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
    if (!loadingScopes.empty()) {
        SetLoadingFlags();
        loadingScopes.back().push_back(this);
    }
    if (AOwner) AOwner->InsertComponent(this);
}

void TComponent::SetLoadingFlags() { state_ << csLoading << csReading; }

TComponent::~TComponent() {
    Destroying();
    forgetInScopes(this);
    removeFreeNotifications();
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::BeforeDestruction() { Destroying(); }

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_ << csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::Loaded() { state_ >> csLoading; }

void TComponent::SetName(const AnsiString& value) {
    if (value == name_) return;
    ValidateRename(this, name_, value);
    name_ = value;
}

void TComponent::ValidateRename(TComponent* AComponent, const AnsiString& /*CurName*/, const AnsiString& NewName) {
    if (owner_ && AComponent == this) {
        owner_->ValidateRename(AComponent, name_, NewName);
        return;
    }
    if (!NewName.empty() && AComponent != this) {
        TComponent* existing = FindComponent(NewName);
        if (existing && existing != AComponent)
            throw EComponentError("A component named %s already exists", {NewName});
    }
}

TComponent* TComponent::GetComponent(int index) const {
    if (index < 0 || index >= GetComponentCount()) TList::IndexError(index);
    return components_[static_cast<size_t>(index)];
}

int TComponent::GetComponentIndex() const {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const AnsiString& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : components_)
        if (CompareText(c->name_, AName) == 0) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent->owner_) AComponent->owner_->RemoveComponent(AComponent);
    if (!AComponent->name_.empty()) ValidateRename(AComponent, "", AComponent->name_);
    insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, opRemove);
    remove(AComponent);
}

void TComponent::insert(TComponent* c) {
    components_.push_back(c);
    c->owner_ = this;
}

void TComponent::remove(TComponent* c) {
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it != components_.end()) components_.erase(it);
    c->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        remove(last);
        last->Free();
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    // Walk from the end; a component may free others while it is told.
    for (size_t i = components_.size(); i-- > 0;) {
        if (i >= components_.size()) continue;
        components_[i]->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (owner_ == AComponent || AComponent->owner_ == this) return;  // told through ownership anyway
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent) == freeNotifies_.end()) {
        freeNotifies_.push_back(AComponent);
        AComponent->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    auto drop = [](std::vector<TComponent*>& list, TComponent* c) {
        list.erase(std::remove(list.begin(), list.end(), c), list.end());
    };
    drop(freeNotifies_, AComponent);
    drop(AComponent->freeNotifies_, this);
}

void TComponent::removeFreeNotifications() {
    while (!freeNotifies_.empty()) {
        TComponent* subscriber = freeNotifies_.back();
        RemoveFreeNotification(subscriber);
        subscriber->Notification(this, opRemove);
    }
}

// ---------------------------------------------------------------------------
// TList

void TList::IndexError(int Index) { throw EListError("List index out of bounds (%d)", {Index}); }

void* TList::Get(int Index) const {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    return items_[static_cast<size_t>(Index)];
}

void TList::Put(int Index, void* Item) {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    items_[static_cast<size_t>(Index)] = Item;
}

int TList::Add(void* Item) {
    items_.push_back(Item);
    return GetCount() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > GetCount()) IndexError(Index);
    items_.insert(items_.begin() + Index, Item);
}

void TList::Delete(int Index) {
    if (Index < 0 || Index >= GetCount()) IndexError(Index);
    items_.erase(items_.begin() + Index);
}

int TList::Remove(void* Item) {
    int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int a, int b) {
    if (a < 0 || a >= GetCount()) IndexError(a);
    if (b < 0 || b >= GetCount()) IndexError(b);
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

void TList::Move(int from, int to) {
    if (from == to) return;
    void* item = Get(from);
    if (to < 0 || to >= GetCount()) IndexError(to);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, item);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::SetCount(int value) {
    if (value < 0) throw EListError("List count out of bounds (%d)", {value});
    items_.resize(static_cast<size_t>(value), nullptr);
}

void TList::Sort(int (*compare)(void*, void*)) {
    std::stable_sort(items_.begin(), items_.end(), [compare](void* a, void* b) { return compare(a, b) < 0; });
}

// ---------------------------------------------------------------------------
// TStrings

int TStrings::Add(const AnsiString& S) {
    int index = GetCount();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject) {
    int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::AddStrings(TStrings* Strings) {
    BeginUpdate();
    try {
        for (int i = 0; i < Strings->GetCount(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Put(int Index, const AnsiString& S) {
    TObject* object = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::IndexOf(const AnsiString& S) const {
    for (int i = 0; i < GetCount(); ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const {
    for (int i = 0; i < GetCount(); ++i) {
        AnsiString line = Get(i);
        size_t eq = line.find('=');
        if (eq != AnsiString::npos && CompareStrings(line.substr(0, eq), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0; i < GetCount(); ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

void TStrings::Exchange(int a, int b) {
    BeginUpdate();
    AnsiString sa = Get(a), sb = Get(b);
    TObject *oa = GetObject(a), *ob = GetObject(b);
    Put(a, sb);
    Put(b, sa);
    PutObject(a, ob);
    PutObject(b, oa);
    EndUpdate();
}

void TStrings::Move(int from, int to) {
    if (from == to) return;
    BeginUpdate();
    AnsiString s = Get(from);
    TObject* o = GetObject(from);
    Delete(from);
    InsertObject(to, s, o);
    EndUpdate();
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

bool TStrings::Equals(const TStrings* other) const {
    if (GetCount() != other->GetCount()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (Get(i) != other->Get(i)) return false;
    return true;
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TStrings*>(Source)) {
        if (source == this) return;
        BeginUpdate();
        try {
            Clear();
            AddStrings(source);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

AnsiString TStrings::GetTextStr() const {
    AnsiString text;
    for (int i = 0; i < GetCount(); ++i) text += Get(i) + "\r\n";
    return text;
}

void TStrings::SetTextStr(const AnsiString& Value) {
    BeginUpdate();
    try {
        Clear();
        size_t start = 0;
        while (start < Value.size()) {
            size_t end = Value.find_first_of("\r\n", start);
            if (end == AnsiString::npos) {
                Add(Value.substr(start));
                break;
            }
            Add(Value.substr(start, end - start));
            start = end + 1;
            if (Value[end] == '\r' && start < Value.size() && Value[start] == '\n') ++start;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

AnsiString TStrings::GetName(int Index) const {
    AnsiString line = Get(Index);
    size_t eq = line.find('=');
    return eq == AnsiString::npos ? AnsiString() : line.substr(0, eq);
}

AnsiString TStrings::GetValue(const AnsiString& Name) const {
    int index = IndexOfName(Name);
    if (index < 0) return AnsiString();
    AnsiString line = Get(index);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value) {
    int index = IndexOfName(Name);
    if (Value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    if (index < 0) Add(Name + "=" + Value);
    else Put(index, Name + "=" + Value);
}

AnsiString TStrings::GetCommaText() const {
    AnsiString out;
    for (int i = 0; i < GetCount(); ++i) {
        AnsiString s = Get(i);
        bool quote = s.empty() || s.find_first_of(" \",") != AnsiString::npos;
        if (i) out += ',';
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStrings::SetCommaText(const AnsiString& Value) {
    BeginUpdate();
    Clear();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < Value.size() && static_cast<unsigned char>(Value[i]) <= ' ') ++i;
    };
    skipBlanks();
    while (i < Value.size()) {
        AnsiString item;
        if (Value[i] == '"') {
            ++i;
            while (i < Value.size()) {
                if (Value[i] == '"') {
                    if (i + 1 < Value.size() && Value[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += Value[i++];
            }
        } else {
            while (i < Value.size() && Value[i] != ',' && static_cast<unsigned char>(Value[i]) > ' ') item += Value[i++];
        }
        Add(item);
        skipBlanks();
        if (i < Value.size() && Value[i] == ',') {
            ++i;
            skipBlanks();
        }
    }
    EndUpdate();
}

void TStrings::LoadFromStream(TStream* Stream) {
    int64_t size = Stream->GetSize() - Stream->GetPosition();
    AnsiString data(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (!data.empty()) Stream->ReadBuffer(&data[0], static_cast<int>(data.size()));
    SetTextStr(data);
}

void TStrings::SaveToStream(TStream* Stream) const {
    AnsiString text = GetTextStr();
    if (!text.empty()) Stream->WriteBuffer(text.data(), static_cast<int>(text.size()));
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToFile(const AnsiString& FileName) const {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

// ---------------------------------------------------------------------------
// TStringList

void TStringList::checkIndex(int index) const {
    if (index < 0 || index >= GetCount()) throw EStringListError("List index out of bounds (%d)", {index});
}

int TStringList::CompareStrings(const AnsiString& a, const AnsiString& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating) Changing();
    else Changed();
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* AObject) {
    int index = GetCount();
    if (sorted_ && Find(S, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
    }
    insertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const AnsiString& S) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
    if (Index < 0 || Index > GetCount()) throw EStringListError("List index out of bounds (%d)", {Index});
    insertItem(Index, S, nullptr);
}

void TStringList::insertItem(int index, const AnsiString& s, TObject* o) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, o});
    Changed();
}

void TStringList::Delete(int Index) {
    checkIndex(Index);
    Changing();
    items_.erase(items_.begin() + Index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

AnsiString TStringList::Get(int Index) const {
    checkIndex(Index);
    return items_[static_cast<size_t>(Index)].text;
}

void TStringList::Put(int Index, const AnsiString& S) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted string list");
    checkIndex(Index);
    Changing();
    items_[static_cast<size_t>(Index)].text = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    checkIndex(Index);
    return items_[static_cast<size_t>(Index)].object;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    checkIndex(Index);
    Changing();
    items_[static_cast<size_t>(Index)].object = AObject;
    Changed();
}

int TStringList::IndexOf(const AnsiString& S) const {
    if (!sorted_) return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

void TStringList::Exchange(int a, int b) {
    checkIndex(a);
    checkIndex(b);
    Changing();
    std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
    Changed();
}

bool TStringList::Find(const AnsiString& S, int& Index) const {
    int low = 0, high = GetCount() - 1;
    bool found = false;
    while (low <= high) {
        int mid = (low + high) / 2;
        int c = CompareStrings(items_[static_cast<size_t>(mid)].text, S);
        if (c < 0) {
            low = mid + 1;
        } else {
            high = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept) low = mid;
            }
        }
    }
    Index = low;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[static_cast<size_t>(a)].text, list->items_[static_cast<size_t>(b)].text);
    });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& compare) {
    if (GetCount() < 2) return;
    Changing();
    // Sort an index permutation so that the comparer sees the list's own indexes.
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(items_[static_cast<size_t>(i)]);
    items_.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool value) {
    if (sorted_ == value) return;
    if (value) Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (caseSensitive_ == value) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
}

// ---------------------------------------------------------------------------
// TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
    if (collection_ == value) return;
    if (collection_) collection_->removeItem(this);
    if (value) value->insertItem(this);
}

int TCollectionItem::GetIndex() const {
    if (!collection_) return -1;
    auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int value) {
    if (collection_ && value != GetIndex()) collection_->moveItem(this, value);
}

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool AllItems) {
    if (collection_ && collection_->updateCount_ == 0) collection_->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemFactory ItemFactory) : factory_(std::move(ItemFactory)) {}

TCollection::~TCollection() {
    updateCount_ = 1;  // no Update calls while dying
    while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Add() {
    // The item joins the collection from its base constructor; the collection's
    // Update must not see it before the derived part of the item is built.
    BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = factory_(this);
        if (item->collection_ != this) item->SetCollection(this);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    BeginUpdate();
    TCollectionItem* item = nullptr;
    try {
        item = Add();
        item->SetIndex(Index);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

void TCollection::Delete(int Index) { delete GetItem(Index); }

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty()) delete items_.back();
    EndUpdate();
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : items_)
        if (item->id_ == ID) return item;
    return nullptr;
}

TCollectionItem* TCollection::GetItem(int Index) const {
    if (Index < 0 || Index >= GetCount()) TList::IndexError(Index);
    return items_[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

void TCollection::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TCollection*>(Source)) {
        BeginUpdate();
        try {
            Clear();
            for (TCollectionItem* item : source->items_) Add()->Assign(item);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::insertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Changed();
}

void TCollection::removeItem(TCollectionItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    item->collection_ = nullptr;
    Changed();
}

void TCollection::moveItem(TCollectionItem* item, int newIndex) {
    if (newIndex < 0) newIndex = 0;
    if (newIndex >= GetCount()) newIndex = GetCount() - 1;
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
    items_.insert(items_.begin() + newIndex, item);
    Changed();
}

// ---------------------------------------------------------------------------
// TBits

bool TBits::GetBit(int Index) const {
    if (Index < 0) throw EBitsError("Bits index out of range");
    return static_cast<size_t>(Index) < bits_.size() && bits_[static_cast<size_t>(Index)];
}

void TBits::SetBit(int Index, bool Value) {
    if (Index < 0) throw EBitsError("Bits index out of range");
    if (static_cast<size_t>(Index) >= bits_.size()) bits_.resize(static_cast<size_t>(Index) + 1);
    bits_[static_cast<size_t>(Index)] = Value;
}

void TBits::SetSize(int Value) {
    if (Value < 0) throw EBitsError("Bits index out of range");
    bits_.resize(static_cast<size_t>(Value));
}

int TBits::OpenBit() const {
    for (size_t i = 0; i < bits_.size(); ++i)
        if (!bits_[i]) return static_cast<int>(i);
    return GetSize();
}

// ---------------------------------------------------------------------------
// Streams

void TStream::ReadBuffer(void* Buffer, int Count) {
    if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int Count) {
    if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->GetSize();
    }
    int64_t copied = 0;
    std::vector<char> buffer(64 * 1024);
    while (copied < Count) {
        int chunk = static_cast<int>(std::min<int64_t>(Count - copied, static_cast<int64_t>(buffer.size())));
        Source->ReadBuffer(buffer.data(), chunk);
        WriteBuffer(buffer.data(), chunk);
        copied += chunk;
    }
    return copied;
}

int64_t TStream::GetPosition() const { return const_cast<TStream*>(this)->Seek(0, soFromCurrent); }

int64_t TStream::GetSize() const {
    auto* self = const_cast<TStream*>(this);
    int64_t position = self->Seek(0, soFromCurrent);
    int64_t size = self->Seek(0, soFromEnd);
    self->Seek(position, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) {}

int THandleStream::Read(void* Buffer, int Count) {
    DWORD read = 0;
    if (Count <= 0 || !ReadFile(handle_, Buffer, static_cast<DWORD>(Count), &read, nullptr)) return 0;
    return static_cast<int>(read);
}

int THandleStream::Write(const void* Buffer, int Count) {
    DWORD written = 0;
    if (Count <= 0 || !WriteFile(handle_, Buffer, static_cast<DWORD>(Count), &written, nullptr)) return 0;
    return static_cast<int>(written);
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = Offset;
    if (!SetFilePointerEx(handle_, distance, &result, static_cast<DWORD>(Origin))) return -1;
    return result.QuadPart;
}

void THandleStream::SetSize(int64_t value) {
    Seek(value, soFromBeginning);
    if (!SetEndOfFile(handle_)) throw EWriteError("Stream write error");
}

namespace {
DWORD shareModeOf(unsigned mode) {
    switch (mode & 0xF0) {
    case fmShareExclusive: return 0;
    case fmShareDenyWrite: return FILE_SHARE_READ;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ | FILE_SHARE_WRITE;  // compat and deny-none
    }
}
}  // namespace

TFileStream::TFileStream(const AnsiString& AFileName, unsigned Mode) : THandleStream(INVALID_HANDLE_VALUE) {
    FileName = AFileName;
    if (Mode == fmCreate || (Mode & 0xFF00) == 0xFF00) {
        handle_ = CreateFileA(AFileName.c_str(), GENERIC_READ | GENERIC_WRITE, shareModeOf(Mode & 0xF0), nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            throw EFCreateError(Format("Cannot create file %s", {AFileName}) + ". " + SysErrorMessage(GetLastError()));
        return;
    }
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    unsigned accessIndex = Mode & 3;
    if (accessIndex > 2) accessIndex = 0;
    handle_ = CreateFileA(AFileName.c_str(), access[accessIndex], shareModeOf(Mode), nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        throw EFOpenError(Format("Cannot open file %s", {AFileName}) + ". " + SysErrorMessage(GetLastError()));
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

int TCustomMemoryStream::Read(void* Buffer, int Count) {
    if (Count <= 0 || position_ >= size_) return 0;
    int64_t available = size_ - position_;
    int n = static_cast<int>(std::min<int64_t>(Count, available));
    std::memcpy(Buffer, memory_base() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soFromBeginning: position_ = Offset; break;
    case soFromCurrent: position_ += Offset; break;
    case soFromEnd: position_ = size_ + Offset; break;
    }
    if (position_ < 0) position_ = 0;
    return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) const {
    if (size_) Stream->WriteBuffer(memory_, static_cast<int>(size_));
}

void TCustomMemoryStream::SaveToFile(const AnsiString& FileName) const {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

int TMemoryStream::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    int64_t end = position_ + Count;
    if (end > GetSize()) SetSize(end);
    std::memcpy(memory_base() + position_, Buffer, static_cast<size_t>(Count));
    position_ = end;
    return Count;
}

void TMemoryStream::SetSize(int64_t value) {
    buffer_.resize(static_cast<size_t>(value));
    SetPointer(buffer_.empty() ? nullptr : buffer_.data(), value);
    if (position_ > value) position_ = value;
}

void TMemoryStream::Clear() {
    SetSize(0);
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
    Stream->SetPosition(0);
    int64_t size = Stream->GetSize();
    SetSize(size);
    if (size) Stream->ReadBuffer(memory_base(), static_cast<int>(size));
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const AnsiString& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

TResourceStream::TResourceStream(HINSTANCE Instance, const AnsiString& ResName, LPCSTR ResType) {
    load(Instance, ResName.c_str(), ResType, ResName);
}

TResourceStream::TResourceStream(HINSTANCE Instance, int ResID, LPCSTR ResType) {
    load(Instance, MAKEINTRESOURCEA(ResID), ResType, IntToStr(ResID));
}

void TResourceStream::load(HINSTANCE instance, LPCSTR name, LPCSTR type, const AnsiString& displayName) {
    HRSRC info = FindResourceA(instance, name, type);
    HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
    void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes) throw EResNotFound("Resource %s not found", {displayName});
    SetPointer(bytes, SizeofResource(instance, info));
}

int TResourceStream::Write(const void*, int) { throw EStreamError("Can't write to a read-only resource stream"); }

int TStringStream::Read(void* Buffer, int Count) {
    if (Count <= 0 || position_ >= GetSize()) return 0;
    int n = static_cast<int>(std::min<int64_t>(Count, GetSize() - position_));
    std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int TStringStream::Write(const void* Buffer, int Count) {
    if (Count <= 0) return 0;
    size_t end = static_cast<size_t>(position_) + static_cast<size_t>(Count);
    if (end > data_.size()) data_.resize(end);
    std::memcpy(&data_[static_cast<size_t>(position_)], Buffer, static_cast<size_t>(Count));
    position_ = static_cast<int64_t>(end);
    return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
    switch (Origin) {
    case soFromBeginning: position_ = Offset; break;
    case soFromCurrent: position_ += Offset; break;
    case soFromEnd: position_ = GetSize() + Offset; break;
    }
    if (position_ < 0) position_ = 0;
    return position_;
}

void TStringStream::SetSize(int64_t value) {
    data_.resize(static_cast<size_t>(value));
    if (position_ > value) position_ = value;
}
