// Gallery entries of the record dialogs: the entry editor for a new entry and
// for an entry of ten fields, the category list, the category editor, the
// field editor, and the search with results and with none.
#include "components/runtime/qclclass.h"
#include "dialogs/QZ_EditCat.h"
#include "dialogs/QZ_Frm_Category.h"
#include "dialogs/QZ_Frm_NewHeader.h"
#include "dialogs/QZ_Frm_NewPword.h"
#include "dialogs/QZ_Frm_Search.h"
#include "tests/gallery/Gallery.h"

#include <memory>

namespace {

category* webSites() {
    auto* c = new category("Web Sites");
    c->addHeader("Name", htOneLine, hsShown);
    c->addHeader("Login ID", htOneLine, hsShown);
    c->addHeader("Password", htOneLine, hsSecret);
    c->addHeader("Web Site", htOneLine, hsShown);
    c->addHeader("Notes", htParagraph, hsEditorOnly);
    c->insertRow({"Bank", "jsmith", "c0rrect-h0rse", "https://bank.example.com", "Branch on Mill Road"});
    c->insertRow({"Email", "john.smith", "pa55word", "https://mail.example.org", ""});
    c->insertRow({"William's shop", "will", "s3cret", "https://shop.example.com", "Gift card\r\nexpires in May"});
    return c;
}

// Web Sites, Bank Accounts and Software, as a new vault has them.
category* chain() {
    category* head = webSites();
    auto* bank = new category("Bank Accounts");
    bank->addHeader("Bank", htOneLine, hsShown);
    bank->addHeader("Account Number", htOneLine, hsShown);
    bank->addHeader("PIN", htOneLine, hsSecret);
    bank->insertRow({"Mill Road Savings", "0041 7731 9", "4821"});
    bank->insertRow({"Will & Sons Credit Union", "88-1200", "1999"});
    auto* software = new category("Software");
    software->addHeader("Product", htOneLine, hsShown);
    software->addHeader("Serial", htOneLine, hsShown);
    software->insertRow({"Photo editor", "WILL-4411-ABCD"});
    head->next = bank;
    bank->next = software;
    return head;
}

void shootEntry(gallery::Shot& shot, category& shown, bool editing, RowValues values) {
    QCLInitApplication();
    auto* dialog = MakeForm<TQZ_Form_NewPassword>(nullptr);
    dialog->SetupEntry(shown.headerList(), editing, shown.getName(), shown.headerCount(), &values);
    shot.form(dialog);
    dialog->Free();
    QCLDoneApplication();
}

void shootSearch(gallery::Shot& shot, const char* term) {
    QCLInitApplication();
    std::unique_ptr<category> vault(chain());
    std::unique_ptr<category> files(new category("Encrypted Files"));
    files->addHeader("File", htOneLine, hsShown);
    files->insertRow({"C:\\Documents and Settings\\Pat\\My Documents\\Will.doc"});
    auto* dialog = MakeForm<TFrm_Search>(nullptr);
    dialog->SetCategories(vault.get(), files.get());
    dialog->QCLEdit1->SetText(term);
    dialog->RunSearch();
    shot.form(dialog);
    dialog->Free();
    QCLDoneApplication();
}

}  // namespace

BRIM_GALLERY_ENTRY("entry-new") {
    std::unique_ptr<category> shown(webSites());
    shootEntry(shot, *shown, false, {});
}

BRIM_GALLERY_ENTRY("entry-edit-ten-fields") {
    std::unique_ptr<category> shown(new category("Software"));
    const char* names[] = {"Product", "Version", "Serial", "Licence Key", "Registered To",
                           "E-mail",  "Bought",  "Price",  "Shop",        "Download Site"};
    RowValues values = {"Photo editor", "7.2", "WILL-4411-ABCD", "9F3A-22C1-77D0-1B8E", "Pat Smith",
                        "pat@example.com", "12/03/2026", "49.00", "Mill Road Computers", "https://example.com/get"};
    for (const char* name : names) shown->addHeader(name, htOneLine, hsShown);
    shootEntry(shot, *shown, true, values);
}

BRIM_GALLERY_ENTRY("categories") {
    QCLInitApplication();
    std::unique_ptr<category> vault(chain());
    auto* dialog = MakeForm<TQZ_Category_Form>(nullptr, vault.get(), vault.get());
    shot.form(dialog);
    dialog->Free();
    QCLDoneApplication();
}

BRIM_GALLERY_ENTRY("edit-category") {
    QCLInitApplication();
    std::unique_ptr<category> shown(webSites());
    auto* dialog = MakeForm<TQZ_EditCat_Form>(nullptr, shown.get());
    shot.form(dialog);
    dialog->Free();
    QCLDoneApplication();
}

BRIM_GALLERY_ENTRY("new-field") {
    QCLInitApplication();
    header field("", htOneLine, hsShown);
    auto* dialog = MakeForm<TQZ_NewHeader>(nullptr, &field);
    shot.form(dialog);
    dialog->Free();
    QCLDoneApplication();
}

BRIM_GALLERY_ENTRY("search-results") { shootSearch(shot, "will"); }

BRIM_GALLERY_ENTRY("search-no-matches") { shootSearch(shot, "zebra"); }
