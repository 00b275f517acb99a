// The main window as the host of the file jobs: the open vault's name, files and keys, and the
// running of one job through the progress dialog. The interrupted job of an earlier run is
// cleaned up by the constructor (QZ_Frm_Main.cpp), before any window shows.
#include "app/QZ_Frm_Main.h"

#include "fileenc/QZ_Frm_FileEncryption.h"

namespace {

// The process's progress dialog; a window made without the process entry makes it on first use.
TFrm_FileEncryption& fileJobDialog() {
    if (!Frm_FileEncryption) {
        if (!Application) InitFramework();
        Application->CreateForm(Frm_FileEncryption);
    }
    return *Frm_FileEncryption;
}

// Ends a job's turn however it ends: the key copies go and the next job may start.
class JobTurn {
public:
    explicit JobTurn(bool& running) : running_(running) { running_ = true; }
    ~JobTurn() {
        TFrm_FileEncryption::Job().clearKeys();
        running_ = false;
    }
    JobTurn(const JobTurn&) = delete;
    JobTurn& operator=(const JobTurn&) = delete;

private:
    bool& running_;
};

}  // namespace

TForm* TFormMain::messageOwner() { return this; }

void TFormMain::readVaultID(unsigned char vaultID[16]) { store_.readVaultID(vaultID); }

std::string TFormMain::vaultName() { return store_.getDBFname(); }

std::vector<std::string> TFormMain::vaultFiles() { return {store_.vaultFilePath(), store_.keyFilePath()}; }

bool TFormMain::nextDataKey(unsigned char dataKey[16], DWORD& error) {
    if (store_.nextDataKey(dataKey)) {
        error = 0;
        return true;
    }
    error = store_.lastFileError();
    return false;
}

void TFormMain::copyVaultKey(unsigned char vaultKey[16]) { store_.copyVaultKey(vaultKey); }

FileJobReport TFormMain::runFileJob(const FileJobSetup& setup) {
    FileJobReport report;
    if (fileJobRunning_) {
        report.modalResult = mrCancel;
        report.failKind = fjoAnotherJobRunning;
        return report;
    }
    JobTurn turn(fileJobRunning_);
    TFrm_FileEncryption& dialog = fileJobDialog();
    dialog.SetJob(setup);
    const int shown = dialog.ShowModal();
    // A modal loop that never ran the job (the program is ending) gives no job result.
    report.modalResult = dialog.JobResult() ? dialog.JobResult() : shown;
    if (report.modalResult != mrOk) {
        report.modalResult = mrCancel;
        report.failKind = dialog.JobResult() ? dialog.FailKind : static_cast<std::uint32_t>(fjoStopped);
        report.errorCode = dialog.JobResult() ? dialog.ErrorCode : 0;
    }
    return report;
}
