// The skeleton on every vault dialog's real window: window text, title, size,
// centring (a hidden owner included), the rounded region, the title's sunken
// 3D text, and dragging by the title bar, the title text and the title icon
// with real mouse input.
#include <gtest/gtest.h>

#include <algorithm>

#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "dialogs/QZ_Frm_Done.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "tests/dialogs/DialogDriver.h"
#include "tests/dialogs/FakeHost.h"
#include "tests/framework/ControlsFixture.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/RegistryFixture.h"

namespace {

using dialogtest::FakeHost;
using fwtest::pumpIdle;
using fwtest::pumpUntil;

struct DialogKind {
    const char* windowText;
    const char* title;
    int width, height;
    bool ownerCentred;
    std::function<TSkinnedDialog*(TComponent* owner, FakeHost& host)> make;
};

const DialogKind kinds[] = {
    {"PasswordForm", "Brimsafe", 339, 221, true, [](TComponent* o, FakeHost&) { return MakeForm<TPasswordForm>(o); }},
    {"Frm_SelectDatabase", "Select Vault", 420, 392, false,
     [](TComponent* o, FakeHost&) { return MakeForm<TFrm_SelectDatabase>(o); }},
    {"Frm_ChooseVaultLoc", "Choose Vault Location", 420, 370, false,
     [](TComponent* o, FakeHost&) { return MakeForm<TFrm_ChooseVaultLoc>(o); }},
    {"Frm_ChooseName", "Choose Name", 276, 142, true,
     [](TComponent* o, FakeHost&) { return MakeForm<TFrm_ChooseName>(o); }},
    {"Frm_Initializing", "Initializing Vault", 420, 370, false,
     [](TComponent* o, FakeHost&) { return MakeForm<TFrm_Initializing>(o); }},
    {"Frm_FirstPassword", "Initializing Vault", 420, 370, false,
     [](TComponent* o, FakeHost&) { return MakeForm<TFrm_FirstPassword>(o); }},
    {"Frm_BackupKey", "Initializing Vault", 420, 370, false,
     [](TComponent* o, FakeHost& h) { return MakeForm<TFrm_BackupKey>(o, h); }},
    {"Frm_Done", "Initialization Complete", 420, 370, false,
     [](TComponent* o, FakeHost& h) { return MakeForm<TFrm_Done>(o, h); }},
};

TPoint centreOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class SkeletonTest : public dialogtest::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();  // the selection dialog reads the known vaults
        owner = MakeForm<TForm>(nullptr);
        owner->BorderStyle = bsNone;
        owner->SetBounds(60, 50, 700, 560);
    }
    void TearDown() override {
        owner->Free();
        DialogTest::TearDown();
    }
    TForm* owner = nullptr;
    FakeHost host;
};

TEST_F(SkeletonTest, EveryDialogHasItsTextTitleSizePlacementAndRoundedRegion) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const TPoint screenCentre((work.left + work.right) / 2, (work.top + work.bottom) / 2);
    for (const DialogKind& kind : kinds) {
        for (bool ownerVisible : {false, true}) {
            SCOPED_TRACE(std::string(kind.windowText) + (ownerVisible ? " with a visible owner" : " with a hidden owner"));
            owner->Visible = ownerVisible;
            pumpIdle();
            TSkinnedDialog* dialog = kind.make(owner, host);
            dialog->Show();
            pumpIdle();
            HWND window = dialog->Handle();
            EXPECT_EQ(dialogtest::findDialog(kind.windowText), window);
            EXPECT_EQ(dialog->MessageTitle->GetText(), kind.title);
            EXPECT_EQ(dialog->ClientWidth, kind.width);
            EXPECT_EQ(dialog->ClientHeight, kind.height);
            const TPoint expected = kind.ownerCentred && ownerVisible ? centreOf(owner->Handle()) : screenCentre;
            const TPoint actual = centreOf(window);
            EXPECT_NEAR(actual.x, expected.x, 1);
            EXPECT_NEAR(actual.y, expected.y, 1);
            dialogtest::RegionShape shape = dialogtest::regionOf(window);
            EXPECT_TRUE(shape.exists);
            EXPECT_EQ(shape.box.right - shape.box.left, kind.width);
            EXPECT_EQ(shape.box.bottom - shape.box.top, kind.height);
            EXPECT_TRUE(shape.cornerCut) << "the corner is rounded off";
            dialog->Free();
        }
    }
}

TEST_F(SkeletonTest, TheTitleIsBoldWhiteTextSunkenInBlack) {
    // The sunken style draws the light colour (black) one pixel below and right of the text, then the
    // white text over it. The title bar is mid blue, so a dark pixel can only be that copy: each sits
    // one pixel below and right of a light text pixel. The text is smoothed, so the test counts.
    TSkinnedDialog* dialog = MakeForm<TFrm_Done>(nullptr, host);
    dialog->Show();
    pumpIdle();
    EXPECT_TRUE(dialog->MessageTitle->Font->GetStyle().Contains(fsBold));
    auto render = fwtest::paintOf(dialog);
    auto channels = [&](int x, int y) {
        const COLORREF c = ColorToRGB(fwtest::pixelOf(render.get(), x, y));
        return std::make_pair(std::min({GetRValue(c), GetGValue(c), GetBValue(c)}),
                              std::max({GetRValue(c), GetGValue(c), GetBValue(c)}));
    };
    const TRect title = dialog->MessageTitle->BoundsRect();
    int light = 0, dark = 0, darkUnderText = 0;
    for (int y = title.Top + 1; y < title.Bottom + 1; ++y) {
        for (int x = title.Left + 1; x < title.Right + 1; ++x) {
            if (channels(x, y).first > 200) ++light;
            if (channels(x, y).second >= 60) continue;
            ++dark;
            if (channels(x - 1, y - 1).first > 150) ++darkUnderText;
        }
    }
    EXPECT_GT(light, 60) << "the title's white text";
    EXPECT_GT(dark, 30) << "the black copy of the sunken style";
    EXPECT_GE(darkUnderText * 10, dark * 9) << "dark pixels elsewhere than below and right of the text";
    dialog->Free();
}

TEST_F(SkeletonTest, DraggingTheTitleBarTextOrIconMovesTheWindowOnRelease) {
    TFrm_Done* dialog = MakeForm<TFrm_Done>(nullptr, host);
    ASSERT_TRUE(skintest::bringToForeground(dialog));
    // Each drag ends over the control it started on.
    const struct {
        const char* what;
        TPoint grip;  // in the form
        int dx, dy;
    } grips[] = {
        {"title bar", TPoint(320, 3), 30, 15},
        {"title text", TPoint(dialog->MessageTitle->Left + 10, dialog->MessageTitle->Top + 1), 30, 15},
        {"title icon", TPoint(dialog->ImageInfo->Left + 1, dialog->ImageInfo->Top + 1), 12, 12},
    };
    for (const auto& grip : grips) {
        SCOPED_TRACE(grip.what);
        RECT before;
        GetWindowRect(dialog->Handle(), &before);
        TPoint start = dialog->ClientToScreen(grip.grip);
        skintest::moveMouseTo(start.x, start.y);
        pumpIdle();
        skintest::mouseButton(true);
        pumpIdle();
        for (int step = 1; step <= 3; ++step) {
            skintest::moveMouseTo(start.x + grip.dx * step / 3, start.y + grip.dy * step / 3);
            pumpIdle();
        }
        EXPECT_TRUE(dialog->DraggingTitleForTesting());
        // A release that still reports the left button held keeps the drag going.
        const TPoint end(grip.grip.x + grip.dx, grip.grip.y + grip.dy);
        PostMessageA(dialog->Handle(), WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(end.x, end.y));
        pumpIdle();
        EXPECT_TRUE(dialog->DraggingTitleForTesting());
        RECT during;
        GetWindowRect(dialog->Handle(), &during);
        EXPECT_EQ(during.left, before.left) << "not before the release";
        skintest::mouseButton(false);
        EXPECT_TRUE(pumpUntil([&] { return !dialog->DraggingTitleForTesting(); }));
        pumpIdle();
        RECT after;
        GetWindowRect(dialog->Handle(), &after);
        EXPECT_EQ(after.left - before.left, grip.dx);
        EXPECT_EQ(after.top - before.top, grip.dy);
    }
    dialog->Free();
}

}  // namespace
