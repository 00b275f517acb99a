// The animation control: frame sequences of every end-of-run style on
// synthetic ticks, the pool interval rule, Play and stepping rules, frame
// range setters, ticks of the threaded timer arriving on the UI thread, the
// frame over the control's colour or its parent's background, auto size, the
// timer thread's priority, frames clipped inside the bevel, the list's
// palette, and which new frames are painted at once.
#include "components/controls/QCLAniCtrl.h"
#include "components/controls/QCLCustomPanel.h"
#include "framework/Win32Handles.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class AniCtrlTest : public ControlsBaseTest {
protected:
    // An image list whose first item holds `frames` 8 x 8 pictures.
    TQCLImageList* frames(int count) {
        auto* list = new TQCLImageList(form);
        list->Add();
        TQCLImageListItem* item = list->GetArrayItem(0);
        item->SetWidth(8);
        item->SetHeight(8);
        for (int i = 0; i < count; ++i) {
            auto picture = filledBitmap(8, 8, static_cast<TColor>(0x101010 * (i + 1)));
            item->Add(picture.get(), nullptr);
        }
        return list;
    }
    TQCLAniCtrl* control(int frameCount) {
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(form);
        ani->SetBounds(10, 10, 20, 20);
        ani->SetImageList(frames(frameCount));
        return ani;
    }
};

// Frames shown after Play and each tick; "-" once stopped, "h" when hidden.
std::string run(TQCLAniCtrl* ani, int ticks) {
    std::string seen = std::to_string(ani->GetCurrentFrame());
    for (int i = 0; i < ticks; ++i) {
        ani->Tick(ani);
        seen += ani->GetAnimate() ? std::to_string(ani->GetCurrentFrame()) : (ani->GetVisible() ? "-" : "h");
    }
    return seen;
}

}  // namespace

TEST_F(AniCtrlTest, EndOfRunStylesOnSyntheticTicks) {
    struct Row {
        TQCLAnimationStyle style;
        uint8_t repetitions;
        bool reverse;
        const char* frames;
        int frameAfter;  // shown once stopped
    } rows[] = {
        {asLoop, 1, false, "012301230", 0},
        {asLoopReverse, 1, false, "012332100", 0},
        {asRepeat, 3, false, "012301230123-", 3},
        {asRepeatFirst, 1, false, "0123-", 0},
        {asRepeat, 1, true, "3210-", 0},
        {asRepeatHide, 1, false, "0123h", 3},
    };
    for (const Row& r : rows) {
        auto* ani = control(4);
        ani->SetAniStyle(r.style);
        ani->SetRepetitions(r.repetitions);
        ani->SetReverse(r.reverse);
        int starts = 0, stops = 0, animates = 0;
        ani->OnStart = [&](TObject*) { ++starts; };
        ani->OnStop = [&](TObject*) { ++stops; };
        ani->OnAnimate = [&](TObject*) { ++animates; };
        ani->Play();
        const std::string expected = r.frames;
        const std::string seen = run(ani, static_cast<int>(expected.size()) - 1);
        EXPECT_EQ(seen, expected) << int(r.style);
        EXPECT_EQ(starts, 1);
        if (!ani->GetAnimate()) {
            EXPECT_EQ(stops, 1) << int(r.style);
        }
        if (!ani->GetAnimate() || r.style == asLoop || r.style == asLoopReverse) ani->Stop();
        EXPECT_EQ(ani->GetCurrentFrame(), r.frameAfter) << int(r.style);
        EXPECT_GT(animates, 0);
        delete ani;
    }
    // asLoopHide loops until stopped and then hides.
    auto* hiding = control(3);
    hiding->SetAniStyle(asLoopHide);
    hiding->Play();
    EXPECT_EQ(run(hiding, 6), "0120120");
    hiding->Stop();
    EXPECT_FALSE(hiding->GetVisible());
}

TEST_F(AniCtrlTest, PoolIntervalIsRoundedOnlyWhenTheTimerIsSetUp) {
    auto* ani = control(3);
    TQCLTimerItem* timer = QCLApplication->GetTimer(ani->PoolTimerForTesting());
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 200);
    ani->SetInterval(130);
    ani->Play();
    EXPECT_EQ(timer->GetInterval(), 200) << "the pool ignores 130 later on";
    ani->Stop();
    ani->SetTimerMode(tmHiTimer);
    ani->SetTimerMode(tmGlobalTimer);
    timer = QCLApplication->GetTimer(ani->PoolTimerForTesting());
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->GetInterval(), 150);
}

TEST_F(AniCtrlTest, PlayStepAndFrameRangeRules) {
    auto* ani = control(5);
    EXPECT_EQ(ani->GetStartFrame(), 0);
    EXPECT_EQ(ani->GetStopFrame(), 4);

    // Range setters: out of range ignored; start above stop swaps the roles.
    ani->SetStartFrame(9);
    ani->SetStartFrame(-1);
    EXPECT_EQ(ani->GetStartFrame(), 0);
    ani->SetStopFrame(2);
    ani->SetStartFrame(4);
    EXPECT_EQ(ani->GetStartFrame(), 2);
    EXPECT_EQ(ani->GetStopFrame(), 4);

    // Stepping: Next stops at the last frame; Move works only while still.
    ani->First();
    EXPECT_EQ(ani->GetCurrentFrame(), 2);
    ani->Next();
    ani->Next();
    ani->Next();
    EXPECT_EQ(ani->GetCurrentFrame(), 4);
    ani->Prev();
    EXPECT_EQ(ani->GetCurrentFrame(), 3);
    ani->Move(1);
    EXPECT_EQ(ani->GetCurrentFrame(), 3) << "outside the range";
    ani->Play();
    ani->Move(4);
    EXPECT_EQ(ani->GetCurrentFrame(), 2) << "no stepping while animating";
    ani->Stop();

    // Play on an invisible control: nothing without MakeVisible, shown with it.
    ani->SetVisible(false);
    ani->SetMakeVisible(false);
    ani->Play();
    EXPECT_FALSE(ani->GetAnimate());
    EXPECT_FALSE(ani->GetVisible());
    ani->SetMakeVisible(true);
    ani->Play();
    EXPECT_TRUE(ani->GetAnimate());
    EXPECT_TRUE(ani->GetVisible());

    // Without a picture Play does nothing.
    auto* empty = new TQCLAniCtrl(form);
    empty->Play();
    EXPECT_FALSE(empty->GetAnimate());
}

TEST_F(AniCtrlTest, ThreadedTimerTicksArriveOnTheUserInterfaceThread) {
    form->Show();
    auto* ani = control(3);
    ani->SetTimerMode(tmThreaded);
    ani->SetInterval(20);
    std::vector<DWORD> threads;
    ani->OnAnimate = [&](TObject*) { threads.push_back(GetCurrentThreadId()); };
    ani->Play();
    ASSERT_TRUE(fwtest::pumpUntil([&] { return threads.size() >= 4; }));
    ani->Stop();
    for (DWORD id : threads) EXPECT_EQ(id, GetCurrentThreadId());
}

namespace {

// A frame of 16 x 16 white (its transparent colour, the bottom-left pixel)
// with a red 8 x 8 square in the middle.
TQCLImageList* cutOutFrames(TComponent* owner) {
    auto* list = new TQCLImageList(owner);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(16);
    item->SetHeight(16);
    auto picture = filledBitmap(16, 16, clWhite);
    picture->GetCanvas()->GetBrush()->SetColor(clRed);
    picture->GetCanvas()->FillRect(TRect(4, 4, 12, 12));
    item->Add(picture.get(), nullptr);
    return list;
}

// The frame's transparent pixels show what lies under the control: its own
// colour when opaque; when transparent, the parent's background taken into
// the off-screen bitmap, or whatever the target held when drawn directly
// (here blue, the control painted on its own).
TEST_F(AniCtrlTest, TransparentPixelsShowTheControlsColourOrTheParentsBackground) {
    struct Case {
        const char* what;
        bool transparent, useBitmap;
        TColor under;
    } cases[] = {
        {"opaque, off-screen", false, true, clLime},
        {"opaque, direct", false, false, clLime},
        {"transparent, off-screen", true, true, clYellow},
        {"transparent, direct", true, false, clBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* panel = new TQCLCustomPanelFill(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 80, 60);
        panel->GetFillObject()->SetStyle(sfBrush);
        panel->GetFillObject()->GetBrush()->SetColor(clYellow);
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(panel);
        ani->SetBounds(20, 20, 16, 16);
        ani->SetColor(clLime);
        ani->SetImageList(cutOutFrames(form));
        ani->SetUseBitmap(c.useBitmap);
        ani->SetTransparent(c.transparent);
        EXPECT_EQ(ani->BackgroundForTesting() != nullptr, c.transparent);
        panel->HandleNeeded();
        auto painted = paintControl(ani, clBlue);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 1, 1), c.under);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 8, 8), clRed);
        panel->Free();
    }
}

TEST_F(AniCtrlTest, AutoSizeTakesTheFramesSizeBeforePainting) {
    auto* ani = new TQCLAniCtrl(form);
    ani->SetParent(form);
    ani->SetBounds(10, 10, 50, 40);
    ani->SetImageList(cutOutFrames(form));
    ani->SetStyle(sbAutosize);
    paintControl(ani, clBtnFace);
    EXPECT_EQ(ani->GetWidth(), 16 + ani->DblBevelExt());
    EXPECT_EQ(ani->GetHeight(), 16 + ani->DblBevelExt());
    EXPECT_EQ(ani->GetLeft(), 10);
}

TEST_F(AniCtrlTest, TheHighResolutionTimerRunsAtTheChosenPriority) {
    auto* ani = control(3);
    ani->SetTimerMode(tmThreaded);
    ani->SetThreadPriority(tpHigher);
    ASSERT_NE(ani->HiTimerForTesting(), nullptr);
    ani->Play();
    EXPECT_EQ(ani->HiTimerForTesting()->GetThreadPriority(), tpHigher);
    ani->Stop();
}

}  // namespace

namespace {

// A 16 x 16 red frame whose transparent colour (its bottom-left pixel) is white.
TQCLImageList* redFrames(TComponent* owner) {
    auto* list = new TQCLImageList(owner);
    TQCLImageListItem* item = list->GetArrayItem(list->Add());
    item->SetWidth(16);
    item->SetHeight(16);
    auto picture = filledBitmap(16, 16, clRed);
    SetPixel(picture->GetCanvas()->GetHandle(), 0, 15, RGB(255, 255, 255));
    item->Add(picture.get(), nullptr);
    return list;
}

// A frame as large as the whole control starts inside the bevel: whichever
// way it is drawn, it is cut at the bevel and never paints over it.
TEST_F(AniCtrlTest, FramesAreClippedToTheRectangleInsideTheBevel) {
    struct Case {
        const char* what;
        TQCLBitmapStyle style;
        bool forceTransparent, useBitmap;
    } cases[] = {
        {"direct, natural size", sbNone, false, true},
        {"direct, tiled", sbTile, false, true},
        {"direct, cut out", sbNone, true, false},
        {"off-screen, cut out", sbNone, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(form);
        ani->SetBounds(10, 10, 16, 16);
        ani->GetBevel()->SetStyleOuter(TQCLBevelStyle::bvRaised);
        ani->GetBevel()->SetWidthOuter(2);
        ASSERT_GT(ani->BevelExt(), 0);
        ani->SetImageList(redFrames(form));
        ani->SetStyle(c.style);
        ani->SetBool(0, c.forceTransparent);
        ani->SetUseBitmap(c.useBitmap);
        auto painted = paintControl(ani, clBlue);
        EXPECT_EQ(fwtest::pixelOf(painted.get(), 8, 8), clRed);
        EXPECT_NE(fwtest::pixelOf(painted.get(), 15, 15), clRed) << "the bevel's corner";
        EXPECT_NE(fwtest::pixelOf(painted.get(), 15, 4), clRed) << "the bevel's right edge";
        delete ani;
    }
}

// A list whose pictures carry a palette, as 8-bit pictures would.
class PalettedList : public TQCLImageList {
public:
    using TQCLImageList::TQCLImageList;
    HPALETTE palette = nullptr;
    HPALETTE Palette(int) override { return palette; }
};

// Unless QuickDraw, the list's palette is realised in the target before the
// frame is put there, drawn directly or through the off-screen bitmap.
TEST_F(AniCtrlTest, TheListsPaletteIsRealisedUnlessQuickDraw) {
    LOGPALETTE log{0x300, 1, {{255, 0, 0, 0}}};
    win32::PaletteHandle palette(CreatePalette(&log));
    struct Case {
        bool quickDraw, useBitmap, realised;
    } cases[] = {{false, true, true}, {false, false, true}, {true, true, false}, {true, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.quickDraw ? "quick" : "palette") + (c.useBitmap ? ", off-screen" : ", direct"));
        auto* list = new PalettedList(form);
        TQCLImageListItem* item = list->GetArrayItem(list->Add());
        item->SetWidth(8);
        item->SetHeight(8);
        item->Add(filledBitmap(8, 8, clRed).get(), nullptr);
        list->palette = palette.get();
        auto* ani = new TQCLAniCtrl(form);
        ani->SetParent(form);
        ani->SetBounds(0, 0, 8, 8);
        ani->SetImageList(list);
        ani->SetQuickDraw(c.quickDraw);
        ani->SetUseBitmap(c.useBitmap);
        EXPECT_EQ(ani->GetPalette(), palette.get());
        auto target = filledBitmap(8, 8, clWhite);
        HDC dc = target->GetCanvas()->GetHandle();
        ani->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL) == palette.get(), c.realised);
        SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
        delete ani;
        list->Free();
    }
}

}  // namespace

namespace {

// A new frame of an opaque control, or of one drawing off-screen, is on the
// screen at once; a transparent one drawn directly waits for the parent's
// next repaint.
TEST_F(AniCtrlTest, OpaqueOrOffScreenFramesArePaintedAtOnce) {
    struct Case {
        const char* what;
        bool transparent, useBitmap, waits;
    } cases[] = {
        {"opaque", false, false, false},
        {"transparent, off-screen", true, true, false},
        {"transparent, direct", true, false, true},
    };
    form->Show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* ani = control(3);
        ani->SetTransparent(c.transparent);
        ani->SetUseBitmap(c.useBitmap);
        fwtest::pumpIdle();
        ValidateRect(form->GetHandle(), nullptr);
        ani->Next();
        EXPECT_EQ(ani->GetCurrentFrame(), 1);
        EXPECT_EQ(GetUpdateRect(form->GetHandle(), nullptr, FALSE) != FALSE, c.waits);
        delete ani;
    }
}

}  // namespace
