/*
 * Answers modal message boxes and dialogs the way a user would: a watcher
 * thread finds the visible top-level window of this process with the expected
 * caption, records what it says, and clicks the chosen button. Answers are
 * given in order; each waits until its window appears or the deadline passes.
 *
 * A button is found among the dialog's child windows by its text, '&' ignored.
 * Windows whose buttons are not child windows (painted controls) are answered
 * with a custom action, e.g. clickClientPoint at the button's position.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brimtest {

// What a dialog showed when it was answered.
struct SeenDialog {
    HWND window = nullptr;
    std::string caption;
    std::vector<std::string> texts;  // texts of its child windows, in z-order
    // The text of the first child that is neither a button nor empty (the message of a message box).
    std::string message() const;
};

struct DialogAnswer {
    std::string caption;  // exact window text of the dialog
    std::string button;   // text of the button to press ('&' ignored, case ignored)
    // Optional: answers the dialog itself instead of pressing `button`; returns false to retry later.
    std::function<bool(HWND dialog)> action;
};

class DialogAnswerer {
public:
    explicit DialogAnswerer(std::vector<DialogAnswer> answers, DWORD deadlineMs = 20000);
    ~DialogAnswerer();  // stops watching; unanswered dialogs stay open
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // Waits until every answer was given or the deadline passed; true when all were given.
    bool finished(DWORD waitMs = 20000);
    std::vector<SeenDialog> seen() const;

    struct State;  // shared with the watcher thread

private:
    std::shared_ptr<State> state_;
    HANDLE thread_ = nullptr;
};

// Pure helpers, also used by custom actions.
std::string windowText(HWND window);
std::string stripAmpersands(const std::string& text);
HWND findChildByText(HWND parent, const std::string& text);
// Posts a left click (down and up) at a client point of the window.
void clickClientPoint(HWND window, POINT client);

}  // namespace brimtest
