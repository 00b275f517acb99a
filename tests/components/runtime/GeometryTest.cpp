// Rectangle and point arithmetic of the general procedures.
#include "components/runtime/qclprocs.h"

#include <gtest/gtest.h>

namespace {

TEST(Geometry, AdjustExpandAndSize) {
    TRect r(10, 10, 20, 20);
    EXPECT_EQ(QCLExpandRect(r, 2), TRect(8, 8, 22, 22));
    QCLAdjustRect(r, 5, -3);
    EXPECT_EQ(r, TRect(10, 10, 25, 17));
    QCLAdjustRectExt(r, 1, 2, 3, 4);
    EXPECT_EQ(r, TRect(11, 12, 28, 21));
    int w = 0, h = 0;
    QCLGetRectWH(r, w, h);
    EXPECT_EQ(w, 17);
    EXPECT_EQ(h, 9);
}

TEST(Geometry, RectInRectExcludesTheRightAndBottomEdges) {
    EXPECT_TRUE(QCLRectinRect(TRect(1, 1, 5, 5), TRect(0, 0, 10, 10)));
    EXPECT_FALSE(QCLRectinRect(TRect(0, 0, 10, 10), TRect(0, 0, 10, 10)));
    EXPECT_TRUE(QCLRectinRect(TRect(0, 0, 9, 9), TRect(0, 0, 10, 10)));
}

TEST(Geometry, AffineRect) {
    struct Case { TRect source, target, result; } cases[] = {
        {{0, 0, 200, 100}, {10, 10, 60, 60}, {10, 10, 60, 35}},
        {{0, 0, 10, 30}, {0, 0, 100, 100}, {0, 0, 33, 100}},
        {{0, 0, 0, 10}, {5, 6, 50, 50}, {5, 6, 5, 6}},  // empty source: empty result, no division
        {{0, 0, 10, 0}, {5, 6, 50, 50}, {5, 6, 5, 6}},
    };
    for (const auto& c : cases) {
        TRect result;
        QCLAffineRect(c.source, c.target, result);
        EXPECT_EQ(result, c.result);
    }
}

TEST(Geometry, RotatedRectangleSize) {
    struct Case { TRect r; int angle; int w, h; } cases[] = {
        {{0, 0, 100, 20}, 90, 20, 100},
        {{0, 0, 100, 20}, 180, 100, 20},
        {{0, 0, 100, 20}, 45, 84, 84},
        {{3, 4, 103, 24}, 270, 20, 100},
    };
    for (const auto& c : cases) {
        TRect r = c.r;
        QCLCalcRotRect(r, c.angle);
        EXPECT_EQ(r, TRect(0, 0, c.w, c.h)) << c.angle;
    }
    TRect unchanged(3, 4, 10, 10);
    QCLCalcRotRect(unchanged, 0);
    EXPECT_EQ(unchanged, TRect(3, 4, 10, 10));
}

TEST(Geometry, RotatedPositions) {
    // (angle, a, b) -> x, y, from the base terms of each quarter
    struct Case { int angle, a, b, x, y; } cases[] = {
        {0, 30, 10, 0, 10},
        {90, 30, 10, 10, 10},
        {180, 30, 10, 30, 0},
        {270, 30, 10, 20, 0},
        {360, 30, 10, 0, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QCLRotatedXPos(c.angle, c.a, c.b), c.x) << c.angle;
        EXPECT_EQ(QCLRotatedYPos(c.angle, c.a, c.b), c.y) << c.angle;
    }
}

TEST(Geometry, PointArraysPassedWithHigh) {
    TPoint points[] = {{0, 0}, {10, 20}, {20, 40}};
    TPoint mid(-1, -1);
    QCLMidpoint(points, 2, mid);
    EXPECT_EQ(mid, TPoint(10, 20));
    QCLMidpoint(points, -1, mid);
    EXPECT_EQ(mid, TPoint(10, 20));
    QCLOffsetPoints(points, 1, 1, -1);
    EXPECT_EQ(points[0], TPoint(1, -1));
    EXPECT_EQ(points[1], TPoint(11, 19));
    EXPECT_EQ(points[2], TPoint(20, 40));
    QCLNullPoints(points, 2);
    EXPECT_EQ(points[2], TPoint(0, 0));
}

}  // namespace
