/*
 * The controls the dialogs put on their content panels, named once here: the
 * library's label and its one-line edit, and the reading of a password edit.
 *
 * Tricky point: a password edit's text lives only in the library edit's wiped
 * buffers; readSecret copies it from there into another wiped buffer and
 * never through a plain string, so reading a password leaves no copy behind.
 */
#pragma once

#include "components/controls/QCLCustomEdit.h"
#include "components/controls/QCLSimpleLabel.h"
#include "vault/SecureMemory.h"

using DialogLabel = TQCLSimpleLabel;

// The text of a password edit as a wiped buffer.
SecretText readSecret(TQCLEdit* edit);

// Empties an edit and its undo history, so no typed text outlives it.
void emptySecretEdit(TQCLEdit* edit);
