// The tree view's emulated multi-selection rule as a table of clicks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TreeSelection.h"

namespace {

struct N {
    char name;
};

TEST(TreeSelectionRule, ClicksWithCtrlAndShift) {
    N a{'a'}, b{'b'}, c{'c'}, d{'d'}, e{'e'};
    const std::vector<N*> visible{&a, &b, &c, &d, &e};
    struct Click {
        N* node;
        bool ctrl, shift;
    };
    struct Case {
        const char* name;
        std::vector<Click> clicks;
        std::string selection;  // in selection order
        char anchor;
    };
    const Case cases[] = {
        {"plain click selects one", {{&b, false, false}, {&d, false, false}}, "d", 'd'},
        {"ctrl adds in click order", {{&d, false, false}, {&a, true, false}, {&c, true, false}}, "dac", 'c'},
        {"ctrl toggles off", {{&a, false, false}, {&c, true, false}, {&a, true, false}}, "c", 'a'},
        {"shift walks down from the anchor", {{&b, false, false}, {&d, false, true}}, "bcd", 'b'},
        {"shift walks up from the anchor", {{&d, false, false}, {&b, false, true}}, "dcb", 'd'},
        {"second shift replaces the range", {{&c, false, false}, {&e, false, true}, {&a, false, true}}, "cba", 'c'},
        {"ctrl+shift adds the range", {{&a, false, false}, {&c, true, false}, {&e, true, true}}, "acde", 'c'},
        {"shift without an anchor is a plain click", {{&c, false, true}}, "c", 'c'},
    };
    for (const Case& test : cases) {
        TTreeSelectionState<N> state;
        for (const Click& click : test.clicks) ApplyTreeSelectionClick(state, click.node, visible, click.ctrl, click.shift);
        std::string selection;
        for (N* n : state.selection) selection += n->name;
        EXPECT_EQ(selection, test.selection) << test.name;
        ASSERT_NE(state.anchor, nullptr) << test.name;
        EXPECT_EQ(state.anchor->name, test.anchor) << test.name;
    }
}

TEST(TreeSelectionRule, ShiftToAHiddenNodeActsAsPlainClick) {
    N a{'a'}, hidden{'h'};
    TTreeSelectionState<N> state;
    ApplyTreeSelectionClick(state, &a, {&a}, false, false);
    ApplyTreeSelectionClick(state, &hidden, {&a}, false, true);
    ASSERT_EQ(state.selection.size(), 1u);
    EXPECT_EQ(state.selection[0], &hidden);
}

}  // namespace
