/*
 * Answering a dialog that another dialog's button opens modally: the window
 * is looked for from the message loop (so also from inside nested modal
 * loops) until it is visible, then the action runs with its form, inside its
 * own modal loop. previous skips a window of the same text that is still
 * closing; after the deadline nothing happens, and the test fails on what the
 * action did not do.
 */
#pragma once

#include "tests/dialogs/DialogDriver.h"

#include <functional>
#include <string>

namespace dialogtest {

template <class Form>
void whenUp(const std::string& windowText, std::function<void(Form*)> action, HWND previous = nullptr,
            DWORD until = GetTickCount() + 15000) {
    fwtest::runAfter(20, [=] {
        HWND window = findDialog(windowText);
        auto* form = window && window != previous ? dynamic_cast<Form*>(TWinControl::FindControl(window)) : nullptr;
        if (!form) {
            if (GetTickCount() < until) whenUp<Form>(windowText, action, previous, until);
            return;
        }
        action(form);
    });
}

}  // namespace dialogtest
