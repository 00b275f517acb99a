// Library radio buttons on a real window: checking from code, clicks and
// Tab by real input, the read-only rule, a framework radio button left alone,
// and the glyph cells a button paints (including the flat look of the
// standard glyph).
#include "components/controls/QCLRadioButton.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include "framework/StdCtrls.h"

#include <map>
#include <string>
#include <vector>

using namespace ctltest;

namespace {

void key(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void tapKey(WORD vk) {
    key(vk, false);
    key(vk, true);
    fwtest::pumpIdle();
}

class RadioButtonTest : public ControlsBaseTest {
protected:
    TQCLRadioButton* addRadio(const char* caption, int top) {
        auto* radio = new TQCLRadioButton(form);
        radio->SetParent(form);
        radio->SetBounds(20, top, 160, 20);
        radio->SetText(caption);
        radio->SetTabStop(true);
        radio->OnClick = [this, radio](TObject*) { clicks[radio]++; };
        return radio;
    }
    std::map<TObject*, int> clicks;
};

}  // namespace

TEST_F(RadioButtonTest, CheckingFromCodeUnchecksTheOtherLibraryRadiosOnly) {
    auto* a = addRadio("Show in both areas", 10);
    auto* b = addRadio("Only show in entry details area", 40);
    auto* c = addRadio("Secret", 70);
    auto* plain = new TRadioButton(form);
    plain->SetParent(form);
    plain->SetBounds(20, 100, 160, 20);
    plain->SetChecked(true);

    a->SetChecked(true);
    b->SetChecked(true);
    EXPECT_FALSE(a->GetChecked());
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(plain->GetChecked()) << "a framework radio button belongs to no library group";
    EXPECT_EQ(clicks[a], 1);
    EXPECT_EQ(clicks[b], 1);
    EXPECT_EQ(clicks[c], 0);

    // Unchecking fires nothing and checks nobody; an action link checks without a click.
    b->SetChecked(false);
    EXPECT_FALSE(a->GetChecked() || b->GetChecked() || c->GetChecked());
    EXPECT_EQ(clicks[b], 1);
    c->SetCheckedFromAction(true);
    EXPECT_TRUE(c->GetChecked());
    EXPECT_EQ(clicks[c], 0);
}

TEST_F(RadioButtonTest, ClicksAndTabCheckOnceWithOneClickEach) {
    ASSERT_TRUE(foreground());
    auto* a = addRadio("First", 10);
    auto* b = addRadio("Second", 40);
    auto* c = addRadio("Third", 70);
    c->SetReadOnly(true);
    fwtest::pumpIdle();

    // A click on an unfocused, unchecked button focuses and checks it; OnClick once.
    clickAt(b, 40, 10);
    EXPECT_TRUE(b->GetChecked());
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(clicks[b], 1);

    // A focused button unchecked from code is checked again by a click.
    a->SetChecked(true);
    clicks.clear();
    ASSERT_TRUE(b->Focused());
    ASSERT_FALSE(b->GetChecked());
    clickAt(b, 80, 10);  // away from the first click: not a double click
    EXPECT_TRUE(b->GetChecked());
    EXPECT_FALSE(a->GetChecked());
    EXPECT_EQ(clicks[b], 1);

    // Tab into a read-only button: focused, not checked.
    tapKey(VK_TAB);
    EXPECT_TRUE(c->Focused());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(b->GetChecked());

    // Tab on into an unchecked, modifiable button checks it with one click.
    clicks.clear();
    tapKey(VK_TAB);
    ASSERT_TRUE(a->Focused());
    EXPECT_TRUE(a->GetChecked());
    EXPECT_FALSE(b->GetChecked());
    EXPECT_EQ(clicks[a], 1);

    // A click on a read-only button focuses it and runs OnClick but leaves it unchecked.
    clicks.clear();
    clickAt(c, 40, 10);
    EXPECT_TRUE(c->Focused());
    EXPECT_FALSE(c->GetChecked());
    EXPECT_TRUE(a->GetChecked());
}

TEST_F(RadioButtonTest, GlyphCellFollowsStateAndStaysInsideTheStrip) {
    ASSERT_TRUE(foreground());
    auto* radio = addRadio("Cell", 10);
    auto* other = addRadio("Other", 40);
    fwtest::pumpIdle();
    other->SetFocus();
    struct Row {
        bool checked, enabled, flat;
        int cell;
    } rows[] = {
        {false, true, false, 0}, {false, false, false, 1}, {true, true, false, 2}, {true, false, false, 3},
        {false, true, true, 4},  {true, false, true, 7},
    };
    for (const Row& r : rows) {
        radio->SetCheckedFromAction(r.checked);
        radio->SetEnabled(r.enabled);
        radio->SetFlat(r.flat);
        const int cell = radio->CurrentCell();
        EXPECT_EQ(cell, r.cell) << r.checked << r.enabled << r.flat;
        EXPECT_LE((cell + 1) * radio->GlyphCellWidth(), radio->GlyphBitmap()->GetWidth());
    }
    // The flat idle look differs from the normal look it replaces.
    TBitmap* strip = radio->GlyphBitmap();
    const int w = radio->GlyphCellWidth();
    int differing = 0;
    for (int y = 0; y < strip->GetHeight(); ++y)
        for (int x = 0; x < w; ++x)
            if (fwtest::pixelOf(strip, x, y) != fwtest::pixelOf(strip, 4 * w + x, y)) ++differing;
    EXPECT_GT(differing, 0);

    // Painted: a checked button differs from an unchecked one in its glyph, not in its caption.
    radio->SetEnabled(true);
    radio->SetFlat(false);
    radio->SetCheckedFromAction(false);
    auto unchecked = fwtest::paintOf(radio);
    radio->SetCheckedFromAction(true);
    auto checked = fwtest::paintOf(radio);
    int glyphDiff = 0, textDiff = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 160; ++x)
            if (fwtest::pixelOf(unchecked.get(), x, y) != fwtest::pixelOf(checked.get(), x, y))
                ++(x < 16 ? glyphDiff : textDiff);
    EXPECT_GT(glyphDiff, 0);
    EXPECT_EQ(textDiff, 0);
}

TEST_F(RadioButtonTest, AutoSizeTakesTheMeasuredCaptionAndGlyph) {
    auto* radio = addRadio("A", 10);
    radio->SetAutoSizeQCL(true);
    const int narrow = radio->GetWidth();
    radio->SetText("A much longer caption");
    EXPECT_GT(radio->GetWidth(), narrow + 40);
    EXPECT_GE(radio->GetHeight(), 13);
    EXPECT_EQ(radio->GetLeft(), 20);
}
