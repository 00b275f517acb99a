// The meters: the value model as a table of operations, the bar geometry
// per direction, the block settings and the redraw threshold, and pixels of
// solid, block, owner-drawn and gradient bars painted into small bitmaps.
#include "components/controls/QCLProgress.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <functional>
#include <string>

using namespace ctltest;

namespace {

class TCountingProgress : public TQCLProgress {
public:
    using TQCLProgress::TQCLProgress;
    void DrawBar(TCanvas* Canvas, const TRect& Dest, const TRect& NotDest, const TRect& ARect) override {
        ++bars;
        TQCLProgress::DrawBar(Canvas, Dest, NotDest, ARect);
    }
    int bars = 0;
};

TQCLProgress* solidBar(TWinControl* parent, int width, int height) {
    auto* meter = new TQCLProgress(parent);
    meter->SetParent(parent);
    meter->SetStyle(pgBar);
    meter->SetBarColor(clRed);
    meter->SetColor(clWhite);
    meter->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvNone);
    meter->SetBounds(0, 0, width, height);
    return meter;
}

}  // namespace

using MeterTest = ControlsBaseTest;

TEST_F(MeterTest, ValueModelOperations) {
    struct Case {
        const char* name;
        std::function<void(TQCLProgress*)> run;
        int min, max, user, position;
    } cases[] = {
        {"maximum below the minimum swaps the roles", [](TQCLProgress* m) { m->SetUserValue(50); m->SetMaxValue(-10); },
         -10, 0, 0, 100},
        {"minimum above the maximum", [](TQCLProgress* m) { m->SetUserValue(50); m->SetMinValue(200); }, 100, 200, 100, 0},
        {"maximum equal to the minimum is refused", [](TQCLProgress* m) { m->SetUserValue(50); m->SetMaxValue(0); }, 0,
         100, 50, 50},
        {"user value outside the range is ignored", [](TQCLProgress* m) { m->SetUserValue(30); m->SetUserValue(101); },
         0, 100, 30, 30},
        {"position above 100 is clamped", [](TQCLProgress* m) { m->SetMaxValue(3); m->SetPercentValue(250); }, 0, 3, 3,
         100},
        {"1 of 3 is 33 %", [](TQCLProgress* m) { m->SetMaxValue(3); m->SetUserValue(1); }, 0, 3, 1, 33},
        {"2 of 3 is 67 %", [](TQCLProgress* m) { m->SetMaxValue(3); m->SetUserValue(2); }, 0, 3, 2, 67},
        {"50 % of 3 is 2 (1.5 to even)", [](TQCLProgress* m) { m->SetMaxValue(3); m->SetPercentValue(50); }, 0, 3, 2,
         50},
        {"50 % of 5 is 2 (2.5 to even)", [](TQCLProgress* m) { m->SetMaxValue(5); m->SetPercentValue(50); }, 0, 5, 2,
         50},
        {"1 of 8 is 12 % (12.5 to even)", [](TQCLProgress* m) { m->SetMaxValue(8); m->SetUserValue(1); }, 0, 8, 1, 12},
        {"3 of 8 is 38 % (37.5 to even)", [](TQCLProgress* m) { m->SetMaxValue(8); m->SetUserValue(3); }, 0, 8, 3, 38},
        {"negative range", [](TQCLProgress* m) { m->SetMinValue(-200); m->SetMaxValue(-100); m->SetUserValue(-150); },
         -200, -100, -150, 50},
        {"sub past zero stops at 0", [](TQCLProgress* m) { m->SetPercentValue(4); m->StepSub(); }, 0, 100, 4, 0},
        {"add moves the position only", [](TQCLProgress* m) { m->SetPercentValue(95); m->StepAdd(); }, 0, 100, 95, 100},
        {"add 0 does nothing", [](TQCLProgress* m) { m->SetPercentValue(20); m->Add(0); }, 0, 100, 20, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* meter = new TQCLProgress(form);
        c.run(meter);
        EXPECT_EQ(meter->GetMinValue(), c.min);
        EXPECT_EQ(meter->GetMaxValue(), c.max);
        EXPECT_EQ(meter->GetUserValue(), c.user);
        EXPECT_EQ(meter->GetPosition(), c.position);
        meter->Free();
    }
}

TEST_F(MeterTest, BarGeometryByDirection) {
    struct Case {
        TQCLMeterDirection direction;
        int position;
        TRect dest, notDest;
    } cases[] = {
        {mdHorizontal, 37, TRect(0, 0, 37, 20), TRect(37, 0, 100, 20)},
        {mdVertical, 37, TRect(0, 0, 100, 7), TRect(0, 7, 100, 20)},
        {mdHorizontalReverse, 37, TRect(63, 0, 100, 20), TRect(0, 0, 63, 20)},
        {mdVerticalReverse, 37, TRect(0, 13, 100, 20), TRect(0, 0, 100, 13)},
        {mdHorizontal, 0, TRect(0, 0, 0, 20), TRect(0, 0, 100, 20)},
        {mdHorizontal, 100, TRect(0, 0, 100, 20), TRect(0, 0, 0, 0)},
        {mdVerticalReverse, 100, TRect(0, 0, 100, 20), TRect(0, 0, 0, 0)},
    };
    auto* meter = new TQCLProgress(form);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.direction) + " at " + std::to_string(c.position));
        meter->SetDirection(c.direction);
        meter->SetPercentValue(c.position);
        TRect dest, notDest;
        meter->BarRects(100, 20, dest, notDest);
        EXPECT_EQ(dest, c.dest);
        if (c.notDest.IsEmpty()) EXPECT_TRUE(notDest.IsEmpty());
        else EXPECT_EQ(notDest, c.notDest);
    }
}

TEST_F(MeterTest, BlockSettingsThresholdAndAutoSize) {
    TQCLSmallBar bar;
    EXPECT_EQ(bar.GetBarExtend(mdHorizontal, 100, 20), 7);
    EXPECT_EQ(bar.GetBarExtend(mdVerticalReverse, 100, 50), 2);
    int changes = 0;
    bar.OnChange = [&](TObject*) { ++changes; };
    bar.SetBarCount(0);
    EXPECT_EQ(bar.GetBarCount(), 10) << "0 blocks refused";
    EXPECT_EQ(changes, 0);
    bar.SetBarCount(4);
    EXPECT_EQ(changes, 1);

    struct Case {
        TQCLProgressStyle style;
        TQCLMeterTextOptions text;
        int barCount;
        int delta;
    } cases[] = {
        {pgSmallBar, toNoText, 10, 5}, {pgSmallBarColor, toCaption, 4, 12}, {pgSmallBar, toPercent, 10, 1},
        {pgBar, toNoText, 10, 1},      {pgSmallBar, toNoText, 255, 0},
    };
    for (const Case& c : cases) {
        auto* meter = new TQCLProgress(form);
        EXPECT_EQ(meter->GetDelta(), 5);
        meter->SetTextOptions(c.text);
        meter->GetSmallBar()->SetBarCount(static_cast<std::uint8_t>(c.barCount));
        meter->SetStyle(c.style);
        EXPECT_EQ(meter->GetDelta(), c.delta) << c.style << " " << c.text << " " << c.barCount;
        meter->Free();
    }

    // Auto size of blocks: whole blocks plus spaces plus the bevel on both sides.
    auto* blocks = new TQCLProgress(form);
    blocks->SetParent(form);
    ASSERT_EQ(blocks->BevelExt(), 1);
    paintControl(blocks, clWhite);
    EXPECT_EQ(blocks->GetWidth(), (4 + 3) * 10 + 3 + 2) << "80 wide: blocks of (78 - 30) / 10 = 4";
    blocks->SetAlign(alBottom);
    int aligned = blocks->GetWidth();
    paintControl(blocks, clWhite);
    EXPECT_EQ(blocks->GetWidth(), aligned) << "an aligned meter keeps its size";
}

TEST_F(MeterTest, SolidBarAndTwoColourCaption) {
    auto* meter = solidBar(form, 100, 20);
    meter->SetDelta(5);
    meter->SetPercentValue(3);
    auto small = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(small.get(), TRect(0, 0, 3, 20), clRed), 3 * 20) << "a paint draws even a small value";

    meter->SetPercentValue(50);
    auto plain = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(plain.get(), TRect(0, 0, 50, 20), clRed), 50 * 20);
    EXPECT_EQ(countPixels(plain.get(), TRect(50, 0, 100, 20), clWhite), 50 * 20);

    // "50%" centred: white over the bar, red over the rest.
    meter->GetFont()->SetName("Arial");
    meter->GetFont()->SetHeight(-14);
    meter->GetFont()->SetStyle({fsBold});
    meter->GetFont()->SetColor(clBlack);
    meter->SetTextOptions(toPercent);
    auto caption = paintControl(meter, clBlack);
    EXPECT_GT(countPixels(caption.get(), TRect(0, 0, 50, 20), clWhite), 5);
    EXPECT_GT(countPixels(caption.get(), TRect(50, 0, 100, 20), clRed), 5);
    EXPECT_EQ(countPixels(caption.get(), TRect(0, 0, 100, 20), clBlack), 0) << "no font colour without UseFontColor";
    meter->SetUseFontColor(true);
    auto fontColour = paintControl(meter, clBlack);
    EXPECT_GT(countPixels(fontColour.get(), TRect(0, 0, 100, 20), clBlack), 10);

    // Reversed: from the right edge.
    meter->SetTextOptions(toNoText);
    meter->SetDirection(mdHorizontalReverse);
    meter->SetPercentValue(25);
    auto reversed = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(reversed.get(), TRect(75, 0, 100, 20), clRed), 25 * 20);
    EXPECT_EQ(countPixels(reversed.get(), TRect(0, 0, 75, 20), clWhite), 75 * 20);

    // The bar colour is kept in every style and shows when pgBar returns.
    meter->GetSmallBar()->SetAutoSize(false);
    meter->SetStyle(pgSmallBar);
    meter->SetBarColor(clBlue);
    EXPECT_EQ(meter->GetBarColor(), clBlue);
    meter->SetStyle(pgBar);
    auto blue = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(blue.get(), TRect(75, 0, 100, 20), clBlue), 25 * 20);
}

TEST_F(MeterTest, BlocksOwnerDrawAndColourEvent) {
    auto* meter = new TQCLProgress(form);
    meter->SetParent(form);
    meter->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvNone);
    meter->SetColor(clWhite);
    meter->GetSmallBar()->SetBarColor(clGreen);
    meter->SetBounds(0, 0, 73, 16);  // 10 blocks of 4 with spaces of 3
    meter->SetPercentValue(30);
    auto blocks = paintControl(meter, clBlack);
    ASSERT_EQ(meter->GetWidth(), 73);
    // Blocks 0-2 at x 3-6, 10-13, 17-20; rows 3-12.
    EXPECT_EQ(countPixels(blocks.get(), TRect(0, 0, 73, 16), clGreen), 3 * 4 * 10);
    EXPECT_EQ(fwtest::pixelOf(blocks.get(), 3, 3), clGreen);
    EXPECT_EQ(fwtest::pixelOf(blocks.get(), 7, 3), clWhite);
    EXPECT_EQ(fwtest::pixelOf(blocks.get(), 20, 12), clGreen);
    EXPECT_EQ(fwtest::pixelOf(blocks.get(), 20, 13), clWhite);

    meter->SetStyle(pgSmallBarColor);
    meter->OnGetColor = [](TObject*, std::uint8_t nr, TColor& color) { color = nr % 2 ? clRed : color; };
    auto coloured = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(coloured.get(), TRect(0, 0, 73, 16), clGreen), 2 * 4 * 10);
    EXPECT_EQ(countPixels(coloured.get(), TRect(0, 0, 73, 16), clRed), 4 * 10);

    meter->SetStyle(pgOwnerDraw);
    auto bare = paintControl(meter, clBlack);
    EXPECT_EQ(countPixels(bare.get(), TRect(0, 0, 73, 16), clWhite), 73 * 16) << "no OnPaint: background only";
    TRect seen;
    meter->OnPaint = [&](TObject*, TCanvas* canvas, const TRect& dest, const TRect&, const TRect&) {
        seen = dest;
        canvas->GetBrush()->SetColor(clFuchsia);
        canvas->FillRect(dest);
    };
    auto owned = paintControl(meter, clBlack);
    EXPECT_EQ(seen, TRect(0, 0, 21, 16));
    EXPECT_EQ(countPixels(owned.get(), TRect(0, 0, 73, 16), clFuchsia), 21 * 16);
}

TEST_F(MeterTest, RedrawThresholdOnTheRealWindow) {
    auto* meter = new TCountingProgress(form);
    meter->SetParent(form);
    meter->SetBounds(10, 10, 100, 20);
    fwtest::pumpIdle();
    ASSERT_EQ(meter->GetDelta(), 5);
    struct Step {
        TQCLMeterTextOptions text;
        int position;
        bool drawn;
    } steps[] = {
        {toNoText, 40, true}, {toNoText, 44, false}, {toNoText, 45, true}, {toNoText, 0, true},
        {toPercent, 1, true}, {toPercent, 2, true},  {toNoText, 3, false},
    };
    for (const Step& s : steps) {
        if (s.text != meter->GetOptionsText()) {
            meter->SetTextOptions(s.text);  // repaints, drawing the current value
            fwtest::pumpIdle();
        }
        int before = meter->bars;
        meter->SetPercentValue(s.position);
        EXPECT_EQ(meter->bars - before, s.drawn ? 1 : 0) << s.text << " " << s.position;
    }
}

TEST_F(MeterTest, GradientFillOfTheFileJobMeter) {
    auto* meter = new TQCLProgressFill(form);
    meter->SetParent(form);
    meter->SetColor(clWhite);
    meter->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvNone);
    meter->SetBack(static_cast<TColor>(0xEFFBFC));
    TQCLFillObject* fill = meter->GetFillObject();
    fill->SetStyle(sfGradient);
    fill->GetGradient()->SetColor(clSilver);
    fill->GetGradient()->SetEndColor(static_cast<TColor>(0x733F25));
    fill->GetGradient()->SetStyle(gstHorizontal);
    meter->SetBounds(0, 0, 100, 10);
    meter->SetPercentValue(50);
    auto bitmap = paintControl(meter, clBlack);
    EXPECT_TRUE(fwtest::closeTo(fwtest::pixelOf(bitmap.get(), 0, 5), clSilver, 12));
    EXPECT_TRUE(fwtest::closeTo(fwtest::pixelOf(bitmap.get(), 49, 5), static_cast<TColor>(0x733F25), 24));
    EXPECT_EQ(countPixels(bitmap.get(), TRect(50, 0, 100, 10), clWhite), 50 * 10);
}
