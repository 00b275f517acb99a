/*
 * The tree view's emulated multi-selection rule, kept apart from the window
 * so that it can be tested as a table.
 *
 * A plain click selects one node and makes it the anchor. Ctrl+click toggles
 * the node (an added node goes to the end of the selection order) and moves
 * the anchor. Shift+click selects the visible nodes from the anchor to the
 * clicked node, in that walking order, keeping the anchor; Ctrl+Shift adds
 * that range to the selection instead of replacing it. Without a visible
 * anchor, Shift acts as a plain click.
 */
#pragma once

#include <algorithm>
#include <vector>

template <class Node>
struct TTreeSelectionState {
    std::vector<Node*> selection;  // in selection order
    Node* anchor = nullptr;
};

template <class Node>
void ApplyTreeSelectionClick(TTreeSelectionState<Node>& state, Node* clicked, const std::vector<Node*>& visible,
                             bool ctrl, bool shift) {
    auto& selection = state.selection;
    auto contains = [&](Node* n) { return std::find(selection.begin(), selection.end(), n) != selection.end(); };
    auto anchorAt = std::find(visible.begin(), visible.end(), state.anchor);
    auto clickedAt = std::find(visible.begin(), visible.end(), clicked);
    if (shift && anchorAt != visible.end() && clickedAt != visible.end()) {
        if (!ctrl) selection.clear();
        int step = clickedAt >= anchorAt ? 1 : -1;
        for (auto it = anchorAt;; it += step) {
            if (!contains(*it)) selection.push_back(*it);
            if (it == clickedAt) break;
        }
        return;
    }
    if (ctrl) {
        auto found = std::find(selection.begin(), selection.end(), clicked);
        if (found != selection.end()) selection.erase(found);
        else selection.push_back(clicked);
    } else {
        selection.assign(1, clicked);
    }
    state.anchor = clicked;
}
