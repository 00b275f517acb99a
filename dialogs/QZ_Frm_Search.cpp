// The search dialog; see QZ_Frm_Search.h.
#include "dialogs/QZ_Frm_Search.h"

#include "dialogs/LibraryEdit.h"
#include "skin/ZM_MessageBox.h"

#include <algorithm>
#include <memory>

namespace {

const char* const Placeholder = "No Matches Found";

}  // namespace

TFrm_Search::TFrm_Search(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Search", 396, 444, DialogPlacement::OwnerCentred) {
    const int textWidth = Panel1->Width - 32;
    addLabel("Find Items", 16, 8, -19);
    addText("You can easily locate entries stored in your vault by searching for all or part of the text.  For "
            "example, searching for \"will\" would find both \"will\" and \"William.\"  Entries containing your "
            "search term are dislpayed as you type.  If no entries are displayed, the term was not located.",
            16, 36, textWidth);
    addLabel("Find entries containing:", 16, 138);
    QCLEdit1 = addLibraryEdit(this, Panel1, 16, 156, Panel1->Width - 32);
    QCLEdit1->TabOrder = 0;
    QCLEdit1->OnKeyUp = TKeyEvent(this, &TFrm_Search::EditKeyUp);

    ScrollBox1 = new TScrollBox(this);
    ScrollBox1->Parent = Panel1;
    ScrollBox1->SetBounds(16, 186, textWidth, Panel1->Height - 186 - 40);
    ScrollBox1->Color = PanelColor;
    // The range is set here and by a column resize only: a range that followed the list would
    // resize the list with every scroll bar that comes and goes.
    ScrollBox1->SetAutoScroll(false);
    ScrollBox1->GetVertScrollBar()->SetVisible(false);

    QCLListBox1 = new TQCLListBox(this);
    QCLListBox1->Parent = ScrollBox1;
    QCLListBox1->Delimiter = '\x01';
    QCLListBox1->SetInteger(0, 18);
    QCLListBox1->GridLines = glBoth;
    QCLListBox1->GetHeaderSections()->Clear();
    const char* captions[] = {"Category", "Field", "Data"};
    const int widths[] = {122, 120, 120};
    for (int i = 0; i < 3; ++i) {
        THeaderSection* section = QCLListBox1->GetHeaderSections()->Add();
        section->SetText(captions[i]);
        section->SetWidth(widths[i]);
        section->SetAlignment(taCenter);
        section->SetAllowClick(false);
    }
    // The list is as wide as its columns; the box scrolls it sideways above its horizontal bar.
    const int listWidth = std::max(ScrollBox1->ClientWidth() , widths[0] + widths[1] + widths[2]);
    QCLListBox1->SetBounds(0, 0, listWidth, ScrollBox1->ClientHeight() - GetSystemMetrics(SM_CYHSCROLL));
    ScrollBox1->GetHorzScrollBar()->SetRange(listWidth);
    QCLListBox1->OnDblClick = TNotifyEvent(this, &TFrm_Search::GoToClick);
    QCLListBox1->OnHeaderSectionResize = TSectionNotifyEvent(this, &TFrm_Search::HeaderSectionResize);

    const int buttonTop = Panel1->Height - 31;
    xpGoToButton = addButton("Go To Selected Item", Panel1->Width - 240, buttonTop, 140);
    xpGoToButton->Default = true;
    xpGoToButton->OnClick = TNotifyEvent(this, &TFrm_Search::GoToClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 91, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    KeyPreview = true;
    OnKeyDown = TKeyEvent(this, &TFrm_Search::FormKeyDown);
    OnKeyPress = TKeyPressEvent(this, &TFrm_Search::FormKeyPress);
    OnShow = TNotifyEvent(this, &TFrm_Search::FormShow);
}

void TFrm_Search::SetCategories(category* firstCategory, category* encryptedFilesCategory) {
    FirstCategory = firstCategory;
    EncryptedFilesCategory = encryptedFilesCategory;
}

std::optional<TFrm_Search::Result> TFrm_Search::SearchVault(category* firstCategory, category* encryptedFilesCategory) {
    SetCategories(firstCategory, encryptedFilesCategory);
    if (ShowModal() != mrOk) return std::nullopt;
    return Result{FoundCategory, FoundRow};
}

bool SearchVaultDialog(TComponent* owner, category* firstCategory, category* encryptedFilesCategory, bool hideSecrets,
                       category*& found, int& row) {
    std::unique_ptr<TFrm_Search, void (*)(TFrm_Search*)> dialog(MakeForm<TFrm_Search>(owner),
                                                                [](TFrm_Search* form) { form->Free(); });
    dialog->HideSecrets = hideSecrets;
    std::optional<TFrm_Search::Result> result = dialog->SearchVault(firstCategory, encryptedFilesCategory);
    if (!result) return false;
    found = result->foundCategory;
    row = result->foundRow;
    return true;
}

void TFrm_Search::addPlaceholder() { QCLListBox1->AddLine({Placeholder, "", ""}); }

void TFrm_Search::RunSearch() {
    const int remembered = QCLListBox1->GetInteger(1);
    const std::string term = QCLEdit1->GetText();
    hits_ = vaultsearch::search(EncryptedFilesCategory, FirstCategory, term, HideSecrets);
    QCLListBox1->Clear();
    QCLListBox1->BeginBulkAdd(static_cast<int>(hits_.size()) + 1);
    for (const vaultsearch::Hit& hit : hits_) QCLListBox1->AddLine({hit.categoryName, hit.fieldName, hit.data});
    const int count = static_cast<int>(hits_.size());
    if (remembered >= 0 && remembered < count) QCLListBox1->SetInteger(1, remembered);
    if (count > 0 && QCLListBox1->GetInteger(1) < 0) QCLListBox1->SetInteger(1, 0);
    if (count == 0 && !term.empty()) addPlaceholder();
    QCLListBox1->EndBulkAdd();
}

void TFrm_Search::EditKeyUp(TObject*, WORD&, TShiftState) { RunSearch(); }

void TFrm_Search::FormShow(TObject*) {
    if (QCLEdit1->CanFocus()) QCLEdit1->SetFocus();
    if (QCLListBox1->GetItems()->GetCount() == 0 && !QCLEdit1->GetText().empty()) addPlaceholder();
}

void TFrm_Search::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    const bool listFocused = QCLListBox1->Focused();
    if (Key == VK_UP || Key == VK_DOWN) {
        if (listFocused) return;
        QCLListBox1->SetFocus();
        const int count = QCLListBox1->GetItems()->GetCount();
        if (count > 0) {
            int index = QCLListBox1->GetInteger(1) + (Key == VK_UP ? -1 : 1);
            index = index < 0 ? 0 : index >= count ? count - 1 : index;
            QCLListBox1->SetInteger(1, index);
        }
        Key = 0;
        return;
    }
    if (!listFocused) return;
    const bool capsLock = (GetKeyState(VK_CAPITAL) & 1) != 0;
    const char typed = vaultsearch::keyToSearchChar(Key, Shift.Contains(ssShift), capsLock);
    if (!typed || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt)) return;
    Key = 0;
    dropNextChar_ = true;
    QCLEdit1->SetText(QCLEdit1->GetText() + typed);
    QCLEdit1->SetFocus();
    QCLEdit1->SetCursorPos(QCLEdit1->GetLength() + 1);
}

void TFrm_Search::FormKeyPress(TObject*, char& Key) {
    // The character of a key already added to the search text would otherwise reach the list or the text.
    if (!dropNextChar_) return;
    dropNextChar_ = false;
    Key = 0;
}

void TFrm_Search::GoToClick(TObject*) {
    const int index = QCLListBox1->GetInteger(1);
    if (index < 0 || index >= static_cast<int>(hits_.size()) || !hits_[index].owner ||
        hits_[index].row >= hits_[index].owner->rowCount()) {
        ShowMessageBox(this,
                       "You must select an item in the list in order to go to it.  Click \"Cancel\" to end your "
                       "search.",
                       "Brimsafe", mbsOk, mbiInformation);
        return;
    }
    FoundCategory = hits_[index].owner;
    FoundRow = hits_[index].row;
    ModalResult = mrOk;
}

void TFrm_Search::HeaderSectionResize(THeaderControl*, THeaderSection*) {
    THeaderSections* sections = QCLListBox1->GetHeaderSections();
    if (sections->GetCount() < 3) return;
    const int right = sections->GetItem(2)->GetRight();
    if (QCLListBox1->Width < right) QCLListBox1->Width = right;
    ScrollBox1->GetHorzScrollBar()->SetRange(right);
}
