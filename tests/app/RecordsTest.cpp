// The main window's records side on a real window: the editor rows' places, masked rows that
// keep the real value through every kind of change (and real typing), copying, the entry flows
// with scripted dialogs (new, edit, delete, search, categories), emptying an entry, sorting by a
// header of the visible columns, and the empty-category help.
#include "tests/app/RecordsFixture.h"

#include "app/ProgramDialogs.h"
#include "app/componentList.h"
#include "components/controls/QCLListBox.h"
#include "components/runtime/qclclass.h"
#include "dialogs/QZ_Frm_NewPword.h"
#include "framework/ControlMap.h"
#include "framework/Clipbrd.h"
#include "skin/KTransButton.h"
#include "skin/Tranimag.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

namespace mainwintest {
namespace {

using brimtest::MessageBoxScript;

TEST_F(RecordsTest, EditorRowsStandAtTheirTopsWithParagraphsTakingTwoSlots) {
    openRecords();
    content().hidePwords = true;
    passwords();
    show();

    struct Case {
        int header;
        int captionTop, controlTop, buttonTop;
        int kind;
    } cases[] = {
        {0, 45, 60, 55, 0}, {1, 93, 108, 103, 0}, {2, 141, 156, 151, 0}, {3, 189, 204, 220, 1},
        // After the paragraph: 96 pixels lower than a one-line field would have put it.
        {4, 285, 300, 295, 0},
    };
    const int W = form->EditorPanel->Width;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        componentList* r = editorRow(c.header);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->caption->Top, c.captionTop);
        EXPECT_EQ(r->getKind(), c.kind);
        TControl* control = c.kind == 0 ? static_cast<TControl*>(r->edit) : static_cast<TControl*>(r->memo);
        EXPECT_EQ(control->Top, c.controlTop);
        EXPECT_EQ(control->Left, 8);
        EXPECT_EQ(control->Width, W - 46);
        EXPECT_EQ(r->copyButton->Top, c.buttonTop);
        EXPECT_EQ(r->copyButton->Left, W - 34);
        EXPECT_EQ(r->emptyImage->Top, c.buttonTop);
    }
    EXPECT_EQ(form->EditorPanelHeight, 48 * 5 + 89);
    EXPECT_EQ(text(editorRow(0)->caption->Caption), "Name:");
    // The list: the shown fields only, in header order.
    EXPECT_EQ(list()->GetHeaderSections()->GetCount(), 2);
    EXPECT_EQ(column(1), std::vector<std::string>{"jsmith"});
    EXPECT_EQ(selectedLines(), std::vector<int>{0});
    // The secret is masked, the real value kept.
    EXPECT_EQ(text(editorRow(2)->edit->GetText()), "***");
    EXPECT_EQ(editorRow(2)->getValue(), "pw1");
    EXPECT_EQ(editorRow(3)->getMemoText(), "line1\r\nline2");
}

TEST_F(RecordsTest, AnEmptySecretAfterAFilledOneShowsNothingAndTheEmptyPicture) {
    openRecords();
    content().hidePwords = true;
    passwords({{"Bank", "jsmith", "pw1", "n", "t"}, {"Shop", "js", "", "n", "t"}});
    show();
    componentList* secret = editorRow(2);
    EXPECT_FALSE(secret->emptyImage->Visible);
    select({1}, 1);
    form->QCLListBox2Click(nullptr);
    EXPECT_EQ(text(secret->edit->GetText()), "");
    EXPECT_EQ(secret->getValue(), "");
    EXPECT_TRUE(secret->emptyImage->Visible);
    EXPECT_FALSE(secret->copyButton->Visible);
}

TEST_F(RecordsTest, MaskedRowsKeepTheRealValueThroughEveryKindOfChange) {
    openRecords();
    content().hidePwords = true;
    category* cat = passwords();
    show();
    struct Case {
        const char* name;
        const char* start;
        std::function<void(TRecordEdit*)> act;
        const char* expect;
    } cases[] = {
        {"typing at the end", "ab", [](TRecordEdit* e) { e->Model().TypeChar('c'); }, "abc"},
        {"typing then Backspace", "ab",
         [](TRecordEdit* e) {
             e->Model().TypeChar('c');
             e->Model().CommandKey(VK_BACK);
         },
         "ab"},
        {"a typed asterisk is a real character", "ab", [](TRecordEdit* e) { e->Model().TypeChar('*'); }, "ab*"},
        {"paste at the end", "ab",
         [](TRecordEdit* e) {
             Clipboard()->SetAsText("Xy9>");
             e->PasteFromClipboard();
         },
         "abXy9>"},
        {"paste over a two-character selection in the middle", "abcd",
         [](TRecordEdit* e) {
             Clipboard()->SetAsText("Q");
             e->Model().Select(2, 2);
             e->PasteFromClipboard();
         },
         "aQd"},
        {"typing in the middle", "abcd",
         [](TRecordEdit* e) {
             e->SetCursorPos(3);
             e->Model().TypeChar('-');
         },
         "ab-cd"},
        {"overwrite at the cursor", "abcd",
         [](TRecordEdit* e) {
             QCLApplication->SetEditMode(TQCLEditMode{});
             e->SetCursorPos(2);
             e->Model().TypeChar('Z');
             QCLApplication->SetEditMode(TQCLEditMode{emInsert});
         },
         "aZcd"},
        {"undo after typing replays nothing", "ab",
         [](TRecordEdit* e) {
             e->Model().TypeChar('c');
             e->Undo();
         },
         "abc"},
        {"deleting a selection", "abcd",
         [](TRecordEdit* e) {
             e->Model().Select(2, 2);
             e->ClearSelection();
         },
         "ad"},
        {"a text set without a change record is refused", "ab",
         [](TRecordEdit* e) { e->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("xyzzy")); }, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cat->setItemText(c.start, 0, 2);
        form->QCLListBox2Click(nullptr);
        componentList* r = editorRow(2);
        r->edit->SetCursorPos(r->edit->GetLength() + 1);
        c.act(r->edit);
        const std::string expect = c.expect;
        EXPECT_EQ(r->getValue(), expect);
        EXPECT_EQ(text(r->edit->GetText()), std::string(expect.size(), '*'));
        EXPECT_EQ(cat->itemText(0, 2), expect);
        // Only the refused change leaves the vault unmodified.
        EXPECT_EQ(form->flows().Modified, std::string(c.name).find("refused") == std::string::npos);
    }
}

TEST_F(RecordsTest, UnmaskingShowsTheValueAndMaskingHidesItAgain) {
    openRecords();
    category* cat = passwords();
    show();
    componentList* secret = editorRow(2);
    EXPECT_EQ(text(secret->edit->GetText()), "pw1");
    form->hidePasswords();
    EXPECT_TRUE(content().hidePwords);
    EXPECT_EQ(text(secret->edit->GetText()), "***");
    EXPECT_EQ(text(editorRow(0)->edit->GetText()), "Bank");  // only secret fields
    secret->edit->SetCursorPos(4);
    secret->edit->Model().TypeChar('!');
    form->showPasswords();
    EXPECT_EQ(text(secret->edit->GetText()), "pw1!");
    EXPECT_EQ(cat->itemText(0, 2), "pw1!");
}

TEST_F(RecordsTest, TypingIntoAMaskedEditByRealKeysKeepsWhatWasTyped) {
    openRecords();
    content().hidePwords = true;
    category* cat = passwords();
    show();
    showInFront();
    componentList* secret = editorRow(2);
    secret->edit->SetFocus();
    secret->edit->SetCursorPos(4);
    pumpAWhile();
    typeKey('X');
    typeKey('Y');
    typeKey(VK_BACK);
    typeKey('9');
    EXPECT_TRUE(pumpUntil([&] { return cat->itemText(0, 2).size() == 5; }));
    EXPECT_EQ(cat->itemText(0, 2), "pw1x9");
    EXPECT_EQ(text(secret->edit->GetText()), "*****");
}

TEST_F(RecordsTest, DraggingAMaskedSelectionMovesTheRealCharacters) {
    openRecords();
    content().hidePwords = true;
    category* cat = passwords({{"Bank", "jsmith", "abcd", "n", "t"}});
    show();
    showInFront();
    TRecordEdit* edit = editorRow(2)->edit;
    edit->SetFocus();
    pumpAWhile();
    edit->Model().Select(1, 2);
    auto xOf = [&](int p) {
        POINT pt{};
        edit->Perform(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), p - 1);
        return static_cast<int>(pt.x);
    };
    const int y = edit->Height / 2;
    mouseTo(edit, (xOf(1) + xOf(2)) / 2 + 1, y);
    pumpAWhile();
    mouseButton(true);
    pumpAWhile();
    mouseTo(edit, xOf(4) + 12, y);
    pumpAWhile();
    mouseButton(false);
    EXPECT_TRUE(pumpUntil([&] { return cat->itemText(0, 2) != "abcd"; }));
    EXPECT_EQ(cat->itemText(0, 2), "cdab");
    EXPECT_EQ(text(edit->GetText()), "****");
}

TEST_F(RecordsTest, TheCopyButtonPutsTheRealValueOnTheClipboard) {
    openRecords();
    content().hidePwords = true;
    passwords();
    show();
    showInFront();
    componentList* secret = editorRow(2);
    ASSERT_TRUE(fillClipboard("something else"));
    // A press on an opaque pixel of the button, as a user would.
    KTransButton* button = secret->copyButton;
    TBitmap* picture = button->GetBitMap();
    int px = -1, py = -1;
    for (int y = picture->GetHeight() / 2; y < picture->GetHeight() && px < 0; ++y)
        for (int x = picture->GetWidth() / 2; x < picture->GetWidth() && px < 0; ++x)
            if (ColorToRGB(picture->GetCanvas()->GetPixel(x, y)) != ColorToRGB(button->GetTransparentColor())) {
                px = x;
                py = y;
            }
    ASSERT_GE(px, 0) << "the copy picture has no opaque pixel";
    mouseTo(form->EditorPanel, button->Left + px, button->Top + py);
    pumpAWhile();
    mouseButton(true);
    pumpAWhile();
    mouseButton(false);
    EXPECT_TRUE(pumpUntil([] { return text(Clipboard()->GetAsText()) == "pw1"; }));
    EXPECT_EQ(text(secret->edit->GetText()), "***");
    EXPECT_EQ(secret->getValue(), "pw1");

    // A paragraph copies its text.
    form->CompMouseRelease(editorRow(3)->copyButton);
    EXPECT_EQ(text(Clipboard()->GetAsText()), "line1\r\nline2");
}

TEST_F(RecordsTest, EmptyingEveryFieldRemovesTheEntryAfterTheMessageAndSaves) {
    openRecords();
    category* cat = notes();
    cat->insertRow({"second"});
    show();
    select({1}, 1);
    form->QCLListBox2Click(nullptr);
    MessageBoxScript boxes({mbrOk});
    TRecordEdit* edit = editorRow(0)->edit;
    edit->SelectAll();
    edit->ClearSelection();
    EXPECT_EQ(boxes.texts(),
              std::vector<std::string>{
                  "You have removed all data from this entry.  It will now be removed from your vault."});
    EXPECT_EQ(cat->rowCount(), 1);
    EXPECT_EQ(column(0), std::vector<std::string>{"kept Home"});
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), std::vector<std::string>{"kept Home"});
}

TEST_F(RecordsTest, AChangeWithNoListLineStoresNothing) {
    openRecords();
    category* cat = notes();
    show();
    form->QCLListBox2->Clear();  // no line: the list index is no row
    editorRow(0)->edit->Model().TypeChar('x');
    EXPECT_EQ(cat->itemText(0, 0), "kept Home");
    EXPECT_FALSE(form->flows().Modified);
}

TEST_F(RecordsTest, NewEntryFlows) {
    struct Case {
        const char* name;
        bool sortFirst;
        int dialogResult;
        const char* value;
        std::vector<std::string> expectLines;
        const char* expectSelected;
        bool expectTip;
    } cases[] = {
        {"appended and selected", false, 1, "Zed", {"kept Home", "b", "Zed"}, "Zed", true},
        {"a sorted category selects the new line in its place", true, 1, "Aaa", {"Aaa", "b", "kept Home"}, "Aaa",
         true},
        {"an equal entry adds nothing; the last line is selected", false, 1, "b", {"kept Home", "b"}, "b", true},
        {"cancelled", false, 2, "never", {"kept Home", "b"}, "kept Home", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshVault();
        openRecords();
        category* cat = notes();
        cat->insertRow({"b"});
        show();
        if (c.sortFirst) form->QCLListBox2HeaderSectionClick(list()->Header(), list()->GetHeaderSections()->GetItem(0));
        rdialogs.calls.clear();
        rdialogs.entry = [&](category& shown, RowValues& values) {
            EXPECT_EQ(&shown, cat);
            EXPECT_EQ(values, RowValues{""});
            values[0] = c.value;
            return c.dialogResult;
        };
        MessageBoxScript boxes;
        form->KTransNewButtonMouseRelease(nullptr);
        EXPECT_EQ(column(0), c.expectLines);
        ASSERT_EQ(selectedLines().size(), 1u);
        EXPECT_EQ(text(list()->ItemPart(selectedLines()[0], 0)), c.expectSelected);
        EXPECT_EQ(editorRow(0)->getValue(), c.expectSelected);
        const bool tipped = std::find(rdialogs.calls.begin(), rdialogs.calls.end(), "tip 2") != rdialogs.calls.end();
        EXPECT_EQ(tipped, c.expectTip);
        std::vector<std::string> saved = savedNotes(temp.path(), "Home", Password);
        std::sort(saved.begin(), saved.end());
        std::vector<std::string> lines = c.dialogResult == 1 ? c.expectLines : std::vector<std::string>{"kept Home"};
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(saved, lines);
        form->Free();
        form = nullptr;
    }
}

TEST_F(RecordsTest, ANewEntryTypedIntoTheEntryDialogIsListedSelectedAndSaved) {
    openRecords();
    category* cat = notes();
    show();
    ProgramDialogs real;
    rdialogs.entry = [&](category& shown, RowValues& values) { return real.editEntry(form, true, shown, values); };
    // The user's part, from a timer inside the entry dialog's modal loop: type, then click "Ok".
    int step = 0;
    TTimer* timer = new TTimer(nullptr);
    timer->Interval = 50;
    timer->OnTimer = [&](TObject*) {
        HWND window = FindWindowA(nullptr, "QZ_Form_NewPassword");
        if (!window || !IsWindowVisible(window)) return;
        if (GetForegroundWindow() != window) {
            SetForegroundWindow(window);
            return;
        }
        auto* dialog = dynamic_cast<TQZ_Form_NewPassword*>(TWinControl::FindControl(window));
        if (!dialog || dialog->EditorRows().empty()) return;
        switch (step++) {
        case 0:
            SetFocus(dialog->EditorRows()[0].edit->Handle);
            for (char c : std::string("typed")) typeKey(static_cast<WORD>(toupper(static_cast<unsigned char>(c))));
            break;
        case 1: {
            RECT r{};
            GetWindowRect(dialog->xpOkButton->Handle, &r);
            POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ScreenToClient(form->Handle, &centre);
            mouseTo(form, centre.x, centre.y);
            break;
        }
        case 2:
            mouseButton(true);
            mouseButton(false);
            break;
        default:
            if (step > 100) PostMessageA(window, WM_CLOSE, 0, 0);  // a missed click fails, not hangs
        }
    };
    MessageBoxScript boxes;
    form->KTransNewButtonMouseRelease(nullptr);
    timer->Free();
    EXPECT_EQ(column(0), (std::vector<std::string>{"kept Home", "typed"}));
    EXPECT_EQ(selectedLines(), std::vector<int>{1});
    EXPECT_EQ(cat->rowCount(), 2);
    EXPECT_EQ(savedNotes(temp.path(), "Home", Password), (std::vector<std::string>{"kept Home", "typed"}));
}

TEST_F(RecordsTest, NoNewEntryInTheEncryptedFilesCategory) {
    openRecords();
    ASSERT_NE(content().encryptedFiles, nullptr);
    content().current = content().encryptedFiles;
    content().currCat = 1;
    show();
    MessageBoxScript boxes({mbrOk});
    form->KTransNewButtonMouseRelease(nullptr);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].icon, mbiCaution);
    EXPECT_EQ(std::count(rdialogs.calls.begin(), rdialogs.calls.end(), "new entry"), 0);
}

// In the Encrypted Files category the file buttons stand beside the record buttons: no picture
// covers another and no two captions share a place, New stays reachable (it answers there with its
// caution), and each picture button is found by its name rather than by its caption's label.
TEST_F(RecordsTest, TheFileButtonsStandBesideTheRecordButtons) {
    openRecords();
    passwords();
    content().current = content().encryptedFiles;
    content().currCat = 1;
    show();
    form->showFileButtons(true);
    std::vector<TControl*> pictures, captions;
    for (int i = 0; i < form->PanelCommands->GetControlCount(); ++i) {
        TControl* c = form->PanelCommands->GetControl(i);
        if (!c->Visible) continue;
        if (dynamic_cast<KTransButton*>(c)) pictures.push_back(c);
        if (dynamic_cast<TLabel*>(c)) captions.push_back(c);
    }
    EXPECT_NE(std::find(pictures.begin(), pictures.end(), form->KTransNewButton), pictures.end());
    EXPECT_NE(std::find(pictures.begin(), pictures.end(), form->KTransRemoveFileButton), pictures.end());
    for (const std::vector<TControl*>* kind : {&pictures, &captions})
        for (std::size_t a = 0; a < kind->size(); ++a)
            for (std::size_t b = a + 1; b < kind->size(); ++b) {
                const TRect r = (*kind)[a]->BoundsRect(), q = (*kind)[b]->BoundsRect();
                const int apart = std::abs((r.Left + r.Right) - (q.Left + q.Right)) / 2;
                EXPECT_GE(apart, std::min(r.Width(), q.Width()) * 3 / 4)
                    << (*kind)[a]->GetName() << " and " << (*kind)[b]->GetName() << " share a place";
            }
    EXPECT_EQ(ControlMapFind(form, "KTransRemoveFileButton"), form->KTransRemoveFileButton);
    EXPECT_EQ(ControlMapFind(form, "KTransNewFileButton"), form->KTransNewFileButton);
}

TEST_F(RecordsTest, EditingThroughTheDialogUpdatesShownColumnsOnlyAndCountsAsModified) {
    openRecords();
    content().hidePwords = true;
    category* cat = passwords();
    show();
    rdialogs.entry = [](category&, RowValues& values) {
        EXPECT_EQ(values[0], "Bank");
        values[0] = "Bank 2";
        values[2] = "newpw";
        return 1;
    };
    form->QCLListBox2DblClick(nullptr);
    EXPECT_EQ(column(0), std::vector<std::string>{"Bank 2"});
    EXPECT_EQ(column(1), std::vector<std::string>{"jsmith"});  // the secret is not a list column
    EXPECT_EQ(cat->itemText(0, 2), "newpw");
    EXPECT_EQ(text(editorRow(2)->edit->GetText()), "*****");
    EXPECT_TRUE(form->flows().Modified);
}

// The list's own notifications, on the window made as the program makes it (its loading bracket closed).
TEST_F(RecordsTest, ASelectionChangeInTheListLoadsTheEntryAndADoubleClickEditsIt) {
    openRecords();
    passwords({{"Bank", "jsmith", "pw1", "n1", "t1"}, {"Card", "jdoe", "pw2", "n2", "t2"}});
    show();
    HWND inner = list()->InnerList()->GetHandle();
    const auto notify = [&](WORD code) {
        SendMessageA(GetParent(inner), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(inner), code),
                     reinterpret_cast<LPARAM>(inner));
    };
    select({1}, 1);
    notify(LBN_SELCHANGE);
    EXPECT_EQ(text(editorRow(0)->edit->GetText()), "Card");
    rdialogs.calls.clear();
    notify(LBN_DBLCLK);
    EXPECT_EQ(rdialogs.calls, std::vector<std::string>{"edit entry"});
}

TEST_F(RecordsTest, DeleteRemovesExactlyTheSelectedLines) {
    struct Case {
        const char* name;
        std::initializer_list<int> selected;
        int caret;
        int answer;  // 0: no question expected
        std::vector<std::string> expectLeft;
    } cases[] = {
        {"the caret line is not selected", {1}, 0, mbrYes, {"kept Home", "c", "d", "e"}},
        {"three lines selected", {0, 2, 4}, 2, mbrYes, {"b", "d"}},
        {"answered No", {1, 2}, 1, mbrNo, {"kept Home", "b", "c", "d", "e"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        freshVault();
        openRecords();
        category* cat = notes();
        for (const char* v : {"b", "c", "d", "e"}) cat->insertRow({v});
        show();
        select(c.selected, c.caret);
        MessageBoxScript boxes({c.answer});
        form->KTransDeleteButtonMouseRelease(nullptr);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Are you sure that you would like to delete this entry?"});
        EXPECT_EQ(column(0), c.expectLeft);
        if (c.answer == mbrYes) {
            EXPECT_EQ(savedNotes(temp.path(), "Home", Password), c.expectLeft);
        }
        form->Free();
        form = nullptr;
    }
}

TEST_F(RecordsTest, DeleteWithNothingSelectedAsksToSelectFirst) {
    openRecords();
    notes();
    show();
    select({}, 0);
    MessageBoxScript boxes({mbrOk});
    form->KTransDeleteButtonMouseRelease(nullptr);
    EXPECT_EQ(boxes.texts(), std::vector<std::string>{"You must first select the entry that you would like to delete."});
    EXPECT_EQ(column(0), std::vector<std::string>{"kept Home"});
}

TEST_F(RecordsTest, AHeaderClickSortsByTheHeaderOfThatVisibleColumn) {
    openRecords();
    category* cat = addCategory("Mixed",
                                {{"Secret", htOneLine, hsSecret}, {"Name", htOneLine, hsShown},
                                 {"Number", htOneLine, hsShown}},
                                {{"s1", "b", "10"}, {"s2", "a", "9"}, {"s3", "c", "-1"}});
    show();
    auto clickSection = [&](int index) {
        form->QCLListBox2HeaderSectionClick(list()->Header(), list()->GetHeaderSections()->GetItem(index));
    };
    struct Step {
        int section;
        std::vector<std::string> names;
        int descending;
    } steps[] = {
        {1, {"c", "a", "b"}, 0},  // "Number", the second visible column, is the third header
        {1, {"b", "a", "c"}, 1},  // again: descending
        {0, {"a", "b", "c"}, 0},
    };
    for (const Step& s : steps) {
        clickSection(s.section);
        EXPECT_EQ(column(0), s.names);
        int descending = -1;
        EXPECT_EQ(cat->sortState(&descending), s.section);
        EXPECT_EQ(descending, s.descending);
        EXPECT_EQ(list()->GetHeaderSections()->GetCount(), 2);
    }
    // Column widths go back to the headers they show.
    list()->GetHeaderSections()->GetItem(1)->SetWidth(150);
    form->QCLListBox2HeaderSectionResize(list()->Header(), list()->GetHeaderSections()->GetItem(1));
    EXPECT_EQ(cat->headerAt(2)->width, 150);
    EXPECT_EQ(cat->headerAt(0)->width, 90);
}

TEST_F(RecordsTest, ASearchHitSelectsItsCategoryAndLine) {
    openRecords();
    category* cat = passwords({{"Bank", "a", "1", "", ""}, {"Shop", "b", "2", "", ""}});
    notes();
    show();
    rdialogs.searcher = [&](category* chain, category* files, category*& found, int& row) {
        EXPECT_EQ(chain, content().userCategories);
        EXPECT_EQ(files, content().encryptedFiles);
        found = cat;
        row = 1;
        return true;
    };
    rdialogs.calls.clear();
    form->KTransSearchButtonMouseRelease(nullptr);
    EXPECT_EQ(content().current, cat);
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), 3);
    EXPECT_EQ(selectedLines(), std::vector<int>{1});
    EXPECT_EQ(editorRow(0)->getValue(), "Shop");
    EXPECT_EQ(rdialogs.calls, std::vector<std::string>{"search"});

    // With passwords hidden, the search is told to hide them too.
    form->hidePasswords();
    rdialogs.calls.clear();
    form->KTransSearchButtonMouseRelease(nullptr);
    EXPECT_EQ(rdialogs.calls, std::vector<std::string>{"search, secrets hidden"});
}

TEST_F(RecordsTest, TheCategoryDialogDecidesTheCurrentCategory) {
    openRecords();
    category* pw = passwords();
    show();
    // The current category deleted in the dialog: the first one becomes current.
    rdialogs.categories = [&](category* current, category*& head, int&) {
        EXPECT_EQ(current, pw);
        head->next = nullptr;
        delete pw;
    };
    form->editCategories();
    EXPECT_EQ(content().current, content().userCategories);
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), 2);
    EXPECT_EQ(form->ComboBox1->GetItems()->GetCount(), 3);

    // From "Encrypted Files", a dialog closed without a choice shows "Encrypted Files" again.
    content().current = content().encryptedFiles;
    content().currCat = 1;
    form->ComboBox1->SetItemIndex(0);
    rdialogs.categories = nullptr;
    form->ComboBox1Change(nullptr);
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), 1);
    EXPECT_EQ(content().current, content().encryptedFiles);

    // A chosen category becomes current.
    content().addCategory("Later");
    rdialogs.categories = [](category*, category*&, int& selected) { selected = 1; };
    form->editCategories();
    EXPECT_EQ(content().current->getName(), "Later");
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), 3);
}

// Add File and Remove File take the places of New and Delete: only one pair (with its labels) shows.
TEST_F(RecordsTest, TheFileButtonsShowOnlyInEncryptedFilesBesideNewAndDelete) {
    openRecords();
    show();
    auto showing = [&](std::initializer_list<TControl*> controls) {
        std::vector<bool> shown;
        for (TControl* c : controls) shown.push_back(c->Visible);
        return shown;
    };
    const std::initializer_list<TControl*> records{form->KTransNewButton, form->KTransDeleteButton, form->LabelNew,
                                                  form->LabelDelete};
    const std::initializer_list<TControl*> files{form->KTransNewFileButton, form->KTransRemoveFileButton,
                                                form->LabelNewFile, form->LabelRemoveFile};
    const std::vector<bool> all(4, true), none(4, false);
    EXPECT_EQ(showing(records), all);
    EXPECT_EQ(showing(files), none);

    // New keeps answering there (with its caution) and Delete removes the selected files.
    form->ComboBox1->SetItemIndex(1);  // "Encrypted Files"
    form->ComboBox1Change(nullptr);
    EXPECT_EQ(showing(records), all);
    EXPECT_EQ(showing(files), all);

    form->ComboBox1->SetItemIndex(2);
    form->ComboBox1Change(nullptr);
    EXPECT_EQ(showing(records), all);
    EXPECT_EQ(showing(files), none);
}

TEST_F(RecordsTest, AnEmptyCategoryShowsTheHelpPanel) {
    openRecords();
    addCategory("Empty", {{"Field", htOneLine, hsShown}}, {});
    show();
    EXPECT_TRUE(form->Panel5->Visible);
    EXPECT_FALSE(form->EditorScroll->Visible);
    EXPECT_EQ(text(form->Label1->Caption), "The category \"Empty\" currently");
    EXPECT_EQ(lines(), 0);
    // Moving to a category with entries shows the editor again.
    form->ComboBox1->SetItemIndex(2);
    form->ComboBox1Change(nullptr);
    EXPECT_FALSE(form->Panel5->Visible);
    EXPECT_TRUE(form->EditorScroll->Visible);
    EXPECT_EQ(column(0), std::vector<std::string>{"kept Home"});
}

TEST_F(RecordsTest, CtrlUpAndDownMoveThroughTheCategoriesAndUpFromTheFirstOpensTheEditor) {
    openRecords();
    passwords();
    show();  // "Passwords" is item 3
    struct Step {
        int delta;
        int expectItem;
        bool expectEditor;
    } steps[] = {{+1, 3, false}, {-1, 2, false}, {-1, 1, false}, {-1, 1, true}};  // the editor closed: back on 1
    for (const Step& s : steps) {
        rdialogs.calls.clear();
        form->moveCategorySelection(s.delta);
        const bool editor = std::count(rdialogs.calls.begin(), rdialogs.calls.end(), "categories") == 1;
        EXPECT_EQ(editor, s.expectEditor);
        EXPECT_EQ(form->ComboBox1->GetItemIndex(), s.expectItem);
    }
}

TEST_F(RecordsTest, InEncryptedFilesDeleteAndSearchHitsGoToTheFileView) {
    openRecords();
    category* filesCategory = content().encryptedFiles;
    ASSERT_NE(filesCategory, nullptr);
    filesCategory->insertRow({"C:\\a.txt"});
    filesCategory->insertRow({"C:\\b.txt"});
    content().current = filesCategory;
    content().currCat = 1;
    show();
    rfiles.calls.clear();
    form->KTransDeleteButtonMouseRelease(nullptr);
    rdialogs.searcher = [&](category*, category* files, category*& found, int& row) {
        found = files;
        row = 1;
        return true;
    };
    form->KTransSearchButtonMouseRelease(nullptr);
    const std::vector<std::string> expect{"remove selected files", "show encrypted files",
                                          "select file row " + std::to_string(filesCategory->rowIdAt(1))};
    EXPECT_EQ(rfiles.calls, expect);
    EXPECT_EQ(form->ComboBox1->GetItemIndex(), 1);
    EXPECT_FALSE(form->QCLListBox2->Visible);
}

}  // namespace
}  // namespace mainwintest
