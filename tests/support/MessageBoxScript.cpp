// The script is the registered message-box handler while it lives; the one before it comes back
// when it goes.
#include "tests/support/MessageBoxScript.h"

#include <gtest/gtest.h>

namespace brimtest {

namespace {

int firstButtonOf(int buttons) {
    switch (buttons) {
    case mbsYesNo:
    case mbsYesAllNoAbort: return mbrYes;
    case mbsAbortRetryIgnore: return mbrAbort;
    case mbsRetryCancel: return mbrRetry;
    default: return mbrOk;
    }
}

}  // namespace

MessageBoxScript::MessageBoxScript(std::vector<int> answers) : answers_(answers.begin(), answers.end()) {
    previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& request) {
        shown_.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected message box: \"" << request.text << "\"";
            return firstButtonOf(request.buttons);
        }
        int result = answers_.front();
        answers_.pop_front();
        return result;
    });
}

MessageBoxScript::~MessageBoxScript() {
    SetMessageBoxHandler(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted message box answer(s) not used";
}

std::vector<std::string> MessageBoxScript::texts() const {
    std::vector<std::string> all;
    for (const auto& request : shown_) all.push_back(request.text);
    return all;
}

}  // namespace brimtest
