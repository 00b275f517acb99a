// The edit's custom button row on a real window: where the buttons and the
// text's paint rectangle go for several counts and widths (and after the
// width, the style or the number of buttons changes), the order of the
// click events by real input, which indexes BtnClick ignores, what an item
// passes on to its speed button, Assign between items, the auto-size width
// floor, items leaving their edit, and items held by no control.
#include "components/controls/QCLCustomEdit.h"
#include "components/runtime/qclclass.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class EditButtonsTest : public ControlsBaseTest {
protected:
    TQCLEdit* makeEdit(int buttons, int width = 16) {
        auto* edit = new TQCLEdit(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 200, 24);
        edit->SetCustomButtonWidth(width);
        for (int i = 0; i < buttons; ++i) edit->GetCustomButtons()->Add();
        edit->HandleNeeded();
        fwtest::pumpIdle();
        return edit;
    }
    // The paint rectangle's right edge of a button-less edit of the same size.
    int plainRight() {
        TQCLEdit* plain = makeEdit(0);
        int right = plain->PaintRectForTesting().Right;
        plain->Free();
        return right;
    }
};

TEST_F(EditButtonsTest, ButtonsFillTheRightEdgeAndThePaintRectangleGivesWay) {
    const int noButtons = plainRight();
    struct Case {
        int buttons, width;
    } cases[] = {{1, 16}, {2, 16}, {3, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.buttons) + " x " + std::to_string(c.width));
        TQCLEdit* edit = makeEdit(c.buttons, c.width);
        TRect paint = edit->PaintRectForTesting();
        EXPECT_EQ(paint.Right, noButtons - c.buttons * c.width);
        for (int i = 0; i < c.buttons; ++i) {
            TQCLSpeedButton* b = edit->GetCustomButtons()->GetItem(i)->GetSpeedButton();
            EXPECT_EQ(b->GetParent(), edit);
            EXPECT_EQ(b->GetLeft(), paint.Right + 1 + i * c.width) << "button " << i;
            EXPECT_EQ(b->GetWidth(), c.width);
            EXPECT_EQ(b->GetHeight(), paint.Height());
            EXPECT_EQ(b->GetStyle(), ubsIntegrated);
        }
        TQCLSpeedButton* last = edit->GetCustomButtons()->GetItem(c.buttons - 1)->GetSpeedButton();
        EXPECT_EQ(last->GetLeft() + last->GetWidth(), noButtons + 1) << "the row ends at the inner right edge";
        edit->Free();
    }
}

TEST_F(EditButtonsTest, LaterChangesLayTheRowOutAgain) {
    const int noButtons = plainRight();
    TQCLEdit* edit = makeEdit(2, 16);
    edit->SetCustomButtonWidth(20);
    EXPECT_EQ(edit->PaintRectForTesting().Right, noButtons - 40);
    EXPECT_EQ(edit->GetCustomButtons()->GetItem(1)->GetSpeedButton()->GetLeft(), noButtons - 40 + 1 + 20);

    edit->GetCustomButtons()->Add();  // the collection asks for a new layout by a posted WM_SIZE
    fwtest::pumpIdle();
    EXPECT_EQ(edit->PaintRectForTesting().Right, noButtons - 60);
    EXPECT_EQ(edit->GetCustomButtons()->GetItem(2)->GetSpeedButton()->GetLeft(), noButtons - 60 + 1 + 40);

    edit->SetCustomButtonStyle(ubsFlat);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(edit->GetCustomButtons()->GetItem(i)->GetSpeedButton()->GetStyle(), ubsFlat);

    // An item that goes takes its speed button with it; the rest move right.
    TQCLSpeedButton* middle = edit->GetCustomButtons()->GetItem(1)->GetSpeedButton();
    int before = edit->GetControlCount();
    edit->GetCustomButtons()->Delete(1);
    fwtest::pumpIdle();
    EXPECT_EQ(edit->GetControlCount(), before - 1);
    for (int i = 0; i < edit->GetControlCount(); ++i) EXPECT_NE(edit->GetControl(i), middle);
    EXPECT_EQ(edit->PaintRectForTesting().Right, noButtons - 40);

    edit->SetAutoSize(true);
    edit->SetWidth(10);
    edit->CorrectBounds();
    EXPECT_EQ(edit->GetWidth(), 2 * 20 + 30) << "auto size keeps room for the buttons and some text";
}

TEST_F(EditButtonsTest, AClickReachesTheItemThenTheEditWithTheIndex) {
    TQCLEdit* edit = makeEdit(2);
    edit->SetText("abc");
    std::vector<std::string> events;
    for (int i = 0; i < 2; ++i) {
        edit->GetCustomButtons()->GetItem(i)->OnClick = [&events](TObject* sender, int index) {
            events.push_back("item " + std::to_string(index) + " " +
                             std::to_string(static_cast<TQCLSpecialButton*>(sender)->GetIndex()));
        };
    }
    edit->OnBtnClick = [&](TObject* sender, TObject* btn, int index) {
        EXPECT_EQ(sender, edit);
        EXPECT_EQ(btn, edit->GetCustomButtons()->GetItem(index)->GetSpeedButton());
        events.push_back("edit " + std::to_string(index));
    };
    ASSERT_TRUE(foreground());
    TQCLSpeedButton* second = edit->GetCustomButtons()->GetItem(1)->GetSpeedButton();
    clickAt(second, second->GetWidth() / 2, second->GetHeight() / 2);
    EXPECT_EQ(events, (std::vector<std::string>{"item 1 1", "edit 1"}));
    EXPECT_EQ(edit->GetText(), "abc");

    // A click on the text is no button click; a disabled button clicks nothing.
    events.clear();
    clickAt(edit, 5, 10);
    edit->GetCustomButtons()->GetItem(0)->SetEnabled(false);
    TQCLSpeedButton* first = edit->GetCustomButtons()->GetItem(0)->GetSpeedButton();
    EXPECT_FALSE(first->GetEnabled());
    clickAt(first, first->GetWidth() / 2, first->GetHeight() / 2);
    EXPECT_TRUE(events.empty());

    struct Case {
        int index;
        const char* expected;
    } cases[] = {{-1, ""}, {0, "item 0 0|edit 0|"}, {1, "item 1 1|edit 1|"}, {2, ""}};
    for (const Case& c : cases) {
        events.clear();
        edit->BtnClick(c.index);
        std::string joined;
        for (const auto& e : events) joined += e + "|";
        EXPECT_EQ(joined, c.expected) << "BtnClick(" << c.index << ")";
    }
}

TEST_F(EditButtonsTest, ItemSettingsReachTheSpeedButtonAndAssignCopiesThem) {
    TQCLEdit* edit = makeEdit(2);
    TQCLSpecialButton* item = edit->GetCustomButtons()->GetItem(0);
    TQCLSpeedButton* speed = item->GetSpeedButton();
    EXPECT_EQ(speed->GetCursor(), crArrow);
    EXPECT_EQ(speed->GetColor(), clBtnFace);
    item->SetString(0, "...");
    item->SetString(1, "Browse");
    item->SetGroupIndex(3);
    item->SetCursor(crHandPoint);
    auto glyph = filledBitmap(12, 10, clRed);
    item->SetGlyph(glyph.get());
    item->GetLayout()->SetArrow(true);
    EXPECT_EQ(speed->GetText(), "...");
    EXPECT_EQ(speed->GetHint(), "Browse");
    EXPECT_EQ(speed->GetGroupIndex(), 3);
    EXPECT_EQ(speed->GetCursor(), crHandPoint);
    EXPECT_EQ(speed->GetGlyph()->GetWidth(), 12);
    EXPECT_TRUE(speed->GetButtonLayout()->GetArrow());
    EXPECT_EQ(item->GetDisplayName(), "...");

    TQCLSpecialButton* other = edit->GetCustomButtons()->GetItem(1);
    int clicked = -1;
    item->OnClick = [&](TObject*, int index) { clicked = index; };
    other->Assign(item);
    TQCLSpeedButton* otherSpeed = other->GetSpeedButton();
    EXPECT_EQ(otherSpeed->GetText(), "...");
    EXPECT_EQ(otherSpeed->GetHint(), "Browse");
    EXPECT_EQ(otherSpeed->GetGroupIndex(), 3);
    EXPECT_EQ(otherSpeed->GetGlyph()->GetWidth(), 12);
    EXPECT_TRUE(otherSpeed->GetButtonLayout()->GetArrow());
    edit->BtnClick(1);
    EXPECT_EQ(clicked, 1) << "the copied handler hears its own item's index";

    // A whole collection assigned to another edit makes buttons of its own.
    TQCLEdit* copy = makeEdit(0);
    copy->SetCustomButtons(edit->GetCustomButtons());
    fwtest::pumpIdle();
    ASSERT_EQ(copy->GetCustomButtons()->GetCount(), 2);
    TQCLSpeedButton* copied = copy->GetCustomButtons()->GetItem(0)->GetSpeedButton();
    EXPECT_EQ(copied->GetParent(), copy);
    EXPECT_NE(copied, speed);
    EXPECT_EQ(copied->GetText(), "...");
}

}  // namespace

namespace {

// Built as a layout builds it, the row settles: laying the buttons out asks
// for no further layout, so the queue empties.
TEST_F(EditButtonsTest, ALaidOutRowAsksForNoFurtherLayout) {
    TQCLEdit* edit = nullptr;
    {
        TLoadingGuard guard;
        edit = new TQCLEdit(form);
        edit->SetParent(form);
        edit->SetBounds(12, 40, 260, 24);
        edit->SetText("C:\\Vaults\\Home.vlt");
        edit->GetCustomButtons()->Add()->SetString(0, "...");
        auto glyph = filledBitmap(13, 14, clNavy);
        edit->GetCustomButtons()->Add()->SetGlyph(glyph.get());
        guard.Finish();
    }
    edit->HandleNeeded();
    int layouts = 0;
    MSG msg;
    for (int i = 0; i < 50; ++i) {
        fwtest::pumpIdle();
        if (!PeekMessageA(&msg, edit->GetHandle(), WM_SIZE, WM_SIZE, PM_NOREMOVE)) break;
        ++layouts;
    }
    EXPECT_LT(layouts, 3) << "a WM_SIZE is still waiting after every round";
}

}  // namespace

namespace {

// An item held by a plain collection has no speed button to read the font
// flag from: it keeps the flag itself and copies it like any other setting.
TEST(SpecialButtonWithoutControl, KeepsItsParentFontFlagAndCopiesIt) {
    TCollection items(TCollection::FactoryOf<TQCLSpecialButton>());
    auto* first = static_cast<TQCLSpecialButton*>(items.Add());
    auto* second = static_cast<TQCLSpecialButton*>(items.Add());
    ASSERT_EQ(first->GetSpeedButton(), nullptr);
    EXPECT_TRUE(first->GetParentFont()) << "the flag starts set";
    first->SetParentFont(false);
    EXPECT_FALSE(first->GetParentFont());
    second->Assign(first);
    EXPECT_FALSE(second->GetParentFont());
    first->SetString(0, "...");
    first->SetEnabled(false);
    EXPECT_EQ(first->GetString(0), "...");
}

}  // namespace
