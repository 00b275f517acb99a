// Container behaviour: change signals and links, item lookup and ownership,
// lazy loading by Source, the image-list answers past the end, and the
// global container with its layout idents.
#include "components/runtime/qclcont.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>

using namespace containertest;

namespace {

// Counts OnChange calls per Sender.
struct ChangeLog {
    std::map<TObject*, int> calls;
    TNotifyEvent handler() {
        return [this](TObject* sender) { ++calls[sender]; };
    }
    int of(TObject* sender) { return calls[sender]; }
};

void sample(TBitmap& bitmap, TColor colour) { paint(bitmap, 3, 2, {colour}); }

}  // namespace

TEST(ContainerChanges, LinksHearEveryChangeTheContainerOnlyOutsideUpdates) {
    TQCLBitmapList list(nullptr);
    ChangeLog own, linked;
    list.OnChange = own.handler();
    TQCLChangeLink link;
    link.OnChange = linked.handler();
    list.RegisterChanges(&link);
    EXPECT_EQ(link.Sender, &list);

    list.Add();
    EXPECT_EQ(own.of(&list), 1);
    EXPECT_EQ(linked.of(&list), 1);

    list.BeginUpdate();
    list.Add();
    list.Move(0, 1);
    list.Move(1, 1);  // unchanged: no signal
    EXPECT_EQ(own.of(&list), 1);
    EXPECT_EQ(linked.of(&list), 3);
    // An item's change reaches the container's event even now.
    TQCLBitmapListItem* item = list.GetArrayItem(0);
    item->Description = "a";
    item->Description = "a";  // unchanged
    EXPECT_EQ(own.of(item), 1);
    list.EndUpdate(true);
    EXPECT_EQ(own.of(&list), 2);
    EXPECT_EQ(linked.of(&list), 4);

    TMemoryStream s;
    list.SaveToStream(&s);
    s.Position = 0;
    own.calls.clear();
    list.LoadFromStream(&s);
    EXPECT_EQ(own.of(&list), 1) << "one signal for a whole read";

    list.Delete(0);
    list.Clear();
    EXPECT_EQ(own.of(&list), 3);
}

TEST(ContainerChanges, RegistrationsCountAndEndWithEitherSide) {
    ChangeLog log;
    TQCLChangeLink link;
    link.OnChange = log.handler();
    {
        TQCLStringList list(nullptr);
        list.RegisterChanges(&link);
        list.RegisterChanges(&link);
        list.Add();
        EXPECT_EQ(log.of(&list), 2);
        list.UnRegisterChanges(&link);
        list.Add();
        // One registration is left; the removal cleared the link's Sender.
        EXPECT_EQ(log.of(&list), 2);
        EXPECT_EQ(log.of(nullptr), 1);
        list.UnRegisterChanges(&link);
        list.UnRegisterChanges(&link);  // not registered: nothing
        EXPECT_EQ(link.Sender, nullptr);
        list.RegisterChanges(&link);
    }
    EXPECT_EQ(link.Sender, nullptr) << "a freed container lets go of its links";

    TQCLStringList list(nullptr);
    {
        TQCLChangeLink shortLived;
        list.RegisterChanges(&shortLived);
    }
    list.Add();  // the freed link is no longer called
}

// A link freed while still registered must leave no pointer behind, however
// often it was registered and whatever was unregistered before. The freed
// link's memory is reused by a fresh, unregistered link: if the container
// kept a stale pointer, the fresh link would hear the container's change.
TEST(ContainerChanges, AFreedLinkIsForgottenWhateverItsRegistrations) {
    struct Case {
        const char* what;
        int registrations;
        int unregistrations;
    };
    const Case cases[] = {
        {"registered once", 1, 0},
        {"registered twice", 2, 0},
        {"registered twice, unregistered once", 2, 1},
        {"registered three times, unregistered once", 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TQCLStringList list(nullptr);
        alignas(TQCLChangeLink) unsigned char storage[sizeof(TQCLChangeLink)];
        auto* link = new (storage) TQCLChangeLink;
        for (int i = 0; i < c.registrations; ++i)
            list.RegisterChanges(link);
        for (int i = 0; i < c.unregistrations; ++i)
            list.UnRegisterChanges(link);
        link->~TQCLChangeLink();

        int heard = 0;
        auto* stranger = new (storage) TQCLChangeLink;
        stranger->OnChange = [&heard](TObject*) { ++heard; };
        list.Add();
        EXPECT_EQ(heard, 0);
        stranger->~TQCLChangeLink();
    }
}

TEST(ContainerItems, LookupOwnershipAndIndexErrors) {
    TQCLBitmapList list(nullptr);
    for (const char* name : {"One", "two", "two"})
        list.GetArrayItem(list.Add())->Description = name;
    EXPECT_EQ(list.GetItemByName("two"), list.GetItem(1));
    EXPECT_EQ(list.GetItemByName("one"), nullptr);
    EXPECT_EQ(list.GetArrayItem(2)->Index, 2);

    TQCLBitmapListItem loose(nullptr);
    EXPECT_EQ(loose.Index, -1);

    auto* given = new TQCLBitmapListItem(nullptr);
    list.Insert(0, given);
    EXPECT_EQ(given->Owner, &list);
    EXPECT_EQ(list.IndexOf(given), 0);
    delete given;  // an item freed on its own leaves the list
    EXPECT_EQ(list.Count, 3);

    for (int bad : {-1, 3})
        EXPECT_THROW(list.GetItem(bad), EListError) << bad;
    EXPECT_THROW(list.Delete(3), EListError);
    EXPECT_THROW(list.Insert(5), EListError);
    EXPECT_THROW(list.Move(0, 3), EListError);
    EXPECT_EQ(list.Count, 3);
}

TEST(ContainerItems, AssignCopiesItemsAndRefusesOtherKinds) {
    TQCLBitmapList source(nullptr), copy(nullptr);
    TBitmap picture;
    sample(picture, clRed);
    source.DefaultCompressed = true;
    source.DefaultPixelFormat = spf8bit;
    TQCLBitmapListItem* item = source.GetArrayItem(source.Add());
    item->SetBitmap(&picture);
    item->Ident = 4;
    item->PixelFormat = spfMono;
    copy.Add();
    copy.Add();
    ChangeLog log;
    copy.OnChange = log.handler();
    copy.Assign(&source);
    EXPECT_EQ(log.of(&copy), 1);
    ASSERT_EQ(copy.Count, 1);
    EXPECT_TRUE(copy.DefaultCompressed);
    EXPECT_EQ(copy.DefaultPixelFormat, spf8bit);
    EXPECT_EQ(copy.GetArrayItem(0)->Ident, 4);
    EXPECT_EQ(copy.GetArrayItem(0)->PixelFormat, spfMono);
    EXPECT_EQ(copy.GetArrayItem(0)->GetBitmap()->Canvas->GetPixel(2, 1), clRed);

    TQCLStringList strings(nullptr);
    EXPECT_THROW(copy.Assign(&strings), EConvertError);
    EXPECT_EQ(copy.Count, 1);
}

TEST(BitmapItemLoading, LoadsLazilyFromTheContainersSource) {
    brimtest::TempFolder temp;
    TBitmap red, blue;
    sample(red, clRed);
    sample(blue, clBlue);
    {
        TQCLBitmapList file(nullptr);
        file.GetArrayItem(file.Add())->SetBitmap(&red);
        file.GetArrayItem(file.Add())->SetBitmap(&blue);
        file.SaveToFile(temp.file("pics.bml"));
    }
    blue.SaveToFile(temp.file("abc7.bmp"));

    TQCLBitmapList list(nullptr);
    TQCLBitmapListItem* item = list.GetArrayItem(list.Add());
    item->Ident = 1;
    EXPECT_TRUE(item->GetBitmap()->Empty) << "sdComponent loads nothing";

    list.Prefix = ppFixed;
    list.FileName = temp.file("pics.bml");
    list.Source = sdFile;
    ChangeLog log;
    list.OnChange = log.handler();
    EXPECT_FALSE(list.IsValidItem(0, 0)) << "asking never loads";
    EXPECT_EQ(list.GetBitmap()->Canvas->GetPixel(0, 0), clBlue);
    EXPECT_TRUE(list.IsValidItem(0, 0));
    EXPECT_EQ(log.of(item), 0) << "loading is no change";

    // Switching the source drops the data; it loads again from the new one.
    item->Ident = 7;
    list.FileName = temp.file("abcdef.bml");
    list.Source = sdPath;
    EXPECT_FALSE(list.IsValidItem(0, 0));
    EXPECT_EQ(list.Dimensions(0, 0), 3);
    EXPECT_EQ(item->GetBitmap()->Canvas->GetPixel(0, 0), clBlue);

    TQCLBitmapListItem loose(nullptr);
    loose.Ident = 1;
    EXPECT_TRUE(loose.GetBitmap()->Empty) << "no container, no source";
}

TEST(BitmapItemLoading, ResourceLibraryAnswersWhetherTheBitmapWasThere) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    TBitmap bitmap;
    EXPECT_TRUE(QCLBmpLoadFromFile(self, 4711, &bitmap));
    EXPECT_EQ(bitmap.Width, 2);
    EXPECT_EQ(bitmap.Canvas->GetPixel(0, 0), clRed);
    TBitmap none;
    EXPECT_FALSE(QCLBmpLoadFromFile(self, 4712, &none));
    EXPECT_TRUE(none.Empty);
    EXPECT_FALSE(QCLBmpLoadFromFile("no-such-library.dll", 4711, &none));
}

TEST(ImageListAnswers, PastTheEndPerListKind) {
    TQCLBitmapList bitmaps(nullptr);
    TQCLImageList strips(nullptr);
    TBitmap picture;
    sample(picture, clLime);
    bitmaps.GetArrayItem(bitmaps.Add())->SetBitmap(&picture);
    strips.Add();

    for (TQCLCustomImageList* list : std::initializer_list<TQCLCustomImageList*>{&bitmaps, &strips}) {
        EXPECT_EQ(list->Dimensions(1, 0), 0);
        EXPECT_EQ(list->Palette(1), nullptr);
        EXPECT_EQ(list->TransparentColor(1, 0), 0xFFFFFF);
        EXPECT_EQ(list->GetColorAtPoint(TPoint(0, 0), 1, 0), 0xFFFFFF);
        EXPECT_FALSE(list->IsValidItem(1, 0));
        EXPECT_THROW(list->ItemCount(-1), EListError);
    }
    EXPECT_EQ(bitmaps.ItemCount(1), 0);
    EXPECT_EQ(strips.ItemCount(1), -1);
    EXPECT_EQ(bitmaps.ItemCount(0), 1);
    EXPECT_EQ(strips.ItemCount(0), 0);
    EXPECT_EQ(bitmaps.Dimensions(0, 1), 2);
    EXPECT_EQ(bitmaps.Dimensions(0, 2), 0);
    EXPECT_EQ(strips.Dimensions(0, 0), 16);
    EXPECT_TRUE(QCLIsSingleItemImageList(&bitmaps));
    EXPECT_FALSE(QCLIsSingleItemImageList(&strips));
    EXPECT_FALSE(QCLIsSingleItemImageList(nullptr));

    bitmaps.Index = -1;
    EXPECT_EQ(bitmaps.Index, -1);
    try {
        bitmaps.Index = 1;
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (1)");
    }
    EXPECT_EQ(bitmaps.Index, -1);
    EXPECT_THROW(bitmaps.GetBitmap(), EListError) << "a stale index reaches the lookup";
}

TEST(GlobalContainer, MadeWithTheApplicationObjectAndNamedInLayouts) {
    ASSERT_NE(QCLGlobalContainer, nullptr);
    TQCLBitmapList* global = QCLGlobalContainer->GetBitmapList();
    TQCLBitmapList own(nullptr);
    EXPECT_TRUE(QCLIsGlobalIdent(global));
    EXPECT_TRUE(QCLIsGlobalIdent(QCLGlobalContainer->GetImageList()));
    EXPECT_FALSE(QCLIsGlobalIdent(&own));

    TMemoryStream s;
    {
        TWriter writer(&s);
        QCLWriteGlobalIdent(&writer, global);
        QCLWriteGlobalIdent(&writer, &own);  // writes nothing
        QCLWriteGlobalIdent(&writer, QCLGlobalContainer->GetImageList());
        writer.WriteString("QCLWVL30");
    }
    s.Position = 0;
    TReader reader(&s);
    EXPECT_EQ(QCLReadGlobalIdent(&reader), global);
    EXPECT_EQ(QCLReadGlobalIdent(&reader), QCLGlobalContainer->GetImageList());
    EXPECT_EQ(QCLReadGlobalIdent(&reader), nullptr);

    // A list's change reaches the global container's links.
    ChangeLog log;
    TQCLChangeLink link;
    link.OnChange = log.handler();
    QCLGlobalContainer->RegisterChanges(&link);
    own.Add();
    QCLGlobalContainer->SetBitmapList(&own);
    EXPECT_EQ(global->Count, 1);
    EXPECT_GE(log.of(QCLGlobalContainer), 1);
    QCLGlobalContainer->UnRegisterChanges(&link);
    global->Clear();
}

TEST(GlobalContainer, ControlStreamsTheNonEmptyListsWithALayout) {
    TQCLStringList* strings = QCLGlobalContainer->GetStringList();
    strings->GetArrayItem(strings->Add())->GetList()->Add("line");
    TQCLContainerCtrl ctrl(nullptr);
    TMemoryStream layout;
    WriteDefinedProperties(&layout, &ctrl);
    const Bytes bytes = bytesOf(layout);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 11), "StringList");
    strings->Clear();

    layout.Position = 0;
    ReadDefinedProperties(&layout, &ctrl);
    ASSERT_EQ(strings->Count, 1);
    EXPECT_EQ(strings->GetArrayItem(0)->GetList()->GetTextStr(), "line\r\n");
    strings->Clear();
}

namespace {

// Counts the image-list changes it is told of.
class ListUser : public TQCLContainerComponent {
public:
    using TQCLContainerComponent::TQCLContainerComponent;
    int changes = 0;

protected:
    void GetIMLChange(TObject*) override { ++changes; }
};

}  // namespace

TEST(ImageListReference, LinkIndexesAndRemoval) {
    ListUser user(nullptr);
    {
        TQCLBitmapList list(nullptr);
        user.SetImageList(&list);
        EXPECT_EQ(user.changes, 1);
        list.Add();
        EXPECT_EQ(user.changes, 2) << "the list's changes reach the user";
        user.SetIndex(0, 3);
        user.SetIndex(0, 3);
        user.SetIndex(1, -1);
        EXPECT_EQ(user.GetImageIndex(), 3);
        EXPECT_EQ(user.GetListIndex(), 0);
        EXPECT_EQ(user.changes, 3);
        EXPECT_TRUE(user.HasControl());
        EXPECT_FALSE(user.CheckCont());
    }
    EXPECT_EQ(user.ImageList, nullptr) << "a freed list is forgotten";

    TQCLBitmapList other(nullptr);
    user.SetImageList(&other);
    user.SetImageList(nullptr);
    other.Add();
    EXPECT_EQ(user.changes, 5) << "no longer told after switching away";
}

TEST(ImageListReference, GlobalListIsStoredAsInternalIdent) {
    ListUser user(nullptr);
    user.SetImageList(QCLGlobalContainer->GetBitmapList());
    EXPECT_TRUE(user.CheckCont());
    EXPECT_FALSE(user.HasControl());
    TMemoryStream layout;
    WriteDefinedProperties(&layout, &user);
    const Bytes bytes = bytesOf(layout);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 9), "Internal");
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("QCLBML30"), std::string::npos);

    ListUser back(nullptr);
    layout.Position = 0;
    ReadDefinedProperties(&layout, &back);
    EXPECT_EQ(back.ImageList, QCLGlobalContainer->GetBitmapList());

    TQCLBitmapList own(nullptr);
    user.SetImageList(&own);
    TMemoryStream none;
    WriteDefinedProperties(&none, &user);
    EXPECT_EQ(none.Size, 1) << "an own list writes no ident";
}
