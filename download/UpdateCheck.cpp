// One update check: fetch, time limit, Cancel and outcome; see UpdateCheck.h.
#include "download/UpdateCheck.h"

#include "base/Notice.h"
#include "download/UpdateVersion.h"
#include "vault/logger.h"

#include <windows.h>

#include <algorithm>

const char* const UpdateProblemText =
    "There was a problem checking for an update.  Make sure that you have an active internet connection and "
    "try again.";

namespace {

const char* const UpdateTitle = "Update";

}  // namespace

std::string NewUpdateTempFile() {
    char folder[MAX_PATH + 1] = {};
    char file[MAX_PATH + 1] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) return "";
    if (!GetTempFileNameA(folder, "ver", 0, file)) return "";
    return file;
}

UpdateCheck::UpdateCheck(TForm* owner, TUpdateSchedule& schedule, UpdateCheckView& view)
    : owner_(owner), schedule_(schedule), view_(view) {
    timer_ = new TTimer(nullptr);
    timer_->SetEnabled(false);
    timer_->SetInterval(TimeLimitMs);
    timer_->SetOnTimer(TNotifyEvent(this, &UpdateCheck::timeLimitReached));
    downLoader_ = new TdwMultiDownLoader(nullptr);
    downLoader_->MaxResourceSize = MaxVersionFileBytes;
    downLoader_->OnStatusChanged = TdwItemStatusEvent(this, &UpdateCheck::statusChanged);
    downLoader_->OnProcessCompleted = [this](TObject*, TdwInternetItem* item) {
        auto ended = std::find_if(abandoned_.begin(), abandoned_.end(),
                                  [item](const Fetch& fetch) { return fetch.item == item; });
        if (ended == abandoned_.end()) return;
        DeleteFileA(ended->path.c_str());
        abandoned_.erase(ended);
    };
}

UpdateCheck::~UpdateCheck() {
    delete timer_;
    // Stopping first keeps the wait short; the downloader waits for its busy items.
    for (int i = 0; i < downLoader_->InternetItemCount(); ++i) downLoader_->InternetItem(i)->Stop();
    downLoader_->OnStatusChanged = nullptr;
    downLoader_->OnProcessCompleted = nullptr;
    delete downLoader_;
    forget(current_);
    for (const Fetch& fetch : abandoned_) DeleteFileA(fetch.path.c_str());
}

void UpdateCheck::begin() {
    finished_ = false;
    view_.showStatus("Checking for a newer version...");
    timer_->SetEnabled(true);
}

void UpdateCheck::startDownload() {
    if (finished_) return;
    forget(current_);
    current_ = Fetch();
    std::string path = NewUpdateTempFile();
    if (path.empty()) {
        // Nowhere to put the file: the check cannot succeed, so say so now.
        problem();
        return;
    }
    TdwDownLoadItem* item = downLoader_->DownLoadList->Add();
    item->URL = schedule_.UpdateBaseUrl + "version.dat";
    item->LocalFile = path;  // after the URL, which would name the file after it
    current_ = Fetch{item, path};
    try {
        item->Start(true);
    } catch (const Exception&) {
        problem();
    }
}

void UpdateCheck::cancel() {
    if (finished_) return;
    endCheck();
    view_.closeWith(2);
}

void UpdateCheck::statusChanged(TObject*, TdwInternetItem* item, TdwProcessStatus status) {
    traceLog.write(item->LocalFile);
    if (finished_ || item != current_.item || status != psSuccess) return;
    timer_->SetEnabled(false);
    versionFileArrived();
}

void UpdateCheck::versionFileArrived() {
    std::string bytes;
    if (!ReadVersionFile(current_.path, bytes)) {
        problem();
        return;
    }
    schedule_.RecordCheck(bytes);
    DeleteFileA(current_.path.c_str());
    current_.path.clear();
    finished_ = true;
    if (schedule_.NewerFound) {
        view_.showStatus("Newer version found.");
        if (ShowNotice(owner_,
                       "There is a newer version of Brimsafe available for download.  Would you like to be "
                       "taken to our website now to download it?",
                       UpdateTitle, mbsYesNo, mbiQuestion) == mbrYes) {
            view_.closeWith(1);
            return;
        }
    } else {
        view_.showStatus("No newer version found.");
        ShowNotice(owner_, "You have the latest version of Brimsafe.", UpdateTitle, mbsOk, mbiInformation);
    }
    view_.checkFinished();
    view_.closeWith(2);
}

void UpdateCheck::timeLimitReached(TObject*) {
    timer_->SetEnabled(false);
    if (finished_) return;
    problem();
}

// Ends the check before anything is said, so nothing the item still reports acts on it.
void UpdateCheck::endCheck() {
    timer_->SetEnabled(false);
    finished_ = true;
    if (current_.item && current_.item->IsBusy()) {
        current_.item->Stop();
        abandoned_.push_back(current_);
    } else {
        forget(current_);
    }
    current_ = Fetch();
}

void UpdateCheck::problem() {
    endCheck();
    ShowNotice(owner_, UpdateProblemText, UpdateTitle, mbsOk, mbiCaution);
    view_.closeWith(2);
}

void UpdateCheck::forget(const Fetch& fetch) {
    if (!fetch.path.empty() && !(fetch.item && fetch.item->IsBusy())) DeleteFileA(fetch.path.c_str());
}
