// The skin's pictures: every resource the code names is linked, has the size
// and depth the windows expect, and has exactly the bytes the generator makes
// now (so the committed files are reproducible); icons keep their key colour
// outside the glyph only, with hard edges; the library's glyph strip has its
// eight cells on a silver background.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "skin/ImagePanel.h"
#include "skin/art/LibraryGlyphs.h"
#include "skin/art/SkinArt.h"
#include "skin/art/SkinArtwork.h"
#include "tests/skin/SkinFixture.h"

namespace {

using skinart::Picture;
using skinart::rgb;
using skinart::Rgb;

// The resource's bytes as linked into this program.
std::string linkedBytes(int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!found) return std::string();
    HGLOBAL loaded = LoadResource(nullptr, found);
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

TEST(SkinArt, LinkedPicturesAreWhatTheGeneratorMakesNow) {
    std::set<int> ids;
    for (const skinart::ArtItem& item : skinart::artItems()) {
        EXPECT_TRUE(ids.insert(item.resourceId).second) << item.fileName << ": one number each";
        std::string made = skinart::bmpFile(item.make());
        ASSERT_GT(made.size(), 14u);
        EXPECT_EQ(made, skinart::bmpFile(item.make())) << item.fileName << ": the same bytes on every run";
        // A linked bitmap resource is the file without its 14-byte file header.
        EXPECT_EQ(linkedBytes(item.resourceId), made.substr(14))
            << item.fileName << " differs from the generator: run skin/art/regenerate";
    }
}

struct Named {
    int id;
    const char* what;
    int width, height, bits;  // 0: any width or height
};

TEST(SkinArt, EveryNamedResourceLoadsWithItsSizeAndDepth) {
    const Named named[] = {
        {IDB_SKIN_TITLE_TILE, "title tile", 0, 35, 24},
        {IDB_SKIN_TITLE_LEFT, "title left end", 0, 35, 24},
        {IDB_SKIN_TITLE_RIGHT, "title right end", 0, 35, 24},
        {IDB_SKIN_CORNER_TL, "corner", 13, 13, 24},
        {IDB_SKIN_CORNER_TR, "corner", 13, 13, 24},
        {IDB_SKIN_CORNER_BL, "corner", 13, 13, 24},
        {IDB_SKIN_CORNER_BR, "corner", 13, 13, 24},
        {IDB_SKIN_EDGE_LEFT, "left edge", 8, 0, 24},
        {IDB_SKIN_EDGE_RIGHT, "right edge", 9, 0, 24},
        {IDB_SKIN_EDGE_BOTTOM, "bottom edge", 0, 7, 24},
        {IDB_SKIN_BODY_TOP, "body top", 0, 0, 24},
        {IDB_SKIN_BODY_BOTTOM, "body bottom", 0, 0, 24},
        {IDB_SKIN_BODY_LEFT, "body left", 0, 0, 24},
        {IDB_SKIN_BODY_RIGHT, "body right", 0, 0, 24},
        {IDB_SKIN_BODY_CORNER_TL, "body corner", 0, 0, 24},
        {IDB_SKIN_BODY_CORNER_TR, "body corner", 0, 0, 24},
        {IDB_SKIN_BODY_CORNER_BL, "body corner", 0, 0, 24},
        {IDB_SKIN_BODY_CORNER_BR, "body corner", 0, 0, 24},
        {IDB_SKIN_ICON_INFO, "info icon", 18, 16, 24},
        {IDB_SKIN_ICON_ERROR, "error icon", 16, 17, 24},
        {IDB_SKIN_ICON_CAUTION, "caution icon", 18, 18, 24},
        {IDB_SKIN_ICON_QUESTION, "question icon", 16, 16, 24},
        {IDB_SKIN_FACE_NORMAL, "face normal", 75, 23, 24},
        {IDB_SKIN_FACE_ACTIVE, "face active", 75, 23, 24},
        {IDB_SKIN_FACE_PRESSED, "face pressed", 75, 23, 24},
        {IDB_QCL_GLYPH_KINDS, "glyph strip", 8 * 13, 14, 4},
    };
    for (const Named& n : named) {
        HBITMAP handle = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(n.id),
                                                         IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(handle, nullptr) << n.what << " " << n.id;
        DIBSECTION info = {};
        GetObjectA(handle, sizeof info, &info);
        DeleteObject(handle);
        if (n.width) {
            EXPECT_EQ(info.dsBm.bmWidth, n.width) << n.what;
        }
        if (n.height) {
            EXPECT_EQ(info.dsBm.bmHeight, n.height) << n.what;
        }
        EXPECT_EQ(info.dsBm.bmBitsPixel, n.bits) << n.what;
    }
}

// Icons ----------------------------------------------------------------------------

struct Icon {
    int id;
    Rgb key;
};

Picture pictureOf(int id) {
    for (const skinart::ArtItem& item : skinart::artItems())
        if (item.resourceId == id) return item.make();
    ADD_FAILURE() << "no picture " << id;
    return Picture();
}

// Key-coloured pixels not reached from the border through key-coloured pixels.
int enclosedKeyPixels(const Picture& p, Rgb key) {
    std::vector<char> reached(p.pixels.size(), 0);
    std::vector<std::pair<int, int>> todo;
    for (int x = 0; x < p.width; ++x) todo.insert(todo.end(), {{x, 0}, {x, p.height - 1}});
    for (int y = 0; y < p.height; ++y) todo.insert(todo.end(), {{0, y}, {p.width - 1, y}});
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) continue;
        size_t i = static_cast<size_t>(y * p.width + x);
        if (reached[i] || p.pixels[i] != key) continue;
        reached[i] = 1;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    int enclosed = 0;
    for (size_t i = 0; i < p.pixels.size(); ++i)
        if (p.pixels[i] == key && !reached[i]) ++enclosed;
    return enclosed;
}

TEST(SkinArt, IconsUseTheirKeyColourOnlyAroundTheGlyphWithHardEdges) {
    const Icon icons[] = {
        {IDB_SKIN_ICON_INFO, rgb(0, 255, 0)},
        {IDB_SKIN_ICON_ERROR, rgb(0, 255, 0)},
        {IDB_SKIN_ICON_CAUTION, rgb(255, 255, 255)},
        {IDB_SKIN_ICON_QUESTION, rgb(0, 255, 0)},
    };
    for (const Icon& icon : icons) {
        Picture p = pictureOf(icon.id);
        EXPECT_EQ(p.at(0, 0), icon.key) << icon.id << ": the corner is transparent";
        EXPECT_NE(p.at(p.width / 2, p.height / 2), icon.key) << icon.id << ": the middle is drawn";
        EXPECT_EQ(enclosedKeyPixels(p, icon.key), 0) << icon.id << ": no key colour inside the glyph";
        int fringe = 0;
        for (Rgb c : p.pixels) {
            int distance = 0;
            for (int shift : {0, 8, 16}) distance += std::abs(int((c >> shift) & 0xFF) - int((icon.key >> shift) & 0xFF));
            if (c != icon.key && distance < 120) ++fringe;
        }
        EXPECT_EQ(fringe, 0) << icon.id << ": no colour blended toward the key";
    }
}

TEST(SkinArt, GlyphStripCellsHaveASilverBackgroundAndAPicture) {
    Picture strip = pictureOf(IDB_QCL_GLYPH_KINDS);
    const Rgb silver = rgb(192, 192, 192);
    for (int cell = 0; cell < 8; ++cell) {
        EXPECT_EQ(strip.at(cell * 13, 13), silver) << "cell " << cell << ": bottom-left is the background";
        int drawn = 0;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 13; ++x) drawn += strip.at(cell * 13 + x, y) != silver;
        EXPECT_GT(drawn, 5) << "cell " << cell;
    }
}

class SkinArtOnAForm : public fwtest::ControlsTest {};

TEST_F(SkinArtOnAForm, AnImagePanelLoadedFromAResourcePaints) {
    form->Color = clWhite;
    auto* panel = new TImagePanel(form);
    panel->SetBounds(0, 0, 40, 40);
    panel->Parent = form;
    panel->DrawingStyle = ipTile;
    panel->Bitmap->LoadFromResourceID(HInstance, IDB_SKIN_TITLE_TILE);
    auto shot = fwtest::paintOf(form);
    // Row 1 of the panel shows the tile's first row (inside the 1-pixel margin).
    Picture tile = pictureOf(IDB_SKIN_TITLE_TILE);
    Rgb first = tile.at(0, 0);
    EXPECT_EQ(fwtest::pixelOf(shot.get(), 5, 1), static_cast<TColor>(RGB((first >> 16) & 0xFF, (first >> 8) & 0xFF, first & 0xFF)));
    EXPECT_EQ(fwtest::pixelOf(shot.get(), 5, 0), clWhite) << "the margin";
}

}  // namespace
