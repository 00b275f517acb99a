/*
 * What the password dialogs decide about two typed entries, apart from any
 * window: a mismatch is reported before a blank password is questioned, so
 * two empty entries lead to the blank-password question.
 */
#pragma once

#include "vault/SecureMemory.h"

namespace passwordchecks {

extern const char* const MismatchMessage;
extern const char* const BlankQuestion;

enum class NewPasswordCheck { Accept, Mismatch, AskBlank };
NewPasswordCheck checkNewPassword(const SecretText& first, const SecretText& second);

}  // namespace passwordchecks
