/*
 * The library's one-line edit as the record dialogs place it on a content
 * panel.
 *
 * Tricky point: made inside a form's constructor (the form's own loading
 * bracket), such an edit leaves its panel repainting without end once shown,
 * so the dialogs make theirs after construction (AfterConstruction), inside
 * a loading bracket of their own, like rows made at run time.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"

// A 21-pixel-high library edit of up to 4,096 characters.
TQCLEdit* addLibraryEdit(TComponent* owner, TWinControl* parent, int left, int top, int width);
