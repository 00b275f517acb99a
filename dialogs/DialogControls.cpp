// Reading and emptying the dialogs' password edits; see DialogControls.h.
#include "dialogs/DialogControls.h"

SecretText readSecret(TQCLEdit* edit) { return edit->Model().Text(); }

void emptySecretEdit(TQCLEdit* edit) {
    edit->Text = "";
    edit->ClearUndo();
}
