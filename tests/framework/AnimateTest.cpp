// The animation control: a clip from a resource or a file, its header read,
// one frame shown by Seek, and a play reported by OnStart and OnStop.
#include <gtest/gtest.h>

#include "tests/framework/ControlsFixture.h"
#include "tests/support/TempFolder.h"

namespace {

using fwtest::ControlsTest;
using fwtest::pixelOf;

class AnimateTest : public ControlsTest {
protected:
    TAnimate* makeAnimate() {
        auto* animate = new TAnimate(form);
        animate->Transparent = false;
        animate->SetBounds(10, 10, 40, 20);
        animate->Parent = form;
        return animate;
    }
};

TEST_F(AnimateTest, ResourceClipShowsTheFrameItSeeks) {
    TAnimate* animate = makeAnimate();
    int opened = 0;
    animate->OnOpen = [&](TObject*) { ++opened; };
    animate->ResId = 300;
    EXPECT_TRUE(animate->Open());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(animate->FrameCount(), 3);
    EXPECT_EQ(animate->FrameWidth(), 16);
    EXPECT_EQ(animate->FrameHeight(), 8);
    const TColor frames[] = {clRed, clLime, clBlue};
    for (int frame = 1; frame <= 3; ++frame) {
        animate->Seek(frame);
        fwtest::pumpIdle();
        auto bitmap = fwtest::paintOf(animate);
        EXPECT_EQ(pixelOf(bitmap.get(), 20, 10), frames[frame - 1]) << "frame " << frame << ", centred";
    }
    EXPECT_THROW(animate->ResId = 999, EInvalidOperation);
}

TEST_F(AnimateTest, FileClipPlaysOnceWithStartAndStop) {
    brimtest::TempFolder temp;
    TResourceStream clip(GetModuleHandleA(nullptr), 300, "AVI");
    clip.SaveToFile(temp.file("clip.avi"));
    TAnimate* animate = makeAnimate();
    int starts = 0, stops = 0;
    animate->OnStart = [&](TObject*) { ++starts; };
    animate->OnStop = [&](TObject*) { ++stops; };
    animate->FileName = temp.file("clip.avi");
    EXPECT_EQ(animate->FrameCount(), 3);
    animate->Play(1, 3, 1);
    EXPECT_TRUE(fwtest::pumpUntil([&] { return stops == 1; }, 5000));
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(animate->Active());
    animate->Active = true;  // StartFrame..StopFrame, Repetitions 0: until stopped
    EXPECT_TRUE(animate->Active());
    animate->Stop();
    EXPECT_TRUE(fwtest::pumpUntil([&] { return stops == 2; }, 5000));
    animate->FileName = "";  // closes the clip
    EXPECT_FALSE(animate->Open());
}

}  // namespace
