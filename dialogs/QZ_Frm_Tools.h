/*
 * TFrm_Tools, the "Tools" dialog of an open vault: change the password, back
 * up and restore (through TQZ_Backup), the weekly update check and its "now",
 * and the hidden-passwords option. It reports 2 (Close), 3, 4, 5 with
 * ToolsPath, or 8; the two switches act at once through the host.
 *
 * Tricky points:
 * - CheckBox1 starts ticked, as laid out. Showing the dialog sets each box to
 *   the host's state and runs its click handler when that changes it, so with
 *   the automatic check off the schedule is written again (off) at every show.
 * - Tools hides itself inside its own modal loop while the backup dialog or
 *   the update check runs, and shows again afterwards.
 * - Ctrl+B and Ctrl+C reach the buttons wherever the focus is (key preview).
 */
#pragma once

#include "components/controls/QCLCheckBox.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_Tools : public TSkinnedDialog {
public:
    static constexpr int mrChangePassword = 8;
    static constexpr int UpdateInterval = 604800;  // a week, in seconds

    TFrm_Tools(TComponent* AOwner, DialogHost& host);

    std::string ToolsPath() const { return ToolsPath_; }

    TxpButton* xpChangePasswordButton;
    TxpButton* xpBackupButton;
    TQCLCheckBox* CheckBox1;
    TxpButton* xpCheckNowButton;
    TQCLCheckBox* CheckBox2;
    TxpButton* xpCloseButton;

private:
    void FormShow(TObject* Sender);
    void FormKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ChangePasswordClick(TObject* Sender);
    void BackupClick(TObject* Sender);
    void CheckNowClick(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    // The top under the section's text.
    int section(int picture, const char* heading, const char* text, int top);
    TQCLCheckBox* addCheckBox(const char* caption, int top, void (TFrm_Tools::*handler)(TObject*));

    DialogHost& host_;
    std::string ToolsPath_;
};
