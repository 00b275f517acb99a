// Graphics on small off-screen 24-bit bitmaps: shapes, pen modes, text,
// canvas attach/detach on foreign DCs, raw-GDI tolerance, font handle
// ownership, masks and transparent colours, pixel formats, BMP and JPEG.
// Every test ends with the process's GDI object count where it started.
#include <gtest/gtest.h>

#include <memory>

#include "tests/framework/FrameworkFixture.h"

namespace {

using fwtest::closeTo;
using fwtest::pixelOf;

class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override {
        before_ = GdiObjectCount();
        frameworkBefore_ = FrameworkGdiObjects();
    }
    void TearDown() override {
        EXPECT_EQ(FrameworkGdiObjects(), frameworkBefore_) << "GDI objects leaked";
        // The system count is a stub under Wine (always 0).
        if (before_ > 0) {
            EXPECT_EQ(GdiObjectCount(), before_) << "GDI objects leaked";
        }
    }
    static std::unique_ptr<TBitmap> whiteBitmap(int w, int h) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->PixelFormat = pf24bit;
        bitmap->SetSize(w, h);
        return bitmap;
    }

private:
    int before_ = 0, frameworkBefore_ = 0;
};

TEST_F(GraphicsTest, ShapesPenModesAndClearBrushes) {
    auto bmp = whiteBitmap(32, 32);
    EXPECT_EQ(pixelOf(bmp.get(), 31, 31), clWhite) << "a new bitmap is white";
    TCanvas* canvas = bmp->Canvas;
    canvas->Brush->Color = clRed;
    canvas->FillRect(Rect(0, 0, 16, 16));
    canvas->Pen->Color = clBlue;
    canvas->Brush->Style = bsClear;
    canvas->Rectangle(16, 16, 32, 32);
    canvas->Pen->Mode = pmXor;
    canvas->Pen->Color = clWhite;
    canvas->MoveTo(0, 4);
    canvas->LineTo(32, 4);
    EXPECT_EQ(pixelOf(bmp.get(), 8, 8), clRed);
    EXPECT_EQ(pixelOf(bmp.get(), 16, 20), clBlue) << "the frame is drawn";
    EXPECT_EQ(pixelOf(bmp.get(), 24, 24), clWhite) << "bsClear leaves the inside";
    EXPECT_EQ(pixelOf(bmp.get(), 8, 4), static_cast<TColor>(RGB(0, 255, 255))) << "red xor white";
    EXPECT_EQ(pixelOf(bmp.get(), 20, 4), clBlack) << "white xor white";
    canvas->Pen->Mode = pmCopy;
    canvas->Pixels[3][30] = clLime;
    EXPECT_EQ(static_cast<TColor>(canvas->Pixels[3][30]), clLime);
    EXPECT_TRUE(bmp->Modified());
}

TEST_F(GraphicsTest, TextDrawsWithFontColourAndClearBackground) {
    auto bmp = whiteBitmap(64, 64);
    TCanvas* canvas = bmp->Canvas;
    canvas->Font->Name = "Liberation Sans";
    canvas->Font->Height = -16;
    canvas->Font->Color = clBlack;
    int width = canvas->TextWidth("Wm"), height = canvas->TextHeight("Wm");
    TEXTMETRICA metrics = {};
    GetTextMetricsA(canvas->Handle, &metrics);
    EXPECT_TRUE(metrics.tmPitchAndFamily & TMPF_TRUETYPE) << "a TrueType font is available";
    EXPECT_GT(width, 8);
    EXPECT_GT(height, 10);
    canvas->Brush->Color = clYellow;
    canvas->TextOut(0, 0, "Wm");
    bool dark = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) dark |= pixelOf(bmp.get(), x, y) == clBlack;
    EXPECT_TRUE(dark) << "glyph pixels in the font colour";
    EXPECT_EQ(pixelOf(bmp.get(), width - 1, height - 1), clYellow) << "opaque text fills with the brush";
    canvas->Brush->Style = bsClear;
    canvas->TextOut(0, 32, "Wm");
    EXPECT_EQ(pixelOf(bmp.get(), width - 1, 32 + height - 1), clWhite) << "bsClear text is transparent";
}

TEST_F(GraphicsTest, ForeignDcGetsItsOwnObjectsBackOnDetach) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP surface = CreateCompatibleBitmap(GetDC(nullptr), 8, 8);
    HGDIOBJ oldBitmap = SelectObject(dc, surface);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT), pen = GetCurrentObject(dc, OBJ_PEN),
            brush = GetCurrentObject(dc, OBJ_BRUSH);
    {
        TCanvas canvas;
        canvas.Handle = dc;
        canvas.Brush->Color = clNavy;
        canvas.Pen->Width = 2;
        canvas.Rectangle(0, 0, 8, 8);
        canvas.TextOut(0, 0, "x");
        EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), font);
        canvas.Handle = nullptr;
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        canvas.Handle = dc;  // attach again, destroyed while attached
        canvas.FillRect(Rect(0, 0, 2, 2));
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush) << "destruction detaches too";
    SelectObject(dc, oldBitmap);
    DeleteObject(surface);
    DeleteDC(dc);
}

TEST_F(GraphicsTest, RawFontStaysSelectedUntilTheCanvasFontChanges) {
    auto bmp = whiteBitmap(8, 8);
    TCanvas* canvas = bmp->Canvas;
    canvas->TextOut(0, 0, "a");
    HDC dc = canvas->Handle;
    HFONT raw = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Liberation Serif");
    HGDIOBJ previous = SelectObject(dc, raw);
    canvas->TextOut(0, 0, "b");
    canvas->Brush->Color = clGreen;
    canvas->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), raw) << "the canvas did not take its font back";
    canvas->Font->Size = 12;
    canvas->TextOut(0, 0, "c");
    EXPECT_NE(GetCurrentObject(dc, OBJ_FONT), raw);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), canvas->Font->Handle());
    (void)previous;
    DeleteObject(raw);
}

TEST_F(GraphicsTest, FontHandlesAreOwnedAndFreedOnlyWhenDeselected) {
    auto bmp = whiteBitmap(8, 8);
    TCanvas* canvas = bmp->Canvas;
    canvas->TextOut(0, 0, "a");
    HFONT first = canvas->Font->Handle;
    canvas->Font->Height = -20;  // a new handle; the old one is still selected
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_FONT));
    canvas->TextOut(0, 0, "b");
    EXPECT_EQ(GetObjectType(first), 0u) << "deleted once the canvas deselected it";
    HFONT adopted = CreateFontA(-9, 0, 0, 0, FW_NORMAL, TRUE, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Liberation Mono");
    {
        TFont font;
        font.Handle = adopted;
        EXPECT_TRUE(font.Style().Contains(fsItalic)) << "the description is read back";
        EXPECT_EQ(font.Height(), -9);
        TFont copy;
        copy.Assign(&font);
        EXPECT_NE(copy.Handle(), adopted) << "a copy makes its own handle";
    }
    EXPECT_EQ(GetObjectType(adopted), 0u) << "an adopted handle is freed with its font";
    TFont sized;
    sized.Size = 8;
    EXPECT_EQ(sized.Height(), -MulDiv(8, sized.PixelsPerInch, 72));
}

TEST_F(GraphicsTest, MaskAndAutomaticTransparentColour) {
    struct Case {
        TColor key;
        std::vector<int> expectedBits;  // row 0, x = 0..3
    };
    const Case cases[] = {{clRed, {1, 0, 0, 1}}, {clBlue, {0, 1, 0, 0}}, {clLime, {0, 0, 0, 0}}};
    for (const Case& c : cases) {
        auto bmp = whiteBitmap(4, 2);
        bmp->Canvas->Pixels[0][0] = clRed;
        bmp->Canvas->Pixels[1][0] = clBlue;
        bmp->Canvas->Pixels[2][0] = clYellow;
        bmp->Canvas->Pixels[3][0] = clRed;
        bmp->Canvas->Pixels[0][1] = clFuchsia;  // bottom-left
        EXPECT_EQ(bmp->TransparentColor(), clFuchsia | clPaletteFlag);
        EXPECT_EQ(bmp->TransparentColor() & 0xFFFFFF, clFuchsia);
        bmp->Mask(c.key);
        EXPECT_EQ(bmp->PixelFormat(), pf1bit);
        const unsigned char* row = static_cast<const unsigned char*>(bmp->GetScanLine(0));
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ((row[0] >> (7 - x)) & 1, c.expectedBits[static_cast<size_t>(x)]) << "key " << c.key << " x " << x;
    }
    auto fixed = whiteBitmap(2, 2);
    fixed->TransparentColor = clTeal;
    EXPECT_EQ(fixed->TransparentMode(), tmFixed);
    EXPECT_EQ(fixed->TransparentColor(), clTeal);
}

TEST_F(GraphicsTest, BrushCopyPutsTheBrushWhereTheColourWasAndStretches) {
    auto source = whiteBitmap(4, 2);
    source->Canvas->Pixels[1][0] = clRed;
    source->Canvas->Pixels[2][1] = clBlue;
    auto target = whiteBitmap(8, 4);
    target->Canvas->Brush->Color = clLime;
    target->Canvas->FillRect(TRect(0, 0, 8, 4));
    target->Canvas->Brush->Color = clYellow;
    // Only the right half of the source (x 2..3), doubled in both directions.
    target->Canvas->BrushCopy(TRect(0, 0, 4, 4), source.get(), TRect(2, 0, 4, 2), clWhite);
    struct Case { int x, y; TColor colour; } cases[] = {
        {0, 0, clYellow}, {3, 1, clYellow},  // white became the brush
        {0, 2, clBlue}, {1, 3, clBlue},      // the blue pixel, stretched to 2 x 2
        {2, 2, clYellow}, {4, 0, clLime},    // outside Dest untouched
        {7, 3, clLime},
    };
    for (const auto& c : cases)
        EXPECT_EQ(target->Canvas->Pixels[c.x][c.y], c.colour) << c.x << "," << c.y;
    EXPECT_EQ(source->Canvas->Pixels[1][0], clRed);  // the source stays as it was
}

TEST_F(GraphicsTest, PixelFormatConversionsKeepColoursTheFormatCanHold) {
    struct Case {
        TPixelFormat format;
        TColor in, out;
    };
    const Case cases[] = {{pf32bit, RGB(10, 20, 30), RGB(10, 20, 30)}, {pf8bit, RGB(255, 0, 0), RGB(255, 0, 0)},
                          {pf8bit, RGB(100, 100, 100), RGB(102, 102, 102)}, {pf4bit, RGB(0, 128, 128), RGB(0, 128, 128)},
                          {pf1bit, RGB(200, 200, 200), RGB(255, 255, 255)}, {pf1bit, RGB(40, 0, 0), RGB(0, 0, 0)},
                          {pf15bit, RGB(255, 255, 255), RGB(255, 255, 255)}};
    for (const Case& c : cases) {
        auto bmp = whiteBitmap(3, 3);
        bmp->Canvas->Pixels[1][1] = c.in;
        bmp->PixelFormat = c.format;
        EXPECT_EQ(bmp->PixelFormat(), c.format);
        EXPECT_EQ(static_cast<TColor>(bmp->Canvas->Pixels[1][1]) & 0xFFFFFF, c.out) << "format " << c.format;
        bmp->PixelFormat = pf24bit;
        EXPECT_EQ(pixelOf(bmp.get(), 1, 1), c.out);
        EXPECT_EQ(pixelOf(bmp.get(), 0, 0), clWhite);
    }
    auto sized = whiteBitmap(2, 2);
    sized->Canvas->Pixels[1][1] = clRed;
    sized->SetSize(4, 3);
    EXPECT_EQ(pixelOf(sized.get(), 1, 1), clRed) << "overlap kept";
    EXPECT_EQ(pixelOf(sized.get(), 3, 2), clWhite) << "new area white";
    EXPECT_EQ(sized->BytesPerRow() % 4, 0);
}

TEST_F(GraphicsTest, BitmapStreamRoundTripAndCopies) {
    auto bmp = whiteBitmap(5, 3);
    bmp->Canvas->Pixels[4][0] = clRed;
    bmp->Canvas->Pixels[0][2] = clBlue;
    TMemoryStream stream;
    bmp->SaveToStream(&stream);
    stream.Position = 0;
    TBitmap loaded;
    loaded.LoadFromStream(&stream);
    ASSERT_EQ(loaded.Width(), 5);
    ASSERT_EQ(loaded.Height(), 3);
    EXPECT_EQ(pixelOf(&loaded, 4, 0), clRed) << "rows counted from the top after the bottom-up file";
    EXPECT_EQ(pixelOf(&loaded, 0, 2), clBlue);
    TBitmap copy;
    copy.Assign(&loaded);
    loaded.Canvas->Pixels[4][0] = clLime;
    EXPECT_EQ(pixelOf(&copy, 4, 0), clRed) << "Assign copies deeply";
    HBITMAP handle = copy.Handle;
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(GetObjectType(handle), 0u);
    TMemoryStream garbage;
    garbage.WriteBuffer("BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", 40);
    garbage.Position = 0;
    EXPECT_THROW(loaded.LoadFromStream(&garbage), EInvalidGraphic);
}

TEST_F(GraphicsTest, BitmapResourceLoadsAsABottomUpSectionWithRowsFromTheTop) {
    TBitmap bmp;
    bmp.LoadFromResourceID(GetModuleHandleA(nullptr), 300);
    ASSERT_EQ(bmp.Width(), 3);
    ASSERT_EQ(bmp.Height(), 2);
    EXPECT_EQ(pixelOf(&bmp, 0, 0), clRed) << "ScanLine(0) is the top row";
    EXPECT_EQ(pixelOf(&bmp, 2, 1), clBlue);
    EXPECT_EQ(static_cast<TColor>(bmp.Canvas->Pixels[2][1]), clBlue);
    EXPECT_EQ(bmp.TransparentColor() & 0xFFFFFF, clWhite) << "bottom-left";
    EXPECT_THROW(bmp.LoadFromResourceID(GetModuleHandleA(nullptr), 399), EResNotFound);
}

TEST_F(GraphicsTest, JpegFixtureDecodesToKnownColours) {
    TResourceStream stream(GetModuleHandleA(nullptr), 200, RT_RCDATA);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(&stream);
    ASSERT_EQ(jpeg.Width(), 32);
    ASSERT_EQ(jpeg.Height(), 32);
    auto bmp = whiteBitmap(32, 32);
    bmp->Canvas->Draw(0, 0, &jpeg);
    EXPECT_TRUE(closeTo(pixelOf(bmp.get(), 4, 4), clRed, 24));
    EXPECT_TRUE(closeTo(pixelOf(bmp.get(), 27, 4), clBlue, 24));
    EXPECT_TRUE(closeTo(pixelOf(bmp.get(), 16, 27), clLime, 24));
    TResourceStream greyStream(GetModuleHandleA(nullptr), 201, RT_RCDATA);
    TJPEGImage grey;
    grey.LoadFromStream(&greyStream);
    EXPECT_TRUE(closeTo(pixelOf(grey.Bitmap(), 3, 3), RGB(128, 128, 128), 6)) << "grey expanded to RGB";
    TPicture picture;
    picture.Graphic = &jpeg;
    EXPECT_EQ(picture.Width(), 32);
    TBitmap* replaced = picture.Bitmap;
    EXPECT_TRUE(replaced->Empty()) << "the Bitmap accessor replaces another graphic";
}

TEST_F(GraphicsTest, DamagedJpegRaisesAndTheProcessGoesOn) {
    for (int id : {202}) {
        TResourceStream stream(GetModuleHandleA(nullptr), id, RT_RCDATA);
        TJPEGImage jpeg;
        EXPECT_THROW(jpeg.LoadFromStream(&stream), EInvalidGraphic);
        EXPECT_TRUE(jpeg.Empty());
    }
    TStringStream notJpeg("definitely not a JPEG file");
    TJPEGImage jpeg;
    EXPECT_THROW(jpeg.LoadFromStream(&notJpeg), EInvalidGraphic);
}

TEST_F(GraphicsTest, MaskedImageListDrawKeepsTheDestinationUnderTheMask) {
    int held = FrameworkGdiObjects();
    TImageList images(nullptr, 4, 4);
    TChangeLink link;
    int changes = 0;
    link.OnChange = [&](TObject*) { ++changes; };
    images.RegisterChanges(&link);
    auto glyph = whiteBitmap(4, 4);
    glyph->Canvas->Brush->Color = clFuchsia;  // the mask colour, bottom-left too
    glyph->Canvas->FillRect(Rect(0, 0, 4, 4));
    glyph->Canvas->Brush->Color = clBlue;
    glyph->Canvas->FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(images.AddMasked(glyph.get(), clFuchsia), 0);
    EXPECT_GT(FrameworkGdiObjects(), held) << "the list's handle is counted";
    EXPECT_EQ(images.Count(), 1);
    EXPECT_EQ(changes, 1);
    auto target = whiteBitmap(8, 8);
    target->Canvas->Brush->Color = clGreen;
    target->Canvas->FillRect(Rect(0, 0, 8, 8));
    images.Draw(target->Canvas, 2, 2, 0);
    EXPECT_EQ(pixelOf(target.get(), 2, 2), clGreen) << "the destination stays under the mask";
    EXPECT_EQ(pixelOf(target.get(), 3, 3), clBlue);
    EXPECT_EQ(pixelOf(target.get(), 6, 6), clGreen);
    images.Delete(0);
    EXPECT_EQ(images.Count(), 0);
    auto* shortLived = new TImageList(nullptr);
    TChangeLink other;
    shortLived->RegisterChanges(&other);
    EXPECT_EQ(other.Sender, shortLived);
    delete shortLived;
    EXPECT_EQ(other.Sender, nullptr) << "destroying the list clears its links";
}

TEST(Colours, NamesRoundTripAndHexStaysOutOfStrToInt) {
    for (auto& entry : ColorNames()) {
        EXPECT_EQ(ColorToString(entry.first), entry.second);
        EXPECT_EQ(StringToColor(entry.second), entry.first);
        EXPECT_EQ(StringToColor(UpperCase(entry.second)), entry.first);
    }
    EXPECT_EQ(ColorNames().size(), 43u);
    EXPECT_EQ(ColorToString(0x00123456), "$00123456");
    EXPECT_EQ(StringToColor("$00123456"), 0x00123456);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_THROW(StringToColor("clNothing"), EConvertError);
    EXPECT_THROW(StringToColor("$xyz"), EConvertError);
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clRed | clPaletteFlag), static_cast<COLORREF>(clRed));
}

}  // namespace

namespace {

// Library drawing code builds masks with raw GDI: a colour-to-monochrome blit
// gives 1 (white) where the source equals the source DC's background colour.
TEST(RawGdi, ColourToMonochromeBlitUsesTheBackgroundColour) {
    TBitmap source;
    source.SetSize(4, 1);
    source.Canvas->Pixels[1][0] = clRed;
    source.Canvas->Pixels[2][0] = clBlue;
    HDC sourceDc = source.Canvas->Handle;
    HDC maskDc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
    HGDIOBJ old = SelectObject(maskDc, mono);
    SetBkColor(sourceDc, RGB(255, 0, 0));
    BitBlt(maskDc, 0, 0, 4, 1, sourceDc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(maskDc, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(maskDc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(maskDc, 2, 0), RGB(0, 0, 0));
    SelectObject(maskDc, old);
    DeleteObject(mono);
    DeleteDC(maskDc);
}

}  // namespace
