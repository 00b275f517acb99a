// The vault-selection dialog; see QZ_Frm_SelectDatabase.h.
#include "dialogs/QZ_Frm_SelectDatabase.h"

#include "dialogs/QZ_Frm_ChooseVaultLoc.h"
#include "skin/ZM_MessageBox.h"

#include <windows.h>

#include <memory>

namespace {

void inform(TForm* owner, const char* text) { ShowMessageBox(owner, text, "Brimsafe", mbsOk, mbiInformation); }

}  // namespace

TFrm_SelectDatabase::TFrm_SelectDatabase(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Select Vault", 420, 392, DialogPlacement::ScreenCentred) {
    const int right = Panel1->Width - 16;
    addLabel("Create New Vault", 16, 10, -16);
    xpCreateVaultButton = addButton("New Vault", right - 110, 8, 110);
    xpCreateVaultButton->Default = true;
    xpCreateVaultButton->OnClick = TNotifyEvent(this, &TFrm_SelectDatabase::CreateClick);
    addLabel("Restore Backed Up Vault", 16, 44, -16);
    xpRestoreVaultButton = addButton("Restore Vault", right - 110, 42, 110);
    xpRestoreVaultButton->OnClick = TNotifyEvent(this, &TFrm_SelectDatabase::RestoreClick);
    addLabel("Open Existing Vault", 16, 80, -16);
    addText("Choose a vault from the list, or browse to a previously saved one.", 16, 102, right - 16);

    ListBox1 = new TListBox(this);
    ListBox1->Parent = Panel1;
    ListBox1->SetBounds(16, 140, right - 16, 124);
    ListBox1->OnClick = TNotifyEvent(this, &TFrm_SelectDatabase::ListBox1Click);
    ListBox1->OnDblClick = TNotifyEvent(this, &TFrm_SelectDatabase::ListBox1DblClick);
    Edit1 = addEdit(16, 272, right - 16 - 85);
    Edit1->ReadOnly = true;
    xpBrowseButton = addButton("Browse", right - 75, 271);
    xpBrowseButton->OnClick = TNotifyEvent(this, &TFrm_SelectDatabase::BrowseClick);

    const int buttonTop = Panel1->Height - 33;
    xpOpenVaultButton = addButton("Open Vault", Panel1->Width - 196, buttonTop, 100);
    xpOpenVaultButton->OnClick = TNotifyEvent(this, &TFrm_SelectDatabase::OpenClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Title = "Brimsafe Vault";
    OpenDialog1->Filter = "Brimsafe Vault (*.vlt, *.pde)|*.vlt;*.pde|All files (*.*)|*.*";
    OpenDialog1->DefaultExt = "kvt";
    OpenDialog1->Options = TOpenOptions{ofHideReadOnly, ofPathMustExist, ofFileMustExist, ofEnableSizing};

    for (const knownvaults::KnownVault& vault : knownvaults::readKnownVaults()) AddVault(vault.displayName, vault.path);
}

void TFrm_SelectDatabase::AddVault(const std::string& display, const std::string& path) {
    ListBox1->Items->Add(display);
    paths_.push_back(path);
}

void TFrm_SelectDatabase::MakeOpenDefault() {
    xpCreateVaultButton->Default = false;
    xpOpenVaultButton->Default = true;
    xpOpenVaultButton->TabOrder = 0;
}

void TFrm_SelectDatabase::SplitIntoLocation(const std::string& path) {
    Folder = knownvaults::folderOf(path);
    VaultName = knownvaults::nameOf(path);
}

void TFrm_SelectDatabase::SetLocation(const std::string& folder, const std::string& name) {
    Folder = folder;
    VaultName = name;
    const std::string path = folder + "\\" + name;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        if (paths_[i] == path) {
            ListBox1->ItemIndex = static_cast<int>(i);
            MakeOpenDefault();
            ListBox1Click(ListBox1);
            return;
        }
    }
    DWORD attributes = GetFileAttributesA((path + ".vlt").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    AddVault(name, path);
    ListBox1->ItemIndex = static_cast<int>(paths_.size() - 1);
    MakeOpenDefault();
    ListBox1Click(ListBox1);
    RegisterVault(Edit1->Text);
}

void TFrm_SelectDatabase::GetLocation(std::string& folder, std::string& name) const {
    folder = Folder;
    name = VaultName;
}

bool TFrm_SelectDatabase::FindVaultById(const unsigned char id[16]) {
    std::vector<knownvaults::KnownVault> listed;
    for (int i = 0; i < static_cast<int>(paths_.size()); ++i) listed.push_back({ListBox1->Items->Get(i), paths_[i]});
    std::optional<knownvaults::KnownVault> found = knownvaults::findVaultById(listed, id);
    if (!found) return false;
    SplitIntoLocation(found->path);
    return true;
}

void TFrm_SelectDatabase::ListBox1Click(TObject*) {
    int index = ListBox1->ItemIndex;
    if (index >= 0 && index < static_cast<int>(paths_.size())) Edit1->Text = paths_[index];
    MakeOpenDefault();
}

void TFrm_SelectDatabase::ListBox1DblClick(TObject* Sender) {
    ListBox1Click(Sender);
    OpenClick(Sender);
}

void TFrm_SelectDatabase::OpenClick(TObject*) {
    const std::string path = Edit1->Text;
    if (path.empty()) {
        inform(this, "There is no vault selected.  Please choose a vault from the list of vaults and click 'Open "
                     "Vault.'  If your vault is not in the list, click the Browse button to locate it.");
        return;
    }
    // A key file that cannot be read allows no probe: the opening that follows reports it.
    if (std::optional<std::vector<unsigned char>> id = knownvaults::readVaultId(path + ".kvt")) {
        if (knownvaults::vaultIsOpenElsewhere(id->data())) {
            inform(this, "The vault you have selected is already open on this computer.  You cannot have the same "
                         "vault open more than once at the same time.");
            return;
        }
    }
    SplitIntoLocation(path);
    ModalResult = mrOk;
}

void TFrm_SelectDatabase::BrowseClick(TObject*) {
    if (!OpenDialog1->Execute()) return;
    const std::string chosen = OpenDialog1->FileName;
    const std::string base = knownvaults::stripVaultExtension(chosen);
    if (knownvaults::checkKeyFile(base + ".kvt") == knownvaults::KeyFileCheck::WrongMagic) {
        inform(this, "This does not appear to be a valid vault file.  Perhaps you chose the wrong vault, or it has "
                     "been corrupted.  You may need to restore a backed up version of your vault.");
        return;
    }
    for (const std::string& listed : paths_) {
        if (listed == base) {
            inform(this, "The vault you have chosen is already in your list.");
            return;
        }
    }
    MakeOpenDefault();
    Edit1->Text = knownvaults::cutExtension(chosen);
    const std::string path = Edit1->Text;
    AddVault(knownvaults::nameOf(path), path);
    ListBox1->ItemIndex = static_cast<int>(paths_.size() - 1);
    ListBox1Click(ListBox1);
    RegisterVault(Edit1->Text);
}

void TFrm_SelectDatabase::CreateClick(TObject*) {
    std::string location;
    {
        std::unique_ptr<TFrm_ChooseVaultLoc, void (*)(TFrm_ChooseVaultLoc*)> page(
            MakeForm<TFrm_ChooseVaultLoc>(this), [](TFrm_ChooseVaultLoc* form) { form->Free(); });
        page->SetLocation(Folder + "\\" + VaultName + ".vlt");
        // The wizard's first page takes this dialog's place; this dialog comes back when the page is
        // given up or its name is refused.
        Hide();
        if (page->ShowModal() != mrOk) {
            Show();
            return;
        }
        location = page->GetLocation();
    }
    Edit1->Text = location;
    SplitIntoLocation(knownvaults::cutExtension(location));
    for (int i = 0; i < ListBox1->Items->GetCount(); ++i) {
        if (knownvaults::sameVaultName(ListBox1->Items->Get(i), VaultName)) {
            Show();
            inform(this, "You already have a vault with that name.  You may not have two vaults with the same name.");
            return;
        }
    }
    ModalResult = mrCreateVault;
}

void TFrm_SelectDatabase::RestoreClick(TObject*) {
    if (!restore_) return;
    std::string destination;
    if (restore_(Folder, destination) != mrVaultRestored) return;
    Folder = destination;
    ModalResult = mrVaultRestored;
}
