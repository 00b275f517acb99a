/*
 * Every message of the program's own code goes through ShowMessageBox (with
 * an owner form) or ShowMessageBoxNoOwner (centred on the screen). The button
 * sets and the results are fixed; the texts are shown exactly as given.
 *
 * The way a box is shown can be replaced (SetMessageBoxHandler): tests script
 * the answers and capture the exact texts there. Until the skinned box stands,
 * the default handler shows a plain system message box.
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
    TForm* owner = nullptr;   // null for ShowMessageBoxNoOwner
    bool hasOwner = false;
    std::string text;
    std::string title;
    int buttons = mbsOk;
    int icon = mbiInformation;
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

int ShowMessageBox(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon);
int ShowMessageBoxNoOwner(const std::string& text, const std::string& title, int buttons, int icon);

// Replaces how boxes are shown; an empty handler restores the default. Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
