/*
 * Finds and reads a message box the way a test reads what a user sees, in this
 * process or another one: the plain system box (dialog class "#32770") and the
 * program's skinned box (window class "TZMMessageBox", window text
 * "ZMMessageBox").
 *
 * Tricky points:
 * - The skinned box draws its title and text with windowless labels, which no
 *   window message reads. It answers the registered message named by
 *   kMessageBoxContentsMessageForTesting by sending its contents back as
 *   WM_COPYDATA to the window given in wParam; the reader keeps a message-only
 *   window for that and waits in SendMessageTimeout, which delivers the reply.
 * - The system box shows no icon kind anyone can read back: `icon` is -1 there.
 * - Buttons of both kinds are child windows whose text is their caption; a
 *   hidden button may share its caption with a visible one, so only visible
 *   buttons count, left to right.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brimtest {

struct MessageBoxContents {
    HWND window = nullptr;
    bool skinned = false;
    std::string title;
    std::string text;
    int icon = -1;       // the skinned box's icon kind (1 caution, 2 error, 3 question, else information)
    int buttonSet = -1;  // the skinned box's button set
    std::vector<std::string> buttons;  // visible captions, left to right, '&' removed
};

// A visible top-level message box of the process (0: any process), or nullptr.
HWND findMessageBox(DWORD processId = 0);
// Waits up to `deadlineMs` for one.
HWND waitForMessageBox(DWORD processId, DWORD deadlineMs);
// False when the window is no message box or did not answer.
bool readMessageBox(HWND box, MessageBoxContents& contents);
// The visible button with this caption ('&' and case ignored), or nullptr.
HWND findMessageBoxButton(HWND box, const std::string& caption);
// Brings the box forward and clicks the button's centre with real mouse input.
bool clickMessageBoxButton(HWND box, const std::string& caption);

}  // namespace brimtest
