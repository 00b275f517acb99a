// The category list dialog; see QZ_Frm_Category.h.
#include "dialogs/QZ_Frm_Category.h"

#include "dialogs/QZ_EditCat.h"
#include "skin/ZM_MessageBox.h"

#include <memory>

TQZ_Category_Form::TQZ_Category_Form(TComponent* AOwner, category* current, category* chainHead)
    : TSkinnedDialog(AOwner, "Edit Categories", 411, 372, DialogPlacement::OwnerCentred),
      ChainHead_(chainHead),
      SelectedCategory(chainHead) {
    const int textWidth = Panel1->Width - 32;
    addLabel("Vault Categories", 16, 8, -19);
    addText("Categories are used to organize your information.  The fields in each category are customizable and "
            "displayed in columns in the main window.",
            16, 36, textWidth);
    addLabel("Categories:", 16, 98);
    ListBox2 = new TListBox(this);
    ListBox2->Parent = Panel1;
    ListBox2->SetBounds(16, 116, 180, 148);
    ListBox2->OnClick = TNotifyEvent(this, &TQZ_Category_Form::ListBox2Click);
    ListBox2->OnDblClick = TNotifyEvent(this, &TQZ_Category_Form::EditCategoryClick);
    addLabel("Fields:", 212, 98);
    ListBox1 = new TListBox(this);
    ListBox1->Parent = Panel1;
    ListBox1->SetBounds(212, 116, Panel1->Width - 228, 148);
    ListBox1->OnDblClick = TNotifyEvent(this, &TQZ_Category_Form::EditCategoryClick);

    xpNewCategoryButton = addButton("New Category", 16, 272, 112);
    xpNewCategoryButton->OnClick = TNotifyEvent(this, &TQZ_Category_Form::NewCategoryClick);
    xpEditCategoryButton = addButton("Edit Category", 134, 272, 112);
    xpEditCategoryButton->OnClick = TNotifyEvent(this, &TQZ_Category_Form::EditCategoryClick);
    xpDeleteCategoryButton = addButton("Delete Category", 252, 272, Panel1->Width - 268);
    xpDeleteCategoryButton->OnClick = TNotifyEvent(this, &TQZ_Category_Form::DeleteCategoryClick);
    xpOkButton = addButton("Ok", Panel1->Width - 91, Panel1->Height - 29);
    xpOkButton->Default = true;
    xpOkButton->Cancel = true;
    xpOkButton->ModalResult = mrOk;

    KeyPreview = true;
    OnKeyDown = TKeyEvent(this, &TQZ_Category_Form::FormKeyDown);

    for (category* c = ChainHead_; c; c = c->next) {
        ListBox2->Items->Add(c->getName());
        lines_.push_back(c);
        if (c == current) {
            ListBox2->ItemIndex = static_cast<int>(lines_.size()) - 1;
            SelectedCategory = c;
        }
    }
    if (ChainHead_) listFields(SelectedCategory);
}

int TQZ_Category_Form::SelectedIndex() const {
    int index = ListBox2->ItemIndex;
    return index >= 0 && index < static_cast<int>(lines_.size()) ? index : -1;
}

void TQZ_Category_Form::listFields(const category* shown) {
    ListBox1->Items->Clear();
    if (!shown) return;
    for (const header* h = shown->headerList(); h; h = h->next) ListBox1->Items->Add(h->name);
}

void TQZ_Category_Form::ListBox2Click(TObject*) {
    const int index = SelectedIndex();
    if (index < 0) return;
    SelectedCategory = lines_[index];
    listFields(SelectedCategory);
}

void TQZ_Category_Form::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (Key == VK_DELETE) {
        Key = 0;
        DeleteCategoryClick(this);
    } else if (Shift.Contains(ssCtrl) && Key == 'N') {
        Key = 0;
        NewCategoryClick(this);
    } else if (Shift.Contains(ssCtrl) && Key == 'E') {
        Key = 0;
        EditCategoryClick(this);
    }
}

int TQZ_Category_Form::editCategory(category* edited) {
    std::unique_ptr<TQZ_EditCat_Form, void (*)(TQZ_EditCat_Form*)> editor(
        MakeForm<TQZ_EditCat_Form>(this, edited), [](TQZ_EditCat_Form* form) { form->Free(); });
    return editor->ShowModal();
}

void TQZ_Category_Form::removeFromChain(category* target) {
    if (target == ChainHead_) {
        ChainHead_ = target->next;
    } else {
        for (category* c = ChainHead_; c; c = c->next) {
            if (c->next == target) {
                c->next = target->next;
                break;
            }
        }
    }
    target->next = nullptr;  // destroy it alone
    delete target;
}

int EditCategories(TComponent* owner, category*& chainHead, category* current) {
    std::unique_ptr<TQZ_Category_Form, void (*)(TQZ_Category_Form*)> dialog(
        MakeForm<TQZ_Category_Form>(owner, current, chainHead), [](TQZ_Category_Form* form) { form->Free(); });
    dialog->ShowModal();
    chainHead = dialog->ChainHead();
    return dialog->SelectedIndex();
}

void TQZ_Category_Form::NewCategoryClick(TObject*) {
    category* remembered = SelectedCategory;
    auto* created = new category("");
    if (!ChainHead_) {
        ChainHead_ = created;
    } else {
        category* last = ChainHead_;
        while (last->next) last = last->next;
        last->next = created;
    }
    if (editCategory(created) == mrOk && !created->getName().empty()) {
        ListBox2->Items->Add(created->getName());
        lines_.push_back(created);
        ListBox2->ItemIndex = static_cast<int>(lines_.size()) - 1;
        SelectedCategory = created;
        listFields(created);
        return;
    }
    removeFromChain(created);
    SelectedCategory = remembered;
}

void TQZ_Category_Form::EditCategoryClick(TObject*) {
    const int index = SelectedIndex();
    if (index < 0 || !SelectedCategory) return;
    editCategory(SelectedCategory);
    if (SelectedCategory->getName().empty()) SelectedCategory->setName("No Name");
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i] == SelectedCategory) ListBox2->Items->Put(static_cast<int>(i), SelectedCategory->getName());
    ListBox2->ItemIndex = index;
    listFields(SelectedCategory);
}

void TQZ_Category_Form::DeleteCategoryClick(TObject*) {
    // Without a selected line the user sees no category to delete (the current one may be
    // "Encrypted Files", which is not listed): nothing is deleted then.
    if (!SelectedCategory || SelectedIndex() < 0) return;
    if (ShowMessageBox(this,
                       "By deleting this category, you will lose all data that is stored in it.  Are you sure you "
                       "would like to do this?",
                       "Brimsafe", mbsYesNo, mbiCaution) != mbrYes)
        return;
    listFields(nullptr);
    category* doomed = SelectedCategory;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i] == doomed) {
            ListBox2->Items->Delete(static_cast<int>(i));
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    removeFromChain(doomed);
    SelectedCategory = nullptr;
}
