// The image controls on a real form, painted into a bitmap: TImagePanel
// never set, single, stretched and tiled inside its 1-pixel margin;
// TTranImage empty, keyed and with a system-colour key; and KTransButton
// driven by real mouse input over opaque and transparent pixels.
#include <gtest/gtest.h>

#include <windowsx.h>

#include "skin/ImagePanel.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"
#include "tests/skin/SkinFixture.h"

namespace {

using fwtest::pixelOf;
using fwtest::pumpIdle;

constexpr TColor formColor = RGB(37, 63, 115);

// A w x h picture whose pixel (x, y) is RGB(40 x + 1, 60 y + 1, 7).
std::unique_ptr<TBitmap> numberedPicture(int w, int h) {
    auto bitmap = skintest::filledBitmap(w, h, clBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bitmap->Canvas->Pixels[x][y] = RGB(40 * x + 1, 60 * y + 1, 7);
    return bitmap;
}
TColor numbered(int x, int y) { return RGB(40 * x + 1, 60 * y + 1, 7); }

class ImageControlsTest : public fwtest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        form->Color = formColor;
    }
    std::unique_ptr<TBitmap> painted() { return fwtest::paintOf(form); }
};

struct PanelCase {
    const char* what;
    TImageDrawStyle style;
    int x, y;
    // Expected pixel at a panel point (panel 11 x 8 at 20,10, so 9 x 6 inside the margin; picture 3 x 2).
    std::function<TColor(int px, int py)> expected;
};

TEST_F(ImageControlsTest, ImagePanelDrawsItsPictureInsideItsMargin) {
    auto inside = [](int px, int py) { return px >= 1 && py >= 1 && px < 10 && py < 7; };
    const PanelCase cases[] = {
        {"tile", ipTile, 0, 0,
         [&](int px, int py) { return inside(px, py) ? numbered((px - 1) % 3, (py - 1) % 2) : formColor; }},
        {"single at 0,0 covers the margin corner", ipSingle, 0, 0,
         [](int px, int py) { return px < 3 && py < 2 ? numbered(px, py) : formColor; }},
        {"single cut at the margin", ipSingle, 8, 6,
         [](int px, int py) { return px >= 8 && px < 10 && py == 6 ? numbered(px - 8, 0) : formColor; }},
        {"stretch", ipStretch, 0, 0,
         [&](int px, int py) {
             // three times as large
             return inside(px, py) ? numbered((px - 1) / 3, (py - 1) / 3) : formColor;
         }},
    };
    auto picture = numberedPicture(3, 2);
    for (const PanelCase& c : cases) {
        auto* panel = new TImagePanel(form);
        panel->SetBounds(20, 10, 11, 8);
        panel->Parent = form;
        panel->DrawingStyle = c.style;
        panel->XPosition = c.x;
        panel->YPosition = c.y;
        panel->Bitmap = picture.get();
        auto shot = painted();
        int wrong = 0;
        for (int py = 0; py < 8; ++py)
            for (int px = 0; px < 11; ++px)
                if (pixelOf(shot.get(), 20 + px, 10 + py) != c.expected(px, py) && wrong++ < 3)
                    ADD_FAILURE() << c.what << " at " << px << "," << py << ": " << std::hex
                                  << pixelOf(shot.get(), 20 + px, 10 + py);
        EXPECT_EQ(wrong, 0) << c.what;
        delete panel;
    }
}

TEST_F(ImageControlsTest, ImagePanelNeverGivenAPicturePaintsNothing) {
    auto* panel = new TImagePanel(form);
    panel->SetBounds(20, 10, 50, 20);
    panel->Parent = form;
    EXPECT_EQ(panel->Width(), 50);
    auto shot = painted();
    EXPECT_EQ(skintest::countPixels(shot.get(), Bounds(20, 10, 50, 20), formColor), 50 * 20);
    // A picture drawn straight onto its bitmap counts as given.
    panel->Bitmap->SetSize(4, 4);
    panel->Bitmap->Canvas->Brush->Color = clRed;
    panel->Bitmap->Canvas->FillRect(Rect(0, 0, 4, 4));
    shot = painted();
    EXPECT_EQ(pixelOf(shot.get(), 22, 12), clRed);
}

TEST_F(ImageControlsTest, TranImageKeysOutItsTransparentColour) {
    auto* image = new TTranImage(form);
    image->SetBounds(10, 10, 60, 60);
    image->Parent = form;
    // Empty: 30 x 30 and white.
    auto empty = std::make_unique<TBitmap>();
    image->BitMap = empty.get();
    EXPECT_EQ(image->Width(), 30);
    EXPECT_EQ(image->Height(), 30);
    auto shot = painted();
    EXPECT_EQ(skintest::countPixels(shot.get(), Bounds(10, 10, 30, 30), clWhite), 900);

    // Keyed: silver pixels (the default key) show the form.
    auto picture = skintest::filledBitmap(8, 6, clSilver);
    picture->Canvas->Brush->Color = clRed;
    picture->Canvas->FillRect(Rect(2, 1, 6, 5));
    image->BitMap = picture.get();
    EXPECT_EQ(image->Width(), 8);
    EXPECT_EQ(image->Height(), 6);
    shot = painted();
    EXPECT_EQ(pixelOf(shot.get(), 10, 10), formColor);
    EXPECT_EQ(pixelOf(shot.get(), 13, 12), clRed);
    EXPECT_TRUE(image->OnGlyphP(3, 2));
    EXPECT_FALSE(image->OnGlyphP(0, 0)) << "a key pixel";
    EXPECT_FALSE(image->OnGlyphP(9, 2)) << "outside";

    // A system colour as the key draws the picture opaque.
    image->TransparentColor = clBtnFace;
    shot = painted();
    EXPECT_EQ(pixelOf(shot.get(), 10, 10), clSilver);
    EXPECT_EQ(pixelOf(shot.get(), 13, 12), clRed);
}

// KTransButton with real mouse input --------------------------------------

class KTransButtonTest : public ImageControlsTest {
protected:
    void SetUp() override {
        ImageControlsTest::SetUp();
        button = new KTransButton(form);
        button->Parent = form;
        button->SetBounds(40, 30, 10, 10);
        // Faces 20 x 16 whose left 6 columns are the key colour (silver).
        auto face = [](TColor color) {
            auto bitmap = skintest::filledBitmap(20, 16, clSilver);
            bitmap->Canvas->Brush->Color = color;
            bitmap->Canvas->FillRect(Rect(6, 0, 20, 16));
            return bitmap;
        };
        auto normal = face(clRed), active = face(clGreen), down = face(clBlue);
        button->BitMap = normal.get();
        button->BitmapOnActive = active.get();
        button->BitmapOnDown = down.get();
        button->OnMouseRelease = [this](TObject* sender) {
            ++releases;
            EXPECT_EQ(sender, button);
        };
        ASSERT_TRUE(skintest::bringToForeground(form));
        skintest::moveMouseTo(5, 5);
        pumpIdle();
    }
    void TearDown() override {
        skintest::moveMouseTo(5, 5);
        pumpIdle();
        ImageControlsTest::TearDown();
    }
    // Moves the real pointer to a point of the button.
    void pointAt(int x, int y) {
        TPoint screen = form->ClientToScreen(TPoint(40 + x, 30 + y));
        skintest::moveMouseTo(screen.x, screen.y);
        pumpIdle();
    }
    void click() {
        skintest::mouseButton(true);
        pumpIdle();
        skintest::mouseButton(false);
        pumpIdle();
    }
    TColor face() { return pixelOf(button->BitMap, 10, 8); }
    KTransButton* button = nullptr;
    int releases = 0;
};

TEST_F(KTransButtonTest, HoverPressAndLeaveSwapTheFaces) {
    EXPECT_EQ(button->Width(), 20) << "the button takes its picture's size";
    pointAt(12, 8);
    EXPECT_EQ(face(), clGreen) << "hovered";
    skintest::mouseButton(true);
    pumpIdle();
    EXPECT_EQ(face(), clBlue) << "pressed";
    skintest::mouseButton(false);
    pumpIdle();
    EXPECT_EQ(face(), clGreen);
    EXPECT_EQ(releases, 1);
    pointAt(40, 40);
    EXPECT_EQ(face(), clRed) << "the saved normal face is back after leaving";
    EXPECT_EQ(releases, 1);
}

TEST_F(KTransButtonTest, APressOnATransparentPixelDoesNothing) {
    pointAt(2, 8);
    ASSERT_EQ(face(), clGreen) << "hovering the control's rectangle";
    click();
    EXPECT_EQ(face(), clGreen) << "no pressed face";
    EXPECT_EQ(releases, 0);
    // Pressed on an opaque pixel and released over a transparent one: no release event.
    pointAt(12, 8);
    skintest::mouseButton(true);
    pumpIdle();
    pointAt(2, 8);
    skintest::mouseButton(false);
    pumpIdle();
    EXPECT_EQ(releases, 0);
    pointAt(12, 8);
    click();
    EXPECT_EQ(releases, 1);
}

}  // namespace
