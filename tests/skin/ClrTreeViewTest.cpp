// The coloured tree on a real window: coloured nodes' texts show in the
// highlight colour on the screen, and stop doing so when uncoloured, deleted
// or hidden under a collapsed parent; the tree forgets nodes it deletes and
// keeps its colouring across a new window.
#include <gtest/gtest.h>

#include "skin/ClrTreeView.h"
#include "tests/skin/SkinFixture.h"

namespace {

constexpr TColor highlight = RGB(255, 0, 0);

class ClrTreeViewTest : public fwtest::ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        tree = new TClrTreeView(form);
        tree->SetBounds(10, 10, 250, 200);
        tree->HighlightColor = highlight;
        tree->Parent = form;
        folder = tree->Items->AddChild(nullptr, "Documents");
        file = tree->Items->AddChild(folder, "report.doc");
        other = tree->Items->AddChild(folder, "letter.txt");
        folder->Expand(false);
        fwtest::pumpIdle();
    }
    // Pixels of the highlight colour the screen shows in the node's text rectangle.
    int highlightedPixels(TTreeNode* node) {
        tree->Invalidate();
        tree->Update();
        fwtest::pumpIdle();
        auto shown = skintest::captureClient(tree->Handle);
        TRect text = node->DisplayRect(true);
        text.Right += 3;
        text.Bottom += 2;
        return skintest::countPixels(shown.get(), text, highlight);
    }
    int highlightedPixelsAnywhere() {
        tree->Invalidate();
        tree->Update();
        fwtest::pumpIdle();
        auto shown = skintest::captureClient(tree->Handle);
        return skintest::countPixels(shown.get(), Rect(0, 0, shown->GetWidth(), shown->GetHeight()), highlight);
    }
    TClrTreeView* tree = nullptr;
    TTreeNode *folder = nullptr, *file = nullptr, *other = nullptr;
};

TEST_F(ClrTreeViewTest, ColouredNodesShowTheirTextInTheHighlightColourUntilUncoloured) {
    EXPECT_EQ(highlightedPixelsAnywhere(), 0);
    EXPECT_FALSE(tree->IsColored(file)) << "never added";
    tree->SetColored(file, true);
    tree->SetColored(file, true);  // once only
    EXPECT_TRUE(tree->IsColored(file));
    EXPECT_GT(highlightedPixels(file), 5);
    EXPECT_EQ(highlightedPixels(other), 0);
    EXPECT_EQ(highlightedPixels(folder), 0);

    tree->SetColored(file, false);
    EXPECT_FALSE(tree->IsColored(file)) << "added twice, removed once: gone";
    EXPECT_EQ(highlightedPixelsAnywhere(), 0);
}

TEST_F(ClrTreeViewTest, ANodeUnderACollapsedParentIsNotDrawnAnywhere) {
    tree->SetColored(file, true);
    folder->Collapse(false);
    fwtest::pumpIdle();
    EXPECT_EQ(highlightedPixelsAnywhere(), 0);
    folder->Expand(false);
    EXPECT_GT(highlightedPixels(file), 5);
}

TEST_F(ClrTreeViewTest, DeletedNodesAreForgottenSoARecycledAddressIsNotColoured) {
    tree->SetColored(file, true);
    tree->SetColored(other, true);
    TTreeNode* stale = file;
    file->Delete();
    EXPECT_FALSE(tree->IsColored(stale));
    EXPECT_TRUE(tree->IsColored(other));

    // New nodes are likely to reuse the freed memory; none of them is coloured.
    std::vector<TTreeNode*> fresh;
    for (int i = 0; i < 20; ++i) fresh.push_back(tree->Items->AddChild(folder, "new " + std::to_string(i)));
    for (TTreeNode* node : fresh) EXPECT_FALSE(tree->IsColored(node)) << node->Text();
    EXPECT_EQ(highlightedPixels(fresh[0]), 0);

    // Deleting a parent forgets its coloured children; so does clearing the tree.
    TTreeNode* staleChild = other;
    folder->Delete();
    EXPECT_FALSE(tree->IsColored(staleChild));
    TTreeNode* root = tree->Items->AddChild(nullptr, "again");
    tree->SetColored(root, true);
    tree->Items->Clear();
    EXPECT_FALSE(tree->IsColored(root));
    EXPECT_EQ(highlightedPixelsAnywhere(), 0);
}

TEST_F(ClrTreeViewTest, ColouringSurvivesANewWindowOfTheTree) {
    tree->SetColored(file, true);
    tree->BorderStyle = bsNone;  // re-creates the window
    fwtest::pumpIdle();
    EXPECT_TRUE(tree->IsColored(file));
    EXPECT_GT(highlightedPixels(file), 5);
}

}  // namespace
