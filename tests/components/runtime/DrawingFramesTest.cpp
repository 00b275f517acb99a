// Frames, standard edges, borders and arrows: the rectangle left inside and
// a few ring pixels on small off-screen bitmaps.
#include "components/runtime/Qclutils.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

class DrawingFrames : public DrawingTest {};

using S = TQCLBevelStyle;
const COLORREF Light = RGB(0, 255, 0), Shadow = RGB(0, 0, 255), Inside = RGB(255, 0, 0);

TEST_F(DrawingFrames, Frame3DShrinksByTheWidthAndColoursItsRing) {
    struct Case {
        S style;
        int width;
        bool drawn;
        TRect left;
        COLORREF topLeft, bottomRight;  // pixel (0, 0) and (9, 9)
    } cases[] = {
        {S::bvNone, 2, false, {0, 0, 10, 10}, Inside, Inside},
        {S::bvShadow, 2, false, {0, 0, 10, 10}, Inside, Inside},
        {S::bvRaised, 0, false, {0, 0, 10, 10}, Inside, Inside},
        {S::bvRaised, 1, true, {1, 1, 9, 9}, Light, Shadow},
        {S::bvRaised, 2, true, {2, 2, 8, 8}, Light, Shadow},
        {S::bvLowered, 1, true, {1, 1, 9, 9}, Shadow, Light},
        {S::bvLowered, 2, true, {2, 2, 8, 8}, Shadow, Light},
        {S::bvNormal, 1, true, {1, 1, 9, 9}, RGB(0, 0, 0), RGB(0, 0, 0)},
        {S::bvNormal, 2, true, {2, 2, 8, 8}, RGB(0, 0, 0), RGB(0, 0, 0)},
        {S::bvFrameLowered, 1, true, {2, 2, 8, 8}, Shadow, Light},
        {S::bvFrameRaised, 1, true, {2, 2, 8, 8}, Light, Shadow},
        {S::bvFrameRaised, 2, true, {3, 3, 7, 7}, Light, Shadow},
        {S::bvFrameLowered, 0, false, {0, 0, 10, 10}, Inside, Inside},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(10, 10, static_cast<TColor>(Inside));
        TRect r(0, 0, 10, 10);
        const bool drawn = QCLDrawFrame3D(bmp->GetCanvas(), r, c.style, static_cast<TColor>(Light),
                                          static_cast<TColor>(Shadow), c.width);
        const int style = static_cast<int>(c.style);
        EXPECT_EQ(drawn, c.drawn) << style << "/" << c.width;
        EXPECT_EQ(r, c.left) << style << "/" << c.width;
        EXPECT_EQ(pixel(bmp.get(), 0, 0), c.topLeft) << style << "/" << c.width;
        EXPECT_EQ(pixel(bmp.get(), 9, 9), c.bottomRight) << style << "/" << c.width;
        EXPECT_EQ(pixel(bmp.get(), 5, 5), Inside) << style << "/" << c.width;
        if (c.drawn && c.style != S::bvFrameLowered && c.style != S::bvFrameRaised) {
            // Every ring pixel is drawn: top and left in one colour, right and bottom in the other.
            for (int i = 0; i < c.width; ++i) {
                EXPECT_EQ(pixel(bmp.get(), 5, i), c.topLeft) << style << " ring " << i;
                EXPECT_EQ(pixel(bmp.get(), i, 5), c.topLeft) << style << " ring " << i;
                EXPECT_EQ(pixel(bmp.get(), 9 - i, 5), c.bottomRight) << style << " ring " << i;
                EXPECT_EQ(pixel(bmp.get(), 5, 9 - i), c.bottomRight) << style << " ring " << i;
            }
            EXPECT_EQ(pixel(bmp.get(), c.width, c.width), Inside) << style;
        }
    }
}

TEST_F(DrawingFrames, FrameShadowFillsStripsAndCornersAndFramesTheRest) {
    for (bool transparent : {false, true}) {
        auto bmp = makeBitmap(12, 12, clWhite);
        TRect r(0, 0, 12, 12);
        EXPECT_TRUE(QCLDrawFrameShadow(bmp->GetCanvas(), r, clRed, clBlue, clLime, 3, 2, transparent));
        EXPECT_EQ(r, TRect(2, 2, 7, 7));
        EXPECT_EQ(pixel(bmp.get(), 11, 5), RGB(0, 0, 255));  // right strip
        EXPECT_EQ(pixel(bmp.get(), 5, 11), RGB(0, 0, 255));  // bottom strip
        EXPECT_EQ(pixel(bmp.get(), 10, 0), transparent ? RGB(255, 255, 255) : RGB(0, 255, 0));
        EXPECT_EQ(pixel(bmp.get(), 0, 10), transparent ? RGB(255, 255, 255) : RGB(0, 255, 0));
        EXPECT_EQ(pixel(bmp.get(), 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(pixel(bmp.get(), 1, 1), RGB(255, 0, 0));
        EXPECT_EQ(pixel(bmp.get(), 8, 8), RGB(255, 0, 0));
        EXPECT_EQ(pixel(bmp.get(), 2, 2), RGB(255, 255, 255));
    }
}

TEST_F(DrawingFrames, StandardFramesLeaveTheirInnerRectangle) {
    struct Case { TQCLBorderStyle style; TRect left; int width; } cases[] = {
        {lsNone, {0, 0, 20, 20}, 0},         {lsSingle, {1, 1, 20, 20}, 1},      {lsLowered, {2, 2, 18, 18}, 2},
        {lsRaised, {2, 2, 18, 18}, 2},       {lsRaisedspb, {1, 1, 18, 18}, 2},   {lsLoweredspb, {2, 2, 19, 19}, 2},
        {lsRaisedExt, {2, 2, 18, 18}, 2},    {lsLoweredExt, {2, 2, 18, 18}, 2},  {lsFrameInset, {2, 2, 18, 18}, 2},
        {lsFrameOffset, {2, 2, 18, 18}, 2},  {lsWindowBorder, {2, 2, 18, 18}, 2}, {lsSingleRaised, {1, 1, 19, 19}, 1},
        {lsSingleLowered, {1, 1, 19, 19}, 1}, {lsDoubleRaised, {2, 2, 18, 18}, 2}, {lsDoubleLowered, {2, 2, 18, 18}, 2},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(20, 20, clRed);
        TRect r(0, 0, 20, 20);
        EXPECT_TRUE(QCLDrawStdFrame(bmp->GetCanvas(), r, c.style, 0));
        EXPECT_EQ(r, c.left) << int(c.style);
        EXPECT_EQ(QCLDrawStdFrameExt(c.style), c.width) << int(c.style);
        EXPECT_EQ(pixel(bmp.get(), 10, 10), Inside) << int(c.style);
    }
    // The edit frame: outer shadow and highlight ring, inner dark shadow at the top left.
    auto bmp = makeBitmap(20, 20, clRed);
    TRect r(0, 0, 20, 20);
    QCLDrawStdFrame(bmp->GetCanvas(), r, lsLoweredExt, 0);
    EXPECT_EQ(pixel(bmp.get(), 5, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(pixel(bmp.get(), 19, 5), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pixel(bmp.get(), 5, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(pixel(bmp.get(), 18, 5), Inside);  // no inner edge at the right
}

TEST_F(DrawingFrames, BorderAndControlBorderWidth) {
    auto bmp = makeBitmap(6, 6, clWhite);
    QCLDrawBorder(bmp->GetCanvas(), TRect(0, 0, 6, 6), clRed, clBlue);
    EXPECT_EQ(pixel(bmp.get(), 0, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(bmp.get(), 4, 0), RGB(255, 0, 0));
    EXPECT_EQ(pixel(bmp.get(), 5, 0), RGB(0, 0, 255));
    EXPECT_EQ(pixel(bmp.get(), 1, 5), RGB(0, 0, 255));
    EXPECT_EQ(countOf(bmp.get(), RGB(255, 255, 255)), 16);

    EXPECT_EQ(QCLGetCtrlBorderWidth(true, bsSingle), 2);
    EXPECT_EQ(QCLGetCtrlBorderWidth(false, bsSingle), 1);
    EXPECT_EQ(QCLGetCtrlBorderWidth(true, bsSizeable), 0);
}

TEST_F(DrawingFrames, TrianglesBySizeDirectionAndState) {
    const COLORREF colour = RGB(0, 0, 255);
    struct Case { int x, size; bool down, enabled; int count; TRect box; } cases[] = {
        {0, 1, true, true, 0, {0, 0, 0, 0}},
        {0, 16, true, true, 0, {0, 0, 0, 0}},
        {0, 3, true, true, 9, {0, 0, 5, 3}},  // rows of 5 and 3, then the tip
        {5, 3, false, true, 9, {4, 0, 9, 3}},  // rows of 1, 3 and 5
        {0, 15, true, true, 15 * 15, {0, 0, 29, 15}},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(40, 20, clWhite);
        QCLDrawTriangle(bmp->GetCanvas(), c.x, 0, c.size, static_cast<TColor>(colour), c.down, c.enabled);
        EXPECT_EQ(countOf(bmp.get(), colour), c.count) << c.size;
        EXPECT_EQ(boxOf(bmp.get(), colour), c.box) << c.size;
    }
    auto bmp = makeBitmap(20, 20, clWhite);
    QCLDrawTriangle(bmp->GetCanvas(), 2, 2, 3, clBlue, true, false);
    EXPECT_EQ(boxOf(bmp.get(), GetSysColor(COLOR_GRAYTEXT)), TRect(2, 2, 7, 5));
    EXPECT_EQ(pixel(bmp.get(), 7, 3), GetSysColor(COLOR_HIGHLIGHTTEXT));  // the embossed copy shows at the right
    EXPECT_EQ(countOf(bmp.get(), colour), 0);
}

}  // namespace
