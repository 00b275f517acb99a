// The tree view: Ctrl/Shift selection through real presses on the window,
// the Selections order, TVIS_SELECTED on the items, node data and children,
// and nodes kept across window re-creation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;

class TreeViewTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        tree = new TTreeView(form);
        tree->SetBounds(0, 0, 300, 280);
        tree->ReadOnly = true;
        tree->Parent = form;
        root = tree->Items->AddChildObject(nullptr, "root", nullptr);
        for (int i = 0; i < 5; ++i) {
            std::string name(1, static_cast<char>('a' + i));
            nodes.push_back(tree->Items->AddChildObject(root, name, reinterpret_cast<void*>(static_cast<intptr_t>(i + 10))));
        }
        hidden = tree->Items->AddChild(nodes[4], "hidden child");
        root->Expand(false);
        tree->OnChange = [this](TObject*, TTreeNode*) { ++changes; };
    }
    // Presses on the node's label with the given MK_ keys.
    void press(TTreeNode* node, WPARAM keys) {
        TRect r = node->DisplayRect(true);
        ASSERT_FALSE(r.IsEmpty()) << node->Text();
        LPARAM at = MAKELPARAM((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        SendMessageA(tree->Handle, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        SendMessageA(tree->Handle, WM_LBUTTONUP, keys, at);
    }
    std::string selections() const {
        std::string s;
        for (int i = 0; i < tree->SelectionCount(); ++i) s += tree->Selections[i]->Text();
        return s;
    }
    // The names of the nodes whose item carries TVIS_SELECTED, in tree order.
    std::string windowSelection() const {
        std::string s;
        for (TTreeNode* n = tree->Items->GetFirstNode(); n; n = n->GetNext()) {
            if (!n->ItemId()) continue;
            LRESULT state = SendMessageA(tree->Handle, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n->ItemId()),
                                         TVIS_SELECTED);
            if (state & TVIS_SELECTED) s += n->Text();
        }
        return s;
    }
    TTreeView* tree = nullptr;
    TTreeNode* root = nullptr;
    TTreeNode* hidden = nullptr;
    std::vector<TTreeNode*> nodes;
    int changes = 0;
};

TEST_F(TreeViewTest, CtrlAndShiftPressesBuildTheSelection) {
    struct Step {
        int node;
        WPARAM keys;
        const char* selections;  // in selection order
        const char* marked;      // TVIS_SELECTED in tree order
    };
    const Step steps[] = {
        {1, 0, "b", "b"},
        {3, MK_CONTROL, "bd", "bd"},
        {0, MK_CONTROL, "bda", "abd"},
        {3, MK_CONTROL, "ba", "ab"},               // toggled off; the anchor moves to d all the same
        {4, MK_SHIFT, "de", "de"},                 // range from the anchor
        {2, MK_SHIFT, "dc", "cd"},                 // a new range replaces the old one, walked from d
        {0, MK_SHIFT | MK_CONTROL, "dcba", "abcd"},  // Ctrl adds the range
        {2, 0, "c", "c"},
    };
    int expectedChanges = 0;
    for (const Step& step : steps) {
        press(nodes[static_cast<size_t>(step.node)], step.keys);
        ++expectedChanges;
        EXPECT_EQ(selections(), step.selections) << "after pressing " << nodes[static_cast<size_t>(step.node)]->Text();
        EXPECT_EQ(windowSelection(), step.marked) << "after pressing " << nodes[static_cast<size_t>(step.node)]->Text();
        EXPECT_EQ(changes, expectedChanges);
    }
    EXPECT_EQ(tree->Selected(), nodes[2]);
    // The same plain press again changes nothing and fires nothing.
    press(nodes[2], 0);
    EXPECT_EQ(changes, expectedChanges);
    // A range walks only visible nodes: the collapsed child stays out.
    press(nodes[3], 0);
    press(nodes[4], MK_SHIFT);
    EXPECT_EQ(selections(), "de");
    EXPECT_FALSE(hidden->Selected());
}

TEST_F(TreeViewTest, KeyboardMovesTheSelection) {
    press(nodes[1], 0);
    int before = changes;
    SendMessageA(tree->Handle, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(selections(), "c");
    EXPECT_EQ(windowSelection(), "c");
    EXPECT_EQ(tree->Selected(), nodes[2]);
    EXPECT_EQ(changes, before + 1);
}

TEST_F(TreeViewTest, ClicksAndDoubleClicksReachTheHandlers) {
    int clicks = 0, doubles = 0;
    tree->OnClick = [&](TObject*) { ++clicks; };
    tree->OnDblClick = [&](TObject*) { ++doubles; };
    press(nodes[4], 0);
    TRect r = nodes[4]->DisplayRect(true);
    LPARAM at = MAKELPARAM(r.Left + 2, r.Top + 2);
    SendMessageA(tree->Handle, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(tree->Handle, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(clicks, 1) << "the release after a double click is no click";
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(selections(), "e");
}

TEST_F(TreeViewTest, SelectionFromCodeAndNodeData) {
    nodes[3]->Selected = true;
    nodes[1]->Selected = true;
    EXPECT_EQ(selections(), "db");
    EXPECT_EQ(windowSelection(), "bd");
    EXPECT_EQ(changes, 2);
    tree->Selected = nodes[0];
    EXPECT_EQ(selections(), "a");
    EXPECT_EQ(changes, 3);

    EXPECT_EQ(reinterpret_cast<intptr_t>(tree->Selections[0]->Data()), 10);
    EXPECT_EQ(root->Count(), 5);
    EXPECT_TRUE(root->HasChildren());
    EXPECT_EQ(root->getFirstChild(), nodes[0]);
    EXPECT_EQ(nodes[0]->getNextSibling(), nodes[1]);
    EXPECT_EQ(nodes[4]->Level(), 1);
    EXPECT_EQ(hidden->Parent(), nodes[4]);
    EXPECT_EQ(tree->Items->Count(), 7);
    EXPECT_EQ(tree->Items->Item[6](), hidden);

    // Deleting a selected node drops it quietly.
    tree->Selected = nodes[1];
    int before = changes;
    nodes[1]->Delete();
    EXPECT_EQ(tree->SelectionCount(), 0);
    EXPECT_EQ(changes, before);
    EXPECT_EQ(root->Count(), 4);
}

TEST_F(TreeViewTest, InsertedNodesTakeTheirPlace) {
    TTreeNode* before = tree->Items->InsertObject(nodes[2], "b2", nullptr);
    EXPECT_EQ(before->Index(), 2);
    EXPECT_EQ(nodes[1]->getNextSibling(), before);
    HTREEITEM afterB = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree->Handle, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(nodes[1]->ItemId())));
    EXPECT_EQ(afterB, before->ItemId()) << "the window shows it in the same place";
}

TEST_F(TreeViewTest, NodesExpansionAndSelectionSurviveRecreation) {
    nodes[4]->Expand(false);
    press(nodes[0], 0);
    press(nodes[2], MK_CONTROL);
    HWND window = tree->Handle;
    tree->ShowLines = false;  // re-creates the window
    ASSERT_NE(tree->Handle(), window);
    EXPECT_EQ(SendMessageA(tree->Handle, TVM_GETCOUNT, 0, 0), 7);
    EXPECT_TRUE(nodes[4]->Expanded());
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(selections(), "ac");
    EXPECT_EQ(windowSelection(), "ac");
    press(hidden, MK_CONTROL);  // now visible, and still a working node
    EXPECT_EQ(selections(), "achidden child");
}

}  // namespace
