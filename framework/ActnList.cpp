// Actions and their links to controls: see ActnList.h.
#include "framework/ActnList.h"

#include <algorithm>

#include "framework/Controls.h"
#include "framework/ImgList.h"

TBasicAction::~TBasicAction() {
    // Clients keep their link objects, now pointing nowhere.
    for (TBasicActionLink* link : links_) link->action_ = nullptr;
    links_.clear();
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

void TBasicAction::Change() {
    // A client may drop its link while it hears the change.
    std::vector<TBasicActionLink*> links = links_;
    for (TBasicActionLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->client_->ActionChange(this, false);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (action_ == Value) return;
    if (action_) action_->links_.erase(std::find(action_->links_.begin(), action_->links_.end(), this));
    action_ = Value;
    if (action_) action_->links_.push_back(this);
}

bool TCustomAction::Execute() { return enabled_ && TBasicAction::Execute(); }

void TCustomAction::SetCaption(const AnsiString& Value) {
    if (caption_ == Value) return;
    caption_ = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (checked_ == Value) return;
    checked_ = Value;
    Change();
}

void TCustomAction::SetEnabled(bool Value) {
    if (enabled_ == Value) return;
    enabled_ = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (visible_ == Value) return;
    visible_ = Value;
    Change();
}

void TCustomAction::SetHint(const AnsiString& Value) {
    if (hint_ == Value) return;
    hint_ = Value;
    Change();
}

void TCustomAction::SetImageIndex(int Value) {
    if (imageIndex_ == Value) return;
    imageIndex_ = Value;
    Change();
}

void TCustomAction::SetImages(TCustomImageList* Value) {
    if (images_ == Value) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = Value;
    if (images_) images_->FreeNotification(this);
    Change();
}

void TCustomAction::Notification(TComponent* AComponent, TOperation Operation) {
    TBasicAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) images_ = nullptr;
}
