// The tree view with coloured nodes; see ClrTreeView.h.
#include "skin/ClrTreeView.h"

#include <algorithm>

namespace {

bool isDeleteNotification(const TMessage& m) {
    if (m.Msg != CN_NOTIFY) return false;
    UINT code = reinterpret_cast<const NMHDR*>(m.LParam)->code;
    return code == TVN_DELETEITEMA || code == TVN_DELETEITEMW;
}

}  // namespace

TClrTreeView::TClrTreeView(TComponent* AOwner) : TTreeView(AOwner), overlayCanvas_(new TControlCanvas(this)) {
    overlayCanvas_->Brush->Style = bsClear;
}

TClrTreeView::~TClrTreeView() { delete overlayCanvas_; }

void TClrTreeView::SetColored(TTreeNode* Node, bool On) {
    auto it = std::find(coloredNodes_.begin(), coloredNodes_.end(), Node);
    if (On && it == coloredNodes_.end()) coloredNodes_.push_back(Node);
    if (!On && it != coloredNodes_.end()) coloredNodes_.erase(it);
    Repaint();
}

bool TClrTreeView::IsColored(TTreeNode* Node) const {
    return std::find(coloredNodes_.begin(), coloredNodes_.end(), Node) != coloredNodes_.end();
}

void TClrTreeView::SetHighlightColor(TColor value) {
    if (value == highlightColor_) return;
    highlightColor_ = value;
    Invalidate();
}

void TClrTreeView::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT) {
        PaintIt(Message);
        return;
    }
    // Read before the tree handles it: the node is still whole while its item goes.
    if (isDeleteNotification(Message)) forgetDeletedItem(Message);
    TTreeView::Dispatch(Message);
}

void TClrTreeView::PaintIt(TMessage& Message) {
    TTreeView::Dispatch(Message);
    if (coloredNodes_.empty() || !HandleAllocated()) return;
    overlayCanvas_->Font = GetFont();
    overlayCanvas_->Font->Color = highlightColor_;
    overlayCanvas_->Brush->Style = bsClear;
    for (TTreeNode* node = GetItems()->GetFirstNode(); node; node = node->GetNext()) {
        if (!IsColored(node)) continue;
        TRect text = node->DisplayRect(true);
        if (text.IsEmpty()) continue;  // not on screen
        overlayCanvas_->TextOut(text.Left + 2, text.Top + 1, node->GetText());
    }
    overlayCanvas_->FreeHandle();
}

void TClrTreeView::forgetDeletedItem(const TMessage& Message) {
    const auto* info = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
    auto* node = reinterpret_cast<TTreeNode*>(info->itemOld.lParam);
    // While the window itself goes (re-creation), the nodes stay: their items
    // were unlinked before, and only a node still linked to the item dies.
    if (!node || !IsColored(node) || node->GetItemId() != info->itemOld.hItem) return;
    coloredNodes_.erase(std::remove(coloredNodes_.begin(), coloredNodes_.end(), node), coloredNodes_.end());
}

void TClrTreeView::CreateWnd() {
    dropNodesNotInTree();
    TTreeView::CreateWnd();
}

void TClrTreeView::dropNodesNotInTree() {
    std::vector<TTreeNode*> kept;
    for (TTreeNode* node = GetItems()->GetFirstNode(); node; node = node->GetNext())
        if (IsColored(node)) kept.push_back(node);
    coloredNodes_.swap(kept);
}
