// The update dialog; see QZ_Frm_Update.h.
#include "download/QZ_Frm_Update.h"

#include "download/UpdateVersion.h"
#include "skin/art/UpdateClip.h"

#include <shellapi.h>
#include <windows.h>

namespace {

void shellOpen(HWND owner, const std::string& verb, const std::string& url, int show) {
    ShellExecuteA(owner, verb.c_str(), url.c_str(), nullptr, nullptr, show);
}

TUpdateShellOpen& updateShellOpen() {
    static TUpdateShellOpen open = &shellOpen;
    return open;
}

}  // namespace

TUpdateShellOpen SetUpdateShellOpenForTesting(TUpdateShellOpen open) {
    TUpdateShellOpen previous = updateShellOpen();
    updateShellOpen() = open ? std::move(open) : TUpdateShellOpen(&shellOpen);
    return previous;
}

TFrm_Update::TFrm_Update(TComponent* AOwner)
    : TSkinnedDialog(AOwner, "Update", FormWidth, FormHeight, DialogPlacement::OwnerCentred) {
    Label1 = addLabel("Checking for a newer version...", 0, 12);
    Label1->AutoSize = true;
    centreLabel();

    Animate1 = new TAnimate(this);
    Animate1->Parent = Panel1;
    Animate1->Transparent = false;
    Animate1->SetBounds((Panel1->Width - skinart::UpdateClipSize) / 2, 40, skinart::UpdateClipSize,
                        skinart::UpdateClipSize);
    Animate1->ResId = skinart::UpdateClipResourceId;
    Animate1->StopFrame = skinart::UpdateClipFrames;

    xpCancelButton = addButton("Cancel", (Panel1->Width - 75) / 2, Panel1->Height - 33);
    xpCancelButton->OnClick = TNotifyEvent(this, &TFrm_Update::CancelClick);

    check_ = std::make_unique<UpdateCheck>(this, schedule_, *this);
    OnShow = TNotifyEvent(this, &TFrm_Update::FormShow);
}

TFrm_Update::~TFrm_Update() { check_.reset(); }

void TFrm_Update::SetupCheck(const std::string& updateBaseUrl, const std::string& settingsKeyPath) {
    schedule_.SetupCheck(updateBaseUrl, settingsKeyPath);
}

void TFrm_Update::SetAutoCheck(bool enabled, int32_t seconds) { schedule_.SetAutoCheck(enabled, seconds); }

void TFrm_Update::SetTimeLimitForTesting(unsigned ms) { check_->timeLimitTimer()->SetInterval(ms); }

void TFrm_Update::FormShow(TObject*) {
    xpCancelButton->Caption = "Cancel";  // the dialog is reused after a finished check
    Animate1->Seek(1);
    Animate1->Visible = true;
    Animate1->Play(1, skinart::UpdateClipFrames, 0);
    check_->begin();
    PostMessageA(Handle, WM_START_CHECK, 0, 0);
}

void TFrm_Update::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_START_CHECK) {
        check_->startDownload();
        return;
    }
    TSkinnedDialog::Dispatch(Message);
}

void TFrm_Update::CancelClick(TObject*) {
    if (check_->finished()) {
        ModalResult = 2;  // "Close" after the check ended
        return;
    }
    check_->cancel();
}

void TFrm_Update::centreLabel() { Label1->Left = (Panel1->Width - Label1->Width) / 2; }

void TFrm_Update::showStatus(const std::string& text) {
    Label1->Caption = text;
    centreLabel();
}

void TFrm_Update::checkFinished() {
    xpCancelButton->Caption = "Close";
    Animate1->Stop();
}

void TFrm_Update::closeWith(int result) {
    Animate1->Stop();
    ModalResult = result;
}

int CheckForUpdate(TFrm_Update* dialog) {
    int result = dialog->ShowModal();
    if (result == 1) updateShellOpen()(dialog->Handle, "open", UpdatePageUrl(dialog->UpdateBaseUrl()), SW_HIDE);
    return result;
}
