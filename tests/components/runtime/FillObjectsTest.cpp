// The fill, gradient, alpha and effect property objects: filling by style,
// the clip fill, when they notify, the gradient's colour list and palette,
// the switched-off alpha and effect objects, streaming and summary texts.
#include "components/runtime/QCLAlphaObject.h"
#include "components/runtime/QCLBitmapEffectObject.h"
#include "components/runtime/QCLGradient.h"
#include "components/runtime/QCLShapeFill.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include "framework/Filer.h"

#include <gtest/gtest.h>

#include <random>

using namespace drawtest;

namespace {

struct ChangeCounter {
    int count = 0;
    void watch(TQCLObject& object) { object.OnChange = [this](TObject*) { ++count; }; }
};

const COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Lime = RGB(0, 255, 0);

class FillObjects : public DrawingTest {};

TEST_F(FillObjects, FillCanvasByStyle) {
    auto picture = makeBitmap(4, 4, clRed);
    struct Case {
        const char* what;
        std::function<void(TQCLFillObject&)> setUp;
        bool drawn;
        TRect red;          // where the picture lands
        COLORREF corner;    // pixel (19, 19)
    } cases[] = {
        {"none", [](TQCLFillObject&) {}, false, {0, 0, 0, 0}, White},
        {"brush", [](TQCLFillObject& f) { f.Style = sfBrush; f.Brush()->SetColor(clRed); }, true, {0, 0, 20, 20}, Red},
        {"bitmap top left + offset", [&](TQCLFillObject& f) {
             f.Style = sfBitmap; f.Bitmap = picture.get(); f.TileMode = tmNone; f.OffsetX = 2; f.OffsetY = 1; },
         true, {2, 1, 6, 5}, Blue},
        {"bitmap bottom right", [&](TQCLFillObject& f) {
             f.Style = sfBitmap; f.Bitmap = picture.get(); f.TileMode = tmNone; f.Alignment = agBottomRight; },
         true, {16, 16, 20, 20}, Red},
        {"bitmap bottom right, no inner fill", [&](TQCLFillObject& f) {
             f.Style = sfBitmap; f.Bitmap = picture.get(); f.TileMode = tmNone; f.Alignment = agCenter;
             f.Options = TQCLFillOptions{foGrUseBitmap}; },
         true, {8, 8, 12, 12}, White},
        {"centre", [&](TQCLFillObject& f) { f.Style = sfBitmap; f.Bitmap = picture.get(); f.TileMode = tmCenter; },
         true, {8, 8, 12, 12}, Blue},
        {"stretch", [&](TQCLFillObject& f) { f.Style = sfBitmap; f.Bitmap = picture.get(); f.TileMode = tmStretch; },
         true, {0, 0, 20, 20}, Red},
        {"tile", [&](TQCLFillObject& f) { f.Style = sfBitmap; f.Bitmap = picture.get(); }, true, {0, 0, 20, 20}, Red},
        {"empty bitmap, inner fill", [](TQCLFillObject& f) { f.Style = sfBitmap; }, false, {0, 0, 0, 0}, Blue},
        {"empty bitmap, no inner fill",
         [](TQCLFillObject& f) { f.Style = sfBitmap; f.Options = TQCLFillOptions{}; }, false, {0, 0, 0, 0}, White},
        {"gradient", [](TQCLFillObject& f) {
             f.Style = sfGradient; f.Gradient()->SetColor(clRed); f.Gradient()->SetEndColor(clRed); },
         true, {0, 0, 20, 20}, Red},
        {"brush bitmap", [&](TQCLFillObject& f) { f.Style = sfBrushBitmap; f.Bitmap = picture.get(); }, true,
         {0, 0, 20, 20}, Red},
    };
    for (const auto& c : cases) {
        TQCLFillObject fill;
        c.setUp(fill);
        auto bmp = makeBitmap(20, 20, clWhite);
        EXPECT_EQ(fill.FillCanvas(bmp->GetCanvas(), TRect(0, 0, 20, 20), clBlue), c.drawn) << c.what;
        EXPECT_EQ(boxOf(bmp.get(), Red), c.red) << c.what;
        EXPECT_EQ(pixel(bmp.get(), 19, 19), c.corner) << c.what;
    }
    // A hatch shows the colour in its gaps.
    TQCLFillObject hatch;
    hatch.Style = sfBrush;
    hatch.Brush()->SetStyle(bsCross);
    hatch.Brush()->SetColor(clRed);
    auto bmp = makeBitmap(16, 16, clWhite);
    hatch.FillCanvas(bmp->GetCanvas(), TRect(0, 0, 16, 16), clLime);
    EXPECT_GT(countOf(bmp.get(), Red), 0);
    EXPECT_GT(countOf(bmp.get(), Lime), 0);
    EXPECT_EQ(countOf(bmp.get(), White), 0);
}

TEST_F(FillObjects, ClipFillCutsAtTheMovedRectangleAndRemovesTheClip) {
    TQCLFillObject fill;
    fill.Style = sfBrush;
    fill.Brush()->SetColor(clRed);
    auto bmp = makeBitmap(20, 20, clWhite);
    EXPECT_TRUE(fill.ClipFill(bmp->GetCanvas(), TRect(0, 0, 10, 10), clBlue, 4u | (6u << 16)));
    EXPECT_EQ(boxOf(bmp.get(), Red), TRect(4, 6, 10, 10));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(bmp->GetCanvas()->GetHandle(), probe), 0);
    DeleteObject(probe);
    // A gradient drawn through a bitmap is not clipped.
    fill.Style = sfGradient;
    fill.Gradient()->SetColor(clLime);
    fill.Gradient()->SetEndColor(clLime);
    auto other = makeBitmap(20, 20, clWhite);
    fill.ClipFill(other->GetCanvas(), TRect(0, 0, 10, 10), clBlue, 4u | (6u << 16));
    EXPECT_EQ(boxOf(other.get(), Lime), TRect(0, 0, 10, 10));
}

TEST_F(FillObjects, NotifyOnlyWhenTheValueMattersAndChanges) {
    TQCLFillObject fill;
    ChangeCounter counter;
    counter.watch(fill);
    EXPECT_EQ(fill.Style(), sfNone);
    fill.Style = sfBitmap;  // TileMode is tmTile: placement does not matter
    fill.Alignment = agCenter;
    fill.OffsetX = 5;
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(fill.OffsetX(), 5);
    fill.TileMode = tmNone;
    fill.OffsetY = 3;
    fill.Alignment = agBottomLeft;
    fill.Alignment = agBottomLeft;
    EXPECT_EQ(counter.count, 4);
    fill.Brush()->SetColor(clRed);             // the owned brush
    fill.Gradient()->SetStyle(gstSquare);      // the nested gradient
    auto picture = makeBitmap(2, 2, clRed);
    fill.Bitmap = picture.get();               // the owned bitmap
    EXPECT_GE(counter.count, 7);
    const int before = counter.count;
    fill.SetListBitmap(picture.get());         // silent
    fill.Options = fill.Options();
    EXPECT_EQ(counter.count, before);

    TQCLFillObject copy;
    ChangeCounter copyCounter;
    copyCounter.watch(copy);
    copy.Assign(&fill);
    EXPECT_EQ(copyCounter.count, 1);
    EXPECT_EQ(copy.Alignment(), agBottomLeft);
    EXPECT_EQ(copy.Brush()->GetColor(), clRed);
    EXPECT_EQ(copy.Gradient()->Style(), gstSquare);
    EXPECT_FALSE(copy.GetListBitmap()->GetEmpty());
    EXPECT_EQ(copy.GetSetStr(), "{Bitmap}");
    EXPECT_FALSE(copy.GetMustRedraw() == false);  // tmNone depends on the size
    EXPECT_FALSE(copy.GetTransparent());          // the inner fill covers the rest
}

TEST_F(FillObjects, GradientColourListsAndPalette) {
    TQCLGradient gradient;
    EXPECT_EQ(gradient.GetColorList().size(), 16u);
    EXPECT_EQ(gradient.GetColorList().front(), clBlue);
    EXPECT_EQ(gradient.GetColorList().back(), clBlack);
    EXPECT_EQ(gradient.GetPalette(), nullptr);
    ChangeCounter counter;
    counter.watch(gradient);
    gradient.TwoColors = false;
    EXPECT_TRUE(gradient.GetColorList().empty());  // fewer than two key colours
    TQCLColorList keys = {clRed, clLime, clBlue};
    gradient.SetColors(&keys);
    EXPECT_EQ(gradient.GetColorList().size(), 9u);  // 16 / 3 = 5 steps, twice, sharing the middle
    EXPECT_EQ(gradient.GetColorList()[4], clLime);
    EXPECT_EQ(gradient.GetColorList()[8], clBlue);
    EXPECT_EQ(counter.count, 2);

    gradient.PaletteRealize = true;
    HPALETTE first = gradient.GetPalette();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetPaletteEntries(first, 0, 0, nullptr), 9u);
    gradient.ColorCount = 30;
    EXPECT_EQ(GetObjectType(first), 0u) << "the old palette is deleted by the rebuild";
    EXPECT_NE(gradient.GetPalette(), nullptr);
    gradient.PaletteRealize = false;
    EXPECT_EQ(gradient.GetPalette(), nullptr);

    gradient.Color = clWhite;  // rebuilds and notifies once
    EXPECT_EQ(counter.count, 6);
    EXPECT_EQ(gradient.GetSetStr(), "vertical, Col: 30, mult. col mode");
    gradient.TwoColors = true;
    gradient.Style = gstTopRightDiagonal;
    EXPECT_EQ(gradient.GetSetStr(), "top right diag, Col: 30, 2 col mode");

    TQCLGradient copy;
    ChangeCounter copyCounter;
    copyCounter.watch(copy);
    copy.Assign(&gradient);
    EXPECT_EQ(copyCounter.count, 1);
    EXPECT_EQ(copy.GetKeyColors(), keys);
    EXPECT_EQ(copy.GetColorList(), gradient.GetColorList());
}

TEST_F(FillObjects, AlphaAndEffectObjectsAreSwitchedOff) {
    TQCLBitmapEffectObject fx;
    ChangeCounter counter;
    counter.watch(fx);
    TQCLAlphaObject& alpha = *fx.AlphaBlend();
    EXPECT_FLOAT_EQ(alpha.Strength(), 0.6f);
    alpha.Strength = 0.5f;
    EXPECT_EQ(alpha.Strength(), 0.0f);
    EXPECT_EQ(counter.count, 1);  // 0.6 became 0.0
    alpha.Strength = 0.9f;
    alpha.ImageIndex = 4;
    alpha.ListIndex = 2;
    alpha.SetBoolean(0, true);
    fx.GrayScale = true;
    fx.FlipVertical = true;
    fx.Invert = true;
    fx.Brightness = 40;
    fx.Buffered = true;
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(alpha.ImageIndex(), 0);
    EXPECT_FALSE(fx.GrayScale());
    EXPECT_FALSE(fx.Buffered());
    EXPECT_EQ(fx.Brightness(), 0);
    EXPECT_FALSE(fx.Enabled());
    EXPECT_FALSE(alpha.Enabled());
    EXPECT_TRUE(alpha.IMLEmpty());
    EXPECT_FALSE(alpha.HasControl());
    EXPECT_EQ(fx.GetSetStr(), "{Disabled}");
    EXPECT_EQ(alpha.GetSetStr(), "{Disabled}");

    // Draw leaves a picture alone while nothing is set.
    auto bmp = makeBitmap(3, 3, clRed);
    fx.Draw(bmp.get());
    EXPECT_EQ(countOf(bmp.get(), Red), 9);
}

TEST_F(FillObjects, AssignedEffectsStillRunTheChain) {
    // Assign copies the values as they are; the chain itself works.
    TQCLBitmapEffectObject source;
    source.AlphaBlend()->FillObject()->SetStyle(sfBrush);
    source.AlphaBlend()->FillObject()->Brush()->SetColor(clBlack);
    EXPECT_EQ(source.GetSetStr(), "{alpha}");
    EXPECT_EQ(source.AlphaBlend()->GetSetStr(), "{Enabled (brush), strength: 0.600}");
    TQCLAlphaObject alpha;
    alpha.Assign(source.AlphaBlend());
    auto bmp = makeBitmap(2, 2, clWhite);
    alpha.AlphaBlend(bmp.get());  // black + (white - black) * 0.6
    EXPECT_EQ(countOf(bmp.get(), RGB(153, 153, 153)), 4);
}

// The background-piece variants. The program's setters keep every effect
// off, so the flags are set past them; the blend runs from the fill style.
TEST_F(FillObjects, CutRectShowsTheEffectsInsideTheClipOnly) {
    auto source = makeBitmap(8, 4, clRed);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) setPixel(source.get(), x, y, Blue);
    TQCLBitmapEffectObject fx;
    fx.SetBooleanForTesting(3, true);  // invert: blue becomes yellow
    const COLORREF Yellow = RGB(255, 255, 0);

    TBitmap target;
    fx.DrawCutRect(source.get(), TRect(2, 0, 8, 4), TRect(4, 1, 10, 3), &target);
    ASSERT_EQ(target.Width, 6);
    ASSERT_EQ(target.Height, 4);
    EXPECT_EQ(pixel(&target, 0, 0), Red) << "the untouched source rectangle";
    EXPECT_EQ(pixel(&target, 1, 1), Red) << "left of the clip";
    EXPECT_EQ(pixel(&target, 2, 0), Blue) << "above the clip";
    EXPECT_EQ(pixel(&target, 2, 1), Yellow);
    EXPECT_EQ(pixel(&target, 5, 2), Yellow);
    EXPECT_EQ(pixel(&target, 5, 3), Blue);
    EXPECT_EQ(countOf(&target, Yellow), 8) << "the clip is cut to the rectangle";

    TBitmap outside;
    fx.DrawCutRect(source.get(), TRect(2, 0, 8, 4), TRect(20, 0, 30, 4), &outside);
    EXPECT_EQ(countOf(&outside, Yellow), 0);
    EXPECT_EQ(countOf(&outside, Red) + countOf(&outside, Blue), 24);
}

TEST_F(FillObjects, CutRect2BlendsThePieceOnlyAndBuffersTheResult) {
    TQCLBitmapEffectObject fx;
    fx.SetBooleanForTesting(3, true);  // invert, before the blend
    fx.SetBooleanForTesting(5, true);  // monochrome: not applied to a piece
    fx.AlphaBlend()->FillObject()->SetStyle(sfBrush);
    fx.AlphaBlend()->FillObject()->Brush()->SetColor(clBlack);
    const TRect area(0, 0, 8, 8), piece(2, 2, 6, 6);

    // Red inverted is aqua; over black at strength 0.6: (0, 153, 153).
    auto red = makeBitmap(8, 8, clRed);
    auto target = makeBitmap(8, 8, clLime);
    fx.DrawCutRect2(red.get(), piece, area, target.get());
    EXPECT_EQ(countOf(target.get(), RGB(0, 153, 153)), 16);
    EXPECT_EQ(boxOf(target.get(), RGB(0, 153, 153)), piece);
    EXPECT_EQ(countOf(target.get(), Lime), 48) << "the rest of the target is not blended";
    EXPECT_FALSE(fx.BufferValid());

    fx.SetBooleanForTesting(4, true);  // buffered
    auto blue = makeBitmap(8, 8, clBlue);
    auto first = makeBitmap(8, 8, clLime);
    fx.DrawCutRect2(blue.get(), piece, area, first.get());
    EXPECT_TRUE(fx.BufferValid());
    EXPECT_EQ(countOf(first.get(), RGB(153, 153, 0)), 16);
    auto second = makeBitmap(8, 8, clWhite);
    fx.DrawCutRect2(red.get(), piece, area, second.get());
    EXPECT_EQ(pixels(second.get()), pixels(first.get())) << "a valid buffer is drawn instead";
    fx.DestroyBuffer();
    fx.DrawCutRect2(red.get(), piece, area, second.get());
    EXPECT_EQ(countOf(second.get(), RGB(0, 153, 153)), 16);
}

TEST_F(FillObjects, StreamingKeyColoursAndStrength) {
    TQCLGradient gradient;
    TQCLColorList keys = {clRed, 0x123456, clBlue};
    gradient.SetColors(&keys);
    TMemoryStream stream;
    WriteDefinedProperties(&stream, &gradient);
    stream.SetPosition(0);
    TQCLGradient back;
    back.TwoColors = false;
    ChangeCounter counter;
    counter.watch(back);
    ReadDefinedProperties(&stream, &back);
    EXPECT_EQ(back.GetKeyColors(), keys);
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(back.GetColorList().size(), 9u);

    TQCLGradient none;
    TMemoryStream empty;
    WriteDefinedProperties(&empty, &none);
    EXPECT_EQ(empty.GetSize(), 1) << "no key colours: only the end marker";

    TQCLAlphaObject alpha;  // stores its default 0.6
    TMemoryStream alphaStream;
    WriteDefinedProperties(&alphaStream, &alpha);
    alphaStream.SetPosition(0);
    TQCLAlphaObject read;
    ReadDefinedProperties(&alphaStream, &read);
    EXPECT_EQ(read.Strength(), 0.0f);
}

TEST_F(FillObjects, DamagedColourListsRaiseReadErrorsAndNeverCrash) {
    TQCLGradient gradient;
    TQCLColorList keys = {clRed, clLime, clBlue, clWhite};
    gradient.SetColors(&keys);
    TMemoryStream stream;
    WriteDefinedProperties(&stream, &gradient);
    std::vector<char> valid(static_cast<size_t>(stream.GetSize()));
    stream.SetPosition(0);
    stream.ReadBuffer(valid.data(), static_cast<int>(valid.size()));
    std::mt19937 random(20261210);
    for (int round = 0; round < 2000; ++round) {
        std::vector<char> bytes = valid;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) bytes[random() % bytes.size()] = static_cast<char>(random() & 0xFF);
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        TMemoryStream damaged;
        if (!bytes.empty()) damaged.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        damaged.SetPosition(0);
        TQCLGradient target;
        target.TwoColors = false;
        try {
            ReadDefinedProperties(&damaged, &target);
        } catch (const Exception&) {
        }
        EXPECT_LE(target.GetKeyColors().size(), bytes.size()) << round;
        EXPECT_FALSE(target.IsUpdating()) << round;
    }
}

}  // namespace
