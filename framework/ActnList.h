/*
 * Actions: a command object that several controls can share. A control
 * linked to an action (TControl::Action) takes the action's caption,
 * enabled and visible state and hint, hears every later change through its
 * virtual ActionChange, and a click with no OnClick of its own runs the
 * action's OnExecute.
 *
 * Tricky points:
 * - The link is the control's: it goes with the control and unregisters
 *   itself from the action; an action that goes first unlinks every client,
 *   so no control keeps a dangling action.
 * - ActionChange(Sender, CheckDefaults): with CheckDefaults (the first link,
 *   made while a layout is loading) a property is taken only where the
 *   control still has its default value; later changes are always taken.
 * - Only what a library control needs is here: no action lists with
 *   categories, no update or hint routing through the application, no
 *   shortcuts. The image list is the action's own (`Images`).
 */
#pragma once

#include "framework/Classes.h"

#include <vector>

class TControl;
class TCustomImageList;
class TBasicActionLink;

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    ~TBasicAction() override;
    AnsiString ClassName() const override { return "TBasicAction"; }

    // Runs OnExecute; false when it is not assigned.
    virtual bool Execute();
    int LinkCount() const { return static_cast<int>(links_.size()); }

    TNotifyEvent OnExecute;

protected:
    // Every linked client hears ActionChange(this, false).
    void Change();

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> links_;
};

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    AnsiString ClassName() const override { return "TCustomAction"; }
    // A disabled action does not run.
    bool Execute() override;

    AnsiString GetCaption() const { return caption_; }
    void SetCaption(const AnsiString& Value);
    bool GetChecked() const { return checked_; }
    void SetChecked(bool Value);
    bool GetEnabled() const { return enabled_; }
    void SetEnabled(bool Value);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool Value);
    AnsiString GetHint() const { return hint_; }
    void SetHint(const AnsiString& Value);
    int GetImageIndex() const { return imageIndex_; }
    void SetImageIndex(int Value);
    TCustomImageList* GetImages() const { return images_; }
    void SetImages(TCustomImageList* Value);

    BRIM_PROPERTY(Caption, TCustomAction::GetCaption, TCustomAction::SetCaption);
    BRIM_PROPERTY(Checked, TCustomAction::GetChecked, TCustomAction::SetChecked);
    BRIM_PROPERTY(Enabled, TCustomAction::GetEnabled, TCustomAction::SetEnabled);
    BRIM_PROPERTY(Visible, TCustomAction::GetVisible, TCustomAction::SetVisible);
    BRIM_PROPERTY(Hint, TCustomAction::GetHint, TCustomAction::SetHint);
    BRIM_PROPERTY(ImageIndex, TCustomAction::GetImageIndex, TCustomAction::SetImageIndex);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    AnsiString caption_;
    AnsiString hint_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    int imageIndex_ = -1;
    TCustomImageList* images_ = nullptr;
};

class TAction : public TCustomAction {
public:
    using TCustomAction::TCustomAction;
    AnsiString ClassName() const override { return "TAction"; }
};

// A control's subscription to one action.
class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TControl* Client) : client_(Client) {}
    ~TBasicActionLink() override { SetAction(nullptr); }
    AnsiString ClassName() const override { return "TBasicActionLink"; }

    TBasicAction* GetAction() const { return action_; }
    void SetAction(TBasicAction* Value);
    TControl* GetClient() const { return client_; }
    bool Execute() { return action_ && action_->Execute(); }

private:
    friend class TBasicAction;
    TControl* client_;
    TBasicAction* action_ = nullptr;
};
