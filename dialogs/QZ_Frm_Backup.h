/*
 * TQZ_Backup, "Back Up && Restore": the choice between backing up the vault,
 * restoring it and backing up the key, with the file path. It only reports
 * the choice (3, 4 or 5) and the path; its opener (Tools) passes both on.
 *
 * Tricky points:
 * - Choosing an option empties the path: a path chosen for one kind of file
 *   never goes with another.
 * - The suggested file names carry the vault's name; a vault backup's also
 *   the local date as month-day-two-digit year, without leading zeros but
 *   for the year ("Home Backup 12-8-26.bvt").
 * - Restoring asks first; only "No" keeps the dialog open.
 */
#pragma once

#include "components/controls/QCLRadioButton.h"
#include "dialogs/DialogHost.h"
#include "dialogs/DialogSkeleton.h"

#include <windows.h>

#include <string>

// The vault backup's suggested file name on the given local date ("Brimsafe Backup.bvt" without a vault name).
std::string backupFileName(const std::string& vaultName, const SYSTEMTIME& localDate);

class TQZ_Backup : public TSkinnedDialog {
public:
    static constexpr int mrBackupVault = 3;
    static constexpr int mrRestoreVault = 4;
    static constexpr int mrBackupKey = 5;

    TQZ_Backup(TComponent* AOwner, DialogHost& host);

    std::string BackupPath() const { return Edit1->Text; }
    // The date the suggested names carry; the local date when not set.
    void SetDateForTesting(const SYSTEMTIME& date) { date_ = date; dateSet_ = true; }

    DialogLabel* Label2;
    DialogLabel* Label3;
    TShape* Shape1;  // the frame around the description
    TShape* Shape2;  // the connector from the chosen option to the description
    TQCLRadioButton* RadioButtonBV;
    TQCLRadioButton* RadioButtonRV;
    TQCLRadioButton* RadioButtonBK;
    TQCLEdit* Edit1;
    TxpButton* xpBrowseButton;
    TxpButton* xpActionButton;
    TxpButton* xpCancelButton;
    TSaveDialog* SaveDialog1;
    TOpenDialog* OpenDialog1;

private:
    void FormShow(TObject* Sender);
    void RadioButtonBVClick(TObject* Sender);
    void RadioButtonRVClick(TObject* Sender);
    void RadioButtonBKClick(TObject* Sender);
    void BrowseClick(TObject* Sender);
    void ActionClick(TObject* Sender);
    void describe(int connectorTop, int width, const char* text);
    SYSTEMTIME today() const;

    DialogHost& host_;
    SYSTEMTIME date_{};
    bool dateSet_ = false;
};
