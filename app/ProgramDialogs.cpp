// The program's dialogs over the main window; see ProgramDialogs.h.
#include "app/ProgramDialogs.h"

#include "app/MainWindowHost.h"
#include "app/QZ_Frm_Main.h"
#include "base/ProductNames.h"
#include "dialogs/KnownVaults.h"
#include "dialogs/QZ_Frm_BackupKey.h"
#include "dialogs/QZ_Frm_Category.h"
#include "dialogs/QZ_Frm_ChooseName.h"
#include "dialogs/QZ_Frm_Done.h"
#include "dialogs/QZ_Frm_DontShowAgain.h"
#include "dialogs/QZ_Frm_FirstPassword.h"
#include "dialogs/QZ_Frm_Help.h"
#include "dialogs/QZ_Frm_Initializing.h"
#include "dialogs/QZ_Frm_NewPword.h"
#include "dialogs/QZ_Frm_Password.h"
#include "dialogs/QZ_Frm_Restore.h"
#include "dialogs/QZ_Frm_RestoreVault.h"
#include "dialogs/QZ_Frm_Search.h"
#include "dialogs/QZ_Frm_SelectDatabase.h"
#include "dialogs/QZ_Frm_Tools.h"
#include "download/QZ_Frm_Update.h"
#include "download/UpdateVersion.h"
#include "skin/ZM_MessageBox.h"

#include <functional>
#include <vector>

namespace {

// A dialog made for one showing, freed however the showing ends.
struct FormFree {
    void operator()(TForm* form) const { form->Free(); }
};
template <class T> using OneShowing = std::unique_ptr<T, FormFree>;

template <class T, class... Args> OneShowing<T> makeForOneShowing(Args&&... args) {
    return OneShowing<T>(MakeForm<T>(std::forward<Args>(args)...));
}

}  // namespace

// Hears when a kept form owned by the main window is freed with it, and forgets it.
class ProgramDialogs::OwnedForms : public TComponent {
public:
    OwnedForms() : TComponent(nullptr) {}
    template <class Form> void watch(Form*& kept) {
        kept->FreeNotification(this);
        forgetters_.push_back([&kept](TComponent* gone) {
            if (kept && static_cast<TComponent*>(kept) == gone) kept = nullptr;
        });
    }

protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation != opRemove) return;
        for (const auto& forget : forgetters_) forget(component);
    }

private:
    std::vector<std::function<void(TComponent*)>> forgetters_;
};

ProgramDialogs::ProgramDialogs(keyseed::EntropySources sources)
    : sources_(std::move(sources)), ownedForms_(std::make_unique<OwnedForms>()) {}

ProgramDialogs::~ProgramDialogs() {
    for (TForm* form : std::initializer_list<TForm*>{firstPassword_, done_, update_, help_, restore_})
        if (form) form->Free();
}

ProgramDialogs& ProgramDialogs::forProgram() {
    // Never destroyed: its forms go with the process, after the framework that holds them.
    static ProgramDialogs* dialogs = new ProgramDialogs;
    return *dialogs;
}

// ---- the vault: selection, passwords and the new-vault wizard ----

int ProgramDialogs::askPassword(TForm* owner, int mode, bool retry, bool firstPasswordPage, SecretText& password) {
    if (firstPasswordPage) {
        if (!firstPassword_) firstPassword_ = MakeForm<TFrm_FirstPassword>(nullptr);
        const int result = firstPassword_->ShowModal();
        if (result == mrOk) password = firstPassword_->TakePassword();
        return result == mrOk ? 1 : 2;
    }
    auto dialog = makeForOneShowing<TPasswordForm>(owner);
    dialog->SetMode(mode == 1, retry);
    const int result = dialog->ShowModal();
    if (result == mrOk) password = dialog->GetPassword();
    return result == mrOk || result == 7 ? result : 2;
}

int ProgramDialogs::selectVault(TForm* owner, VaultChoice& choice) {
    auto dialog = makeForOneShowing<TFrm_SelectDatabase>(owner);
    if (MainWindowHost* host = hostOf(owner)) {
        dialog->SetRestoreVault([this, host](const std::string& suggested, std::string& destination) {
            return runRestore(*host, suggested, "", &destination);
        });
    }
    dialog->SetLocation(choice.folder, choice.name);
    const int result = dialog->ShowModal();
    switch (result) {
    case mrOk:
    case TFrm_SelectDatabase::mrCreateVault:
    case TFrm_SelectDatabase::mrVaultRestored:
        dialog->GetLocation(choice.folder, choice.name);
        return result;
    default:
        return 2;
    }
}

bool ProgramDialogs::findVaultById(const unsigned char id[16], VaultChoice& found) {
    const std::optional<knownvaults::KnownVault> match =
        knownvaults::findVaultById(knownvaults::readKnownVaults(), id);
    if (!match) return false;
    found.folder = knownvaults::folderOf(match->path);
    found.name = knownvaults::nameOf(match->path);
    return true;
}

int ProgramDialogs::createKeys(TForm* owner, qzcrypto::RSAEngine& rsa, int keyBits, unsigned char seed[64]) {
    auto page = makeForOneShowing<TFrm_Initializing>(owner, sources_);
    page->SetKeyGenerator(&rsa);
    page->SetKeyBits(keyBits);
    const int result = page->ShowModal();
    if (result != mrOk) return 2;
    page->GetSeed(seed);
    return 1;
}

int ProgramDialogs::chooseName(TForm* owner, std::string& name) {
    auto dialog = makeForOneShowing<TFrm_ChooseName>(owner);
    const int result = dialog->ShowModal();
    if (result != mrOk) return 2;
    name = dialog->GetName();
    return 1;
}

void ProgramDialogs::backupKeyPage(TForm* owner) {
    MainWindowHost* host = hostOf(owner);
    if (!host) return;
    auto page = makeForOneShowing<TFrm_BackupKey>(owner, *host);
    page->ShowModal();
}

void ProgramDialogs::donePage(TForm* owner, const std::string& vaultFolder) {
    MainWindowHost* host = hostOf(owner);
    if (!host) return;
    if (!done_) done_ = MakeForm<TFrm_Done>(nullptr, *host);
    done_->SetVaultFolder(vaultFolder);
    done_->ShowModal();
}

void ProgramDialogs::tip(TForm* owner, int number, const std::string& text) { RaiseTip(owner, number, text); }

// ---- restores ----

int ProgramDialogs::keyRestore(TForm* owner, std::string& keyFilePath) {
    auto dialog = makeForOneShowing<TFrm_Restore>(owner);
    if (MainWindowHost* host = hostOf(owner)) dialog->SetVaultFolder(host->vaultFolder());
    const int result = dialog->ShowModal();
    if (result == TFrm_Restore::mrRestoreKey) keyFilePath = dialog->KeyFilePath();
    return result;
}

int ProgramDialogs::restoreVault(TForm* owner, const std::string& location, const std::string& source) {
    MainWindowHost* host = hostOf(owner);
    return host ? runRestore(*host, location, source, nullptr) : 2;
}

int ProgramDialogs::runRestore(MainWindowHost& host, const std::string& location, const std::string& source,
                               std::string* destination) {
    if (!restore_) restore_ = MakeForm<TFrm_RestoreVault>(nullptr, host);
    restore_->SetLocation(location);
    if (!source.empty()) restore_->SetSource(source);
    const int result = restore_->ShowModal();
    if (result == TFrm_RestoreVault::mrVaultRestored && destination) *destination = restore_->GetDestination();
    return result;
}

// ---- the update check ----

namespace {

TUpdateSchedule scheduleNow() {
    TUpdateSchedule schedule;
    schedule.SetupCheck(UpdateBaseUrlFromSettings(product::SettingsKeyPath), product::SettingsKeyPath);
    return schedule;
}

}  // namespace

TFrm_Update& ProgramDialogs::updateDialog(TForm* owner) {
    if (!update_) {
        update_ = MakeForm<TFrm_Update>(owner);
        if (owner) ownedForms_->watch(update_);
    }
    update_->SetupCheck(UpdateBaseUrlFromSettings(product::SettingsKeyPath), product::SettingsKeyPath);
    return *update_;
}

bool ProgramDialogs::updateCheckDue() {
    return UpdateServerConfigured(product::SettingsKeyPath) && scheduleNow().IsCheckDue();
}

void ProgramDialogs::checkForUpdate(TForm* owner) {
    if (!UpdateServerConfigured(product::SettingsKeyPath)) {
        ShowMessageBox(owner, NoUpdateServerText, "Update", mbsOk, mbiInformation);
        return;
    }
    CheckForUpdate(&updateDialog(owner));
}

bool ProgramDialogs::autoCheckEnabled() { return scheduleNow().AutoCheckEnabled(); }
void ProgramDialogs::setAutoCheck(bool enabled, int seconds) { scheduleNow().SetAutoCheck(enabled, seconds); }

// ---- the records, tools and help ----

int ProgramDialogs::editEntry(TForm* owner, bool newEntry, category& cat, RowValues& values) {
    return EditEntry(owner, cat, !newEntry, values);
}

void ProgramDialogs::editCategories(TForm* owner, category* current, category*& head, int& selected) {
    selected = EditCategories(owner, head, current);
}

bool ProgramDialogs::search(TForm* owner, category* userChain, category* encryptedFiles, bool hideSecrets,
                            category*& foundCategory, int& foundRow) {
    return SearchVaultDialog(owner, userChain, encryptedFiles, hideSecrets, foundCategory, foundRow);
}

// Tools over the main window, then what it chose: backups, restores, the password change.
void ProgramDialogs::tools(TForm* owner) {
    auto* main = dynamic_cast<TFormMain*>(owner);
    MainWindowHost* host = hostOf(owner);
    if (!main || !host) return;
    int result = 0;
    std::string path;
    {
        auto dialog = makeForOneShowing<TFrm_Tools>(owner, *host);
        result = dialog->ShowModal();
        path = dialog->ToolsPath();
    }
    main->flows().runToolsResult(result, path);
}

void ProgramDialogs::help(TForm* owner) {
    MainWindowHost* host = hostOf(owner);
    if (!host) return;
    if (!help_) {
        help_ = MakeForm<TFrm_Help>(owner, *host);
        ownedForms_->watch(help_);
    }
    help_->ShowModal();
}

// The host of the first main window shown over; the pages made over it keep it, so no other is made.
MainWindowHost* ProgramDialogs::hostOf(TForm* owner) {
    auto* main = dynamic_cast<TFormMain*>(owner);
    if (!main) return nullptr;
    if (!host_) host_ = std::make_unique<MainWindowHost>(*main, *this);
    return host_->isOver(*main) ? host_.get() : nullptr;
}
