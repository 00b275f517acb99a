// The bevel, 3D caption and layout property objects: insets and client
// rectangles, painting, the shadow coupling with its notifications, the
// client-edge re-creation, assignment and summary texts.
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLBevel.h"
#include "components/runtime/QCLGlyphTextLayout.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

using S = TQCLBevelStyle;

// Counts the notifications an object sends its owner.
struct ChangeCounter {
    int count = 0;
    void watch(TQCLObject& object) { object.OnChange = [this](TObject*) { ++count; }; }
};

class BevelTest : public DrawingTest {};

TEST_F(BevelTest, InsetsAndClientRectangles) {
    struct Case {
        const char* what;
        std::function<void(TQCLBevel&)> setUp;
        int inset;
        TRect client;  // of (0, 0, 100, 50)
    } cases[] = {
        {"default", [](TQCLBevel&) {}, 0, {0, 0, 100, 50}},
        {"frame raised outer 2",
         [](TQCLBevel& b) { b.StyleOuter = S::bvFrameRaised; b.WidthOuter = 2; }, 3, {3, 3, 97, 47}},
        {"lowered both, border 2",
         [](TQCLBevel& b) { b.StyleOuter = S::bvLowered; b.StyleInner = S::bvRaised; b.BorderWidth = 2; }, 4,
         {4, 4, 96, 46}},
        {"edge, no sides", [](TQCLBevel& b) { b.Mode = bmEdge; b.BorderSides = TQCLFrameSides{}; b.BorderInnerWidth = 3; },
         3, {3, 3, 97, 47}},
        {"edge", [](TQCLBevel& b) { b.Mode = bmEdge; }, 2, {2, 2, 98, 48}},
        {"standard single lowered", [](TQCLBevel& b) { b.Mode = bmStandard; }, 1, {1, 1, 99, 49}},
        {"standard lowered ext + 1",
         [](TQCLBevel& b) { b.Mode = bmStandard; b.StandardStyle = lsLoweredExt; b.BorderInnerWidth = 1; }, 3,
         {3, 3, 97, 47}},
        {"windows", [](TQCLBevel& b) { b.Mode = bmWindows; b.BorderInnerWidth = 1; }, 3, {3, 3, 97, 47}},
        {"windows, client edge supported",
         [](TQCLBevel& b) { b.SetSupportsClientEdge(true); b.Mode = bmWindows; b.BorderInnerWidth = 1; }, 0,
         {0, 0, 100, 50}},
        {"shadow", [](TQCLBevel& b) { b.StyleOuter = S::bvShadow; b.WidthInner = 2; b.WidthOuter = 5; b.BorderInnerWidth = 1; },
         3, {3, 3, 92, 42}},
    };
    for (const auto& c : cases) {
        TQCLBevel bevel;
        c.setUp(bevel);
        EXPECT_EQ(bevel.GetBevelExtend(), c.inset) << c.what;
        EXPECT_EQ(bevel.ClientRect(TRect(0, 0, 100, 50)), c.client) << c.what;
    }
}

TEST_F(BevelTest, PaintingShrinksByTheInsetAndZeroDrawsNothing) {
    struct Case {
        const char* what;
        std::function<void(TQCLBevel&)> setUp;
        bool transparent;
        TRect left;
        COLORREF corner, ring;  // pixel (0, 0) and pixel (2, 2)
    } cases[] = {
        {"default", [](TQCLBevel&) {}, false, {0, 0, 20, 20}, RGB(0, 0, 255), RGB(0, 0, 255)},
        {"windows + ring", [](TQCLBevel& b) { b.Mode = bmWindows; b.BorderInnerWidth = 1; b.BorderColor = clRed; }, false,
         {3, 3, 17, 17}, GetSysColor(COLOR_BTNSHADOW), RGB(255, 0, 0)},
        {"windows + transparent ring",
         [](TQCLBevel& b) { b.Mode = bmWindows; b.BorderInnerWidth = 1; b.BorderColor = clRed; }, true, {3, 3, 17, 17},
         GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 255)},
        {"custom raised, border 1",
         [](TQCLBevel& b) {
             b.StyleOuter = S::bvRaised;
             b.BorderWidth = 1;
             b.BorderColor = clLime;
             b.StyleInner = S::bvLowered;
             b.LightColor = clWhite;
             b.ShadowColor = clBlack;
         },
         false, {3, 3, 17, 17}, RGB(255, 255, 255), RGB(0, 0, 0)},
    };
    for (const auto& c : cases) {
        TQCLBevel bevel;
        c.setUp(bevel);
        auto bmp = makeBitmap(20, 20, clBlue);
        EXPECT_EQ(bevel.PaintBevel(bmp->GetCanvas(), TRect(0, 0, 20, 20), c.transparent), c.left) << c.what;
        EXPECT_EQ(pixel(bmp.get(), 0, 0), c.corner) << c.what;
        EXPECT_EQ(pixel(bmp.get(), 2, 2), c.ring) << c.what;
        EXPECT_EQ(pixel(bmp.get(), 10, 10), RGB(0, 0, 255)) << c.what;
    }
    TQCLBevel bevel;
    auto bmp = makeBitmap(20, 20, clBlue);
    bevel.PaintBevel(bmp->GetCanvas(), TRect(0, 0, 20, 20), false);
    EXPECT_EQ(countOf(bmp.get(), RGB(0, 0, 255)), 400);
}

TEST_F(BevelTest, ShadowCouplingAsAStateTable) {
    struct Step { bool outer; S set; S inner, outerAfter; int changes; } steps[] = {
        {true, S::bvShadow, S::bvShadow, S::bvShadow, 1},    // both sides, one notification
        {true, S::bvShadow, S::bvShadow, S::bvShadow, 1},    // unchanged: nothing
        {true, S::bvLowered, S::bvNone, S::bvLowered, 2},    // leaving shadow resets the other side
        {false, S::bvRaised, S::bvRaised, S::bvLowered, 3},
        {false, S::bvShadow, S::bvShadow, S::bvShadow, 4},
        {false, S::bvFrameLowered, S::bvFrameLowered, S::bvNone, 5},
    };
    TQCLBevel bevel;
    ChangeCounter counter;
    counter.watch(bevel);
    for (const auto& s : steps) {
        if (s.outer) bevel.StyleOuter = s.set;
        else bevel.StyleInner = s.set;
        EXPECT_EQ(bevel.StyleInner(), s.inner) << int(s.set);
        EXPECT_EQ(bevel.StyleOuter(), s.outerAfter) << int(s.set);
        EXPECT_EQ(counter.count, s.changes) << int(s.set);
    }
}

TEST_F(BevelTest, NotificationsStandardStyleClientEdgeAndAssign) {
    TQCLBevel bevel;
    ChangeCounter counter;
    counter.watch(bevel);
    bevel.StandardStyle = lsRaised;  // not in standard mode: stored, silent
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(bevel.StandardStyle(), lsRaised);
    bevel.Mode = bmStandard;
    bevel.StandardStyle = lsLowered;
    EXPECT_EQ(counter.count, 2);
    bevel.WidthInner = 1;  // unchanged
    bevel.SetColor(7, clRed);  // no such colour: notifies all the same
    EXPECT_EQ(counter.count, 3);

    TQCLBevel edged;
    edged.SetSupportsClientEdge(true);
    EXPECT_FALSE(edged.GetRecreateWnd());
    edged.Mode = bmWindows;
    EXPECT_TRUE(edged.GetRecreateWnd());
    edged.Mode = bmCustom;
    EXPECT_TRUE(edged.GetRecreateWnd());  // switched off again
    EXPECT_FALSE(edged.GetRecreateWnd());  // reading cleared the mark

    TQCLBevel copy;
    ChangeCounter copyCounter;
    copyCounter.watch(copy);
    copy.Assign(&bevel);
    EXPECT_EQ(copyCounter.count, 1);
    EXPECT_EQ(copy.Mode(), bmStandard);
    EXPECT_EQ(copy.StandardStyle(), lsLowered);
    EXPECT_EQ(copy.GetBevelExtend(), 2);
    copy.Assign(&copy);
    EXPECT_EQ(copyCounter.count, 1);
    TQCL3DCaption unrelated;
    EXPECT_THROW(copy.Assign(&unrelated), EConvertError);

    struct Text { TQCLBevelMode mode; const char* text; } texts[] = {
        {bmCustom, "{Custom style}"}, {bmStandard, "{Standard style}"}, {bmEdge, "{Etged style}"},
        {bmWindows, "{Windows style}"},
    };
    for (const auto& t : texts) {
        copy.Mode = t.mode;
        EXPECT_EQ(copy.GetSetStr(), t.text);
    }
}

TEST(CaptionObjects, NotifyOnlyOnRealChangesAndAssignOnce) {
    TQCLFxCaption caption;
    ChangeCounter counter;
    counter.watch(caption);
    caption.Style = tdNone;  // the default: nothing
    caption.Tracing = 0;
    EXPECT_EQ(counter.count, 0);
    caption.Style = tdSunken;
    caption.Angle = 360;
    EXPECT_EQ(caption.Angle(), 0);
    EXPECT_EQ(counter.count, 1);
    caption.Angle = 45;
    caption.SetPosXY(3, 4);  // silent
    EXPECT_EQ(counter.count, 2);
    EXPECT_EQ(caption.PosX(), 3);
    caption.SetDepth(5, 9);  // no such depth: notifies
    EXPECT_EQ(counter.count, 3);

    TQCLFxCaption target;
    target.Orientation = toBottomRight;
    ChangeCounter targetCounter;
    targetCounter.watch(target);
    caption.Orientation = toTopRight;
    caption.LightColor = clBlack;
    target.Assign(&caption);
    EXPECT_EQ(targetCounter.count, 1);
    EXPECT_EQ(target.Orientation(), toBottomRight);  // kept
    EXPECT_EQ(target.LightColor(), clBlack);
    EXPECT_EQ(target.PosY(), 4);
    EXPECT_EQ(target.Angle(), 45);
}

TEST(CaptionObjects, SummaryTexts) {
    struct Case { TQCLThreeDStyle style; int angle; const char* text; } cases[] = {
        {tdNone, 0, "{Disabled}"},          {tdSunken, 0, "{sunken}"},
        {tdRaisedShadow, 0, "{raised shadow}"}, {tdPColorSunken, 0, "{PColor sunken}"},
        {tdExtrudeEnh, 0, "{extrude enh}"}, {tdSunken, 90, "{sunken, rot: 90\xB0}"},
        {tdNone, 270, "{ rot: 270\xB0}"},
    };
    for (const auto& c : cases) {
        TQCLFxCaption caption;
        caption.Style = c.style;
        caption.Angle = static_cast<uint16_t>(c.angle);
        EXPECT_EQ(caption.GetSetStr(), c.text);
    }
    TQCLGlyphTextLayout layout;
    EXPECT_EQ(layout.GetSetStr(), "");
}

TEST(LayoutObjects, DefaultsNotificationsAndAssign) {
    TQCLGlyphTextLayout plain;
    TQCLButtonLayout button;
    EXPECT_EQ(plain.Alignment(), agTopLeft);
    EXPECT_EQ(button.Alignment(), agCenter);
    EXPECT_EQ(button.AlignText2Glyph(), taRight);
    EXPECT_EQ(button.Spacing(), 2);
    EXPECT_EQ(button.ArrowIndent(), 3);
    EXPECT_EQ(button.ArrowSize(), 3);
    ChangeCounter counter;
    counter.watch(button);
    button.Spacing = 2;
    button.ArrowIndent = 3;
    EXPECT_EQ(counter.count, 0);
    button.SetInteger(4, 1);  // no such integer: notifies
    button.SetOffset(1, 6);
    EXPECT_EQ(counter.count, 2);

    TQCLButtonLayout source;
    source.Arrow = true;
    source.ArrowPosition = apLeftGlyph;
    source.OffsetX = 5;
    source.Alignment = agBottomRight;
    button.Assign(&source);
    EXPECT_EQ(counter.count, 3);  // once for all ten values
    EXPECT_TRUE(button.Arrow());
    EXPECT_EQ(button.ArrowPosition(), apLeftGlyph);
    EXPECT_EQ(button.OffsetX(), 5);
    EXPECT_EQ(button.OffsetY(), 0);
    EXPECT_EQ(button.Alignment(), agBottomRight);
    plain.Assign(&source);  // the layout part only
    EXPECT_EQ(plain.OffsetX(), 5);
}

}  // namespace
