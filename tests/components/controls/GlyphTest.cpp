// Button glyphs: the cell count a bitmap sets, the cells states use, derived
// pictures, the shared cache and its lifetime, the glyph-kind strip
// resource, and the button panel's grid.
#include "components/controls/QCLButtonPanel.h"
#include "components/controls/QCLGlyph.h"
#include "components/controls/QCLSpeedButton.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <memory>
#include <set>
#include <vector>

using namespace ctltest;

namespace {

// A strip of `cells` cells, each in its own colour, on a fuchsia corner pixel.
std::unique_ptr<TBitmap> strip(int width, int height, int cells) {
    static const TColor colours[] = {clRed, clBlue, clGreen, clYellow, clNavy, clMaroon};
    auto bitmap = filledBitmap(width, height, clFuchsia);
    const int w = cells ? width / cells : width;
    for (int i = 0; i < cells; ++i) {
        bitmap->GetCanvas()->GetBrush()->SetColor(colours[i % 6]);
        bitmap->GetCanvas()->FillRect(TRect(i * w + 2, 2, (i + 1) * w - 2, height - 2));
    }
    return bitmap;
}

TColor centreOf(TQCLGlyph& glyph, TQCLButtonState state) {
    TBitmap picture;
    glyph.GetStateBitmap(state, &picture);
    return fwtest::pixelOf(&picture, picture.GetWidth() / 2, picture.GetHeight() / 2);
}

}  // namespace

using GlyphTest = ControlsBaseTest;

TEST_F(GlyphTest, BitmapShapeSetsTheCellCount) {
    struct Row {
        int width, height;
        uint8_t numGlyphs;
    } rows[] = {{64, 16, 4}, {96, 16, 1}, {20, 16, 3}, {16, 16, 1}, {80, 16, 5}};
    for (const Row& r : rows) {
        TQCLGlyph glyph;
        glyph.SetNumGlyphs(3);
        auto bitmap = strip(r.width, r.height, 1);
        glyph.SetGlyph(bitmap.get());
        EXPECT_EQ(glyph.GetNumGlyphs(), r.numGlyphs) << r.width << "x" << r.height;
    }
    TQCLGlyph glyph;
    glyph.SetNumGlyphs(0);
    EXPECT_EQ(glyph.GetNumGlyphs(), 1);
    EXPECT_EQ(glyph.GetButtonGlyph(bsUp), -1) << "no bitmap, no picture";
}

TEST_F(GlyphTest, StatesUseTheirCellsOrFallBack) {
    struct Row {
        uint8_t cells;
        TQCLGlyphStyle style;
        TQCLButtonState state;
        int cell;
    } rows[] = {
        {1, gsStandard, bsUp, 0},          {1, gsStandard, bsMouseOver, 0}, {1, gsStandard, bsDown, 0},
        {1, gsStandard, bsDisabledUp, 1},  {1, gsStandard, bsDisabledDown, 1},
        {1, gsExplorer, bsMouseOver, 2},   {1, gsExplorer, bsDropDownOpen, 4}, {5, gsStandard, bsDown, 4},
        {5, gsStandard, bsDragOver, 0},    {3, gsStandard, bsMouseOver, 2},
    };
    for (const Row& r : rows) {
        TQCLGlyph glyph;
        glyph.SetNumGlyphs(r.cells);
        glyph.SetStyle(r.style);
        EXPECT_EQ(glyph.CellOf(r.state), r.cell) << int(r.cells) << " " << int(r.style) << " " << int(r.state);
    }

    // One cell: disabled is derived (not the normal colour), hot copies the normal cell.
    TQCLGlyph one;
    auto single = strip(16, 16, 1);
    one.SetGlyph(single.get());
    EXPECT_EQ(centreOf(one, bsUp), clRed);
    EXPECT_EQ(centreOf(one, bsMouseOver), clRed);
    EXPECT_NE(centreOf(one, bsDisabledUp), clRed);
    // Two cells: disabled shows cell 1.
    TQCLGlyph two;
    auto pair = strip(32, 16, 2);
    two.SetGlyph(pair.get());
    EXPECT_EQ(centreOf(two, bsDisabledUp), clBlue);
    EXPECT_EQ(centreOf(two, bsDisabledDown), clBlue);
    // Explorer style greys the up picture and keeps colour when hot.
    one.SetStyle(gsExplorer);
    const TColor grey = centreOf(one, bsUp);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey));
    EXPECT_EQ(GetGValue(grey), GetBValue(grey));
    EXPECT_EQ(centreOf(one, bsMouseOver), clRed);
}

TEST_F(GlyphTest, CacheSharesStripsAndGoesOnlyWithTheLastGlyph) {
    ASSERT_EQ(QCLGlyphCacheForTesting(), nullptr);
    auto a = std::make_unique<TQCLGlyph>();
    auto b = std::make_unique<TQCLGlyph>();
    auto idle = std::make_unique<TQCLGlyph>();  // holds no picture
    auto picture = strip(16, 16, 1);
    a->SetGlyph(picture.get());
    b->SetGlyph(picture.get());
    a->GetButtonGlyph(bsUp);
    b->GetButtonGlyph(bsUp);
    b->GetButtonGlyph(bsDisabledUp);
    TQCLGlyphCache* cache = QCLGlyphCacheForTesting();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->ListCount(), 1);
    EXPECT_EQ(a->List(), b->List());
    EXPECT_EQ(a->List()->UsedCount(), 3);

    // A freed slot is reused; the strip does not grow.
    const int stripWidth = a->List()->GetImageBitmap()->GetWidth();
    b->SetNumGlyphs(2);
    b->SetNumGlyphs(1);
    b->GetButtonGlyph(bsUp);
    EXPECT_EQ(a->List()->GetImageBitmap()->GetWidth(), stripWidth);

    a.reset();
    b.reset();
    EXPECT_EQ(QCLGlyphCacheForTesting(), cache) << "a live glyph keeps the cache";
    EXPECT_TRUE(cache->Empty());
    idle->SetGlyph(picture.get());
    EXPECT_GE(idle->GetButtonGlyph(bsUp), 0);
    EXPECT_EQ(centreOf(*idle, bsUp), clRed);
    idle.reset();
    EXPECT_EQ(QCLGlyphCacheForTesting(), nullptr);
}

TEST_F(GlyphTest, GlyphKindPicturesComeFromTheLibraryStrip) {
    TBitmap untouched;
    EXPECT_FALSE(QCLGetGlyphKind(&untouched, gkCustom));
    std::set<std::vector<TColor>> pictures;
    for (int kind = gkEllipsis; kind <= gkFont; ++kind) {
        TBitmap bitmap;
        ASSERT_TRUE(QCLGetGlyphKind(&bitmap, static_cast<TQCLGlyphKind>(kind))) << kind;
        EXPECT_EQ(bitmap.GetWidth(), 13);
        EXPECT_EQ(bitmap.GetHeight(), 14);
        std::vector<TColor> pixels;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 13; ++x) pixels.push_back(fwtest::pixelOf(&bitmap, x, y));
        EXPECT_EQ(pixels[13 * 13], clSilver) << "bottom-left pixel is the cell background";
        pictures.insert(pixels);
    }
    EXPECT_EQ(pictures.size(), 8u) << "every kind has its own picture";

    auto* button = new TQCLSpeedButton(form);
    button->SetGlyphKind(gkFolder);
    EXPECT_EQ(button->GetNumGlyphs(), 1);
    EXPECT_EQ(button->GetGlyph()->GetWidth(), 13);
}

TEST(ButtonPanelGrid, ColumnsAndRows) {
    struct Row {
        int width, height, count, bw, bh, cols, rows;
    } rows[] = {
        {100, 20, 5, 20, 20, 5, 1}, {100, 20, 7, 20, 20, 5, 2}, {100, 100, 7, 20, 20, 5, 2},
        {20, 100, 3, 20, 20, 1, 3}, {10, 10, 2, 20, 20, 1, 2},  {100, 20, 0, 20, 20, 1, 1},
    };
    for (const Row& r : rows) {
        const TQCLButtonGrid grid = QCLButtonPanelGrid(r.width, r.height, r.count, r.bw, r.bh);
        EXPECT_EQ(grid.Columns, r.cols) << r.width << " " << r.count;
        EXPECT_EQ(grid.Rows, r.rows) << r.width << " " << r.count;
    }
}

TEST_F(GlyphTest, ButtonPanelArrangesRowsAndRefusesZeroSizes) {
    auto* panel = new TQCLButtonPanel(form);
    panel->SetParent(form);
    for (int i = 0; i < 5; ++i) panel->AddButton();
    // Added one by one, the panel shrank to one column; widened, it lays them out in a row.
    EXPECT_EQ(panel->GetWidth(), 20);
    panel->SetBounds(10, 10, 100, 20);
    panel->SetBorders();
    EXPECT_EQ(panel->GetWidth(), 100);
    EXPECT_EQ(panel->GetHeight(), 20);
    panel->AddButton();
    panel->AddButton();
    EXPECT_EQ(panel->GetHeight(), 40);
    EXPECT_EQ(panel->Button(5)->GetLeft(), 0);
    EXPECT_EQ(panel->Button(5)->GetTop(), 20);
    EXPECT_EQ(panel->Button(6)->GetLeft(), 20);

    panel->SetBtnSize(1, 0);
    panel->SetBtnSize(0, -3);
    EXPECT_EQ(panel->GetBtnSize(1), 20);
    EXPECT_EQ(panel->GetBtnSize(0), 20);
    panel->SetBorders();
    EXPECT_EQ(panel->GetWidth(), 100);

    int clicked = -1;
    panel->Button(3)->SetTag(33);
    panel->OnButtonClick = [&](TObject*, TObject*, int tag) { clicked = tag; };
    panel->Button(3)->Click();
    EXPECT_EQ(clicked, 33);
}
