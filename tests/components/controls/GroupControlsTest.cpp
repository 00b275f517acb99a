// The group box's caption geometry, the radio group's arrangement, item
// index and item changes (from code and by a real click), the empty group,
// the glyph image list and glyph and focus settings handed to the buttons,
// and the check box's toggling rules.
#include "components/controls/QCLCheckBox.h"
#include "components/controls/QCLGroupBox.h"
#include "components/controls/QCLRadioGroup.h"
#include "components/controls/QCLSpeedButton.h"
#include "components/runtime/qclcont.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <vector>

using namespace ctltest;

using GroupControlsTest = ControlsBaseTest;

TEST(GroupBoxLayout, CaptionAndFrameRectanglesBySide) {
    // Box 185 x 105, caption 16 high, offset 8: half = 16 / 2 - 1 = 7.
    struct Row {
        TQCLGroupCaptionAlign align;
        TRect caption, frame;
        TQCLAlignment text;
    } rows[] = {
        {gcaTopLeft, TRect(8, 0, 185, 16), TRect(0, 7, 185, 105), agTopLeft},
        {gcaTopRight, TRect(0, 0, 177, 16), TRect(0, 7, 185, 105), agTopRight},
        {gcaTopCenter, TRect(0, 0, 185, 16), TRect(0, 7, 185, 105), agTopCenter},
        {gcaLeftBottom, TRect(0, 0, 16, 97), TRect(7, 0, 185, 105), agBottomLeft},
        {gcaLeftCenter, TRect(0, 0, 16, 105), TRect(7, 0, 185, 105), agCenterLeft},
        {gcaBottomRight, TRect(0, 89, 177, 105), TRect(0, 0, 185, 98), agBottomRight},
        {gcaRightTop, TRect(169, 10, 185, 105), TRect(0, 0, 178, 105), agTopRight},
        {gcaRightBottom, TRect(169, 2, 185, 97), TRect(0, 0, 178, 105), agBottomRight},
    };
    for (const Row& r : rows) {
        const TQCLGroupBoxLayout got = QCLGroupBoxLayout(r.align, 8, 185, 105, 16);
        EXPECT_EQ(got.Caption, r.caption) << int(r.align);
        EXPECT_EQ(got.Frame, r.frame) << int(r.align);
        EXPECT_EQ(got.TextAlign, r.text) << int(r.align);
    }
}

TEST(RadioGroupArrangement, ColumnsFillTopToBottom) {
    // Group 200 x 100, bevel 2, caption 16 (top): content (3, 17, 197, 97).
    const std::vector<TRect> three = QCLArrangeGroupButtons(gcaTopLeft, 200, 100, 2, 16, 3, 2, -1, 4);
    ASSERT_EQ(three.size(), 3u);
    // rows 2, column width (194 - 4) / 2 = 95, row height (80 - 2) / 2 = 39, top 17 + 1 + (39 % 2) / 2 = 18.
    EXPECT_EQ(three[0], Bounds(7, 18, 95, 39));
    EXPECT_EQ(three[1], Bounds(7, 57, 95, 39));
    EXPECT_EQ(three[2], Bounds(102, 18, 95, 39));
    // A fixed item height; a caption on the left takes the left side.
    const std::vector<TRect> left = QCLArrangeGroupButtons(gcaLeftCenter, 200, 100, 2, 16, 2, 1, 20, 0);
    EXPECT_EQ(left[0], Bounds(17, 4, 180, 20));
    EXPECT_EQ(left[1], Bounds(17, 24, 180, 20));
    EXPECT_TRUE(QCLArrangeGroupButtons(gcaTopLeft, 200, 100, 2, 16, 0, 1, -1, 4).empty());
}

TEST_F(GroupControlsTest, RadioGroupItemIndexAndItemsFromCode) {
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 200, 100);
    group->SetText("Choice");
    int changes = 0, clicks = 0;
    group->OnChange = [&](TObject*, int) { ++changes; };
    group->OnClick = [&](TObject*) { ++clicks; };
    group->GetItems()->Add("A");
    group->GetItems()->Add("B");
    group->GetItems()->Add("C");
    ASSERT_EQ(group->ButtonCount(), 3);
    group->SetColumns(2);
    EXPECT_EQ(group->Button(0)->GetLeft(), group->Button(1)->GetLeft());
    EXPECT_LT(group->Button(0)->GetTop(), group->Button(1)->GetTop());
    EXPECT_GT(group->Button(2)->GetLeft(), group->Button(0)->GetLeft());
    EXPECT_EQ(group->Button(2)->GetTop(), group->Button(0)->GetTop());
    EXPECT_EQ(group->Button(1)->GetText(), "B");

    struct Step {
        int set, expected;
    } steps[] = {{1, 1}, {7, 2}, {-5, -1}, {0, 0}};
    for (const Step& s : steps) {
        group->SetItemIndex(s.set);
        EXPECT_EQ(group->GetItemIndex(), s.expected) << s.set;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(group->Button(i)->GetChecked(), i == s.expected) << s.set << " " << i;
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(clicks, 0);

    // Deleting past the index moves it to the last item.
    group->SetItemIndex(2);
    group->GetItems()->Delete(2);
    EXPECT_EQ(group->GetItemIndex(), 1);
    EXPECT_EQ(group->ButtonCount(), 2);
    EXPECT_TRUE(group->Button(1)->GetChecked());

    struct Clamp {
        int set, expected;
    } clamps[] = {{0, 1}, {20, 12}, {5, 5}, {-3, 1}};
    for (const Clamp& c : clamps) {
        group->SetColumns(c.set);
        EXPECT_EQ(group->GetColumns(), c.expected) << c.set;
    }
}

// Every button draws its glyph from the group's glyph list; the group follows
// the list's changes and lets go of it when it is freed.
TEST_F(GroupControlsTest, RadioGroupGlyphListReachesEveryButtonAndIsDetachedWhenFreed) {
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 200, 100);
    for (const char* item : {"A", "B", "C"}) group->GetItems()->Add(item);
    auto* glyphs = new TQCLBitmapList(form);
    for (TColor c : {clRed, clBlue}) glyphs->GetArrayItem(glyphs->Add())->SetBitmap(filledBitmap(13, 13, c).get());

    auto expectButtons = [&](TQCLCustomImageList* list, int imageIndex, int listIndex) {
        for (int i = 0; i < group->ButtonCount(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(group->Button(i)->GetImageList(), list);
            EXPECT_EQ(group->Button(i)->GetImageIndex(), imageIndex);
            EXPECT_EQ(group->Button(i)->GetListIndex(), listIndex);
        }
    };
    group->SetGlyphImageList(glyphs);
    expectButtons(glyphs, 0, 0);
    struct Step {
        int which, value;
        int imageIndex, listIndex;
    } steps[] = {{1, 1, 0, 1}, {0, 3, 3, 1}, {1, -1, 3, 1}, {0, -2, 3, 1}};
    for (const Step& st : steps) {
        SCOPED_TRACE(::testing::Message() << st.which << " := " << st.value);
        group->SetGlyphIndex(st.which, st.value);
        EXPECT_EQ(group->GetGlyphImageIndex(), st.imageIndex);
        EXPECT_EQ(group->GetGlyphListIndex(), st.listIndex);
        expectButtons(glyphs, st.imageIndex, st.listIndex);
    }

    group->Button(0)->SetListIndex(0);
    glyphs->Add();  // a change of the list rebuilds the buttons
    EXPECT_EQ(group->Button(0)->GetListIndex(), 1);

    glyphs->Free();
    EXPECT_EQ(group->GetGlyphImageList(), nullptr);
    expectButtons(nullptr, 3, 1);
    group->GetItems()->Add("D");  // no freed list is touched
    EXPECT_EQ(group->ButtonCount(), 4);
}

// A change of the glyph list repaints whatever the group owns, also a
// control it owns that stands outside it.
TEST_F(GroupControlsTest, RadioGroupGlyphListChangeRepaintsEveryOwnedComponent) {
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 200, 100);
    group->GetItems()->Add("A");
    auto* glyphs = new TQCLBitmapList(form);
    group->SetGlyphImageList(glyphs);
    auto* outsider = new TQCLSpeedButton(group);
    outsider->SetParent(form);
    outsider->SetBounds(300, 10, 23, 22);
    form->HandleNeeded();
    fwtest::pumpIdle();
    ValidateRect(form->GetHandle(), nullptr);
    glyphs->Add();
    HRGN pending = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(form->GetHandle(), pending, FALSE);
    EXPECT_TRUE(PtInRegion(pending, 310, 20));
    DeleteObject(pending);
}

TEST_F(GroupControlsTest, RadioGroupGlyphAndFocusSettingsReachEveryButton) {
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 200, 100);
    for (const char* item : {"A", "B"}) group->GetItems()->Add(item);
    struct Setting {
        const char* name;
        void (*set)(TQCLRadioGroup*);
        bool (*onButton)(TQCLButtonControl*);
    } settings[] = {
        {"GlyphTransparent", [](TQCLRadioGroup* g) { g->SetGlyphTransparent(false); },
         [](TQCLButtonControl* b) { return !b->GetGlyphTransparent(); }},
        {"GlyphTransparentColor", [](TQCLRadioGroup* g) { g->SetGlyphTransparentColor(clFuchsia); },
         [](TQCLButtonControl* b) { return b->GetGlyphTransparentColor() == clFuchsia; }},
        {"GlyphFlat", [](TQCLRadioGroup* g) { g->SetGlyphFlat(true); },
         [](TQCLButtonControl* b) { return b->GetGlyphFlat(); }},
        {"UseBitmap", [](TQCLRadioGroup* g) { g->SetUseBitmap(true); },
         [](TQCLButtonControl* b) { return b->GetUseBitmap(); }},
        {"FocusStyle", [](TQCLRadioGroup* g) { g->SetFocusStyle(fcGlyphText); },
         [](TQCLButtonControl* b) { return b->GetFocusStyle() == fcGlyphText; }},
        {"FocusColor", [](TQCLRadioGroup* g) { g->SetFocusColor(clRed); },
         [](TQCLButtonControl* b) { return b->GetFocusColor() == clRed; }},
        {"UseFocusColor", [](TQCLRadioGroup* g) { g->SetUseFocusColor(true); },
         [](TQCLButtonControl* b) { return b->GetUseFocusColor(); }},
        {"Font3D", [](TQCLRadioGroup* g) {
             TQCL3DCaption raised;
             raised.SetStyle(tdRaised);
             g->SetFont3D(&raised);
         },
         [](TQCLButtonControl* b) { return b->GetFont3D()->GetStyle() == tdRaised; }},
    };
    for (const Setting& setting : settings) {
        SCOPED_TRACE(setting.name);
        setting.set(group);
        for (int i = 0; i < group->ButtonCount(); ++i) EXPECT_TRUE(setting.onButton(group->Button(i))) << i;
    }
}

TEST_F(GroupControlsTest, RadioGroupUserChoiceFiresClickThenChange) {
    ASSERT_TRUE(foreground());
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 200, 100);
    group->SetText("Choice");
    group->GetItems()->Add("One");
    group->GetItems()->Add("Two");
    std::vector<std::string> events;
    group->OnClick = [&](TObject*) { events.push_back("click " + std::to_string(group->GetItemIndex())); };
    group->OnChange = [&](TObject*, int index) { events.push_back("change " + std::to_string(index)); };
    fwtest::pumpIdle();
    clickAt(group->Button(1), 30, group->Button(1)->GetHeight() / 2);
    EXPECT_EQ(group->GetItemIndex(), 1);
    EXPECT_TRUE(group->Button(1)->GetChecked());
    EXPECT_EQ(events, (std::vector<std::string>{"click 1", "change 1"}));
    // Clicking the chosen button again changes nothing.
    events.clear();
    clickAt(group->Button(1), 70, group->Button(1)->GetHeight() / 2);
    EXPECT_TRUE(events.empty());
}

TEST_F(GroupControlsTest, EmptyTransparentRadioGroupHasNoButtonsAndPaints) {
    form->Show();
    auto* group = new TQCLRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 0, 60);
    group->SetTransparent(true);
    group->SetItemIndex(0);
    fwtest::pumpIdle();
    EXPECT_EQ(group->ButtonCount(), 0);
    EXPECT_EQ(group->GetItemIndex(), -1);
    group->Repaint();
    fwtest::pumpIdle();
    EXPECT_TRUE(exceptions.empty());
}

TEST_F(GroupControlsTest, GroupBoxCaptionSideMovesAlignedChildrenAndRotates) {
    form->Show();
    auto* box = new TQCLGroupBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 185, 105);
    box->SetText("Group");
    auto* child = new TQCLCustomControl(form);
    child->SetParent(box);
    child->SetAlign(alClient);
    fwtest::pumpIdle();
    const int h = box->GetCaptionHeight();
    ASSERT_GT(h, 0);
    // Painted: caption text after the offset, the frame below its middle, and nothing raised.
    auto painted = fwtest::paintOf(box);
    EXPECT_GT(countPixels(painted.get(), TRect(8, 0, 80, h), clBlack), 0) << "caption text";
    EXPECT_EQ(countPixels(painted.get(), TRect(0, 0, 8, h / 2 - 1), clBlack), 0);
    EXPECT_NE(fwtest::pixelOf(painted.get(), 120, h / 2 - 1), fwtest::pixelOf(painted.get(), 120, h / 2 + 4))
        << "the frame runs at half the caption height";
    EXPECT_TRUE(exceptions.empty());
    const int topBefore = child->GetTop(), leftBefore = child->GetLeft();
    EXPECT_GE(topBefore, h);
    box->SetAlignCaption(gcaLeftCenter);
    fwtest::pumpIdle();
    EXPECT_EQ(box->RotatedCaption()->GetAngle(), 90);
    EXPECT_GE(child->GetLeft(), leftBefore + box->GetCaptionHeight());
    EXPECT_LT(child->GetTop(), topBefore);
    box->SetAlignCaption(gcaRightTop);
    EXPECT_EQ(box->RotatedCaption()->GetAngle(), 270);

    // A blank caption: only the bevel, around the whole client area.
    box->SetText("   ");
    auto blank = fwtest::paintOf(box);
    const TColor face = fwtest::pixelOf(blank.get(), 90, 50);
    int marks = 0;
    for (int x = 20; x < 160; ++x)
        if (fwtest::pixelOf(blank.get(), x, h / 2 + 2) != face) ++marks;
    EXPECT_EQ(marks, 0) << "nothing is drawn where a caption would go";
    EXPECT_NE(fwtest::pixelOf(blank.get(), 90, 0), face) << "the frame runs along the top edge";
}

TEST_F(GroupControlsTest, CheckBoxTogglesByUserOnlyAndHonoursReadOnly) {
    EXPECT_EQ(QCLNextCheckState(cbUnchecked, true), cbGrayed);
    EXPECT_EQ(QCLNextCheckState(cbGrayed, true), cbChecked);
    EXPECT_EQ(QCLNextCheckState(cbChecked, true), cbUnchecked);
    EXPECT_EQ(QCLNextCheckState(cbUnchecked, false), cbChecked);

    ASSERT_TRUE(foreground());
    auto* box = new TQCLCheckBox(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 150, 20);
    box->SetText("Remember");
    int changes = 0, clicks = 0;
    box->OnStateChange = [&](TObject*) { ++changes; };
    box->OnClick = [&](TObject*) { ++clicks; };
    fwtest::pumpIdle();

    box->SetChecked(true);
    box->SetState(cbGrayed);
    EXPECT_EQ(changes, 0) << "code changes fire nothing";
    EXPECT_FALSE(box->GetChecked()) << "grayed is not checked";
    box->SetState(cbUnchecked);

    box->SetAllowGrayed(true);
    std::vector<TCheckBoxState> seen;
    for (int i = 0; i < 3; ++i) {
        clickAt(box, 8, 10);
        seen.push_back(box->GetState());
    }
    EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(clicks, 3);

    ASSERT_TRUE(box->Focused());
    box->SetAllowGrayed(false);
    INPUT space[2] = {};
    space[0].type = space[1].type = INPUT_KEYBOARD;
    space[0].ki.wVk = space[1].ki.wVk = VK_SPACE;
    space[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, space, sizeof(INPUT));
    fwtest::pumpIdle();
    EXPECT_EQ(box->GetState(), cbChecked);
    EXPECT_EQ(changes, 4);

    box->SetReadOnly(true);
    clicks = 0;
    clickAt(box, 8, 10);
    SendInput(2, space, sizeof(INPUT));
    fwtest::pumpIdle();
    EXPECT_EQ(box->GetState(), cbChecked);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(clicks, 1) << "a read-only box still reports the click";

    // The strip's cells: grayed disabled, and the flat idle look stays inside the strip.
    box->SetState(cbGrayed);
    box->SetFlat(true);
    EXPECT_EQ(box->CurrentCell(), 4) << "focused: the normal look";
    auto* other = new TQCLCheckBox(form);
    other->SetParent(form);
    other->SetBounds(20, 60, 150, 20);
    other->SetFocus();
    const TPoint away = other->ClientToScreen(TPoint(100, 10));
    moveMouseTo(away.x, away.y);
    fwtest::pumpUntil([&] { return !box->MouseAbove(); });
    box->SetEnabled(false);
    EXPECT_EQ(box->CurrentCell(), 11) << "idle flat look, grayed and disabled";
    EXPECT_LE(12 * box->GlyphCellWidth(), box->GlyphBitmap()->GetWidth());
    box->SetNumGlyphs(0);
    EXPECT_EQ(box->GetGlyphNumber(), 1);
}
