// The record dialogs' window-free rules: the entry editor's slots and size,
// the names a category or field may have, the search over a small model
// (order, one line per row, case by the ANSI rules, line breaks) and the
// characters a key typed in the result list adds.
#include <gtest/gtest.h>

#include "dialogs/RecordDialogRules.h"
#include "dialogs/VaultSearch.h"
#include "tests/dialogs/RecordDialogsFixture.h"

namespace {

using recordtest::makeCategory;

const int Offset = 71;

TEST(EntryLayoutTest, SlotsAndFormSizeFollowTheFields) {
    struct Case {
        const char* what;
        std::vector<int> types;
        std::vector<int> controlTops;
        int height, width, range;
    } cases[] = {
        {"one line", {0}, {72}, 236, 355, 100},
        {"one paragraph", {1}, {72}, 236, 355, 143},
        {"paragraph then line: the line two slots lower", {1, 0}, {72, 168}, 281, 355, 196},
        {"three lines fit the start height", {0, 0, 0}, {72, 120, 168}, 281, 355, 196},
        {"ten lines stop at 600 and widen", std::vector<int>(10, 0),
         {72, 120, 168, 216, 264, 312, 360, 408, 456, 504}, 600, 370, 532},
        {"no fields", {}, {}, 236, 355, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<category> owner(new category("c"));
        for (int type : c.types) owner->addHeader("f", type, 0);
        recordrules::EntryLayout layout = recordrules::layoutEntry(owner->headerList(), Offset);
        ASSERT_EQ(layout.slots.size(), c.controlTops.size());
        for (size_t i = 0; i < c.controlTops.size(); ++i) {
            EXPECT_EQ(layout.slots[i].controlTop, c.controlTops[i]) << i;
            EXPECT_EQ(layout.slots[i].captionTop, c.controlTops[i] - 17) << i;
            EXPECT_EQ(layout.slots[i].kind, c.types[i]) << i;
        }
        EXPECT_EQ(layout.formHeight, c.height);
        EXPECT_EQ(layout.formWidth, c.width);
        EXPECT_EQ(layout.scrollRange, c.range);
        // Every row ends inside the content panel or inside the scroll range.
        for (size_t i = 0; i < layout.slots.size(); ++i) {
            const int bottom = layout.slots[i].controlTop + (layout.slots[i].kind ? 64 : 21);
            EXPECT_LE(bottom, std::max(layout.formHeight - Offset, layout.scrollRange)) << i;
        }
    }
}

TEST(NameRuleTest, QuotesAndGreaterThanAreRefused) {
    const struct {
        const char* name;
        bool allowed;
    } cases[] = {{"Web Sites", true}, {"", true}, {"<b>", false}, {"a>b", false}, {"say \"hi\"", false},
                 {"Caf\xE9 & Bar's", true}};
    for (const auto& c : cases) EXPECT_EQ(recordrules::nameIsAllowed(c.name), c.allowed) << c.name;
}

class SearchModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.reset(makeCategory("Encrypted Files", {{"File", 0, 0}},
                                 {{"C:\\Docs\\WILLIAM.txt"}, {"C:\\Docs\\plan.txt"}}));
        chain.add(makeCategory("Web", {{"Name", 0, 0}, {"Login", 0, 0}, {"Password", 0, 2}, {"Notes", 1, 1}},
                               {{"Bank", "william", "pw1", "Call\r\nWill"},
                                {"Mail", "joe", "Will!", "x"},
                                {"Shop", "sam", "pw", "two\r\nlines\nhere"}}));
        chain.add(makeCategory("Trips", {{"Place", 0, 0}}, {{"\xC9t\xE9 \xE0 Paris"}, {"Rome"}}));
    }
    std::unique_ptr<category> files;
    recordtest::Chain chain;
};

TEST_F(SearchModelTest, OneLinePerRowForItsFirstMatchingFieldEncryptedFilesFirst) {
    struct Expected {
        const char* category;
        int row;
        const char* field;
        const char* data;
    };
    const struct {
        const char* term;
        std::vector<Expected> hits;
    } cases[] = {
        {"will",
         {{"Encrypted Files", 0, "File", "C:\\Docs\\WILLIAM.txt"},
          {"Web", 0, "Login", "william"},
          {"Web", 1, "Password", "Will!"}}},
        {"WiLL",
         {{"Encrypted Files", 0, "File", "C:\\Docs\\WILLIAM.txt"},
          {"Web", 0, "Login", "william"},
          {"Web", 1, "Password", "Will!"}}},
        {"lines", {{"Web", 2, "Notes", "two lines here"}}},
        {"call\r\nw", {{"Web", 0, "Notes", "Call Will"}}},
        {"\xE9t\xE9", {{"Trips", 0, "Place", "\xC9t\xE9 \xE0 Paris"}}},
        {"\xC0 PARIS", {{"Trips", 0, "Place", "\xC9t\xE9 \xE0 Paris"}}},
        {"", {}},
        {"nowhere", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.term);
        std::vector<vaultsearch::Hit> hits = vaultsearch::search(files.get(), chain.head, c.term);
        ASSERT_EQ(hits.size(), c.hits.size());
        for (size_t i = 0; i < hits.size(); ++i) {
            EXPECT_EQ(hits[i].categoryName, c.hits[i].category) << i;
            EXPECT_EQ(hits[i].owner->getName(), c.hits[i].category) << i;
            EXPECT_EQ(hits[i].row, c.hits[i].row) << i;
            EXPECT_EQ(hits[i].fieldName, c.hits[i].field) << i;
            EXPECT_EQ(hits[i].data, c.hits[i].data) << i;
        }
    }
}

TEST_F(SearchModelTest, TwoCategoriesOfOneNameKeepTheirOwnRows) {
    category* first = chain.add(makeCategory("No Name", {{"A", 0, 0}}, {{"same value"}, {"other"}}));
    category* second = chain.add(makeCategory("No Name", {{"A", 0, 0}}, {{"zzz"}, {"same value"}}));
    std::vector<vaultsearch::Hit> hits = vaultsearch::search(nullptr, chain.head, "same value");
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0].owner, first);
    EXPECT_EQ(hits[0].row, 0);
    EXPECT_EQ(hits[1].owner, second);
    EXPECT_EQ(hits[1].row, 1);
}

TEST(SearchKeyTest, OnlyLettersAndUnshiftedDigitsAddACharacter) {
    const struct {
        WORD key;
        bool shift, caps;
        char added;
    } cases[] = {
        {'W', false, false, 'w'}, {'W', true, false, 'W'}, {'W', false, true, 'W'}, {'5', false, false, '5'},
        {'5', true, false, 0},    {VK_NUMPAD7, false, false, '7'}, {VK_SHIFT, true, false, 0},
        {VK_CONTROL, false, false, 0}, {VK_SPACE, false, false, 0}, {VK_OEM_PERIOD, false, false, 0},
        {VK_RETURN, false, false, 0},  {VK_F2, false, false, 0},     {VK_LEFT, false, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vaultsearch::keyToSearchChar(c.key, c.shift, c.caps), c.added)
            << "key " << c.key << " shift " << c.shift << " caps " << c.caps;
}

}  // namespace
