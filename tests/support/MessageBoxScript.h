/*
 * Scripts the answers of every message box and notice for one test and records every box
 * asked for (text, title, button set, icon), in order. A box with no scripted
 * answer left fails the test and is answered with the box's first button.
 */
#pragma once

#include "base/Notice.h"

#include <deque>
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

}  // namespace brimtest
