// Common part of the library's form-based dialogs: caption, an optional
// extra button, placement, the explode effect, the title styler and the
// tiled background. A descendant builds its form and calls BaseExecute from
// its Execute; the base's Execute answers false.
#pragma once

#include "components/runtime/QCLBack.h"
#include "components/runtime/QCLFormStyler.h"
#include "components/runtime/Qclutils.h"
#include "components/runtime/qclcont.h"

#include "framework/Forms.h"

#include <memory>

using TQCLDialogFormEvent = TEvent<void(TObject* Sender, TCustomForm* Form)>;

class TQCLBaseDialog : public TQCLContainerComponent {
public:
    explicit TQCLBaseDialog(TComponent* AOwner);
    ~TQCLBaseDialog() override;

    TStrings* GetHints() const { return hints_.get(); }
    // Copies the given lines.
    void SetHints(TStrings* value) { hints_->Assign(value); }

    AnsiString Caption;
    AnsiString ButtonCaption;
    // 0 none, 1 and 2 the two form-explode effects.
    int ExplodeEffect = 0;
    bool UseFormStyler = false;
    int StylerColors = 32;
    TQCLDlgPosition Position = bpCenter;
    TQCLDlgPosRel RelatePos = brScreen;
    TQCLDialogFormEvent OnBeforeShow;
    TNotifyEvent OnButtonClick;

    virtual bool Execute() { return false; }
    // Prepares the form and shows it modally; its modal result. Relative,
    // Background, Styler and Button may be null.
    int BaseExecute(TCustomForm* Form, TCustomForm* Relative, const AnsiString& DefaultCaption, TQCLBack* Background,
                    TQCLFormStyler* Styler, TControl* Button);

    AnsiString ClassName() const override { return "TQCLBaseDialog"; }

private:
    std::unique_ptr<TStringList> hints_;
    std::uint8_t marker_ = 1;
};
