/*
 * The main window as the dialogs' host (dialogs/DialogHost.h): the open
 * vault's folder and name, the install folder, the key backup and the vault
 * restore through the vault flows, the hidden-passwords option of the open
 * vault, and the update check's switch and "now" through the main window's
 * dialogs.
 *
 * Tricky point: a restore first makes the destination and the name the
 * vault's folder and name, as the restore dialog asks; the flows then open
 * the restored vault (or put the previous files back).
 */
#pragma once

#include "app/MainWindowDialogs.h"
#include "dialogs/DialogHost.h"

class TFormMain;

class MainWindowHost : public DialogHost {
public:
    MainWindowHost(TFormMain& main, MainWindowDialogs& dialogs) : main_(main), dialogs_(dialogs) {}

    std::string vaultFolder() const override;
    std::string vaultName() const override;
    std::string installFolder() const override;
    int backupKey(const std::string& path) override;
    int restoreVault(const std::string& folder, const std::string& name, const std::string& backupFile) override;
    bool passwordsHidden() const override;
    void setPasswordsHidden(bool hidden) override;
    bool autoCheckEnabled() const override { return dialogs_.autoCheckEnabled(); }
    void setAutoCheck(bool enabled, int seconds) override { dialogs_.setAutoCheck(enabled, seconds); }
    void checkForUpdate() override;
    bool isOver(const TFormMain& main) const { return &main_ == &main; }

private:
    TFormMain& main_;
    MainWindowDialogs& dialogs_;
};
