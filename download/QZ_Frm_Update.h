/*
 * TFrm_Update, the "Update" dialog: created once at start and reused. It
 * holds the weekly schedule (SetupCheck, SetAutoCheck, IsCheckDue) and, each
 * time it is shown, runs one update check (download/UpdateCheck.h) with its
 * status line, waiting clip and "Cancel" button. CheckForUpdate shows it and
 * opens the update page when the user wants it.
 *
 * Tricky points:
 * - The check starts from a message the dialog posts to itself when shown,
 *   so the window is up (and owns the messages) before the download begins.
 * - A check ends once (the time limit, Cancel or an outcome): the check
 *   object stops its item and ignores all it reports later.
 * - The update page is opened with the window-hidden show command, as the
 *   browser is asked to: a browser that honours it for a new window may stay
 *   out of sight, which is kept on purpose.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"
#include "download/UpdateCheck.h"
#include "download/UpdateSchedule.h"

#include <functional>
#include <memory>
#include <string>

class TFrm_Update : public TSkinnedDialog, public UpdateCheckView {
public:
    static constexpr UINT WM_START_CHECK = WM_USER + 1;
    static constexpr int FormWidth = 218;
    static constexpr int FormHeight = 211;

    explicit TFrm_Update(TComponent* AOwner);
    ~TFrm_Update() override;

    void SetupCheck(const std::string& updateBaseUrl, const std::string& settingsKeyPath);
    void SetAutoCheck(bool enabled, int32_t seconds);
    bool IsCheckDue() const { return schedule_.IsCheckDue(); }
    bool AutoCheckEnabled() const { return schedule_.AutoCheckEnabled(); }
    bool NewerFound() const { return schedule_.NewerFound; }
    const std::string& UpdateBaseUrl() const { return schedule_.UpdateBaseUrl; }

    void SetTimeLimitForTesting(unsigned ms);
    void SetClockForTesting(TUpdateSchedule::TClock clock) { schedule_.ClockForTesting = std::move(clock); }
    UpdateCheck& CheckForTesting() { return *check_; }

    DialogLabel* Label1;
    TAnimate* Animate1;
    TxpButton* xpCancelButton;

protected:
    void Dispatch(TMessage& Message) override;

private:
    void FormShow(TObject* Sender);
    void CancelClick(TObject* Sender);
    void centreLabel();

    void showStatus(const std::string& text) override;
    void checkFinished() override;
    void closeWith(int result) override;

    TUpdateSchedule schedule_;
    std::unique_ptr<UpdateCheck> check_;
};

// How the update page is opened: ShellExecuteA(owner, verb, url, -, -, show).
using TUpdateShellOpen = std::function<void(HWND owner, const std::string& verb, const std::string& url, int show)>;
// Replaces the shell call (nullptr restores it); returns the previous one.
TUpdateShellOpen SetUpdateShellOpenForTesting(TUpdateShellOpen open);

// Shows the dialog modally; on result 1 opens the update page. The modal result.
int CheckForUpdate(TFrm_Update* dialog);
