// Library controls linked to framework actions: radio buttons and check
// boxes follow the action's Checked without a click (and keep their own
// checked state while a layout links them), only a custom-mode label takes
// the action's caption, and a graphic button takes its glyph from the
// action's image, keeps it across later changes of the action, and leaves
// a glyph kind alone.
#include "components/controls/QCLCheckBox.h"
#include "components/controls/QCLRadioButton.h"
#include "components/controls/QCLSimpleLabel.h"
#include "components/controls/QCLSpeedButton.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include "framework/ActnList.h"

#include <functional>
#include <memory>
#include <string>

using namespace ctltest;

namespace {

class ActionLinkTest : public ControlsBaseTest {};

TEST_F(ActionLinkTest, CheckedFollowsTheActionWithoutAClick) {
    struct Case {
        const char* kind;
        bool loading;
        bool ownChecked;
        bool actionChecked;
        bool checkedAfterLink;
    } cases[] = {
        {"radio", false, false, true, true},   {"radio", false, true, false, false},
        {"radio", true, true, false, true},    {"check", false, false, true, true},
        {"check", false, true, false, false},  {"check", true, true, false, true},
        {"check", true, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + (c.loading ? " loading" : "") + (c.ownChecked ? " own" : "") +
                     (c.actionChecked ? " action" : ""));
        TAction action(nullptr);
        int executed = 0, clicks = 0;
        action.OnExecute = [&](TObject*) { ++executed; };
        action.SetChecked(c.actionChecked);
        TQCLButtonControl* button = nullptr;
        auto build = [&] {
            if (std::string(c.kind) == "radio")
                button = new TQCLRadioButton(form);
            else
                button = new TQCLCheckBox(form);
            button->SetParent(form);
            button->SetBounds(10, 10, 120, 20);
            button->SetChecked(c.ownChecked);
            button->OnClick = [&](TObject*) { ++clicks; };
            button->SetAction(&action);
        };
        if (c.loading) {
            TLoadingGuard guard;
            build();
        } else {
            build();
        }
        EXPECT_EQ(button->GetChecked(), c.checkedAfterLink);
        for (int toggle = 0; toggle < 2; ++toggle) {
            action.SetChecked(!action.GetChecked());
            EXPECT_EQ(button->GetChecked(), action.GetChecked()) << "later changes always reach the button";
        }
        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(executed, 0);
        EXPECT_FALSE(button->ProgrammaticChange());
        button->Free();
    }
}

TEST_F(ActionLinkTest, OnlyACustomModeLabelTakesTheActionsCaption) {
    TAction action(nullptr);
    action.SetCaption("From the action");
    const TQCLJumpMode modes[] = {jmNone, jmInternet, jmApplication, jmCustom};
    for (TQCLJumpMode mode : modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        auto* label = new TQCLSimpleLabel(form);
        label->SetParent(form);
        label->SetJumpMode(mode);
        label->SetText("Own");
        label->SetAction(&action);
        action.SetCaption("Changed");
        EXPECT_EQ(label->GetText(), mode == jmCustom ? "Changed" : "Own");
        action.SetCaption("From the action");
        label->Free();
    }
}

TEST_F(ActionLinkTest, AGraphicButtonShowsTheActionsImageAndKeepsItAcrossLaterChanges) {
    auto images = std::make_unique<TImageList>(nullptr);
    for (TColor colour : {clRed, clBlue}) {
        auto picture = filledBitmap(16, 16, colour);
        images->Add(picture.get(), nullptr);
    }
    TAction action(nullptr);
    action.SetImages(images.get());
    action.SetImageIndex(1);

    auto* button = new TQCLSpeedButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 40, 30);
    button->SetAction(&action);
    auto glyphPixel = [&](int x, int y) { return button->GetGlyph()->GetCanvas()->GetPixel(x, y); };
    auto blueAt = [&](int x, int y) { return glyphPixel(x, y) == clBlue; };
    ASSERT_EQ(button->GetGlyph()->GetWidth(), 16);
    EXPECT_TRUE(blueAt(8, 8));

    action.SetCaption("Renamed");  // the glyph the action gave stays
    ASSERT_EQ(button->GetGlyph()->GetWidth(), 16);
    EXPECT_TRUE(blueAt(8, 8));
    EXPECT_EQ(button->GetText(), "Renamed");

    action.SetImageIndex(0);
    EXPECT_EQ(glyphPixel(8, 8), clRed) << "a new image index is followed";

    action.SetImageIndex(5);  // no such image: the glyph goes
    EXPECT_TRUE(button->GetGlyph()->GetEmpty());

    auto* kind = new TQCLSpeedButton(form);
    kind->SetParent(form);
    kind->SetGlyphKind(gkEllipsis);
    int before = kind->GetGlyph()->GetWidth();
    action.SetImageIndex(1);
    kind->SetAction(&action);
    EXPECT_EQ(kind->GetGlyph()->GetWidth(), before) << "a glyph kind keeps its own picture";

    images.reset();  // the image list goes before the action
    EXPECT_EQ(action.GetImages(), nullptr);
    action.SetCaption("After");
    EXPECT_TRUE(button->GetGlyph()->GetEmpty());
}

}  // namespace
