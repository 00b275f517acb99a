// Points packed into 32-bit entries, and the change notification of the list.
#include "components/runtime/qclpointlist.h"

#include <gtest/gtest.h>

namespace {

TEST(PointList, PackedValuesReadBack) {
    struct Case { TPoint stored, read; } cases[] = {
        {{5, -1}, {5, -1}},
        {{-1, 7}, {65535, 7}},
        {{65535, -32768}, {65535, -32768}},
        {{0, 32767}, {0, 32767}},
        {{70000, 40000}, {70000 - 65536, 40000 - 65536}},
    };
    TQCLPointList list;
    for (const auto& c : cases) {
        list.AddPoint(c.stored);
        TPoint p;
        list.GetPoint(list.Count - 1, p);
        EXPECT_EQ(p, c.read) << c.stored.x << ',' << c.stored.y;
    }
}

TEST(PointList, IndexesPastTheEndAreIgnoredNegativeOnesRaise) {
    TQCLPointList list;
    list.AddPoint(TPoint(1, 2));
    TPoint p(9, 9);
    list.GetPoint(1, p);
    EXPECT_EQ(p, TPoint(9, 9));
    list.PutPoint(1, TPoint(3, 3));
    EXPECT_EQ(list.Count, 1);
    EXPECT_THROW(list.GetPoint(-1, p), EListError);
    EXPECT_THROW(list.PutPoint(-1, p), EListError);
}

TEST(PointList, Notifications) {
    TQCLPointList list;
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    list.AddPoint(TPoint(1, 1));
    EXPECT_EQ(changes, 2);

    list.BeginUpdate();
    list.BeginUpdate();
    list.AddPoint(TPoint(2, 2));
    list.DeletePoint(0);
    list.EndUpdate(true);
    EXPECT_EQ(changes, 2);  // still inside the outer update
    list.EndUpdate(true);
    EXPECT_EQ(changes, 3);
    list.EndUpdate(true);  // unmatched: nothing
    EXPECT_EQ(changes, 3);
}

TEST(PointList, CloneReplacesTheTarget) {
    TQCLPointList source, target;
    source.AddPoint(TPoint(1, 2));
    source.AddPoint(TPoint(3, -4));
    target.AddPoint(TPoint(9, 9));
    source.Clone(&target);
    source.Clone(nullptr);
    ASSERT_EQ(target.Count, 2);
    TPoint p;
    target.GetPoint(1, p);
    EXPECT_EQ(p, TPoint(3, -4));
}

}  // namespace
