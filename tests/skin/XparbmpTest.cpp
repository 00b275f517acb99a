// Transparent bitmap drawing on small off-screen bitmaps: pixels of the key
// colour keep the destination, the others are copied, nothing outside the
// drawn area changes, the source comes back unchanged and no GDI object is
// left behind.
#include <gtest/gtest.h>

#include <functional>

#include "skin/Xparbmp.h"
#include "tests/skin/SkinFixture.h"

namespace {

constexpr TColor key = clLime;

// A destination whose every pixel differs from its neighbours.
std::unique_ptr<TBitmap> patternedDestination() {
    auto bitmap = skintest::filledBitmap(16, 12, clBlack);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) bitmap->Canvas->Pixels[x][y] = RGB(10 * x, 20 * y, 100);
    return bitmap;
}

// A 6 x 5 source: a key-coloured frame around a body of distinct colours, one key pixel inside.
std::unique_ptr<TBitmap> keyedSource() {
    auto bitmap = skintest::filledBitmap(6, 5, key);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 5; ++x) bitmap->Canvas->Pixels[x][y] = RGB(200, 30 * x, 40 * y);
    bitmap->Canvas->Pixels[2][2] = key;
    return bitmap;
}

void expectDrawnOver(TBitmap* before, TBitmap* after, TBitmap* source, int atX, int atY, const char* what) {
    int wrong = 0;
    for (int y = 0; y < after->GetHeight(); ++y) {
        for (int x = 0; x < after->GetWidth(); ++x) {
            TColor expected = fwtest::pixelOf(before, x, y);
            int sx = x - atX, sy = y - atY;
            if (sx >= 0 && sy >= 0 && sx < source->GetWidth() && sy < source->GetHeight()) {
                TColor s = fwtest::pixelOf(source, sx, sy);
                if (s != key) expected = s;
            }
            if (fwtest::pixelOf(after, x, y) != expected && wrong++ < 3)
                ADD_FAILURE() << what << " at " << x << "," << y;
        }
    }
    EXPECT_EQ(wrong, 0) << what;
}

struct Drawer {
    const char* what;
    std::function<void(TBitmap* destination, TBitmap* source, int x, int y)> draw;
    // Whether the routine wants the source as a bare handle (else drawn from its canvas).
    bool bareSource;
};

TEST(TransparentDrawing, KeyPixelsKeepTheDestinationAndTheSourceStaysAsItWas) {
    const Drawer drawers[] = {
        {"DrawTransparentBitmap",
         [](TBitmap* d, TBitmap* s, int x, int y) {
             DrawTransparentBitmap(d->Canvas->Handle, s->GetHandle(), x, y, key);
             d->Modified = true;
         },
         true},
        {"DrawTransparentBitmap, palette-relative key",
         [](TBitmap* d, TBitmap* s, int x, int y) {
             DrawTransparentBitmap(d->Canvas->Handle, s->GetHandle(), x, y, key | clPaletteFlag);
             d->Modified = true;
         },
         true},
        {"DrawTransparent", [](TBitmap* d, TBitmap* s, int x, int y) { DrawTransparent(d, x, y, s, key); }, false},
    };
    for (const Drawer& drawer : drawers) {
        auto destination = patternedDestination();
        auto before = patternedDestination();
        auto source = keyedSource();
        auto original = keyedSource();
        // The bitmaps' own DCs are settled first, so the count sees only the routine's objects.
        destination->Canvas->Handle();
        if (drawer.bareSource) source->GetHandle();
        else source->Canvas->Handle();
        const int objects = FrameworkGdiObjects();
        drawer.draw(destination.get(), source.get(), 7, 4);
        EXPECT_EQ(FrameworkGdiObjects(), objects) << drawer.what << ": every temporary object freed";
        expectDrawnOver(before.get(), destination.get(), original.get(), 7, 4, drawer.what);
        EXPECT_TRUE(skintest::samePixels(source.get(), original.get())) << drawer.what << ": source unchanged";
    }
}

TEST(TransparentDrawing, APictureHangingOverTheEdgeIsCut) {
    auto destination = patternedDestination();
    auto before = patternedDestination();
    auto source = keyedSource();
    DrawTransparentBitmap(destination->Canvas->Handle, source->GetHandle(), 13, 9, key);
    destination->Modified = true;
    expectDrawnOver(before.get(), destination.get(), source.get(), 13, 9, "at the corner");
}

}  // namespace
