/*
 * TFrm_Done, the last page of the new-vault wizard: where the vault's files
 * are, and the tutorial. Created once at start and reused.
 *
 * Tricky points:
 * - The folder is shortened to fit the page by dropping characters just before
 *   its last backslash, so the last folder name stays whole.
 * - The tutorial's path is quoted on its command line: the install folder may
 *   hold spaces, which would otherwise split the program name.
 */
#pragma once

#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_Done : public TSkinnedDialog {
public:
    TFrm_Done(TComponent* AOwner, DialogHost& host);

    void SetVaultFolder(const std::string& path);
    // The command line "Tutorial" runs: the quoted tutorial path.
    static std::string TutorialCommandLine(const std::string& installFolder);

    DialogLabel* Label7;
    TxpButton* xpTutorialButton;
    TxpButton* xpFinishButton;

private:
    void TutorialClick(TObject* Sender);

    DialogHost& host_;
};
