// Region shapes read back point by point with PtInRegion, and frame painters
// drawn on a bitmap filled with a sentinel colour.
#include "components/runtime/qclregion.h"
#include "tests/components/runtime/ContainerTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr TColor sentinel = 0x123456;
constexpr TColor light = clWhite, shadow = clBlack, single = clRed;

struct Probe {
    int x, y;
    bool inside;
};

void expectPoints(const win32::RegionHandle& region, std::initializer_list<Probe> probes, const char* shape) {
    ASSERT_TRUE(region.valid()) << shape;
    for (const Probe& p : probes)
        EXPECT_EQ(PtInRegion(region.get(), p.x, p.y) != 0, p.inside) << shape << " at " << p.x << "," << p.y;
}

bool sameRegion(const win32::RegionHandle& a, const win32::RegionHandle& b) { return EqualRgn(a.get(), b.get()) != 0; }

// A 40 × 40 bitmap filled with the sentinel colour.
struct Sheet {
    TBitmap bitmap;
    Sheet() { containertest::paint(bitmap, 40, 40, {sentinel}); }
    TCanvas* canvas() { return bitmap.GetCanvas(); }
    TColor at(int x, int y) { return bitmap.GetCanvas()->GetPixel(x, y); }
    std::vector<TColor> all() {
        std::vector<TColor> pixels;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                pixels.push_back(at(x, y));
        return pixels;
    }
};

}  // namespace

TEST(RegionShapes, PolygonsPointByPoint) {
    expectPoints(QCLCreateDiamondRgn(TRect(0, 0, 11, 11)),
                 {{5, 1, true}, {1, 5, true}, {5, 5, true}, {0, 0, false}, {10, 0, false}, {1, 1, false}}, "diamond");
    EXPECT_EQ(qclregion::DiamondPoints(TRect(0, 0, 11, 11))[0], TPoint(5, 0));
    EXPECT_EQ(qclregion::DiamondPoints(TRect(0, 0, 11, 11))[1], TPoint(0, 5));
    expectPoints(QCLCreateOctagonRgn(TRect(0, 0, 10, 10)),
                 {{1, 1, false}, {4, 1, true}, {1, 4, true}, {5, 5, true}, {9, 9, false}}, "octagon");
    EXPECT_EQ(qclregion::OctagonPoints(TRect(0, 0, 10, 10))[0], TPoint(6, 0));
    EXPECT_EQ(qclregion::OctagonPoints(TRect(0, 0, 10, 10))[1], TPoint(3, 0));
    expectPoints(QCLCreateCombRgn(TRect(10, 10, 30, 50)),
                 {{20, 30, true}, {11, 11, false}, {28, 48, false}, {11, 30, true}}, "comb");
    expectPoints(QCLCreateStarRgn(TRect(0, 0, 100, 100)),
                 {{50, 50, true}, {50, 5, true}, {5, 5, false}, {50, 90, false}, {90, 40, true}}, "star");
    const std::vector<TPoint> star = qclregion::StarPoints(TRect(0, 0, 20, 10));
    EXPECT_EQ(star[1], TPoint(13, 4));  // 0.65 × 20, 0.38 × 10 = 3.8
    EXPECT_EQ(star[5], TPoint(10, 8));  // 0.75 × 10 = 7.5 rounds to even
}

TEST(RegionShapes, ShieldsSitAtTheOriginWhateverTheRectangle) {
    for (bool sharp : {false, true}) {
        const TRect placed(100, 100, 160, 180);
        const win32::RegionHandle shield = sharp ? QCLCreateSharpShieldRgn(placed) : QCLCreateRoundShieldRgn(placed);
        const win32::RegionHandle atOrigin =
            sharp ? QCLCreateSharpShieldRgn(TRect(0, 0, 60, 80)) : QCLCreateRoundShieldRgn(TRect(0, 0, 60, 80));
        EXPECT_TRUE(sameRegion(shield, atOrigin));
        expectPoints(shield, {{30, 40, true}, {30, 2, true}, {1, 1, false}, {58, 1, false}, {130, 140, false}},
                     sharp ? "sharp shield" : "round shield");
        RECT box;
        GetRgnBox(shield.get(), &box);
        EXPECT_GE(box.left, 0);
        EXPECT_LE(box.right, 60);
        EXPECT_LE(box.bottom, 80);
    }
}

TEST(RegionShapes, NoseRectangles) {
    const TRect r(0, 0, 100, 60);
    const TRect shrunk = qclregion::ShrinkForExtension(r, 10, epTopRight);
    EXPECT_EQ(shrunk.Top, 10);
    EXPECT_EQ(shrunk.Right, 90);
    EXPECT_EQ(shrunk.Left, 0);
    EXPECT_EQ(shrunk.Bottom, 60);
    const std::vector<TPoint> nose = qclregion::NosePoints(shrunk, 10, 5, epTopRight);
    EXPECT_EQ(nose[0], TPoint(100, 0));
    EXPECT_EQ(nose[1], TPoint(85, 10));
    EXPECT_EQ(nose[2], TPoint(71, 10)) << "a base of 14 pixels";
    expectPoints(QCLCreateNoseRectRgn(r, 10, epTopRight),
                 {{89, 5, true}, {95, 5, false}, {2, 2, false}, {2, 12, true}, {95, 30, false}}, "nose");

    // The rounded variant starts the base an ellipse size from the corner.
    const std::vector<TPoint> side = qclregion::NosePoints(shrunk, 10, 8, epLeftBottom);
    EXPECT_EQ(side[1], TPoint(0, 52));
    expectPoints(QCLCreateRoundNoseRectRgn(r, 10, 12, 8, epLeftBottom),
                 {{50, 30, true}, {5, 47, true}, {3, 57, false}, {5, 55, false}}, "round nose");
}

TEST(RegionShapes, ThinkBubbles) {
    const TRect r(0, 0, 120, 80);
    const std::vector<TRect> circles = qclregion::BubbleCircles(qclregion::ShrinkForExtension(r, 20, epBottomLeft),
                                                                20, 4, epBottomLeft);
    ASSERT_EQ(circles.size(), 7u);
    EXPECT_EQ(circles[0].Width(), 0) << "the first circle has diameter 0";
    EXPECT_GT(circles[6].Width(), circles[1].Width());

    const win32::RegionHandle bubbles = QCLCreateThinkBubbleRgn(r, 20, 4, epBottomLeft);
    const TRect& last = circles[6];
    expectPoints(bubbles, {{(last.Left + last.Right) / 2, (last.Top + last.Bottom) / 2, true}, {60, 30, true},
                           {0, 0, false}}, "think bubble");

    // A count below 1 gives the plain shrunk shape.
    for (int count : {0, -1}) {
        const TRect s = qclregion::ShrinkForExtension(r, 20, epTopLeft);
        win32::RegionHandle plain(CreateRectRgn(s.Left, s.Top, s.Right, s.Bottom));
        EXPECT_TRUE(sameRegion(QCLCreateThinkBubbleRgn(r, 20, count, epTopLeft), plain)) << count;
        win32::RegionHandle oval(CreateEllipticRgn(s.Left, s.Top, s.Right, s.Bottom));
        EXPECT_TRUE(sameRegion(QCLCreateEllipticThinkBubbleRgn(r, 20, count, epTopLeft), oval)) << count;
        win32::RegionHandle rounded(CreateRoundRectRgn(s.Left, s.Top, s.Right, s.Bottom, 10, 10));
        EXPECT_TRUE(sameRegion(QCLCreateRoundThinkBubbleRgn(r, 20, count, epTopLeft, 10, 10), rounded)) << count;
    }
}

TEST(RegionShapes, BuildersHoldNoRegionAfterwards) {
    const int before = FrameworkGdiObjects();
    {
        const TRect r(0, 0, 50, 40);
        auto a = QCLCreateSharpShieldRgn(r);
        auto b = QCLCreateRoundThinkBubbleRgn(r, 8, 3, epRightBottom, 6, 6);
        auto c = QCLCreateRoundNoseRectRgn(r, 8, 6, 6, epBottomRight);
        EXPECT_EQ(FrameworkGdiObjects(), before + 3) << "only the results are held";
    }
    EXPECT_EQ(FrameworkGdiObjects(), before);
}

TEST(RegionFrames, RectangleStylesOnASentinelSheet) {
    struct Row {
        TQCLRegionBorderStyle style;
        TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    };
    const Row rows[] = {
        {rbRaised, light, shadow, sentinel, sentinel},
        {rbLowered, shadow, light, sentinel, sentinel},
        {rbSingle, single, single, sentinel, sentinel},
        {rbSingleRaised, single, single, light, shadow},
        {rbSingleLowered, single, single, shadow, light},
        {rbRaisedpsb, light, single, sentinel, shadow},
        {rbLoweredpsb, shadow, single, sentinel, light},
    };
    for (const Row& r : rows) {
        Sheet sheet;
        QCLFrameRectRgn(sheet.canvas(), TRect(2, 2, 12, 10), light, shadow, single, r.style);
        EXPECT_EQ(sheet.at(2, 2), r.outerTopLeft) << r.style;
        EXPECT_EQ(sheet.at(5, 2), r.outerTopLeft) << r.style;
        EXPECT_EQ(sheet.at(11, 9), r.outerBottomRight) << r.style;
        EXPECT_EQ(sheet.at(11, 5), r.outerBottomRight) << r.style;
        EXPECT_EQ(sheet.at(3, 3), r.innerTopLeft) << r.style;
        EXPECT_EQ(sheet.at(10, 8), r.innerBottomRight) << r.style;
        EXPECT_EQ(sheet.at(6, 6), sentinel) << r.style;
        EXPECT_EQ(sheet.at(1, 1), sentinel) << r.style;
        EXPECT_EQ(sheet.at(12, 10), sentinel) << r.style;
    }
}

TEST(RegionFrames, ShapesLightAboveShadowBelow) {
    Sheet sheet;
    QCLFrameEllipticRgn(sheet.canvas(), TRect(0, 0, 40, 40), light, shadow, single, rbRaised);
    EXPECT_EQ(sheet.at(20, 0), light);
    EXPECT_EQ(sheet.at(20, 39), shadow);
    EXPECT_EQ(sheet.at(20, 20), sentinel);

    Sheet diamond;
    QCLFrameDiamondRgn(diamond.canvas(), TRect(0, 0, 21, 21), light, shadow, single, rbRaised);
    EXPECT_EQ(diamond.at(5, 5), light);
    EXPECT_EQ(diamond.at(15, 15), shadow);
    EXPECT_EQ(diamond.at(10, 10), sentinel);

    Sheet points;
    QCLFramePointListRgn(points.canvas(), {{2, 2}, {20, 2}, {20, 20}, {2, 20}}, light, shadow, single, rbRaised);
    EXPECT_EQ(points.at(10, 2), light) << "running right";
    EXPECT_EQ(points.at(20, 10), shadow) << "running down";
    EXPECT_EQ(points.at(10, 20), shadow) << "running left";
    EXPECT_EQ(points.at(2, 10), light) << "running up";
    QCLFramePointListRgn(points.canvas(), {{2, 2}, {20, 2}, {20, 20}}, light, shadow, single, rbLowered);
    EXPECT_EQ(points.at(10, 2), shadow);
}

TEST(RegionFrames, NoneLeavesTheSheetAndEveryPainterKeepsTheClip) {
    using Painter = std::function<void(TCanvas*, TQCLRegionBorderStyle)>;
    const TRect r(4, 4, 36, 36);
    const std::vector<Painter> painters = {
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameRectRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameRoundRectRgn(c, r, light, shadow, single, s, 8, 8); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameEllipticRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameHalfRoundRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameDiamondRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameStarRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameOctagonRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameCombRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameRoundShieldRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameSharpShieldRgn(c, r, light, shadow, single, s); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) { QCLFrameNoseRectRgn(c, r, light, shadow, single, s, 6, epTopLeft); },
        [&](TCanvas* c, TQCLRegionBorderStyle s) {
            QCLFrameRoundNoseRectRgn(c, r, light, shadow, single, s, 6, 8, 8, epRightBottom);
        },
        [&](TCanvas* c, TQCLRegionBorderStyle s) {
            QCLFrameThinkBubbleRgn(c, r, light, shadow, single, s, 8, 3, epBottomLeft);
        },
        [&](TCanvas* c, TQCLRegionBorderStyle s) {
            QCLFrameRoundThinkBubbleRgn(c, r, light, shadow, single, s, 8, 3, epTopRight, 6, 6);
        },
        [&](TCanvas* c, TQCLRegionBorderStyle s) {
            QCLFrameEllipticThinkBubbleRgn(c, r, light, shadow, single, s, 8, 3, epLeftTop);
        },
    };
    const int gdiBefore = FrameworkGdiObjects();
    for (size_t i = 0; i < painters.size(); ++i) {
        Sheet sheet;
        const std::vector<TColor> untouched = sheet.all();
        painters[i](sheet.canvas(), rbNone);
        EXPECT_EQ(sheet.all(), untouched) << "painter " << i;

        for (TQCLRegionBorderStyle style : {rbRaised, rbSingleLowered, rbLoweredpsb}) {
            const HDC dc = sheet.canvas()->GetHandle();
            IntersectClipRect(dc, 1, 2, 38, 37);
            RECT before, after;
            GetClipBox(dc, &before);
            painters[i](sheet.canvas(), style);
            GetClipBox(dc, &after);
            EXPECT_TRUE(EqualRect(&before, &after)) << "painter " << i << " style " << style;
            SelectClipRgn(dc, nullptr);
            painters[i](sheet.canvas(), style);
            win32::RegionHandle clip(CreateRectRgn(0, 0, 0, 0));
            EXPECT_EQ(GetClipRgn(dc, clip.get()), 0) << "no clip before, none after: painter " << i;
        }
        EXPECT_NE(sheet.all(), untouched) << "painter " << i << " drew";
    }
    EXPECT_EQ(FrameworkGdiObjects(), gdiBefore);
}
