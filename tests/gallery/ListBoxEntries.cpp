// Gallery entry of the multi-column list box: the record list's look (four
// columns, grid lines, a multi-selection) beside the field list's (';'
// delimiter, low header, no grid).
#include "components/controls/QCLListBox.h"
#include "components/runtime/qclclass.h"
#include "tests/gallery/Gallery.h"

#include "framework/Forms.h"

namespace {

class TListForm : public TForm {
public:
    explicit TListForm(TComponent* owner) : TForm(owner) {
        Caption = "Library list box";
        SetBounds(0, 0, 640, 300);
        records = new TQCLListBox(this);
        records->SetParent(this);
        records->SetBounds(8, 8, 400, 250);
        records->Delimiter = '\x01';
        records->SetInteger(0, 20);
        records->SetBool(3, true);
        records->GridLines = glBoth;
        records->GetHeaderSections()->Clear();
        const char* captions[] = {"Name", "Login ID", "Password", "Web Site"};
        const int widths[] = {90, 90, 80, 130};
        for (int i = 0; i < 4; ++i) {
            THeaderSection* s = records->GetHeaderSections()->Add();
            s->SetText(captions[i]);
            s->SetWidth(widths[i]);
        }
        fields = new TQCLListBox(this);
        fields->SetParent(this);
        fields->SetBounds(420, 8, 200, 250);
        fields->SetInteger(0, 17);
        fields->GetHeaderSections()->Clear();
        for (const char* caption : {"Field", "Type"}) {
            THeaderSection* s = fields->GetHeaderSections()->Add();
            s->SetText(caption);
            s->SetWidth(95);
        }
    }
    TQCLListBox* records;
    TQCLListBox* fields;
};

}  // namespace

BRIM_GALLERY_ENTRY("library-controls-list") {
    QCLInitApplication();
    auto* form = MakeForm<TListForm>(nullptr);
    const char* rows[][4] = {
        {"Bank", "jsmith", "********", "https://bank.example.com"},
        {"Email", "john.smith", "********", "https://mail.example.org"},
        {"Library", "", "********", ""},
        {"Phone company", "js1984", "********", "https://phone.example.net"},
        {"Shop", "john@home", "********", "https://shop.example.com/account"},
        {"Travel", "JSMITH7", "********", "https://travel.example.com"},
        {"Work VPN", "smithj", "********", "vpn.example.com"},
    };
    for (auto& r : rows) form->records->AddLine({r[0], r[1], r[2], r[3]});
    for (int selected : {1, 3, 4}) form->records->Selected[selected] = true;
    form->records->SetInteger(1, 4);
    for (const char* r : {"Name;One line", "Login ID;One line", "Password;Secret", "Notes;Several lines"})
        form->fields->Items->Add(r);
    form->fields->SetInteger(1, 2);
    form->records->SetFocus();
    shot.form(form);
    form->Free();
    QCLDoneApplication();
}
