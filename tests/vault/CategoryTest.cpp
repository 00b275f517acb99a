// The vault data model: duplicates, header limits, row ids, sorting and placement, out-of-range positions.
#include "vault/category.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// A category with one visible column per name and the given rows.
std::unique_ptr<category> makeCategory(const std::vector<std::string>& headerNames,
                                       const std::vector<RowValues>& rows) {
    auto c = std::make_unique<category>("Test");
    for (const std::string& name : headerNames) c->addHeader(name, htOneLine, hsShown);
    for (const RowValues& values : rows) c->insertRow(values);
    return c;
}

std::vector<std::string> column(const category& c, int col) {
    std::vector<std::string> values;
    for (int i = 0; i < c.rowCount(); ++i) values.push_back(c.itemText(i, col));
    return values;
}

std::vector<int> ids(const category& c) {
    std::vector<int> all;
    for (int i = 0; i < c.rowCount(); ++i) all.push_back(c.rowIdAt(i));
    return all;
}

TEST(Category, EqualRowIsNotInsertedTwiceButOtherCaseIs) {
    auto c = makeCategory({"Name", "Password"}, {{"a", "1"}, {"b", "2"}});
    EXPECT_EQ(c->insertRow({"b", "2"}), 1);
    EXPECT_EQ(c->rowCount(), 2);
    EXPECT_EQ(c->getNextRowId(), 2);
    EXPECT_EQ(c->insertRow({"B", "2"}), -1);
    EXPECT_EQ(c->rowCount(), 3);
    EXPECT_EQ(c->getNextRowId(), 3);
}

TEST(Category, DuplicateCheckFollowsEditsAndHeaderChanges) {
    auto c = makeCategory({"Name"}, {{"a"}, {"b"}});
    c->setItemText("c", 1, 0);
    EXPECT_EQ(c->insertRow({"b"}), -1) << "the edited row no longer holds b";
    EXPECT_EQ(c->insertRow({"c"}), 1);
    c->addHeader("Extra", htOneLine, hsShown);
    EXPECT_EQ(c->insertRow({"a", ""}), 0);
    c->deleteRow(0);
    EXPECT_EQ(c->insertRow({"a", ""}), -1);
}

TEST(Category, ThirtyHeadersAtMost) {
    auto c = makeCategory({}, {});
    for (int i = 0; i < 30; ++i) c->addHeader("H" + std::to_string(i), htOneLine, hsShown);
    c->insertRow(RowValues(30, "x"));
    c->addHeader("H30", htOneLine, hsShown);
    EXPECT_EQ(c->headerCount(), 30);
    EXPECT_EQ(c->rowItems(0)->size(), 30u);
    EXPECT_EQ(c->headerAt(30), nullptr);
    EXPECT_EQ(c->headerAt(29)->name, "H29");
}

TEST(Category, RowIdsReturnToZeroOnlyWhenTheLastRowGoes) {
    auto c = makeCategory({"N"}, {{"0"}, {"1"}, {"2"}, {"3"}, {"4"}});
    c->deleteRow(2);
    c->insertRow({"x"});
    EXPECT_EQ(c->rowIdAt(c->rowCount() - 1), 5) << "ids are not reused while rows exist";
    c->deleteRowById(5);
    for (int id : {0, 1, 3, 4}) c->deleteRowById(id);
    EXPECT_EQ(c->rowCount(), 0);
    c->insertRow({"again"});
    EXPECT_EQ(c->rowIdAt(0), 0);
}

TEST(Category, SortsNumericallyOrAsTextWithoutCase) {
    struct Case {
        std::vector<std::string> values;
        std::vector<std::string> ascending;
    };
    const Case cases[] = {
        {{"10", "9", ""}, {"", "9", "10"}},
        {{"b", "A", "10"}, {"10", "A", "b"}},
        {{"2147483647", "-1", "-2147483648"}, {"-2147483648", "-1", "2147483647"}},
        {{"2147483648", "5"}, {"2147483648", "5"}},  // out of range: text order
    };
    for (const Case& t : cases) {
        std::vector<RowValues> rows;
        for (const std::string& v : t.values) rows.push_back({v});
        auto c = makeCategory({"V"}, rows);
        c->sortByColumn(0);
        EXPECT_EQ(column(*c, 0), t.ascending) << t.values[0];
        c->sortByColumn(0);
        std::vector<std::string> descending(t.ascending.rbegin(), t.ascending.rend());
        EXPECT_EQ(column(*c, 0), descending) << t.values[0];
    }
}

TEST(Category, SortIsStableAndTogglesOnlyOnTheSameVisibleColumn) {
    auto c = makeCategory({"Key", "Hidden", "Tag"}, {{"b", "", "1"}, {"a", "", "2"}, {"b", "", "3"}, {"a", "", "4"}});
    c->headerAt(1)->show = hsEditorOnly;
    c->sortByColumn(0);
    EXPECT_EQ(column(*c, 2), (std::vector<std::string>{"2", "4", "1", "3"}));
    int descending = -1;
    EXPECT_EQ(c->sortState(&descending), 0);
    EXPECT_EQ(descending, 0);
    c->sortByColumn(0);
    EXPECT_EQ(c->sortState(&descending), 0);
    EXPECT_EQ(descending, 1);
    EXPECT_EQ(column(*c, 2), (std::vector<std::string>{"1", "3", "2", "4"}));
    c->sortByColumn(2);  // visible column 1 (the hidden header is not counted)
    EXPECT_EQ(c->sortState(&descending), 1);
    EXPECT_EQ(descending, 0);
    EXPECT_EQ(c->sortState(nullptr), 1);
}

TEST(Category, NewRowsInASortedCategoryArePlacedByText) {
    auto c = makeCategory({"V"}, {{"20"}, {"9"}});
    c->sortByColumn(0);
    ASSERT_EQ(column(*c, 0), (std::vector<std::string>{"9", "20"}));
    c->insertRow({"10"});
    EXPECT_EQ(column(*c, 0), (std::vector<std::string>{"10", "9", "20"}));
    c->sortByColumn(0);  // descending
    c->insertRow({"9"});  // duplicate: nothing
    c->insertRow({"A"});
    c->insertRow({"0"});
    EXPECT_EQ(column(*c, 0), (std::vector<std::string>{"A", "20", "10", "9", "0"}));
    c->insertRow({"5"});
    EXPECT_EQ(column(*c, 0), (std::vector<std::string>{"A", "5", "20", "10", "9", "0"}));
}

TEST(Category, FindRowIdAndRowLookups) {
    auto empty = makeCategory({"A"}, {});
    EXPECT_EQ(empty->findRowId({"x"}), -1);
    auto c = makeCategory({"A", "B", "C"}, {{"1", "2", "3"}, {"", "", ""}});
    c->headerAt(1)->show = hsSecret;
    EXPECT_EQ(c->findRowId({"1", "2", "4"}), -1);
    EXPECT_EQ(c->findRowId({"1", "2", "3"}), 0);
    EXPECT_EQ(*c->visibleRowItems(0), (RowValues{"1", "3"}));
    EXPECT_EQ(c->visibleHeaderCount(), 2);
    EXPECT_EQ(*c->rowItemsById(1), (RowValues{"", "", ""}));
    EXPECT_TRUE(c->isRowEmpty(1));
    EXPECT_FALSE(c->isRowEmpty(0));
    EXPECT_EQ(c->itemTextById(0, 2), "3");
}

TEST(Category, MoveAndRemoveHeaderCarryTheItems) {
    auto c = makeCategory({"A", "B", "C"}, {{"a", "b", "c"}, {"1", "2", "3"}});
    c->moveHeader(2, 1);
    std::vector<std::string> names;
    for (const header* h = c->headerList(); h; h = h->next) names.push_back(h->name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "C", "B"}));
    EXPECT_EQ(*c->rowItems(0), (RowValues{"a", "c", "b"}));
    EXPECT_EQ(*c->rowItems(1), (RowValues{"1", "3", "2"}));
    c->removeHeader(0);
    EXPECT_EQ(*c->rowItems(1), (RowValues{"3", "2"}));
    EXPECT_EQ(c->headerCount(), 2);
}

TEST(Category, NegativeAndTooLargePositionsAreOutOfRange) {
    auto c = makeCategory({"A"}, {{"x"}, {"y"}});
    for (int bad : {-1, INT_MIN, 2, INT_MAX}) {
        EXPECT_FALSE(c->rowItems(bad)) << bad;
        EXPECT_FALSE(c->visibleRowItems(bad)) << bad;
        EXPECT_FALSE(c->rowItemsById(bad)) << bad;
        EXPECT_EQ(c->itemText(bad, 0), "") << bad;
        EXPECT_EQ(c->itemTextById(bad, 0), "") << bad;
        EXPECT_FALSE(c->isRowEmpty(bad)) << bad;
        c->setItemText("changed", bad, 0);
        c->deleteRow(bad);
        c->deleteRowById(bad);
        EXPECT_EQ(c->headerAt(bad), nullptr);
        c->removeHeader(bad);
        c->moveHeader(bad, 0);
        EXPECT_EQ(column(*c, 0), (std::vector<std::string>{"x", "y"})) << bad;
        EXPECT_EQ(c->rowCount(), 2);
        EXPECT_EQ(c->getNextRowId(), 2);
        EXPECT_EQ(c->headerCount(), 1);
    }
}

TEST(Category, LongChainsAreDestroyedWithoutRecursion) {
    auto c = makeCategory({"N", "V"}, {});
    for (int i = 0; i < 200000; ++i) c->insertRow({std::to_string(i), "v"});
    EXPECT_EQ(c->rowCount(), 200000);
    EXPECT_EQ(c->insertRow({"123456", "v"}), 123456);
    EXPECT_EQ(ids(*c).back(), 199999);
    c.reset();
    category* head = new category("first");
    category* tail = head;
    for (int i = 0; i < 100000; ++i) tail = tail->next = new category("c");
    delete head;
}

}  // namespace
