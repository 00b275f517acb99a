// The record dialogs' library edit; see LibraryEdit.h.
#include "dialogs/LibraryEdit.h"

TQCLEdit* addLibraryEdit(TComponent* owner, TWinControl* parent, int left, int top, int width) {
    auto* edit = new TQCLEdit(owner);
    edit->Parent = parent;
    edit->SetBounds(left, top, width, 21);
    edit->SetMaxLength(4096);
    return edit;
}
