// The vault store's prompts answered by the vault dialogs; see DialogPrompts.h.
#include "dialogs/DialogPrompts.h"

#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "fileenc/WindowsErrorMessages.h"
#include "skin/ZM_MessageBox.h"

#include <memory>

namespace {

struct FormFree {
    void operator()(TForm* form) const { form->Free(); }
};
template <class T> using FormPtr = std::unique_ptr<T, FormFree>;

}  // namespace

DialogPrompts::DialogPrompts(TForm* owner, keyseed::EntropySources sources)
    : owner_(owner), sources_(std::move(sources)), firstPassword_(MakeForm<TFrm_FirstPassword>(nullptr)) {}

DialogPrompts::~DialogPrompts() { firstPassword_->Free(); }

int DialogPrompts::askPassword(int mode, bool retry, bool firstPasswordPage, SecretText& password) {
    if (firstPasswordPage) {
        int result = firstPassword_->ShowModal();
        if (result == mrOk) password = firstPassword_->TakePassword();
        return result;
    }
    FormPtr<TPasswordForm> dialog(MakeForm<TPasswordForm>(owner_));
    dialog->SetMode(mode == 1, retry);
    int result = dialog->ShowModal();
    if (result == mrOk) password = dialog->GetPassword();
    return result;
}

void DialogPrompts::showFileError(DWORD code, const std::string& name) {
    ShowMessageBox(owner_, WindowsErrorMessages(code, name), "Brimsafe", mbsOk, mbiCaution);
}

int DialogPrompts::selectVault(VaultChoice& choice) {
    FormPtr<TFrm_SelectDatabase> dialog(MakeForm<TFrm_SelectDatabase>(owner_));
    dialog->SetLocation(choice.folder, choice.name);
    int result = dialog->ShowModal();
    dialog->GetLocation(choice.folder, choice.name);
    return result;
}

bool DialogPrompts::findVaultById(const unsigned char id[16], VaultChoice& found) {
    FormPtr<TFrm_SelectDatabase> dialog(MakeForm<TFrm_SelectDatabase>(owner_));
    if (!dialog->FindVaultById(id)) return false;
    dialog->GetLocation(found.folder, found.name);
    return true;
}

int DialogPrompts::createKeys(qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) {
    FormPtr<TFrm_Initializing> page(MakeForm<TFrm_Initializing>(owner_, sources_));
    page->SetKeyGenerator(&rsa);
    page->SetKeyBits(keyBits);
    int result = page->ShowModal();
    if (result == mrOk) page->GetSeed(seed);
    return result;
}

int DialogPrompts::chooseName(std::string& name) {
    FormPtr<TFrm_ChooseName> dialog(MakeForm<TFrm_ChooseName>(owner_));
    int result = dialog->ShowModal();
    if (result == mrOk) name = dialog->GetName();
    return result;
}
