// Gallery entries of the main window's records side: a "Passwords" category with a few entries,
// one selected, sorted by name, passwords hidden and a paragraph field in the editor; and an
// empty category with its help panel.
#include "app/QZ_Frm_Main.h"
#include "components/controls/QCLListBox.h"
#include "components/runtime/qclclass.h"
#include "tests/app/QuietDialogs.h"
#include "tests/gallery/Gallery.h"

namespace {

bool noHandOff(const std::string&) { return false; }

TFormMain* recordsForm(QuietDialogs& dialogs, NoFileView& files) {
    TFormMain* form = MakeForm<TFormMain>(nullptr, dialogs, files, "Brimsafe.exe", &noHandOff);
    form->SetBounds(40, 40, 757, 500);
    form->vaultShown("Brimsafe - Home");
    VaultContent& content = form->store().content();
    content.addEncryptedFilesCategory();
    category* passwords = content.addCategory("Passwords");
    passwords->addHeader("Name", htOneLine, hsShown, 110);
    passwords->addHeader("Login ID", htOneLine, hsShown, 90);
    passwords->addHeader("Password", htOneLine, hsSecret, 0);
    passwords->addHeader("Email Address", htOneLine, hsEditorOnly, 0);
    passwords->addHeader("Web Site", htOneLine, hsShown, 150);
    passwords->addHeader("Notes", htParagraph, hsEditorOnly, 0);
    const RowValues rows[] = {
        {"Work VPN", "smithj", "v9!pQ2rr", "j.smith@work.example", "vpn.example.com", ""},
        {"Bank", "jsmith", "correct horse", "john@home.example", "https://bank.example.com",
         "Security question: first pet.\r\nCard ends in 4821."},
        {"Email", "john.smith", "hunter22", "", "https://mail.example.org", ""},
        {"Shop", "john@home", "", "john@home.example", "https://shop.example.com/account", ""},
    };
    for (const RowValues& r : rows) passwords->insertRow(r);
    passwords->sortByColumn(0);
    category* empty = content.addCategory("Recipes");
    empty->addHeader("Dish", htOneLine, hsShown, 120);
    empty->addHeader("Steps", htParagraph, hsEditorOnly, 0);
    content.hidePwords = true;
    return form;
}

void showCategory(TFormMain* form, const char* name) {
    VaultContent& content = form->store().content();
    int position = 0;
    for (category* c = content.userCategories; c; c = c->next, ++position)
        if (c->getName() == name) {
            content.current = c;
            content.currCat = position + 2;
        }
    form->fillCategoryBox();
    form->populateForm(false, true);
}

}  // namespace

BRIM_GALLERY_ENTRY("main-window") {
    QCLInitApplication();
    static QuietDialogs dialogs;
    static NoFileView files;
    TFormMain* form = recordsForm(dialogs, files);
    showCategory(form, "Passwords");
    form->selectOnly(0);
    form->QCLListBox2->SetFocus();
    shot.form(form);
    form->Free();
    QCLDoneApplication();
}

BRIM_GALLERY_ENTRY("main-window-empty-category") {
    QCLInitApplication();
    static QuietDialogs dialogs;
    static NoFileView files;
    TFormMain* form = recordsForm(dialogs, files);
    showCategory(form, "Recipes");
    shot.form(form);
    form->Free();
    QCLDoneApplication();
}
