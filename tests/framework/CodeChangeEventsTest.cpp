// Which changes made from code fire events: one table over the standard
// controls, each row checked with a window and without one, next to the user
// path that must still fire.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;
using fwtest::sendCommand;

class CodeChangeEvents : public ControlsTest {};

struct Row {
    const char* change;
    int expected;  // events fired by the change
    // Builds the control on `parent`, counts its events into `events`, and returns the change to make.
    std::function<std::function<void()>(TWinControl* parent, int& events)> build;
};

std::vector<Row> rows() {
    return {
        {"TEdit::Text to a new value", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* edit = new TEdit(parent);
             edit->Parent = parent;
             edit->Text = "old";
             edit->OnChange = [&events](TObject*) { ++events; };
             return [edit] { edit->Text = "new"; };
         }},
        {"TEdit::Text to its current value", 0,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* edit = new TEdit(parent);
             edit->Parent = parent;
             edit->Text = "same";
             edit->OnChange = [&events](TObject*) { ++events; };
             return [edit] { edit->Text = "same"; };
         }},
        {"TMemo::Text", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* memo = new TMemo(parent);
             memo->Parent = parent;
             memo->OnChange = [&events](TObject*) { ++events; };
             return [memo] { memo->Text = "a\r\nb"; };
         }},
        {"TMemo::Lines->Add", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* memo = new TMemo(parent);
             memo->Parent = parent;
             memo->Text = "a";
             memo->OnChange = [&events](TObject*) { ++events; };
             return [memo] { memo->Lines->Add("b"); };
         }},
        {"TCheckBox::Checked to a new value", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* box = new TCheckBox(parent);
             box->Parent = parent;
             box->OnClick = [&events](TObject*) { ++events; };
             return [box] { box->Checked = true; };
         }},
        {"TCheckBox::Checked to its current value", 0,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* box = new TCheckBox(parent);
             box->Parent = parent;
             box->OnClick = [&events](TObject*) { ++events; };
             return [box] { box->Checked = false; };
         }},
        {"TRadioButton::Checked = true (the checked sibling hears nothing)", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* first = new TRadioButton(parent);
             first->Parent = parent;
             first->Checked = true;
             auto* second = new TRadioButton(parent);
             second->Parent = parent;
             first->OnClick = [&events](TObject*) { events += 100; };
             second->OnClick = [&events](TObject*) { ++events; };
             return [first, second] {
                 second->Checked = true;
                 EXPECT_FALSE(first->Checked()) << "siblings are unchecked";
             };
         }},
        {"TListBox::ItemIndex and Selected[]", 0,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* list = new TListBox(parent);
             list->Parent = parent;
             list->Items->Text = "a\nb\nc";
             list->OnClick = [&events](TObject*) { ++events; };
             return [list] {
                 list->ItemIndex = 1;
                 list->Selected[2] = true;
             };
         }},
        {"TComboBox::ItemIndex", 0,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* combo = new TComboBox(parent);
             combo->Parent = parent;
             combo->Style = csDropDownList;
             combo->Items->Text = "a\nb";
             combo->OnChange = [&events](TObject*) { ++events; };
             combo->OnClick = [&events](TObject*) { ++events; };
             return [combo] { combo->ItemIndex = 1; };
         }},
        {"tree selection set", 1,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* tree = new TTreeView(parent);
             tree->Parent = parent;
             TTreeNode* node = tree->Items->AddChild(nullptr, "node");
             tree->OnChange = [&events](TObject*, TTreeNode*) { ++events; };
             return [tree, node] { tree->Selected = node; };
         }},
        {"THeaderSection::Width", 0,
         [](TWinControl* parent, int& events) -> std::function<void()> {
             auto* header = new THeaderControl(parent);
             header->Parent = parent;
             THeaderSection* section = header->Sections->Add();
             header->OnSectionResize = [&events](THeaderControl*, THeaderSection*) { ++events; };
             return [section] { section->Width = 120; };
         }},
    };
}

TEST_F(CodeChangeEvents, TableWithAWindow) {
    for (const Row& row : rows()) {
        auto* panel = new TPanel(form);
        panel->Parent = form;
        int events = 0;
        auto change = row.build(panel, events);
        panel->HandleNeeded();
        fwtest::pumpIdle();
        change();
        fwtest::pumpIdle();
        EXPECT_EQ(events, row.expected) << row.change;
        panel->Free();
    }
}

TEST_F(CodeChangeEvents, TableWithoutAWindow) {
    for (const Row& row : rows()) {
        TPanel panel(nullptr);  // no parent, so no window is ever made
        int events = 0;
        auto change = row.build(&panel, events);
        change();
        EXPECT_EQ(events, row.expected) << row.change;
        for (int i = 0; i < panel.ControlCount(); ++i)
            if (auto* w = dynamic_cast<TWinControl*>(panel.Controls[i]())) {
                EXPECT_FALSE(w->HandleAllocated());
            }
    }
}

TEST_F(CodeChangeEvents, UserChangesStillFire) {
    auto* edit = new TEdit(form);
    edit->Parent = form;
    auto* list = new TListBox(form);
    list->Parent = form;
    list->Items->Text = "a\nb";
    auto* combo = new TComboBox(form);
    combo->Parent = form;
    combo->Items->Text = "a\nb";
    int edits = 0, clicks = 0, changes = 0;
    edit->OnChange = [&](TObject*) { ++edits; };
    list->OnClick = [&](TObject*) { ++clicks; };
    combo->OnChange = [&](TObject*) { ++changes; };
    SendMessageA(edit->Handle, WM_CHAR, 'x', 0);  // typing sends EN_CHANGE
    sendCommand(list, LBN_SELCHANGE);
    sendCommand(combo, CBN_SELCHANGE);
    EXPECT_EQ(edit->Text(), "x");
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 1);

    // Clicks on buttons: a check box toggles, a radio button checks itself once.
    auto* box = new TCheckBox(form);
    box->Parent = form;
    auto* radio = new TRadioButton(form);
    radio->Parent = form;
    int boxClicks = 0, radioClicks = 0;
    box->OnClick = [&](TObject*) { ++boxClicks; };
    radio->OnClick = [&](TObject*) { ++radioClicks; };
    sendCommand(box, BN_CLICKED);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(SendMessageA(box->Handle, BM_GETCHECK, 0, 0), BST_CHECKED);
    sendCommand(box, BN_CLICKED);
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(boxClicks, 2);
    sendCommand(radio, BN_CLICKED);
    sendCommand(radio, BN_CLICKED);
    EXPECT_TRUE(radio->Checked());
    EXPECT_EQ(radioClicks, 1);
}

TEST_F(CodeChangeEvents, NothingFiresWhileLoading) {
    TEdit* edit = nullptr;
    int events = 0;
    {
        TLoadingGuard loading;
        edit = new TEdit(form);
        edit->Parent = form;
        edit->OnChange = [&](TObject*) { ++events; };
        edit->Text = "while loading";
    }
    EXPECT_EQ(events, 0);
    edit->Text = "after";
    EXPECT_EQ(events, 1);
}

}  // namespace
