// The component model (ownership, notification, loading bracket, events) and
// the containers (TList, TStringList, TCollection).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Classes.h"

namespace {

std::vector<std::string> journal;

// A component that records what happens to it.
class TProbe : public TComponent {
public:
    TProbe(TComponent* owner, const std::string& name) : TComponent(owner) { Name = name; }
    ~TProbe() override { journal.push_back("free " + GetName()); }
    void Loaded() override {
        TComponent::Loaded();
        journal.push_back("loaded " + GetName() + (ComponentState().Contains(csReading) ? " reading" : ""));
    }
    TComponent* watched = nullptr;
    void Watch(TComponent* other) {
        watched = other;
        other->FreeNotification(this);
    }
    std::vector<std::string> heard;
    std::vector<TComponent*> inserted;  // names are set after insertion
    bool sawDestroying = false;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opInsert) inserted.push_back(c);
        else heard.push_back("remove " + c->GetName());
        if (op == opRemove && c->ComponentState().Contains(csDestroying)) sawDestroying = true;
        if (op == opRemove && c == watched) watched = nullptr;
    }
};

TEST(Components, OwnerFreesItsComponentsInReverseCreationOrder) {
    journal.clear();
    auto* owner = new TProbe(nullptr, "Owner");
    new TProbe(owner, "First");
    new TProbe(owner, "Second");
    auto* third = new TProbe(owner, "Third");
    EXPECT_EQ(owner->ComponentCount(), 3);
    EXPECT_EQ(owner->FindComponent("second")->GetName(), "Second") << "names compare without case";
    EXPECT_EQ(third->ComponentIndex(), 2);
    owner->Free();
    EXPECT_EQ(journal, (std::vector<std::string>{"free Owner", "free Third", "free Second", "free First"}));
}

TEST(Components, OwnerAndSiblingsHearInsertAndRemoveWithDestroyingSet) {
    journal.clear();
    TProbe owner(nullptr, "Owner");
    auto* sibling = new TProbe(&owner, "Sibling");
    auto* doomed = new TProbe(&owner, "Doomed");
    EXPECT_EQ(owner.inserted, (std::vector<TComponent*>{sibling, doomed}));
    EXPECT_EQ(sibling->inserted, (std::vector<TComponent*>{doomed}));
    doomed->Free();
    EXPECT_EQ(owner.heard.back(), "remove Doomed");
    EXPECT_EQ(sibling->heard.back(), "remove Doomed");
    EXPECT_TRUE(owner.sawDestroying) << "csDestroying is set before anyone hears opRemove";
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_THROW(owner.Components[5](), EListError);
}

TEST(Components, FreeNotificationClearsAReferenceAcrossOwners) {
    journal.clear();
    TProbe formA(nullptr, "FormA"), formB(nullptr, "FormB");
    auto* label = new TProbe(&formA, "Label");
    auto* edit = new TProbe(&formB, "Edit");
    label->Watch(edit);
    delete edit;  // a plain delete still notifies the subscriber
    EXPECT_EQ(label->watched, nullptr);
    // The link is two-way and dropped once used: freeing the label later is quiet.
    label->Watch(&formB);
    label->Free();
    EXPECT_EQ(formB.heard.back(), "remove Label");
}

TEST(Components, DuplicateNamesUnderOneOwnerAreRefused) {
    TProbe owner(nullptr, "Owner");
    new TProbe(&owner, "Button1");
    auto* other = new TProbe(&owner, "Button2");
    EXPECT_THROW(other->Name = "BUTTON1", EComponentError);
    EXPECT_EQ(other->GetName(), "Button2");
}

TEST(LoadingBracket, LoadedRunsOnceInCreationOrderAfterFlagsAreCleared) {
    journal.clear();
    BeginLoading();
    auto* form = new TProbe(nullptr, "Form");
    auto* a = new TProbe(form, "A");
    auto* dropped = new TProbe(form, "Dropped");
    auto* b = new TProbe(form, "B");
    EXPECT_TRUE(a->ComponentState().Contains(csLoading));
    EXPECT_TRUE(b->ComponentState().Contains(csReading));
    dropped->Free();  // freed before the bracket closes: never Loaded
    journal.clear();
    EndLoading();
    EXPECT_EQ(journal, (std::vector<std::string>{"loaded Form", "loaded A", "loaded B"}));
    EXPECT_TRUE(b->ComponentState().Empty());
    journal.clear();
    {
        TLoadingGuard guard;  // run-time rows
        new TProbe(form, "Row");
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"loaded Row"}));
    new TProbe(form, "Later");
    EXPECT_FALSE(form->FindComponent("Later")->ComponentState().Contains(csLoading));
    form->Free();
}

TEST(Persistent, AssignWithoutSupportNamesBothClasses) {
    TStringList strings;
    TList notPersistent;
    TCollection collection(TCollection::FactoryOf<TCollectionItem>());
    try {
        strings.Assign(&collection);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TCollection to a TStringList");
    }
    try {
        strings.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a nil to a TStringList");
    }
}

struct Handler {
    int calls = 0;
    void Click(TObject*) { ++calls; }
    void Other(TObject*) { calls += 10; }
};

TEST(Events, ClosuresCompareByObjectAndMethod) {
    Handler h1, h2;
    TNotifyEvent e1(&h1, &Handler::Click), same(&h1, &Handler::Click);
    TNotifyEvent otherObject(&h2, &Handler::Click), otherMethod(&h1, &Handler::Other);
    EXPECT_EQ(e1, same);
    EXPECT_NE(e1, otherObject);
    EXPECT_NE(e1, otherMethod);
    TNotifyEvent none;
    EXPECT_FALSE(none);
    none(nullptr);  // calling an empty event does nothing
    TNotifyEvent copy = e1;
    copy(nullptr);
    otherMethod(nullptr);
    EXPECT_EQ(h1.calls, 11);
    copy = nullptr;
    EXPECT_TRUE(copy == nullptr);
    int lambdaCalls = 0;
    TNotifyEvent lambda = [&](TObject*) { ++lambdaCalls; };
    TNotifyEvent lambdaCopy = lambda;
    lambdaCopy(nullptr);
    EXPECT_EQ(lambdaCalls, 1);
    EXPECT_EQ(lambda, lambdaCopy);
}

TEST(Lists, BadIndexRaisesListErrorWithTheIndex) {
    TList list;
    list.Add(&list);
    EXPECT_EQ(list.Items[0], &list);
    for (int bad : {-1, 1, 7}) {
        try {
            list.Items[bad] = nullptr;
            ADD_FAILURE();
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message, "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }
    EXPECT_THROW(list.Delete(1), EListError);
    TStringList strings;
    EXPECT_THROW(strings.Strings[0](), EStringListError);
}

TEST(StringLists, TextSplitsAtCrLfCrOrLfAndJoinsWithCrLf) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {{"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
                          {"one\r\n", {"one"}},
                          {"\r\n\r\n", {"", ""}},
                          {"x\n\ry", {"x", "", "y"}},
                          {"", {}}};
    for (const Case& c : cases) {
        TStringList list;
        list.Text = c.text;
        std::vector<std::string> got;
        for (int i = 0; i < list.Count; ++i) got.push_back(list.Strings[i]);
        EXPECT_EQ(got, c.lines) << c.text;
    }
    TStringList list;
    list.Add("a");
    list.Add("");
    EXPECT_EQ(list.Text(), "a\r\n\r\n");
}

TEST(StringLists, SortedIgnoresDuplicatesWithoutCaseAndFiresOnChange) {
    TStringList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.Sorted = true;
    list.Duplicates = dupIgnore;
    list.Add("pear");
    list.Add("Apple");
    list.Add("apple");
    list.Add("banana");
    EXPECT_EQ(list.CommaText(), "Apple,banana,pear");
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(list.IndexOf("PEAR"), 2);
    list.CaseSensitive = true;
    list.Add("apple");
    EXPECT_EQ(list.Count(), 4);
    list.Duplicates = dupError;
    EXPECT_THROW(list.Add("pear"), EStringListError);
    EXPECT_THROW(list.Insert(0, "x"), EStringListError) << "sorted lists refuse positional inserts";

    TStringList values;
    values.Add("Name=Brimsafe");
    values.Values["Version"] = "3";
    EXPECT_EQ(values.Values["name"](), "Brimsafe");
    EXPECT_EQ(values.Names[1](), "Version");
    values.Values["Name"] = "";
    EXPECT_EQ(values.Count(), 1);
}

class TNamedItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string label;
};

class TRecordingCollection : public TCollection {
public:
    TRecordingCollection() : TCollection(FactoryOf<TNamedItem>()) {}
    std::vector<std::string> updates;

protected:
    void Update(TCollectionItem* item) override { updates.push_back(item ? "item" : "all"); }
};

TEST(Collections, ItemsMoveByIndexAndStructuralChangesUpdateOnce) {
    TRecordingCollection c;
    c.BeginUpdate();
    for (const char* label : {"a", "b", "c"}) static_cast<TNamedItem*>(c.Add())->label = label;
    EXPECT_TRUE(c.updates.empty());
    c.EndUpdate();
    EXPECT_EQ(c.updates, (std::vector<std::string>{"all"}));
    auto* last = static_cast<TNamedItem*>(c.Items[2]());
    last->Index = 0;
    EXPECT_EQ(static_cast<TNamedItem*>(c.Items[0]())->label, "c");
    EXPECT_EQ(last->Index(), 0);
    c.Delete(1);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(static_cast<TNamedItem*>(c.Items[1]())->label, "b");
    auto* inserted = static_cast<TNamedItem*>(c.Insert(1));
    EXPECT_EQ(inserted->Index(), 1);
    EXPECT_EQ(c.FindItemID(inserted->ID), inserted);
    EXPECT_THROW(c.Items[3](), EListError);
}

// An item whose own fields are set up by its constructor, read back by Update.
class TSizedItem : public TCollectionItem {
public:
    explicit TSizedItem(TCollection* collection) : TCollectionItem(collection), width(100) {}
    int width;
};

class TWidthCollection : public TCollection {
public:
    TWidthCollection() : TCollection(FactoryOf<TSizedItem>()) {}
    std::vector<int> widthsSeen;

protected:
    void Update(TCollectionItem*) override {
        for (int i = 0; i < Count(); ++i) widthsSeen.push_back(static_cast<TSizedItem*>(Items[i]())->width);
    }
};

TEST(Collections, UpdateAfterAddSeesTheWholeItem) {
    TWidthCollection c;
    c.Add();
    c.Add();
    // Each Add updates once, after the item's constructor has run to the end.
    EXPECT_EQ(c.widthsSeen, (std::vector<int>{100, 100, 100}));
}

}  // namespace

namespace {

// Properties read like fields: pointer-valued ones cast, arithmetic ones
// compound-assign, indexed ones read and write through their accessors.
TEST(Properties, ReadCastAndAssignLikeFields) {
    TList list;
    int value = 5;
    list.Add(&value);
    int* back = static_cast<int*>(list.Items[0]);
    EXPECT_EQ(*back, 5);
    TStringList strings;
    TStringList inner;
    strings.AddObject("x", &inner);
    auto* object = static_cast<TStringList*>(strings.Objects[0]);
    EXPECT_EQ(object, &inner);
    strings.Strings[0] = "y";
    EXPECT_EQ(strings[0], "y");
    TComponent owner(nullptr);
    owner.Tag = 4;
    owner.Tag += 3;
    owner.Tag++;
    EXPECT_EQ(owner.Tag(), 8);
    int tag = owner.Tag;
    EXPECT_EQ(tag, 8);
}

// A field that counts how often it is written, so that "unchanged" can be
// told from "written with the same value".
struct CountedField {
    int value = 0;
    int writes = 0;
    CountedField& operator=(int v) {
        value = v;
        ++writes;
        return *this;
    }
    bool operator==(int v) const { return value == v; }
};

// The setter helper stores and reports a change only for a different value;
// an equal one leaves the field unwritten, so the setter does not react.
TEST(Properties, SetIfChangedStoresAndReportsOnlyARealChange) {
    struct Case {
        int start, value;
        bool changed;
    };
    for (const Case& c : {Case{3, 3, false}, Case{3, 4, true}, Case{0, -1, true}, Case{0, 0, false}}) {
        SCOPED_TRACE(std::to_string(c.start) + " <- " + std::to_string(c.value));
        CountedField field;
        field.value = c.start;
        EXPECT_EQ(SetIfChanged(field, c.value), c.changed);
        EXPECT_EQ(field.value, c.value);
        EXPECT_EQ(field.writes, c.changed ? 1 : 0);
    }
    AnsiString text = "abc";
    EXPECT_FALSE(SetIfChanged(text, AnsiString("abc")));
    EXPECT_TRUE(SetIfChanged(text, AnsiString("abd")));
    EXPECT_EQ(text, "abd");
}

}  // namespace
