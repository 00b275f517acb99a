// The category list, category editor and field editor on their real windows
// over a real chain of categories: new categories cancelled or left unnamed
// are unlinked (the only one too), an emptied name becomes "No Name",
// deletion of the first, a middle and the only category, the field limit,
// the rule that a category shows at least one field in the list, moves that
// carry the entries' values, the selection after deleting the last field,
// field changes kept after Cancel, the field editor's type and view rules,
// and names with quotation marks or greater-than signs refused.
#include <gtest/gtest.h>

#include "dialogs/QZ_EditCat.h"
#include "dialogs/QZ_Frm_Category.h"
#include "dialogs/QZ_Frm_NewHeader.h"
#include "dialogs/RecordDialogRules.h"
#include "tests/dialogs/RecordDialogsFixture.h"
#include "tests/skin/SkinFixture.h"
#include "tests/support/MessageBoxScript.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;
using dialogtest::typeText;
using fwtest::pumpIdle;
using recordtest::makeCategory;
using recordtest::whenUp;

const char* const DeleteCategoryQuestion =
    "By deleting this category, you will lose all data that is stored in it.  Are you sure you would like to do "
    "this?";
const char* const NeedsAField =
    "Each category must have at least one field.  Select the New Field button to add a field to the category.";

void ctrlKey(char letter) {
    skintest::pressKeys({{VK_CONTROL, true}, {static_cast<WORD>(letter), true}});
    skintest::pressKeys({{static_cast<WORD>(letter), false}, {VK_CONTROL, false}});
    pumpIdle();
}

void clickListRow(TListBox* list, int row) {
    const int height = list->ItemHeight;
    TPoint at = list->ClientToScreen(Point(10, height * row + height / 2));
    skintest::moveMouseTo(at.x, at.y);
    pumpIdle();
    skintest::mouseButton(true);
    skintest::mouseButton(false);
    pumpIdle();
}

// Clears the focused library edit as a user would: End, then Backspace over its text.
void clearEdit(TQCLEdit* edit) {
    click(edit);
    dialogtest::tapKey(VK_END);
    for (int i = edit->GetLength(); i > 0; --i) dialogtest::tapKey(VK_BACK);
}

// Adds a field through "New Field" of an open category editor.
void addField(TQZ_EditCat_Form* editor, const std::string& name) {
    auto done = std::make_shared<bool>(false);
    whenUp<TQZ_NewHeader>("QZ_NewHeader",
                          [name](TQZ_NewHeader* field) {
                              click(field->Edit1);
                              typeText(name);
                              click(field->xpOkButton);
                          },
                          done);
    click(editor->xpNewFieldButton);
    EXPECT_TRUE(*done) << "the field editor was not answered";
}

class CategoryDialogsTest : public recordtest::RecordDialogTest {
protected:
    void TearDown() override {
        if (list) list->Free();
        RecordDialogTest::TearDown();
    }
    TQZ_Category_Form* openList(category* current) {
        list = MakeForm<TQZ_Category_Form>(nullptr, current, chain.head);
        return list;
    }
    // The chain the dialog left, adopted by the test's owner of the chain.
    void adopt() { chain.head = list->ChainHead(); }
    recordtest::Chain chain;
    TQZ_Category_Form* list = nullptr;
};

TEST_F(CategoryDialogsTest, NewCategoryStaysOnlyWhenConfirmedWithAName) {
    enum Ending { Cancel, OkUnnamed, OkNamed };
    const struct {
        const char* what;
        bool chainEmpty;
        Ending ending;
        std::vector<std::string> names;
    } cases[] = {
        {"cancelled, the only one", true, Cancel, {}},
        {"cancelled after another", false, Cancel, {"Web"}},
        {"confirmed unnamed", false, OkUnnamed, {"Web"}},
        {"confirmed unnamed, the only one", true, OkUnnamed, {}},
        {"confirmed with a name", false, OkNamed, {"Web", "Bank"}},
        {"confirmed with a name into an empty chain", true, OkNamed, {"Bank"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        delete chain.head;
        chain.head = nullptr;
        category* web = c.chainEmpty ? nullptr : chain.add(makeCategory("Web", {{"Name", 0, 0}}, {{"x"}}));
        openList(web);
        auto done = std::make_shared<bool>(false);
        int result = showModal(list, [&] {
            ASSERT_TRUE(dialogtest::bringUp(list));
            whenUp<TQZ_EditCat_Form>("QZ_EditCat_Form",
                                     [&](TQZ_EditCat_Form* editor) {
                                         EXPECT_EQ(editor->MessageTitle->Caption(), "New Category");
                                         EXPECT_EQ(editor->NameLine->Caption(),
                                                   "Choose a name for this category, and enter it here.");
                                         if (c.ending == Cancel) {
                                             click(editor->xpCancelButton);
                                             return;
                                         }
                                         addField(editor, "Account");
                                         if (c.ending == OkNamed) {
                                             click(editor->QCLEdit1);
                                             typeText("Bank");
                                         }
                                         click(editor->xpOkButton);
                                     },
                                     done);
            ctrlKey('N');
            EXPECT_TRUE(*done);
            click(list->xpOkButton);
        });
        EXPECT_EQ(result, 1);
        adopt();
        EXPECT_EQ(chain.names(), c.names);
        if (c.ending == OkNamed) {
            EXPECT_EQ(list->SelectedIndex(), static_cast<int>(c.names.size()) - 1);
            EXPECT_EQ(list->ListBox1->Items->GetCount(), 1);
        } else {
            EXPECT_EQ(list->GetSelectedCategory(), web) << "the selection before the new category comes back";
        }
        EXPECT_EQ(list->ListBox2->Items->GetCount(), static_cast<int>(c.names.size()));
        list->Free();
        list = nullptr;
    }
}

TEST_F(CategoryDialogsTest, AnEmptiedNameBecomesNoName) {
    chain.add(makeCategory("Web", {{"Name", 0, 0}}));
    category* bank = chain.add(makeCategory("Bank", {{"Account", 0, 0}}));
    openList(bank);
    auto done = std::make_shared<bool>(false);
    showModal(list, [&] {
        ASSERT_TRUE(dialogtest::bringUp(list));
        whenUp<TQZ_EditCat_Form>("QZ_EditCat_Form",
                                 [](TQZ_EditCat_Form* editor) {
                                     EXPECT_EQ(editor->MessageTitle->Caption(), "Edit Category");
                                     clearEdit(editor->QCLEdit1);
                                     click(editor->xpOkButton);
                                 },
                                 done);
        ctrlKey('E');
        EXPECT_TRUE(*done);
        click(list->xpOkButton);
    });
    adopt();
    EXPECT_EQ(chain.names(), (std::vector<std::string>{"Web", "No Name"}));
    EXPECT_EQ(list->ListBox2->Items->Get(1), "No Name");
    EXPECT_EQ(list->SelectedIndex(), 1);
}

TEST_F(CategoryDialogsTest, DeleteUnlinksTheSelectedCategoryOnly) {
    const struct {
        const char* what;
        std::vector<const char*> names;
        int selected;  // -1: the current category is not listed
        int answer;
        std::vector<std::string> left;
    } cases[] = {
        {"first", {"A", "B", "C"}, 0, mbrYes, {"B", "C"}},
        {"middle", {"A", "B", "C"}, 1, mbrYes, {"A", "C"}},
        {"last", {"A", "B", "C"}, 2, mbrYes, {"A", "B"}},
        {"only", {"A"}, 0, mbrYes, {}},
        {"answered No", {"A", "B"}, 0, mbrNo, {"A", "B"}},
        {"no line selected", {"A", "B"}, -1, mbrYes, {"A", "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        delete chain.head;
        chain.head = nullptr;
        std::vector<category*> made;
        for (const char* name : c.names) made.push_back(chain.add(makeCategory(name, {{"F", 0, 0}}, {{"v"}})));
        openList(c.selected >= 0 ? made[c.selected] : nullptr);
        const bool asks = c.selected >= 0;
        brimtest::MessageBoxScript boxes(asks ? std::vector<int>{c.answer} : std::vector<int>{});
        showModal(list, [&] {
            ASSERT_TRUE(dialogtest::bringUp(list));
            dialogtest::tapKey(VK_DELETE);
            click(list->xpOkButton);
        });
        adopt();
        EXPECT_EQ(chain.names(), c.left);
        EXPECT_EQ(boxes.texts(), asks ? std::vector<std::string>{DeleteCategoryQuestion} : std::vector<std::string>{});
        if (asks) {
            EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
        }
        EXPECT_EQ(list->ListBox2->Items->GetCount(), static_cast<int>(c.left.size()));
        if (asks && c.answer == mbrYes) {
            EXPECT_EQ(list->GetSelectedCategory(), nullptr);
            EXPECT_EQ(list->ListBox1->Items->GetCount(), 0);
        }
        list->Free();
        list = nullptr;
    }
}

class EditCategoryTest : public recordtest::RecordDialogTest {
protected:
    void TearDown() override {
        if (editor) editor->Free();
        RecordDialogTest::TearDown();
    }
    TQZ_EditCat_Form* open(category* c) { return editor = MakeForm<TQZ_EditCat_Form>(nullptr, c); }
    std::vector<std::string> fieldLines() {
        std::vector<std::string> lines;
        for (int i = 0; i < editor->QCLListBox1->GetItems()->GetCount(); ++i)
            lines.push_back(editor->QCLListBox1->ItemPart(i, 1));
        return lines;
    }
    TQZ_EditCat_Form* editor = nullptr;
};

TEST_F(EditCategoryTest, TheFieldListShowsNumberNameTypeAndView) {
    std::unique_ptr<category> c(makeCategory("Web", {{"Name", 0, 0}, {"Notes", 1, 1}, {"Password", 0, 2}}));
    open(c.get());
    EXPECT_EQ(editor->MessageTitle->Caption(), "Edit Category");
    EXPECT_EQ(std::string(editor->QCLEdit1->GetText()), "Web");
    const char* expected[][4] = {{"1", "Name", "One Line", "Yes"}, {"2", "Notes", "Paragraph", "No"},
                                 {"3", "Password", "One Line", "Secret"}};
    ASSERT_EQ(editor->QCLListBox1->GetItems()->GetCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(editor->QCLListBox1->ItemPart(row, column), expected[row][column]) << row << "," << column;
    EXPECT_EQ(editor->SelectedField(), 0);
    std::unique_ptr<category> empty(makeCategory("", {}));
    TQZ_EditCat_Form* bare = MakeForm<TQZ_EditCat_Form>(nullptr, empty.get());
    for (TxpButton* b : {bare->xpEditFieldButton, bare->xpDeleteFieldButton, bare->xpMoveUpButton, bare->xpMoveDownButton})
        EXPECT_FALSE(b->Enabled) << b->Caption();
    bare->Free();
}

TEST_F(EditCategoryTest, The31stFieldIsRefused) {
    std::unique_ptr<category> c(makeCategory("Big", {}));
    for (int i = 0; i < MaxHeaders; ++i) c->addHeader("F" + std::to_string(i), 0, 0);
    open(c.get());
    brimtest::MessageBoxScript boxes({mbrOk});
    showModal(editor, [&] {
        ASSERT_TRUE(dialogtest::bringUp(editor));
        click(editor->xpNewFieldButton);
        EXPECT_EQ(dialogtest::findDialog("QZ_NewHeader"), nullptr);
        click(editor->xpCancelButton);
    });
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"You may only have a maximum of 30 fields in a single category."});
    EXPECT_EQ(c->headerCount(), MaxHeaders);
}

TEST_F(EditCategoryTest, OkNeedsAFieldShownInTheListColumns) {
    const struct {
        const char* what;
        std::vector<recordtest::FieldSpec> fields;
        bool accepted;
    } cases[] = {
        {"no fields", {}, false},
        {"only No and Secret", {{"Notes", 1, 1}, {"Pin", 0, 2}}, false},
        {"one shown field", {{"Notes", 1, 1}, {"Name", 0, 0}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<category> edited(makeCategory("Web", c.fields));
        open(edited.get());
        brimtest::MessageBoxScript boxes(c.accepted ? std::vector<int>{} : std::vector<int>{mbrOk});
        int result = showModal(editor, [&] {
            ASSERT_TRUE(dialogtest::bringUp(editor));
            clearEdit(editor->QCLEdit1);
            typeText("Renamed");
            click(editor->xpOkButton);
            if (!c.accepted) {
                EXPECT_EQ(editor->GetModalResult(), 0) << "stays open";
                click(editor->xpCancelButton);
            }
        });
        EXPECT_EQ(result, c.accepted ? 1 : 2);
        EXPECT_EQ(edited->getName(), c.accepted ? "Renamed" : "Web");
        if (!c.accepted) {
            EXPECT_EQ(boxes.texts(), std::vector<std::string>{NeedsAField});
            EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
        }
        editor->Free();
        editor = nullptr;
    }
}

TEST_F(EditCategoryTest, MovesCarryTheEntriesValuesAndStopAtTheEnds) {
    std::unique_ptr<category> c(
        makeCategory("Web", {{"A", 0, 0}, {"B", 0, 0}, {"C", 0, 0}}, {{"a1", "b1", "c1"}, {"a2", "b2", "c2"}}));
    open(c.get());
    showModal(editor, [&] {
        ASSERT_TRUE(dialogtest::bringUp(editor));
        click(editor->xpMoveUpButton);  // at the first line: nothing
        click(editor->xpMoveDownButton);
        EXPECT_EQ(editor->SelectedField(), 1);
        click(editor->xpMoveDownButton);
        EXPECT_EQ(editor->SelectedField(), 2);
        click(editor->xpMoveDownButton);  // at the last line: nothing
        EXPECT_EQ(editor->SelectedField(), 2);
        click(editor->xpCancelButton);
    });
    EXPECT_EQ(fieldLines(), (std::vector<std::string>{"B", "C", "A"}));
    EXPECT_EQ(c->headerAt(2)->name, "A");
    EXPECT_EQ(*c->rowItems(0), (RowValues{"b1", "c1", "a1"}));
    EXPECT_EQ(*c->rowItems(1), (RowValues{"b2", "c2", "a2"}));
}

TEST_F(EditCategoryTest, DeletingAFieldSelectsTheSameLineOrTheNewLast) {
    const struct {
        int selected;
        std::vector<std::string> left;
        int selectedAfter;
    } cases[] = {{2, {"A", "B"}, 1}, {0, {"B", "C"}, 0}, {1, {"A", "C"}, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selected);
        std::unique_ptr<category> edited(
            makeCategory("Web", {{"A", 0, 0}, {"B", 0, 0}, {"C", 0, 0}}, {{"a", "b", "c"}}));
        open(edited.get());
        brimtest::MessageBoxScript boxes({mbrYes});
        showModal(editor, [&] {
            ASSERT_TRUE(dialogtest::bringUp(editor));
            clickListRow(editor->QCLListBox1->InnerList(), c.selected);
            EXPECT_EQ(editor->SelectedField(), c.selected);
            dialogtest::tapKey(VK_DELETE);  // the field list has the focus
            click(editor->xpCancelButton);
        });
        EXPECT_EQ(fieldLines(), c.left);
        EXPECT_EQ(editor->SelectedField(), c.selectedAfter);
        EXPECT_EQ(edited->rowItems(0)->size(), 2u);
        editor->Free();
        editor = nullptr;
    }
}

TEST_F(EditCategoryTest, DeleteInTheNameEditsTheNameOnly) {
    std::unique_ptr<category> c(makeCategory("Web", {{"A", 0, 0}}));
    open(c.get());
    brimtest::MessageBoxScript boxes;  // no question may come
    showModal(editor, [&] {
        ASSERT_TRUE(dialogtest::bringUp(editor));
        click(editor->QCLEdit1);
        dialogtest::tapKey(VK_HOME);
        dialogtest::tapKey(VK_DELETE);
        EXPECT_EQ(std::string(editor->QCLEdit1->GetText()), "eb");
        click(editor->xpCancelButton);
    });
    EXPECT_EQ(c->headerCount(), 1);
}

TEST_F(EditCategoryTest, CancelKeepsTheFieldChangesButNotTheName) {
    std::unique_ptr<category> c(makeCategory("Web", {{"A", 0, 0}}, {{"a"}}));
    open(c.get());
    int result = showModal(editor, [&] {
        ASSERT_TRUE(dialogtest::bringUp(editor));
        addField(editor, "Added");
        EXPECT_EQ(editor->SelectedField(), 1) << "the new field is selected";
        click(editor->QCLEdit1);
        typeText("XYZ");
        click(editor->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(c->getName(), "Web");
    ASSERT_EQ(c->headerCount(), 2);
    EXPECT_EQ(c->headerAt(1)->name, "Added");
    EXPECT_EQ(c->headerAt(1)->width, DefaultColumnWidth);
    EXPECT_EQ(*c->rowItems(0), (RowValues{"a", ""})) << "every entry gets an empty value";
}

TEST_F(EditCategoryTest, NamesWithQuotesOrGreaterThanAreRefused) {
    for (const char* name : {"a>b", "say \"x\""}) {
        SCOPED_TRACE(name);
        std::unique_ptr<category> c(makeCategory("Web", {{"A", 0, 0}}));
        open(c.get());
        brimtest::MessageBoxScript boxes({mbrOk});
        showModal(editor, [&] {
            ASSERT_TRUE(dialogtest::bringUp(editor));
            clearEdit(editor->QCLEdit1);
            typeText(name);
            click(editor->xpOkButton);
            EXPECT_EQ(editor->GetModalResult(), 0);
            click(editor->xpCancelButton);
        });
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{recordrules::NameRuleMessage});
        EXPECT_EQ(c->getName(), "Web");
        editor->Free();
        editor = nullptr;
    }
}

class FieldEditorTest : public recordtest::RecordDialogTest {};

TEST_F(FieldEditorTest, ChoicesShowTheHeaderAndParagraphIsNeverHideable) {
    const struct {
        const char* what;
        int type, show;
        bool hideableEnabled;
        int checkedView;  // 1..3
    } shown[] = {{"one line, shown", 0, 0, true, 1},
                 {"one line, secret", 0, 2, true, 3},
                 {"paragraph, details only", 1, 1, false, 2}};
    for (const auto& s : shown) {
        SCOPED_TRACE(s.what);
        header h("Name", s.type, s.show, 55);
        auto* dialog = MakeForm<TQZ_NewHeader>(nullptr, &h);
        EXPECT_EQ(dialog->MessageTitle->Caption(), "Edit Field");
        EXPECT_EQ(std::string(dialog->Edit1->Text()), "Name");
        EXPECT_EQ(dialog->RadioButton2->Checked(), s.type == 1);
        EXPECT_EQ(dialog->QCLRadioButton3->Enabled(), s.hideableEnabled);
        EXPECT_EQ(dialog->HideableSecondLine->Enabled(), s.hideableEnabled) << "its caption greyed in half";
        TQCLRadioButton* views[] = {dialog->QCLRadioButton1, dialog->QCLRadioButton2, dialog->QCLRadioButton3};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(views[i]->Checked(), i + 1 == s.checkedView) << i;
        dialog->Free();
    }
    header fresh("", 0, 0);
    auto* dialog = MakeForm<TQZ_NewHeader>(nullptr, &fresh);
    EXPECT_EQ(dialog->MessageTitle->Caption(), "New Field");
    dialog->Free();
}

TEST_F(FieldEditorTest, ClicksSetTypeViewAndWidth) {
    const struct {
        const char* what;
        int startShow, startWidth;
        std::vector<int> clicks;  // 1 One Line, 2 Paragraph, 11..13 the view choices
        int type, show, width;
    } cases[] = {
        {"hideable moves to details only when paragraph is chosen", 2, 80, {13, 2}, 1, 1, 80},
        {"one line enables hideable again", 0, 80, {2, 1, 13}, 0, 2, 80},
        {"show in both areas resets the width", 1, 80, {11}, 0, 0, 100},
        {"details only keeps the width", 0, 80, {12}, 0, 1, 80},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        header h("Pin", 0, c.startShow, c.startWidth);
        auto* dialog = MakeForm<TQZ_NewHeader>(nullptr, &h);
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            for (int target : c.clicks) {
                TQCLRadioButton* button = target == 1    ? dialog->RadioButton1
                                          : target == 2  ? dialog->RadioButton2
                                          : target == 11 ? dialog->QCLRadioButton1
                                          : target == 12 ? dialog->QCLRadioButton2
                                                         : dialog->QCLRadioButton3;
                click(button);
            }
            EXPECT_EQ(dialog->QCLRadioButton3->Enabled(), c.type == 0);
            EXPECT_EQ(dialog->HideableSecondLine->Enabled(), c.type == 0) << "its caption greyed in half";
            click(dialog->xpOkButton);
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(h.type, c.type);
        EXPECT_EQ(h.show, c.show);
        EXPECT_EQ(h.width, c.width);
        dialog->Free();
    }
}

TEST_F(FieldEditorTest, RefusedNamesAndCancelLeaveTheHeaderAsItWas) {
    const struct {
        const char* typed;
        const char* message;  // null: Cancel is clicked instead of Ok
    } cases[] = {
        {"", "You may not have a field with no name.  Please enter a name for your field, or click cancel."},
        {"a>b", recordrules::NameRuleMessage},
        {"\"quoted\"", recordrules::NameRuleMessage},
        {"Fine", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        header h("", 0, 1, 70);
        auto* dialog = MakeForm<TQZ_NewHeader>(nullptr, &h);
        brimtest::MessageBoxScript boxes(c.message ? std::vector<int>{mbrOk} : std::vector<int>{});
        int result = showModal(dialog, [&] {
            ASSERT_TRUE(dialogtest::bringUp(dialog));
            click(dialog->Edit1);
            typeText(c.typed);
            click(dialog->RadioButton2);
            if (c.message) {
                click(dialog->xpOkButton);
                EXPECT_EQ(dialog->GetModalResult(), 0);
            }
            click(dialog->xpCancelButton);
        });
        EXPECT_EQ(result, 2);
        if (c.message) {
            EXPECT_EQ(boxes.texts(), std::vector<std::string>{c.message});
        }
        EXPECT_EQ(h.name, "");
        EXPECT_EQ(h.type, 0);
        EXPECT_EQ(h.show, 1);
        EXPECT_EQ(h.width, 70);
        dialog->Free();
    }
}

}  // namespace
