// The plain stand-in dialogs on their real windows, typed into and clicked as a user would.
#include "app/StandInDialogs.h"

#include "framework/Framework.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

void sendInputs(std::vector<INPUT> inputs) { SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)); }

void typeText(const std::string& text) {
    std::vector<INPUT> inputs;
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const bool shift = (scan >> 8) & 1;
        auto key = [&](WORD vk, bool up) {
            INPUT in{};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(in);
        };
        if (shift) key(VK_SHIFT, false);
        key(static_cast<WORD>(scan & 0xFF), false);
        key(static_cast<WORD>(scan & 0xFF), true);
        if (shift) key(VK_SHIFT, true);
    }
    sendInputs(inputs);
}

POINT centreOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void moveMouse(POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    sendInputs({in});
}

void leftClick() {
    INPUT down{}, up{};
    down.type = up.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    sendInputs({down, up});
}

// What a user does in a dialog: steps run one per timer tick once the dialog is in the
// foreground, so each step's input has been handled before the next one.
using Step = std::function<void(HWND dialog)>;

// Runs a dialog and plays the steps on its window from a timer inside its modal loop; a dialog
// still open five seconds after the last step is closed, so a missed click fails instead of hanging.
int runAndAct(const char* caption, const std::function<int()>& open, const std::vector<Step>& steps) {
    TTimer* timer = new TTimer(nullptr);
    timer->Interval = 50;
    std::size_t next = 0;
    int idle = 0;
    timer->OnTimer = [&](TObject*) {
        HWND dialog = FindWindowA(nullptr, caption);
        if (!dialog || !IsWindowVisible(dialog)) return;
        if (GetForegroundWindow() != dialog) {
            SetForegroundWindow(dialog);
            return;
        }
        if (next < steps.size()) {
            steps[next++](dialog);
        } else if (++idle > 100) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    };
    const int result = open();
    timer->Free();
    return result;
}

Step typeInto(HWND* edit, std::string text) {
    return [edit, text](HWND) {
        SetFocus(*edit);
        typeText(text);
    };
}

std::vector<Step> clickButton(const std::string& button) {
    return {[button](HWND dialog) { moveMouse(centreOf(FindWindowExA(dialog, nullptr, nullptr, button.c_str()))); },
            [](HWND) { leftClick(); }};
}

TEST(StandInDialogsTest, ThePasswordTypedIsGivenWithOkAndNothingWithCancel) {
    StandInDialogs dialogs;
    struct Case {
        const char* button;
        int result;
        const char* password;
    };
    for (const Case& c : {Case{"OK", 1, "Pw1 x"}, Case{"Cancel", 2, ""}}) {
        SCOPED_TRACE(c.button);
        SecretText password;
        HWND edit = nullptr;
        std::vector<Step> steps{[&](HWND dialog) { edit = FindWindowExA(dialog, nullptr, "TEdit", nullptr); },
                                typeInto(&edit, "Pw1 x")};
        for (const Step& step : clickButton(c.button)) steps.push_back(step);
        const int result = runAndAct(
            standin::PasswordCaption, [&] { return dialogs.askPassword(nullptr, 0, false, false, password); }, steps);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(std::string(password.c_str()), c.password);
    }
}

TEST(StandInDialogsTest, TheVaultDialogShowsThePreselectedVaultAndGivesWhatIsClicked) {
    StandInDialogs dialogs;
    struct Case {
        const char* button;
        int result;
    };
    for (const Case& c : {Case{"Open", 1}, Case{"Create", 16}, Case{"Cancel", 2}}) {
        SCOPED_TRACE(c.button);
        VaultChoice choice{"C:\\Vaults", "Home"};
        std::string shownName;
        HWND name = nullptr;
        std::vector<Step> steps{[&](HWND dialog) {
                                    HWND folder = FindWindowExA(dialog, nullptr, "TEdit", nullptr);
                                    name = FindWindowExA(dialog, folder, "TEdit", nullptr);
                                    char text[64] = {};
                                    GetWindowTextA(name, text, sizeof text);
                                    shownName = text;
                                    // typed at the end of the name
                                    SendMessageA(name, EM_SETSEL, 4, 4);
                                },
                                typeInto(&name, "2")};
        for (const Step& step : clickButton(c.button)) steps.push_back(step);
        const int result = runAndAct(
            standin::VaultsCaption, [&] { return dialogs.selectVault(nullptr, choice); }, steps);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(shownName, "Home");
        EXPECT_EQ(choice.name, c.result == 2 ? "Home" : "Home2");
        EXPECT_EQ(choice.folder, "C:\\Vaults");
    }
}

}  // namespace
