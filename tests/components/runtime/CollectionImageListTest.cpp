// The two collection-backed image lists: the connector over framework image
// lists and the graphic list over framework pictures. Answers per entry
// state (past the end, negative, no list, empty picture, bitmap, icon),
// pixels drawn and copied on small off-screen bitmaps, change signals from
// the entries and from the framework list, the removal of a framework list
// that an entry refers to, Assign, SetIndex and the list-kind questions.
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclcont_collections.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace containertest;
using drawtest::pixel;

namespace {

constexpr TColor background = clLime;

// A 32 × 32 (the system's icon size) red icon whose top-left 4 × 4 corner is see-through.
HICON redIconWithHole() {
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 32, 32);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colour);
    RECT all = {0, 0, 32, 32};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &all, red);
    RECT hole = {0, 0, 4, 4};
    FillRect(dc, &hole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SelectObject(dc, old);
    DeleteObject(red);
    HBITMAP mask = CreateBitmap(32, 32, 1, 1, nullptr);
    old = SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(dc, &hole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info = {TRUE, 0, 0, mask, colour};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(colour);
    return icon;
}

// A framework list of 16 × 16 images: red, then blue.
std::unique_ptr<TImageList> twoImages() {
    auto list = std::make_unique<TImageList>(nullptr);
    for (TColor c : {clRed, clBlue}) {
        TBitmap image;
        paint(image, 16, 16, {c});
        list->Add(&image, nullptr);
    }
    return list;
}

class CollectionImageLists : public drawtest::DrawingTest {};

TEST_F(CollectionImageLists, ConnectorAnswersPerEntryState) {
    auto images = twoImages();
    TQCLImageListConnector connector(nullptr);
    TQCLBorImageListItem* full = connector.GetImageLists()->Add();
    full->SetName("tools");
    full->SetImageList(images.get());
    connector.GetImageLists()->Add();  // entry 1: no list yet

    struct Case {
        const char* what;
        int list, image;
        int width, count;
        bool valid, masked;
        TRect rect;
    } cases[] = {
        {"first image", 0, 0, 16, 2, true, true, TRect(0, 0, 16, 16)},
        {"last image", 0, 1, 16, 2, true, true, TRect(0, 0, 16, 16)},
        {"image past the list", 0, 2, 16, 2, false, true, TRect(0, 0, 16, 16)},
        {"negative image", 0, -1, 16, 2, false, true, TRect(0, 0, 16, 16)},
        {"entry without a list", 1, 0, 0, 0, false, false, TRect(0, 0, 0, 0)},
        {"past the end", 2, 0, 0, -1, false, false, TRect(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(connector.Dimensions(c.list, 0), c.width);
        EXPECT_EQ(connector.Dimensions(c.list, 1), c.width);
        EXPECT_EQ(connector.Dimensions(c.list, 2), 0);
        EXPECT_EQ(connector.ItemCount(c.list), c.count);
        EXPECT_EQ(connector.IsValidItem(c.list, c.image), c.valid);
        EXPECT_EQ(connector.Masked(c.list), c.masked);
        EXPECT_EQ(connector.ItemRect(c.list, c.image), c.rect);
        EXPECT_EQ(connector.GetColorAtPoint(TPoint(1, 1), c.list, c.image), TColor(0xFFFFFF));
        EXPECT_EQ(connector.BmpCanvas(c.list), nullptr);
        EXPECT_EQ(connector.Palette(c.list), nullptr);
    }
    EXPECT_EQ(connector.GetCount(), 2);
    EXPECT_EQ(connector.GetItem(0)->GetDescription(), "tools");
    EXPECT_EQ(connector.GetItem(1)->GetDescription(), "");
    EXPECT_THROW(connector.GetItem(2), EListError);
    EXPECT_THROW(connector.ItemCount(-1), EListError) << "a negative entry reaches the lookup";

    EXPECT_NO_THROW(connector.SetIndex(-1));
    EXPECT_NO_THROW(connector.SetIndex(1));
    EXPECT_THROW(connector.SetIndex(2), EInvalidGraphicOperation);
    EXPECT_EQ(connector.GetIndex(), 1);
}

TEST_F(CollectionImageLists, ConnectorDrawsAndCopiesTheFrameworkImages) {
    auto images = twoImages();
    TQCLImageListConnector connector(nullptr);
    connector.GetImageLists()->Add()->SetImageList(images.get());

    TBitmap copy;
    connector.GetBitmapItem(0, 1, &copy);
    EXPECT_EQ(copy.GetWidth(), 16);
    EXPECT_EQ(pixel(&copy, 8, 8), RGB(0, 0, 255));
    connector.GetBitmapItem(0, 1, nullptr);  // no bitmap: nothing

    auto natural = drawtest::makeBitmap(40, 40, background);
    connector.Draw(natural->GetCanvas(), 4, 5, 0, 0);
    EXPECT_EQ(pixel(natural.get(), 4, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(natural.get(), 19, 20), RGB(255, 0, 0));
    EXPECT_EQ(pixel(natural.get(), 20, 20), RGB(0, 255, 0));
    connector.Draw(natural->GetCanvas(), 0, 0, 3, 0);  // past the end draws nothing
    EXPECT_EQ(pixel(natural.get(), 0, 0), RGB(0, 255, 0));

    auto stretched = drawtest::makeBitmap(40, 40, background);
    connector.DrawExt(stretched->GetCanvas(), TRect(0, 0, 32, 32), qclmode::Stretch, 0, 1);
    EXPECT_EQ(pixel(stretched.get(), 30, 30), RGB(0, 0, 255)) << "stretched through a temporary bitmap";
    EXPECT_EQ(pixel(stretched.get(), 33, 33), RGB(0, 255, 0));
}

TEST_F(CollectionImageLists, ConnectorHearsItsEntriesAndForgetsAFreedList) {
    auto images = twoImages();
    TQCLImageListConnector connector(nullptr);
    int changes = 0;
    TQCLChangeLink link;
    link.OnChange = [&](TObject*) { ++changes; };
    connector.RegisterChanges(&link);

    TQCLBorImageListItem* item = connector.GetImageLists()->Add();
    int afterAdd = changes;
    EXPECT_GE(afterAdd, 1) << "adding an entry is a change";
    item->SetImageList(images.get());
    EXPECT_GT(changes, afterAdd);
    int before = changes;
    TBitmap green;
    paint(green, 16, 16, {clGreen});
    images->Add(&green, nullptr);
    EXPECT_GT(changes, before) << "a change of the framework list reaches the connector";
    before = changes;
    item->SetName("renamed");
    EXPECT_GT(changes, before);
    EXPECT_EQ(item->GetDisplayName(), "renamed");

    images.reset();  // the framework list goes first
    EXPECT_EQ(item->GetImageList(), nullptr);
    EXPECT_EQ(connector.ItemCount(0), 0);
    EXPECT_FALSE(connector.IsValidItem(0, 0));

    // An entry that goes unregisters its link from a list that stays.
    auto stays = twoImages();
    TQCLBorImageListItem* second = connector.GetImageLists()->Add();
    second->SetImageList(stays.get());
    connector.GetImageLists()->Delete(1);
    before = changes;
    stays->Add(&green, nullptr);
    EXPECT_EQ(changes, before);
    connector.UnRegisterChanges(&link);
}

TEST_F(CollectionImageLists, GraphicListAnswersForBitmapsIconsAndEmptyPictures) {
    TQCLGraphicList list(nullptr);
    TBitmap red;
    paint(red, 12, 10, {clRed});
    red.SetTransparentColor(clRed);
    TQCLGraphicListItem* bitmapEntry = list.GetGraphics()->Add();
    bitmapEntry->SetName("bitmap");
    bitmapEntry->GetPicture()->SetGraphic(&red);
    TIcon icon;
    icon.SetHandle(redIconWithHole());
    list.GetGraphics()->Add()->GetPicture()->SetGraphic(&icon);
    list.GetGraphics()->Add();  // an empty picture

    struct Case {
        const char* what;
        int index;
        int width, height, count;
        bool valid;
        TColor transparent;
    } cases[] = {
        {"bitmap", 0, 12, 10, 1, true, clRed},
        {"icon", 1, 32, 32, 1, true, 0},  // checked below against its copy on white
        {"empty picture", 2, 0, 0, 0, false, 0x1FFFFFFF},
        {"past the end", 3, 0, 0, 0, false, 0x1FFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(list.Dimensions(c.index, 0), c.width);
        EXPECT_EQ(list.Dimensions(c.index, 1), c.height);
        EXPECT_EQ(list.ItemCount(c.index), c.count);
        EXPECT_EQ(list.IsValidItem(c.index, 5), c.valid) << "the image index is ignored";
        EXPECT_EQ(list.ItemRect(c.index, 0), TRect(0, 0, c.width, c.height));
        EXPECT_FALSE(list.Masked(c.index));
        EXPECT_EQ(list.GetColorAtPoint(TPoint(0, 0), c.index, 0), TColor(0xFFFFFF));
        if (c.index != 1) {
            EXPECT_EQ(list.TransparentColor(c.index, 0), c.transparent);
        }
    }
    EXPECT_THROW(list.ItemCount(-1), EListError);
    EXPECT_EQ(list.GetItem(0)->GetDescription(), "bitmap");

    // The icon is copied onto white: its see-through corner reads white.
    TBitmap copy;
    list.GetBitmapItem(1, 0, &copy);
    ASSERT_EQ(copy.GetWidth(), 32);
    EXPECT_EQ(pixel(&copy, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(pixel(&copy, 16, 16), RGB(255, 0, 0));
    EXPECT_EQ(list.TransparentColor(1, 0), copy.GetTransparentColor());

    auto target = drawtest::makeBitmap(40, 40, background);
    list.Draw(target->GetCanvas(), 3, 3, 1, 0);
    EXPECT_EQ(pixel(target.get(), 3, 3), RGB(0, 255, 0)) << "Draw lets the icon's hole show the canvas";
    EXPECT_EQ(pixel(target.get(), 20, 20), RGB(255, 0, 0));
    list.DrawExt(target->GetCanvas(), TRect(0, 0, 40, 40), qclmode::Stretch, 0, 0);
    EXPECT_EQ(pixel(target.get(), 39, 39), RGB(255, 0, 0));
}

TEST_F(CollectionImageLists, GraphicListChangesAssignAndListKinds) {
    TQCLGraphicList list(nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    TQCLGraphicListItem* item = list.GetGraphics()->Add();
    int before = changes;
    TBitmap red;
    paint(red, 4, 4, {clRed});
    item->GetPicture()->SetGraphic(&red);
    EXPECT_GT(changes, before) << "a picture's change is the list's change";

    TQCLGraphicList copy(nullptr);
    copy.Assign(&list);
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_EQ(copy.Dimensions(0, 0), 4);
    EXPECT_NE(copy.GetGraphics()->GetItem(0)->GetPicture(), item->GetPicture());

    TQCLImageListConnector connector(nullptr);
    TQCLBitmapList bitmaps(nullptr);
    TQCLImageList strips(nullptr);
    struct Case {
        TQCLCustomImageList* list;
        bool single, collection;
    } cases[] = {{&list, true, false}, {&connector, false, true}, {&bitmaps, true, false},
                 {&strips, false, false}, {nullptr, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list ? c.list->ClassName() : AnsiString("none"));
        EXPECT_EQ(QCLIsSingleItemImageList(c.list), c.single);
        EXPECT_EQ(QCLIsCollectionImageList(c.list), c.collection);
    }
}

}  // namespace
