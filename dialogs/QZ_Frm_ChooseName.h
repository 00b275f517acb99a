/*
 * TFrm_ChooseName, the small prompt for a vault name (older-vault conversion,
 * vault restore). A name with a character that a file or registry value name
 * may not hold is refused, so a name can never place files elsewhere.
 */
#pragma once

#include "dialogs/DialogSkeleton.h"

#include <string>

class TFrm_ChooseName : public TSkinnedDialog {
public:
    explicit TFrm_ChooseName(TComponent* AOwner);

    std::string GetName() const { return Edit1->Text; }

    DialogLabel* Label1;
    TQCLEdit* Edit1;
    TxpButton* xpOkButton;
    TxpButton* xpCancelButton;

private:
    void OkClick(TObject* Sender);
};
