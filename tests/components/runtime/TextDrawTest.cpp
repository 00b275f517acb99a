// 3D text, measuring, alignment, caption-and-glyph layout and button faces.
// Text pixels are compared between drawings on the same raster font, so the
// tests hold whatever font the system substitutes.
#include "components/runtime/QCL3DCaption.h"
#include "components/runtime/QCLGlyphTextLayout.h"
#include "components/runtime/Qclutils.h"

#include "tests/components/runtime/DrawingTestSupport.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace {

class TextDraw : public DrawingTest {};

const COLORREF White = RGB(255, 255, 255), Black = RGB(0, 0, 0), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);
const TRect Area(3, 2, 80, 20);

std::unique_ptr<TBitmap> canvasWithText(TColor fontColour) {
    auto bmp = makeBitmap(90, 24, clWhite);
    bmp->GetCanvas()->GetFont()->SetName("MS Sans Serif");
    bmp->GetCanvas()->GetFont()->SetColor(fontColour);
    return bmp;
}

// The text drawn plainly at the rectangle moved by (dx, dy): the pixels it sets.
std::vector<bool> plainText(const AnsiString& text, int dx, int dy) {
    auto bmp = canvasWithText(clBlack);
    QCLDrawTextExt(bmp->GetCanvas(), text, nullptr, TRect(Area.Left + dx, Area.Top + dy, Area.Right, Area.Bottom),
                   DT_NOPREFIX, {dtEnabled}, nullptr);
    std::vector<bool> set;
    for (COLORREF p : pixels(bmp.get())) set.push_back(p == Black);
    return set;
}

TEST_F(TextDraw, SunkenTitleIsTheTextOverItsLightCopyMovedByOne) {
    TQCL3DCaption caption;
    caption.Style = tdSunken;
    caption.LightColor = clBlack;
    caption.ShadowColor = clBlack;
    auto bmp = canvasWithText(clRed);
    QCLDrawTextExt(bmp->GetCanvas(), "Brimsafe Vault", &caption, Area, DT_NOPREFIX, {dtEnabled}, nullptr);
    const auto text = plainText("Brimsafe Vault", 0, 0), light = plainText("Brimsafe Vault", 1, 1);
    const auto drawn = pixels(bmp.get());
    int shadowOnly = 0;
    for (size_t i = 0; i < drawn.size(); ++i) {
        const COLORREF expected = text[i] ? Red : light[i] ? Black : White;
        ASSERT_EQ(drawn[i], expected) << "pixel " << i % 90 << "," << i / 90;
        shadowOnly += !text[i] && light[i];
    }
    EXPECT_GT(shadowOnly, 0);
}

TEST_F(TextDraw, DisabledStylesChooseColourAndEffect) {
    // tdRaised: the light copy at the start, the text one pixel further.
    struct Case { TQCLDisabledStyle disabled; TQCLDrawTextStyles state; bool grey, lightCopy; } cases[] = {
        {dsAuto, {dtEnabled}, false, true},
        {dsAuto, {}, true, true},               // own style, grey
        {dsAuto, {dt3DDisabled}, true, true},   // sunken, grey
        {dsStandard, {dt3DDisabled}, true, true},
        {ds3d, {}, true, true},
        {dsNone, {}, false, true},              // drawn as enabled
    };
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    for (const auto& c : cases) {
        TQCL3DCaption caption;
        caption.Style = tdRaised;
        caption.LightColor = clBlue;
        caption.DisabledStyle = c.disabled;
        auto bmp = canvasWithText(clRed);
        QCLDrawTextExt(bmp->GetCanvas(), "Wave", &caption, Area, DT_NOPREFIX, c.state, nullptr);
        EXPECT_EQ(countOf(bmp.get(), grey) > 0, c.grey) << int(c.disabled);
        EXPECT_EQ(countOf(bmp.get(), Red) > 0, !c.grey) << int(c.disabled);
        EXPECT_EQ(countOf(bmp.get(), Blue) > 0, c.lightCopy) << int(c.disabled);
    }
    // dsAuto with dt3DDisabled draws sunken: the light copy lies below right of the grey text.
    TQCL3DCaption caption;
    caption.Style = tdRaised;
    caption.LightColor = clBlue;
    auto sunken = canvasWithText(clRed);
    QCLDrawTextExt(sunken->GetCanvas(), "Wave", &caption, Area, DT_NOPREFIX, {dt3DDisabled}, nullptr);
    EXPECT_EQ(boxOf(sunken.get(), Blue).Right, boxOf(sunken.get(), GetSysColor(COLOR_GRAYTEXT)).Right + 1);
    auto raised = canvasWithText(clRed);
    QCLDrawTextExt(raised->GetCanvas(), "Wave", &caption, Area, DT_NOPREFIX, {}, nullptr);
    EXPECT_EQ(boxOf(raised.get(), Blue).Left + 1, boxOf(raised.get(), GetSysColor(COLOR_GRAYTEXT)).Left);
}

TEST_F(TextDraw, EmptyTextDrawsNothingAndClipAndCharacterExtraAreReset) {
    TQCL3DCaption caption;
    caption.Style = tdShadow;
    caption.Tracing = 3;
    auto bmp = canvasWithText(clRed);
    QCLDrawTextExt(bmp->GetCanvas(), "", &caption, Area, 0, {dtEnabled, dtClip}, nullptr);
    QCLDrawTextExt(bmp->GetCanvas(), "x", &caption, TRect(5, 5, 5, 20), 0, {dtEnabled}, nullptr);
    EXPECT_EQ(countOf(bmp.get(), White), 90 * 24);

    const TRect clip(3, 2, 12, 20);
    QCLDrawTextExt(bmp->GetCanvas(), "WWWWWWWW", &caption, Area, DT_NOPREFIX, {dtEnabled, dtClip}, &clip);
    EXPECT_GT(countOf(bmp.get(), Red), 0);
    EXPECT_LE(boxOf(bmp.get(), Red).Right, 12);
    HDC dc = bmp->GetCanvas()->GetHandle();
    EXPECT_EQ(GetTextCharacterExtra(dc), 0);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, probe), 0);  // removed, not restored
    DeleteObject(probe);
}

TEST_F(TextDraw, MeasuresAddTheMarginAndThe3DExtra) {
    TFont font;
    TRect space(0, 0, 100, 0);
    QCLDrawTextCalc(" ", nullptr, space, &font, false, false, 0, 0);
    struct Case { AnsiString text; TQCLThreeDStyle style; int margin; bool accel; int extra; } cases[] = {
        {"", tdNone, 0, false, 0}, {"", tdNone, 3, false, 6}, {"&", tdNone, 0, true, 0},
        {" ", tdSunken, 0, false, 1}, {" ", tdSunkenShadow, 0, false, 2}, {" ", tdOutline, 1, false, 3},
    };
    for (const auto& c : cases) {
        TQCL3DCaption caption;
        caption.Style = c.style;
        TRect r(0, 0, 100, 0);
        QCLDrawTextCalc(c.text, &caption, r, &font, false, c.accel, c.margin, 0);
        EXPECT_EQ(r.Width(), space.Width() + c.extra) << c.text << int(c.style);
        EXPECT_EQ(r.Height(), space.Height() + c.extra) << c.text << int(c.style);
    }
    EXPECT_EQ(QCLAlignRect(agBottomRight, TRect(0, 0, 10, 10), TRect(0, 0, 30, 20)), TRect(20, 10, 30, 20));
    EXPECT_EQ(QCLAlignRect(agCenter, TRect(0, 0, 10, 10), TRect(5, 5, 30, 20)), TRect(12, 7, 22, 17));
    EXPECT_EQ(QCLAlignRect(agTopLeft, TRect(4, 4, 10, 10), TRect(5, 5, 30, 20)), TRect(5, 5, 11, 11));
    EXPECT_GT(QCLGetFontHeight(&font), 0);
    TQCL3DCaption sunken;
    sunken.Style = tdSunken;
    sunken.LightDepth = 2;
    EXPECT_EQ(QCLGet3DTextHeight(&sunken, &font), QCLGetFontHeight(&font) + 2);
    EXPECT_EQ(QCLGet3DTextWidth("ab", nullptr, &font), 0);
}

TEST_F(TextDraw, RotatedPositionsStayOnTheControl) {
    // Every angle, style and depth: the start of the rotated text lies in
    // its box and never wraps round to about 65535.
    TFont font;
    for (TQCLThreeDStyle style : {tdNone, tdSunken, tdShadow, tdExtrude})
        for (int depth : {1, 7, 40})
            for (const char* text : {"W", "Wide text"})
                for (int angle = 1; angle < 360; angle += 7) {
                    TQCLFxCaption caption;
                    caption.Style = style;
                    caption.ShadowDepth = static_cast<uint8_t>(depth);
                    caption.LightDepth = static_cast<uint8_t>(depth);
                    caption.Angle = static_cast<uint16_t>(angle);
                    TRect r(0, 0, 0, 0);
                    QCLDrawTextCalc(text, &caption, r, &font, false, false, 0, 0);
                    ASSERT_LE(caption.PosX(), r.Right) << angle << " " << depth << " " << int(style);
                    ASSERT_LE(caption.PosY(), r.Bottom) << angle << " " << depth << " " << int(style);
                }
    EXPECT_EQ(QCLClampTextPos(-1), 0);
    EXPECT_EQ(QCLClampTextPos(17), 17);
    EXPECT_EQ(QCLClampTextPos(70000), 0xFFFF);
    TQCLFxCaption flat;
    flat.SetPosXY(5, 6);
    TRect r(0, 0, 100, 0);
    QCLDrawTextCalc("x", &flat, r, &font, false, false, 0, 0);
    EXPECT_EQ(flat.PosX(), 0);
    EXPECT_EQ(flat.PosY(), 0);
}

TEST_F(TextDraw, RotatedCaptionKeepsItsFontOnTheCanvas) {
    TQCLFxCaption caption;
    caption.Style = tdNone;
    caption.Angle = 90;
    auto bmp = makeBitmap(60, 60, clWhite);
    bmp->GetCanvas()->GetFont()->SetName("Arial");
    bmp->GetCanvas()->GetFont()->SetColor(clRed);
    QCLDrawTextExt(bmp->GetCanvas(), "Wide", &caption, TRect(20, 50, 60, 60), 0, {dtEnabled}, nullptr);
    const TRect box = boxOf(bmp.get(), Red);
    EXPECT_GT(box.Height(), box.Width());  // drawn upwards
    LOGFONTA lf = {};
    GetObjectA(bmp->GetCanvas()->GetFont()->GetHandle(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfEscapement, 900);
}

// Text "Ab" and a 16 x 12 glyph, auto-sized so the boxes stay relative to (0, 0).
TEST_F(TextDraw, GlyphArrangementsAndCalculateMode) {
    TFont font;
    TRect measured(0, 0, 100, 0);
    QCLDrawTextCalc("Ab", nullptr, measured, &font, false, false, 0, 0);
    const int tw = measured.Width(), th = measured.Height(), gw = 16, gh = 12, s = 2;
    const int h = std::max(th, gh), w = std::max(tw, gw);
    struct Case { TQCLTextArrange how; TPoint text, glyph; } cases[] = {
        {taLeft, {0, (h - th) / 2}, {tw + s, (h - gh) / 2}},
        {taLeftTop, {0, (h - th) / 2}, {tw + s, 0}},
        {taRight, {gw + s, (h - th) / 2}, {0, (h - gh) / 2}},
        {taRightTop, {gw + s, (h - th) / 2}, {0, 0}},
        {taTop, {(w - tw) / 2, 0}, {(w - gw) / 2, th + s}},
        {taTopLeft, {(w - tw) / 2, 0}, {0, th + s}},
        {taBottom, {(w - tw) / 2, gh + s}, {(w - gw) / 2, 0}},
        {taBottomLeft, {(w - tw) / 2, gh + s}, {0, 0}},
    };
    auto glyph = makeBitmap(gw, gh, clBlue);
    for (const auto& c : cases) {
        TQCLGlyphTextLayout layout;
        layout.AlignText2Glyph = c.how;
        auto bmp = makeBitmap(100, 60, clWhite);
        bmp->GetCanvas()->GetFont()->Assign(&font);
        TRect focus(0, 0, gw, gh);
        const TQCLTextGlyphRects r = QCLDrawTextAndGlyphExt(
            bmp->GetCanvas(), "Ab", nullptr, TRect(0, 0, 100, 60), glyph->GetCanvas(), focus, nullptr, clNone, &layout,
            false, false, false, {dtEnabled, dtAutoSize, dtCalculate}, 0);
        EXPECT_EQ(r.Text, Bounds(c.text.x, c.text.y, tw, th)) << int(c.how);
        EXPECT_EQ(r.Glyph, Bounds(c.glyph.x, c.glyph.y, gw, gh)) << int(c.how);
        const TRect both = r.Union;
        EXPECT_EQ(focus, TRect(both.Left - 2, both.Top - 2, both.Right + 2, both.Bottom + 2)) << int(c.how);
        EXPECT_TRUE(r.Unused.IsEmpty());
        EXPECT_EQ(countOf(bmp.get(), White), 6000) << "calculating draws nothing";
    }
    // Drawn and centred: the glyph lands in its box.
    TQCLGlyphTextLayout centred;
    centred.Alignment = agCenter;
    auto bmp = makeBitmap(100, 60, clWhite);
    bmp->GetCanvas()->GetFont()->Assign(&font);
    const TQCLTextGlyphRects r = QCLDrawTextAndGlyph(bmp->GetCanvas(), "Ab", nullptr, TRect(0, 0, 100, 60), glyph.get(),
                                                     nullptr, &centred, false, false, false, {dtEnabled}, 0);
    EXPECT_EQ(boxOf(bmp.get(), Blue), r.Glyph);
    EXPECT_LE(std::abs(r.Glyph.Left - (100 - r.Union.Width()) / 2), 1);  // the block is centred
}

TEST_F(TextDraw, ButtonFaceContentRectangles) {
    struct Case { TQCLUserButtonStyle style; TQCLButtonState state; std::uint16_t flags; TRect content; } cases[] = {
        {ubsWin40, bsUp, 0x04, {3, 3, 37, 17}},
        {ubsWin40, bsDown, 0x04, {4, 4, 38, 18}},
        {ubsWin40, bsUp, 0x00, {3, 3, 37, 17}},
        {ubsWin40, bsUp, 0x20, {4, 4, 36, 16}},   // outer frame first
        {ubsWin40, bsDown, 0x20, {4, 4, 38, 18}},  // no outer frame when down
        {ubsWin31, bsUp, 0x00, {4, 4, 36, 16}},
        {ubsWin31, bsOptionSet, 0x00, {5, 5, 37, 17}},
        {ubsFlat, bsMouseOver, 0x00, {3, 3, 37, 17}},
        {ubsDelphi, bsUp, 0x00, {3, 3, 37, 17}},
        {ubsIntegrated, bsDropDownOpen, 0x00, {4, 4, 38, 18}},
        {ubsExplorer, bsUp, 0x00, {3, 3, 37, 17}},
    };
    for (const auto& c : cases) {
        auto bmp = makeBitmap(40, 20, clRed);
        TRect r(0, 0, 40, 20);
        EXPECT_TRUE(QCLDrawBtnFace(bmp->GetCanvas(), false, r, c.style, c.state, c.flags, clBtnFace));
        EXPECT_EQ(r, c.content) << int(c.style) << "/" << int(c.state) << "/" << c.flags;
        if (c.style != ubsExplorer) EXPECT_EQ(pixel(bmp.get(), 20, 10), GetSysColor(COLOR_BTNFACE)) << int(c.style);
        else EXPECT_EQ(pixel(bmp.get(), 20, 10), Red);
    }
    EXPECT_TRUE(QCLDrawBtnIsFlat(ubsNavigator));
    EXPECT_FALSE(QCLDrawBtnIsFlat(ubsDelphi));
}

}  // namespace
