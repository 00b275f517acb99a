// The Tools dialog; see QZ_Frm_Tools.h.
#include "dialogs/QZ_Frm_Tools.h"

#include "dialogs/QZ_Frm_Backup.h"
#include "skin/art/DialogArt.h"

#include <memory>

namespace {
constexpr int TextLeft = 70;
}

TFrm_Tools::TFrm_Tools(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Tools", 443, 444, DialogPlacement::OwnerCentred), host_(host) {
    KeyPreview = true;

    // Each section: picture, heading and text, then its controls under the text; a text may wrap.
    int y = section(IDB_DIALOG_TOOLS_PASSWORD, "Change Password", "Change the password used to protect your vault.", 8);
    xpChangePasswordButton = addButton("Change Vault Password", TextLeft, y, 180);
    xpChangePasswordButton->OnClick = TNotifyEvent(this, &TFrm_Tools::ChangePasswordClick);

    y = section(IDB_DIALOG_TOOLS_BACKUP, "Back up && Restore",
                "Back up && Restore your vault and the key used to protect it.", y + 38);
    xpBackupButton = addButton("Back up/Restore", TextLeft, y, 180);
    xpBackupButton->OnClick = TNotifyEvent(this, &TFrm_Tools::BackupClick);

    y = section(IDB_DIALOG_TOOLS_UPDATE, "Check For Updates", "Brimsafe can check online for updates once a week.",
                y + 38);
    CheckBox1 = addCheckBox("Enable automatic checking for updates", y, &TFrm_Tools::CheckBox1Click);
    CheckBox1->Checked = true;
    xpCheckNowButton = addButton("Check for Update Now", TextLeft, y + 24, 180);
    xpCheckNowButton->OnClick = TNotifyEvent(this, &TFrm_Tools::CheckNowClick);

    y = section(IDB_DIALOG_TOOLS_HIDE, "Show/Hide Passwords", "Hide your passwords so that others cannot see them.",
                y + 62);
    CheckBox2 = addCheckBox("Passwords Hidden", y, &TFrm_Tools::CheckBox2Click);

    xpCloseButton = addButton("Close", Panel1->Width - 88, Panel1->Height - 33);
    xpCloseButton->Default = true;
    xpCloseButton->Cancel = true;
    xpCloseButton->ModalResult = mrCancel;

    OnShow = TNotifyEvent(this, &TFrm_Tools::FormShow);
    OnKeyDown = TKeyEvent(this, &TFrm_Tools::FormKeyDown);
}

int TFrm_Tools::section(int picture, const char* heading, const char* text, int top) {
    auto* image = new TImage(this);
    image->Parent = Panel1;
    image->SetBounds(12, top, 45, 45);
    image->Picture->Bitmap->LoadFromResourceID(HInstance, picture);
    DialogLabel* title = addLabel(heading, TextLeft, top, -16);
    title->Font->Style = TFontStyles{fsBold};
    title->Font->Color = TColor(0x733F25);
    DialogLabel* line = addText(text, TextLeft, top + 22, Panel1->Width - TextLeft - 12);
    return line->Top + line->Height + 6;
}

TQCLCheckBox* TFrm_Tools::addCheckBox(const char* caption, int top, void (TFrm_Tools::*handler)(TObject*)) {
    auto* box = new TQCLCheckBox(this);
    box->Parent = Panel1;
    box->Color = PanelColor;
    box->SetBounds(TextLeft, top, 300, 17);
    box->Caption = caption;
    box->Font->Height = -13;
    box->OnClick = TNotifyEvent(this, handler);
    return box;
}

void TFrm_Tools::FormShow(TObject*) {
    // A box set to another state runs its click handler, as a click would.
    const bool autoCheck = host_.autoCheckEnabled();
    if (CheckBox1->Checked != autoCheck) {
        CheckBox1->Checked = autoCheck;
        CheckBox1Click(CheckBox1);
    }
    const bool hidden = host_.passwordsHidden();
    if (CheckBox2->Checked != hidden) {
        CheckBox2->Checked = hidden;
        CheckBox2Click(CheckBox2);
    }
}

void TFrm_Tools::FormKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    if (!Shift.Contains(ssCtrl)) return;
    if (Key == 'B') {
        Key = 0;
        BackupClick(xpBackupButton);
    } else if (Key == 'C') {
        Key = 0;
        ChangePasswordClick(xpChangePasswordButton);
    }
}

void TFrm_Tools::ChangePasswordClick(TObject*) { ModalResult = mrChangePassword; }

void TFrm_Tools::BackupClick(TObject*) {
    std::unique_ptr<TQZ_Backup, void (*)(TQZ_Backup*)> backup(MakeForm<TQZ_Backup>(this, host_),
                                                              [](TQZ_Backup* form) { form->Free(); });
    Hide();
    const int result = backup->ShowModal();
    Show();
    ToolsPath_ = backup->BackupPath();
    if (result == TQZ_Backup::mrBackupVault || result == TQZ_Backup::mrRestoreVault ||
        result == TQZ_Backup::mrBackupKey)
        ModalResult = result;
}

void TFrm_Tools::CheckNowClick(TObject*) {
    Hide();
    host_.checkForUpdate();
    Show();
}

void TFrm_Tools::CheckBox1Click(TObject*) { host_.setAutoCheck(CheckBox1->Checked, UpdateInterval); }

void TFrm_Tools::CheckBox2Click(TObject*) { host_.setPasswordsHidden(CheckBox2->Checked); }
