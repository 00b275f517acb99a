// The vault text: exact writer output, escapes, the reader's selection rules and its tolerance of damage.
#include "vault/VaultText.h"

#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

namespace {

std::string asString(const SecretText& text) { return std::string(text.data(), text.size()); }

VaultContent read(const std::string& text, int currCat = 2) {
    VaultContent content;
    readVaultText(text.data(), text.size(), content, currCat);
    return content;
}

std::vector<std::string> categoryNames(const VaultContent& content) {
    std::vector<std::string> names;
    for (const category* c = content.userCategories; c; c = c->next) names.push_back(c->getName());
    return names;
}

VaultContent sample() {
    VaultContent content;
    content.addEncryptedFilesCategory();
    content.encryptedFiles->insertRow({"C:\\docs\\a.txt"});
    category* c = content.addCategory("Passwords");
    c->addHeader("Name", htOneLine, hsShown, 143);
    c->addHeader("Notes", htParagraph, hsSecret);
    c->insertRow({"Bank", "pin \"1234\""});
    c->insertRow({"", ""});
    content.addCategory("Empty");
    return content;
}

TEST(VaultText, WriterProducesTheExactText) {
    VaultContent content = sample();
    EXPECT_EQ(asString(buildVaultText(true, content.encryptedFiles, content.userCategories)),
              "<hidePwords value=1/>"
              "<category name=\"Encrypted Files\">\t<header name=\"Name\" type=0 show=0 width=428/>"
              "\t<row>\t\t<item value=\"C:\\docs\\a.txt\">\t</row></category>"
              "<category name=\"Passwords\">\t<header name=\"Name\" type=0 show=0 width=143/>"
              "\t<header name=\"Notes\" type=1 show=2 width=100/>"
              "\t<row>\t\t<item value=\"Bank\">\t\t<item value=\"pin \x11" "1234\x11\">\t</row>"
              "\t<row>\t\t<item value=\"\">\t\t<item value=\"\">\t</row></category>"
              "<category name=\"Empty\"></category>");
}

TEST(VaultText, ValuesSurviveARoundTripWhateverTheyHold) {
    const std::vector<std::string> values = {"a>b1", "say \"hi\"", "<row>", "x></row><row>", "tab\there",
                                             "line\r\nbreak", ">", "\"", ""};
    VaultContent content;
    category* c = content.addCategory("Odd > \"names\"");
    c->addHeader("Value", htOneLine, hsShown);
    for (const std::string& v : values) c->insertRow({v});
    SecretText text = buildVaultText(false, nullptr, content.userCategories);
    EXPECT_EQ(asString(text).find("a>b1"), std::string::npos) << "'>' never stands in a value";
    VaultContent back = read(asString(text));
    ASSERT_EQ(categoryNames(back), (std::vector<std::string>{"Odd > \"names\""}));
    const category* r = back.userCategories;
    ASSERT_EQ(r->rowCount(), static_cast<int>(values.size()));
    for (int i = 0; i < r->rowCount(); ++i) EXPECT_EQ(r->itemText(i, 0), values[i]);
}

TEST(VaultText, TextsWrittenWithoutTheNewEscapeReadAsBefore) {
    // As an earlier build wrote it: only the quote is escaped, and '<' stands as it is.
    const std::string old =
        "<hidePwords value=0/><category name=\"Encrypted Files\">\t<header name=\"Name\" type=0 show=0 width=428/>"
        "</category><category name=\"Contacts\">\t<header name=\"Name\" type=0 show=0 width=107/>"
        "\t<header name=\"Address\" type=1 show=1 width=0/>"
        "\t<row>\t\t<item value=\"Ann \x11" "A\x11 <b\">\t\t<item value=\"1 Main St\">\t</row></category>";
    VaultContent content = read(old);
    ASSERT_EQ(categoryNames(content), (std::vector<std::string>{"Contacts"}));
    const category* c = content.userCategories;
    EXPECT_EQ(*c->rowItems(0), (RowValues{"Ann \"A\" <b", "1 Main St"}));
    EXPECT_EQ(c->headerAt(1)->type, htParagraph);
    EXPECT_EQ(c->headerAt(1)->show, hsEditorOnly);
    EXPECT_EQ(c->headerAt(1)->width, 0);
    EXPECT_EQ(c->headerAt(0)->width, 107);
    EXPECT_EQ(content.encryptedFiles->headerAt(0)->width, 428);
}

TEST(VaultText, HidePasswordsIsOnlyEverSwitchedOn) {
    VaultContent content;
    content.hidePwords = true;
    std::string text = "<hidePwords value=0/>";
    readVaultText(text.data(), text.size(), content, 2);
    EXPECT_TRUE(content.hidePwords);
    EXPECT_TRUE(read("<hidePwords value=1/>").hidePwords);
    EXPECT_FALSE(read("<hidePwords value=0/>").hidePwords);
}

TEST(VaultText, EncryptedFilesCategoryIsMadeWhenTheTextLacksIt) {
    VaultContent content = read("<category name=\"To Do\">\t<header name=\"Task\" type=0 show=0 width=107/></category>");
    ASSERT_NE(content.encryptedFiles, nullptr);
    EXPECT_EQ(content.encryptedFiles->headerCount(), 1);
    EXPECT_EQ(content.encryptedFiles->headerAt(0)->name, "Name");
    EXPECT_EQ(categoryNames(content), (std::vector<std::string>{"To Do"}));
}

TEST(VaultText, StoredCategoryIndexSelectsTheCurrentCategory) {
    // currCat counts the category tags of the text from 1; Encrypted Files is always the first.
    const std::string text = "<category name=\"Encrypted Files\"></category><category name=\"To Do\"></category>"
                             "<category name=\"Passwords\"></category><category name=\"Contacts\"></category>";
    struct Case {
        int stored;
        std::string current;
        int currCatAfter;
    };
    const Case cases[] = {
        {1, "Encrypted Files", 1}, {2, "To Do", 2}, {3, "Passwords", 3}, {4, "Contacts", 4},
        {5, "To Do", 2},           {0, "To Do", 2}, {-7, "To Do", 2},
    };
    for (const Case& c : cases) {
        VaultContent content = read(text, c.stored);
        ASSERT_NE(content.current, nullptr) << c.stored;
        EXPECT_EQ(content.current->getName(), c.current) << c.stored;
        EXPECT_EQ(content.currCat, c.currCatAfter) << c.stored;
    }
}

TEST(VaultText, EqualRowsAndUnknownTagsAreDropped) {
    VaultContent content = read(
        "<category name=\"A\">\t<header name=\"H\" type=0 show=0 width=100/><future thing=1/>"
        "\t<row>\t\t<item value=\"same\">\t</row>\t<row>\t\t<item value=\"same\">\t</row>"
        "\t<row>\t\t<item value=\"other\">\t</row></category>");
    EXPECT_EQ(content.userCategories->rowCount(), 2);
}

TEST(VaultText, DamagedTextsAreReadAsFarAsTheyGo) {
    const std::string cases[] = {
        "<row><item value=\"before any category\"></row><header name=\"early\" type=0 show=0 width=1/>",
        "<category name=\"A\"><header name=\"H\" type=0 show=0 width=100/><row><item value=\"1\">"
        "<item value=\"surplus\"><item value=\"more\"></row>",
        "<category name=\"B><header name=\"unterminated",
        "<category name=\"C\"><header name=\"H\" type=9 show=7 width=-5/><row><item value=\"x",
        "<category name=\"D\"><header name=\"H\"/><header/><row><item></row><hidePwords>",
        "<",
        "<<<>>>",
        "",
    };
    for (const std::string& text : cases) {
        VaultContent content = read(text);
        for (const category* c = content.userCategories; c; c = c->next)
            for (int i = 0; i < c->rowCount(); ++i) EXPECT_EQ(c->rowItems(i)->size(), static_cast<size_t>(c->headerCount()));
        if (content.userCategories && content.userCategories->headerCount() > 0) {
            const header* h = content.userCategories->headerList();
            EXPECT_TRUE(h->type == 0 || h->type == 1) << text;
            EXPECT_TRUE(h->show >= 0 && h->show <= 2) << text;
        }
    }
    VaultContent a = read(cases[1]);
    EXPECT_EQ(*a.userCategories->rowItems(0), (RowValues{"1"}));
}

TEST(VaultText, EveryCutOfATextIsReadWithoutReachingPastItsEnd) {
    // Each prefix ends right before an inaccessible page: a read one byte too far faults at once.
    VaultContent content = sample();
    const std::string whole = asString(buildVaultText(content.hidePwords, content.encryptedFiles, content.userCategories));
    for (size_t length = 0; length <= whole.size(); ++length) {
        GuardedBuffer text(reinterpret_cast<const std::uint8_t*>(whole.data()), length);
        VaultContent cut;
        readVaultText(reinterpret_cast<const char*>(text.data()), length, cut, 2);
    }
    EXPECT_EQ(categoryNames(read(whole)), categoryNames(content));
}

TEST(VaultText, NextTagWalksTheTagsAndStartsOverAtTheEnd) {
    const std::string text = "xx<first a=\"1\">yy<second/><>";
    size_t cursor = 0;
    std::vector<std::string> tags;
    while (std::optional<SecretText> tag = nextTag(text.data(), text.size(), cursor)) tags.push_back(asString(*tag));
    // The character after '<' always belongs to the tag, so "<>" runs to the end without a closing sign.
    EXPECT_EQ(tags, (std::vector<std::string>{"first a=\"1\"", "second/"}));
    EXPECT_EQ(cursor, 0u);
    const std::string next = "<again>";
    EXPECT_EQ(asString(*nextTag(next.data(), next.size(), cursor)), "again");
}

TEST(VaultText, CategoriesAreAppendedWithoutWalkingTheChain) {
    // Each category tag appends at the chain's end; walking to it every time made reading a
    // vault of many categories quadratic.
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "<category name=\"c" + std::to_string(i) + "\">";
    VaultContent content = read(text);
    EXPECT_EQ(categoryNames(content).size(), 5000u);
    EXPECT_EQ(categoryNames(content).back(), "c4999");
    EXPECT_EQ(content.linksWalkedForTesting(), 0u);

    // A chain edited by hand is walked once, on the next append, and then no more.
    category* first = content.userCategories;
    content.userCategories = first->next;
    first->next = nullptr;
    delete first;
    content.chainEdited();
    content.addCategory("after the edit");
    const std::size_t walked = content.linksWalkedForTesting();
    EXPECT_EQ(walked, 4998u);
    content.addCategory("last");
    EXPECT_EQ(content.linksWalkedForTesting(), walked);
    EXPECT_EQ(categoryNames(content).size(), 5001u);
    EXPECT_EQ(categoryNames(content).back(), "last");
}

}  // namespace
