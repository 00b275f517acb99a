// The backup and restore choices; see QZ_Frm_Backup.h.
#include "dialogs/QZ_Frm_Backup.h"

#include "skin/ZM_MessageBox.h"

#include <cstdio>

namespace {

const char* const BackupFilter = "Brimsafe Backup File (*.bvt)|*.bvt|All Files|*.*";
const char* const KeyFilter = "Brimsafe Key Backup File (*.bkv)|*.bkv|All Files|*.*";
constexpr int DescriptionLeft = 160, DescriptionTop = 92, DescriptionHeight = 132;

}  // namespace

std::string backupFileName(const std::string& vaultName, const SYSTEMTIME& localDate) {
    if (vaultName.empty()) return "Brimsafe Backup.bvt";
    char date[40];
    std::snprintf(date, sizeof date, " Backup %d-%d-%.2d.bvt", localDate.wMonth, localDate.wDay, localDate.wYear % 100);
    return vaultName + date;
}

TQZ_Backup::TQZ_Backup(TComponent* AOwner, DialogHost& host)
    : TSkinnedDialog(AOwner, "Back Up && Restore", 425, 378, DialogPlacement::OwnerCentred), host_(host) {
    const int width = Panel1->Width - 32;
    DialogLabel* heading = addLabel("Back Up && Restore Options", 16, 10, -16);
    heading->Font->Style = TFontStyles{fsBold};
    addText("We highly recommend regularly backing up both your vault data and key to a different drive for "
            "safekeeping.",
            16, 38, width);

    auto radio = [&](const char* caption, int top, void (TQZ_Backup::*handler)(TObject*)) {
        auto* button = new TQCLRadioButton(this);
        button->Parent = Panel1;
        button->Color = PanelColor;
        button->SetBounds(16, top, 128, 17);
        button->Caption = caption;
        button->Font->Height = -13;
        button->OnClick = TNotifyEvent(this, handler);
        return button;
    };
    RadioButtonBV = radio("Back Up Vault", 125, &TQZ_Backup::RadioButtonBVClick);
    RadioButtonRV = radio("Restore Vault", 148, &TQZ_Backup::RadioButtonRVClick);
    RadioButtonBK = radio("Back Up Key", 173, &TQZ_Backup::RadioButtonBKClick);

    Shape1 = new TShape(this);
    Shape1->Parent = Panel1;
    Shape1->Brush->Style = bsClear;
    Shape1->Pen->Color = TColor(0x733F25);
    Shape2 = new TShape(this);
    Shape2->Parent = Panel1;
    Shape2->Pen->Color = TColor(0x733F25);
    Shape2->Brush->Color = TColor(0x733F25);
    Label2 = addText("", DescriptionLeft + 8, DescriptionTop + 8, 217);
    Label2->AutoSize = false;  // the frame keeps one size; the description's width changes with the option

    Label3 = addLabel("Destination:", 16, 246);
    Edit1 = addEdit(16, 266, width - 85);
    xpBrowseButton = addButton("Browse", 16 + width - 75, 265);
    xpBrowseButton->OnClick = TNotifyEvent(this, &TQZ_Backup::BrowseClick);

    const int buttonTop = Panel1->Height - 33;
    xpActionButton = addButton("Back Up Vault", Panel1->Width - 196, buttonTop, 100);
    xpActionButton->Default = true;
    xpActionButton->OnClick = TNotifyEvent(this, &TQZ_Backup::ActionClick);
    xpCancelButton = addButton("Cancel", Panel1->Width - 88, buttonTop);
    xpCancelButton->Cancel = true;
    xpCancelButton->ModalResult = mrCancel;

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->Options = TOpenOptions{ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofPathMustExist};
    OpenDialog1 = new TOpenDialog(this);
    OpenDialog1->Options = TOpenOptions{ofNoChangeDir, ofPathMustExist, ofFileMustExist};

    RadioButtonBV->SetCheckedFromAction(true);
    RadioButtonBVClick(RadioButtonBV);
    OnShow = TNotifyEvent(this, &TQZ_Backup::FormShow);
}

SYSTEMTIME TQZ_Backup::today() const {
    if (dateSet_) return date_;
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

void TQZ_Backup::FormShow(TObject*) {
    // Backups go beside the vault and come from there, never from the program's own folder.
    SaveDialog1->InitialDir = host_.vaultFolder().c_str();
    OpenDialog1->InitialDir = host_.vaultFolder().c_str();
    SaveDialog1->Filter = BackupFilter;
    OpenDialog1->Filter = BackupFilter;
    SaveDialog1->FileName = backupFileName(host_.vaultName(), today());
}

void TQZ_Backup::describe(int connectorTop, int width, const char* text) {
    Edit1->Text = "";
    Label2->SetBounds(DescriptionLeft + 8, DescriptionTop + 8, width, DescriptionHeight);
    Label2->Caption = text;
    Shape1->SetBounds(DescriptionLeft, DescriptionTop, width + 16, DescriptionHeight + 16);
    Shape2->SetBounds(RadioButtonBV->Left + RadioButtonBV->Width, connectorTop, DescriptionLeft - 144, 2);
}

void TQZ_Backup::RadioButtonBVClick(TObject*) {
    describe(133, 217,
             "This option will back up all the data in your vault, as well as the key.  This data is encrypted and "
             "cannot be accessed without your password.  In order to retore this backup, you will need to know the "
             "password used to protect it.");
    Label3->Caption = "Destination:";
    xpActionButton->Caption = "Back Up Vault";
    SaveDialog1->Filter = BackupFilter;
    const std::string name = host_.vaultName();
    if (!name.empty()) {
        SaveDialog1->FileName = backupFileName(name, today());
        SaveDialog1->DefaultExt = "bvt";
    }
}

void TQZ_Backup::RadioButtonRVClick(TObject*) {
    describe(156, 217, "This option will allow you to restore a vault that you have previously backed up.");
    Label3->Caption = "Source:";
    xpActionButton->Caption = "Restore Vault";
}

void TQZ_Backup::RadioButtonBKClick(TObject*) {
    describe(181, 225,
             "This option will back up your vault key. If you forget your vault password, you will only be able to "
             "unlock your vault by restoring this key.\r\n\r\nNOTE: Your backup key is not protected with a "
             "password.  You should store it in a safe place on a diskette or CD.");
    Label3->Caption = "Destination:";
    xpActionButton->Caption = "Back Up Key";
    SaveDialog1->Filter = KeyFilter;
    SaveDialog1->DefaultExt = "bkv";
    const std::string name = host_.vaultName();
    if (!name.empty()) SaveDialog1->FileName = name + " Key Backup.bkv";
}

void TQZ_Backup::BrowseClick(TObject*) {
    TOpenDialog* dialog = RadioButtonRV->Checked ? OpenDialog1 : SaveDialog1;
    if (dialog->Execute()) Edit1->Text = dialog->FileName;
}

void TQZ_Backup::ActionClick(TObject*) {
    if (Edit1->GetText().empty()) {
        ShowMessageBox(this, "Please select a file before proceeding.", "Brimsafe", mbsOk, mbiCaution);
        return;
    }
    if (RadioButtonBV->Checked) {
        ModalResult = mrBackupVault;
    } else if (RadioButtonRV->Checked) {
        if (ShowMessageBox(this,
                           "This will replace all data currently in your vault with the data in the vault you are "
                           "restoring.\r\n\r\nAre you sure you would like to do this?",
                           "Brimsafe", mbsYesNo, mbiCaution) != mbrNo)
            ModalResult = mrRestoreVault;
    } else if (RadioButtonBK->Checked) {
        ModalResult = mrBackupKey;
    }
}
