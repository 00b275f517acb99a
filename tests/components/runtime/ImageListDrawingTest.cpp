// Drawing from image lists: the bitmap list through the library's bitmap
// copies, the strip item's masked adds and conversions, its drawing styles
// over a background colour with the blend patterns, and its mode-word
// drawing (masked, keyed, clipped); the alpha object's image-list
// reference. Small off-screen bitmaps; every GDI
// object made during a test is released by its end.
#include "components/runtime/QCLAlphaObject.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclcont.h"
#include "tests/components/runtime/ContainerTestSupport.h"
#include "tests/components/runtime/DrawingTestSupport.h"

#include "framework/Filer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace containertest;
using drawtest::pixel;

namespace {

constexpr TColor background = clLime;

// A 16 × 16 red picture whose pixel (3, 3) and bottom-left pixel carry the
// key colour: keyed or masked, (3, 3) is see-through.
void keyedCell(TBitmap& bitmap, TColor fill = clRed, TColor key = clAqua) {
    paint(bitmap, 16, 16, {fill});
    bitmap.GetCanvas()->SetPixel(3, 3, key);
    bitmap.GetCanvas()->SetPixel(0, 15, key);
}

std::unique_ptr<TBitmap> target(int w = 40, int h = 40) { return drawtest::makeBitmap(w, h, background); }

class ImageListDrawing : public drawtest::DrawingTest {};

}  // namespace

TEST_F(ImageListDrawing, BitmapListDrawsThroughTheBitmapCopies) {
    TQCLBitmapList list(nullptr);
    TBitmap picture;
    keyedCell(picture);
    list.GetArrayItem(list.Add())->SetBitmap(&picture);

    auto plain = target();
    list.Draw(plain->GetCanvas(), 2, 3, 0, 7);
    EXPECT_EQ(pixel(plain.get(), 2, 3), RGB(255, 0, 0)) << "natural size at x, y; the image index is ignored";
    EXPECT_EQ(pixel(plain.get(), 5, 6), RGB(0, 255, 255)) << "no keying in Draw";
    EXPECT_EQ(pixel(plain.get(), 17, 18), RGB(255, 0, 0));
    EXPECT_EQ(pixel(plain.get(), 18, 18), RGB(0, 255, 0));

    auto keyed = target();
    list.DrawExt(keyed->GetCanvas(), TRect(0, 0, 40, 40), qclmode::Center | qclmode::TransparentColor, 0, 0);
    EXPECT_EQ(pixel(keyed.get(), 12, 12), RGB(255, 0, 0)) << "centred at (12, 12)";
    EXPECT_EQ(pixel(keyed.get(), 15, 15), RGB(0, 255, 0)) << "keyed by the picture's transparent colour";
    EXPECT_EQ(pixel(keyed.get(), 11, 12), RGB(0, 255, 0));

    auto clipped = target();
    list.ClipDraw(clipped->GetCanvas(), TRect(0, 0, 40, 40), qclmode::Clip | qclmode::Stretch, 20, clNone, 0, 0);
    EXPECT_EQ(pixel(clipped.get(), 10, 30), RGB(0, 255, 0)) << "clipped to the rectangle moved 20 right";
    EXPECT_EQ(pixel(clipped.get(), 30, 30), RGB(255, 0, 0));

    auto untouched = target();
    list.Draw(untouched->GetCanvas(), 0, 0, 1, 0);
    list.DrawExt(untouched->GetCanvas(), TRect(0, 0, 40, 40), 0, 1, 0);
    list.ClipDraw(untouched->GetCanvas(), TRect(0, 0, 40, 40), 0, 0, 0, 1, 0);
    EXPECT_EQ(drawtest::countOf(untouched.get(), RGB(0, 255, 0)), 40 * 40) << "past the end draws nothing";
    EXPECT_ANY_THROW(list.Draw(untouched->GetCanvas(), 0, 0, -1, 0));
}

TEST_F(ImageListDrawing, MaskedAddsInsertsAndReplacesKeyOutTheColour) {
    TQCLImageListItem item(nullptr);
    item.SetMaskedState(true);
    TBitmap red, blue;
    keyedCell(red);
    keyedCell(blue, clBlue);
    EXPECT_EQ(item.AddMasked(nullptr, clAqua), -1);
    ASSERT_EQ(item.AddMasked(&red, clAqua), 0);
    ASSERT_EQ(item.InsertMasked(0, &blue, clAqua), 0) << "inserted in front";
    EXPECT_EQ(item.Count, 2);

    auto canvas = target();
    item.Draw(canvas->GetCanvas(), 0, 0, 0);
    item.Draw(canvas->GetCanvas(), 20, 0, 1);
    EXPECT_EQ(pixel(canvas.get(), 3, 3), RGB(0, 255, 0)) << "the key colour is see-through";
    EXPECT_EQ(pixel(canvas.get(), 6, 6), RGB(0, 0, 255));
    EXPECT_EQ(pixel(canvas.get(), 23, 3), RGB(0, 255, 0));
    EXPECT_EQ(pixel(canvas.get(), 26, 6), RGB(255, 0, 0));

    item.ReplaceMasked(1, &blue, clRed);
    TBitmap mask;
    item.GetMaskBitmap(1, &mask);
    EXPECT_EQ(mask.GetCanvas()->GetPixel(3, 3), clBlack) << "keyed by the given colour, not the picture's";
    EXPECT_EQ(mask.GetCanvas()->GetPixel(6, 6), clBlack);
    EXPECT_THROW(item.ReplaceMasked(2, &blue, clAqua), EListError);

    TQCLImageListItem unmasked(nullptr);
    ASSERT_EQ(unmasked.AddMasked(&red, clAqua), 0);
    auto plain = target();
    unmasked.Draw(plain->GetCanvas(), 0, 0, 0);
    EXPECT_EQ(pixel(plain.get(), 3, 3), RGB(0, 255, 255)) << "an unmasked item takes the image alone";
}

TEST_F(ImageListDrawing, MaskedConversionAndInsertingUnmaskedImages) {
    TBitmap strip;
    paint(strip, 32, 16, {clRed});
    TCanvas* c = strip.GetCanvas();
    c->GetBrush()->SetColor(clBlue);
    c->FillRect(TRect(16, 0, 32, 16));
    for (TPoint p : {TPoint(0, 15), TPoint(3, 3), TPoint(19, 3)}) c->SetPixel(p.x, p.y, clAqua);

    TQCLImageListItem item(nullptr);
    item.ConvertBmpToIML(&strip, 2, true);
    EXPECT_TRUE(item.Masked);
    EXPECT_EQ(item.Count, 2);
    EXPECT_EQ(item.Width, 16);
    auto canvas = target();
    item.Draw(canvas->GetCanvas(), 0, 0, 1);
    EXPECT_EQ(pixel(canvas.get(), 3, 3), RGB(0, 255, 0)) << "keyed by the bitmap's bottom-left colour";
    EXPECT_EQ(pixel(canvas.get(), 6, 6), RGB(0, 0, 255));

    TQCLImageListItem source(nullptr);
    TBitmap yellow;
    keyedCell(yellow, clYellow);
    source.Add(&yellow, nullptr);
    item.InsertImages(1, &source);
    ASSERT_EQ(item.Count, 3);
    auto inserted = target();
    item.Draw(inserted->GetCanvas(), 0, 0, 1);
    EXPECT_EQ(pixel(inserted.get(), 3, 3), RGB(0, 255, 0)) << "masked from the image's own transparent colour";
    EXPECT_EQ(pixel(inserted.get(), 6, 6), RGB(255, 255, 0));
}

TEST_F(ImageListDrawing, DrawingStylesOverTheBackgroundColour) {
    // Image pixels: T (3, 3) see-through; A (5, 5) both odd; B (5, 6) sum
    // odd, y even; C (6, 6) both even. Dense pattern: x or y even; checkered:
    // x + y odd.
    const COLORREF bg = RGB(0, 255, 0), red = RGB(255, 0, 0), yellow = RGB(255, 255, 0), blue = RGB(0, 0, 255);
    struct Case {
        const char* name;
        TQCLDrawingStyle style;
        TQCLImageType type;
        TColor bk, blend;
        COLORREF t, a, b, c;
    } cases[] = {
        {"transparent", dsTransparent, itImage, clYellow, clBlue, bg, red, red, red},
        {"normal, no background", dsNormal, itImage, clNone, clBlue, bg, red, red, red},
        {"normal over background", dsNormal, itImage, clYellow, clBlue, yellow, red, red, red},
        {"selected: checkered", dsSelected, itImage, clYellow, clBlue, yellow, red, blue, red},
        {"focus: dense", dsFocus, itImage, clYellow, clBlue, yellow, red, blue, blue},
        {"focus without blend colour", dsFocus, itImage, clYellow, clNone, yellow, red, red, red},
        {"the mask itself", dsFocus, itMask, clYellow, clBlue, RGB(255, 255, 255), 0, 0, 0},
    };
    for (const Case& k : cases) {
        TQCLImageListItem item(nullptr);
        item.SetMaskedState(true);
        TBitmap image;
        keyedCell(image);
        item.AddMasked(&image, clAqua);
        item.DrawingStyle = k.style;
        item.ImageType = k.type;
        item.BkColor = k.bk;
        item.BlendColor = k.blend;
        auto canvas = target();
        item.Draw(canvas->GetCanvas(), 2, 2, 0);
        EXPECT_EQ(pixel(canvas.get(), 5, 5), k.t) << k.name;
        EXPECT_EQ(pixel(canvas.get(), 7, 7), k.a) << k.name;
        EXPECT_EQ(pixel(canvas.get(), 7, 8), k.b) << k.name;
        EXPECT_EQ(pixel(canvas.get(), 8, 8), k.c) << k.name;
        EXPECT_EQ(pixel(canvas.get(), 1, 1), bg) << k.name << ": nothing outside the image";
        EXPECT_EQ(pixel(canvas.get(), 18, 18), bg) << k.name;
        EXPECT_EQ(canvas->GetCanvas()->GetCopyMode(), cmSrcCopy) << k.name;
    }
}

TEST_F(ImageListDrawing, ModeWordDrawingMaskedKeyedAndClipped) {
    TQCLImageListItem masked(nullptr);
    masked.SetMaskedState(true);
    TQCLImageListItem plain(nullptr);
    TBitmap blue, image;
    paint(blue, 16, 16, {clBlue});
    keyedCell(image);
    masked.Add(&blue, nullptr);
    masked.AddMasked(&image, clAqua);
    plain.Add(&blue, nullptr);
    plain.Add(&image, nullptr);

    auto stretched = target();
    masked.DrawExt(stretched->GetCanvas(), TRect(0, 0, 32, 32), qclmode::Stretch, 1);
    EXPECT_EQ(pixel(stretched.get(), 7, 7), RGB(0, 255, 0)) << "(3, 3) doubled stays see-through";
    EXPECT_EQ(pixel(stretched.get(), 12, 12), RGB(255, 0, 0));
    EXPECT_EQ(pixel(stretched.get(), 34, 34), RGB(0, 255, 0));

    auto keyed = target();
    plain.DrawExt(keyed->GetCanvas(), TRect(4, 4, 20, 20), qclmode::TransparentColor, 1);
    EXPECT_EQ(pixel(keyed.get(), 7, 7), RGB(0, 255, 0)) << "keyed by the image's bottom-left pixel";
    EXPECT_EQ(pixel(keyed.get(), 9, 9), RGB(255, 0, 0));
    auto copied = target();
    plain.DrawExt(copied->GetCanvas(), TRect(4, 4, 20, 20), 0, 1);
    EXPECT_EQ(pixel(copied.get(), 7, 7), RGB(0, 255, 255)) << "without the mode bit the key colour is drawn";

    for (TQCLImageListItem* item : {&masked, &plain}) {
        auto clipped = target();
        item->ClipDraw(clipped->GetCanvas(), TRect(0, 0, 32, 32), qclmode::Clip | qclmode::Stretch, 16 << 16,
                       clNone, 1);
        EXPECT_EQ(pixel(clipped.get(), 24, 8), RGB(0, 255, 0)) << "clipped to the rectangle moved 16 down";
        EXPECT_EQ(pixel(clipped.get(), 24, 24), RGB(255, 0, 0));
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(clipped->GetCanvas()->GetHandle(), probe), 0) << "the clip is removed";
        DeleteObject(probe);
    }
    EXPECT_THROW(masked.DrawExt(stretched->GetCanvas(), TRect(0, 0, 16, 16), 0, 2), EListError);
}

TEST_F(ImageListDrawing, ImageListDelegatesDrawingToItsEntries) {
    TQCLImageList list(nullptr);
    TQCLImageListItem* entry = list.GetArrayItem(list.Add());
    entry->SetMaskedState(true);
    TBitmap image;
    keyedCell(image);
    entry->AddMasked(&image, clAqua);

    auto drawn = target();
    list.Draw(drawn->GetCanvas(), 10, 10, 0, 0);
    list.DrawExt(drawn->GetCanvas(), TRect(0, 0, 8, 8), qclmode::Stretch, 0, 0);
    list.ClipDraw(drawn->GetCanvas(), TRect(30, 30, 46, 46), 0, 0, clNone, 0, 0);
    EXPECT_EQ(pixel(drawn.get(), 13, 13), RGB(0, 255, 0));
    EXPECT_EQ(pixel(drawn.get(), 16, 16), RGB(255, 0, 0));
    EXPECT_EQ(pixel(drawn.get(), 4, 4), RGB(255, 0, 0));
    EXPECT_EQ(pixel(drawn.get(), 33, 33), RGB(0, 255, 0));
    EXPECT_EQ(pixel(drawn.get(), 36, 36), RGB(255, 0, 0));

    auto untouched = target();
    list.Draw(untouched->GetCanvas(), 0, 0, 1, 0);
    list.DrawExt(untouched->GetCanvas(), TRect(0, 0, 40, 40), 0, 1, 0);
    list.ClipDraw(untouched->GetCanvas(), TRect(0, 0, 40, 40), 0, 0, 0, 1, 0);
    EXPECT_EQ(drawtest::countOf(untouched.get(), RGB(0, 255, 0)), 40 * 40) << "past the end draws nothing";
}

// The alpha object's image-list reference. The program's setter stores no
// list, so a list is linked here past it, as Assign from a linked object
// would.
TEST_F(ImageListDrawing, AlphaObjectFollowsItsLinkedListAndStaysSwitchedOff) {
    int changes = 0;
    TQCLAlphaObject alpha;
    alpha.OnChange = [&](TObject*) { ++changes; };
    {
        TQCLBitmapList own(nullptr);
        TBitmap picture;
        keyedCell(picture);
        alpha.LinkImageListForTesting(&own);
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(alpha.ImageList(), &own);
        EXPECT_TRUE(alpha.HasControl()) << "a list of its own is stored as ImageList";
        EXPECT_FALSE(alpha.CheckCont());
        EXPECT_TRUE(alpha.IMLEmpty()) << "no entry yet";

        auto* entry = new TQCLBitmapListItem(nullptr);
        entry->SetBitmap(&picture);
        own.Add(entry);
        EXPECT_GE(changes, 1) << "the list's change reaches the owner";
        EXPECT_FALSE(alpha.IMLEmpty());
        EXPECT_EQ(alpha.FillObject()->GetListBitmap()->Width, 16) << "the item copied into the fill";

        TQCLAlphaObject copy;
        int copyChanges = 0;
        copy.OnChange = [&](TObject*) { ++copyChanges; };
        copy.Assign(&alpha);
        EXPECT_EQ(copy.ImageList(), &own) << "Assign moves the link";
        const int afterAssign = copyChanges;  // the fill object's assignment only
        const int before = changes;
        copy.ImageList = &own;
        EXPECT_EQ(copy.ImageList(), nullptr) << "the setter stores none";
        EXPECT_EQ(copyChanges, afterAssign + 1);
        copy.ImageList = &own;
        EXPECT_EQ(copyChanges, afterAssign + 1) << "unchanged: no notification";
        EXPECT_EQ(changes, before);
    }
    EXPECT_EQ(alpha.ImageList(), nullptr) << "a freed list leaves no reference";
    EXPECT_TRUE(alpha.IMLEmpty());
    EXPECT_FALSE(alpha.Enabled());

    // A global list is stored as "Internal" and read back through the setter.
    alpha.LinkImageListForTesting(QCLGlobalContainer->GetBitmapList());
    EXPECT_TRUE(alpha.CheckCont());
    EXPECT_FALSE(alpha.HasControl());
    TMemoryStream stream;
    WriteDefinedProperties(&stream, &alpha);
    const Bytes bytes = bytesOf(stream);
    const Bytes ident = text("QCLBML30");
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), ident.begin(), ident.end()), bytes.end());
    stream.Position = 0;
    TQCLAlphaObject read;
    read.LinkImageListForTesting(QCLGlobalContainer->GetImageList());
    ReadDefinedProperties(&stream, &read);
    EXPECT_EQ(read.ImageList(), nullptr) << "switched off: the stored list is not linked";

    TQCLAlphaObject plain;
    TMemoryStream none;
    WriteDefinedProperties(&none, &plain);
    const Bytes noneBytes = bytesOf(none);
    const Bytes internal = text("Internal");
    EXPECT_EQ(std::search(noneBytes.begin(), noneBytes.end(), internal.begin(), internal.end()), noneBytes.end())
        << "no list: no \"Internal\"";
}
