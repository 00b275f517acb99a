// The watcher thread: it polls this process's top-level windows for the next expected caption,
// so a dialog is answered whichever thread's modal loop shows it.
#include "tests/support/DialogAnswerer.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <set>

#include "tests/support/MessageBoxReader.h"

namespace brimtest {

struct DialogAnswerer::State {
    std::vector<DialogAnswer> answers;
    DWORD deadlineMs;
    mutable std::mutex lock;
    std::vector<SeenDialog> seen;
    std::set<HWND> answered;
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~State() {
        CloseHandle(stop);
        CloseHandle(done);
    }
};

namespace {

bool sameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

struct TopLevelSearch {
    DWORD process;
    const std::string* caption;
    const std::set<HWND>* skip;
    HWND found;
};

bool isSkinnedBox(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return std::string(name) == "TZMMessageBox";
}

// The skinned box's window text is always "ZMMessageBox"; it is known by the title it shows.
std::string captionOf(HWND window) {
    if (isSkinnedBox(window)) {
        MessageBoxContents contents;
        if (readMessageBox(window, contents)) return contents.title;
    }
    return windowText(window);
}

BOOL CALLBACK matchTopLevel(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->process || !IsWindowVisible(window) || search->skip->count(window)) return TRUE;
    if (windowText(window) != *search->caption && captionOf(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK collectChildText(HWND child, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> list;
    EnumChildWindows(parent, collectChildText, reinterpret_cast<LPARAM>(&list));
    return list;
}

SeenDialog describe(HWND window) {
    SeenDialog seen;
    seen.window = window;
    MessageBoxContents contents;
    if (isSkinnedBox(window) && readMessageBox(window, contents)) {
        seen.caption = contents.title;
        seen.texts.push_back(contents.text);
        for (const std::string& button : contents.buttons) seen.texts.push_back(button);
        return seen;
    }
    seen.caption = windowText(window);
    for (HWND child : children(window)) seen.texts.push_back(windowText(child));
    return seen;
}

bool pressButton(HWND dialog, const std::string& text) {
    if (isSkinnedBox(dialog)) {
        // Painted buttons answer the mouse, not BM_CLICK; hidden ones share captions, so only visible ones count.
        HWND button = findMessageBoxButton(dialog, text);
        if (!button || !IsWindowEnabled(button)) return false;
        RECT r;
        GetClientRect(button, &r);
        clickClientPoint(button, POINT{r.right / 2, r.bottom / 2});
        return true;
    }
    HWND button = findChildByText(dialog, text);
    if (!button || !IsWindowEnabled(button)) return false;
    PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

DWORD WINAPI watch(LPVOID param) {
    auto state = *reinterpret_cast<std::shared_ptr<DialogAnswerer::State>*>(param);
    delete reinterpret_cast<std::shared_ptr<DialogAnswerer::State>*>(param);
    const DWORD start = GetTickCount();
    size_t next = 0;
    // Poll for the window: the result does not depend on the interval, only the deadline bounds it.
    while (next < state->answers.size() && GetTickCount() - start < state->deadlineMs) {
        if (WaitForSingleObject(state->stop, 5) == WAIT_OBJECT_0) break;
        const DialogAnswer& answer = state->answers[next];
        std::set<HWND> skip;
        {
            std::lock_guard<std::mutex> lock(state->lock);
            skip = state->answered;
        }
        TopLevelSearch search{GetCurrentProcessId(), &answer.caption, &skip, nullptr};
        EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (!search.found) continue;
        SeenDialog seen = describe(search.found);
        bool done = answer.action ? answer.action(search.found) : pressButton(search.found, answer.button);
        if (!done) continue;
        std::lock_guard<std::mutex> lock(state->lock);
        state->seen.push_back(seen);
        state->answered.insert(search.found);
        ++next;
    }
    SetEvent(state->done);
    return 0;
}

}  // namespace

std::string SeenDialog::message() const {
    for (const std::string& text : texts) {
        if (!text.empty()) {
            // Buttons of a message box follow its text; a message is never a bare button label.
            static const char* labels[] = {"OK", "Cancel", "Yes", "No", "Abort", "Retry", "Ignore"};
            bool isLabel = std::any_of(std::begin(labels), std::end(labels),
                                       [&](const char* l) { return sameTextIgnoringCase(stripAmpersands(text), l); });
            if (!isLabel) return text;
        }
    }
    return {};
}

DialogAnswerer::DialogAnswerer(std::vector<DialogAnswer> answers, DWORD deadlineMs)
    : state_(std::make_shared<State>()) {
    state_->answers = std::move(answers);
    state_->deadlineMs = deadlineMs;
    thread_ = CreateThread(nullptr, 0, watch, new std::shared_ptr<State>(state_), 0, nullptr);
}

DialogAnswerer::~DialogAnswerer() {
    SetEvent(state_->stop);
    if (thread_) {
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }
}

bool DialogAnswerer::finished(DWORD waitMs) {
    WaitForSingleObject(state_->done, waitMs);
    std::lock_guard<std::mutex> lock(state_->lock);
    return state_->seen.size() == state_->answers.size();
}

std::vector<SeenDialog> DialogAnswerer::seen() const {
    std::lock_guard<std::mutex> lock(state_->lock);
    return state_->seen;
}

std::string windowText(HWND window) {
    char text[1024] = {};
    int n = GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::string stripAmpersands(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" stands for one '&'
        out += text[i];
    }
    return out;
}

HWND findChildByText(HWND parent, const std::string& text) {
    for (HWND child : children(parent)) {
        if (sameTextIgnoringCase(stripAmpersands(windowText(child)), stripAmpersands(text))) return child;
    }
    return nullptr;
}

void clickClientPoint(HWND window, POINT client) {
    LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

}  // namespace brimtest
