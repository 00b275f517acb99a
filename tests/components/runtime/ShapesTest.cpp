// Shapes, shadows and teeth: outlines as point tables, square cuts, the
// teeth zig-zag and its guards, painting (twice alike, the fill picture
// untouched), the property objects' notifications and summary texts.
#include "components/runtime/QCLRgnShadow.h"
#include "components/runtime/QCLShadow.h"
#include "components/runtime/QCLShape.h"
#include "components/runtime/QCLSimpleBevel.h"
#include "components/runtime/QCLTeeth.h"
#include "components/runtime/Qclgrapa.h"
#include "components/runtime/Qclshapebase.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

std::vector<TPoint> pointsOf(const TQCLPointList& list) {
    std::vector<TPoint> out;
    for (int i = 0; i < list.GetCount(); ++i) {
        TPoint p;
        list.GetPoint(i, p);
        out.push_back(p);
    }
    return out;
}

std::vector<TPoint> outline(const TRect& r, TQCLShapeType shape, bool square, TQCLShadow* shadow = nullptr,
                            TQCLSimpleBevel* bevel = nullptr, TQCLTeeth* teeth = nullptr) {
    TQCLPointList list;
    QCLShapeCalc(r, shape, teeth, square, nullptr, 50, bevel, shadow, &list);
    return pointsOf(list);
}

struct ChangeCounter {
    int count = 0;
    void watch(TQCLObject& object) { object.OnChange = [this](TObject*) { ++count; }; }
};

TEST(ShapeOutlines, OuterAndInnerOutlinesAtDepthZero) {
    using P = std::vector<TPoint>;
    struct Case { TQCLShapeType shape; P outer; } cases[] = {
        {TQCLShapeType::stRectangle, {{0, 0}, {100, 60}}},
        {TQCLShapeType::stEllipse, {{0, 0}, {100, 60}}},
        {TQCLShapeType::stRoundRect, {{0, 0}, {100, 60}, {30, 30}}},  // radius 60 * 50%
        {TQCLShapeType::stDirectUp, {{50, 0}, {100, 60}, {0, 60}}},
        {TQCLShapeType::stDirectRight, {{0, 0}, {100, 30}, {0, 60}}},
        {TQCLShapeType::stDirectDown, {{0, 0}, {100, 0}, {50, 60}}},
        {TQCLShapeType::stDirectLeft, {{100, 0}, {0, 30}, {100, 60}}},
        {TQCLShapeType::stDiamond, {{50, 0}, {100, 30}, {50, 60}, {0, 30}}},
        {TQCLShapeType::stComb, {{50, 0}, {100, 12}, {100, 48}, {50, 60}, {0, 48}, {0, 12}}},
        {TQCLShapeType::stOctagon, {{29, 0}, {70, 0}, {100, 18}, {100, 43}, {70, 60}, {29, 60}, {0, 43}, {0, 18}}},
        {TQCLShapeType::stStar, {{50, 0}, {65, 23}, {100, 23}, {70, 36}, {85, 60}, {50, 45}, {15, 60}, {30, 36}, {0, 23}, {35, 23}}},
    };
    for (const auto& c : cases) {
        P expected = c.outer;
        expected.insert(expected.end(), c.outer.begin(), c.outer.end());  // line width 1: inner = outer
        EXPECT_EQ(outline(TRect(10, 20, 110, 80), c.shape, false), expected) << int(c.shape);
    }
    // A bevel of width 3 moves the inner outline in by 1 at the top and left and by 1 at the right and bottom.
    TQCLSimpleBevel bevel;
    bevel.Width = 3;
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stDiamond, false, nullptr, &bevel),
              (P{{50, 0}, {100, 30}, {50, 60}, {0, 30}, {50, 1}, {99, 30}, {50, 59}, {1, 30}}));
}

TEST(ShapeOutlines, SquareCutsAndShadowDepth) {
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stDiamond, true),
              (std::vector<TPoint>{{50, 0}, {80, 30}, {50, 60}, {20, 30}, {50, 0}, {80, 30}, {50, 60}, {20, 30}}));
    EXPECT_EQ(outline(TRect(0, 0, 60, 100), TQCLShapeType::stRectangle, true),
              (std::vector<TPoint>{{0, 20}, {60, 80}, {0, 20}, {60, 80}}));
    TQCLShadow shadow;  // solid, depth 6: the shadow's room stays free at the right and bottom
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, &shadow)[1], TPoint(94, 54));
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, true, &shadow)[0], TPoint(20, 0));
    shadow.Style = hssNone;  // no depth whatever Depth says
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, &shadow)[1], TPoint(100, 60));
}

TEST(ShapeOutlines, TeethZigZagSetsTheWidthSilently) {
    TQCLTeeth teeth;
    teeth.Direction = tdDown;
    teeth.Height = 5;
    ChangeCounter counter;
    counter.watch(teeth);
    const auto p = outline(TRect(0, 0, 200, 50), TQCLShapeType::stRectangle, false, nullptr, nullptr, &teeth);
    EXPECT_EQ(teeth.Width(), 10);
    EXPECT_EQ(counter.count, 0);
    ASSERT_EQ(p.size(), 4u + 21u + 1u);
    EXPECT_EQ(p[0], TPoint(199, 50));  // three plain sides
    EXPECT_EQ(p[3], TPoint(0, 50));
    EXPECT_EQ(p[4], TPoint(0, 50));    // k = 0
    EXPECT_EQ(p[5], TPoint(10, 45));   // k = 1, on a tooth
    EXPECT_EQ(p[24], TPoint(200, 50)); // k = 20
    EXPECT_EQ(p[25], TPoint(200, 50)); // closing point

    teeth.Offset = false;  // starts on a tooth, plain sides stop short of it
    teeth.Direction = tdRight;
    teeth.Width = 4;
    const auto right = outline(TRect(0, 0, 40, 100), TQCLShapeType::stRectangle, false, nullptr, nullptr, &teeth);
    EXPECT_EQ(teeth.Height(), 5);  // 100 / 20
    EXPECT_EQ(right[0], TPoint(40 - 1 - 4, 99));
    EXPECT_EQ(right[4], TPoint(40 - 4 - 1, 0));  // k = 0, phase 1
}

TEST(ShapeOutlines, TeethWithoutADivisorGiveThePlainOutline) {
    const std::vector<TPoint> plain = {{0, 0}, {100, 60}, {0, 0}, {100, 60}};
    TQCLTeeth none;
    none.Count = 0;
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, nullptr, nullptr, &none), plain);
    TQCLTeeth flat;
    flat.SetPerCount = false;  // tdRight divides by Height, 0 by default
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, nullptr, nullptr, &flat), plain);
    flat.Height = -3;
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, nullptr, nullptr, &flat), plain);
    flat.Height = 20;  // 60 / 20: 3 teeth, 6 steps
    EXPECT_EQ(outline(TRect(0, 0, 100, 60), TQCLShapeType::stRectangle, false, nullptr, nullptr, &flat).size(), 4u + 7u + 1u);
}

class ShapePainting : public DrawingTest {};

TEST_F(ShapePainting, BrushShadowAndTwoIdenticalPaintsWithAFillPicture) {
    TBrush brush;
    brush.SetColor(clRed);
    TQCLShadow shadow;
    shadow.Color = clBlue;
    shadow.Depth = 4;
    auto bmp = makeBitmap(40, 40, clWhite);
    QCLShapeDraw(TRect(0, 0, 40, 40), bmp->GetCanvas(), TQCLShapeType::stRectangle, nullptr, nullptr, false, &brush, 0, nullptr,
                 &shadow, nullptr, clWhite, clWhite);
    EXPECT_EQ(pixel(bmp.get(), 20, 20), RGB(255, 0, 0));
    EXPECT_EQ(pixel(bmp.get(), 38, 38), RGB(0, 0, 255));  // the shadow below right
    EXPECT_EQ(pixel(bmp.get(), 38, 2), RGB(255, 255, 255));
    EXPECT_EQ(pixel(bmp.get(), 0, 0), RGB(255, 0, 0));    // without a bevel the outline takes the brush colour


    auto picture = makeBitmap(8, 8, clLime);
    const auto pictureBefore = pixels(picture.get());
    std::vector<COLORREF> first;
    for (int pass = 0; pass < 2; ++pass) {
        auto target = makeBitmap(30, 30, clYellow);
        QCLShapeDraw(TRect(0, 0, 30, 30), target->GetCanvas(), TQCLShapeType::stEllipse, nullptr, nullptr, false, &brush, 0, nullptr,
                     nullptr, picture.get(), clWhite, clFuchsia);
        EXPECT_EQ(pixel(target.get(), 15, 15), RGB(0, 255, 0)) << pass;
        EXPECT_EQ(pixel(target.get(), 0, 0), RGB(255, 255, 0)) << pass;  // outside the ellipse
        if (pass == 0) first = pixels(target.get());
        else EXPECT_EQ(pixels(target.get()), first);
    }
    EXPECT_EQ(pixels(picture.get()), pictureBefore);

    // A relief bevel: the upper left in the shadow colour for an inset.
    TQCLSimpleBevel bevel;
    bevel.Style = sbInset;
    bevel.ShadowColor = clBlack;
    bevel.LightColor = clWhite;
    auto relief = makeBitmap(40, 40, clYellow);
    QCLShapeDraw(TRect(0, 0, 40, 40), relief->GetCanvas(), TQCLShapeType::stDiamond, nullptr, nullptr, false, &brush, 0, &bevel,
                 nullptr, nullptr, clWhite, clWhite);
    EXPECT_GT(countOf(relief.get(), RGB(0, 0, 0)), 0);
    EXPECT_EQ(pixel(relief.get(), 20, 20), RGB(255, 0, 0));
}

TEST(ShapeObjects, DefaultsNotificationsAssignAndTexts) {
    TQCLShadow shadow;
    TQCLRgnShadow regionShadow;
    EXPECT_EQ(shadow.Style(), hssSolid);
    EXPECT_EQ(shadow.Depth(), 6);
    EXPECT_EQ(regionShadow.Style(), hssNone);
    EXPECT_EQ(regionShadow.EffectiveDepth(), 0);
    EXPECT_EQ(shadow.GetSetStr(), "{solid, 6}");
    shadow.Style = hssTracing;
    EXPECT_EQ(shadow.GetSetStr(), "{tracing, 6}");
    EXPECT_EQ(regionShadow.GetSetStr(), "{Disabled}");

    TQCLSimpleBevel bevel;
    EXPECT_EQ(bevel.GetSetStr(), "{Normal}");
    bevel.Style = sbOffset;
    EXPECT_EQ(bevel.GetSetStr(), "{Offset}");

    TQCLShape shape;
    ChangeCounter counter;
    counter.watch(shape);
    shape.Shape = TQCLShapeType::stRectangle;  // default
    shape.Shadow()->SetDepth(3);
    shape.Bevel()->SetWidth(5);
    shape.Brush()->SetColor(clRed);
    EXPECT_EQ(counter.count, 3);
    TQCLShape other;
    EXPECT_THROW(other.Assign(&shape), EConvertError);

    TQCLTeeth teeth, copy;
    teeth.Count = 4;
    teeth.Direction = tdUp;
    ChangeCounter teethCounter;
    teethCounter.watch(copy);
    copy.Assign(&teeth);
    EXPECT_EQ(teethCounter.count, 1);
    EXPECT_EQ(copy.Direction(), tdUp);

    TColor light = clNone, dark = clNone;
    QCLGetLightColors(lcGreen, light, dark);
    EXPECT_EQ(light, 0x00FF00);
    EXPECT_EQ(dark, 0x008000);
    QCLGetLightColors(lcNone, light, dark);
    EXPECT_EQ(light, clBtnFace);
    QCLGetLightColors(static_cast<TQCLLightColor>(9), light, dark);
    EXPECT_EQ(light, clBtnFace);  // unchanged
    EXPECT_EQ(QCLTileMode2DSF(tmStretch), 0x0010);
    EXPECT_EQ(QCLTileMode2DSF(tmNone), 0);

    TQCLPointList list;
    list.AddPoint(TPoint(1, 2));
    list.AddPoint(TPoint(3, 4));
    QCLOffsetPointList(&list, 5, -1);
    EXPECT_EQ(pointsOf(list), (std::vector<TPoint>{{6, 1}, {8, 3}}));
    TPoint array[2] = {{0, 0}, {1, 1}};
    QCLOffsetPointArray(array, 1, 2, 2);
    EXPECT_EQ(array[0], TPoint(2, 2));
    EXPECT_EQ(array[1], TPoint(1, 1));
}

}  // namespace
