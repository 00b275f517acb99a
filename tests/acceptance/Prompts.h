/*
 * What a journey's user answers in a program's process. Message boxes: waited for by that process's id (never by title alone, so a box of
 * another running program is not taken for it), read back (title, text,
 * buttons) and answered by clicking a button as a user would.
 *
 * Tricky points:
 * - The program's skinned box shows its title and text in child windows of
 *   its own; tests/support/MessageBoxReader.h reads their window texts.
 * - A click that comes before the box takes input is lost: the button is
 *   clicked again, now and then, until the box has gone, so the next box of
 *   the same process is never taken for this one.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace acc {

struct ExpectedBox {
    std::string title;
    std::string text;
    std::vector<std::string> buttons;  // lower case, left to right
};

// Waits for the next box of the process, checks it shows what is expected, clicks `button` and waits
// until it has gone. A missing box fails the step; a box saying something else is a failure of the
// journey, and it is still answered so the journey can show what follows.
void answerBox(DWORD processId, const ExpectedBox& expected, const std::string& button, DWORD ms = 30000);

// The vault prompt Brimsafe shows at start-up when no vault is open yet (the vault selection dialog),
// waited for; cancelling it ends the program.
HWND waitForVaultPrompt(DWORD processId, DWORD ms = 30000);

}  // namespace acc
