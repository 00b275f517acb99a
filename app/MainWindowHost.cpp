// The main window as the dialogs' host; see MainWindowHost.h.
#include "app/MainWindowHost.h"

#include "app/QZ_Frm_Main.h"

std::string MainWindowHost::vaultFolder() const { return main_.store().getDBLoc(); }
std::string MainWindowHost::vaultName() const { return main_.store().getDBFname(); }
std::string MainWindowHost::installFolder() const { return main_.InstallLocation; }
int MainWindowHost::backupKey(const std::string& path) { return main_.flows().backupKey(path, false); }

int MainWindowHost::restoreVault(const std::string& folder, const std::string& name, const std::string& backupFile) {
    main_.store().setDBLoc(folder);
    main_.store().setDBFname(name);
    return main_.flows().restoreVault(backupFile);
}

bool MainWindowHost::passwordsHidden() const { return main_.store().content().hidePwords; }

void MainWindowHost::setPasswordsHidden(bool hidden) {
    if (hidden) main_.hidePasswords();
    else main_.showPasswords();
    main_.store().content().hidePwords = hidden;
}

void MainWindowHost::checkForUpdate() { dialogs_.checkForUpdate(&main_); }
