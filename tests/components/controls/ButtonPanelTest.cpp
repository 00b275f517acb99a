// The button panel on the special-button collection: items added through the
// collection, AddButton or InsertButton, and a resize, lay the grid out (rows filled
// left to right, the panel sized to fit), an item that goes takes its speed
// button and the grid closes up, Buttons is assigned by copy, the style
// reaches every button, a real click gives the item's OnClick then
// OnButtonClick with the button's Tag, and a panel with buttons is freed
// cleanly.
#include "components/controls/QCLButtonPanel.h"
#include "components/runtime/qclclass.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class ButtonPanelTest : public ControlsBaseTest {
protected:
    // A panel with 20-pixel buttons; its default bevel takes no room.
    TQCLButtonPanel* makePanel() {
        auto* panel = new TQCLButtonPanel(form);
        panel->SetParent(form);
        panel->SetBounds(10, 10, 100, 20);
        return panel;
    }
    // Buttons added, then the panel made 100 x 20: five to a row.
    TQCLButtonPanel* makeRow(int buttons) {
        TQCLButtonPanel* panel = makePanel();
        for (int i = 0; i < buttons; ++i) panel->GetButtons()->Add();
        panel->SetBounds(10, 10, 100, 20);
        return panel;
    }
    // "left,top" of each button, in collection order.
    static std::vector<std::string> places(TQCLButtonPanel* panel) {
        std::vector<std::string> out;
        for (int i = 0; i < panel->ButtonCount(); ++i) {
            TQCLSpeedButton* b = panel->Button(i);
            out.push_back(std::to_string(b->GetLeft()) + "," + std::to_string(b->GetTop()));
        }
        return out;
    }
};

TEST_F(ButtonPanelTest, EveryCollectionChangeLaysTheGridOutAtOnce) {
    using V = std::vector<std::string>;
    TQCLButtonPanel* panel = makePanel();
    // Each item added lays the grid out in the panel as it is: a column.
    for (int i = 0; i < 5; ++i) panel->GetButtons()->Add();
    EXPECT_EQ(panel->GetWidth(), 20);
    EXPECT_EQ(places(panel)[4], "0,80");
    // Widened, the panel lays them out in one row.
    panel->SetBounds(10, 10, 100, 20);
    EXPECT_EQ(places(panel), (V{"0,0", "20,0", "40,0", "60,0", "80,0"})) << "added through the collection";
    EXPECT_EQ(panel->GetWidth(), 100);
    EXPECT_EQ(panel->GetHeight(), 20);

    EXPECT_EQ(panel->AddButton(), 5);
    EXPECT_EQ(panel->AddButton(), 6);
    EXPECT_EQ(panel->GetHeight(), 40) << "seven buttons make two rows, 5 + 2";
    EXPECT_EQ(places(panel)[5], "0,20");
    EXPECT_EQ(places(panel)[6], "20,20");

    // An inserted item goes first; the others move one cell on.
    TQCLSpeedButton* formerFirst = panel->Button(0);
    EXPECT_EQ(panel->InsertButton(0), 0);
    EXPECT_EQ(panel->Button(1), formerFirst);
    EXPECT_EQ(places(panel)[1], "20,0");
    EXPECT_EQ(panel->InsertButton(99), 8) << "an index past the end is clamped";

    // An item that goes takes its speed button; the grid closes up.
    TQCLSpeedButton* second = panel->Button(1);
    const int children = panel->GetControlCount();
    panel->GetButtons()->Delete(0);
    EXPECT_EQ(panel->Button(0), second);
    EXPECT_EQ(places(panel)[0], "0,0");
    EXPECT_EQ(panel->GetControlCount(), children - 1);
    panel->GetButtons()->Clear();
    EXPECT_EQ(panel->GetControlCount(), 0);
    EXPECT_TRUE(panel->GetEmpty());
}

TEST_F(ButtonPanelTest, ButtonsAreCopiedAndTheStyleReachesEveryButton) {
    TQCLButtonPanel* source = makePanel();
    source->GetButtons()->Add()->SetString(0, "A");
    source->GetButtons()->Add()->SetString(0, "B");
    TQCLButtonPanel* panel = makePanel();
    TQCLSpecialButtons* own = panel->GetButtons();
    panel->SetButtons(source->GetButtons());
    EXPECT_EQ(panel->GetButtons(), own) << "assigned by copy, never replaced";
    ASSERT_EQ(panel->ButtonCount(), 2);
    EXPECT_EQ(panel->Button(1)->GetText(), "B");
    EXPECT_EQ(panel->Button(1)->GetParent(), panel) << "the copies show on this panel";
    EXPECT_EQ(source->Button(1)->GetParent(), source);

    panel->SetBtnStyle(ubsFlat);
    panel->AddButton();
    for (int i = 0; i < panel->ButtonCount(); ++i) EXPECT_EQ(panel->Button(i)->GetStyle(), ubsFlat) << i;
    source->Free();
    panel->Free();  // items and their speed buttons go once
}

TEST_F(ButtonPanelTest, ARealClickGivesTheItemsEventThenThePanelsWithTheTag) {
    TQCLButtonPanel* panel = makeRow(3);
    panel->Button(2)->SetTag(42);
    std::vector<std::string> events;
    panel->GetButtons()->GetItem(2)->OnClick = [&](TObject*, int index) {
        events.push_back("item " + std::to_string(index));
    };
    panel->OnButtonClick = [&](TObject* sender, TObject* button, int tag) {
        EXPECT_EQ(sender, panel);
        EXPECT_EQ(button, panel->Button(2));
        events.push_back("panel " + std::to_string(tag));
    };
    ASSERT_TRUE(foreground());
    clickAt(panel->Button(2), 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"item 2", "panel 42"}));
}

}  // namespace
