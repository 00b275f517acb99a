/*
 * One update check as the update dialog runs it, apart from the dialog's
 * looks: the version file fetched by a download item, the 30-second limit,
 * Cancel, and the messages and answers that end the check. The dialog shows
 * the status line and the animation and closes with the result it is given
 * (UpdateCheckView); the messages go through the notice box (base/Notice.h)
 * with the dialog as owner, so tests script them.
 *
 * Tricky points:
 * - The version file is fetched into a fresh file of the temp folder, never
 *   into the current folder (a user's own "version.dat" there stays as it
 *   is, and a read-only current folder does not fail the check); the file is
 *   deleted once read, or when its abandoned download ends.
 * - A check ends once: after the time-out, Cancel or an outcome, the item is
 *   stopped and every later event of it, or of an earlier check's item, is
 *   ignored, so no message comes from a closed dialog.
 * - Only a success counts; a failed download ends by the time limit, as the
 *   dialog reacts to nothing else.
 * - The downloader's items live as long as the check object: each check adds
 *   one. Destroying the object waits for busy items (their workers are
 *   stopped first).
 */
#pragma once

#include "download/UpdateSchedule.h"
#include "download/dwMultiDownLoader.h"
#include "framework/Timers.h"

#include <string>
#include <vector>

class TForm;

// What the dialog does for the check.
class UpdateCheckView {
public:
    virtual ~UpdateCheckView() = default;
    virtual void showStatus(const std::string& text) = 0;  // the status line, centred
    virtual void checkFinished() = 0;                      // "Cancel" becomes "Close", the animation stops
    virtual void closeWith(int result) = 0;                // the dialog's modal result: 1 or 2
};

class UpdateCheck {
public:
    static constexpr unsigned TimeLimitMs = 30000;
    // The largest version file taken: a larger answer (by its header or by what arrives) stops
    // the download, and the check then ends at its time limit like any failed one.
    static constexpr int MaxVersionFileBytes = 65536;

    // owner: the dialog's form (owner of the messages and of the timer and downloader).
    UpdateCheck(TForm* owner, TUpdateSchedule& schedule, UpdateCheckView& view);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // The dialog was shown: the status line and the time limit start.
    void begin();
    // Posted by the dialog to itself once shown: adds an item and starts it.
    void startDownload();
    // The dialog's "Cancel" button.
    void cancel();

    bool finished() const { return finished_; }
    TTimer* timeLimitTimer() const { return timer_; }
    TdwMultiDownLoader* downLoader() const { return downLoader_; }
    // The temp file of the running check ("" before the first start).
    const std::string& versionFilePath() const { return current_.path; }

private:
    struct Fetch {
        TdwInternetItem* item = nullptr;
        std::string path;  // its file in the temp folder
    };

    void statusChanged(TObject* sender, TdwInternetItem* item, TdwProcessStatus status);
    void versionFileArrived();
    void timeLimitReached(TObject* sender);
    void endCheck();
    void problem();
    void forget(const Fetch& fetch);

    TForm* owner_;
    TUpdateSchedule& schedule_;
    UpdateCheckView& view_;
    TTimer* timer_;
    TdwMultiDownLoader* downLoader_;
    Fetch current_;
    std::vector<Fetch> abandoned_;  // stopped items whose files go when they end
    bool finished_ = false;
};

// A new empty file in the temp folder for one download; "" when none can be made.
std::string NewUpdateTempFile();

extern const char* const UpdateProblemText;
