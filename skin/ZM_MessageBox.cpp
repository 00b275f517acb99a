// The message box: for now the nearest system box, its results mapped to this box's.
#include "skin/ZM_MessageBox.h"

#include <windows.h>

namespace {

// The plain stand-in: the nearest system box, results mapped to this box's.
int showSystemBox(const MessageBoxRequest& request) {
    UINT type = MB_OK;
    switch (request.buttons) {
    case mbsOkCancel: type = MB_OKCANCEL; break;
    case mbsYesNo: type = MB_YESNO; break;
    case mbsYesAllNoAbort: type = MB_YESNOCANCEL; break;  // no "Yes to All" in the system box
    case mbsAbortRetryIgnore: type = MB_ABORTRETRYIGNORE; break;
    case mbsRetryCancel: type = MB_RETRYCANCEL; break;
    }
    switch (request.icon) {
    case mbiCaution: type |= MB_ICONWARNING; break;
    case mbiError: type |= MB_ICONERROR; break;
    case mbiQuestion: type |= MB_ICONQUESTION; break;
    default: type |= MB_ICONINFORMATION; break;
    }
    HWND owner = request.hasOwner ? GetActiveWindow() : nullptr;
    int answer = MessageBoxA(owner, request.text.c_str(), request.title.c_str(), type | MB_TASKMODAL);
    switch (answer) {
    case IDOK: return mbrOk;
    case IDYES: return mbrYes;
    case IDNO: return mbrNo;
    case IDABORT: return mbrAbort;
    case IDRETRY: return mbrRetry;
    case IDIGNORE: return mbrIgnore;
    case IDCANCEL: return request.buttons == mbsYesAllNoAbort ? mbrAbort : mbrCancel;
    }
    return mbrCancel;
}

int show(const MessageBoxRequest& request) {
    return HasMessageBoxHandler() ? AnswerMessageBox(request) : showSystemBox(request);
}

}  // namespace

int ShowMessageBox(TForm* owner, const std::string& text, const std::string& title, int buttons, int icon) {
    return show(MessageBoxRequest::owned(owner, text, title, buttons, icon));
}

int ShowMessageBoxNoOwner(const std::string& text, const std::string& title, int buttons, int icon) {
    MessageBoxRequest request = MessageBoxRequest::owned(nullptr, text, title, buttons, icon);
    request.hasOwner = false;
    return show(request);
}

void RegisterMessageBox() { SetMessageBoxHandler(showSystemBox); }
