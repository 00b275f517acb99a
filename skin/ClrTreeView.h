/*
 * TClrTreeView: the framework's tree view with chosen nodes drawn again in a
 * highlight colour (the tree of the encrypted files marks the encrypted ones).
 *
 * After the tree has painted itself, every coloured node that is on screen
 * has its text drawn once more over the system's text, in HighlightColor with
 * a clear brush, 2 pixels right and 1 down of the text rectangle's corner.
 *
 * Tricky points:
 * - The tree does not own the nodes it colours. A node the tree deletes is
 *   forgotten at once (the window's delete notification), so a later node
 *   that happens to get the same address is never drawn coloured; nodes
 *   deleted while the tree has no window are dropped when it gets one.
 * - A node hidden under a collapsed parent or scrolled away has no text
 *   rectangle; it is skipped instead of being drawn at the top-left corner.
 */
#pragma once

#include <vector>

#include "framework/ComCtrls.h"

class TClrTreeView : public TTreeView {
public:
    explicit TClrTreeView(TComponent* AOwner);
    ~TClrTreeView() override;

    // Adds the node to the coloured ones (once) or removes it; repaints.
    void SetColored(TTreeNode* Node, bool On);
    bool IsColored(TTreeNode* Node) const;

    TColor GetHighlightColor() const { return highlightColor_; }
    void SetHighlightColor(TColor value);

    void Dispatch(TMessage& Message) override;

protected:
    // The tree paints itself, then the coloured nodes' texts are drawn again.
    void PaintIt(TMessage& Message);
    void CreateWnd() override;

private:
    void forgetDeletedItem(const TMessage& Message);
    void dropNodesNotInTree();

    TControlCanvas* overlayCanvas_;
    std::vector<TTreeNode*> coloredNodes_;
    TColor highlightColor_ = clBlack;

public:
    BRIM_PROPERTY(HighlightColor, TClrTreeView::GetHighlightColor, TClrTreeView::SetHighlightColor);
};
