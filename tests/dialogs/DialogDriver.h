/*
 * Driving the vault dialogs on their real windows as a user would: a dialog
 * is found by its window text (the class name without "T"), brought to the
 * foreground (there is no window manager), typed into and clicked with
 * SendInput at the centre of its controls; texts are read back from the
 * controls, windowless labels through the form.
 *
 * showModal runs a script from inside the dialog's own modal loop; when the
 * script leaves the dialog open, a guard ends it with GuardResult after a
 * deadline so a failing test never hangs.
 */
#pragma once

#include "framework/Framework.h"
#include "tests/framework/FrameworkFixture.h"
#include "tests/support/RegistryFixture.h"

#include <functional>
#include <memory>
#include <string>

namespace dialogtest {

constexpr int GuardResult = 99;

// The visible top-level window of this process with exactly this window text.
HWND findDialog(const std::string& windowText);
// Waits (pumping) until the dialog window is up and in the foreground.
bool bringUp(TCustomForm* form);
// Left click with real input at the centre of a control (windowed or not).
void click(TControl* control);
// Types text with real key presses into the focused control.
// Left click with real input at the centre of a button of a dialog found by its text (a window the
// test holds no object of, such as a nested page).
bool clickButtonOf(HWND dialog, const std::string& buttonText);
// Once the dialog with this window text is up (looked for from the message loop, so also from inside
// a nested modal loop), brings it to the foreground and clicks the button; answered is set then.
void answerWhenUp(const std::string& windowText, const std::string& buttonText, std::shared_ptr<bool> answered,
                  DWORD deadlineMs = 10000);
void typeText(const std::string& text);
void tapKey(WORD vk);
// Runs script from inside form->ShowModal(); the modal result.
int showModal(TCustomForm* form, std::function<void()> script);
// The window's region box and whether it is rounded at the top-left corner.
struct RegionShape {
    bool exists = false;
    RECT box = {};
    bool cornerCut = false;
};
RegionShape regionOf(HWND window);

class DialogTest : public fwtest::FrameworkTest {};

// A dialog test with the product's settings key cleared before and after it: the dialogs read
// and write the known vaults, tips and update schedule there.
class SettingsDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        brimtest::clearProductRegistry();
    }
    void TearDown() override {
        brimtest::clearProductRegistry();
        DialogTest::TearDown();
    }
};

}  // namespace dialogtest
