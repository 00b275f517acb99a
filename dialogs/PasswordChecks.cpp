// The checks of a new password typed twice; see PasswordChecks.h.
#include "dialogs/PasswordChecks.h"

namespace passwordchecks {

const char* const MismatchMessage = "Your passwords do not match.";
const char* const BlankQuestion =
    "You have chosen a blank password.  This is very insecure and could allow others to easily gain access to all "
    "of the information protected in your vault.  Are you sure you want to do this?";

NewPasswordCheck checkNewPassword(const SecretText& first, const SecretText& second) {
    if (first != second) return NewPasswordCheck::Mismatch;
    if (first.empty()) return NewPasswordCheck::AskBlank;
    return NewPasswordCheck::Accept;
}

}  // namespace passwordchecks
