// Bitmaps in streams: the BMP file image of each colour depth, plain and
// compressed fields, hostile lengths, and the application's brush pattern.
#include "components/runtime/qclclass.h"
#include "components/runtime/qclstreamutils.h"
#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t u32(const uint8_t* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
uint16_t u16(const uint8_t* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }

// A 3 x 2 bitmap: top row red, green, blue; bottom row white, black, white.
void paintSample(TBitmap& b) {
    b.SetSize(3, 2);
    const TColor top[] = {clRed, clLime, clBlue}, bottom[] = {clWhite, clBlack, clWhite};
    for (int x = 0; x < 3; ++x) {
        b.Canvas->SetPixel(x, 0, top[x]);
        b.Canvas->SetPixel(x, 1, bottom[x]);
    }
}

TEST(BitmapStream, DIBImageHeadersForEachDepth) {
    TBitmap bitmap;
    paintSample(bitmap);
    struct Case { int selector; int bits; uint32_t infoSize; uint32_t rowBytes; } cases[] = {
        {0, 24, 40, 12}, {2, 1, 48, 4}, {16, 4, 104, 4}, {256, 8, 1064, 4},
    };
    for (const auto& c : cases) {
        TMemoryStream s;
        QCLBmpSaveDIBStream(&s, &bitmap, c.selector);
        EXPECT_EQ(s.Position, 0);
        const auto* p = static_cast<const uint8_t*>(s.Memory());
        const uint32_t imageSize = 2 * c.rowBytes;
        ASSERT_EQ(s.Size, static_cast<int64_t>(14 + c.infoSize + imageSize)) << c.selector;
        EXPECT_EQ(p[0], 'B');
        EXPECT_EQ(p[1], 'M');
        EXPECT_EQ(u32(p + 2), 14 + c.infoSize + imageSize);
        EXPECT_EQ(u32(p + 6), 0u);
        EXPECT_EQ(u32(p + 10), 14 + c.infoSize);
        EXPECT_EQ(u32(p + 14), 40u);
        EXPECT_EQ(u32(p + 18), 3u);
        EXPECT_EQ(u32(p + 22), 2u);  // positive: rows bottom-up
        EXPECT_EQ(u16(p + 26), 1);
        EXPECT_EQ(u16(p + 28), c.bits);
        EXPECT_EQ(u32(p + 30), 0u);
        EXPECT_EQ(u32(p + 34), imageSize);
        for (int field = 38; field < 54; field += 4)
            EXPECT_EQ(u32(p + field), 0u) << c.selector << " at " << field;
    }
    // 24 bits: the first row in the file is the bottom row (white, black, white), BGR.
    TMemoryStream s;
    QCLBmpSaveDIBStream(&s, &bitmap, 0);
    const auto* pixels = static_cast<const uint8_t*>(s.Memory()) + 54;
    const uint8_t bottom[] = {255, 255, 255, 0, 0, 0, 255, 255, 255};
    EXPECT_EQ(std::memcmp(pixels, bottom, 9), 0);
    const uint8_t top[] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
    EXPECT_EQ(std::memcmp(pixels + 12, top, 9), 0);
}

TEST(BitmapStream, MonochromeIsAlwaysOneBit) {
    TBitmap bitmap;
    paintSample(bitmap);
    bitmap.Monochrome = true;
    TMemoryStream s;
    QCLBmpSaveDIBStream(&s, &bitmap, 256);
    EXPECT_EQ(u16(static_cast<const uint8_t*>(s.Memory()) + 28), 1);
}

TEST(BitmapStream, EmptyBitmapIsRefused) {
    TBitmap empty;
    TMemoryStream s;
    try {
        QCLBmpSaveDIBStream(&s, &empty, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Bitmap image is not valid");
    }
}

TEST(BitmapStream, FieldsRoundTripPlainAndCompressed) {
    TBitmap bitmap;
    paintSample(bitmap);
    for (int selector : {-1, 0}) {
        for (bool compressed : {false, true}) {
            TMemoryStream s;
            stWriteBitmap(&s, &bitmap, compressed, selector);
            stWriteByte(&s, 0x77);
            s.Position = 0;
            if (!compressed) {
                const int32_t length = stReadInteger(&s);
                EXPECT_EQ(length, s.Size - 5);
                s.Position = 0;
            }
            TBitmap back;
            stReadBitmap(&s, &back, compressed);
            EXPECT_EQ(stReadByte(&s), 0x77);
            ASSERT_EQ(back.Width, 3);
            ASSERT_EQ(back.Height, 2);
            EXPECT_EQ(back.Canvas->GetPixel(1, 0), clLime) << selector << compressed;
            EXPECT_EQ(back.Canvas->GetPixel(1, 1), clBlack) << selector << compressed;
        }
    }
}

TEST(BitmapStream, HostileLengthRaisesTheReadError) {
    for (int32_t length : {-1, 0x7FFFFFFF, 100}) {
        TMemoryStream s;
        stWriteInteger(&s, length);
        s.WriteBuffer("BM", 2);
        s.Position = 0;
        TBitmap back;
        EXPECT_THROW(stReadBitmap(&s, &back, false), EReadError) << length;
    }
}

TEST(BrushBitmap, PatternIsMadeOnFirstUseAndPaintedOnlyOnChange) {
    TQCLApplication app(nullptr);
    TBitmap* none = app.GetBrushBitmap(clNone);  // the initial colour still gets a bitmap
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->Width, 8);
    EXPECT_EQ(none->Canvas->GetPixel(0, 1), clWhite);

    TBitmap* red = app.GetBrushBitmap(clRed);
    EXPECT_EQ(red, none);
    EXPECT_EQ(red->Canvas->GetPixel(0, 1), clRed);
    EXPECT_EQ(red->Canvas->GetPixel(0, 0), clWhite);
    EXPECT_EQ(red->Canvas->GetPixel(7, 6), clRed);

    red->Canvas->SetPixel(0, 1, clLime);
    app.GetBrushBitmap(clRed);  // same colour: not painted again
    EXPECT_EQ(red->Canvas->GetPixel(0, 1), clLime);

    TBitmap* plain = app.GetBitmap();
    EXPECT_NE(plain, red);
    EXPECT_EQ(plain->Canvas->GetPixel(1, 0), clBlack);
    EXPECT_EQ(plain->Canvas->GetPixel(1, 1), clWhite);
    EXPECT_EQ(app.GetBitmap(), plain);
}

}  // namespace
