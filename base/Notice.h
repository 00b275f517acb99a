/*
 * The way every layer tells the user something or asks a question, without
 * knowing any window: ShowNotice takes the same arguments and gives the same
 * answers as the skinned ShowMessageBox, and hands the request to the box that
 * was registered here. The vault store, the trace log and the file jobs use
 * it, so they link no GUI library.
 *
 * Who answers:
 * - the program registers its skinned message box at start-up
 *   (RegisterMessageBox in skin/ZM_MessageBox.h);
 * - a test replaces it with a script (tests/support/MessageBoxScript.h) that
 *   records the exact texts and gives scripted answers;
 * - with nothing registered nothing is shown, and the answer is that of a
 *   box closed unanswered: Abort for the "Yes to All" set, Cancel otherwise.
 *
 * The skinned ShowMessageBox goes through the same registered handler, so a
 * script also sees the boxes the windows show directly.
 */
#pragma once

#include <functional>
#include <string>

class TForm;

enum MessageBoxButtons {
    mbsOk = 0,              // "Ok"
    mbsOkCancel = 1,        // "Ok" "Cancel"
    mbsYesNo = 2,           // "Yes" "No"
    mbsYesAllNoAbort = 3,   // "Yes" "Yes to All" "No" "Abort"
    mbsAbortRetryIgnore = 4,
    mbsRetryCancel = 5,
};

enum MessageBoxIcon {
    mbiInformation = 0,
    mbiCaution = 1,
    mbiError = 2,
    mbiQuestion = 3,
};

// Modal results of the box's buttons.
enum MessageBoxResult {
    mbrOk = 1,         // "Ok" with sets 0, 1
    mbrCancel = 2,     // "Cancel" with sets 1, 5
    mbrAbort = 3,
    mbrRetry = 4,
    mbrIgnore = 5,
    mbrYes = 6,        // "Yes", and "Ok" never: sets 2 and 3 only
    mbrNo = 7,
    mbrYesToAll = 8,
};

struct MessageBoxRequest {
    TForm* owner = nullptr;   // null for a box without an owner form
    bool hasOwner = false;    // false only for ShowMessageBoxNoOwner (centred on the screen)
    std::string text;
    std::string title;
    int buttons = mbsOk;
    int icon = mbiInformation;
    // The answer whose button has the focus when the box opens (so Enter and Space give it);
    // 0: the set's leftmost button. A question that destroys or weakens something focuses "No".
    int focusedAnswer = 0;

    // A box with an owner form (which may be null).
    static MessageBoxRequest owned(TForm* owner, const std::string& text, const std::string& title, int buttons,
                                   int icon);
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// A box with an owner form (which may be null), as ShowMessageBox shows it.
int ShowNotice(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon);

// Hands a request to the registered handler; the closed-box answer when there is none.
int AnswerMessageBox(const MessageBoxRequest& request);

// The answer of a box closed without a button: Abort for the "Yes to All" set, Cancel otherwise.
int ClosedBoxAnswer(int buttons);

// Replaces the handler (empty: none). Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
bool HasMessageBoxHandler();
