/*
 * The library's one-line edit as the record dialogs place it on a content
 * panel, made in the dialog's constructor like the rest of its controls.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"

// A 21-pixel-high library edit of up to 4,096 characters.
TQCLEdit* addLibraryEdit(TComponent* owner, TWinControl* parent, int left, int top, int width);
