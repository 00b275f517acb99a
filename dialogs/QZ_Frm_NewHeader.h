/*
 * TQZ_NewHeader, the field editor ("New Field" / "Edit Field"): a field's
 * name, its type (one line or paragraph) and its view (shown in both areas,
 * only in the details area, or hideable). It writes into the header it is
 * given on "Ok" only; Cancel leaves the header as it was.
 *
 * Tricky points:
 * - A paragraph cannot be hideable: choosing "Paragraph" disables that choice
 *   and moves a selected one to "Only show in entry details area".
 * - Names holding '"' or '>' are refused (the vault text could not read them
 *   back).
 * - "Show in both areas" also resets the column width to 100.
 * - All five choices are library radio buttons, in two groups on their own
 *   panels, so that a click always reaches their handlers.
 */
#pragma once

#include "components/controls/QCLRadioButton.h"
#include "dialogs/DialogSkeleton.h"
#include "vault/category.h"

class TQZ_NewHeader : public TSkinnedDialog {
public:
    TQZ_NewHeader(TComponent* AOwner, header* field);

    // Enables the hideable choice again (bound to no control).
    void EnableHideableClick(TObject* Sender);

    TQCLEdit* Edit1;
    TQCLRadioButton* RadioButton1;  // "One Line"
    TQCLRadioButton* RadioButton2;  // "Paragraph"
    TQCLRadioButton* QCLRadioButton1;
    TQCLRadioButton* QCLRadioButton2;
    TQCLRadioButton* QCLRadioButton3;
    DialogLabel* HideableSecondLine;  // the second line of QCLRadioButton3's caption
    TxpButton* xpOkButton;
    TxpButton* xpCancelButton;

private:
    TQCLRadioButton* addRadio(TWinControl* group, const char* caption, int left, int top, int width);
    void OneLineClick(TObject* Sender);
    void ParagraphClick(TObject* Sender);
    // The hideable choice and the second line of its caption, greyed together.
    void SetHideableEnabled(bool enabled);
    void OkClick(TObject* Sender);

    header* Field;
};
