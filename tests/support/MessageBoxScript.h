/*
 * Scripts the answers of every message box and notice for one test and records every box
 * asked for (text, title, button set, icon), in order. A box with no scripted
 * answer left fails the test and is answered with the box's first button.
 * Outside a script, the test programs fail any box (tests/support/BrimTestMain.cpp);
 * ScopedMessageBoxHandler puts a real box, or none, in place for one test.
 */
#pragma once

#include "base/Notice.h"

#include <deque>
#include <utility>
#include <vector>

namespace brimtest {

class MessageBoxScript {
public:
    explicit MessageBoxScript(std::vector<int> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    void answer(int result) { answers_.push_back(result); }
    const std::vector<MessageBoxRequest>& shown() const { return shown_; }
    std::vector<std::string> texts() const;

private:
    std::deque<int> answers_;
    std::vector<MessageBoxRequest> shown_;
    MessageBoxHandler previous_;
};

// Puts a handler (an empty one: none) in place for one scope and gives the previous one back.
class ScopedMessageBoxHandler {
public:
    explicit ScopedMessageBoxHandler(MessageBoxHandler handler) : previous_(SetMessageBoxHandler(std::move(handler))) {}
    ~ScopedMessageBoxHandler() { SetMessageBoxHandler(std::move(previous_)); }
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

private:
    MessageBoxHandler previous_;
};

}  // namespace brimtest
