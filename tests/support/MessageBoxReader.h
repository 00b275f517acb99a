/*
 * Finds and reads a message box the way a test reads what a user sees, in this
 * process or another one: the plain system box (dialog class "#32770") and the
 * program's skinned box (window class "TZMMessageBox", window text
 * "ZMMessageBox").
 *
 * Both are read by standard means only: window texts and child windows
 * (GetWindowText, EnumChildWindows), and for the skinned box's icon the
 * framework's control map, which tells whether a named control is showing.
 *
 * Tricky points:
 * - The skinned box draws its title and text with windowless labels; over each
 *   lies a child window whose text is the label's text, known by the name it
 *   carries ("MessageTitleWindow", "MessageBodyWindow").
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
    int icon = -1;  // the skinned box's icon showing (0 information, 1 caution, 2 error, 3 question)
    std::vector<std::string> buttons;  // visible captions, left to right, '&' removed
};

// A visible top-level message box of the process (0: any process), or nullptr.
HWND findMessageBox(DWORD processId = 0);
// Waits up to `deadlineMs` for one.
HWND waitForMessageBox(DWORD processId, DWORD deadlineMs);
// False when the window is no message box or its title and text windows are not there.
bool readMessageBox(HWND box, MessageBoxContents& contents);
// The visible button with this caption ('&' and case ignored), or nullptr.
HWND findMessageBoxButton(HWND box, const std::string& caption);
// Brings the box forward and clicks the button's centre with real mouse input.
bool clickMessageBoxButton(HWND box, const std::string& caption);

}  // namespace brimtest
