// The window-free notices: what a registered box is handed, what comes back, and the answer
// when no box was registered (nothing is shown, so nothing can wait for a user).
#include "base/Notice.h"

#include "base/SystemErrorText.h"
#include "tests/support/MessageBoxScript.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

TEST(Notice, TheRegisteredBoxGetsTheRequestWholeAndAnswers) {
    brimtest::MessageBoxScript script({mbrNo});
    EXPECT_EQ(ShowNotice(nullptr, "There was a problem opening the vault.", "Brimsafe", mbsYesNo, mbiCaution), mbrNo);
    ASSERT_EQ(script.shown().size(), 1u);
    const MessageBoxRequest& request = script.shown()[0];
    EXPECT_EQ(request.text, "There was a problem opening the vault.");
    EXPECT_EQ(request.title, "Brimsafe");
    EXPECT_EQ(request.buttons, mbsYesNo);
    EXPECT_EQ(request.icon, mbiCaution);
    EXPECT_TRUE(request.hasOwner) << "a notice has an owner form, even a null one, as ShowMessageBox does";
    EXPECT_EQ(request.owner, nullptr);
}

TEST(Notice, WithoutARegisteredBoxTheAnswerIsThatOfAClosedBox) {
    brimtest::ScopedMessageBoxHandler none(nullptr);
    struct Case {
        int buttons;
        int answer;
    };
    const Case cases[] = {
        {mbsOk, mbrCancel},           {mbsOkCancel, mbrCancel},     {mbsYesNo, mbrCancel},
        {mbsYesAllNoAbort, mbrAbort}, {mbsAbortRetryIgnore, mbrCancel}, {mbsRetryCancel, mbrCancel},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShowNotice(nullptr, "text", "Brimsafe", c.buttons, mbiInformation), c.answer) << c.buttons;
}

TEST(Notice, AnUnscriptedBoxFailsTheTestThatAskedForIt) {
    // The test programs' guard: a forgotten script shows as a failure, not as a box nobody answers.
    EXPECT_NONFATAL_FAILURE(ShowNotice(nullptr, "Logging has been enabled.", "Brimsafe", mbsOk, mbiInformation),
                            "unscripted message box: \"Logging has been enabled.\"");
}

TEST(SystemErrorText, TheSystemsTextWithoutLineBreakAndCut) {
    const std::string text = systemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_EQ(systemErrorText(ERROR_FILE_NOT_FOUND, 5), text.substr(0, 5));
}

}  // namespace
