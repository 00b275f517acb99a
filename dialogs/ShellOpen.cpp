// The dialogs' shell call; see ShellOpen.h.
#include "dialogs/ShellOpen.h"

#include <shellapi.h>

namespace {

void systemShellOpen(HWND owner, const std::string& verb, const std::string& address, int show) {
    ShellExecuteA(owner, verb.c_str(), address.c_str(), nullptr, nullptr, show);
}

ShellOpenRoutine& routine() {
    static ShellOpenRoutine current = systemShellOpen;
    return current;
}

}  // namespace

void shellOpen(HWND owner, const std::string& verb, const std::string& address, int show) {
    routine()(owner, verb, address, show);
}

ShellOpenRoutine SetShellOpenForTesting(ShellOpenRoutine replacement) {
    ShellOpenRoutine previous = routine();
    routine() = replacement ? std::move(replacement) : ShellOpenRoutine(systemShellOpen);
    return previous;
}
