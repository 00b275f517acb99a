// The search dialog on its real window over a small model: the list follows
// each key typed, secret values masked while passwords are hidden, "No Matches
// Found" when nothing matches (and "Go To" refuses it), Up and Down typed in the search text, keys typed in the list (a letter
// extends the text, Shift or punctuation adds nothing), "Go To" reaching the
// right row of two categories named alike and a multi-line value, and a
// column resize widening the scrollable range.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_Search.h"
#include "tests/dialogs/RecordDialogsFixture.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;
using dialogtest::typeText;
using fwtest::pumpIdle;
using recordtest::makeCategory;

const char* const SelectFirst =
    "You must select an item in the list in order to go to it.  Click \"Cancel\" to end your search.";

class SearchDialogTest : public recordtest::RecordDialogTest {
protected:
    void SetUp() override {
        RecordDialogTest::SetUp();
        files.reset(makeCategory("Encrypted Files", {{"File", 0, 0}}, {{"C:\\Docs\\Waldo.doc"}}));
        firstNoName = chain.add(makeCategory("No Name", {{"Name", 0, 0}, {"Notes", 1, 0}},
                                             {{"wax", "x"}, {"wide", "two\r\nlines here"}, {"same", "y"}}));
        chain.add(makeCategory("Web", {{"Site", 0, 0}, {"Login", 0, 0}}, {{"William", "a"}, {"will", "b"}}));
        secondNoName = chain.add(makeCategory("No Name", {{"Name", 0, 0}}, {{"zebra"}, {"same"}}));
        dialog = MakeForm<TFrm_Search>(nullptr);
    }
    void TearDown() override {
        dialog->Free();
        RecordDialogTest::TearDown();
    }
    int lines() { return dialog->QCLListBox1->GetItems()->GetCount(); }
    int selected() { return dialog->QCLListBox1->GetInteger(1); }
    std::string part(int row, int column) { return dialog->QCLListBox1->ItemPart(row, column); }
    std::optional<TFrm_Search::Result> run(std::function<void()> script) {
        std::optional<TFrm_Search::Result> result;
        fwtest::runLater([&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            script();
        });
        auto guard = std::make_shared<bool>(false);
        fwtest::runAfter(8000, [this, guard] {
            if (!*guard) dialog->ModalResult = dialogtest::GuardResult;
        });
        result = dialog->SearchVault(chain.head, files.get());
        *guard = true;
        return result;
    }
    std::unique_ptr<category> files;
    recordtest::Chain chain;
    category* firstNoName = nullptr;
    category* secondNoName = nullptr;
    TFrm_Search* dialog = nullptr;
};

TEST_F(SearchDialogTest, TheListFollowsEveryKeyTyped) {
    auto result = run([&] {
        EXPECT_TRUE(dialog->QCLEdit1->Focused()) << "the search text has the focus";
        const struct {
            char key;
            int lines;
        } steps[] = {{'w', 5}, {'i', 3}, {'l', 2}, {'l', 2}};
        for (const auto& s : steps) {
            typeText(std::string(1, s.key));
            EXPECT_EQ(lines(), s.lines) << dialog->QCLEdit1->GetText();
            EXPECT_EQ(selected(), 0);
        }
        EXPECT_EQ(part(0, 0), "Web");
        EXPECT_EQ(part(0, 1), "Site");
        EXPECT_EQ(part(0, 2), "William");
        EXPECT_EQ(part(1, 2), "will");
        typeText("z");
        EXPECT_EQ(lines(), 1);
        EXPECT_EQ(part(0, 0), "No Matches Found");
        dialogtest::tapKey(VK_BACK);
        EXPECT_EQ(lines(), 2);
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
}

TEST_F(SearchDialogTest, WithPasswordsHiddenASecretFieldsValueShowsMasked) {
    chain.add(makeCategory("Logins", {{"Site", 0, 0}, {"Password", 0, 2}},
                           {{"bank", "hunter2x"}, {"hunter.example", "pw"}}));
    dialog->HideSecrets = true;
    auto result = run([&] {
        typeText("hunter");
        ASSERT_EQ(lines(), 2);
        EXPECT_EQ(part(0, 1), "Password");
        EXPECT_EQ(part(0, 2), "********");
        EXPECT_EQ(part(1, 1), "Site");
        EXPECT_EQ(part(1, 2), "hunter.example");
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
}

TEST_F(SearchDialogTest, GoToRefusesThePlaceholder) {
    brimtest::MessageBoxScript boxes({mbrOk});
    auto result = run([&] {
        typeText("nowhere");
        ASSERT_EQ(lines(), 1);
        dialog->QCLListBox1->SetInteger(1, 0);
        click(dialog->xpGoToButton);
        EXPECT_EQ(dialog->GetModalResult(), 0);
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{SelectFirst});
}

TEST_F(SearchDialogTest, UpAndDownInTheSearchTextMoveTheListSelection) {
    auto result = run([&] {
        typeText("w");
        ASSERT_EQ(lines(), 5);
        dialogtest::tapKey(VK_DOWN);
        EXPECT_TRUE(dialog->QCLListBox1->Focused());
        EXPECT_EQ(selected(), 1);
        dialogtest::tapKey(VK_DOWN);  // now the list's own key
        EXPECT_EQ(selected(), 2);
        dialogtest::tapKey(VK_UP);
        EXPECT_EQ(selected(), 1);
        click(dialog->QCLEdit1);
        dialogtest::tapKey(VK_UP);
        EXPECT_EQ(selected(), 0);
        dialogtest::tapKey(VK_UP);
        EXPECT_EQ(selected(), 0) << "the first line stays selected";
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
}

TEST_F(SearchDialogTest, KeysTypedInTheListExtendTheTextOnlyWithLettersAndDigits) {
    auto result = run([&] {
        typeText("w");
        dialogtest::tapKey(VK_DOWN);
        ASSERT_TRUE(dialog->QCLListBox1->Focused());
        const struct {
            std::vector<std::pair<WORD, bool>> keys;
            const char* text;
        } steps[] = {
            {{{VK_SHIFT, true}, {VK_SHIFT, false}}, "w"},
            {{{VK_OEM_PERIOD, true}, {VK_OEM_PERIOD, false}}, "w"},
            {{{VK_SHIFT, true}, {'5', true}, {'5', false}, {VK_SHIFT, false}}, "w"},
            {{{'I', true}, {'I', false}}, "wi"},
        };
        for (const auto& s : steps) {
            SCOPED_TRACE(s.text);
            if (!dialog->QCLListBox1->Focused()) click(dialog->QCLListBox1->InnerList());
            for (const auto& k : s.keys) skintest::pressKeys({k});
            pumpIdle();
            EXPECT_EQ(std::string(dialog->QCLEdit1->GetText()), s.text);
        }
        EXPECT_TRUE(dialog->QCLEdit1->Focused()) << "the letter moved the focus to the search text";
        EXPECT_EQ(dialog->QCLEdit1->GetCursorPos(), 3);
        EXPECT_EQ(lines(), 3) << "its key release ran the search";
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
}

TEST_F(SearchDialogTest, GoToReturnsTheRowOfTheChosenLine) {
    const struct {
        const char* term;
        int line;
        int categoryIndex;  // 0 first "No Name", 1 "Web", 2 second "No Name", -1 "Encrypted Files"
        int row;
        bool byEnter;
    } cases[] = {
        {"same", 1, 2, 1, false},   // the second "No Name"
        {"same", 0, 0, 2, true},    // the first
        {"lines", 0, 0, 1, false},  // a multi-line value
        {"waldo", 0, -1, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " line " + std::to_string(c.line));
        dialog->Free();
        dialog = MakeForm<TFrm_Search>(nullptr);
        auto result = run([&] {
            typeText(c.term);
            ASSERT_GT(lines(), c.line);
            if (std::string(c.term) == "lines") {
                EXPECT_EQ(part(0, 2), "two lines here");
            }
            dialogtest::tapKey(VK_DOWN);
            dialog->QCLListBox1->SetInteger(1, c.line);
            if (c.byEnter) {
                click(dialog->QCLEdit1);
                dialogtest::tapKey(VK_RETURN);
            } else {
                click(dialog->xpGoToButton);
            }
        });
        ASSERT_TRUE(result);
        category* expected = c.categoryIndex < 0 ? files.get() : chain.head;
        for (int i = 0; i < c.categoryIndex; ++i) expected = expected->next;
        EXPECT_EQ(result->foundCategory, expected);
        EXPECT_EQ(result->foundRow, c.row);
    }
}

TEST_F(SearchDialogTest, AColumnResizeWidensTheScrollableRange) {
    auto result = run([&] {
        THeaderControl* header = dialog->QCLListBox1->Header();
        const int y = header->Height() / 2;
        TPoint from = header->ClientToScreen(Point(241, y));  // the divider after "Field"
        skintest::moveMouseTo(from.x, from.y);
        pumpIdle();
        skintest::mouseButton(true);
        pumpIdle();
        for (int x = from.x + 5; x <= from.x + 60; x += 5) {
            skintest::moveMouseTo(x, from.y);
            pumpIdle();
        }
        skintest::mouseButton(false);
        THeaderSections* sections = dialog->QCLListBox1->GetHeaderSections();
        ASSERT_TRUE(fwtest::pumpUntil([&] { return sections->GetItem(1)->GetWidth() > 150; }));
        const int right = sections->GetItem(2)->GetRight();
        EXPECT_TRUE(fwtest::pumpUntil([&] { return dialog->ScrollBox1->GetHorzScrollBar()->GetRange() == right; }))
            << "range " << dialog->ScrollBox1->GetHorzScrollBar()->GetRange() << ", data column ends at " << right;
        EXPECT_GE(dialog->QCLListBox1->Width(), right);
        click(dialog->xpCancelButton);
    });
    EXPECT_FALSE(result);
}

}  // namespace
