/*
 * The uninstaller's message boxes as a user meets them: waited for by the
 * showing process's id, read (title, text, buttons, icon) and answered by
 * clicking a button. Both the plain system box and the skinned box are read
 * through tests/support/MessageBoxReader.h (window texts, and the skinned
 * box's icon from the framework's control map); the system box tells no icon kind,
 * so its icon is told from its pixels, matched against the two system icons
 * the uninstaller can show.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uninstalltest {

struct BoxSeen {
    bool found = false;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;  // lower case, left to right
    int icon = -1;                     // 0 information, 1 caution, -1 not told
};

// Waits for a box of the process, reads it, clicks `button` and waits until the box has gone
// (empty `button`: leaves it open).
BoxSeen answerBox(DWORD processId, const std::string& button, DWORD deadlineMs = 20000);

}  // namespace uninstalltest
