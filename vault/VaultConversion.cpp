// The older version's vault files brought to the current names: the one-time conversion of the
// older version's folder at start-up, and the moves for a vault the user selects or opens. The
// contents need nothing here; an older key-file layout is migrated when the vault is first opened.
// A move never replaces an existing file, so no current vault is ever overwritten.
#include "vault/VaultFlows.h"

#include "base/RegistrySettings.h"
#include "base/Notice.h"
#include "base/ProductNames.h"

using namespace vaultfile;

namespace {

const char* const ConversionTitle = "Brimsafe File Conversion";

// Moves source to target when source exists; never replaces target; failures are not reported
// (a vault whose files could not be moved fails later, when it is opened).
void moveWhenPresent(const std::string& source, const std::string& target) {
    if (fileExists(source)) MoveFileA(source.c_str(), target.c_str());
}

}  // namespace

void VaultFlows::moveOlderFilesOfChoice() {
    const std::string base = store_.getDBLoc() + "\\";
    const std::string name = store_.getDBFname();
    moveWhenPresent(base + name + ".pde", store_.vaultFilePath());
    moveWhenPresent(base + "default.pde", store_.vaultFilePath());
    moveWhenPresent(base + name + ".mvk", store_.keyFilePath());
}

bool VaultFlows::needsConversion() const {
    const std::string base = store_.getDBLoc() + "\\";
    const std::string name = store_.getDBFname();
    if (!fileExists(store_.keyFilePath()) && fileExists(base + "pk.enc")) return true;
    return !fileExists(store_.vaultFilePath()) && (fileExists(base + name + ".pde") || fileExists(base + "default.pde"));
}

void VaultFlows::convertBeforeOpening() {
    const std::string name = store_.getDBFname();
    ShowNotice(owner_,
               "You have selected a vault from an older version of Brimsafe.  It will now be updated to the latest "
               "version.  If you ever need to reinstall Brimsafe, please make sure that you use the latest version, "
               "or your vault will be inaccessible.  You may find it in your list of available vaults as \"" +
                   name +
                   ".\"\n\nImportant Note:\nBe sure to backup your vault and key using this new version of Brimsafe, "
                   "as the old backup formats are incompatible.",
               ConversionTitle, mbsOk, mbiInformation);
    const std::string base = store_.getDBLoc() + "\\";
    moveWhenPresent(base + "pk.enc", store_.keyFilePath());
    moveWhenPresent(base + name + ".pde", store_.vaultFilePath());
    moveWhenPresent(base + "default.pde", store_.vaultFilePath());
    moveWhenPresent(base + name + ".mvk", store_.keyFilePath());
    readVaultIdFromKeyFile();
    message("Your vault has been updated successfully.", mbiInformation);
}

int VaultFlows::upgradeOldVault(const std::string& folder) {
    const std::string oldKey = folder + "\\pk.enc";
    const std::string oldVault = folder + "\\default.pde";
    if (!fileExists(oldKey) && !fileExists(oldVault)) return 0;
    int answer = ShowNotice(owner_,
                            "Brimsafe will now upgrade your vault.\n\nIMPORTANT NOTE:\nBe sure to backup your vault "
                            "and key after the conversion as backups from older versions are not supported.",
                            ConversionTitle, mbsOkCancel, mbiInformation);
    if (answer != mbrOk) {
        MessageBoxRequest refusal;
        refusal.text =
            "This new version of Brimsafe requires that you have your vault converted.  If you do not want to "
            "convert your vault at this time, you will need to uninstall this version of Brimsafe and reinstall "
            "your previous version in order to access it.";
        refusal.title = product::Title;
        AnswerMessageBox(refusal);
        return 1;
    }
    store_.setDBLoc(folder);
    store_.setDBFname("MyVault");
    // The user may leave only with a name that is free: the old files move after this loop.
    while (fileExists(store_.vaultFilePath())) {
        message("An upgraded vault already exists with the same name as the vault you are upgrading.  In order to "
                "proceed with the upgrade, you must choose a new name for the vault that you are upgrading.",
                mbiInformation);
        std::string name;
        if (prompts_.chooseName(name) == 1 && !name.empty()) store_.setDBFname(name);
    }
    moveWhenPresent(oldKey, store_.keyFilePath());
    moveWhenPresent(oldVault, store_.vaultFilePath());
    registerVault();
    message("Your vault has been upgraded successfully.", mbiInformation);
    return 0;
}
