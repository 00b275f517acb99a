// The entry editor on its real window: where its rows stand and how large it
// makes itself (one field, a paragraph, ten fields that scroll), values typed
// by a user coming back, an edited entry's values shown and kept by Cancel,
// an all-empty entry ending as Cancel, the trace log holding lengths but no
// value, no copy of a typed secret left in memory but the one handed back,
// and the file-row handlers.
#include <gtest/gtest.h>

#include "dialogs/QZ_Frm_NewPword.h"
#include "fileenc/EncryptedFile.h"
#include "tests/dialogs/MemoryScan.h"
#include "tests/dialogs/RecordDialogsFixture.h"
#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"
#include "vault/SecureMemory.h"
#include "vault/logger.h"

namespace {

using dialogtest::click;
using dialogtest::showModal;
using dialogtest::typeText;
using recordtest::makeCategory;

class EntryEditorTest : public recordtest::RecordDialogTest {
protected:
    TQZ_Form_NewPassword* open(category& shown, bool editing, RowValues& values) {
        dialog = MakeForm<TQZ_Form_NewPassword>(nullptr);
        dialog->SetupEntry(shown.headerList(), editing, shown.getName(), shown.headerCount(), &values);
        return dialog;
    }
    void TearDown() override {
        if (dialog) dialog->Free();
        RecordDialogTest::TearDown();
    }
    TQZ_Form_NewPassword* dialog = nullptr;
};

TEST_F(EntryEditorTest, RowsAndSizeOnTheWindow) {
    struct Case {
        const char* what;
        std::vector<recordtest::FieldSpec> fields;
        int width, height;
        bool scrolls;
    } cases[] = {
        {"one line", {{"Name", 0, 0}}, 355, 236, false},
        {"a paragraph", {{"Notes", 1, 0}}, 355, 236, false},
        {"ten lines", std::vector<recordtest::FieldSpec>(10, {"Field", 0, 0}), 370, 600, true},
        {"fourteen lines", std::vector<recordtest::FieldSpec>(14, {"Field", 0, 0}), 370, 600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<category> shown(makeCategory("Web", c.fields));
        RowValues values;
        open(*shown, false, values);
        dialog->Show();
        fwtest::pumpIdle();
        EXPECT_EQ(dialog->ClientWidth(), c.width);
        EXPECT_EQ(dialog->ClientHeight(), c.height);
        dialogtest::RegionShape shape = dialogtest::regionOf(dialog->Handle());
        EXPECT_TRUE(shape.cornerCut);
        EXPECT_EQ(shape.box.right - shape.box.left, c.width);
        EXPECT_EQ(shape.box.bottom - shape.box.top, c.height);
        const auto& rows = dialog->EditorRows();
        ASSERT_EQ(rows.size(), c.fields.size());
        EXPECT_EQ(rows[0].caption->Top(), 55);
        EXPECT_EQ(rows[0].caption->Caption(), std::string(c.fields[0].name) + ":");
        TControl* first = rows[0].kind ? static_cast<TControl*>(rows[0].memo) : rows[0].edit;
        EXPECT_EQ(first->Top(), 72);
        EXPECT_EQ(first->Left(), 8);
        EXPECT_EQ(first->Width(), dialog->EntryPanel->Width() - 16);
        EXPECT_EQ(first->Height(), rows[0].kind ? 64 : 21);
        TScrollBox* box = dialog->NewEntryScrollBox;
        EXPECT_EQ(box->GetVertScrollBar()->IsScrollBarVisible(), c.scrolls);
        if (c.scrolls) {
            // A last row below the box comes into view when the box scrolls to its end.
            TControl* last = rows.back().edit;
            auto visible = [&] {
                TPoint top = last->ClientToScreen(Point(0, last->Height()));
                TPoint boxBottom = box->ClientToScreen(Point(0, box->ClientHeight()));
                return top.y <= boxBottom.y;
            };
            const bool below = last->Top() + last->Height() > box->ClientHeight();
            EXPECT_EQ(below, c.fields.size() > 10) << "ten rows just fit; fourteen do not";
            EXPECT_EQ(visible(), !below);
            EXPECT_GT(box->GetVertScrollBar()->MaxPosition(), 0);
            box->GetVertScrollBar()->SetPosition(box->GetVertScrollBar()->MaxPosition());
            fwtest::pumpIdle();
            EXPECT_TRUE(visible());
        }
        dialog->Free();
        dialog = nullptr;
    }
}

TEST_F(EntryEditorTest, TypedValuesComeBackInFieldOrder) {
    std::unique_ptr<category> shown(
        makeCategory("Web", {{"Name", 0, 0}, {"Notes", 1, 0}, {"Password", 0, 2}}));
    RowValues values;
    open(*shown, false, values);
    EXPECT_EQ(dialog->MessageTitle->Caption(), "Category - Web");
    EXPECT_EQ(dialog->Label1->Caption(), "New Entry");
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        click(dialog->EditorRows()[0].edit);
        typeText("alice");
        dialogtest::tapKey(VK_TAB);
        typeText("line1");
        dialogtest::tapKey(VK_RETURN);
        typeText("line2");
        dialogtest::tapKey(VK_TAB);
        typeText("s3cr>t");
        click(dialog->xpOkButton);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(values, (RowValues{"alice", "line1\r\nline2", "s3cr>t"}));
}

TEST_F(EntryEditorTest, EditingShowsTheValuesAndCancelKeepsThem) {
    std::unique_ptr<category> shown(makeCategory("Web", {{"Name", 0, 0}, {"Notes", 1, 0}, {"Password", 0, 2}}));
    RowValues values{"Bank", "a\r\nb", "pw"};
    open(*shown, true, values);
    EXPECT_EQ(dialog->Label1->Caption(), "Edit Entry");
    const auto& rows = dialog->EditorRows();
    EXPECT_EQ(std::string(rows[0].edit->GetText()), "Bank");
    EXPECT_EQ(std::string(rows[1].memo->Text()), "a\r\nb");
    EXPECT_EQ(std::string(rows[2].edit->GetText()), "pw") << "secret values show in plain text here";
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        click(rows[0].edit);
        typeText("XYZ");
        click(dialog->xpCancelButton);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(values, (RowValues{"Bank", "a\r\nb", "pw"}));
}

TEST_F(EntryEditorTest, ASecretRowLeavesNoCopyBehindButTheValueHandedBack) {
    const dialogtest::MaskedSecret secret("Orch1d~Lant3rn#5512~Tamar1sk");
    std::unique_ptr<category> shown(makeCategory("Web", {{"Name", 0, 0}, {"Password", 0, 2}}));
    RowValues values{"Bank", "old password"};
    open(*shown, true, values);
    int whileTyped = 0;
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        click(dialog->EditorRows()[1].edit);
        dialogtest::tapKey(VK_END);
        for (int i = 0; i < 12; ++i) dialogtest::tapKey(VK_BACK);
        typeText("typo");  // typed, then taken back: the undo history holds it all
        for (int i = 0; i < 4; ++i) dialogtest::tapKey(VK_BACK);
        dialogtest::typeMasked(secret);
        whileTyped = dialogtest::secretPiecesInPrivateMemory(secret);
        click(dialog->xpOkButton);
    });
    ASSERT_EQ(result, 1);
    EXPECT_GE(whileTyped, 1) << "the scan finds the text while it is in the edit";
    ASSERT_TRUE(secret.matches(values[1]));
    dialog->Free();
    dialog = nullptr;
    secureWipe(&values[1][0], values[1].capacity());  // the caller's own copy, the one allowed
    fwtest::pumpIdle();
    EXPECT_EQ(dialogtest::secretPiecesInPrivateMemory(secret), 0) << dialogtest::secretPiecesReport(secret);
}

TEST_F(EntryEditorTest, OkWithEveryValueEmptyEndsAsCancel) {
    std::unique_ptr<category> shown(makeCategory("Web", {{"Name", 0, 0}, {"Notes", 1, 0}}));
    RowValues values;
    open(*shown, false, values);
    EXPECT_EQ(showModal(dialog, [&] {
                  ASSERT_TRUE(dialogtest::bringUp(dialog));
                  dialogtest::tapKey(VK_RETURN);  // the default "Ok"
              }),
              2);
}

TEST_F(EntryEditorTest, TheTraceLogHoldsLengthsButNoTypedValue) {
    brimtest::TempFolder temp;
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(temp.path().c_str());
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
    }
    std::unique_ptr<category> shown(makeCategory("Web", {{"Login", 0, 0}, {"Password", 0, 2}}));
    RowValues values;
    open(*shown, false, values);
    int result = showModal(dialog, [&] {
        ASSERT_TRUE(dialogtest::bringUp(dialog));
        click(dialog->EditorRows()[0].edit);
        typeText("jsmith");
        dialogtest::tapKey(VK_TAB);
        typeText("Hunter2pw");
        click(dialog->xpOkButton);
    });
    {
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
    }
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(result, 1);
    const std::string log = temp.readFile("Brimsafe.log");
    EXPECT_EQ(log.find("jsmith"), std::string::npos);
    EXPECT_EQ(log.find("Hunter2pw"), std::string::npos);
    for (const char* line : {"Pressed ok in NewPword", "setting vals", "value 0: 6 characters",
                             "value 1: 9 characters", "Done"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(EntryEditorTest, FileRowHandlersFillAndEmptyTheRowOfTheirControl) {
    brimtest::TempFolder temp;
    // An encrypted file starts with the format's magic; a plain one does not.
    std::string encrypted(512, '\0');
    encrypted[0] = static_cast<char>(encfile::Magic & 0xFF);
    encrypted[1] = static_cast<char>((encfile::Magic >> 8) & 0xFF);
    encrypted[2] = static_cast<char>((encfile::Magic >> 16) & 0xFF);
    encrypted[3] = static_cast<char>((encfile::Magic >> 24) & 0xFF);
    temp.writeFile("report.doc.vltenc", encrypted);
    temp.writeFile("plain.doc.vltenc", "not encrypted");
    std::unique_ptr<category> shown(makeCategory("Files", {{"Name", 0, 0}, {"Path", 0, 0}}));
    RowValues values;
    open(*shown, false, values);
    TQCLEdit* pathEdit = dialog->EditorRows()[1].edit;
    const struct {
        std::string chosen, shown;
    } cases[] = {
        {temp.file("report.doc.vltenc"), temp.file("report.doc")},
        {temp.file("plain.doc.vltenc"), temp.file("plain.doc.vltenc")},
        {temp.file("missing.txt"), temp.file("missing.txt")},
    };
    for (const auto& c : cases) {
        dialog->PutFileIntoRow(pathEdit, c.chosen);
        EXPECT_EQ(std::string(pathEdit->GetText()), c.shown);
        EXPECT_EQ(std::string(dialog->EditorRows()[0].edit->GetText()), "") << "the other row is untouched";
    }
    dialog->FileRemoveMouseRelease(pathEdit);
    EXPECT_EQ(std::string(pathEdit->GetText()), "");
    dialog->PutFileIntoRow(dialog->xpOkButton, temp.file("x.txt"));  // not a row's control: nothing
    for (const auto& row : dialog->EditorRows()) EXPECT_EQ(std::string(row.edit->GetText()), "");
}

}  // namespace
