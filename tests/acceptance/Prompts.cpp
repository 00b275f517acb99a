// Reads and answers the programs' prompts; see Prompts.h.
#include "tests/acceptance/Prompts.h"

#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/support/MessageBoxReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace acc {

namespace {

constexpr DWORD ClickAgainMs = 3000;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

void answerBox(DWORD processId, const ExpectedBox& expected, const std::string& button, DWORD ms) {
    HWND box = nullptr;
    brimtest::MessageBoxContents contents;
    waitUntil(
        [&] {
            if (!box) box = brimtest::findMessageBox(processId);
            return box && brimtest::readMessageBox(box, contents);
        },
        "the box \"" + expected.text + "\"", ms);
    std::vector<std::string> buttons;
    for (const std::string& caption : contents.buttons) buttons.push_back(lower(caption));
    EXPECT_EQ(contents.title, expected.title) << expected.text;
    EXPECT_EQ(contents.text, expected.text);
    EXPECT_EQ(buttons, expected.buttons) << expected.text;

    ULONGLONG clicked = 0;
    waitUntil(
        [&] {
            if (!IsWindow(box) || !IsWindowVisible(box)) return true;
            if (clicked == 0 || GetTickCount64() - clicked > ClickAgainMs) {
                if (!brimtest::clickMessageBoxButton(box, button)) {
                    if (!IsWindow(box) || !IsWindowVisible(box)) return true;
                    failStep("the box has no button \"" + button + "\"");
                }
                clicked = GetTickCount64();
            }
            return false;
        },
        "the box \"" + expected.text + "\" to go after \"" + button + "\"");
}

HWND waitForVaultPrompt(DWORD processId, DWORD ms) {
    return waitForWindow(SelectVaultWindow, processId, ms);
}

}  // namespace acc
