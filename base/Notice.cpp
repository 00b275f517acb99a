// The one registered message-box handler. It is set at start-up (or by a test) before any
// notice is shown, so reading it needs no lock.
#include "base/Notice.h"

#include <utility>

namespace {

MessageBoxHandler& currentHandler() {
    static MessageBoxHandler handler;
    return handler;
}

}  // namespace

MessageBoxRequest MessageBoxRequest::owned(TForm* owner, const std::string& text, const std::string& title,
                                           int buttons, int icon) {
    MessageBoxRequest request;
    request.owner = owner;
    request.hasOwner = true;
    request.text = text;
    request.title = title;
    request.buttons = buttons;
    request.icon = icon;
    return request;
}

int ShowNotice(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon) {
    return AnswerMessageBox(MessageBoxRequest::owned(owner, text, title, buttons, icon));
}

int AnswerMessageBox(const MessageBoxRequest& request) {
    const MessageBoxHandler& handler = currentHandler();
    return handler ? handler(request) : ClosedBoxAnswer(request.buttons);
}

int ClosedBoxAnswer(int buttons) { return buttons == mbsYesAllNoAbort ? mbrAbort : mbrCancel; }

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(currentHandler(), std::move(handler));
}

bool HasMessageBoxHandler() { return static_cast<bool>(currentHandler()); }
