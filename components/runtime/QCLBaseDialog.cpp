// Dialog base; see QCLBaseDialog.h.
#include "components/runtime/QCLBaseDialog.h"

TQCLBaseDialog::TQCLBaseDialog(TComponent* AOwner) : TQCLContainerComponent(AOwner), hints_(new TStringList()) {}

TQCLBaseDialog::~TQCLBaseDialog() = default;

int TQCLBaseDialog::BaseExecute(TCustomForm* Form, TCustomForm* Relative, const AnsiString& DefaultCaption,
                                TQCLBack* Background, TQCLFormStyler* Styler, TControl* Button) {
    Form->Caption = Caption.empty() ? DefaultCaption : Caption;
    if (Button) {
        if (!ButtonCaption.empty()) {
            Button->Caption = ButtonCaption;
            Button->Visible = true;
            if (OnButtonClick)
                Button->OnClick = OnButtonClick;
        } else {
            Button->Visible = false;
        }
    }
    if (OnBeforeShow)
        OnBeforeShow(this, Form);

    TRect target;
    if (ComponentState().Contains(csDesigning))
        target = QCLDlgGetTargetRect(brScreenWorkArea);
    else if (Relative)
        target = Relative->BoundsRect();
    else
        target = QCLDlgGetTargetRect(RelatePos);
    QCLPositionWindow(Form->Handle, target, Position);

    if (ExplodeEffect == 1)
        QCLExplodeForm(Form);
    else if (ExplodeEffect == 2)
        QCLExplodeForm2(Form);

    if (Styler) {
        Styler->Enabled = UseFormStyler;
        if (UseFormStyler)
            Styler->Colors = StylerColors;
        Styler->Options = Styler->GetOptions() + TQCLFormStyleOptions{fsCheckSystemGradient};
    }
    if (Background && GetImageList()) {
        Background->ImageList = GetImageList();
        Background->SetIndex(1, GetListIndex());
        Background->SetIndex(0, GetImageIndex());
        Background->Enabled = true;
    }
    return Form->ShowModal();
}
