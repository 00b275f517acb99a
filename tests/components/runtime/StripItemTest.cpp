// Strip image item: growth and the width limit, the order of images after
// Insert, Delete and Move, the record with the strip cut to its images,
// masked drawing, and the image list over strips.
#include "components/runtime/qclcont.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace containertest;

namespace {

// A 16 × 16 image of one colour with a distinct bottom-left pixel.
void cell(TBitmap& bitmap, TColor colour, int width = 16) {
    paint(bitmap, width, 16, {colour});
    bitmap.GetCanvas()->SetPixel(0, 15, colour ^ 0x010101);
}

// The colour at the centre of each image, in image order.
std::vector<TColor> order(TQCLImageListItem& item) {
    std::vector<TColor> colours;
    for (int i = 0; i < item.Count; ++i) {
        EXPECT_EQ(item.GetImageRect(i).Left, i * item.Width);
        colours.push_back(item.GetImageBitmap()->GetCanvas()->GetPixel(i * item.Width + 8, 8));
    }
    return colours;
}

TQCLImageListItem* threeImages(TQCLImageListItem& item) {
    for (TColor c : {clRed, clLime, clBlue}) {
        TBitmap image;
        cell(image, c);
        item.Add(&image, nullptr);
    }
    return &item;
}

}  // namespace

TEST(StripItem, GrowsByAllocByAndStopsAtTheWidthLimit) {
    TQCLImageListItem item(nullptr);
    EXPECT_EQ(item.Count, 0);
    EXPECT_EQ(item.Width, 16);
    EXPECT_EQ(item.Height, 16);
    EXPECT_EQ(item.AllocBy, 4);
    EXPECT_EQ(item.Add(nullptr, nullptr), 0);
    EXPECT_EQ(item.GetImageBitmap()->Width, 64);
    for (int i = 1; i < 4; ++i) item.Add(nullptr, nullptr);
    EXPECT_EQ(item.GetImageBitmap()->Width, 64);
    item.Add(nullptr, nullptr);
    EXPECT_EQ(item.GetImageBitmap()->Width, 128);

    while (item.Count < 2048) item.Add(nullptr, nullptr);
    EXPECT_EQ(item.GetImageBitmap()->Width, 32768);
    try {
        item.Add(nullptr, nullptr);
        ADD_FAILURE();
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "Too many images");
    }
    EXPECT_EQ(item.Count, 2048);
    EXPECT_EQ(item.GetUsedWidth(), 2048 * 16) << "the refused image is not counted";

    // Deleting from a full strip shifts in place; later offsets stay right.
    item.Delete(0);
    EXPECT_LE(item.GetImageBitmap()->Width, 32768);
    EXPECT_EQ(item.GetImageRect(2046).Left, 2046 * 16);
    EXPECT_EQ(item.Add(nullptr, nullptr), 2047);
    EXPECT_EQ(item.GetImageRect(2047).Left, 2047 * 16);
}

TEST(StripItem, OrderAfterInsertDeleteAndMove) {
    TQCLImageListItem item(nullptr);
    threeImages(item);
    EXPECT_EQ(order(item), (std::vector<TColor>{clRed, clLime, clBlue}));
    item.Move(0, 2);
    EXPECT_EQ(order(item), (std::vector<TColor>{clLime, clBlue, clRed}));
    item.Delete(3);  // past the last image: nothing
    item.Delete(0);
    EXPECT_EQ(order(item), (std::vector<TColor>{clBlue, clRed}));
    TBitmap yellow;
    cell(yellow, clYellow);
    EXPECT_EQ(item.Insert(1, &yellow, nullptr), 1);
    EXPECT_EQ(order(item), (std::vector<TColor>{clBlue, clYellow, clRed}));
    EXPECT_EQ(item.Insert(9, &yellow, nullptr), 3) << "past the end: appended";

    for (int bad : {-1, 4}) {
        EXPECT_THROW(item.GetImageRect(bad), EListError) << bad;
        EXPECT_THROW(item.Replace(bad, &yellow, nullptr), EListError) << bad;
        EXPECT_THROW(item.TransparentColor(bad), EListError) << bad;
    }
    EXPECT_THROW(item.Delete(-1), EListError);
    EXPECT_EQ(item.Count, 4);
}

TEST(StripItem, ImageChecksAndSizes) {
    TQCLImageListItem item(nullptr);
    TBitmap wide, tall, mask;
    paint(wide, 32, 16, {clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed, clRed,
                          clRed, clRed, clRed, clBlue});
    paint(tall, 16, 17, {clRed});
    paint(mask, 16, 16, {clBlack});
    EXPECT_EQ(item.Add(nullptr, &mask), -1);
    EXPECT_EQ(item.Add(&wide, nullptr), 0);
    EXPECT_EQ(item.GetImageBitmap()->GetCanvas()->GetPixel(15, 0), clRed) << "only the left 16 pixels";
    EXPECT_EQ(item.GetImageBitmap()->GetCanvas()->GetPixel(16, 0), clWhite);
    EXPECT_THROW(item.Add(&tall, nullptr), EInvalidGraphicOperation);
    EXPECT_EQ(item.Count, 1);

    item.SetInteger(0, 16);
    item.SetInteger(0, 0);
    EXPECT_EQ(item.Count, 1) << "same value or 0: nothing";
    item.SetInteger(1, 8);
    EXPECT_EQ(item.Count, 0);
    EXPECT_EQ(item.Height, 8);

    EXPECT_THROW(TQCLImageListItem(0, 16), EInvalidGraphicOperation);
    EXPECT_THROW(TQCLImageListItem(16, -1), EInvalidGraphicOperation);
    TQCLImageListItem sized(8, 4);
    EXPECT_EQ(sized.Width, 8);
    EXPECT_EQ(sized.Height, 4);
}

TEST(StripItem, ConvertingRefusesCountsBelowOne) {
    TQCLImageListItem item(nullptr);
    threeImages(item);
    TBitmap strip;
    paint(strip, 48, 16, {clRed});
    for (int count : {0, -1}) {
        EXPECT_THROW(item.ConvertBmpToIML(&strip, count, false), EInvalidGraphicOperation) << count;
        EXPECT_EQ(item.Count, 3) << count;
    }
    brimtest::TempFolder temp;
    strip.SaveToFile(temp.file("strip.bmp"));
    for (int count : {0, -1, 5})
        EXPECT_THROW(item.LoadFromBitmap(temp.file("strip.bmp"), count, false), EQCLContainerOpenError) << count;
    EXPECT_EQ(item.Count, 3);
    EXPECT_TRUE(item.LoadFromBitmap(temp.file("strip.bmp"), 4, false));
    EXPECT_EQ(item.Count, 4);
    EXPECT_EQ(item.Width, 12);
    EXPECT_EQ(item.GetDescription(), "strip.bmp");
}

TEST(StripItem, RecordCutsTheStripToItsImages) {
    TQCLImageListItem item(nullptr);
    threeImages(item);
    ASSERT_EQ(item.GetImageBitmap()->Width, 64);
    TMemoryStream s;
    item.WriteData(&s);
    const Bytes record = bytesOf(s);
    EXPECT_EQ(record[0], 0x00);
    EXPECT_EQ(int32At(record, 1), 16);   // height
    EXPECT_EQ(int32At(record, 5), 16);   // width
    EXPECT_EQ(int32At(record, 9), 4);    // alloc by
    EXPECT_EQ(record[13], 0);            // not masked
    EXPECT_EQ(int32At(record, 14), 3);   // count
    EXPECT_EQ(int32At(record, 18 + 4 + 18), 48) << "the stored strip is 48 pixels wide";
    EXPECT_EQ(item.GetImageBitmap()->Width, 48);

    s.Position = 0;
    TQCLImageListItem back(nullptr);
    back.ReadData(&s);
    EXPECT_EQ(order(back), (std::vector<TColor>{clRed, clLime, clBlue}));
    EXPECT_EQ(back.TransparentColor(1), clLime ^ 0x010101) << "the bottom-left pixel";

    TQCLImageListItem empty(nullptr);
    TMemoryStream e;
    empty.WriteData(&e);
    EXPECT_EQ(bytesOf(e), concat({{0x00}, le32(16), le32(16), le32(4), {0}, le32(0)}));

    brimtest::TempFolder temp;
    item.SaveToFile(temp.file("one.iml"));
    const Bytes file = text(temp.readFile("one.iml"));
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 9), concat({{0x08}, text("QCLIML30")}));
    EXPECT_EQ(int32At(file, 9), 1);
    EXPECT_EQ(int32At(file, 13), 17);
    TQCLImageListItem loaded(nullptr);
    loaded.LoadFromFile(temp.file("one.iml"));
    EXPECT_EQ(order(loaded), (std::vector<TColor>{clRed, clLime, clBlue}));
    TQCLImageListItem viaList(nullptr);
    EXPECT_TRUE(QCLIMLGetItem(temp.file("one.iml"), 0, &viaList));
    EXPECT_EQ(viaList.Count, 3);
}

TEST(StripItem, MaskedDrawingAndCopies) {
    TQCLImageListItem item(nullptr);
    item.SetMaskedState(true);
    TBitmap image, mask;
    paint(image, 16, 16, {clRed});
    image.GetCanvas()->SetPixel(3, 3, clBlack);  // transparent pixels are black in the image
    paint(mask, 16, 16, {clBlack});
    mask.GetCanvas()->SetPixel(3, 3, clWhite);   // ... and white in the mask
    ASSERT_EQ(item.Add(&image, &mask), 0);
    TBitmap opaque;
    paint(opaque, 16, 16, {clBlue});
    ASSERT_EQ(item.Add(&opaque, nullptr), 1) << "no mask: fully opaque";

    TBitmap target;
    paint(target, 40, 20, {clLime});
    item.Draw(target.GetCanvas(), 2, 2, 0);
    item.Draw(target.GetCanvas(), 20, 2, 1);
    EXPECT_EQ(target.GetCanvas()->GetPixel(5, 5), clLime) << "see-through pixel";
    EXPECT_EQ(target.GetCanvas()->GetPixel(6, 6), clRed);
    EXPECT_EQ(target.GetCanvas()->GetPixel(23, 5), clBlue);
    EXPECT_EQ(target.GetCanvas()->GetPixel(1, 1), clLime);
    EXPECT_EQ(target.GetCanvas()->GetCopyMode(), cmSrcCopy) << "the copy mode is given back";

    TBitmap copy, copyMask;
    item.GetBitmap(0, &copy);
    item.GetMaskBitmap(0, &copyMask);
    EXPECT_EQ(copy.Width, 16);
    EXPECT_EQ(copy.GetCanvas()->GetPixel(6, 6), clRed);
    EXPECT_EQ(copyMask.GetCanvas()->GetPixel(3, 3), clWhite);
    EXPECT_EQ(copyMask.GetCanvas()->GetPixel(6, 6), clBlack);

    // Assign copies settings and images; AddImages appends in one piece.
    TQCLImageListItem other(nullptr);
    other.Assign(&item);
    EXPECT_TRUE(other.Masked);
    EXPECT_EQ(other.Count, 2);
    other.AddImages(&item);
    EXPECT_EQ(other.Count, 4);
    TBitmap third;
    other.GetBitmap(3, &third);
    EXPECT_EQ(third.GetCanvas()->GetPixel(8, 8), clBlue);
    TQCLImageListItem small(8, 8);
    EXPECT_THROW(other.AddImages(&small), EInvalidGraphicOperation);
    EXPECT_THROW(other.InsertImages(0, &small), EInvalidGraphicOperation);
    other.InsertImages(1, &item);
    EXPECT_EQ(other.Count, 6);
    other.GetBitmap(2, &third);
    EXPECT_EQ(third.GetCanvas()->GetPixel(8, 8), clBlue) << "inserted in the other item's order";
}

TEST(StripImageList, DelegatesToTheEntries) {
    TQCLImageList list(nullptr);
    threeImages(*list.GetArrayItem(list.Add()));
    EXPECT_EQ(list.ItemCount(0), 3);
    EXPECT_TRUE(list.IsValidItem(0, 2));
    EXPECT_FALSE(list.IsValidItem(0, 3));
    EXPECT_FALSE(list.IsValidItem(0, -1));
    EXPECT_EQ(list.ItemRect(0, 1).Left, 16);
    EXPECT_EQ(list.TransparentColor(0, 2), clBlue ^ 0x010101);
    TBitmap image;
    list.GetBitmapItem(0, 1, &image);
    EXPECT_EQ(image.GetCanvas()->GetPixel(8, 8), clLime);

    TQCLImageList copy(nullptr);
    copy.Add();
    copy.Add();
    copy.Index = 1;
    copy.Assign(&list);
    EXPECT_EQ(copy.Index, 0);
    EXPECT_EQ(copy.GetList()->Count, 3);
}
